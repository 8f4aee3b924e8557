// Points and planes: collinearity, closest point, cylindrical and spherical
// coordinates, plane tests.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

using P3 = quorm_point3;
using V3 = quorm_vector3;

// Restores the settings block and the checking level.
class Points : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_acom_ = acom;
        saved_level_ = MACH__checking_level;
        acom.eq_tol[1] = 1e-6; // length tolerance for the closest-point ties
    }
    void TearDown() override {
        acom = saved_acom_;
        MACH__checking_level = saved_level_;
    }

  private:
    acom_s saved_acom_;
    int saved_level_ = 1;
};

P3 along(const P3 &origin, const V3 &d, double t) {
    return P3{origin.x + t * d.x, origin.y + t * d.y, origin.z + t * d.z};
}

} // namespace

TEST_F(Points, ColinearConditionNamesTheMiddlePoint) {
    P3 a{0, 0, 0}, b{1, 0, 0}, c{2, 0, 0};
    EXPECT_EQ(PNT3_colinear_condition(&a, &c, &b, 1e-6), PNT3_P3_BETWEEN);
    EXPECT_EQ(PNT3_colinear_condition(&b, &a, &c, 1e-6), PNT3_P1_BETWEEN);
    EXPECT_EQ(PNT3_colinear_condition(&a, &b, &c, 1e-6), PNT3_P2_BETWEEN);

    // Every ordering of three points on random lines with uneven spacing.
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    for (int trial = 0; trial < 50; ++trial) {
        P3 o{u(gen), u(gen), u(gen)};
        V3 d{u(gen), u(gen), u(gen)};
        double t1 = 0.1 + std::fabs(u(gen)), t2 = t1 + 0.1 + std::fabs(u(gen));
        P3 pts[3] = {along(o, d, -t1), o, along(o, d, t2)}; // pts[1] is the middle one
        int order[3] = {0, 1, 2};
        do {
            const P3 &p1 = pts[order[0]], &p2 = pts[order[1]], &p3 = pts[order[2]];
            PNT3_colinear_condition_t expected =
                order[0] == 1 ? PNT3_P1_BETWEEN : order[1] == 1 ? PNT3_P2_BETWEEN : PNT3_P3_BETWEEN;
            EXPECT_EQ(PNT3_colinear_condition(&p1, &p2, &p3, 1e-9), expected)
                << "order " << order[0] << order[1] << order[2] << " trial " << trial;
        } while (std::next_permutation(order, order + 3));
    }
}

TEST_F(Points, ColinearConditionCoincidenceAndBentPoints) {
    P3 a{0, 0, 0}, b{1, 0, 0}, a2{0, 0, 5e-7};
    EXPECT_EQ(PNT3_colinear_condition(&a, &b, &a2, 1e-6), PNT3_P1_P3_COINCIDENT);
    EXPECT_EQ(PNT3_colinear_condition(&b, &a, &a2, 1e-6), PNT3_P2_P3_COINCIDENT);
    EXPECT_EQ(PNT3_colinear_condition(&a, &a, &b, 1e-6), PNT3_P2_BETWEEN);
    P3 off{0.5, 0.5, 0};
    EXPECT_EQ(PNT3_colinear_condition(&a, &b, &off, 1e-6), PNT3_NOT_COLINEAR);
}

TEST_F(Points, IsColinearToleranceIsSquared) {
    P3 a{0, 0, 0}, b{0.05, 0, 0}, c{3, 7, 1};
    EXPECT_TRUE(PNT3_is_colinear(&a, &b, &c, 0.01)); // 0.0025 < 0.01: a and b coincide
    EXPECT_FALSE(PNT3_is_colinear(&a, &b, &c, 0.001));
    P3 d{10, 0.01, 0}; // squared sine about 1e-6
    EXPECT_TRUE(PNT3_is_colinear(&a, &b, &d, 1e-5));
    EXPECT_FALSE(PNT3_is_colinear(&a, &b, &d, 1e-7));
    // Exactly coincident points are collinear with anything, even with tol 0
    // (the angle test alone would divide 0 by 0).
    EXPECT_TRUE(PNT3_is_colinear(&a, &a, &c, 0.0));
    EXPECT_TRUE(PNT3_is_colinear(&c, &a, &a, 0.0));
}

