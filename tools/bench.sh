#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs every one of them several
# times; for each figure it prints the median, the smallest and the largest
# value beside the target, judged on the median, with the load average before
# and after each benchmark. Every run's own output goes to bench-runs.log in
# the build directory.
#
#   PUMP_STREAM_SECONDS   length of each stream run (default 20)
#   PUMP_BENCH_RUNS       runs of each short benchmark (default 5)
#   PUMP_STREAM_RUNS      runs of each stream benchmark (default 3)
#   PUMP_BENCH_ONLY=mqtt  builds and runs only the stream pair with MQTT off and on
#   PUMP_BENCH_ONLY=stream  builds and runs only the streams and the floors under them
#   PUMP_BENCH_ONLY=headless  builds and runs only the console without a window:
#                         its start, and a minute at rest with MQTT off and on
#   PUMP_BENCH_ONLY=report  builds and runs only the run report from the command
#                         line on a day's log and on an hour's at 115200 baud
#   PUMP_REST_SECONDS     length of each run at rest (default 60)
#   PUMP_BENCH_ONLY=board builds and runs only the pump board with 200 simulated pumps
#   PUMP_BENCH_ONLY=peer  the console beside gtkterm on the same stream (bench/peer_stream.sh)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[[ "${PUMP_BENCH_ONLY:-}" == peer ]] && exec bash "$root/bench/peer_stream.sh"
out="${PUMP_BENCH_DIR:-$root/build-release}"
seconds="${PUMP_STREAM_SECONDS:-20}"
short_runs="${PUMP_BENCH_RUNS:-5}"
stream_runs="${PUMP_STREAM_RUNS:-3}"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
only="${PUMP_BENCH_ONLY:-}"
targets=()
[[ "$only" == mqtt ]] && targets=(--target stream_bench mqtt_floor_bench pump-sim)
[[ "$only" == stream ]] && targets=(--target stream_bench floor_bench pump-sim)
[[ "$only" == headless ]] && targets=(--target headless_bench pump-console pump-sim)
[[ "$only" == board ]] && targets=(--target board_bench)
[[ "$only" == report ]] && targets=(--target report_bench pump-report)
cmake --build "$out" --parallel 2 "${targets[@]}" >/dev/null
bench="$out/bench"
log="$out/bench-runs.log"
: >"$log"

load() { cut -d' ' -f1-3 /proc/loadavg; }

