#!/usr/bin/env bash
# One entry point for setting up, building, running and testing the console on
# Debian 12. Usage: bash tools/dev.sh run | test | sim | deps
# Runs as root or as a user: only installing packages needs root, and sudo is
# called for that alone, and only when not already root.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PUMP_BUILD_DIR:-$root/build}"

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-charts-dev qt6-svg-dev libgl-dev libxcb1-dev
  fonts-noto-cjk fonts-wqy-zenhei qt6-translations-l10n libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth socat util-linux poppler-utils gtkterm linux-perf
  clang clang-format-14 libclang-rt-14-dev
  mosquitto mosquitto-clients libmosquitto-dev libssl-dev nlohmann-json3-dev openssl
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_if_needed apt-get update -qq
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

configure_and_build() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${PUMP_BUILD_TYPE:-RelWithDebInfo}" \
    "${PUMP_CMAKE_ARGS[@]}" >/dev/null
  cmake --build "$build" --parallel
}

# Prints why no window can be shown, if so; a toolkit failure says far less.
missing_display() {
  if [ -n "${QT_QPA_PLATFORM:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then return 1; fi
  if [ -z "${DISPLAY:-}" ]; then
    echo "neither DISPLAY nor WAYLAND_DISPLAY is set"
    return 0
  fi
  local number="${DISPLAY#*:}"
  number="${number%%.*}"
  if [[ "$DISPLAY" == :* ]] && [ ! -S "/tmp/.X11-unix/X$number" ]; then
    echo "DISPLAY=$DISPLAY names an X server that is not running"
    return 0
  fi
  return 1
}

PUMP_CMAKE_ARGS=()

case "${1:-}" in
  run)
    install_missing
    configure_and_build
    if problem="$(missing_display)"; then
      cat >&2 <<MSG
No display to show the console on: $problem.
The console is built at:
  $build/app/pump-console
Run it on a desktop session, or under a virtual X server:
  xvfb-run -a $build/app/pump-console
MSG
      exit 1
    fi
    echo "No pump at hand? Answer the port box with: sim"
    exec "$build/app/pump-console"
    ;;
  test)
    install_missing
    configure_and_build
    cd "$build"
    # One test per core: the suite waits on pseudo-terminals, brokers and child
    # processes far more than it computes.
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 --parallel "$(nproc)"
    ;;
  sim)
    install_missing
    configure_and_build
    exec "$build/sim/pump-sim" "${@:2}"
    ;;
  deps)
    install_missing
    ;;
  *)
    echo "usage: $0 run|test|sim|deps" >&2
    exit 2
    ;;
esac
