// Plane-geometry primitives: equations, angles, three-point tests, ray
// relations, projections, transforms and Monge planes, checked against
// independent geometry on random configurations.
#include <quorm/quorm.h>

#include <corvex/capture.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr double kPi = 3.141592653589793;
const double tols[3] = {1e-9, 1e-6, 1e-9};

using V3 = quorm_vector3;
using P3 = quorm_point3;

double dot3(const V3 &a, const V3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 unit3(V3 v) {
    const double l = std::sqrt(dot3(v, v));
    return V3{v.x / l, v.y / l, v.z / l};
}
double plane_value(const ARC_SPLINE_monge_plane_s &pl, const P3 &p) { return pl.a * p.x + pl.b * p.y + pl.c * p.z + pl.d; }

struct Rng {
    std::mt19937 gen;
    std::uniform_real_distribution<double> u{-1.0, 1.0};
    explicit Rng(unsigned seed) : gen(seed) {}
    double operator()(double scale = 1.0) { return scale * u(gen); }
    V3 v3() { return V3{u(gen), u(gen), u(gen)}; }
};

} // namespace

TEST(ArcSplinePlane, QuadraticRootsMatchTheirFactors) {
    Rng r(11);
    for (int n = 0; n < 2000; ++n) {
        const double a = r(10.0) + (r() < 0 ? -0.1 : 0.1), x1 = r(100.0), x2 = r(100.0);
        double roots[2];
        int count = 0;
        ARC_SPLINE_solve_quadratic_eqt(a, -a * (x1 + x2), a * x1 * x2, n % 2, roots, &count);
        ASSERT_EQ(count, 2);
        std::sort(roots, roots + 2);
        const double lo = std::min(x1, x2), hi = std::max(x1, x2);
        // Near-double roots are only determined to the square root of rounding.
        const double tol = 1e-9 * (1 + std::fabs(lo) + std::fabs(hi)) + (hi - lo < 1e-3 ? 1e-6 : 0.0);
        ASSERT_NEAR(roots[0], lo, tol);
        ASSERT_NEAR(roots[1], hi, tol);
        // Complex pair re +- i im.
        const double re = r(10.0), im = 0.5 + std::fabs(r(10.0));
        ARC_SPLINE_solve_quadratic_eqt(a, -2 * a * re, a * (re * re + im * im), 1, roots, &count);
        ASSERT_EQ(count, -2);
        ASSERT_NEAR(roots[0], re, 1e-9 * (1 + std::fabs(re)));
        ASSERT_NEAR(std::fabs(roots[1]), im, 1e-7 * (1 + im));
    }
    double roots[2];
    int count;
    ARC_SPLINE_solve_quadratic_eqt(0, 0, 0, 0, roots, &count);
    EXPECT_EQ(count, -3);
    ARC_SPLINE_solve_quadratic_eqt(0, 0, 2, 0, roots, &count);
    EXPECT_EQ(count, 0);
    ARC_SPLINE_solve_quadratic_eqt(0, 2, 4, 0, roots, &count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(roots[1], -2.0);
    ARC_SPLINE_solve_quadratic_eqt(1, -4, 4, 1, roots, &count);
    EXPECT_EQ(count, 2);
    EXPECT_NEAR(roots[0], 2.0, 1e-12);
    EXPECT_NEAR(roots[1], 2.0, 1e-12);
    ARC_SPLINE_solve_quadratic_eqt(std::nan(""), 1, 1, 1, roots, &count);
    EXPECT_EQ(count, 0);
}

TEST(ArcSplinePlane, TrigonometricEquationSolutionsSatisfyIt) {
    Rng r(12);
    for (int n = 0; n < 2000; ++n) {
        const double t0 = r(179.0), p1 = r(5.0), p2 = r(5.0);
        const double p3 = -(p1 * std::sin(t0 * kPi / 180) + p2 * std::cos(t0 * kPi / 180));
        double angles[2], half[2];
        int count = 0;
        ARC_SPLINE_trig_eqt_linear_sin_cos(p1, p2, p3, 'd', 0, 0.0, &count, angles, half);
        ASSERT_GE(count, 1);
        bool found = false;
        for (int i = 0; i < count; ++i) {
            const double t = angles[i] * kPi / 180;
            ASSERT_NEAR(p1 * std::sin(t) + p2 * std::cos(t) + p3, 0.0, 1e-8);
            ASSERT_GE(angles[i], 0.0);
            ASSERT_NEAR(std::tan(t / 2), half[i], 1e-6 * (1 + std::fabs(half[i])));
            const double diff = std::fmod(angles[i] - t0 + 720.0, 360.0);
            found = found || diff < 1e-5 || diff > 360 - 1e-5;
        }
        ASSERT_TRUE(found);
        if (count == 2) {
            ASSERT_LE(angles[0], angles[1]);
        }
        // Radians, range 1: only half-angle tangents in [0, 1].
        ARC_SPLINE_trig_eqt_linear_sin_cos(p1, p2, p3, 'r', 1, 0.0, &count, angles, half);
        for (int i = 0; i < count; ++i) {
            ASSERT_GE(half[i], 0.0);
            ASSERT_LE(half[i], 1.0);
            ASSERT_NEAR(angles[i], 2 * std::atan(half[i]), 1e-15);
        }
        // Ranges 10 and -11: below a quarter turn less the tolerance.
        for (int range : {10, -11}) {
            ARC_SPLINE_trig_eqt_linear_sin_cos(p1, p2, p3, 'd', range, 0.5, &count, angles, half);
            for (int i = 0; i < count; ++i) {
                ASSERT_LE(std::fabs(angles[i]), 89.5);
                ASSERT_LT(std::fabs(half[i]), 1.0);
                ASSERT_TRUE(range == -11 || half[i] >= 0.0);
            }
        }
    }
    double angles[2], half[2];
    int count;
    ARC_SPLINE_trig_eqt_linear_sin_cos(0, 0, 0, 'd', 0, 0, &count, angles, half);
    EXPECT_EQ(count, -3);
    // sin t + cos t + 1 = 0 at 180 and 270; cos t + 1 = 0 at 180 only.
    ARC_SPLINE_trig_eqt_linear_sin_cos(1, 1, 1, 'd', 0, 0, &count, angles, half);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(angles[0], 180.0);
    EXPECT_NEAR(angles[1], 270.0, 1e-12);
    ARC_SPLINE_trig_eqt_linear_sin_cos(0, 2, 2, 'r', 0, 0, &count, angles, half);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(angles[0], kPi);
    ARC_SPLINE_trig_eqt_linear_sin_cos(1, 1, 1, 'd', 1, 0, &count, angles, half);
    EXPECT_EQ(count, 0);
}

TEST(ArcSplinePlane, AngleHelpers) {
    Rng r(13);
    for (int n = 0; n < 1000; ++n) {
        const double a = r(kPi), turn = 1e-3 + (kPi - 2e-3) * (r() + 1); // (0, 2 pi)
        const VEC2_s e1{3 * std::cos(a), 3 * std::sin(a)}, e2{0.5 * std::cos(a + turn), 0.5 * std::sin(a + turn)};
        ASSERT_NEAR(ARC_SPLINE_ask_angle_between_vectors_2d(&e1, &e2, 0), turn * 180 / kPi, 1e-9);
        const VEC2_s t1{e1.x / 3, e1.y / 3}, t2{e2.x * 2, e2.y * 2};
        int sense = 0;
        const double k = ARC_SPLINE_ask_central_angle_between_tangents_2d(&t1, &t2, &sense);
        ASSERT_EQ(sense, turn > kPi ? -1 : 1);
        ASSERT_NEAR(k, turn > kPi ? 360 - turn * 180 / kPi : turn * 180 / kPi, 1e-9);
        // The central angle of a chord 2 r sin(k/2).
        const double radius = 0.1 + std::fabs(r(10.0)), half = std::fabs(r(89.0)) + 0.5;
        ASSERT_NEAR(ARC_SPLINE_ask_min_central_angle(radius, 2 * radius * std::sin(half * kPi / 180)), 2 * half, 1e-6);
        // Interior angles of a triangle add up to 180.
        const PNT2_s p1{r(10), r(10)}, p2{r(10), r(10)}, p3{r(10), r(10)};
        int st1, st2, st3;
        const double sum = ARC_SPLINE_ask_interior_angle_of_triangle_2d(&p1, &p2, &p3, tols, 1, &st1) +
                           ARC_SPLINE_ask_interior_angle_of_triangle_2d(&p1, &p2, &p3, tols, 2, &st2) +
                           ARC_SPLINE_ask_interior_angle_of_triangle_2d(&p1, &p2, &p3, tols, 3, &st3);
        ASSERT_NEAR(sum, 180.0, 1e-8);
    }
    Kaltor::Corvex::MessageCapture capture(true);
    EXPECT_NEAR(ARC_SPLINE_ask_min_central_angle(0.0, 1.0), 180.0, 1e-12);
    const PNT2_s p{0, 0};
    int st;
    EXPECT_EQ(ARC_SPLINE_ask_interior_angle_of_triangle_2d(&p, &p, &p, tols, 4, &st), 0.0);
    EXPECT_EQ(ARC_SPLINE_ask_interior_angle_of_triangle_2d(&p, &p, &p, tols, 1, &st), 0.0);
    EXPECT_EQ(st, 1);
    ASSERT_EQ(capture.internals().size(), 2u);
    EXPECT_EQ(capture.internals()[0], "The radius is zero.");
    EXPECT_EQ(capture.internals()[1], "Unrecognizable input value for which_angle.");
    EXPECT_EQ(ARC_SPLINE_mod(-7, 3), -1);
    EXPECT_EQ(ARC_SPLINE_mod(7, 0), 0);
    EXPECT_EQ(ARC_SPLINE_ask_sign_of_var(-1e-12, 1e-10), 0);
}

TEST(ArcSplinePlane, ThreePointTests) {
    Rng r(14);
    for (int n = 0; n < 2000; ++n) {
        const PNT2_s a{r(10), r(10)}, b{r(10), r(10)};
        const double s = 3 * r(); // anywhere on the line, in any order
        const PNT2_s c{a.x + s * (b.x - a.x), a.y + s * (b.y - a.y)};
        int orient = 5;
        if (std::hypot(b.x - a.x, b.y - a.y) > 1e-3) {
            ASSERT_EQ(ARC_SPLINE_ask_3pts_collinearity_2d(&a, &b, &c, tols, 2, &orient), 1);
            ASSERT_EQ(ARC_SPLINE_ask_3pts_collinearity_2d(&c, &a, &b, tols, 2, &orient), 1);
            ASSERT_EQ(orient, -1);
        }
        // Off the line by a clear margin: orientation from the turn.
        const PNT2_s d{c.x - (b.y - a.y), c.y + (b.x - a.x)};
        const double w = (a.x - b.x) * (d.y - b.y) - (a.y - b.y) * (d.x - b.x);
        if (std::fabs(w) > 1e-3) {
            ASSERT_EQ(ARC_SPLINE_ask_3pts_collinearity_2d(&a, &b, &d, tols, 2, &orient), 0);
            ASSERT_EQ(orient, w > 0 ? 1 : 0);
        }
        // Re-ordering puts the farthest pair first and last.
        PNT2_s q1 = a, q2 = b, q3 = d;
        int st;
        ARC_SPLINE_re_order_3pts_2d(1e-9, &q1, &q2, &q3, &st);
        const double far = std::max({std::hypot(a.x - b.x, a.y - b.y), std::hypot(a.x - d.x, a.y - d.y),
                                     std::hypot(b.x - d.x, b.y - d.y)});
        ASSERT_NEAR(std::hypot(q1.x - q3.x, q1.y - q3.y), far, 1e-9);
    }
    const PNT2_s p{1, 1}, q{4, 5};
    int orient, st;
    EXPECT_EQ(ARC_SPLINE_ask_3pts_collinearity_2d(&p, &p, &p, tols, 2, &orient), 2);
    PNT2_s a = p, b = q, c = p;
    ARC_SPLINE_re_order_3pts_2d(1e-9, &a, &b, &c, &st);
    EXPECT_EQ(st, -1);
    // The first and the last point coincide, the middle one does not: a line,
    // not a single point.
    EXPECT_EQ(ARC_SPLINE_ask_3pts_collinearity_2d(&p, &q, &p, tols, 2, &orient), 1);
    const P3 s1{0, 0, 0}, s2{1, 1, 1}, s3{2, 2, 2.0000000001}, s4{2, 0, 0};
    EXPECT_EQ(ARC_SPLINE_ask_3pts_collinearity_3d(&s1, &s3, &s2, tols, &st), 1);
    EXPECT_EQ(st, 1);
    EXPECT_EQ(ARC_SPLINE_ask_3pts_collinearity_3d(&s1, &s2, &s4, tols, &st), 0);
    EXPECT_EQ(ARC_SPLINE_ask_3pts_collinearity_3d(&s1, &s1, &s1, tols, &st), 2);
}

TEST(ArcSplinePlane, OrderAndIntervals) {
    EXPECT_TRUE(ARC_SPLINE_ask_is_pair_in_order(350, 10, 360));
    EXPECT_FALSE(ARC_SPLINE_ask_is_pair_in_order(10, 350, 360));
    EXPECT_TRUE(ARC_SPLINE_ask_is_pair_in_order(10, 20, 0));
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_interval(0, 300, 60, 360), 1);
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_interval(330, 300, 60, 360), 1);
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_interval(200, 300, 60, 360), 0);
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_interval(300, 300, 60, 360), 11);
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_interval(60, 300, 60, 360), 12);
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_interval(5, 10, 1, 0), 0);
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_interval(5, 1, 10, 0), 1);
}

