#!/usr/bin/env bash
# The Debian package as an administrator gets it: cpack makes it from the
# build into a temporary folder, dpkg-deb unpacks it there (nothing is
# installed on the machine), and the suite runs from the unpacked tree: the
# recognizer stand-in sets up a tree, the pool server runs with its unit's
# command line (start, one delivery, stop), and every window program finds
# its language files beside it.
# Usage: paket_system.sh BUILD_DIR VERSION PREFIX CPACK
set -uo pipefail
build=$1 version=$2 prefix=$3 cpack=$4
T=$(mktemp -d "${TMPDIR:-/tmp}/paket-system.XXXXXX")
export VOKARIUM_REGISTRY_DIR=$T/registry XDG_CONFIG_HOME=$T/appdata XDG_RUNTIME_DIR=$T/run
export XDG_DESKTOP_DIR=$T/desktop VOKARIUM_DRAGON_SOCKET=$T/run/dragon.sock
export VOKARIUM_TRACE_SOCKET=$T/run/trace.sock QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$VOKARIUM_REGISTRY_DIR" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DESKTOP_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
fehler=0
spid=
aufraeumen() {
  [ -n "$spid" ] && kill "$spid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$T"
}
trap aufraeumen EXIT
fail() { echo "FEHLER: $*" >&2; fehler=1; }
# Polls a condition for up to 15 seconds.
warte() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done; return 1; }

echo "== Paket bauen und auspacken"
"$cpack" --config "$build/CPackConfig.cmake" -B "$T/cpack" >"$T/cpack.log" 2>&1 ||
  { cat "$T/cpack.log"; echo "cpack failed"; exit 1; }
deb=$T/cpack/vokarium_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$T/cpack"; echo "no package $deb"; exit 1; }
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"
abh=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $abh"
echo "$abh" | grep -q 'libqt6widgets6' || fail "Qt-Laufzeit fehlt in Depends"
echo "$abh" | grep -q -- '-dev' && fail "Entwicklerpaket in Depends"
dpkg-deb -x "$deb" "$T/root" || { echo "dpkg-deb -x failed"; exit 1; }
W=$T/root$prefix
B=$W/bin
for p in vkZentrale vkHelfer vkVerwalter Vokarium vkPflege natspeak vktrace; do
  [ -x "$B/$p" ] || fail "Programm $p fehlt"
done
unit=$W/lib/systemd/system/vkZentrale@.service
cmp -s "$unit" "$T/root/lib/systemd/system/vkZentrale@.service" ||
  fail "Unit nicht dort, wo systemd sucht"
# systemd reads the unit without a complaint (paths moved to the unpacked tree).
if command -v systemd-analyze >/dev/null; then
  mkdir "$T/unit"
  sed "s|$prefix/|$W/|g" "$unit" >"$T/unit/vkZentrale@.service"
  ln -s vkZentrale@.service "$T/unit/vkZentrale@Paket.service"
  pruefung=$(cd "$T/unit" && systemd-analyze verify ./vkZentrale@Paket.service 2>&1)
  [ -z "$pruefung" ] || fail "Unit: $pruefung"
fi
# The README's command enables an instance (here offline, in the unpacked root).
if command -v systemctl >/dev/null; then
  systemctl --root="$T/root" enable vkZentrale@Vokarium.service >/dev/null 2>&1
  [ -L "$T/root/etc/systemd/system/multi-user.target.wants/vkZentrale@Vokarium.service" ] ||
    fail "systemctl enable vkZentrale@Vokarium"
fi

