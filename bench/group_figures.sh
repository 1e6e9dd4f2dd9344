#!/usr/bin/env bash
# Pumps that run together, in one command on a fresh clone: two headless
# consoles on pump-sim lines and a loopback Mosquitto, five rounds each of a
# group started 2 s ahead (the later member's first RUN from start_at), one
# console killed (the other pump's STOP) and the broker killed (both STOPs);
# medians beside the load average. About two minutes after the build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${PUMP_BENCH_DIR:-$root/build-release}"
bash "$root/tools/dev.sh" deps
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" --parallel 2 --target group_bench pump-console pump-sim >/dev/null
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$out/bench/group_bench" --console "$out/app/pump-console" --rounds "${PUMP_GROUP_ROUNDS:-5}"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
