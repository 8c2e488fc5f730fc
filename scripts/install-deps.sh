#!/usr/bin/env bash
# Installs the Debian packages that building and testing Brisel needs, when any is missing.
set -euo pipefail
# Building: the toolchain, GoogleTest, FLTK (linked in, with the X libraries it uses), Xlib with
# its shape and input extensions, ALSA, libpulse; libpng for brisel-art, which makes the icons.
packages=(cmake g++ make pkg-config libgtest-dev libfltk1.3-dev libx11-dev libxext-dev libxi-dev libxft-dev
  libfontconfig-dev libxinerama-dev libxcursor-dev libasound2-dev libpulse-dev fontconfig fonts-dejavu-core
  libpng-dev "$@")
# The Debian package: dpkg-shlibdeps finds the packages of the libraries the program uses.
packages+=(dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
# Another install on the machine (a second test run) holds the package lock for a while: wait for it.
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
