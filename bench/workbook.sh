#!/usr/bin/env bash
# Times the workbook: vantry-grade on the large generated exam of grade_large_sheet.sh
# (20,000 students, 10 questions, 8 keyword groups; the same overrides STUDENTS,
# QUESTIONS, KEYWORD_GROUPS, ANSWER_BYTES, RUNS, ORDER), each round once with
# --no-xlsx and once with the workbook, back to back so both see the same machine.
# Prints the median wall time of each, the median of the rounds' differences (what the
# workbook adds), the same in processor time (user + system, which a busy machine
# disturbs less), the workbook's size and the largest peak memory of each kind of run.
# BUILD=DIR times the programs of another build tree (an older one, say) as they stand,
# without building. Both kinds of run leave the page out (--no-html), so the difference
# is the workbook's.
#
#   bench/workbook.sh [PRESET]      (default preset: default)
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
students=${STUDENTS:-20000}
questions=${QUESTIONS:-10}
groups=${KEYWORD_GROUPS:-8}
answer_bytes=${ANSWER_BYTES:-300}
runs=${RUNS:-5}
order=${ORDER-1-2,1-3}

build=${BUILD:-build/$preset}
if [ -z "${BUILD:-}" ]; then
  cmake --build --preset "$preset" --target vantry-grade make_large_sheet >/dev/null
fi
bin=$build/bin/vantry-grade
gen=$build/bench/make_large_sheet

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$gen" "$work" "$students" "$questions" "$groups" "$answer_bytes" >/dev/null

# Runs vantry-grade with the given extra arguments; sets wall, cpu and kb.
timed_run() {
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$bin" --dir "$work" --order "$order" \
    --quiet --no-html "$@" >"$work/summary" 2>"$work/stderr"
  local user system
  read -r wall user system kb <"$work/time"
  cpu=$(awk -v u="$user" -v s="$system" 'BEGIN {printf "%.2f", u + s}')
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a - b}'; }

plain=() with=() added=() added_cpu=()
peak_plain=0 peak_with=0
for ((i = 1; i <= runs; i++)); do
  rm -f "$work"/阅卷结果*.xlsx
  timed_run --no-xlsx
  plain+=("$wall")
  plain_cpu=$cpu
  ((kb > peak_plain)) && peak_plain=$kb
  timed_run
  with+=("$wall")
  ((kb > peak_with)) && peak_with=$kb
  added+=("$(minus "$wall" "${plain[-1]}")")
  added_cpu+=("$(minus "$cpu" "$plain_cpu")")
done

echo "exam:             $students students x $questions questions x $groups keyword groups"
echo "--no-xlsx:        median $(median "${plain[@]}") s of $runs runs (${plain[*]})"
echo "with workbook:    median $(median "${with[@]}") s (${with[*]})"
echo "workbook adds:    median $(median "${added[@]}") s wall (${added[*]})"
echo "                  median $(median "${added_cpu[@]}") s processor (${added_cpu[*]})"
echo "workbook:         $(du -k "$work"/阅卷结果*.xlsx | awk '{printf "%.1f MB", $1 / 1024}')"
echo "peak memory:      $(awk -v a="$peak_plain" -v b="$peak_with" \
  'BEGIN {printf "%.1f MB without, %.1f MB with the workbook", a / 1024, b / 1024}')"
