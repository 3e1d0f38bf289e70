#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on a data file (the
# one given, or a sample recording made by the instrument simulator): with a
# display, the desktop program showing its report; without one, the unattended
# summary of its report and spectral analysis, printed here and kept next to
# the data file.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${CORE_PACKAGES[@]}" "${UI_PACKAGES[@]}"
use_compiler_cache
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
file="${1:-}"
if [ -z "$file" ]; then
    mkdir -p samples
    file=samples/sample.dat
    [ -f "$file" ] || build/tools/corvane-sim/corvane-sim write "$file" --seconds 120 --report-text >/dev/null
fi
if [ -n "${DISPLAY:-}" ]; then
    exec build/ozmar /noserial "$file"
fi
out="${file%.*}.txt"
build/ozmar /summary /rbands "$file" "$out"
echo "Summary of $file written to $out:"
echo
# The summary is Windows-1252 text with CR LF line ends, as the program writes it everywhere.
iconv -f WINDOWS-1252 -t UTF-8 "$out" | tr -d '\r'
