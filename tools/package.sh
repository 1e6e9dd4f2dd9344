#!/usr/bin/env bash
# Builds the Debian package into build-package/ and checks it: files in place,
# run-time dependencies declared, no lintian errors.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${PUMP_PACKAGE_DIR:-$root/build-package}"

missing=()
for p in dpkg-dev lintian desktop-file-utils; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  # Only the installation needs root: sudo is used when not already root.
  as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPUMP_BUILD_TESTS=OFF \
  -DPUMP_GUIDE_FROM_SOURCE=OFF -DPUMP_MODULES_FROM_BUILD=OFF >/dev/null
cmake --build "$out" --parallel >/dev/null
(cd "$out" && rm -f ./*.deb && cpack -G DEB >/dev/null)
deb="$(ls "$out"/pump-console_*.deb)"
echo "package: $deb"

contents="$(dpkg-deb -c "$deb")"
for f in usr/bin/pump-console usr/lib/pump-console/pump-console-window usr/bin/pump-sim \
         usr/lib/pump-console/modules/pump-console-charts.so \
         usr/lib/pump-console/modules/pump-console-print.so \
         usr/lib/pump-console/modules/pump-console-mqtt.so usr/share/applications/pump-console.desktop \
         usr/bin/pump-board usr/share/applications/pump-board.desktop usr/share/man/man1/pump-board.1.gz \
         usr/share/icons/hicolor/32x32/apps/pump-console.png \
         usr/share/icons/hicolor/128x128/apps/pump-console.png \
         usr/share/doc/pump-console/copyright usr/share/doc/pump-console/README.md \
         usr/share/doc/pump-console/LICENSE usr/share/man/man1/pump-console.1.gz \
         usr/lib/systemd/system/pump-console-headless@.service \
         usr/share/pump-console/operator-guide.zh.md; do
  grep -q "\./$f\$" <<<"$contents" || { echo "missing from package: $f" >&2; exit 1; }
done

# Every picture the operator's guide shows goes with it.
for picture in $(grep -o '](guide/[^)]*)' "$root/docs/operator-guide.zh.md" | sed 's/^](//; s/)$//'); do
  grep -q "\./usr/share/pump-console/$picture\$" <<<"$contents" ||
    { echo "missing from package: the guide's picture $picture" >&2; exit 1; }
done

depends="$(dpkg-deb -f "$deb" Depends)"
echo "depends: $depends"
for d in libqt6widgets6 libqt6serialport6 libqt6printsupport6 libmosquitto1 qt6-qpa-plugins \
         fonts-noto-cjk fonts-wqy-zenhei qt6-translations-l10n; do
  grep -q "$d" <<<"$depends" || { echo "dependency not declared: $d" >&2; exit 1; }
done

desktop-file-validate "$root/packaging/pump-console.desktop" "$root/packaging/pump-board.desktop"
lintian --fail-on error "$deb"
echo "package check passed"
