#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang into build-fuzz and runs them.
#   scripts/fuzz.sh [target|all] [seconds]   one target (or all, one after
#                                            another) for `seconds` each (60)
#   scripts/fuzz.sh --smoke                  replays the kept crash inputs and
#                                            runs every target for 5 seconds
# Targets: ini jet_translate jet_like description_page document_open bookmark_html
# chromium_json places update_version settings.
# New corpus entries go to build-fuzz/corpus/<target>; inputs that crash go to
# build-fuzz/artifacts/<target>. Keep a fixed crash input under
# tests/fuzz/<target>/crashes/ so that every later run replays it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLET_FUZZ_BUILD:-$root/build-fuzz}
all=(ini jet_translate jet_like description_page document_open bookmark_html chromium_json places
  update_version settings)

smoke=0
if [[ ${1:-} == --smoke ]]; then
  smoke=1
  shift
fi
target=${1:-all}
seconds=${2:-$((smoke ? 5 : 60))}
if [[ $target == all ]]; then
  targets=("${all[@]}")
elif [[ " ${all[*]} " == *" $target "* ]]; then
  targets=("$target")
else
  echo "Unknown target '$target'; one of: ${all[*]} all" >&2
  exit 2
fi

command -v clang++ >/dev/null || { echo "The fuzzers need clang++." >&2; exit 1; }
# -O1 with line tables: quick to build, fast enough to fuzz.
args=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1"
  -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_FUZZ=ON)
command -v ninja >/dev/null && args+=(-G Ninja)
command -v ccache >/dev/null && args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" "${args[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
# Targets that lay out windows load fontconfig, whose caches live as long as
# the process: the same third-party leaks the sanitized tests leave out.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
status=0
for t in "${targets[@]}"; do
  bin=$build/tests/fuzz/fuzz_$t
  seeds=$root/tests/fuzz/$t/corpus
  crashes=$root/tests/fuzz/$t/crashes
  work=$build/corpus/$t
  artifacts=$build/artifacts/$t/
  mkdir -p "$work" "$artifacts"
  kept=()
  if [[ -d $crashes ]]; then
    mapfile -t kept < <(find "$crashes" -type f | sort)
  fi
  if ((${#kept[@]})); then
    echo "== $t: replaying ${#kept[@]} kept crash inputs"
    "$bin" "${kept[@]}" >"$build/$t-replay.log" 2>&1 || {
      cat "$build/$t-replay.log" >&2
      echo "== $t: a kept crash input fails again" >&2
      status=1
      continue
    }
  fi
  echo "== $t: fuzzing for $seconds s"
  if ! "$bin" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts" \
    -timeout=25 -rss_limit_mb=4096 "$work" "$seeds" >"$build/$t.log" 2>&1; then
    tail -n 60 "$build/$t.log" >&2
    echo "== $t: FAILED; the input is in $artifacts (log: $build/$t.log)" >&2
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$build/$t.log" | sed "s/^/   /" || true
done
exit $status
