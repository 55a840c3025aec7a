#!/usr/bin/env python3
"""Reads the workbook back with openpyxl and checks it against values computed here.

  check_workbook.py --program DIR [--runner CMD]
                                      runs DIR/vantry-grade (.exe, through CMD) on two
                                      exams written here
                                      (one with maxima, one without) and checks the
                                      workbooks it leaves; then on a third with the
                                      teacher's marks beside it, and checks the rule
                                      proposals in the workbook, the page and
                                      参数设置_建议.txt
  check_workbook.py --empty FILE      checks the workbook of a class without papers
  check_workbook.py --sheets FILE     prints each sheet's name and row count
  check_workbook.py --texts FILE      prints the text cells of the first sheet as Excel
                                      shows them, one a line

Everything compared is computed independently of the program: the scores come from
the text report (the lossless record), the scoring points are found again in the
answers, and the statistics follow their definitions.
"""

import argparse
import fractions
import math
import re
import statistics
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

import openpyxl

SHEETS = ["成绩", "小题分析", "得分点", "分数段", "评分依据"]
FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)


def close(a, b, what):
    check(a is not None and b is not None and math.isclose(a, b, rel_tol=1e-9,
                                                           abs_tol=1e-9),
          f"{what}: {a!r} != {b!r}")


# Exam A: three questions with maxima 10, 6 and 4; groups 2 and 3 of question 1 are
# scored by their order. Ties, answers with fewer pieces, empty answers, a name that
# is not valid GBK.
RULES_A = [
    (10, ["光合作用|光合", "叶绿体", "氧气"]),
    (6, ["细胞膜", "细胞核", "线粒体"]),
    (4, ["口腔", "胃|肠"]),
]
ORDER_A = "1-2,1-3"
STUDENTS_A = [
    ("王小明", "光合作用在叶绿体中进行，产生氧气。\t细胞膜控制物质进出，细胞核是控制中心。\t食物在口腔和胃里消化"),
    ("李华", "氧气在叶绿体中产生\t细胞膜\t"),
    ("张伟", "光合\t细胞膜细胞核线粒体\t口腔肠"),
    ("刘洋", "光合\t细胞膜细胞核线粒体\t口腔肠"),
    ("陈静", ""),
    ("杨帆", "光合作用\t线粒体\t胃"),
    ("赵磊", "叶绿体叶绿体叶绿体\t\t口腔"),
    (b"\xcd\xf5\xce\xe5\x80A", "光合作用，叶绿体，氧气\t细胞核\t口腔胃"),  # 王五, 0x80, A
    ("孙丽", "植物\t细胞\t消化"),
    ("周杰", "光合作用氧气叶绿体\t细胞膜细胞核\t口腔"),
    ("吴敏", "光合作用在叶绿体，氧气\t细胞膜细胞核线粒体\t口腔胃"),
    ("郑一", "光合作用，叶绿体与氧气，叶绿体\t细胞膜\t口腔"),
]

# Exam B: no maxima at all, and one answer with a fourth piece beyond the rules.
RULES_B = [(None, ["甲|乙"]), (None, ["丙"])]
STUDENTS_B = [("甲同学", "甲乙\t丙\t多余"), ("乙同学", "乙"), ("丙同学", "无关\t丙")]


# Exam C: 30 papers the teacher marked, the points box 5. Her good answers use 叶绿素,
# in their own ways, where the rules know only 叶绿体.
RULES_C = [(10, ["光合作用", "叶绿体"])]
KINDS_C = [("光合作用在叶绿体中进行。", 10, 8), ("光合作用离不开叶绿素。", 10, 2),
           ("叶绿素吸收光能，进行光合作用。", 10, 2), ("光合作用要有叶绿素和光。", 10, 2),
           ("光合作用：叶绿素把光能变成化学能", 10, 2), ("光合作用产生氧气。", 5, 8),
           ("不知道。", 0, 6)]


def gbk(text):
    return text if isinstance(text, bytes) else text.encode("gbk")


