#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Both programs answer --help and --version on a terminal without a display,
# in one form, and refuse an unknown option with the usage exit status.
#   tests/app/command_line.sh QUILLET QUILLET_CLI
set -uo pipefail
quillet=$1
cli=$2
version=$3
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }

out=$(bare "$quillet" --help) || fail "quillet --help exited $?"
grep -q '^Usage: quillet \[options\] \[file\]' <<<"$out" || fail "quillet --help: $out"
grep -q -- '--version' <<<"$out" || fail "quillet --help names no --version"

for program in "$quillet" "$cli"; do
  name=$(basename "$program")
  out=$(bare "$program" --version) || fail "$name --version exited $?"
  [[ $out == "$name $version" ]] || fail "$name --version printed '$out'"
  err=$(bare "$program" --no-such-option 2>&1 >/dev/null)
  status=$?
  ((status == 2)) || fail "$name --no-such-option exited $status"
  grep -q "Try '$name --help'" <<<"$err" || fail "$name --no-such-option said '$err'"
done

((failures == 0)) && echo "command lines: all answers right"
exit $((failures > 0))
