#!/usr/bin/env bash
# The local web server against two references, in one run and under the same
# load (ab: one request per connection, concurrency 1 and 20):
#   (a) norvane.exe under Wine, as shipped: ads.log written for every request
#   (b) bench/win32/min_responder.exe under Wine: accept, read, fixed GIF, close
#   (c) nginx's empty_gif, native, one worker process
# Prints requests per second, the 99th-percentile latency, the ratios a/b and
# a/c (medians of ROUNDS rounds, default 3), then norvane.exe's handle count
# and memory before and after 100,000 more requests, and its message loop's
# latency while they run (bench/win32/loop_latency.exe).
# Every server and Wine's own server run on the first core and ab on the
# second: left to the scheduler, a two-core machine gave the same server
# anything from 200 to 10,000 requests/s with 20 clients, depending on
# whether it and wineserver shared a core. PIN=0 leaves them where it puts them.
#   [ROUNDS=n] [PIN=0] bench/server_bench.sh [requests per run, default 20000]
set -euo pipefail
. "$(dirname "$0")/../tools/lib/common.sh"
cd "$NV_ROOT"
N=${1:-20000}
ROUNDS=${ROUNDS:-3}
WARMUP=1000
LEAK_RUN=100000
RESPONDER_PORT=8081
NGINX_PORT=8082
SERVER_CPU=() CLIENT_CPU=()
PIN=${PIN:-1}
if [[ $PIN != 0 ]]; then SERVER_CPU=(taskset -c 0) CLIENT_CPU=(taskset -c 1); fi

nv_need ab:apache2-utils /usr/sbin/nginx:nginx curl:curl taskset:util-linux
nv_need_wine
nv_ensure_display
tools/build win64 >/dev/null

work=$NV_BUILD/bench-server
rm -rf "$work"
mkdir -p "$work/nginx/logs"
# Port 80 is shared with the end-to-end suites.
exec 9>/tmp/norvane-e2e.lock
flock 9

export WINEPREFIX=$work/prefix WINEDEBUG=-all
nv_fresh_prefix "$WINEPREFIX"
cp -r "$NV_BUILD/win64/stage" "$work/stage"
# Wine's server is started here so that it inherits the servers' core.
"${SERVER_CPU[@]}" wineserver -p5
bench_exe=$NV_BUILD/win64/bench/win32

