#!/usr/bin/env bash
# Measures Qismar's start-up against a Qt program that shows one empty window,
# both started many times in the same run: on the offscreen platform, then on
# a virtual X display when Xvfb is installed.
#
#   bench/startup/run_startup_bench.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR defaults to ./build; build the targets qismar_startup_probe,
# qismar_minimal_window, qismar_startup_harness and qismar_data first.
# Target: at most 1.5 times the empty window's time to its first frame drawn,
# and at most 15 MB more memory.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-30}
bin="$build/bin"
for program in qismar_startup_probe qismar_minimal_window qismar_startup_harness; do
    if [ ! -x "$bin/$program" ]; then
        echo "missing $bin/$program: build it first (cmake --build $build --target $program)" >&2
        exit 2
    fi
done

# The program reads its introduction while starting: run it where its data
# files are, or in a scratch folder with a small introduction of its own.
folder="$bin"
scratch=""
if [ ! -f "$bin/introduc.txt" ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    printf 'Introduction\r\n' > "$scratch/introduc.txt"
    folder="$scratch"
fi

harness=("$bin/qismar_startup_harness" --runs "$runs" --warmup 3 --dir "$folder"
         "qismar=$bin/qismar_startup_probe" "empty=$bin/qismar_minimal_window")

status=0
echo "== offscreen platform"
QT_QPA_PLATFORM=offscreen "${harness[@]}" || status=$?

if command -v xvfb-run >/dev/null 2>&1; then
    echo "== X11 (Xvfb, server already running)"
    xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "${harness[@]}" || status=$?
else
    echo "== X11: skipped (xvfb-run is not installed)"
fi
exit "$status"
