#!/usr/bin/env bash
# Screenshots of the station's real window under Xvfb, against the programmer simulator, each
# with a register of its own: Chinese and English with the advanced area open (chkBlock
# checked) and closed after one card was written; the first start on a serial port that is
# not there; a write the programmer refused, with its message and the alarm line's reason; a
# run of cards under way.
# Writes the PNGs the README shows into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."

# ZR_BUILD names a tree that is built already (e.g. build-test); by default build/ is made.
build="${ZR_BUILD:-build}"
if [ -z "${ZR_BUILD:-}" ]; then
  bash scripts/install-deps.sh
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_BENCHMARKS=OFF >/dev/null
  cmake --build build -j2 --target zr-window-shot zr-programmer-sim
fi

work="$(mktemp -d)"
sim_pids=()
trap 'kill "${sim_pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT

# Starts a simulator on a scenario file in this shell (so the trap ends it) and sets $port.
start_sim() {
  "$build/tools/programmer-sim/zr-programmer-sim" --tcp 0 --scenario "$2" >"$work/$1.out" &
  sim_pids+=($!)
  port=""
  for _ in $(seq 100); do
    port="$(sed -n 's/^tcp //p' "$work/$1.out")"
    [ -n "$port" ] && return
    sleep 0.1
  done
  echo "the programmer simulator did not start" >&2
  exit 1
}

# shot NAME SETTINGS-BODY ACTIONS [zr-station options]
shot() {
  local name="$1"
  printf '%s\n' "$2" >"$work/$name.ini"
  printf '%s\n' "$3" >"$work/$name.zr"
  shift 3
  xvfb-run -a -s "-screen 0 1600x1000x24" \
    "$build/app/zr-window-shot" --out "$out/window-$name.png" --settings "$work/$name.ini" \
    --log "$work/AAA.txt" --script "$work/$name.zr" --register "sqlite:$work/$name.sqlite" "$@"
  echo "$out/window-$name.png"
}

out=docs/screenshots
mkdir -p "$out"
printf 'queue 1000000101 2\nsnatch 1\n' >"$work/refused.scenario"
start_sim refused "$work/refused.scenario"
refused_port="$port"
printf 'swap 600\nqueue 1000000201 6\n' >"$work/run.scenario"
start_sim run "$work/run.scenario"
run_port="$port"
start_sim cards scripts/demo/cards.scenario
link() { printf '[ZR_Record]\nConnType=TCPIP\nIP=127.0.0.1\nPORT=%s\nGroupCode=00012\nCardCode=00345\nLanguage=%s\n' "$1" "$2"; }

for language in zh en; do
  flag=$([ "$language" = en ] && echo 1 || echo 0)
  shot "$language-open" "$(link "$port" "$flag")" "$(printf 'click cmdRecordBlock\nclick cmdReadUID')"
  shot "$language-closed" "$(link "$port" "$flag")" \
    "$(printf 'click cmdRecordBlock\nclick cmdReadUID\nset chkBlock 0')"
done
# A first start: no settings, the serial link on COM1, which has no device here.
shot first-start "" "" --com 1=/dev/zr-no-port
shot en-refused "$(link "$refused_port" 1)" "click cmdRecordBlock"
# A run of six cards under way: automatic recording has written two of them.
shot en-run "$(link "$run_port" 1)" \
  "$(printf 'set chkAutoAdd 1\nset txtRunTarget +6\nleave txtRunTarget\nset chkAutoRecord 1\nwait 10500')"
