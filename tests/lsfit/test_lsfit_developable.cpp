// Simple developable surfaces: the record, and evaluation against the closed
// forms of plane, cylinder and cone.
#include <quorm/quorm.h>

#include <corvex/capture.hpp>
#include <corvex/exception.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#if QUORM_FULL_BUILD

namespace {

using Kaltor::Math::Point3;
using Kaltor::Math::Vector3;

using Geom = LSFIT_simple_developable_geom_s;

Vector3 v3(double x, double y, double z) { return Vector3{x, y, z}; }
double dot(const Vector3 &a, const Vector3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 cross(const Vector3 &a, const Vector3 &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(const Vector3 &a) { return std::sqrt(dot(a, a)); }
Vector3 unit(const Vector3 &a) {
    const double n = norm(a);
    return {a.x / n, a.y / n, a.z / n};
}

#define EXPECT_VEC_NEAR(a, x_, y_, z_, tol)                                                                    \
    do {                                                                                                     \
        EXPECT_NEAR((a).x, x_, tol);                                                                         \
        EXPECT_NEAR((a).y, y_, tol);                                                                         \
        EXPECT_NEAR((a).z, z_, tol);                                                                         \
    } while (0)

Geom make(int type, double R, double half_angle) {
    Geom g;
    LSFIT_init_simple_developable_geom(&g);
    g.type = type;
    g.origin = Point3{0, 0, 0};
    g.axis = v3(0, 0, 1);
    g.ref_dir = v3(1, 0, 0);
    g.radius = R;
    g.half_angle = half_angle;
    return g;
}

struct Eval {
    Point3 p;
    Vector3 d[2], n;
};

Eval evaluate(const Geom &g, double u, double v) {
    Eval e;
    const double uv[2] = {u, v};
    LSFIT_evaluate_simple_developable(uv, &g, &e.p, e.d, &e.n);
    return e;
}

} // namespace

TEST(SimpleDevelopable, InitialisesAndCopiesEveryField) {
    Geom g;
    std::memset(&g, 0x5a, sizeof g);
    LSFIT_init_simple_developable_geom(&g);
    EXPECT_EQ(g.type, -1);
    Geom zero;
    std::memset(&zero, 0, sizeof zero);
    zero.type = -1;
    EXPECT_EQ(std::memcmp(&g.origin, &zero.origin, sizeof(Geom) - offsetof(Geom, origin)), 0);

    Geom src = make(4, 2.5, 0.3);
    src.origin = Point3{1, 2, 3};
    for (int i = 0; i < 4; ++i) src.further_values[i] = 10.0 + i;
    for (int i = 0; i < 6; ++i) src.further_ints[i] = 100 + i;
    Geom dst;
    LSFIT_copy_simple_developable_geom(&src, &dst);
    EXPECT_EQ(dst.type, 4);
    EXPECT_EQ(dst.origin.y, 2.0);
    EXPECT_EQ(dst.half_angle, 0.3);
    EXPECT_EQ(dst.further_values[3], 13.0);
    EXPECT_EQ(dst.further_ints[5], 105);
}

TEST(SimpleDevelopable, ClosedFormsAtKnownParameters) {
    Eval e = evaluate(make(3, 2.0, 0.0), M_PI / 2, 3.0);
    EXPECT_VEC_NEAR(e.p, 0, 2, 3, 1e-15);
    EXPECT_VEC_NEAR(e.d[0], -2, 0, 0, 1e-15);
    EXPECT_VEC_NEAR(e.d[1], 0, 0, 1, 0.0);
    EXPECT_VEC_NEAR(e.n, 0, 1, 0, 1e-15);

    e = evaluate(make(4, 1.0, M_PI / 4), 0.0, 1.0);
    EXPECT_VEC_NEAR(e.p, 2, 0, 1, 1e-15);
    EXPECT_VEC_NEAR(e.d[0], 0, 2, 0, 1e-15);
    EXPECT_VEC_NEAR(e.d[1], 1, 0, 1, 1e-15);
    EXPECT_VEC_NEAR(e.n, M_SQRT1_2, 0, -M_SQRT1_2, 1e-15);

    Geom plane = make(2, 0.0, 0.0);
    plane.origin = Point3{1, 1, 1};
    plane.axis = v3(1, 0, 0);
    plane.ref_dir = v3(0, 1, 0);
    e = evaluate(plane, 2.0, 3.0);
    EXPECT_VEC_NEAR(e.p, 1, 3, 4, 0.0); // y = axis x ref_dir = (0, 0, 1)
    EXPECT_VEC_NEAR(e.d[0], 0, 1, 0, 0.0);
    EXPECT_VEC_NEAR(e.d[1], 0, 0, 1, 0.0);
    EXPECT_VEC_NEAR(e.n, 1, 0, 0, 0.0);
}

TEST(SimpleDevelopable, RandomFramesMatchTheGeometry) {
    // Property over random frames and parameters: the point lies on the
    // surface (distance from the axis, height along it), the derivatives
    // match central differences of the point, and the normal is of unit
    // length and perpendicular to both.
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 600; ++trial) {
        const int type = 2 + trial % 3;
        Geom g = make(type, 0.5 + 2 * std::fabs(u(rng)), 0.6 * u(rng));
        g.origin = Point3{5 * u(rng), 5 * u(rng), 5 * u(rng)};
        g.axis = unit(v3(u(rng), u(rng), u(rng)));
        const Vector3 any = unit(v3(u(rng), u(rng), u(rng)));
        g.ref_dir = unit(cross(any, g.axis));
        const double uu = 4 * u(rng), vv = 2 * u(rng);
        const Eval e = evaluate(g, uu, vv);
        const Vector3 rel = v3(e.p.x - g.origin.x, e.p.y - g.origin.y, e.p.z - g.origin.z);
        if (type == 2) {
            EXPECT_NEAR(dot(rel, g.axis), 0.0, 1e-12);
            EXPECT_NEAR(dot(rel, g.ref_dir), uu, 1e-12);
        } else {
            const double h = dot(rel, g.axis);
            const Vector3 radial = v3(rel.x - h * g.axis.x, rel.y - h * g.axis.y, rel.z - h * g.axis.z);
            const double r = type == 3 ? g.radius : g.radius + vv * std::tan(g.half_angle);
            EXPECT_NEAR(h, vv, 1e-12);
            EXPECT_NEAR(norm(radial), std::fabs(r), 1e-12);
            // u is measured from ref_dir towards axis x ref_dir.
            const double angle = std::atan2(dot(radial, cross(g.axis, g.ref_dir)), dot(radial, g.ref_dir));
            EXPECT_NEAR(std::remainder(angle - uu + (r < 0 ? M_PI : 0.0), 2 * M_PI), 0.0, 1e-9);
        }
        const double step = 1e-6;
        for (int k = 0; k < 2; ++k) {
            const Eval plus = evaluate(g, uu + (k == 0 ? step : 0), vv + (k == 1 ? step : 0));
            const Eval minus = evaluate(g, uu - (k == 0 ? step : 0), vv - (k == 1 ? step : 0));
            EXPECT_NEAR(e.d[k].x, (plus.p.x - minus.p.x) / (2 * step), 1e-7) << trial;
            EXPECT_NEAR(e.d[k].y, (plus.p.y - minus.p.y) / (2 * step), 1e-7) << trial;
            EXPECT_NEAR(e.d[k].z, (plus.p.z - minus.p.z) / (2 * step), 1e-7) << trial;
            EXPECT_NEAR(dot(e.n, e.d[k]), 0.0, 1e-12) << trial;
        }
        EXPECT_NEAR(norm(e.n), 1.0, 1e-15) << trial;
        EXPECT_GT(dot(e.n, cross(e.d[0], e.d[1])), 0.0);
    }
}

TEST(SimpleDevelopable, UnknownTypeIsAnInternalErrorAtEveryLevel) {
    Geom g;
    LSFIT_init_simple_developable_geom(&g);
    const double uv[2] = {0.5, 0.5};
    Point3 p{9, 9, 9};
    Vector3 d[2] = {{9, 9, 9}, {9, 9, 9}}, n{9, 9, 9};
    const int saved = MACH__checking_level;
    for (int level : {1, 0}) {
        MACH__checking_level = level;
        try {
            LSFIT_evaluate_simple_developable(uv, &g, &p, d, &n);
            ADD_FAILURE() << "no error at level " << level;
        } catch (const Kaltor::Error::Exception &e) {
            EXPECT_EQ(e.code(), CORVEX_CODE_INTERNAL);
            EXPECT_EQ(e.message(), "Unrecognizabe value of simple developable type.");
        }
    }
    MACH__checking_level = saved;
    for (int type : {0, 1, 5, -1}) {
        g.type = type;
        p = Point3{9, 9, 9};
        d[0] = d[1] = n = Vector3{9, 9, 9};
        Kaltor::Corvex::MessageCapture capture(true);
        LSFIT_evaluate_simple_developable(uv, &g, &p, d, &n);
        ASSERT_EQ(capture.internals().size(), 1u) << type;
        EXPECT_EQ(capture.internals()[0], "Unrecognizabe value of simple developable type.");
        EXPECT_TRUE(p.x == 0 && p.y == 0 && p.z == 0);
        EXPECT_TRUE(d[0].x == 0 && d[1].z == 0 && n.x == 0 && n.y == 0 && n.z == 0);
    }
}

#endif
