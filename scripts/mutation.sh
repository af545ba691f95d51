#!/usr/bin/env bash
# Mutation run: plants each fault of tests/mutation/faults.txt, one at a
# time, in a copy of the tree, rebuilds it incrementally, runs the test suite
# and says whether some test noticed (killed) or none did (survived).
#
#   scripts/mutation.sh [options] [ID-or-PATTERN ...]
#     --list          list the faults (id, state against the tree, file, what)
#     --check         only plant each fault and compile its own file (syntax
#                     and warnings, no code): finds stale anchors and faults
#                     that do not compile, runs no test
#     --faults FILE   another fault list (default tests/mutation/faults.txt)
#     --dir DIR       the copy and its build (default build-mutation/)
#     --timeout S     per-test timeout of ctest in seconds (default 120)
#     --jobs N        parallel build and test jobs (default 2)
#     --exclude RE    ctest -E of tests left out (default '^paket_system$')
#     --no-baseline   skip the run of the unchanged suite first
#     --mends         only the faults marked "mend out:"
#     --sample N      every mend and every Nth of the other faults
#     --only PATTERN  select by id or file, as the arguments do (repeatable)
#   IDs and shell patterns ('srv-*', '*/verteilen.cpp') select faults by id or
#   by file; without any, every fault runs.
#
# A fault whose anchor text is missing from its file, or found more than
# once, is "stale" and not counted; one that does not build counts as
# neither. Score = killed / (killed + survived). Logs of every fault go to
# DIR/logs/, the table of the last run to DIR/ergebnis.txt. The copy leaves
# out bench/ (never run by ctest) and is kept between runs, so only what
# changed is built again. Exit code 0 when the run completed, 1 when the
# unchanged suite already fails, 2 on wrong use.
set -euo pipefail
# The suite runs in the caller's locale (the programs choose their language
# by it); the script's own sorting in C.
suite_lc_all=${LC_ALL-}
export LC_ALL=C

repo=$(cd "$(dirname "$0")/.." && pwd)
faults=$repo/tests/mutation/faults.txt
dir=$repo/build-mutation
timeout=120
jobs=2
exclude='^paket_system$'
mode=run
baseline=1
selectors=()
mends_only=0
sample=0

while [ $# -gt 0 ]; do
  case "$1" in
    --list) mode=list ;;
    --check) mode=check ;;
    --faults) faults=$(realpath "$2"); shift ;;
    --dir) dir=$(realpath -m "$2"); shift ;;
    --timeout) timeout=$2; shift ;;
    --jobs) jobs=$2; shift ;;
    --exclude) exclude=$2; shift ;;
    --no-baseline) baseline=0 ;;
    --mends) mends_only=1 ;;
    --sample) sample=$2; shift ;;
    --only) selectors+=("$2"); shift ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option: $1" >&2; exit 2 ;;
    *) selectors+=("$1") ;;
  esac
  shift
done
[ -f "$faults" ] || { echo "no fault list: $faults" >&2; exit 2; }

# ---- the fault list ------------------------------------------------------
# Records of "key: value" lines, each beginning with "id:"; keys id, file,
# what, from, to. The value is the rest of the line after "key: ", verbatim;
# a line "| text" continues the field before it with a line break and
# "text". "to:" alone replaces the anchor by nothing. "#" lines are comments.
ids=() files=() whats=() froms=() tos=()

parse_faults() {
  local line key value last=''
  local n=-1
  while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
      '#'*|'') last=''; continue ;;
      '| '*|'|')
        value=${line#|}; value=${value# }
        case "$last" in
          from) froms[n]+=$'\n'$value ;;
          to) tos[n]+=$'\n'$value ;;
          *) echo "$faults: continuation without from/to: $line" >&2; exit 2 ;;
        esac
        continue ;;
    esac
    key=${line%%:*}
    value=${line#*:}
    value=${value# }
    case "$key" in
      id) n=$((n + 1)); ids[n]=$value; files[n]=''; whats[n]=''; froms[n]=''; tos[n]='' ;;
      file|what|from|to)
        [ "$n" -ge 0 ] || { echo "$faults: '$key' before the first id" >&2; exit 2; }
        case "$key" in
          file) files[n]=$value ;; what) whats[n]=$value ;;
          from) froms[n]=$value ;; to) tos[n]=$value ;;
        esac ;;
      *) echo "$faults: unknown line: $line" >&2; exit 2 ;;
    esac
    last=$key
  done < "$faults"
  local i seen=' '
  for i in "${!ids[@]}"; do
    if [ -z "${files[i]}" ] || [ -z "${froms[i]}" ] || [ -z "${whats[i]}" ]; then
      echo "$faults: fault ${ids[i]} lacks file, what or from" >&2; exit 2
    fi
    case "$seen" in *" ${ids[i]} "*) echo "$faults: id ${ids[i]} twice" >&2; exit 2 ;; esac
    seen+="${ids[i]} "
  done
}

