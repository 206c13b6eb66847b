#!/usr/bin/env bash
# Builds Corvane and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --test-dir build -j2 --output-on-failure --timeout 600
