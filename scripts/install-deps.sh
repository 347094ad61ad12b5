#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Qismar needs.
# Safe to run again: apt skips what is already installed.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  # Qt 6 and its Arabic translations of the standard dialogs
  qt6-base-dev qt6-svg-dev qt6-multimedia-dev qt6-translations-l10n
  # recitation playback
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  # tests, benchmarks, the command-line interface
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  # the case objects read at the speed of the machine (qismar-cli, case files)
  libsimdjson-dev
  # the text map of the PDF reports (the package depends on libqpdf29 through dpkg-shlibdeps)
  libqpdf-dev
  # headless display, screenshots, Arabic fonts
  xvfb xauth fonts-noto-core fonts-hosny-amiri imagemagick
  # peak memory in the benchmarks (/usr/bin/time)
  time
  # reading the PDF reports in the tests (pdfinfo, pdffonts, pdftotext) and
  # turning their pages into pictures (pdftoppm)
  poppler-utils
  # the Debian package: CPack's dependency scan (file, dpkg-shlibdeps) and its
  # checks (lintian; appstreamcli for the software centres' description)
  file dpkg-dev lintian appstream
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
