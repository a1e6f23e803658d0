#!/usr/bin/env bash
# Installs what is missing, builds Quillbrook, installs it into its program folder and starts it.
# The program folder ($QB_HOME, default ~/Quillbrook) lies outside the build tree and keeps the
# diary: Marlowick.mdb, Marlowick.ini and Pictures are never touched by a rebuild or an install.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
home=${QB_HOME:-$HOME/Quillbrook}
bash "$here/scripts/install-deps.sh"
# A build folder of its own, so that the test build keeps its tests and benchmarks.
build=${QB_RUN_BUILD_DIR:-$here/build-run}
QB_BUILD_DIR=$build bash "$here/scripts/build.sh" -DQB_BUILD_TESTS=OFF -DQB_BUILD_BENCH=OFF
mkdir -p "$home"
cmake --install "$build" --prefix "$home" >/dev/null
if [[ ! -e "$home/Marlowick.mdb" && -x "$home/MakeEmptyDiary" ]]; then
  "$home/MakeEmptyDiary" "$home/Marlowick.mdb"
fi
if [[ -x "$home/Marlowick" ]]; then
  cd "$home"
  exec "$home/Marlowick" "$@"
fi
echo "Built and installed into $home, but the program Marlowick was not found there." >&2
exit 1
