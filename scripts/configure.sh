#!/usr/bin/env bash
# Configures a build folder for one use:
#   configure.sh <folder> program     the program and the simulator, no tests
#   configure.sh <folder> tests       the program and every test, warnings as errors
#   configure.sh <folder> sanitized   the tests again under AddressSanitizer and UBSan
# Each use sets every option it depends on, so a folder configured for one
# use serves the next one whole.
set -euo pipefail
dir=$1
case $2 in
  program) opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_SANITIZE=OFF -DQV_BUILD_TESTS=OFF) ;;
  tests) opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_SANITIZE=OFF -DQV_BUILD_TESTS=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON) ;;
  sanitized) opts=(-DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON -DQV_BUILD_TESTS=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON) ;;
  *) echo "configure.sh: unknown use '$2'" >&2; exit 2 ;;
esac
exec cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja "${opts[@]}"
