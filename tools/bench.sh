#!/usr/bin/env bash
# Builds the benchmarks in a Release build (build-bench/) and runs them without a display.
# "tools/bench.sh statistik [word]" runs the statistics alone (with a word, only the cases
# whose names hold it).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
velmora_install_packages bench
velmora_build build-bench -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF
export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = statistik ]; then
    build-bench/bench/bench_statistik ${2:+"$2"}
    exit
fi
build-bench/bench/bench_statistik
build-bench/bench/bench_editor
# The chart and the keystroke on a screen of device pixel ratio 1, and of 2.
for faktor in 1 2; do
    for programm in bench_chart bench_fenster; do
        QT_SCALE_FACTOR=$faktor "build-bench/bench/$programm"
    done
done