TEST(ArcSplinePlane, RayRelationsOnRandomCorners) {
    Rng r(15);
    for (int n = 0; n < 1000; ++n) {
        const PNT2_s apex{r(10), r(10)};
        const double a1 = r(kPi), a2 = a1 + (0.2 + 2.7 * (r() + 1) / 2) * (r() < 0 ? -1 : 1);
        const VEC2_s d1{std::cos(a1), std::sin(a1)}, d2{std::cos(a2), std::sin(a2)};
        const double s1 = r(5) + (r() < 0 ? -0.5 : 0.5), s2 = r(5) + (r() < 0 ? -0.5 : 0.5);
        const PNT2_s p1{apex.x - s1 * d1.x, apex.y - s1 * d1.y}, p2{apex.x - s2 * d2.x, apex.y - s2 * d2.y};
        PNT2_s x, q1, q2, mid;
        double parms[2];
        int ist = -1, side1, side2;
        ARC_SPLINE_ask_isosceles_to_pt_2d(tols, &p1, &d1, &p2, &d2, 0, &x, parms, &ist, &q1, &q2, &side1, &side2);
        ASSERT_EQ(ist, 0);
        ASSERT_NEAR(std::hypot(x.x - apex.x, x.y - apex.y), 0.0, 1e-9);
        // q1 on line 1, on p1's side, as far from the apex as p2.
        ASSERT_NEAR(std::hypot(q1.x - x.x, q1.y - x.y), std::fabs(s2), 1e-9);
        ASSERT_GE((q1.x - x.x) * (p1.x - x.x) + (q1.y - x.y) * (p1.y - x.y), 0.0);
        ASSERT_NEAR((q1.x - x.x) * d1.y - (q1.y - x.y) * d1.x, 0.0, 1e-9);
        // The bisector makes equal angles with the two legs apex-q1 and apex-p2.
        VEC2_s dir;
        ARC_SPLINE_ask_bisector_of_angle_2d(tols, &p1, &d1, &p2, &d2, 0, &x, parms, &ist, &mid, &dir);
        const VEC2_s l1{(q1.x - x.x) / std::fabs(s2), (q1.y - x.y) / std::fabs(s2)};
        const VEC2_s l2{(p2.x - x.x) / std::fabs(s2), (p2.y - x.y) / std::fabs(s2)};
        ASSERT_NEAR(l1.x * dir.x + l1.y * dir.y, l2.x * dir.x + l2.y * dir.y, 1e-9);
        ASSERT_NEAR(std::hypot(dir.x, dir.y), 1.0, 1e-12);
        // Both rays running into the apex (or both out of it) are
        // homodromic, one in and one out are not.
        const int h = ARC_SPLINE_ask_are_two_rays_homodromic_2d(tols, &p1, &d1, &p2, &d2, 1, &x, parms, &ist);
        ASSERT_EQ(h, (s1 * s2 > 0) ? 1 : 0);
    }
    // Parallel rays: which one runs longer follows the feet.
    const PNT2_s p1{0, 0}, p2{3, 1};
    const VEC2_s d{1, 0};
    PNT2_s x, q1, q2;
    double parms[2];
    int ist, c1, c2;
    char longer;
    ARC_SPLINE_ask_convexities_of_tri_arc_2d(tols, &p1, &d, &p2, &d, 0, &x, parms, &ist, &q1, &q2, &c1, &c2, &longer);
    EXPECT_EQ(ist, 1);
    EXPECT_EQ(parms[0], 1e19);
    EXPECT_EQ(longer, 'r');
    EXPECT_EQ(q1.x, 3.0);
    // p2 lies left of line 1, p1 right of line 2.
    EXPECT_EQ(c1, 1);
    EXPECT_EQ(c2, -1);
}

