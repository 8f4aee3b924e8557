#!/usr/bin/env python3
"""Runs the quorm tool on small files and checks exit codes, JSON results and
drawings (that the SVG parses and holds the expected number of strokes).

usage: run_tool_tests.py --quorm BIN --data DIR --work DIR GROUP
A group that cannot run here (draw_real without assimp's test models) exits 77.
"""
import argparse
import json
import math
import os
import random
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

FAILURES = []


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def run(args, cwd=None):
    r = subprocess.run([OPT.quorm] + args, capture_output=True, text=True, cwd=cwd, timeout=600)
    return r.returncode, r.stdout, r.stderr


def data(name):
    return os.path.join(OPT.data, name)


def work(name):
    return os.path.join(WORK, name)


def strokes(svg_path):
    """Stroked paths and their move-to counts in an SVG written by the tool."""
    root = ET.parse(svg_path).getroot()
    paths = [e for e in root.iter() if e.tag.endswith("path") and "stroke:" in e.get("style", "")]
    moves = sum(len(re.findall(r"M ", p.get("d", ""))) for p in paths)
    return len(paths), moves


def near(a, b, tol=1e-9):
    return abs(a - b) <= tol * max(1.0, abs(b))


def expect_error(args, fragment, output=None):
    code, out, err = run(args)
    check(code != 0, f"{args}: exit code {code} for bad input")
    lines = [l for l in err.splitlines() if l.strip()]
    check(len(lines) == 1 and fragment in err, f"{args}: one line naming '{fragment}', got {err!r}")
    if output:
        check(not os.path.exists(output), f"{args}: no output file left behind")
        left = [f for f in os.listdir(os.path.dirname(output)) if ".partial-" in f]
        check(not left, f"{args}: no temporary file left behind ({left})")


def group_errors():
    out = work("never.svg")
    expect_error(["fit", "line", data("missing.txt")], "cannot open")
    expect_error(["fit", "line", data("bad_row.txt")], "bad_row.txt:3: not a row of numbers: '1 2 x'")
    expect_error(["fit", "line", data("mixed_columns.txt")], "mixed_columns.txt:2:")
    # Every malformed row is refused with its number and text; comments,
    # blank lines, commas and Windows line ends are fine.
    for bad in ("1,,2", "1 2,", ",1 2", "nan 1", "1 inf", "1e999 2", "1 2 3 4", "7", "1 2abc", "0x 1"):
        path = work("bad.txt")
        with open(path, "w") as f:
            f.write("# header\r\n0 0\r\n\r\n1, 1  # ok\r\n" + bad + "\r\n2 2\r\n")
        expect_error(["fit", "line", path], f"bad.txt:5:")
        _, _, err = run(["fit", "line", path])
        check(f"'{bad}'" in err, f"the bad row's text is quoted: {err!r}")
    expect_error(["fit", "plane", data("line_axis.txt")], "3 columns")
    expect_error(["fit", "plane", data("plane_collinear.txt")], "no plane")
    expect_error(["fit", "circle", data("line_axis.txt")], "no circle")
    expect_error(["fit", "sphere", data("plane_square.txt")], "no sphere")
    expect_error(["fit", "sphere", data("plane_square.txt"), "--plot", work("s.svg")], "2-D fits only")
    expect_error(["draw", data("cube.obj"), "-o", work("never.bmp")], "unknown output format")
    expect_error(["draw", data("nope.obj"), "-o", out], "cannot open", out)
    expect_error(["draw", data("model.xyz"), "-o", out], "unknown mesh format", out)
    expect_error(["draw", data("no_faces.obj"), "-o", out], "holds no faces", out)
    expect_error(["draw", data("empty.stl"), "-o", out], "holds no faces", out)
    expect_error(["draw", data("cube.obj"), "-o", out, "--view", "1,x,2"], "view", out)
    expect_error(["draw", data("cube.obj"), "-o", out, "--perspective", "0.5"], "eye distance", out)
    expect_error(["fill", data("bowtie.txt"), "-o", out], "cannot be filled", out)
    expect_error(["fill", data("bowtie.txt"), "--ears", "-o", out], "cannot be filled", out)
    expect_error(["curve", data("arch.txt"), "--order", "9", "-o", out], "order 9 needs", out)
    expect_error(["curve", data("arch.txt")], "-o OUT.svg or --json")
    # An unwritable destination is an error, not a silent success.
    expect_error(["fit", "line", data("line_axis.txt"), "--plot", "/nonexistent-dir/x.svg"], "cannot write")
    for args in (["frobnicate"], ["fit", "ellipse", data("line_axis.txt")], ["draw", data("cube.obj")]):
        code, _, err = run(args)
        check(code != 0 and len(err.strip().splitlines()) == 1, f"{args}: usage error on one line ({err!r})")


