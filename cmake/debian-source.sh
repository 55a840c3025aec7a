#!/usr/bin/env bash
# debian-source.sh SOURCE_PACKAGE BINARY_PACKAGE DEST
#
# Unpacks Debian's source package SOURCE_PACKAGE into DEST (patches applied), at the
# version of the installed BINARY_PACKAGE, so that a cross build compiles the same
# code the native build links. When the mirror no longer serves that exact Debian
# revision (security uploads keep their sources elsewhere), the newest revision of the
# same upstream version is taken, and a warning says so. Prints the unpacked folder.
# An earlier unpacking of the chosen version is reused.
set -euo pipefail
source_package=$1
binary_package=$2
dest=$3

wanted=$(dpkg-query -W -f='${source:Version}' "$binary_package" 2>/dev/null) || {
  echo "debian-source: $binary_package is not installed (run scripts/install-deps)" >&2
  exit 1
}
upstream() {
  local v=${1#*:}
  echo "${v%-*}"
}

# The revisions apt knows of the wanted upstream version: the exact one first, then
# the others from the newest down.
mapfile -t known < <(apt-cache showsrc "$source_package" 2>/dev/null |
  awk '$1 == "Version:" { print $2 }' | sort -u)
if [ ${#known[@]} -eq 0 ]; then
  echo "debian-source: apt knows no source of $source_package; it needs deb-src entries" \
    "(run scripts/install-deps)" >&2
  exit 1
fi
candidates=("$wanted")
mapfile -t others < <(for v in "${known[@]}"; do
  [ "$v" != "$wanted" ] && [ "$(upstream "$v")" = "$(upstream "$wanted")" ] && echo "$v"
done | sort -r -V)
candidates+=("${others[@]}")

mkdir -p "$dest"
cd "$dest"
folder=$dest/$source_package-$(upstream "$wanted")
stamp=$folder.version
if [ -d "$folder" ] && [ -f "$stamp" ]; then
  for version in "${candidates[@]}"; do
    if [ "$(cat "$stamp")" = "$version" ]; then
      echo "$folder"
      exit 0
    fi
  done
fi
for version in "${candidates[@]}"; do
  rm -rf "$folder" "$stamp"
  if apt-get source -qq --only-source "$source_package=$version" >/dev/null 2>&1 &&
    [ -d "$folder" ]; then
    if [ "$version" != "$wanted" ]; then
      echo "debian-source: warning: the sources of $source_package $wanted are not" \
        "served here; using $version" >&2
    fi
    echo "$version" >"$stamp"
    echo "$folder"
    exit 0
  fi
done
echo "debian-source: cannot fetch the sources of $source_package $(upstream "$wanted")" >&2
exit 1
