#!/usr/bin/env bash
# The run report's figures in one command on a fresh clone: pump-report on a
# day's log at the poll rate (57,600 rows) and on an hour's at 115200 baud
# (4.6 million rows), five runs each, medians beside the load average.
# About two minutes after the build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PUMP_BENCH_ONLY=report exec bash "$root/tools/bench.sh"
