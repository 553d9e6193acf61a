#!/usr/bin/env bash
# Times the headless program: 24 simulated hours of the designed sample scenario (no settings
# file read) with every sentence kind, as fast as the CPU
# allows, to /dev/null. Prints the median wall time and the median peak resident memory of five
# runs. Usage: bench/headless_bench.sh [path/to/corvelnmea]
set -euo pipefail
exe=${1:-$(dirname "$0")/../build/bin/corvelnmea}
walls=() rss=()
for _ in 1 2 3 4 5; do
  out=$( { /usr/bin/time -f "%e %M" "$exe" --headless --no-settings --fast --duration 86400 --stdout > /dev/null; } 2>&1 )
  walls+=("${out% *}") rss+=("${out#* }")
done
median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
echo "corvelnmea --headless --no-settings --fast --duration 86400 --stdout > /dev/null"
echo "median wall time: $(median "${walls[@]}") s   (runs: ${walls[*]})"
echo "median peak RSS:  $(median "${rss[@]}") KB  (runs: ${rss[*]})"
