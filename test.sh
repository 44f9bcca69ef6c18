#!/usr/bin/env bash
# Builds Quillet with its tests and runs every test: ./test.sh [ctest args...]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

"$root/scripts/setup.sh" "$root/build" RelWithDebInfo -DQUILLET_BUILD_TESTS=ON

export QTWEBENGINE_DISABLE_SANDBOX=1
cd "$root/build"
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)" --timeout 600 "$@"
