#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once plain, once under
# AddressSanitizer and UndefinedBehaviorSanitizer; then builds the Release configuration once
# and checks the Debian package made from it (installing it needs root or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
# Testing the Linux program: an X server, a compositing manager, a window manager, a sound
# server, xdotool; XTest for the benchmark's probe; xmodmap, setxkbmap and desktop-file-validate
# for the desktop test; a Wayland desktop (sway with Xwayland), and wtype and grim to type into
# its window and see it, for the Wayland test; Python to read the PNGs brisel-art writes;
# PipeWire's sound server, on a session bus of its own, for the sound-server test against it;
# GNOME's shell and media-keys daemon, KDE Plasma's compositor, GStreamer's PipeWire source (a
# screenshot from GNOME's screen cast), Python's GObject bindings with GTK 3 (D-Bus calls and a
# flat-coloured Wayland window), and the Wayland headers and KDE's protocols (a key sender for
# KWin), for the GNOME and KDE tests; the X.Org server with the dummy driver, for the test of two
# monitors.
scripts/install-deps.sh python3 xvfb xdotool x11-utils xcompmgr openbox pulseaudio pulseaudio-utils libasound2-plugins \
  alsa-utils libxtst-dev x11-xserver-utils x11-xkb-utils sway xwayland wtype grim \
  pipewire pipewire-pulse wireplumber dbus \
  gnome-shell gnome-settings-daemon mutter dconf-gsettings-backend libglib2.0-bin kwin-wayland \
  gstreamer1.0-tools gstreamer1.0-pipewire gstreamer1.0-plugins-good python3-gi gir1.2-gtk-3.0 \
  libwayland-dev plasma-wayland-protocols xserver-xorg-core xserver-xorg-video-dummy
# Checking the Debian package: lintian, the desktop-entry validator, man, file.
scripts/install-deps.sh lintian desktop-file-utils man-db file
jobs=$(nproc)

cmake --preset dev >/dev/null
cmake --build --preset dev -j"$jobs"
ctest --preset dev -j"$jobs"

cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -j"$jobs"

cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"
tests/package/package_test.sh build-release
scripts/test-windows.sh
