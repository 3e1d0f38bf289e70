#!/usr/bin/env bash
# Makes the manual the package installs: docs/manual.md with fresh pictures
# of the program (scripts/screenshots.sh) in BUILD/manual, and its HTML page,
# which About > Manual opens.
# Usage: scripts/manual.sh BUILD
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/manual.sh BUILD}
source scripts/packages.sh
ensure_packages python3-markdown
out="$build/manual"
rm -rf "$out"
mkdir -p "$out/images"
scripts/screenshots.sh "$out/images" >/dev/null
rm -f "$out/images/report-print.pdf" "$out/images/print-page-2.png"
cp docs/manual.md "$out/manual.md"
# Every picture the manual shows must have been made.
for image in $(grep -o 'images/[a-z0-9-]*\.png' docs/manual.md); do
    [ -s "$out/$image" ] || { echo "the manual's $image was not made" >&2; exit 1; }
done
/usr/bin/python3 - "$out/manual.md" "$out/manual.html" <<'PY'
import sys

import markdown

text = open(sys.argv[1], encoding="utf-8").read()
body = markdown.markdown(text, extensions=["extra"])
page = f"""<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Ozmar: the clinician's manual</title>
<style>body {{ max-width: 60em; margin: 2em auto; padding: 0 1em; font-family: sans-serif; line-height: 1.45; }}
img {{ max-width: 100%; border: 1px solid #999; }} pre {{ background: #f4f4f4; padding: 0.6em; overflow-x: auto; }}</style>
</head><body>
{body}
</body></html>
"""
open(sys.argv[2], "w", encoding="utf-8").write(page)
PY
echo "manual: $out/manual.html"
