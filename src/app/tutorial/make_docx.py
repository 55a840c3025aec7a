#!/usr/bin/env python3
"""Turns the tutorial text (a small Markdown subset, UTF-8) into a .docx document.

Understood: "# " title, "## " and "### " headings, paragraphs (consecutive lines),
"- " bullet items, "1. " numbered items, ``` blocks (monospace, one paragraph per line),
inline **bold** and `code`, and "![description](NAME.png)" lines: a PNG picture given
on the command line as --image NAME.png=PATH, scaled to the text width, with the
description below it as its caption. The package is a minimal WordprocessingML
document: content types, package relationships, core properties, styles, pictures and
the document. Written with fixed timestamps, so the same input gives the same bytes.
"""
import argparse
import os
import re
import struct
import sys
import zipfile
from xml.sax.saxutils import escape, quoteattr

W_NS = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
FIXED_TIME = (2024, 1, 1, 0, 0, 0)
BODY_FONT = "微软雅黑"
CODE_FONT = "Consolas"

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Default Extension="png" ContentType="image/png"/>
<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>
<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>
<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>
</Types>
"""

PACKAGE_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>
</Relationships>
"""

IMAGE_REL_TYPE = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image"


def document_rels(images):
    """The document's relationships: its styles, then one per picture (rId2, ...)."""
    rels = ['<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/'
            'officeDocument/2006/relationships/styles" Target="styles.xml"/>']
    for image in images:
        rels.append('<Relationship Id="%s" Type="%s" Target="media/%s"/>'
                    % (image["rid"], IMAGE_REL_TYPE, image["part"]))
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
            'relationships">\n%s\n</Relationships>\n' % "\n".join(rels))


# The text width of an A4 page with the document's margins, in EMU (914400 per inch,
# 635 per twip): 11906 - 2 x 1440 twips.
TEXT_WIDTH_EMU = (11906 - 2 * 1440) * 635
PIXEL_EMU = 9525  # one pixel at 96 dpi


def png_size(data):
    """Width and height of a PNG image, from its header."""
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise ValueError("not a PNG image")
    return struct.unpack(">II", data[16:24])


def picture(image, number):
    """An inline picture paragraph for `image`, scaled down to the text width."""
    width, height = image["size"]
    cx = min(width * PIXEL_EMU, TEXT_WIDTH_EMU)
    cy = height * cx // width
    return (
        '<w:p><w:pPr><w:jc w:val="center"/><w:keepNext/></w:pPr><w:r><w:drawing>'
        '<wp:inline distT="0" distB="0" distL="0" distR="0">'
        '<wp:extent cx="%(cx)d" cy="%(cy)d"/><wp:docPr id="%(n)d" name="Picture %(n)d" descr=%(descr)s/>'
        '<a:graphic xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main">'
        '<a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture">'
        '<pic:pic xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture">'
        '<pic:nvPicPr><pic:cNvPr id="%(n)d" name=%(name)s/><pic:cNvPicPr/></pic:nvPicPr>'
        '<pic:blipFill><a:blip r:embed="%(rid)s"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>'
        '<pic:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="%(cx)d" cy="%(cy)d"/></a:xfrm>'
        '<a:prstGeom prst="rect"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>'
        '</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>'
        % {"cx": cx, "cy": cy, "n": number, "rid": image["rid"],
           "descr": quoteattr(image["description"]), "name": quoteattr(image["part"])})

