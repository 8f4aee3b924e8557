from contextlib import AbstractContextManager
from dataclasses import dataclass
from typing import Literal, Optional, Tuple

import numpy as np
import numpy.typing as npt

ArrayLike = npt.ArrayLike
FloatArray = npt.NDArray[np.float64]
IntArray = npt.NDArray[np.int_]

class Error(RuntimeError):
    code: int
    severe: bool

def checking_level() -> int: ...
def checking(level: int) -> AbstractContextManager[None]: ...

@dataclass(frozen=True)
class LineFit:
    point: FloatArray
    normal: FloatArray
    max_deviation: float
    rms_deviation: float
    mean_deviation: float
    degenerate: bool

@dataclass(frozen=True)
class PlaneFit:
    point: FloatArray
    normal: FloatArray
    max_deviation: float
    rms_deviation: float
    mean_deviation: float
    degenerate: bool

@dataclass(frozen=True)
class CircleFit:
    centre: FloatArray
    radius: float
    max_deviation: float
    fit_measure: float
    mean_deviation: float
    degenerate: bool

@dataclass(frozen=True)
class SphereFit:
    centre: FloatArray
    radius: float
    max_deviation: float
    fit_measure: float
    mean_deviation: float
    degenerate: bool

@dataclass(frozen=True)
class PrincipalAxes:
    centroid: FloatArray
    moments: FloatArray
    axes: FloatArray

@dataclass(frozen=True)
class EllipseFit:
    coefficients: FloatArray
    centre: FloatArray
    semi_axes: FloatArray
    angle: float
    residual: float
    info: int
    evaluations: int

@dataclass(frozen=True)
class BSpline:
    order: int
    knots: FloatArray
    control_points: FloatArray
    periodic: bool
    params: FloatArray
    @property
    def domain(self) -> Tuple[float, float]: ...

def centroid(points: ArrayLike) -> FloatArray: ...
def fit_line(points: ArrayLike) -> LineFit: ...
def fit_plane(points: ArrayLike) -> PlaneFit: ...
def fit_circle(points: ArrayLike) -> CircleFit: ...
def fit_sphere(points: ArrayLike) -> SphereFit: ...
def principal_axes(points: ArrayLike) -> PrincipalAxes: ...
def principal_axes_of_tensor(tensor: ArrayLike) -> Tuple[FloatArray, FloatArray]: ...
def fit_ellipse(points: ArrayLike, initial: Optional[ArrayLike] = ..., tol: float = ...,
                max_evaluations: int = ...) -> EllipseFit: ...
def triangulate_polygon(points: ArrayLike, normal: Optional[ArrayLike] = ...) -> IntArray: ...
def fill_polygon(points: ArrayLike) -> IntArray: ...
def hidden_lines(vertices: ArrayLike, faces: ArrayLike, view: Optional[ArrayLike] = ...,
                 perspective: Optional[float] = ..., clip: Optional[ArrayLike] = ...,
                 origin: ArrayLike = ...) -> FloatArray: ...
def interpolate(points: ArrayLike, order: int = ..., periodic: bool = ...,
                tangents: Optional[ArrayLike] = ...) -> BSpline: ...
def evaluate(curve: BSpline, t: ArrayLike) -> FloatArray: ...
def intersect_arcs(arc1: ArrayLike, arc2: ArrayLike, tol: float = ...) -> FloatArray: ...
def common_tangents(circle1: ArrayLike, circle2: ArrayLike,
                    kind: Literal["exterior", "interior", "both"] = ..., tol: float = ...) -> FloatArray: ...
def circles_tangent_to_3_circles(circles: ArrayLike) -> FloatArray: ...
def transform_points(matrix: ArrayLike, points: ArrayLike) -> FloatArray: ...
def transform_vectors(matrix: ArrayLike, vectors: ArrayLike) -> FloatArray: ...
def invert_transform(matrix: ArrayLike) -> FloatArray: ...
def compose(first: ArrayLike, second: ArrayLike) -> FloatArray: ...
def rotation(axis: ArrayLike, angle: float, point: ArrayLike = ...) -> FloatArray: ...
def mirror(normal: ArrayLike, point: ArrayLike = ...) -> FloatArray: ...
def scaling(factors: ArrayLike, point: ArrayLike = ...) -> FloatArray: ...
def translation(offset: ArrayLike) -> FloatArray: ...