def group_fit():
    code, out, _ = run(["fit", "line", data("line_axis.txt"), "--json"])
    check(code == 0, "fit line exit code")
    r = json.loads(out)
    check(r["element"] == "line" and r["points"] == 4, "fit line element and count")
    check(near(r["point"][0], 1.5) and near(r["point"][1], 0.0), f"fit line point {r['point']}")
    check(near(abs(r["normal"][1]), 1.0) and near(r["normal"][0], 0.0, 1e-12), f"fit line normal {r['normal']}")
    check(all(near(r["deviation"][k], 0.0, 1e-12) for k in ("max", "rms", "mean")), "fit line deviations 0")

    # Comma separated with comments and blank lines: y = 2x + 1.
    code, out, _ = run(["fit", "line", data("line_csv.txt"), "--json", "--plot", work("fit.svg")])
    r = json.loads(out)
    d = r["direction"]
    check(code == 0 and near(abs(d[1] / d[0]), 2.0, 1e-9), f"fit line slope {d}")
    check(near(r["point"][0], 1.5) and near(r["point"][1], 4.0), f"fit line centroid {r['point']}")
    check(strokes(work("fit.svg"))[0] == 5, "plot: four points and the line")

    code, out, _ = run(["fit", "plane", data("plane_square.txt"), "--json"])
    r = json.loads(out)
    check(code == 0 and r["element"] == "plane", "fit plane result")
    check(all(near(a, b) for a, b in zip(r["point"], [0.5, 0.5, 5.0])), f"fit plane point {r['point']}")
    check(near(abs(r["normal"][2]), 1.0), f"fit plane normal {r['normal']}")
    code, out, _ = run(["fit", "circle", data("circle4.txt"), "--json", "--plot", work("circle.svg")])
    r = json.loads(out)
    check(code == 0 and near(r["radius"], 1.0) and all(near(c, 0.0, 1e-12) for c in r["centre"]),
          f"fit circle through four points of the unit circle: {r}")
    check(strokes(work("circle.svg"))[0] == 5, "circle plot: four points and the circle")
    code, out, _ = run(["fit", "sphere", data("cube_corners.txt"), "--json"])
    r = json.loads(out)
    check(code == 0 and near(r["radius"], math.sqrt(3)) and
          all(near(a, b) for a, b in zip(r["centre"], [1.0, 2.0, 3.0])), f"fit sphere through a cube's corners: {r}")
    check(r["deviation"]["max"] < 1e-9, "sphere through the corners: no deviation")
    code, out, _ = run(["fit", "plane", data("plane_square.txt")])
    check(code == 0 and out.startswith("plane through (0.5, 0.5, 5)"), f"fit plane text {out!r}")


def triangle_area_sum(pts, tris):
    s = 0.0
    for a, b, c in tris:
        (ax, ay), (bx, by), (cx, cy) = pts[a], pts[b], pts[c]
        s += abs((bx - ax) * (cy - ay) - (by - ay) * (cx - ax)) / 2
    return s


def read_xy(name):
    rows = []
    for line in open(data(name)):
        line = line.split("#")[0].strip()
        if line:
            rows.append(tuple(float(v) for v in re.split(r"[\s,]+", line)))
    return rows


