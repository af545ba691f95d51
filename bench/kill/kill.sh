#!/usr/bin/env bash
# Kill harness of the take-over: the real pool server, three members whose
# Vokarium takes 50,000 new words each over at the same moment, and vkPflege
# rewriting the whole total list ("Gesamtwortliste" + "Uebernehmen") beside
# them; Vokarium and vkPflege are killed with -9 at random moments (also
# right after a take-over's journal appeared), in waves of fresh words,
# until at least KILLS kills. Then every program runs again unattended and
# the server delivers what is left. Counted for every word: lost (not in the
# total list or a member's ".neu"), duplicated (more than once in the total
# list after a round; in a ".neu" more often than its own take-over plus
# the whole-list take-overs of vkPflege allow) and fragments (lines that
# were in no input). Prints the figures; exit code 1 unless all are 0.
# usage: bench/kill/kill.sh [kills=50] [build dir=build]
set -uo pipefail
cd "$(dirname "$0")/../.."
ziel_kills=${1:-50}
build=${2:-build}
cmake --build "$build" --target Vokarium vkPflege vkZentrale -j2 >/dev/null || exit 2
bin=$(pwd)/$build/bin
T=$(mktemp -d /tmp/vk-kill-XXXXXX)
export XDG_CONFIG_HOME=$T/appdata XDG_RUNTIME_DIR=$T/run XDG_DESKTOP_DIR=$T/desktop
export VOKARIUM_TRACE_SOCKET=$T/run/trace.sock QT_QPA_PLATFORM=offscreen
export VOKARIUM_REGISTRY_DIR=$T/reg VOKARIUM_DRAGON_SOCKET=$T/run/kein-erkenner.sock
unset DISPLAY WAYLAND_DISPLAY VOKARIUM_TESTSKRIPT
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DESKTOP_DIR" "$VOKARIUM_REGISTRY_DIR" "$T/ein"
chmod 700 "$XDG_RUNTIME_DIR"
R=$T/base
Z=$R/Vokarium
P=$Z/Chirurgie
mkdir -p "$R"
mitglieder=(u1 u2 u3)
for u in "${mitglieder[@]}"; do printf 'Chirurgie\t%s\tcurrent\\Allgemein\tAllgemein\r\n' "$u"; done >"$R/Benutzer.dat"
wpfad() { printf '%s' "$1" | tr / '\\' | sed 's|\\|\\\\|g'; }
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\r\n"LastBasisDirectory"="%s"\r\n' \
  "$(wpfad "$R/")" >"$VOKARIUM_REGISTRY_DIR/HKEY_LOCAL_MACHINE.reg"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\QMT\\Vokarium]\r\n"LastDirectory"="%s"\r\n' \
  "$(wpfad "$Z/")" >"$VOKARIUM_REGISTRY_DIR/HKEY_CURRENT_USER.reg"
printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$(printf '%s' "$R/" | tr / '\\')" >"$T/Vokarium.ini"

server=
"$bin/vkZentrale" "-I$T/Vokarium.ini" </dev/null >"$T/server.log" 2>&1 &
server=$!
aufraeumen() {
  kill -9 $(jobs -p) 2>/dev/null
  wait 2>/dev/null
}
trap aufraeumen EXIT
for _ in $(seq 200); do [ -f "$Z/Vokarium.cfg" ] && [ -d "$P" ] && break; sleep 0.1; done
[ -d "$P" ] || { echo "server does not start: $(cat "$T/server.log")"; exit 2; }

# The words of the pool before and of each wave; some have a spoken form.
for n in $(seq 1 2000); do printf 'Basis%d\r\n' "$n"; done >"$T/ein/basis"
cp "$T/ein/basis" "$P/AlleWorte.dat"
welle_schreiben() {
  local w=$1 u
  for u in "${mitglieder[@]}"; do
    awk -v w="$w" -v u="$u" 'BEGIN { for (n = 1; n <= 50000; n++)
      if (n % 10 == 0) printf "W%s%sN%d\\Welle %s %s %d\r\n", w, u, n, w, u, n;
      else printf "W%s%sN%d\r\n", w, u, n }' >"$T/ein/welle$w-$u"
    cp "$T/ein/welle$w-$u" "$P/_$u.ben"
  done
}
printf 'warte FormWortliste\nknopf FormWortliste Uebernehmen\n' >"$T/vokarium.skript"
printf 'warte FormvkPflege\nknopf FormvkPflege Gesamtwortliste\nwarte FormWortliste\nknopf FormWortliste Uebernehmen\nweg FormWortliste\nschliessen FormvkPflege\n' >"$T/pflege.skript"