is_mend() { [[ ${whats[$1]} == 'mend out:'* ]]; }

# Position of fault i among the faults that are no mends (0, 1, ...), for
# --sample.
ordinary_index() {
  local i=$1 k n=0
  for ((k = 0; k < i; k++)); do is_mend "$k" || n=$((n + 1)); done
  echo "$n"
}

selected() {
  local i=$1 s
  if [ "$mends_only" = 1 ] && ! is_mend "$i"; then return 1; fi
  if [ "$sample" -gt 0 ] && ! is_mend "$i" && [ $(($(ordinary_index "$i") % sample)) -ne 0 ]; then
    return 1
  fi
  [ ${#selectors[@]} -eq 0 ] && return 0
  for s in "${selectors[@]}"; do
    # shellcheck disable=SC2053
    [[ ${ids[i]} == $s || ${files[i]} == $s ]] && return 0
  done
  return 1
}

# How often the anchor occurs in a file: 0, 1 or 2 (twice or more).
count_anchor() {
  ANKER=$2 perl -0777 -ne '$n = () = /\Q$ENV{ANKER}\E/g; print $n > 1 ? 2 : $n' -- "$1"
}

# State of fault i against the files below root: ok, stale or ambiguous.
anchor_state() {
  local i=$1 root=$2 f
  f=$root/${files[i]}
  [ -f "$f" ] || { echo stale; return; }
  case $(count_anchor "$f" "${froms[i]}") in
    0) echo stale ;; 1) echo ok ;; *) echo ambiguous ;;
  esac
}

parse_faults

if [ "$mode" = list ]; then
  for i in "${!ids[@]}"; do
    selected "$i" || continue
    printf '%-30s %-9s %-32s %s\n' "${ids[i]}" "$(anchor_state "$i" "$repo")" "${files[i]}" \
      "${whats[i]}"
  done
  exit 0
fi

# ---- the copy and its build ----------------------------------------------
mkdir -p "$dir/logs"
exec 9> "$dir/.sperre"
flock -n 9 || { echo "another mutation run uses $dir" >&2; exit 2; }

# Brings the copy in line with the tree: files whose content differs are
# copied (so only they are rebuilt), files gone from the tree are removed.
sync_copy() {
  local list=$dir/.dateien f
  (cd "$repo" && git ls-files -co --exclude-standard) | grep -v '^bench/' | LC_ALL=C sort \
    > "$list.neu" || true
  while IFS= read -r f; do
    [ -f "$repo/$f" ] || continue
    if ! cmp -s "$repo/$f" "$dir/$f"; then
      mkdir -p "$dir/$(dirname "$f")"
      cp -- "$repo/$f" "$dir/$f"
    fi
  done < "$list.neu"
  if [ -f "$list" ]; then
    LC_ALL=C comm -23 "$list" "$list.neu" | while IFS= read -r f; do rm -f -- "$dir/$f"; done
  fi
  mv "$list.neu" "$list"
}

build=$dir/build
sync_copy
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$dir" -B "$build" -G Ninja -DVK_WERROR=ON -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    > "$dir/logs/konfiguration.log" 2>&1 ||
    { echo "configure failed, see $dir/logs/konfiguration.log" >&2; exit 1; }
fi

# The planted file's original content is kept aside and put back on exit
# whatever happens. After a build it gets a new time stamp, so the next
# build compiles it again; --check builds nothing and puts its old one back.
current_file=''
restore() {
  if [ -n "$current_file" ]; then
    if [ "$mode" = check ]; then
      cp -p -- "$dir/.original" "$current_file"
    else
      cat -- "$dir/.original" > "$current_file"
    fi
    current_file=''
  fi
}
suite_pid=''
end_suite() {
  if [ -n "$suite_pid" ] && kill -TERM -- "-$suite_pid" 2>/dev/null; then
    sleep 1
    kill -KILL -- "-$suite_pid" 2>/dev/null || true
  fi
  suite_pid=''
}
trap 'end_suite; restore' EXIT
trap 'exit 130' INT TERM

