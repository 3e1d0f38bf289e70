#!/usr/bin/env bash
# Runs a short session of the desktop program (tests/ui/desktopSessionTest.cpp:
# open a recording, the Graph and FFT windows, play back one epoch, exit with
# the configuration written) natively on Wayland, on a headless Weston
# compositor of its own. When Weston cannot start, says so and skips.
# Usage: scripts/waylandSession.sh BUILD
set -euo pipefail
build=${1:?usage: scripts/waylandSession.sh BUILD}
runtime=$(mktemp -d)
chmod 700 "$runtime"
socket="ozmar-wayland-$$"
log="$runtime/weston.log"
weston_pid=""
cleanup() {
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$runtime"
if ! command -v weston >/dev/null; then
    echo "Wayland session skipped: weston is not installed"
    exit 0
fi
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 >"$log" 2>&1 &
weston_pid=$!
# The compositor is ready once its socket exists.
for _ in $(seq 100); do
    [ -S "$runtime/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
    echo "Wayland session skipped: Weston could not start:"
    tail -n 5 "$log"
    exit 0
fi
WAYLAND_DISPLAY="$socket" OZMAR_TEST_PLATFORM=wayland LC_ALL=C \
    "$build/tests/ozmar_ui_tests" --gtest_filter='DesktopSession.*' --gtest_brief=1
echo "Wayland session passed"
