#!/usr/bin/env bash
# Builds the benchmarks in a Release build (build-bench/) and runs them without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
velmora_install_packages
velmora_build build-bench -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF
export QT_QPA_PLATFORM=offscreen
for programm in bench_statistik bench_chart bench_fenster; do
    "build-bench/bench/$programm"
done
