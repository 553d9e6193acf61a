#!/usr/bin/env bash
# Compares the speed of two builds of the program, each a folder holding `corvelnmea` (with the
# data files beside it, as in build/bin) and `corvel_bench`:
#   (a) a fast headless day, `corvelnmea --headless --no-settings --fast --start 2026-06-01T08:00:00
#       --duration 86400 --stdout > /dev/null`, wall time and CPU time (user + system: the steadier
#       of the two when other work shares the machine);
#   (b) the benchmark of one simulated hour with its sentences (BM_SimulatedHour/sentences:1 of
#       bench/tick_bench.cpp), wall time per hour.
# The two builds run in alternation (A B A B ...), RUNS times each (7 by default), so that the load
# of the machine falls on both alike; the medians are printed side by side, with the change of the
# medians and the median of the changes within each round (the two runs of a round share the
# load of that moment, so this one is the steadier on a busy machine). The instruction count
# of one run does not depend on that load: with --callgrind, the instructions (valgrind callgrind,
# Ir) of a fast headless run of HOURS simulated hours (2 by default) are printed as well (slow:
# about a minute per build for 2 hours). Before anything is timed, the two builds must write the
# same bytes for a 2-hour run (its MD5 is printed).
# Usage: bench/compare_speed.sh [--callgrind] [--hours HOURS] BEFORE_DIR AFTER_DIR [RUNS]
set -euo pipefail

callgrind=0 hours=2
while [[ $# -gt 0 && $1 == --* ]]; do
  case $1 in
    --callgrind) callgrind=1; shift ;;
    --hours) hours=$2; shift 2 ;;
    *) echo "compare_speed.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
if [[ $# -lt 2 || $# -gt 3 ]]; then
  echo "usage: bench/compare_speed.sh [--callgrind] [--hours HOURS] BEFORE_DIR AFTER_DIR [RUNS]" >&2
  exit 2
fi
dirs=("$(realpath "$1")" "$(realpath "$2")")
runs=${3:-7}
for d in "${dirs[@]}"; do
  for exe in corvelnmea corvel_bench; do
    [[ -x $d/$exe ]] || { echo "compare_speed.sh: no $exe in $d" >&2; exit 2; }
  done
done
# The benchmark reads the polar from the sources; both builds read the same one.
export CORVEL_SOURCE_DIR=${CORVEL_SOURCE_DIR:-$(realpath "$(dirname "$0")/..")}
# No settings are read (--no-settings); a private home keeps the user's folders out all the same.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/share XDG_CONFIG_HOME=$home/config XDG_DOCUMENTS_DIR=$home/docs

headless=(--headless --no-settings --fast --start 2026-06-01T08:00:00 --stdout)
bench_filter='^BM_SimulatedHour/sentences:1$'

# day DIR: wall seconds and CPU seconds of the headless day.
day() {
  local TIMEFORMAT='%3R %3U %3S'
  { time "$1/corvelnmea" "${headless[@]}" --duration 86400 > /dev/null; } 2>&1 |
    awk '{ printf "%s %.3f\n", $1, $2 + $3 }'
}
# hour DIR: milliseconds of wall time per simulated hour, as the benchmark reports it.
hour() {
  "$1/corvel_bench" --benchmark_filter="$bench_filter" --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 ~ /BM_SimulatedHour/ { print $3 }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
change() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.1f %%", (b - a) / a * 100 }'; }
# paired "A1 A2 .." "B1 B2 ..": the median of the changes B_i / A_i - 1, in %.
paired() {
  local -a a b ratios=()
  read -ra a <<< "$1"; read -ra b <<< "$2"
  for i in "${!a[@]}"; do ratios+=("$(awk -v a="${a[i]}" -v b="${b[i]}" 'BEGIN { print (b - a) / a * 100 }')"); done
  awk -v m="$(median "${ratios[@]}")" 'BEGIN { printf "%+.1f %%", m }'
}
row() { printf '%-44s %14s %14s %10s %10s\n' "$@"; }

md5=()
for d in "${dirs[@]}"; do
  md5+=("$("$d/corvelnmea" "${headless[@]}" --duration 7200 | md5sum | cut -d' ' -f1)")
done
echo "MD5 of a 2-hour run: before ${md5[0]}, after ${md5[1]}"
[[ ${md5[0]} == "${md5[1]}" ]] || echo "compare_speed.sh: the two builds write different output" >&2

days=([0]="" [1]="") cpus=([0]="" [1]="") hours_ms=([0]="" [1]="")
for ((r = 1; r <= runs; ++r)); do
  for i in 0 1; do
    read -r wall cpu <<< "$(day "${dirs[i]}")"
    days[i]+="$wall " cpus[i]+="$cpu "
  done
  for i in 0 1; do hours_ms[i]+="$(hour "${dirs[i]}") "; done
  echo "run $r/$runs done" >&2
done
read -ra day0 <<< "${days[0]}"; read -ra day1 <<< "${days[1]}"
read -ra cpu0 <<< "${cpus[0]}"; read -ra cpu1 <<< "${cpus[1]}"
read -ra hour0 <<< "${hours_ms[0]}"; read -ra hour1 <<< "${hours_ms[1]}"

row "" "before" "after" "change" "paired"
d0=$(median "${day0[@]}") d1=$(median "${day1[@]}")
row "headless day, median wall s ($runs runs)" "$d0" "$d1" "$(change "$d0" "$d1")" "$(paired "${days[0]}" "${days[1]}")"
c0=$(median "${cpu0[@]}") c1=$(median "${cpu1[@]}")
row "headless day, median CPU s" "$c0" "$c1" "$(change "$c0" "$c1")" "$(paired "${cpus[0]}" "${cpus[1]}")"
h0=$(median "${hour0[@]}") h1=$(median "${hour1[@]}")
row "BM_SimulatedHour/sentences:1, median ms" "$h0" "$h1" "$(change "$h0" "$h1")" "$(paired "${hours_ms[0]}" "${hours_ms[1]}")"
echo "  day runs before: ${day0[*]}"
echo "  day runs after:  ${day1[*]}"
echo "  day CPU before: ${cpu0[*]}"
echo "  day CPU after:  ${cpu1[*]}"
echo "  hour runs before: ${hour0[*]}"
echo "  hour runs after:  ${hour1[*]}"

if ((callgrind)); then
  ir=()
  for d in "${dirs[@]}"; do
    ir+=("$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$d/corvelnmea" "${headless[@]}" \
             --duration $((hours * 3600)) 2>&1 > /dev/null | awk '/Collected :/ { print $NF }')")
  done
  row "callgrind Ir, headless ${hours} h" "${ir[0]}" "${ir[1]}" "$(change "${ir[0]}" "${ir[1]}")"
fi
