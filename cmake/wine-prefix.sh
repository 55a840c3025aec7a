#!/usr/bin/env bash
# wine-prefix.sh ensure|fresh|stop PREFIX
#
#   ensure  makes the Wine prefix PREFIX when it does not exist yet
#   fresh   makes it anew (a test run starts from a clean Windows) and keeps its
#           wineserver running, so that the tests' many starts of Wine are quick
#   stop    ends that wineserver
# The prefix is headless: no display, no Mono or Gecko installers; Chinese fonts are
# made known to it.
set -euo pipefail
action=$1
export WINEPREFIX=$2
here=$(cd "$(dirname "$0")" && pwd)
wineserver=$(dirname "${VANTRY_WINE:-/usr/lib/wine/wine64}")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)

# Windows programs ask for SimSun, Microsoft YaHei or Tahoma (Qt's default font under
# Wine), which Wine does not have: the prefix takes WenQuanYi Micro Hei for them, when
# it is installed (Debian fonts-wqy-microhei), so Chinese text shows.
chinese_fonts() {
  local font="WenQuanYi Micro Hei" reg=$WINEPREFIX/vantry-fonts.reg name
  [ -e /usr/share/fonts/truetype/wqy/wqy-microhei.ttc ] || return 0
  {
    printf '\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for name in SimSun 宋体 NSimSun 新宋体 "Microsoft YaHei" 微软雅黑 Tahoma; do
      printf '"%s"="%s"\r\n' "$name" "$font"
    done
  } | iconv -f UTF-8 -t UTF-16LE >"$reg"
  "$here/wine-run.sh" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 9>&- || true
}

# The Windows path of a file in the prefix's reach (Wine maps / to drive Z:).
winepath_of() {
  printf 'Z:%s' "${1//\//\\}"
}

make_prefix() {
  local started=$SECONDS
  # Wine's processes must not inherit the lock (descriptor 9).
  "$here/wine-run.sh" wineboot --init >/dev/null 2>&1 9>&- || true
  chinese_fonts
  "$wineserver" -w 9>&-
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-prefix.sh: wineboot made no prefix in $WINEPREFIX" >&2
    exit 1
  fi
  echo "wine-prefix.sh: made $WINEPREFIX in $((SECONDS - started)) s"
}

case $action in
  ensure)
    [ -f "$WINEPREFIX/system.reg" ] && exit 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    # One maker at a time: parallel build steps may all want the prefix.
    exec 9>"$WINEPREFIX.lock"
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || make_prefix >&2
    ;;
  fresh)
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec 9>"$WINEPREFIX.lock"
    flock 9
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    make_prefix
    "$wineserver" -p </dev/null >/dev/null 2>&1 9>&-
    # Wine's background services start with the first program and live as long as the
    # server: started here, they hold no test's output open.
    "$here/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    ;;
  stop)
    "$wineserver" -k 2>/dev/null || true
    ;;
  *)
    echo "usage: wine-prefix.sh ensure|fresh|stop PREFIX" >&2
    exit 2
    ;;
esac
