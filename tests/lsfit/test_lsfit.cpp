// LSFIT_ building blocks and the line and plane fits: known cases, random
// properties, degenerate input, and (where LAPACK is installed) noisy fits
// against a total-least-squares reference from the singular value
// decomposition.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#if QUORM_HAVE_LAPACK
extern "C" void dgesvd_(const char *jobu, const char *jobvt, const int *m, const int *n, double *a, const int *lda,
                        double *s, double *u, const int *ldu, double *vt, const int *ldvt, double *work,
                        const int *lwork, int *info);
#endif

typedef quorm_point3 Point3;
typedef quorm_vector3 Vector3;

namespace {

Vector3 sub(const Point3 &a, const Point3 &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(const Vector3 &a, const Vector3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 cross(const Vector3 &a, const Vector3 &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(const Vector3 &a) { return std::sqrt(dot(a, a)); }
Vector3 unit(const Vector3 &a) {
    double l = norm(a);
    return {a.x / l, a.y / l, a.z / l};
}
double dist(const Point3 &a, const Point3 &b) { return norm(sub(a, b)); }
// |sin| of the angle between two directions (senses ignored).
double sine(const Vector3 &a, const Vector3 &b) { return norm(cross(unit(a), unit(b))); }

struct Rng {
    std::mt19937 gen{1208};
    double operator()(double lo = -1.0, double hi = 1.0) { return std::uniform_real_distribution<double>(lo, hi)(gen); }
    double normal() { return std::normal_distribution<double>(0.0, 1.0)(gen); }
    Point3 point(double s) { return {(*this)(-s, s), (*this)(-s, s), (*this)(-s, s)}; }
    Vector3 direction() { return unit({(*this)(), (*this)(), (*this)()}); }
};

// Two unit vectors perpendicular to n and to each other.
void across(const Vector3 &n, Vector3 *e1, Vector3 *e2) {
    Vector3 t = std::fabs(n.x) < 0.6 ? Vector3{1, 0, 0} : Vector3{0, 1, 0};
    *e1 = unit(cross(n, t));
    *e2 = cross(n, *e1);
}

// ---- centroids, circles, spheres, mean directions, frames -------------------

TEST(LsfitBlocks, Centroids) {
    PNT2_s square[4] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}}, c2;
    LSFIT_ask_pts_centroid_2d(4, square, &c2);
    EXPECT_EQ(c2.x, 1.0);
    EXPECT_EQ(c2.y, 1.0);
    Point3 pts[2] = {{1, 2, 3}, {3, 4, 5}}, c3;
    LSFIT_ask_pts_centroid_3d(2, pts, &c3);
    EXPECT_EQ(c3.z, 4.0);
    EXPECT_THROW(LSFIT_ask_pts_centroid_3d(0, pts, &c3), Kaltor::Error::Severe);
    int saved = MACH__checking_level;
    MACH__checking_level = 0;
    LSFIT_ask_pts_centroid_2d(0, square, &c2);
    MACH__checking_level = saved;
    EXPECT_EQ(c2.x, 0.0);
}

#if QUORM_FULL_BUILD
TEST(LsfitBlocks, CircumcircleAndCircumsphere) {
    Point3 centre;
    double r;
    Point3 a{0, 0, 0}, b{2, 0, 0}, c{0, 2, 0}, d{0, 0, 2};
    LSFIT_cre_circumcircle_of_triangle(&a, &b, &c, &centre, &r);
    EXPECT_NEAR(r, std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(dist(centre, {1, 1, 0}), 0.0, 1e-15);
    Point3 top{0, 0.1, 0}, left{-1, 0, 0}, right{1, 0, 0};
    LSFIT_cre_circumcircle_of_triangle(&top, &left, &right, &centre, &r);
    EXPECT_LT(centre.y, 0.0);
    EXPECT_NEAR(dist(centre, top), r, 1e-14);
    LSFIT_cre_circumsphere_of_tetrahedron(&a, &b, &c, &d, &centre, &r);
    EXPECT_NEAR(r, std::sqrt(3.0), 1e-14);
    EXPECT_NEAR(dist(centre, {1, 1, 1}), 0.0, 1e-14);

    Rng rng;
    for (int trial = 0; trial < 1000; ++trial) {
        Point3 p[4] = {rng.point(10), rng.point(10), rng.point(10), rng.point(10)};
        LSFIT_cre_circumcircle_of_triangle(&p[0], &p[1], &p[2], &centre, &r);
        Vector3 n = cross(sub(p[1], p[0]), sub(p[2], p[0]));
        for (int k = 0; k < 3; ++k) ASSERT_NEAR(dist(centre, p[k]), r, 1e-8 * (1 + r)) << trial;
        ASSERT_NEAR(dot(unit(n), sub(centre, p[0])), 0.0, 1e-8 * (1 + r));
        LSFIT_cre_circumsphere_of_tetrahedron(&p[0], &p[1], &p[2], &p[3], &centre, &r);
        double volume = std::fabs(dot(n, sub(p[3], p[0])));
        if (volume < 1.0) continue; // nearly flat: the sphere is ill-conditioned
        for (int k = 0; k < 4; ++k) ASSERT_NEAR(dist(centre, p[k]), r, 1e-7 * (1 + r)) << trial;

        // A right angle at the first corner: the centre is the midpoint of the
        // opposite side, never a NaN.
        Vector3 e1, e2;
        across(rng.direction(), &e1, &e2);
        double th = rng(0.0, 6.283185307179586), rad = rng(0.1, 10.0);
        Point3 m = rng.point(10);
        Point3 q2{m.x + rad * e1.x, m.y + rad * e1.y, m.z + rad * e1.z};
        Point3 q3{m.x - rad * e1.x, m.y - rad * e1.y, m.z - rad * e1.z};
        Point3 q1{m.x + rad * (std::cos(th) * e1.x + std::sin(th) * e2.x),
                  m.y + rad * (std::cos(th) * e1.y + std::sin(th) * e2.y),
                  m.z + rad * (std::cos(th) * e1.z + std::sin(th) * e2.z)};
        if (std::fabs(std::sin(th)) < 0.05) continue;
        LSFIT_cre_circumcircle_of_triangle(&q1, &q2, &q3, &centre, &r);
        ASSERT_TRUE(std::isfinite(centre.x) && std::isfinite(centre.y) && std::isfinite(centre.z)) << trial;
        ASSERT_NEAR(dist(centre, m), 0.0, 1e-9 * rad);
        ASSERT_NEAR(r, rad, 1e-9 * rad);
    }
}

TEST(LsfitBlocks, MeanVectorAndSpread) {
    Vector3 xy[2] = {{1, 0, 0}, {0, 1, 0}}, opposite[2] = {{1, 0, 0}, {-1, 0, 0}}, mean{7, 7, 7};
    double spread = -1;
    LSFIT_ask_mean_vec(2, xy, true, &mean, &spread);
    EXPECT_EQ(mean.x, 0.5);
    EXPECT_EQ(mean.y, 0.5);
    EXPECT_NEAR(spread, 45.0, 1e-12);
    LSFIT_ask_mean_vec(2, opposite, true, &mean, &spread);
    EXPECT_EQ(norm(mean), 0.0);
    EXPECT_EQ(spread, 90.0);
    // Lengths and senses do not count; null vectors are skipped.
    Vector3 mixed[5] = {{3, 0, 0}, {0, 0, 0}, {2, 2, 0}, {-5, 0, 0}, {10, 0, 0}};
    LSFIT_ask_mean_vec(5, mixed, false, &mean, &spread);
    EXPECT_NEAR(mean.y, 0.4, 1e-15);
    EXPECT_NEAR(spread, std::acos(12.0 / std::sqrt(208.0)) * 57.29577951308232, 1e-10);
    mean = Vector3{7, 7, 7};
    LSFIT_ask_mean_vec(0, mixed, false, &mean, &spread);
    EXPECT_EQ(mean.x, 7.0);
    EXPECT_EQ(spread, 0.0);
    LSFIT_ask_mean_vec(1, mixed, false, &mean, &spread);
    EXPECT_EQ(mean.x, 3.0);
}

TEST(LsfitBlocks, LocalFrames) {
    Rng rng;
    for (int trial = 0; trial < 200; ++trial) {
        Point3 o = rng.point(50);
        Vector3 z = rng.direction(), dir = rng.direction();
        if (trial % 3 == 1) dir = Vector3{0, 0, 0};
        if (trial % 3 == 2) dir = Vector3{-2 * z.x, -2 * z.y, -2 * z.z}; // along the normal
        MTX4_s m, inv, prod;
        LSFIT_cre_local_csys(&o, &dir, &z, &m, &inv);
        Vector3 e1{m.elem[0], m.elem[1], m.elem[2]}, e2{m.elem[4], m.elem[5], m.elem[6]};
        ASSERT_NEAR(norm(e1), 1.0, 1e-14) << trial;
        ASSERT_NEAR(norm(e2), 1.0, 1e-14);
        ASSERT_NEAR(dot(e1, e2), 0.0, 1e-14);
        ASSERT_NEAR(dot(e1, z), 0.0, 1e-14);
        ASSERT_NEAR(norm(sub(Point3{cross(e1, e2).x, cross(e1, e2).y, cross(e1, e2).z}, Point3{z.x, z.y, z.z})), 0.0,
                    1e-14);
        if (trial % 3 == 0) {
            ASSERT_GT(dot(e2, dir), 0.0);
        }
        EXPECT_EQ(m.elem[12], o.x);
        EXPECT_EQ(m.elem[15], 1.0);
        MTX4_multiply(&m, &inv, &prod);
        ASSERT_TRUE(MTX4_is_identity(&prod, 1e-9));
    }
}

// Points spread with the given standard deviations along three orthogonal
// directions of a random frame.
std::vector<Point3> cloud(Rng &rng, int n, const double sd[3], const Vector3 axis[3], const Point3 &c) {
    std::vector<Point3> pts(n);
    for (Point3 &p : pts) {
        double a = sd[0] * rng.normal(), b = sd[1] * rng.normal(), g = sd[2] * rng.normal();
        p = {c.x + a * axis[0].x + b * axis[1].x + g * axis[2].x, c.y + a * axis[0].y + b * axis[1].y + g * axis[2].y,
             c.z + a * axis[0].z + b * axis[1].z + g * axis[2].z};
    }
    return pts;
}

TEST(LsfitBlocks, PrincipalAxes) {
    // Variances 4, 1 and 0.25 along x, y and z: +-8, +-2, +-1 at the corners
    // of a box taken twice with both signs.
    std::vector<Point3> box;
    for (int sx : {-1, 1})
        for (int sy : {-1, 1})
            for (int sz : {-1, 1}) box.push_back({2.0 * sx, 1.0 * sy, 0.5 * sz});
    Point3 c;
    double moments[3];
    Vector3 axes[3];
    LSFIT_ask_principle_axes_of_inertia_from_3d_pts(8, box.data(), &c, moments, axes);
    EXPECT_NEAR(moments[0], 4.0, 1e-14);
    EXPECT_NEAR(moments[1], 1.0, 1e-14);
    EXPECT_NEAR(moments[2], 0.25, 1e-14);
    EXPECT_NEAR(std::fabs(axes[0].x), 1.0, 1e-14);
    EXPECT_NEAR(std::fabs(axes[1].y), 1.0, 1e-14);
    EXPECT_NEAR(std::fabs(axes[2].z), 1.0, 1e-14);

    Rng rng;
    for (int trial = 0; trial < 50; ++trial) {
        Vector3 axis[3];
        axis[2] = rng.direction();
        across(axis[2], &axis[0], &axis[1]);
        double sd[3] = {3.0, 1.5, 0.5};
        std::vector<Point3> pts = cloud(rng, 500, sd, axis, rng.point(100));
        LSFIT_ask_principle_axes_of_inertia_from_3d_pts(500, pts.data(), &c, moments, axes);
        ASSERT_GE(moments[0], moments[1]);
        ASSERT_GE(moments[1], moments[2]);
        // Each axis is an eigenvector of the covariance with its moment.
        double t[9] = {0};
        for (const Point3 &p : pts) {
            double q[3] = {p.x - c.x, p.y - c.y, p.z - c.z};
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) t[3 * i + j] += q[i] * q[j] / 500;
        }
        for (int k = 0; k < 3; ++k) {
            double v[3] = {axes[k].x, axes[k].y, axes[k].z};
            for (int i = 0; i < 3; ++i)
                ASSERT_NEAR(t[3 * i] * v[0] + t[3 * i + 1] * v[1] + t[3 * i + 2] * v[2], moments[k] * v[i], 1e-9);
        }
        EXPECT_LT(sine(axes[2], axis[2]), 0.2);
        // The tensor form agrees.
        double tm[3];
        Vector3 ta[3];
        LSFIT_ask_principle_axes_of_inertia_from_3d_tensor(t, tm, ta);
        for (int k = 0; k < 3; ++k) ASSERT_NEAR(tm[k], moments[k], 1e-9);
    }
}

// A message sink that throws a standard exception: the numerical work of a
// fit then fails the way a failing standard-library call inside it would.
void throwing_sink(void *, CORVEX_message_kind_t, const char *, int, const char *text) {
    throw std::runtime_error(std::string("sink: ") + text);
}

TEST(LsfitBlocks, FlatPointSetsAndExceptionConversion) {
    Point3 flat[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, c;
    double moments[3];
    Vector3 axes[3];
    long blocks = CORVEX_blocks_in_use();
    try {
        LSFIT_ask_principle_axes_of_inertia_from_3d_pts(4, flat, &c, moments, axes);
        ADD_FAILURE() << "no error";
    } catch (const Kaltor::Error::Severe &e) {
        EXPECT_EQ(e.message(), "The inertia matrix is not positive definite as expected.");
        ASSERT_EQ(e.places().size(), 1u);
        EXPECT_NE(e.places()[0].file.find("lsfit.cpp"), std::string::npos);
    }
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
    {
        Kaltor::Corvex::MessageCapture capture(true);
        LSFIT_ask_principle_axes_of_inertia_from_3d_pts(4, flat, &c, moments, axes);
        EXPECT_EQ(capture.internals().size(), 1u);
        EXPECT_EQ(moments[2], 0.0); // the values in hand
    }

    // A standard exception inside becomes a Severe with the fit's place, and
    // the work matrices are freed.
    CORVEX_message_sink_t old_sink;
    void *old_context;
    CORVEX_set_message_sink(&throwing_sink, nullptr, &old_sink, &old_context);
    int old_return = CORVEX_set_internal_errors_return(1);
    bool converted = false;
    try {
        LSFIT_ask_principle_axes_of_inertia_from_3d_pts(4, flat, &c, moments, axes);
    } catch (const Kaltor::Error::Severe &e) {
        converted = true;
        EXPECT_NE(std::string(e.what()).find("sink: The inertia matrix"), std::string::npos) << e.what();
        ASSERT_EQ(e.places().size(), 1u);
        EXPECT_NE(e.places()[0].file.find("lsfit.cpp"), std::string::npos);
        EXPECT_EQ(e.places()[0].flags, 0);
    } catch (...) {
    }
    CORVEX_set_internal_errors_return(old_return);
    CORVEX_set_message_sink(old_sink, old_context, nullptr, nullptr);
    EXPECT_TRUE(converted);
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
}
#endif // QUORM_FULL_BUILD

// ---- line and plane fits -----------------------------------------------------

TEST(LsfitPlane, ExactlyPlanarSetsGiveTheirPlane) {
    // Many points far from the origin, exactly in a plane: the zero
    // eigenvalue may come out slightly negative and must still be the one.
    Rng rng;
    long blocks = CORVEX_blocks_in_use();
    for (int trial = 0; trial < 200; ++trial) {
        Vector3 n = rng.direction(), e1, e2;
        across(n, &e1, &e2);
        Point3 o = rng.point(100);
        int count = trial < 100 ? 2000 : 3 + trial % 20;
        std::vector<Point3> pts(count);
        for (Point3 &p : pts) {
            double u = rng(-100, 100), v = rng(-100, 100);
            p = {o.x + u * e1.x + v * e2.x, o.y + u * e1.y + v * e2.y, o.z + u * e1.z + v * e2.z};
        }
        Point3 point;
        Vector3 normal;
        int status = -1;
        double stats[3] = {-1, -1, -1};
        LSFIT_plane_to_points(pts.data(), count, &point, &normal, &status, stats);
        ASSERT_EQ(status, 0) << trial;
        ASSERT_NEAR(norm(normal), 1.0, 1e-15);
        ASSERT_LT(sine(normal, n), 1e-12) << trial;
        ASSERT_NEAR(dot(n, sub(point, o)), 0.0, 1e-12 * 100);
        ASSERT_LT(stats[0], 1e-11);
        ASSERT_LE(stats[2], stats[0]);
        ASSERT_LE(stats[1], stats[0]);
    }
    // The unit square at z = 5.
    Point3 square[4] = {{0, 0, 5}, {1, 0, 5}, {1, 1, 5}, {0, 1, 5}}, point;
    Vector3 normal;
    int status;
    double stats[3];
    LSFIT_plane_to_points(square, 4, &point, &normal, &status, stats);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(std::fabs(normal.z), 1.0, 1e-15);
    EXPECT_NEAR(dist(point, {0.5, 0.5, 5}), 0.0, 1e-15);
    EXPECT_EQ(stats[0] + stats[1] + stats[2], 0.0);
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
}

TEST(LsfitPlane, DegenerateSets) {
    Point3 point;
    Vector3 normal;
    int status;
    double stats[3] = {-1, -1, -1};
    // Together.
    Point3 close[4] = {{1, 1, 1}, {1.0005, 1, 1}, {1, 1.0005, 1}, {1, 1, 1.0004}};
    LSFIT_plane_to_points(close, 4, &point, &normal, &status, stats);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(normal.z, 1.0);
    EXPECT_NEAR(point.x, 1.000125, 1e-15);
    EXPECT_EQ(stats[0], -1.0);
    LSFIT_plane_to_points(close, 1, &point, &normal, &status, stats);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(normal.z, 1.0);
    // On a line: a unit normal across it.
    Point3 diagonal[3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    for (int n : {2, 3}) {
        LSFIT_plane_to_points(diagonal, n, &point, &normal, &status, stats);
        EXPECT_EQ(status, 1);
        EXPECT_NEAR(norm(normal), 1.0, 1e-15);
        EXPECT_NEAR(dot(normal, {1, 1, 1}), 0.0, 1e-15);
    }
    EXPECT_EQ(point.x, 1.0);
    EXPECT_EQ(stats[0], -1.0);
    // Two points closer than 0.001.
    Point3 pair[2] = {{0, 0, 0}, {0.0009, 0, 0}};
    LSFIT_plane_to_points(pair, 2, &point, &normal, &status, stats);
    EXPECT_EQ(normal.z, 1.0);
    // No points at all.
    {
        Kaltor::Corvex::MessageCapture capture(true);
        LSFIT_plane_to_points(pair, 0, &point, &normal, &status, stats);
        ASSERT_EQ(capture.internals().size(), 1u);
        EXPECT_EQ(capture.internals()[0], "There are no input points.");
        EXPECT_EQ(status, 1);
        PNT2_s p2;
        VEC2_s n2;
        LSFIT_line_to_points_2d(nullptr, -1, &p2, &n2, &status, stats);
        EXPECT_EQ(capture.internals().size(), 2u);
    }
    EXPECT_THROW(LSFIT_plane_to_points(pair, 0, &point, &normal, &status, stats), Kaltor::Error::Severe);
}

#if QUORM_HAVE_LAPACK
// Unit normal of the total-least-squares plane (or line, dim 2) through the
// centred points: the right singular vector of the smallest singular value.
std::vector<double> tls_normal(const std::vector<double> &coords, int dim) {
    int m = static_cast<int>(coords.size()) / dim, n = dim, lwork = -1, info = 0, one = 1;
    std::vector<double> mean(dim, 0.0), a(coords.size());
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < dim; ++j) mean[j] += coords[i * dim + j] / m;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < dim; ++j) a[i + j * m] = coords[i * dim + j] - mean[j]; // column-major
    std::vector<double> s(dim), vt(dim * dim);
    double query;
    dgesvd_("N", "A", &m, &n, a.data(), &m, s.data(), nullptr, &one, vt.data(), &n, &query, &lwork, &info);
    lwork = static_cast<int>(query);
    std::vector<double> work(lwork);
    dgesvd_("N", "A", &m, &n, a.data(), &m, s.data(), nullptr, &one, vt.data(), &n, work.data(), &lwork, &info);
    std::vector<double> v(dim);
    for (int j = 0; j < dim; ++j) v[j] = vt[(dim - 1) + j * dim];
    return v;
}

TEST(LsfitPlane, NoisyFitsMatchTheSvdReference) {
    Rng rng;
    for (int trial = 0; trial < 100; ++trial) {
        Vector3 n = rng.direction(), e1, e2;
        across(n, &e1, &e2);
        Point3 o = rng.point(100);
        int count = 10 + trial * 10;
        double noise = rng(0.01, 1.0);
        std::vector<Point3> pts(count);
        std::vector<double> coords;
        for (Point3 &p : pts) {
            double u = rng(-50, 50), v = rng(-20, 20), w = noise * rng.normal();
            p = {o.x + u * e1.x + v * e2.x + w * n.x, o.y + u * e1.y + v * e2.y + w * n.y,
                 o.z + u * e1.z + v * e2.z + w * n.z};
            coords.insert(coords.end(), {p.x, p.y, p.z});
        }
        Point3 point;
        Vector3 normal;
        int status;
        double stats[3];
        LSFIT_plane_to_points(pts.data(), count, &point, &normal, &status, stats);
        ASSERT_EQ(status, 0);
        std::vector<double> ref = tls_normal(coords, 3);
        ASSERT_LT(sine(normal, {ref[0], ref[1], ref[2]}), 1e-10) << trial;
        // Statistics against their definitions.
        double largest = 0, sum = 0, sum2 = 0;
        for (const Point3 &p : pts) {
            double d = std::fabs(dot(normal, sub(p, point)));
            largest = std::max(largest, d);
            sum += d;
            sum2 += d * d;
        }
        ASSERT_NEAR(stats[0], largest, 1e-9);
        ASSERT_NEAR(stats[2], sum / count, 1e-9);
        ASSERT_NEAR(stats[1], std::sqrt(sum2 / count), 1e-9);
        ASSERT_GE(stats[0], stats[1]);
        ASSERT_GE(stats[0], stats[2]);

        // The same in 2-D.
        std::vector<PNT2_s> p2(count);
        std::vector<double> c2;
        double ang = rng(0, 3.14159), cx = rng(-100, 100), cy = rng(-100, 100);
        for (PNT2_s &p : p2) {
            double u = rng(-50, 50), w = noise * rng.normal();
            p = {cx + u * std::cos(ang) - w * std::sin(ang), cy + u * std::sin(ang) + w * std::cos(ang)};
            c2.insert(c2.end(), {p.x, p.y});
        }
        PNT2_s lp;
        VEC2_s ln;
        LSFIT_line_to_points_2d(p2.data(), count, &lp, &ln, &status, stats);
        ASSERT_EQ(status, 0);
        std::vector<double> r2 = tls_normal(c2, 2);
        ASSERT_LT(std::fabs(ln.x * r2[1] - ln.y * r2[0]), 1e-10) << trial;
        ASSERT_NEAR(ln.x * ln.x + ln.y * ln.y, 1.0, 1e-15);
        ASSERT_GE(stats[0], stats[1]);
        ASSERT_GE(stats[0], stats[2]);
    }
}
#endif

TEST(LsfitLine, ExactLinesAndDegenerateSets) {
    PNT2_s row[4] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, point;
    VEC2_s normal;
    int status = -1;
    double stats[3] = {-1, -1, -1};
    LSFIT_line_to_points_2d(row, 4, &point, &normal, &status, stats);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(point.x, 1.5);
    EXPECT_EQ(std::fabs(normal.y), 1.0);
    EXPECT_EQ(stats[0] + stats[1] + stats[2], 0.0);

    // Exactly collinear sets far from the origin give their line.
    Rng rng;
    for (int trial = 0; trial < 200; ++trial) {
        double ang = rng(0, 6.28), cx = rng(-1000, 1000), cy = rng(-1000, 1000);
        int count = 2000;
        std::vector<PNT2_s> pts(count);
        for (PNT2_s &p : pts) {
            double u = rng(-100, 100);
            // Axis-aligned lines hold exactly; slanted ones to rounding.
            p = trial % 2 ? PNT2_s{cx + u, cy} : PNT2_s{cx + u * std::cos(ang), cy + u * std::sin(ang)};
        }
        LSFIT_line_to_points_2d(pts.data(), count, &point, &normal, &status, stats);
        ASSERT_EQ(status, 0);
        double s = trial % 2 ? normal.x : normal.x * std::cos(ang) + normal.y * std::sin(ang);
        ASSERT_LT(std::fabs(s), 1e-12) << trial;
        ASSERT_LT(stats[0], 1e-9);
    }

    // Together: status 1, normal zero, statistics unwritten.
    PNT2_s close[4] = {{5, 5}, {5.0004, 5}, {5, 5.0004}, {5.0002, 5.0002}};
    stats[0] = -1;
    LSFIT_line_to_points_2d(close, 4, &point, &normal, &status, stats);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(normal.x, 0.0);
    EXPECT_EQ(normal.y, 0.0);
    EXPECT_NEAR(point.x, 5.00015, 1e-15);
    EXPECT_EQ(stats[0], -1.0);
}

} // namespace
