#!/usr/bin/env bash
# Sets up, builds (debug, with sanitizers) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake --preset debug >/dev/null
cmake --build --preset debug
ctest --preset debug -j"$(nproc)" --timeout 300
