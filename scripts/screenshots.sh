#!/bin/sh
# Takes the screenshots of every window of the desktop program under a
# virtual X display, at the two screen sizes the windows are checked at,
# into docs/screenshots/1280x800/ and docs/screenshots/1024x600/, and the
# pages of the report of each case of the results as
# docs/screenshots/report-<case>-page-N.png.
# Usage: scripts/screenshots.sh [build folder]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
cmake --build "$build" --target entry_screenshots results_screenshots shell_screenshots qismar_recitation qismar_data
for size in 1280x800 1024x600; do
  out="$here/docs/screenshots/$size"
  mkdir -p "$out"
  # The program's folder holds the texts that the windows show.
  (cd "$build/bin" &&
   xvfb-run -a -s "-screen 0 ${size}x24" ./entry_screenshots "$out" &&
   xvfb-run -a -s "-screen 0 ${size}x24" ./results_screenshots "$out" "$out/reports" &&
   xvfb-run -a -s "-screen 0 ${size}x24" ./shell_screenshots "$out")
done
# The pages of the reports, as the PDFs have them.
rm -f "$here"/docs/screenshots/report-*-page-*.png
for report in "$here"/docs/screenshots/1280x800/reports/report-*.pdf; do
  name=$(basename "$report" .pdf)
  pdftoppm -r 80 -png "$report" "$here/docs/screenshots/$name-page"
done
rm -rf "$here"/docs/screenshots/*/reports
