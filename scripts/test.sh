#!/usr/bin/env bash
# Builds the whole project and runs every test: once plain, once under AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero when any build or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure --timeout 300
}

run_suite build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQVT_SANITIZE=ON
