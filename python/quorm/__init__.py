"""Geometry mathematics for mechanical CAD: fits, polygon triangulation,
hidden-line rendering, B-spline curves, circle constructions and transforms.

Every function accepts array-likes of float64 (lists, tuples, NumPy arrays of
any float dtype); C-contiguous float64 arrays are used in place, without a
copy.  Results are NumPy arrays that own their memory.  A wrong shape raises
ValueError naming the argument and the expected shape; an error raised by the
library becomes quorm.Error, whose ``code`` is the library's error code.

Transforms are 4x4 arrays acting on column vectors, ``p' = M @ [x, y, z, 1]``,
the translation in the last column.  Angles are in degrees.
"""

from __future__ import annotations

import contextlib
import math
from dataclasses import dataclass
from typing import Iterator, Optional

import numpy as np

from . import _quorm
from ._quorm import Error

__all__ = [
    "Error", "checking", "checking_level",
    "LineFit", "PlaneFit", "CircleFit", "SphereFit", "PrincipalAxes", "EllipseFit", "BSpline",
    "centroid", "fit_line", "fit_plane", "fit_circle", "fit_sphere", "principal_axes",
    "principal_axes_of_tensor", "fit_ellipse",
    "triangulate_polygon", "fill_polygon", "hidden_lines",
    "interpolate", "evaluate",
    "intersect_arcs", "common_tangents", "circles_tangent_to_3_circles",
    "transform_points", "transform_vectors", "invert_transform", "compose", "rotation", "mirror",
    "scaling", "translation",
]

Error.__doc__ = ("An error reported by the library.  ``code`` holds its error code, ``severe`` "
                 "whether it was an internal or assertion error, ``str(err)`` the message.")

_NO_RADIUS = 1e19


def checking_level() -> int:
    """The current checking level (0: argument checks off; 1, the default, and above: on)."""
    return _quorm.get_checking_level()


@contextlib.contextmanager
def checking(level: int) -> Iterator[None]:
    """Runs the ``with`` block at the given checking level and restores the previous one.

    The level is process-wide: it applies to every thread while the block runs.
    """
    previous = _quorm.get_checking_level()
    _quorm.set_checking_level(int(level))
    try:
        yield
    finally:
        _quorm.set_checking_level(previous)


# ---- fits -------------------------------------------------------------------

@dataclass(frozen=True)
class LineFit:
    """A line through ``point`` with unit ``normal``, and the distances of the points from it.

    ``degenerate`` is set when the points lie within 0.001 of their centroid;
    the normal is then zero and the statistics are NaN.
    """
    point: np.ndarray
    normal: np.ndarray
    max_deviation: float
    rms_deviation: float
    mean_deviation: float
    degenerate: bool


@dataclass(frozen=True)
class PlaneFit:
    """A plane through ``point`` with unit ``normal``, and the distances of the points from it.

    ``degenerate`` is set when the points lie within 0.001 of one point or one
    line; the normal is then (0, 0, 1) or perpendicular to that line and the
    statistics are NaN.
    """
    point: np.ndarray
    normal: np.ndarray
    max_deviation: float
    rms_deviation: float
    mean_deviation: float
    degenerate: bool


@dataclass(frozen=True)
class CircleFit:
    """A circle (2-D) and the radial deviations of the points from it.

    ``degenerate`` is set when the points are collinear as far as the fit can
    tell; the radius is then infinite, the centre and statistics NaN.
    ``fit_measure`` is sqrt(n / lambda), lambda the eigenvalue of the
    algebraic fit (larger is a better fit); NaN when the fit fell back to the
    circle through three of the points (as it does for points that lie exactly
    on a circle).  The deviations are measured from the points on both paths.
    """
    centre: np.ndarray
    radius: float
    max_deviation: float
    fit_measure: float
    mean_deviation: float
    degenerate: bool


@dataclass(frozen=True)
class SphereFit:
    """A sphere and the radial deviations of the points from it (see CircleFit)."""
    centre: np.ndarray
    radius: float
    max_deviation: float
    fit_measure: float
    mean_deviation: float
    degenerate: bool


@dataclass(frozen=True)
class PrincipalAxes:
    """Centroid, the covariance eigenvalues in descending order, and the unit axes as rows."""
    centroid: np.ndarray
    moments: np.ndarray
    axes: np.ndarray


@dataclass(frozen=True)
class EllipseFit:
    """An ellipse refined by nonlinear least squares on the algebraic residuals.

    ``coefficients`` (b, c, d, e, f) of X^2 + 2bXY + cY^2 + 2dX + 2eY + f = 0;
    ``centre``, ``semi_axes`` (major first) and ``angle`` (degrees, of the
    major axis) describe the ellipse; ``residual`` is the Euclidean norm of the
    residuals, ``info`` the solver's stopping code (1 to 4: converged) and
    ``evaluations`` the number of residual evaluations.
    """
    coefficients: np.ndarray
    centre: np.ndarray
    semi_axes: np.ndarray
    angle: float
    residual: float
    info: int
    evaluations: int


