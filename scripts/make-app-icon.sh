#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the application icon packaging/icons/quillet.svg into the PNGs
# packaging/icons/quillet-N.png that desktops want beside it. The PNGs are
# committed; run this only after changing the drawing (needs rsvg-convert,
# Debian package librsvg2-bin).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
icons="$root/packaging/icons"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/quillet.svg" -o "$icons/quillet-$size.png"
done
echo "Wrote packaging/icons/quillet-{16,32,48,64,128,256}.png"
