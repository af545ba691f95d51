#!/usr/bin/env bash
# The revision cycle of a pool with real processes on a temporary tree: the
# pool server vkZentrale, members taking words over with the real Vokarium
# and its editor, and the maintainer with the real vkPflege: "Abschluss",
# "Teilwortliste" shows exactly the words taken over since, the maintainer
# corrects one and drops another while a member's take-over lands, and
# "Uebernehmen" reaches every member through the server. The clicks are
# played by the programs' test hook (VOKARIUM_TESTSKRIPT).
# Usage: ueberarbeitung.sh BIN_DIR   (BEHALTEN=1 keeps the tree for a look)
set -uo pipefail
bin=$1
T=$(mktemp -d "${TMPDIR:-/tmp}/ueberarbeitung.XXXXXX")
export XDG_CONFIG_HOME=$T/appdata XDG_RUNTIME_DIR=$T/run XDG_DESKTOP_DIR=$T/desktop
export VOKARIUM_TRACE_SOCKET=$T/run/trace.sock QT_QPA_PLATFORM=offscreen
export VOKARIUM_REGISTRY_DIR=$T/reg VOKARIUM_DRAGON_SOCKET=$T/run/kein-erkenner.sock
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DESKTOP_DIR" "$VOKARIUM_REGISTRY_DIR"
# shellcheck source=gemeinsam.sh
source "$(dirname "$0")/gemeinsam.sh"
hat() { zeilen "$1" | grep -qxF "$2"; }

R=$T/base
Z=$R/Vokarium
P=$Z/Chirurgie
mkdir -p "$R"
for u in Meier Schulz Kunz; do printf 'Chirurgie\t%s\tcurrent\\Allgemein\tAllgemein\r\n' $u; done >"$R/Benutzer.dat"
wpfad() { printf '%s' "$1" | tr / '\\'; }
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\r\n"LastBasisDirectory"="%s"\r\n' \
  "$(wpfad "$R/" | sed 's|\\|\\\\|g')" >"$VOKARIUM_REGISTRY_DIR/HKEY_LOCAL_MACHINE.reg"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\QMT\\Vokarium]\r\n"LastDirectory"="%s"\r\n' \
  "$(wpfad "$Z/" | sed 's|\\|\\\\|g')" >"$VOKARIUM_REGISTRY_DIR/HKEY_CURRENT_USER.reg"
printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$(wpfad "$R/")" >"$T/Vokarium.ini"
"$bin/vkZentrale" "-I$T/Vokarium.ini" </dev/null >"$T/server.log" 2>&1 &
pids+=($!)
warte "[ -f '$Z/Vokarium.cfg' ] && [ -d '$P' ]" ||
  { fail "Server startet nicht: $(cat "$T/server.log")"; exit 1; }
printf 'Femur\r\nTibia\r\n' >"$P/AlleWorte.dat"

# programm NAME SKRIPT [ARGS...]: runs Vokarium or vkPflege with a script to
# its end; its messages go to $T/NAME.err.
programm() {
  local name=$1 skript=$2
  shift 2
  VOKARIUM_TESTSKRIPT=$skript "$bin/$name" "$@" 2>>"$T/$name.err" ||
    fail "$name endet mit Fehler: $(cat "$T/$name.err")"
}
# uebernehmen USER WORDS...: the member's new words, taken over in his editor.
uebernehmen() {
  local u=$1
  shift
  printf '%s\r\n' "$@" >"$P/_$u.ben"
  printf 'warte FormWortliste\nknopf FormWortliste Uebernehmen\n' >"$T/ben.skript"
  programm Vokarium "$T/ben.skript" -p Chirurgie -u "$u"
  [ -e "$P/_$u.ben" ] && fail "_$u.ben nicht uebernommen"
}

echo "== Abschluss: die Gesamtliste wird zum Stand der Ueberarbeitung"
printf 'warte FormvkPflege\nknopf FormvkPflege Abschluss\nschliessen FormvkPflege\n' >"$T/abschluss.skript"
programm vkPflege "$T/abschluss.skript"
cmp -s "$P/AlleWorte.dat" "$P/Bearbeitet.dat" || fail "Bearbeitet.dat ist nicht die Gesamtliste"

echo "== Zwei Mitglieder uebernehmen Woerter"
uebernehmen Meier Spondylodese
uebernehmen Schulz Osteotomie Kyphoplastie
hat "$P/AlleWorte.dat" Kyphoplastie || fail "Gesamtliste ohne Schulz' Woerter"

