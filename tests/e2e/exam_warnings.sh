#!/usr/bin/env bash
# No silent failure before a run: for each kind of answer sheet or parameters file that
# cannot be graded, a click on the grading button shows a box (提示信息), grades
# nothing, writes nothing, and leaves the window open for the next click.
source "$(dirname "$0")/lib.sh"

make_program_folder
start_display 1366x768
read -r gx gy <<< "$GRADE_BUTTON"

# Clicks the grading button and expects the box for case $1; the window stays.
expect_box() {
  click_in "$window" "$gx" "$gy"
  expect_box_window_stays "$1" "exam_warning_$1"
  if ls "$PROGRAM"/阅卷结果* "$PROGRAM"/阅卷分析* >/dev/null 2>&1; then
    fail "$1: something was written: $(ls "$PROGRAM")"
  fi
}

# Ends the program with Esc.
close_window() {
  press_in "$window" Escape
  wait_exit "$APP_PID" 10
  [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Esc"
}

sheet() { rm -rf "$PROGRAM/学生答题文本.txt"; }

# The answer sheet is read at each click: one start for all of its cases.
write_small_exam
start_program vantry
window=$(wait_window Vantry 30) || fail "the main window did not appear"
sheet
expect_box sheet_missing
mkdir "$PROGRAM/学生答题文本.txt"
expect_box sheet_unreadable
sheet
printf '<答题文本>\t光合作用\t</答题文本>\r\n' | write_gbk 学生答题文本.txt
expect_box sheet_without_name
sheet
# UTF-8 is read as its GBK twin, but not a character GBK lacks.
printf '<姓名>\t张三\t</姓名>\r\n<答题文本>\t光合作用在叶绿体中进行。\xF0\x9F\x98\x80\t</答题文本>\r\n' \
  > "$PROGRAM/学生答题文本.txt"
expect_box sheet_utf8_outside_gbk
sheet
printf '<姓名>\t张三\t</姓名>\r\n<答题文本>\t光合作用\t</答题文本>\r\n' \
  | iconv -f UTF-8 -t UTF-16 > "$PROGRAM/学生答题文本.txt"
expect_box sheet_utf16
sheet
printf '<姓名>\t张三\t</姓名>\r\n<姓名>\t李四\t</姓名>\r\n<答题文本>\t光合作用\t</答题文本>\r\n' \
  | write_gbk 学生答题文本.txt
expect_box sheet_fields_mismatch
close_window

# The parameters file is read at start-up: a start for each of its cases.
params_case() {
  local name=$1
  rm -rf "$PROGRAM/参数设置.txt"
  write_small_exam
  rm -rf "$PROGRAM/参数设置.txt"
  case $name in
    parameters_missing) ;;
    parameters_unreadable) mkdir "$PROGRAM/参数设置.txt" ;;
    parameters_without_rule) printf '<分值>10</分值><关键词>光合作用</关键词>\r\n' | write_gbk 参数设置.txt ;;
    parameters_utf8_outside_gbk) printf '<综合题><分值>10</分值><关键词>光合作用\xF0\xA0\x80\x80</关键词></综合题>\r\n' > "$PROGRAM/参数设置.txt" ;;
  esac
  start_program vantry
  window=$(wait_window Vantry 30) || fail "$name: the main window did not appear"
  [ "$(count_windows 提示信息)" = 0 ] || fail "$name: a box at start-up"
  expect_box "$name"
  close_window
}
for name in parameters_missing parameters_unreadable parameters_without_rule parameters_utf8_outside_gbk; do
  params_case "$name"
done
echo "PASS: every exam that cannot be graded is told in a box; nothing written; window kept"
