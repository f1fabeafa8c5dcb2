#!/usr/bin/env bash
# Builds the program and starts it on the bundled sample data.
#
# On a fresh machine it first installs the packages the build needs. The program works
# in its data directory, $KAZTEST_DATA_DIR or else ~/.local/share/kaztest (under
# $XDG_DATA_HOME when that is set). The first run copies the whole sample data there:
# the thirty question tables Kaz1.dbf ... Kaz30.dbf, and an empty NAME.DBF (remembered
# names) and INFO.DBF (results log). Later runs refresh the question tables from the
# build and keep the names and results. KAZTEST_BUILD_DIR chooses another build folder
# (build/release by default).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
BUILD="${KAZTEST_BUILD_DIR:-$ROOT/build/release}"
PRISTINE="$BUILD/sample-data"
DATA_DIR="${KAZTEST_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/kaztest}"

scripts/install-deps.sh
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only what running needs: the sample data (with its tool) and the program.
targets=(sample-data)
if cmake --build "$BUILD" --target help | grep -q '^kaztest:'; then
  targets+=(kaztest)
fi
cmake --build "$BUILD" -j"$(nproc)" --target "${targets[@]}"

# A file of the data directory whatever the case of its name (tables copied from another
# system may be in upper case), or nothing.
existing() {
  find "$DATA_DIR" -maxdepth 1 -type f -iname "$1" -print -quit
}

# Copies a file of the pristine directory in under a temporary name, then renames it, so
# that a copy cut short never stands in for the table.
install_table() {
  local name="$1" target="$2"
  cp "$PRISTINE/$name" "$target.part.$$"
  mv -f "$target.part.$$" "$target"
}

mkdir -p "$DATA_DIR"
for n in $(seq 1 30); do
  name="Kaz$n.dbf"
  target="$(existing "$name")"
  install_table "$name" "${target:-$DATA_DIR/$name}"
done
for name in NAME.DBF INFO.DBF; do
  if [ -z "$(existing "$name")" ]; then
    install_table "$name" "$DATA_DIR/$name"
  fi
done
echo "data directory: $DATA_DIR"

if [ ! -x "$BUILD/app/kaztest" ]; then
  echo "The program is not built yet; the sample data is ready in $DATA_DIR." >&2
  exit 0
fi
cd "$DATA_DIR"
exec "$BUILD/app/kaztest"
