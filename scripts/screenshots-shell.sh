#!/bin/sh
# Takes the screenshots of the main window, the text viewer, the verses
# window, the notice and the About window into docs/screenshots/, under a
# virtual X display. Usage: scripts/screenshots-shell.sh [build folder]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
cmake --build "$build" --target shell_screenshots qismar_recitation qismar_data
mkdir -p "$here/docs/screenshots"
# The program's folder holds the texts that the windows show.
cd "$build/bin"
xvfb-run -a -s "-screen 0 1280x1024x24" ./shell_screenshots "$here/docs/screenshots"
