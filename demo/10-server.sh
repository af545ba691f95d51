# Demo step: the pool server delivers a pool text to every member.
# Sourced by ./demo.sh with $DEMO (temporary demo folder) and $VK_BIN
# (build/bin). Uses the shared base directory $DEMO/base (kept for later
# steps: its Benutzer.dat with pools "Chirurgie" and "Innere", three users,
# and the target directory $DEMO/base/Vokarium that the server prepared),
# plus $DEMO/server for the server's INI file and its terminal log.
# Starts vkZentrale without a display (terminal log, verbose, traced to
# the viewer when one runs), writes a pool text
# and a "POOL-" trigger as a client does, waits for the delivery, then
# stops the server with SIGTERM. Ends by itself.

# The base directory as an earlier start's dialog would have stored it
# (per machine, in the demo's registry folder), so the server does not ask.
registry_base() {
  local hive="$VOKARIUM_REGISTRY_DIR/HKEY_LOCAL_MACHINE.reg"
  local key='[HKEY_LOCAL_MACHINE\Software\QMT\Vokarium]'
  local value
  value="\"LastBasisDirectory\"=\"$(echo "$1" | sed 's|/|\\\\|g')\""
  mkdir -p "$VOKARIUM_REGISTRY_DIR"
  if [ ! -f "$hive" ]; then
    printf 'REGEDIT4\r\n\r\n%s\r\n%s\r\n' "$key" "$value" >"$hive"
  elif grep -qiF "$key" "$hive"; then
    grep -viF '"LastBasisDirectory"=' "$hive" |
      K="$key" V="$value" awk '{ print }
        index(tolower($0), tolower(ENVIRON["K"])) == 1 { printf "%s\r\n", ENVIRON["V"] }' \
        >"$hive.new"
    mv "$hive.new" "$hive"
  else
    printf '\r\n%s\r\n%s\r\n' "$key" "$value" >>"$hive"
  fi
}

demo_server() {
  local base="$DEMO/base" dir="$DEMO/server"
  local ziel="$base/Vokarium"
  mkdir -p "$base" "$dir"
  printf 'Chirurgie\tdr.meier\tcurrent\\Allgemein\tAllgemein\r\nChirurgie\tdr.schulz\tcurrent\\Allgemein\tAllgemein\r\nInnere\tdr.weber\tcurrent\\Allgemein\tAllgemein\r\n' \
    >"$base/Benutzer.dat"
  printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$(echo "$base" | tr / '\\')" \
    >"$dir/Vokarium.ini"

  registry_base "$base"
  echo "Starting vkZentrale on $base (log: $dir/server.log)"
  (unset DISPLAY WAYLAND_DISPLAY; exec "$VK_BIN/vkZentrale" "-I$dir/Vokarium.ini" -V -T </dev/null \
    >"$dir/server.log" 2>&1) &
  local pid=$!
  local i
  for i in $(seq 1 100); do
    [ -f "$ziel/BenIntern.dat" ] && break
    sleep 0.1
  done
  echo "Server is up: pool folders $(cd "$ziel" && ls -d */ | tr '\n' ' ')"

  echo "A client appends two words to the pool text of Chirurgie and writes POOL-Chirurgie"
  printf 'Appendektomie\r\nCholezystektomie\\Gallenblasenentfernung\r\n' >>"$ziel/Chirurgie/neuWorte.txt"
  printf 'Vokarium5-Trigger\r\nDEMO-PC\r\n' >"$ziel/Trigger/.POOL-Chirurgie.tmp"
  mv "$ziel/Trigger/.POOL-Chirurgie.tmp" "$ziel/Trigger/POOL-Chirurgie.trg"
  for i in $(seq 1 100); do
    [ ! -e "$ziel/Trigger/POOL-Chirurgie.trg" ] && break
    sleep 0.1
  done

  local u
  for u in dr.meier dr.schulz; do
    echo "--- $ziel/Chirurgie/_$u.neu"
    tr -d '\r' <"$ziel/Chirurgie/_$u.neu" || echo "(not delivered)"
  done
  if [ -e "$ziel/Chirurgie/neuWorte.txt" ]; then
    echo "pool text still there (unexpected)"
  else
    echo "pool text delivered and removed; pool Innere untouched: $(ls "$ziel/Innere" | wc -l) files"
  fi

  echo "Stopping the server (SIGTERM)"
  kill -TERM "$pid"
  local rc=0
  wait "$pid" || rc=$?
  echo "vkZentrale ended with exit code $rc; lock file present: $([ -e "$ziel/vkZentrale.lck" ] && echo yes || echo no)"
  echo "--- server log"
  tr -d '\r' <"$dir/server.log"
}

demo_server
