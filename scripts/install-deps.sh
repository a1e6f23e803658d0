#!/usr/bin/env bash
# Installs the Debian packages Quillbrook needs.
#   bash scripts/install-deps.sh          what building and running the program needs
#   bash scripts/install-deps.sh --tests  that, and what the tests, the fuzz targets and the
#                                         benchmarks need besides
# Idempotent: when everything is already there it returns at once without touching apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev
  libsqlite3-dev libjpeg62-turbo-dev
  libxcb1-dev libxcb-keysyms1-dev
  xdg-utils
  fonts-dejavu-core fonts-dejavu-extra
)
if [[ "${1:-}" == --tests ]]; then
  packages+=(
    libxcb-xtest0-dev
    libgtest-dev googletest
    clang-14 libclang-rt-14-dev
    xvfb xauth unrtf poppler-utils desktop-file-utils
    libssl-dev
  )
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
else
  sudo=()
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
