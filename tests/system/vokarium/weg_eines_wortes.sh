#!/usr/bin/env bash
# The road of a word with real processes on a temporary tree that stands for
# a shared drive and two workstations: the pool server vkZentrale, and per
# workstation a recognizer stand-in on its own socket, its own registry and
# its own program folder with vkHelfer and Vokarium. Both recognizers share
# one user directory. The person's clicks in Vokarium and its word list
# editor are played by the programs' test hook (VOKARIUM_TESTSKRIPT).
# Usage: weg_eines_wortes.sh BIN_DIR   (BEHALTEN=1 keeps the tree for a look)
set -uo pipefail
bin=$1
T=$(mktemp -d "${TMPDIR:-/tmp}/weg-eines-wortes.XXXXXX")
export XDG_CONFIG_HOME=$T/appdata XDG_RUNTIME_DIR=$T/run XDG_DESKTOP_DIR=$T/desktop
export VOKARIUM_TRACE_SOCKET=$T/run/trace.sock QT_QPA_PLATFORM=offscreen
# Every registry write stays in the tree (the server's own hive by default).
export VOKARIUM_REGISTRY_DIR=$T/regS
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DESKTOP_DIR"
# shellcheck source=gemeinsam.sh
source "$(dirname "$0")/gemeinsam.sh"
hat() { zeilen "$1" | grep -qx "$2"; }

R=$T/dragon
Z=$R/Vokarium
P=$Z/Chirurgie
mkdir -p "$T/regA" "$T/regB" "$T/regS"
VOKARIUM_REGISTRY_DIR=$T/regA "$bin/natspeak" --setup "$R" --speaker Meier --topic Allgemein --speaker Schulz --topic Allgemein \
  >/dev/null || { echo "setup failed"; exit 1; }
printf 'Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\nChirurgie\tSchulz\tcurrent\\Allgemein\tAllgemein\r\n' \
  >"$R/Benutzer.dat"

