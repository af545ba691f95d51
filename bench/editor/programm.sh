#!/usr/bin/env bash
# The whole program opening a pool total list: Vokarium on a temporary tree
# with the pool server and the trace viewer, offscreen; the editor's trace
# stamps "ListeNeuAufbauen" and "Liste sichtbar" (as the viewer received
# them) beside a plain C++ read + std::sort of the same lines.
# Usage: programm.sh BIN_DIR LINES GOAL_RATIO [GOAL_MS]   (best of 3 runs)
# VOR="perf record -g -o FILE" runs Vokarium under a profiler.
set -uo pipefail
bin=$1 zeilen=$2 ziel=$3 zielMs=${4:-}
T=$(mktemp -d "${TMPDIR:-/tmp}/vk-editor-programm.XXXXXX")
pids=()
aufraeumen() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$T"
}
trap aufraeumen EXIT
[ -n "${BEHALTEN:-}" ] && trap - EXIT
export XDG_CONFIG_HOME=$T/appdata XDG_RUNTIME_DIR=$T/run XDG_DESKTOP_DIR=$T/desktop
export VOKARIUM_TRACE_SOCKET=$T/run/trace.sock VOKARIUM_DRAGON_SOCKET=$T/run/dragon.sock
export VOKARIUM_REGISTRY_DIR=$T/reg QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DESKTOP_DIR" "$T/reg" "$T/dragon"
chmod 700 "$XDG_RUNTIME_DIR"
R=$T/dragon
wpfad() { printf '%s' "$1" | tr / '\\'; }
printf 'Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\n' >"$R/Benutzer.dat"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\r\n"LastBasisDirectory"="%s"\r\n' \
  "$(printf '%s' "$R/" | sed 's|/|\\\\|g')" >"$T/reg/HKEY_LOCAL_MACHINE.reg"
printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$(wpfad "$R/")" >"$T/Vokarium.ini"

"$bin/vktrace" -q -o "$T/trace.log" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$VOKARIUM_TRACE_SOCKET" ] && break; sleep 0.1; done
"$bin/vkZentrale" "-I$T/Vokarium.ini" </dev/null >"$T/server.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -f "$R/Vokarium/Vokarium.cfg" ] && break; sleep 0.1; done
[ -f "$R/Vokarium/Vokarium.cfg" ] || { echo "server does not start: $(cat "$T/server.log")"; exit 1; }
"$bin/editor_bench" --datei "$R/Vokarium/Chirurgie/AlleWorte.dat" "$zeilen" 2>/dev/null
read -r refMs refZeilen < <("$bin/editor_bench" --referenz "$R/Vokarium/Chirurgie/AlleWorte.dat" 2>/dev/null)

cat >"$T/oeffnen.skript" <<SKRIPT
warte FormVokarium
knopf FormVokarium Gesamtwortliste
zeilen $T/zeilen.txt
schliessen FormWortliste
weg FormWortliste
schliessen FormVokarium
SKRIPT
# Milliseconds of the day of a trace line, from the viewer's stamp
# ("2026-12-07 10:01:02.345 ..."), the time it received the line.
ms() { awk '{ split($2, t, ":"); printf "%d\n", ((t[1] * 60 + t[2]) * 60 + t[3]) * 1000 }' <<<"$1"; }
beste=
for runde in 1 2 3; do
  : >"$T/trace.log"
  rm -f "$T/zeilen.txt"
  VOKARIUM_TESTSKRIPT=$T/oeffnen.skript ${VOR:-} "$bin/Vokarium" >/dev/null 2>"$T/vokarium.err" ||
    { echo "Vokarium failed: $(cat "$T/vokarium.err")"; exit 1; }
  sleep 0.3  # the viewer writes the last lines
  a=$(grep -aP '\tListeNeuAufbauen\t' "$T/trace.log" | tail -1)
  b=$(grep -aP '\tListe sichtbar\t' "$T/trace.log" | tail -1)
  [ -n "$a" ] && [ -n "$b" ] || { echo "no trace stamps (round $runde)"; exit 1; }
  d=$(($(ms "$b") - $(ms "$a")))
  [ "$(wc -l <"$T/zeilen.txt")" -gt 0 ] || { echo "no rows shown"; exit 1; }
  if [ -z "$beste" ] || [ "$d" -lt "$beste" ]; then beste=$d; fi
done
rows=$(wc -l <"$T/zeilen.txt")
awk -v z="$zeilen" -v p="$beste" -v r="$refMs" -v g="$ziel" -v gm="$zielMs" -v n="$rows" 'BEGIN {
  printf "whole program, %7d lines: %6.0f ms   read+sort %7.1f ms   ratio %.2f (goal <= %.1f)", z, p, r, p / r, g
  if (gm != "") printf "   goal < %d ms", gm
  printf "   (%d rows shown)\n", n
}'