TEST(ArcSplinePlane, BisectorOfInscribedAngle) {
    const V3 e1{2, 0, 0}, e2{0, 3, 0}, z{0, 0, 1};
    const P3 corner{1, 1, 0};
    double inscribed, turn;
    int type;
    V3 b;
    PLN3_s plane;
    ARC_SPLINE_ask_bisector_of_inscribed_angle(&e1, &e2, &corner, &z, 0.01, &inscribed, &turn, &type, &b, &plane);
    EXPECT_NEAR(turn, 90.0, 1e-12);
    EXPECT_NEAR(inscribed, 90.0, 1e-12);
    EXPECT_EQ(type, 1);
    // On the bisecting line of -e1 and e2.
    EXPECT_NEAR(std::fabs(b.x * -1 + b.y * 1) / std::sqrt(2.0), 1.0, 1e-12);
    EXPECT_NEAR(plane.point.x, 1.0, 0);
    // An upright corner about a horizontal normal: still the bisector of -e1
    // and e2, whichever way the normal points.
    const V3 up1{0, 1, 0}, up2{0, 0, 1};
    for (double sx : {1.0, -1.0}) {
        const V3 nx{sx, 0, 0};
        ARC_SPLINE_ask_bisector_of_inscribed_angle(&up1, &up2, &corner, &nx, 0.01, &inscribed, &turn, &type, &b,
                                                   &plane);
        EXPECT_NEAR(std::fabs(-b.y + b.z) / std::sqrt(2.0), 1.0, 1e-12);
    }
    Rng r(16);
    for (int n = 0; n < 500; ++n) {
        const P3 p1{r(5), r(5), r(5)}, p2{r(5), r(5), r(5)}, p3{r(5), r(5), r(5)};
        const V3 n3 = unit3(r.v3());
        ARC_SPLINE_ask_bisector_of_polygon_angle(&p1, &p2, &p3, &n3, 1e-6, &inscribed, &turn, &type, &b, &plane);
        // Projected edges make equal angles with the bisecting line (as
        // lines: the bisector may point either way).
        auto proj = [&](V3 v) {
            const double h = dot3(v, n3);
            return unit3(V3{v.x - h * n3.x, v.y - h * n3.y, v.z - h * n3.z});
        };
        const V3 back = proj(V3{p1.x - p2.x, p1.y - p2.y, p1.z - p2.z}), ahead = proj(V3{p3.x - p2.x, p3.y - p2.y, p3.z - p2.z});
        if (type == -1) continue;
        ASSERT_NEAR(std::fabs(dot3(back, b)), std::fabs(dot3(ahead, b)), 1e-9);
        ASSERT_NEAR(dot3(b, n3), 0.0, 1e-12);
        ASSERT_NEAR(dot3(plane.normal, b), 0.0, 1e-12);
    }
}

