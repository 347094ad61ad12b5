#!/bin/sh
# Shows a text of 16 MiB (the largest the program reads) in the book viewer,
# headless, with lines of 1 MiB, 64 KiB and 100 bytes, and prints for each
# the time from the command to the viewer painted and the peak memory.
# Usage: bench/viewer_large_text.sh [build folder]
set -eu
build=${1:-build}
cmake --build "$build" --target bench_viewer_large_text >/dev/null
for line in 1048576 65536 100; do
  QT_QPA_PLATFORM=offscreen "$build/bin/bench_viewer_large_text" "$line" 2>/dev/null
done
