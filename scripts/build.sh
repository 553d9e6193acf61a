#!/usr/bin/env bash
# Configures and builds one build directory: build.sh DIR [--target NAME ...] [extra cmake options...]
# With --target, only those targets (and what they need) are built; else everything.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
targets=()
while [[ ${1:-} == --target ]]; do
  targets+=(--target "$2")
  shift 2
done
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
