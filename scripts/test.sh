#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the fuzz targets for a short
# fixed count of runs, then the whole ctest suite (its summary is the last thing printed).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${QB_BUILD_DIR:-$here/build}"
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/check-layers.sh"
bash "$here/scripts/build.sh" -DQB_BUILD_TESTS=ON -DQB_BUILD_BENCH=ON

# The fuzz targets, each for a fixed count of runs from a fixed seed over the committed seeds:
# the same inputs every time, so that the result never depends on chance.
bash "$here/scripts/fuzz.sh" --fixed

cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