def group_fill():
    for name, n in (("l_shape.txt", 6), ("l_shape_cw.txt", 6)):
        pts = read_xy(name)
        if pts[0] == pts[-1]:
            pts.pop()
        for extra in ([], ["--ears"]):
            svg = work("fill-" + name + "".join(extra) + ".svg")
            code, out, _ = run(["fill", data(name), "--json", "-o", svg] + extra)
            check(code == 0, f"fill {name} {extra} exit code")
            r = json.loads(out)
            tris = r["triangles"]
            check(r["count"] == n - 2 == len(tris), f"fill {name} {extra}: {n - 2} triangles")
            # The triangles tile the L (area 3) and use each corner.
            check(near(triangle_area_sum(pts, tris), 3.0, 1e-12), f"fill {name} {extra}: triangles cover the outline")
            check(sorted({i for t in tris for i in t}) == list(range(n)), f"fill {name} {extra}: corners used")
            # The notch corner (1, 1) must not be covered: no triangle holds the point (1.5, 1.5).
            for a, b, c in tris:
                P = [pts[a], pts[b], pts[c]]
                w = [(P[(k + 1) % 3][0] - P[k][0]) * (1.5 - P[k][1]) - (P[(k + 1) % 3][1] - P[k][1]) * (1.5 - P[k][0])
                     for k in range(3)]
                check(not (all(x > 0 for x in w) or all(x < 0 for x in w)), f"fill {name} {extra}: notch left open")
            check(strokes(svg)[0] == n - 2 + 1, f"fill {name} {extra}: one stroke per triangle and the outline")
    # Random star-shaped outlines in both orientations: both methods tile the
    # outline exactly (shoelace area) with n - 2 triangles over its corners.
    rng = random.Random(17)
    for case in range(12):
        n = rng.randint(5, 40)
        pts = []
        for i in range(n):
            a = 2 * math.pi * (i + rng.uniform(-0.3, 0.3)) / n
            r = rng.uniform(0.3, 1.0)
            pts.append((r * math.cos(a), r * math.sin(a)))
        if case % 2:
            pts.reverse()
        area = abs(sum(pts[i][0] * pts[(i + 1) % n][1] - pts[(i + 1) % n][0] * pts[i][1] for i in range(n))) / 2
        path = work(f"star{case}.txt")
        with open(path, "w") as f:
            f.writelines(f"{x!r} {y!r}\n" for x, y in pts)
        for extra in ([], ["--ears"]):
            code, out, err = run(["fill", path, "--json"] + extra)
            check(code == 0, f"star {case} {extra}: {err}")
            if code:
                continue
            tris = json.loads(out)["triangles"]
            check(len(tris) == n - 2 and all(0 <= i < n for t in tris for i in t), f"star {case} {extra}: indices")
            check(near(triangle_area_sum(pts, tris), area, 1e-9), f"star {case} {extra}: triangles tile the outline")
    code, out, _ = run(["fill", data("l_shape.txt")])
    check(code == 0 and out.startswith("4 triangles"), f"fill text {out!r}")


def group_curve():
    code, out, _ = run(["curve", data("arch.txt"), "--json", "-o", work("arch.svg")])
    check(code == 0, "curve exit code")
    r = json.loads(out)
    k, knots, ctrl = r["order"], r["knots"], r["control_points"]
    check(k == 4 and len(ctrl) == 5 and len(knots) == 9, "cubic through 5 points: 5 control points, 9 knots")
    check(r["max_point_error"] < 1e-9, f"curve passes through the points ({r['max_point_error']})")
    check(ctrl[0] == [0.0, 0.0] and ctrl[-1] == [6.0, 0.0], "clamped ends are the end points")
    check(strokes(work("arch.svg"))[0] == 5 + 2, "curve drawing: points, curve and control polygon")

    # End tangents add one control point each and set the end directions.
    code, out, _ = run(["curve", data("arch.txt"), "--tangents", data("arch_tangents.txt"), "--json"])
    r = json.loads(out)
    ctrl = r["control_points"]
    check(code == 0 and len(ctrl) == 7 and len(r["knots"]) == 11, "tangents: np + 2 control points")
    check(r["max_point_error"] < 1e-9, "curve with tangents passes through the points")
    check(near(ctrl[1][0], 0.0, 1e-12) and ctrl[1][1] > 0, f"start tangent (0, 1): {ctrl[1]}")
    check(near(ctrl[-2][0], 6.0, 1e-12) and ctrl[-2][1] > 0, f"end tangent (0, -1): {ctrl[-2]}")

    # Closed curve: a repeated first point is dropped; the first k - 1 control
    # points equal the last k - 1, so the curve closes smoothly.
    for order in (3, 4):
        code, out, _ = run(["curve", data("square4.txt"), "--periodic", "--order", str(order), "--json"])
        r = json.loads(out)
        ctrl = r["control_points"]
        check(code == 0 and len(ctrl) == 4 + order - 1, f"periodic order {order}: control points")
        p = order - 1
        check(all(near(a, b, 1e-9) for i in range(p) for a, b in zip(ctrl[i], ctrl[len(ctrl) - p + i])),
              f"periodic order {order}: tied control points")
        check(r["max_point_error"] < 1e-9, f"periodic order {order} passes through the points")


