#!/usr/bin/env bash
# zr-station driven by scripts against the programmer simulator, over loopback TCP and over a
# real pseudo-terminal. usage: station_end_to_end.sh ZR_STATION ZR_PROGRAMMER_SIM
set -euo pipefail
source "$(dirname "$0")/../support/simulator.sh"
station="$1"
sim="$2"
work="$(mktemp -d)"
trap 'kill "${sim_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

expect_lines() { # file, expected lines...
  local file="$1"
  shift
  for line in "$@"; do
    grep -qxF -- "$line" "$file" || { cat "$file" >&2; fail "missing line: $line"; }
  done
}

# First start on an empty settings file.
: >"$work/empty.ini"
cat >"$work/first.zr" <<'ZR'
dump connType cboCOM.ListIndex chkLanguage txtGroupCode txtCardCode chkLock chkSound chkProgramV1 chkProgramV3 chkAutoAdd cboProgrammer.ListIndex cboBlock txtAKey(0) chkSaveKey chkBlock chkAutoRecord
click cmdReadUID
dump lblAlarm
ZR
"$station" --script "$work/first.zr" --settings "$work/empty.ini" --com 1=/dev/zr-none \
  --log "$work/AAA.txt" >"$work/first.out"
expect_lines "$work/first.out" "connType=COM" "cboCOM.ListIndex=0" "chkLanguage=0" \
  "txtGroupCode=00001" "txtCardCode=00001" "chkLock=1" "chkSound=1" "chkProgramV1=1" \
  "chkProgramV3=1" "chkAutoAdd=0" "cboProgrammer.ListIndex=1" "cboBlock=32 - Sec  8 BLOCK 32" \
  "txtAKey(0)=FF" "chkSaveKey=0" "chkBlock=1" "chkAutoRecord=0" \
  "lblAlarm=與卡機的連線（COM1）未開啟：請選擇 COM 或 TCP/IP 連線，並檢查連接線。"

# A bad script line stops the run with code 2 and names the line.
printf 'dump txtUID\nfly away\n' >"$work/bad.zr"
set +e
"$station" --script "$work/bad.zr" --settings "$work/empty.ini" --com 1=/dev/zr-none \
  >/dev/null 2>"$work/bad.err"
code=$?
set -e
[ "$code" -eq 2 ] || fail "bad script line gave exit code $code"
grep -q "line 2" "$work/bad.err" || fail "error does not name the line"

# A malformed site file stops the start-up and names the file and the setting.
printf '[Site]\nLoginKey=FFFF\n' >"$work/site.ini"
set +e
"$station" --script "$work/first.zr" --settings "$work/empty.ini" --site "$work/site.ini" \
  >/dev/null 2>"$work/site.err"
code=$?
set -e
[ "$code" -eq 1 ] || fail "malformed site file gave exit code $code"
grep -q "LoginKey" "$work/site.err" && grep -q "site.ini" "$work/site.err" \
  || { cat "$work/site.err" >&2; fail "site error does not name the key and the file"; }

# The simulator on both links, one card on it.
printf 'card 0420165535\n' >"$work/cards.scenario"
"$sim" --tcp 0 --pty --scenario "$work/cards.scenario" --reply-delay 5 \
  --record "$work/frames.txt" >"$work/sim.out" &
sim_pid=$!
pty="$(sim_address "$work/sim.out" pty)"
port="$(sim_address "$work/sim.out" tcp)"
[ -n "$port" ] && [ -n "$pty" ] || fail "simulator did not start"

cat >"$work/card.zr" <<'ZR'
click cmdReadUID
dump txtReadUID txtUID txtUID2
set txtGroupCode 00002
set txtCardCode 00001
set chkLock 0
click cmd_V3_AssignAKey
click cmd_V3_ModifyAKey
click cmd_V3_WriteCardCode
dump txtResponseRecordCard txtBlockIDV2
set txtBlockIDV2
click cmd_V3_AssignAKey
click cmd_V2_ReadCardCode
dump txtResponseReadCard txtBlockIDV2
exit
ZR

printf '[ZR_Record]\nConnType=TCPIP\nIP=127.0.0.1\nPORT=%s\n' "$port" >"$work/tcp.ini"
"$station" --script "$work/card.zr" --settings "$work/tcp.ini" --log "$work/AAA.txt" \
  >"$work/tcp.out"
expect_lines "$work/tcp.out" "txtReadUID=OK" "txtUID=0420165535" "txtUID2=04201:65535" \
  "txtResponseRecordCard=OK" "txtBlockIDV2=00002:00001" "txtResponseReadCard=OK"
[ ! -s "$work/AAA.txt" ] || fail "replies on the TCP link are not logged"
grep -qxF "01 00" "$work/frames.txt" || fail "simulator did not record the UID request"
grep -qxF "06 09 00 02 00 01 00" "$work/frames.txt" || fail "simulator did not record the write"

printf '[ZR_Record]\nConnType=COM\nCOM=2\n' >"$work/com.ini"
sed -e 's/00001$/00009/' -e 's/00002:00001/00002:00009/' "$work/card.zr" >"$work/com.zr"
"$station" --script "$work/com.zr" --settings "$work/com.ini" --com "3=$pty" \
  --log "$work/AAA.txt" >"$work/com.out"
expect_lines "$work/com.out" "txtReadUID=OK" "txtUID=0420165535" "txtResponseRecordCard=OK" \
  "txtBlockIDV2=00002:00009" "txtResponseReadCard=OK"
grep -q "^0420165535.$" "$work/AAA.txt" || fail "serial reply missing from the traffic log"
echo "station end-to-end: all checks passed"
