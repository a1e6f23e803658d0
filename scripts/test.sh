#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the fuzz targets for a short
# fixed count of runs, then the whole ctest suite (its summary is the last thing printed).
#
# The tests run in a build of their own under AddressSanitizer and UndefinedBehaviorSanitizer
# (build-sanitize/), each test program as one process with its tests shuffled and run twice, so
# that the first memory fault, undefined behaviour or leak, and any test that leans on the ones
# before it, fails the run. The benchmarks are built plain and optimised (build/), as they are
# measured; they are run by hand.
#
# QB_TEST_SEED sets the order of the shuffle (default 1); the order is printed with each program.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${QB_BUILD_DIR:-$here/build}"
sanitized="${QB_SANITIZE_BUILD_DIR:-$here/build-sanitize}"
bash "$here/scripts/install-deps.sh" --tests
bash "$here/scripts/check-layers.sh"
QB_BUILD_DIR=$build bash "$here/scripts/build.sh" -DQB_BUILD_TESTS=OFF -DQB_BUILD_BENCH=ON \
  -DQB_SANITIZE=OFF
QB_BUILD_DIR=$sanitized bash "$here/scripts/build.sh" -DQB_BUILD_TESTS=ON -DQB_BUILD_BENCH=OFF \
  -DQB_SANITIZE=ON

# The fuzz targets, each for a fixed count of runs from a fixed seed over the committed seeds:
# the same inputs every time, so that the result never depends on chance.
bash "$here/scripts/fuzz.sh" --fixed

cd "$sanitized"
GTEST_RANDOM_SEED="${QB_TEST_SEED:-1}" ctest --output-on-failure --parallel "$(nproc)" --timeout 900
