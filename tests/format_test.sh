#!/usr/bin/env bash
# Fails when a C++ file in the repository is not as .clang-format lays it out, naming each.
set -euo pipefail
cd "$1"
unformatted=()
while IFS= read -r -d '' file; do
  if ! clang-format --dry-run --Werror "$file" 2>/dev/null; then
    unformatted+=("$file")
  fi
done < <(find src app tools tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
if [ ${#unformatted[@]} -ne 0 ]; then
  printf 'not formatted: %s\n' "${unformatted[@]}" >&2
  exit 1
fi
