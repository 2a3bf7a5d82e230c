#!/usr/bin/env bash
# Installs what the build needs on a Debian machine, only what is missing. Run as root.
set -euo pipefail
# clang-format, for the style, is a package of its own: clang does not bring it.
packages=(g++ cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
          libboost-dev nlohmann-json3-dev libexpat1-dev libxml2-dev libpugixml-dev libgeos-dev
          clang clang-format libclang-rt-dev libcairo2-dev libpng-dev libjpeg-dev libfreetype-dev
          libfontconfig-dev fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
