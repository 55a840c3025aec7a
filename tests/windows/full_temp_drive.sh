#!/usr/bin/env bash
# The Windows vantry-grade.exe under Wine with C:'s temporary folder full (a 1 MB file
# system mounted over it) while the exam sits on another drive: the workbook's rows
# cannot be spooled on C:, so they are spooled beside the workbook, and the workbook
# of 3,000 papers is whole. The library's unchecked spool writes used to leave a torn
# workbook in place of a good one, exit 0. Runs in a private mount namespace over an
# overlay of the test prefix (its own wineserver, the prefix left as it was); skipped
# (77) where that cannot be had (not root, no unshare or overlayfs).
#
# Environment: WINDOWS_PROGRAM_DIR, WINEPREFIX, WORKBOOK_SHEETS, PYTHON.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/upper" "$work/scratch" "$work/prefix" "$work/exam"
if [ "$(id -u)" -ne 0 ] ||
  ! unshare -m sh -c "mount -t overlay overlay -o lowerdir=$WINEPREFIX,upperdir=$work/upper,workdir=$work/scratch $work/prefix" 2>/dev/null; then
  echo "needs root, unshare and overlayfs to fill C:'s temporary folder in private"
  exit 77
fi
rm -rf "$work/upper" "$work/scratch"
mkdir -p "$work/upper" "$work/scratch"

cp "$WINDOWS_PROGRAM_DIR/参数设置.txt" "$work/exam/"
"$PYTHON" - "$work/exam/学生答题文本.txt" <<'PY'
import random, sys
random.seed(22)
words = ["光合作用", "叶绿体", "氧气", "细胞膜", "细胞核", "线粒体"]
records = []
for i in range(3000):
    answer = "\t".join("".join(random.choice(words) for _ in range(6)) for _ in range(5))
    records.append(f"<姓名>\t学生{i}\t</姓名>\r\n<答题文本>\t{answer}\t</答题文本>\r\n")
open(sys.argv[1], "wb").write("".join(records).encode("gbk"))
PY

code=0
unshare -m sh -c '
  set -e
  mount -t overlay overlay -o lowerdir="$1",upperdir="$2/upper",workdir="$2/scratch" "$2/prefix"
  export WINEPREFIX="$2/prefix"
  temp=$("$3/cmake/wine-run.sh" cmd /c echo %TEMP% 2>/dev/null | tr -d "\r")
  temp=$("$3/cmake/wine-run.sh" winepath -u "$temp" 2>/dev/null)
  mount -t tmpfs -o size=1m none "$temp"
  exam=$("$3/cmake/wine-run.sh" winepath -w "$2/exam" 2>/dev/null | tr -d "\r")
  set +e
  "$3/cmake/wine-run.sh" "$4/vantry-grade.exe" --dir "$exam" --quiet --no-html
  code=$?
  wineserver=$(dirname "${VANTRY_WINE:-/usr/lib/wine/wine64}")/wineserver
  "$wineserver" -k 2>/dev/null
  exit $code
' sh "$WINEPREFIX" "$work" "$here" "$WINDOWS_PROGRAM_DIR" >"$work/summary.txt" || code=$?
cat "$work/summary.txt"
if [ $code -ne 0 ]; then
  echo "vantry-grade.exe exited $code"
  exit 1
fi
if ! sheets=$("$PYTHON" "$WORKBOOK_SHEETS" "$work/exam"/阅卷结果*.xlsx); then
  echo "the workbook is not whole"
  exit 1
fi
if [ "$(echo "$sheets" | head -1)" != "成绩 3001" ]; then
  echo "the workbook lacks papers: $sheets"
  exit 1
fi
echo "C:'s temporary folder full: the workbook of 3,000 papers is whole"