kills=0
pflege_laeufe=0
doppelt_liste=0
# runde KILL: one round of the three take-overs and vkPflege; KILL 1 kills
# them at a random moment (or right after a journal appeared).
runde() {
  local toeten=$1 pids=() u p
  for u in "${mitglieder[@]}"; do
    [ -e "$P/_$u.ben" ] || continue
    VOKARIUM_TESTSKRIPT=$T/vokarium.skript "$bin/Vokarium" -p Chirurgie -u "$u" \
      >>"$T/vokarium.log" 2>&1 &
    pids+=($!)
  done
  VOKARIUM_TESTSKRIPT=$T/pflege.skript "$bin/vkPflege" >>"$T/pflege.log" 2>&1 &
  pids+=($!)
  pflege_laeufe=$((pflege_laeufe + 1))
  if ((toeten)); then
    if ((RANDOM % 2)); then
      for _ in $(seq 400); do
        ls -a "$P" | grep -q '^\.~vkJournal-' && break
        sleep 0.01
      done
      sleep "0.0$((RANDOM % 10))"
    else
      sleep "$((RANDOM % 2)).$((RANDOM % 10))"
    fi
    for p in "${pids[@]}"; do
      if ((RANDOM % 4)) && kill -9 "$p" 2>/dev/null; then kills=$((kills + 1)); fi
    done
  fi
  for p in "${pids[@]}"; do
    for _ in $(seq 1200); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$p" 2>/dev/null && echo "process $p hangs, killed"
    wait "$p" 2>/dev/null
  done
  # Between two rounds the total list holds no word twice.
  local d
  d=$(tr -d '\r' <"$P/AlleWorte.dat" | sort | uniq -d | wc -l)
  doppelt_liste=$((doppelt_liste + d))
}

welle=0
while ((kills < ziel_kills)); do
  welle=$((welle + 1))
  welle_schreiben "$welle"
  for r in $(seq 12); do
    runde 1
    ((kills >= ziel_kills)) && break
    ((r >= 4)) && ! ls "$P" | grep -q '\.ben$' && break
  done
  echo "wave $welle: kills so far $kills"
done
# Everything runs again, unattended and without kills, until no word file
# and no journal is left.
for _ in $(seq 10); do
  runde 0
  ls -a "$P" | grep -q -e '\.ben$' -e '^\.~vkJournal-' || break
done
for _ in $(seq 600); do
  ls "$P" | grep -q -e '^neuWorte' -e 'zustellung$' || break
  sleep 0.5
done
kill -TERM "$server"
wait "$server"

# Counting.
cat "$T/ein/basis" "$T"/ein/welle* | tr -d '\r' | sort -u >"$T/eingaben"
cat "$T"/ein/welle* | tr -d '\r' | sort -u >"$T/uebernommen"
zaehlen() { tr -d '\r' <"$1" | grep -v '^$' | sort | uniq -c | awk '{ n = $1; $1 = ""; print substr($0, 2) "\t" n }'; }
zaehlen "$P/AlleWorte.dat" >"$T/liste.zahl"
verloren=$(cut -f1 "$T/liste.zahl" | sort | comm -23 "$T/eingaben" - | wc -l)
fragmente=$(cut -f1 "$T/liste.zahl" | sort | comm -13 "$T/eingaben" - | wc -l)
doppelt=$(awk -F'\t' '$2 > 1' "$T/liste.zahl" | wc -l)
doppelt=$((doppelt + doppelt_liste))
for u in "${mitglieder[@]}"; do
  [ -f "$P/_$u.neu" ] || : >"$P/_$u.neu"
  zaehlen "$P/_$u.neu" >"$T/$u.zahl"
  verloren=$((verloren + $(cut -f1 "$T/$u.zahl" | sort | comm -23 "$T/uebernommen" - | wc -l)))
  fragmente=$((fragmente + $(cut -f1 "$T/$u.zahl" | sort | comm -13 "$T/eingaben" - | wc -l)))
  # A taken-over word: once by its own take-over, once more by each
  # whole-list take-over of vkPflege at most.
  doppelt=$((doppelt + $(awk -F'\t' -v g="$pflege_laeufe" '$1 ~ /^W/ && $2 > 1 + g' "$T/$u.zahl" | wc -l)))
done
rest=$(ls -a "$P" | grep -c -e '\.ben$' -e '^\.~vkJournal-' -e '\.anhang\.tmp$')
echo "kills $kills waves $welle words $(wc -l <"$T/uebernommen") vkPflege runs $pflege_laeufe"
echo "lost $verloren duplicated $doppelt fragments $fragmente left-over files $rest"
if ((verloren == 0 && doppelt == 0 && fragmente == 0 && rest == 0)); then
  rm -rf "$T"
  exit 0
fi
echo "tree kept: $T"
exit 1
