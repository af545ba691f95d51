#!/usr/bin/env bash
# Recognizer access on a 300,000-word vocabulary against plain local file
# reading and writing of the same lines. Goal: ratio at most 3.
# The two sides run alternately three times; each figure is the fastest
# run seen, so that load from other programs on the machine counts least.
# usage: bench/dragon/run.sh [build-dir]
set -euo pipefail
build=${1:-build}
bin="$build/bin/dragon_bench"
[ -x "$bin" ] || { echo "build $bin first" >&2; exit 1; }
ref=""
prx=""
for _ in 1 2 3; do
  ref+=$("$bin" reference)$'\n'
  prx+=$("$bin" proxy)$'\n'
done
best() { echo "$1" | awk -v k="$2" '$1 == k && (m == "" || $2 < m) { m = $2 } END { print m }'; }
most() { echo "$1" | awk -v k="$2" '$1 == k && $2 > m { m = $2 } END { print m }'; }
for fig in get-and-write-300000 add-20000; do
  r=$(best "$ref" "$fig")
  p=$(best "$prx" "$fig")
  printf '%-22s recognizer %8.1f ms   local file %8.1f ms   ratio %5.2f (goal <= 3)\n' \
    "$fig" "$p" "$r" "$(echo "$p $r" | awk '{ printf "%.2f", $1 / $2 }')"
done
printf 'peak memory: client %s kB, natspeak %s kB, local-file reference %s kB\n' \
  "$(most "$prx" peak-kb)" "$(most "$prx" natspeak-peak-kb)" "$(most "$ref" peak-kb)"
