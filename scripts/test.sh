#!/usr/bin/env bash
# Builds the whole project and runs every test: once plain, once under AddressSanitizer and
# UndefinedBehaviorSanitizer. The plain build also makes the Debian package and checks it, and
# the project is built once more as another project would add it. Exits non-zero when any
# build or check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test package
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure --timeout 300
}

run_suite build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
rm -f build-test/qvt-n2_*.deb
cmake --build build-test --target package
bash tests/install/check-package.sh build-test/qvt-n2_*.deb
bash tests/install/check-cmake-project.sh

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQVT_SANITIZE=ON
