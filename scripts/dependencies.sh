#!/bin/sh
# Installs what building and testing Tumblewisp needs on Debian 12.
set -eu

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
    build-essential cmake pkg-config git \
    juce-modules-source libasound2-dev libfreetype-dev libx11-dev libxext-dev \
    libxinerama-dev libxrandr-dev libxcursor-dev libxcomposite-dev libgl-dev \
    "$@"
