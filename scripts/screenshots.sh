#!/usr/bin/env bash
# Takes the playback window's and the export's screenshots into docs/screenshots (or the folder given): the
# clips manager downloads a clip from the simulator inside a test network of its own, under
# Xvfb with software OpenGL, and pictures of the window and of each paint-dialog tab are taken.
# Run as root; the network is torn down when the script ends.
set -euo pipefail
REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$REPO_ROOT/build}"
OUT="${1:-$REPO_ROOT/docs/screenshots}"
# A prefix of this build tree's own, apart from the test runs' networks.
export VLM_TESTNET_PREFIX="${VLM_TESTNET_PREFIX:-vlmshot$(echo "$BUILD_DIR" | md5sum | cut -c1-4)}"

cmake --build "$BUILD_DIR" -j"$(nproc)" --target playback_screenshots export_screenshots velmor-sim VLMVelClipsMgr
trap '"$REPO_ROOT/scripts/testnet.sh" down' EXIT
VLM_SIM="$BUILD_DIR/sim/velmor-sim" LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb \
  "$REPO_ROOT/scripts/testnet.sh" exec host -- xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$BUILD_DIR/tests/screenshots/playback_screenshots" "$OUT"
LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb \
  "$REPO_ROOT/scripts/testnet.sh" private -- xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$BUILD_DIR/tests/screenshots/export_screenshots" "$OUT" "$BUILD_DIR/clipsmgr/VLMVelClipsMgr"
