#!/usr/bin/env bash
# Installs the Debian 12 packages velmora needs to build, run and test.
set -euo pipefail
packages=(
  g++ make cmake qt6-base-dev libx11-dev libxext-dev libxtst-dev zlib1g-dev
  libgtest-dev libbenchmark-dev libsndfile1-dev
  xvfb xauth xdotool x11-utils fonts-dejavu-core xfonts-base xfonts-75dpi
  pulseaudio pulseaudio-utils
  clang-format-14 git
  # The import fuzz target: libFuzzer's runtime is in libclang-rt-14-dev,
  # which clang only recommends.
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
