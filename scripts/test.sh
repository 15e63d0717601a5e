#!/usr/bin/env bash
# Installs what is needed, builds the project three ways and runs every test:
#   build/release  Release build with the benchmarks (built, not run); the program then runs for a minute against
#                  the loopback servers (scripts/run.sh --demo 60) and leaves its screenshot in build/demo-screenshot.png
#   build/tsan     ThreadSanitizer build of the multi-threaded tests
#   build/test     AddressSanitizer + UndefinedBehaviorSanitizer build of everything; all tests run here, the widget
#                  end-to-end tests (CTest labels *_xvfb) under xvfb-run
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${AEROVANE_SKIP_INSTALL:-0}" != 1 ]; then
    ./scripts/install-deps.sh
fi

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

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
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DAEROVANE_SANITIZE=ON >/dev/null
cmake --build build/test -j "$jobs"
(cd build/test && TZ=UTC ctest -j "$jobs" --output-on-failure -LE xvfb)
echo "== Widget end-to-end tests on a real X server"
# The X keyboard library gives strndup strings shorter than the length it passes, as strndup allows; strict
# string checks would count that as an overflow.
# The first-start tests (FirstStart in their names: the window's placement, the planner page maximised) also run on a
# 1024 x 768 screen; the full run on a large one closes the output with its summary.
(cd build/test && TZ=UTC ASAN_OPTIONS="${ASAN_OPTIONS/:strict_string_checks=1/}" \
    xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -L xvfb -R FirstStart)
(cd build/test && TZ=UTC ASAN_OPTIONS="${ASAN_OPTIONS/:strict_string_checks=1/}" \
    xvfb-run -a -s "-screen 0 1600x1200x24" ctest -j "$jobs" --output-on-failure -L xvfb)
