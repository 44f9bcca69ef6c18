#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillet in Release (without the tests) into build-release/, makes the
# Debian package there with CPack (build-release/quillet_<version>_<arch>.deb)
# and checks it the way the distribution does: lintian on the package,
# appstreamcli on its AppStream data, desktop-file-validate on its entry.
#   scripts/package.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$root/build-release}

# CPack reads the package's dependencies with dpkg-shlibdeps (dpkg-dev),
# which finds the binaries with file(1); help2man writes the manual pages.
export QUILLET_EXTRA_PACKAGES="dpkg-dev file help2man lintian appstream desktop-file-utils"
"$root/scripts/setup.sh" --packages-only

# Debian's hardening flags (stack protector, fortified functions, full RELRO).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
"$root/scripts/setup.sh" "$build_dir" Release -DQUILLET_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_MODULE_LINKER_FLAGS="$ldflags"
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls -1t "$build_dir"/*.deb | head -n1)

appstreamcli validate --no-net "$root/packaging/org.example.quillet.metainfo.xml"
desktop-file-validate "$root/packaging/org.example.quillet.desktop"
# Errors and warnings fail the package; the overrides installed with it say
# why each one that remains is right.
lintian --fail-on error,warning "$deb"
echo "$deb"
