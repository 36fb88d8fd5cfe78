#!/usr/bin/env bash
# Installs from Debian 12's packages everything the program and its tests need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
  build-essential cmake ninja-build pkg-config python3 \
  libgtest-dev libgmock-dev libbenchmark-dev libfmt-dev \
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libgif-dev \
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-wqy-microhei \
  libx11-dev libxext-dev libxrandr-dev libxtst-dev xvfb xauth xcompmgr \
  libavcodec-dev libavcodec-extra libavformat-dev libavutil-dev libavfilter-dev \
  libswscale-dev libswresample-dev libavdevice-dev libsdl1.2-dev \
  libcanberra-dev libicu-dev
