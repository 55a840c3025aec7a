#!/usr/bin/env bash
# The window program for Windows, driven under Wine as a teacher drives it: vantry.exe
# starts from a folder named in Chinese in a fresh Wine prefix on a virtual display,
# its window comes up with its title and size, the teacher types ３ (a full-width
# digit, through the clipboard as an input method would) into 分值 and 1-2,1-3 into
# 先后顺序, clicks the grading button, reads the summary box and presses Enter; the
# program ends with 0 and its report is byte for byte the report of the Linux window
# driven the same way on the same exam. Then an answer sheet that cannot be read (UTF-8
# holding a character GBK lacks) is answered with a box, and the window stays.
# Screenshots go to the artifacts folder. Skipped (77) without Wine, Xvfb, xdotool,
# xclip or ImageMagick, or without the native build to compare with.
#
# Environment: WINDOWS_PROGRAM_DIR, NATIVE_PROGRAM_DIR, VANTRY_ARTIFACT_DIR,
# WINE_PREFIX_SCRIPT (cmake/wine-prefix.sh).
wine=${VANTRY_WINE:-/usr/lib/wine/wine64}
for tool in "$wine" Xvfb xdotool xclip import xwininfo iconv; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (scripts/install-deps installs it)"
    exit 77
  fi
done
if [ ! -x "$NATIVE_PROGRAM_DIR/vantry" ]; then
  echo "SKIP: no native vantry in $NATIVE_PROGRAM_DIR to compare with: build the default preset first"
  exit 77
fi
VANTRY_PROGRAM_DIR=$WINDOWS_PROGRAM_DIR
source "$(dirname "$0")/../e2e/lib.sh"

export WINEPREFIX="$WORK/wine-prefix"
# Wine's errors only, kept in wine.err and shown when a run ends badly.
export WINEDEBUG=-all,err+all
# No first-start installers (Mono, Gecko) and no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
wineserver=$(dirname "$wine")/wineserver
E2E_CLEANUP+=("WINEPREFIX=$WINEPREFIX $wineserver -k")

# Pastes $1 into the control under the mouse as the only text: through the clipboard,
# as a Chinese input method hands over its text (typing it with xdotool repeats
# characters under Wine).
paste_text() {
  printf '%s' "$1" | xclip -selection clipboard
  xdotool key --delay 80 ctrl+a ctrl+v
  sleep 0.3
}

# Fails with $1 unless the program ended with 0, showing the end of its error log $2.
expect_exit_0() {
  [ "$EXIT_STATUS" = 0 ] && return 0
  local log=""
  [ -s "$2" ] && log=$'\n'"$(tail -n 20 "$2")"
  fail "$1: exit status $EXIT_STATUS$log"
}

# The teacher's run in the window of program $1 (started by $2): types the boxes, grades,
# closes the summary with Enter. Keeps screenshots named after $3; $4 is its error log.
teacher_run() {
  local window box
  window=$(wait_window Vantry 90) || fail "$3: the main window did not appear"
  sleep 1
  screenshot "$3_start"
  read -r px py <<< "$POINTS_BOX"
  click_in "$window" "$px" "$py"
  paste_text ３
  read -r ox oy <<< "$ORDER_BOX"
  click_in "$window" "$ox" "$oy"
  xdotool key --delay 80 ctrl+a
  xdotool type --delay 80 "1-2,1-3"
  read -r gx gy <<< "$GRADE_BUTTON"
  click_in "$window" "$gx" "$gy"
  box=$(wait_window 提示信息 90) || fail "$3: no summary box"
  sleep 1
  screenshot "$3_summary"
  press_in "$box" Return
  wait_exit "$APP_PID" 30
  expect_exit_0 "$3" "$4"
}

# Starts the Windows program $1 (default vantry.exe) of the program folder under Wine.
start_windows_program() {
  (cd "$PROGRAM" && exec "$wine" "./${1:-vantry.exe}") >"$WORK/wine.out" 2>"$WORK/wine.err" &
  APP_PID=$!
  E2E_CLEANUP+=("kill -9 $APP_PID")
}

