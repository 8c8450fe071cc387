#!/usr/bin/env bash
# Builds Velmora into build/ and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
velmora_install_packages
velmora_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -d build/velmora.app ]; then
    exec open -W build/velmora.app
fi
exec build/velmora
