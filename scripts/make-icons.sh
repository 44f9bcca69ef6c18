#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws the command pictures (src/gui/resources/commands/{16,32}/NN.png)
# from scripts/icons/make_command_icons.cpp. The PNGs are committed; run this
# only after changing a drawing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O1 -fPIC -o "$work/make_command_icons" "$root/scripts/icons/make_command_icons.cpp" \
  $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/make_command_icons" "$root/src/gui/resources/commands"

# The resource list follows the pictures drawn.
cd "$root/src/gui/resources/commands"
{
  echo '<!DOCTYPE RCC>'
  echo '<RCC version="1.0">'
  echo '  <qresource prefix="/commands">'
  for f in 16/*.png 32/*.png; do echo "    <file>$f</file>"; done
  echo '  </qresource>'
  echo '</RCC>'
} > commands.qrc
echo "Wrote src/gui/resources/commands/{16,32}/*.png and commands.qrc"
