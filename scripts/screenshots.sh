#!/usr/bin/env bash
# Screenshots of the desktop program with sample recordings: the frame with
# the report open, the File menu and the Format menu, the report's trace
# strip, the Graph, FFT, Bands and Spectrum windows of a two- and a
# four-channel recording, the Save As Image and Save Raw Data As Text dialogs
# with their panels, the Patient Info dialog and its Export file dialog with
# the field panel and the file tip, playback and live monitoring (from the
# instrument simulator) with the two tool windows, and two printed report pages
# (pdftoppm of the /printpdf output), and the panels of a sample treatment
# course (ozmar-tool course --plot), as PNG files in the given folder
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
# A course of eight treatments of one patient, two or three a week, the charge raised once.
course=samples/course
if [ ! -f "$course/t8.dat" ]; then
    mkdir -p "$course"
    days=(2026-03-02 2026-03-04 2026-03-06 2026-03-09 2026-03-11 2026-03-13 2026-03-16 2026-03-18)
    for i in "${!days[@]}"; do
        build/tools/corvane-sim/corvane-sim write "$course/t$((i + 1)).dat" --seconds 60 --seed $((i * 7 + 2)) \
            --date "${days[$i]}" >/dev/null
    done
    build/tools/ozmar-tool/ozmar-tool patient "$course"/t*.dat --id P-1042 --name "Sample Patient" >/dev/null
fi
build/tools/ozmar-tool/ozmar-tool course "$course" --patient P-1042 --plot "$out/course-plot.png" >/dev/null
echo "wrote $out/course-plot.png"
