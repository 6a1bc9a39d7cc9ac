#!/usr/bin/env bash
# Three zr-station processes, each against its own programmer simulator on loopback TCP, fill
# one order of a PostgreSQL register (a server started for the test, as the postgres user when
# run as root). Each station takes the order from its settings and records automatically until
# the order is complete; then what the cards hold, the register and the delivery note agree.
# usage: order_end_to_end.sh ZR_STATION ZR_PROGRAMMER_SIM ZR_REGISTER
set -euo pipefail
source "$(dirname "$0")/../support/simulator.sh"
station="$1"
sim="$2"
tool="$3"
reference="E2E-7"
group=12
size=15
stations=3
work="$(mktemp -d)"
pg="$(mktemp -d /tmp/zr-pg-XXXXXX)"
pids=()
pg_started=""

as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$pg_started" ]; then
    as_postgres "$pgbin/pg_ctl" -D "$pg/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  if [ -z "${ZR_KEEP_WORK:-}" ]; then rm -rf "$work" "$pg"; else echo "kept: $work $pg" >&2; fi
}
trap cleanup EXIT

# The PostgreSQL server: the newest installed version, or ZR_PG_BINDIR.
pgbin="${ZR_PG_BINDIR:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}"
[ -x "$pgbin/initdb" ] || fail "no PostgreSQL server programs (install postgresql)"
[ "$(id -u)" -ne 0 ] || chown postgres: "$pg"
pgport="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
as_postgres "$pgbin/initdb" -D "$pg/data" -U zr -A trust -E UTF8 --locale=C --no-sync \
  >"$work/initdb.log" 2>&1 || { cat "$work/initdb.log" >&2; fail "initdb failed"; }
as_postgres "$pgbin/pg_ctl" -D "$pg/data" -l "$pg/server.log" -w -t 60 \
  -o "-p $pgport -k $pg -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null \
  || fail "the PostgreSQL server did not start"
pg_started=1
as_postgres "$pgbin/createdb" -h 127.0.0.1 -p "$pgport" -U zr cards || fail "createdb failed"
url="postgresql://zr@127.0.0.1:$pgport/cards"
register() { "$tool" --register "$url" "$@"; }

register order add --ref "$reference" --group "$group" --cards "1-$size" --customer "E2E" \
  >"$work/add.out" || fail "the order could not be added"

# Each station records until the order stops it; it shows its state every second and a half.
{
  # The programmer answers in 5 ms: a short wait per request keeps the test short.
  echo "set txtInterval 100"
  echo "set chkAutoRecord 1"
  for _ in $(seq 40); do printf 'wait 1500\ndump chkAutoRecord infoOK infoErr\n'; done
  echo "exit"
} >"$work/record.zr"

for i in $(seq "$stations"); do
  dir="$work/bench-$i"
  mkdir -p "$dir"
  # Enough cards for any one station to fill the whole order, and one more to be told.
  printf 'swap 300\nqueue 40%02d000001 %d\n' "$i" $((size + 2)) >"$dir/scenario"
  "$sim" --tcp 0 --scenario "$dir/scenario" --reply-delay 5 >"$dir/sim.out" 2>"$dir/sim.err" &
  pids+=($!)
done
for i in $(seq "$stations"); do
  dir="$work/bench-$i"
  port="$(sim_address "$dir/sim.out" tcp)"
  [ -n "$port" ] || fail "simulator $i did not start"
  cat >"$dir/station.ini" <<INI
[ZR_Record]
ConnType=TCPIP
IP=127.0.0.1
PORT=$port
Sound=0
AutoAdd=1
Language=1
[Register]
URL=$url
Station=bench-$i
Order=$reference
INI
  # Its own data folder: each bench keeps its own journal of rows the register could not take.
  XDG_DATA_HOME="$dir/data" "$station" --settings "$dir/station.ini" --log "$dir/AAA.txt" --script "$work/record.zr" \
    >"$dir/station.out" 2>"$dir/station.err" &
  pids+=($!)
done

