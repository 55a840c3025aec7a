#!/usr/bin/env bash
# The portable zip: cpack makes it; unpacked into a fresh folder it holds exactly the
# two programs, the tutorial, the demo exam, 使用说明.txt (GBK, CRLF), friso's
# licence and licenses/ with the licence of every library linked in, and the batch grader grades the demo exam there under Wine with nothing else
# beside it (the window program is driven in window_wine.sh).
#
# Environment: CPACK_CONFIG (the build tree's CPackConfig.cmake), WINE_RUN, OBJDUMP,
# SKIN_LIBRARY (the skin library vantry.exe carries).
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$CPACK_CONFIG" -B "$work/out" >/dev/null
zips=("$work"/out/vantry-*-win64.zip)
[ -f "${zips[0]}" ] || { echo "no vantry-<version>-win64.zip made"; exit 1; }
(cd "$work" && unzip -q "${zips[0]}")
folder=$(basename "${zips[0]}" .zip)
cd "$work/$folder"

expected=$'vantry.exe\nvantry-grade.exe\n使用说明.txt\n参数设置.txt\n学生答题文本.txt\n软件使用教程.docx\nfriso-LICENSE.txt\nlicenses'
actual=$(ls -1 | LC_ALL=C sort)
if [ "$actual" != "$(LC_ALL=C sort <<<"$expected")" ]; then
  echo "the zip holds:"
  echo "$actual"
  exit 1
fi
for name in Qt PCRE2 libxlsxwriter curl zlib MinGW-w64 GCC-runtime; do
  [ -s "licenses/$name.txt" ] || { echo "licenses/$name.txt is missing or empty"; exit 1; }
done
grep -q 'GNU LESSER GENERAL PUBLIC LICENSE\|LGPL' licenses/Qt.txt ||
  { echo "licenses/Qt.txt does not hold Qt's licence"; exit 1; }
guide=使用说明.txt
if ! iconv -f GBK -t UTF-8 "$guide" | grep -q '^Vantry 阅卷程序使用说明'; then
  echo "$guide is not GBK"
  exit 1
fi
if [ "$(grep -c $'\r$' "$guide")" -ne "$(wc -l <"$guide")" ]; then
  echo "$guide does not end every line with CRLF"
  exit 1
fi

# Nothing beside the programs: they import only DLLs every Windows has (none of
# MinGW's runtime or zlib), and the skin library they write beside themselves neither.
for program in vantry.exe vantry-grade.exe "$SKIN_LIBRARY"; do
  foreign=$("$OBJDUMP" -p "$program" | sed -n 's/^\s*DLL Name: //p' |
    grep -Eiv '^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comdlg32|imm32|winmm|ws2_32|crypt32|bcrypt|secur32|version|userenv|netapi32|wtsapi32|dwmapi|uxtheme|shcore|authz|d3d9|d3d11|dxgi|msvcrt|api-ms-win-[a-z0-9-]+)\.dll$' || true)
  [ -z "$foreign" ] || { echo "$program needs DLLs Windows lacks: $foreign"; exit 1; }
done

"$WINE_RUN" ./vantry-grade.exe --quiet >summary.txt || {
  echo "vantry-grade.exe exited $? in the unpacked folder"
  exit 1
}
report=(阅卷结果*.txt)
[ -s "${report[0]}" ] || { echo "no report written"; exit 1; }
grep -q '共有试卷：30 份' summary.txt || { cat summary.txt; exit 1; }
echo "zip $(basename "${zips[0]}") ($(wc -c <"${zips[0]}") bytes) graded the demo exam: ${report[0]}"
