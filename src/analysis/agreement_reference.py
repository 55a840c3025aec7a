#!/usr/bin/python3
"""Reference agreement figures from scikit-learn and numpy, for agreement_test.

Reads mark sets from the file named by argv[1], one per line: the rules' marks, a
semicolon, the teacher's marks (whole numbers of half points separated by spaces).
Prints one line per set: exact share, share within one point, mean difference in
points, Pearson r and quadratic weighted kappa over every half point from the lowest
mark to the highest, "nan" where a figure is undefined. Exits 77 when scikit-learn is
missing.
"""
import sys
import warnings

try:
    import numpy as np
    from sklearn.metrics import cohen_kappa_score
except ImportError:
    sys.exit(77)

warnings.simplefilter("ignore")
with open(sys.argv[1]) as sets:
    for line in sets:
        left, right = line.split(";")
        a = np.array([int(v) for v in left.split()], dtype=np.int64)
        b = np.array([int(v) for v in right.split()], dtype=np.int64)
        d = a - b
        exact = np.mean(d == 0)
        within = np.mean(np.abs(d) <= 2)
        mean = np.mean(d) / 2
        with np.errstate(all="ignore"):
            r = np.corrcoef(a, b)[0, 1] if len(a) > 1 else float("nan")
        low, high = min(a.min(), b.min()), max(a.max(), b.max())
        kappa = cohen_kappa_score(a, b, weights="quadratic",
                                  labels=list(range(low, high + 1)))
        print(" ".join(repr(float(x)) for x in (exact, within, mean, r, kappa)))
