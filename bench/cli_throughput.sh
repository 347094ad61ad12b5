#!/usr/bin/env bash
# Times the qismar-cli program end to end over a 100 000-line JSON Lines file
# (reading, parsing, dividing and writing), best of five runs, on one core,
# plainly and with --explain.
# Usage: bench/cli_throughput.sh [build dir]
set -euo pipefail
build=${1:-build}
bin="$build/bin"
file=$(mktemp --suffix=.jsonl)
trap 'rm -f "$file"' EXIT
"$bin/engine_bench" --write-cases="$file" 100000
measure() {
  local best="" start end ns run
  for run in 1 2 3 4 5; do
    start=$(date +%s%N)
    taskset -c 0 "$bin/qismar-cli" "$@" < "$file" > /dev/null
    end=$(date +%s%N)
    ns=$((end - start))
    if [ -z "$best" ] || [ "$ns" -lt "$best" ]; then best=$ns; fi
  done
  echo "$best"
}
lines=$(wc -l < "$file")
plain=$(measure)
explained=$(measure --explain)
awk -v n="$lines" -v ns="$plain" 'BEGIN { printf "qismar-cli: %d cases in %.1f ms: %.0f cases per second\n", n, ns / 1e6, n / (ns / 1e9) }'
awk -v n="$lines" -v ns="$explained" -v plain="$plain" 'BEGIN { printf "qismar-cli --explain: %d cases in %.1f ms: %.0f cases per second (%.2f of the plain figure)\n", n, ns / 1e6, n / (ns / 1e9), plain / ns }'
