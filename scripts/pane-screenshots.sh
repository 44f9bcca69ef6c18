#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the description pane with three bookmarks (no thumbnail; a
# thumbnail; a long description with markup and a long unbroken link), set
# beside the same three as the pane showed them with the browser engine
# (docs/pane-before): docs/description-pane.png.
#   scripts/pane-screenshots.sh [build-dir]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quillet_gui -j"$(nproc 2>/dev/null || echo 2)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Only what the GUI library needs is linked (--as-needed).
g++ -std=c++20 -fPIC -DSQLITE_HAS_CODEC -I"$root/src/core" -I"$root/src/gui" \
  -o "$work/pane_pictures" "$root/scripts/screenshot/pane_pictures.cpp" \
  -Wl,--as-needed "$build/src/libquillet_gui.a" "$build/src/libquillet_core.a" \
  "$build/src/libquillet_store.a" \
  $(pkg-config --cflags --libs Qt6WebEngineWidgets Qt6Widgets sqlcipher libpng)

export QUILLET_HOME="$work/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$QUILLET_HOME"
"$work/pane_pictures" shoot "$work/after"
"$work/pane_pictures" compose "$root/docs/pane-before" "$work/after" "$root/docs/description-pane.png"
echo "Wrote docs/description-pane.png"
