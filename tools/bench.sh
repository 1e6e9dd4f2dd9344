#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs every one of them; each
# prints its figures beside their targets. The stream runs last a minute per
# line speed; PUMP_STREAM_SECONDS shortens them for a quick look.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${PUMP_BENCH_DIR:-$root/build-release}"
seconds="${PUMP_STREAM_SECONDS:-60}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" --parallel 2 >/dev/null
bench="$out/bench"

for name in reply_path_bench reply_view_bench record_bench runlog_bench trend_bench; do
  echo "== $name"
  "$bench/$name"
done

echo "== startup_bench ($QT_QPA_PLATFORM)"
"$bench/startup_bench"
if command -v xvfb-run >/dev/null; then
  echo "== startup_bench (xcb under Xvfb)"
  QT_QPA_PLATFORM=xcb xvfb-run -a "$bench/startup_bench"
fi

for baud in 9600 115200; do
  echo "== stream_bench at $baud baud for $seconds s"
  "$bench/stream_bench" --baud "$baud" --seconds "$seconds" || echo "stream_bench: replies were lost"
done