cleanup() {
  wineserver -k 2>/dev/null || true
  [[ -f $work/nginx/nginx.pid ]] && kill "$(cat "$work/nginx/nginx.pid")" 2>/dev/null || true
  [[ -z ${NV_XVFB_PID:-} ]] || kill "$NV_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

wait_http() {
  for _ in $(seq 150); do
    curl -s -o /dev/null "$1" && return 0
    sleep 0.2
  done
  nv_say "nothing answers at $1"
  return 1
}

(cd "$work/stage" && exec "${SERVER_CPU[@]}" wine ./norvane.exe >"$work/norvane.out" 2>&1) &
"${SERVER_CPU[@]}" wine "$bench_exe/min_responder.exe" "$RESPONDER_PORT" "$(winepath -w "$work/stage/images/4.gif")" \
  >"$work/responder.out" 2>&1 &
cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log;
events { worker_connections 4096; }
http {
  access_log off;
  server { listen 127.0.0.1:$NGINX_PORT; location / { empty_gif; } }
}
CONF
"${SERVER_CPU[@]}" /usr/sbin/nginx -p "$work/nginx" -c "$work/nginx/nginx.conf"

declare -A URL=([a]="http://127.0.0.1/ads/banner.gif" [b]="http://127.0.0.1:$RESPONDER_PORT/ads/banner.gif"
                [c]="http://127.0.0.1:$NGINX_PORT/ads/banner.gif")
declare -A NAME=([a]="norvane.exe (Wine, logging on)" [b]="minimal Winsock responder (Wine)"
                 [c]="nginx empty_gif (native)")
for k in a b c; do wait_http "${URL[$k]}"; done
curl -s "${URL[a]}" | cmp -s - "$work/stage/images/4.gif" || { nv_say "norvane.exe did not send the GIF"; exit 1; }

# "<requests per second> <p99 ms> <failed>" of one ab run.
measure() {
  local out
  out=$("${CLIENT_CPU[@]}" ab -q -r -n "$3" -c "$2" "$1" 2>&1) || { tail -1 <<<"$out" >&2; echo "0 - failed"; return; }
  awk '/^Requests per second/ {rps=$4} $1=="99%" {p99=$2}
       /^Failed requests/ {failed=$3} /^Non-2xx/ {failed+=$3}
       END {print rps, p99, failed}' <<<"$out"
}

# The server closes each connection first, so each run leaves one TIME_WAIT
# per request on its port; a new run on a port still full of them meets
# reused client ports and slows down for reasons of its own. Wait them out.
settle() {
  for _ in $(seq 120); do
    (($(ss -Htan state time-wait "( sport = :$1 )" | wc -l) < 200)) && return
    sleep 1
  done
}
port_of() { local u=${1#http://127.0.0.1}; u=${u%%/*}; echo "${u#:}" | sed 's/^$/80/'; }
median() { tr ' ' '\n' <<<"$*" | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

declare -A RPS P99 FAILED
for c in 1 20; do
  for k in a b c; do measure "${URL[$k]}" "$c" "$WARMUP" >/dev/null; done
  declare -A runs_rps=() runs_p99=()
  for round in $(seq "$ROUNDS"); do
    for k in a b c; do
      settle "$(port_of "${URL[$k]}")"
      read -r r p f < <(measure "${URL[$k]}" "$c" "$N")
      runs_rps[$k]+="$r "
      runs_p99[$k]+="$p "
      FAILED[$k$c]=$(( ${FAILED[$k$c]:-0} + ${f:-0} ))
      nv_say "c=$c round $round ($k): $r requests/s, p99 $p ms"
    done
  done
  for k in a b c; do
    RPS[$k$c]=$(median ${runs_rps[$k]})
    P99[$k$c]=$(median ${runs_p99[$k]})
  done
done

ratio() { awk -v x="$1" -v y="$2" 'BEGIN { printf "%.2f", (y > 0 ? x / y : 0) }'; }
printf '\nLocal web server: %d requests per run, one request per connection (ab), median of %d rounds\n' "$N" "$ROUNDS"
printf 'cores: %s\n\n' "$([[ $PIN != 0 ]] && echo "servers and wineserver on core 0, ab on core 1" || echo "as the scheduler placed them")"
printf '%-36s %4s %12s %9s %7s\n' "server" "conc" "requests/s" "p99 ms" "failed"
for c in 1 20; do
  for k in a b c; do
    printf '%-36s %4s %12s %9s %7s\n' "(${k}) ${NAME[$k]}" "$c" "${RPS[$k$c]}" "${P99[$k$c]}" "${FAILED[$k$c]}"
  done
done
printf '\n%-8s %8s %8s\n' "conc" "a/b" "a/c"
for c in 1 20; do printf '%-8s %8s %8s\n' "$c" "$(ratio "${RPS[a$c]}" "${RPS[b$c]}")" "$(ratio "${RPS[a$c]}" "${RPS[c$c]}")"; done
goal_ab=$(awk -v x="$(ratio "${RPS[a1]}" "${RPS[b1]}")" -v y="$(ratio "${RPS[a20]}" "${RPS[b20]}")" \
  'BEGIN { print (x >= 0.8 && y >= 0.8) ? "met" : "NOT met" }')
goal_p99=$(awk -v p="${P99[a20]}" -v q="${P99[b20]}" \
  'BEGIN { print (p != "-" && q != "-" && p <= 1.2 * q) ? "met" : "NOT met" }')
printf '\ngoal a/b >= 0.8 at both concurrencies: %s; p99 <= 1.2 x the responder'"'"'s at concurrency 20: %s\n' \
  "$goal_ab" "$goal_p99"

# Resources of norvane.exe: the Windows view (handles, private bytes) and
# the Linux view of the Wine process (resident anonymous memory, open fds).
linux_pid() {
  local p
  for p in $(pgrep -f 'norvane\.exe'); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
  done
}
resources() {
  local pid; pid=$(linux_pid)
  printf '%s rss_anon_kb=%s fds=%s\n' "$(wine "$bench_exe/procstat.exe" norvane.exe | tr -d '\r')" \
    "$(awk '/^RssAnon/ {print $2}' "/proc/$pid/status" 2>/dev/null)" "$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)"
}
# The message loop's latency: a sent WM_NULL's round trip to norvane.exe's
# main window, idle and while 20 clients keep the server busy (the run below).
loop_latency() { "${CLIENT_CPU[@]}" wine "$bench_exe/loop_latency.exe" "$1" | tr -d '\r'; }
# 100,000 connections more need the client ports that the runs above left in
# TIME_WAIT on every port.
for p in 80 "$RESPONDER_PORT" "$NGINX_PORT"; do settle "$p"; done
read -r _ _ idle_p99 _ _ < <(loop_latency 3)
before=$(resources)
measure "${URL[a]}" 20 "$LEAK_RUN" >"$work/leak.out" &
leak_pid=$!
sleep 2
read -r lat_n lat_p50 lat_p99 lat_worst lat_lost < <(loop_latency 20)
wait "$leak_pid"
read -r leak_rps _ leak_failed <"$work/leak.out"
sleep 2  # let the last connections close
after=$(resources)
printf '\nmessage loop (WM_NULL round trip): idle p99 %s ms; with 20 clients %s samples, median %s ms, p99 %s ms, worst %s ms, %s timed out\n' \
  "$idle_p99" "$lat_n" "$lat_p50" "$lat_p99" "$lat_worst" "$lat_lost"
printf 'goal p99 <= 5 ms under load: %s\n' \
  "$(awk -v p="$lat_p99" 'BEGIN { print (p != "" && p <= 5) ? "met" : "NOT met" }')"
printf '\nnorvane.exe around %d more requests (%s requests/s, %s failed):\n' "$LEAK_RUN" "$leak_rps" "$leak_failed"
printf '  before: %s\n  after:  %s\n' "$before" "$after"
printf '  ads.log: %s bytes\n' "$(stat -c %s "$work/stage/ads.log")"
