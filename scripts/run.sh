#!/usr/bin/env bash
# Installs what is missing, builds, and starts CorvelNMEA. Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
exec build/bin/corvelnmea "$@"
