#!/usr/bin/env bash
# Builds and starts the station. With no options it opens the station's window on the
# built-in programmer simulator (started on loopback); without a display (no X11 or
# Wayland) it records a few cards there with the window-less demo instead. With options
# they go to zr-station as they are, e.g. against a real programmer:
#   bash scripts/run.sh --settings my.ini --com 1=/dev/ttyUSB0 --script my-actions.zr
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_BENCHMARKS=OFF >/dev/null
cmake --build build -j2 --target zr-station zr-programmer-sim

if [ $# -gt 0 ]; then
  exec build/app/zr-station "$@"
fi

work="$(mktemp -d)"
trap 'kill "${sim_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

build/tools/programmer-sim/zr-programmer-sim --tcp 0 --scenario scripts/demo/cards.scenario \
  --record "$work/frames.txt" >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do
  port="$(sed -n 's/^tcp //p' "$work/sim.out")"
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the programmer simulator did not start" >&2; exit 1; }

cat >"$work/settings.ini" <<INI
[ZR_Record]
ConnType=TCPIP
IP=127.0.0.1
PORT=$port
INI

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "programmer simulator on 127.0.0.1:$port; it lays the cards of scripts/demo/cards.scenario"
  echo "on the programmer one after the other: record them in the station's window"
  build/app/zr-station --settings "$work/settings.ini" --log "$work/AAA.txt"
  exit 0
fi
echo "no display (neither X11 nor Wayland): running the window-less demo instead"
echo "programmer simulator on 127.0.0.1:$port; station output follows"
build/app/zr-station --settings "$work/settings.ini" --log "$work/AAA.txt" \
  --script scripts/demo/record-cards.zr
echo "frames the programmer received:"
cat "$work/frames.txt"