# Two workstations: A for Meier, B for Schulz.
# The recognizer is installed on both workstations.
cp "$T/regA/HKEY_LOCAL_MACHINE.reg" "$T/regB/"
for s in A B; do
  mkdir -p "$T/prog$s" "$T/run$s"
  chmod 700 "$T/run$s"
  cp "$bin/vkHelfer" "$bin/Vokarium" "$bin"/*.LNG "$T/prog$s/"
done
auf() {  # auf STATION COMMAND...: runs COMMAND on workstation STATION
  local s=$1
  shift
  env VOKARIUM_REGISTRY_DIR="$T/reg$s" XDG_RUNTIME_DIR="$T/run$s" \
    VOKARIUM_DRAGON_SOCKET="$T/run$s/dragon.sock" "$@"
}
# The same in the background: "hinten STATION COMMAND... &" (the subshell of
# "&" becomes the program, so $! is the program's own id).
hinten() {
  local s=$1
  shift
  exec env VOKARIUM_REGISTRY_DIR="$T/reg$s" XDG_RUNTIME_DIR="$T/run$s" \
    VOKARIUM_DRAGON_SOCKET="$T/run$s/dragon.sock" "$@"
}
ns() { auf "$1" "$bin/natspeak" --ctl "${@:2}" 2>/dev/null; }
erkenner() {
  hinten "$1" "$bin/natspeak" --headless >/dev/null 2>&1 &
  pids+=($!)
  warte "ns $1 state | grep -qx running=1" || fail "Erkenner $1 startet nicht"
}
helfer() {  # helfer STATION USER: starts the helper beside the running recognizer
  hinten "$1" "$T/prog$1/vkHelfer" -u "$2" -p Chirurgie 2>>"$T/helfer$1.err" &
  hpid=$!
  pids+=($hpid)
  warte "ns $1 state | grep -qx receivers=1" || fail "Helfer $1 meldet sich nicht an"
}
helfer_ende() { warte "! kill -0 $hpid 2>/dev/null" || fail "Helfer endet nicht ($1)"; }

# The base directory as the server's installation stored it.
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\r\n"LastBasisDirectory"="%s"\r\n' \
  "$(printf '%s' "$R/" | sed 's|/|\\\\|g')" >"$T/regS/HKEY_LOCAL_MACHINE.reg"
printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$(printf '%s' "$R/" | tr / '\\')" >"$T/Vokarium.ini"
exec "$bin/vkZentrale" "-I$T/Vokarium.ini" </dev/null >"$T/server.log" 2>&1 &
pids+=($!)
warte "[ -f '$Z/Vokarium.cfg' ] && [ -f '$Z/BenIntern.dat' ]" ||
  { fail "Server startet nicht: $(cat "$T/server.log")"; exit 1; }

echo "== 0. Meier fixiert sein Vokabular im Hauptfenster"
hinten A "$bin/natspeak" --headless --speaker Meier --topic Allgemein >/dev/null 2>&1 &
pids+=($!)
warte "ns A state | grep -qx running=1" || fail "Erkenner A startet nicht"
ns A add-word Altwort "alt wort" >/dev/null
cat >"$T/fix.skript" <<EOF
warte FormVokarium
benutzer Meier | Allgemein
knopf FormVokarium VokabularFixieren
aus FormVokarium VokabularFixieren
schliessen FormVokarium
EOF
VOKARIUM_TESTSKRIPT=$T/fix.skript auf A "$T/progA/Vokarium" 2>"$T/fix.err" ||
  fail "Vokarium endet mit Fehler: $(cat "$T/fix.err")"
[ "$(zeilen "$P/Allgemei_vok.fix")" = 'Altwort\alt wort' ] ||
  fail "Fix-Datei: $(zeilen "$P/Allgemei_vok.fix")"

echo "== 1. Meier nimmt Spondylodese auf; sein Helfer schreibt _Meier.ben und startet Vokarium"
cat >"$T/schritt2.skript" <<EOF
warte FormWortliste
haken an Spondylodese
bild FormVokarium $T/hauptfenster.png
bild FormWortliste $T/wortliste.png
knopf FormWortliste Uebernehmen
EOF
export VOKARIUM_TESTSKRIPT=$T/schritt2.skript
helfer A Meier
unset VOKARIUM_TESTSKRIPT
[ $fehler = 0 ] || { cat "$T/helferA.err"; exit 1; }
ns A add-word Spondylodese >/dev/null
ns A quit >/dev/null
helfer_ende A

echo "== 2. Uebernehmen im Editor: Gesamtliste, Server liefert an alle Mitglieder"
warte "[ ! -e '$P/_Meier.ben' ]" || fail "_Meier.ben nicht uebernommen: $(zeilen "$P/_Meier.ben")"
hat "$P/AlleWorte.dat" Spondylodese || fail "Gesamtliste ohne das Wort"
warte "hat '$P/_Schulz.neu' Spondylodese" || fail "_Schulz.neu ohne das Wort"
hat "$P/_Meier.neu" Spondylodese || fail "_Meier.neu ohne das Wort"
[ -s "$T/hauptfenster.png" ] && [ -s "$T/wortliste.png" ] || fail "keine Bilder der Fenster"
grep -a "Meldung:" "$T/helferA.err" && fail "Meldungen auf Arbeitsplatz A"

echo "== 3. Schulz startet: sein Helfer nimmt das Wort in sein Vokabular"
erkenner B
helfer B Schulz
ns B words | grep -qx Spondylodese || fail "Schulz' Erkenner kennt das Wort nicht"
[ -e "$P/_Schulz.neu" ] && fail "_Schulz.neu nicht geloescht"
ns B quit >/dev/null
helfer_ende B

echo "== 4. Meier entfernt das Wort aus der Gesamtliste; es verlaesst Schulz' Vokabular"
cat >"$T/schritt4.skript" <<EOF
warte FormVokarium
knopf FormVokarium Gesamtwortliste
warte FormWortliste
haken aus Spondylodese
knopf FormWortliste Uebernehmen
weg FormWortliste
schliessen FormVokarium
EOF
VOKARIUM_TESTSKRIPT=$T/schritt4.skript hinten A "$T/progA/Vokarium" 2>"$T/vokariumA.err" &
vpid=$!
pids+=($vpid)
warte "! kill -0 $vpid 2>/dev/null" || fail "Vokarium endet nicht"
wait "$vpid" || fail "Vokarium endet mit Fehler: $(cat "$T/vokariumA.err")"
hat "$P/AlleWorte.dat" Spondylodese && fail "Wort noch in der Gesamtliste"
warte "hat '$P/_Schulz.loe' Spondylodese" || fail "_Schulz.loe ohne das Wort"
erkenner B
helfer B Schulz
ns B words | grep -qx Spondylodese && fail "Wort noch in Schulz' Vokabular"
ns B quit >/dev/null
helfer_ende B

exit $fehler
