#!/usr/bin/env bash
# Sets up, builds (release) and runs the main job.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vantorel-desktop
exec ./build/release/desktop/vantorel-desktop --install-plugin build/release/Vantorel.plugin "$@"
