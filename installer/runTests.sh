#!/usr/bin/env bash
# Builds ravnative.dll and its test harness with MinGW-w64 and runs the tests
# under Wine in a fresh prefix inside the build folder, so the machine's own
# Wine registry is never touched. Without the cross compiler or Wine the tests
# are reported as skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-installer}"
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || ! command -v wine >/dev/null; then
    echo "ravnative tests skipped: MinGW-w64 or Wine is not installed"
    exit 0
fi
jni=$(dirname "$(find /usr/lib/jvm -name jni.h -path '*openjdk*' | head -n 1)")
cmake -S installer -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/installer/mingw64.cmake" -DJNI_INCLUDE_DIR="$jni" >/dev/null
cmake --build "$build"
prefix="$PWD/$build/wine-prefix"
rm -rf "$prefix"
cd "$build"
status=0
WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY= wine ravnativeTests.exe > tests.log 2>&1 || status=$?
# Wine's own start-up chatter is left out; the harness ends with "N passed, N failed".
tr -d '\r' < tests.log | grep -v -E '^(wine: |[0-9a-f]{4}:(err|fixme):)' || true
exit "$status"
