#!/usr/bin/env bash
# Builds and runs the benchmark of the word list editor (offscreen); prints
# each figure and its ratio to its reference.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build" --target editor_bench -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/editor_bench"
