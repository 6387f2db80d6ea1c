#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program against the
# built-in simulated phone.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh

BUILD=build-release
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVONDRIX_TESTS=OFF -DVONDRIX_BENCH=OFF
cmake --build "$BUILD" -j2

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$BUILD/src/gui/vondrix" ]; then
  exec "$BUILD/src/gui/vondrix" --simulate "$@"
fi
exec "$BUILD/src/cli/vondrix-cli" --simulate info "$@"
