#!/usr/bin/env bash
# Builds and runs the benchmarks of the word list editor (offscreen); prints
# each figure and its ratio to its reference: the editor in-process, then
# the whole program Vokarium opening a pool total list of 200,000 and of
# 1,000,000 lines (its trace stamps beside a plain read + std::sort).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build" --target editor_bench vk_programme vktrace -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/editor_bench"
"$root/bench/editor/programm.sh" "$build/bin" 200000 2.0
"$root/bench/editor/programm.sh" "$build/bin" 1000000 2.0 2000
