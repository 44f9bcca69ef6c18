#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillet, writes a small sample document and takes a picture of the
# main window under Xvfb: docs/screenshot.png (shown in README.md).
#   scripts/screenshot.sh [build-dir]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}

if ! command -v xvfb-run >/dev/null; then
  echo "The screenshot needs Xvfb: apt-get install -y xvfb xauth" >&2
  exit 1
fi
# Only the program is built (run.sh and test.sh share the folder).
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quillet -j"$(nproc 2>/dev/null || echo 2)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The sample document, written through the core library.
g++ -std=c++20 -fPIC -DSQLITE_HAS_CODEC -I"$root/src/core" \
  -o "$work/sample_document" "$root/scripts/screenshot/sample_document.cpp" \
  "$build/src/libquillet_core.a" $(pkg-config --cflags --libs Qt6Gui sqlcipher)
export QUILLET_HOME="$work/home"
mkdir -p "$QUILLET_HOME"
QT_QPA_PLATFORM=offscreen "$work/sample_document" "$work/Bookmarks.rdb"

# A normal window of 960 x 600 pixels (Xvfb runs no window manager to
# maximise it); positions are in twips, 15 to a pixel.
cat >"$QUILLET_HOME/config.ini" <<INI
[Position]
Top=0
Left=0
Width=14400
Height=9000
[WindowState]
iCmdShow=0
INI

if [[ $(id -u) -eq 0 ]]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
export QUILLET_SCREENSHOT="$work/screenshot.png"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/quillet" "$work/Bookmarks.rdb"

mkdir -p "$root/docs"
cp "$QUILLET_SCREENSHOT" "$root/docs/screenshot.png"
echo "Wrote docs/screenshot.png"
