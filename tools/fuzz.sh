#!/usr/bin/env bash
# Fuzzes each fuzzer for a while (60 seconds unless given) under AddressSanitizer and
# UndefinedBehaviorSanitizer. New inputs go to build-sanitize/fuzz-corpus/, findings to
# fuzz-out/. A finding becomes a fixed bug and a file in fuzz/corpus/<fuzzer>/, which the
# tests then replay for good.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
source tools/setup.sh
velmora_install_packages test
source tools/sanitize-env.sh
options=$(velmora_fuzz_options)
[ -n "$options" ] || { echo "clang with libFuzzer is needed for fuzzing." >&2; exit 1; }
velmora_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON $options
export QT_QPA_PLATFORM=offscreen
mkdir -p fuzz-out
for fuzzer in fuzz_text fuzz_statistik fuzz_chart fuzz_editor; do
    work=build-sanitize/fuzz-corpus/$fuzzer
    mkdir -p "$work"
    echo "== $fuzzer, $seconds s"
    "build-sanitize/fuzz/$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="fuzz-out/$fuzzer-" -print_final_stats=1 "$work" "fuzz/corpus/$fuzzer"
done
