# Demo step: the road of a word. Sourced by ./demo.sh with $DEMO and $VK_BIN.
# Works on its own tree $DEMO/helfer: a base directory (the recognizer's
# user folder) with the pool server's target directory, and two
# workstations, each with its own registry, recognizer stand-in (headless,
# own socket) and program folder holding vkHelfer and Vokarium. Meier adds a
# word in his recognizer; at its end his helper collects it and starts the
# real Vokarium, whose word list editor takes it over (the clicks are played
# by the programs' test hook, pictures of both windows are saved); the
# server delivers it to every member; Schulz's helper puts it into his
# vocabulary. Then Meier removes the word from the pool again, and it leaves
# Schulz's vocabulary at his next start. Ends by itself; the tree stays for
# the next step (40-pflege.sh).

demo_helfer() (
  local d="$DEMO/helfer"
  local base="$d/base"
  local ziel="$base/Vokarium"
  local pool="$ziel/Chirurgie"
  local bilder="$d/bilder"
  export VOKARIUM_REGISTRY_DIR="$d/regServer"
  mkdir -p "$base" "$bilder" "$VOKARIUM_REGISTRY_DIR" "$d/regMeier" "$d/regSchulz"
  unset VOKARIUM_TESTSKRIPT
  # The windows speak German, as at the practices that use them.
  export LC_MESSAGES=de_DE.UTF-8
  # auf WHO CMD...: runs CMD on the workstation of WHO (Meier or Schulz).
  auf() {
    local w=$1
    shift
    env VOKARIUM_REGISTRY_DIR="$d/reg$w" VOKARIUM_DRAGON_SOCKET="$d/dragon$w.sock" "$@"
  }
  hinten() {  # the same for "hinten WHO CMD &": $! is the program itself
    local w=$1
    shift
    exec env VOKARIUM_REGISTRY_DIR="$d/reg$w" VOKARIUM_DRAGON_SOCKET="$d/dragon$w.sock" "$@"
  }
  ns() { auf "$1" "$VK_BIN/natspeak" --ctl "${@:2}"; }
  kennt() { ns "$1" words | grep -qx "$2" && echo "knows" || echo "does not know"; }

  echo "Recognizer world: speakers Meier and Schulz, topic Allgemein, below $base"
  auf Meier "$VK_BIN/natspeak" --setup "$base" --speaker Meier --topic Allgemein \
    --speaker Schulz --topic Allgemein | sed 's/^/  /'
  cp "$d/regMeier/HKEY_LOCAL_MACHINE.reg" "$d/regSchulz/"
  printf 'Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\nChirurgie\tSchulz\tcurrent\\Allgemein\tAllgemein\r\n' \
    >"$base/Benutzer.dat"
  local w
  for w in Meier Schulz; do
    mkdir -p "$d/prog$w"
    cp "$VK_BIN/vkHelfer" "$VK_BIN/Vokarium" "$VK_BIN"/*.LNG "$d/prog$w/"
  done
  # The base directory as the server's first start would have stored it.
  printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\r\n"LastBasisDirectory"="%s"\r\n' \
    "$(echo "$base/" | sed 's|/|\\\\|g')" >"$VOKARIUM_REGISTRY_DIR/HKEY_LOCAL_MACHINE.reg"
  printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$(echo "$base/" | tr / '\\')" \
    >"$d/Vokarium.ini"
  (unset DISPLAY WAYLAND_DISPLAY; exec "$VK_BIN/vkZentrale" "-I$d/Vokarium.ini" </dev/null \
    >"$d/server.log" 2>&1) &
  local server=$!
  warte "[ -f '$ziel/BenIntern.dat' ]" && echo "Pool server is up (pool Chirurgie, members Meier and Schulz)"

  echo
  echo "1. Meier's workstation: recognizer, helper; Meier adds a word and ends the recognizer"
  hinten Meier "$VK_BIN/natspeak" --headless >"$d/natspeakMeier.log" 2>&1 &
  local erkenner=$!
  warte "ns Meier state >/dev/null 2>&1"
  cat >"$d/meier.skript" <<EOF
warte FormWortliste
haken an Spondylodese
bild FormVokarium $bilder/1-vokarium-hauptfenster.png
bild FormWortliste $bilder/2-wortliste-neues-wort.png
knopf FormWortliste Uebernehmen
EOF
  VOKARIUM_TESTSKRIPT="$d/meier.skript" hinten Meier "$d/progMeier/vkHelfer" -u Meier -p Chirurgie \
    2>"$d/helferMeier.err" &
  local helfer=$!
  warte "ns Meier state | grep -qx receivers=1"
  echo "   vkHelfer -u Meier -p Chirurgie opened Meier in his recognizer"
  echo "   Meier adds in the recognizer: Spondylodese"
  ns Meier add-word Spondylodese >/dev/null
  echo "   Meier ends the recognizer"
  ns Meier quit >/dev/null
  wait "$helfer" "$erkenner" 2>/dev/null
  echo "   The helper appended the new word to $pool/_Meier.ben and started Vokarium -p Chirurgie -u Meier"

  echo
  echo "2. Vokarium opens the word list editor on Meier's new words; he takes them over"
  warte "[ ! -e '$pool/_Meier.ben' ] && [ -f '$bilder/2-wortliste-neues-wort.png' ]"
  echo "   Pictures of the windows the word passed through:"
  echo "     $bilder/1-vokarium-hauptfenster.png  (Vokarium's main window)"
  echo "     $bilder/2-wortliste-neues-wort.png   (the editor with Spondylodese checked)"
  echo "   _Meier.ben is $( [ -e "$pool/_Meier.ben" ] && echo still there || echo gone); the pool total list $pool/AlleWorte.dat:"
  zeige "$pool/AlleWorte.dat"
  warte "grep -q Spondylodese '$pool/_Schulz.neu' 2>/dev/null"
  echo "   The server delivered the pool's new words; $pool/_Schulz.neu:"
  zeige "$pool/_Schulz.neu"
  echo "   and to Meier's own $pool/_Meier.neu:"
  zeige "$pool/_Meier.neu"

  echo
  echo "3. Schulz's workstation: his helper starts with his recognizer"
  hinten Schulz "$VK_BIN/natspeak" --headless >"$d/natspeakSchulz.log" 2>&1 &
  erkenner=$!
  warte "ns Schulz state >/dev/null 2>&1"
  hinten Schulz "$d/progSchulz/vkHelfer" -u Schulz -p Chirurgie 2>"$d/helferSchulz.err" &
  helfer=$!
  warte "ns Schulz state | grep -qx receivers=1"
  echo "   _Schulz.neu is $( [ -e "$pool/_Schulz.neu" ] && echo still there || echo gone);" \
    "Schulz's recognizer $(kennt Schulz Spondylodese) Spondylodese"
  ns Schulz quit >/dev/null
  wait "$helfer" "$erkenner" 2>/dev/null

  echo
  echo "4. Meier removes the word from the pool total list in Vokarium (unchecks it, takes the list over)"
  cat >"$d/loeschen.skript" <<EOF
warte FormVokarium
knopf FormVokarium Gesamtwortliste
warte FormWortliste
haken aus Spondylodese
bild FormWortliste $bilder/3-gesamtwortliste-abgewaehlt.png
knopf FormWortliste Uebernehmen
weg FormWortliste
schliessen FormVokarium
EOF
  VOKARIUM_TESTSKRIPT="$d/loeschen.skript" auf Meier "$d/progMeier/Vokarium" 2>"$d/vokariumMeier.err"
  echo "     picture: $bilder/3-gesamtwortliste-abgewaehlt.png"
  echo "   The pool total list now:"
  zeige "$pool/AlleWorte.dat"
  warte "grep -q Spondylodese '$pool/_Schulz.loe' 2>/dev/null"
  echo "   The server delivered the deleted word; $pool/_Schulz.loe:"
  zeige "$pool/_Schulz.loe"
  hinten Schulz "$VK_BIN/natspeak" --headless >>"$d/natspeakSchulz.log" 2>&1 &
  erkenner=$!
  warte "ns Schulz state >/dev/null 2>&1"
  hinten Schulz "$d/progSchulz/vkHelfer" -u Schulz -p Chirurgie 2>>"$d/helferSchulz.err" &
  helfer=$!
  warte "ns Schulz state | grep -qx receivers=1"
  echo "   At Schulz's next start his recognizer $(kennt Schulz Spondylodese) Spondylodese"
  ns Schulz quit >/dev/null
  wait "$helfer" "$erkenner" 2>/dev/null

  if [ -f "$DEMO/trace.log" ]; then
    echo "What Vokarium and its editor traced on the way (excerpt):"
    grep -a " Vokarium: " "$DEMO/trace.log" | iconv -f CP1252 -t UTF-8 | tr -d '\r' | cut -f2- |
      grep -E "^(Start|Button|SperreSetzen|AppendPool|Append|Trigger|Delete|Ende)" | tr '\t' ' ' |
      head -n 20 | sed 's/^/    /'
  fi
  kill -TERM "$server"
  wait "$server" 2>/dev/null
  echo "Pool server stopped"
  # The demo tree goes when the demo ends; the pictures are kept beside the build.
  local bleibt="$VK_BIN/../demo-bilder"
  mkdir -p "$bleibt" && cp "$bilder"/*.png "$bleibt/" &&
    echo "Pictures kept after the demo in $(cd "$bleibt" && pwd)"
)

demo_helfer
