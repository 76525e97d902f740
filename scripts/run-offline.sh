#!/usr/bin/env bash
# Installs what the build needs, builds the client and starts it in offline mode. The client runs in
# build/release, where the build generated its packages (data/) and where it keeps config.ini and
# StartLog.log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target marvenlot
cd build/release
exec app/marvenlot offline "$@"
