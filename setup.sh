#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the program need.
# Safe to run again: installs only what is missing, quietly.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev
    libxml2-dev libgmime-3.0-dev libuchardet-dev libicu-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core hyperfine ripgrep
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    echo "setup: installing ${missing[*]}"
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
