#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program. Without arguments it opens
# the sample log offline, so that the first start shows interpreted telegrams at once; with
# arguments they go to the program (log, parameter set or object text files, online/offline).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build="${VORDAL_BUILD_DIR:-build}"
if [ $# -eq 0 ]; then
  case "$build" in /*) dir="$build" ;; *) dir="$(pwd)/$build" ;; esac
  exec "$build/bin/vordal" "$dir/samples/sample_recording.lg1" offline
fi
exec "$build/bin/vordal" "$@"
