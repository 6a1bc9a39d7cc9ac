#!/usr/bin/env bash
# The window-less demo of scripts/run.sh records its six cards into a register of its own:
# with HOME (and no XDG folders) pointing into a scratch folder, nothing appears there, and
# the demo's register lists its cards. usage: station_demo_home_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir="$1"
build="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/home" "$scratch/tmp"

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
  -u XDG_CACHE_HOME -u XDG_STATE_HOME HOME="$scratch/home" TMPDIR="$scratch/tmp" \
  bash "$source_dir/scripts/demo/demo.sh" "$build" >"$scratch/demo.out" 2>&1 ||
  { cat "$scratch/demo.out" >&2; echo "FAIL: the demo failed" >&2; exit 1; }

# The register's list ends each row with its outcome.
written="$(grep -c "$(printf '\t')written\$" "$scratch/demo.out" || true)"
[ "$written" -ge 6 ] || { cat "$scratch/demo.out" >&2; echo "FAIL: $written cards listed" >&2; exit 1; }
left="$(find "$scratch/home" "$scratch/tmp" -mindepth 1)"
[ -z "$left" ] || { echo "FAIL: the demo left behind:" >&2; echo "$left" >&2; exit 1; }
echo "six cards in the demo's own register; nothing under HOME"
