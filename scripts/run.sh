#!/usr/bin/env bash
# Builds and starts Pelvaro. Needs a display: on a machine without one it
# runs under xvfb-run (a virtual display), and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${PELVARO_BUILD_DIR:-build}
jobs=${PELVARO_JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$jobs" --target pelvaro
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY is not set): starting Pelvaro on a virtual display with xvfb-run." >&2
  echo "To see the window, run this command from a desktop session." >&2
  exec xvfb-run -a "$build/bin/pelvaro" "$@"
fi
exec "$build/bin/pelvaro" "$@"
