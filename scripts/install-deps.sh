#!/usr/bin/env bash
# Installs every Debian package the build, the tests (also under load, stress-tests.sh), the benchmarks and the headless
# demo run need. Run as root.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps.sh: run as root (apt-get install)" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
    build-essential cmake ninja-build pkg-config git \
    qtbase5-dev qtmultimedia5-dev \
    libboost-dev libpcre2-dev zlib1g-dev libcurl4-openssl-dev \
    libgtest-dev libgmock-dev libbenchmark-dev \
    tzdata locales \
    xvfb xauth imagemagick xdotool fonts-dejavu-core \
    poppler-utils python3-pyftpdlib curl stress-ng >/dev/null

# A comma-decimal locale for the tests that prove number formatting ignores the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
    sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    locale-gen >/dev/null
fi
