# Shared by the end-to-end scripts: a program folder copied from the build, a virtual
# display, and ways to find, click and type at the program's windows as a person does.
# Expects VANTRY_PROGRAM_DIR (the built program folder), VANTRY_TEST_DIR (test-only
# programs) and VANTRY_ARTIFACT_DIR (where screenshots are kept).
set -euo pipefail

E2E_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/vantry-e2e-$E2E_NAME.XXXXXX")
PROGRAM="$WORK/program"
XVFB_PID=
declare -a E2E_CLEANUP=()

e2e_cleanup() {
  local status=$?
  for command in "${E2E_CLEANUP[@]}"; do eval "$command" >/dev/null 2>&1 || true; done
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
  exit $status
}
trap e2e_cleanup EXIT
trap 'echo "FAIL ($E2E_NAME): line $LINENO: $BASH_COMMAND" >&2' ERR
set -o errtrace

fail() {
  echo "FAIL ($E2E_NAME): $*" >&2
  exit 1
}

# A fresh program folder: the built one without its exam files, reports or skin library.
make_program_folder() {
  rm -rf "$PROGRAM"
  mkdir -p "$PROGRAM"
  cp -a "$VANTRY_PROGRAM_DIR"/. "$PROGRAM"/
  rm -f "$PROGRAM"/学生答题文本.txt "$PROGRAM"/参数设置.txt "$PROGRAM"/阅卷结果*.txt \
        "$PROGRAM"/阅卷结果*.xlsx "$PROGRAM"/阅卷分析*.html "$PROGRAM"/教师评分.csv \
        "$PROGRAM"/SkinH_EL.dll
}

# Writes UTF-8 text from stdin into the program folder as GBK.
write_gbk() {
  iconv -f UTF-8 -t GBK > "$PROGRAM/$1"
}

# Starts a virtual display of the given size ("1366x768") and exports DISPLAY.
start_display() {
  local fifo="$WORK/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$fifo" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  local number
  read -r -t 20 number < "$fifo" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
  export DISPLAY=":$number"
}

# Starts a session bus and the accessibility bus on it, so that the programs started
# after it can be read as a screen reader reads them (box_text).
start_accessibility() {
  local address
  address=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 \
            2>>"$WORK/dbus.log" | { read -r a; read -r p; echo "$a $p"; })
  export DBUS_SESSION_BUS_ADDRESS=${address% *}
  E2E_CLEANUP+=("kill ${address##* }")
  /usr/libexec/at-spi-bus-launcher --launch-immediately >>"$WORK/dbus.log" 2>&1 &
  E2E_CLEANUP+=("kill $!")
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# Prints the text of the message box titled $1, as a screen reader reads it; waits up
# to $2 s (default 10) for it.
box_text() {
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/box_text.py" "$1" "${2:-10}"
}

# Prints the id of the visible window whose title is exactly $1, waiting up to $2 s.
wait_window() {
  local title=$1 seconds=${2:-20} id
  local deadline=$((SECONDS + seconds))
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Number of visible windows titled exactly $1.
count_windows() {
  xdotool search --onlyvisible --name "^${1}\$" 2>/dev/null | wc -l
}

# Clicks at (x, y) of window $1's client area.
click_in() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Gives window $1 the keyboard and presses the keys that follow.
press_in() {
  local id=$1
  shift
  xdotool windowfocus "$id" 2>/dev/null || true
  sleep 0.2
  xdotool key --delay 50 "$@"
}

# Waits up to $2 s for process $1 to end and sets EXIT_STATUS to its exit status. It
# must run in this shell, not in a $(...) subshell: only the shell that started the
# program can collect its status.
wait_exit() {
  local pid=$1 seconds=${2:-30}
  local deadline=$((SECONDS + seconds))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || { kill -9 "$pid" 2>/dev/null; fail "the program did not end within ${seconds}s"; }
    sleep 0.1
  done
  EXIT_STATUS=0
  wait "$pid" || EXIT_STATUS=$?
}

# Starts program $1 (a file of the program folder) in the background; sets APP_PID.
start_program() {
  (cd / && exec "$PROGRAM/$1") >"$WORK/$1.out" 2>"$WORK/$1.err" &
  APP_PID=$!
  E2E_CLEANUP+=("kill -9 $APP_PID")
}

# Keeps a picture of the whole screen as an artifact.
screenshot() {
  mkdir -p "$VANTRY_ARTIFACT_DIR"
  import -window root "$VANTRY_ARTIFACT_DIR/$1.png"
}

# Position and size of window $1 as "x y width height".
window_geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# The controls' centres in the window's client area.
GRADE_BUTTON="704 428"
TUTORIAL_BUTTON="897 244"
POINTS_BOX="510 363"
ORDER_BOX="688 363"

# The exam of the tutorial: two students, two questions.
write_small_exam() {
  printf '<姓名>\t张三\t</姓名>\r\n<答题文本>\t光合作用在叶绿体中进行，产生氧气。\t细胞膜具有选择透过性。\t</答题文本>\r\n<姓名>\t李四\t</姓名>\r\n<答题文本>\t植物在叶绿体里制造养分。\t细胞膜。\t</答题文本>\r\n' \
    | write_gbk 学生答题文本.txt
  printf '<综合题><分值>10</分值><关键词>光合作用|光合</关键词><关键词>叶绿体</关键词><关键词>氧气</关键词></综合题>\r\n<综合题><分值>4</分值><关键词>细胞膜</关键词><关键词>选择透过性</关键词></综合题>\r\n' \
    | write_gbk 参数设置.txt
}

# Today's report file (the date as the program formats it).
report_file() {
  echo "$PROGRAM/阅卷结果$(date +%Y%m%d).txt"
}

# The port the test build vantry-notice-e2e asks for its notice.
NOTICE_PORT=48217

# Serves the GBK form of $1 as the notice on loopback, answering each request after $2
# seconds (default 0); sets SERVER_PID. Requests are logged to $WORK/requests.
serve_notice() {
  printf '%s' "$1" | iconv -f UTF-8 -t GBK > "$WORK/body"
  rm -f "$WORK/ready"
  python3 "$(dirname "${BASH_SOURCE[0]}")/notice_server.py" "$NOTICE_PORT" "$WORK/body" \
    "$WORK/requests" "$WORK/ready" "${2:-0}" >"$WORK/server.log" 2>&1 &
  SERVER_PID=$!
  E2E_CLEANUP+=("kill $SERVER_PID")
  for _ in $(seq 100); do [ -f "$WORK/ready" ] && return 0; sleep 0.1; done
  fail "the notice server did not start"
}

# Stops the server that serve_notice started.
stop_notice() {
  kill "$SERVER_PID" 2>/dev/null || true
  wait "$SERVER_PID" 2>/dev/null || true
}

# After a click that must be answered with a box (提示信息): waits for the box, keeps
# its picture as artifact $2, closes it with Enter and checks that the program and its
# main window stay. $1 names the case in failures.
expect_box_window_stays() {
  local what=$1 box
  box=$(wait_window 提示信息 15) || fail "no box when $what"
  sleep 0.3
  screenshot "$2"
  press_in "$box" Return
  for _ in $(seq 50); do [ "$(count_windows 提示信息)" = 0 ] && break; sleep 0.1; done
  [ "$(count_windows 提示信息)" = 0 ] || fail "the box stayed after Enter when $what"
  kill -0 "$APP_PID" 2>/dev/null || fail "the program ended when $what"
  [ "$(count_windows Vantry)" = 1 ] || fail "the window went when $what"
}
