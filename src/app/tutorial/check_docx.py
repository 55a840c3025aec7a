#!/usr/bin/env python3
"""Checks that the built tutorial is a well-formed WordprocessingML package that tells a
teacher what the program needs. Exits non-zero with the reasons when it is not."""
import sys
import zipfile
import xml.etree.ElementTree as ET

W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"
CT = "{http://schemas.openxmlformats.org/package/2006/content-types}"
REL = "{http://schemas.openxmlformats.org/package/2006/relationships}"
MAIN_TYPE = ("application/vnd.openxmlformats-officedocument."
             "wordprocessingml.document.main+xml")

# What the document must explain, as it appears in its text.
REQUIRED_PHRASES = [
    "学生答题文本.txt", "<姓名>", "</姓名>", "<答题文本>", "</答题文本>", "Tab",
    "参数设置.txt", "<综合题>", "</综合题>", "<分值>", "<关键词>", "|",
    "GBK", "ANSI", "分值", "先后顺序", "1-2,1-3", "阅卷结果", "阅卷结果20240305.txt",
    "张三 6 4  10", "一键开始", "提示信息", "确定",
    "阅卷结果20240305.xlsx", "成绩", "小题分析", "得分点", "分数段", "评分依据",
    "阅卷分析20240305.html", "教师评分.csv", "需要复核", "成绩表已保存在", "第1题", "6.5",
]
# What the program no longer does: the summary names the dated file.
FORBIDDEN_PHRASES = ["只写作", "不会有任何提示"]
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
RELATIONSHIPS = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
DRAWING_MAIN = "{http://schemas.openxmlformats.org/drawingml/2006/main}"
# The picture of the window is at least as wide as the window.
MIN_PICTURE_WIDTH = 1020


def main():
    path = sys.argv[1]
    problems = []
    with zipfile.ZipFile(path) as package:
        bad = package.testzip()
        if bad:
            problems.append("corrupt member %s" % bad)
        names = package.namelist()
        for required in ("[Content_Types].xml", "_rels/.rels", "word/document.xml"):
            if required not in names:
                problems.append("missing %s" % required)
        if problems:
            print("\n".join(problems))
            return 1
        trees = {}
        for name in names:
            if name.endswith(".xml") or name.endswith(".rels"):
                try:
                    trees[name] = ET.fromstring(package.read(name))
                except ET.ParseError as error:
                    problems.append("%s: %s" % (name, error))
    if problems:
        print("\n".join(problems))
        return 1

    overrides = {o.get("PartName"): o.get("ContentType")
                 for o in trees["[Content_Types].xml"].iter(CT + "Override")}
    if overrides.get("/word/document.xml") != MAIN_TYPE:
        problems.append("the main document has no content type")
    for part in overrides:
        if part.lstrip("/") not in names:
            problems.append("content type for a missing part %s" % part)
    targets = [r.get("Target") for r in trees["_rels/.rels"].iter(REL + "Relationship")]
    if "word/document.xml" not in targets:
        problems.append("the package does not point at word/document.xml")

    document = trees["word/document.xml"]
    if document.tag != W + "document" or document.find(W + "body") is None:
        problems.append("word/document.xml is not a document with a body")
    paragraphs = []
    for p in document.iter(W + "p"):
        text = ""
        for node in p.iter():
            if node.tag == W + "t":
                text += node.text or ""
            elif node.tag == W + "tab":
                text += "\t"
        paragraphs.append(text)
    text = "\n".join(paragraphs)
    for phrase in REQUIRED_PHRASES:
        if phrase not in text:
            problems.append("the text does not mention %r" % phrase)
    for phrase in FORBIDDEN_PHRASES:
        if phrase in text:
            problems.append("the text still says %r" % phrase)

    # The picture of the window: a drawing whose relationship leads to a PNG part.
    rels_name = "word/_rels/document.xml.rels"
    targets_by_id = {}
    if rels_name in trees:
        targets_by_id = {r.get("Id"): r.get("Target")
                         for r in trees[rels_name].iter(REL + "Relationship")}
    blips = [b.get(RELATIONSHIPS + "embed") for b in document.iter(DRAWING_MAIN + "blip")]
    if not blips:
        problems.append("the document shows no picture of the window")
    for rid in blips:
        target = targets_by_id.get(rid)
        part = "word/" + target if target else None
        if part not in names:
            problems.append("picture %s has no image part" % rid)
            continue
        with zipfile.ZipFile(path) as package:
            data = package.read(part)
        if not data.startswith(PNG_SIGNATURE):
            problems.append("%s is not a PNG image" % part)
        elif int.from_bytes(data[16:20], "big") < MIN_PICTURE_WIDTH:
            problems.append("%s is narrower than the window" % part)

    if "word/styles.xml" in trees:
        defined = {s.get(W + "styleId") for s in trees["word/styles.xml"].iter(W + "style")}
        used = {s.get(W + "val") for tag in ("pStyle", "rStyle")
                for s in document.iter(W + tag)}
        for missing in sorted(used - defined):
            problems.append("style %s is used but not defined" % missing)
    else:
        problems.append("missing word/styles.xml")

    if problems:
        print("\n".join(problems))
        return 1
    print("%s: %d paragraphs, all checks passed" % (path, len(paragraphs)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
