#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the folders of src/ run one way: each file includes only its
# own folder and the folders listed before it in src/README.md, and every
# include is rooted at src/ ("core/store/Database.h"). Prints each include
# that breaks the order and exits 1 when there is one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src"

# The order: the README's folder lines ("- `core/store`: ..."), lowest first.
mapfile -t order < <(sed -n 's/^- `\([a-z]*\(\/[a-z]*\)\{0,1\}\)`: .*/\1/p' README.md)
((${#order[@]})) || { echo "layers: no folder lines in src/README.md" >&2; exit 1; }
declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$i; done

folderOf() { # core/store/Database.h -> core/store; app/main.cpp -> app
  case $1 in
    core/* | gui/*) echo "${1%%/*}/$(cut -d/ -f2 <<<"$1")" ;;
    *) echo "${1%%/*}" ;;
  esac
}

status=0
while IFS= read -r file; do
  own=$(folderOf "$file")
  if [[ -z ${rank[$own]+x} ]]; then
    echo "$file: folder $own is not listed in src/README.md"
    status=1
    continue
  fi
  while IFS=: read -r line include; do
    if [[ ! -f $include ]]; then
      echo "$file:$line: include \"$include\" is not rooted at src/"
      status=1
      continue
    fi
    used=$(folderOf "$include")
    if [[ -z ${rank[$used]+x} ]]; then
      echo "$file:$line: \"$include\" is in $used, which src/README.md does not list"
      status=1
    elif ((rank[$used] > rank[$own])); then
      echo "$file:$line: $own uses \"$include\" of $used, which lies above it"
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):.*"\(.*\)".*/\1:\2/' | grep -v '\.moc$' || true)
done < <(find core gui engine app -name '*.h' -o -name '*.cpp' | sort)

((status == 0)) && echo "layers: every include runs down the order of src/README.md"
exit $status
