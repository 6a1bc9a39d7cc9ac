#!/usr/bin/env bash
# zr-station recording into the card register against the programmer simulator, with faults.
# usage: register_end_to_end.sh MODE ZR_STATION ZR_PROGRAMMER_SIM ZR_REGISTER
#   MODE faults:      bad register files at start-up; kill -9 mid run; PostgreSQL restarted
#   MODE two-benches: two stations, two simulators, 12 cards each, one shared PostgreSQL register
set -euo pipefail
mode="$1"
station="$2"
sim="$3"
tool="$4"
work="$(mktemp -d)"
chmod 755 "$work"
pids=()
pg_data=""

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$pg_data" ]; then as_postgres "$pg_bin/pg_ctl" -D "$pg_data" -m immediate stop >/dev/null 2>&1 || true; fi
  if [ -z "${ZR_KEEP_WORK:-}" ]; then rm -rf "$work"; else echo "work folder kept: $work" >&2; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# --- PostgreSQL: a private cluster in the work folder, trust log-in for "zr" -------------
pg_bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)"
as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
pg_start() {
  as_postgres "$pg_bin/pg_ctl" -D "$pg_data" -l "$work/pg/server.log" -w -t 60 \
    -o "-p $pg_port -k $work/pg -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null
}
pg_stop() {
  as_postgres "$pg_bin/pg_ctl" -D "$pg_data" -m fast -w -t 60 stop >/dev/null
}
pg_init() {
  [ -x "$pg_bin/initdb" ] || fail "no PostgreSQL server programs (install postgresql)"
  mkdir -p "$work/pg"
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$work/pg"; fi
  as_postgres "$pg_bin/initdb" -D "$work/pg/data" -U zr -A trust -E UTF8 --locale=C --no-sync >/dev/null
  pg_data="$work/pg/data"
  for _ in 1 2 3 4 5; do
    pg_port=$((20000 + RANDOM % 40000))
    pg_start && return 0
  done
  cat "$work/pg/server.log" >&2
  fail "the PostgreSQL server did not start"
}
pg_createdb() {
  as_postgres "$pg_bin/createdb" -h 127.0.0.1 -p "$pg_port" -U zr "$1"
}

# --- Simulators and stations ---------------------------------------------------------
# start_sim NAME FIRST_UID COUNT: a simulator with COUNT blank cards queued, fed through a fifo.
start_sim() {
  local name="$1"
  mkfifo "$work/$name.in"
  "$sim" --tcp 0 --reply-delay 5 --scenario - <"$work/$name.in" >"$work/$name.out" 2>"$work/$name.err" &
  pids+=($!)
  eval "exec {fd_$name}>\"$work/$name.in\""
  sim_say "$name" "swap 600" "queue $2 $3"
  for _ in $(seq 100); do
    grep -q '^tcp ' "$work/$name.out" && return 0
    sleep 0.1
  done
  fail "simulator $name did not start"
}
sim_say() { # NAME LINE...
  local name="$1" fdvar="fd_$1"
  shift
  printf '%s\n' "$@" >&"${!fdvar}"
}
sim_port() { sed -n 's/^tcp //p' "$work/$1.out"; }

# settings NAME SIM STATION_NAME SHARED: the station's settings file.
settings() {
  cat >"$work/$1.ini" <<INI
[ZR_Record]
ConnType=TCPIP
IP=127.0.0.1
PORT=$(sim_port "$2")
Sound=0
AutoAdd=1
Language=1
GroupCode=00012
CardCode=00001
[Register]
Station=$3
SharedSequence=$4
INI
}

# The cards a simulator's programmer gave away ("removed UID V1 NUMBER V3 NUMBER"), as UID NUMBER.
held_cards() {
  awk '$1 == "removed" && $4 != "-" { print $2, $4 }' "$work/$1.out"
}

# Every card a simulator holds with a number has that number in the register.
check_held_in_register() { # SIM URL
  local uid number
  while read -r uid number; do
    "$tool" --register "$2" find "$uid" | grep -qP "\t$uid\t$number\t" \
      || fail "card $uid holds $number, which the register does not show for it"
  done < <(held_cards "$1")
}

