#!/usr/bin/env bash
# Runs every fuzz target of a sanitizer build for a while, each on its seed corpus.
# usage: tests/fuzz/run-fuzzers.sh BUILD_DIR SECONDS_PER_TARGET
# Crashes are written to fuzz-crashes/; turn them into regression files under tests/.
set -euo pipefail
cd "$(dirname "$0")/../.."

build="${1:?build directory}"
seconds="${2:-60}"
crashes="$build/fuzz-crashes"
mkdir -p "$crashes"

found=0
while IFS= read -r target; do
  name="$(basename "$target")"
  found=1
  corpus_work="$build/fuzz-corpus/$name"
  mkdir -p "$corpus_work"
  seeds=()
  for dir in tests/*/corpus/"$name"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  echo "fuzzing $name for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=0 "$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -timeout=10 -artifact_prefix="$crashes/$name-" -print_final_stats=0 \
    "$corpus_work" "${seeds[@]}" 2>"$build/fuzz-$name.log" \
    || { echo "fuzz target $name failed; see $build/fuzz-$name.log"; tail -30 "$build/fuzz-$name.log"; exit 1; }
done < <(find "$build" -type f -name 'fuzz_*' -perm -u+x | sort)

if [ "$found" -eq 0 ]; then
  echo "no fuzz targets in $build" >&2
  exit 1
fi
echo "fuzzing finished without crashes"
