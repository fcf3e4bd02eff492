#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program. Without arguments it starts
# the demonstration line (channel 1 polls channel 2 on a virtual line of the program's own), so
# that the first start shows telegrams flowing at once; "sample" opens the bundled sample log
# offline; other arguments go to the program (log, parameter set or object text files,
# online/offline, --demo).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build="${VORDAL_BUILD_DIR:-build}"
if [ $# -eq 0 ]; then
  exec "$build/bin/vordal" --demo
fi
if [ "$*" = "sample" ]; then
  case "$build" in /*) dir="$build" ;; *) dir="$(pwd)/$build" ;; esac
  exec "$build/bin/vordal" "$dir/samples/sample_recording.lg1" offline
fi
exec "$build/bin/vordal" "$@"
