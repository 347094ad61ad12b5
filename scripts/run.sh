#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and starts the program:
# installs the Debian packages that are missing (with sudo when not run as
# root), builds the desktop program and qismar-cli (Release; not the tests
# or the benchmarks), and starts the program. When the build is up to date a
# second start only checks and starts, in a few seconds. Without a display
# it says so and shows the division engine at work through qismar-cli.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target qismar qismar_recitation qismar_data qismar-cli

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
  echo "  xvfb-run -a build/bin/qismar"
  echo "Meanwhile, the division engine divides a sample case through qismar-cli:"
  echo "$sample"
  echo "$sample" | build/bin/qismar-cli
  exit 0
fi

# The program finds its data files beside itself from any folder.
exec build/bin/qismar
