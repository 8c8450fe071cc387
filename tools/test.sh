#!/usr/bin/env bash
# Builds Velmora and runs every test without a display: once in build/, once more under
# AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
velmora_install_packages test

# A German locale lets the tests prove that numbers are read and written the same under it.
if command -v localedef >/dev/null 2>&1 && ! locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$'; then
    velmora_as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true
fi

# The sources keep the one format of .clang-format. Other versions of clang-format than Debian
# 12's format some constructs differently, so they are not asked.
if clang-format --version 2>/dev/null | grep -q 'version 14\.'; then
    find src tests fuzz bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run -Werror
else
    echo "Format check skipped: it is made with clang-format 14."
fi

export QT_QPA_PLATFORM=offscreen
jobs=$(velmora_jobs)

# Warnings fail the build, in both configurations.
velmora_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON
ctest --test-dir build --output-on-failure --parallel "$jobs"

# The pictures do not depend on the machine: the picture tests pass again with another sans-serif
# font preferred, hinted fully and with subpixel colours (as a desktop's fontconfig file may set
# them), and with another widget style.
pictures='tst_(chart|windows|app)'
if command -v fc-match >/dev/null 2>&1; then
    FONTCONFIG_FILE=$PWD/tools/andere-schrift.conf \
        ctest --test-dir build --output-on-failure --parallel "$jobs" -R "$pictures"
fi
QT_STYLE_OVERRIDE=Windows ctest --test-dir build --output-on-failure --parallel "$jobs" -R "$pictures"

# The desktop entry, the metainfo and the Debian package made from build/.
if command -v dpkg-deb >/dev/null 2>&1; then
    tools/package-check.sh build
fi

# The sanitizer build uses clang where it has libFuzzer, and then also replays every
# fuzzer's corpus.
source tools/sanitize-env.sh
velmora_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_WERROR=ON \
    $(velmora_fuzz_options)
ctest --test-dir build-sanitize --output-on-failure --parallel "$jobs"
