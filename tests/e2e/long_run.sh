#!/usr/bin/env bash
# A longer run: further clicks on the grading button during the run are ignored (one
# summary, one report), and closing the window in the middle of a run ends the program
# at once with 0, writing nothing.
source "$(dirname "$0")/lib.sh"

make_program_folder
write_small_exam
start_display 1366x768

# $1 papers of the small exam's two students, alternately.
write_sheet() {
  python3 - "$1" <<'PY' | write_gbk 学生答题文本.txt
import sys
for i in range(int(sys.argv[1])):
    if i % 2 == 0:
        print("<姓名>\t张三%d\t</姓名>\r\n<答题文本>\t光合作用在叶绿体中进行，产生氧气。\t细胞膜具有选择透过性。\t</答题文本>\r" % i)
    else:
        print("<姓名>\t李四%d\t</姓名>\r\n<答题文本>\t植物在叶绿体里制造养分。\t细胞膜。\t</答题文本>\r" % i)
PY
}

read -r gx gy <<< "$GRADE_BUTTON"

# Clicks during the run.
write_sheet 4000
start_program vantry
window=$(wait_window Vantry 30) || fail "the main window did not appear"
click_in "$window" "$gx" "$gy"
sleep 0.2
click_in "$window" "$gx" "$gy"
click_in "$window" "$gx" "$gy"
box=$(wait_window 提示信息 120) || fail "no summary box"
sleep 1
[ "$(count_windows 提示信息)" = 1 ] || fail "$(count_windows 提示信息) summary boxes"
press_in "$box" Return
wait_exit "$APP_PID" 20; status=$EXIT_STATUS
[ "$status" = 0 ] || fail "exit status $status"
report=$(report_file)
lines=$(($(tr -cd '\n' < "$report" | wc -c) + 1))
[ "$lines" = 4000 ] || fail "the report has $lines lines"
rm -f "$report"

# Closing in the middle of a run: many keyword groups make each paper slow enough that
# the run is surely still going when Esc arrives.
python3 - <<'PY' | write_gbk 参数设置.txt
groups = "".join("<关键词>无关词%d|另一种说法%d</关键词>" % (i, i) for i in range(400))
print(("<综合题><分值>10</分值>%s</综合题>\r" % groups) * 2)
PY
write_sheet 200000
start_program vantry
window=$(wait_window Vantry 30) || fail "the main window did not appear"
click_in "$window" "$gx" "$gy"
sleep 0.3
[ "$(count_windows 提示信息)" = 0 ] || fail "the run ended too soon to close it midway"
press_in "$window" Escape
wait_exit "$APP_PID" 5; status=$EXIT_STATUS
[ "$status" = 0 ] || fail "exit status $status after closing during the run"
ls "$PROGRAM"/阅卷结果*.txt >/dev/null 2>&1 && fail "a report was written by the closed run"
echo "PASS: clicks during a run ignored; closing during a run ends at once"