CORE = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<dc:title>{title}</dc:title>
<dc:creator>Vantry</dc:creator>
<dc:language>zh-CN</dc:language>
</cp:coreProperties>
"""


def style(style_id, name, run="", paragraph="", based_on="Normal"):
    based = '<w:basedOn w:val="%s"/><w:next w:val="Normal"/>' % based_on if based_on else ""
    return ('<w:style w:type="paragraph" w:styleId="%s"><w:name w:val="%s"/>%s'
            '<w:qFormat/><w:pPr>%s</w:pPr><w:rPr>%s</w:rPr></w:style>' %
            (style_id, name, based, paragraph, run))


def fonts(face):
    return ('<w:rFonts w:ascii="{0}" w:hAnsi="{0}" w:eastAsia="{0}" w:cs="{0}"/>'
            .format(face))


STYLES = ("""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:styles xmlns:w="%s">
<w:docDefaults><w:rPrDefault><w:rPr>%s<w:sz w:val="21"/><w:szCs w:val="21"/><w:lang w:val="en-US" w:eastAsia="zh-CN"/></w:rPr></w:rPrDefault>
<w:pPrDefault><w:pPr><w:spacing w:after="120" w:line="300" w:lineRule="auto"/></w:pPr></w:pPrDefault></w:docDefaults>
""" % (W_NS, fonts(BODY_FONT)) + "\n".join([
    '<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>',
    style("Title", "Title", '<w:b/><w:color w:val="1F4E79"/><w:sz w:val="40"/><w:szCs w:val="40"/>',
          '<w:jc w:val="center"/><w:spacing w:before="240" w:after="360"/>'),
    style("Heading1", "heading 1", '<w:b/><w:color w:val="1F4E79"/><w:sz w:val="30"/><w:szCs w:val="30"/>',
          '<w:keepNext/><w:spacing w:before="360" w:after="120"/><w:outlineLvl w:val="0"/>'),
    style("Heading2", "heading 2", '<w:b/><w:color w:val="2E75B6"/><w:sz w:val="24"/><w:szCs w:val="24"/>',
          '<w:keepNext/><w:spacing w:before="240" w:after="80"/><w:outlineLvl w:val="1"/>'),
    style("Caption", "caption", '<w:color w:val="595959"/><w:sz w:val="19"/><w:szCs w:val="19"/>',
          '<w:jc w:val="center"/><w:spacing w:before="60" w:after="240"/>'),
    style("ListBullet", "List Bullet", "",
          '<w:ind w:left="420" w:hanging="280"/><w:spacing w:after="60"/>'),
    style("ListNumber", "List Number", "",
          '<w:ind w:left="420" w:hanging="280"/><w:spacing w:after="60"/>'),
    style("Code", "Code", fonts(CODE_FONT).replace(
        'w:eastAsia="%s"' % CODE_FONT, 'w:eastAsia="%s"' % BODY_FONT) + '<w:sz w:val="19"/>',
          '<w:shd w:val="clear" w:color="auto" w:fill="F2F4F7"/><w:spacing w:after="0" w:line="260" w:lineRule="auto"/><w:ind w:left="284"/>'),
    '<w:style w:type="character" w:styleId="InlineCode"><w:name w:val="Inline Code"/><w:rPr>%s<w:shd w:val="clear" w:color="auto" w:fill="F2F4F7"/></w:rPr></w:style>'
    % fonts(CODE_FONT).replace('w:eastAsia="%s"' % CODE_FONT, 'w:eastAsia="%s"' % BODY_FONT),
]) + "\n</w:styles>\n")

INLINE = re.compile(r"(\*\*.+?\*\*|`[^`]+`)")


def run(text, bold=False, code=False):
    props = ""
    if code:
        props += '<w:rStyle w:val="InlineCode"/>'
    if bold:
        props += "<w:b/>"
    if props:
        props = "<w:rPr>%s</w:rPr>" % props
    pieces = []
    for i, part in enumerate(text.split("\t")):
        if i:
            pieces.append("<w:tab/>")
        if part:
            pieces.append('<w:t xml:space="preserve">%s</w:t>' % escape(part))
    return "<w:r>%s%s</w:r>" % (props, "".join(pieces))


def inline_runs(text):
    runs = []
    for piece in INLINE.split(text):
        if not piece:
            continue
        if piece.startswith("**") and piece.endswith("**") and len(piece) > 4:
            runs.append(run(piece[2:-2], bold=True))
        elif piece.startswith("`") and piece.endswith("`") and len(piece) > 2:
            runs.append(run(piece[1:-1], code=True))
        else:
            runs.append(run(piece))
    return "".join(runs)


def paragraph(style_id, runs):
    props = '<w:pPr><w:pStyle w:val="%s"/></w:pPr>' % style_id if style_id else ""
    return "<w:p>%s%s</w:p>" % (props, runs)


IMAGE = re.compile(r"!\[([^\]]*)\]\(([^)]+)\)$")


def convert(markdown, image_files=None):
    """The document body's paragraphs, the title and the pictures it shows (each with
    its relationship id, part name, size, bytes and description)."""
    image_files = image_files or {}
    out = []
    images = []
    title = ""
    pending = []  # lines of the paragraph being collected
    in_code = False

    def flush():
        if pending:
            out.append(paragraph(None, inline_runs("".join(line.strip() for line in pending))))
            pending.clear()

    for line in markdown.splitlines():
        if in_code:
            if line.strip().startswith("```"):
                in_code = False
            else:
                out.append(paragraph("Code", run(line) if line else ""))
            continue
        stripped = line.strip()
        if stripped.startswith("```"):
            flush()
            in_code = True
        elif not stripped:
            flush()
        elif IMAGE.match(stripped):
            flush()
            description, name = IMAGE.match(stripped).groups()
            if name not in image_files:
                raise ValueError("picture %s is not given (--image %s=PATH)" % (name, name))
            with open(image_files[name], "rb") as source:
                data = source.read()
            image = {"rid": "rId%d" % (len(images) + 2), "part": "image%d.png" % (len(images) + 1),
                     "size": png_size(data), "data": data, "description": description}
            images.append(image)
            out.append(picture(image, len(images)))
            out.append(paragraph("Caption", inline_runs(description)))
        elif line.startswith("# "):
            flush()
            title = line[2:].strip()
            out.append(paragraph("Title", inline_runs(title)))
        elif line.startswith("## "):
            flush()
            out.append(paragraph("Heading1", inline_runs(line[3:].strip())))
        elif line.startswith("### "):
            flush()
            out.append(paragraph("Heading2", inline_runs(line[4:].strip())))
        elif line.startswith("- "):
            flush()
            out.append(paragraph("ListBullet", run("•\t") + inline_runs(line[2:].strip())))
        elif re.match(r"\d+\. ", line):
            flush()
            number, text = line.split(". ", 1)
            out.append(paragraph("ListNumber", run(number + ".\t") + inline_runs(text.strip())))
        else:
            pending.append(line)
    flush()
    if in_code:
        raise ValueError("a ``` block is not closed")
    return out, title, images


def document(body):
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<w:document xmlns:w="%s" '
            'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" '
            'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing">'
            '<w:body>\n%s\n'
            '<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>'
            '<w:pgMar w:top="1440" w:right="1440" w:bottom="1440" w:left="1440" '
            'w:header="851" w:footer="992" w:gutter="0"/></w:sectPr>'
            "</w:body></w:document>\n" % (W_NS, "\n".join(body)))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("source")
    parser.add_argument("output")
    parser.add_argument("--image", action="append", default=[], metavar="NAME=PATH",
                        help="the PNG file of a picture the text shows as NAME")
    args = parser.parse_args()
    image_files = dict(item.split("=", 1) for item in args.image)
    with open(args.source, encoding="utf-8") as source:
        body, title, images = convert(source.read(), image_files)
    parts = [
        ("[Content_Types].xml", CONTENT_TYPES),
        ("_rels/.rels", PACKAGE_RELS),
        ("docProps/core.xml", CORE.format(title=escape(title))),
        ("word/_rels/document.xml.rels", document_rels(images)),
        ("word/styles.xml", STYLES),
        ("word/document.xml", document(body)),
    ] + [("word/media/" + image["part"], image["data"]) for image in images]
    temporary = args.output + ".tmp"
    with zipfile.ZipFile(temporary, "w") as package:
        for name, text in parts:
            info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            package.writestr(info, text if isinstance(text, bytes) else text.encode("utf-8"))
    os.replace(temporary, args.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
