#!/usr/bin/env bash
# Builds QVT_N2 and starts it against the simulated meter: a meter at address 1 on a
# pseudo-terminal that the program sees as COM1. Type 1 in the address box and press "Read".
# Works on a desktop and under xvfb-run. The simulator stops when the program exits.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)" --target qvt_n2 qvt-n2-poll n2-meter-sim

work=$(mktemp -d)
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

build/sim/n2-meter-sim --address 1 --link "$work/com1" >"$work/sim.out" &
sim_pid=$!

# The simulator prints its pty's path on its first line once it serves the meter.
pty=
for _ in $(seq 100); do
  pty=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
  [ -n "$pty" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { echo "run-demo: the simulated meter did not start" >&2; exit 1; }
  sleep 0.1
done
[ -n "$pty" ] || { echo "run-demo: no pty from the simulated meter" >&2; exit 1; }

echo "run-demo: simulated meter at address 1 on $pty (COM1)"
QVT_N2_COM1="$pty" build/ui/qvt_n2
