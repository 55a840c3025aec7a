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
  check_workbook.py --cell FILE SHEET CELL
                                      prints one cell's value

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

SHEETS = ["成绩", "需要复核", "小题分析", "得分点", "分数段", "评分依据", "阅卷信息"]
# The sheets printed landscape: the wide ones.
LANDSCAPE = {"需要复核", "小题分析", "得分点", "评分依据"}
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

# The teacher's marks for exam A: 王小明 misspelt as 王晓明 (no paper has that name),
# half marks as Excel and WPS export them.
MARKS_A = ("姓名,第1题,第2题,第3题\r\n王晓明,10,4,4\r\n李华,6.5,2,0\r\n"
           "张伟,2,６.５,3.5分\r\n")

# Exam C: the rules give every paper 3.5 points less than the teacher (kappa about
# 0.96, yet the verdict may not say 高度一致): one question of 25 keyword groups worth 2
# each, capped at 50; student i names the first i + 3 of them.
RULES_C = [(50, [f"词{k:02d}" for k in range(1, 26)])]
NAMES_C = [f"学生{chr(0x4E00 + i)}" for i in range(20)]
STUDENTS_C = [(NAMES_C[i], "、".join(f"词{k:02d}" for k in range(1, i + 4)))
              for i in range(20)]
MARKS_C = "姓名,第1题\r\n" + "".join(f"{NAMES_C[i]},{2 * (i + 3) + 3.5}\r\n"
                                     for i in range(20))

# Exam B: no maxima at all, and one answer with a fourth piece beyond the rules.
RULES_B = [(None, ["甲|乙"]), (None, ["丙"])]
STUDENTS_B = [("甲同学", "甲乙\t丙\t多余"), ("乙同学", "乙"), ("丙同学", "无关\t丙")]


