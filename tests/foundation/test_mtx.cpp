// Frames, rotations, repair and 4x4 transforms.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

using Kaltor::Corvex::MessageCapture;
using V3 = quorm_vector3;
using P3 = quorm_point3;

namespace {

const double kPi = 3.14159265358979323846;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Sets the checking level for one scope.
struct CheckingLevel {
    explicit CheckingLevel(int level) : saved(MACH__checking_level) { MACH__checking_level = level; }
    ~CheckingLevel() { MACH__checking_level = saved; }
    int saved;
};

const MTX3_s kSentinel3 = {{7, 7, 7, 7, 7, 7, 7, 7, 7}};
MTX4_s sentinel4() {
    MTX4_s m;
    for (double &v : m.elem) v = 7.0;
    return m;
}

double det3(const MTX3_s &m) {
    const double *e = m.elem;
    return e[0] * (e[4] * e[8] - e[5] * e[7]) - e[1] * (e[3] * e[8] - e[5] * e[6]) + e[2] * (e[3] * e[7] - e[4] * e[6]);
}

V3 random_vector(std::mt19937 &rng) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    return V3{u(rng), u(rng), u(rng)};
}
V3 cross(const V3 &a, const V3 &b) { return V3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(const V3 &a, const V3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 row(const MTX3_s &m, int i) { return V3{m.elem[3 * i], m.elem[3 * i + 1], m.elem[3 * i + 2]}; }

// A proper rotation: ortho-normal and right-handed.
void expect_rotation(const MTX3_s &m) {
    EXPECT_TRUE(MTX3_is_ortho_normal(&m));
    EXPECT_NEAR(det3(m), 1.0, 1e-14);
}

P3 apply(const MTX4_s &m, const P3 &p) {
    const double *e = m.elem;
    return P3{e[0] * p.x + e[1] * p.y + e[2] * p.z + e[3], e[4] * p.x + e[5] * p.y + e[6] * p.z + e[7],
              e[8] * p.x + e[9] * p.y + e[10] * p.z + e[11]};
}
void expect_point(const P3 &p, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

} // namespace

// ---- construction ------------------------------------------------------------

TEST(Mtx2, InitNeedsTwoPerpendicularNonNullAxes) {
    VEC2_s x{2.0, 0.0}, y{0.0, -3.0}, slanted{1.0, 1e-9}, null{1e-11, 0.0};
    MTX2_s m = {{7, 7, 7, 7}};
    ASSERT_EQ(MTX2_init(&x, &y, &m), 1);
    EXPECT_EQ(m.elem[0], 1.0);
    EXPECT_EQ(m.elem[3], -1.0);
    MTX2_s untouched = {{7, 7, 7, 7}};
    EXPECT_EQ(MTX2_init(&x, &slanted, &untouched), 0);
    EXPECT_EQ(MTX2_init(&null, &y, &untouched), 0);
    EXPECT_EQ(untouched.elem[0], 7.0);
}

TEST(Mtx3Init, DegenerateAxesFailAndLeaveOutUnwritten) {
    V3 x{1, 0, 0}, almost{1, 1e-11, 0}, null{0, 1e-11, 0}, y{0, 1, 0};
    MTX3_s m = kSentinel3;
    EXPECT_EQ(MTX3_init(&x, &almost, &m), 0);
    EXPECT_EQ(MTX3_init(&null, &y, &m), 0);
    EXPECT_EQ(MTX3_init_x(&null, &m), 0);
    EXPECT_EQ(MTX3_init_z(&null, &m), 0);
    EXPECT_EQ(MTX3_init_y_z(&y, &y, &m), 0);
    V3 slanted_z{0.001, 0, 1};
    EXPECT_EQ(MTX3_init_x_y_z(&x, &y, &slanted_z, &m), 0);
    EXPECT_EQ(m.elem[0], 7.0);
    EXPECT_EQ(m.elem[8], 7.0);
}

TEST(Mtx3Init, NonFiniteAxes) {
    V3 bad{kNaN, 0, 0}, y{0, 1, 0};
    MTX3_s m = kSentinel3;
    EXPECT_THROW(MTX3_init(&bad, &y, &m), Kaltor::Error::Severe);
    CheckingLevel off(0);
    EXPECT_EQ(MTX3_init(&bad, &y, &m), 0);
    EXPECT_EQ(MTX3_init_x_y_z(&y, &bad, &y, &m), 0);
    EXPECT_EQ(m.elem[0], 7.0);
}

TEST(Mtx3Init, ZAxisChoosesItsXAxisByTheYComponent) {
    V3 z{0, 0.95, 0.31};
    MTX3_s m;
    ASSERT_EQ(MTX3_init_z(&z, &m), 1);
    // |z.y| > 0.9: X is unit (0, z.z, -z.y), so its x component is 0.
    EXPECT_EQ(m.elem[0], 0.0);
    EXPECT_GT(m.elem[1], 0.0);
    expect_rotation(m);
}

TEST(Mtx3Init, EveryConstructionGivesARotationAlongItsAxes) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 500; ++trial) {
        V3 x = random_vector(rng), other = random_vector(rng);
        V3 y = cross(other, x), z = cross(x, y);
        MTX3_s m;
        ASSERT_EQ(MTX3_init(&x, &y, &m), 1);
        expect_rotation(m);
        EXPECT_NEAR(dot(row(m, 0), x), std::sqrt(dot(x, x)), 1e-12);
        ASSERT_EQ(MTX3_init_x_y_z(&x, &y, &z, &m), 1);
        expect_rotation(m);
        ASSERT_EQ(MTX3_init_y_z(&y, &z, &m), 1);
        expect_rotation(m);
        EXPECT_NEAR(dot(row(m, 2), z), std::sqrt(dot(z, z)), 1e-12);
        ASSERT_EQ(MTX3_init_x(&x, &m), 1);
        expect_rotation(m);
        EXPECT_NEAR(dot(row(m, 0), x), std::sqrt(dot(x, x)), 1e-12);
        ASSERT_EQ(MTX3_init_z(&z, &m), 1);
        expect_rotation(m);
        EXPECT_NEAR(dot(row(m, 2), z), std::sqrt(dot(z, z)), 1e-12);
    }
}

