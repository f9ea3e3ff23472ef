#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them, printing each program's figures under the command that
# produced them.
#
#   scripts/bench.sh [-b BUILD_DIR] [-j JOBS] [-t MIN_TIME] [-f FILTER]
#
# BUILD_DIR default build-bench in the repository; MIN_TIME seconds per benchmark (default 0.5); FILTER a
# Google Benchmark filter regex (default: all). The figures are bytes per second of page or keyword text
# (CPU time), BigO fits over page size, x_floor (page step CPU time / memchr scan of the same page) and
# allocs (heap allocations per call); for parallel_redirects_bench wall-clock time per page against a
# fixture engine that delays each answer by 50 ms, and x_answer (that time / one answer's time). Results
# are also written as JSON beside the programs.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
jobs=2
min_time=0.5
filter=.
while getopts "b:j:t:f:h" option; do
  case $option in
    b) build=$OPTARG ;;
    j) jobs=$OPTARG ;;
    t) min_time=$OPTARG ;;
    f) filter=$OPTARG ;;
    *) sed -n '2,12p' "$0"; exit 2 ;;
  esac
done

programs=(page_step_bench text_helpers_bench parallel_redirects_bench)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVERODERO_BUILD_BENCH=ON -DVERODERO_BUILD_TESTS=OFF \
  -DVERODERO_BUILD_UI=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${programs[@]}" >/dev/null

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for program in "${programs[@]}"; do
  command=("$build/bench/$program" "--benchmark_min_time=$min_time" "--benchmark_filter=$filter"
           "--benchmark_out=$build/bench/$program.json" "--benchmark_out_format=json")
  echo
  echo "command: ${command[*]}"
  "${command[@]}"
done
