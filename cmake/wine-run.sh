#!/bin/sh
# Runs a Windows program under Wine, quietly and without a display, in the prefix that
# WINEPREFIX names. Exits with the program's exit status.
WINE=${VANTRY_WINE:-/usr/lib/wine/wine64}
if [ ! -x "$WINE" ]; then
  WINE=$(command -v wine64 || command -v wine) || {
    echo "wine-run.sh: Wine is not installed (Debian package wine64)" >&2
    exit 127
  }
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No first-start installers (Mono, Gecko) and no desktop menu entries.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
export DISPLAY=
# Wine keeps Unix QT_ variables from Windows programs (they are meant for a native Qt)
# and hands WINEQT_ ones on as QT_: the caller's QT_ settings are for this program.
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  eval "export WINE$name=\"\$$name\""
done
# Wine reads Unix file names and arguments in the locale's charset: UTF-8, as the
# build tree's names are.
case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
  *UTF-8* | *utf8* | *UTF8* | *utf-8*) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac
exec "$WINE" "$@"
