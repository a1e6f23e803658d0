#!/usr/bin/env bash
# Installs what is missing, builds Quillbrook, installs it into its program folder and starts it.
# The program folder ($QB_HOME, default ~/Quillbrook) lies outside the build tree and keeps the
# diary: Marlowick.mdb, Marlowick.ini and Pictures are never touched by a rebuild or an install.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
home=${QB_HOME:-$HOME/Quillbrook}
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh" -DQB_BUILD_TESTS=OFF -DQB_BUILD_BENCH=OFF
mkdir -p "$home"
cmake --install "${QB_BUILD_DIR:-$here/build}" --prefix "$home" >/dev/null
if [[ ! -e "$home/Marlowick.mdb" && -x "$home/MakeEmptyDiary" ]]; then
  "$home/MakeEmptyDiary" "$home/Marlowick.mdb"
  echo "Created an empty diary: $home/Marlowick.mdb"
fi
if [[ -x "$home/Marlowick" ]]; then
  cd "$home"
  exec "$home/Marlowick" "$@"
fi
echo "Built and installed into $home; the program Marlowick is not part of this build yet."