TEST(ArcSplinePlane, ProjectionsAndTransforms) {
    Rng r(17);
    for (int n = 0; n < 500; ++n) {
        const V3 nrm = unit3(r.v3()), v = r.v3();
        const P3 q{r(5), r(5), r(5)}, p{r(5), r(5), r(5)};
        P3 out;
        ARC_SPLINE_proj_pt_to_pln(&nrm, &q, &p, &out);
        ASSERT_NEAR(dot3(V3{out.x - q.x, out.y - q.y, out.z - q.z}, nrm), 0.0, 1e-12);
        double t;
        int st;
        ARC_SPLINE_proj_pt_along_vec_on_plane(&p, &q, &nrm, &v, tols, &out, &t, &st);
        if (st == 0) {
            ASSERT_NEAR(dot3(V3{out.x - q.x, out.y - q.y, out.z - q.z}, nrm), 0.0, 1e-9);
            ASSERT_NEAR(out.x, p.x + t * v.x, 1e-12 * (1 + std::fabs(t)));
        }
        // Householder swaps two unit vectors.
        const V3 a = unit3(r.v3()), b = unit3(r.v3());
        MTX3_s h;
        ARC_SPLINE_ask_householder_rotation(&a, &b, &h);
        for (int i = 0; i < 3; ++i)
            ASSERT_NEAR(h.elem[3 * i] * a.x + h.elem[3 * i + 1] * a.y + h.elem[3 * i + 2] * a.z,
                        i == 0 ? b.x : i == 1 ? b.y : b.z, 1e-12);
        // A matrix carrying three vectors onto three others (as rows).
        V3 a1 = r.v3(), a2 = r.v3(), a3 = r.v3(), b1 = r.v3(), b2 = r.v3(), b3 = r.v3();
        MTX3_s m;
        ARC_SPLINE_cre_mtx3_from_3_vecs_to_3_vecs(&a1, &a2, &a3, &b1, &b2, &b3, 0, &m, &st);
        if (st != 0) continue;
        V3 check;
        MTX4_s m4;
        const MTX4_s none{};
        ARC_SPLINE_combine_rotation_translation(&m, &none, &m4);
        ARC_SPLINE_transform_vec_3d(&a2, &m4, false, &check);
        ASSERT_NEAR(check.x, b2.x, 1e-7);
        ASSERT_NEAR(check.z, b2.z, 1e-7);
    }
    // Row-vector convention: v * R(axis, angle).
    const V3 x{1, 0, 0}, z{0, 0, 5};
    V3 out;
    ARC_SPLINE_rotate_vector_around_axis(&x, &z, 90, true, &out);
    EXPECT_NEAR(out.x, 0.0, 1e-12);
    EXPECT_NEAR(out.y, -1.0, 1e-12);
    const P3 from{1, 2, 3}, to{4, 6, 8};
    MTX4_s t1, t2, sum;
    ARC_SPLINE_ask_translation_matrix(&from, &to, &t1);
    ARC_SPLINE_ask_translation_matrix(&to, &from, &t2);
    ARC_SPLINE_combine_translation_matrix(&t1, &t2, &sum);
    EXPECT_EQ(t1.elem[13], 4.0);
    EXPECT_EQ(sum.elem[12], 0.0);
    EXPECT_EQ(sum.elem[15], 1.0);
    // Dependent vectors: status 1 and the identity.
    V3 a1{1, 0, 0}, a2{2, 0, 0}, b1{0, 1, 0}, b2{0, 0, 1};
    MTX3_s m;
    int st;
    ARC_SPLINE_cre_mtx3_from_2_vecs_to_2_vecs(&a1, &a2, &b1, &b2, 1, &m, &st);
    EXPECT_EQ(st, 1);
    EXPECT_EQ(m.elem[0], 1.0);
    EXPECT_EQ(m.elem[1], 0.0);
}

