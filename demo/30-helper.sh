# Demo step: the helper beside the recognizer. Sourced by ./demo.sh with
# $DEMO and $VK_BIN. Works on its own tree $DEMO/helfer (base directory =
# the recognizer's user folder, its own registry, application data and
# recognizer socket; traces go to the demo's trace viewer when it runs): the pool server delivers a pool text to the user's ".neu", the
# helper applies it to the vocabulary of a headless recognizer stand-in, the
# user adds a word in the recognizer, and at the recognizer's end the helper
# appends that word to the user's ".ben" and starts the main program (a stub
# here that prints its arguments). Ends by itself.

demo_helfer() (
  local d="$DEMO/helfer"
  local base="$d/base" prog="$d/prog"
  local ziel="$base/Vokarium"
  export VOKARIUM_REGISTRY_DIR="$d/registry" XDG_CONFIG_HOME="$d/appdata"
  export VOKARIUM_DRAGON_SOCKET="$d/dragon.sock"
  mkdir -p "$base" "$prog" "$VOKARIUM_REGISTRY_DIR" "$XDG_CONFIG_HOME"
  ns() { "$VK_BIN/natspeak" --ctl "$@"; }
  warte() {
    local i
    for i in $(seq 1 150); do eval "$1" && return 0; sleep 0.1; done
    echo "(gave up waiting for: $1)"
    return 1
  }
  zeige() { sed 's/\r$//; s/^/    /' "$1"; }

  echo "Recognizer world: speaker Meier, topic Allgemein, below $base"
  "$VK_BIN/natspeak" --setup "$base" --speaker Meier --topic Allgemein | sed 's/^/  /'
  printf 'Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\n' >"$base/Benutzer.dat"
  # The base directory as the server's first start would have stored it.
  printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\r\n"LastBasisDirectory"="%s"\r\n' \
    "$(echo "$base" | sed 's|/|\\\\|g')" >>"$VOKARIUM_REGISTRY_DIR/HKEY_LOCAL_MACHINE.reg"
  printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$(echo "$base/" | tr / '\\')" \
    >"$d/Vokarium.ini"
  (unset DISPLAY WAYLAND_DISPLAY; exec "$VK_BIN/vkZentrale" "-I$d/Vokarium.ini" </dev/null \
    >"$d/server.log" 2>&1) &
  local server=$!
  warte "[ -f '$ziel/BenIntern.dat' ]" && echo "Pool server is up (pool Chirurgie, member Meier)"

  echo "A colleague's words reach the pool text; the server delivers them:"
  printf 'Osteosynthese\r\nCholezystektomie\\Gallenblasenentfernung\r\n' >>"$ziel/Chirurgie/neuWorte.txt"
  printf 'Vokarium5-Trigger\r\nDEMO-PC\r\n' >"$ziel/Trigger/.POOL-Chirurgie.tmp"
  mv "$ziel/Trigger/.POOL-Chirurgie.tmp" "$ziel/Trigger/POOL-Chirurgie.trg"
  warte "[ ! -e '$ziel/Trigger/POOL-Chirurgie.trg' ]"
  echo "  $ziel/Chirurgie/_Meier.neu:"
  zeige "$ziel/Chirurgie/_Meier.neu"

  "$VK_BIN/natspeak" --headless >"$d/natspeak.log" 2>&1 &
  local erkenner=$!
  warte "ns state >/dev/null 2>&1"
  echo "Recognizer running (headless), no user open yet"

  cp "$VK_BIN/vkHelfer" "$VK_BIN"/*.LNG "$prog/"
  printf '#!/bin/sh\necho "  main program Vokarium started with: $*"\n' >"$prog/Vokarium"
  chmod +x "$prog/Vokarium"
  echo "Starting vkHelfer -u Meier -p Chirurgie"
  "$prog/vkHelfer" -u Meier -p Chirurgie 2>"$d/helfer.err" &
  local helfer=$!
  warte "ns state | grep -qx receivers=1"
  echo "Helper opened the user and applied the pool words; _Meier.neu is $( [ -e "$ziel/Chirurgie/_Meier.neu" ] && echo still there || echo gone)"
  echo "  the recognizer's state: $(ns state | grep -E '^(speaker|topic|words)=' | tr '\n' ' ')"
  echo "  the pool words in Meier's vocabulary now:"
  ns words | grep -x -e Osteosynthese -e 'Cholezystektomie\\Gallenblasenentfernung' | sed 's/^/    /'

  echo "Meier adds a word in the recognizer: Spongiosaplastik"
  ns add-word Spongiosaplastik >/dev/null
  echo "Meier ends the recognizer"
  ns quit >/dev/null
  wait "$helfer"
  wait "$erkenner" 2>/dev/null
  echo "Helper ended; $ziel/Chirurgie/_Meier.ben:"
  zeige "$ziel/Chirurgie/_Meier.ben"

  if [ -f "$DEMO/trace.log" ]; then
    echo "What the helper traced on the way (excerpt):"
    grep -a " vkHelfer: " "$DEMO/trace.log" | iconv -f CP1252 -t UTF-8 | tr -d '\r' | cut -f2- |
      grep -E "^(Start|Dragon|Rename|neue|Delete|BenW|AppendDelta|Run|Ende)" | grep -v DragonControl | tr '\t' ' ' |
      sed 's/^/    /'
  fi
  kill -TERM "$server"
  wait "$server" 2>/dev/null
  echo "Pool server stopped"
)

demo_helfer
