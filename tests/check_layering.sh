#!/usr/bin/env bash
# Every library includes only the layers below it: text <- controls <- scoring <-
# grading <- analysis <- export <- app/cli, text <- net <- app. Only src/app includes Qt.
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
status=0

# allowed[folder] = the project folders its includes may name.
declare -A allowed=(
  [text]="text"
  [controls]="text controls"
  [scoring]="text controls scoring"
  [grading]="text controls scoring grading"
  [analysis]="text controls scoring grading analysis"
  [export]="text controls scoring grading analysis export"
  [net]="text net"
  [cli]="text controls scoring grading analysis export net cli"
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
[ $status -eq 0 ] && echo "layering: every include points down"
exit $status
