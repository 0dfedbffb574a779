#!/usr/bin/env bash
# Builds Snapwire into build/ and starts it. Installs what is missing on Debian 12.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
exec ./build/snapwire "$@"
