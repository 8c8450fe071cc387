#!/usr/bin/env bash
# Writes the golden pictures of the tests anew from the current code, after a deliberate
# change of the chart: tools/golden.sh. Look at every changed picture in tests/golden/ before
# committing it (git status tests/golden).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
velmora_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
VELMORA_GOLDEN_UPDATE=1 QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
    ctest --test-dir build --output-on-failure -R 'tst_(chart|windows|app)'
git status --short tests/golden
