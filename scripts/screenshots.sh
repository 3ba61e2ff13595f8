#!/usr/bin/env bash
# Renders every window of the program to PNG under a virtual X server.
# Usage: scripts/screenshots.sh [OUTDIR]   (default out/screenshots)
# Each window gives NAME.png (its client area) and NAME-screen.png (the whole
# screen, with the window manager's frame when twm is installed).
set -euo pipefail
cd "$(dirname "$0")/.."
outdir=${1:-out/screenshots}
builddir=${M2BUS_BUILD_DIR:-build}

command -v xvfb-run >/dev/null || { echo "screenshots: xvfb-run is missing (scripts/setup.sh installs it)" >&2; exit 1; }
[ -f "$builddir/build.ninja" ] || cmake -S . -B "$builddir" -G Ninja >/dev/null
cmake --build "$builddir" --target m2bus-shots -j "${M2BUS_JOBS:-2}"
mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)
shots=$(cd "$builddir" && pwd)/tools/m2bus-shots

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Windows keep the places the program gives them instead of waiting for a
# click to be placed, and get a plain title bar in the server's built-in font.
cat > "$work/twmrc" <<'TWMRC'
UsePPosition "on"
RandomPlacement
NoGrabServer
DecorateTransients
TitleFont "fixed"
ResizeFont "fixed"
MenuFont "fixed"
IconFont "fixed"
IconManagerFont "fixed"
TWMRC
cat > "$work/session.sh" <<SESSION
#!/usr/bin/env bash
if command -v twm >/dev/null; then
  twm -f "$work/twmrc" >/dev/null 2>&1 &
  wm=\$!
  sleep 1
fi
QT_QPA_PLATFORM=xcb "$shots" "$outdir"
rc=\$?
[ -n "\${wm:-}" ] && kill "\$wm" 2>/dev/null
exit \$rc
SESSION
chmod +x "$work/session.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/session.sh"
echo "screenshots: PNGs in $outdir"
