#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
cd "${QB_BUILD_DIR:-$here/build}"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
