#!/usr/bin/env bash
# Long names and large totals show whole: for each student the window's name label and
# score label are photographed as the run leaves them (the summary box moved aside),
# and the text's ink must lie inside each label, clear of its edges and centred.
source "$(dirname "$0")/lib.sh"

start_display 1366x768

# The columns of the ink of colour $2 in the box "w h x y" ($3) of screenshot $1, as
# "first last" relative to the box; fails when there is none.
ink_columns() {
  local shot=$1 colour=$2 w h x y
  read -r w h x y <<< "$3"
  local info
  info=$(convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -fill white +opaque "$colour" \
           -trim info:- 2>/dev/null) || true
  # "png:- PNG 60x40 172x80+56+20 ...": the ink's size and its offset in the box.
  echo "$info" | awk '{ split($3, size, "x"); split($4, at, "+");
                        if (size[1] < 2) exit 1; print at[2], at[2] + size[1] - 1 }'
}

# Checks that the ink of colour $3 lies whole and centred in the label box "w h x y"
# ($2) of screenshot $1; $4 names the case.
check_label() {
  local shot=$1 box=$2 colour=$3 what=$4 first last w
  read -r first last < <(ink_columns "$shot" "$colour" "$box") || fail "$what: no text drawn"
  w=${box%% *}
  [ "$first" -gt 0 ] || fail "$what: the text touches the label's left edge ($first)"
  [ "$last" -lt $((w - 1)) ] || fail "$what: the text touches the label's right edge ($last of $w)"
  local left=$first right=$((w - 1 - last))
  local skew=$((left > right ? left - right : right - left))
  [ "$skew" -le 8 ] || fail "$what: not centred (margins $left and $right)"
  echo "  $what: ink $first..$last of $w"
}

# One run: student $1, points per keyword group $2, a cap large enough not to matter.
run_case() {
  local name=$1 points=$2 label=$3
  make_program_folder
  printf '<姓名>\t%s\t</姓名>\r\n<答题文本>\t光合作用在叶绿体中进行，产生氧气。\t</答题文本>\r\n' "$name" \
    | write_gbk 学生答题文本.txt
  printf '<综合题><分值>2147483647</分值><关键词>光合作用</关键词><关键词>叶绿体</关键词><关键词>氧气</关键词></综合题>\r\n' \
    | write_gbk 参数设置.txt
  start_program vantry
  local window
  window=$(wait_window Vantry 30) || fail "the main window did not appear"
  local wx wy
  read -r wx wy _ < <(window_geometry "$window")
  read -r px py <<< "$POINTS_BOX"
  click_in "$window" "$px" "$py"
  xdotool key --delay 30 ctrl+a
  xdotool type --delay 30 -- "$points"
  read -r gx gy <<< "$GRADE_BUTTON"
  click_in "$window" "$gx" "$gy"
  # The summary box comes up over the labels: move it aside, let the window repaint.
  local box
  box=$(wait_window 提示信息 30) || fail "$label: no summary box"
  xdotool windowmove "$box" 0 0
  sleep 0.5
  screenshot "long_names_$label"
  local shot="$VANTRY_ARTIFACT_DIR/long_names_$label.png"
  # The labels' boxes: the result group at 445,205 in the window; name 8,30 172x80,
  # score 188,30 135x80 in the group.
  check_label "$shot" "172 80 $((wx + 453)) $((wy + 235))" "rgb(0,136,255)" "$label name"
  check_label "$shot" "135 80 $((wx + 633)) $((wy + 235))" "rgb(255,0,255)" "$label score"
  press_in "$box" Return
  wait_exit "$APP_PID" 20
  [ "$EXIT_STATUS" = 0 ] || fail "$label: exit status $EXIT_STATUS"
}

run_case 欧阳娜娜 2 four_characters
run_case 买买提·艾力 715827882 middle_dot            # total 2,147,483,646
run_case 诸葛孔明司马仲达欧阳修文 -2147483648 twelve_characters  # total at the lower limit
echo "PASS: long names and large totals show whole and centred"
