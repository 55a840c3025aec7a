#!/usr/bin/env python3
"""Writes the program's skin table (a C++ source) from skins.tsv.

Each row of the table becomes one skin block: the four bytes ".SHE" followed by
"key=value" lines that the skin library reads (see skin_format.h).
"""
import argparse
import colorsys
import sys

FONT_FAMILIES = ("Microsoft YaHei UI,Microsoft YaHei,WenQuanYi Micro Hei,"
                 "Noto Sans CJK SC,Source Han Sans SC")
EXPECTED_SKINS = 33


def hsl(hue, saturation, lightness):
    """'#rrggbb' from hue in degrees and saturation, lightness in percent."""
    saturation = min(max(saturation, 0), 100)
    lightness = min(max(lightness, 0), 100)
    r, g, b = colorsys.hls_to_rgb((hue % 360) / 360.0, lightness / 100.0,
                                  saturation / 100.0)
    return "#%02x%02x%02x" % (round(r * 255), round(g * 255), round(b * 255))


def skin_block(row):
    hue, tint, light, accent = row["hue"], row["tint"], row["light"], row["accent"]
    buttons = row["buttons"]
    if buttons == "flat":
        top = bottom = hsl(hue, tint + 4, light - 4)
        hover_top = hover_bottom = hsl(hue, tint + 4, light - 1)
    elif buttons == "glossy":
        top = hsl(hue, tint + 10, 99)
        bottom = hsl(hue, accent * 0.5, light - 14)
        hover_top = hsl(hue, tint + 10, 100)
        hover_bottom = hsl(hue, accent * 0.5, light - 9)
    elif buttons == "soft":
        top = hsl(hue, tint, 98)
        bottom = hsl(hue, tint + 6, light - 7)
        hover_top = hsl(hue, tint, 100)
        hover_bottom = hsl(hue, tint + 6, light - 3)
    else:
        raise ValueError("unknown button style %r" % buttons)
    lines = [
        "# Vantry skin %d" % row["number"],
        "name=%s" % row["name"],
        "window=%s" % hsl(hue, tint, light),
        "window_text=%s" % hsl(hue, min(tint * 1.5, 30), 14),
        "base=#ffffff",
        "alternate_base=%s" % hsl(hue, tint, min(light + 3, 98)),
        "text=#141414",
        "button_top=%s" % top,
        "button_bottom=%s" % bottom,
        "button_hover_top=%s" % hover_top,
        "button_hover_bottom=%s" % hover_bottom,
        "button_pressed=%s" % hsl(hue, tint + 8, light - 15),
        "button_text=%s" % hsl(hue, min(tint * 1.5, 30), 14),
        "button_border=%s" % hsl(hue, tint + 4, 58),
        "border=%s" % hsl(hue, tint + 2, 72),
        "group_title=%s" % hsl(hue, accent * 0.7, 28),
        "highlight=%s" % hsl(hue, accent, 44),
        "highlighted_text=#ffffff",
        "radius=%d" % row["radius"],
        "font_family=%s" % FONT_FAMILIES,
        "font_pixel_size=%d" % row["font"],
    ]
    return ".SHE\n" + "\n".join(lines) + "\n"


def read_table(path):
    rows = []
    with open(path, encoding="utf-8") as table:
        for line_number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            cells = line.split("\t")
            if len(cells) != 9:
                raise ValueError("%s:%d: expected 9 columns" % (path, line_number))
            rows.append({
                "number": int(cells[0]), "name": cells[1], "hue": int(cells[2]),
                "tint": int(cells[3]), "light": int(cells[4]), "accent": int(cells[5]),
                "radius": int(cells[6]), "buttons": cells[7], "font": int(cells[8]),
            })
    numbers = [row["number"] for row in rows]
    if numbers != list(range(1, EXPECTED_SKINS + 1)):
        raise ValueError("%s: skins must be numbered 1 to %d in order" %
                         (path, EXPECTED_SKINS))
    return rows


def cpp_literal(text):
    out = []
    for line in text.splitlines(keepends=True):
        escaped = line.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
        out.append('    "%s"' % escaped)
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("table")
    parser.add_argument("output")
    args = parser.parse_args()
    rows = read_table(args.table)
    parts = [
        "// Written by make_skins.py from skins.tsv; edit the table, not this file.",
        '#include "app/skin_table.h"',
        "",
        "namespace vantry {",
        "namespace {",
        "",
    ]
    for row in rows:
        parts.append("constexpr char kSkin%d[] =\n%s;" % (row["number"],
                                                         cpp_literal(skin_block(row))))
    parts += [
        "",
        "constexpr std::string_view kSkins[] = {",
    ]
    parts += ["    {kSkin%d, sizeof kSkin%d - 1}," % (n, n) for n in range(1, len(rows) + 1)]
    parts += [
        "};",
        "static_assert(sizeof kSkins / sizeof kSkins[0] == kSkinCount);",
        "",
        "}  // namespace",
        "",
        "std::string_view SkinTableEntry(int number) {",
        "  if (number < 1 || number > kSkinCount) return {};",
        "  return kSkins[number - 1];",
        "}",
        "",
        "}  // namespace vantry",
        "",
    ]
    text = "\n".join(parts)
    try:
        with open(args.output, encoding="utf-8") as old:
            if old.read() == text:
                return 0
    except OSError:
        pass
    with open(args.output, "w", encoding="utf-8") as out:
        out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
