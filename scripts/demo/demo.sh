#!/usr/bin/env bash
# The demo of scripts/run.sh on an already built tree: the programmer simulator on loopback,
# then the station's window on it, or without a display the window-less recording of six
# cards. Everything the station keeps (settings, traffic log, card register and its
# journal) lives in a temporary folder that goes with the demo, so nothing of it reaches the
# user's own settings or register.
#   bash scripts/demo/demo.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:?usage: demo.sh BUILD_DIR}"

work="$(mktemp -d)"
trap 'kill "${sim_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

"$build/tools/programmer-sim/zr-programmer-sim" --tcp 0 --scenario scripts/demo/cards.scenario \
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
station=("$build/app/zr-station" --settings "$work/settings.ini" --log "$work/AAA.txt"
  --register "sqlite:$work/cards.sqlite")

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "programmer simulator on 127.0.0.1:$port; it lays the cards of scripts/demo/cards.scenario"
  echo "on the programmer one after the other: record them in the station's window"
  echo "(F5 writes a card, F6 switches automatic recording)"
  "${station[@]}"
  exit 0
fi
echo "no display (neither X11 nor Wayland): running the window-less demo instead"
echo "programmer simulator on 127.0.0.1:$port; automatic recording of six cards follows"
"${station[@]}" --script scripts/demo/record-cards.zr
echo "cards as the programmer saw them taken off:"
grep '^removed ' "$work/sim.out" || true
echo "next card number kept in the demo's settings: $(sed -n 's/^CardCode=//p' "$work/settings.ini")"
if [ -x "$build/tools/register/zr-register" ]; then
  echo "the demo's card register:"
  "$build/tools/register/zr-register" --register "sqlite:$work/cards.sqlite" list
fi
