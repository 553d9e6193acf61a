#!/usr/bin/env bash
# Formats every .h and .cpp under src/, tests/ and bench/ with clang-format and the project's
# .clang-format (tuned for clang-format 14, the one Debian 12 ships; scripts/setup.sh installs it).
#   scripts/format.sh           formats the files in place
#   scripts/format.sh --check   changes nothing; names each file that formatting would change and
#                               exits 1 when there is one
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case "${1-}" in
  "") ;;
  --check) check=true ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac
if ! command -v clang-format >/dev/null; then
  echo "format: clang-format is not installed (scripts/setup.sh installs it)" >&2
  exit 2
fi

mapfile -d '' files < <(find src tests bench -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
if ! $check; then
  clang-format -i "${files[@]}"
  exit 0
fi

differ=0
for f in "${files[@]}"; do
  if ! clang-format "$f" | cmp -s - "$f"; then
    echo "format: $f is not formatted (scripts/format.sh formats it)"
    differ=1
  fi
done
exit $differ
