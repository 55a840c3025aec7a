#!/usr/bin/env bash
# build-qt.sh [--key]
#
# Qt for the Windows window program: qtbase from Debian's own source package (at the
# version of the installed host Qt, whose moc, rcc and uic it uses), cross-compiled
# with the project's MinGW-w64 toolchain, static, with only what vantry.exe uses.
# Built once per machine into a cache outside the checkout, keyed on the Debian
# version, the compiler and this configuration, and reused while the key holds;
# prints the installed prefix. With --key it prints the prefix it would use and
# builds nothing.
#
# The cache lives in $VANTRY_CACHE_DIR, else /var/cache/vantry when that can be
# written, else ~/.cache/vantry. A build takes about half an hour of two cores; its
# log is kept beside the prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo_cmake=$(dirname "$here")

# What the window program does not use, left out of the build. Modules: SQL, network,
# XML, D-Bus, OpenGL, Vulkan, printing, concurrency, the test library. Gui: text
# formats other than plain and HTML (Markdown, ODF, PDF), pictures, movies and image
# plugins (PNG, BMP and XPM stay built in), the tray, sessions, undo, tablets and
# gestures. Fonts come from Windows itself (GDI and DirectWrite), so FreeType and
# HarfBuzz are left out: the program's Chinese and Latin text needs no shaping.
# Widgets: every widget and dialog the window does not show, and the Windows Vista
# style (the skin dresses the program in Fusion; the plain Windows style stays, as the
# style sheets' base).
features=(
  sql network xml testlib concurrent printsupport vulkan
  textmarkdownreader textmarkdownwriter textodfwriter pdf picture movie
  imageformat_ppm imageformat_xbm systemtrayicon sessionmanager undocommand undostack
  undogroup tabletevent gestures filesystemmodel standarditemmodel
  jalalicalendar hijricalendar islamiccivilcalendar
  freetype harfbuzz directwrite3
  style-windowsvista effects itemviews listview tableview treeview
  columnview treewidget listwidget tablewidget datawidgetmapper undoview
  commandlinkbutton datetimeedit calendarwidget stackedwidget textbrowser splashscreen
  splitter formlayout lcdnumber spinbox dial tabbar tabwidget combobox
  fontcombobox toolbar toolbox mainwindow dockwidget mdiarea statusbar menubar
  resizehandler sizegrip scroller graphicsview graphicseffect syntaxhighlighter
  rubberband statustip whatsthis keysequenceedit progressbar completer fscompleter
  colordialog filedialog fontdialog progressdialog inputdialog errormessage wizard
)
configure_options=(
  -release -static -static-runtime
  -platform linux-g++ -xplatform win32-g++ -qt-host-path /usr
  -nomake tests -nomake examples
  -no-opengl -no-dbus -no-icu -no-direct2d -no-gif -no-ico -no-libjpeg
  -qt-zlib -qt-libpng -qt-pcre -qt-doubleconversion
)
for feature in "${features[@]}"; do configure_options+=("-no-feature-$feature"); done
# What the window cannot do without: checked after configuring, before the long part.
required=(
  widgets:style_stylesheet widgets:style_fusion widgets:label widgets:lineedit
  widgets:textedit widgets:scrollbar widgets:pushbutton widgets:groupbox
  widgets:messagebox widgets:contextmenu gui:clipboard gui:im gui:png gui:cssparser
  gui:accessibility core:translation core:library core:temporaryfile
)
# Qt's own code at -O1: about a third less compiling than its -O2/-O3 for a window
# that draws a few controls; the program's code keeps its own optimisation.
cmake_options=(
  -DQT_USE_DEFAULT_CMAKE_OPTIMIZATION_FLAGS=ON
  "-DCMAKE_C_FLAGS_RELEASE=-O1 -DNDEBUG"
  "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG"
)

version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null) || {
  echo "build-qt.sh: qt6-base-dev is not installed (run scripts/install-deps)" >&2
  exit 1
}
compiler=x86_64-w64-mingw32-g++-posix
compiler_version=$("$compiler" --version | head -n 1)
key=$(
  {
    echo "$version"
    echo "$compiler_version"
    dpkg-query -W -f='${Version}\n' mingw-w64-x86-64-dev
    printf '%s\n' "${configure_options[@]}" "${cmake_options[@]}" "${required[@]}"
    cat "$here/patch-qtbase.cmake" "$repo_cmake/mingw-w64-x86_64.cmake"
  } | sha256sum | cut -c1-12
)
if [ -n "${VANTRY_CACHE_DIR:-}" ]; then
  cache=$VANTRY_CACHE_DIR
elif mkdir -p /var/cache/vantry 2>/dev/null && [ -w /var/cache/vantry ]; then
  cache=/var/cache/vantry
else
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/vantry
fi
prefix=$cache/qt-${version//[:~]/_}-mingw-$key
if [ "${1:-}" = --key ]; then
  echo "$prefix"
  exit 0
fi
[ -f "$prefix/.complete" ] && { echo "$prefix"; exit 0; }

mkdir -p "$cache"
# One build at a time: work trees and build presets may ask together.
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.complete" ] && { echo "$prefix"; exit 0; }

# A fixed place, so that a compiler cache recognises a build made again.
work=$prefix.build
log=$prefix.log
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
started=$SECONDS
echo "build-qt.sh: building Qt $version for Windows into $prefix" \
  "(about half an hour of two cores; log: $log)" >&2
(
  source_dir=$(bash "$repo_cmake/debian-source.sh" qt6-base qt6-base-dev "$work/src")
  cmake -DSOURCE_DIR="$source_dir" -P "$here/patch-qtbase.cmake"
  mkdir "$work/build"
  cd "$work/build"
  # The compiler cache of the environment is used when there is one (through Qt's
  # precompiled headers too).
  launcher=()
  if [ -n "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
    launcher=(-ccache)
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  fi
  "$source_dir/configure" -prefix "$prefix" "${configure_options[@]}" \
    "${launcher[@]}" -- -DCMAKE_TOOLCHAIN_FILE="$repo_cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${cmake_options[@]}"
  for need in "${required[@]}"; do
    module=${need%%:*} feature=${need#*:}
    grep -qs "define QT_FEATURE_$feature 1" src/*/qt"$module"-config.h \
      src/*/qt"$module"-config_p.h || {
      echo "build-qt.sh: this configuration leaves out $feature, which the window needs"
      exit 1
    }
  done
  /usr/bin/time -f "build-qt.sh: compiling took %e s of wall time, %U s user and %S s system" \
    nice -n 10 cmake --build . --parallel "$(nproc)"
  rm -rf "$prefix"
  cmake --install .
) >"$log" 2>&1 || {
  echo "build-qt.sh: the Qt build failed; the end of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
}
# The prefix counts only once it is whole.
mv "$log" "$prefix/build.log"
touch "$prefix/.complete"
echo "build-qt.sh: Qt built in $((SECONDS - started)) s ($(du -sh "$prefix" | cut -f1)):" \
  "$(grep '^build-qt.sh: compiling took' "$prefix/build.log")" >&2
echo "$prefix"
