#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Quillbrook needs.
# Idempotent: when everything is already there it returns at once without touching apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev
  libsqlite3-dev libjpeg62-turbo-dev
  libxcb1-dev libxcb-keysyms1-dev libxcb-xtest0-dev
  libgtest-dev googletest
  clang-14 libclang-rt-14-dev
  xvfb xauth unrtf xdg-utils poppler-utils
  libssl-dev
  fonts-dejavu-core fonts-dejavu-extra
)

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
