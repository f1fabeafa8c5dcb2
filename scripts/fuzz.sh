#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on its seed
# corpus (tests/fuzz/corpus/<target>), working on a copy so the seeds stay as committed.
set -euo pipefail
cd "$(dirname "$0")/.."
# Seconds per target: the header parser gets 40, the others the default.
default_seconds=${1:-20}
seconds_for() {
  case "$1" in
    fuzz_dbf_header) echo 40 ;;
    *) echo "$default_seconds" ;;
  esac
}
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXB_FUZZ=ON -DXB_WITH_QT=OFF
cmake --build build/fuzz -j"$(nproc)"
status=0
for bin in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin")
  seconds=$(seconds_for "$name")
  work=build/fuzz/corpus/$name
  rm -rf "$work"; mkdir -p "$work"
  if [ -d "tests/fuzz/corpus/$name" ]; then cp -r "tests/fuzz/corpus/$name/." "$work/"; fi
  echo "== fuzzing $name for ${seconds}s"
  if ! "$bin" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=build/fuzz/ -print_final_stats=1 2> "build/fuzz/$name.log"; then
    status=1
    tail -50 "build/fuzz/$name.log"
  fi
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "build/fuzz/$name.log" || true
done
if [ $status -eq 0 ]; then echo "fuzz: all targets ran without a crash"; fi
exit $status
