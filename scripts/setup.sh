#!/usr/bin/env bash
# Installs what the build needs on a Debian machine, only what is missing. Run as root. With --figures it
# also installs the tools the README's "Figures" are measured with; without it, it names those missing.
set -euo pipefail
figures=false
case "${1:-}" in
    "") ;;
    --figures) figures=true ;;
    *) echo "usage: bash scripts/setup.sh [--figures]" >&2; exit 2 ;;
esac
# clang-format, for the style, is a package of its own: clang does not bring it.
packages=(g++ cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
          libboost-dev nlohmann-json3-dev libexpat1-dev libxml2-dev libpugixml-dev libgeos-dev
          clang clang-format libclang-rt-dev libcairo2-dev libpng-dev libjpeg-dev libfreetype-dev
          libfontconfig-dev fonts-dejavu-core)
# The Figures: python3 runs Bench/make_project.py, time is /usr/bin/time (memory), strace counts the
# flushes, valgrind the instructions, procps has uptime (the load).
figureTools=(python3 time strace valgrind procps)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
missingTools=()
for p in "${figureTools[@]}"; do
    installed "$p" || missingTools+=("$p")
done
if $figures; then missing+=("${missingTools[@]}"); fi
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
if ! $figures && ((${#missingTools[@]})); then
    echo "The README's Figures also need: ${missingTools[*]} (bash scripts/setup.sh --figures installs them)"
fi
