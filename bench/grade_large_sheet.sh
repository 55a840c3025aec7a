#!/usr/bin/env bash
# Times vantry-grade on a large generated exam: 20,000 students, 10 questions each,
# 8 keyword groups per question, answers of about 300 bytes. Override with STUDENTS,
# QUESTIONS, KEYWORD_GROUPS, ANSWER_BYTES, RUNS; ORDER is the order box (default
# 1-2,1-3), JOBS the --jobs value (default: one per core). Further arguments go to
# vantry-grade (e.g. --no-xlsx).
# Prints the sheet size, the median wall time and the largest peak memory of RUNS runs,
# and the memory bound 1.5 x sheet size + 30 MB.
#
#   bench/grade_large_sheet.sh [PRESET] [VANTRY-GRADE ARGUMENTS...]   (default preset: default)
#
# VANTRY_GRADE=PATH times another build of vantry-grade (an older one, for a "before"
# figure); bench/workbook.sh times the workbook.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
shift || true
students=${STUDENTS:-20000}
questions=${QUESTIONS:-10}
groups=${KEYWORD_GROUPS:-8}
answer_bytes=${ANSWER_BYTES:-300}
runs=${RUNS:-5}
order=${ORDER-1-2,1-3}
jobs_args=()
[ -n "${JOBS:-}" ] && jobs_args=(--jobs "$JOBS")

cmake --build --preset "$preset" --target vantry-grade make_large_sheet >/dev/null
bin=${VANTRY_GRADE:-build/$preset/bin/vantry-grade}
gen=build/$preset/bench/make_large_sheet

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sheet_bytes=$("$gen" "$work" "$students" "$questions" "$groups" "$answer_bytes")

walls=()
peak_kb=0
for ((i = 1; i <= runs; i++)); do
  /usr/bin/time -f '%e %M' -o "$work/time" "$bin" --dir "$work" --order "$order" --quiet \
    "${jobs_args[@]}" "$@" >"$work/summary" 2>"$work/stderr"
  read -r wall kb <"$work/time"
  walls+=("$wall")
  ((kb > peak_kb)) && peak_kb=$kb
done
median=$(printf '%s\n' "${walls[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')

sheet_mb=$(awk -v b="$sheet_bytes" 'BEGIN {printf "%.1f", b / 1048576}')
peak_mb=$(awk -v k="$peak_kb" 'BEGIN {printf "%.1f", k / 1024}')
bound_mb=$(awk -v b="$sheet_bytes" 'BEGIN {printf "%.1f", 1.5 * b / 1048576 + 30}')
echo "exam:        $students students x $questions questions x $groups keyword groups," \
  "answers of about $answer_bytes bytes, order box '$order', jobs ${JOBS:-default}"
echo "sheet:       $sheet_mb MB"
echo "wall time:   median ${median} s of $runs runs (${walls[*]})"
echo "peak memory: $peak_mb MB (bound 1.5 x sheet + 30 MB = $bound_mb MB)"
echo "summary:"
sed 's/^/  /' "$work/summary"