TEST(ArcSplinePlane, MongePlanesOfCircles) {
    Rng r(18);
    for (int n = 0; n < 1000; ++n) {
        const P3 c{r(10), r(10), 123.0};
        const double rad = 0.1 + std::fabs(r(5));
        P3 lifted;
        ARC_SPLINE_convert_circle_to_3d_pt(&c, rad, &lifted);
        bool real = false;
        ARC_SPLINE_1_seg_2d_s back;
        ARC_SPLINE_convert_3d_pt_to_circle_2d(&lifted, &real, &back);
        ASSERT_TRUE(real);
        ASSERT_NEAR(back.radius, rad, 1e-9);
        ASSERT_EQ(back.center.x, c.x);
        // A circle orthogonal to this one lifts onto its polar plane.
        ARC_SPLINE_monge_plane_s polar, other, third;
        ARC_SPLINE_ask_polar_plane_of_circle(&c, rad, &polar);
        const double ang = r(kPi), dist = rad + 0.5 + std::fabs(r(5));
        const P3 c2{c.x + dist * std::cos(ang), c.y + dist * std::sin(ang), 0};
        P3 lifted2;
        ARC_SPLINE_convert_circle_to_3d_pt(&c2, std::sqrt(dist * dist - rad * rad), &lifted2);
        ASSERT_NEAR(plane_value(polar, lifted2), 0.0, 1e-9 * (1 + std::fabs(lifted2.z)));
        // Two and three planes meet on their common line and point.
        const P3 c3{r(10), r(10), 0}, c4{r(10), r(10), 0};
        ARC_SPLINE_ask_polar_plane_of_circle(&c3, 1.0, &other);
        ARC_SPLINE_ask_polar_plane_of_circle(&c4, 2.0, &third);
        P3 x;
        V3 d;
        int st;
        ARC_SPLINE_inter_2_monge_planes(&polar, &other, tols, &x, &d, &st);
        if (st != 0) continue;
        ASSERT_NEAR(plane_value(polar, x), 0.0, 1e-9 * (1 + std::fabs(polar.d)));
        ASSERT_NEAR(plane_value(other, P3{x.x + 7 * d.x, x.y + 7 * d.y, x.z + 7 * d.z}), 0.0,
                    1e-9 * (1 + std::fabs(other.d)));
        int st12, st23, st13;
        ARC_SPLINE_inter_3_monge_planes(&polar, &other, &third, tols, &x, &st12, &st23, &st13);
        if (st12 == 0 && st23 == 0 && st13 == 0) {
            ASSERT_NEAR(plane_value(polar, x), 0.0, 1e-6 * (1 + std::fabs(x.z)));
            ASSERT_NEAR(plane_value(third, x), 0.0, 1e-6 * (1 + std::fabs(x.z)));
        }
        ARC_SPLINE_normalize_monge_plane(&polar);
        ASSERT_EQ(polar.is_normalized, 1);
        ASSERT_NEAR(polar.a * polar.a + polar.b * polar.b + polar.c * polar.c, 1.0, 1e-14);
    }
    // Parallel planes, and the same plane with its normal reversed.
    ARC_SPLINE_monge_plane_s p1{0, 0, 1, -1, 0}, p2{0, 0, 2, 4, 0}, p3{0, 0, -3, 3, 0};
    P3 x{9, 9, 9};
    V3 d;
    int st;
    ARC_SPLINE_inter_2_monge_planes(&p1, &p2, tols, &x, &d, &st);
    EXPECT_EQ(st, 1);
    const double a[4] = {0, 0, 1, -1}, b[4] = {0, 0, -3, 3};
    double px[3], pd[3];
    int result;
    h705(a, b, px, pd, &result);
    EXPECT_EQ(result, 3);
    ARC_SPLINE_ask_pt_and_normal_of_monge_plane(&p3, &x, &d);
    EXPECT_NEAR(x.z, 1.0, 1e-15);
    EXPECT_EQ(d.z, -1.0);
    // Slightly negative k within 1e-20 is a circle of radius 0.
    bool real;
    ARC_SPLINE_1_seg_2d_s s;
    const P3 tiny{1e-11, 0, 1e-22 + 1e-21};
    ARC_SPLINE_convert_3d_pt_to_circle_2d(&tiny, &real, &s);
    EXPECT_TRUE(real);
    EXPECT_EQ(s.radius, 0.0);
}

