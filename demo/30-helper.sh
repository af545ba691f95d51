# Demo step: the helper beside the recognizer. Sourced by ./demo.sh with
# $DEMO and $VK_BIN. Works on its own tree $DEMO/helfer (base directory =
# the recognizer's user folder, its own registry, application data and
# sockets): the pool server delivers a pool text to the user's ".neu", the
# helper applies it to the vocabulary of a headless recognizer stand-in, the
# user adds a word in the recognizer, and at the recognizer's end the helper
# appends that word to the user's ".ben" and starts the main program (a stub
# here that prints its arguments). Ends by itself.

demo_helfer() (
  local d="$DEMO/helfer"
  local base="$d/base" prog="$d/prog"
  local ziel="$base/Vokarium"
  export VOKARIUM_REGISTRY_DIR="$d/registry" XDG_CONFIG_HOME="$d/appdata"
  export XDG_RUNTIME_DIR="$d/run" VOKARIUM_DRAGON_SOCKET="$d/run/dragon.sock"
  mkdir -p "$base" "$prog" "$VOKARIUM_REGISTRY_DIR" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
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
  echo "Recognizer running (headless); Meier's own words: $(ns words | wc -l)"

  cp "$VK_BIN/vkHelfer" "$VK_BIN"/*.LNG "$prog/"
  printf '#!/bin/sh\necho "  main program Vokarium started with: $*"\n' >"$prog/Vokarium"
  chmod +x "$prog/Vokarium"
  echo "Starting vkHelfer -u Meier -p Chirurgie"
  "$prog/vkHelfer" -u Meier -p Chirurgie &
  local helfer=$!
  warte "ns state | grep -qx receivers=1"
  echo "Helper opened the user and applied the pool words; _Meier.neu is $( [ -e "$ziel/Chirurgie/_Meier.neu" ] && echo still there || echo gone)"
  echo "  vocabulary of Meier now:"
  ns words | sed 's/^/    /'

  echo "Meier adds a word in the recognizer: Spongiosaplastik"
  ns add-word Spongiosaplastik >/dev/null
  echo "Meier ends the recognizer"
  ns quit >/dev/null
  wait "$helfer"
  wait "$erkenner" 2>/dev/null
  echo "Helper ended; $ziel/Chirurgie/_Meier.ben:"
  zeige "$ziel/Chirurgie/_Meier.ben"

  kill -TERM "$server"
  wait "$server" 2>/dev/null
  echo "Pool server stopped"
)

demo_helfer