TEST_F(Points, ClosestPointBreaksTiesByDirection) {
    P3 p{0, 0, 0};
    V3 v{1, 0, 0};
    P3 pts[4] = {{0, 3, 0}, {0, 2, 0}, {-2, 0, 0}, {0, 0, 2}};
    P3 out{9, 9, 9};
    PNT3_ask_closest_point(&p, &v, pts, 1, &out);
    EXPECT_EQ(out.y, 3.0);
    // (0,2,0), (-2,0,0) and (0,0,2) tie on distance; from (-2,0,0) the
    // direction toward p is +X, along v.
    PNT3_ask_closest_point(&p, &v, pts, 4, &out);
    EXPECT_EQ(out.x, -2.0);
    // Two points seen from p at the same angle to v: the earlier one stays.
    P3 sym[2] = {{0, 0, 2}, {0, 2, 0}};
    PNT3_ask_closest_point(&p, &v, sym, 2, &out);
    EXPECT_EQ(out.z, 2.0);
    // A distance shorter by more than the tolerance wins whatever the angle.
    P3 near[2] = {{-2, 0, 0}, {0, 1.999, 0}};
    PNT3_ask_closest_point(&p, &v, near, 2, &out);
    EXPECT_EQ(out.y, 1.999);
}

TEST_F(Points, ClosestPointCountsAndBadPoints) {
    P3 p{0, 0, 0}, out{9, 9, 9};
    V3 v{1, 0, 0};
    P3 pts[2] = {{1, 1, 1}, {2, 2, 2}};
    PNT3_ask_closest_point(&p, &v, pts, 0, &out);
    EXPECT_EQ(out.x, 9.0);
    EXPECT_THROW(PNT3_ask_closest_point(&p, &v, pts, -1, &out), Kaltor::Error::Exception);
    MACH__checking_level = 0;
    PNT3_ask_closest_point(&p, &v, pts, -1, &out);
    EXPECT_EQ(out.x, 9.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    P3 bad[3] = {{1, 1, 1}, {nan, 0, 0}, {0.5, 0, 0}};
    PNT3_ask_closest_point(&p, &v, bad, 3, &out);
    EXPECT_EQ(out.x, 0.5);
}

#if QUORM_FULL_BUILD
TEST_F(Points, CylindricalAndSphericalKnownValues) {
    P3 in{0, -3, 7}, out;
    PNT3_cartesian_to_cylindrical(&in, &out);
    EXPECT_EQ(out.x, 3.0);
    EXPECT_EQ(out.y, 270.0);
    EXPECT_EQ(out.z, 7.0);
    in = P3{-1, 0, 0};
    PNT3_cartesian_to_cylindrical(&in, &in); // in place
    EXPECT_EQ(in.x, 1.0);
    EXPECT_EQ(in.y, 180.0);
    in = P3{0, 0, -2};
    PNT3_cartesian_to_spherical(&in, &out);
    EXPECT_EQ(out.x, 2.0);
    EXPECT_EQ(out.y, 0.0);
    EXPECT_DOUBLE_EQ(out.z, 180.0);
    in = P3{0, 0, 0};
    PNT3_cartesian_to_spherical(&in, &out);
    EXPECT_EQ(out.z, 0.0);
}

TEST_F(Points, AnglesNeverReach360) {
    // atan gives a tiny negative angle; adding 360 rounds to 360 exactly.
    const double ys[] = {-1e-300, -1e-20, -0.0};
    for (double y : ys) {
        P3 in{1, y, 0}, cyl, sph;
        PNT3_cartesian_to_cylindrical(&in, &cyl);
        PNT3_cartesian_to_spherical(&in, &sph);
        EXPECT_EQ(cyl.y, 0.0) << y;
        EXPECT_FALSE(std::signbit(cyl.y)) << y;
        EXPECT_EQ(sph.y, 0.0) << y;
    }
    P3 in{1, -1e-13, 0}, cyl;
    PNT3_cartesian_to_cylindrical(&in, &cyl);
    EXPECT_LT(cyl.y, 360.0);
    EXPECT_GT(cyl.y, 359.9);
}

TEST_F(Points, ConversionsRoundTrip) {
    std::mt19937 gen(11);
    std::uniform_real_distribution<double> u(-100.0, 100.0);
    for (int trial = 0; trial < 500; ++trial) {
        P3 p{u(gen), u(gen), u(gen)};
        if (trial % 5 == 0) p.y = 0.0; // on the X axis, either side
        P3 c, s, back;
        PNT3_cartesian_to_cylindrical(&p, &c);
        ASSERT_GE(c.y, 0.0);
        ASSERT_LT(c.y, 360.0);
        PNT3_cylindrical_to_cartesian(&c, &back);
        EXPECT_NEAR(back.x, p.x, 1e-12);
        EXPECT_NEAR(back.y, p.y, 1e-12);
        EXPECT_EQ(back.z, p.z);

        PNT3_cartesian_to_spherical(&p, &s);
        ASSERT_GE(s.y, 0.0);
        ASSERT_LT(s.y, 360.0);
        ASSERT_GE(s.z, 0.0);
        ASSERT_LE(s.z, 180.0);
        back = s;
        PNT3_spherical_to_cartesian(&back, &back); // in place
        EXPECT_NEAR(back.x, p.x, 1e-11);
        EXPECT_NEAR(back.y, p.y, 1e-11);
        EXPECT_NEAR(back.z, p.z, 1e-11);

        // And from the coordinates' side: angles come back in range.
        P3 cyl{std::fabs(u(gen)), std::fabs(u(gen)) * 3.59, u(gen)}, again;
        PNT3_cylindrical_to_cartesian(&cyl, &back);
        PNT3_cartesian_to_cylindrical(&back, &again);
        EXPECT_NEAR(again.x, cyl.x, 1e-12);
        double da = std::fabs(again.y - cyl.y);
        EXPECT_LT(std::min(da, 360.0 - da), 1e-9);
    }
}
#endif

TEST_F(Points, PlaneTests) {
    PLN3_s plane{{1, 1, 1}, {0, 0, 3}}; // z = 1, normal not unit
    P3 above{5, -4, 1.5}, on{7, 8, 1.0 + 1e-9};
    EXPECT_TRUE(PLN3_is_point_on_plane(&plane, &on, 1e-8));
    EXPECT_FALSE(PLN3_is_point_on_plane(&plane, &above, 0.49));
    EXPECT_TRUE(PLN3_is_point_on_plane(&plane, &above, 0.5));

    PLN3_s flipped{{3, -2, 1}, {0, 0, -1}};
    EXPECT_TRUE(PLN3_is_coincident(&plane, &flipped, 1e-9, 1e-9));
    EXPECT_FALSE(PLN3_is_equal(&plane, &flipped, 1e-9, 1e-9));
    PLN3_s same{{3, -2, 1}, {0, 1e-10, 3}};
    EXPECT_TRUE(PLN3_is_equal(&plane, &same, 1e-9, 1e-9));
    PLN3_s shifted{{3, -2, 1.1}, {0, 0, 3}};
    EXPECT_FALSE(PLN3_is_coincident(&plane, &shifted, 1e-9, 1e-9));
    EXPECT_FALSE(PLN3_is_equal(&plane, &shifted, 1e-9, 1e-9));

    P3 up{0, 0, 2}, up_far{4, 4, 2};
    P3 down{0, 0, 0};
    EXPECT_FALSE(PLN3_is_segment_intersecting(&plane, &up, &up_far, 0.5));
    EXPECT_TRUE(PLN3_is_segment_intersecting(&plane, &up, &up_far, 1.0));
    P3 exactly_on{7, 8, 1};
    EXPECT_TRUE(PLN3_is_segment_intersecting(&plane, &up, &exactly_on, 0.0));
    EXPECT_TRUE(PLN3_is_segment_intersecting(&plane, &up, &down, 0.0));

    // A plane with a null normal holds nothing and meets nothing.
    PLN3_s null_plane{{0, 0, 0}, {0, 0, 0}};
    EXPECT_FALSE(PLN3_is_point_on_plane(&null_plane, &down, 1.0));
    EXPECT_FALSE(PLN3_is_segment_intersecting(&null_plane, &up, &down, 1.0));
}
