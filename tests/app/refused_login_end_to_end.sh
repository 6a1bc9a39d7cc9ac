#!/usr/bin/env bash
# A V3 write after a log-in the programmer answered "NO", with zr-station against the
# programmer simulator over loopback TCP and a real pseudo-terminal: what the card holds (the
# simulator's report when it takes the card off) and what the register says must agree.
# usage: refused_login_end_to_end.sh ZR_STATION ZR_PROGRAMMER_SIM ZR_REGISTER
set -euo pipefail
source "$(dirname "$0")/../support/simulator.sh"
station="$1"
sim="$2"
register="$3"
work="$(mktemp -d)"
trap 'kill "${sim_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

cat >"$work/write.zr" <<'ZR'
set chkLock 0
set txtGroupCode 00002
set txtCardCode 00001
click cmdRecordBlock
wait 1300
dump lblV2Status.BackColor txtCardCode
exit
ZR

# One case: simulator scenario lines, link (tcp|pty), the card the simulator must report when
# it takes it off, the register's row (v1 v3 outcome, blank-separated) and the V3 indicator's colour.
run_case() {
  local name="$1" scenario="$2" link="$3" removed="$4" row="$5" colour="$6"
  local dir="$work/$name"
  mkdir -p "$dir"
  printf 'queue 0420100001 1\nswap 800\n%b' "$scenario" >"$dir/scenario"
  "$sim" --tcp 0 --pty --scenario "$dir/scenario" --reply-delay 5 >"$dir/sim.out" &
  sim_pid=$!
  local port pty
  pty="$(sim_address "$dir/sim.out" pty)"
  port="$(sim_address "$dir/sim.out" tcp)"
  [ -n "$port" ] && [ -n "$pty" ] || fail "$name: simulator did not start"
  if [ "$link" = tcp ]; then
    printf '[ZR_Record]\nConnType=TCPIP\nIP=127.0.0.1\nPORT=%s\n' "$port" >"$dir/settings.ini"
    "$station" --script "$work/write.zr" --settings "$dir/settings.ini" --log "$dir/AAA.txt" \
      --register "sqlite:$dir/cards.sqlite" >"$dir/station.out"
  else
    printf '[ZR_Record]\nConnType=COM\nCOM=0\n' >"$dir/settings.ini"
    "$station" --script "$work/write.zr" --settings "$dir/settings.ini" --com "1=$pty" \
      --log "$dir/AAA.txt" --register "sqlite:$dir/cards.sqlite" >"$dir/station.out"
  fi
  kill "$sim_pid"
  wait "$sim_pid" 2>/dev/null || true
  grep -qxF "removed 0420100001 $removed" "$dir/sim.out" \
    || { cat "$dir/sim.out" >&2; fail "$name: the card does not hold V1/V3 $removed"; }
  grep -qxF "lblV2Status.BackColor=$colour" "$dir/station.out" \
    || { cat "$dir/station.out" >&2; fail "$name: V3 indicator is not $colour"; }
  "$register" --register "sqlite:$dir/cards.sqlite" list >"$dir/list.txt"
  grep -qF "0420100001"$'\t'"00002:00001"$'\t'"0"$'\t'"${row// /$'\t'}" "$dir/list.txt" \
    || { cat "$dir/list.txt" >&2; fail "$name: register row is not '$row'"; }
}

red=0x000000FF
green=0x0000FF00
for link in tcp pty; do
  # Refused and left in V1 mode: the write lands in V1; a fresh log-in finds V3 empty.
  run_case "refused-$link" 'refuse-login\n' "$link" "V1 00002:00001 V3 -" \
    "ok failed failed" "$red"
  # The programmer logged in all the same: V3 reads the number, the card is written.
  run_case "misreported-$link" 'misreport-login\n' "$link" "V1 00002:00001 V3 00002:00001" \
    "ok ok written" "$green"
  # The read-back gets no answer: V3 stays unknown and the number stays with the card.
  run_case "unanswered-$link" 'refuse-login\nmute-read 3\n' "$link" "V1 00002:00001 V3 -" \
    "ok unknown failed" "$red"
done
echo "refused log-in end-to-end: all checks passed"
