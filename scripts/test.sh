#!/usr/bin/env bash
# Installs what is needed, builds the project three ways and runs every test:
#   build/release  Release build with the benchmarks (built, not run); the program then runs for a minute against
#                  the loopback servers (scripts/run.sh --demo 60) and leaves its screenshot in build/demo-screenshot.png
#   build/tsan     ThreadSanitizer build of the multi-threaded tests
#   build/test     AddressSanitizer + UndefinedBehaviorSanitizer build of everything; all tests run here, the widget
#                  end-to-end tests (CTest labels *_xvfb) under xvfb-run
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/test-steps.sh
. scripts/test-steps.sh

echo "== Release build with benchmarks"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DAEROVANE_BENCH=ON -DAEROVANE_TESTS=OFF >/dev/null
cmake --build build/release -j "$jobs"

echo "== The program's main job, headless: connect, download and send the weather for a minute"
AEROVANE_SKIP_INSTALL=1 ./scripts/run.sh --demo 60

echo "== ThreadSanitizer build"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DAEROVANE_TSAN=ON >/dev/null
tsan_targets=$(grep -o '^[a-z_]*_tests' scripts/tsan-tests.txt | tr '\n' ' ')
if [ -n "$tsan_targets" ]; then
    # shellcheck disable=SC2086
    cmake --build build/tsan -j "$jobs" --target $tsan_targets
    for target in $tsan_targets; do
        (cd build/tsan && TZ=UTC ctest -j "$jobs" --output-on-failure -L "$target")
    done
fi

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
build_sanitizer_tests
run_offscreen_tests
echo "== Widget end-to-end tests on a real X server"
run_xvfb_tests