# Until the register has the order complete and every station has stopped recording.
told=0
for _ in $(seq 250); do
  told=0
  for i in $(seq "$stations"); do
    grep -q "^info\(OK\|Err\)=Order $reference complete" "$work/bench-$i/station.out" \
      && told=$((told + 1))
  done
  [ "$told" -eq "$stations" ] && break
  sleep 0.2
done
for i in $(seq "$stations"); do
  dir="$work/bench-$i"
  [ "$told" -eq "$stations" ] || { tail -n 3 "$dir/station.out" "$dir/station.err" >&2 || true; }
done
[ "$told" -eq "$stations" ] || fail "only $told of $stations stations were told the order is complete"
for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
wait 2>/dev/null || true
pids=()
for i in $(seq "$stations"); do
  dir="$work/bench-$i"
  tail -n 3 "$dir/station.out" | grep -qxF "chkAutoRecord=0" \
    || fail "station $i still records after the order is complete"
done

# The register: the order complete with every number written.
register order show "$reference" >"$work/show.txt"
sed -n 2p "$work/show.txt" | awk -F'\t' -v n="$size" '$5 != "complete" || $7 != n { exit 1 }' \
  || { cat "$work/show.txt" >&2; fail "the order is not complete with $size cards written"; }
register list --group "$group" --cards "1-$size" | awk -F'\t' '$9 == "written"' >"$work/written.txt"
cut -f5 "$work/written.txt" | sort | uniq -d >"$work/twice.txt"
[ ! -s "$work/twice.txt" ] || fail "numbers written to several cards: $(tr '\n' ' ' <"$work/twice.txt")"
[ "$(cut -f5 "$work/written.txt" | sort -u | wc -l)" -eq "$size" ] \
  || { cat "$work/written.txt" >&2; fail "not every number of the order is written"; }
for i in $(seq "$stations"); do
  count="$(awk -F'\t' -v s="bench-$i" '$3 == s' "$work/written.txt" | wc -l)"
  echo "bench-$i wrote $count cards"
  [ "$count" -ge 1 ] || fail "bench-$i wrote no card of the order"
  # Its cards are the simulator's cards, whose UIDs begin with its number.
  awk -F'\t' -v s="bench-$i" -v p="$(printf '40%02d' "$i")" '$3 == s && index($4, p) != 1' \
    "$work/written.txt" | grep -q . && fail "bench-$i has another programmer's card"
done

# What the cards taken off the programmers hold: each number of the order on exactly one card,
# and no card holds a number outside it.
cat "$work"/bench-*/sim.out | sed -n 's/^removed \([0-9]*\) V1 \([0-9:-]*\) V3 \([0-9:-]*\)$/\1 \2 \3/p' \
  >"$work/removed.txt"
awk '$2 != $3 { print "card " $1 " holds V1 " $2 " and V3 " $3; bad = 1 } END { exit bad }' \
  "$work/removed.txt" || fail "a card holds different numbers in its two layouts"
awk '$2 != "-" { print $2 }' "$work/removed.txt" | sort >"$work/held.txt"
[ -z "$(uniq -d "$work/held.txt")" ] || fail "numbers on several cards: $(uniq -d "$work/held.txt" | tr '\n' ' ')"
expected="$(for c in $(seq "$size"); do printf '%05d:%05d\n' "$group" "$c"; done)"
[ "$(cat "$work/held.txt")" = "$expected" ] \
  || { diff <(echo "$expected") "$work/held.txt" >&2 || true; fail "the cards taken off do not hold the order's numbers once each"; }

# The delivery note names the order on its first page.
register order note "$reference" --pdf "$work/note.pdf" >"$work/note.out" \
  || fail "the delivery note could not be made"
pdftotext -layout "$work/note.pdf" "$work/note.txt"
grep -qF "$reference" "$work/note.txt" || fail "the delivery note does not name $reference"
grep -qi "page 1 of" "$work/note.txt" || fail "the delivery note has no 'page 1 of'"
echo "order end-to-end: all checks passed"
