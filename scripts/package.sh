#!/usr/bin/env bash
# Builds the Debian package ozmar_<version>_amd64.deb in build-package/ (a
# release build with the desktop program) and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${CORE_PACKAGES[@]}" "${UI_PACKAGES[@]}" dpkg-dev
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DOZMAR_TESTS=OFF -DOZMAR_BENCH=OFF >/dev/null
cmake --build build-package --target ozmar ozmar-tool corvane-sim
(cd build-package && cpack -G DEB >/dev/null)
ls build-package/ozmar_*_amd64.deb
