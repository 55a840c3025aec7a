#!/usr/bin/env bash
# A notice server that accepts and then stays silent does not freeze the window: while
# the notice is awaited the window takes keys and repaints (a digit typed into 分值
# shows), Esc ends the program at once, and start-up gives up on the notice after 3 s,
# so a click made right away grades.
source "$(dirname "$0")/lib.sh"

make_program_folder
write_small_exam
cp "$VANTRY_TEST_DIR/vantry-notice-e2e" "$PROGRAM/"
start_display 1366x768
serve_notice '<公告>来得太晚的公告</公告>' 120
read -r px py <<< "$POINTS_BOX"
read -r gx gy <<< "$GRADE_BUTTON"

# The 分值 box of window $1, photographed into $2.
points_box_picture() {
  local wx wy
  read -r wx wy _ < <(window_geometry "$1")
  import -window root -crop "39x32+$((wx + 491))+$((wy + 347))" "$2"
}

# Keys while the notice is awaited.
started=$(date +%s.%N)
start_program vantry-notice-e2e
window=$(wait_window Vantry 30) || fail "the main window did not appear"
points_box_picture "$window" "$WORK/before.png"
click_in "$window" "$px" "$py"
xdotool key --delay 30 ctrl+a 7
sleep 0.5
points_box_picture "$window" "$WORK/after.png"
screenshot notice_silent_typing
cmp -s "$WORK/before.png" "$WORK/after.png" && fail "the typed digit did not show while the notice was awaited"
press_in "$window" Escape
wait_exit "$APP_PID" 10
ended=$(date +%s.%N)
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Esc"
grep -q '^GET /info.txt$' "$WORK/requests" || fail "no notice request"
awk -v s="$started" -v e="$ended" 'BEGIN { exit !(e - s < 3.5) }' \
  || fail "Esc took effect only $(awk -v s="$started" -v e="$ended" 'BEGIN { print e - s }') s after the start"

# A click at once: the run starts when start-up gives up on the notice.
started=$(date +%s.%N)
start_program vantry-notice-e2e
window=$(wait_window Vantry 30) || fail "the main window did not appear"
click_in "$window" "$gx" "$gy"
box=$(wait_window 提示信息 30) || fail "the click made during the notice started no run"
shown=$(date +%s.%N)
# 3 s for the notice, the run, 1 s of pause before the summary, and some slack.
awk -v s="$started" -v e="$shown" 'BEGIN { exit !(e - s < 6.5) }' \
  || fail "the summary came $(awk -v s="$started" -v e="$shown" 'BEGIN { print e - s }') s after the start"
press_in "$box" Return
wait_exit "$APP_PID" 20
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS"
[ -f "$(report_file)" ] || fail "no report"
echo "PASS: a silent notice server leaves the window responsive and start-up bounded"
