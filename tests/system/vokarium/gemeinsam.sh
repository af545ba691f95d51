# What both system tests of this folder share, sourced after they made the
# temporary tree $T: the clean-up of their processes and the tree
# (BEHALTEN=1 keeps it), failures that let the test go on, waiting for a
# condition (20 s at most) and reading a CR LF file as plain lines.
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY VOKARIUM_TESTSKRIPT
fehler=0
pids=()
aufraeumen() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  [ -n "${BEHALTEN:-}" ] || rm -rf "$T"
}
trap aufraeumen EXIT
fail() { echo "FEHLER: $*"; fehler=1; }
warte() { for _ in $(seq 200); do eval "$1" && return 0; sleep 0.1; done; return 1; }
zeilen() { [ -f "$1" ] && tr -d '\r' <"$1"; }
