"""Hidden-line drawing of a torus mesh seen from above and aside, in perspective.

Usage: python3 hidden_lines.py [output.png]   (shows a window when no file is given)
"""
import sys

import matplotlib
if len(sys.argv) > 1:
    matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import quorm

# Torus: n x m quadrilaterals, counter-clockwise seen from outside.
n, m, big, small = 36, 16, 3.0, 1.0
u, v = np.meshgrid(np.linspace(0, 2 * np.pi, n, endpoint=False), np.linspace(0, 2 * np.pi, m, endpoint=False),
                   indexing="ij")
vertices = np.c_[((big + small * np.cos(v)) * np.cos(u)).ravel(), ((big + small * np.cos(v)) * np.sin(u)).ravel(),
                 (small * np.sin(v)).ravel()]
i, j = np.meshgrid(np.arange(n), np.arange(m), indexing="ij")
i, j = i.ravel(), j.ravel()
faces = np.c_[i * m + j, ((i + 1) % n) * m + j, ((i + 1) % n) * m + (j + 1) % m, i * m + (j + 1) % m]

view_direction = np.array([-1.0, -0.6, -0.8])       # the direction the viewer looks along
segments = quorm.hidden_lines(vertices, faces, view=view_direction, perspective=30.0)
print(f"{len(faces)} facets, {len(segments)} visible segments")

# Draw in the view plane: project with the same frame the renderer used.
z = -view_direction / np.linalg.norm(view_direction)
x = np.cross([0.0, 0.0, 1.0], z)
x /= np.linalg.norm(x)
y = np.cross(z, x)
fig, ax = plt.subplots(figsize=(6, 5))
for start, end in segments:
    ax.plot([start @ x, end @ x], [start @ y, end @ y], "k-", linewidth=0.6)
ax.set_aspect("equal")
ax.axis("off")
if len(sys.argv) > 1:
    fig.savefig(sys.argv[1], dpi=80)
else:
    plt.show()
