#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillet if needed and starts it: ./run.sh [--offscreen] [file.rdb]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

offscreen=0
args=()
for a in "$@"; do
  if [[ $a == --offscreen ]]; then offscreen=1; else args+=("$a"); fi
done

"$root/scripts/setup.sh" "$root/build" RelWithDebInfo -DQUILLET_BUILD_TESTS=OFF >/dev/null

if ((offscreen)); then
  export QT_QPA_PLATFORM=offscreen
elif [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
  echo "Quillet needs a graphical display (DISPLAY is not set); use ./run.sh --offscreen for a smoke run." >&2
  exit 1
fi
# The embedded web view's sandbox cannot run as root.
if [[ $(id -u) -eq 0 ]]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

exec "$root/build/src/quillet" "${args[@]}"
