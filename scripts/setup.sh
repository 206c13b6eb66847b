#!/usr/bin/env bash
# Installs every Debian package Corvane needs to build, test and run its demo.
# Idempotent: does nothing when all packages are present.
#   scripts/setup.sh          build, test and demo dependencies
#   scripts/setup.sh --bench  also the packages the benchmarks compare against
set -euo pipefail
cd "$(dirname "$0")/.."

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

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}" >&2
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The OpenCorpora dictionary the Russian analyser's lexicon is generated from: the npm package
# az, pinned by version and integrity hash, unpacked into .cache/ (the build reads it from there
# and needs no network afterwards).
az_version=0.2.3
az_integrity="sha512-U8d6Tw8ohZ8dcEp8aKjFYo+DU3BT8JPmYqmW0A0BsWW8ocP+F6gLZvrtglHq7pYa84dCEp3NHAoZoC4W3Lth2w=="
az_dir=".cache/az-$az_version"
if [[ ! -f "$az_dir/dicts/words.dawg" ]]; then
    if ! command -v npm >/dev/null; then
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends nodejs npm
    fi
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    echo "setup: fetching az@$az_version (OpenCorpora dictionary)" >&2
    (cd "$tmp" && npm pack "az@$az_version" --silent >/dev/null)
    actual="sha512-$(node -e 'process.stdout.write(require("crypto").createHash("sha512")
        .update(require("fs").readFileSync(process.argv[1])).digest("base64"))' "$tmp/az-$az_version.tgz")"
    if [[ "$actual" != "$az_integrity" ]]; then
        echo "setup: az-$az_version.tgz has integrity $actual, expected $az_integrity" >&2
        exit 1
    fi
    mkdir -p "$tmp/unpacked" "$az_dir"
    tar --no-same-owner -xzf "$tmp/az-$az_version.tgz" -C "$tmp/unpacked" package/dicts
    rm -rf "$az_dir/dicts"
    mv "$tmp/unpacked/package/dicts" "$az_dir/dicts"
fi