# Reads "name value unit (target <= limit unit): met" lines of several runs
# and prints one line per figure: median, min, max, target, met or MISSED.
summarise() {
  awk '
    /\(target (<=|>=) / {
      gsub(/\033\[[0-9;]*m/, "")
      head = substr($0, 1, index($0, "(target ") - 1)
      n = split(head, word, " ")
      for (at = n; at > 1 && word[at] !~ /^-?[0-9.]+(e[-+]?[0-9]+)?$/; --at) {}
      value = word[at]; unit = ""
      for (i = at + 1; i <= n; ++i) unit = unit (unit == "" ? "" : " ") word[i]
      name = word[1]; for (i = 2; i < at; ++i) name = name " " word[i]
      split(substr($0, index($0, "(target ") + 8), t, " ")
      if (!(name in seen)) { seen[name] = 1; order[++count] = name }
      bound[name] = t[1]; limit[name] = t[2] + 0; units[name] = unit
      values[name, ++runs[name]] = value + 0
    }
    END {
      for (k = 1; k <= count; ++k) {
        name = order[k]; m = runs[name]
        for (i = 1; i <= m; ++i) v[i] = values[name, i]
        for (i = 2; i <= m; ++i) for (j = i; j > 1 && v[j - 1] > v[j]; --j) {
          x = v[j]; v[j] = v[j - 1]; v[j - 1] = x
        }
        median = m % 2 ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2
        met = bound[name] == "<=" ? median <= limit[name] : median >= limit[name]
        printf "%-46s median %10.4g  min %10.4g  max %10.4g %-7s (target %s %g): %s\n",
               name, median, v[1], v[m], units[name], bound[name], limit[name],
               met ? "met" : "MISSED"
      }
    }'
}

# repeat RUNS TITLE COMMAND...: runs the command RUNS times and summarises.
repeat() {
  local runs="$1" title="$2"
  shift 2
  echo "== $title: $runs runs, load average before $(load)"
  local results=""
  for ((i = 1; i <= runs; ++i)); do
    echo "-- $title, run $i" >>"$log"
    local output
    output="$("$@" 2>>"$log")" || echo "   run $i: exit status $? (see $log)"
    echo "$output" >>"$log"
    results+="$output"$'\n'
  done
  echo "$results" | summarise
  echo "   load average after $(load)"
}

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
echo "benchmarks on $(nproc) cores, load average at the start $(load)"

# A Mosquitto of our own on a free loopback port, with a subscriber to every
# pump's topics as a dashboard would have; sets broker_port.
start_broker() {
  local conf="$out/bench-mosquitto.conf"
  for broker_port in $(seq 18830 18930); do
    printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' \
      "$broker_port" >"$conf"
    mosquitto -c "$conf" >>"$log" 2>&1 &
    broker_pid=$!
    sleep 0.5
    if kill -0 "$broker_pid" 2>/dev/null; then
      mosquitto_sub -p "$broker_port" -t 'pumps/#' >/dev/null 2>&1 &
      subscriber_pid=$!
      return 0
    fi
  done
  echo "no port free for the benchmark's broker" >&2
  return 1
}
stop_broker() {
  kill "$subscriber_pid" "$broker_pid" 2>/dev/null || true
  wait "$subscriber_pid" "$broker_pid" 2>/dev/null || true
}

# The console at 115200 baud with remote monitoring off and on, run by turns
# so that both see the same load; prints both summaries and the difference
# of the median CPU shares.
mqtt_pair() {
  if ! command -v mosquitto >/dev/null; then
    echo "== MQTT pair skipped: mosquitto is not installed"
    return 0
  fi
  start_broker || return 0
  local title="stream_bench at 115200 baud for $seconds s ($QT_QPA_PLATFORM)"
  echo "== $title, MQTT off and on by turns: $stream_runs pairs, load average before $(load)"
  local off="" on="" output scratch="$out/bench-tmp"
  mkdir -p "$scratch"
  for ((i = 1; i <= stream_runs; ++i)); do
    for mode in off on; do
      local mqtt=()
      [[ $mode == on ]] && mqtt=(--mqtt-url "mqtt://127.0.0.1:$broker_port")
      echo "-- $title, MQTT $mode, run $i" >>"$log"
      # A temporary folder of its own: another stream_bench on the machine
      # must not share its files.
      output="$(TMPDIR="$scratch" "$bench/stream_bench" --baud 115200 --seconds "$seconds" \
        "${mqtt[@]}" 2>>"$log")" || echo "   MQTT $mode, run $i: exit status $? (see $log)"
      echo "$output" >>"$log"
      [[ $mode == on ]] && on+="$output"$'\n' || off+="$output"$'\n'
      echo "   pair $i, MQTT $mode: load average $(load)"
    done
  done
  local off_summary on_summary
  off_summary="$(echo "$off" | summarise)"
  on_summary="$(echo "$on" | summarise)"
  echo "$off_summary"
  echo "$on_summary"
  local cpu_off cpu_on
  local median='/^console CPU @/ { for (i = 1; i < NF; ++i) if ($i == "median") print $(i + 1) }'
  cpu_off="$(echo "$off_summary" | awk "$median")"
  cpu_on="$(echo "$on_summary" | awk "$median")"
  awk -v off="$cpu_off" -v on="$cpu_on" 'BEGIN {
    more = off > 0 ? 100 * (on - off) / off : 0
    printf "MQTT on vs off, median console CPU: %.3f vs %.3f %% of a core, %+.2f points, %+.1f %% (target <= +3 %%): %s\n",
           on, off, on - off, more, more <= 3 ? "met" : "MISSED"
  }'
  # The floor under that difference: one message per reading published with
  # nothing else running, beside the same wake-ups without it.
  "$bench/mqtt_floor_bench" --mqtt-url "mqtt://127.0.0.1:$broker_port" --seconds "$((${seconds%.*} / 2 + 1))" \
    2>>"$log" || echo "   mqtt_floor_bench: exit status $? (see $log)"
  stop_broker
  echo "   load average after $(load)"
}

if [[ "$only" == mqtt ]]; then
  mqtt_pair
  exit 0
fi

# The console without a window, as a service runs it: exec to its line open
# and its first poll, then at rest on the built-in pump with MQTT off and on
# by turns (a broker of our own on loopback), so that both see the same load.
headless() {
  local console="$out/app/pump-console" rest="${PUMP_REST_SECONDS:-60}"
  repeat "$short_runs" "headless_bench --start" "$bench/headless_bench" --console "$console" --start
  local mqtt=()
  if command -v mosquitto >/dev/null && start_broker; then
    mqtt=(--mqtt-url "mqtt://127.0.0.1:$broker_port")
  else
    echo "== MQTT on skipped: no broker"
  fi
  echo "== headless_bench --rest $rest on sim with MQTT off and on, and on a pump-sim line, by turns: $short_runs rounds, load average before $(load)"
  local off="" on="" line="" output
  for ((i = 1; i <= short_runs; ++i)); do
    output="$("$bench/headless_bench" --console "$console" --rest "$rest" 2>>"$log")" ||
      echo "   MQTT off, run $i: exit status $? (see $log)"
    echo "$output" >>"$log"
    off+="$output"$'\n'
    if ((${#mqtt[@]})); then
      output="$("$bench/headless_bench" --console "$console" --rest "$rest" "${mqtt[@]}" \
        2>>"$log")" || echo "   MQTT on, run $i: exit status $? (see $log)"
      echo "$output" >>"$log"
      on+="$output"$'\n'
    fi
    # The console's own share: the pump in a pump-sim process of its own.
    output="$("$bench/headless_bench" --console "$console" --rest "$rest" --pump-sim 2>>"$log")" ||
      echo "   pump-sim line, run $i: exit status $? (see $log)"
    echo "$output" >>"$log"
    line+="$output"$'\n'
    echo "   round $i: load average $(load)"
  done
  echo "$off" | summarise
  [[ -n "$on" ]] && echo "$on" | summarise
  echo "$line" | summarise
  # CPU with MQTT on has no target of its own: its median, for the record.
  [[ -n "$on" ]] && echo "$on" | awk '/MQTT on: CPU/ { print $(NF - 1) }' | sort -g |
    awk '{ v[NR] = $1 } END { if (NR) printf "at rest, sim, MQTT on: CPU, median %.4g %% of a core\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
  ((${#mqtt[@]})) && stop_broker
  echo "   load average after $(load)"
}

if [[ "$only" == headless ]]; then
  headless
  exit 0
fi

# The pump board: 200 simulated consoles publishing at the console's poll rate
# to a Mosquitto of its own, the board's window on the offscreen platform.
board() {
  if ! command -v mosquitto >/dev/null; then
    echo "== board_bench skipped: mosquitto is not installed"
    return 0
  fi
  repeat "$short_runs" "board_bench, 200 pumps for 40 s (offscreen)" \
    "$bench/board_bench" --pumps 200 --seconds 40 --warmup 10
}
if [[ "$only" == board ]]; then
  board
  exit 0
fi

# The run report, as `pump-console --report` makes it: time and peak memory.
report() {
  local program="$out/app/pump-report"
  repeat "$short_runs" "report_bench, a day at the poll rate" "$bench/report_bench" \
    --report "$program" --rows 57600 --every-us 1500000 --seconds 1 --megabytes 80
  repeat "$short_runs" "report_bench, an hour at 115200 baud" "$bench/report_bench" \
    --report "$program" --rows 4600000 --every-us 780 --seconds 6 --megabytes 200
}

if [[ "$only" == report ]]; then
  report
  exit 0
fi

xvfb=()
command -v xvfb-run >/dev/null && xvfb=(xvfb-run -a)
if [[ "$only" != stream ]]; then
  for name in reply_path_bench reply_view_bench record_bench runlog_bench trend_bench; do
    repeat "$short_runs" "$name" "$bench/$name"
  done
  repeat "$short_runs" "startup_bench ($QT_QPA_PLATFORM)" "$bench/startup_bench"
  if ((${#xvfb[@]})); then
    repeat "$short_runs" "startup_bench (xcb under Xvfb)" \
      env QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$bench/startup_bench"
  fi
fi

# Each stream is followed by the floor under it: the same stream read by a
# bare Qt program that only wakes, reads and repaints a small box.
for baud in 9600 115200; do
  for program in stream_bench floor_bench; do
    repeat "$stream_runs" "$program at $baud baud for $seconds s ($QT_QPA_PLATFORM)" \
      "$bench/$program" --baud "$baud" --seconds "$seconds"
    if ((${#xvfb[@]})); then
      repeat "$stream_runs" "$program at $baud baud for $seconds s (xcb under Xvfb)" \
        env QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$bench/$program" --baud "$baud" \
        --seconds "$seconds"
    fi
  done
done
if [[ "$only" == stream ]]; then
  echo "load average at the end $(load)"
  exit 0
fi
# The run log's share of the console's CPU: the fastest line, without it.
repeat "$stream_runs" "stream_bench at 115200 baud for $seconds s, run log off ($QT_QPA_PLATFORM)" \
  "$bench/stream_bench" --baud 115200 --seconds "$seconds" --run-log off
# Remote monitoring's share: the same line with MQTT off and on, by turns.
mqtt_pair
board
report
echo "load average at the end $(load)"
