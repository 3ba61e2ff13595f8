#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs. Safe to run again:
# packages already present are left alone.
#   setup.sh build  what building the program, running it and its tests need
#   setup.sh        all of it: also benchmarks, Clang and the fuzzers, the
#                   Windows cross build, screenshots and the package checks
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6opengl6-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n qt6-qpa-plugins
  libcurl4-openssl-dev curl openssl
  libgtest-dev libgmock-dev googletest
  fonts-dejavu-core fonts-liberation python3
)
if [ "${1:-all}" != build ]; then
  packages+=(
    libbenchmark-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-win32
    xvfb xauth twm x11-apps imagemagick
    appstream man-db file
    lintian desktop-file-utils mandoc
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages are installed"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
