#!/usr/bin/env bash
# qismar --version and --help answer before any window system is touched:
# with no display, no platform chosen and an empty environment they print
# their text on standard output and end with status 0.
#   info_options_test.sh QISMAR VERSION
set -euo pipefail
program=$1
version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

check() {
  local args=$1 want=$2 out status
  set +e
  out=$(cd / && env -i PATH=/usr/bin:/bin "$program" $args 2>/tmp/qismar-info-err.$$)
  status=$?
  set -e
  local err
  err=$(cat /tmp/qismar-info-err.$$); rm -f /tmp/qismar-info-err.$$
  [ "$status" -eq 0 ] || fail "qismar $args ended with status $status: $err"
  [ -z "$err" ] || fail "qismar $args wrote on standard error: $err"
  case "$out" in
    $want) ;;
    *) fail "qismar $args printed: $out" ;;
  esac
}

# arguments            what standard output must match (a shell pattern)
check "--version"      "qismar $version"
check "--help"         "القسمار: *--version*usage: qismar*--version*"
check "-h"             "القسمار: *"
check "-platform xcb --version" "qismar $version"
[ "$(cd / && env -i "$program" --version)" = "qismar $version" ] || fail "the version line is not exactly 'qismar $version'"
echo "qismar --version and --help without a display: OK"
