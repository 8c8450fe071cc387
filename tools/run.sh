#!/usr/bin/env bash
# Builds the application alone into build/ (tools/test.sh builds the rest) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
velmora_install_packages
velmora_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo --target velmora
if [ -d build/velmora.app ]; then
    exec open -W build/velmora.app
fi
exec build/velmora
