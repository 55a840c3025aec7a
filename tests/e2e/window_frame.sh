#!/usr/bin/env bash
# Under a window manager (openbox) the window's outer frame, title bar included,
# measures 1020 x 502 and is centred from the moment the window appears, without a
# later jump; a click on the grading button right then starts the run.
source "$(dirname "$0")/lib.sh"

command -v openbox >/dev/null || fail "openbox is not installed (scripts/install-deps)"
make_program_folder
write_small_exam
start_display 1366x768
openbox >"$WORK/openbox.log" 2>&1 &
E2E_CLEANUP+=("kill $!")
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"

# The outer frame of window $1 as "x y width height", from its client area and the
# frame widths the window manager states (left, right, top, bottom).
outer_geometry() {
  local x y w h left right top bottom
  read -r x y w h < <(window_geometry "$1")
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}')
  [ -n "$bottom" ] || return 1
  echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

start_program vantry
window=$(wait_window Vantry 30) || fail "the main window did not appear"
read -r gx gy <<< "$GRADE_BUTTON"
first=$(outer_geometry "$window") || fail "no frame around the window"
click_in "$window" "$gx" "$gy"
expected="$(((1366 - 1020) / 2)) $(((768 - 502) / 2)) 1020 502"
[ "$first" = "$expected" ] || fail "when it appeared the frame was at $first, not $expected"

box=$(wait_window 提示信息 30) || fail "the click at once started no run"
later=$(outer_geometry "$window")
[ "$later" = "$expected" ] || fail "the frame moved to $later"
sleep 0.3
screenshot window_frame
press_in "$box" Return
wait_exit "$APP_PID" 20
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS"
[ -f "$(report_file)" ] || fail "no report"
echo "PASS: outer frame 1020 x 502, centred from the start; the click at once ran"
