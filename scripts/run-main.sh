#!/usr/bin/env bash
# The main job: sets up and builds, then starts the recorder simulator on the recorder side of
# a test network of its own and, when a display is there, the clips manager on the host side,
# so a clip can be downloaded at once. Runs until interrupted (Ctrl-C). The network is torn
# down when the script ends. Arguments are passed to the simulator.
#
# Usage: sudo scripts/run-main.sh [simulator arguments...]
# Environment: VLM_TESTNET_PREFIX (default "vlmmain", apart from the test runs' networks);
#              DISPLAY (the clips manager is started only with one; VLM_NO_CLIPSMGR=1 skips it).
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TESTNET="$REPO_ROOT/scripts/testnet.sh"
SIMULATOR="$REPO_ROOT/build/sim/velmor-sim"
CLIPSMGR="$REPO_ROOT/build/clipsmgr/VLMVelClipsMgr"
export VLM_TESTNET_PREFIX="${VLM_TESTNET_PREFIX:-vlmmain}"

"$REPO_ROOT/scripts/setup.sh"

if [[ ! -x "$SIMULATOR" ]]; then
  echo "run-main: the recorder simulator $SIMULATOR has not been built (is sim/ complete yet?)" >&2
  exit 3
fi

sim_pid=
clipsmgr_pid=
stop() {
  if [[ -n "$clipsmgr_pid" ]]; then kill -TERM "$clipsmgr_pid" 2>/dev/null || true; fi
  if [[ -n "$sim_pid" ]]; then kill -TERM "$sim_pid" 2>/dev/null || true; fi
  "$TESTNET" down
}
trap stop EXIT
trap 'exit 130' INT TERM

"$TESTNET" up
cat <<EOF

The recorder simulator runs on the recorder side (10.77.41.2 .. 10.77.41.9); it answers
discovery requests to port 45611, broadcast to 10.77.41.255 from the host side.
Run a program against it on the host side (10.77.41.1), for example:
  VLM_TESTNET_PREFIX=$VLM_TESTNET_PREFIX $TESTNET exec host -- xvfb-run -a $CLIPSMGR

To download a simulated clip in the clips manager: the recorder appears under "Velmors:"
within a few seconds and its clips under "Velmor Clips:"; pick a clip and press the download
button (or double-click the clip). The bar below shows the progress, and the clip is listed
under "Downloaded Clips:" in the folder shown at the top ("Browse..." changes it).
Stop with Ctrl-C.

EOF
# The recorder answers on the recorder side's first address unless the arguments say otherwise.
case " $* " in
  *" --config "* | *" --link "* | *" --address "*) ;;
  *) set -- --address 10.77.41.2 "$@" ;;
esac
"$TESTNET" exec rec -- "$SIMULATOR" "$@" &
sim_pid=$!
if [[ -n "${DISPLAY:-}" && "${VLM_NO_CLIPSMGR:-0}" != 1 && -x "$CLIPSMGR" ]]; then
  "$TESTNET" exec host -- "$CLIPSMGR" &
  clipsmgr_pid=$!
fi
wait "$sim_pid"
