# shellcheck shell=bash
# Sourced by test.sh and stress-tests.sh from the project folder: installs what is needed (unless
# AEROVANE_SKIP_INSTALL=1), sets the environment the tests run in, and holds the steps both take with the
# AddressSanitizer + UndefinedBehaviorSanitizer build in build/test.

if [ "${AEROVANE_SKIP_INSTALL:-0}" != 1 ]; then
    ./scripts/install-deps.sh
fi

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

# The load the tests must bear: three stress-ng workers for every core, the load under which a test that leans on
# the wall clock fails on its first run. start_load starts it in the background, stop_load ends it.
load_pid=""
start_load() {
    stress-ng --cpu "$((3 * jobs))" --quiet &
    load_pid=$!
    echo "== stress-ng runs $((3 * jobs)) workers on $jobs cores"
}
stop_load() {
    if [ -n "$load_pid" ]; then
        kill "$load_pid" 2>/dev/null || true
        wait "$load_pid" 2>/dev/null || true
        load_pid=""
    fi
}

build_sanitizer_tests() {
    cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DAEROVANE_SANITIZE=ON >/dev/null
    cmake --build build/test -j "$jobs"
}

# Every test but the widget end-to-end ones.
run_offscreen_tests() {
    (cd build/test && TZ=UTC ctest -j "$jobs" --output-on-failure -LE xvfb)
}

# The widget end-to-end tests (CTest labels *_xvfb) on a real X server. The first-start tests (FirstStart in their
# names: the window's placement, the planner page maximised) also run on a 1024 x 768 screen; the full run on a large
# one closes the output with its summary. Fails when either run failed.
run_xvfb_tests() {
    # The X keyboard library gives strndup strings shorter than the length it passes, as strndup allows; strict
    # string checks would count that as an overflow.
    local asan="${ASAN_OPTIONS/:strict_string_checks=1/}"
    local status=0
    (cd build/test && TZ=UTC ASAN_OPTIONS="$asan" \
        xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -L xvfb -R FirstStart) || status=1
    (cd build/test && TZ=UTC ASAN_OPTIONS="$asan" \
        xvfb-run -a -s "-screen 0 1600x1200x24" ctest -j "$jobs" --output-on-failure -L xvfb) || status=1
    return "$status"
}
