#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh

BUILD=${VONDRIX_TEST_BUILD:-build-test}
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DVONDRIX_WERROR=ON -DVONDRIX_SANITIZE=ON -DVONDRIX_FUZZ=ON -DVONDRIX_BENCH=OFF \
  -DFUZZ_SECONDS="${VONDRIX_FUZZ_SECONDS:-10}"
cmake --build "$BUILD" -j2
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD" -j2 --output-on-failure --timeout 300
