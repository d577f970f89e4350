#!/bin/sh
# Installs the Debian packages the build and the tests need, and nothing else.
# Safe to run again: apt-get is skipped when every package is already present.
# HALVARO_BENCH_PACKAGES=1 adds the libraries the benchmarks measure against
# (expat, muParser); the game and the tests never use them.
set -eu

PACKAGES="build-essential cmake pkg-config git
libsdl2-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev libvorbisidec-dev libxmp-dev
libfreetype-dev libfontconfig-dev fonts-dejavu-core clang-format
libgtest-dev libgmock-dev libbenchmark-dev
xvfb xauth"
if [ "${HALVARO_BENCH_PACKAGES:-0}" = 1 ]; then
    PACKAGES="$PACKAGES libexpat1-dev libmuparser-dev"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    # shellcheck disable=SC2086
    $SUDO apt-get install -y -qq --no-install-recommends $missing
else
    echo "setup: every package is present"
fi
