#!/usr/bin/env bash
# Configures and builds into build/ (the program lands at build/snapwire): the targets
# named as arguments, or everything. The configuration is the same for every caller,
# so building one set of targets never invalidates another's.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNAPWIRE_WERROR=ON >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j "$(nproc)" "${targets[@]}"