def group_curve_random():
    # Random points, orders 2 to 6, open and closed: the curve passes through
    # every point, the counts follow m = np (+ k - 1 when closed), knots + k.
    rng = random.Random(8)
    for case in range(16):
        order = 2 + case % 5
        periodic = case % 2 == 1
        np_ = rng.randint(max(order, 3), 12)
        dim = 2 + case % 3 // 2
        pts = [[rng.uniform(-5, 5) for _ in range(dim)] for _ in range(np_)]
        path = work(f"pts{case}.txt")
        with open(path, "w") as f:
            f.writelines(", ".join(repr(v) for v in p) + "\n" for p in pts)
        args = ["curve", path, "--order", str(order), "--json"] + (["--periodic"] if periodic else [])
        code, out, err = run(args)
        check(code == 0, f"curve case {case}: {err}")
        if code:
            continue
        r = json.loads(out)
        m = np_ + (order - 1 if periodic else 0)
        check(len(r["control_points"]) == m and len(r["knots"]) == m + order, f"curve case {case}: counts")
        check(all(a <= b for a, b in zip(r["knots"], r["knots"][1:])), f"curve case {case}: knots nondecreasing")
        check(r["max_point_error"] < 1e-8, f"curve case {case}: through the points ({r['max_point_error']})")


def cylinder_obj(path, n, normals):
    """Closed cylinder of n sides; normals: None, 'smooth' or 'flat' (facet normals as in STL)."""
    lines, faces = [], []
    for i in range(n):
        a = 2 * math.pi * i / n
        lines.append(f"v {math.cos(a)!r} {math.sin(a)!r} 0")
        lines.append(f"v {math.cos(a)!r} {math.sin(a)!r} 2")
    lines += ["v 0 0 0", "v 0 0 2"]
    bottom, top = 2 * n + 1, 2 * n + 2
    for i in range(n):
        j = (i + 1) % n
        b0, t0, b1, t1 = 2 * i + 1, 2 * i + 2, 2 * j + 1, 2 * j + 2
        faces += [(b0, b1, t1), (b0, t1, t0), (top, t0, t1), (bottom, b1, b0)]
    vs = [tuple(float(c) for c in l.split()[1:]) for l in lines]
    out = list(lines)
    for k, (a, b, c) in enumerate(faces):
        if normals is None:
            out.append(f"f {a} {b} {c}")
            continue
        if normals == "flat":
            pa, pb, pc = vs[a - 1], vs[b - 1], vs[c - 1]
            u = [pb[i] - pa[i] for i in range(3)]
            w = [pc[i] - pa[i] for i in range(3)]
            nn = [u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]]
            out.append("vn %r %r %r" % tuple(nn))
            out.append(f"f {a}//{k + 1} {b}//{k + 1} {c}//{k + 1}")
        else:
            ids = []
            for v in (a, b, c):
                p = vs[v - 1]
                cap = k % 4 >= 2
                nn = (0, 0, 1 if k % 4 == 2 else -1) if cap else (p[0], p[1], 0)
                out.append("vn %r %r %r" % tuple(nn))
                ids.append(f"{v}//{len([l for l in out if l.startswith('vn')])}")
            out.append("f " + " ".join(ids))
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def group_draw():
    # Unit cube seen from a corner: 9 visible edges; from the front: 4.
    for view, edges in (("iso", 9), ("front", 4), ("top", 4), ("1,1,1", 9)):
        svg = work(f"cube-{view}.svg")
        code, out, _ = run(["draw", data("cube.obj"), "-o", svg, "--view", view, "--json"])
        check(code == 0, f"draw {view} exit code")
        r = json.loads(out)
        check(r["facets"] == 12 and r["edges"] == edges, f"draw {view}: {edges} edges, got {r['edges']}")
        paths, moves = strokes(svg)
        check(paths == 1 and moves == edges, f"draw {view}: SVG strokes ({paths}, {moves})")
    # From any direction off the axes the cube shows three faces: 9 edges,
    # in orthographic and in distant perspective views.
    rng = random.Random(3)
    for case in range(8):
        d = [rng.choice((-1, 1)) * rng.uniform(0.2, 1.0) for _ in range(3)]
        view = ",".join(repr(v) for v in d)
        extra = ["--perspective", "40"] if case % 2 else []
        code, out, err = run(["draw", data("cube.obj"), "-o", work("cube-r.svg"), "--view", view, "--json"] + extra)
        r = json.loads(out) if code == 0 else {}
        check(code == 0 and r.get("edges") == 9, f"cube from {view} {extra}: 9 edges, got {r or err}")
    # A cylinder: the same drawing whether the file has smooth vertex normals,
    # facet normals only or none; smooth side edges are not drawn (far fewer
    # edges than the 3n rim and side edges).
    n = 48
    counts = {}
    for kind in (None, "smooth", "flat"):
        path = work(f"cyl-{kind}.obj")
        cylinder_obj(path, n, kind)
        code, out, err = run(["draw", path, "-o", work(f"cyl-{kind}.svg"), "--view", "1,-1,0.7", "--json"])
        check(code == 0, f"cylinder ({kind}): {err}")
        counts[kind] = json.loads(out)["edges"] if code == 0 else -1
    check(len(set(counts.values())) == 1, f"cylinder drawn alike with any normals: {counts}")
    check(0 < counts[None] < 2 * n, f"cylinder: smooth side edges left out ({counts[None]} edges)")
    # Perspective and every output format.
    for ext in ("pdf", "png"):
        out_file = work("cube." + ext)
        code, _, _ = run(["draw", data("cube.obj"), "-o", out_file, "--perspective", "10", "--size", "300x200"])
        check(code == 0 and os.path.getsize(out_file) > 100, f"draw to {ext}")
    with open(work("cube.png"), "rb") as f:
        check(f.read(8) == b"\x89PNG\r\n\x1a\n", "PNG signature")
    # A clipping window that holds no facet culls them all.
    code, out, _ = run(["draw", data("cube.obj"), "-o", work("clip.svg"), "--clip", "50,50,60,60", "--json"])
    r = json.loads(out)
    check(code == 0 and r["culled"] == 6 and r["kept"] == 0 and r["edges"] == 0,
          f"clip window away from the model: the six facing triangles culled, nothing drawn ({r})")


