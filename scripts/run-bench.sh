#!/usr/bin/env bash
# Builds and runs every benchmark; each prints "name: value unit" lines. Run as root.
# Everything runs in a private loopback-only network namespace (nothing leaves the machine).
set -euo pipefail
REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$REPO_ROOT/build}"
RENDER_FRAMES="${RENDER_FRAMES:-200}"
private() { "$REPO_ROOT/scripts/testnet.sh" private -- "$@"; }

"$REPO_ROOT/scripts/setup.sh"
cmake --build "$BUILD_DIR" -j"$(nproc)" --target transfer_bench sim_send_rate download_bench render_bench \
  playback_bench export_bench

echo "== simulator send rate (loopback)"
private "$BUILD_DIR/bench/sim_send_rate"
echo "== transfer engine (loopback, 2 GiB, 3 runs + 1 % loss)"
private "$BUILD_DIR/bench/transfer_bench"
echo "== download end to end (4 GiB, simulator paced to 10 Gbit/s and unpaced, into tmpfs and onto the disk)"
"$BUILD_DIR/bench/download_bench"
echo "== command-line renderer vs FFmpeg (2048 x 1080, $RENDER_FRAMES frames, llvmpipe)"
LIBGL_ALWAYS_SOFTWARE=1 private xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$BUILD_DIR/bench/render_bench" --frames "$RENDER_FRAMES"
echo "== playback window (2048 x 1080, ${PLAYBACK_SECONDS:-10} s, llvmpipe)"
LIBGL_ALWAYS_SOFTWARE=1 private xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$BUILD_DIR/bench/playback_bench" --seconds "${PLAYBACK_SECONDS:-10}"
echo "== export to PNG, ProRes and H.264 (2048 x 1080, $RENDER_FRAMES frames, llvmpipe)"
LIBGL_ALWAYS_SOFTWARE=1 private xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$BUILD_DIR/bench/export_bench" --frames "$RENDER_FRAMES"
