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

# apt-get, waiting while another one (an automatic update, a software centre) holds the lock: up
# to ten minutes, saying so, before giving up with apt-get's own message.
apt_get() {
  local log attempt
  log=$(mktemp)
  for attempt in $(seq 1 60); do
    if $SUDO apt-get -o DPkg::Lock::Timeout=10 "$@" 2> "$log"; then
      rm -f "$log"
      return 0
    fi
    grep -qE "Could not get lock|Unable to (acquire|lock)|is another process using it" "$log" || break
    echo "setup: another apt-get holds the lock; waiting (${attempt}/60)" >&2
    sleep 10
  done
  cat "$log" >&2
  rm -f "$log"
  return 1
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A French locale lets the tests prove that numbers never follow the process locale.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  $SUDO localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 2>/dev/null || echo "setup: fr_FR.UTF-8 locale not available; the locale test will be skipped"
fi
