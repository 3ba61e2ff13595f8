#!/usr/bin/env bash
# Builds for Windows (x86-64, the mingw-w64 cross compiler of Debian) what
# needs no Qt: the link (link/) and the handset model (sim/, without the
# m2bus-sim program, which serves a POSIX pseudo-terminal). Compiled with
# warnings as errors and archived into a static library; nothing is linked
# into a program or run. Debian has no Qt 6 for mingw-w64, so the windows,
# the serial port, m2bus-cli and m2bus-tool are not built for Windows here.
# Usage: scripts/cross-windows.sh [DIR]   (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-windows}
cxx=x86_64-w64-mingw32-g++
command -v "$cxx" >/dev/null || { echo "cross-windows: $cxx is missing (bash scripts/setup.sh)" >&2; exit 1; }
mkdir -p "$out"
sources=()
for src in link/*.cpp sim/*.cpp; do
  [ "$src" = sim/m2bus-sim.cpp ] || sources+=("$src")
done
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -I{} sh -c \
  'obj="$1/$(echo "${2%.cpp}" | tr / _).obj"; exec "$0" -std=c++20 -O1 -Wall -Wextra -Werror -I. -c "$2" -o "$obj"' \
  "$cxx" "$out" {}
rm -f "$out/m2bus-plain.a"
x86_64-w64-mingw32-ar rcs "$out/m2bus-plain.a" "$out"/*.obj
echo "cross-windows: ${#sources[@]} files built for Windows into $out/m2bus-plain.a"
