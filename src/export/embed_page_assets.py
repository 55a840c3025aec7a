#!/usr/bin/env python3
"""Writes the C++ source that carries the analysis page's style sheet and script, with
the script's hash for the page's Content-Security-Policy (only that script may run)."""
import argparse
import base64
import hashlib
import sys

# MSVC takes string literals of up to 16,380 bytes.
MAX_LITERAL = 16000
DELIMITER = "vantry_page"


def literal(name, text):
    if len(text.encode("utf-8")) > MAX_LITERAL:
        sys.exit("embed_page_assets.py: %s is too long for one literal" % name)
    if ")" + DELIMITER + '"' in text:
        sys.exit("embed_page_assets.py: %s holds the raw string's delimiter" % name)
    return 'R"%s(%s)%s"' % (DELIMITER, text, DELIMITER)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("style")
    parser.add_argument("script")
    parser.add_argument("output")
    args = parser.parse_args()
    with open(args.style, encoding="utf-8") as f:
        style = f.read()
    with open(args.script, encoding="utf-8") as f:
        script = f.read()
    digest = base64.b64encode(hashlib.sha256(script.encode("utf-8")).digest()).decode()
    text = "\n".join([
        "// Written by embed_page_assets.py at build time; do not edit.",
        '#include "export/page_assets.h"',
        "",
        "namespace vantry {",
        "",
        "std::string_view PageStyle() {",
        "  return %s;" % literal(args.style, style),
        "}",
        "",
        "std::string_view PageScript() {",
        "  return %s;" % literal(args.script, script),
        "}",
        "",
        'std::string_view PageScriptHash() { return "sha256-%s"; }' % digest,
        "",
        "}  // namespace vantry",
        "",
    ])
    with open(args.output, "w", encoding="utf-8") as out:
        out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
