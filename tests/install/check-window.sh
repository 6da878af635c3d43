#!/usr/bin/env bash
# Starts PROGRAM on an X display of its own (Xvfb) and checks the window a desktop sees: its
# WM_CLASS is CLASS (both parts) and each picture of its _NET_WM_ICON is the PNG of that size in
# ICON_DIR (a hicolor tree: ICON_DIR/<n>x<n>/apps/ICON.png).
# Usage: check-window.sh PROGRAM CLASS ICON_DIR ICON
set -euo pipefail
program=$1 class=$2 icon_dir=$3 icon=$4
fail() { echo "check-window: $*" >&2; exit 1; }

work=$(mktemp -d)
pid=
xvfb_pid=
stop() {
  if [ -n "$1" ]; then
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
  fi
}
cleanup() {
  stop "$pid"
  stop "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number: no race with other X servers on the machine.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 300); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb gave no display"
export DISPLAY=":$(head -n 1 "$work/display")"

# On the X display whatever the caller's platform (the test command runs offscreen), and on a
# port that is not there, so no real serial device is touched.
QT_QPA_PLATFORM=xcb QVT_N2_COM1="$work/no-port" "$program" >"$work/program.log" 2>&1 &
pid=$!

window=
for _ in $(seq 300); do
  window=$(xwininfo -root -tree | awk -v c="(\"$class\" \"$class\")" 'index($0, c) { print $1; exit }')
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || { cat "$work/program.log" >&2; fail "$program ended before showing its window"; }
  sleep 0.1
done
[ -n "$window" ] || { xwininfo -root -tree >&2; fail "no window of class $class"; }

wm_class=$(xprop -id "$window" WM_CLASS)
[ "$wm_class" = "WM_CLASS(STRING) = \"$class\", \"$class\"" ] || fail "window class: $wm_class"

# _NET_WM_ICON holds width, height and that many ARGB pixels, for each size in turn: one file
# of "alpha red green blue" lines per size.
xprop -id "$window" -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON \
  | sed 's/^_NET_WM_ICON *//' | tr ',' '\n' | tr -d ' ' \
  | awk -v dir="$work" 'BEGIN { left = 0 }
    left == 0 && !w { w = $1; next }
    left == 0 { left = w * $1; out = dir "/window-" w ".txt"; print w >>(dir "/sizes"); w = 0; next }
    { left--; printf "%d %d %d %d\n", int($1 / 16777216), int($1 / 65536) % 256, int($1 / 256) % 256, $1 % 256 >out }'
[ -s "$work/sizes" ] || fail "the window has no icon"
sizes=$(cat "$work/sizes")

# Pixels compare premultiplied, with a little room for rounding at the soft edges.
for size in $sizes; do
  png="$icon_dir/${size}x${size}/apps/$icon.png"
  [ -f "$png" ] || fail "the window's icon has a ${size}x${size} picture, the icon theme does not"
  convert "$png" -depth 8 txt:- \
    | sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\4 \1 \2 \3/p' >"$work/theme-$size.txt"
  [ "$(wc -l <"$work/window-$size.txt")" -eq "$(wc -l <"$work/theme-$size.txt")" ] \
    || fail "${size}x${size}: the window's picture and the theme's differ in size"
  differing=$(paste -d ' ' "$work/window-$size.txt" "$work/theme-$size.txt" | awk '
    function far(x, y) { return (x > y ? x - y : y - x) > 2 }
    far($1, $5) || far($2 * $1 / 255, $6 * $5 / 255) || far($3 * $1 / 255, $7 * $5 / 255) || far($4 * $1 / 255, $8 * $5 / 255) { n++ }
    END { print n + 0 }')
  [ "$differing" -eq 0 ] || fail "${size}x${size}: $differing pixels of the window's icon differ from $png"
done
echo "check-window: class $class, icon in sizes $(echo $sizes) as in the theme"
