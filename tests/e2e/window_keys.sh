#!/usr/bin/env bash
# Without any exam the window still comes up, centred on a small screen, with no message;
# the tutorial button shows nothing from the program; Esc ends the program with 0.
source "$(dirname "$0")/lib.sh"

make_program_folder
[ -f "$PROGRAM/软件使用教程.docx" ] || fail "the build did not lay the tutorial beside the program"
start_display 1024x600
start_program vantry

window=$(wait_window Vantry 30) || fail "the main window did not appear"
read -r x y width height < <(window_geometry "$window")
[ "$x,$y,$width,$height" = "2,49,1020,502" ] || fail "window at $x,$y size $width x $height"
sleep 0.5
visible_before=$(xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l)

read -r tx ty <<< "$TUTORIAL_BUTTON"
click_in "$window" "$tx" "$ty"
rm "$PROGRAM/软件使用教程.docx"
click_in "$window" "$tx" "$ty"
sleep 1.5
visible_after=$(xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l)
[ "$visible_after" = "$visible_before" ] || fail "a window appeared after the tutorial button"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended after the tutorial button"

press_in "$window" Escape
wait_exit "$APP_PID" 10; status=$EXIT_STATUS
[ "$status" = 0 ] || fail "exit status $status after Esc"
ls "$PROGRAM"/阅卷结果*.txt >/dev/null 2>&1 && fail "a report was written"
echo "PASS: window without exam, tutorial button, Esc"
