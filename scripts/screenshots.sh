#!/usr/bin/env bash
# Screenshots of the station's real window under Xvfb, against the programmer simulator:
# Chinese and English, advanced area open (chkBlock checked) and closed, after one card was
# written into a register of their own. Writes the PNGs
# the README shows into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_BENCHMARKS=OFF >/dev/null
cmake --build build -j2 --target zr-window-shot zr-programmer-sim

work="$(mktemp -d)"
trap 'kill "${sim_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

build/tools/programmer-sim/zr-programmer-sim --tcp 0 --scenario scripts/demo/cards.scenario \
  >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do
  port="$(sed -n 's/^tcp //p' "$work/sim.out")"
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the programmer simulator did not start" >&2; exit 1; }

out=docs/screenshots
mkdir -p "$out"
for language in zh en; do
  for advanced in open closed; do
    cat >"$work/settings.ini" <<INI
[ZR_Record]
ConnType=TCPIP
IP=127.0.0.1
PORT=$port
Language=$([ "$language" = en ] && echo 1 || echo 0)
GroupCode=00012
CardCode=00345
INI
    {
      echo "click cmdRecordBlock"
      echo "click cmdReadUID"
      [ "$advanced" = closed ] && echo "set chkBlock 0"
      true
    } >"$work/actions.zr"
    xvfb-run -a -s "-screen 0 1600x1000x24" \
      build/app/zr-window-shot --out "$out/window-$language-$advanced.png" \
      --settings "$work/settings.ini" --log "$work/AAA.txt" --script "$work/actions.zr" \
      --register "sqlite:$work/cards-$language-$advanced.sqlite"
    echo "$out/window-$language-$advanced.png"
  done
done
