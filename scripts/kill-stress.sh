#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills a child process at random moments in the middle of each command that
# writes a document and checks what is left (see tests/stress/kill_stress.cpp):
#   scripts/kill-stress.sh [--kills N] [--seed S] [--only save,paste,...] [--small] [--keep]
# Builds into build/ like test.sh; 100 kills per command unless told.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh" "$root/build" RelWithDebInfo -DQUILLET_BUILD_TESTS=ON
export QT_QPA_PLATFORM=offscreen
exec nice "$root/build/tests/stress/kill_stress" "$@"
