#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in Release and prints their figures: ./bench.sh [filter]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

"$root/scripts/setup.sh" "$root/build-bench" Release -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_BENCH=ON

export QT_QPA_PLATFORM=offscreen
filter=${1:-.}
"$root/build-bench/bench/quillet_bench" --benchmark_filter="$filter" --benchmark_counters_tabular=true
