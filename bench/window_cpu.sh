#!/usr/bin/env bash
# CPU of the window process over SECONDS (60 by default) of wall time: sailing (--simulate, every
# sentence selected) and idle (not started), on Qt's offscreen platform and, when xvfb-run is
# installed, on a virtual X server. Each run starts from a new user's settings (a temporary
# XDG_DATA_HOME). Usage: bench/window_cpu.sh [path/to/corvelnmea] [SECONDS]
set -euo pipefail
exe=$(realpath "${1:-$(dirname "$0")/../build/bin/corvelnmea}")
seconds=${2:-60}
tick=$(getconf CLK_TCK)

# CPU seconds (user + system) of process $1 so far.
cpu_of() { awk -v t="$tick" '{ printf "%.2f", ($14 + $15) / t }' "/proc/$1/stat"; }

measure() {  # label, then the command
  local label=$1; shift
  local data; data=$(mktemp -d)
  XDG_DATA_HOME=$data "$@" > /dev/null 2>&1 &
  local launcher=$!
  sleep 5  # start-up, not counted
  local pid; pid=$(pgrep -n -f "$exe" || true)
  if [[ -z "$pid" ]]; then echo "$label: the program did not start"; kill "$launcher" 2> /dev/null || true; return; fi
  local before; before=$(cpu_of "$pid")
  sleep "$seconds"
  local after; after=$(cpu_of "$pid")
  local rss; rss=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
  kill "$pid" 2> /dev/null || true
  wait "$launcher" 2> /dev/null || true
  rm -rf "$data"
  awk -v l="$label" -v a="$after" -v b="$before" -v s="$seconds" -v r="$rss" \
    'BEGIN { printf "%-28s %5.2f %% of one core over %d s (peak RSS %d kB)\n", l, (a - b) / s * 100, s, r }'
}

echo "corvelnmea window, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"
measure "offscreen, sailing" env QT_QPA_PLATFORM=offscreen "$exe" --simulate
measure "offscreen, idle" env QT_QPA_PLATFORM=offscreen "$exe"
if command -v xvfb-run > /dev/null; then
  measure "Xvfb, sailing" xvfb-run -a -s "-screen 0 1920x1080x24" env -u QT_QPA_PLATFORM "$exe" --simulate
  measure "Xvfb, idle" xvfb-run -a -s "-screen 0 1920x1080x24" env -u QT_QPA_PLATFORM "$exe"
else
  echo "xvfb-run not installed: the virtual X server runs skipped (apt-get install xvfb)"
fi
