#!/usr/bin/env bash
# Builds Corvane and shows what it does on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
sample=tests/fixtures/container/sample.cvlda
build/bin/corvane-cli info "$sample"
build/bin/corvane-cli docs "$sample" --lda
