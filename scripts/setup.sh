#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs (only when one is missing, so re-runs are
# quick and work offline), checks that CMake can find the Qt 6 modules, then configures and
# builds the project into build/.
#
# Usage: scripts/setup.sh [--no-build]
# Environment: VLM_BUILD_DIR (default: build under the repository root).
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# ccache keys on paths relative to the checkout, so a fresh clone in another folder reuses
# what an earlier clone compiled.
export CCACHE_BASEDIR="$REPO_ROOT" CCACHE_NOHASHDIR=1
BUILD_DIR="${VLM_BUILD_DIR:-$REPO_ROOT/build}"

PACKAGES=(
  # toolchain
  build-essential cmake ccache pkg-config git
  # clang and its runtimes (libFuzzer among them): the sanitizer build and the fuzz targets
  clang libclang-rt-14-dev
  # Qt 6 (qt6-qpa-plugins holds the xcb and offscreen platforms the programs and tests use)
  qt6-base-dev qt6-base-dev-tools qt6-connectivity-dev libqt6opengl6-dev libgl-dev qt6-qpa-plugins
  # Qt's translation tools: lrelease compiles the control program's translations at build time
  # (qt6-tools-dev holds their CMake package), lupdate refreshes the .ts files
  qt6-l10n-tools qt6-tools-dev
  # the TIFF image plugin: clip thumbnails are saved as "thumb.tif"
  qt6-image-formats-plugins
  # export encoder
  ffmpeg
  # headless display with software OpenGL for GUI and GL tests, screenshots
  xvfb xauth xfonts-base fonts-dejavu-core libgl1-mesa-dri mesa-utils imagemagick
  # clicks on the control program for its screenshots (scripts/control-screenshots.sh)
  xdotool
  # test network (ip netns, unshare, flock)
  iproute2 util-linux
  python3
  # xxHash64 for verified copies; xxhsum checks the hash lists independently in the tests
  libxxhash-dev xxhash
)

QT_CMAKE_MODULES=(Core Gui Widgets Network Xml Concurrent OpenGL OpenGLWidgets Bluetooth Test LinguistTools)

log() { echo "setup: $*"; }

missing_packages() {
  local pkg
  for pkg in "${PACKAGES[@]}"; do
    if [[ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]]; then
      echo "$pkg"
    fi
  done
}

install_packages() {
  local missing
  mapfile -t missing < <(missing_packages)
  if ((${#missing[@]} == 0)); then
    log "all ${#PACKAGES[@]} packages are installed"
    return
  fi
  log "installing: ${missing[*]}"
  local sudo=()
  if ((EUID != 0)); then
    command -v sudo >/dev/null || { log "missing packages and not root; run as root"; exit 1; }
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold \
    "${missing[@]}"
}

check_qt_modules() {
  local module missing=()
  for module in "${QT_CMAKE_MODULES[@]}"; do
    compgen -G "/usr/lib/*/cmake/Qt6$module/Qt6${module}Config.cmake" >/dev/null || missing+=("Qt6$module")
  done
  if ((${#missing[@]} > 0)); then
    log "CMake packages not found: ${missing[*]}"
    exit 1
  fi
  log "Qt 6 CMake packages found: ${QT_CMAKE_MODULES[*]}"
}

build_project() {
  local start=$SECONDS status=0
  # Warnings are errors here as in CI, so a warning never lands unnoticed.
  cmake -S "$REPO_ROOT" -B "$BUILD_DIR" -DVLM_WERROR=ON
  # Keep going past a failing target so everything that can be built (and tested) is.
  local keep_going=(-k)
  grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja' "$BUILD_DIR/CMakeCache.txt" && keep_going=(-k 0)
  cmake --build "$BUILD_DIR" -j"$(nproc)" -- "${keep_going[@]}" || status=$?
  log "build took $((SECONDS - start)) s"
  return "$status"
}

install_packages
check_qt_modules
if [[ "${1:-}" != "--no-build" ]]; then
  build_project
fi