echo "== Teilwortliste: genau diese Woerter; Korrektur, Abwahl, dazwischen eine Uebernahme"
cat >"$T/wartung.skript" <<EOF
warte FormvkPflege
knopf FormvkPflege Teilwortliste
warte FormWortliste
zeilen $T/teilliste.txt
bild FormWortliste $T/wartung.png
datei $T/weiter
waehlen Osteotomie
knopf FormWortliste Bearbeiten
sprechform Osteo tomie
haken aus Kyphoplastie
knopf FormWortliste Uebernehmen
weg FormWortliste
schliessen FormvkPflege
EOF
VOKARIUM_TESTSKRIPT=$T/wartung.skript "$bin/vkPflege" 2>>"$T/vkPflege.err" &
pflege=$!
pids+=($pflege)
warte "[ -f '$T/teilliste.txt' ]" || fail "Teilwortliste nicht gezeigt: $(cat "$T/vkPflege.err")"
[ "$(sort "$T/teilliste.txt")" = "$(printf '1|Kyphoplastie|\n1|Osteotomie|\n1|Spondylodese|')" ] ||
  fail "Teilwortliste: $(cat "$T/teilliste.txt")"
# Kunz takes a word over in his main window (no pool lock) meanwhile.
printf 'Vertebroplastie\r\n' >"$P/_Kunz.ben"
cat >"$T/kunz.skript" <<EOF
warte FormVokarium
benutzer Kunz | Allgemein
knopf FormVokarium Wortliste
warte FormWortliste
knopf FormWortliste Uebernehmen
weg FormWortliste
schliessen FormVokarium
EOF
programm Vokarium "$T/kunz.skript"
hat "$P/AlleWorte.dat" Vertebroplastie || fail "Kunz' Uebernahme fehlt in der Gesamtliste"
touch "$T/weiter"
warte "! kill -0 $pflege 2>/dev/null" || fail "vkPflege endet nicht"
wait "$pflege" || fail "vkPflege endet mit Fehler: $(cat "$T/vkPflege.err")"

echo "== Gesamtliste: jedes Wort einmal; Aenderungen erreichen jedes Mitglied"
[ "$(zeilen "$P/AlleWorte.dat" | sort)" = \
  "$(printf 'Femur\nOsteotomie\\Osteo tomie\nSpondylodese\nTibia\nVertebroplastie')" ] ||
  fail "Gesamtliste: $(zeilen "$P/AlleWorte.dat" | tr '\n' ' ')"
for u in Meier Schulz Kunz; do
  warte "hat '$P/_$u.loe' Kyphoplastie" || fail "_$u.loe ohne Kyphoplastie"
  hat "$P/_$u.loe" Osteotomie || fail "_$u.loe ohne den alten Eintrag Osteotomie"
  warte "hat '$P/_$u.neu' 'Osteotomie\\Osteo tomie'" || fail "_$u.neu ohne die Korrektur"
done

echo "== Abschluss; danach ist die Teilwortliste leer"
cat >"$T/leer.skript" <<EOF
warte FormvkPflege
knopf FormvkPflege Abschluss
knopf FormvkPflege Teilwortliste
warte FormWortliste
zeilen $T/leer.txt
schliessen FormWortliste
weg FormWortliste
schliessen FormvkPflege
EOF
programm vkPflege "$T/leer.skript"
[ -f "$T/leer.txt" ] && [ ! -s "$T/leer.txt" ] || fail "Teilwortliste nach Abschluss: $(cat "$T/leer.txt")"
[ -e "$P/Sperre.lck" ] && fail "Sperre bleibt liegen"
[ -s "$T/wartung.png" ] || fail "kein Bild der Wartungsliste"
# The mark and the empty list each say what happened.
abschluss="Meldung: (Der Pool Chirurgie ist jetzt als .berarbeitet markiert|The pool Chirurgie is now marked as revised)"
leer="Meldung: (Seit der letzten Markierung als .berarbeitet ist kein Wort|No word has been added or changed since)"
grep -aEq "$abschluss" "$T/vkPflege.err" || fail "Abschluss ohne Rueckmeldung"
grep -aEq "$leer" "$T/vkPflege.err" || fail "leere Teilwortliste ohne Grund"
grep -a "Meldung:" "$T"/*.err | grep -avE -e "$abschluss" -e "$leer" && fail "unerwartete Meldungen"

exit $fehler
