"""Per-call overhead of the Python module against the C library, and a
1 000 000-point plane fit against NumPy's own SVD-based fit.

Usage: python3 bench/python_overhead.py BENCH_PYTHON_OVERHEAD_BINARY
with the quorm package of the same (Release) build on PYTHONPATH.  Prints
medians of five repetitions and the ratios.
"""
import json
import statistics
import subprocess
import sys
import timeit

import numpy as np

import quorm


def circle_points(n):
    i = np.arange(n)
    a, r = 0.3 + 2.5 * i / n, 2.0 + 0.01 * np.sin(7.0 * i)
    return np.c_[3.0 + r * np.cos(a), -1.0 + r * np.sin(a)]


def plane_points(n):
    i = np.arange(n, dtype=np.float64)
    x, y = np.fmod(i * 0.618034, 200.0) - 100.0, np.fmod(i * 0.414214, 200.0) - 100.0
    return np.c_[x, y, 0.3 * x - 0.2 * y + 5.0 + 0.05 * np.sin(i * 1.7)]


def numpy_plane(p):
    c = p.mean(axis=0)
    return c, np.linalg.svd(p - c, full_matrices=False)[2][2]


def median_seconds(fn, number):
    return statistics.median(t / number for t in timeit.repeat(fn, number=number, repeat=5))


def c_medians(binary):
    out = subprocess.run([binary, "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true",
                          "--benchmark_format=json"], check=True, capture_output=True, text=True).stdout
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    return {b["run_name"]: b["real_time"] * scale[b["time_unit"]]
            for b in json.loads(out)["benchmarks"] if b.get("aggregate_name") == "median"}


def main():
    c = c_medians(sys.argv[1]) if len(sys.argv) > 1 else {}
    circle10, plane10, plane1m = circle_points(10), plane_points(10), plane_points(1_000_000)
    rows = [
        ("fit_circle, 10 points", "BM_C_fit_circle/10", median_seconds(lambda: quorm.fit_circle(circle10), 20000)),
        ("  (raw core call)", "BM_C_fit_circle/10",
         median_seconds(lambda: quorm._quorm.fit_circle(circle10), 20000)),
        ("fit_plane, 10 points", "BM_C_fit_plane/10", median_seconds(lambda: quorm.fit_plane(plane10), 20000)),
        ("fit_plane, 1e6 points", "BM_C_fit_plane/1000000", median_seconds(lambda: quorm.fit_plane(plane1m), 3)),
    ]
    print(f"{'call':28} {'python':>12} {'C':>12} {'overhead':>12} {'ratio':>8}")
    for name, key, py in rows:
        cs = c.get(key)
        if cs is None:
            print(f"{name:28} {py * 1e6:10.2f}us")
        else:
            print(f"{name:28} {py * 1e6:10.2f}us {cs * 1e6:10.2f}us {(py - cs) * 1e6:10.2f}us {py / cs:8.2f}")
    ours = rows[3][2]
    theirs = median_seconds(lambda: numpy_plane(plane1m), 3)
    print(f"1e6-point plane: quorm.fit_plane {ours * 1e3:.1f} ms, NumPy SVD fit {theirs * 1e3:.1f} ms, "
          f"ratio {ours / theirs:.2f}")
    n1 = quorm.fit_plane(plane1m).normal
    n2 = numpy_plane(plane1m)[1]
    print(f"normals agree to {1 - abs(n1 @ n2):.1e}")


if __name__ == "__main__":
    main()
