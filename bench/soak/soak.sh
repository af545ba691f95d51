#!/usr/bin/env bash
# Soak: writers append through the client library and wake the server, the
# server is killed with -9 every 1-3 s and started again, an applier works
# on member u1's ".neu" as the helper does and is killed too; large texts
# are mixed in so that kills land in the middle of appends. At the end the
# server delivers what is left, and every member is checked: lost,
# duplicated and corrupted lines (goal 0 / 0 / 0). Exit code 1 on any
# loss, duplicate or corruption.
# On a shared drive (the harness tests/share/run.sh): VK_SOAK_BASIS names
# an empty base folder as the server reaches it, VK_SOAK_WRITERS and
# VK_SOAK_APPLIER the same folder as the writers and the applier reach it
# (other mounts of the share), VK_SOAK_WRITERS2 a second folder for every
# second writer (a second workstation); VK_SOAK_NOBUILD=1 skips the build;
# VK_SOAK_LOGS names a folder that gets the logs of the server, the
# writers and the applier.
# usage: bench/soak/soak.sh [seconds=600] [writers=4] [build dir=build]
set -euo pipefail
cd "$(dirname "$0")/../.."
dauer=${1:-600}
schreiber=${2:-4}
build=${3:-build}
[ "${VK_SOAK_NOBUILD:-0}" = 1 ] || cmake --build "$build" --target vkZentrale vk_soak -j2 >/dev/null
bin=$(pwd)/$build/bin
w=$(mktemp -d /tmp/vk-soak-XXXXXX)
basis=${VK_SOAK_BASIS:-$w/basis}
ziel=$basis/Vokarium
ziel_schreiber=${VK_SOAK_WRITERS:-$basis}/Vokarium
ziel_anwender=${VK_SOAK_APPLIER:-$basis}/Vokarium
ziel_schreiber2=${VK_SOAK_WRITERS2:-${VK_SOAK_WRITERS:-$basis}}/Vokarium
# The pool's folder is there before the writers look for it, as the
# server's first start leaves it: an NFS client that looked before it was
# made keeps "no such folder" in its cache for up to half a minute.
mkdir -p "$ziel/Trigger" "$ziel/P" "$w/reg" "$w/run" "$w/cfg" "$w/logs"
export VOKARIUM_REGISTRY_DIR=$w/reg XDG_CONFIG_HOME=$w/cfg XDG_RUNTIME_DIR=$w/run
export VOKARIUM_TRACE_SOCKET=$w/run/trace.sock VK_SOAK_STOP=$w/stop
unset DISPLAY WAYLAND_DISPLAY
printf 'P\tu1\t\t\r\nP\tu2\t\t\r\nP\tu3\t\t\r\n' >"$basis/Benutzer.dat"
basis_sys=${basis//\//\\}
printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$basis_sys" >"$w/Vokarium.ini"
# The base directory as the server's question would have stored it.
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QMT\\Vokarium]\r\n"LastBasisDirectory"="%s"\r\n' \
  "${basis_sys//\\/\\\\}" >"$w/reg/HKEY_LOCAL_MACHINE.reg"

server=
anwender=
server_starten() {
  "$bin/vkZentrale" "-I$w/Vokarium.ini" </dev/null >>"$w/server.log" 2>&1 &
  server=$!
}
anwender_starten() {
  "$bin/vk_soak" anwender "$ziel_anwender" P u1 laufend >>"$w/anwender.log" 2>&1 &
  anwender=$!
}
beenden() {
  kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

server_starten
anwender_starten
pids=()
for i in $(seq 1 "$schreiber"); do
  z=$ziel_schreiber
  if ((i % 2 == 0)); then z=$ziel_schreiber2; fi
  "$bin/vk_soak" schreiber "$z" P "$i" 100000000 "$w/logs/geschrieben-$i" 2>>"$w/schreiber.log" &
  pids+=($!)
done
ende=$((SECONDS + dauer))
kills=0
while ((SECONDS < ende)); do
  sleep "$((1 + RANDOM % 3))"
  beenden "$server"
  kills=$((kills + 1))
  server_starten
  if ((kills % 3 == 0)); then
    beenden "$anwender"
    anwender_starten
  fi
done
touch "$w/stop"
status=0
for p in "${pids[@]}"; do wait "$p" || status=1; done
beenden "$anwender"
# The last run of the server delivers what is left at its start.
beenden "$server"
server_starten
for _ in $(seq 1 600); do
  if ! ls "$ziel/P" | grep -q -e '^neuWorte' -e 'zustellung$'; then break; fi
  sleep 0.5
done
kill -TERM "$server"
wait "$server" || true
"$bin/vk_soak" anwender "$ziel_anwender" P u1 einmal
echo "seconds $dauer writers $schreiber server_kills $kills applier_kills $((kills / 3))"
"$bin/vk_soak" pruefen "$ziel" P "$w/logs" u1 u2 u3 || status=1
if [ -n "${VK_SOAK_LOGS:-}" ]; then
  mkdir -p "$VK_SOAK_LOGS"
  cp "$w"/*.log "$VK_SOAK_LOGS/"
  ls -la "$ziel/P" >"$VK_SOAK_LOGS/pool.txt"
fi
if ((status == 0)); then rm -rf "$w"; else echo "tree kept: $w"; fi
exit "$status"
