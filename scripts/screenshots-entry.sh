#!/bin/sh
# Takes the screenshots of the heir-entry window, the heir dialogs, the
# information window and a results window into docs/screenshots/, under a
# virtual X display. Usage: scripts/screenshots-entry.sh [build folder]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
cmake --build "$build" --target entry_screenshots qismar_data
mkdir -p "$here/docs/screenshots"
# The program's folder holds qanoon.txt, which the information window reads.
cd "$build/bin"
xvfb-run -a -s "-screen 0 1280x1024x24" ./entry_screenshots "$here/docs/screenshots"
