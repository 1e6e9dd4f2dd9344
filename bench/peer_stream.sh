#!/usr/bin/env bash
# The console beside gtkterm, a plain serial terminal, on the same simulated
# reply stream under one Xvfb server. For 9600 and 115200 baud it runs, by
# turns so that both see the same load, the console (stream_bench on the xcb
# platform: the real window, its port opened through the port box) and
# gtkterm, each on a pump-sim line of its own sending the same replies. It
# prints each one's CPU per reply (the process's user and system time over
# the stream divided by the replies pump-sim wrote; medians of the runs) and
# the console's share of gtkterm's beside its target, with the load average.
# The console's run still fails when a reply was lost, shown wrong or left
# off the chart or the run log.
#
#   PUMP_PEER_SECONDS  length of each stream (default 20)
#   PUMP_PEER_RUNS     runs of each program at each baud (default 3)
#   PUMP_BENCH_DIR     the release build to use (default build-release)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${PUMP_BENCH_DIR:-$root/build-release}"
seconds="${PUMP_PEER_SECONDS:-20}"
runs="${PUMP_PEER_RUNS:-3}"
for tool in gtkterm Xvfb; do
  if ! command -v "$tool" >/dev/null; then
    echo "peer_stream: $tool is not installed (apt-get install gtkterm xvfb)" >&2
    exit 2
  fi
done
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$out" --parallel 2 --target stream_bench pump-sim >/dev/null
scratch="$(mktemp -d)"
log="$out/peer-runs.log"
: >"$log"
# gtkterm closes a port whose modem lines it cannot read, as on a pseudo-terminal.
cc -shared -fPIC -O2 -o "$scratch/pty_modem_lines.so" "$root/bench/pty_modem_lines.c" -ldl
mkdir -p "$scratch/home/.config"

load() { cut -d' ' -f1-3 /proc/loadavg; }

# One Xvfb for both programs, on a display number it picks itself.
Xvfb -displayfd 5 -nolisten tcp -screen 0 1280x1024x24 5>"$scratch/display" 2>>"$log" &
xvfb_pid=$!
cleanup() {
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
for _ in $(seq 50); do [[ -s "$scratch/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$scratch/display")"

# User and system time of a process so far, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# The console's CPU per reply at a baud, in µs; nothing when a reply was lost.
console_run() {
  local output
  output="$(TMPDIR="$scratch" QT_QPA_PLATFORM=xcb "$out/bench/stream_bench" --baud "$1" \
    --seconds "$seconds" 2>>"$log")" || { echo "$output" >>"$log"; return 0; }
  echo "$output" >>"$log"
  echo "$output" | awk '/^console CPU per reply/ {
    for (i = 1; i < NF; ++i) if ($(i + 1) == "us") { print $i; exit } }'
}

# gtkterm's CPU per reply at a baud, in µs, over a stream it alone reads.
gtkterm_run() {
  local baud="$1" replies="$2" writes="$scratch/writes.log" device=""
  rm -f "$writes"
  "$out/sim/pump-sim" --baud "$baud" --stream "$replies" --log-writes "$writes" \
    >"$scratch/sim.out" 2>>"$log" &
  local sim_pid=$!
  for _ in $(seq 50); do
    device="$(head -1 "$scratch/sim.out")"
    [[ -n "$device" ]] && break
    sleep 0.1
  done
  # A home of its own: its settings name the line, and nothing of the user's is read.
  printf '[default]\nport = %s\nspeed = %s\n' "$device" "$baud" >"$scratch/home/.config/.gtktermrc"
  HOME="$scratch/home" NO_AT_BRIDGE=1 LD_PRELOAD="$scratch/pty_modem_lines.so" \
    gtkterm --port "$device" --speed "$baud" >>"$log" 2>&1 &
  local term_pid=$!
  sleep 2  # its window up
  # SIGUSR1 asks gtkterm to open its port, should it not have at start.
  ls -l "/proc/$term_pid/fd" | grep -q "$device" || kill -USR1 "$term_pid"
  sleep 0.5
  if ! ls -l "/proc/$term_pid/fd" | grep -q "$device"; then
    echo "gtkterm did not open $device" >>"$log"
    kill "$term_pid" "$sim_pid" 2>/dev/null || true
    return 0
  fi
  local before
  before="$(ticks "$term_pid")"
  printf 'Q00N' >"$device"  # pump-sim starts the stream at the first byte it gets
  for _ in $(seq $((seconds * 10 + 300))); do [[ -s "$writes" ]] && break; sleep 0.1; done
  sleep 1  # what came last drawn, and the write log complete
  local after
  after="$(ticks "$term_pid")"
  kill "$term_pid" "$sim_pid" 2>/dev/null || true
  wait "$term_pid" "$sim_pid" 2>/dev/null || true
  local sent dropped
  sent="$(grep -vc dropped "$writes" || true)"
  dropped="$(grep -c dropped "$writes" || true)"
  echo "gtkterm @$baud: $sent replies written, $dropped not taken whole, $((after - before)) ticks" >>"$log"
  awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v n="$sent" \
    'BEGIN { if (n > 0) printf "%.1f\n", t / hz * 1e6 / n }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "console and gtkterm on one Xvfb ($DISPLAY), $runs runs of $seconds s each, $(nproc) cores, load average at the start $(load)"
for baud in 9600 115200; do
  target=0.3
  ((baud > 9600)) && target=0.5
  # Replies a stream of that length brings, as stream_bench counts them.
  replies=$((seconds * baud / 90))
  console="" terminal="" missing=0
  for ((i = 1; i <= runs; ++i)); do
    echo "-- $baud baud, run $i, load average $(load)" >>"$log"
    mine="$(console_run "$baud")"
    theirs="$(gtkterm_run "$baud" "$replies")"
    [[ -z "$mine" ]] && missing=$((missing + 1))
    [[ -n "$mine" ]] && console+="$mine"$'\n'
    [[ -n "$theirs" ]] && terminal+="$theirs"$'\n'
    echo "   $baud baud, run $i: console ${mine:-FAILED (a reply lost or the run failed, see $log)} µs," \
      "gtkterm ${theirs:-FAILED (see $log)} µs a reply; load average $(load)"
  done
  ours="$(echo -n "$console" | median)"
  theirs="$(echo -n "$terminal" | median)"
  awk -v b="$baud" -v ours="${ours:-0}" -v theirs="${theirs:-0}" -v target="$target" \
    -v missing="$missing" -v load="$(load)" 'BEGIN {
      ratio = theirs > 0 ? ours / theirs : 0
      met = ratio > 0 && ratio <= target && missing == 0
      printf "%6d baud: console %.1f us a reply, gtkterm %.1f us, ratio %.3f (target <= %s): %s; load average %s\n",
             b, ours, theirs, ratio, target, met ? "met" : "MISSED", load
    }'
done