def _stats(stats):
    return tuple(float(s) for s in stats)


def _radial_stats(points, centre, radius, stats):
    """The library's statistics; on its fallback path, which leaves them
    unwritten, the maximum and mean radial deviations are measured here."""
    if not math.isnan(stats[0]):
        return _stats(stats)
    d = np.abs(np.linalg.norm(np.asarray(points, dtype=np.float64) - centre, axis=1) - radius)
    return float(d.max()), math.nan, float(d.mean())


def centroid(points) -> np.ndarray:
    """Mean of (n, 2) or (n, 3) points."""
    return np.array(_quorm.centroid(points))


def fit_line(points) -> LineFit:
    """Total-least-squares line through (n, 2) points (n >= 1)."""
    point, normal, status, stats = _quorm.fit_line(points)
    return LineFit(np.array(point), np.array(normal), *_stats(stats), degenerate=status != 0)


def fit_plane(points) -> PlaneFit:
    """Total-least-squares plane through (n, 3) points (n >= 1)."""
    point, normal, status, stats = _quorm.fit_plane(points)
    return PlaneFit(np.array(point), np.array(normal), *_stats(stats), degenerate=status != 0)


def fit_circle(points) -> CircleFit:
    """Least-squares circle through (n, 2) points (n >= 3)."""
    centre, radius, status, stats = _quorm.fit_circle(points)
    if status != 0 or radius >= _NO_RADIUS:
        return CircleFit(np.full(2, np.nan), math.inf, math.nan, math.nan, math.nan, True)
    centre = np.array(centre)
    return CircleFit(centre, float(radius), *_radial_stats(points, centre, radius, stats), degenerate=False)


def fit_sphere(points) -> SphereFit:
    """Least-squares sphere through (n, 3) points (n >= 4)."""
    centre, radius, status, stats = _quorm.fit_sphere(points)
    if status != 0 or radius >= _NO_RADIUS:
        return SphereFit(np.full(3, np.nan), math.inf, math.nan, math.nan, math.nan, True)
    centre = np.array(centre)
    return SphereFit(centre, float(radius), *_radial_stats(points, centre, radius, stats), degenerate=False)


def _full_build_only(name):
    def missing(*args, **kwargs):
        raise NotImplementedError(f"{name} is not part of the reduced build of the library")
    missing.__name__ = name
    missing.__doc__ = f"{name}: not available in the reduced build."
    return missing


if _quorm.FULL_BUILD:
    def principal_axes(points) -> PrincipalAxes:
        """Principal axes of inertia of (n, 3) points.

        Raises quorm.Error when the points are flat or collinear (a covariance
        eigenvalue below 1e-10).
        """
        c, moments, axes = _quorm.principal_axes(points)
        return PrincipalAxes(np.array(c), np.array(moments), axes)

    def principal_axes_of_tensor(tensor):
        """Eigenvalues (descending) and unit eigenvectors (rows) of a symmetric (3, 3) tensor."""
        moments, axes = _quorm.principal_axes_of_tensor(tensor)
        return np.array(moments), axes

    def fit_ellipse(points, initial=None, tol: float = 1e-10, max_evaluations: int = 2000) -> EllipseFit:
        """Ellipse through (n, 2) points (n >= 5), refined by Levenberg-Marquardt.

        ``initial``: starting coefficients (b, c, d, e, f); by default those of
        the least-squares circle of the points.  Raises ValueError when the
        refined conic is not an ellipse.
        """
        if initial is None:
            circle = fit_circle(points)
            if circle.degenerate:
                raise ValueError("points: collinear points give no starting ellipse")
            cx, cy = circle.centre
            initial = (0.0, 1.0, -cx, -cy, cx * cx + cy * cy - circle.radius ** 2)
        x, norm, info, nfev = _quorm.refine_ellipse(points, initial, tol, max_evaluations)
        b, c, d, e, f = x
        q = np.array([[1.0, b], [b, c]])
        if np.linalg.det(q) <= 0.0:
            raise ValueError("points: the refined conic is not an ellipse")
        centre = np.linalg.solve(q, [-d, -e])
        f0 = f + d * centre[0] + e * centre[1]
        values, vectors = np.linalg.eigh(q)
        if f0 >= 0.0:
            raise ValueError("points: the refined conic is not a real ellipse")
        semi = np.sqrt(-f0 / values)       # eigh: ascending values, so the major axis first
        major = vectors[:, 0]
        angle = math.degrees(math.atan2(major[1], major[0])) % 180.0
        return EllipseFit(x, centre, semi, angle, float(norm), int(info), int(nfev))
