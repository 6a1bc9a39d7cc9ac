#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build (clang, -DZR_FUZZ=ON -DZR_SANITIZE=ON) for a while,
# each on its seed folders (listed by the build in fuzz/NAME.seeds).
# usage: fuzz/run-fuzzers.sh BUILD_DIR SECONDS_PER_TARGET
# Crashes are written to BUILD_DIR/fuzz-crashes/; keep each as fuzz/regressions/NAME/FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:?build directory}"
seconds="${2:-60}"
crashes="$build/fuzz-crashes"
mkdir -p "$crashes"

found=0
for seeds in "$build"/fuzz/*.seeds; do
  [ -e "$seeds" ] || continue
  name="$(basename "$seeds" .seeds)"
  target="$build/fuzz/$name"
  found=1
  corpus_work="$build/fuzz-corpus/$name"
  mkdir -p "$corpus_work"
  folders=()
  while IFS= read -r dir; do
    [ -d "$dir" ] && folders+=("$dir")
  done <"$seeds"
  echo "fuzzing $name for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt" \
    "$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -timeout=10 -artifact_prefix="$crashes/$name-" -print_final_stats=0 \
    "$corpus_work" "${folders[@]}" 2>"$build/fuzz-$name.log" \
    || { echo "fuzz target $name failed; see $build/fuzz-$name.log"; tail -30 "$build/fuzz-$name.log"; exit 1; }
done

if [ "$found" -eq 0 ]; then
  echo "no fuzz targets in $build" >&2
  exit 1
fi
echo "fuzzing finished without crashes"