def group_draw_real():
    root = "/usr/share/assimp/models"
    candidates = [os.path.join(root, p) for p in ("STL/Wuson.stl", "OBJ/WusonOBJ.obj", "PLY/Wuson.ply")]
    meshes = [p for p in candidates if os.path.exists(p)]
    if not meshes:
        print("assimp-testmodels not installed: skipped")
        sys.exit(77)
    for mesh in meshes:
        svg = work(os.path.basename(mesh) + ".svg")
        code, out, err = run(["draw", mesh, "-o", svg, "--view", "0,0,1", "--json"])
        check(code == 0, f"draw {mesh}: {err}")
        if code:
            continue
        r = json.loads(out)
        check(r["facets"] > 1000 and 0 < r["edges"] < r["facets"], f"draw {mesh}: counts {r}")
        paths, moves = strokes(svg)
        check(moves == r["edges"], f"draw {mesh}: SVG holds every edge ({moves} vs {r['edges']})")


def group_demo():
    folder = work("demo")
    shutil.rmtree(folder, ignore_errors=True)
    code, out, _ = run(["demo", "-o", folder])
    check(code == 0, "demo exit code")
    listed = re.findall(r"^\s+(\S+)", out, re.M)
    check(len(listed) >= 8 and all(os.path.exists(p) for p in listed), f"demo lists its pictures {listed}")
    for p in listed:
        if p.endswith(".svg"):
            n, _ = strokes(p)
            check(n > 0, f"{p} has strokes")
    # The eight circles tangent to three circles, drawn with the three given ones.
    check(strokes(os.path.join(folder, "apollonius.svg"))[0] == 8 + 3, "apollonius: 8 solutions and 3 circles")
    # Run from a folder with the default output folder.
    code, out, _ = run(["demo"], cwd=WORK)
    check(code == 0 and os.path.isdir(work("quorm-demo")), "demo writes quorm-demo/ by default")


if __name__ == "__main__":
    ap = argparse.ArgumentParser()
    ap.add_argument("--quorm", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("group")
    OPT = ap.parse_args()
    WORK = os.path.join(OPT.work, OPT.group)
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    globals()["group_" + OPT.group]()
    if FAILURES:
        print(f"{len(FAILURES)} check(s) failed")
        sys.exit(1)
    print("all checks passed")
