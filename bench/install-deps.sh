#!/usr/bin/env bash
# Installs what the benchmarks need besides the program's own build (scripts/install-deps.sh): the peer viewer
# feh, libvips, libjpeg-turbo's tools and ImageMagick to make the pictures, a display server and window manager.
set -euo pipefail
packages=(feh libvips-tools libjpeg-turbo-progs imagemagick xvfb xauth openbox x11-utils time python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