check_no_duplicates() { # URL
  "$tool" --register "$1" duplicates >"$work/dup.out"
  grep -q '^numbers on more than one UID: 0$' "$work/dup.out" || { cat "$work/dup.out" >&2; fail "a number is on two cards"; }
}

run_faults() {
  # A register that is not a database, one from a newer schema, and one that cannot be
  # written: the station names the file, starts anyway, numbers nothing and says so in infoErr.
  start_sim idle 1000000001 1
  settings idle idle bench-0 0
  printf 'dump infoErr chkAutoRecord\nexit\n' >"$work/look.zr"
  printf 'not a database, a shopping list\n' >"$work/list.sqlite"
  "$station" --settings "$work/idle.ini" --log "$work/AAA.txt" --register "sqlite:$work/ok.sqlite" \
    --script "$work/look.zr" >/dev/null 2>&1 # makes a good register for the next cases
  cp "$work/ok.sqlite" "$work/newer.sqlite"
  sqlite3 "$work/newer.sqlite" 'UPDATE register_schema SET version = 99'
  mkdir "$work/ro"
  cp "$work/ok.sqlite" "$work/ro/cards.sqlite"
  chmod 444 "$work/ro/cards.sqlite"
  chmod 555 "$work/ro"
  chmod 777 "$work"
  touch "$work/AAA.txt"
  chmod 666 "$work/idle.ini" "$work/AAA.txt"
  local as_user=() look_station="$station"
  if [ "$(id -u)" -eq 0 ]; then
    # Root ignores the read-only file, so these run as nobody, from a copy of the station
    # nobody can reach (the checkout may lie in a folder only root can enter).
    as_user=(runuser -u nobody --)
    look_station="$work/zr-station"
    cp "$station" "$look_station"
    chmod 755 "$look_station"
  fi
  for case in "list.sqlite:not a register database" "newer.sqlite:newer than this station" \
    "ro/cards.sqlite:read-only"; do
    local file="$work/${case%%:*}" why="${case#*:}"
    "${as_user[@]}" "$look_station" --settings "$work/idle.ini" --log "$work/AAA.txt" \
      --register "sqlite:$file" --script "$work/look.zr" >"$work/look.out" 2>"$work/look.err" \
      || fail "the station did not run with $file"
    grep -qF "$file" "$work/look.err" && grep -qF "$why" "$work/look.err" \
      || { cat "$work/look.err" >&2; fail "the start-up error does not name $file ($why)"; }
    grep -qF "infoErr=The card register is unavailable, the card was not written; recording goes on once it is back: register $file" "$work/look.out" \
      || { cat "$work/look.out" >&2; fail "infoErr does not say the register is unavailable"; }
  done
  [ "$(sqlite3 "$work/newer.sqlite" 'SELECT version FROM register_schema')" = 99 ] \
    || fail "the newer register was changed"

  # kill -9 in the middle of an automatic run, then a restart on the same register.
  start_sim crash 2000000001 40
  settings crash crash bench-1 0
  printf 'set chkAutoRecord 1\nwait 60000\n' >"$work/long.zr"
  "$station" --settings "$work/crash.ini" --log "$work/AAA.txt" --register "sqlite:$work/crash.sqlite" \
    --script "$work/long.zr" >"$work/crash1.out" 2>&1 &
  local victim=$!
  pids+=($victim)
  sleep 11.3
  kill -9 "$victim"
  wait "$victim" 2>/dev/null || true
  printf 'set chkAutoRecord 1\nwait 10000\nset chkAutoRecord 0\ndump txtCardCode\nexit\n' >"$work/again.zr"
  "$station" --settings "$work/crash.ini" --log "$work/AAA.txt" --register "sqlite:$work/crash.sqlite" \
    --script "$work/again.zr" >"$work/crash2.out" 2>&1
  sim_say crash remove
  sleep 0.5
  [ "$(held_cards crash | wc -l)" -ge 3 ] || { cat "$work/crash.out" >&2; fail "too few cards recorded around the crash"; }
  check_held_in_register crash "sqlite:$work/crash.sqlite"
  check_no_duplicates "sqlite:$work/crash.sqlite"
  local next
  next="$(sed -n 's/^txtCardCode=//p' "$work/crash2.out")"
  if "$tool" --register "sqlite:$work/crash.sqlite" find "00012:$next" >/dev/null 2>&1; then
    fail "the next number 00012:$next is already in the register"
  fi

  # PostgreSQL stopped for a while during a run, then back: no card is numbered meanwhile,
  # the window says why, and recording goes on by itself; no card is lost.
  pg_init
  pg_createdb cards
  local url="postgresql://zr@127.0.0.1:$pg_port/cards"
  start_sim pause 3000000001 40
  settings pause pause bench-2 1
  printf 'set chkAutoRecord 1\nwait 13500\ndump infoErr\nwait 16000\ndump chkAutoRecord\nset chkAutoRecord 0\nexit\n' >"$work/pause.zr"
  "$station" --settings "$work/pause.ini" --log "$work/AAA.txt" --register "$url" \
    --script "$work/pause.zr" >"$work/pause1.out" 2>"$work/pause1.err" &
  local bench=$!
  pids+=($bench)
  sleep 10
  pg_stop
  sleep 5
  pg_start
  wait "$bench" || fail "the station failed while the server was away"
  sim_say pause remove
  sleep 0.5
  grep -q '^chkAutoRecord=1$' "$work/pause1.out" || { cat "$work/pause1.out" >&2; fail "recording stopped"; }
  grep -q "^infoErr=The card register is unavailable" "$work/pause1.out" || { cat "$work/pause1.out" >&2; fail "no register message in infoErr"; }
  grep -qF "127.0.0.1:$pg_port/cards" "$work/pause1.err" || { cat "$work/pause1.err" >&2; fail "the error does not name the server"; }
  check_held_in_register pause "$url"
  check_no_duplicates "$url"
  sed -n '/^infoErr=/,$p' "$work/pause1.out" | grep -q '^card written' \
    || fail "recording did not go on after the server came back"
}

