#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need; does nothing when they are present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libgeographiclib-dev python3-nmea2 gpsd gpsd-clients
  fonts-dejavu-core locales
  clang-format
  desktop-file-utils dpkg-dev groff-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A French locale lets the tests prove that numbers never follow the process locale.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  $SUDO localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 2>/dev/null || echo "setup: fr_FR.UTF-8 locale not available; the locale test will be skipped"
fi
