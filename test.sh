#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal
# build, the Debian package, the build under AddressSanitizer and
# UndefinedBehaviorSanitizer, the transfer and monitor threads and the windows
# that start them under ThreadSanitizer, the installer library under Wine, and
# short runs of the fuzz targets of the parsers of outside bytes.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${CORE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${UI_PACKAGES[@]}" "${PRINT_PACKAGES[@]}" "${EDF_PACKAGES[@]}" \
    "${PACKAGE_PACKAGES[@]}" "${INSTALLER_PACKAGES[@]}"
export QT_QPA_PLATFORM=offscreen
use_compiler_cache
export LC_ALL=C

echo "== layers: no include points up"
scripts/layerCheck.sh

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOZMAR_BENCH=ON >/dev/null
cmake --build build
# The research export's tests run the standard BIDS validator, from the npm registry into the build folder.
scripts/bidsValidator.sh build
(cd build && OZMAR_REQUIRE_BIDS_VALIDATOR=1 ctest --output-on-failure -j2)

echo "== a desktop session natively on Wayland (a headless Weston compositor)"
scripts/waylandSession.sh build

echo "== the Debian package"
scripts/packageCheck.sh build

echo "== sanitizer build and test"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOZMAR_SANITIZE=ON -DOZMAR_BENCH=OFF -DOZMAR_UI=OFF >/dev/null
cmake --build build-asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2)

echo "== the threads under ThreadSanitizer: transfers, the live Graph page and the monitor (repeated), and the windows that start them"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOZMAR_TSAN=ON -DOZMAR_BENCH=OFF -DOZMAR_UI=ON >/dev/null
cmake --build build-tsan --target ozmar_thread_tests ozmar_ui_tests
export TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsanQt.supp"
build-tsan/tests/ozmar_thread_tests --gtest_repeat=10 --gtest_brief=1
build-tsan/tests/ozmar_ui_tests --gtest_filter='MonitorWindows.*:AutoUploadPaths.*:TransferCommands.*:GuiQueue.*:CourseWindowTest.*:DesktopSession.*' --gtest_brief=1
unset TSAN_OPTIONS

echo "== ravnative under Wine"
installer/runTests.sh

echo "== fuzz smoke runs (stream reader, wire envelope, configuration file, live decoder, patient-only read)"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOZMAR_SANITIZE=ON \
    -DOZMAR_FUZZ=ON -DOZMAR_BENCH=OFF -DOZMAR_UI=OFF >/dev/null
cmake --build build-fuzz --target streamReaderFuzz wireEnvelopeFuzz configFileFuzz liveDecoderFuzz patientReadFuzz fuzzSeedWriter
# The short runs start from the kept corpora (scripts/fuzz.sh grows them) and
# the seeds, in a copy, so a test run never changes the repository.
corpus=build-fuzz/corpus
rm -rf "$corpus"
build-fuzz/tests/fuzz/fuzzSeedWriter "$corpus"
for name in stream wire config live patient; do
    [ -d "tests/fuzz/corpus/$name" ] && cp tests/fuzz/corpus/$name/* "$corpus/$name/"
done
build-fuzz/tests/fuzz/streamReaderFuzz -runs=200000 -seed=1 -max_len=4096 "$corpus/stream" 2>&1 | tail -n 2
build-fuzz/tests/fuzz/wireEnvelopeFuzz -runs=100000 -seed=1 -max_len=4096 "$corpus/wire" 2>&1 | tail -n 2
build-fuzz/tests/fuzz/configFileFuzz -runs=100000 -seed=1 -max_len=4096 "$corpus/config" 2>&1 | tail -n 2
build-fuzz/tests/fuzz/liveDecoderFuzz -runs=200000 -seed=1 -max_len=4096 "$corpus/live" 2>&1 | tail -n 2
build-fuzz/tests/fuzz/patientReadFuzz -runs=50000 -seed=1 -max_len=4096 "$corpus/patient" 2>&1 | tail -n 2
