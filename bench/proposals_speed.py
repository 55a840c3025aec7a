#!/usr/bin/env python3
"""Times vantry-grade --propose (the rule proposals with their cross-validated estimate).

Two exams are built in a temporary folder from the ADS answers (bench/data/ads, real
answers with their teachers' scores; drawn with replacement where more papers are
needed, each copy ending in its paper's number so that no two answers are alike, as
in a real class), graded with the frozen starting rules (bench/ads/参数设置.txt, 分值 box 3):

  small  one question, 314 papers, 30 of them marked
  large  10 questions, 2,000 papers, 300 marked on every question

For each it prints the median wall time of RUNS runs with --propose and without it
(the same run grading, reporting and comparing, without the proposals), and their
difference: the time the proposals take.

  /usr/bin/python3 bench/proposals_speed.py [--runs 5] [--program DIR]
"""
import argparse
import os
import random
import resource
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ads_proposals  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def build(folder, data, rules_lines, questions, papers, marked, rng):
    q_ids = list(data)[:questions]
    rules = ads_proposals.gbk("\n".join(rules_lines[:questions]) + "\n")
    names = ["学生%05d" % (k + 1) for k in range(papers)]
    chosen = {q: [rng.choice(data[q]) for _ in range(papers)] for q in q_ids}
    marked_rows = set(rng.sample(range(papers), marked))
    exam = [(names[k], [chosen[q][k][0] + " %d" % k for q in q_ids]) for k in range(papers)]
    marks = [(names[k], [chosen[q][k][1] for q in q_ids]) for k in sorted(marked_rows)]
    ads_proposals.write_exam(folder, rules, exam, marks, questions)


def timed(program, folder, extra, runs):
    """Median wall time and median CPU time (user + system) of the runs."""
    walls, cpus = [], []
    for _ in range(runs):
        used = resource.getrusage(resource.RUSAGE_CHILDREN)
        started = time.monotonic()
        result = subprocess.run([os.path.join(program, "vantry-grade"), "--dir", folder,
                                 "--points", "3", "--quiet", "--no-xlsx", "--no-html"] + extra,
                                capture_output=True)
        walls.append(time.monotonic() - started)
        now = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(now.ru_utime - used.ru_utime + now.ru_stime - used.ru_stime)
        if result.returncode not in (0, 4):
            sys.exit(result.stderr.decode("utf-8", "replace"))
    return statistics.median(walls), statistics.median(cpus)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--program", default=os.path.join(HERE, "..", "build", "default", "bin"))
    args = parser.parse_args()
    data = ads_proposals.read_data(os.path.join(HERE, "data", "ads", "all.jsonl"))
    with open(os.path.join(HERE, "ads", "参数设置.txt"), encoding="utf-8") as f:
        rules_lines = [line for line in f.read().splitlines() if line]
    rng = random.Random(2026)
    with tempfile.TemporaryDirectory() as work:
        for label, questions, papers, marked in (("small", 1, 314, 30),
                                                 ("large", 10, 2000, 300)):
            folder = os.path.join(work, label)
            build(folder, data, rules_lines, questions, papers, marked, rng)
            sheet = os.path.join(folder, "教师评分.csv")
            # Without --propose the sheet beside the exam would still be learned from.
            os.rename(sheet, os.path.join(work, label + ".csv"))
            sheet = os.path.join(work, label + ".csv")
            plain, plain_cpu = timed(args.program, folder, ["--check", sheet], args.runs)
            proposing, proposing_cpu = timed(
                args.program, folder, ["--check", sheet, "--propose", sheet], args.runs)
            print("%-5s %2d question(s), %4d papers, %3d marked: %.2f s with --propose, "
                  "%.2f s without: the proposals take %.2f s (CPU %.2f s); median of %d "
                  "runs, %d cores, load average %.1f"
                  % (label, questions, papers, marked, proposing, plain, proposing - plain,
                     proposing_cpu - plain_cpu, args.runs, os.cpu_count(),
                     os.getloadavg()[0]))


if __name__ == "__main__":
    main()