TEST(Mtx3Init, NoCheckKeepsTheAxesAsGiven) {
    // Neither unitized nor tested: parallel or long axes pass straight in.
    V3 x{2, 0, 0}, y{0, 3, 0}, parallel{4, 0, 0};
    MTX3_s m = kSentinel3;
    MTX3_init_no_check(&x, &y, &m);
    const MTX3_s expected = {{2, 0, 0, 0, 3, 0, 0, 0, 6}};
    for (int k = 0; k < 9; ++k) EXPECT_EQ(m.elem[k], expected.elem[k]);
    MTX3_init_no_check(&x, &parallel, &m);
    EXPECT_EQ(m.elem[4], 0.0);
    EXPECT_EQ(m.elem[3], 4.0);
    for (int k = 6; k < 9; ++k) EXPECT_EQ(m.elem[k], 0.0);
}

TEST(Mtx3, OrthoNormalAcceptsEitherHandAndNoNaN) {
    MTX3_s left = {{1, 0, 0, 0, 1, 0, 0, 0, -1}}, scaled = {{1, 0, 0, 0, 1, 0, 0, 0, 1 + 1e-13}};
    EXPECT_TRUE(MTX3_is_ortho_normal(&left));
    EXPECT_FALSE(MTX3_is_ortho_normal(&scaled));
    MTX3_s nan = {{kNaN, 0, 0, 0, 1, 0, 0, 0, 1}};
    EXPECT_FALSE(MTX3_is_ortho_normal(&nan));
    // Equal elements are not enough: both or neither must be ortho-normal.
    MTX3_s near_identity = {{1 + 1e-12, 0, 0, 0, 1, 0, 0, 0, 1}};
    EXPECT_FALSE(MTX3_is_identity(&near_identity, 1e-10));
    MTX3_s near_scaled = {{1 + 1e-12, 0, 0, 0, 1, 0, 0, 0, 1 + 1e-13}};
    EXPECT_TRUE(MTX3_is_equal(&near_identity, &near_scaled, 1e-10));
}

