#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, skipping
# those already present.
set -euo pipefail
PACKAGES=(
  g++ cmake make ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev fonts-dejavu-core xvfb xauth openbox
  python3 python3-dbf python3-dbfread
  libshp-dev libxbase64-dev
  nlohmann-json3-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