run_two_benches() {
  pg_init
  pg_createdb shared
  local url="postgresql://zr@127.0.0.1:$pg_port/shared"
  start_sim north 4000000001 12
  start_sim south 5000000001 12
  settings north north bench-north 1
  settings south south bench-south 1
  # Each bench records until its simulator runs out of cards.
  printf 'set chkAutoRecord 1\nwait 400000\n' >"$work/bench.zr"
  local benches=()
  for name in north south; do
    "$station" --settings "$work/$name.ini" --log "$work/$name.txt" --register "$url" \
      --script "$work/bench.zr" >"$work/$name.station" 2>&1 &
    benches+=($!)
    pids+=($!)
  done
  for _ in $(seq 600); do
    grep -q '^queue empty' "$work/north.out" && grep -q '^queue empty' "$work/south.out" && break
    sleep 1
  done
  sleep 2
  kill "${benches[@]}"
  [ "$(held_cards north | wc -l)" -eq 12 ] && [ "$(held_cards south | wc -l)" -eq 12 ] \
    || fail "not every card was recorded"
  "$tool" --register "$url" list >"$work/list.out"
  [ "$(grep -c $'\twritten$' "$work/list.out")" -eq 24 ] || { cat "$work/list.out" >&2; fail "not 24 written rows"; }
  [ "$(awk -F'\t' '$9 == "written" { print $5 }' "$work/list.out" | sort -u | wc -l)" -eq 24 ] \
    || fail "not 24 distinct numbers"
  check_held_in_register north "$url"
  check_held_in_register south "$url"
  check_no_duplicates "$url"
}

case "$mode" in
faults) run_faults ;;
two-benches) run_two_benches ;;
*) fail "unknown mode $mode" ;;
esac
echo "register end to end ($mode): ok"
