#!/usr/bin/env bash
# Runs the pool server's benchmarks and prints each figure with its ratio to
# the reference: trigger latency of an idle server against its Pause (10 s),
# one pass of a 4 MiB text to 100 members against a plain append loop (goal
# at most 1.3x), and 127 pools x 40 members in one pass (goal at most 1 s,
# shown beside the file system's own create, write and flush of the same
# files; and memory).
# usage: bench/server/run.sh [build dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target vkz_bench -j2 >/dev/null
"$build/bin/vkz_bench" latenz
"$build/bin/vkz_bench" durchsatz
"$build/bin/vkz_bench" skala
