// Angles and distances between straight lines in space.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#if QUORM_FULL_BUILD

namespace {

using Kaltor::Math::Point3;
using Kaltor::Math::Vector3;

double dot(const Vector3 &a, const Vector3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 cross(const Vector3 &a, const Vector3 &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vector3 diff(const Point3 &a, const Point3 &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double norm(const Vector3 &a) { return std::sqrt(dot(a, a)); }
Vector3 random_unit(std::mt19937 &rng) {
    std::normal_distribution<double> g(0.0, 1.0);
    Vector3 v{g(rng), g(rng), g(rng)};
    const double n = norm(v);
    return {v.x / n, v.y / n, v.z / n};
}
Point3 random_point(std::mt19937 &rng) {
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    return {u(rng), u(rng), u(rng)};
}

} // namespace

TEST(LineQueries, AcuteAngle) {
    const double r = M_SQRT1_2;
    const Vector3 x{1, 0, 0}, y{0, 1, 0}, d45{r, r, 0}, d135{-r, r, 0}, mx{-1, 0, 0};
    EXPECT_NEAR(LSFIT_ask_acute_angle_of_lines_3d(&x, &y, 1e-6), 90.0, 1e-12);
    EXPECT_NEAR(LSFIT_ask_acute_angle_of_lines_3d(&x, &d45, 1e-6), 45.0, 1e-12);
    EXPECT_NEAR(LSFIT_ask_acute_angle_of_lines_3d(&x, &d135, 1e-6), 45.0, 1e-12);
    EXPECT_EQ(LSFIT_ask_acute_angle_of_lines_3d(&x, &mx, 1e-6), 0.0);
    EXPECT_EQ(LSFIT_ask_acute_angle_of_lines_3d(&x, &x, 1e-6), 0.0);
    // Property: the acute angle is acos |d1 . d2|, in any orientation
    // (upright pairs, whose normal lies in the XY plane, included).
    std::mt19937 rng(1);
    for (int trial = 0; trial < 2000; ++trial) {
        Vector3 a = random_unit(rng), b = random_unit(rng);
        if (trial % 4 == 0) {
            const double t = std::atan2(a.y, a.x);
            b = {std::cos(t) * b.x, std::sin(t) * b.x, b.z};
            b = {b.x / norm(b), b.y / norm(b), b.z / norm(b)};
        }
        const double truth = std::acos(std::fmin(1.0, std::fabs(dot(a, b)))) * 180.0 / M_PI;
        const double got = LSFIT_ask_acute_angle_of_lines_3d(&a, &b, 1e-6);
        EXPECT_NEAR(got, truth, 1e-8) << trial;
        EXPECT_GE(got, 0.0);
        EXPECT_LE(got, 90.0);
    }
}

TEST(LineQueries, PointToLine) {
    const Point3 origin{0, 0, 0};
    const Vector3 x{1, 0, 0};
    Point3 foot;
    double t = -1;
    Point3 p{1, 2, 0};
    EXPECT_NEAR(LSFIT_ask_dist_pt_to_line_3d(&p, &origin, &x, 1e-6, &foot, &t), 2.0, 1e-15);
    EXPECT_EQ(t, 1.0);
    EXPECT_TRUE(foot.x == 1 && foot.y == 0 && foot.z == 0);
    p = {0.0000001, 5, 0};
    EXPECT_NEAR(LSFIT_ask_dist_pt_to_line_3d(&p, &origin, &x, 1e-6, &foot, &t), std::hypot(1e-7, 5.0), 1e-15);
    EXPECT_EQ(t, 0.0);
    EXPECT_TRUE(foot.x == 0 && foot.y == 0 && foot.z == 0);
    // The foot may be written over the point itself.
    p = {3, 0, 4};
    EXPECT_NEAR(LSFIT_ask_dist_pt_to_line_3d(&p, &origin, &x, 1e-6, &p, &t), 4.0, 1e-15);
    EXPECT_TRUE(p.x == 3 && p.y == 0 && p.z == 0);

    std::mt19937 rng(2);
    for (int trial = 0; trial < 1000; ++trial) {
        const Point3 q = random_point(rng), l0 = random_point(rng);
        const Vector3 d = random_unit(rng);
        const double dist = LSFIT_ask_dist_pt_to_line_3d(&q, &l0, &d, 1e-9, &foot, &t);
        EXPECT_NEAR(dist, norm(cross(diff(q, l0), d)), 1e-12) << trial;
        EXPECT_NEAR(dot(diff(q, foot), d), 0.0, 1e-12) << trial;
        EXPECT_NEAR(norm(diff(foot, Point3{l0.x + t * d.x, l0.y + t * d.y, l0.z + t * d.z})), 0.0, 1e-12);
    }
}

TEST(LineQueries, TwoLines) {
    const double tols[2] = {1e-6, 1e-4};
    Point3 c1, c2;
    double t1 = -1, t2 = -1;
    bool parallel = true, same = true;
    const Point3 o{0, 0, 0}, up{0, 0, 3}, near_o{0, 1e-8, 0};
    const Vector3 x{1, 0, 0}, y{0, 1, 0}, mx{-1, 0, 0};

    EXPECT_NEAR(LSFIT_ask_dist_of_two_straight_lines(&o, &x, &up, &y, tols, &c1, &t1, &c2, &t2, &parallel, &same),
                3.0, 1e-15);
    EXPECT_FALSE(parallel);
    EXPECT_FALSE(same);
    EXPECT_TRUE(c1.x == 0 && c1.y == 0 && c1.z == 0 && c2.x == 0 && c2.y == 0 && c2.z == 3);
    EXPECT_EQ(t1, 0.0);
    EXPECT_EQ(t2, 0.0);

    const Point3 a{1, 0, 0}, b{5, 2, 0};
    EXPECT_NEAR(LSFIT_ask_dist_of_two_straight_lines(&a, &x, &b, &mx, tols, &c1, &t1, &c2, &t2, &parallel, &same),
                2.0, 1e-15);
    EXPECT_TRUE(parallel);
    EXPECT_FALSE(same);
    EXPECT_TRUE(c1.x == 1 && c1.y == 0 && t1 == 0.0);
    EXPECT_TRUE(c2.x == 1 && c2.y == 2 && c2.z == 0);
    EXPECT_EQ(t2, 4.0);

    EXPECT_NEAR(LSFIT_ask_dist_of_two_straight_lines(&o, &x, &near_o, &y, tols, &c1, &t1, &c2, &t2, &parallel, &same),
                1e-8, 1e-20);
    EXPECT_TRUE(same);
    EXPECT_FALSE(parallel);
    EXPECT_TRUE(c2.y == 1e-8 && t1 == 0 && t2 == 0);

    // Property: skew lines give the distance |w . (d1 x d2)| / |d1 x d2|
    // with c1 - c2 perpendicular to both directions.
    std::mt19937 rng(3);
    for (int trial = 0; trial < 1000; ++trial) {
        const Point3 p1 = random_point(rng), p2 = random_point(rng);
        const Vector3 d1 = random_unit(rng), d2 = random_unit(rng);
        const Vector3 n = cross(d1, d2);
        if (norm(n) < 1e-3) continue;
        const double dist =
            LSFIT_ask_dist_of_two_straight_lines(&p1, &d1, &p2, &d2, tols, &c1, &t1, &c2, &t2, &parallel, &same);
        EXPECT_NEAR(dist, std::fabs(dot(diff(p2, p1), n)) / norm(n), 1e-9) << trial;
        EXPECT_NEAR(dot(diff(c1, c2), d1), 0.0, 1e-9) << trial;
        EXPECT_NEAR(dot(diff(c1, c2), d2), 0.0, 1e-9) << trial;
        EXPECT_NEAR(c1.x, p1.x + t1 * d1.x, 1e-12);
        EXPECT_NEAR(c2.z, p2.z + t2 * d2.z, 1e-12);
        EXPECT_FALSE(parallel);
    }
}

#endif
