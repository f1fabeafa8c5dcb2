#!/usr/bin/env bash
# Saves pictures of the program's windows for a person to look at: the main window, a
# question of a scored test, a question of the review, the final message and the
# results window. The program runs under xvfb-run on a copy of the sample data (the
# build's pristine data directory), takes a test, reviews a variant, opens the results
# and ends by itself.
#
#   scripts/screenshots.sh [output folder]      (default: build/screenshots)
#
# KAZTEST_BUILD_DIR chooses the build folder (build/release by default); it must hold
# app/kaztest and sample-data/ (cmake --build <dir> --target kaztest sample-data).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
BUILD="${KAZTEST_BUILD_DIR:-$ROOT/build/release}"
BUILD="$(cd "$BUILD" 2>/dev/null && pwd || echo "$BUILD")"
OUT="${1:-$ROOT/build/screenshots}"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"

if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing (Debian package xvfb)" >&2
  exit 1
fi
if [ ! -x "$BUILD/app/kaztest" ] || [ ! -f "$BUILD/sample-data/Kaz1.dbf" ]; then
  echo "build first: cmake --build $BUILD --target kaztest sample-data" >&2
  exit 1
fi

DATA="$(mktemp -d /tmp/kaztest-shots-XXXXXX)"
trap 'rm -rf "$DATA"' EXIT
cp "$BUILD"/sample-data/* "$DATA"/
rm -f "$OUT"/[1-5]-*.png

cd "$DATA"
KAZTEST_SCREENSHOT_DIR="$OUT" QT_QPA_PLATFORM=xcb \
  timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/app/kaztest"

missing=0
for f in 1-main 2-test-question 3-review-question 4-final-message 5-results; do
  if [ -s "$OUT/$f.png" ]; then echo "$OUT/$f.png"; else echo "missing: $f.png" >&2; missing=1; fi
done
exit $missing
