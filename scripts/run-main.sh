#!/usr/bin/env bash
# The main job: sets up and builds, then starts the recorder simulator on the recorder side of
# a test network of its own (two recorders with a few clips each) and the clips manager, the
# control program or both on the host side, so the recorders show at once: a clip can be
# downloaded, or a recorder opened and recording started. Without a display each program runs
# under Xvfb and a screenshot of it is saved. Runs until interrupted (Ctrl-C). The network is torn
# down when the script ends. Arguments are passed to the simulator; with none it plays the two
# default recorders.
#
# Usage: sudo scripts/run-main.sh [simulator arguments...]
# Environment: VLM_PROGRAM: clipsmgr (default), control, or both;
#              VLM_TESTNET_PREFIX (default "vlmmain", apart from the test runs' networks);
#              DISPLAY (unset: Xvfb and a screenshot); VLM_NO_CLIPSMGR=1 starts no program;
#              VLM_BUILD_DIR (default: build); VLM_NO_BUILD=1 runs what is built without building.
set -euo pipefail

# A signal ignored when a script starts cannot be trapped (INT is ignored in a job a
# non-interactive shell starts in the background, and a parent may ignore others), so the
# network below would outlive it. Start again with INT, TERM and HUP at their defaults.
if [[ -z "${VLM_RUN_MAIN_SIGNALS:-}" ]]; then
  export VLM_RUN_MAIN_SIGNALS=default
  exec env --default-signal=INT,TERM,HUP "$0" "$@"
fi

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TESTNET="$REPO_ROOT/scripts/testnet.sh"
BUILD_DIR="${VLM_BUILD_DIR:-$REPO_ROOT/build}"
SIMULATOR="$BUILD_DIR/sim/velmor-sim"
CLIPSMGR="$BUILD_DIR/clipsmgr/VLMVelClipsMgr"
CONTROL="$BUILD_DIR/control/ui/VLMVelControl"
PROGRAM="${VLM_PROGRAM:-clipsmgr}"
export VLM_TESTNET_PREFIX="${VLM_TESTNET_PREFIX:-vlmmain}"
case "$PROGRAM" in
  clipsmgr | control | both) ;;
  *) echo "run-main: VLM_PROGRAM must be clipsmgr, control or both, not '$PROGRAM'" >&2; exit 2 ;;
esac

if [[ "${VLM_NO_BUILD:-0}" == 1 ]]; then
  "$REPO_ROOT/scripts/setup.sh" --no-build
else
  VLM_BUILD_DIR="$BUILD_DIR" "$REPO_ROOT/scripts/setup.sh"
fi

if [[ ! -x "$SIMULATOR" ]]; then
  echo "run-main: the recorder simulator $SIMULATOR has not been built (is sim/ complete yet?)" >&2
  exit 3
fi

sim_pid=
program_pids=()
stop() {
  local pid
  for pid in "${program_pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  if [[ -n "$sim_pid" ]]; then kill -TERM "$sim_pid" 2>/dev/null || true; fi
  "$TESTNET" down
  rm -f "${sim_config:-}"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

"$TESTNET" up
cat <<EOF

The recorder simulator runs on the recorder side (10.77.41.2 .. 10.77.41.9); it answers
discovery requests to port 45611, broadcast to 10.77.41.255 from the host side.
Run a program against it on the host side (10.77.41.1), for example:
  VLM_TESTNET_PREFIX=$VLM_TESTNET_PREFIX $TESTNET exec host -- xvfb-run -a $CLIPSMGR

The program ($PROGRAM) starts on the host side by itself.
Clips manager: the recorders appear under "Velmors:" within a few seconds and the clips of the
selected one under "Velmor Clips:"; pick a clip and press the download button (or double-click
the clip). The bar below shows the progress, and the clip is listed under "Downloaded Clips:"
in the folder shown at the top ("Browse..." changes it).
Control program: after its splash the recorders are listed under "VLM Velmors"; click one to
open it (tick others to open them too), then the red button starts and stops recording.
Stop with Ctrl-C.

EOF
# Without arguments: two recorders on their own addresses (the clips manager tells recorders
# apart by address), each with a few clips of different sizes and rates.
if [[ $# -eq 0 ]]; then
  sim_config="$(mktemp --suffix=.json)"
  cat >"$sim_config" <<'JSON'
{ "recorders": [
  { "recorderId": "2180002", "cameraSerial": 2901180001, "cameraModel": 0,
    "links": [ { "address": "10.77.41.2", "linkCode": 1, "transfers": true } ],
    "clips": [ { "number": 0, "width": 1920, "height": 1080, "frames": 240, "fps": 240, "uid": "0x5A1001" },
               { "number": 1, "width": 1920, "height": 1080, "frames": 1000, "fps": 1000, "uid": "0x5A1002" },
               { "number": 2, "width": 2048, "height": 1080, "frames": 600, "fps": 500, "uid": "0x5A1003" } ] },
  { "recorderId": "2180007", "cameraSerial": 2901180042, "cameraModel": 1,
    "links": [ { "address": "10.77.41.3", "linkCode": 1, "transfers": true } ],
    "clips": [ { "number": 0, "width": 3840, "height": 2160, "frames": 120, "fps": 120, "uid": "0x5A2001" },
               { "number": 1, "width": 3840, "height": 2160, "frames": 480, "fps": 240, "uid": "0x5A2002" } ] } ] }
JSON
  set -- --config "$sim_config"
else
  # The recorder answers on the recorder side's first address unless the arguments say otherwise.
  case " $* " in
    *" --config "* | *" --link "* | *" --address "*) ;;
    *) set -- --address 10.77.41.2 "$@" ;;
  esac
fi
"$TESTNET" exec rec -- "$SIMULATOR" "$@" &
sim_pid=$!
# start_program BINARY SCREENSHOT SIZE: on the host side, under Xvfb with a picture of it after
# a few seconds when there is no display.
start_program() {
  local binary="$1" screenshot="$2" size="$3"
  if [[ ! -x "$binary" ]]; then
    echo "run-main: $binary has not been built" >&2
    return
  fi
  if [[ -n "${DISPLAY:-}" ]]; then
    "$TESTNET" exec host -- "$binary" &
  else
    "$TESTNET" exec host -- xvfb-run -a -s "-screen 0 ${size}x24" sh -c \
      '"$1" & app=$!; sleep 8; import -window root "$2" && echo "run-main: $(basename "$1") as it looks now: $2"; wait "$app"' \
      run-main "$binary" "$screenshot" &
  fi
  program_pids+=($!)
}
if [[ "${VLM_NO_CLIPSMGR:-0}" != 1 ]]; then
  if [[ "$PROGRAM" == clipsmgr || "$PROGRAM" == both ]]; then
    start_program "$CLIPSMGR" "$BUILD_DIR/clipsmgr-main.png" 760x670
  fi
  if [[ "$PROGRAM" == control || "$PROGRAM" == both ]]; then
    start_program "$CONTROL" "$BUILD_DIR/control-main.png" 620x690
  fi
fi
wait "$sim_pid"