else:
    principal_axes = _full_build_only("principal_axes")
    principal_axes_of_tensor = _full_build_only("principal_axes_of_tensor")
    fit_ellipse = _full_build_only("fit_ellipse")


# ---- polygons ---------------------------------------------------------------

def triangulate_polygon(points, normal=None) -> np.ndarray:
    """Ear clipping of a planar polygon: (n - 2, 3) vertex indices.

    ``points`` is (n, 3), or (n, 2) for a polygon in the XY plane.  The polygon
    runs counter-clockwise seen from the tip of ``normal``; by default the
    normal is Newell's normal of the outline, so either orientation works.
    The triangles run in the polygon's sense.
    """
    pts = np.asarray(points, dtype=np.float64)
    if pts.ndim == 2 and pts.shape[1] == 2:
        pts = np.column_stack([pts, np.zeros(len(pts))])
    if normal is None:
        if pts.ndim != 2 or pts.shape[1] != 3:
            _quorm._as_points(pts, 3)
        nxt = np.roll(pts, -1, axis=0)
        normal = np.array([np.sum((pts[:, 1] - nxt[:, 1]) * (pts[:, 2] + nxt[:, 2])),
                           np.sum((pts[:, 2] - nxt[:, 2]) * (pts[:, 0] + nxt[:, 0])),
                           np.sum((pts[:, 0] - nxt[:, 0]) * (pts[:, 1] + nxt[:, 1]))])
        if not np.linalg.norm(normal) > 0.0:
            raise ValueError("points: the polygon encloses no area")
    return _quorm.triangulate_polygon(pts, normal)


def fill_polygon(points) -> np.ndarray:
    """Triangle fill of a simple counter-clockwise polygon of (n, 2) points.

    Returns (n - 2, 3) vertex indices, each triangle counter-clockwise.  Raises
    ValueError for a clockwise or self-intersecting outline.  The GIL is
    released while the fill runs.
    """
    return _quorm.fill_polygon(points)


def _view_frame(view):
    if view is None:
        return np.eye(3)
    v = np.asarray(view, dtype=np.float64)
    if v.shape == (3, 3):
        return v
    if v.shape != (3,):
        raise ValueError(f"view: expected a direction of shape (3,) or axes of shape (3, 3), got shape {v.shape}")
    length = np.linalg.norm(v)
    if not length > 0.0:
        raise ValueError("view: expected a non-zero direction")
    z = -v / length                       # the viewer looks along -Z
    up = np.array([0.0, 0.0, 1.0]) if abs(z[2]) < 0.99 else np.array([0.0, 1.0, 0.0])
    x = np.cross(up, z)
    x /= np.linalg.norm(x)
    return np.array([x, np.cross(z, x), z])


def hidden_lines(vertices, faces, view=None, perspective: Optional[float] = None, clip=None,
                 origin=(0.0, 0.0, 0.0)) -> np.ndarray:
    """Visible pieces of the edges of a faceted model: a (k, 2, 3) array of segments.

    ``vertices`` (n, 3); ``faces`` (m, j) vertex indices, counter-clockwise
    seen from outside.  ``view``: None (looking along -Z), a viewing direction
    (3,), or the view frame's X, Y, Z axes as rows (3, 3).  ``perspective``:
    the eye's distance in front of ``origin`` along the view's Z axis, None for
    an orthographic view.  ``clip``: a window (x1, y1, x2, y2) in view
    coordinates.  Edges shared by smoothly joined faces are not drawn.  The
    segments are in model coordinates.  The GIL is released while rendering.
    """
    eye = 0.0
    if perspective is not None:
        eye = float(perspective)
        if not eye > 0.0:
            raise ValueError("perspective: expected a positive eye distance")
    return _quorm.hidden_lines(vertices, faces, _view_frame(view), origin, eye, clip)


# ---- B-spline curves ----------------------------------------------------------

@dataclass(frozen=True)
class BSpline:
    """A B-spline curve: order k, knots (m + k,), control points (m, d), and the
    parameters at which it interpolates its points (chord lengths)."""
    order: int
    knots: np.ndarray
    control_points: np.ndarray
    periodic: bool
    params: np.ndarray

    @property
    def domain(self):
        """(start, end) of the parameter range."""
        k = self.order
        return float(self.knots[k - 1]), float(self.knots[len(self.knots) - k])


