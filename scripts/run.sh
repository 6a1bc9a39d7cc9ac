#!/usr/bin/env bash
# Builds and starts the station on the built-in programmer simulator (started on loopback),
# which lays the next card on the programmer after each written one. With no options it opens
# the station's window; without a display (no X11 or Wayland) it records a run of cards
# automatically with the window-less demo instead (scripts/demo/demo.sh), its settings and
# card register in a temporary folder. With options they go to zr-station as
# they are, e.g. against a real programmer:
#   bash scripts/run.sh --settings my.ini --com 1=/dev/ttyUSB0 --script my-actions.zr
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_BENCHMARKS=OFF >/dev/null
cmake --build build -j2 --target zr-station zr-programmer-sim zr-register

if [ $# -gt 0 ]; then
  exec build/app/zr-station "$@"
fi

exec bash scripts/demo/demo.sh build
