#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer build, runs every test in
# both, then runs each fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j"$jobs"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXB_SANITIZE=ON
cmake --build build/asan -j"$jobs"

echo "== tests, normal build"
ctest --test-dir build/release --output-on-failure -j"$jobs"
echo "== tests, AddressSanitizer and UndefinedBehaviorSanitizer build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
  ctest --test-dir build/asan --output-on-failure -j"$jobs"

scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
