#!/usr/bin/env bash
# A teacher's grading run: the window comes up centred with its skin written beside the
# program, the teacher types 3 into 分值 and 1-2,1-3 into 先后顺序, clicks the grading
# button, reads the summary box (which names the report, the workbook and the page and
# gives the check's verdict) and presses Enter; the program ends with 0, the
# report holds the scores for those box values and the analysis page beside it holds
# the students and the check against the teacher's marks lying beside the exam.
source "$(dirname "$0")/lib.sh"

make_program_folder
write_small_exam
printf '姓名,第1题,第2题\r\n张三,9,4\r\n李四,2,3\r\n' | write_gbk 教师评分.csv
start_display 1366x768
start_accessibility
start_program vantry

window=$(wait_window Vantry 30) || fail "the main window did not appear"
read -r x y width height < <(window_geometry "$window")
[ "$width x $height" = "1020 x 502" ] || fail "window is $width x $height"
[ "$x,$y" = "173,133" ] || fail "window at $x,$y, not centred on 1366 x 768"
cmp -s "$PROGRAM/SkinH_EL.dll" "$VANTRY_SKIN_MODULE" || fail "the skin library was not written"
sleep 0.5
screenshot window_start

read -r px py <<< "$POINTS_BOX"
click_in "$window" "$px" "$py"
xdotool key --delay 50 ctrl+a 3
read -r ox oy <<< "$ORDER_BOX"
click_in "$window" "$ox" "$oy"
xdotool type --delay 50 "1-2,1-3"
read -r gx gy <<< "$GRADE_BUTTON"
click_in "$window" "$gx" "$gy"

box=$(wait_window 提示信息 60) || fail "no summary box"
sleep 0.5
screenshot window_after_run
# The box's text, as a screen reader reads it: the report's line, then one line per
# further file written and the check's verdict.
summary=$(box_text 提示信息) || fail "the summary box cannot be read"
day=$(date +%Y%m%d)
for line in "阅卷结果已保存在‘阅卷结果$day.txt’！" "成绩表已保存在‘阅卷结果$day.xlsx’！" \
            "分析页已保存在‘阅卷分析$day.html’！" "与教师评分核对：规则"; do
  grep -qF "$line" <<< "$summary" || fail "the summary box lacks “$line”: $summary"
done
press_in "$box" Return
wait_exit "$APP_PID" 20; status=$EXIT_STATUS
[ "$status" = 0 ] || fail "exit status $status"

report=$(report_file)
[ -f "$report" ] || fail "no report $(ls "$PROGRAM")"
printf '张三 9 4  13\r\n李四 0 3  3' | iconv -f UTF-8 -t GBK > "$WORK/expected"
cmp "$report" "$WORK/expected" || fail "report differs: $(iconv -f GBK -t UTF-8 < "$report" | od -c | head)"
page="$PROGRAM/阅卷分析$(date +%Y%m%d).html"
grep -q '<summary>李四</summary>' "$page" || fail "no analysis page with the students: $(ls "$PROGRAM")"
grep -q '比对 2 份试卷' "$page" || fail "the page does not check 教师评分.csv"
echo "PASS: graded two papers with 分值 3 and 先后顺序 1-2,1-3"
