#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and starts the program:
# installs the Debian packages, builds (Release), and starts the desktop
# program from the folder that holds its data files (it reads them by bare
# name from its current directory). Without a display it says so and shows
# the division engine at work through qismar-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"

sample='{"deceased": "woman", "spouse": true, "fullSisters": 2, "estate": "28000"}'

if [ ! -x build/bin/qismar ]; then
  echo "The desktop program is not built in this checkout; dividing a sample case with qismar-cli:"
  echo "$sample"
  echo "$sample" | build/bin/qismar-cli
  exit 0
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display was found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop program"
  echo "cannot open its window here. Start it from a graphical session, or under a virtual display:"
  echo "  xvfb-run -a sh -c 'cd build/bin && ./qismar'"
  echo "Meanwhile, the division engine divides a sample case through qismar-cli:"
  echo "$sample"
  echo "$sample" | build/bin/qismar-cli
  exit 0
fi

cd build/bin
exec ./qismar
