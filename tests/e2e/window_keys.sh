#!/usr/bin/env bash
# Without any exam the window still comes up, centred on a small screen, with no message;
# the tutorial button opens the document through the desktop's launcher, and says so in
# a box, with the window staying, when the document is missing or no application can
# open it; Esc ends the program with 0.
source "$(dirname "$0")/lib.sh"

make_program_folder
[ -f "$PROGRAM/软件使用教程.docx" ] || fail "the build did not lay the tutorial beside the program"
start_display 1024x600

# A launcher of the test's own stands in for the desktop's xdg-open: it records what it
# was asked to open and ends with the status in $WORK/launcher_status.
mkdir -p "$WORK/bin"
cat > "$WORK/bin/xdg-open" <<SH
#!/bin/sh
printf '%s\n' "\$1" >> "$WORK/launched"
exit \$(cat "$WORK/launcher_status")
SH
chmod +x "$WORK/bin/xdg-open"
echo 0 > "$WORK/launcher_status"
export PATH="$WORK/bin:$PATH"
start_program vantry

window=$(wait_window Vantry 30) || fail "the main window did not appear"
read -r x y width height < <(window_geometry "$window")
[ "$x,$y,$width,$height" = "2,49,1020,502" ] || fail "window at $x,$y size $width x $height"
sleep 0.5
[ "$(count_windows 提示信息)" = 0 ] || fail "a message at start-up"

read -r tx ty <<< "$TUTORIAL_BUTTON"

# The document is there and an application opens it: no box.
click_in "$window" "$tx" "$ty"
for _ in $(seq 50); do [ -s "$WORK/launched" ] && break; sleep 0.1; done
[ "$(cat "$WORK/launched" 2>/dev/null)" = "$PROGRAM/软件使用教程.docx" ] \
  || fail "the launcher was asked for '$(cat "$WORK/launched" 2>/dev/null)'"
sleep 0.5
[ "$(count_windows 提示信息)" = 0 ] || fail "a box although the document was opened"

# Each failure: a box owned by the window, which stays after the box is closed.
tell_and_close() {
  click_in "$window" "$tx" "$ty"
  expect_box_window_stays "$1" "tutorial_$2"
}

echo 3 > "$WORK/launcher_status"   # xdg-open: no method available for opening
tell_and_close "no application can open the document" no_application
rm "$PROGRAM/软件使用教程.docx"
tell_and_close "the document is missing" missing

press_in "$window" Escape
wait_exit "$APP_PID" 10; status=$EXIT_STATUS
[ "$status" = 0 ] || fail "exit status $status after Esc"
ls "$PROGRAM"/阅卷结果*.txt >/dev/null 2>&1 && fail "a report was written"
echo "PASS: window without exam, tutorial opened or its problem told, Esc"
