#!/usr/bin/env python3
"""Writes the module-definition file of the Qt functions the skin library calls.

On Windows the program links Qt statically and lends it to the skin library: the
program exports the Qt functions the library's objects call, and the library imports
them from it, delay-loaded (see skin_library.cpp). Those functions are the symbols the
objects leave undefined that Qt's static libraries define as code. Data (a static
meta-object, a vtable) cannot be delay-loaded: needing any is an error. The Qt
variables the library looks up by name at run time (--by-name) are exported as data.

  host_exports.py --nm NM --output FILE.def --objects OBJ... --libraries LIB...
                  [--by-name SYMBOL...]
"""
import argparse
import subprocess
import sys


def symbols(nm, files, defined):
    """Symbol name -> nm type letter, for the files' defined or undefined symbols."""
    flags = ["--defined-only", "--extern-only"] if defined else ["--undefined-only"]
    out = subprocess.run([nm, "-P", *flags, *files], check=True, capture_output=True,
                         text=True).stdout
    found = {}
    for line in out.splitlines():
        fields = line.split()
        if len(fields) >= 2 and len(fields[1]) == 1 and not fields[0].endswith(":"):
            found.setdefault(fields[0], fields[1])
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--nm", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--objects", nargs="+", required=True)
    parser.add_argument("--libraries", nargs="+", required=True)
    parser.add_argument("--by-name", nargs="*", default=[])
    args = parser.parse_args()

    own = symbols(args.nm, args.objects, defined=True)
    wanted = set(symbols(args.nm, args.objects, defined=False)) - set(own)
    qt = symbols(args.nm, args.libraries, defined=True)
    needed = sorted(name for name in wanted if name in qt)
    data = [name for name in needed if qt[name].upper() != "T"]
    if data:
        sys.exit("host_exports.py: the skin library reads Qt data, which cannot be "
                 "delay-loaded: " + " ".join(data))
    if not needed:
        sys.exit("host_exports.py: the skin library calls no Qt function")
    missing = [name for name in args.by_name if name not in qt]
    if missing:
        sys.exit("host_exports.py: Qt does not define " + " ".join(missing))
    with open(args.output, "w", encoding="ascii") as out:
        out.write("EXPORTS\n")
        for name in needed:
            out.write(f"    {name}\n")
        for name in args.by_name:
            out.write(f"    {name} DATA\n")


if __name__ == "__main__":
    main()
