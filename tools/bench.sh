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
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${PUMP_BENCH_DIR:-$root/build-release}"
seconds="${PUMP_STREAM_SECONDS:-20}"
short_runs="${PUMP_BENCH_RUNS:-5}"
stream_runs="${PUMP_STREAM_RUNS:-3}"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" --parallel 2 >/dev/null
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

for name in reply_path_bench reply_view_bench record_bench runlog_bench trend_bench; do
  repeat "$short_runs" "$name" "$bench/$name"
done

xvfb=()
command -v xvfb-run >/dev/null && xvfb=(xvfb-run -a)
repeat "$short_runs" "startup_bench ($QT_QPA_PLATFORM)" "$bench/startup_bench"
if ((${#xvfb[@]})); then
  repeat "$short_runs" "startup_bench (xcb under Xvfb)" \
    env QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$bench/startup_bench"
fi

for baud in 9600 115200; do
  repeat "$stream_runs" "stream_bench at $baud baud for $seconds s ($QT_QPA_PLATFORM)" \
    "$bench/stream_bench" --baud "$baud" --seconds "$seconds"
  if ((${#xvfb[@]})); then
    repeat "$stream_runs" "stream_bench at $baud baud for $seconds s (xcb under Xvfb)" \
      env QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$bench/stream_bench" --baud "$baud" \
      --seconds "$seconds"
  fi
done
# The run log's share of the console's CPU: the fastest line, without it.
repeat "$stream_runs" "stream_bench at 115200 baud for $seconds s, run log off ($QT_QPA_PLATFORM)" \
  "$bench/stream_bench" --baud 115200 --seconds "$seconds" --run-log off
echo "load average at the end $(load)"
