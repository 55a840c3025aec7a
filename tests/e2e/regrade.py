#!/usr/bin/python3
"""A regrade on the same day, as a teacher does it: vantry-grade grades a class, the
teacher types a note into the workbook in Excel's stead (openpyxl) and saves it, adds a
keyword to the rules and grades again. The summary lists exactly the students whose
totals changed (old → new), the page and the workbook list them under 需要复核, the
edited workbook is kept whole and the new one goes beside it, and a third run replaces
the program's own numbered workbook instead of numbering again.

  regrade.py PROGRAM_DIR

Exits 77 (skipped) when openpyxl is missing.
"""
import html
import pathlib
import re
import subprocess
import sys
import tempfile

try:
    import openpyxl
except ImportError:
    print("skipped: openpyxl is missing (Debian package python3-openpyxl)")
    sys.exit(77)

STUDENTS = [("甲", "光合作用在叶绿体中\t细胞膜"), ("乙", "叶绿体释放氧气\t细胞核"),
            ("丙", "光合作用\t"), ("丁", "氧气"), ("戊", "")]


def rules(groups):
    return ("<综合题><分值>10</分值>%s</综合题>\r\n<综合题><分值>4</分值><关键词>细胞膜"
            "</关键词><关键词>细胞核</关键词></综合题>\r\n"
            % "".join("<关键词>%s</关键词>" % g for g in groups)).encode("gbk")


def grade(program, folder):
    result = subprocess.run([str(program / "vantry-grade"), "--dir", str(folder), "--quiet"],
                            capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise AssertionError("vantry-grade exited %d: %s%s"
                             % (result.returncode, result.stdout, result.stderr))
    return result.stdout


def expect(condition, what):
    if not condition:
        raise AssertionError(what)


def main():
    program = pathlib.Path(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="vantry-regrade-") as work:
        folder = pathlib.Path(work) / "八年级3班"
        folder.mkdir()
        (folder / "参数设置.txt").write_bytes(rules(["光合作用", "叶绿体"]))
        (folder / "学生答题文本.txt").write_bytes("".join(
            "<姓名>\t%s\t</姓名>\r\n<答题文本>\t%s\t</答题文本>\r\n" % s
            for s in STUDENTS).encode("gbk"))
        first = grade(program, folder)
        day = re.search(r"阅卷结果(\d{8})\.txt", first).group(1)
        book = folder / ("阅卷结果%s.xlsx" % day)
        numbered = folder / ("阅卷结果%s(2).xlsx" % day)
        page = folder / ("阅卷分析%s.html" % day)
        expect("成绩表已保存在‘%s’！" % book.name in first, "first summary: " + first)

        # The teacher's note, saved as Excel would save it.
        edited = openpyxl.load_workbook(book)
        edited["成绩"]["H1"] = "备注"
        edited["成绩"]["H2"] = "甲的第2题要再看"
        edited.save(book)
        before = book.read_bytes()

        # A keyword added: 乙 and 丁 wrote 氧气 and gain 2 points each.
        (folder / "参数设置.txt").write_bytes(rules(["光合作用", "叶绿体", "氧气"]))
        second = grade(program, folder)
        expect("‘%s’在程序写出后被改动过，已保留；新的成绩表保存在‘%s’！"
               % (book.name, numbered.name) in second, "second summary: " + second)
        expect("与今天早先的结果相比，2 名学生的总分变了：乙 4 → 6、丁 0 → 2" in second,
               "changed totals: " + second)
        expect(book.read_bytes() == before, "the edited workbook was touched")
        expect(openpyxl.load_workbook(book)["成绩"]["H2"].value == "甲的第2题要再看",
               "the note is gone")
        review = [tuple(r) for r in openpyxl.load_workbook(numbered)["需要复核"]
                  .iter_rows(min_row=2, values_only=True) if r[0] == "总分有变化"]
        expect(review == [("总分有变化", "乙", None, "总分 4 → 6"),
                          ("总分有变化", "丁", None, "总分 0 → 2")], "需要复核: %s" % review)
        text = html.unescape(re.sub(r"<[^>]+>", "", page.read_text(encoding="utf-8")))
        expect("总分有变化（2）" in text and "乙：总分 4 → 6" in text and "丁：总分 0 → 2" in text,
               "the page does not list the changed totals")

        # Nothing changed: the program's own numbered workbook is replaced.
        third = grade(program, folder)
        expect("新的成绩表保存在‘%s’！" % numbered.name in third and
               "与今天早先的结果相比，总分都没有变化。" in third, "third summary: " + third)
        expect(not (folder / ("阅卷结果%s(3).xlsx" % day)).exists(), "numbered again")
    print("regrade: the changed totals were listed and the edited workbook kept")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except AssertionError as failure:
        print("regrade: FAILED: %s" % failure)
        sys.exit(1)
