#!/usr/bin/env bash
# A notice server that accepts and then stays silent does not freeze the window: while
# the notice is awaited the window takes keys and repaints (a digit typed into 分值
# shows), Esc ends the program well before the notice's 3 s are up, and start-up gives
# up on the notice after 3 s, so a click made right away grades.
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

# Keys while the notice is awaited. Times count from the window's appearing, when the
# notice request goes out (a slow start of the program itself, as under a sanitizer, is
# not the notice's doing).
start_program vantry-notice-e2e
window=$(wait_window Vantry 30) || fail "the main window did not appear"
started=$(date +%s.%N)
points_box_picture "$window" "$WORK/before.png"
click_in "$window" "$px" "$py"
xdotool key --delay 30 ctrl+a 7
# The digit must show while the notice is still awaited (it is for 3 s).
since() { awk -v s="$1" -v e="$(date +%s.%N)" 'BEGIN { printf "%.2f", e - s }'; }
while :; do
  points_box_picture "$window" "$WORK/after.png"
  cmp -s "$WORK/before.png" "$WORK/after.png" || break
  awk -v t="$(since "$started")" 'BEGIN { exit !(t < 2.5) }' \
    || fail "the typed digit did not show while the notice was awaited"
  sleep 0.05
done
pressed=$(date +%s.%N)
xdotool key Escape
wait_exit "$APP_PID" 10
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Esc"
took=$(since "$pressed")
awk -v t="$took" -v p="$(awk -v s="$started" -v e="$pressed" 'BEGIN { print e - s }')" \
    'BEGIN { exit !(p < 2.2 && t < 0.8) }' \
  || fail "Esc pressed $(awk -v s="$started" -v e="$pressed" 'BEGIN { print e - s }') s after the window appeared took $took s"
mkdir -p "$VANTRY_ARTIFACT_DIR"; cp "$WORK/after.png" "$VANTRY_ARTIFACT_DIR/notice_silent_typed_digit.png"
grep -q '^GET /info.txt$' "$WORK/requests" || fail "no notice request"

# A click at once: the run starts when start-up gives up on the notice.
start_program vantry-notice-e2e
window=$(wait_window Vantry 30) || fail "the main window did not appear"
started=$(date +%s.%N)
click_in "$window" "$gx" "$gy"
box=$(wait_window 提示信息 30) || fail "the click made during the notice started no run"
shown=$(date +%s.%N)
# 3 s for the notice, the run, 1 s of pause before the summary, and some slack.
awk -v s="$started" -v e="$shown" 'BEGIN { exit !(e - s < 6) }' \
  || fail "the summary came $(awk -v s="$started" -v e="$shown" 'BEGIN { print e - s }') s after the window appeared"
press_in "$box" Return
wait_exit "$APP_PID" 20
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS"
[ -f "$(report_file)" ] || fail "no report"
echo "PASS: a silent notice server leaves the window responsive and start-up bounded"
