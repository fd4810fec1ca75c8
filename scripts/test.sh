#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and widget
# tests (headless), then the end-to-end stage under Xvfb.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/setup.sh"
"$here/build.sh"
cd "$here/.."
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 300
if [ -x tests/e2e/run.sh ]; then
  BUILD_DIR=${BUILD_DIR:-build} tests/e2e/run.sh
fi