def write_exam(folder, rules, students):
    params = b""
    for cap, groups in rules:
        params += "<综合题>".encode("gbk")
        if cap is not None:
            params += f"<分值>{cap}</分值>".encode("gbk")
        for group in groups:
            params += f"<关键词>{group}</关键词>".encode("gbk")
        params += "</综合题>\r\n".encode("gbk")
    (folder / "参数设置.txt").write_bytes(params)
    sheet = b""
    for name, answer in students:
        sheet += b"<\xd0\xd5\xc3\xfb>\t" + gbk(name) + b"\t</\xd0\xd5\xc3\xfb>\r\n"
        sheet += "<答题文本>\t".encode("gbk") + gbk(answer) + "\t</答题文本>\r\n".encode("gbk")
    (folder / "学生答题文本.txt").write_bytes(sheet)


# What starts a program of another platform (the Windows build's Wine wrapper), if any.
RUNNER = []


def run_grade(program, folder, order):
    exe = program / "vantry-grade.exe"
    if not exe.exists():
        exe = program / "vantry-grade"
    result = subprocess.run(RUNNER + [str(exe), "--dir", str(folder),
                             "--order", order, "--quiet"], capture_output=True)
    check(result.returncode == 0, f"vantry-grade exited {result.returncode}: "
          f"{result.stderr.decode(errors='replace')}")
    reports = list(folder.glob("阅卷结果*.txt"))
    books = list(folder.glob("阅卷结果*.xlsx"))
    check(len(reports) == 1 and len(books) == 1, f"outputs: {reports} {books}")
    check(not list(folder.glob("*.vantry-tmp-*")), "a temporary was left behind")
    return reports[0], books[0]


def read_report(path):
    """Names and per-question scores from the text report."""
    papers = []
    for line in path.read_bytes().split(b"\r\n"):
        name, rest = line.split(b" ", 1)
        numbers = [int(n) for n in rest.split(b" ") if n]
        papers.append((name.decode("gbk", errors="replace"), numbers[:-1], numbers[-1]))
    return papers


def rows(sheet):
    return [list(r) for r in sheet.iter_rows(values_only=True)]


def no_nan(book):
    for sheet in book:
        for row in sheet.iter_rows(values_only=True):
            for value in row:
                check(not (isinstance(value, float) and not math.isfinite(value)),
                      f"{sheet.title}: {value!r}")
                check(not (isinstance(value, str) and re.search(r"\b(nan|inf)\b", value,
                                                                  re.I)),
                      f"{sheet.title}: {value!r}")


def competition_ranks(totals):
    return [1 + sum(1 for other in totals if other > t) for t in totals]


def discrimination(totals, scores, cap):
    """Top 27 % minus bottom 27 %, with exact fractions; ties share the edge."""
    n = len(totals)
    places = fractions.Fraction(27, 100) * n

    def group_mean(descending):
        # Papers in order from the extreme; a block of equal totals shares its places.
        order = sorted(range(n), key=lambda i: totals[i], reverse=descending)
        taken, weighted, start = fractions.Fraction(0), fractions.Fraction(0), 0
        while start < n and taken < places:
            block = [i for i in order if totals[i] == totals[order[start]]]
            share = min(fractions.Fraction(len(block)), places - taken)
            weighted += share * fractions.Fraction(sum(scores[i] for i in block), len(block))
            taken += share
            start += len(block)
        return weighted / places

    return float((group_mean(True) - group_mean(False)) / cap)


def first_alternative(answer, group):
    for k, alternative in enumerate(a for a in group.split("|") if a):
        if alternative in answer:
            return k
    return None


