#!/usr/bin/env bash
# The notice server on loopback: an announcement alone lets the program start; an update
# message shows the "软件更新提示" box, after which the program ends with 0.
source "$(dirname "$0")/lib.sh"

make_program_folder
write_small_exam
cp "$VANTRY_TEST_DIR/vantry-notice-e2e" "$PROGRAM/"
start_display 1366x768

# An announcement with markup, shown as plain text.
serve_notice $'<公告>欢迎使用 Vantry！\r\n<b>本周</b>起题库更新。</公告>'
start_program vantry-notice-e2e
window=$(wait_window Vantry 30) || fail "the main window did not appear"
sleep 0.5
screenshot notice_announcement
grep -q '^GET /info.txt$' "$WORK/requests" || fail "no notice request: $(cat "$WORK/requests" 2>/dev/null)"
[ "$(count_windows 软件更新提示)" = 0 ] || fail "an update box without an update message"
press_in "$window" Escape
wait_exit "$APP_PID" 10; status=$EXIT_STATUS
[ "$status" = 0 ] || fail "exit status $status after Esc"
stop_notice

# An update message: the box, then the end.
serve_notice $'<公告>新版本已发布</公告>\r\n<更新>请下载 Vantry 2.0 后再使用。</更新>'
start_program vantry-notice-e2e
box=$(wait_window 软件更新提示 30) || fail "no update box"
sleep 0.3
screenshot notice_update
press_in "$box" Return
wait_exit "$APP_PID" 10; status=$EXIT_STATUS
[ "$status" = 0 ] || fail "exit status $status after the update box"
ls "$PROGRAM"/阅卷结果*.txt >/dev/null 2>&1 && fail "a report was written"
echo "PASS: announcement and update message"
