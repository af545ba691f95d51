#!/usr/bin/env bash
# The road of a word across two mounts of one shared folder, with the real
# programs: the pool server vkZentrale on the file server's own folder,
# workstation A (member Meier) and workstation B (member Schulz) each in a
# mount namespace of its own where the same path (the clients' base
# directory of the server's settings) is its own mount of the share. Meier
# adds a word in his recognizer stand-in; when it ends, his helper starts
# Vokarium, whose word list editor takes the word into the pool (the
# person's clicks played by the test hook); the server delivers it; Schulz's
# helper puts it into his vocabulary at his next start. Checks that the word
# arrives exactly once and byte for byte (cp1252 on the share), and that the
# pool folder holds nothing but what the road leaves.
# Prints one result line "road of a word | NAME | arrived N of 1,
# duplicated N[, what went wrong]"; exit code 1 when the road failed.
# usage: tests/share/weg.sh BIN_DIR NAME SERVER_FOLDER FOLDER_A FOLDER_B
#        (three views of one empty shared folder; BEHALTEN=1 keeps the
#        local tree, VK_WEG_LOGS=DIR gets the programs' logs and a listing)
set -uo pipefail
bin=$1
name=$2
srv=$3
ordner_a=$4
ordner_b=$5
# Programs on an emulated machine start slowly: a wait lasts 120 s at most.
geduld=${VK_WEG_GEDULD:-1200}
T=$(mktemp -d "${TMPDIR:-/tmp}/vk-weg.XXXXXX")
export XDG_CONFIG_HOME=$T/appdata XDG_RUNTIME_DIR=$T/run XDG_DESKTOP_DIR=$T/desktop
export VOKARIUM_TRACE_SOCKET=$T/run/trace.sock QT_QPA_PLATFORM=offscreen
export VOKARIUM_REGISTRY_DIR=$T/regS
unset DISPLAY WAYLAND_DISPLAY VOKARIUM_TESTSKRIPT
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DESKTOP_DIR" "$T/regA" "$T/regB" "$T/regS" "$T/ws"
chmod 700 "$XDG_RUNTIME_DIR"
probleme=()
pids=()
aufraeumen() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  if [ -n "${VK_WEG_LOGS:-}" ]; then
    mkdir -p "$VK_WEG_LOGS"
    cp "$T"/*.log "$T"/*.err "$VK_WEG_LOGS/" 2>/dev/null
    ls -lAR "$srv" >"$VK_WEG_LOGS/baum.txt" 2>&1
  fi
  [ -n "${BEHALTEN:-}" ] || rm -rf "$T"
}
trap aufraeumen EXIT
fail() { probleme+=("$*"); }
warte() { for _ in $(seq "$geduld"); do eval "$1" && return 0; sleep 0.1; done; return 1; }
zeilen() { [ -f "$1" ] && tr -d '\r' <"$1"; }
# The word in UTF-8 (command lines, scripts) and as its cp1252 line on the share.
wort='Müller-Lüdenscheidt'
wort_cp1252=$(printf '%s' "$wort" | iconv -f UTF-8 -t CP1252)
# How many lines of standard input have WORD as their written form (the
# part before a spoken form's "\").
zaehle() { awk -F'\\' -v w="$1" '$1 == w { n++ } END { print n + 0 }'; }
anzahl() { zeilen "$1" | zaehle "$wort_cp1252"; }

# Every workstation sees the share at the same path, $T/ws, through its own
# mount; the server works on its own folder.
W=$T/ws/dragon
R=$srv/dragon
P=$R/Vokarium/Chirurgie
winpfad() { printf '%s' "$1" | tr / '\\'; }
ordner() { if [ "$1" = A ]; then echo "$ordner_a"; else echo "$ordner_b"; fi; }
auf() {  # auf STATION COMMAND...: runs COMMAND on workstation STATION
  local s=$1
  shift
  env VOKARIUM_REGISTRY_DIR="$T/reg$s" XDG_RUNTIME_DIR="$T/run$s" \
    VOKARIUM_DRAGON_SOCKET="$T/run$s/dragon.sock" \
    unshare -m --propagation private sh -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' station \
    "$(ordner "$s")" "$T/ws" "$@"
}
# The same in the background: "hinten STATION COMMAND... &" (the subshell of
# "&" becomes the program, so $! is the program's own id).
hinten() {
  local s=$1
  shift
  exec env VOKARIUM_REGISTRY_DIR="$T/reg$s" XDG_RUNTIME_DIR="$T/run$s" \
    VOKARIUM_DRAGON_SOCKET="$T/run$s/dragon.sock" \
    unshare -m --propagation private sh -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' station \
    "$(ordner "$s")" "$T/ws" "$@"
}
ns() { auf "$1" "$bin/natspeak" --ctl "${@:2}" 2>/dev/null; }
helfer() {  # helfer STATION USER: starts the helper beside the running recognizer
  hinten "$1" "$T/prog$1/vkHelfer" -u "$2" -p Chirurgie 2>>"$T/helfer$1.err" &
  hpid=$!
  pids+=($hpid)
  warte "ns $1 state | grep -qx receivers=1" || fail "helper $1 does not register"
}
helfer_ende() { warte "! kill -0 $hpid 2>/dev/null" || fail "helper $1 does not end"; }
ergebnis() {
  local angekommen=${1:-0} doppelt=0
  [ "$angekommen" -gt 1 ] && doppelt=$((angekommen - 1)) && angekommen=1
  local zeile="road of a word | $name | arrived $angekommen of 1, duplicated $doppelt"
  [ ${#probleme[@]} -gt 0 ] && zeile+=" | $(IFS=';' && echo "${probleme[*]}")"
  echo "$zeile"
  [ ${#probleme[@]} -eq 0 ] && [ "$angekommen" = 1 ] && [ "$doppelt" = 0 ]
  exit $?
}

mkdir -p "$R"
auf A "$bin/natspeak" --setup "$W" --speaker Meier --topic Allgemein --speaker Schulz --topic Allgemein \
  >/dev/null || { fail "recognizer set-up failed"; ergebnis; }
cp "$T/regA/HKEY_LOCAL_MACHINE.reg" "$T/regB/"
for s in A B; do
  mkdir -p "$T/prog$s" "$T/run$s"
  chmod 700 "$T/run$s"
  cp "$bin/vkHelfer" "$bin/Vokarium" "$bin"/*.LNG "$T/prog$s/"
done
printf 'Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\nChirurgie\tSchulz\tcurrent\\Allgemein\tAllgemein\r\n' \
  >"$R/Benutzer.dat"
# The base directory as the server's installation stored it.
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\r\n"LastBasisDirectory"="%s"\r\n' \
  "$(printf '%s' "$R/" | sed 's|/|\\\\|g')" >"$T/regS/HKEY_LOCAL_MACHINE.reg"
printf '[Vokarium]\r\nBasisVerzeichnis=%s\\\r\nClBasisVerzeichnis=%s\\\r\nClZielVerzeichnis=%s\\Vokarium\\\r\nPause=1\r\n' \
  "$(winpfad "$R")" "$(winpfad "$W")" "$(winpfad "$W")" >"$T/Vokarium.ini"
exec "$bin/vkZentrale" "-I$T/Vokarium.ini" </dev/null >"$T/server.log" 2>&1 &
pids+=($!)
# Both workstations see the configuration the server made.
for s in A B; do
  warte "auf $s test -f '$W/Vokarium/Vokarium.cfg' -a -d '$W/Vokarium/Chirurgie'" ||
    { fail "workstation $s does not see the server's folder: $(tail -n 1 "$T/server.log")"; ergebnis; }
done

# Workstation A: Meier adds the word; at the recognizer's end his helper
# starts Vokarium, whose editor takes it into the pool.
hinten A "$bin/natspeak" --headless --speaker Meier --topic Allgemein >/dev/null 2>&1 &
pids+=($!)
warte "ns A state | grep -qx running=1" || fail "recognizer A does not start"
cat >"$T/uebernehmen.skript" <<EOF
warte FormWortliste
haken an $wort
knopf FormWortliste Uebernehmen
EOF
export VOKARIUM_TESTSKRIPT=$T/uebernehmen.skript
helfer A Meier
unset VOKARIUM_TESTSKRIPT
ns A add-word "$wort" >/dev/null || fail "recognizer A refuses the word"
ns A quit >/dev/null
helfer_ende A
warte "[ ! -e '$P/_Meier.ben' ]" || fail "_Meier.ben not taken over"
[ "$(anzahl "$P/AlleWorte.dat")" = 1 ] || fail "total list holds the word $(anzahl "$P/AlleWorte.dat") times"
warte "[ \"\$(anzahl '$P/_Schulz.neu')\" -ge 1 ]" || fail "_Schulz.neu without the word"
grep -a "Meldung:" "$T/helferA.err" | head -n 3 | while read -r m; do echo "workstation A: $m" >&2; done

# Workstation B: Schulz starts; his helper takes the word into his vocabulary.
hinten B "$bin/natspeak" --headless >/dev/null 2>&1 &
pids+=($!)
warte "ns B state | grep -qx running=1" || fail "recognizer B does not start"
helfer B Schulz
warte "auf B test ! -e '$W/Vokarium/Chirurgie/_Schulz.neu'" || fail "_Schulz.neu not deleted"
angekommen=$(ns B words | zaehle "$wort")
ns B quit >/dev/null
helfer_ende B
grep -a "Meldung:" "$T/helferB.err" | head -n 3 | while read -r m; do echo "workstation B: $m" >&2; done

# What the road leaves in the pool folder: the total list and Meier's own
# delivery (he has not started again); no claim, record, journal or word file.
rest=$(cd "$P" && ls -A | grep -vxE 'AlleWorte\.dat|_Meier\.neu' | paste -sd ' ' -)
[ -z "$rest" ] || fail "left in the pool folder: $rest"
[ "$(anzahl "$P/_Meier.neu")" = 1 ] || fail "_Meier.neu holds the word $(anzahl "$P/_Meier.neu") times"
ergebnis "$angekommen"
