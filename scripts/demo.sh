#!/usr/bin/env bash
# Builds Corvane and runs its demo: 5,000 Russian quotes from text files to topics (lemmatization,
# dictionary, stop words, LDA with 20 topics, sorted words). Everything it writes goes to
# build/demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build/bin/corvane-cli demo --out build/demo
