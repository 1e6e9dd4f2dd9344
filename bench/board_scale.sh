#!/usr/bin/env bash
# The pump board with 200 simulated pumps, measured in one command on a fresh
# clone: a reading's time from its publisher to its tile (p99) and the board's
# CPU, five runs of 40 s, medians beside the load average. About four minutes
# after the build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PUMP_BENCH_ONLY=board exec bash "$root/tools/bench.sh"
