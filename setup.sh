#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging the program need, and
# those the program needs to run. Safe to run again: installs only what is missing, quietly.
# The benchmark scripts install their own peers (bench/README.md).
set -euo pipefail

packages=(
    # compilers and build tools; clang and its runtime for the sanitizers and libFuzzer
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    # libraries (Qt brings its OpenGL headers and platform plugins along)
    qt6-base-dev libxml2-dev libgmime-3.0-dev libuchardet-dev libgtest-dev
    # at run time: the window icon (SVG) and fonts for windows drawn without a screen
    libqt6svg6 fonts-dejavu-core
    # the Debian package: cpack's file types, and the checks of its desktop entry and AppStream data
    file desktop-file-utils appstream
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