// ---- angles and rotations ------------------------------------------------------

TEST(Mtx3Angles, RollPitchYawRoundTrips) {
    MTX3_s m;
    double r, p, y;
    MTX3_init_roll_pitch_yaw(0.1, 0.2, 0.3, &m);
    MTX3_ask_roll_pitch_yaw(&m, &r, &p, &y);
    EXPECT_NEAR(r, 0.1, 1e-14);
    EXPECT_NEAR(p, 0.2, 1e-14);
    EXPECT_NEAR(y, 0.3, 1e-14);

    std::mt19937 rng(5);
    std::uniform_real_distribution<double> full(-3.1, 3.1), half(-1.55, 1.55);
    for (int trial = 0; trial < 2000; ++trial) {
        double roll = full(rng), pitch = half(rng), yaw = full(rng);
        if (std::fabs(roll) < 1e-4 || std::fabs(pitch) < 1e-4 || std::fabs(yaw) < 1e-4) continue;
        MTX3_init_roll_pitch_yaw(roll, pitch, yaw, &m);
        expect_rotation(m);
        MTX3_ask_roll_pitch_yaw(&m, &r, &p, &y);
        EXPECT_NEAR(r, roll, 1e-10);
        EXPECT_NEAR(p, pitch, 1e-10);
        EXPECT_NEAR(y, yaw, 1e-10);
    }
}

TEST(Mtx3Angles, PitchNinetyTakesYawZero) {
    MTX3_s m, back;
    double r, p, y;
    MTX3_init_roll_pitch_yaw(0.7, kPi / 2, 0.2, &m);
    MTX3_ask_roll_pitch_yaw(&m, &r, &p, &y);
    EXPECT_EQ(p, kPi / 2);
    EXPECT_EQ(y, 0.0);
    MTX3_init_roll_pitch_yaw(r, p, y, &back);
    EXPECT_TRUE(MTX3_is_equal(&m, &back, 1e-12));
}

// Every triple found reproduces m, and at least one is found.
void expect_all_triples_reproduce(const MTX3_s &m) {
    double angles[8][3];
    int count = -1;
    MTX3_ask_all_roll_pitch_yaw(&m, &count, angles);
    ASSERT_GE(count, 1);
    ASSERT_LE(count, 8);
    for (int i = 0; i < count; ++i) {
        MTX3_s r;
        MTX3_init_roll_pitch_yaw(angles[i][0], angles[i][1], angles[i][2], &r);
        for (int k = 0; k < 9; ++k) EXPECT_NEAR(r.elem[k], m.elem[k], 1e-10) << "triple " << i << " element " << k;
    }
}

TEST(Mtx3Angles, AllTriplesReproduceTheMatrix) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> full(-kPi, kPi), half(-kPi / 2, kPi / 2);
    for (int trial = 0; trial < 1000; ++trial) {
        MTX3_s m;
        MTX3_init_roll_pitch_yaw(full(rng), half(rng), full(rng), &m);
        expect_all_triples_reproduce(m);
        double angles[8][3];
        int count;
        MTX3_ask_all_roll_pitch_yaw(&m, &count, angles);
        EXPECT_EQ(count, 2); // (r, p, y) and (r + pi, pi - p, y + pi)
    }
}

TEST(Mtx3Angles, AllTriplesAtAndNearPitchNinety) {
    std::mt19937 rng(8);
    std::uniform_real_distribution<double> full(-kPi, kPi);
    for (double pitch : {kPi / 2, -kPi / 2, kPi / 2 - 1e-6, -kPi / 2 + 3e-6}) {
        for (int trial = 0; trial < 200; ++trial) {
            MTX3_s m;
            MTX3_init_roll_pitch_yaw(full(rng), pitch, full(rng), &m);
            expect_all_triples_reproduce(m);
        }
    }
    // Exactly vertical X axis with no roll/yaw split given.
    MTX3_s down = {{0, 0, 1, 0, 1, 0, -1, 0, 0}};
    expect_all_triples_reproduce(down);
    // Roll or yaw a hair short of 90 degrees, where an arcsine of the rounded
    // sine misses the matrix.
    MTX3_s m;
    MTX3_init_roll_pitch_yaw(kPi / 2 - 1e-8, 0.4, -kPi / 2 + 1e-8, &m);
    expect_all_triples_reproduce(m);
}

