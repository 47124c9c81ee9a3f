#!/usr/bin/env bash
# Set-up, build and run or test Zerired on Debian 12.
#   bash build.sh run    installs what is missing, builds, starts the program
#   bash build.sh test   installs what is missing, builds, runs every test
set -euo pipefail
cd "$(dirname "$0")"

PACCHETTI=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6sql6-sqlite
  libgl-dev libsqlite3-dev liblz4-dev libxlsxwriter-dev libzip-dev liborcus-dev sqlite3 poppler-utils unzip zip
  xvfb xauth x11-utils fonts-dejavu-core qt6-translations-l10n
  dpkg-dev desktop-file-utils lintian appstream man-db)

mancanti=()
for p in "${PACCHETTI[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
done
if [ ${#mancanti[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${mancanti[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

case "${1:-run}" in
  run)  exec build/zerired/zerired ;;
  test) cd build && exec ctest --output-on-failure -j"$(nproc)" ;;
  *)    echo "uso: bash build.sh run|test" >&2; exit 2 ;;
esac
