#!/usr/bin/env bash
# vkHelfer with real processes on a temporary tree: the recognizer stand-in
# (natspeak), the helper copied into its own program folder, and a stub in
# place of the main program that records the arguments it was started with.
# Usage: helfer_system.sh BIN_DIR
set -uo pipefail
bin=$1
T=$(mktemp -d "${TMPDIR:-/tmp}/helfer-system.XXXXXX")
export VOKARIUM_REGISTRY_DIR=$T/registry XDG_CONFIG_HOME=$T/appdata XDG_RUNTIME_DIR=$T/run
export XDG_DESKTOP_DIR=$T/desktop VOKARIUM_DRAGON_SOCKET=$T/run/dragon.sock
export VOKARIUM_TRACE_SOCKET=$T/run/trace.sock QT_QPA_PLATFORM=offscreen
mkdir -p "$VOKARIUM_REGISTRY_DIR" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DESKTOP_DIR" "$T/prog"
chmod 700 "$XDG_RUNTIME_DIR"
fehler=0
pids=()
aufraeumen() {
  "$bin/natspeak" --ctl quit >/dev/null 2>&1
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$T"
}
trap aufraeumen EXIT

fail() { echo "FEHLER: $*" >&2; fehler=1; }
R=$T/dragon
Z=$R/Vokarium
P=$Z/Chirurgie
ns() { "$bin/natspeak" --ctl "$@" 2>/dev/null; }
state() { ns state 2>/dev/null | grep -q "^$1\$"; }
# Polls a condition for up to 15 seconds.
warte() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done; return 1; }
crlf() { printf '%s\r\n' "$@"; }
zeilen() { tr -d '\r' <"$1"; }

"$bin/natspeak" --setup "$R" --speaker Meier --topic Allgemein --speaker Schulz --topic Allgemein >/dev/null ||
  { echo "setup failed"; exit 1; }
mkdir -p "$P"
zs=$(printf '%s' "$Z/" | tr / '\\')
crlf "BasisVerzeichnis=$(printf '%s' "$R/" | tr / '\\')" "ZielVerzeichnis=$zs" \
  "BenutzerlistenDatei=BenIntern.dat" >"$Z/Vokarium.cfg"