TEST(Mtx3Angles, RotationAboutAxis) {
    V3 z{0, 0, 2}, null{0, 0, 0};
    MTX3_s m, rpy;
    MTX3_rot_about_axis(0.3, &z, &m);
    MTX3_init_roll_pitch_yaw(0, 0, 0.3, &rpy);
    EXPECT_TRUE(MTX3_is_equal(&m, &rpy, 1e-15));
    MTX3_rot_about_axis(0.3, &null, &m);
    EXPECT_TRUE(MTX3_is_identity(&m, 0.0));
    // The axis itself is fixed.
    V3 axis{1, 2, 3};
    MTX3_rot_about_axis(1.1, &axis, &m);
    expect_rotation(m);
    EXPECT_NEAR(dot(row(m, 0), axis), 1.0, 1e-14);
    EXPECT_NEAR(dot(row(m, 2), axis), 3.0, 1e-14);
}

// ---- products ---------------------------------------------------------------

TEST(Mtx3Multiply, ComposesSecondAfterFirstInPlace) {
    MTX3_s roll, yaw, both, expected, t;
    MTX3_init_roll_pitch_yaw(0.4, 0, 0, &roll);
    MTX3_init_roll_pitch_yaw(0, 0, -0.9, &yaw);
    MTX3_init_roll_pitch_yaw(0.4, 0, -0.9, &expected);
    MTX3_multiply(&roll, &yaw, &both);
    EXPECT_TRUE(MTX3_is_equal(&both, &expected, 1e-15));
    MTX3_multiply_t(&roll, &both, &t); // (yaw . roll) . roll^T = yaw
    EXPECT_TRUE(MTX3_is_equal(&t, &yaw, 1e-15));
    MTX3_multiply(&roll, &yaw, &yaw); // out may be b
    EXPECT_TRUE(MTX3_is_equal(&yaw, &expected, 1e-15));
    MTX3_s a = {{1, 2, 3, 4, 5, 6, 7, 8, 10}}, b = {{0, 1, 0, 0, 0, 1, 1, 0, 0}};
    MTX3_multiply(&a, &b, &a); // out may be a; b permutes a's rows
    EXPECT_EQ(a.elem[0], 4.0);
    EXPECT_EQ(a.elem[8], 3.0);
}

TEST(Mtx3Multiply, LongChainsOfRotationsStayOrthoNormal) {
    std::mt19937 rng(3);
    MTX3_s m = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    for (int i = 0; i < 5000; ++i) {
        V3 axis = random_vector(rng);
        MTX3_s step;
        MTX3_rot_about_axis(0.37, &axis, &step);
        if (i % 2) MTX3_multiply(&step, &m, &m);
        else MTX3_multiply_t(&step, &m, &m);
        ASSERT_TRUE(MTX3_is_ortho_normal(&m)) << i;
    }
}

// ---- repair -------------------------------------------------------------------

TEST(Mtx3OrthoNormalize, RepairsToANearbyRotation) {
    MTX3_s m = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    EXPECT_FALSE(MTX3_ortho_normalize(&m));
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> noise(-1e-7, 1e-7);
    for (int trial = 0; trial < 200; ++trial) {
        V3 axis = random_vector(rng);
        MTX3_rot_about_axis(2.0, &axis, &m);
        MTX3_s noisy = m;
        for (double &v : noisy.elem) v += noise(rng);
        EXPECT_TRUE(MTX3_ortho_normalize(&noisy));
        expect_rotation(noisy);
        for (int k = 0; k < 9; ++k) EXPECT_NEAR(noisy.elem[k], m.elem[k], 1e-4);
        // With X and Z still perpendicular only Y is re-derived; Z stays.
        noisy = m;
        noisy.elem[3] += 1e-3;
        for (int k = 6; k < 9; ++k) noisy.elem[k] *= 1.0 + 1e-9;
        EXPECT_TRUE(MTX3_ortho_normalize(&noisy));
        expect_rotation(noisy);
        for (int k = 6; k < 9; ++k) EXPECT_NEAR(noisy.elem[k], m.elem[k], 1e-15);
    }
}

