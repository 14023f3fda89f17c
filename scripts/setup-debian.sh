#!/usr/bin/env bash
# Installs the Debian packages Velumix needs to build, run and test, skipping those already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libqt6sql6-sqlite
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev
  portaudio19-dev libtag1-dev zlib1g-dev libebur128-dev librubberband-dev
  libgtest-dev libgmock-dev
  jackd2 libjack-jackd2-dev
  ffmpeg xvfb xauth fonts-dejavu-core xdg-utils
  poppler-utils
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
