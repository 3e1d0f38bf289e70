#!/usr/bin/env bash
# Installs what is missing, builds, and shows a data file: the one given, or a
# sample recording made for the purpose.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${CORE_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
file="${1:-}"
if [ -z "$file" ]; then
    file=samples/sample.dat
    mkdir -p samples
    build/tools/corvane-sim/corvane-sim write "$file" --report-text >/dev/null
fi
build/tools/ozmar-tool/ozmar-tool dump "$file"
