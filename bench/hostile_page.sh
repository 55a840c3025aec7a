#!/usr/bin/env bash
# The analysis page of two builds for the two answer sheets that made pages no browser
# opened: 31 papers, one answer holding 100,000 TABs; and 1,048,576 papers of one
# question. Prints per build and sheet the grading time with the page (no workbook),
# the page's size, and how long headless Chromium takes to load it and print its DOM
# (or that it had not after TIMEOUT seconds, default 120).
#
#   bench/hostile_page.sh OLD_BUILD [NEW_BUILD]    (NEW_BUILD: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."

old=$1
new=${2:-build/default}
timeout=${TIMEOUT:-120}
chromium=$(command -v chromium || command -v chromium-browser)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Answer sheets in GBK: <姓名>\tNAME\t</姓名><答题文本>\tTEXT\t</答题文本> per paper.
/usr/bin/python3 - "$work" <<'EOF'
import os, sys
work = sys.argv[1]
rules = "<综合题><分值>10</分值><关键词>光合</关键词></综合题>".encode("gbk")
def record(name, text):
    return ("<姓名>\t%s\t</姓名><答题文本>\t%s\t</答题文本>\r\n" % (name, text)).encode("gbk")
sheets = {
    "tabs": [record("学生%d" % i, "光合作用\t细胞") for i in range(30)]
            + [record("捣乱", "光合" + "\t" * 100000 + "x")],
    "million": [record("s%d" % i, "光合") for i in range(1048576)],
}
for name, records in sheets.items():
    os.makedirs(os.path.join(work, name))
    with open(os.path.join(work, name, "参数设置.txt"), "wb") as f:
        f.write(rules)
    with open(os.path.join(work, name, "学生答题文本.txt"), "wb") as f:
        f.write(b"".join(records))
EOF

for exam in tabs million; do
  echo "== $exam ($(du -k "$work/$exam/学生答题文本.txt" | cut -f1) KB answer sheet)"
  for which in old new; do
    build=${!which}
    rm -rf "$work/out"
    cp -r "$work/$exam" "$work/out"
    /usr/bin/time -f '%e' -o "$work/time" "$build/bin/vantry-grade" --dir "$work/out" \
      --quiet --no-xlsx >/dev/null || true
    page=$(ls "$work"/out/阅卷分析*.html)
    size=$(du -k "$page" | awk '{printf "%.1f", $1 / 1024}')
    start=$(date +%s.%N)
    if timeout "$timeout" "$chromium" --headless --no-sandbox --disable-gpu \
      --user-data-dir="$work/profile" --dump-dom "file://$page" >/dev/null 2>&1; then
      loaded=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN {printf "%.1f s", e - s}')
    else
      loaded="not loaded after $timeout s"
    fi
    echo "  $which ($build): graded with the page in $(cat "$work/time") s;" \
      "page $size MB; Chromium: $loaded"
  done
done
