#!/usr/bin/env python3
"""How much the rule assistant improves the frozen starting rules on real marked answers.

The ADS data (bench/data/ads: answers of Chinese university students to 15 questions of
an algorithms and data structures course with their teachers' scores; Apache-2.0, see
its SOURCE.md) is cut, over SPLITS random splits, into 30 marked papers per question and
the rest held out. For each split the script builds a 15-question exam in a temporary
folder (TABs in answers replaced by spaces, made-up names, the marks of the 30 papers
as 教师评分.csv), runs vantry-grade with the frozen rules (bench/ads/参数设置.txt, the
分值 box 3) and --propose, then grades the same exam with the proposed rules, and
compares both with the teachers' scores on the held-out papers only.

It prints, per question and on average over the splits, the held-out quadratic
weighted kappa of the frozen and of the proposed rules, and beside it the assistant's
own cross-validated estimate (which saw only the 30 marked papers), to show that the
estimate is honest; then how far, question by question and split by split, the gain
the assistant estimated was from the gain on the held-out papers.

  /usr/bin/python3 bench/ads_proposals.py [--splits 20] [--marked 30] [--program DIR]
"""
import argparse
import collections
import csv
import json
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
POINTS = "3"


def kappa(rules, teacher):
    """Quadratic weighted kappa with value weights (as the program computes it)."""
    n = len(rules)
    if n == 0:
        return None
    mr, mt = sum(rules) / n, sum(teacher) / n
    srr = sum((r - mr) ** 2 for r in rules)
    stt = sum((t - mt) ** 2 for t in teacher)
    gaps = sum((r - t) ** 2 for r, t in zip(rules, teacher))
    expected = srr + stt + n * (mr - mt) ** 2
    if expected == 0:
        return None
    return 1 - gaps / expected


def read_data(path):
    by_question = collections.OrderedDict()
    with open(path, encoding="utf-8") as f:
        for line in f:
            row = json.loads(line)
            by_question.setdefault(row["q_id"], []).append(
                (row["answer"].replace("\t", " "), int(row["score"])))
    return collections.OrderedDict(sorted(by_question.items()))


def gbk(text):
    return text.encode("gbk", errors="replace")


def write_exam(folder, rules_gbk, papers, marks, questions):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "参数设置.txt"), "wb") as f:
        f.write(rules_gbk)
    with open(os.path.join(folder, "学生答题文本.txt"), "wb") as f:
        for name, answers in papers:
            f.write(b"<" + gbk("姓名") + b">\t" + gbk(name) + b"\t</" + gbk("姓名") + b">\r\n")
            f.write(b"<" + gbk("答题文本") + b">\t" + b"\t".join(gbk(a) for a in answers) +
                    b"\t</" + gbk("答题文本") + b">\r\n")
    if marks is not None:
        with open(os.path.join(folder, "教师评分.csv"), "w", encoding="utf-8-sig",
                  newline="") as f:
            out = csv.writer(f)
            out.writerow(["姓名"] + ["第%d题" % (q + 1) for q in range(questions)])
            for name, row in marks:
                out.writerow([name] + ["" if m is None else m for m in row])


def report_scores(folder):
    """Each student's question scores from the dated report."""
    reports = [f for f in os.listdir(folder) if f.startswith("阅卷结果") and f.endswith(".txt")]
    with open(os.path.join(folder, reports[0]), "rb") as f:
        text = f.read().decode("gbk")
    scores = {}
    for line in text.splitlines():
        parts = line.split(" ")
        # name, the scores each followed by a space, then " " and the total
        name, numbers = parts[0], [p for p in parts[1:] if p != ""]
        scores[name] = [int(x) for x in numbers[:-1]]
    return scores


def run(program, folder, extra):
    result = subprocess.run([os.path.join(program, "vantry-grade"), "--dir", folder,
                             "--points", POINTS, "--quiet", "--no-xlsx", "--no-html"] + extra,
                            capture_output=True)
    if result.returncode not in (0, 4):
        sys.exit("vantry-grade failed (%d): %s" % (result.returncode,
                                                  result.stderr.decode("utf-8", "replace")))
    return result.stdout.decode("utf-8", "replace")


