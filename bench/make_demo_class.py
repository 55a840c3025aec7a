#!/usr/bin/env python3
"""Writes a large class for the demo exam, for timing the analysis page.

  make_demo_class.py PROGRAM_DIR OUT_DIR [STUDENTS=20000]

Copies the demo's parameters file and writes an answer sheet of STUDENTS papers whose
answers are drawn from the demo's own keywords: each student has an ability, each
scoring point is written (in one of its wordings) with that probability, ordered points
mostly in order, mixed with filler words; some answers are left empty or cut short.
The same arguments always give the same bytes.
"""
import random
import re
import shutil
import sys
from pathlib import Path

SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰萍鹏辉建国红文斌宇浩凯欣怡晨阳"
FILLERS = ["，", "。", "是", "的", "在", "和", "通过", "进行", "产生", "需要", "因为", "所以"]


def main():
    program, out = Path(sys.argv[1]), Path(sys.argv[2])
    students = int(sys.argv[3]) if len(sys.argv) > 3 else 20000
    rules_text = (program / "参数设置.txt").read_bytes().decode("gbk")
    questions = []
    for block in re.findall(r"<综合题>(.*?)</综合题>", rules_text, re.S):
        groups = [g.split("|") for g in re.findall(r"<关键词>(.*?)</关键词>", block, re.S)]
        ordered = "按先后顺序计分" in block
        questions.append((groups, ordered))
    out.mkdir(parents=True, exist_ok=True)
    shutil.copy(program / "参数设置.txt", out / "参数设置.txt")

    rng = random.Random(20261208)
    records = []
    for _ in range(students):
        name = rng.choice(SURNAMES) + "".join(rng.choice(GIVEN) for _ in range(rng.randint(1, 2)))
        ability = rng.betavariate(2.5, 1.8)
        answers = []
        for groups, ordered in questions:
            if rng.random() < 0.03:
                answers.append("")
                continue
            picked = [(i, rng.choice(alternatives)) for i, alternatives in enumerate(groups)
                      if rng.random() < ability]
            if not (ordered and rng.random() < 0.7):
                rng.shuffle(picked)
            words = []
            for _, word in picked:
                words.append(word)
                words.append(rng.choice(FILLERS))
            answers.append("".join(words) or rng.choice(["不知道", "没学过"]))
        while answers and rng.random() < 0.05:
            answers.pop()  # the last questions skipped
        records.append("<姓名>\t%s\t</姓名>\r\n<答题文本>\t%s\t</答题文本>\r\n"
                       % (name, "\t".join(answers)))
    (out / "学生答题文本.txt").write_bytes("".join(records).encode("gbk"))


if __name__ == "__main__":
    main()
