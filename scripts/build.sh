#!/usr/bin/env bash
# Installs what is needed and builds the project and its developer tools in the Release configuration.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${AEROVANE_SKIP_INSTALL:-0}" != 1 ]; then
    ./scripts/install-deps.sh
fi

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DAEROVANE_BENCH=ON -DAEROVANE_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
echo "Built into build/release"
