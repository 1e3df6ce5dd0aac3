#!/usr/bin/env bash
# The README's order on one clone: run.sh's build folder, configured again
# by test.sh, builds every test.
set -euo pipefail
src=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
bash "$src/scripts/configure.sh" "$dir" program >/dev/null
bash "$src/scripts/configure.sh" "$dir" tests >/dev/null
if ! grep -qx 'QV_BUILD_TESTS:BOOL=ON' "$dir/CMakeCache.txt"; then
  echo "a build folder configured by run.sh keeps its tests off under test.sh" >&2
  exit 1
fi
