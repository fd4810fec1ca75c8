#!/usr/bin/env bash
# Installs what building, testing and the end-to-end stage need on Debian 12.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-multimedia-dev
  libpugixml-dev libzip-dev zlib1g-dev libsodium-dev libfontconfig-dev libxcb1-dev libxcb-keysyms1-dev
  libhunspell-dev hunspell-en-us hunspell-ru hunspell-de-de
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth openbox xdotool trayer x11-utils python3 poppler-utils age
  desktop-file-utils appstream shared-mime-info groff-base dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
