#!/usr/bin/env bash
# Tries the desktop program as a person would, on a real X server (Xvfb) with a
# window manager (openbox), driven by xdotool, and keeps screenshots in the
# given folder (default: screenshots/desktop/):
#   - three start/exit cycles through File > Exit, each starting from the
#     configuration file the one before wrote: the frame must come back on the
#     very rectangle it was left at (the script fails otherwise);
#   - the About box, the Name to Send dialog, the Open dialog, Tools > Speed and
#     the Auto Upload folder dialog;
#   - a reception from the instrument simulator: the progress dialog, then the report.
# Needs the build (./run.sh or ./test.sh makes it). Installs xvfb, openbox,
# xdotool and imagemagick when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
out="$(realpath -m "${1:-screenshots/desktop}")"
source scripts/packages.sh
ensure_packages xvfb openbox xdotool imagemagick x11-utils
mkdir -p "$out" samples
[ -f samples/sample.dat ] || build/tools/corvane-sim/corvane-sim write samples/sample.dat --seconds 120 --report-text >/dev/null

work=$(mktemp -d)
export DISPLAY=:${OZMAR_CHECK_DISPLAY:-71}
pids=()
cleanup() {
    pkill -f "$top/build/ozmar" 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
Xvfb "$DISPLAY" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 & pids+=($!)
sleep 0.5
# A pseudo-terminal stands in for the serial port, so the program starts
# without port questions and writes its configuration file at exit.
python3 -c 'import os,pty,time; m,s=pty.openpty(); print(os.ttyname(s), flush=True); time.sleep(600)' > "$work/pty" & pids+=($!)
for _ in $(seq 50); do [ -s "$work/pty" ] && break; sleep 0.1; done
for n in 1 2 3 4 5 6 7 8; do export "OZMAR_COM$n=$(cat "$work/pty")"; done
cp samples/sample.dat "$work/sample.dat"

frame() { xdotool search --name "^Ozmar - " | head -n 1; }
start() {
    (cd "$work" && "$top/build/ozmar" sample.dat >>"$work/log" 2>&1 &)
    for _ in $(seq 100); do [ -n "$(frame)" ] && break; sleep 0.1; done
    sleep 1
}
quit() {
    xdotool key --clearmodifiers alt+f; sleep 0.4; xdotool key x
    for _ in $(seq 50); do pgrep -f "$top/build/ozmar" >/dev/null || return 0; sleep 0.1; done
    echo "the program did not exit" >&2; return 1
}
geometry() { xdotool getwindowgeometry "$(frame)" | tail -n 2 | tr -s ' \n' ' '; }

# The first start has no configuration: the frame is maximised. Give it a
# place of its own (a double click on the title bar restores it), then cycle.
start
xdotool mousemove 640 9 click --repeat 2 --delay 80 1; sleep 0.6
xdotool windowsize "$(frame)" 900 620; xdotool windowmove "$(frame)" 120 70; sleep 0.6
left=$(geometry)
quit
for cycle in 1 2 3; do
    start
    now=$(geometry)
    import -window root "$out/cycle$cycle.png"
    echo "cycle $cycle: $now"
    if [ "$now" != "$left" ]; then
        echo "the frame moved: left at [$left], came back at [$now]" >&2
        exit 1
    fi
    quit
done

start
xdotool key --clearmodifiers alt+a; sleep 0.8
import -window root "$out/about.png"
xdotool key Return; sleep 0.3
xdotool key --clearmodifiers alt+c; sleep 0.4; xdotool key n; sleep 0.6
xdotool type --delay 20 "Corvane Room 4"; sleep 0.3
import -window root "$out/name-to-send.png"
xdotool key Escape; sleep 0.3
xdotool key --clearmodifiers ctrl+o; sleep 1.2
import -window root "$out/open-dialog.png"
xdotool key Escape; sleep 0.3
xdotool key --clearmodifiers alt+t; sleep 0.4; xdotool key s; sleep 0.5
import -window root "$out/speed-menu.png"
xdotool key Escape Escape Escape; sleep 0.3
xdotool key --clearmodifiers ctrl+u; sleep 1.2
import -window root "$out/auto-upload-dialog.png"
xdotool key Escape; sleep 0.3
quit

# A reception from the instrument simulator, held just before its end so the
# progress dialog can be seen.
"$top/build/tools/corvane-sim/corvane-sim" write "$work/four.dat" --seconds 120 --channels 4 >/dev/null
# The simulator starts sending a moment after the program has opened the line
# at start-up; Receive Data is chosen within that moment.
"$top/build/tools/corvane-sim/corvane-sim" send "$work/four.dat" --settle 2500 --stall 4000 > "$work/sim" 2>/dev/null & pids+=($!)
for _ in $(seq 50); do [ -s "$work/sim" ] && break; sleep 0.1; done
for n in 1 2 3 4 5 6 7 8; do export "OZMAR_COM$n=$(head -n 1 "$work/sim")"; done
start
xdotool key --clearmodifiers ctrl+F3; sleep 2.5
import -window root "$out/receive-progress.png"
sleep 4
import -window root "$out/received-report.png"
# The received treatment is not saved: Exit asks, and No leaves it.
xdotool key --clearmodifiers alt+f; sleep 0.4; xdotool key x; sleep 0.6; xdotool key n
for _ in $(seq 50); do pgrep -f "$top/build/ozmar" >/dev/null || break; sleep 0.1; done
echo "frame kept [$left] over three start/exit cycles; screenshots in $out"
