#!/usr/bin/env bash
# Times vantry-grade on a large generated exam: 20,000 students, 10 questions each,
# 8 keyword groups per question (override with STUDENTS, QUESTIONS, KEYWORD_GROUPS, RUNS).
# Each round grades once with --no-xlsx and once with the workbook, back to back, so
# both see the same machine. Prints the sheet size, the median wall time of RUNS
# rounds of each, the median of the rounds' differences (the time the workbook adds),
# the largest peak memory, and the memory bound 3 x sheet size + 50 MB.
#
#   bench/grade_large_sheet.sh [PRESET]      (default preset: default)
#
# VANTRY_GRADE=PATH times another build of vantry-grade (an older one without
# --no-xlsx is timed as it is, without the workbook rounds).
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
students=${STUDENTS:-20000}
questions=${QUESTIONS:-10}
groups=${KEYWORD_GROUPS:-8}
runs=${RUNS:-5}

cmake --build --preset "$preset" --target vantry-grade make_large_sheet >/dev/null
bin=${VANTRY_GRADE:-build/$preset/bin/vantry-grade}
gen=build/$preset/bench/make_large_sheet

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sheet_bytes=$("$gen" "$work" "$students" "$questions" "$groups")
workbook=0
"$bin" --help | grep -q -- --no-xlsx && workbook=1

peak_kb=0
wall=0
# Runs vantry-grade with the given extra arguments; sets wall to its wall time.
timed_run() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$bin" --dir "$work" --order "1-2,1-3" --quiet \
    "$@" >"$work/summary" 2>"$work/stderr"
  local kb
  read -r wall kb <"$work/time"
  ((kb > peak_kb)) && peak_kb=$kb
  return 0
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

plain=() with=() added=()
for ((i = 1; i <= runs; i++)); do
  if ((workbook)); then
    timed_run --no-xlsx
    p=$wall
    timed_run
    with+=("$wall")
    added+=("$(awk -v a="$wall" -v b="$p" 'BEGIN {printf "%.2f", a - b}')")
  else
    timed_run
    p=$wall
  fi
  plain+=("$p")
done

sheet_mb=$(awk -v b="$sheet_bytes" 'BEGIN {printf "%.1f", b / 1048576}')
peak_mb=$(awk -v k="$peak_kb" 'BEGIN {printf "%.1f", k / 1024}')
bound_mb=$(awk -v b="$sheet_bytes" 'BEGIN {printf "%.1f", 3 * b / 1048576 + 50}')
echo "exam:          $students students x $questions questions x $groups keyword groups"
echo "sheet:         $sheet_mb MB"
if ((workbook)); then
  echo "--no-xlsx:     median $(median "${plain[@]}") s of $runs runs (${plain[*]})"
  echo "with workbook: median $(median "${with[@]}") s (${with[*]})"
  echo "workbook adds: median $(median "${added[@]}") s (${added[*]})"
else
  echo "wall time:     median $(median "${plain[@]}") s of $runs runs (${plain[*]})"
fi
echo "peak memory:   $peak_mb MB (bound 3 x sheet + 50 MB = $bound_mb MB)"
echo "summary:"
sed 's/^/  /' "$work/summary"