TEST(Mtx3OrthoNormalize, DegenerateMatricesEnd) {
    // Too small for the cross product: rebuilt from its angles.
    MTX3_s tiny = {{1e-6, 0, 0, 0, 1e-6, 0, 0, 0, 1e-6}};
    EXPECT_TRUE(MTX3_ortho_normalize(&tiny));
    EXPECT_TRUE(MTX3_is_identity(&tiny, 0.0));
    MTX3_s zero = {{0, 0, 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_TRUE(MTX3_ortho_normalize(&zero));
    EXPECT_TRUE(MTX3_is_ortho_normal(&zero));
    MTX3_s parallel = {{1, 0, 0, 0, 1, 0, 1, 1e-9, 0}};
    EXPECT_TRUE(MTX3_ortho_normalize(&parallel));
    EXPECT_TRUE(MTX3_is_ortho_normal(&parallel));
    // A bad Y row is simply re-derived.
    MTX3_s bad_y = {{1, 0, 0, kNaN, kNaN, 0, 0, 0, 1}};
    EXPECT_TRUE(MTX3_ortho_normalize(&bad_y));
    EXPECT_TRUE(MTX3_is_identity(&bad_y, 0.0));
}

TEST(Mtx3OrthoNormalize, NonFiniteRows) {
    const double inf = std::numeric_limits<double>::infinity();
    MTX3_s nan = {{kNaN, 0, 0, 0, 1, 0, 0, 0, 1}};
    EXPECT_THROW(MTX3_ortho_normalize(&nan), Kaltor::Error::Severe);
    CheckingLevel off(0);
    for (MTX3_s m : {MTX3_s{{kNaN, 0, 0, 0, 1, 0, 0, 0, 1}}, MTX3_s{{1, 0, 0, 0, 1, 0, 0, 0, inf}},
                     MTX3_s{{1e300, 0, 0, 0, 1, 0, 0, 1e300, 1}}}) {
        EXPECT_TRUE(MTX3_ortho_normalize(&m));
        EXPECT_TRUE(MTX3_is_identity(&m, 0.0));
    }
}

TEST(Mtx3Fixup, SnapsWithoutReportingTinyChanges) {
    MessageCapture capture(true);
    MTX3_s m = {{1 + 5e-11, 0, 0, 0, 1, 0, 0, 0, 1}};
    EXPECT_EQ(MTX3_fixup(&m), 1);
    EXPECT_EQ(m.elem[0], 1.0);
    EXPECT_TRUE(MTX3_is_identity(&m, 0.0));
    EXPECT_TRUE(capture.all().empty());
}

TEST(Mtx3Fixup, DegenerateRowsFail) {
    MessageCapture capture(true);
    MTX3_s null_x = {{1e-11, 0, 0, 0, 1, 0, 0, 0, 1}}, null_y = {{1, 0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(MTX3_fixup(&null_x), 0);
    EXPECT_EQ(MTX3_fixup(&null_y), 0);
    // Parallel rows fix no frame: failure, and m is left as it was.
    MTX3_s parallel = {{0.6, 0.8, 0, 1.2, 1.6, 0, 0, 0, 1}}, copy = parallel;
    EXPECT_EQ(MTX3_fixup(&parallel), 0);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(parallel.elem[k], copy.elem[k]);
    ASSERT_EQ(capture.notes().size(), 3u);
    EXPECT_EQ(capture.notes()[0], "X vector of matrix is zero");
    EXPECT_EQ(capture.notes()[1], "Y vector of matrix is zero");
    EXPECT_EQ(capture.notes()[2], "X and Y vectors of matrix are parallel");
    EXPECT_TRUE(capture.logs().empty());

    capture.clear();
    CheckingLevel off(0);
    EXPECT_EQ(MTX3_fixup(&parallel), 0);
    EXPECT_TRUE(capture.all().empty());
}

TEST(Mtx3Fixup, ReportsAlteredElementsAndNotesAtMostFiveTimes) {
    MessageCapture capture(true);
    for (int call = 0; call < 7; ++call) {
        MTX3_s m = {{1, 0.5, 0, 0, 1, 0, 0, 0, 1}};
        EXPECT_EQ(MTX3_fixup(&m), 1);
        expect_rotation(m);
    }
    // Row 0 is rescaled and row 1 made perpendicular: elements 0, 1, 3, 4.
    std::string first;
    char line[200];
    std::snprintf(line, sizeof line, "MTX3_fixup: Element %d of matrix modified from %25.15f to %25.15f\n", 0, 1.0,
                  1.0 / std::sqrt(1.25));
    first = line;
    ASSERT_EQ(capture.logs().size(), 7u * 4u);
    EXPECT_EQ(capture.logs()[0], first);
    // The note counter is process-wide and no other test here spends it.
    EXPECT_EQ(capture.notes().size(), 5u);
    for (const std::string &n : capture.notes()) EXPECT_EQ(n, "MTX3_fixup: some matrix elements altered - see above");

    // Unchecked, the log lines still appear and no note is spent.
    capture.clear();
    CheckingLevel off(0);
    MTX3_s m = {{1, 0.5, 0, 0, 1, 0, 0, 0, 1}};
    MTX4_s t = {{1, 0.5, 0, 9, 0, 1, 0, 8, 0, 0, 1, 7, 0, 0, 0, 1}};
    EXPECT_EQ(MTX3_fixup(&m), 1);
    EXPECT_EQ(MTX4_fixup(&t), 1);
    EXPECT_EQ(capture.logs().size(), 8u);
    EXPECT_TRUE(capture.notes().empty());
    EXPECT_EQ(t.elem[3], 9.0);
    EXPECT_NEAR(t.elem[1], 0.5 / std::sqrt(1.25), 1e-15);
}

// ---- 4x4 transforms ------------------------------------------------------------

TEST(Mtx4Invert, InverseTimesInputIsIdentity) {
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 2000; ++trial) {
        MTX4_s m, inv, product;
        for (double &v : m.elem) v = u(rng);
        ASSERT_EQ(MTX4_invert(&m, &inv), 0);
        for (int order = 0; order < 2; ++order) {
            if (order == 0) MTX4_multiply(&inv, &m, &product);
            else MTX4_multiply(&m, &inv, &product);
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) ASSERT_NEAR(product.elem[4 * i + j], i == j ? 1.0 : 0.0, 1e-12);
        }
    }
    // In place, and for matrices that are small but not singular.
    MTX4_s m = {{2, 0, 0, 1, 0, 4, 0, 2, 0, 0, 8, 3, 0, 0, 0, 1}};
    ASSERT_EQ(MTX4_invert(&m, &m), 0);
    expect_point(apply(m, P3{3, 10, 27}), 1, 2, 3, 1e-15);
    MTX4_s tiny = {{1e-30, 0, 0, 0, 0, 1e-30, 0, 0, 0, 0, 1e-30, 0, 0, 0, 0, 1e-30}};
    ASSERT_EQ(MTX4_invert(&tiny, &m), 0);
    EXPECT_DOUBLE_EQ(m.elem[0], 1e30);
    MTX4_s flat = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1e-20, 0, 0, 0, 0, 1}};
    EXPECT_EQ(MTX4_invert(&flat, &m), 0);
}

