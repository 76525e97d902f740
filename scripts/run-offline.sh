#!/usr/bin/env bash
# Installs what the build needs, builds the client and starts it in offline mode.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target marvenlot
exec build/release/app/marvenlot offline "$@"
