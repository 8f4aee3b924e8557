"""Fills a gear-like outline with triangles and draws them.

Usage: python3 fill_outline.py [output.png]   (shows a window when no file is given)
"""
import sys

import matplotlib
if len(sys.argv) > 1:
    matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import quorm

a = np.linspace(0.0, 2.0 * np.pi, 96, endpoint=False)
r = 1.0 + 0.15 * (np.sin(12.0 * a) > 0.0)          # twelve teeth, counter-clockwise
outline = np.c_[r * np.cos(a), r * np.sin(a)]

triangles = quorm.fill_polygon(outline)
print(f"{len(outline)} points, {len(triangles)} triangles")

fig, ax = plt.subplots(figsize=(5, 5))
ax.triplot(outline[:, 0], outline[:, 1], triangles, linewidth=0.5)
ax.plot(*np.vstack([outline, outline[:1]]).T, "k-", linewidth=1.2)
ax.set_aspect("equal")
if len(sys.argv) > 1:
    fig.savefig(sys.argv[1], dpi=80)
else:
    plt.show()
