#!/usr/bin/env python3
"""Writes a C++ source that carries a file's bytes, reachable through one function."""
import argparse
import sys


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("input")
    parser.add_argument("output")
    parser.add_argument("--header", required=True, help="header that declares the function")
    parser.add_argument("--function", required=True, help="name of the function (namespace vantry)")
    args = parser.parse_args()
    with open(args.input, "rb") as source:
        data = source.read()
    if not data:
        print("embed_file.py: %s is empty" % args.input, file=sys.stderr)
        return 1
    rows = []
    for start in range(0, len(data), 24):
        rows.append("    " + ",".join("0x%02x" % b for b in data[start:start + 24]) + ",")
    text = "\n".join([
        "// Written by embed_file.py at build time; do not edit.",
        '#include "%s"' % args.header,
        "",
        "namespace vantry {",
        "namespace {",
        "",
        "alignas(16) constexpr unsigned char kBytes[] = {",
        *rows,
        "};",
        "",
        "}  // namespace",
        "",
        "std::span<const unsigned char> %s() { return kBytes; }" % args.function,
        "",
        "}  // namespace vantry",
        "",
    ])
    with open(args.output, "w", encoding="ascii") as out:
        out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
