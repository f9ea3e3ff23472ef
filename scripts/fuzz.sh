#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while, growing the saved corpus.
#
#   scripts/fuzz.sh [-s SECONDS] [-b BUILD_DIR] [-j JOBS] [-k] [TARGET...]
#
# SECONDS per target (default 300); BUILD_DIR default build-fuzz in the repository; TARGET names as in
# fuzz/corpus/ (default: every fuzz/*_fuzzer.cpp). After the run the new inputs that reach code the
# saved corpus does not are merged into fuzz/corpus/<target>/. An input that crashes a target is copied
# to fuzz/crashes/<target>/: once the fault is fixed, move it into fuzz/corpus/<target>/ so that the
# corpus replay of the tests keeps it fixed. With -k a target goes on after a crash (libFuzzer's fork
# mode), for a target whose known fault is not fixed yet; every crash input is still kept.
# Prints, per target, the seconds run, the runs, the corpus size and whether it crashed; exits 1 when
# any did.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=300
build="$root/build-fuzz"
jobs=2
keep_going=()
while getopts "s:b:j:kh" option; do
  case $option in
    s) seconds=$OPTARG ;;
    b) build=$OPTARG ;;
    j) jobs=$OPTARG ;;
    k) keep_going=(-fork=1 -ignore_crashes=1) ;;
    *) sed -n '2,14p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in "$root"/fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" _fuzzer.cpp)
    targets+=("$name")
  done
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVERODERO_BUILD_FUZZ=ON -DVERODERO_BUILD_TESTS=OFF -DVERODERO_BUILD_UI=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]/%/_fuzzer}"

failed=0
summary=()
for name in "${targets[@]}"; do
  corpus="$root/fuzz/corpus/$name"
  crashes="$root/fuzz/crashes/$name"
  work="$build/fuzz-run/$name"
  rm -rf "$work/new"
  mkdir -p "$corpus" "$work/new"
  rm -f "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*
  echo "== $name: $seconds s"
  status=0
  # -timeout: an input that takes over 10 s is a hang worth keeping; -rss_limit_mb bounds a runaway.
  (cd "$work" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 "${keep_going[@]}" "$work/new" "$corpus" >"$work/log.txt" 2>&1) || status=$?
  # Only the new inputs that add coverage to the saved corpus are kept there, so it stays small.
  if [ $status -eq 0 ] || [ ${#keep_going[@]} -gt 0 ]; then
    (cd "$work" && "$build/fuzz/${name}_fuzzer" -merge=1 "$corpus" "$work/new" >"$work/merge.txt" 2>&1) ||
      status=$?
  fi
  found=$(find "$work" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  if [ -n "$found" ]; then
    mkdir -p "$crashes"
    cp $found "$crashes"/
    failed=1
    summary+=("$name: FOUND $(echo "$found" | wc -l) input(s), kept in fuzz/crashes/$name (log: $work/log.txt)")
  elif [ $status -ne 0 ]; then
    failed=1
    summary+=("$name: fuzzer ended with status $status (log: $work/log.txt)")
  else
    # The final statistics, or in fork mode the last progress line.
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log.txt" | grep -o '[0-9]*$' ||
      grep -o '^#[0-9]*' "$work/log.txt" | tail -n 1 | tr -d '#' || echo '?')
    summary+=("$name: ${seconds} s, $runs runs, no crash, corpus $(ls "$corpus" | wc -l) inputs")
  fi
  tail -n 3 "$work/log.txt"
done

echo
echo "command: $0 ${keep_going:+-k }-s $seconds -b $build ${*:-}"
printf '%s\n' "${summary[@]}"
exit $failed
