#!/usr/bin/env bash
# Whole runs of verodero-cli against the fixture engine on 127.0.0.1: speed against curl, and memory.
#
#   scripts/bench-run.sh [-b BUILD_DIR] [-j JOBS] [-r RUNS] [-k KEYWORDS] [-w]
#
# BUILD_DIR default build-bench-run in the repository (configured as Release, with the tests, which hold
# the fixture engine); RUNS timed runs of each side (default 9); KEYWORDS for the timed run (default 20,
# each 10 pages); -w also builds and runs the window's responsiveness benchmark (bench/window).
#
# Speed: the CLI with pause 0 and -q, 360 Search (its result links need no redirect query, so the CLI
# asks for exactly the result pages), pages 1 to 10 of each keyword; the fixture serves 10 pages of 10
# results, so no page repeats. The floor is one curl process fetching the same URLs one after another,
# each on a connection of its own (-H 'Connection: close'), without --parallel. The two sides run in
# turn, each against a fresh fixture engine, and the figures are the median and the best of the runs
# (wall time on the monotonic clock; on a shared machine the best is the steadier of the two). Before
# timing, one run of each side is checked to ask for the same pages: the links in the CLI's files must
# be the links in the pages curl fetched.
#
# Memory: peak RSS (/usr/bin/time -v) of runs of 100, 200 and 1,000 pages; growth is the difference
# between the 1,000- and the 100-page run, per page.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench-run"
jobs=2
runs=9
keywords=20
window=0
while getopts "b:j:r:k:wh" option; do
  case $option in
    b) build=$OPTARG ;;
    j) jobs=$OPTARG ;;
    r) runs=$OPTARG ;;
    k) keywords=$OPTARG ;;
    w) window=1 ;;
    *) sed -n '2,20p' "$0"; exit 2 ;;
  esac
done

pages=10
for tool in curl perl /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps.sh installs it)" >&2; exit 2; }
done

targets=(verodero-cli verodero-fixture-engine)
bench_option=()
if [ "$window" = 1 ]; then
  targets+=(window_bench)
  bench_option=(-DVERODERO_BUILD_BENCH=ON -DVERODERO_BUILD_UI=ON)
fi
mkdir -p "$build"
if ! { cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVERODERO_BUILD_TESTS=ON "${bench_option[@]}" &&
       cmake --build "$build" -j "$jobs" --target "${targets[@]}"; } >"$build/bench-run-build.log" 2>&1; then
  tail -n 40 "$build/bench-run-build.log" >&2
  exit 1
fi
cli="$build/cli/verodero-cli"
engine_program="$build/tests/verodero-fixture-engine"

work=$(mktemp -d)
engine_pid=
stop_engine() {
  if [ -n "$engine_pid" ]; then kill "$engine_pid" 2>/dev/null || true; wait "$engine_pid" 2>/dev/null || true; fi
  engine_pid=
}
trap 'stop_engine; rm -rf "$work"' EXIT

# A fresh fixture engine for every measured run: the fixture's server keeps a thread for every
# connection it has served until it ends, so a long-lived one would grow and slow down under the later
# runs. Sets connect_to.
start_engine() {
  stop_engine
  : >"$work/engine.out"
  "$engine_program" --pages "$pages" --entries 10 >"$work/engine.out" &
  engine_pid=$!
  for _ in $(seq 200); do
    [ "$(wc -l <"$work/engine.out")" -ge 5 ] && break
    sleep 0.02
  done
  local port
  port=$(head -n 1 "$work/engine.out")
  [ -n "$port" ] || { echo "the fixture engine did not start" >&2; exit 1; }
  connect_to="www.so.com:80:127.0.0.1:$port"
}

