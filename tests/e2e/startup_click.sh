#!/usr/bin/env bash
# No lost click: a teacher who types into the boxes and clicks the grading button the
# moment the window appears gets the run, whether the program is still fetching its
# notice (a slow notice server) or has just finished starting; the run uses what was
# typed. Repeated starts, each clicked at once, all end in a summary.
source "$(dirname "$0")/lib.sh"

make_program_folder
write_small_exam
cp "$VANTRY_TEST_DIR/vantry-notice-e2e" "$PROGRAM/"
start_display 1366x768
read -r px py <<< "$POINTS_BOX"
read -r ox oy <<< "$ORDER_BOX"
read -r gx gy <<< "$GRADE_BUTTON"

# Waits for the summary of a run, closes it, checks the end and the report ($1).
expect_run() {
  local box
  box=$(wait_window 提示信息 30) || fail "$2: the click started no run"
  press_in "$box" Return
  wait_exit "$APP_PID" 20
  [ "$EXIT_STATUS" = 0 ] || fail "$2: exit status $EXIT_STATUS"
  printf '%s' "$1" | iconv -f UTF-8 -t GBK > "$WORK/expected"
  cmp -s "$(report_file)" "$WORK/expected" \
    || fail "$2: report differs: $(iconv -f GBK -t UTF-8 < "$(report_file)")"
  rm -f "$(report_file)"
}

# Typing and the click while the notice is still on its way (the server answers after
# 1.5 s).
serve_notice '<公告>欢迎</公告>' 1.5
start_program vantry-notice-e2e
window=$(wait_window Vantry 30) || fail "the main window did not appear"
click_in "$window" "$px" "$py"
xdotool key --delay 30 ctrl+a 3
click_in "$window" "$ox" "$oy"
xdotool type --delay 30 "1-2,1-3"
click_in "$window" "$gx" "$gy"
[ -s "$WORK/requests" ] || fail "the click came after the notice request was answered"
expect_run $'张三 9 4  13\r\n李四 0 3  3' "during the notice"
stop_notice

# The click as soon as the window shows, start after start.
for i in 1 2 3 4 5; do
  start_program vantry
  window=$(wait_window Vantry 30) || fail "start $i: the main window did not appear"
  click_in "$window" "$gx" "$gy"
  expect_run $'张三 6 4  10\r\n李四 2 2  4' "start $i"
done
echo "PASS: clicks during and right after start-up start the run"
