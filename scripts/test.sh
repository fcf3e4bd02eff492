#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd "${VORDAL_BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)" --timeout 600
