#!/usr/bin/env bash
# The download soak: soak_download against velmor-sim in a test network of its own for MINUTES
# (default 30), at low priority. It stops by itself, sends only inside the test network and
# tears that network down at the end. Run as root. Exits non-zero when the soak fails.
# Usage: scripts/run-soak.sh [MINUTES] [soak_download options: --rate GBPS --seed N --report-seconds S]
set -euo pipefail
REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$REPO_ROOT/build}"
MINUTES="${1:-30}"
(($# > 0)) && shift
[[ "$MINUTES" =~ ^[0-9]+(\.[0-9]+)?$ ]] || { echo "usage: $0 [MINUTES] [options]" >&2; exit 2; }
export VLM_TESTNET_PREFIX="${VLM_TESTNET_PREFIX:-vlmsoak}"

"$REPO_ROOT/scripts/setup.sh" --no-build
[[ -f "$BUILD_DIR/CMakeCache.txt" ]] || cmake -S "$REPO_ROOT" -B "$BUILD_DIR" -DVLM_WERROR=ON
cmake --build "$BUILD_DIR" -j2 --target soak_download velmor-sim

trap '"$REPO_ROOT/scripts/testnet.sh" down' EXIT
"$REPO_ROOT/scripts/testnet.sh" up
# The program ends itself after MINUTES; the time-out only guards against a hang.
limit=$(awk -v m="$MINUTES" 'BEGIN { printf "%d", m * 60 + 300 }')
VLM_SIM="$BUILD_DIR/sim/velmor-sim" QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='*.debug=false' \
  timeout --kill-after=10 "$limit" nice -n 10 \
  "$REPO_ROOT/scripts/testnet.sh" exec host -- "$BUILD_DIR/tests/download/soak_download" --minutes "$MINUTES" "$@"
