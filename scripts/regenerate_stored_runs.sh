#!/usr/bin/env bash
# Runs the stored-run scenarios with the program in build/ and stores their output as the new
# expected output: regenerate_stored_runs.sh [NAME...] (all when none is named). A regeneration is a
# deliberate change of the program's output: the commit that stores it says why.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
exec /usr/bin/python3 tests/stored_runs/stored_runs.py regenerate build/bin/corvelnmea "$@"
