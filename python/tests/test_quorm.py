import math
import threading

import numpy as np
import pytest

import quorm

rng = np.random.default_rng(18)
full_only = pytest.mark.skipif(not quorm._quorm.FULL_BUILD, reason="full build only")


def rotation_z(a):
    c, s = math.cos(a), math.sin(a)
    return np.array([[c, -s], [s, c]])


def test_fits_recover_known_geometry_from_noisy_points():
    for _ in range(20):
        centre, r = rng.uniform(-50, 50, 2), rng.uniform(0.5, 20)
        t = rng.uniform(0, 2 * np.pi, 60)
        pts = centre + r * np.c_[np.cos(t), np.sin(t)] + rng.normal(0, 1e-4 * r, (60, 2))
        fit = quorm.fit_circle(pts)
        assert not fit.degenerate
        np.testing.assert_allclose(fit.centre, centre, atol=1e-3 * r)
        assert fit.radius == pytest.approx(r, rel=1e-3)
        dev = np.abs(np.linalg.norm(pts - fit.centre, axis=1) - fit.radius)
        assert fit.max_deviation == pytest.approx(dev.max(), rel=1e-6, abs=1e-12)

        c3, r3 = rng.uniform(-5, 5, 3), rng.uniform(1, 4)
        d = rng.normal(size=(80, 3))
        sph = quorm.fit_sphere(c3 + r3 * d / np.linalg.norm(d, axis=1)[:, None])
        np.testing.assert_allclose(sph.centre, c3, atol=1e-9)
        assert sph.radius == pytest.approx(r3)

        # Plane: against NumPy's SVD (the normal is the last right singular vector).
        pts3 = rng.normal(size=(50, 3)) * [10, 5, 0.01] @ np.linalg.qr(rng.normal(size=(3, 3)))[0]
        plane = quorm.fit_plane(pts3)
        normal = np.linalg.svd(pts3 - pts3.mean(0))[2][2]
        assert abs(abs(plane.normal @ normal) - 1) < 1e-9
        dist = np.abs((pts3 - plane.point) @ plane.normal)
        assert plane.max_deviation == pytest.approx(dist.max(), rel=1e-9)
        assert plane.mean_deviation == pytest.approx(dist.mean(), rel=1e-9)
        assert plane.rms_deviation == pytest.approx(np.sqrt((dist ** 2).mean()), rel=1e-9)

    # Points exactly on a circle or sphere: the fallback construction, still
    # with measured deviations (no fit measure).
    exact = quorm.fit_circle([[1, 0], [0, 1], [-1, 0]])
    np.testing.assert_allclose(exact.centre, [0, 0], atol=1e-12)
    assert exact.radius == pytest.approx(1) and exact.max_deviation < 1e-12 and exact.mean_deviation < 1e-12
    assert math.isnan(exact.fit_measure)
    exact = quorm.fit_sphere([[1, 0, 0], [0, 1, 0], [-1, 0, 0], [0, 0, 1]])
    assert exact.radius == pytest.approx(1) and exact.max_deviation < 1e-12

    line = quorm.fit_line([[0, 1], [1, 2], [2, 3]])
    assert abs(line.normal @ [1, 1]) < 1e-12 and line.max_deviation < 1e-12
    np.testing.assert_allclose(quorm.centroid([[0, 0, 0], [2, 4, 6]]), [1, 2, 3])


def test_degenerate_fits_are_flagged_not_silent():
    assert quorm.fit_circle([[0, 0], [1, 1], [2, 2], [3, 3]]).degenerate
    assert math.isinf(quorm.fit_circle([[0, 0], [1, 0], [2, 0]]).radius)
    assert quorm.fit_line([[1, 1], [1, 1]]).degenerate
    assert quorm.fit_plane([[0, 0, 0], [1, 1, 1], [2, 2, 2]]).degenerate
    assert quorm.fit_sphere([[0, 0, 0], [1, 0, 0], [0, 1, 0], [1, 1, 0]]).degenerate


