#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/configure.sh build program >/dev/null
cmake --build build --target qvsetup encsim-run
exec ./build/qvsetup "$@"
