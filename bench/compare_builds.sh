#!/usr/bin/env bash
# Times the workbook and the page of two builds on the same large exam, round by round
# in turn, so both see the same machine: vantry-grade on the exam of grade_large_sheet.sh
# (20,000 students, 10 questions, 8 keyword groups; STUDENTS, QUESTIONS, KEYWORD_GROUPS,
# ANSWER_BYTES, RUNS and ORDER override), once with neither output (--no-xlsx
# --no-html), once with the workbook only and once with the page only. Prints per build
# the median wall time of each kind of run, what the workbook and the page add (the
# medians of the rounds' differences), their sizes, and the ratios new ÷ old.
#
#   bench/compare_builds.sh OLD_BUILD [NEW_BUILD]    (NEW_BUILD: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."

old=$1
new=${2:-build/default}
students=${STUDENTS:-20000}
questions=${QUESTIONS:-10}
groups=${KEYWORD_GROUPS:-8}
answer_bytes=${ANSWER_BYTES:-300}
runs=${RUNS:-5}
order=${ORDER-1-2,1-3}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/exam"
"$new/bench/make_large_sheet" "$work/exam" "$students" "$questions" "$groups" \
  "$answer_bytes" >/dev/null

# Runs BUILD's vantry-grade with the given options in a copy of the exam; prints the
# wall time and leaves the outputs in $work/out.
timed() {
  local build=$1
  shift
  rm -rf "$work/out"
  cp -r "$work/exam" "$work/out"
  /usr/bin/time -f '%e' -o "$work/time" "$build/bin/vantry-grade" --dir "$work/out" \
    --order "$order" --quiet "$@" >/dev/null
  cat "$work/time"
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a - b}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "-"}'; }
size_of() { du -k "$work"/out/$1 | awk '{printf "%.1f", $1 / 1024}'; }

declare -A none book page book_added page_added book_mb page_mb
for ((i = 1; i <= runs; i++)); do
  for which in old new; do
    build=${!which}
    n=$(timed "$build" --no-xlsx --no-html)
    b=$(timed "$build" --no-html)
    book_mb[$which]=$(size_of '阅卷结果*.xlsx')
    p=$(timed "$build" --no-xlsx)
    page_mb[$which]=$(size_of '阅卷分析*.html')
    none[$which]+="$n "
    book[$which]+="$b "
    page[$which]+="$p "
    book_added[$which]+="$(minus "$b" "$n") "
    page_added[$which]+="$(minus "$p" "$n") "
  done
done

echo "exam: $students students x $questions questions x $groups keyword groups," \
  "$runs rounds, old and new in turn"
for which in old new; do
  echo "$which (${!which}):"
  echo "  grading alone:   median $(median ${none[$which]}) s (${none[$which]% })"
  echo "  workbook adds:   median $(median ${book_added[$which]}) s (${book_added[$which]% }); ${book_mb[$which]} MB"
  echo "  page adds:       median $(median ${page_added[$which]}) s (${page_added[$which]% }); ${page_mb[$which]} MB"
done
echo "new / old: workbook time $(ratio "$(median ${book_added[new]})" "$(median ${book_added[old]})")," \
  "size $(ratio "${book_mb[new]}" "${book_mb[old]}");" \
  "page time $(ratio "$(median ${page_added[new]})" "$(median ${page_added[old]})")," \
  "size $(ratio "${page_mb[new]}" "${page_mb[old]}")"
