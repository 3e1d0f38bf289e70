#!/usr/bin/env bash
# Runs the thread tests and the desktop program's monitoring and transfer tests
# N times (default 50) while stress-ng keeps both cores busy, and prints
# "N passed, M failed" with the names of the tests that failed. Not part of
# ./test.sh: a long run that shows a result does not hang on thread timing.
# Usage: scripts/soak.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-50}
source scripts/packages.sh
ensure_packages "${CORE_PACKAGES[@]}" "${UI_PACKAGES[@]}" stress-ng
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOZMAR_BENCH=ON >/dev/null
cmake --build build --target ozmar_thread_tests ozmar_ui_tests >/dev/null

stress-ng --cpu 2 --timeout 0 >/dev/null 2>&1 &
stress=$!
trap 'kill "$stress" 2>/dev/null || true; wait "$stress" 2>/dev/null || true' EXIT

log=$(mktemp)
passed=0
failed=0
declare -A failures=()
for round in $(seq "$rounds"); do
    ok=1
    build/tests/ozmar_thread_tests --gtest_brief=1 >"$log" 2>&1 || ok=0
    build/tests/ozmar_ui_tests --gtest_brief=1 --gtest_filter='MonitorWindows.*:AutoUploadPaths.*:TransferCommands.*:GuiQueue.*:CourseWindowTest.*' >>"$log" 2>&1 || ok=0
    if [ $ok -eq 1 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        while read -r name; do
            failures[$name]=$(( ${failures[$name]:-0} + 1 ))
        done < <(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_./]*\).*/\1/p' "$log" | sort -u)
        [ "$(grep -c 'FAILED' "$log")" -eq 0 ] && failures["(crashed or hung: round $round)"]=1
        cp "$log" "build/soak-round-$round.log"
    fi
    echo "round $round: $([ $ok -eq 1 ] && echo passed || echo "failed (build/soak-round-$round.log)")"
done
rm -f "$log"
for name in "${!failures[@]}"; do
    echo "failed: $name (${failures[$name]} rounds)"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
