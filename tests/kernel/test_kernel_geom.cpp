// Kernel geometry primitives: direction angle, projection onto a 3-D line,
// plane-plane intersection, against direct formulas on random input.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr double kPi = 3.141592653589793;

// Sets the number tolerance of the equality-tolerance table for one test.
class NumberTolerance {
  public:
    explicit NumberTolerance(double tol) : saved_(acom.eq_tol[0]) { acom.eq_tol[0] = tol; }
    ~NumberTolerance() { acom.eq_tol[0] = saved_; }

  private:
    double saved_;
};

double dot(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

} // namespace

TEST(KernelGeom, DirectionAngleStaysInOneTurnAndSnaps) {
    NumberTolerance tol(1e-10);
    double y = 0, x = -1, a;
    h053(&y, &x, &a);
    EXPECT_EQ(a, kPi);
    y = -1, x = 0;
    h053(&y, &x, &a);
    EXPECT_EQ(a, 1.5 * kPi);
    y = -1, x = 5e-11; // x within the tolerance
    h053(&y, &x, &a);
    EXPECT_EQ(a, 1.5 * kPi);
    y = -1e-3, x = 1e13; // atan2 + 2 pi would round to 2 pi
    h053(&y, &x, &a);
    EXPECT_LT(a, 2 * kPi);
    EXPECT_GE(a, 0.0);
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int n = 0; n < 5000; ++n) {
        y = std::pow(10.0, 6 * u(rng)) * u(rng);
        x = std::pow(10.0, 6 * u(rng)) * u(rng);
        h053(&y, &x, &a);
        ASSERT_GE(a, 0.0);
        ASSERT_LT(a, 2 * kPi);
        if (std::fabs(y) > 1e-10 && std::fabs(x) > 1e-10) {
            // Same direction as (x, y).
            ASSERT_NEAR(std::cos(a) * y - std::sin(a) * x, 0.0, 1e-12 * std::hypot(x, y));
            ASSERT_GT(std::cos(a) * x + std::sin(a) * y, 0.0);
        }
    }
}

TEST(KernelGeom, ProjectionOntoALine) {
    NumberTolerance tol(1e-10);
    std::mt19937 rng(22);
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    for (int n = 0; n < 2000; ++n) {
        double a[3], b[3], p[3], f[3];
        for (int i = 0; i < 3; ++i) a[i] = u(rng), b[i] = u(rng), p[i] = u(rng);
        h430(a, b, p, f);
        const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const double w[3] = {p[0] - f[0], p[1] - f[1], p[2] - f[2]};
        const double af[3] = {f[0] - a[0], f[1] - a[1], f[2] - a[2]};
        ASSERT_NEAR(dot(w, d), 0.0, 1e-10 * dot(d, d));
        // The foot lies on the line: a - f parallel to d.
        const double c[3] = {af[1] * d[2] - af[2] * d[1], af[2] * d[0] - af[0] * d[2], af[0] * d[1] - af[1] * d[0]};
        ASSERT_NEAR(std::sqrt(dot(c, c)), 0.0, 1e-10 * dot(d, d));
        h430(a, b, p, p); // output may be the point
        ASSERT_EQ(p[0], f[0]);
    }
    const double a[3] = {1, 2, 3}, b[3] = {1, 2, 3 + 1e-11}, p[3] = {7, 7, 7};
    double f[3];
    h430(a, b, p, f);
    EXPECT_EQ(f[2], 3.0);
}

TEST(KernelGeom, PlanePlaneIntersection) {
    NumberTolerance tol(1e-10);
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> u(-5.0, 5.0);
    for (int n = 0; n < 2000; ++n) {
        double p1[4], p2[4], x[3], d[3];
        for (int i = 0; i < 4; ++i) p1[i] = u(rng), p2[i] = u(rng);
        int result = 0;
        h705(p1, p2, x, d, &result);
        ASSERT_EQ(result, 2);
        ASSERT_NEAR(dot(p1, x) + p1[3], 0.0, 1e-9 * (1 + std::fabs(p1[3])));
        ASSERT_NEAR(dot(p2, x) + p2[3], 0.0, 1e-9 * (1 + std::fabs(p2[3])));
        ASSERT_NEAR(dot(d, d), 1.0, 1e-14);
        ASSERT_NEAR(dot(d, p1), 0.0, 1e-12 * std::sqrt(dot(p1, p1)));
        ASSERT_NEAR(dot(d, p2), 0.0, 1e-12 * std::sqrt(dot(p2, p2)));
        // The point nearest the origin: perpendicular to the line.
        ASSERT_NEAR(dot(x, d), 0.0, 1e-9 * (1 + std::sqrt(dot(x, x))));
    }
    double x[3] = {9, 9, 9}, d[3];
    int result;
    const double a[4] = {1, 1, 0, 2}, parallel[4] = {2, 2, 0, 1}, same[4] = {-3, -3, 0, -6}, null[4] = {0, 0, 0, 1};
    h705(a, parallel, x, d, &result);
    EXPECT_EQ(result, 1);
    h705(a, same, x, d, &result);
    EXPECT_EQ(result, 3);
    h705(a, null, x, d, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(x[0], 9.0);
}
