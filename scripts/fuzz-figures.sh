#!/usr/bin/env bash
# Runs every fuzz target for SECONDS on its seed corpus (fuzz/corpus/<target>/)
# and prints, per target, how many inputs it executed and how many findings
# (crashes, leaks, inputs over 30 s, out-of-memory) it made. Findings are kept under
# out/fuzz-findings/<target>/. Exit status 1 when any target found something
# or could not run.
#
# Usage: scripts/fuzz-figures.sh [SECONDS] [BUILD_DIR]     (default 60, build-fuzz)
# BUILD_DIR holds a -DM2BUS_FUZZ=ON build (README, "Sanitizers and fuzzers");
# `cmake --build BUILD_DIR --target m2bus-fuzzers` builds just the targets.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
builddir=${2:-build-fuzz}
case $seconds in '' | *[!0-9]*) echo "fuzz-figures: SECONDS must be a whole number" >&2; exit 2 ;; esac

# Leaks inside system libraries are not findings.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
printf '%-22s %14s %9s\n' target executions findings
for src in fuzz/*.cpp; do
  name=$(basename "$src" .cpp)
  exe=$builddir/fuzz/$name
  if [ ! -x "$exe" ]; then
    printf '%-22s %14s %9s  (not built in %s)\n' "$name" - - "$builddir"
    status=1
    continue
  fi
  mkdir -p "$work/$name/new" "$work/$name/found"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  # New inputs go to a scratch folder first in the list: the seed folder is only read.
  "$exe" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 -artifact_prefix="$work/$name/found/" \
    "$work/$name/new" "${seeds[@]}" >"$work/$name/log" 2>&1 || true
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name/log" | tail -n 1)
  # A run that ended on a finding prints no final statistics; its last status line counts.
  [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$work/$name/log" | tail -n 1)
  found=$(find "$work/$name/found" -type f | wc -l)
  note=
  if [ "$found" -gt 0 ]; then
    mkdir -p "out/fuzz-findings/$name"
    cp "$work/$name/found/"* "$work/$name/log" "out/fuzz-findings/$name/"
    note="  (inputs and log in out/fuzz-findings/$name/)"
    status=1
  elif [ -z "$runs" ]; then
    mkdir -p "out/fuzz-findings/$name"
    cp "$work/$name/log" "out/fuzz-findings/$name/"
    note="  (did not run; log in out/fuzz-findings/$name/log)"
    status=1
  fi
  printf '%-22s %14s %9s%s\n' "$name" "${runs:--}" "$found" "$note"
done
exit $status
