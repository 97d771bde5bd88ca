#!/usr/bin/env bash
# Installs every Debian package the build, the viewer and the tests need.
# Skips what is already there; runs apt-get update only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev qt6-image-formats-plugins
  # The translations: lupdate and lrelease (qt6-l10n-tools, CMake's LinguistTools in
  # qt6-tools-dev) and Qt's own texts in Korean (qt6-translations-l10n).
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  # Typing Korean through the desktop's input method: qt6-qpa-plugins carries Qt's IBus
  # plugin (and the X11 platform), fcitx5-frontend-qt6 the Fcitx 5 one.
  qt6-qpa-plugins fcitx5-frontend-qt6
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
  # The sound recorder's sources: the sound server's default input, else ALSA's.
  gstreamer1.0-pulseaudio gstreamer1.0-pipewire gstreamer1.0-alsa
  libv4l-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg
  fonts-nanum fonts-liberation
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils imagemagick xdotool openbox
  # The recording tests: a sound server of their own, and a player that reads movies back.
  pulseaudio pulseaudio-utils mpv
  desktop-file-utils appstream librsvg2-bin
  # The package's check (make package-check): lintian, and man for its manual page check.
  lintian man-db
  clang-format
  clang libclang-rt-14-dev
  valgrind
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
