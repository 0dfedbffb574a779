#!/usr/bin/env bash
# Builds the program and snapwire-reg into build/ and starts the program. Installs
# what is missing on Debian 12.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh snapwire snapwire-reg
exec ./build/snapwire "$@"
