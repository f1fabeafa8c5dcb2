#!/usr/bin/env bash
# Saves pictures of the whole 1024x768 screen for a person to look at, one for each
# window as the program shows it under a window manager (openbox, when it is installed):
# the main window, its open variant list, a question of a scored test, the final
# message with the review of mistakes offered, that review, a question of the review
# mode, the results window (also in name order with a search typed) and the warning about
# a question table cut short. The program
# runs under xvfb-run on a copy of the sample data (the build's pristine data directory,
# with the last variant's table cut short), takes a test with one wrong answer, reviews
# it and a variant, opens the results and ends by itself.
#
#   scripts/screenshots.sh [output folder]      (default: build/screenshots)
#
# KAZTEST_SCREEN (WxHxDEPTH) and KAZTEST_DPI try other screens.
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
rm -f "$OUT"/[1-9]-*.png

# The last variant keeps its header but loses all but three of its records and a half.
python3 - "$DATA/Kaz30.dbf" <<'PY'
import os, struct, sys
path = sys.argv[1]
with open(path, 'rb') as f:
    head = f.read(12)
header_length, record_length = struct.unpack('<HH', head[8:12])
os.truncate(path, header_length + 3 * record_length + record_length // 2)
PY

WM=""
if command -v openbox >/dev/null; then WM=openbox; else echo "openbox is missing: windows without frames" >&2; fi
cd "$DATA"
KAZTEST_SCREENSHOT_DIR="$OUT" QT_QPA_PLATFORM=xcb WM="$WM" KAZTEST="$BUILD/app/kaztest" \
  timeout 120 xvfb-run -a -s "-screen 0 ${KAZTEST_SCREEN:-1024x768x24} -dpi ${KAZTEST_DPI:-96}" \
  bash -c 'if [ -n "$WM" ]; then "$WM" >/dev/null 2>&1 & sleep 1; fi; exec "$KAZTEST"'

missing=0
for f in 1-main 2-variant-list 3-test-question 4-final-message 5-mistakes 6-review-question 7-results \
         8-damaged-table 9-results-search; do
  if [ -s "$OUT/$f.png" ]; then echo "$OUT/$f.png"; else echo "missing: $f.png" >&2; missing=1; fi
done
exit $missing
