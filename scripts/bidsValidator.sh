#!/usr/bin/env bash
# Installs the BIDS validator from the npm registry into BUILD/bids-validator
# (never system-wide), when it is not there yet; the tests of the research
# export run it on the datasets they make. Node.js and npm come from Debian's
# packages when the machine has no npm.
# Usage: scripts/bidsValidator.sh BUILD
set -euo pipefail
build=${1:?usage: scripts/bidsValidator.sh BUILD}
version=1.15.0
folder="$build/bids-validator"
binary="$folder/node_modules/.bin/bids-validator"
if [ -x "$binary" ] && [ "$("$binary" --version 2>/dev/null)" = "$version" ]; then
    exit 0
fi
if ! command -v npm >/dev/null; then
    source "$(dirname "$0")/packages.sh"
    ensure_packages nodejs npm
fi
mkdir -p "$folder"
echo "Installing bids-validator $version into $folder"
npm install --prefix "$folder" --no-audit --no-fund --loglevel=error "bids-validator@$version" >/dev/null
"$binary" --version
