#!/usr/bin/env bash
# Builds and runs the database transfer benchmark against the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target bench_transfer_bench
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} exec ./build/bench_transfer_bench "$@"
