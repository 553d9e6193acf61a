#!/usr/bin/env bash
# CPU of the window process over SECONDS (60 by default) of wall time: sailing (--simulate, every
# sentence selected) and idle (not started), on Qt's offscreen platform and, when xvfb-run is
# installed, on a virtual X server; each with the slide show and without it, one after the other,
# SAMPLES times (1 by default). Without it, the program runs from a copy of its folder whose
# ImgShips/ is empty (the plain blue picture, no fade). Each run starts from a new user's settings
# (a temporary XDG_DATA_HOME).
# Usage: bench/window_cpu.sh [path/to/corvelnmea] [SECONDS] [SAMPLES]
#   SLIDES=on or SLIDES=off   only the runs with or without the slide show (both by default)
#   PLATFORMS=xvfb            only the virtual X server's runs (PLATFORMS="offscreen xvfb" by default)
set -euo pipefail
exe=$(realpath "${1:-$(dirname "$0")/../build/bin/corvelnmea}")
seconds=${2:-60}
samples=${3:-1}
slides=${SLIDES:-on off}
[[ $slides == both ]] && slides="on off"
platforms=${PLATFORMS:-offscreen xvfb}
tick=$(getconf CLK_TCK)

# The program's folder without slides: the executable (linked, or copied across file systems) and
# the other files of its folder, with an empty ImgShips/.
bare=$(mktemp -d)
trap 'rm -rf "$bare"' EXIT
for f in "$(dirname "$exe")"/*; do
  case $f in
    "$exe") ln "$exe" "$bare/" 2> /dev/null || cp "$exe" "$bare/" ;;
    */ImgShips) mkdir "$bare/ImgShips" ;;
    *) ln -s "$f" "$bare/" ;;
  esac
done

# CPU seconds (user + system) of process $1 so far.
cpu_of() { awk -v t="$tick" '{ printf "%.2f", ($14 + $15) / t }' "/proc/$1/stat"; }

measure() {  # label, the executable, then the command that starts it
  local label=$1 program=$2; shift 2
  local data; data=$(mktemp -d)
  XDG_DATA_HOME=$data "$@" > /dev/null 2>&1 &
  local launcher=$!
  sleep 5  # start-up, not counted
  # The program itself (under xvfb-run, a child of its shell, whose command line names it too).
  local pid; pid=$(pgrep -n -f "^$program( |\$)" || true)
  if [[ -z "$pid" ]]; then echo "$label: the program did not start"; kill "$launcher" 2> /dev/null || true; return; fi
  local before; before=$(cpu_of "$pid")
  sleep "$seconds"
  local after; after=$(cpu_of "$pid")
  local rss; rss=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
  kill "$pid" 2> /dev/null || true
  wait "$launcher" 2> /dev/null || true
  rm -rf "$data"
  awk -v l="$label" -v a="$after" -v b="$before" -v s="$seconds" -v r="$rss" \
    'BEGIN { printf "%-36s %5.2f %% of one core over %d s (peak RSS %d kB)\n", l, (a - b) / s * 100, s, r }'
}

# One run: platform, idle or sailing, slides on or off.
run() {
  local program=$exe
  [[ $3 == off ]] && program=$bare/$(basename "$exe")
  local args=(); [[ $2 == sailing ]] && args=(--simulate)
  local label="$1, $2, slides $3"
  case $1 in
    offscreen) measure "$label" "$program" env QT_QPA_PLATFORM=offscreen "$program" "${args[@]}" ;;
    Xvfb) measure "$label" "$program" xvfb-run -a -s "-screen 0 1920x1080x24" env -u QT_QPA_PLATFORM "$program" "${args[@]}" ;;
  esac
}

echo "corvelnmea window, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"
if [[ $platforms == *xvfb* ]] && ! command -v xvfb-run > /dev/null; then
  echo "xvfb-run not installed: the virtual X server runs skipped (apt-get install xvfb)"
  platforms=${platforms//xvfb/}
fi
for ((sample = 1; sample <= samples; ++sample)); do
  for platform in $platforms; do
    [[ $platform == xvfb ]] && platform=Xvfb
    for state in sailing idle; do
      for slide in $slides; do run "$platform" "$state" "$slide"; done
    done
  done
done
