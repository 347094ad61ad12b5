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

# Nanoseconds of one run by the clock, then of processor time (user and
# system, to the millisecond): PROGRAM FILE CORES [OPTIONS...]. The
# processor time is the steadier figure on a machine shared with others.
once() {
  local program=$1 file=$2 cpus=$3 start end cpu TIMEFORMAT='%3U %3S'
  shift 3
  start=$(date +%s%N)
  cpu=$( { time taskset -c "$cpus" "$program" "$@" < "$file" > /dev/null 2>&1; } 2>&1 )
  end=$(date +%s%N)
  echo "$((end - start)) $(awk -v t="$cpu" 'BEGIN { split(t, p, " "); printf "%.0f", (p[1] + p[2]) * 1e9 }')"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# Prints "NEW BASE NEWCPU BASECPU" medians in nanoseconds, by the clock and
# of processor time (the BASE figures empty without a baseline, or when
# WITH_BASE is "no"): FILE CORES [OPTIONS...]
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
  if [ -n "$base" ]; then
    echo "$(cut -d' ' -f1 "$dir/new" | median) $(cut -d' ' -f1 "$dir/base" | median)" \
         "$(cut -d' ' -f2 "$dir/new" | median) $(cut -d' ' -f2 "$dir/base" | median)"
  else
    # No baseline: the processor time still comes third.
    echo "$(cut -d' ' -f1 "$dir/new" | median) - $(cut -d' ' -f2 "$dir/new" | median) -"
  fi
}

# One line of figures: WHAT LINES NEW BASE NEWCPU BASECPU (nanoseconds; the
# BASE figures "-" without a baseline).
report() {
  local what=$1 lines=$2 new=$3 base=${4:--} cpu=${5:--} baseCpu=${6:--}
  awk -v what="$what" -v n="$lines" -v ns="$new" -v base="$base" -v cpu="$cpu" -v baseCpu="$baseCpu" 'BEGIN {
    printf "%-34s %8.1f ms  %9.0f cases per second", what, ns / 1e6, n / (ns / 1e9)
    if (base != "-") printf "   (baseline %8.1f ms: %.2f times its throughput)", base / 1e6, base / ns
    printf "\n"
    printf "%-34s %8.1f ms  of processor time", "", cpu / 1e6
    if (baseCpu != "-") printf "        (baseline %8.1f ms: %.2f times)", baseCpu / 1e6, baseCpu / cpu
    printf "\n" }'
}

echo "qismar-cli, median of $runs runs${baseline:+, beside $baseline}"
for name in short full; do
  file="$dir/$name.jsonl"
  lines=$(wc -l < "$file")
  bytes=$(wc -c < "$file")
  echo "$name lines: $lines cases, $((bytes / lines)) bytes a line"
  read -r plain plainBase plainCpu plainBaseCpu <<< "$(measure "$file" 0)"
  report "  one job" "$lines" "$plain" "$plainBase" "$plainCpu" "$plainBaseCpu"
  read -r explained explainedBase explainedCpu explainedBaseCpu <<< "$(measure "$file" 0 --explain)"
  report "  one job, --explain" "$lines" "$explained" "$explainedBase" "$explainedCpu" "$explainedBaseCpu"
  awk -v p="$plain" -v e="$explained" -v pc="$plainCpu" -v ec="$explainedCpu" 'BEGIN {
    printf "  --explain runs at %.2f of the plain figure (%.2f by processor time)\n", p / e, pc / ec }'
done

file="$dir/million.jsonl"
lines=$(wc -l < "$file")
echo "a million short lines, $cores cores"
read -r one _ oneCpu _ <<< "$(WITH_BASE=no measure "$file" 0)"
report "  one job" "$lines" "$one" - "$oneCpu"
read -r all _ allCpu _ <<< "$(WITH_BASE=no measure "$file" "0-$((cores - 1))" --jobs 0)"
report "  --jobs 0" "$lines" "$all" - "$allCpu"
awk -v one="$one" -v all="$all" -v n="$cores" 'BEGIN {
  printf "  --jobs 0: %.2f times the one-job figure on %d cores (%.2f x N)\n", one / all, n, one / all / n }'
if ! cmp -s <("$bin/qismar-cli" < "$file") <("$bin/qismar-cli" --jobs 0 < "$file"); then
  echo "  --jobs 0 wrote other output than one job" >&2
  exit 1
fi
