#!/usr/bin/env bash
# Checks a built Debian package of QVT_N2 as a user's system would meet it: its name and fields,
# the dependencies found from its binaries, its exact file list with owners and modes
# (dpkg-deb), its desktop entry (desktop-file-validate), and that the entry's command, started
# from the unpacked package on Xvfb, shows a window with the entry's class and icon.
# Usage: check-package.sh PACKAGE.deb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=$1
fail() { echo "check-package: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

field() { dpkg-deb --field "$deb" "$1"; }
arch=$(dpkg --print-architecture)
[ "$(field Package)" = qvt-n2 ] || fail "package name: $(field Package)"
[ "$(field Architecture)" = "$arch" ] || fail "architecture: $(field Architecture)"
[ "$(basename "$deb")" = "qvt-n2_$(field Version)_$arch.deb" ] || fail "file name: $(basename "$deb")"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no maintainer or description"

# The libraries the programs link, with versions from their symbols; nothing from the build.
depends=$(field Depends)
for library in libc6 libstdc++6 libgcc-s1 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
  grep -Eq "(^|, )${library//+/\\+} \(>= [^)]+\)(,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done
if grep -Eq -- '-dev|asan|ubsan|gtest|gmock|libqt6test' <<<"$depends"; then
  fail "Depends names a build or test package: $depends"
fi

# Exactly these files, owned by root; programs executable by all, the rest readable by all.
icons=$(for n in 16 22 24 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${n}x$n/apps/qvt-n2.png"; done)
sort >"$work/expected" <<EOF2
./usr/bin/n2-meter-sim
./usr/bin/qvt-n2-poll
./usr/bin/qvt_n2
./usr/share/applications/qvt-n2.desktop
$icons
EOF2
dpkg-deb --contents "$deb" >"$work/contents"
awk '$1 !~ /^d/ { print $6 }' "$work/contents" | sort >"$work/files"
diff -u "$work/expected" "$work/files" || fail "file list differs (- expected, + in the package)"
awk '$2 != "root/root" { print; bad = 1 } END { exit bad }' "$work/contents" || fail "files not owned by root"
awk '($1 ~ /^d/ || $6 ~ /^\.\/usr\/bin\//) && $1 !~ /^.rwxr-xr-x$/ { print; bad = 1 }
     $1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print; bad = 1 }
     END { exit bad }' "$work/contents" || fail "unexpected modes"

dpkg-deb --extract "$deb" "$work/root"
for program in "$work"/root/usr/bin/*; do
  file --brief "$program" | grep -q 'ELF.*, stripped' || fail "$program is not a stripped program"
done
for n in 16 22 24 32 48 64 128 256; do
  file --brief "$work/root/usr/share/icons/hicolor/${n}x$n/apps/qvt-n2.png" | grep -q "^PNG image data, $n x $n," \
    || fail "the ${n}x$n icon is not a $n x $n PNG"
done

entry="$work/root/usr/share/applications/qvt-n2.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate refused the desktop entry"
key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Icon)" = qvt-n2 ] || fail "Icon=$(key Icon)"
[ "$(key StartupWMClass)" = qvt_n2 ] || fail "StartupWMClass=$(key StartupWMClass)"
[ "$(key Exec)" = qvt_n2 ] || fail "Exec=$(key Exec)"

bash "$here/check-window.sh" "$work/root/usr/bin/$(key Exec)" "$(key StartupWMClass)" \
  "$work/root/usr/share/icons/hicolor" "$(key Icon)"
echo "check-package: $(basename "$deb") passes; Depends: $depends"