def check_scores_sheet(book, papers, questions):
    sheet = rows(book["成绩"])
    header = ["名次", "姓名"] + [f"第{q}题" for q in range(1, questions + 1)] + ["总分"]
    check(sheet[0] == header, f"成绩 header {sheet[0]}")
    totals = [p[2] for p in papers]
    ranks = competition_ranks(totals)
    check(len(sheet) == len(papers) + 1, "成绩 rows")
    for row, (name, scores, total), rank in zip(sheet[1:], papers, ranks):
        padded = scores + [0] * (questions - len(scores))
        check(row == [rank, name] + padded + [total], f"成绩 row {row} != {name} {padded}")
        check(all(isinstance(v, (int, float)) for v in [row[0]] + row[2:]),
              f"成绩 numbers {row}")
    check(book["成绩"].freeze_panes == "C2", "成绩 frozen header")
    check(book["成绩"].auto_filter.ref == f"A1:{chr(ord('A') + questions + 2)}{len(papers) + 1}",
          f"成绩 filter {book['成绩'].auto_filter.ref}")


def check_exam_a(program, work):
    folder = work / "a"
    folder.mkdir()
    write_exam(folder, RULES_A, STUDENTS_A)
    report, path = run_grade(program, folder, ORDER_A)
    papers = read_report(report)
    book = openpyxl.load_workbook(path)
    check(book.sheetnames == SHEETS, f"sheets {book.sheetnames}")
    no_nan(book)
    n, questions = len(papers), len(RULES_A)
    check_scores_sheet(book, papers, questions)
    check(papers[7][0] == "王五\ufffdA", f"invalid GBK name {papers[7][0]!r}")
    check(rows(book["成绩"])[8][1] == "王五\ufffdA", "name with U+FFFD in the workbook")

    totals = [p[2] for p in papers]
    # Ties at 12 (three papers), 8 and 6 and 0.
    check(sorted(competition_ranks(totals)) == [1, 2, 3, 3, 3, 6, 6, 8, 8, 10, 11, 11],
          "fixture ranks")
    full_marks = sum(cap for cap, _ in RULES_A)

    items = rows(book["小题分析"])
    check(items[0][:11] == ["题号", "满分", "平均分", "得分率", "最高分", "最低分",
                           "满分人数", "零分人数", "标准差", "区分度", "作答人数"],
          f"小题分析 header {items[0]}")
    for q, (cap, _) in enumerate(RULES_A, 1):
        scores = [p[1][q - 1] if q <= len(p[1]) else 0 for p in papers]
        row = items[q]
        what = f"小题分析 第{q}题"
        check(row[0] == f"第{q}题" and row[1] == cap, what)
        close(row[2], statistics.mean(scores), what + " mean")
        close(row[3], statistics.mean(scores) / cap, what + " rate")
        check(row[4] == max(scores) and row[5] == min(scores), what + " high/low")
        check(row[6] == scores.count(cap) and row[7] == scores.count(0), what + " counts")
        close(row[8], statistics.pstdev(scores), what + " sd")
        close(row[9], discrimination(totals, scores, cap), what + " discrimination")
        check(row[10] == sum(1 for p in papers if q <= len(p[1])), what + " answered")
    whole = items[questions + 1]
    check(whole[0] == "全卷" and whole[1] == full_marks, "全卷 row")
    close(whole[2], statistics.mean(totals), "全卷 mean")
    close(whole[8], statistics.pstdev(totals), "全卷 sd")

    points = rows(book["得分点"])
    answers = [a.split("\t") if a else [] for _, a in STUDENTS_A]
    answers = [pieces[:-1] if pieces and pieces[-1] == "" else pieces for pieces in answers]
    r = 1
    for q, (_, groups) in enumerate(RULES_A, 1):
        for g, group in enumerate(groups, 1):
            found = [first_alternative(pieces[q - 1], group) for pieces in answers
                     if q <= len(pieces)]
            hits = [k for k in found if k is not None]
            row = points[r]
            what = f"得分点 {q}-{g}"
            check(row[:4] == [f"第{q}题", g, group, len(hits)], f"{what} {row}")
            close(row[4], len(hits) / n, what + " rate")
            if hits:
                top = max(set(hits), key=lambda k: (hits.count(k), -k))
                check(row[5] == group.split("|")[top] and row[6] == hits.count(top),
                      f"{what} top {row}")
            ordered = f"{q}-{g}" in ORDER_A
            check((row[7] is not None) == ordered, what + " ordered")
            r += 1
    check(len(points) == r, "得分点 rows")
    scales = [rule for cf in book["得分点"].conditional_formatting for rule in cf.rules]
    check(any(rule.type == "colorScale" for rule in scales), "得分点 colour scale")

    bands = rows(book["分数段"])
    check(bands[0] == ["分数段", "分数范围", "人数", "比例"], "分数段 header")
    for i in range(10):
        b = 9 - i  # highest band first
        count = sum(1 for t in totals
                    if min(max(t, 0) * 10 // full_marks, 9) == b)
        check(bands[1 + i][0] == f"{b * 10}%–{b * 10 + 10}%" and bands[1 + i][2] == count,
              f"分数段 band {bands[1 + i]} != {count}")
        close(bands[1 + i][3], count / n, "分数段 rate")
    levels = {row[0]: row for row in bands if row and row[0]}
    for name, count in [("优秀（≥85%）", sum(1 for t in totals if t * 100 >= 85 * full_marks)),
                        ("及格（≥60%）", sum(1 for t in totals if t * 100 >= 60 * full_marks)),
                        ("低分（<40%）", sum(1 for t in totals if t * 100 < 40 * full_marks))]:
        check(levels[name][2] == count, f"{name} {levels[name]} != {count}")
        close(levels[name][3], count / n, name)

    reasons = rows(book["评分依据"])
    check(reasons[0] == ["姓名", "题号", "得分", "评分依据"], "评分依据 header")
    check(len(reasons) == 1 + n * questions, "评分依据 rows")
    for row in reasons[1:]:
        name, q, score, text = row
        # Negative scores take "−" (U+2212); only amounts carry an ASCII sign.
        shown = f"−{-score}" if score < 0 else str(score)
        check(text.startswith(f"第{q}题 {shown}分（满分"), f"评分依据 head {row}")
        body = re.sub(r"「[^」]*」", "", text.split("：", 1)[1])
        amounts = sum(int(a) for a in re.findall(r"[+-]\d+", body))
        capped = re.search(r"原始 (−?\d+) 分，封顶 (−?\d+) 分", body)
        raw = int(capped.group(1).replace("−", "-")) if capped else score
        check(amounts == raw, f"评分依据 amounts {row}")


def check_exam_b(program, work):
    folder = work / "b"
    folder.mkdir()
    write_exam(folder, RULES_B, STUDENTS_B)
    report, path = run_grade(program, folder, "")
    papers = read_report(report)
    book = openpyxl.load_workbook(path)
    check(book.sheetnames == SHEETS, f"sheets {book.sheetnames}")
    no_nan(book)
    check_scores_sheet(book, papers, 3)
    items = rows(book["小题分析"])
    for q in range(1, 4):
        check(items[q][1] is None and items[q][3] is None and items[q][6] is None
              and items[q][9] is None, f"小题分析 without maxima {items[q]}")
    check("没有这道题的评分规则" in (items[3][11] or ""), f"小题分析 note {items[3]}")
    bands = rows(book["分数段"])
    check(len(bands) == 1 and bands[0][0].startswith("满分未知：第1题"), f"分数段 {bands}")


def check_exam_c(program, work):
    folder = work / "c"
    folder.mkdir()
    students, marks = [], "姓名,第1题\r\n"
    for answer, mark, count in KINDS_C:
        for _ in range(count):
            name = f"学生{len(students) + 1:02d}"
            students.append((name, answer))
            marks += f"{name},{mark}\r\n"
    write_exam(folder, RULES_C, students)
    (folder / "教师评分.csv").write_bytes(marks.encode("gbk"))
    exe = program / "vantry-grade.exe"
    if not exe.exists():
        exe = program / "vantry-grade"
    result = subprocess.run(RUNNER + [str(exe), "--dir", str(folder), "--points", "5",
                                      "--quiet"], capture_output=True)
    check(result.returncode == 0, f"vantry-grade exited {result.returncode}: "
          f"{result.stderr.decode(errors='replace')}")
    # The proposed rules: the one group changed, every other byte as it was.
    rules = (folder / "参数设置.txt").read_bytes()
    proposed = (folder / "参数设置_建议.txt").read_bytes()
    check(proposed == rules.replace("叶绿体<".encode("gbk"), "叶绿体|叶绿素<".encode("gbk")),
          f"参数设置_建议.txt {proposed.decode('gbk', errors='replace')}")
    book_path = next(folder.glob("阅卷结果*.xlsx"))
    book = openpyxl.load_workbook(book_path)
    check(book.sheetnames == SHEETS + ["规则建议"], f"sheets {book.sheetnames}")
    fixed = [r for r in rows(book["规则建议"]) if r[1] == "得分点2 加写法「叶绿素」"]
    check(len(fixed) == 8 and all(r[9] == "10" and r[10] == "改对" for r in fixed),
          f"规则建议 rows {fixed}")
    # The wording stands out in the answer: a run of its own, bold.
    with zipfile.ZipFile(book_path) as z:
        marked = [x for name in z.namelist() if name.startswith("xl/worksheets/")
                  for x in re.findall(r"<r><rPr><b/>.*?</rPr><t[^>]*>([^<]*)</t></r>",
                                      z.read(name).decode("utf-8"))]
    check(marked.count("叶绿素") == 8, f"highlighted runs {marked}")
    page = next(folder.glob("阅卷分析*.html")).read_text(encoding="utf-8")
    check('<section id="proposals">' in page and page.count("<mark>叶绿素</mark>") == 8,
          "page section 规则建议")


def check_empty(path):
    book = openpyxl.load_workbook(path)
    check(book.sheetnames == SHEETS, f"sheets {book.sheetnames}")
    no_nan(book)
    check(rows(book["成绩"]) == [["名次", "姓名", "总分"]], f"成绩 {rows(book['成绩'])}")
    whole = rows(book["小题分析"])[1]
    check(whole[0] == "全卷" and whole[10] == 0 and all(v is None for v in whole[1:10]),
          f"全卷 of no papers {whole}")
    check(rows(book["评分依据"]) == [["姓名", "题号", "得分", "评分依据"]], "评分依据 empty")


def excel_texts(path):
    """The first sheet's text cells as Excel shows them: its XML read directly, with
    every _xHHHH_ taken as the character U+HHHH (ECMA-376, 22.9.2.19), which openpyxl
    does not do in every case."""
    ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}

    def joined(element):
        return "".join(t.text or "" for t in element.iter(f"{{{ns['m']}}}t"))

    with zipfile.ZipFile(path) as book:
        shared = []
        if "xl/sharedStrings.xml" in book.namelist():
            root = ElementTree.fromstring(book.read("xl/sharedStrings.xml"))
            shared = [joined(si) for si in root.findall("m:si", ns)]
        sheet = ElementTree.fromstring(book.read("xl/worksheets/sheet1.xml"))
    for cell in sheet.iter(f"{{{ns['m']}}}c"):
        kind = cell.get("t")
        if kind == "inlineStr":
            text = joined(cell)
        elif kind == "s":
            text = shared[int(cell.find("m:v", ns).text)]
        else:
            continue
        yield re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", type=Path)
    parser.add_argument("--empty", type=Path)
    parser.add_argument("--sheets", type=Path)
    parser.add_argument("--texts", type=Path)
    parser.add_argument("--runner", help="runs the program (e.g. under Wine)")
    args = parser.parse_args()
    if args.runner:
        RUNNER.append(args.runner)
    if args.sheets:
        for sheet in openpyxl.load_workbook(args.sheets, read_only=True):
            print(sheet.title, sheet.max_row)
        return 0
    if args.texts:
        for text in excel_texts(args.texts):
            print(text)
        return 0
    if args.empty:
        check_empty(args.empty)
    if args.program:
        with tempfile.TemporaryDirectory() as work:
            check_exam_a(args.program, Path(work))
            check_exam_b(args.program, Path(work))
            check_exam_c(args.program, Path(work))
    for failure in FAILURES:
        print("FAIL:", failure)
    print("workbook check:", "FAILED" if FAILURES else "passed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
