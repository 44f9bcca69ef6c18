#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's own figures with the 100,000-bookmark document: start to the
# filled window, memory of all its processes after showing 50 bookmarks,
# browser-engine processes, and the time to show a bookmark in the pane.
#   scripts/figures.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

"$root/scripts/setup.sh" "$root/build-bench" Release -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_BENCH=ON

export QT_QPA_PLATFORM=offscreen
echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$root/build-bench/bench/quillet_figures"
"$root/build-bench/bench/quillet_bench" --benchmark_filter=ShowDescription \
  --benchmark_counters_tabular=true
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
