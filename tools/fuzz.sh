#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while
# (PUMP_FUZZ_SECONDS, default 60) from the committed seed corpus.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${PUMP_FUZZ_DIR:-$root/build-fuzz}"
seconds="${PUMP_FUZZ_SECONDS:-60}"

bash "$root/tools/dev.sh" deps

CC=clang CXX=clang++ cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPUMP_BUILD_GUI=OFF -DPUMP_BUILD_TESTS=OFF -DPUMP_FUZZ=ON -DPUMP_SANITIZE=ON >/dev/null
cmake --build "$out" --parallel >"$out/build.log" 2>&1 || { tail -n 40 "$out/build.log" >&2; exit 1; }

run() {
  local target="$1" corpus="$2"
  local work="$out/corpus-$target"
  mkdir -p "$work"
  echo "fuzzing $target for ${seconds}s"
  "$out/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "$work" "$root/fuzz/corpus/$corpus" \
    2>"$out/$target.log" || { tail -n 40 "$out/$target.log" >&2; exit 1; }
  grep -E "stat::number_of_executed_units" "$out/$target.log" || true
}
run frame_assembler_fuzzer reply_path
run number_text_fuzzer number_text
run remote_command_fuzzer remote_command
run run_log_fuzzer run_log
run board_message_fuzzer board_message
run program_fuzzer program
echo "fuzzing found nothing"