def estimates(text):
    """The assistant's estimate per question: (kappa before, kappa after, edits)."""
    found = {}
    question = None
    for line in text.splitlines():
        m = re.match(r"^第(\d+)题：.*?(?:建议 (\d+) 处修改|没有找到可靠的修改|找到 \d+ 处修改，但)",
                     line)
        if m:
            question = int(m.group(1))
            found[question] = [None, None, int(m.group(2) or 0)]
            continue
        m = re.match(r"^\s+加权 kappa (\S+) → (\S+?)(?:（|$)", line)
        if m and question is not None:
            found[question][0] = float(m.group(1)) if m.group(1) != "—" else None
            found[question][1] = float(m.group(2)) if m.group(2) != "—" else None
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--splits", type=int, default=20)
    parser.add_argument("--marked", type=int, default=30)
    parser.add_argument("--seed", type=int, default=2026)
    parser.add_argument("--data", default=os.path.join(HERE, "data", "ads", "all.jsonl"))
    parser.add_argument("--rules", default=os.path.join(HERE, "ads", "参数设置.txt"))
    parser.add_argument("--program", default=os.path.join(HERE, "..", "build", "default", "bin"))
    args = parser.parse_args()

    data = read_data(args.data)
    q_ids = list(data)
    with open(args.rules, encoding="utf-8") as f:
        rules = gbk(f.read())
    held = {q: ([], []) for q in q_ids}  # kappas before, after per split
    estimated = {q: ([], []) for q in q_ids}
    edits = {q: [] for q in q_ids}
    seconds = []
    rng = random.Random(args.seed)
    size = max(len(v) for v in data.values())
    with tempfile.TemporaryDirectory() as work:
        for split in range(args.splits):
            # Paper k answers question q with the k-th answer of a shuffled order.
            order = {q: rng.sample(range(len(data[q])), len(data[q])) for q in q_ids}
            marked = {q: set(rng.sample(range(len(data[q])), args.marked)) for q in q_ids}
            names = ["学生%03d" % (k + 1) for k in range(size)]
            papers, marks = [], []
            for k in range(size):
                answers, row, any_mark = [], [], False
                for q in q_ids:
                    if k < len(data[q]):
                        answer, score = data[q][order[q][k]]
                        answers.append(answer)
                        row.append(score if k in marked[q] else None)
                        any_mark |= k in marked[q]
                    else:
                        answers.append("")
                        row.append(None)
                papers.append((names[k], answers))
                if any_mark:
                    marks.append((names[k], row))
            before_dir = os.path.join(work, "split%d" % split)
            write_exam(before_dir, rules, papers, marks, len(q_ids))
            started = time.monotonic()
            text = run(args.program, before_dir,
                       ["--propose", os.path.join(before_dir, "教师评分.csv"),
                        "--propose-out", os.path.join(work, "proposed%d.txt" % split)])
            seconds.append(time.monotonic() - started)
            before = report_scores(before_dir)
            after_dir = os.path.join(work, "after%d" % split)
            with open(os.path.join(work, "proposed%d.txt" % split), "rb") as f:
                write_exam(after_dir, f.read(), papers, None, len(q_ids))
            run(args.program, after_dir, [])
            after = report_scores(after_dir)
            found = estimates(text)
            for i, q in enumerate(q_ids):
                rows = [k for k in range(len(data[q])) if k not in marked[q]]
                teacher = [data[q][order[q][k]][1] for k in rows]
                held[q][0].append(kappa([before[names[k]][i] for k in rows], teacher))
                held[q][1].append(kappa([after[names[k]][i] for k in rows], teacher))
                e = found.get(i + 1, [None, None, 0])
                estimated[q][0].append(e[0])
                estimated[q][1].append(e[1])
                edits[q].append(e[2])
            print("split %d done in %.1f s" % (split + 1, seconds[-1]), file=sys.stderr)

    def mean(values):
        values = [v for v in values if v is not None]
        return statistics.mean(values) if values else float("nan")

    print("Held-out quadratic weighted kappa over %d splits, %d marked papers per question"
          % (args.splits, args.marked))
    print("%-6s %8s %8s %8s %8s  %8s %8s  %6s" % ("q_id", "frozen", "proposed", "gain",
                                                    "worse in", "est.bef", "est.aft", "edits"))
    gains = []
    for q in q_ids:
        b, a = mean(held[q][0]), mean(held[q][1])
        worse = sum(1 for x, y in zip(*held[q]) if x is not None and y is not None and y < x)
        gains.append(a - b)
        print("%-6s %8.3f %8.3f %+8.3f %5d/%-2d  %8.3f %8.3f  %6.1f"
              % (q, b, a, a - b, worse, args.splits, mean(estimated[q][0]),
                 mean(estimated[q][1]), statistics.mean(edits[q])))
    all_b = mean([mean(held[q][0]) for q in q_ids])
    all_a = mean([mean(held[q][1]) for q in q_ids])
    est_b = mean([mean(estimated[q][0]) for q in q_ids])
    est_a = mean([mean(estimated[q][1]) for q in q_ids])
    print("%-6s %8.3f %8.3f %+8.3f %8s  %8.3f %8.3f" % ("mean", all_b, all_a, all_a - all_b,
                                                        "", est_b, est_a))
    print("questions worse on average: %d; vantry-grade --propose took %.1f s median "
          "(%d questions, %d papers)" % (sum(1 for g in gains if g < 0),
                                         statistics.median(seconds), len(q_ids), size))
    misses = [abs((ea - eb) - (ha - hb))
              for q in q_ids
              for hb, ha, eb, ea in zip(held[q][0], held[q][1], estimated[q][0],
                                        estimated[q][1])
              if None not in (hb, ha, eb, ea)]
    if misses:
        print("estimated gain - held-out gain: %.3f mean, %.3f median absolute, over %d "
              "question-splits" % (statistics.mean(misses), statistics.median(misses),
                                    len(misses)))


if __name__ == "__main__":
    main()