# Every desktop file starts a program of the package and names an icon in
# it; its copy for the menus is the same file.
fenster=(vkHelfer)
for d in "$W"/share/applications/*.desktop; do
  [ -e "$d" ] || { fail "keine Desktop-Datei"; break; }
  exe=$(sed -n 's/^Exec=//p' "$d")
  [ "$(dirname "$exe")" = "$prefix/bin" ] && [ -x "$T/root$exe" ] || fail "$d: Exec=$exe"
  icon=$(sed -n 's/^Icon=//p' "$d")
  [ -z "$icon" ] || [ -f "$T/root$icon" ] || fail "$d: Icon=$icon fehlt"
  cmp -s "$d" "$T/root/usr/share/applications/$(basename "$d")" || fail "$d nicht im Menue"
  fenster+=("$(basename "$exe")")
done
for p in vkVerwalter Vokarium vkPflege; do
  [[ " ${fenster[*]} " == *" $p "* ]] || fail "$p ohne Desktop-Datei"
done

echo "== Sprachdateien: ${fenster[*]}"
for p in "${fenster[@]}"; do
  for s in de_DE.UTF-8:Deutsch fr_FR.UTF-8:English; do
    # A program that does not know the option would open its window: cut off.
    aus=$(LC_ALL=${s%%:*} timeout 20 "$B/$p" --sprachdatei 2>"$T/sprache.err")
    [[ "$aus" =~ ^"$B/${s#*:}.LNG "[1-9][0-9]*$ ]] || fail "$p (${s%%:*}): $aus $(cat "$T/sprache.err")"
  done
done
# The same program without language files beside it says so.
mkdir "$T/allein" && cp "$B/vkVerwalter" "$T/allein/"
LC_ALL=de_DE.UTF-8 timeout 20 "$T/allein/vkVerwalter" --sprachdatei \
  >/dev/null 2>"$T/sprache.err" && fail "vkVerwalter ohne Sprachdatei meldet Erfolg"
grep -q "language-file" "$T/sprache.err" || fail "fehlende Sprachdatei nicht gemeldet"

echo "== Erkenner richtet den Baum ein, Server als Dienst: Start, eine Lieferung, Stopp"
R=$T/dragon
Z=$R/Vokarium
"$B/natspeak" --setup "$R" --speaker Meier --topic Allgemein --speaker Schulz --topic Allgemein \
  >/dev/null || { echo "natspeak --setup failed"; exit 1; }
printf 'Chirurgie\tMeier\tcurrent\\Allgemein\tAllgemein\r\nChirurgie\tSchulz\tcurrent\\Allgemein\tAllgemein\r\n' \
  >"$R/Benutzer.dat"
printf '[Vokarium]\r\nBasisVerzeichnis=%s\r\nPause=1\r\n' "$(printf '%s/' "$R" | tr / '\\')" \
  >"$B/Paket.ini"
# The unit's command line for the instance "Paket", moved to the unpacked tree.
befehl=$(sed -n 's/^ExecStart=//p' "$unit" | sed "s|$prefix/|$W/|g; s|%i|Paket|g")
[ -n "$befehl" ] || fail "Unit ohne ExecStart"
# shellcheck disable=SC2086
$befehl </dev/null >"$T/server.out" 2>&1 &
spid=$!
warte "[ -f '$Z/BenIntern.dat' ]" || fail "Server bereitet das Ziel nicht vor"
printf 'Appendektomie\r\nCholezystektomie\\Gallenblasenentfernung\r\n' >>"$Z/Chirurgie/neuWorte.txt"
printf 'Vokarium5-Trigger\r\nPAKET-PC\r\n' >"$Z/Trigger/.POOL-Chirurgie.tmp"
mv "$Z/Trigger/.POOL-Chirurgie.tmp" "$Z/Trigger/POOL-Chirurgie.trg"
warte "[ ! -e '$Z/Trigger/POOL-Chirurgie.trg' ]" || fail "Trigger nicht ausgewertet"
for u in Meier Schulz; do
  [ "$(tr -d '\r' <"$Z/Chirurgie/_$u.neu" 2>/dev/null)" = \
    "$(printf 'Appendektomie\nCholezystektomie\\Gallenblasenentfernung')" ] || fail "_$u.neu"
done
kill -TERM "$spid"
if warte "! kill -0 $spid 2>/dev/null"; then
  rc=0
  wait "$spid" || rc=$?
  spid=
  [ "$rc" = 0 ] || fail "Server endet mit $rc: $(cat "$T/server.out")"
else
  fail "Server endet nicht auf SIGTERM"
fi
log=$B/vkZentrale.Paket.log
grep -q "Start Service vkZentrale.Paket" "$log" && grep -q "Ende Service vkZentrale.Paket : Stop" "$log" ||
  fail "Dienstprotokoll: $(tr -d '\r' <"$log" 2>/dev/null)"

exit $fehler