plant() {
  local i=$1
  current_file=$dir/${files[i]}
  cp -p -- "$current_file" "$dir/.original"
  ANKER=${froms[i]} ERSATZ=${tos[i]} perl -0777 -i -pe 's/\Q$ENV{ANKER}\E/$ENV{ERSATZ}/' \
    -- "$current_file"
}

# Compiles one source file as the build does, warnings as errors, but
# without making code (-fsyntax-only): quick, and enough to see whether a
# fault builds.
compile_only() {
  local src=$1 command
  command=$(sed -n "s|^ *\"command\": \"\(.*\) -o [^ ]* -c \($dir/$src\)\",\$|\1 -fsyntax-only \2|p" \
    "$build/compile_commands.json" | head -1 | perl -pe 's/\\(.)/$1/g')
  [ -n "$command" ] || { echo "no compile command for $src"; return 1; }
  echo "$command"
  (cd "$build" && eval "$command")
}

# Runs ctest as the leader of a session of its own. A test that
# --stop-on-failure cuts short can leave the programs it started running;
# they are ended afterwards through that session's process group. The lock
# of the copy (descriptor 9) is not handed on to them.
run_suite() {
  local rc=0
  LC_ALL=$suite_lc_all QT_QPA_PLATFORM=offscreen setsid ctest --test-dir "$build" -j "$jobs" --timeout "$timeout" \
    --stop-on-failure --output-on-failure -E "$exclude" 9>&- &
  suite_pid=$!
  wait "$suite_pid" || rc=$?
  end_suite
  return "$rc"
}

# The names of the tests a ctest log lists as failed, comma-separated.
failed_tests() {
  sed -n '/tests FAILED:/,$p' "$1" | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' |
    head -3 | paste -sd, -
}

if [ "$mode" = check ]; then
  printf '%-30s %s\n' "fault" "state"
  for i in "${!ids[@]}"; do
    selected "$i" || continue
    state=$(anchor_state "$i" "$dir")
    if [ "$state" = ok ]; then
      plant "$i"
      if compile_only "${files[i]}" > "$dir/logs/${ids[i]}.log" 2>&1 9>&-; then
        state=compiles
      else
        state="does-not-compile"
      fi
      restore
    fi
    printf '%-30s %s\n' "${ids[i]}" "$state"
  done
  exit 0
fi

if [ "$baseline" = 1 ]; then
  echo "baseline: build and suite of the unchanged tree"
  if ! cmake --build "$build" -j "$jobs" > "$dir/logs/basis.log" 2>&1 9>&- ||
    ! run_suite >> "$dir/logs/basis.log" 2>&1; then
    echo "the unchanged tree fails already (tests: $(failed_tests "$dir/logs/basis.log")):" \
      "see $dir/logs/basis.log" >&2
    exit 1
  fi
fi

killed=0 survived=0 stale=0 broken=0
table=$dir/ergebnis.txt
: > "$table"
for i in "${!ids[@]}"; do
  selected "$i" || continue
  id=${ids[i]}
  log=$dir/logs/$id.log
  state=$(anchor_state "$i" "$dir")
  detail=''
  if [ "$state" != ok ]; then
    result="stale"
    detail="anchor not in the file"
    [ "$state" = ambiguous ] && detail="anchor found more than once"
    stale=$((stale + 1))
  else
    plant "$i"
    if ! cmake --build "$build" -j "$jobs" > "$log" 2>&1 9>&-; then
      result="no-build"
      broken=$((broken + 1))
    elif run_suite >> "$log" 2>&1; then
      result="survived"
      survived=$((survived + 1))
    else
      result="killed"
      detail=$(failed_tests "$log")
      killed=$((killed + 1))
    fi
    restore
  fi
  printf '%-9s %-30s %-32s %s\n' "$result" "$id" "${files[i]}" "${detail:-${whats[i]}}"
  printf '%s\t%s\t%s\t%s\n' "$result" "$id" "${files[i]}" "$detail" >> "$table"
done

counted=$((killed + survived))
if [ "$counted" -gt 0 ]; then
  score="$((100 * killed / counted)) %"
else
  score="-"
fi
echo "killed $killed, survived $survived, score $score (stale $stale, not building $broken)"
