// Banded systems: the band storage with its error register protocol, and the
// compact band LU with partial pivoting, against dense truth.
#include "solvers/dense.hpp"

#include <corvex/exception.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using quorm_test::Dense;

namespace {

class BandedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        merrorflush();
        blocks_ = CORVEX_blocks_in_use();
    }
    void TearDown() override {
        EXPECT_EQ(CORVEX_blocks_in_use(), blocks_) << "storage released";
        merrorflush();
    }
    long blocks_ = 0;
};

// A random n x n band matrix of half-widths m1 (below) and m2 (above);
// diagonally dominant when asked.
Dense random_band(int n, int m1, int m2, bool dominant, std::mt19937 &rng) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Dense a(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = std::max(0, i - m1); j <= std::min(n - 1, i + m2); ++j) a.at(i, j) = u(rng);
    if (dominant)
        for (int i = 0; i < n; ++i) a.at(i, i) += (a.at(i, i) >= 0 ? 1.0 : -1.0) * (m1 + m2 + 1);
    return a;
}

#if QUORM_FULL_BUILD
// Compact storage of a: row i holds columns i - m1 .. i + m2.
Dense compact(const Dense &a, int m1, int m2) {
    const int n = a.rows;
    Dense c(n, m1 + m2 + 1);
    for (int i = 0; i < n; ++i)
        for (int p = 0; p < m1 + m2 + 1; ++p) {
            const int j = i - m1 + p;
            if (j >= 0 && j < n) c.at(i, p) = a.at(i, j);
        }
    return c;
}
#endif

double residual(const Dense &a, const std::vector<double> &x, const std::vector<double> &b) {
    double worst = 0.0;
    for (int i = 0; i < a.rows; ++i) {
        double s = -b[i];
        for (int j = 0; j < a.columns; ++j) s += a.at(i, j) * x[j];
        worst = std::max(worst, std::fabs(s));
    }
    return worst;
}

} // namespace

TEST_F(BandedTest, SetupLaysRowsOutByFullColumnNumbers) {
    double **m = nullptr, *v = nullptr;
    msetup_banded(3, 1, &m, &v);
    ASSERT_NE(m, nullptr);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(merrorlevel(), 0);
    // 2 + 3 + 2 = 7 doubles, zeroed, rows in order.
    const double *block = m[-1];
    EXPECT_EQ(&m[0][0] - block, 0);
    EXPECT_EQ(&m[1][0] - block, 2);
    EXPECT_EQ(&m[2][1] - block, 5);
    EXPECT_EQ(&m[2][2] - block, 6);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(block[i], 0.0);
    mdispose_banded(&m, &v);
    EXPECT_EQ(m, nullptr);
    EXPECT_EQ(v, nullptr);
    mdispose_banded(&m, &v); // null handles are left alone

    for (int bad : {0, -2}) {
        m = reinterpret_cast<double **>(&v); // garbage that must be overwritten
        msetup_banded(bad, 1, &m, &v);
        EXPECT_EQ(m, nullptr);
        EXPECT_EQ(v, nullptr);
        EXPECT_EQ(merrornum(), 280);
        EXPECT_EQ(merrorlevel(), 4);
        merrorflush();
    }
    msetup_banded(3, -1, &m, &v);
    EXPECT_EQ(merrornum(), 280);
    // An error still in the register releases the new storage.
    msetup_banded(3, 1, &m, &v);
    EXPECT_EQ(m, nullptr);
}

TEST_F(BandedTest, FactorAndSolveMatchDenseTruth) {
    std::mt19937 rng(220);
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 1 + trial % 23, w = trial % 5;
        const Dense a = random_band(n, w, w, true, rng);
        double **m, *v;
        msetup_banded(n, w, &m, &v);
        ASSERT_EQ(merrorlevel(), 0);
        for (int i = 0; i < n; ++i)
            for (int j = std::max(0, i - w); j <= std::min(n - 1, i + w); ++j) m[i][j] = a.at(i, j);
#if QUORM_FULL_BUILD
        Dense full(n, n);
        for (double &x : full.data) x = 99.0;
        mconvert_banded(m, n, w, full.ptr());
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) EXPECT_EQ(full.at(i, j), a.at(i, j));
#endif
        std::vector<double> b(n);
        for (double &x : b) x = std::uniform_real_distribution<double>(-5, 5)(rng);
        for (int i = 0; i < n; ++i) v[i] = b[i];
        mdecompose_banded(m, n, w);
        ASSERT_EQ(merrorlevel(), 0);
        msolve_banded(m, n, w, v);
        std::vector<double> x(v, v + n);
        EXPECT_LT(residual(a, x, b), 1e-12) << n << " " << w;
        mdispose_banded(&m, &v);
    }
}

