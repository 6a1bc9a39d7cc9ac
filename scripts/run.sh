#!/usr/bin/env bash
# Builds and starts the station. With no options it records a run of cards automatically on
# the built-in programmer simulator (started on loopback), which lays the next card on the
# programmer after each written one; with options they go to zr-station as they are, e.g.
# against a real programmer:
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

echo "programmer simulator on 127.0.0.1:$port; automatic recording of six cards follows"
build/app/zr-station --settings "$work/settings.ini" --log "$work/AAA.txt" \
  --script scripts/demo/record-cards.zr
echo "cards as the programmer saw them taken off:"
grep '^removed ' "$work/sim.out" || true
echo "next card number kept in the settings: $(sed -n 's/^CardCode=//p' "$work/settings.ini")"
