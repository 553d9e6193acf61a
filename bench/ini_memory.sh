#!/usr/bin/env bash
# Peak resident memory of the headless start-up reading hostile initialisation and polar files:
# 30 MB of "[a]" lines and 30 MB of "k=1" lines (over the reader's limit: refused without being
# read), and the largest file of each kind that is read (1 MiB), each given as --config and as the
# settings file; a polar of line feeds at 16 MB and at 1 MiB named by the settings. Prints the file
# size, the peak RSS (/usr/bin/time -f %M), what the file added to the RSS of the same run without
# it, and that as a multiple of the file's size. The target: a file that is read costs a small
# multiple of its size (the INI reader keeps the text and 12 bytes per header or key line: at most
# about 7 times the file), a larger one costs nothing (a refused --config even ends the run before
# the start-up, below the run without it).
# Usage: bench/ini_memory.sh [path/to/corvelnmea]
set -euo pipefail
exe=$(realpath "${1:-$(dirname "$0")/../build/bin/corvelnmea}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mib=$((1024 * 1024))

# repeat LINE BYTES FILE: LINE (with its "\n") repeated while it fits in BYTES, after PREFIX.
repeat() {
  python3 -c 'import sys; line, size, prefix = sys.argv[1] + "\n", int(sys.argv[2]), sys.argv[4]
n = (size - len(prefix)) // len(line)
open(sys.argv[3], "w").write(prefix + line * n)' "$1" "$2" "$3" "${4:-}"
}
repeat "[a]" $((30 * 1000 * 1000)) "$work/headers-30MB.ini"
repeat "k=1" $((30 * 1000 * 1000)) "$work/keys-30MB.ini" "[a]"$'\n'
repeat "[a]" $mib "$work/headers-1MiB.ini"
repeat "k=1" $mib "$work/keys-1MiB.ini" "[a]"$'\n'
repeat "" $((16 * mib - 1)) "$work/lf-16MB.pol"
repeat "" $mib "$work/lf-1MiB.pol"

run=(--headless --fast --duration 1 --start 2026-06-01T08:00:00)
# peak KIND FILE: the peak RSS in KB of a run reading FILE as KIND (config, settings, polar); without
# FILE: with no settings file (none), or with --no-settings (bare).
peak() {
  local home="$work/home"
  rm -rf "$home"
  mkdir -p "$home/share/CorvelNMEA"
  local args=("${run[@]}") env=(HOME="$home" XDG_DATA_HOME="$home/share" XDG_CONFIG_HOME="$home/config"
                                   XDG_DOCUMENTS_DIR="$home/Documents")
  case $1 in
    config) args+=(--no-settings --config "$2") ;;
    bare) args+=(--no-settings) ;;
    settings) cp "$2" "$home/share/CorvelNMEA/CorvelNMEA.ini" ;;
    polar) printf '[REPERTOIRES]\nPolars=%s/\n[Parametres]\nPolaireAct=%s\n' "$(dirname "$2")" "$(basename "$2")" \
             > "$home/share/CorvelNMEA/CorvelNMEA.ini" ;;
    none) ;;
  esac
  env "${env[@]}" /usr/bin/time -o "$work/rss" -f "%M" "$exe" "${args[@]}" > /dev/null 2> "$work/err" || true
  tail -1 "$work/rss"
}

echo "$exe"
base_config=$(peak bare)
base_settings=$(peak none)
printf '%-22s %-9s %12s %14s %14s %9s\n' file as "size (KB)" "peak RSS (KB)" "added (KB)" multiple
for f in headers-30MB.ini keys-30MB.ini headers-1MiB.ini keys-1MiB.ini; do
  for kind in config settings; do
    size=$(( $(stat -c %s "$work/$f") / 1024 ))
    rss=$(peak $kind "$work/$f")
    base=$base_settings
    [ $kind = config ] && base=$base_config
    awk -v f="$f" -v k="$kind" -v s="$size" -v r="$rss" -v b="$base" \
      'BEGIN { a = r - b; printf "%-22s %-9s %12d %14d %14d %9.1f\n", f, k, s, r, a, a / s }'
  done
done
for f in lf-16MB.pol lf-1MiB.pol; do
  size=$(( $(stat -c %s "$work/$f") / 1024 ))
  rss=$(peak polar "$work/$f")
  awk -v f="$f" -v s="$size" -v r="$rss" -v b="$base_settings" \
    'BEGIN { a = r - b; printf "%-22s %-9s %12d %14d %14d %9.1f\n", f, "polar", s, r, a, a / s }'
done
echo "without the file: $base_config KB (--no-settings), $base_settings KB (no settings file)"
