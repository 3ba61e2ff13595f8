#!/usr/bin/env bash
# Builds the Debian package and checks it the way a user gets it: the install
# tree has every file, the desktop entry, AppStream metadata and manual pages
# pass their validators, the package passes lintian without an error or a
# warning, it installs with dpkg, the installed programs run, and the package
# removes cleanly. Whatever fails, the package is removed again and the
# scratch files go. Usage: scripts/package-check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}
package=m2bus-tool
app_id=org.m2bus.ServiceTool

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "package-check: run as root or install sudo" >&2; exit 1; }
  as_root=(sudo)
fi

say() { echo "package-check: $*"; }
fail() { echo "package-check: FAILED: $*" >&2; exit 1; }

# One check at a time on a machine: the package is installed system-wide.
exec 9>/tmp/m2bus-package-check.lock
flock -w 600 9 || fail "another package check is still running"

scratch=$(mktemp -d)
installed=0
sim_pid=
cleanup() {
  local status=$?
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  if [ "$installed" -eq 1 ]; then
    "${as_root[@]}" dpkg -r "$package" >/dev/null || { echo "package-check: could not remove $package" >&2; status=1; }
  fi
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
  fail "$package is installed already; this check would replace and then remove it (dpkg -r $package first)"
fi

# Quiet while it goes well; the tail of the output when it does not.
quietly() {
  "$@" >"$scratch/step.log" 2>&1 || { tail -n 40 "$scratch/step.log" >&2; fail "$*"; }
}

say "building in $dir"
quietly cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DM2BUS_TESTS=OFF -DM2BUS_BENCH=OFF -DM2BUS_WERROR=OFF
quietly cmake --build "$dir" -j "$(nproc)"

say "checking the install tree"
stage=$scratch/stage
quietly cmake --install "$dir" --prefix "$stage"
expected=(
  bin/m2bus-tool bin/m2bus-sim
  share/man/man1/m2bus-tool.1.gz share/man/man1/m2bus-sim.1.gz
  "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
  share/icons/hicolor/scalable/apps/m2bus-tool.svg
  share/m2bus-tool/Operators.ini
  "share/doc/$package/copyright" "share/doc/$package/changelog.gz"
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/m2bus-tool.png")
done
has_cli=0
if [ -e "$stage/bin/m2bus-cli" ]; then
  has_cli=1
  expected+=(bin/m2bus-cli share/man/man1/m2bus-cli.1.gz)
fi
for file in "${expected[@]}"; do
  [ -e "$stage/$file" ] || fail "the install tree has no $file"
done
for program in "$stage"/bin/*; do
  [ -x "$program" ] || fail "$program is not executable"
done
for tool in appstreamcli desktop-file-validate mandoc lintian dpkg-parsechangelog; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/setup.sh installs it)"
done
metainfo=$stage/share/metainfo/$app_id.metainfo.xml
# --strict: warnings and infos fail too; pedantic hints are shown only.
appstreamcli validate --no-net --pedantic --strict "$metainfo" \
  || fail "the AppStream metadata does not validate (appstreamcli validate --no-net --strict)"
desktop-file-validate "$stage/share/applications/$app_id.desktop" || fail "the desktop entry does not validate"
for page in "$stage"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man cannot format $page"
  [ -z "$warnings" ] || fail "$page: $warnings"
  warnings=$(mandoc -T lint -W all "$page" 2>&1) || fail "mandoc -T lint: $warnings"
  [ -z "$warnings" ] || fail "mandoc -T lint: $warnings"
done

say "building the package"
rm -f "$dir"/"$package"_*.deb
quietly cpack --config "$dir/CPackConfig.cmake" -B "$dir"
debs=("$dir"/"$package"_*.deb)
if [ ! -e "${debs[0]}" ] || [ ${#debs[@]} -ne 1 ]; then
  fail "cpack made no single $package package: ${debs[*]}"
fi
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
say "$(basename "$deb"): depends on $(dpkg-deb -f "$deb" Depends)"

# The changelog and the AppStream releases name the version being packaged.
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
[ "$changelog_version" = "$version" ] \
  || fail "packaging/changelog's latest entry is $changelog_version, the package is $version"
release=$(grep -o -m 1 '<release version="[^"]*"' "$metainfo" | cut -d '"' -f 2)
[ "$release" = "$version" ] || fail "the AppStream metadata's latest release is ${release:-missing}, the package is $version"

# Errors and warnings fail, and so does any missing hardening, which lintian
# reports as information only.
say "lintian $(basename "$deb")"
lint_status=0
lint=$(lintian --fail-on error,warning --display-info "$deb" 2>"$scratch/lintian.err") || lint_status=$?
[ -z "$lint" ] || sed 's/^/  /' <<<"$lint"
[ "$lint_status" -eq 0 ] || fail "lintian (exit $lint_status): $(cat "$scratch/lintian.err")"
! grep -q '^I: [^ ]* hardening-' <<<"$lint" || fail "lintian finds programs built without hardening"

installed=1
quietly "${as_root[@]}" dpkg -i "$deb"
say "installed $package $version"

bin=/usr/bin
home=$scratch/home
mkdir -p "$home"
# The installed programs run with a home of their own: nothing of the user's
# settings is read or written.
run() { HOME=$home XDG_CONFIG_HOME=$home/.config XDG_STATE_HOME=$home/.local/state QT_QPA_PLATFORM=offscreen "$@"; }

# A program that knows --version prints the package's version and stops; one
# that does not yet either refuses the option or (a window program) keeps
# running until the time-out.
check_version() {
  local program=$1 out status=0
  out=$(run timeout 20 "$bin/$program" --version 2>&1) || status=$?
  if [ "$status" -eq 0 ] && grep -qF "$version" <<<"$out"; then
    say "$program --version: $(head -n 1 <<<"$out")"
  elif [ "$status" -eq 124 ] || grep -qi 'unknown option' <<<"$out"; then
    say "$program has no --version yet: skipped"
  else
    fail "$program --version (exit $status): $out"
  fi
}

run "$bin/m2bus-sim" --help >/dev/null || fail "m2bus-sim --help failed"
check_version m2bus-sim
run timeout 20 "$bin/m2bus-tool" --help >/dev/null 2>&1 || say "m2bus-tool has no --help yet: skipped"
check_version m2bus-tool

# Installed, the window program keeps the operator profiles in the user's
# configuration folder, started from the packaged copy, and writes nothing
# beside itself (not even as root).
run timeout 10 "$bin/m2bus-tool" >/dev/null 2>&1 || true
cmp -s "$home/.config/m2bus-tool/Operators.ini" /usr/share/m2bus-tool/Operators.ini \
  || fail "m2bus-tool did not start the user's Operators.ini from /usr/share/m2bus-tool/Operators.ini"
[ ! -e "$bin/Operators.ini" ] || fail "m2bus-tool made $bin/Operators.ini"
say "m2bus-tool: Operators.ini in the user's configuration folder"

if [ "$has_cli" -eq 1 ]; then
  check_version m2bus-cli
  # exec: $! is then the simulator itself, not a subshell that would leave it running.
  run exec "$bin/m2bus-sim" >"$scratch/sim.out" 2>"$scratch/sim.err" &
  sim_pid=$!
  for _ in $(seq 100); do
    [ -s "$scratch/sim.out" ] && break
    sleep 0.1
  done
  device=$(head -n 1 "$scratch/sim.out")
  [ -n "$device" ] || fail "m2bus-sim printed no device: $(cat "$scratch/sim.err")"
  info=$(run timeout 60 "$bin/m2bus-cli" --port "$device" info) || fail "m2bus-cli info against m2bus-sim on $device failed"
  [ -n "$info" ] || fail "m2bus-cli info printed nothing"
  say "m2bus-cli info: $(head -n 1 <<<"$info")"
else
  say "m2bus-cli is not built on this branch: its steps are skipped"
fi

"${as_root[@]}" dpkg -r "$package" >/dev/null
installed=0
[ ! -e "$bin/m2bus-tool" ] || fail "$bin/m2bus-tool is still there after dpkg -r"
say "removed $package; all checks passed"
