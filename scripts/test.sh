#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
scripts/setup.sh

echo "== the sources follow .clang-format"
scripts/format.sh --check

echo "== build and test (build/)"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== build and test under ASan + UBSan (build-asan/)"
scripts/build.sh build-asan -DCORVEL_SANITIZE=ON -DCORVEL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions="$PWD/tests/leaks.supp" \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
