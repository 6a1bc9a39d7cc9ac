#!/usr/bin/env bash
# The folders under src/ form layers: a folder includes only folders below it, so the
# include graph between folders has no loop. Prints the edges and fails on a loop.
set -euo pipefail
src="${1:?src folder}"
edges="$(mktemp)"
trap 'rm -f "$edges"' EXIT
for dir in "$src"/*/; do
  from="$(basename "$dir")"
  { grep -rhoE '^#include "[A-Za-z_]+/' "$dir" || true; } | sed -E 's/#include "//; s/\///' | sort -u |
    while read -r to; do
      if [ "$to" != "$from" ] && [ -d "$src/$to" ]; then
        echo "$from $to"
      fi
    done
done >"$edges"
cat "$edges"
if ! tsort "$edges" >/dev/null 2>&1; then
  echo "the folders under $src include each other in a loop:" >&2
  tsort "$edges" 2>&1 >/dev/null | head -20 >&2
  exit 1
fi
echo "folder layers: no loop"
