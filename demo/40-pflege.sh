# Demo step: the maintainer's revision cycle with vkPflege on the demo pool
# of 30-helper.sh ($DEMO/helfer). Sourced by ./demo.sh with $DEMO and
# $VK_BIN. The pool server runs again; the maintainer marks the pool as
# revised ("Abschluss"), two members take words over in Vokarium, the
# maintainer's "Teilwortliste" shows exactly those words (a picture of the
# `Wartung` list is saved), he corrects one spoken form, drops one word and
# takes the list over; the server hands the changes to every member. Ends
# by itself.

demo_pflege() (
  local d="$DEMO/helfer"
  local base="$d/base"
  local ziel="$base/Vokarium"
  local pool="$ziel/Chirurgie"
  local bilder="$d/bilder"
  export VOKARIUM_REGISTRY_DIR="$d/regServer"
  unset VOKARIUM_TESTSKRIPT
  # The windows speak German, as at the practices that use them.
  export LC_MESSAGES=de_DE.UTF-8
  if [ ! -d "$pool" ]; then
    echo "(the pool of the previous step is missing; nothing to revise)"
    return 0
  fi
  # programm NAME SCRIPT [ARGS...]: Vokarium or vkPflege of the maintainer's
  # workstation (Meier's registry: it knows the configuration directory),
  # its clicks played from SCRIPT.
  programm() {
    local name=$1 skript=$2
    shift 2
    VOKARIUM_TESTSKRIPT=$skript VOKARIUM_REGISTRY_DIR="$d/regMeier" \
      VOKARIUM_DRAGON_SOCKET="$d/keinErkenner.sock" "$VK_BIN/$name" "$@" 2>>"$d/pflege.err"
  }

  (unset DISPLAY WAYLAND_DISPLAY; exec "$VK_BIN/vkZentrale" "-I$d/Vokarium.ini" </dev/null \
    >>"$d/server.log" 2>&1) &
  local server=$!
  warte "[ -f '$ziel/Vokarium.cfg' ]" && echo "Pool server is up again"
  printf 'Femur\r\nTibia\r\n' >>"$pool/AlleWorte.dat"
  echo "The pool total list $pool/AlleWorte.dat:"
  zeige "$pool/AlleWorte.dat"

  echo
  echo "1. vkPflege: \"Abschluss\" - the total list becomes the revision snapshot Bearbeitet.dat"
  printf 'warte FormvkPflege\nknopf FormvkPflege Abschluss\nschliessen FormvkPflege\n' >"$d/abschluss.skript"
  programm vkPflege "$d/abschluss.skript"
  echo "   $pool/Bearbeitet.dat:"
  zeige "$pool/Bearbeitet.dat"

  echo
  echo "2. Two members take words over in Vokarium's editor"
  printf 'warte FormWortliste\nknopf FormWortliste Uebernehmen\n' >"$d/ben.skript"
  printf 'Osteotomie\r\n' >"$pool/_Meier.ben"
  echo "   Meier: Osteotomie"
  programm Vokarium "$d/ben.skript" -p Chirurgie -u Meier
  printf 'Kyphoplastie\r\nVertebroplastie\r\n' >"$pool/_Schulz.ben"
  echo "   Schulz: Kyphoplastie, Vertebroplastie"
  programm Vokarium "$d/ben.skript" -p Chirurgie -u Schulz
  echo "   The pool total list now:"
  zeige "$pool/AlleWorte.dat"

  echo
  echo "3. vkPflege: \"Teilwortliste\" shows what changed since the snapshot; the maintainer"
  echo "   gives Osteotomie the spoken form \"Osteo tomie\", unchecks Kyphoplastie, takes the list over"
  cat >"$d/wartung.skript" <<EOF
warte FormvkPflege
knopf FormvkPflege Teilwortliste
warte FormWortliste
zeilen $d/teilliste.txt
waehlen Osteotomie
knopf FormWortliste Bearbeiten
sprechform Osteo tomie
haken aus Kyphoplastie
bild FormWortliste $bilder/4-wartung-teilwortliste.png
knopf FormWortliste Uebernehmen
weg FormWortliste
schliessen FormvkPflege
EOF
  programm vkPflege "$d/wartung.skript"
  echo "   The Wartung list showed (checked|written|spoken):"
  sed 's/^/      /' "$d/teilliste.txt"
  echo "   picture of the Wartung list: $bilder/4-wartung-teilwortliste.png"
  echo "   The pool total list now:"
  zeige "$pool/AlleWorte.dat"
  warte "grep -q Kyphoplastie '$pool/_Schulz.loe' 2>/dev/null"
  echo "   The server delivered the changes; $pool/_Schulz.neu:"
  zeige "$pool/_Schulz.neu"
  echo "   $pool/_Schulz.loe:"
  zeige "$pool/_Schulz.loe"

  echo
  echo "4. vkPflege: \"Abschluss\" again; \"Teilwortliste\" is empty now"
  cat >"$d/leer.skript" <<EOF
warte FormvkPflege
knopf FormvkPflege Abschluss
knopf FormvkPflege Teilwortliste
warte FormWortliste
zeilen $d/leer.txt
schliessen FormWortliste
weg FormWortliste
schliessen FormvkPflege
EOF
  programm vkPflege "$d/leer.skript"
  echo "   rows in the Wartung list: $(wc -l <"$d/leer.txt" 2>/dev/null || echo '?')"
  kill -TERM "$server"
  wait "$server" 2>/dev/null
  echo "Pool server stopped"
  local bleibt="$VK_BIN/../demo-bilder"
  mkdir -p "$bleibt" && cp "$bilder"/4-*.png "$bleibt/" &&
    echo "Pictures kept after the demo in $(cd "$bleibt" && pwd)"
)

demo_pflege
