// Vectors, frames and coordinate systems on extreme but valid input: tiny
// and huge magnitudes, nearly parallel axes.  Each case once gave a wrong
// result reported as a success.
#include <quorm/quorm.h>

#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {

typedef quorm_vector3 Vector3;
typedef quorm_point3 Point3;

double len(const Vector3 &v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

class ExtremeInputs : public ::testing::Test {
  protected:
    void SetUp() override { saved_ = MACH__checking_level; }
    void TearDown() override { MACH__checking_level = saved_; }
    int saved_ = 1;
};

TEST_F(ExtremeInputs, UnitizeKeepsFullPrecisionForTinyVectors) {
    struct Case {
        Vector3 v;
        double length;
    } cases[] = {{{1e-160, 0, 0}, 1e-160}, {{3e-162, 4e-162, 0}, 5e-162}, {{1e-170, 0, 0}, 1e-170},
                 {{0, 0, 4.9406564584124654e-324}, 4.9406564584124654e-324}};
    for (const Case &c : cases) {
        Vector3 unit;
        double length = 0.0;
        ASSERT_EQ(VEC3_unitize(&c.v, 0.0, &length, &unit), 1);
        EXPECT_NEAR(len(unit), 1.0, 1e-15);
        EXPECT_NEAR(length / c.length, 1.0, 1e-15);
        // A tolerance above the length still calls it null.
        EXPECT_EQ(VEC3_unitize(&c.v, 2.0 * c.length, &length, &unit), 0);
    }
    const VEC2_s u2{3e-162, 4e-162};
    VEC2_s unit2;
    double length = 0.0;
    ASSERT_EQ(VEC2_unitize(&u2, 0.0, &length, &unit2), 1);
    EXPECT_NEAR(std::hypot(unit2.x, unit2.y), 1.0, 1e-15);
    EXPECT_NEAR(length / 5e-162, 1.0, 1e-15);

    // The numbered forms use the length tolerance of the equality table.
    const double a[3] = {1e-80, 0, 0}, b[3] = {0, 3e-81, 0};
    double out[3];
    int ok = 0;
    vcru3(a, b, &ok, out);
    if (ok) {
        EXPECT_NEAR(std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]), 1.0, 1e-15);
    }
    const double tiny[3] = {1e-160, 1e-160, 0};
    vunt3(tiny, &ok, out);
    if (ok) {
        EXPECT_NEAR(std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]), 1.0, 1e-15);
    }
}

TEST_F(ExtremeInputs, PerpendicularOfSmallVectorsIsNotNull) {
    const Vector3 cases[] = {{0, 0, 1e-10}, {1e-12, 0, 1e-10}, {1e-10, 0, 0}, {0, 2e-10, 1e-12}};
    for (const Vector3 &v : cases) {
        Vector3 p;
        ASSERT_EQ(VEC3_ask_perpendicular(&v, &p), 1);
        EXPECT_GT(len(p), 0.5 * len(v));
        EXPECT_LE(std::fabs(p.x * v.x + p.y * v.y + p.z * v.z), 1e-30);
    }
    // Unit-sized vectors keep their published outputs.
    const Vector3 z{0, 0, 1}, d{1, 1, 1};
    Vector3 p;
    VEC3_ask_perpendicular(&z, &p);
    EXPECT_EQ(p.x, 1.0);
    VEC3_ask_perpendicular(&d, &p);
    EXPECT_EQ(p.x, 1.0);
    EXPECT_EQ(p.y, -1.0);
}

TEST_F(ExtremeInputs, FixupOfNearlyParallelRowsIsOrthoNormal) {
    MTX3_s m = {{0.2672612419124244, 0.5345224838248488, 0.8017837257372732, 0.2672612419124244, 0.5345224868248488,
                 0.8017837257372732, 0, 0, 1}};
    // Unchecked, so that the process's five "altered" notes stay unspent.
    MACH__checking_level = 0;
    Kaltor::Corvex::MessageCapture capture;
    const int result = MTX3_fixup(&m);
    if (result == 1) {
        EXPECT_TRUE(MTX3_is_ortho_normal(&m));
    }
    MTX4_s m4 = {{0.2672612419124244, 0.5345224838248488, 0.8017837257372732, 1, 0.2672612419124244,
                  0.5345224868248488, 0.8017837257372732, 2, 0, 0, 1, 3, 0, 0, 0, 1}};
    if (MTX4_fixup(&m4) == 1) {
        EXPECT_TRUE(MTX4_is_ortho_normal(&m4));
    }
}

