// VEC2_ and VEC3_ families: unitizing, tests, perpendiculars, angles.
#include "test_support.h"

#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

typedef quorm_vector3 Vector3;

namespace {

const double nan_value = std::numeric_limits<double>::quiet_NaN();
const double pi = 3.14159265358979323846;

using quorm_test::assertion_text;
using quorm_test::Checking;

double len(const Vector3 &v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
double dot3(const Vector3 &a, const Vector3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Random vectors over many magnitudes, occasionally with zero components.
struct RandomVectors {
    std::mt19937_64 rng{12345};
    std::uniform_real_distribution<double> unit{-1.0, 1.0};
    std::uniform_int_distribution<int> exponent{-8, 8};
    std::uniform_int_distribution<int> zero{0, 5};
    double component() { return zero(rng) == 0 ? 0.0 : unit(rng) * std::pow(10.0, exponent(rng)); }
    Vector3 next3() { return Vector3{component(), component(), component()}; }
    VEC2_s next2() { return VEC2_s{component(), component()}; }
};

} // namespace

using VecChecking = Checking;

TEST(Vec3, FinitenessLimit) {
    Vector3 v{1.0, -2.0, 9.99e18};
    EXPECT_TRUE(VEC3_is_finite(&v));
    v.z = -1e19;
    EXPECT_FALSE(VEC3_is_finite(&v));
    v.z = nan_value;
    EXPECT_FALSE(VEC3_is_finite(&v));
    VEC2_s w{1e19, 0.0};
    EXPECT_FALSE(VEC2_is_finite(&w));
    w.x = 3.0;
    EXPECT_TRUE(VEC2_is_finite(&w));
}

TEST(Vec3, UnitizeGivesUnitLengthAndTheLength) {
    RandomVectors gen;
    for (int i = 0; i < 5000; ++i) {
        Vector3 v = gen.next3(), u;
        double l = -1.0;
        if (len(v) <= 1e-10) continue;
        ASSERT_EQ(VEC3_unitize(&v, 1e-10, &l, &u), 1);
        EXPECT_NEAR(len(u), 1.0, 4e-16);
        EXPECT_NEAR(l, len(v), 4e-16 * l);
        EXPECT_NEAR(u.x * l, v.x, 1e-15 * l);
    }
}

TEST(Vec3, UnitizeRefusesVectorsWithinTolerance) {
    // tol^2 >= s: the tolerance itself is not long enough.
    Vector3 v{1e-10, 0.0, 0.0}, u{7.0, 7.0, 7.0};
    double l = 7.0;
    EXPECT_EQ(VEC3_unitize(&v, 1e-10, &l, &u), 0);
    EXPECT_EQ(l, 0.0);
    EXPECT_EQ(u.x, 0.0);
    EXPECT_EQ(u.y, 0.0);
    EXPECT_EQ(u.z, 0.0);
    v.x = 1.0000001e-10;
    EXPECT_EQ(VEC3_unitize(&v, 1e-10, &l, &u), 1);
    EXPECT_EQ(u.x, 1.0);
    // In place.
    Vector3 w{3.0, 0.0, 4.0};
    EXPECT_EQ(VEC3_unitize(&w, 0.0, &l, &w), 1);
    EXPECT_EQ(l, 5.0);
    EXPECT_DOUBLE_EQ(w.x, 0.6);
    EXPECT_DOUBLE_EQ(w.z, 0.8);
    VEC2_s a{1e-10, 0.0}, b{5.0, 5.0};
    EXPECT_EQ(VEC2_unitize(&a, 1e-10, &l, &b), 0);
    EXPECT_EQ(b.x, 0.0);
    VEC2_s c{-3.0, 4.0};
    EXPECT_EQ(VEC2_unitize(&c, 1e-10, &l, &c), 1);
    EXPECT_EQ(l, 5.0);
    EXPECT_DOUBLE_EQ(c.x, -0.6);
}

TEST_F(VecChecking, UnitizeAssertsFiniteInput) {
    MACH__checking_level = 1;
    double l;
    Vector3 v{nan_value, 0.0, 0.0}, u;
    EXPECT_EQ(assertion_text([&] { VEC3_unitize(&v, 1e-10, &l, &u); }), "VEC3_is_finite (u)");
    VEC2_s a{0.0, 2e19}, b;
    EXPECT_EQ(assertion_text([&] { VEC2_unitize(&a, 1e-10, &l, &b); }), "VEC2_is_finite (u)");
}

TEST_F(VecChecking, UncheckedUnitizeNeverReportsGarbageAsSuccess) {
    MACH__checking_level = 0;
    double l = 1.0;
    Vector3 v{nan_value, 1.0, 1.0}, u{1.0, 1.0, 1.0};
    EXPECT_EQ(VEC3_unitize(&v, 1e-10, &l, &u), 0);
    EXPECT_EQ(l, 0.0);
    EXPECT_EQ(u.y, 0.0);
    v = Vector3{HUGE_VAL, 0.0, 0.0};
    EXPECT_EQ(VEC3_unitize(&v, 1e-10, &l, &u), 0);
    // A squared length that overflows still has a direction.
    v = Vector3{3e200, 0.0, -4e200};
    ASSERT_EQ(VEC3_unitize(&v, 1e-10, &l, &u), 1);
    EXPECT_DOUBLE_EQ(u.x, 0.6);
    EXPECT_DOUBLE_EQ(u.z, -0.8);
    EXPECT_DOUBLE_EQ(l, 5e200);
    VEC2_s a{1e300, 1e300}, b;
    ASSERT_EQ(VEC2_unitize(&a, 1e-10, &l, &b), 1);
    EXPECT_DOUBLE_EQ(b.x, std::sqrt(0.5));
    a = VEC2_s{nan_value, 0.0};
    EXPECT_EQ(VEC2_unitize(&a, 1e-10, &l, &b), 0);
}

TEST(Vec3, AskPerpendicularRules) {
    struct Case {
        Vector3 in, out;
    } cases[] = {
        {{0, 0, 1}, {1, 0, 0}},  // rule 2 (x, y tied at 0)
        {{1, 1, 1}, {1, -1, 0}}, // rule 3, all tied
        {{1, 2, 3}, {0, 3, -2}}, // rule 1: x smallest, y below z
        {{1, 3, 2}, {0, -2, 3}}, // rule 1: x smallest, y above z
        {{2, 1, 3}, {3, 0, -2}}, // rule 2: y smallest, x below z
        {{3, 1, 2}, {-2, 0, 3}}, // rule 2: y smallest, x above z
        {{2, 3, 1}, {3, -2, 0}}, // rule 3: z smallest, y above x
        {{3, 2, 1}, {-2, 3, 0}}, // rule 3: z smallest, y below x
    };
    for (const Case &c : cases) {
        Vector3 out;
        ASSERT_EQ(VEC3_ask_perpendicular(&c.in, &out), 1);
        EXPECT_EQ(out.x, c.out.x) << c.in.x << " " << c.in.y << " " << c.in.z;
        EXPECT_EQ(out.y, c.out.y) << c.in.x << " " << c.in.y << " " << c.in.z;
        EXPECT_EQ(out.z, c.out.z) << c.in.x << " " << c.in.y << " " << c.in.z;
    }
}

TEST(Vec3, AskPerpendicularIsPerpendicularAndLong) {
    RandomVectors gen;
    for (int i = 0; i < 5000; ++i) {
        Vector3 v = gen.next3(), p;
        if (len(v) <= 1e-10) continue;
        ASSERT_EQ(VEC3_ask_perpendicular(&v, &p), 1);
        EXPECT_LE(std::fabs(dot3(v, p)), 1e-15 * len(v) * len(p));
        // The two largest components are kept, so p is at least |v|/sqrt(3).
        EXPECT_GE(len(p), len(v) / std::sqrt(3.0) * (1 - 1e-12));
        // In place gives the same.
        Vector3 w = v;
        VEC3_ask_perpendicular(&w, &w);
        EXPECT_EQ(w.x, p.x);
        EXPECT_EQ(w.z, p.z);
    }
}

TEST_F(VecChecking, AskPerpendicularOfNullAndNaN) {
    Vector3 v{1e-11, 0.0, 0.0}, p{1.0, 1.0, 1.0};
    EXPECT_EQ(VEC3_ask_perpendicular(&v, &p), 0);
    EXPECT_EQ(p.x, 0.0);
    EXPECT_EQ(p.y, 0.0);
    EXPECT_EQ(p.z, 0.0);
    VEC2_s a{0.0, 1e-11}, b{1.0, 1.0};
    EXPECT_EQ(VEC2_ask_perpendicular(&a, &b), 0);
    EXPECT_EQ(b.x, 0.0);
    EXPECT_EQ(b.y, 0.0);
    MACH__checking_level = 1;
    v.y = nan_value;
    EXPECT_EQ(assertion_text([&] { VEC3_ask_perpendicular(&v, &p); }), "VEC3_is_finite (u)");
    a.x = -HUGE_VAL;
    EXPECT_EQ(assertion_text([&] { VEC2_ask_perpendicular(&a, &b); }), "VEC2_is_finite (u)");
    // Unchecked, a NaN vector is refused rather than given a NaN "perpendicular".
    MACH__checking_level = 0;
    EXPECT_EQ(VEC3_ask_perpendicular(&v, &p), 0);
    a.x = nan_value;
    EXPECT_EQ(VEC2_ask_perpendicular(&a, &b), 0);
}

TEST(Vec2, AskPerpendicular) {
    VEC2_s a{1.0, 2.0}, b;
    ASSERT_EQ(VEC2_ask_perpendicular(&a, &b), 1);
    EXPECT_EQ(b.x, -2.0);
    EXPECT_EQ(b.y, 1.0);
    a = VEC2_s{2.0, -2.0}; // tie: (y, -x)
    ASSERT_EQ(VEC2_ask_perpendicular(&a, &a), 1);
    EXPECT_EQ(a.x, -2.0);
    EXPECT_EQ(a.y, -2.0);
}

TEST(Vec3, ParallelAndPerpendicularTests) {
    Vector3 x{1, 0, 0}, y{0, 2, 0}, tilt{1, 1e-4, 0}, null{0, 1e-11, 0};
    EXPECT_TRUE(VEC3_is_parallel(&x, &tilt, 1.0001e-4));
    EXPECT_FALSE(VEC3_is_parallel(&x, &tilt, 0.99e-4));
    EXPECT_FALSE(VEC3_is_parallel(&x, &y, 0.1));
    EXPECT_TRUE(VEC3_is_perpendicular(&x, &y, 0.0));
    EXPECT_FALSE(VEC3_is_perpendicular(&x, &tilt, 0.5));
    // A null vector is parallel and perpendicular to everything.
    EXPECT_TRUE(VEC3_is_parallel(&null, &x, 0.0));
    EXPECT_TRUE(VEC3_is_perpendicular(&x, &null, 0.0));
    // Scale does not matter: the tolerance is a sine or cosine.
    Vector3 big{1e8, 1e4, 0}, small{1e-8, 0, 0};
    EXPECT_TRUE(VEC3_is_parallel(&big, &small, 1.0001e-4));

    VEC2_s u{0.0, 0.0}, v{3.0, 1.0}, w{-6.0, -2.0}, p{-1.0, 3.0};
    EXPECT_TRUE(VEC2_is_parallel(&u, &v, 0.0));
    EXPECT_TRUE(VEC2_is_parallel(&v, &w, 1e-15));
    EXPECT_FALSE(VEC2_is_parallel(&v, &p, 0.5));
    EXPECT_TRUE(VEC2_is_perpendicular(&v, &p, 1e-15));
    EXPECT_FALSE(VEC2_is_perpendicular(&v, &w, 0.5));
}

TEST_F(VecChecking, ParallelAndPerpendicularAssertEachInput) {
    MACH__checking_level = 1;
    Vector3 ok{1, 0, 0}, bad{0, nan_value, 0};
    EXPECT_EQ(assertion_text([&] { VEC3_is_parallel(&bad, &ok, 0.1); }), "VEC3_is_finite( u )");
    EXPECT_EQ(assertion_text([&] { VEC3_is_perpendicular(&ok, &bad, 0.1); }), "VEC3_is_finite( v )");
    VEC2_s a{1, 0}, b{1e20, 0};
    EXPECT_EQ(assertion_text([&] { VEC2_is_parallel(&a, &b, 0.1); }), "VEC2_is_finite( v )");
    EXPECT_EQ(assertion_text([&] { VEC2_is_perpendicular(&b, &a, 0.1); }), "VEC2_is_finite( u )");
    MACH__checking_level = 0;
    EXPECT_FALSE(VEC3_is_parallel(&bad, &ok, 0.1));
}

TEST(Vec3, AngleBetween) {
    Vector3 x{1, 0, 0}, y{0, 1, 0}, up{0, 0, 1}, down{0, 0, -1};
    EXPECT_DOUBLE_EQ(VEC3_angle_between(&x, &y, &up), pi / 2);
    EXPECT_DOUBLE_EQ(VEC3_angle_between(&x, &y, &down), 3 * pi / 2);
    Vector3 almost{1, 1e-11, 0}, back{-1, 0, 0}, null{0, 0, 0};
    EXPECT_EQ(VEC3_angle_between(&x, &almost, &down), 0.0);
    EXPECT_DOUBLE_EQ(VEC3_angle_between(&x, &back, &up), pi);
    EXPECT_EQ(VEC3_angle_between(&x, &null, &up), 0.0);
    EXPECT_EQ(VEC3_angle_between(&null, &x, &up), 0.0);
    // A null reference vector, or none at all, gives the unsigned angle.
    EXPECT_DOUBLE_EQ(VEC3_angle_between(&x, &y, &null), pi / 2);
    EXPECT_DOUBLE_EQ(VEC3_angle_between(&y, &x, nullptr), pi / 2);
}

TEST(Vec3, AngleBetweenRoundTrips) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> angle(0.0, 2 * pi), scale(0.01, 100.0);
    for (int i = 0; i < 2000; ++i) {
        double a = angle(rng);
        // u and v in the plane z = 0 at angle a, measured about +z or -z.
        Vector3 u{scale(rng), 0, 0}, v{std::cos(a), std::sin(a), 0}, up{0, 0, 2}, down{0, 0, -1};
        double r = scale(rng);
        v = Vector3{r * v.x, r * v.y, 0};
        double got = VEC3_angle_between(&u, &v, &up);
        EXPECT_GE(got, 0.0);
        EXPECT_LT(got, 2 * pi);
        EXPECT_NEAR(std::remainder(got - a, 2 * pi), 0.0, 1e-12) << a;
        double other = VEC3_angle_between(&u, &v, &down);
        if (got != 0.0) {
            EXPECT_NEAR(got + other, 2 * pi, 1e-12) << a;
        }
    }
}

TEST(Vec3, MakeTrihedral) {
    Vector3 v{1, 2, 3}, n{0, 0, 1}, perp, third, par;
    VEC3_make_trihedral(&v, &n, &perp, &third, &par);
    EXPECT_EQ(par.z, 3.0);
    EXPECT_EQ(par.x, 0.0);
    EXPECT_EQ(perp.x, 1.0);
    EXPECT_EQ(perp.y, 2.0);
    EXPECT_EQ(perp.z, 0.0);
    EXPECT_EQ(third.x, -2.0); // n x perp
    EXPECT_EQ(third.y, 1.0);
    // Outputs may overwrite the inputs.
    VEC3_make_trihedral(&v, &n, &v, &third, &n);
    EXPECT_EQ(v.z, 0.0);
    EXPECT_EQ(n.z, 3.0);
    EXPECT_EQ(third.x, -2.0);
}

TEST(Vec2, Components) {
    VEC2_s u{1, 0}, v{1, 1}, w{3, 2};
    double a, b;
    ASSERT_EQ(VEC2_components(&u, &v, &w, 1e-12, &a, &b), 1);
    EXPECT_DOUBLE_EQ(a, 1.0);
    EXPECT_DOUBLE_EQ(b, 2.0);
    VEC2_s p{2, 2};
    EXPECT_EQ(VEC2_components(&v, &p, &w, 1e-12, &a, &b), 0);
    EXPECT_EQ(a, HUGE_VAL);
    EXPECT_EQ(b, HUGE_VAL);
    // |det| equal to the tolerance still fails.
    VEC2_s q{1, 1.5};
    EXPECT_EQ(VEC2_components(&v, &q, &w, 0.5, &a, &b), 0);
    VEC2_s bad{nan_value, 0};
    EXPECT_EQ(VEC2_components(&bad, &v, &w, 0.5, &a, &b), 0);
}

TEST_F(VecChecking, ShortestVector) {
    VEC2_s vs[] = {{3, 0}, {0, 1}, {4, 4}, {-1, 0}, {0.5, 0.5}};
    EXPECT_EQ(VEC2_ask_shortest_vector(5, vs), 4);
    EXPECT_EQ(VEC2_ask_shortest_vector(4, vs), 1); // the later equal length loses
    EXPECT_EQ(VEC2_ask_shortest_vector(1, vs), 0);
    MACH__checking_level = 1;
    EXPECT_EQ(assertion_text([&] { VEC2_ask_shortest_vector(0, vs); }), "count > 0");
    MACH__checking_level = 0;
    EXPECT_EQ(VEC2_ask_shortest_vector(0, nullptr), 0);
}
