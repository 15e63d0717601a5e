#!/usr/bin/env bash
# Runs the tests on a machine kept busy, to catch tests that lean on the wall clock before CI on a loaded machine
# does (a developer tool; CI does not run it). Builds the ASan/UBSan test build as test.sh does, keeps every core
# busy with stress-ng, runs every test but the widget end-to-end ones three times in a row, then the end-to-end
# tests three times on test.sh's X screens, stops the load and fails when any run failed. A wait that beats its
# limit only by luck rarely does so three times in a row.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/test-steps.sh
. scripts/test-steps.sh

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
build_sanitizer_tests

load=""
stop_load() {
    if [ -n "$load" ]; then
        kill "$load" 2>/dev/null || true
        wait "$load" 2>/dev/null || true
    fi
}
trap stop_load EXIT
trap 'exit 130' INT TERM
stress-ng --cpu "$jobs" --quiet &
load=$!
echo "== stress-ng keeps $jobs cores busy"

failed=()
for round in 1 2 3; do
    echo "== Every test but the widget end-to-end ones under load, round $round of 3"
    run_offscreen_tests || failed+=("offscreen round $round")
done
for round in 1 2 3; do
    echo "== Widget end-to-end tests under load, round $round of 3"
    run_xvfb_tests || failed+=("end-to-end round $round")
done

if [ "${#failed[@]}" -gt 0 ]; then
    printf 'Failed under load: %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "All tests passed under load"
