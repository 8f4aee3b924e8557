// LU decomposition, substitution and the multi-right-hand-side driver.
#include "solvers/dense.hpp"

#include <corvex/exception.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using quorm_test::Dense;

namespace {

// Multiplies the factors back together (undoing the recorded exchanges in
// reverse) and returns the largest difference to the original matrix.
double reconstruction_error(const Dense &lu, const int *index, const Dense &original) {
    const int n = lu.rows;
    Dense prod(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0.0;
            for (int k = 0; k <= std::min(i, j); ++k) s += (k == i ? 1.0 : lu.at(i, k)) * lu.at(k, j);
            prod.at(i, j) = s;
        }
    for (int j = n - 1; j >= 0; --j)
        if (index[j] != j)
            for (int k = 0; k < n; ++k) std::swap(prod.at(j, k), prod.at(index[j], k));
    double worst = 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) worst = std::max(worst, std::fabs(prod.at(i, j) - original.at(i, j)));
    return worst;
}

} // namespace

TEST(LuDecomposition, FactorsReproduceTheMatrixSmallAndLarge) {
    std::mt19937 rng(11);
    for (int n : {1, 2, 3, 4, 7, 16, 17, 40}) {
        Dense a = Dense::random(n, n, rng);
        Dense lu = a;
        std::vector<int> index(n, -1);
        double parity = 0.0;
        long blocks = CORVEX_blocks_in_use();
        ASSERT_EQ(ludcmp_a(lu.ptr(), n, index.data(), &parity), 0) << n;
        EXPECT_EQ(CORVEX_blocks_in_use(), blocks) << "work buffers freed, n = " << n;
        EXPECT_TRUE(parity == 1.0 || parity == -1.0);
        for (int j = 0; j < n; ++j) EXPECT_TRUE(index[j] >= j && index[j] < n);
        EXPECT_LT(reconstruction_error(lu, index.data(), a), 1e-13) << n;
    }
}

TEST(LuDecomposition, UnrolledOrderFourMatchesTheGeneralLoop) {
    // The 4x4 case has its own unrolled code.  Bordered by a unit row and
    // column, the same matrix goes through the general loop and must come out
    // with the same factors bit for bit, the same exchanges and parity.  Small
    // integers give ties between candidate pivots (the last must win).
    std::mt19937 rng(12);
    std::uniform_int_distribution<int> small(-3, 3);
    int compared = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Dense a = Dense::random(4, 4, rng);
        if (trial % 2 == 1)
            for (double &v : a.data) v = small(rng);
        Dense four = a, five(5, 5);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) five.at(i, j) = a.at(i, j);
        five.at(4, 4) = 1.0;
        int index4[4], index5[5];
        double parity4 = 0.0, parity5 = 0.0;
        const int result4 = ludcmp_a(four.ptr(), 4, index4, &parity4);
        bool zero_pivot = result4 != 0;
        for (int i = 0; i < 4 && !zero_pivot; ++i) zero_pivot = four.at(i, i) == QUORM_LU_ZERO_PIVOT;
        if (zero_pivot) continue; // the bordered matrix would then pivot on its unit row
        ASSERT_EQ(ludcmp_a(five.ptr(), 5, index5, &parity5), 0);
        ++compared;
        EXPECT_EQ(parity4, parity5) << trial;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(index4[i], index5[i]) << trial;
            for (int j = 0; j < 4; ++j) EXPECT_EQ(four.at(i, j), five.at(i, j)) << trial << " " << i << j;
        }
    }
    EXPECT_GT(compared, 2500);

    // A zero row fails before anything is written.
    Dense zero_row(4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0, 9, 1, 2, 3});
    const Dense before = zero_row;
    int index[4];
    double parity;
    EXPECT_EQ(ludcmp_a(zero_row.ptr(), 4, index, &parity), 1);
    EXPECT_EQ(zero_row.data, before.data);
}

