#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Glimmerbox needs on Debian bookworm (or alike): the build tools and Qt; with --test also what
# the tests need (GoogleTest, Xvfb, a window manager, xdotool, ImageMagick, the accessibility bus); with --bench
# what the benchmarks need (the peer viewer feh, libvips and libjpeg-turbo's tools for the pictures, Xvfb); with
# --package what `cpack -G DEB` needs to make the Debian package.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libseccomp-dev fonts-dejavu-core)
package=(dpkg-dev file)
if [[ "${1:-}" == "--test" ]]; then
  packages+=("${package[@]}" appstream desktop-file-utils groff-base icc-profiles-free lintian)
  packages+=(libgtest-dev libgmock-dev xvfb xauth openbox xdotool x11-utils imagemagick
             dbus dbus-x11 at-spi2-core python3 python3-gi gir1.2-atspi-2.0 gir1.2-gtk-3.0 libglib2.0-bin gvfs libglib2.0-dev zlib1g-dev gir1.2-gnomedesktop-3.0
             clang-14 libclang-rt-14-dev clang-format clang-tidy weston qt6-wayland python3-fusepy fuse3)
elif [[ "${1:-}" == "--package" ]]; then
  packages+=("${package[@]}")
elif [[ "${1:-}" == "--bench" ]]; then
  packages+=(feh nsxiv qimgv libxtst-dev libvips-tools libjpeg-turbo-progs imagemagick xvfb xauth openbox x11-utils time python3)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
