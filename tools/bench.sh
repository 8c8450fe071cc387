#!/usr/bin/env bash
# Builds the benchmarks in a Release build (build-bench/) and runs them without a display, but
# for pasting from another program, which needs an X server (a virtual one where none is).
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
# A list pasted from another program (xclip owning the X11 clipboard) and a file dropped: one
# process a row, so that each peak memory is its own.
x11=()
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
    x11=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
# The keystrokes once more in a real window, where painting goes to the X server.
if [ ${#x11[@]} -gt 0 ] || [ -n "${DISPLAY:-}" ]; then
    QT_QPA_PLATFORM=xcb ${x11[@]+"${x11[@]}"} build-bench/bench/bench_fenster keystroke
fi
# Qt's transfer from xclip alone comes first, to tell it from what Velmora does after it.
for zeile in "uebertragung 1000000 5" "einfuegen 1000000 5" "uebertragung 10000000 3" \
             "einfuegen 10000000 3" "ablegen 1000000 5" "ablegen 10000000 3"; do
    if [ ${#x11[@]} -gt 0 ] || [ -n "${DISPLAY:-}" ]; then
        QT_QPA_PLATFORM=xcb ${x11[@]+"${x11[@]}"} build-bench/bench/bench_einfuegen $zeile
    else
        build-bench/bench/bench_einfuegen $zeile
    fi
done
