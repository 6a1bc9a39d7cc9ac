#!/usr/bin/env bash
# zr-register serve's page in headless Chromium over a register that zr-station fills against
# the programmer simulator between two looks: the written count and an order's written cards go
# up without a reload, and the hostile station name and order reference show as text.
# usage: serve_browser.sh ZR_STATION ZR_PROGRAMMER_SIM ZR_REGISTER [SCREENSHOT.png]
# ZR_SERVE_STATION names the station instead (for a screenshot), and the order is PO-4711; the
# names are then not checked.
set -euo pipefail
source "$(dirname "$0")/../support/simulator.sh"
station="$1"
sim="$2"
tool="$3"
screenshot="${4:-}"
work="$(mktemp -d)"
pids=()
hostile='<img src=x onerror=alert(1)>'
name="${ZR_SERVE_STATION:-$hostile}"
reference="${ZR_SERVE_STATION:+PO-4711}"
reference="${reference:-$hostile}"

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -z "${ZR_KEEP_WORK:-}" ]; then rm -rf "$work"; else echo "work folder kept: $work" >&2; fi
}
trap cleanup EXIT

browser="$(command -v chromium || command -v chromium-browser || true)"
[ -n "$browser" ] || fail "no chromium (install chromium)"

mkfifo "$work/sim.in"
"$sim" --tcp 0 --reply-delay 5 --scenario - <"$work/sim.in" >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
exec {sim_fd}>"$work/sim.in"
printf 'swap 300\nqueue 2000000001 3\n' >&"$sim_fd"
port="$(sim_address "$work/sim.out" tcp)"
[ -n "$port" ] || fail "the simulator did not start"

cat >"$work/station.ini" <<INI
[ZR_Record]
ConnType=TCPIP
IP=127.0.0.1
PORT=$port
Sound=0
AutoAdd=1
Language=1
GroupCode=00012
CardCode=00001
[Register]
Station=$name
INI
printf 'set chkAutoRecord 1\nwait 400000\n' >"$work/record.zr"
url="sqlite:$work/cards.sqlite"

# record_until_empty EMPTY_LINES: runs the station until the simulator has run out of cards
# that many times.
record_until_empty() {
  "$station" --settings "$work/station.ini" --log "$work/AAA.txt" --register "$url" \
    --script "$work/record.zr" >>"$work/station.out" 2>&1 &
  local bench=$!
  pids+=($bench)
  for _ in $(seq 300); do
    [ "$(grep -c '^queue empty' "$work/sim.out")" -ge "$1" ] && break
    sleep 0.2
  done
  sleep 1
  kill "$bench"
  wait "$bench" 2>/dev/null || true
}

written_in_register() {
  "$tool" --register "$url" list | grep -c $'\twritten$' || true
}

# The page after it has loaded and fetched its views; options go to the browser.
look() {
  "$browser" --headless=new --no-sandbox --disable-gpu --user-data-dir="$work/chrome" \
    --virtual-time-budget=4000 "$@" --dump-dom "http://127.0.0.1:$serve_port/" 2>>"$work/chrome.err"
}
chinese=(--lang=zh-TW --accept-lang=zh-TW)

page_written() {
  sed -n 's/.*id="total-written">\([0-9]*\)<.*/\1/p' "$1"
}

record_until_empty 1
first="$(written_in_register)"
[ "$first" -ge 2 ] || fail "only $first cards written in the first run"

# An order over the six numbers after the last one held, which the second run fills.
next="$("$tool" --register "$url" list | awk -F'\t' '{ split($5, n, ":"); if (n[2] + 0 > m) m = n[2] + 0 } END { print m + 1 }')"
"$tool" --register "$url" order add --ref "$reference" --customer Acme --group 12 \
  --cards "$next-$((next + 5))" >"$work/order.out" 2>&1 || { cat "$work/order.out" >&2; fail "the order was refused"; }

order_written_in_register() {
  "$tool" --register "$url" order list | awk -F'\t' '$2 == "Acme" { print $7 }'
}

# The order's row on the page shows WRITTEN / 6.
order_shows() {
  grep -qF "<td class=\"count\">$2 / 6</td>" "$1" \
    || { cat "$1" >&2; fail "the order does not show $2 of 6 written"; }
}

"$tool" --register "$url" serve --listen 127.0.0.1:0 >"$work/serve.out" 2>"$work/serve.err" &
pids+=($!)
for _ in $(seq 100); do
  grep -q '^serving ' "$work/serve.out" && break
  sleep 0.1
done
serve_port="$(sed -n 's|^serving http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/serve.out")"
[ -n "$serve_port" ] || { cat "$work/serve.err" >&2; fail "zr-register serve did not start"; }

look >"$work/page1.html"
[ "$(page_written "$work/page1.html")" = "$first" ] \
  || { cat "$work/page1.html" >&2; fail "the page does not show $first cards written"; }
order_shows "$work/page1.html" 0
if [ "$name" = "$hostile" ]; then
  grep -qF '<td>&lt;img src=x onerror=alert(1)&gt;</td><td>Acme</td>' "$work/page1.html" \
    || fail "the hostile order reference is not shown as text"
  # The order reference is the same text: the station's name must show beyond the order's rows.
  escaped='&lt;img src=x onerror=alert(1)&gt;'
  [ "$(grep -oF "$escaped" "$work/page1.html" | wc -l)" -gt \
    "$(grep -oF "$escaped</td><td>Acme</td>" "$work/page1.html" | wc -l)" ] \
    || fail "the hostile station name is not shown as text"
  if grep -q '<img' "$work/page1.html"; then fail "the station name became markup"; fi
fi

printf 'queue 2000000101 3\n' >&"$sim_fd"
record_until_empty 2
second="$(written_in_register)"
[ "$second" -gt "$first" ] || fail "the second run wrote no card"
sleep 2.5 # past the views' cache period
look >"$work/page2.html"
[ "$(page_written "$work/page2.html")" = "$second" ] \
  || { cat "$work/page2.html" >&2; fail "the page does not show $second cards written after the second run"; }

filled="$(order_written_in_register)"
[ "$filled" -gt 0 ] || fail "the second run wrote no card of the order"
order_shows "$work/page2.html" "$filled"

# A browser in Chinese gets the page in Chinese.
LANG=zh_TW.UTF-8 look "${chinese[@]}" >"$work/page3.html"
grep -q '<html lang="zh-Hant">' "$work/page3.html" && grep -qF '今日已錄' "$work/page3.html" \
  && [ "$(page_written "$work/page3.html")" = "$second" ] \
  || { cat "$work/page3.html" >&2; fail "the page does not follow the browser's Chinese"; }

if [ -n "$screenshot" ]; then
  for language in en zh; do
    options=() file="$screenshot"
    if [ "$language" = zh ]; then options=("${chinese[@]}") file="${screenshot%.png}-zh.png"; fi
    LANG=zh_TW.UTF-8 "$browser" --headless=new --no-sandbox --disable-gpu \
      --user-data-dir="$work/chrome-$language" --hide-scrollbars --window-size=1200,900 \
      --virtual-time-budget=4000 "${options[@]}" --screenshot="$file" \
      "http://127.0.0.1:$serve_port/" 2>>"$work/chrome.err"
  done
fi
echo "serve in the browser: ok ($first, then $second cards written)"
