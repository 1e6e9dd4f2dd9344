#!/usr/bin/env bash
# The console's window beside two ordinary serial terminals, cutecom and
# gtkterm, under one Xvfb server: start to the top-level window mapped on the
# X server (from exec, timed at the server by window_map_timer) and the peak
# resident memory (VmHWM) two seconds after it is mapped. Each program runs
# PUMP_PEER_RUNS times (default 7), in turn; the medians are printed with the
# console's ratio to each peer, beside the targets (at most half of each
# peer's), with the load average before and after.
#
# The console is started twice over: its window program, pump-console-window,
# as "console", and as a user starts it, pump-console, which reads its
# command line and then hands itself over to the window program (exec, same
# process), as "via-pump-console". Neither takes an option: the main window
# opens with no port box (the port is chosen from the menus), so nothing
# blocks it. The peers are started with no option either. All run with one
# scratch HOME, so none reads a user's settings.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${PUMP_BENCH_DIR:-$root/build-release}"
runs="${PUMP_PEER_RUNS:-7}"

need=(xvfb cutecom gtkterm libxcb1-dev pkg-config)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
    echo "missing packages: ${missing[*]} (apt-get install them, or run as root)" >&2
    exit 1
  fi
  as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  echo "installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" --parallel 2 --target pump-console pump-console-window pump_chart_module \
  pump_print_module pump_mqtt_module window_map_timer >/dev/null
timer="$out/bench/window_map_timer"
window="$out/app/pump-console-window"
console="$out/app/pump-console"

scratch="$(mktemp -d)"
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$scratch/display")"
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

load() { cut -d' ' -f1-3 /proc/loadavg; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

programs=(console via-pump-console cutecom gtkterm)
declare -A command=([console]="$window" [via-pump-console]="$console" [cutecom]=cutecom [gtkterm]=gtkterm)
echo "load average before: $(load)"
for ((run = 1; run <= runs; ++run)); do
  for name in "${programs[@]}"; do
    "$timer" --hold 2 -- ${command[$name]} 2>/dev/null >"$scratch/figures" ||
      { echo "$name: no window (run $run)" >&2; exit 1; }
    awk '$1 == "mapped_ms" {print $2}' "$scratch/figures" >>"$scratch/$name.ms"
    awk '$1 == "vmhwm_kb" {print $2 / 1024}' "$scratch/figures" >>"$scratch/$name.mb"
  done
done
echo "load average after:  $(load)"

declare -A ms mb
for name in "${programs[@]}"; do
  ms[$name]="$(median <"$scratch/$name.ms")"
  mb[$name]="$(median <"$scratch/$name.mb")"
  printf '%-16s start to window mapped %6.1f ms   VmHWM %5.1f MB   (medians of %d)\n' \
    "$name" "${ms[$name]}" "${mb[$name]}" "$runs"
done
verdict() { awk -v r="$1" 'BEGIN {print (r <= 0.5) ? "met" : "MISSED"}'; }
for ours in console via-pump-console; do
  for peer in cutecom gtkterm; do
    for figure in start VmHWM; do
      if [ "$figure" = start ]; then a="${ms[$ours]}" b="${ms[$peer]}"; else a="${mb[$ours]}" b="${mb[$peer]}"; fi
      ratio="$(awk -v a="$a" -v b="$b" 'BEGIN {printf "%.3f", a / b}')"
      printf '%-16s / %-8s %-6s %6s x   (target <= 0.50 x): %s\n' "$ours" "$peer" "$figure" "$ratio" \
        "$(verdict "$ratio")"
    done
  done
done
