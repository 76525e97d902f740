#!/usr/bin/env bash
# Installs what the build needs, builds the client and starts it in offline mode. The client reads the
# packages the build generated in build/release/data and keeps config.ini and StartLog.log in
# build/release (docs/running.md, "Where the files live").
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target marvenlot
exec build/release/app/marvenlot offline
