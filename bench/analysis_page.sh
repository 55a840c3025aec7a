#!/usr/bin/env bash
# Times the analysis page for a large class and reports its size: the demo exam with
# 20,000 generated students (their answers drawn from the demo's keywords), and the
# synthetic exam of grade_large_sheet.sh (10 questions x 8 keyword groups of random
# words; every answer differs, so nearly every explanation is distinct: the worst case).
# Override STUDENTS and RUNS; BUILD=DIR times the programs of another build tree (an
# older one, say) as they stand, without building.
#
#   bench/analysis_page.sh [PRESET]      (default preset: default)
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
students=${STUDENTS:-20000}
runs=${RUNS:-5}

build=${BUILD:-build/$preset}
if [ -z "${BUILD:-}" ]; then
  cmake --build --preset "$preset" --target analysis_page_bench make_large_sheet \
    vantry_demo_exam >/dev/null
fi
bench=$build/bench/analysis_page_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== demo exam, $students students"
python3 bench/make_demo_class.py "$build/bin" "$work/demo" "$students"
/usr/bin/time -f 'peak memory: %M KB (grading and page)' \
  "$bench" "$work/demo" "3-1,3-2,3-3,5-1,5-2,5-3" "$runs"

echo "== synthetic exam, $students students x 10 questions x 8 keyword groups"
mkdir -p "$work/large"
"$build/bench/make_large_sheet" "$work/large" "$students" 10 8 >/dev/null
/usr/bin/time -f 'peak memory: %M KB (grading and page)' \
  "$bench" "$work/large" "1-2,1-3" "$runs"
