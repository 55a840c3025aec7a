#!/usr/bin/env bash
# The Windows vantry-grade.exe, run under Wine on the demo exam in a folder with a
# Chinese name, writes the same report, byte for byte and under the same name, as the
# Linux vantry-grade. Skipped (77) when the native build is not there.
#
# Environment: WINDOWS_PROGRAM_DIR, NATIVE_PROGRAM_DIR, WINE_RUN (the build tree's
# Wine wrapper).
set -euo pipefail
native=$NATIVE_PROGRAM_DIR/vantry-grade
if [ ! -x "$native" ]; then
  echo "no native vantry-grade in $NATIVE_PROGRAM_DIR: build the default preset first"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for side in linux windows; do
  mkdir -p "$work/$side/期末考试"
  cp "$WINDOWS_PROGRAM_DIR/学生答题文本.txt" "$WINDOWS_PROGRAM_DIR/参数设置.txt" \
    "$work/$side/期末考试/"
done
cmp "$NATIVE_PROGRAM_DIR/学生答题文本.txt" "$WINDOWS_PROGRAM_DIR/学生答题文本.txt"

args=(--points ３ --order 3-1,3-2,3-3 --quiet)
(cd "$work/linux" && "$native" --dir 期末考试 "${args[@]}" >summary.txt)
status=0
(cd "$work/windows" &&
  "$WINE_RUN" "$WINDOWS_PROGRAM_DIR/vantry-grade.exe" --dir 期末考试 "${args[@]}" \
    >summary.txt) || status=$?
if [ $status -ne 0 ]; then
  echo "vantry-grade.exe exited $status"
  exit 1
fi

linux_report=$(cd "$work/linux/期末考试" && ls 阅卷结果*.txt)
windows_report=$(cd "$work/windows/期末考试" && ls 阅卷结果*.txt)
if [ "$linux_report" != "$windows_report" ]; then
  echo "report names differ: $linux_report (Linux), $windows_report (Windows)"
  exit 1
fi
if ! cmp "$work/linux/期末考试/$linux_report" "$work/windows/期末考试/$windows_report"; then
  echo "the reports differ"
  exit 1
fi
# The summaries agree but for the times.
if ! diff <(grep -v 用时 "$work/linux/summary.txt") <(grep -v 用时 "$work/windows/summary.txt"); then
  echo "the summaries differ"
  exit 1
fi
echo "same report: $linux_report, $(wc -c <"$work/linux/期末考试/$linux_report") bytes"
