#!/usr/bin/env bash
# Build the benchmarks and print the program's figures on this machine:
#   1. the cost of one real frame at 1280x720 (median wall and CPU time),
#   2. the same frames captured with apitrace and replayed bare with
#      glretrace: the program's frame time against the replay's,
#   3. heap allocations per frame and per tick, by the library that makes them,
#   4. ticks per second of the real event loop with its 10 ms sleep, against
#      1000 / (10 + frame time),
#   5. the time from starting the binary to its first frame on the screen,
# with the CPU, the core count and the GL renderer they were taken on.
# Installs missing packages first (as root or through sudo). GL is Mesa's
# llvmpipe, on $DISPLAY if usable, else on a private Xvfb.
# Usage: bash bench/run.sh [FRAMES]   (default 1000 frames and ticks)
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

FRAMES=${1:-1000}
[ "$FRAMES" -ge 2 ] 2>/dev/null || { echo "FRAMES must be a number of at least 2" >&2; exit 2; }
LOOP_SECONDS=10
FIRST_FRAME_RUNS=5
BUILD="$QUORVALE_ROOT/build-bench"
BIN="$BUILD/bench"
OUT="$BUILD/bench-results"

quorvale_install_missing "${QUORVALE_PACKAGES[@]}"
quorvale_configure_and_build "$BUILD" -DQUORVALE_BUILD_BENCH=ON -DQUORVALE_BUILD_TESTS=OFF

if ! quorvale_display_usable; then
  quorvale_start_xvfb
  trap 'kill "$QUORVALE_XVFB_PID" 2>/dev/null' EXIT
fi
# The figures are for Mesa's software renderer, whatever the display offers.
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
mkdir -p "$OUT"
cd "$OUT"

value() { grep -m1 "^$2=" "$1" | cut -d= -f2-; }
# Median of the numbers on standard input, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
calc() { awk "BEGIN { printf \"%.${2:-2}f\", $1 }"; }

echo "== 1. frame cost ($FRAMES frames)"
"$BIN/quorvale_bench" frames "$FRAMES" >frames.txt
cat frames.txt

echo "== 2. the same frames captured with apitrace, replayed bare with glretrace"
# glretrace's time includes setting up its window and context: a second trace
# with a single timed frame is replayed too, and the difference of the two
# times is the cost of the other FRAMES - 1 frames alone.
replay_seconds() {
  rm -f "$2.trace"
  apitrace trace -o "$2.trace" "$BIN/quorvale_bench" frames "$1" >"$2.traced.txt" 2>"$2.trace.log"
  glretrace --benchmark "$2.trace" >"$2.replay.txt" 2>&1
  rm -f "$2.trace"
  grep -m1 '^Rendered' "$2.replay.txt" | tee -a replay.txt >&2
  grep -m1 '^Rendered' "$2.replay.txt" | awk '{ print $5 }'
}
: >replay.txt
long_replay=$(replay_seconds "$FRAMES" long)
short_replay=$(replay_seconds 1 short)
replay_mean=$(calc "($long_replay - $short_replay) * 1000 / ($FRAMES - 1)" 3)
frame_median=$(value frames.txt frame_wall_median_ms)
frame_mean=$(value frames.txt frame_wall_mean_ms)
echo "replay_frame_mean_ms=$replay_mean"

echo "== 3. heap allocations per frame and per tick"
"$BIN/quorvale_alloc_count" "$FRAMES" | grep '^alloc_' | tee allocations.txt

echo "== 4. ticks per second of the real loop ($LOOP_SECONDS s)"
"$BIN/quorvale_bench" ticks "$LOOP_SECONDS" | grep '^loop_' | tee loop.txt

echo "== 5. start of the binary to its first frame on screen ($FIRST_FRAME_RUNS runs)"
: >first_frame.txt
for _ in $(seq "$FIRST_FRAME_RUNS"); do
  "$BIN/quorvale_first_frame" | tee -a first_frame.txt | paste -sd' '
done
first_median=$(grep "^first_frame_ms=" first_frame.txt | cut -d= -f2 | median)
first_before=$(grep '^first_frame_previous_poll_ms=' first_frame.txt | cut -d= -f2 | median)

loop_rate=$(value loop.txt loop_ticks_per_s)
loop_frame=$(value loop.txt loop_frame_mean_ms)
expected_rate=$(calc "1000 / (10 + $loop_frame)")
cat <<EOF

================ Quorvale benchmark ================
Machine:     $(grep -m1 '^CPU:' frames.txt | cut -d' ' -f2-), $(grep -m1 '^Cores:' frames.txt | cut -d' ' -f2) cores
GL:          $(grep -m1 '^GL renderer:' frames.txt | cut -d' ' -f3-); $(grep -m1 '^GL version:' frames.txt | cut -d' ' -f3-)
Window:      $(value frames.txt window)
1. Frame (renderFrame + swap + glFinish), $FRAMES frames:
             median wall $frame_median ms, mean wall $frame_mean ms,
             median CPU $(value frames.txt frame_cpu_median_ms) ms (all threads), $(value frames.txt frame_main_thread_cpu_median_ms) ms (main thread)
2. Bare replay of the same frames (glretrace --benchmark): mean $replay_mean ms
             program / replay, mean frame times: $(calc "$frame_mean / $replay_mean" 3)   (target <= 1.05)
3. Heap allocations (target 0 in the program's own code):
             per frame: $(value allocations.txt alloc_frame_total_per) in all, $(value allocations.txt alloc_frame_program_per) in the program's code
             per swap:  $(value allocations.txt alloc_swap_total_per) in all, $(value allocations.txt alloc_swap_program_per) in the program's code
             per tick:  $(value allocations.txt alloc_tick_total_per) in all, $(value allocations.txt alloc_tick_program_per) in the program's code
4. Real loop: $loop_rate ticks/s, $(value loop.txt loop_frames_per_s) frames/s, frame $loop_frame ms
             expected 1000 / (10 + $loop_frame) = $expected_rate ticks/s, deviation $(value loop.txt loop_deviation_percent) %   (target within 2 %)
             a tick took $(value loop.txt loop_tick_mean_ms) ms (10 ms of sleep asked); 1000 / (tick + frame) = $(value loop.txt loop_accounted_ticks_per_s) ticks/s
5. Start to first frame on screen: median $first_median ms over $FIRST_FRAME_RUNS runs
             (the window capture that first saw it began then; the one before, which
             did not, began at a median $first_before ms: the frame came in between)
Raw results: $OUT
EOF
