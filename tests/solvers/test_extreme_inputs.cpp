// Dense solvers on extreme but valid input: subnormal and huge coefficients.
// A reported success must come with a finite, correct solution.
#include <quorm/quorm.h>

#include <corvex/exception.hpp>
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

namespace {

#if QUORM_FULL_BUILD
TEST(ExtremeSolves, ClosedFormSolversScaleSubnormalEquations) {
    const double a2[4] = {4.9406564584124654e-324, 0, -7, -8}, b2[2] = {0, 14};
    double x2[2];
    ASSERT_EQ(SOLVE_solve_2equations(a2, b2, x2), 0);
    EXPECT_EQ(x2[0], 0.0);
    EXPECT_EQ(x2[1], -1.75);
}
#endif

TEST(ExtremeSolves, ThreeEquationsWithASubnormalRow) {
    const double a[9] = {1, 0, 0, 0, 1e-310, 0, 0, 0, 1}, b[3] = {1, 1e-310, 1};
    double x[3];
    ASSERT_EQ(SOLVE_solve_3equations(a, b, x), 0);
    EXPECT_DOUBLE_EQ(x[0], 1.0);
    EXPECT_DOUBLE_EQ(x[1], 1.0);
    EXPECT_DOUBLE_EQ(x[2], 1.0);
}

// Solves the n x n system (rows of a) with SOLVE_lu_solver; returns its
// result and the solution in x.
int lu_solve(std::vector<std::vector<double>> a, std::vector<double> b, std::vector<double> *x) {
    const int n = static_cast<int>(b.size());
    std::vector<double *> rows, brows;
    for (int i = 0; i < n; ++i) {
        rows.push_back(a[i].data());
        brows.push_back(&b[i]);
    }
    const int result = SOLVE_lu_solver(rows.data(), brows.data(), n, 1);
    *x = b;
    return result;
}

TEST(ExtremeSolves, LuSolverSuccessIsFinite) {
    std::vector<double> x;
    // Row-scaled condition about 1: solved.
    ASSERT_EQ(lu_solve({{1e10, 1e300}, {1e-300, 0}}, {1e300, 1e-300}, &x), 0);
    EXPECT_DOUBLE_EQ(x[0], 1.0);
    EXPECT_DOUBLE_EQ(x[1], 1.0);
    ASSERT_EQ(lu_solve({{-17.9453125, -157848638062592}, {3.2114266979681025e-322, 0}}, {0, 0}, &x), 0);
    EXPECT_EQ(x[0], 0.0);
    EXPECT_EQ(x[1], 0.0);
    // Whatever the outcome, success is finite.
    if (lu_solve({{DBL_MAX, 1}, {1, DBL_MAX}}, {1, 1}, &x) == 0) {
        EXPECT_TRUE(std::isfinite(x[0]) && std::isfinite(x[1]));
    }
    EXPECT_EQ(lu_solve({{1, 2}, {3, 4}}, {INFINITY, 1}, &x), 1);
    // Singular through a zero pivot: no solution, b untouched.
    const double c = -2.2794445463012076e-90;
    EXPECT_EQ(lu_solve({{c, c}, {c, c}}, {-1.0408340855860843e-15, 0}, &x), 1);
    EXPECT_EQ(x[0], -1.0408340855860843e-15);
}

TEST(ExtremeSolves, InverseOfTransformsWithHugeEntriesIsFiniteOrRefused) {
    const MTX4_s cases[] = {{{DBL_MAX, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
                            {{DBL_MAX, DBL_MAX, 0, 0, 1, 2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
                            {{1e-300, 1, 0, 0, 1, 1e300, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
                            {{1e-300, -DBL_MAX, 1, 1e-300, 1, 0, -1, -DBL_MAX, -DBL_MAX, 0, -DBL_MAX, 1, 0.5, -DBL_MAX,
                              1, 0}}};
    for (const MTX4_s &m : cases) {
        MTX4_s inverse;
        if (MTX4_invert(&m, &inverse) == 0) {
            for (double e : inverse.elem) EXPECT_TRUE(std::isfinite(e));
        }
    }
}

TEST(ExtremeSolves, MatrixCopiesWithoutColumnsTouchNothing) {
    NR_matrix_copy_1d_to_2d(nullptr, 3, 0, nullptr);
    NR_matrix_copy_2d_to_1d(nullptr, 3, 0, nullptr);
    double *data = nullptr;
    EXPECT_THROW(NR_2d_matrix_allo(0x7fffffff, 0x7fffffff, &data), Kaltor::Error::Exception);
    EXPECT_EQ(data, nullptr);
}

} // namespace
