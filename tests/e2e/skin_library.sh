#!/usr/bin/env bash
# The skin library beside the program: written when absent, then left untouched; a
# different library that works is used as it is; a broken one or one without the entry
# gives the fatal-error box and exit status 255 (-1) before the window appears.
source "$(dirname "$0")/lib.sh"

make_program_folder
write_small_exam
start_display 1366x768
library="$PROGRAM/SkinH_EL.dll"

run_until_window_then_escape() {
  start_program vantry
  local window
  window=$(wait_window Vantry 30) || fail "the main window did not appear ($1)"
  sleep 0.3
  press_in "$window" Escape
  local status
  wait_exit "$APP_PID" 10; status=$EXIT_STATUS
  [ "$status" = 0 ] || fail "exit status $status ($1)"
}

# Absent: written with the carried bytes.
[ ! -e "$library" ] || fail "the folder already holds a library"
run_until_window_then_escape "first start"
cmp -s "$library" "$VANTRY_SKIN_MODULE" || fail "the written library is not the carried one"

# Present: the second start leaves it as it is.
touch -d '2001-02-03 04:05:06' "$library"
before=$(stat -c '%Y %s %i' "$library")
run_until_window_then_escape "second start"
[ "$(stat -c '%Y %s %i' "$library")" = "$before" ] || fail "the second start touched the library"

# A different library that works is used unchanged.
cp "$VANTRY_SKIN_MODULE" "$library"
head -c 4096 /dev/zero >> "$library"
cp "$library" "$WORK/different"
run_until_window_then_escape "different library"
cmp -s "$library" "$WORK/different" || fail "a different library was replaced"

expect_fatal() {
  cp "$library" "$WORK/before"
  start_program vantry
  local box
  box=$(wait_window 错误 30) || fail "no fatal-error box ($1)"
  [ "$(count_windows Vantry)" = 0 ] || fail "the main window is shown behind the fatal error ($1)"
  sleep 0.3
  screenshot "skin_fatal_$2"
  press_in "$box" Return
  local status
  wait_exit "$APP_PID" 10; status=$EXIT_STATUS
  [ "$status" = 255 ] || fail "exit status $status ($1)"
  cmp -s "$library" "$WORK/before" || fail "the library was replaced ($1)"
}

head -c 20000 /dev/urandom > "$library"
expect_fatal "broken library" broken
cp "$VANTRY_TEST_DIR/libvantry_skin_no_entry.so" "$library"
expect_fatal "library without the entry" no_entry
echo "PASS: skin library written, kept, used, and fatal when broken"
