#!/usr/bin/env bash
# Installs what is missing, configures and builds Corvane into build/ (programs in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build
