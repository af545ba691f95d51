#!/usr/bin/env bash
# Builds the programs and runs the system's main job on a demo tree in a
# temporary folder: every step script in demo/ in turn. Ends by itself.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

./scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)" >/dev/null

export VK_BIN="$root/build/bin"
DEMO=$(mktemp -d /tmp/vokarium-demo.XXXXXX)
export DEMO
# Everything the programs keep per user or per machine stays in the demo tree.
export VOKARIUM_REGISTRY_DIR="$DEMO/registry"
export XDG_CONFIG_HOME="$DEMO/appdata"
export XDG_RUNTIME_DIR="$DEMO/run"
export XDG_DESKTOP_DIR="$DEMO/desktop"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$VOKARIUM_REGISTRY_DIR" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DESKTOP_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

cleanup() {
  jobs -p | xargs -r kill 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$DEMO"
}
trap cleanup EXIT

# For the step scripts: warte CONDITION waits up to 20 s until the shell
# condition holds; zeige FILE prints a word file indented (or "(empty)").
warte() {
  local i
  for i in $(seq 1 200); do eval "$1" && return 0; sleep 0.1; done
  echo "(gave up waiting for: $1)"
  return 1
}
zeige() {
  if [ -s "$1" ]; then sed 's/\r$//; s/^/      /' "$1"; else echo "      (empty)"; fi
}

echo "Demo tree: $DEMO"
for step in demo/[0-9]*.sh; do
  [ -e "$step" ] || continue
  echo
  echo "=== $(basename "$step" .sh) ==="
  # shellcheck disable=SC1090
  source "$step"
done
echo
echo "Demo finished."
