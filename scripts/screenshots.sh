#!/usr/bin/env bash
# Screenshots of the desktop program with sample recordings: the frame with
# the report open, the File menu and the Format menu, the report's trace
# strip, the Graph, FFT, Bands and Spectrum windows of a two- and a
# four-channel recording, the Save As Image and Save Raw Data As Text dialogs
# with their panels, the Patient Info dialog and its Export file dialog with
# the field panel and the file tip, playback and live monitoring (from the
# instrument simulator) with the two tool windows, and two printed report pages
# (pdftoppm of the /printpdf output), as PNG files in the given folder
# (default: screenshots/). Needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-screenshots}"
mkdir -p "$out" samples
[ -f samples/sample.dat ] || build/tools/corvane-sim/corvane-sim write samples/sample.dat --seconds 120 --report-text >/dev/null
[ -f samples/four.dat ] || build/tools/corvane-sim/corvane-sim write samples/four.dat --seconds 120 --channels 4 --seed 3 >/dev/null
QT_QPA_PLATFORM=offscreen LC_ALL=C build/tools/screenshots/ozmar-screenshots samples/sample.dat "$out" samples/four.dat
# Two printed pages of the report (everything on), from the PDF /printpdf writes.
build/ozmar /printpdf /rall samples/sample.dat "$out/report-print.pdf"
pdftoppm -r 60 -png -f 1 -l 2 "$out/report-print.pdf" "$out/print-page"
echo "wrote $out/print-page-1.png $out/print-page-2.png"
