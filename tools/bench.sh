#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs every one of them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${PUMP_BENCH_DIR:-$root/build-release}"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" --parallel >/dev/null
for bench in "$out"/bench/*_bench; do
  echo "== $(basename "$bench")"
  QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$bench"
done
