#!/usr/bin/env bash
# Builds Velmora and runs every test without a display: once in build/, once more under
# AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
velmora_install_packages

# A German locale lets the tests prove that numbers are read and written the same under it.
if command -v localedef >/dev/null 2>&1 && ! locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$'; then
    velmora_as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true
fi

export QT_QPA_PLATFORM=offscreen
jobs=$(velmora_jobs)

velmora_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure --parallel "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp
velmora_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON
ctest --test-dir build-sanitize --output-on-failure --parallel "$jobs"
