#!/usr/bin/env bash
# Builds everything and runs every test with ctest.
#   ./test.sh             plain build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
set -euo pipefail
cd "$(dirname "$0")"

build=build
sanitize=OFF
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  sanitize=ON
fi

./scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DVK_SANITIZE="$sanitize" -DVK_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 300
