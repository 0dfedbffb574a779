#!/usr/bin/env bash
# Configures and builds into build/ (the program lands at build/snapwire).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNAPWIRE_WERROR="${SNAPWIRE_WERROR:-OFF}" >/dev/null
cmake --build build -j "$(nproc)"