printf 'Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\n' >"$Z/BenIntern.dat"
cp "$bin/vkHelfer" "$bin"/*.LNG "$T/prog/"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/vokarium.args"\n' "$T" >"$T/prog/Vokarium"
chmod +x "$T/prog/Vokarium"

erkenner() { "$bin/natspeak" --headless "$@" >/dev/null 2>&1 & pids+=($!); warte "state running=1" || fail "natspeak startet nicht"; }
helfer() { "$T/prog/vkHelfer" "$@" 2>"$T/helfer.err" & hpid=$!; pids+=($hpid); }
meldung() { grep -q "^Meldung: .*$1" "$T/helfer.err"; }
helfer_ende() { warte "! kill -0 $hpid 2>/dev/null" || { fail "Helfer endet nicht ($1)"; kill "$hpid"; }; wait "$hpid" 2>/dev/null; }
neu_lauf() { rm -f "$P"/_Meier.* "$T/vokarium.args"; }
verbunden() { warte "state receivers=1" || fail "Helfer meldet sich nicht an ($1)"; }

echo "== Erkenner laeuft: .neu und .loe anwenden, zwei neue Woerter am Ende"
neu_lauf
erkenner --speaker Schulz --topic Allgemein
ns add-word Altwort >/dev/null
crlf Femur "Tibia\\Ti bia" >"$P/_Meier.neu"
: >"$P/_Meier.loe"
helfer -u Meier -p Chirurgie
verbunden 1
state speaker=Meier || fail "Sprecher Meier nicht geoeffnet"
reste() { ls "$P" | grep -q "_Meier\.$1"; }
reste neu || reste loe && fail ".neu/.loe nicht geloescht"
ns words | grep -qx Femur && ns words | grep -qx 'Tibia\\Ti bia' || fail "Woerter der .neu fehlen"
ns add-word Neuwort1 >/dev/null
ns add-word Neuwort2 "neu zwei" >/dev/null
ns quit >/dev/null
helfer_ende 1
[ "$(zeilen "$P/_Meier.ben")" = "$(printf 'Neuwort1\nNeuwort2\\neu zwei')" ] || fail ".ben: $(zeilen "$P/_Meier.ben")"
[ "$(cat "$T/vokarium.args" 2>/dev/null)" = "$(printf -- '-p\nChirurgie\n-u\nMeier')" ] || fail "Hauptprogramm nicht mit -p/-u gestartet"

echo "== Gleich viele Woerter hinzugefuegt wie geloescht; .loe allein wird geloescht"
neu_lauf
erkenner
crlf Neuwort1 >"$P/_Meier.loe"
helfer -u Meier -p Chirurgie -E
verbunden 2
ns open-user-dialog >/dev/null || fail "Dialog nicht geoeffnet"
warte "state user-dialog=" || fail "Dialog 'Benutzer oeffnen' nicht geschlossen"
reste loe && fail ".loe ohne .neu bleibt liegen"
ns words | grep -qx Neuwort1 && fail "Neuwort1 nicht entfernt"
ns remove-word Femur >/dev/null
ns add-word Humerus >/dev/null
ns quit >/dev/null
helfer_ende 2
[ "$(zeilen "$P/_Meier.ben")" = "Humerus" ] || fail ".ben bei gleicher Anzahl: $(zeilen "$P/_Meier.ben" 2>/dev/null)"
[ -e "$T/vokarium.args" ] && fail "Hauptprogramm trotz -E gestartet"

echo "== Erkenner laeuft nicht: Helfer startet ihn; Ende ohne neue Woerter"
neu_lauf
crlf "Rest" >"$P/_Meier.neu.inArbeit"
crlf "Frisch" >"$P/_Meier.neu"
helfer -u Meier -t Allgemein -p Chirurgie
verbunden 3
ns words | grep -qx Rest && ns words | grep -qx Frisch || fail "liegengebliebene Uebernahme nicht angewandt"
reste neu && fail "Uebernahme bleibt liegen"
ns quit >/dev/null
helfer_ende 3
[ -e "$T/vokarium.args" ] || [ -e "$P/_Meier.ben" ] && fail "ohne neue Woerter gestartet oder .ben angelegt"

echo "== Erkenner nicht startbar: Meldung mit dem gesuchten Programm, der Helfer endet"
hive=$VOKARIUM_REGISTRY_DIR/HKEY_LOCAL_MACHINE.reg
cp "$hive" "$T/hive.bak"
sed -i 's|^"Filename"=.*|"Filename"="\\\\opt\\\\neu\\\\dgnword.dll"|' "$hive"
LC_MESSAGES=de_DE.UTF-8 helfer -u Meier -p Chirurgie
helfer_ende 3b
meldung 'Das Programm \\opt\\neu\\natspeak wurde nicht gefunden\.$' || fail "Meldung ohne gesuchtes Programm: $(cat "$T/helfer.err")"
meldung "Abbrechen: den Vokarium-Helfer beenden" || fail "keine Frage nach erneutem Start"
cp "$T/hive.bak" "$hive"

echo "== Sprecherwechsel im Erkenner: Erkenner wird geschlossen, nichts gespeichert"
neu_lauf
erkenner
helfer -u Meier -p Chirurgie
verbunden 4
ns add-word Verloren >/dev/null
ns switch-speaker Schulz Allgemein >/dev/null
helfer_ende 4
state running=1 && fail "Erkenner nach Sprecherwechsel nicht geschlossen"
[ -e "$T/vokarium.args" ] || [ -e "$P/_Meier.ben" ] && fail "nach Sprecherwechsel gespeichert/gestartet"

echo "== Leiste verschwindet ohne Ende-Ereignis"
neu_lauf
erkenner
npid=${pids[-1]}
helfer -u Meier -p Chirurgie
verbunden 5
ns add-word Weg >/dev/null
kill -9 "$npid"; wait "$npid" 2>/dev/null
helfer_ende 5
[ -e "$T/vokarium.args" ] || [ -e "$P/_Meier.ben" ] && fail "ohne Ende-Ereignis gespeichert/gestartet"

echo "== -e: nur starten; -G 2.6 oeffnet mit Option 3; zweite Kopie"
neu_lauf
erkenner --speaker Schulz --topic Allgemein
helfer -u Meier -p Chirurgie
verbunden 6
erster=$hpid
LC_MESSAGES=de_DE.UTF-8 helfer -u Meier -p Chirurgie
helfer_ende 6
meldung "Helfer l.*uft bereits f.*Meier im Pool Chirurgie" || fail "zweite Kopie nennt den Anwender nicht: $(cat "$T/helfer.err")"
kill -0 "$erster" || fail "erste Kopie beendet"
# A helper killed outright leaves no lock behind for the next one.
kill -9 "$erster"; wait "$erster" 2>/dev/null
helfer -u Meier -p Chirurgie
verbunden 6b
meldung "bereits" && fail "Start nach totem Helfer abgelehnt"
ns switch-speaker Schulz Allgemein >/dev/null
helfer_ende 6b
erkenner --speaker Schulz --topic Allgemein
crlf Radius >"$P/_Meier.neu"
helfer -e -t Allgemein -u Meier -G 2.6 -p Chirurgie
helfer_ende 7
state option=3 || fail "Option nicht 3: $(ns state | grep option)"
ns words | grep -qx Radius || fail "-e wendet .neu nicht an"
ns quit >/dev/null; warte "! state running=1"

echo "== Meldungen beim Start: kein Benutzer, offenes Anfuehrungszeichen, Pool unbekannt"
helfer -p Chirurgie
helfer_ende 8
meldung "(-u)" || fail "keine Meldung ohne -u"
helfer -u Meier -t '"Allgemein'
helfer_ende 9
meldung "(-t)" || fail "keine Meldung ohne Thema und Pool"
helfer -u Meier -p Unbekannt
helfer_ende 10
meldung "Meier.*Unbekannt" || fail "Meldung nennt Anwender und Pool nicht"
helfer
helfer_ende 11
meldung "" && fail "Meldung ohne Befehlszeile"

exit $fehler