TEST_F(BandedTest, SmallPivotsAreReportedTheLastOneIncluded) {
    struct Case {
        int n, w;
        std::vector<double> rows; // full matrix, row by row
    };
    // A zero first pivot; a singular 2x2 band whose only zero pivot is the
    // last; a zero 1x1 system; a zero on a purely diagonal band.
    const Case cases[] = {{3, 1, {0, 1, 0, 1, 2, 1, 0, 1, 2}},
                          {2, 1, {1, 1, 1, 1}},
                          {1, 1, {0}},
                          {3, 0, {1, 0, 0, 0, 2, 0, 0, 0, 0}}};
    for (const Case &c : cases) {
        double **m, *v;
        msetup_banded(c.n, c.w, &m, &v);
        for (int i = 0; i < c.n; ++i)
            for (int j = std::max(0, i - c.w); j <= std::min(c.n - 1, i + c.w); ++j) m[i][j] = c.rows[i * c.n + j];
        mdecompose_banded(m, c.n, c.w);
        EXPECT_EQ(merrornum(), 7235) << c.n << " " << c.w;
        EXPECT_EQ(merrorlevel(), 4);
        merrorflush();
        mdispose_banded(&m, &v);
    }
}

TEST_F(BandedTest, DumpPrintsZerosOutsideTheBand) {
    double **m, *v;
    msetup_banded(3, 1, &m, &v);
    for (int i = 0; i < 3; ++i) {
        m[i][i] = 2.0;
        v[i] = i;
    }
    m[0][1] = m[1][0] = m[1][2] = m[2][1] = -1.0;
    testing::internal::CaptureStdout();
    mdump_banded(m, v, 3, 1);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string zero = "     0      ";
    EXPECT_EQ(out, "   2.00000    -1.00000  " + zero + "   0.00000\n" +
                       "  -1.00000     2.00000    -1.00000     1.00000\n" + zero +
                       "  -1.00000     2.00000     2.00000\n");
    testing::internal::CaptureStdout();
    mdump_banded(nullptr, v, 3, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "   0.00000\n   1.00000\n   2.00000\n");
    mdispose_banded(&m, &v);
}

#if QUORM_FULL_BUILD
TEST_F(BandedTest, PivotedCompactSolverMatchesDenseTruth) {
    std::mt19937 rng(221);
    for (int trial = 0; trial < 400; ++trial) {
        // Not diagonally dominant: the pivoting has work to do.  m1 may
        // exceed n.
        const int n = 1 + trial % 17, m1 = trial % 6, m2 = (trial / 6) % 4, k = 1 + trial % 3;
        const Dense a = random_band(n, m1, m2, false, rng);
        Dense wide = compact(a, m1, m2); // same matrix with m1 possibly > n
        Dense bcols = Dense::random(n, k, rng), x = bcols;
        const int result = SOLVE_lu_banded_solver(wide.ptr(), x.ptr(), n, k, m1, m2);
        if (result != 0) continue; // a random singular matrix
        for (int col = 0; col < k; ++col) {
            std::vector<double> xc(n), bc(n);
            for (int i = 0; i < n; ++i) {
                xc[i] = x.at(i, col);
                bc[i] = bcols.at(i, col);
            }
            EXPECT_LT(residual(a, xc, bc), 1e-9) << n << " " << m1 << " " << m2;
        }
    }
}

TEST_F(BandedTest, SingularCompactSystemIsReported) {
    // Two equal rows, and a zero matrix.
    Dense a(3, 3, {1, 2, 0, 1, 2, 0, 0, 3, 4});
    Dense c = compact(a, 1, 1);
    Dense b(3, 1, {1, 2, 3});
    EXPECT_EQ(SOLVE_lu_banded_solver(c.ptr(), b.ptr(), 3, 1, 1, 1), 1);
    EXPECT_EQ(b.at(1, 0), 2.0); // untouched
    Dense z(2, 3), b2(2, 1, {1, 1});
    EXPECT_EQ(SOLVE_lu_banded_solver(z.ptr(), b2.ptr(), 2, 1, 1, 1), 1);
    EXPECT_THROW(SOLVE_lu_banded_solver(z.ptr(), b2.ptr(), -1, 1, 1, 1), Kaltor::Error::Exception);
}
#endif
