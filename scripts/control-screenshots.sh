#!/usr/bin/env bash
# Takes the control program's screenshots in docs/screenshots/: the recorder list with three
# simulated recorders, the general options dialog and the IP address editor; then, for the first
# recorder (30 clips), its configuration pages, the touch pad, the information dialog, the view
# while it records and the clips and playback bars; in English, and the list, camera and paint
# pages and the recording view in German.
# Everything runs inside a test network of its own (prefix "vlmshots"), under Xvfb; clicks are
# made with xdotool at the places the panel has at the default scale (600 x 672).
# Needs a build (scripts/setup.sh) and root.
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

clips=$(python3 -c 'import json; print(json.dumps([{"number": i, "width": 1920, "height": 1080,
  "frames": 240 + 24 * i, "fps": 240} for i in range(30)]))')
cat >"$work/sim.json" <<JSON
{ "recorders": [
  { "recorderId": "2180002", "cameraSerial": 2901180001, "cameraModel": 0,
    "links": [ { "address": "10.77.41.2", "linkCode": 1, "transfers": false } ],
    "clips": $clips },
  { "recorderId": "2180007", "cameraSerial": 2901180042, "cameraModel": 1,
    "links": [ { "address": "10.77.41.3", "linkCode": 1, "transfers": false } ], "clips": [] },
  { "recorderId": "2180011", "cameraSerial": 2901180077, "cameraModel": 0,
    "links": [ { "address": "10.77.41.4", "linkCode": 0, "transfers": false } ], "clips": [] } ] }
JSON
"$TESTNET" up >/dev/null
"$TESTNET" exec rec -- "$SIMULATOR" --config "$work/sim.json" --duration 600 &
sim_pid=$!
sleep 1

# shoot LANGUAGE-NUMBER SUFFIX all|some: a tour of the panel, each stop one picture
# control-<name>-SUFFIX.png; "some" leaves out the dialogs and the lens, genlock and clips views.
shoot() {
  local language="$1" suffix="$2" tour="$3" config="$work/config-$2"
  mkdir -p "$config/KVX"
  printf '[Settings]\nLanguage=%s\n' "$language" >"$config/KVX/Recorder.conf"
  "$TESTNET" exec host -- env XDG_CONFIG_HOME="$config" OUT="$OUT" CONTROL="$CONTROL" SUFFIX="$suffix" \
    TOUR="$tour" xvfb-run -a -s "-screen 0 600x672x24" sh -c '
    set -e
    snap() { xdotool mousemove 595 400; sleep 0.6; import -window root "$OUT/control-$1-$SUFFIX.png"; }
    click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.6}"; }
    "$CONTROL" & app=$!
    sleep 5
    snap list
    if [ "$TOUR" = all ]; then
      click 335 640 1; snap options; xdotool key Escape; sleep 3
      click 502 103; snap ip-edit; click 502 103
    fi
    click 200 90 3; snap config-camera
    if [ "$TOUR" = all ]; then click 72 188 1; snap touchpad; xdotool key Escape; sleep 0.5; fi
    click 80 140; snap config-paint
    if [ "$TOUR" = all ]; then
      click 129 140; snap config-genlock
      click 179 140; snap config-lens
      click 361 636 1; snap info; xdotool key Escape; sleep 0.5
    fi
    click 300 636 1.2; snap recording; click 300 636
    if [ "$TOUR" = all ]; then click 97 84 1; snap clips; fi
    kill "$app"' shoot
}
shoot 0 en all
shoot 1 de some
echo "control-screenshots: written to $OUT"
