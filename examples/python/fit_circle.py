"""Fits a circle to noisy points on an arc and draws both.

Usage: python3 fit_circle.py [output.png]   (shows a window when no file is given)
"""
import sys

import matplotlib
if len(sys.argv) > 1:
    matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import quorm

rng = np.random.default_rng(1)
t = rng.uniform(0.2, 2.4, 80)
points = np.c_[3.0 + 2.0 * np.cos(t), -1.0 + 2.0 * np.sin(t)] + rng.normal(0.0, 0.05, (80, 2))

fit = quorm.fit_circle(points)
print(fit)

a = np.linspace(0.0, 2.0 * np.pi, 400)
fig, ax = plt.subplots(figsize=(5, 5))
ax.plot(points[:, 0], points[:, 1], ".", label="points")
ax.plot(fit.centre[0] + fit.radius * np.cos(a), fit.centre[1] + fit.radius * np.sin(a), "-",
        label=f"r = {fit.radius:.3f}, max dev {fit.max_deviation:.3f}")
ax.plot(*fit.centre, "+", markersize=12)
ax.set_aspect("equal")
ax.legend(loc="lower left")
if len(sys.argv) > 1:
    fig.savefig(sys.argv[1], dpi=80)
else:
    plt.show()