TEST(LuDecomposition, PivotsByRowsWeighedByTheirLargestElement) {
    // Column 0 holds 1 in a row whose largest element is 1e6 and 0.5 in a
    // row whose largest element is 1: relative to its row, 0.5 is the larger,
    // so row 1 becomes the pivot row (plain partial pivoting, or weighing by
    // the row maximum instead of its inverse, would keep row 0).
    Dense a(2, 2, {1.0, 1e6, 0.5, 1.0});
    int index[2];
    double parity;
    ASSERT_EQ(ludcmp_a(a.ptr(), 2, index, &parity), 0);
    EXPECT_EQ(index[0], 1);
    EXPECT_EQ(parity, -1.0);
    EXPECT_EQ(a.at(0, 0), 0.5);
    EXPECT_EQ(a.at(1, 0), 2.0);

    // Equal weighed candidates: the last one wins.
    Dense tie(2, 2, {1.0, 0.0, 1.0, 1.0});
    ASSERT_EQ(ludcmp_a(tie.ptr(), 2, index, &parity), 0);
    EXPECT_EQ(index[0], 1);
    // The row pointers themselves stay in place; the contents move.
    double *row0 = tie.ptr()[0];
    EXPECT_EQ(row0, &tie.at(0, 0));
}

TEST(LuDecomposition, ZeroRowFailsZeroPivotIsReplaced) {
    Dense zero_row(3, 3, {1, 2, 3, 0, 0, 0, 4, 5, 7});
    int index[3];
    double parity;
    EXPECT_EQ(ludcmp_a(zero_row.ptr(), 3, index, &parity), 1);

    // Singular only through a zero pivot: the decomposition succeeds and the
    // marker value in U's diagonal tells the caller.
    Dense ones(2, 2, {1, 1, 1, 1});
    EXPECT_EQ(ludcmp_a(ones.ptr(), 2, index, &parity), 0);
    EXPECT_EQ(ones.at(1, 1), QUORM_LU_ZERO_PIVOT);

    // A scaling with a zero factor, columns permuted: no zero row, but a
    // pivot of exactly 0.
    Dense scaling(3, 3, {2, 0, 0, 0, 0, 1, 0, 0, 3});
    EXPECT_EQ(ludcmp_a(scaling.ptr(), 3, index, &parity), 0);
    bool marked = false;
    for (int i = 0; i < 3; ++i) marked = marked || scaling.at(i, i) == QUORM_LU_ZERO_PIVOT;
    EXPECT_TRUE(marked);
}

TEST(LuDecomposition, DeterminantFromParityAndDiagonal) {
    Dense a(3, 3, {0, 2, 1, 1, 1, 1, 3, 0, 4});
    const double det = 0 * (1 * 4 - 1 * 0) - 2 * (1 * 4 - 1 * 3) + 1 * (1 * 0 - 1 * 3);
    int index[3];
    double parity;
    ASSERT_EQ(ludcmp_a(a.ptr(), 3, index, &parity), 0);
    EXPECT_NEAR(parity * a.at(0, 0) * a.at(1, 1) * a.at(2, 2), det, 1e-13);
}

TEST(LuDecomposition, DegenerateCountsAndNaNInput) {
    int index[4] = {-7, -7, -7, -7};
    double parity = 0.0;
    EXPECT_EQ(ludcmp_a(nullptr, 0, index, &parity), 0);
    EXPECT_EQ(parity, 1.0);
    lubksb_a(nullptr, 0, index, nullptr);

    const int saved = MACH__checking_level;
    EXPECT_THROW(ludcmp_a(nullptr, -1, index, &parity), Kaltor::Error::Exception);
    MACH__checking_level = 0;
    EXPECT_EQ(ludcmp_a(nullptr, -1, index, &parity), 1);
    MACH__checking_level = saved;

    // NaNs win no pivot comparison: the step must still pick a row in range
    // and the substitution must finish.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (Dense a : {Dense(3, 3, {nan, 1, 2, nan, 3, 1, nan, 1, 5}), Dense(3, 3, {1, nan, 2, 2, 3, nan, nan, 1, 5}),
                    Dense(3, 3, {nan, nan, nan, nan, nan, nan, nan, nan, nan})}) {
        ludcmp_a(a.ptr(), 3, index, &parity);
        for (int j = 0; j < 3; ++j) EXPECT_TRUE(index[j] >= 0 && index[j] < 3);
        double b[3] = {1, 2, 3};
        lubksb_a(a.ptr(), 3, index, b);
    }
}