@full_only
def test_principal_axes_and_ellipse():
    q = np.linalg.qr(rng.normal(size=(3, 3)))[0]
    pts = rng.normal(size=(400, 3)) * [5, 2, 0.5] @ q.T + [1, 2, 3]
    ax = quorm.principal_axes(pts)
    cov = np.cov((pts - pts.mean(0)).T, bias=True)
    np.testing.assert_allclose(ax.moments, np.sort(np.linalg.eigvalsh(cov))[::-1], rtol=1e-9)
    for i in range(3):
        np.testing.assert_allclose(cov @ ax.axes[i], ax.moments[i] * ax.axes[i], atol=1e-9)
    with pytest.raises(quorm.Error) as err:
        quorm.principal_axes([[0, 0, 0], [1, 0, 0], [0, 1, 0]])
    assert err.value.code != 0 and "positive definite" in str(err.value)
    moments, axes = quorm.principal_axes_of_tensor(np.diag([1.0, 3.0, 2.0]))
    np.testing.assert_allclose(moments, [3, 2, 1])
    with pytest.raises(ValueError, match="symmetric"):
        quorm.principal_axes_of_tensor([[1, 2, 0], [0, 1, 0], [0, 0, 1]])

    t = np.linspace(0, 2 * np.pi, 50, endpoint=False)
    pts2 = np.c_[4 * np.cos(t), 1.5 * np.sin(t)] @ rotation_z(0.4).T + [-2, 5]
    e = quorm.fit_ellipse(pts2)
    assert 1 <= e.info <= 4
    np.testing.assert_allclose(e.centre, [-2, 5], atol=1e-8)
    np.testing.assert_allclose(e.semi_axes, [4, 1.5], atol=1e-8)
    assert e.angle == pytest.approx(math.degrees(0.4), abs=1e-6)


def test_polygon_triangulations_cover_the_polygon():
    # A star-shaped outline, counter-clockwise; both triangulations must give
    # n - 2 counter-clockwise triangles whose areas sum to the polygon's.
    for n in (3, 5, 12, 40):
        a = np.sort(rng.uniform(0, 2 * np.pi, n))
        a += np.arange(n) * 1e-3
        r = rng.uniform(1, 2, n)
        pts = np.c_[r * np.cos(a), r * np.sin(a)]
        area = 0.5 * np.sum(pts[:, 0] * np.roll(pts[:, 1], -1) - np.roll(pts[:, 0], -1) * pts[:, 1])
        for tris in (quorm.fill_polygon(pts), quorm.triangulate_polygon(pts)):
            assert tris.shape == (n - 2, 3) and tris.dtype.kind == "i"
            p0, p1, p2 = pts[tris[:, 0]], pts[tris[:, 1]], pts[tris[:, 2]]
            signed = 0.5 * np.cross(p1 - p0, p2 - p0)
            assert np.all(signed > -1e-12)
            assert signed.sum() == pytest.approx(area, rel=1e-9)
    with pytest.raises(ValueError, match="counter-clockwise"):
        quorm.fill_polygon([[0, 0], [0, 1], [1, 1], [1, 0]])
    with pytest.raises(ValueError, match="at least 3"):
        quorm.fill_polygon([[0, 0], [1, 0]])


CUBE_V = np.array([[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0],
                   [0, 0, 1], [1, 0, 1], [1, 1, 1], [0, 1, 1]], float)
CUBE_F = np.array([[0, 3, 2, 1], [4, 5, 6, 7], [0, 1, 5, 4], [1, 2, 6, 5], [2, 3, 7, 6], [3, 0, 4, 7]])


def test_hidden_lines_of_a_cube():
    seg = quorm.hidden_lines(CUBE_V, CUBE_F, view=(-1, -1, -1))
    assert seg.shape == (9, 2, 3)            # three faces seen: 9 of the 12 edges
    # The corner facing away from the viewer is on no visible edge.
    assert not np.any(np.all(np.isclose(seg.reshape(-1, 3), 0.0), axis=1))
    top = quorm.hidden_lines(CUBE_V, CUBE_F)
    assert top.shape == (4, 2, 3) and np.allclose(top[:, :, 2], 1.0)
    clipped = quorm.hidden_lines(CUBE_V, CUBE_F, clip=(-1, -1, 0.5, 2))
    assert clipped[:, :, 0].max() <= 0.5 + 1e-6
    persp = quorm.hidden_lines(CUBE_V, CUBE_F, view=(-1, -1, -1), perspective=20, origin=(0.5, 0.5, 0.5))
    assert len(persp) == 9
    with pytest.raises(ValueError, match="out of range"):
        quorm.hidden_lines(CUBE_V, [[0, 1, 8]])
    with pytest.raises(ValueError, match="integer"):
        quorm.hidden_lines(CUBE_V, [[0.0, 1.0, 2.0]])
    with pytest.raises(ValueError, match="perspective"):
        quorm.hidden_lines(CUBE_V, CUBE_F, perspective=-1)


