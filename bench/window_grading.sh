#!/usr/bin/env bash
# Times a grading run in the window, driven as a teacher drives it: a program folder
# with a generated exam (20,000 students, 10 questions, 8 keyword groups per question by
# default; override with STUDENTS, QUESTIONS, KEYWORD_GROUPS), the real vantry on a
# virtual display, one click on the grading button, until the summary box appears.
# Prints the time from the click to the report written (the grading itself), the time
# from the click to the summary (which includes the one-second pause, during which the
# workbook and the analysis page are written, and their wait when they take longer),
# that time without the pause, the CPU time the program used from the click to the
# summary, whether the window repainted during the run, and keeps a screenshot of the
# summary (its own figures) in build/PRESET/artifacts.
#
#   bench/window_grading.sh [PRESET]      (default preset: default)
#
# One long paper, as a check that the answer box costs time linear in what it shows:
#   STUDENTS=1 QUESTIONS=16000 KEYWORD_GROUPS=2 bench/window_grading.sh
# TIMEOUT (seconds, default 600) bounds the wait for the summary; VANTRY names another
# build of the program to time (default: the preset's).
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
students=${STUDENTS:-20000}
questions=${QUESTIONS:-10}
groups=${KEYWORD_GROUPS:-8}
timeout=${TIMEOUT:-600}

cmake --build --preset "$preset" --target vantry make_large_sheet >/dev/null
bin=build/$preset/bin
gen=build/$preset/bench/make_large_sheet
artifacts=build/$preset/artifacts
mkdir -p "$artifacts"

work=$(mktemp -d)
xvfb_pid=
app_pid=
watcher_pid=
cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null || true
  [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/program"
cp "${VANTRY:-$bin/vantry}" "$work/program/vantry"
sheet_bytes=$("$gen" "$work/program" "$students" "$questions" "$groups")

mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/displayfd" 2>/dev/null &
xvfb_pid=$!
read -r number < "$work/displayfd"
export DISPLAY=":$number"

"$work/program/vantry" >/dev/null 2>&1 &
app_pid=$!
window=
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --name '^Vantry$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 0.5
read -r wx wy < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {print x, $4}')

# The papers-left box, sampled twice during the run: different pictures mean repaints.
remaining_box() {
  import -window root -crop "179x80+$((wx + 445))+$((wy + 387))" "$1"
}

# The program's user and system CPU time so far, in seconds.
cpu_seconds() {
  awk -v hz="$(getconf CLK_TCK)" '{print ($14 + $15) / hz}' "/proc/$app_pid/stat"
}

cpu_start=$(cpu_seconds)
# The report's name appears when it is complete (it is renamed into place).
( shopt -s nullglob
  while :; do
    reports=("$work"/program/阅卷结果*.txt)
    [ ${#reports[@]} -gt 0 ] && break
    sleep 0.005
  done
  date +%s.%N >"$work/report_time" ) &
watcher_pid=$!
start=$(date +%s.%N)
xdotool mousemove --window "$window" 704 428 click 1
sleep 0.7
remaining_box "$work/during1.png"
sleep 0.7
remaining_box "$work/during2.png"
box=
while [ -z "$box" ]; do
  box=$(xdotool search --onlyvisible --name '^提示信息$' 2>/dev/null | head -n 1 || true)
  [ -n "$box" ] && break
  kill -0 "$app_pid" 2>/dev/null || { echo "the program ended without a summary" >&2; exit 1; }
  if awk -v s="$start" -v now="$(date +%s.%N)" -v t="$timeout" 'BEGIN {exit !(now - s > t)}'; then
    echo "no summary within ${timeout} s (CPU time so far: $(awk -v a="$(cpu_seconds)" -v b="$cpu_start" 'BEGIN {print a - b}') s)" >&2
    exit 1
  fi
  sleep 0.02
done
end=$(date +%s.%N)
cpu_end=$(cpu_seconds)
wait "$watcher_pid" || true
watcher_pid=
report_time=$(cat "$work/report_time")
sleep 0.3
import -window root "$artifacts/bench_window_summary.png"
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key Return
wait "$app_pid" || true
app_pid=

if cmp -s "$work/during1.png" "$work/during2.png"; then repainted=no; else repainted=yes; fi
awk -v s="$start" -v e="$end" -v b="$sheet_bytes" -v n="$students" -v q="$questions" \
    -v g="$groups" -v r="$repainted" -v shot="$artifacts/bench_window_summary.png" \
    -v c0="$cpu_start" -v c1="$cpu_end" -v rt="$report_time" 'BEGIN {
  printf "exam:              %d students x %d questions x %d keyword groups (%.1f MB sheet)\n", n, q, g, b / 1048576
  printf "click to report:   %.2f s (the grading)\n", rt - s
  printf "click to summary:  %.2f s (includes the 1 s pause before the summary)\n", e - s
  printf "without the pause: %.2f s\n", e - s - 1
  printf "program CPU time:  %.2f s (click to summary)\n", c1 - c0
  printf "window repainted during the run: %s\n", r
  printf "summary box screenshot: %s\n", shot
}'
