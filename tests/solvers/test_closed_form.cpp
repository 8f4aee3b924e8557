// Closed-form 2x2 and 3x3 solvers.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

// The plain formulas, for comparison on ordinary input.
double plain_det3(const double *a) {
    return a[0] * (a[4] * a[8] - a[7] * a[5]) - a[3] * (a[1] * a[8] - a[7] * a[2]) +
           a[6] * (a[1] * a[5] - a[4] * a[2]);
}

} // namespace

#if QUORM_FULL_BUILD
TEST(Solve2Equations, ExactZeroDeterminantOnlyFails) {
    const double singular[4] = {1, 2, 2, 4}, b[2] = {1, 1};
    double x[2] = {7, 8};
    EXPECT_EQ(SOLVE_solve_2equations(singular, b, x), 1);
    EXPECT_EQ(x[0], 7.0);
    EXPECT_EQ(x[1], 8.0);

    // Tiny and huge systems: the plain determinant would underflow to 0 or
    // overflow, yet neither is singular.
    const double tiny[4] = {1e-300, 0, 0, 1e-300}, tiny_b[2] = {1e-300, 2e-300};
    ASSERT_EQ(SOLVE_solve_2equations(tiny, tiny_b, x), 0);
    EXPECT_DOUBLE_EQ(x[0], 1.0);
    EXPECT_DOUBLE_EQ(x[1], 2.0);
    const double huge[4] = {1e200, 0, 0, 1e200}, huge_b[2] = {1e200, 3e200};
    ASSERT_EQ(SOLVE_solve_2equations(huge, huge_b, x), 0);
    EXPECT_DOUBLE_EQ(x[0], 1.0);
    EXPECT_DOUBLE_EQ(x[1], 3.0);
    // Equations of very different size.
    const double mixed[4] = {1e-300, 2e-300, 3e300, 1e300}, mixed_b[2] = {5e-300, 5e300};
    ASSERT_EQ(SOLVE_solve_2equations(mixed, mixed_b, x), 0);
    EXPECT_DOUBLE_EQ(x[0], 1.0);
    EXPECT_DOUBLE_EQ(x[1], 2.0);
}

TEST(Solve2Equations, OrdinaryInputGivesThePlainFormulasResults) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(-100.0, 100.0);
    for (int t = 0; t < 1000; ++t) {
        double a[4], b[2], x[2];
        for (double &v : a) v = u(rng);
        for (double &v : b) v = u(rng);
        ASSERT_EQ(SOLVE_solve_2equations(a, b, x), 0);
        double det = a[0] * a[3] - a[1] * a[2];
        EXPECT_EQ(x[0], (a[3] * b[0] - a[1] * b[1]) / det);
        EXPECT_EQ(x[1], (a[0] * b[1] - a[2] * b[0]) / det);
    }
}
#endif

TEST(Solve3Equations, ExactZeroDeterminantOnlyFails) {
    const double singular[9] = {1, 2, 3, 2, 4, 6, 0, 1, 1}, b[3] = {1, 2, 3};
    double x[3] = {7, 8, 9};
    EXPECT_EQ(SOLVE_solve_3equations(singular, b, x), 1);
    EXPECT_EQ(x[0], 7.0);
    EXPECT_EQ(x[2], 9.0);

    for (double s : {1e-300, 1e-200, 1e200, 1e300}) {
        const double a[9] = {s, 0, 0, 0, 2 * s, 0, 0, 0, 4 * s}, rhs[3] = {s, s, s};
        ASSERT_EQ(SOLVE_solve_3equations(a, rhs, x), 0) << s;
        EXPECT_DOUBLE_EQ(x[0], 1.0);
        EXPECT_DOUBLE_EQ(x[1], 0.5);
        EXPECT_DOUBLE_EQ(x[2], 0.25);
    }
}

TEST(Solve3Equations, OrdinaryInputAndAliasing) {
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    for (int t = 0; t < 1000; ++t) {
        double a[9], b[3], x[3];
        for (double &v : a) v = u(rng);
        for (double &v : b) v = u(rng);
        ASSERT_EQ(SOLVE_solve_3equations(a, b, x), 0);
        // Same as the unscaled rule, to the bit.
        const double det = plain_det3(a);
        for (int j = 0; j < 3; ++j) {
            double m[9];
            for (int i = 0; i < 9; ++i) m[i] = i % 3 == j ? b[i / 3] : a[i];
            EXPECT_EQ(x[j], plain_det3(m) / det);
        }
        // x may be b.
        double in_place[3] = {b[0], b[1], b[2]};
        ASSERT_EQ(SOLVE_solve_3equations(a, in_place, in_place), 0);
        for (int j = 0; j < 3; ++j) EXPECT_EQ(in_place[j], x[j]);
    }
}

TEST(Solve3Equations, NonFiniteInputFinishes) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double a[9] = {nan, 1, 0, 0, inf, 0, 0, 0, 1}, b[3] = {1, 1, 1};
    double x[3];
    SOLVE_solve_3equations(a, b, x);  // no assumption on the result beyond finishing
}
