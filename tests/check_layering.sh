#!/usr/bin/env bash
# Every library includes only the layers below it: platform <- text <- scoring,
# text <- controls, both <- grading <- analysis <- export <- app/cli, text <- net <- app.
# Only src/app includes Qt. No production library links a test-only one (src/testing's
# libraries, GoogleTest, a test's main).
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
status=0

# allowed[folder] = the project folders its includes may name.
declare -A allowed=(
  [platform]="platform"
  [text]="platform text"
  [scoring]="platform text scoring"
  [controls]="platform text controls"
  [grading]="platform text controls scoring grading"
  [analysis]="platform text controls scoring grading analysis"
  [export]="platform text controls scoring grading analysis export"
  [net]="platform text net"
  [cli]="platform text controls scoring grading analysis export net cli"
)

for folder in "${!allowed[@]}"; do
  [ -d "$src/$folder" ] || continue
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${line#*:}")
    # Test helpers may be included by tests.
    [[ $target == testing && $file == *_test.cpp ]] && continue
    if ! grep -qw -- "$target" <<<"${allowed[$folder]}"; then
      echo "layering: $file includes from src/$target, above src/$folder"
      status=1
    fi
  done < <(grep -rHE '^#include "[^/"]+/' "$src/$folder" || true)
  if grep -rlE '^#include <Q[A-Za-z]+>' "$src/$folder" >/dev/null; then
    echo "layering: Qt included below src/app:"
    grep -rlE '^#include <Q[A-Za-z]+>' "$src/$folder"
    status=1
  fi
done

# The libraries only tests may link: those src/testing makes, and a test's own main.
test_only="GTest::gtest GTest::gmock GTest::gtest_main Qt6::Test"
test_only+=" $(sed -nE 's/.*add_library\(([A-Za-z0-9_]+).*/\1/p' "$src"/testing/CMakeLists.txt |
  tr '\n' ' ')"
test_only+=" $(grep -hoE 'add_library\([A-Za-z0-9_]*test[A-Za-z0-9_]*' "$src"/*/CMakeLists.txt |
  sed 's/add_library(//' | tr '\n' ' ')"
test_only=$(tr ' ' '\n' <<<"$test_only" | sort -u | tr '\n' ' ')
# Every target_link_libraries(...) call, joined onto one line: its target first.
while IFS= read -r call; do
  target=$(sed -E 's/^target_link_libraries\(\s*([^ )]+).*/\1/' <<<"${call#*:}")
  file=${call%%:*}
  # Tests, test-only libraries and test programs may link test code; so may the
  # functions that make tests (vantry_qt_test links the target it is given).
  [[ $target == *_test || $target == *_test_* || $target == *-e2e ]] && continue
  [[ $target == '${'* ]] && continue
  grep -qw -- "$target" <<<"$test_only" && continue
  for lib in $test_only; do
    if grep -qE "[[:space:](]${lib//:/\\:}([[:space:])]|$)" <<<"${call#*:}"; then
      echo "layering: $file: production target $target links the test-only $lib"
      status=1
    fi
  done
done < <(for cmake in "$src"/*/CMakeLists.txt; do
  awk -v f="$cmake" '
    /target_link_libraries\(/ { call = ""; open = 1 }
    open { call = call " " $0; if ($0 ~ /\)/) { gsub(/[[:space:]]+/, " ", call);
      sub(/^ /, "", call); print f ":" call; open = 0 } }' "$cmake"
done)

[ $status -eq 0 ] && echo "layering: every include points down, no production library links test code"
exit $status