TEST(Mtx4Invert, MatchesColumnByColumnSubstitution) {
    std::mt19937 rng(22);
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    for (int trial = 0; trial < 500; ++trial) {
        MTX4_s m, inv;
        for (double &v : m.elem) v = u(rng);
        if (trial % 3 == 0) m.elem[4 * (trial % 4)] = 0.0; // zeros in the permuted columns
        ASSERT_EQ(MTX4_invert(&m, &inv), 0);
        double a[4][4];
        for (int k = 0; k < 16; ++k) a[k / 4][k % 4] = m.elem[k];
        double *rows[4] = {a[0], a[1], a[2], a[3]};
        int index[4];
        double parity;
        ASSERT_EQ(ludcmp_a(rows, 4, index, &parity), 0);
        for (int c = 0; c < 4; ++c) {
            double col[4] = {0, 0, 0, 0};
            col[c] = 1.0;
            lubksb_a(rows, 4, index, col);
            for (int i = 0; i < 4; ++i) EXPECT_EQ(inv.elem[4 * i + c], col[i]);
        }
    }
}

TEST(Mtx4Invert, SingularMatricesFailAndLeaveOutUnwritten) {
    MTX4_s out = sentinel4();
    MTX4_s zero_row = {{1, 2, 3, 4, 0, 0, 0, 0, 5, 6, 7, 8, 0, 0, 0, 1}};
    EXPECT_EQ(MTX4_invert(&zero_row, &out), 1);
    // A scaling with a zero factor about a point has no zero row.
    MTX4_s flatten;
    P3 p{1, 2, 3};
    V3 factors{2, 0, 1};
    MTX4_scaling(&p, &factors, &flatten);
    EXPECT_EQ(MTX4_invert(&flatten, &out), 1);
    // Singular without any exact zero pivot.
    MTX4_s rank3 = {{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 1}};
    EXPECT_EQ(MTX4_invert(&rank3, &out), 1);
    std::mt19937 rng(4);
    for (int trial = 0; trial < 500; ++trial) {
        MTX4_s s;
        V3 a = random_vector(rng), b = random_vector(rng);
        // Row 3 = a.x * row 0 + b.x * row 1 + ...: rank 3.
        for (int j = 0; j < 4; ++j) {
            s.elem[j] = a.x + j * a.y;
            s.elem[4 + j] = b.x - j * b.z;
            s.elem[8 + j] = a.z * j * j + b.y;
            s.elem[12 + j] = a.y * s.elem[j] - b.z * s.elem[4 + j] + 0.5 * s.elem[8 + j];
        }
        EXPECT_EQ(MTX4_invert(&s, &out), 1) << trial;
    }
    CheckingLevel off(0);
    MTX4_s nan = {{kNaN, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    EXPECT_EQ(MTX4_invert(&nan, &out), 1);
    for (double v : out.elem) EXPECT_EQ(v, 7.0);
}

TEST(Mtx4Multiply, ComposesAndTransposesInPlace) {
    // MTX4_multiply (a, b) is b.a: a applied first.  MTX4_multiply_t (a, b)
    // is b.a^T.  Either may write over an input.
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    MTX4_s a, b, at;
    for (double &v : a.elem) v = u(rng);
    for (double &v : b.elem) v = u(rng);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) at.elem[4 * i + j] = a.elem[4 * j + i];
    MTX4_s product, expected;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k) s += b.elem[4 * i + k] * a.elem[4 * k + j];
            expected.elem[4 * i + j] = s;
        }
    MTX4_multiply(&a, &b, &product);
    for (int k = 0; k < 16; ++k) EXPECT_NEAR(product.elem[k], expected.elem[k], 1e-14);

    MTX4_s transposed;
    MTX4_multiply_t(&at, &b, &transposed);
    for (int k = 0; k < 16; ++k) EXPECT_NEAR(transposed.elem[k], expected.elem[k], 1e-14);
    MTX4_s in_a = at, in_b = b;
    MTX4_multiply_t(&in_a, &b, &in_a);
    MTX4_multiply_t(&at, &in_b, &in_b);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(in_a.elem[k], transposed.elem[k]);
        EXPECT_EQ(in_b.elem[k], transposed.elem[k]);
    }
}

