#!/usr/bin/env bash
# Times the qismar-cli program end to end (reading, parsing, dividing and
# writing) on two files of 100 000 cases: the benchmark's mix of short lines,
# and the same cases with every field written. Each figure is the median of
# RUNS runs (default 5). One job runs on one core, plainly and with
# --explain; --jobs 0 runs on every core over a million-line file.
#
# Given a second build folder (a build of an earlier version, say), its
# program is timed in the same runs, turn about, and each figure is given as
# a ratio of the two.
#
# Usage: bench/cli_throughput.sh [build dir] [baseline build dir]
set -euo pipefail
build=${1:-build}
baseline=${2:-}
runs=${RUNS:-5}
bin="$build/bin"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$bin/engine_bench" --write-cases="$dir/short.jsonl" 100000
"$bin/engine_bench" --write-full-cases="$dir/full.jsonl" 100000
"$bin/engine_bench" --write-cases="$dir/million.jsonl" 1000000
cores=$(nproc)

# Nanoseconds of one run: PROGRAM FILE CORES [OPTIONS...]
once() {
  local program=$1 file=$2 cpus=$3 start end
  shift 3
  start=$(date +%s%N)
  taskset -c "$cpus" "$program" "$@" < "$file" > /dev/null
  end=$(date +%s%N)
  echo $((end - start))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# Prints "NEW BASE" medians in nanoseconds (BASE empty without a baseline,
# or when WITH_BASE is "no"): FILE CORES [OPTIONS...]
measure() {
  local file=$1 cpus=$2 run base=$baseline
  shift 2
  [ "${WITH_BASE:-yes}" = yes ] || base=""
  : > "$dir/new"
  : > "$dir/base"
  for run in $(seq "$runs"); do
    once "$bin/qismar-cli" "$file" "$cpus" "$@" >> "$dir/new"
    if [ -n "$base" ]; then
      once "$base/bin/qismar-cli" "$file" "$cpus" "$@" >> "$dir/base"
    fi
  done
  echo "$(median < "$dir/new") $( [ -n "$base" ] && median < "$dir/base" )"
}

report() {
  local what=$1 lines=$2 new=$3 base=${4:-}
  awk -v what="$what" -v n="$lines" -v ns="$new" -v base="$base" 'BEGIN {
    printf "%-34s %8.1f ms  %9.0f cases per second", what, ns / 1e6, n / (ns / 1e9)
    if (base != "") printf "   (baseline %8.1f ms: %.2f times its throughput)", base / 1e6, base / ns
    printf "\n" }'
}

echo "qismar-cli, median of $runs runs${baseline:+, beside $baseline}"
for name in short full; do
  file="$dir/$name.jsonl"
  lines=$(wc -l < "$file")
  bytes=$(wc -c < "$file")
  echo "$name lines: $lines cases, $((bytes / lines)) bytes a line"
  read -r plain plainBase <<< "$(measure "$file" 0)"
  report "  one job" "$lines" "$plain" "$plainBase"
  read -r explained explainedBase <<< "$(measure "$file" 0 --explain)"
  report "  one job, --explain" "$lines" "$explained" "$explainedBase"
  awk -v p="$plain" -v e="$explained" 'BEGIN { printf "  --explain runs at %.2f of the plain figure\n", p / e }'
done

file="$dir/million.jsonl"
lines=$(wc -l < "$file")
echo "a million short lines, $cores cores"
read -r one _ <<< "$(WITH_BASE=no measure "$file" 0)"
report "  one job" "$lines" "$one"
read -r all _ <<< "$(WITH_BASE=no measure "$file" "0-$((cores - 1))" --jobs 0)"
report "  --jobs 0" "$lines" "$all"
awk -v one="$one" -v all="$all" -v n="$cores" 'BEGIN {
  printf "  --jobs 0: %.2f times the one-job figure on %d cores (%.2f x N)\n", one / all, n, one / all / n }'
if ! cmp -s <("$bin/qismar-cli" < "$file") <("$bin/qismar-cli" --jobs 0 < "$file"); then
  echo "  --jobs 0 wrote other output than one job" >&2
  exit 1
fi