def interpolate(points, order: int = 4, periodic: bool = False, tangents=None) -> BSpline:
    """B-spline of the given order through (n, d) points, d = 1, 2 or 3.

    The points are parameterised by chord length.  ``periodic``: a closed,
    smooth curve (give the points without repeating the first).  ``tangents``:
    (2, d) first derivatives at the first and last point with respect to
    that parameter (unit vectors give unit speed at the ends).  Raises
    ValueError for coinciding consecutive points and quorm.Error when the
    system cannot be solved.
    """
    pts = np.ascontiguousarray(points, dtype=np.float64)
    if pts.ndim == 1:
        pts = pts.reshape(-1, 1)
    if pts.ndim != 2 or len(pts) < 2:
        raise ValueError(f"points: expected an array of shape (n, d), n >= 2, got shape {pts.shape}")
    steps = np.linalg.norm(np.diff(pts, axis=0), axis=1)
    if not np.all(steps > 0.0):
        raise ValueError("points: consecutive points coincide (or are not finite)")
    params = np.concatenate([[0.0], np.cumsum(steps)])
    knots, ctrl = _quorm.interpolate(pts, params, int(order), bool(periodic), tangents)
    return BSpline(int(order), knots, ctrl, bool(periodic), params)


def evaluate(curve: BSpline, t) -> np.ndarray:
    """Points of the curve at the parameters t: (len(t), d), or (d,) for a number.

    Raises ValueError for a parameter outside ``curve.domain``.  The GIL is
    released while evaluating.
    """
    return _quorm.evaluate(curve.knots, curve.control_points, t)


# ---- circle constructions -------------------------------------------------------

def intersect_arcs(arc1, arc2, tol: float = 1e-9) -> np.ndarray:
    """Intersection points (k, 2), k = 0, 1 or 2, of two circles or arcs.

    A circle is (x, y, r); an arc (x, y, r, from, to) runs counter-clockwise
    from the polar angle ``from`` to ``to`` (degrees, about its centre), and
    only points on it count.  Touching circles (within tol) give one point.
    """
    return _quorm.intersect_arcs(arc1, arc2, tol)


def common_tangents(circle1, circle2, kind: str = "both", tol: float = 1e-9) -> np.ndarray:
    """Common tangent lines of two circles (x, y, r): (k, 2, 2) segments from
    the touching point on circle 1 to that on circle 2.

    ``kind``: "exterior" (both circles on one side), "interior" (crossing
    between them) or "both" (the exterior ones first).
    """
    kinds = {"exterior": 1, "interior": 2, "both": 3}
    if kind not in kinds:
        raise ValueError("kind: expected 'exterior', 'interior' or 'both'")
    return _quorm.common_tangents(circle1, circle2, kinds[kind], tol)


def circles_tangent_to_3_circles(circles) -> np.ndarray:
    """Circles tangent to three circles given as rows (x, y, r): (k, 3) rows
    (x, y, r), k <= 8.  A radius of 0 is a point the circles pass through."""
    return _quorm.circles_tangent_to_3_circles(circles)


# ---- transforms -------------------------------------------------------------------

def transform_points(matrix, points) -> np.ndarray:
    """Points (n, 3) or (3,) mapped by an affine 4x4 transform."""
    return _quorm.transform(matrix, points, False)


def transform_vectors(matrix, vectors) -> np.ndarray:
    """Vectors (n, 3) or (3,) mapped by the linear part of an affine 4x4 transform."""
    return _quorm.transform(matrix, vectors, True)


def invert_transform(matrix) -> np.ndarray:
    """Inverse of a 4x4 transform; ValueError when it is singular."""
    return _quorm.invert_transform(matrix)


def compose(first, second) -> np.ndarray:
    """The transform that applies ``first``, then ``second`` (second @ first)."""
    return _quorm.compose(first, second)


def rotation(axis, angle: float, point=(0.0, 0.0, 0.0)) -> np.ndarray:
    """Rotation by ``angle`` degrees (right-handed) about the axis through ``point``."""
    return _quorm.rotation(axis, float(angle), point)


def mirror(normal, point=(0.0, 0.0, 0.0)) -> np.ndarray:
    """Reflection in the plane through ``point`` with the given normal."""
    return _quorm.mirror(normal, point)


def scaling(factors, point=(0.0, 0.0, 0.0)) -> np.ndarray:
    """Scaling by (fx, fy, fz) about ``point``."""
    return _quorm.scaling(factors, point)


def translation(offset) -> np.ndarray:
    """Translation by ``offset`` (3,)."""
    v = np.asarray(offset, dtype=np.float64)
    if v.shape != (3,):
        raise ValueError(f"offset: expected an array of shape (3,), got shape {v.shape}")
    m = np.eye(4)
    m[:3, 3] = v
    return m
