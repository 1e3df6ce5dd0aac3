#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: once in a
# normal build, once under AddressSanitizer and UndefinedBehaviorSanitizer.
# Every ctest run fails when it finds no test. A test failing in the normal
# build does not keep the sanitized build from running; either fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

bash scripts/configure.sh build tests
cmake --build build -j"$jobs"
failed=0
ctest --test-dir build --no-tests=error --output-on-failure -j"$jobs" || failed=1

bash scripts/configure.sh build-asan sanitized
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --no-tests=error --output-on-failure -j"$jobs" || failed=1
exit "$failed"