TEST(Mtx4, TransformsAboutAPoint) {
    P3 p{1, 2, 3};
    V3 z{0, 0, 1}, minus_z{0, 0, -1}, null{0, 0, 1e-11};
    MTX4_s a, b, out = sentinel4();
    ASSERT_EQ(MTX4_rotation(&p, &z, -90, &a), 0);
    ASSERT_EQ(MTX4_rotation(&p, &minus_z, 90, &b), 0);
    EXPECT_TRUE(MTX4_is_equal(&a, &b, 0.0));
    expect_point(apply(a, p), 1, 2, 3);
    expect_point(apply(a, P3{2, 2, 3}), 1, 1, 3); // -90 about +Z turns +X into -Y
    EXPECT_EQ(MTX4_rotation(&p, &null, 90, &out), 1);

    V3 n{0, 2, 0};
    ASSERT_EQ(MTX4_mirror(&p, &n, &a), 0);
    expect_point(apply(a, P3{5, 7, 1}), 5, -3, 1);
    MTX4_multiply(&a, &a, &b);
    EXPECT_TRUE(MTX4_is_identity(&b, 1e-15));
    EXPECT_EQ(MTX4_mirror(&p, &null, &out), 1);

    V3 f{2, 3, 4};
    MTX4_scaling(&p, &f, &a);
    expect_point(apply(a, p), 1, 2, 3);
    expect_point(apply(a, P3{2, 3, 4}), 3, 5, 7);
    for (double v : out.elem) EXPECT_EQ(v, 7.0);
}

