#!/usr/bin/env bash
# Peak memory of qismar-cli on one very long line: a 300 MB number, key,
# string or run of blanks, each followed by an ordinary case. The long line
# must give one short error line and the next case must still be divided,
# with the peak memory close to that of a one-line input.
# Options for qismar-cli (say --jobs 0) may follow.
# Usage: bench/cli_long_line.sh [build dir] [megabytes] [options...]
set -euo pipefail
build=${1:-build}
mb=${2:-300}
shift $(( $# < 2 ? $# : 2 ))
options=("$@")
cli="$build/bin/qismar-cli"
bytes=$((mb * 1000 * 1000))
out=$(mktemp)
peakFile=$(mktemp)
trap 'rm -f "$out" "$peakFile"' EXIT

# BYTES copies of one character, streamed: the line is never held in a file.
filler() { head -c "$bytes" /dev/zero | tr '\0' "$1"; }

ordinary() { :; }
number()   { printf '{"estate": '; filler 1; printf '}\n'; }
key()      { printf '{"'; filler k; printf '": 1}\n'; }
text()     { printf '{"deceased": "'; filler m; printf '"}\n'; }
blanks()   { printf '{'; filler ' '; printf '}\n'; }

measure() {
  local what=$1 producer=$2 status
  set +e
  { "$producer"; printf '%s\n' '{"sons":1,"estate":"7"}'; } | /usr/bin/time -o "$peakFile" -f %M "$cli" "${options[@]}" >"$out"
  status=${PIPESTATUS[1]}
  set -e
  printf '%-22s peak %6.1f MB   exit %d   %d lines, %d bytes of output\n' "$what" \
    "$(awk -v k="$(tail -n 1 "$peakFile")" 'BEGIN { print k / 1024 }')" "$status" \
    "$(wc -l < "$out")" "$(wc -c < "$out")"
  if [ "$producer" != ordinary ]; then
    [ "$(wc -l < "$out")" -eq 2 ] && grep -q '^{"error": "line too long' "$out" \
      || { echo "  expected one 'line too long' error line" >&2; exit 1; }
  fi
  tail -n 1 "$out" | grep -q '"amount": "7"' || { echo "  the case after it was not divided" >&2; exit 1; }
}

echo "qismar-cli${options[*]:+ ${options[*]}}, peak resident memory (/usr/bin/time %M) on one ${mb} MB line"
measure "one ordinary case" ordinary
measure "a ${mb} MB number" number
measure "a ${mb} MB key" key
measure "a ${mb} MB string" text
measure "${mb} MB of blanks" blanks