TEST(LuSubstitution, BadPivotIndexIsRefusedNotFollowed) {
    Dense a(2, 2, {1, 0, 0, 1});
    int index[2] = {0, 5};
    double b[2] = {1, 2};
    EXPECT_THROW(lubksb_a(a.ptr(), 2, index, b), Kaltor::Error::Exception);
    const int saved = MACH__checking_level;
    MACH__checking_level = 0;
    double c[2] = {1, 2};
    lubksb_a(a.ptr(), 2, index, c);
    MACH__checking_level = saved;
    EXPECT_EQ(c[0], 1.0);
    EXPECT_EQ(c[1], 2.0);
}

TEST(LuSolver, BackwardErrorOfRandomSystemsUpToOrder200) {
    std::mt19937 rng(2024);
    for (int n : {1, 2, 3, 4, 5, 8, 16, 17, 31, 64, 100, 200}) {
        for (int trial = 0; trial < (n < 50 ? 20 : 3); ++trial) {
            Dense a = Dense::random(n, n, rng);
            Dense b = Dense::random(n, 3, rng);
            Dense lu = a, x = b;
            ASSERT_EQ(SOLVE_lu_solver(lu.ptr(), x.ptr(), n, 3), 0);
            for (int c = 0; c < 3; ++c) EXPECT_LT(quorm_test::backward_error(a, x, b, c), 1e-14) << n;
        }
    }
}

TEST(LuSolver, LeadingZerosOfTheRightHandSide) {
    // The substitution skips the leading zeros of the permuted b; solutions
    // of unit vectors must still be the columns of the inverse.
    std::mt19937 rng(5);
    const int n = 6;
    Dense a = Dense::random(n, n, rng);
    Dense inv = Dense::identity(n);
    Dense lu = a;
    ASSERT_EQ(SOLVE_lu_solver(lu.ptr(), inv.ptr(), n, n), 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0.0;
            for (int k = 0; k < n; ++k) s += a.at(i, k) * inv.at(k, j);
            EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-13);
        }
}

TEST(LuSolver, NoRightHandSidesAndFailures) {
    Dense a(2, 2, {4, 3, 6, 3});
    Dense b(2, 1, {7, 9});
    ASSERT_EQ(SOLVE_lu_solver(a.ptr(), b.ptr(), 2, 0), 0);
    EXPECT_EQ(a.at(0, 0), 6.0);  // decomposed: pivot row 1
    EXPECT_EQ(b.at(0, 0), 7.0);
    EXPECT_EQ(b.at(1, 0), 9.0);

    long blocks = CORVEX_blocks_in_use();
    Dense z(2, 2, {0, 0, 1, 1});
    EXPECT_EQ(SOLVE_lu_solver(z.ptr(), b.ptr(), 2, 1), 1);
    EXPECT_EQ(b.at(0, 0), 7.0);
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);

    // Nearly singular but not exactly: solved, with a small residual.
    Dense near(2, 2, {1, 1, 1, 1 + 1e-12});
    Dense rhs(2, 1, {2, 2 + 1e-12});
    Dense x = rhs, keep = near;
    ASSERT_EQ(SOLVE_lu_solver(near.ptr(), x.ptr(), 2, 1), 0);
    EXPECT_LT(quorm_test::backward_error(keep, x, rhs, 0), 1e-15);
}
