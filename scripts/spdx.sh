#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file starts with the licence's SPDX line (after a script's #!
# line).
#   scripts/spdx.sh --check   list the files without it; fail if there are any
#   scripts/spdx.sh --add     put it into those files
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
readonly tag='SPDX-License-Identifier: GPL-3.0-or-later'
mode=${1:---check}

# Source files tracked by git (or, outside a checkout, found on disk). Page
# templates and style sheets are left out: they are written into users'
# folders as they stand.
sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files
  else
    find . -type f -not -path './build*' | sed 's|^\./||'
  fi | grep -E '(\.(cpp|h|cmake|sh)|CMakeLists\.txt|^packaging/completion/.*)$' |
    grep -v -E '^(build[^/]*|tests/fuzz/[^/]+/(corpus|crashes))/' || true
}

comment_for() {
  case $1 in
    *.cpp | *.h) echo "// $tag" ;;
    *) echo "# $tag" ;;
  esac
}

missing=()
while IFS= read -r file; do
  [[ -f $file ]] || continue
  head -n 3 "$file" | grep -q "$tag" || missing+=("$file")
done < <(sources)

case $mode in
  --check)
    if ((${#missing[@]})); then
      printf 'No SPDX licence line: %s\n' "${missing[@]}" >&2
      echo "Run scripts/spdx.sh --add to put it in." >&2
      exit 1
    fi
    ;;
  --add)
    for file in "${missing[@]}"; do
      line=$(comment_for "$file")
      tmp=$(mktemp "$file.XXXXXX")
      if head -n 1 "$file" | grep -q '^#!'; then
        { head -n 1 "$file"; echo "$line"; tail -n +2 "$file"; } >"$tmp"
      else
        { echo "$line"; cat "$file"; } >"$tmp"
      fi
      chmod --reference="$file" "$tmp"
      mv "$tmp" "$file"
    done
    echo "${#missing[@]} files given the licence line."
    ;;
  *)
    echo "usage: $0 --check|--add" >&2
    exit 2
    ;;
esac
