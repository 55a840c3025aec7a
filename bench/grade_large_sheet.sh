#!/usr/bin/env bash
# Times vantry-grade on a large generated exam: 20,000 students, 10 questions each,
# 8 keyword groups per question (override with STUDENTS, QUESTIONS, KEYWORD_GROUPS, RUNS).
# Prints the sheet size, the median wall time and the largest peak memory of RUNS runs,
# and the memory bound 3 x sheet size + 50 MB.
#
#   bench/grade_large_sheet.sh [PRESET]      (default preset: default)
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
students=${STUDENTS:-20000}
questions=${QUESTIONS:-10}
groups=${KEYWORD_GROUPS:-8}
runs=${RUNS:-5}

cmake --build --preset "$preset" --target vantry-grade make_large_sheet >/dev/null
bin=build/$preset/bin/vantry-grade
gen=build/$preset/bench/make_large_sheet

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sheet_bytes=$("$gen" "$work" "$students" "$questions" "$groups")

walls=()
peak_kb=0
for ((i = 1; i <= runs; i++)); do
  /usr/bin/time -f '%e %M' -o "$work/time" "$bin" --dir "$work" --order "1-2,1-3" --quiet \
    >"$work/summary" 2>"$work/stderr"
  read -r wall kb <"$work/time"
  walls+=("$wall")
  ((kb > peak_kb)) && peak_kb=$kb
done
median=$(printf '%s\n' "${walls[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')

sheet_mb=$(awk -v b="$sheet_bytes" 'BEGIN {printf "%.1f", b / 1048576}')
peak_mb=$(awk -v k="$peak_kb" 'BEGIN {printf "%.1f", k / 1024}')
bound_mb=$(awk -v b="$sheet_bytes" 'BEGIN {printf "%.1f", 3 * b / 1048576 + 50}')
echo "exam:        $students students x $questions questions x $groups keyword groups"
echo "sheet:       $sheet_mb MB"
echo "wall time:   median ${median} s of $runs runs (${walls[*]})"
echo "peak memory: $peak_mb MB (bound 3 x sheet + 50 MB = $bound_mb MB)"
echo "summary:"
sed 's/^/  /' "$work/summary"
