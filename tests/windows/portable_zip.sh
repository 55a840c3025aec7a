#!/usr/bin/env bash
# The portable zip: cpack makes it; unpacked into a fresh folder it holds exactly the
# program, the demo exam, 使用说明.txt (GBK, CRLF) and friso's licence, and the program
# grades the demo exam there under Wine with nothing else beside it.
#
# Environment: CPACK_CONFIG (the build tree's CPackConfig.cmake), WINE_RUN.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$CPACK_CONFIG" -B "$work/out" >/dev/null
zips=("$work"/out/vantry-grade-*-win64.zip)
[ -f "${zips[0]}" ] || { echo "no vantry-grade-<version>-win64.zip made"; exit 1; }
(cd "$work" && unzip -q "${zips[0]}")
folder=$(basename "${zips[0]}" .zip)
cd "$work/$folder"

expected=$'vantry-grade.exe\n使用说明.txt\n参数设置.txt\n学生答题文本.txt\nfriso-LICENSE.txt'
actual=$(ls -1 | LC_ALL=C sort)
if [ "$actual" != "$(LC_ALL=C sort <<<"$expected")" ]; then
  echo "the zip holds:"
  echo "$actual"
  exit 1
fi
guide=使用说明.txt
if ! iconv -f GBK -t UTF-8 "$guide" | grep -q '^Vantry 阅卷程序'; then
  echo "$guide is not GBK"
  exit 1
fi
if [ "$(grep -c $'\r$' "$guide")" -ne "$(wc -l <"$guide")" ]; then
  echo "$guide does not end every line with CRLF"
  exit 1
fi

"$WINE_RUN" ./vantry-grade.exe --quiet >summary.txt || {
  echo "vantry-grade.exe exited $? in the unpacked folder"
  exit 1
}
report=(阅卷结果*.txt)
[ -s "${report[0]}" ] || { echo "no report written"; exit 1; }
grep -q '共有试卷：30 份' summary.txt || { cat summary.txt; exit 1; }
echo "zip $(basename "${zips[0]}") graded the demo exam: ${report[0]}"
