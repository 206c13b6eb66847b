#!/usr/bin/env bash
# Installs every Debian package Corvane needs to build, test and run its demo.
# Idempotent: does nothing when all packages are present.
#   scripts/setup.sh          build, test and demo dependencies
#   scripts/setup.sh --bench  also the packages the benchmarks compare against
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev zlib1g-dev
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev
    libhunspell-dev hunspell-ru fonts-dejavu-core
    fortunes-ru
)
bench_packages=(libstemmer-dev fortunes python3-sklearn python3-numpy xvfb xauth imagemagick)

if [[ "${1:-}" == "--bench" ]]; then
    packages+=("${bench_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}" >&2
    sudo=""
    if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