# Exam D: 30 papers the teacher marked, the points box 5. Her good answers use 叶绿素,
# in their own ways, where the rules know only 叶绿体.
RULES_D = [(10, ["光合作用", "叶绿体"])]
KINDS_D = [("光合作用在叶绿体中进行。", 10, 8), ("光合作用离不开叶绿素。", 10, 2),
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
    # The summary names the workbook and the page written.
    summary = result.stdout.decode("utf-8", errors="replace")
    check(f"成绩表已保存在‘{books[0].name}’！" in summary, f"summary: {summary}")
    return reports[0], books[0]


def check_page_setup(book, exam):
    """Every sheet prints on A4, one page wide, its header row on every page, the exam
    in the page header; the wide ones landscape."""
    for sheet in book:
        what = f"{sheet.title} page setup"
        check(int(sheet.page_setup.paperSize) == 9, f"{what}: paper {sheet.page_setup.paperSize}")
        check(sheet.page_setup.orientation == ("landscape" if sheet.title.rstrip("0123456789")
                                               in LANDSCAPE else "portrait") or
              sheet.title == "成绩", f"{what}: {sheet.page_setup.orientation}")
        check(sheet.sheet_properties.pageSetUpPr.fitToPage and
              int(sheet.page_setup.fitToWidth or 1) == 1 and  # 1 is the default
              int(sheet.page_setup.fitToHeight) == 0, f"{what}: fit to width")
        check(sheet.print_title_rows.replace("$", "") == "1:1",
              f"{what}: titles {sheet.print_title_rows}")
        check(exam in (sheet.oddHeader.left.text or ""), f"{what}: header {sheet.oddHeader.left.text}")
    check(column_width(book["评分依据"], 4) >= 40 and column_width(book["评分依据"], 5) >= 40,
          "评分依据 columns too narrow")


def column_width(sheet, column):
    """The width set for a 1-based column (a range of columns shares one entry)."""
    for dimension in sheet.column_dimensions.values():
        if dimension.min and dimension.max and dimension.min <= column <= dimension.max:
            return dimension.width
    return None


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
    folder = work / "八年级3班"
    folder.mkdir()
    write_exam(folder, RULES_A, STUDENTS_A)
    (folder / "教师评分.csv").write_bytes(MARKS_A.encode("gbk"))
    report, path = run_grade(program, folder, ORDER_A)
    papers = read_report(report)
    book = openpyxl.load_workbook(path)
    # Her marks beside the exam: the proposals' sheet too.
    check(book.sheetnames == SHEETS[:-1] + ["规则建议", "阅卷信息"], f"sheets {book.sheetnames}")
    no_nan(book)
    check_page_setup(book, "八年级3班")
    check(book.properties.title.startswith("阅卷结果 八年级3班 "), f"title {book.properties.title}")
    info = {row[0]: row[1] for row in rows(book["阅卷信息"])[1:]}
    check(info["考试"] == "八年级3班" and info["先后顺序"] == ORDER_A and
          info["分值"].startswith("2") and info["试卷"] == f"{len(STUDENTS_A)} 份",
          f"阅卷信息 {info}")

    # 需要复核: identical (张伟, 刘洋), blank (陈静), content that scored 0 (孙丽's three
    # answers), the misspelt name with the name it most likely means.
    review = [(r[0], r[1], r[2], r[3]) for r in rows(book["需要复核"])[1:] if r[1]]
    check(("与其他试卷完全相同", "张伟", None, "与 刘洋 的答案完全相同") in review,
          f"需要复核 identical: {review}")
    check(("空白试卷", "陈静", None, "没有作答任何题目") in review, f"需要复核 blank: {review}")
    zero = [(r[1], r[2]) for r in review if r[0] == "有内容却得 0 分"]
    check(("孙丽", 1) in zero and ("孙丽", 2) in zero and ("孙丽", 3) in zero,
          f"需要复核 zero: {zero}")
    check(any(r[0] == "评分表里的姓名找不到试卷" and r[1] == "王晓明" and "王小明" in r[3]
              for r in review), f"需要复核 names: {review}")
    check(any(r[0] == "与教师评分相差最大" for r in review), "需要复核 disagreements")
    # The half marks were read: 李华's 6.5 against the rules' 0 on question 1.
    check("与教师评分核对" in info and "结论" in info["与教师评分核对"], f"verdict {info}")
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
        # Answered: a piece with content, not only white space, wherever it stands.
        answered = sum(1 for _, a in STUDENTS_A
                       if q <= len(a.split("\t")) and a.split("\t")[q - 1].strip(" \t\r\n\u3000"))
        check(row[10] == answered, f"{what} answered {row[10]} != {answered}")
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
    check(reasons[0] == ["姓名", "题号", "得分", "评分依据", "答案"], "评分依据 header")
    check(len(reasons) == 1 + n * questions, "评分依据 rows")
    # The answer stands beside its explanation.
    for i, (name, scores, _) in enumerate(papers):
        pieces = STUDENTS_A[i][1].split("\t") if STUDENTS_A[i][1] else []
        for q in range(1, questions + 1):
            row = reasons[1 + i * questions + q - 1]
            answer = pieces[q - 1] if q <= len(pieces) else ""
            check(row[0] == name and row[1] == q and (row[4] or "") == answer,
                  f"评分依据 answer of {name} {q}: {row[4]!r} != {answer!r}")
    check(reasons[1][3].startswith("第1题 ") and reasons[1][4] ==
          "光合作用在叶绿体中进行，产生氧气。", f"王小明's first answer: {reasons[1]}")
    for row in reasons[1:]:
        name, q, score, text, _ = row
        # Negative scores take "−" (U+2212); only amounts carry an ASCII sign.
        shown = f"−{-score}" if score < 0 else str(score)
        check(text.startswith(f"第{q}题 {shown}分（满分"), f"评分依据 head {row}")
        body = re.sub(r"「[^」]*」", "", text.split("：", 1)[1])
        amounts = sum(int(a) for a in re.findall(r"[+-]\d+", body))
        capped = re.search(r"原始 (−?\d+) 分，封顶 (−?\d+) 分", body)
        raw = int(capped.group(1).replace("−", "-")) if capped else score
        check(amounts == raw, f"评分依据 amounts {row}")


def check_exam_c(program, work):
    """Kappa high, the mean difference large: the verdict says so in plain words."""
    folder = work / "c"
    folder.mkdir()
    write_exam(folder, RULES_C, STUDENTS_C)
    (folder / "教师评分.csv").write_bytes(MARKS_C.encode("gbk"))
    _, path = run_grade(program, folder, "")
    info = {row[0]: row[1] for row in rows(openpyxl.load_workbook(path)["阅卷信息"])[1:]}
    verdict = info.get("与教师评分核对", "")
    check(verdict.startswith("规则平均比您少给 3.5 分；20 份中 20 份相差超过 1 分，") and
          "份等级不同（优秀/及格/低分）" in verdict and "加权 kappa = 0.96" in verdict and
          "结论：一般（平均差偏大" in verdict and "高度一致" not in verdict,
          f"verdict: {verdict}")


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


def check_exam_d(program, work):
    folder = work / "d"
    folder.mkdir()
    students, marks = [], "姓名,第1题\r\n"
    for answer, mark, count in KINDS_D:
        for _ in range(count):
            name = f"学生{len(students) + 1:02d}"
            students.append((name, answer))
            marks += f"{name},{mark}\r\n"
    write_exam(folder, RULES_D, students)
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
    check(book.sheetnames == SHEETS[:-1] + ["规则建议", "阅卷信息"], f"sheets {book.sheetnames}")
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
    check(rows(book["评分依据"]) == [["姓名", "题号", "得分", "评分依据", "答案"]],
          "评分依据 empty")


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
    parser.add_argument("--cell", nargs=3, metavar=("FILE", "SHEET", "CELL"))
    parser.add_argument("--runner", help="runs the program (e.g. under Wine)")
    args = parser.parse_args()
    if args.runner:
        RUNNER.append(args.runner)
    if args.sheets:
        for sheet in openpyxl.load_workbook(args.sheets, read_only=True):
            print(sheet.title, sheet.max_row)
        return 0
    if args.cell:
        book = openpyxl.load_workbook(args.cell[0])
        sys.stdout.write(str(book[args.cell[1]][args.cell[2]].value))
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
            check_exam_d(args.program, Path(work))
    for failure in FAILURES:
        print("FAIL:", failure)
    print("workbook check:", "FAILED" if FAILURES else "passed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