# wall FILE COMMAND...: appends to FILE the seconds, on the monotonic clock, that COMMAND takes.
wall() {
  perl -MTime::HiRes=clock_gettime,CLOCK_MONOTONIC -e '
    my $file = shift @ARGV;
    my $start = clock_gettime(CLOCK_MONOTONIC);
    my $status = system(@ARGV);
    my $seconds = clock_gettime(CLOCK_MONOTONIC) - $start;
    open(my $out, ">>", $file) or die "$file: $!";
    printf $out "%.6f\n", $seconds;
    exit($status == 0 ? 0 : 1);' -- "$@"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# keyword_file COUNT: COUNT keywords, UTF-8, one a line.
keyword_file() {
  local file="$work/keywords-$1.txt"
  for i in $(seq "$1"); do printf '关键词%d\n' "$i"; done >"$file"
  echo "$file"
}

# The UTF-8 bytes of the keyword, each as % and two upper-case hex digits, as the CLI sends them.
percent_encode() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n' | tr a-f A-F | sed 's/../%&/g'; }

# curl_config KEYWORD_FILE OUT: one url line per page the CLI asks for, each with an output line (OUT a
# folder: one file per page; empty: /dev/null).
curl_config() {
  local keyword encoded page n=0
  while IFS= read -r keyword; do
    encoded=$(percent_encode "$keyword")
    for page in $(seq "$pages"); do
      n=$((n + 1))
      printf 'url = "http://www.so.com/s?q=%s&pn=%d"\noutput = "%s"\n' "$encoded" "$page" "${2:-/dev/null}${2:+/$n}"
    done
  done <"$1"
}

start_engine
# cli_argv KEYWORD_FILE OUTPUT_FOLDER [TEMPLATE]: the CLI's command line, in the array cli_argv.
cli_argv() {
  cli_argv=("$cli" -e 360 -f 1 -p "$pages" -w 0 -q -d "$2" -t "${3:-<a href=\"#网址#\">#标题#</a>}"
            --connect-to "$connect_to" --keywords "$1")
}
# curl_argv CONFIG: the floor's command line, in the array curl_argv.
curl_argv() { curl_argv=(curl -s -S -H 'Connection: close' --connect-to "$connect_to" -K "$1"); }

timed_keywords=$(keyword_file "$keywords")
timed_pages=$((keywords * pages))
curl_config "$timed_keywords" >"$work/curl.cfg"

# The same pages on both sides: the links the CLI wrote are the links in the pages curl fetched.
mkdir -p "$work/check-cli" "$work/check-curl"
cli_argv "$timed_keywords" "$work/check-cli" '#网址#'
"${cli_argv[@]}" >/dev/null
curl_config "$timed_keywords" "$work/check-curl" >"$work/check.cfg"
curl_argv "$work/check.cfg"
"${curl_argv[@]}"
cat "$work/check-cli"/* | tr -d '\r' | sort >"$work/links-cli.txt"
cat "$work/check-curl"/* | grep -o 'http://example\.com/360/[^"]*' | sort >"$work/links-curl.txt"
if ! cmp -s "$work/links-cli.txt" "$work/links-curl.txt" || [ "$(wc -l <"$work/links-cli.txt")" -ne $((timed_pages * 10)) ]; then
  echo "the CLI and curl did not fetch the same pages" >&2
  exit 1
fi

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "speed: $keywords keywords x $pages pages = $timed_pages pages, 360 Search, $runs runs each side, median"
cli_argv "$timed_keywords" OUT
echo "command: $(printf '%q ' "${cli_argv[@]}")"
curl_argv CONFIG
echo "floor:   $(printf '%q ' "${curl_argv[@]}")  (CONFIG: $timed_pages url lines, each output /dev/null)"
: >"$work/cli.times"
: >"$work/curl.times"
for _ in $(seq "$runs"); do
  rm -rf "$work/out" && mkdir "$work/out"
  start_engine
  curl_argv "$work/curl.cfg"
  wall "$work/curl.times" "${curl_argv[@]}"
  start_engine
  cli_argv "$timed_keywords" "$work/out"
  wall "$work/cli.times" "${cli_argv[@]}" >/dev/null
done
cli_time=$(median <"$work/cli.times")
curl_time=$(median <"$work/curl.times")
cli_best=$(sort -g "$work/cli.times" | head -n 1)
curl_best=$(sort -g "$work/curl.times" | head -n 1)
awk -v cli="$cli_time" -v curl="$curl_time" -v cli_best="$cli_best" -v curl_best="$curl_best" \
    -v pages="$timed_pages" 'BEGIN {
  printf "verodero-cli  median %.1f ms  %.0f pages/s   best %.1f ms  %.0f pages/s\n", cli * 1000, pages / cli,
         cli_best * 1000, pages / cli_best
  printf "curl          median %.1f ms  %.0f pages/s   best %.1f ms  %.0f pages/s\n", curl * 1000, pages / curl,
         curl_best * 1000, pages / curl_best
  printf "ratio         median %.2f   best %.2f  (goal: at most 1.15)\n", cli / curl, cli_best / curl_best
}'
echo "runs (s), cli:  $(tr '\n' ' ' <"$work/cli.times")"
echo "runs (s), curl: $(tr '\n' ' ' <"$work/curl.times")"

echo
echo "memory: peak RSS, /usr/bin/time -v"
peak_rss() {  # KEYWORDS VARIABLE: sets VARIABLE to the peak RSS in KiB of a run of KEYWORDS x 10 pages
  rm -rf "$work/out" && mkdir "$work/out"
  start_engine
  cli_argv "$(keyword_file "$1")" "$work/out"
  /usr/bin/time -v -o "$work/time.txt" "${cli_argv[@]}" >/dev/null
  printf -v "$2" '%s' "$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/time.txt")"
}
cli_argv KEYWORDS OUT
echo "command: /usr/bin/time -v $(printf '%q ' "${cli_argv[@]}")(KEYWORDS: 10, 20, 100 keywords)"
peak_rss 10 rss_100
peak_rss 20 rss_200
peak_rss 100 rss_1000
stop_engine
awk -v a="$rss_100" -v b="$rss_200" -v c="$rss_1000" 'BEGIN {
  printf "100 pages     %.1f MB\n", a / 1024
  printf "200 pages     %.1f MB\n", b / 1024
  printf "1,000 pages   %.1f MB  (goal: under 20 MB)\n", c / 1024
  printf "growth        %+d KB from 100 to 1,000 pages, %+.2f KB per page\n", c - a, (c - a) / 900
}'

if [ "$window" = 1 ]; then
  echo
  command=("$build/bench/window/window_bench")
  echo "window: command: QT_QPA_PLATFORM=offscreen ${command[*]}"
  QT_QPA_PLATFORM=offscreen "${command[@]}"
fi
