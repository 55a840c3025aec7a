#!/usr/bin/env bash
# The Windows vantry-grade.exe under Wine writes every output, the workbook included,
# in folders whose Windows paths are 225, 260 and over 400 characters long: any folder
# the report can be written in. The library behind the workbook built its file name in
# a buffer of 260 characters, so from 225 on the workbook was lost (exit 4).
#
# Environment: WINDOWS_PROGRAM_DIR, WINE_RUN (the build tree's Wine wrapper),
# WORKBOOK_SHEETS (the checker that reads a workbook back), PYTHON.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
base=$("$WINE_RUN" winepath -w "$work" 2>/dev/null | tr -d '\r')
repeat() { printf "%${2}s" | tr ' ' "$1"; }
status=0
for total in 225 260 420; do
  # Components of at most 200 characters, as Linux names allow 255 bytes.
  length=$((total - ${#base} - 1))
  relative=$(repeat a $((length > 200 ? 200 : length)))
  if ((length > 200)); then relative=$relative/$(repeat b $((length - 201))); fi
  mkdir -p "$work/$relative"
  cp "$WINDOWS_PROGRAM_DIR/学生答题文本.txt" "$WINDOWS_PROGRAM_DIR/参数设置.txt" \
    "$work/$relative/"
  folder="$base\\${relative//\//\\}"
  code=0
  "$WINE_RUN" "$WINDOWS_PROGRAM_DIR/vantry-grade.exe" --dir "$folder" --quiet \
    >"$work/summary.txt" || code=$?
  if [ $code -ne 0 ]; then
    echo "a folder of ${#folder} characters: vantry-grade.exe exited $code"
    cat "$work/summary.txt"
    status=1
    continue
  fi
  for output in 阅卷结果*.txt 阅卷结果*.xlsx 阅卷分析*.html; do
    if ! compgen -G "$work/$relative/$output" >/dev/null; then
      echo "a folder of ${#folder} characters: no $output"
      status=1
    fi
  done
  if ! "$PYTHON" "$WORKBOOK_SHEETS" "$work/$relative"/阅卷结果*.xlsx >/dev/null; then
    echo "a folder of ${#folder} characters: the workbook is not whole"
    status=1
  fi
  echo "a folder of ${#folder} characters: every output written"
done
exit $status
