#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UBSan) in build-fuzz/ and runs
# each for a bounded time (FUZZ_SECONDS, 60 by default). The kept regression inputs of
# tests/reliability/fuzz-cases/ join the corpus. A crash input is left in
# build-fuzz/crashes/<target>/ and the script fails: copy it into
# tests/reliability/fuzz-cases/<target>/ so the test suite replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh fuzz
seconds=${FUZZ_SECONDS:-60}
build=build-fuzz
targets=(meter_frames reply_decode typed_numbers)

cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build" -j"$(nproc)"
rm -rf "$build/seeds"
"$build/fuzz-seeds" "$build/seeds"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/crashes/$t" "tests/reliability/fuzz-cases/$t"
  echo "== fuzz_$t: ${seconds} s"
  if ! "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$t/" "$build/corpus/$t" "$build/seeds/$t" \
      "tests/reliability/fuzz-cases/$t" >"$build/fuzz_$t.log" 2>&1; then
    failed+=("$t")
    tail -n 40 "$build/fuzz_$t.log"
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/fuzz_$t.log" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: crash in ${failed[*]}; inputs in $build/crashes/" >&2
  exit 1
fi
echo "fuzz: ${#targets[@]} targets ran ${seconds} s each, no crash"
