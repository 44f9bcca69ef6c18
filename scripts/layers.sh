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
order=$(sed -n 's/^- `\([a-z]*\(\/[a-z]*\)\{0,1\}\)`: .*/\1/p' README.md)
[[ -n $order ]] || { echo "layers: no folder lines in src/README.md" >&2; exit 1; }
files=$(find core gui engine app -name '*.h' -o -name '*.cpp' | sort)

# One pass: the order and the file list first, then every quoted include.
{
  printf 'ORDER %s\n' $order
  printf 'FILE %s\n' $files
  grep -H -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' $files || true
} | awk '
  function folderOf(path,   parts) {
    split(path, parts, "/")
    return (parts[1] == "core" || parts[1] == "gui") ? parts[1] "/" parts[2] : parts[1]
  }
  $1 == "ORDER" { rank[$2] = n++; next }
  $1 == "FILE" { exists[$2] = 1; own = folderOf($2)
                 if (!(own in rank)) { print $2 ": folder " own " is not listed in src/README.md"; bad = 1 }
                 next }
  {
    split($0, head, ":"); file = head[1]; line = head[2]
    include = $0; sub(/^[^"]*"/, "", include); sub(/".*$/, "", include)
    if (include ~ /\.moc$/) next
    own = folderOf(file); used = folderOf(include)
    if (!(include in exists)) {
      print file ":" line ": include \"" include "\" is not rooted at src/"; bad = 1
    } else if (!(used in rank)) {
      print file ":" line ": \"" include "\" is in " used ", which src/README.md does not list"; bad = 1
    } else if ((own in rank) && rank[used] > rank[own]) {
      print file ":" line ": " own " uses \"" include "\" of " used ", which lies above it"; bad = 1
    }
  }
  END {
    if (bad) exit 1
    print "layers: every include runs down the order of src/README.md"
  }'
