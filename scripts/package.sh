#!/usr/bin/env bash
# Builds Quillet in Release (without the tests) into build-release/ and makes
# the Debian package there with CPack: build-release/quillet_<version>_<arch>.deb.
#   scripts/package.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$root/build-release}

# CPack reads the package's dependencies with dpkg-shlibdeps (dpkg-dev),
# which finds the binaries with file(1).
QUILLET_EXTRA_PACKAGES="dpkg-dev file" "$root/scripts/setup.sh" "$build_dir" Release \
  -DQUILLET_BUILD_TESTS=OFF
(cd "$build_dir" && cpack -G DEB)
ls -1 "$build_dir"/*.deb
