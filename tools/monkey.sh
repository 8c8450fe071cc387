#!/usr/bin/env bash
# A long monkey run at the real data window: tools/monkey.sh [actions] [seed].
# Without a seed each run takes a new one and prints it; give it to replay a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
velmora_install_packages
velmora_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
export QT_QPA_PLATFORM=offscreen
export VELMORA_MONKEY_ACTIONS=${1:-50000}
export QTEST_FUNCTION_TIMEOUT=86400000 # a long run takes longer than Qt Test's 5 minutes
[ -z "${2:-}" ] || export VELMORA_MONKEY_SEED=$2
build/tests/tst_windows affe