def basis(knots, i, k, x):
    if k == 1:
        return 1.0 if knots[i] <= x < knots[i + 1] else 0.0
    value = 0.0
    if knots[i + k - 1] > knots[i]:
        value += (x - knots[i]) / (knots[i + k - 1] - knots[i]) * basis(knots, i, k - 1, x)
    if knots[i + k] > knots[i + 1]:
        value += (knots[i + k] - x) / (knots[i + k] - knots[i + 1]) * basis(knots, i + 1, k - 1, x)
    return value


def test_interpolation_passes_through_points_and_evaluates_vectorised():
    for order, periodic in ((2, False), (3, False), (4, False), (5, False), (4, True), (3, True)):
        t = np.linspace(0, 2 * np.pi, 9, endpoint=False)
        pts = np.c_[np.cos(t), np.sin(t), 0.1 * t]
        if periodic:
            pts[:, 2] = 0
        curve = quorm.interpolate(pts, order=order, periodic=periodic)
        np.testing.assert_allclose(quorm.evaluate(curve, curve.params), pts, atol=1e-10)
        a, b = curve.domain
        assert quorm.evaluate(curve, np.linspace(a, b, 1000)).shape == (1000, 3)
        assert quorm.evaluate(curve, a).shape == (3,)
    # Between the points: against a direct Cox-de Boor sum of the basis.
    for order in (2, 3, 4, 6):
        pts = rng.normal(size=(12, 2))
        curve = quorm.interpolate(pts, order=order)
        t = rng.uniform(*curve.domain, 50)
        expected = np.array([[basis(curve.knots, i, order, x) for i in range(len(curve.control_points))]
                             for x in t]) @ curve.control_points
        np.testing.assert_allclose(quorm.evaluate(curve, t), expected, atol=1e-9)
    # End tangents are the curve's first derivatives at its ends.
    x = np.array([0.0, 1.0, 2.5, 3.0, 4.0])
    pts = np.c_[x, 0.1 * x ** 3]
    tang = np.array([[0.6, 0.8], [0.0, -1.0]])
    curve = quorm.interpolate(pts, tangents=tang)
    np.testing.assert_allclose(quorm.evaluate(curve, curve.params), pts, atol=1e-10)
    a, b = curve.domain
    h = 1e-6
    np.testing.assert_allclose((quorm.evaluate(curve, a + h) - quorm.evaluate(curve, a)) / h, tang[0], atol=1e-4)
    np.testing.assert_allclose((quorm.evaluate(curve, b) - quorm.evaluate(curve, b - h)) / h, tang[1], atol=1e-4)
    with pytest.raises(ValueError, match="outside"):
        quorm.evaluate(curve, curve.domain[1] + 1)
    with pytest.raises(ValueError, match="coincide"):
        quorm.interpolate([[0, 0], [0, 0], [1, 1], [2, 2]])
    with pytest.raises(ValueError, match="too few"):
        quorm.interpolate([[0, 0], [1, 1]], order=4)


def test_circle_constructions():
    np.testing.assert_allclose(sorted(map(tuple, quorm.intersect_arcs((0, 0, 1), (1, 0, 1)))),
                               [(0.5, -math.sqrt(0.75)), (0.5, math.sqrt(0.75))])
    assert len(quorm.intersect_arcs((0, 0, 1), (5, 0, 1))) == 0
    np.testing.assert_allclose(quorm.intersect_arcs((0, 0, 1), (2, 0, 1)), [[1, 0]], atol=1e-9)
    # Only the upper half of the arc counts.
    assert len(quorm.intersect_arcs((0, 0, 1, 0, 180), (1, 0, 1))) == 1

    c1, c2 = np.array([0, 0, 1.0]), np.array([5, 1, 2.0])
    tangents = quorm.common_tangents(c1, c2)
    assert tangents.shape == (4, 2, 2)
    for (p, q) in tangents:
        d = (q - p) / np.linalg.norm(q - p)
        for c, touch in ((c1, p), (c2, q)):
            assert np.linalg.norm(touch - c[:2]) == pytest.approx(c[2])
            assert abs((touch - c[:2]) @ d) < 1e-9          # radius perpendicular to the line
    assert len(quorm.common_tangents(c1, c2, "exterior")) == 2
    assert len(quorm.common_tangents((0, 0, 3), (0.5, 0, 1))) == 0   # one inside the other

    circles = np.array([[0, 0, 1], [4, 0, 1], [2, 3, 0.5]])
    sol = quorm.circles_tangent_to_3_circles(circles)
    assert len(sol) == 8
    for x, y, r in sol:
        d = np.linalg.norm(circles[:, :2] - [x, y], axis=1)
        assert np.all(np.minimum(np.abs(d - (r + circles[:, 2])), np.abs(d - abs(r - circles[:, 2]))) < 1e-8)
    with pytest.raises(ValueError, match="radius"):
        quorm.intersect_arcs((0, 0, 0), (1, 0, 1))


