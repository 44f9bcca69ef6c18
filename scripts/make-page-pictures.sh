#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws the pictures of the description pane and help pages
# (src/core/resources/pages/*.gif) from scripts/pictures/make_page_pictures.cpp.
# The GIFs are committed; run this only after changing a drawing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O1 -fPIC -o "$work/make_page_pictures" "$root/scripts/pictures/make_page_pictures.cpp" \
  $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/make_page_pictures" "$root/src/core/resources/pages"
echo "Wrote $root/src/core/resources/pages/*.gif"
