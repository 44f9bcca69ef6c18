#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws the heading pictures (src/gui/resources/headings/{16,32}/NN.png)
# from scripts/icons/make_heading_icons.cpp. The PNGs are committed; run this
# only after changing a drawing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O1 -fPIC -o "$work/make_heading_icons" "$root/scripts/icons/make_heading_icons.cpp" \
  $(pkg-config --cflags --libs Qt6Gui)
out="$root/src/gui/resources/headings"
rm -f "$out"/16/*.png "$out"/32/*.png
QT_QPA_PLATFORM=offscreen "$work/make_heading_icons" "$out"

# The resource list follows the pictures drawn.
cd "$out"
{
  echo '<!DOCTYPE RCC>'
  echo '<RCC version="1.0">'
  echo '  <qresource prefix="/headings">'
  for f in 16/*.png 32/*.png; do echo "    <file>$f</file>"; done
  echo '  </qresource>'
  echo '</RCC>'
} > headings.qrc
echo "Wrote src/gui/resources/headings/{16,32}/*.png and headings.qrc"
