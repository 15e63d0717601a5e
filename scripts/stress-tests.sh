#!/usr/bin/env bash
# Runs the tests on a machine kept busy, to catch tests that lean on the wall clock. Builds the ASan/UBSan test build
# as test.sh does (nothing to do when test.sh has just made it), runs three stress-ng workers per core, and then:
#   stress-tests.sh         every test but the widget end-to-end ones three times in a row, then the end-to-end tests
#                           three times on test.sh's X screens (a wait that beats its limit only by luck rarely does
#                           so three times in a row)
#   stress-tests.sh --once  every test but the widget end-to-end ones once: the round .ci/run adds to test.sh
# Stops the load and fails when any run failed.
set -euo pipefail
cd "$(dirname "$0")/.."

offscreen_rounds=3
xvfb_rounds=3
case "${1:-}" in
    "") ;;
    --once) offscreen_rounds=1 xvfb_rounds=0 ;;
    *) echo "usage: $0 [--once]" >&2; exit 2 ;;
esac

# shellcheck source=scripts/test-steps.sh
. scripts/test-steps.sh

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
build_sanitizer_tests

trap stop_load EXIT
trap 'exit 130' INT TERM
start_load

failed=()
for ((round = 1; round <= offscreen_rounds; round++)); do
    echo "== Every test but the widget end-to-end ones under load, round $round of $offscreen_rounds"
    run_offscreen_tests || failed+=("offscreen round $round")
done
for ((round = 1; round <= xvfb_rounds; round++)); do
    echo "== Widget end-to-end tests under load, round $round of $xvfb_rounds"
    run_xvfb_tests || failed+=("end-to-end round $round")
done

if [ "${#failed[@]}" -gt 0 ]; then
    printf 'Failed under load: %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "All tests passed under load"