TEST_F(ExtremeInputs, LargeFiniteFramesRepairWithoutAsserting) {
    MACH__checking_level = 1;
    MTX3_s m = {{1e10, 0, 0, 0, 1e10, 0, 0, 0, 1e10}};
    EXPECT_TRUE(MTX3_ortho_normalize(&m));
    EXPECT_TRUE(MTX3_is_ortho_normal(&m));
    EXPECT_EQ(m.elem[0], 1.0);
    MTX4_s m4 = {{4e9, 0, 0, 0, 0, 4e9, 0, 0, 0, 0, 4e9, 0, 0, 0, 0, 1}};
    EXPECT_TRUE(MTX4_ortho_normalize(&m4));
    EXPECT_TRUE(MTX4_is_ortho_normal(&m4));

    // Axes of 2.5e18 mapped into the world system.
    CSYS_s c{}, world{}, out{};
    c.matrix = MTX3_s{{2.5e18, 0, 0, 0, 2.5e18, 0, 0, 0, 2.5e18}};
    world.matrix = MTX3_s{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    CSYS_map_csys(&c, &world, &out);
    EXPECT_TRUE(MTX3_is_ortho_normal(&out.matrix));

    // A transformation with entries near 1e18 carries a frame.
    Kaltor::Corvex::MessageCapture capture;
    const MTX3_s frame = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    const double s = 1e18;
    const double t[13] = {0, -s, 0, s, 0, 0, 0, 0, s, 1, 2, 3, s};
    MTX3_s carried;
    ASSERT_EQ(h964(&frame, t, &carried), 1);
    EXPECT_TRUE(MTX3_is_ortho_normal(&carried));
    EXPECT_EQ(carried.elem[1], 1.0); // X carried to +Y
}

TEST_F(ExtremeInputs, ZDirectionBeyondTheFinitenessLimitIsRefused) {
    CSYS_s c{}, out{};
    c.matrix = MTX3_s{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    const Vector3 z{1e100, 0, 0};
    for (int level = 1; level >= 0; --level) {
        MACH__checking_level = level;
        EXPECT_FALSE(CSYS_get_csys_given_z_dir(&c, &z, &out));
    }
}

TEST_F(ExtremeInputs, SingularSystemsOfLargeCoefficientsRaise) {
    // Rows 0 and 1 have the same left-hand side: inconsistent.
    const double m[12] = {1234.5, -987.25, 4321.125, 5.3955, 1234.5, -987.25, 4321.125, 1, 17.5, 3.25, -8.5, 2};
    double out[3];
    testing::internal::CaptureStdout();
    EXPECT_THROW(MC_solve_3(m, out), Kaltor::Error::Exception);
    testing::internal::GetCapturedStdout();
    // Small but regular systems still solve.
    const double small[12] = {1e-3, 0, 0, 1e-3, 0, 1e-3, 0, 2e-3, 0, 0, 1e-3, 3e-3};
    MC_solve_3(small, out);
    EXPECT_DOUBLE_EQ(out[0], 1.0);
    EXPECT_DOUBLE_EQ(out[1], 2.0);
    EXPECT_DOUBLE_EQ(out[2], 3.0);
}

#if QUORM_FULL_BUILD
TEST_F(ExtremeInputs, PolarAngleStaysWithinRange) {
    const Point3 south{0, 0, -1};
    Point3 out;
    PNT3_cartesian_to_spherical(&south, &out);
    EXPECT_EQ(out.z, 180.0);
}
#endif

} // namespace