TEST(Mtx4, CoordinateSystemToCoordinateSystem) {
    P3 o1{1, 0, 0}, o2{0, 0, 5};
    V3 x1{1, 0, 0}, y1{0, 1, 0}, x2{0, 1, 0}, y2{-1, 0, 0};
    MTX4_s m;
    ASSERT_EQ(MTX4_csys_to_csys(&o1, &x1, &y1, &o2, &x2, &y2, &m), 0);
    expect_point(apply(m, o1), 0, 0, 5);
    expect_point(apply(m, P3{3, 4, 6}), -4, 2, 11); // local (2, 4, 6) in the second system
    EXPECT_TRUE(MTX4_is_ortho_normal(&m));

    // Axes that fix no frame: failure, out unwritten.
    MTX4_s out = sentinel4();
    V3 slanted{1, 1, 0}, null{0, 0, 0};
    EXPECT_EQ(MTX4_csys_to_csys(&o1, &x1, &slanted, &o2, &x2, &y2, &out), 1);
    EXPECT_EQ(MTX4_csys_to_csys(&o1, &x1, &y1, &o2, &x2, &x2, &out), 1);
    EXPECT_EQ(MTX4_csys_to_csys(&o1, &null, &y1, &o2, &x2, &y2, &out), 1);
    for (double v : out.elem) EXPECT_EQ(v, 7.0);
}

TEST(Mtx4, Comparisons) {
    MTX4_s a = {{1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1}}, b = a;
    b.elem[3] += 0.03;
    b.elem[7] += 0.04;
    EXPECT_TRUE(MTX4_is_equal_transform(&a, &b, 1e-12, 0.051, 0.0));
    EXPECT_FALSE(MTX4_is_equal_transform(&a, &b, 1e-12, 0.049, 0.0));
    EXPECT_FALSE(MTX4_is_equal(&a, &b, 0.035));
    b = a;
    b.elem[15] = 1.5;
    EXPECT_FALSE(MTX4_is_equal_transform(&a, &b, 1.0, 1.0, 0.4));
    for (int i : {3, 7, 11, 15}) { // a NaN translation or last element is never equal
        b = a;
        b.elem[i] = std::nan("");
        EXPECT_FALSE(MTX4_is_equal_transform(&a, &b, 1.0, 1.0, 1.0)) << i;
    }
    b = a;
    b.elem[0] = 1 + 1e-12; // no longer ortho-normal
    EXPECT_FALSE(MTX4_is_equal_transform(&a, &b, 1e-10, 1.0, 0.0));
    EXPECT_TRUE(MTX4_ortho_normalize(&b));
    EXPECT_TRUE(MTX4_is_equal(&a, &b, 0.0));
}