start_display 1366x768

# The Linux window on the exam.
PROGRAM="$WORK/linux/期末阅卷"
VANTRY_PROGRAM_DIR=$NATIVE_PROGRAM_DIR make_program_folder
write_small_exam
start_program vantry
teacher_run vantry "" linux_window "$WORK/vantry.err"
linux_report=$(report_file)
[ -f "$linux_report" ] || fail "the Linux window wrote no report: $(ls "$PROGRAM")"

# The Windows window in a fresh prefix that knows a Chinese font.
bash "$WINE_PREFIX_SCRIPT" ensure "$WINEPREFIX" >/dev/null
PROGRAM="$WORK/windows/期末阅卷"
make_program_folder
write_small_exam
start_windows_program
window=$(wait_window Vantry 90) || fail "the Windows window did not appear: $(cat "$WORK/wine.err")"
read -r x y width height < <(window_geometry "$window")
echo "vantry.exe under Wine: client area $width x $height at $x,$y"
# The frame (Windows' own borders, drawn by a window manager under Wine) is 1020 x 502,
# centred on the 1366 x 768 screen, i.e. from 173,133 to 1193,635: the client area lies
# inside it, between side borders of one width and above a bottom border of that width.
border=$((x - 173))
((border >= 0 && y >= 133 && x + width + border == 1193 && y + height + border == 635)) ||
  fail "the window is not a 1020 x 502 frame centred on the screen: $width x $height at $x,$y"
[ -f "$PROGRAM/SkinH_EL.dll" ] || fail "the skin library was not written: $(ls -a "$PROGRAM")"
teacher_run vantry.exe "" wine_window "$WORK/wine.err"
windows_report=$(report_file)
[ -f "$windows_report" ] || fail "vantry.exe wrote no report: $(ls "$PROGRAM")"
cmp "$linux_report" "$windows_report" ||
  fail "the reports differ: $(iconv -f GBK -t UTF-8 <"$windows_report")"
report_bytes=$(wc -c <"$windows_report")

# A sheet that cannot be read: a box, and the window stays for the next click.
rm -f "$PROGRAM"/阅卷结果* "$PROGRAM"/阅卷分析*
printf '<姓名>\t张三\t</姓名>\r\n<答题文本>\t光合作用\xF0\x9F\x98\x80\t</答题文本>\r\n' \
  >"$PROGRAM/学生答题文本.txt"
start_windows_program
window=$(wait_window Vantry 90) || fail "the Windows window did not come back"
read -r gx gy <<< "$GRADE_BUTTON"
click_in "$window" "$gx" "$gy"
expect_box_window_stays "the sheet holds a character GBK lacks" wine_window_sheet_outside_gbk
press_in "$window" Escape
wait_exit "$APP_PID" 30
expect_exit_0 "after Esc" "$WORK/wine.err"
# The notice, fetched on its own thread through the Windows build of libcurl, from a
# server on loopback: the announcement shows in the window.
cp "$VANTRY_TEST_DIR/vantry-notice-e2e.exe" "$PROGRAM/"
write_small_exam
serve_notice $'<公告>欢迎使用 Vantry！本周起题库更新。</公告>'
start_windows_program vantry-notice-e2e.exe
window=$(wait_window Vantry 90) || fail "the notice program's window did not appear"
for _ in $(seq 50); do grep -q '^GET /info.txt$' "$WORK/requests" 2>/dev/null && break; sleep 0.2; done
grep -q '^GET /info.txt$' "$WORK/requests" || fail "no notice request from Windows"
sleep 1
screenshot wine_window_notice
press_in "$window" Escape
wait_exit "$APP_PID" 30
expect_exit_0 "after Esc with the notice" "$WORK/wine.err"
stop_notice

echo "PASS: vantry.exe graded like the Linux window ($report_bytes bytes) and warned"
