#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared set-up of run.sh, test.sh and bench.sh: make sure the Debian packages
# Quillet builds with are installed, then configure and build.
#   scripts/setup.sh <build-dir> <build-type> [extra cmake args...]
#   scripts/setup.sh --packages-only          install, do not build
set -euo pipefail

PACKAGES=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools libgl-dev
  libsqlcipher-dev sqlcipher libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fp-utils libchm-bin xdg-utils
  xvfb xauth
)
# More for one caller (scripts/package.sh), as a blank-separated list.
read -r -a extra <<<"${QUILLET_EXTRA_PACKAGES:-}"
PACKAGES+=("${extra[@]}")

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Quillet needs these Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
fi

[[ ${1:-} == --packages-only ]] && exit 0

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$1
build_type=$2
shift 2
jobs=$(nproc 2>/dev/null || echo 2)

# Rebuilds in several checkouts share compiled objects when ccache is there.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="$build_type" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j"$jobs"
