#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. The tests run side
# by side (each has its own pseudo-terminal, simulator, gateway and settings),
# as many at once as there are processors; the build is a debug build, which
# compiles faster than an optimised one. Benchmarks are not built here.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Debug -DM2BUS_WERROR=ON -DM2BUS_TESTS=ON -DM2BUS_BENCH=OFF
ctest --test-dir build --output-on-failure -j "$(nproc)"
