// Error register, tolerance services, eqz, sys21/sys22 and the boxes.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using Kaltor::Corvex::MessageCapture;

namespace {

// Restores the tolerance globals and the checking level after each test.
class Tolerances : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_acom_ = acom;
        saved_srfc1_ = srfc1;
        saved_pxsfac_ = pxsfac;
        saved_level_ = MACH__checking_level;
    }
    void TearDown() override {
        acom = saved_acom_;
        srfc1 = saved_srfc1_;
        pxsfac = saved_pxsfac_;
        MACH__checking_level = saved_level_;
    }
    void derive(int fine, double scale) {
        acom.fine_tolerance = fine;
        acom.model_scale = scale;
        sys21();
    }

  private:
    acom_s saved_acom_;
    srfc1_s saved_srfc1_;
    PXSFACTYP saved_pxsfac_;
    int saved_level_ = 1;
};

} // namespace

TEST(ErrorRegister, PushOverwritesAndFlushClears) {
    EXPECT_EQ(merrornum(), 0);
    merrorpush(const_cast<char *>("first"), 11, 4);
    merrorpush(nullptr, 12, 3);
    EXPECT_EQ(merrornum(), 12);
    EXPECT_EQ(merrorlevel(), 3);
    EXPECT_EQ(merrorflush(), 0);
    EXPECT_EQ(merrornum(), 0);
    EXPECT_EQ(merrorlevel(), 0);
}

TEST_F(Tolerances, Sys21DerivesTheTable) {
    derive(0, 1000.0);
    EXPECT_EQ(EQ_ask_number_tolerance(), 1e-4);
    EXPECT_DOUBLE_EQ(EQ_ask_length_tolerance(), 0.1);
    EXPECT_DOUBLE_EQ(EQ_ask_length_squared_tolerance(), 0.01);
    EXPECT_DOUBLE_EQ(acom.eq_tol[7], 0.01 * 1e8);
    derive(1, 2.0);
    EXPECT_EQ(EQ_ask_number_tolerance(), 1e-10);
    EXPECT_DOUBLE_EQ(EQ_ask_length_tolerance(), 2e-10);
}

TEST_F(Tolerances, EqzKindsAndBoundaries) {
    derive(0, 1.0);
    double a = 0.5, exact = 0.5 + acom.eq_tol[0];
    int kind = 0;
    // |a - b| exactly equal to the tolerance counts as equal.
    acom.eq_tol[0] = std::fabs(exact - a);
    EXPECT_EQ(eqz(&a, &exact, &kind), 1);
    acom.eq_tol[0] = 1e-4;
    double b = a + 2e-4;
    EXPECT_EQ(eqz(&a, &b, &kind), 0);

    // Any kind other than 0, 1, 2 compares against the number tolerance squared.
    int kind5 = 5;
    double c = a + 0.9e-8, d = a + 1.1e-8;
    EXPECT_EQ(eqz(&a, &c, &kind5), 1);
    EXPECT_EQ(eqz(&a, &d, &kind5), 0);

    int kind1 = 1, kind2 = 2;
    acom.eq_tol[1] = 0.5;
    acom.eq_tol[2] = 0.25;
    double e = a + 0.4;
    EXPECT_EQ(eqz(&a, &e, &kind1), 1);
    EXPECT_EQ(eqz(&a, &e, &kind2), 0);

    double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(eqz(&nan, &nan, &kind), 0);
    EXPECT_EQ(eqz(&a, &nan, &kind1), 0);
}

TEST_F(Tolerances, Sys22ScalesAnEntryAndRefusesIndicesOutsideTheTable) {
    derive(0, 10.0);
    double value = 3.0, out = -1.0;
    int index = 1;
    sys22(&value, &index, &out);
    EXPECT_DOUBLE_EQ(out, 3e-3);
    index = 7;
    sys22(&value, &index, &out);
    EXPECT_DOUBLE_EQ(out, 3.0 * acom.eq_tol[7]);

    for (int bad : {-1, 8, 1000000}) {
        index = bad;
        MACH__checking_level = 1;
        try {
            sys22(&value, &index, &out);
            FAIL() << bad;
        } catch (const Kaltor::Error::Exception &e) {
            EXPECT_EQ(e.code(), QUORM_ERR_BAD_ARGUMENT);
        }
        MACH__checking_level = 0;
        out = -1.0;
        sys22(&value, &index, &out);
        EXPECT_EQ(out, 0.0);
    }
}

#if QUORM_FULL_BUILD
TEST_F(Tolerances, DistanceToleranceRefusesNegativeAndNonFiniteValues) {
    EXPECT_EQ(TOLER_set_distance_tol(0.01), 0.01);
    EXPECT_EQ(TOLER_ask_distance_tol(), 0.01);
    EXPECT_EQ(srfc1.distance_tol, 0.01);
    pxsfac.model_to_metres = 0.001;
    EXPECT_DOUBLE_EQ(TOLER_ask_distance_tol_metres(), 1e-5);
    srfc1.angular_tol = 0.25;
    EXPECT_EQ(TOLER_ask_angular_tol(), 0.25);

    try {
        TOLER_set_distance_tol(-2.0);
        FAIL();
    } catch (const Kaltor::Error::Severe &e) {
        EXPECT_EQ(e.message(), "-ve tolerance: -2");
    }
    EXPECT_THROW(TOLER_set_distance_tol(std::nan("")), Kaltor::Error::Severe);
    EXPECT_THROW(TOLER_set_distance_tol(HUGE_VAL), Kaltor::Error::Severe);
    EXPECT_EQ(TOLER_ask_distance_tol(), 0.01);

    {
        // Should the internal error return, nothing is stored either.
        MessageCapture capture(true);
        TOLER_set_distance_tol(-1.0);
        EXPECT_EQ(capture.internals(), std::vector<std::string>{"-ve tolerance: -1"});
    }
    MACH__checking_level = 0;
    EXPECT_EQ(TOLER_set_distance_tol(std::nan("")), 0.01);
    EXPECT_EQ(TOLER_set_distance_tol(-3.0), 0.01);
    EXPECT_EQ(TOLER_ask_distance_tol(), 0.01);
    EXPECT_EQ(TOLER_set_distance_tol(0.0), 0.0);
}
#endif

#if QUORM_REDUCED_BUILD
TEST(Box3, CornersFollowTheBitRule) {
    BOX3_s box = {-1, 1, -2, 2, -3, 3};
    PNT3_s p;
    BOX3_get_corner_pt3(&box, 6, &p);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 2);
    EXPECT_EQ(p.z, -3);
    BOX3_get_corner_pt3(&box, 1, &p);
    EXPECT_EQ(p.x, -1);
    EXPECT_EQ(p.y, -2);
    EXPECT_EQ(p.z, 3);
    for (int k : {8, -1, 100}) {
        BOX3_get_corner_pt3(&box, k, &p);
        EXPECT_EQ(p.x, 0);
        EXPECT_EQ(p.y, 0);
        EXPECT_EQ(p.z, 0);
    }
}

TEST(Box3, ExpandTakesBothBoundsOfAnUnorderedBox) {
    BOX3_s a = {5, 1, 0, 0, -7, -8};
    BOX3_s b = {2, 3, -1, 1, 0, 0};
    BOX3_expand_with_box(&a, &b);
    EXPECT_EQ(b.x_min, 1);
    EXPECT_EQ(b.x_max, 5);
    EXPECT_EQ(b.y_min, -1);
    EXPECT_EQ(b.y_max, 1);
    EXPECT_EQ(b.z_min, -8);
    EXPECT_EQ(b.z_max, 0);
}
#endif
