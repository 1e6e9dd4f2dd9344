#!/usr/bin/env bash
# The console without a window, measured in one command on a fresh clone:
# exec to its first poll, and a minute at rest on the built-in simulated pump
# with MQTT off and on (a Mosquitto of its own on loopback), five runs each,
# medians beside the load average. About twelve minutes after the build.
#   PUMP_BENCH_RUNS=3 PUMP_REST_SECONDS=20 bash bench/headless_rest.sh   # a quick look
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PUMP_BENCH_ONLY=headless exec bash "$root/tools/bench.sh"
