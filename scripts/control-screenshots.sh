#!/usr/bin/env bash
# Takes the control program's screenshots in docs/screenshots/: the recorder list with three
# simulated recorders, and the view of the first one while it records, in English and German.
# Everything runs inside a test network of its own (prefix "vlmshots"), under Xvfb; clicks are
# made with xdotool. Needs a build (scripts/setup.sh) and root.
#
# Usage: sudo scripts/control-screenshots.sh
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TESTNET="$REPO_ROOT/scripts/testnet.sh"
SIMULATOR="$REPO_ROOT/build/sim/velmor-sim"
CONTROL="$REPO_ROOT/build/control/ui/VLMVelControl"
OUT="$REPO_ROOT/docs/screenshots"
export VLM_TESTNET_PREFIX=vlmshots

work="$(mktemp -d)"
sim_pid=
finish() {
  if [[ -n "$sim_pid" ]]; then kill -TERM "$sim_pid" 2>/dev/null || true; fi
  "$TESTNET" down
  rm -rf "$work"
}
trap finish EXIT

cat >"$work/sim.json" <<'JSON'
{ "recorders": [
  { "recorderId": "2180002", "cameraSerial": 2901180001, "cameraModel": 0,
    "links": [ { "address": "10.77.41.2", "linkCode": 1, "transfers": false } ],
    "clips": [ { "number": 0, "width": 1920, "height": 1080, "frames": 240, "fps": 240 } ] },
  { "recorderId": "2180007", "cameraSerial": 2901180042, "cameraModel": 1,
    "links": [ { "address": "10.77.41.3", "linkCode": 1, "transfers": false } ], "clips": [] },
  { "recorderId": "2180011", "cameraSerial": 2901180077, "cameraModel": 0,
    "links": [ { "address": "10.77.41.4", "linkCode": 0, "transfers": false } ], "clips": [] } ] }
JSON
"$TESTNET" up >/dev/null
"$TESTNET" exec rec -- "$SIMULATOR" --config "$work/sim.json" --duration 300 &
sim_pid=$!
sleep 1

# shoot LANGUAGE-NUMBER SUFFIX: the list, then (a click on the first recorder, one on the record
# button) the recorder view while it records.
shoot() {
  local language="$1" suffix="$2" config="$work/config-$2"
  mkdir -p "$config/KVX"
  printf '[Settings]\nLanguage=%s\n' "$language" >"$config/KVX/Recorder.conf"
  "$TESTNET" exec host -- env XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 600x672x24" sh -c '
    "$1" & app=$!
    sleep 5
    xdotool mousemove 595 400
    import -window root "$2"
    xdotool mousemove 200 90 click 1
    sleep 2
    xdotool mousemove 300 636 click 1 mousemove 595 400
    sleep 1.2
    import -window root "$3"
    xdotool mousemove 300 636 click 1
    sleep 0.5
    kill "$app"' shoot "$CONTROL" "$OUT/control-list-$suffix.png" "$OUT/control-recording-$suffix.png"
}
shoot 0 en
shoot 1 de
echo "control-screenshots: written to $OUT"
