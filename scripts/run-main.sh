#!/usr/bin/env bash
# The main job: sets up and builds, then starts the recorder simulator on the recorder side of
# a test network of its own and keeps it running until interrupted (Ctrl-C). The network is
# torn down when the script ends. Arguments are passed to the simulator.
#
# Usage: sudo scripts/run-main.sh [simulator arguments...]
# Environment: VLM_TESTNET_PREFIX (default "vlmmain", apart from the test runs' networks).
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TESTNET="$REPO_ROOT/scripts/testnet.sh"
SIMULATOR="$REPO_ROOT/build/sim/velmor-sim"
export VLM_TESTNET_PREFIX="${VLM_TESTNET_PREFIX:-vlmmain}"

"$REPO_ROOT/scripts/setup.sh"

if [[ ! -x "$SIMULATOR" ]]; then
  echo "run-main: the recorder simulator $SIMULATOR has not been built (is sim/ complete yet?)" >&2
  exit 3
fi

sim_pid=
stop() {
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
  VLM_TESTNET_PREFIX=$VLM_TESTNET_PREFIX $TESTNET exec host -- xvfb-run -a $REPO_ROOT/build/clipsmgr/VLMVelClipsMgr
Stop with Ctrl-C.

EOF
"$TESTNET" exec rec -- "$SIMULATOR" "$@" &
sim_pid=$!
wait "$sim_pid"
