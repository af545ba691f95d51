#!/usr/bin/env bash
# Builds and runs the reading benchmark of the client library; prints each
# figure and its ratio to the plain std::unordered_set reference.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build" --target common_bench -j2 >/dev/null
"$build/bin/common_bench"
