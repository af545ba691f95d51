#!/usr/bin/env bash
# Recognizer access on a 300,000-word vocabulary against plain local file
# reading and writing of the same lines. Goal: ratio at most 3.
# usage: bench/dragon/run.sh [build-dir]
set -euo pipefail
build=${1:-build}
bin="$build/bin/dragon_bench"
[ -x "$bin" ] || { echo "build $bin first" >&2; exit 1; }
ref=$("$bin" reference)
prx=$("$bin" proxy)
val() { echo "$1" | awk -v k="$2" '$1 == k { print $2 }'; }
for fig in get-and-write-300000 add-20000; do
  r=$(val "$ref" "$fig")
  p=$(val "$prx" "$fig")
  printf '%-22s recognizer %8.1f ms   local file %8.1f ms   ratio %5.2f (goal <= 3)\n' \
    "$fig" "$p" "$r" "$(echo "$p $r" | awk '{ printf "%.2f", $1 / $2 }')"
done
printf 'peak memory: client %s kB, natspeak %s kB, local-file reference %s kB\n' \
  "$(val "$prx" peak-kb)" "$(val "$prx" natspeak-peak-kb)" "$(val "$ref" peak-kb)"
