#!/usr/bin/env bash
# Share of test code: the C++ lines under tests/ over the C++ lines of the
# programs and libraries (every other folder except bench/; build folders
# are not part of the tree). Counts the files git knows or would take
# (untracked, not ignored), every line as wc -l counts it.
#   scripts/testanteil.sh        prints both counts and the ratio
set -euo pipefail
cd "$(dirname "$0")/.."

cpp='\.(cpp|cc|cxx|h|hh|hpp)$'
mapfile -t dateien < <(git ls-files -co --exclude-standard | grep -E "$cpp" | grep -v '^bench/' |
  while IFS= read -r f; do [ -f "$f" ] && printf '%s\n' "$f"; done)

zeilen() { if [ $# -gt 0 ]; then cat -- "$@" | wc -l; else echo 0; fi; }

tests=() programm=()
for f in "${dateien[@]}"; do
  case "$f" in
    tests/*) tests+=("$f") ;;
    *) programm+=("$f") ;;
  esac
done
t=$(zeilen "${tests[@]}")
p=$(zeilen "${programm[@]}")
echo "tests/:                 $t lines of C++ in ${#tests[@]} files"
echo "programs and libraries: $p lines of C++ in ${#programm[@]} files"
if [ "$p" -gt 0 ]; then
  awk -v t="$t" -v p="$p" 'BEGIN { printf "ratio: %.2f (%.0f %%)\n", t / p, 100 * t / p }'
fi