def test_transforms_match_numpy():
    m = quorm.compose(quorm.rotation((1, 2, 3), 40, point=(1, 0, 0)), quorm.translation((0, 5, 0)))
    m = quorm.compose(m, quorm.scaling((2, 2, 2)))
    pts = rng.normal(size=(10, 3))
    homo = np.c_[pts, np.ones(10)] @ m.T
    np.testing.assert_allclose(quorm.transform_points(m, pts), homo[:, :3], atol=1e-12)
    np.testing.assert_allclose(quorm.transform_vectors(m, pts), pts @ m[:3, :3].T, atol=1e-12)
    np.testing.assert_allclose(quorm.invert_transform(m) @ m, np.eye(4), atol=1e-12)
    np.testing.assert_allclose(quorm.transform_points(quorm.rotation((0, 0, 1), 90), [1, 0, 0]), [0, 1, 0],
                               atol=1e-14)
    mir = quorm.mirror((0, 0, 1), point=(0, 0, 1))
    np.testing.assert_allclose(quorm.transform_points(mir, [1, 2, 3]), [1, 2, -1])
    with pytest.raises(ValueError, match="singular"):
        quorm.invert_transform(np.zeros((4, 4)))
    with pytest.raises(ValueError, match="affine"):
        quorm.transform_points(np.ones((4, 4)), [1, 2, 3])


def test_shape_and_dtype_errors_name_the_argument():
    cases = [
        (lambda: quorm.fit_circle([[1, 2, 3]] * 4), r"points: expected an array of shape \(n, 2\), got shape \(4, 3\)"),
        (lambda: quorm.fit_plane(np.zeros(3)), r"points: .*\(n, 3\)"),
        (lambda: quorm.fit_plane([["a", "b", "c"]]), "points"),
        (lambda: quorm.fit_sphere(np.zeros((3, 3))), "at least 4"),
        (lambda: quorm.transform_points(np.eye(3), [1, 2, 3]), r"matrix: .*\(4, 4\)"),
        (lambda: quorm.rotation((0, 0), 10), r"axis: .*\(3,\)"),
        (lambda: quorm.circles_tangent_to_3_circles(np.zeros((2, 3))), r"circles: .*\(3, 3\)"),
        (lambda: quorm.hidden_lines(CUBE_V, CUBE_F, clip=(1, 1, 0, 0)), "clip"),
    ]
    for call, message in cases:
        with pytest.raises(ValueError, match=message):
            call()


def test_contiguous_input_is_not_copied_and_strided_views_are_right():
    a = rng.normal(size=(100, 3))
    assert np.shares_memory(quorm._quorm._as_points(a, 3), a)
    assert not np.shares_memory(quorm._quorm._as_points(a.astype(np.float32), 3), a)
    big = rng.normal(size=(200, 6))
    view = big[::2, 1:4]                      # strided, not contiguous
    np.testing.assert_allclose(quorm.fit_plane(view).normal, quorm.fit_plane(view.copy()).normal)
    np.testing.assert_allclose(quorm.centroid(view), view.mean(0))
    np.testing.assert_allclose(quorm.transform_points(np.eye(4)[::-1][::-1], view), view)
    np.testing.assert_allclose(quorm.fit_circle(big[:, 4:]).radius, quorm.fit_circle(big[:, 4:].copy()).radius)
    # Results own their memory.
    out = quorm.transform_points(np.eye(4), a)
    assert out.flags.owndata or out.base is not None and not np.shares_memory(out, a)


def test_checking_level_context_restores_and_errors_carry_code():
    before = quorm.checking_level()
    with quorm.checking(0):
        assert quorm.checking_level() == 0
        with pytest.raises(RuntimeError):
            with quorm.checking(3):
                assert quorm.checking_level() == 3
                raise RuntimeError
        assert quorm.checking_level() == 0
    assert quorm.checking_level() == before
    assert issubclass(quorm.Error, RuntimeError)


def test_concurrent_calls_release_the_gil_safely():
    results = []

    def work():
        results.append(len(quorm.hidden_lines(CUBE_V, CUBE_F, view=(-1, -1, -1))))
        results.append(quorm.fit_plane(rng.normal(size=(20000, 3)) * [1, 1, 0]).normal[2])

    threads = [threading.Thread(target=work) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert results.count(9) == 4 and sum(abs(r) == pytest.approx(1.0) for r in results) == 4
