#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test:
#   1. installs the Debian packages the build needs;
#   2. builds the whole project (Release) and runs all tests through ctest,
#      the desktop program's tests headless;
#   3. builds the engine, command-line and window tests once more with
#      AddressSanitizer and UndefinedBehaviorSanitizer and runs them, the
#      windows headless;
#   4. builds the libFuzzer target with clang and gives it a short run over
#      its seed cases, so that it keeps building and keeps passing.
# The benchmarks are built in step 2 but not run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

echo "== build and test (Release)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== engine, command-line and window tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# The window tests run headless. The leaks that the sound and session-bus
# libraries keep for the life of the process are not the program's
# (tests/lsan.supp); the test programs are listed at build time, so leak
# checking is off while building.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQISMAR_SANITIZE=ON -DQISMAR_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE package -E '^shell\.install$'

echo "== fuzz target (clang, libFuzzer) on its seeds"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQISMAR_BUILD_FUZZ=ON -DQISMAR_SANITIZE=ON -DQISMAR_BUILD_GUI=OFF -DQISMAR_BUILD_TESTS=OFF -DQISMAR_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$jobs" --target fuzz_cases
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/seeds/* "$corpus"/
./build-fuzz/bin/fuzz_cases "$corpus" -runs=200000 -max_len=4096 -timeout=10 -artifact_prefix="$corpus/"

echo "== all tests passed"
