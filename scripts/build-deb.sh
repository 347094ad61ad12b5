#!/usr/bin/env bash
# Builds the Debian package of Qismar from this checkout:
#   ./scripts/build-deb.sh        ->  build-deb/qismar_<version>_<arch>.deb
# then installs with: sudo apt install ./build-deb/qismar_*.deb
# It installs the build's Debian packages, builds the programs (Release,
# with Debian's hardening flags, without the tests and benchmarks) in
# build-deb/, makes the package with CPack and shows lintian's report.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

# Debian's own compiler and linker flags for packages, all hardening on.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQISMAR_BUILD_TESTS=OFF -DQISMAR_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$ldflags"
cmake --build build-deb -j"$(nproc 2>/dev/null || echo 2)"
(cd build-deb && cpack -G DEB)

deb=$(ls build-deb/qismar_*.deb)
if command -v lintian >/dev/null; then
  echo "== lintian $deb"
  lintian --allow-root --pedantic -I "$deb" || true
fi
echo "== built $deb"
echo "Install it with: sudo apt install ./$deb"