TEST(ArcSplinePlane, RadicalAxis) {
    Rng r(19);
    for (int n = 0; n < 1000; ++n) {
        const PNT2_s m1{r(10), r(10)};
        const double r1 = 0.5 + std::fabs(r(5)), r2 = 0.5 + std::fabs(r(5));
        const double lo = std::fabs(r1 - r2), hi = r1 + r2, ang = r(kPi);
        const double d = lo + (hi - lo) * (0.01 + 0.98 * (r() + 1) / 2);
        const PNT2_s m2{m1.x + d * std::cos(ang), m1.y + d * std::sin(ang)};
        ARC_SPLINE_1_seg_2d_s c1, c2;
        ARC_SPLINE_cre_circle_from_center_and_radius_2d(&m1, r1, &c1);
        ARC_SPLINE_cre_circle_from_center_and_radius_2d(&m2, r2, &c2);
        PNT2_s x;
        VEC2_s dir;
        int rel, st;
        ARC_SPLINE_ask_radical_axis_of_2_circles_2d(&c1, &c2, &x, &dir, &rel, &st);
        ASSERT_EQ(st, 0);
        ASSERT_EQ(rel, 2);
        // Equal power with respect to both circles all along the axis.
        for (double s : {-3.0, 0.0, 2.0}) {
            const PNT2_s y{x.x + s * dir.x, x.y + s * dir.y};
            ASSERT_NEAR(ARC_SPLINE_ask_power_of_a_point_2d(&y, &c1), ARC_SPLINE_ask_power_of_a_point_2d(&y, &c2),
                        1e-9 * 100);
        }
        // One circle inside the other: no common point.
        const double inner = std::min(r1, r2) * 0.5;
        const PNT2_s m3{m1.x + 0.3 * (r1 - inner) * std::cos(ang), m1.y + 0.3 * (r1 - inner) * std::sin(ang)};
        ARC_SPLINE_1_seg_2d_s c3;
        ARC_SPLINE_cre_circle_from_center_and_radius_2d(&m3, inner, &c3);
        ARC_SPLINE_ask_radical_axis_of_2_circles_2d(&c1, &c3, &x, &dir, &rel, &st);
        ASSERT_EQ(rel, 0);
        // Touching from inside and from outside: one point, on both circles.
        for (double gap : {r1 - inner, r1 + inner}) {
            const PNT2_s m4{m1.x + gap * std::cos(ang), m1.y + gap * std::sin(ang)};
            ARC_SPLINE_cre_circle_from_center_and_radius_2d(&m4, inner, &c3);
            ARC_SPLINE_ask_radical_axis_of_2_circles_2d(&c1, &c3, &x, &dir, &rel, &st);
            ASSERT_EQ(rel, 1);
            ASSERT_NEAR(std::hypot(x.x - m1.x, x.y - m1.y), r1, 1e-12 * 100);
            ASSERT_NEAR(std::hypot(x.x - m4.x, x.y - m4.y), inner, 1e-12 * 100);
        }
    }
    const PNT2_s a{0, 0}, b{2, 0};
    ARC_SPLINE_1_seg_2d_s c1, c2, line;
    ARC_SPLINE_cre_circle_from_center_and_radius_2d(&a, 1, &c1);
    ARC_SPLINE_cre_circle_from_center_and_radius_2d(&b, 1, &c2);
    PNT2_s x;
    VEC2_s dir;
    int rel, st;
    ARC_SPLINE_ask_radical_axis_of_2_circles_2d(&c1, &c2, &x, &dir, &rel, &st);
    EXPECT_EQ(rel, 1);
    EXPECT_EQ(x.x, 1.0);
    EXPECT_EQ(x.y, 0.0);
    ARC_SPLINE_ask_radical_axis_of_2_circles_2d(&c1, &c1, &x, &dir, &rel, &st);
    EXPECT_EQ(rel, 3);
    PNT2_s e = b;
    const VEC2_s up{0, 1};
    ARC_SPLINE_cre_strt_seg_2d(&a, &e, &up, &line);
    ARC_SPLINE_ask_radical_axis_of_2_circles_2d(&c1, &line, &x, &dir, &rel, &st);
    EXPECT_EQ(st, 2);
    ARC_SPLINE_ask_radical_axis_of_2_circles_2d(nullptr, &c1, &x, &dir, &rel, &st);
    EXPECT_EQ(st, 1);
}
