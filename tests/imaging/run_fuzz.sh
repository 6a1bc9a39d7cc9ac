#!/usr/bin/env bash
# Runs the imaging fuzzers from a fuzz build (clang, -DZR_FUZZ=ON -DZR_SANITIZE=ON).
# Usage: tests/imaging/run_fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
# New corpus entries go to BUILD_DIR/fuzz-corpus/<target>; crashes to BUILD_DIR/fuzz-crashes/.
# Seeds: the small generated corpus kept here plus the shared PngSuite images, read in place.
set -eu
build=$1
seconds=${2:-180}
here=$(cd "$(dirname "$0")" && pwd)
pngsuite=$here/../../../shared/testdata/png

for target in fuzz_png fuzz_load_picture_stream; do
    work=$build/fuzz-corpus/$target
    crashes=$build/fuzz-crashes/$target
    mkdir -p "$work" "$crashes"
    "$build/tests/imaging/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -max_len=65536 -timeout=10 -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$work" "$here/corpus/$target" "$pngsuite"
done
