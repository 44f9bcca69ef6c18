#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillet with its tests and runs every test: ./test.sh [ctest args...]
#   ./test.sh --sanitize [ctest args...]   the same under ASan and UBSan, built
#                                          into build-asan
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
export QTWEBENGINE_DISABLE_SANDBOX=1

if [[ ${1:-} == --sanitize ]]; then
  shift
  # -O0 with line tables only: the build takes a fraction of the time.
  "$root/scripts/setup.sh" "$root/build-asan" Debug -DQUILLET_BUILD_TESTS=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer" \
    -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
  # QtWebEngine's bundled Chromium frees some objects with a sized delete of
  # another type; that check is off because the code is not ours.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:new_delete_type_mismatch=0}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
  cd "$root/build-asan"
  exec ctest --output-on-failure -j"$jobs" --timeout 1200 "$@"
fi

"$root/scripts/setup.sh" "$root/build" RelWithDebInfo -DQUILLET_BUILD_TESTS=ON

cd "$root/build"
ctest --output-on-failure -j"$jobs" --timeout 600 "$@"

# A full run also replays the fuzzers' kept crash inputs and runs each fuzzer
# for a few seconds, when clang is there to build them.
if (($# == 0)) && command -v clang++ >/dev/null; then
  "$root/scripts/fuzz.sh" --smoke
fi
