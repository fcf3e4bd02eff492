#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as VORDAL_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${VORDAL_BUILD_DIR:-build}"
launcher=()
# A compiler cache, when the machine has one, makes rebuilds of other checkouts cheap.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
