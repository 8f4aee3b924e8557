// Singular value decomposition and the least-squares solver: the defining
// properties on random, rank-deficient and ill-conditioned matrices, and
// agreement with LAPACK's SVD and minimum-norm least squares where it is
// installed.
#include "solvers/dense.hpp"

#include <corvex/capture.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#if QUORM_HAVE_LAPACK
extern "C" {
void dgesvd_(const char *jobu, const char *jobvt, const int *m, const int *n, double *a, const int *lda, double *s,
             double *u, const int *ldu, double *vt, const int *ldvt, double *work, const int *lwork, int *info);
void dgelss_(const int *m, const int *n, const int *nrhs, double *a, const int *lda, double *b, const int *ldb,
             double *s, const double *rcond, int *rank, double *work, const int *lwork, int *info);
}
#endif

using quorm_test::Dense;

namespace {

// m x k with orthonormal columns (Gram-Schmidt of a random matrix).
Dense orthonormal(int m, int k, std::mt19937 &rng) {
    Dense q = Dense::random(m, k, rng);
    for (int j = 0; j < k; ++j) {
        for (int pass = 0; pass < 2; ++pass)
            for (int p = 0; p < j; ++p) {
                double s = 0.0;
                for (int i = 0; i < m; ++i) s += q.at(i, j) * q.at(i, p);
                for (int i = 0; i < m; ++i) q.at(i, j) -= s * q.at(i, p);
            }
        double l = 0.0;
        for (int i = 0; i < m; ++i) l += q.at(i, j) * q.at(i, j);
        for (int i = 0; i < m; ++i) q.at(i, j) /= std::sqrt(l);
    }
    return q;
}

// An m x n matrix (m >= n) with exactly the singular values s.
Dense with_singular_values(int m, const std::vector<double> &s, std::mt19937 &rng) {
    const int n = static_cast<int>(s.size());
    Dense u = orthonormal(m, n, rng), v = orthonormal(n, n, rng), a(m, n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) {
            double sum = 0.0;
            for (int k = 0; k < n; ++k) sum += u.at(i, k) * s[k] * v.at(j, k);
            a.at(i, j) = sum;
        }
    return a;
}

double max_abs(const Dense &a) {
    double m = 0.0;
    for (double v : a.data) m = std::max(m, std::fabs(v));
    return m;
}

// The test matrices: random, rank-deficient (rank n/2) and ill-conditioned
// (singular values from 1 down to 1e-14).
Dense test_matrix(int kind, int m, int n, std::mt19937 &rng) {
    if (kind == 0) return Dense::random(m, n, rng);
    std::vector<double> s(n);
    for (int k = 0; k < n; ++k)
        s[k] = kind == 1 ? (k < n / 2 ? 1.0 + k : 0.0) : std::pow(10.0, -14.0 * k / std::max(1, n - 1));
    std::shuffle(s.begin(), s.end(), rng);
    return with_singular_values(m, s, rng);
}

struct Svd {
    Dense u, v;
    std::vector<double> w;
};

Svd decompose(const Dense &a) {
    Svd r{a, Dense(a.columns, a.columns), std::vector<double>(a.columns)};
    SOLVE_svd_decompose(r.u.ptr(), a.rows, a.columns, r.w.data(), r.v.ptr());
    return r;
}

// |U.diag(w).V^T - a| over |a| and the departures of V^T.V and (over the
// columns with non-zero w) U^T.U from the identity.
void check_factors(const Dense &a, const Svd &d, double tol) {
    const int m = a.rows, n = a.columns;
    double w_max = 0.0;
    for (double w : d.w) {
        ASSERT_GE(w, 0.0);
        w_max = std::max(w_max, w);
    }
    double worst = 0.0;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0.0;
            for (int k = 0; k < n; ++k) s += d.u.at(i, k) * d.w[k] * d.v.at(j, k);
            worst = std::max(worst, std::fabs(s - a.at(i, j)));
        }
    // Bidiagonal elements up to 1e-12 are dropped outright.
    EXPECT_LE(worst, std::max(tol * max_abs(a), 2e-12));
    for (int p = 0; p < n; ++p)
        for (int q = 0; q <= p; ++q) {
            double sv = 0.0, su = 0.0;
            for (int k = 0; k < n; ++k) sv += d.v.at(k, p) * d.v.at(k, q);
            for (int i = 0; i < m; ++i) su += d.u.at(i, p) * d.u.at(i, q);
            EXPECT_NEAR(sv, p == q ? 1.0 : 0.0, tol);
            if (d.w[p] > 1e-10 * w_max && d.w[q] > 1e-10 * w_max) {
                EXPECT_NEAR(su, p == q ? 1.0 : 0.0, tol);
            }
        }
}

} // namespace

// The defining properties, and the singular values and minimum-norm least
// squares solutions of LAPACK, on matrices up to 50 x 20.
TEST(Svd, MatchesLapackOnRandomRankDeficientAndIllConditioned) {
    std::mt19937 rng(2015);
    const int shapes[][2] = {{3, 3}, {10, 3}, {7, 5}, {20, 20}, {50, 20}, {33, 17}};
    for (int kind = 0; kind < 3; ++kind)
        for (auto shape : shapes)
            for (int rep = 0; rep < 4; ++rep) {
                const int m = shape[0], n = shape[1];
                SCOPED_TRACE(::testing::Message() << "kind " << kind << ", " << m << " x " << n << ", rep " << rep);
                const Dense a = test_matrix(kind, m, n, rng);
                Svd d = decompose(a);
                check_factors(a, d, 1e-12);
                if (HasFailure()) return;
                std::vector<double> b(m), x(n);
                std::uniform_real_distribution<double> u(-1.0, 1.0);
                for (double &v : b) v = u(rng);
                Dense work = a;
                int rank = n;
                SOLVE_svd_solver(work.ptr(), m, &rank, b.data(), x.data());
#if QUORM_HAVE_LAPACK
                std::vector<double> col(static_cast<size_t>(m) * n), s(n), vt(1), uu(1), lw(1), bb = b;
                for (int i = 0; i < m; ++i)
                    for (int j = 0; j < n; ++j) col[static_cast<size_t>(j) * m + i] = a.at(i, j);
                std::vector<double> col2 = col;
                int lwork = -1, info = 0, one = 1, rank_l = 0;
                dgesvd_("N", "N", &m, &n, col.data(), &m, s.data(), uu.data(), &one, vt.data(), &one, lw.data(),
                        &lwork, &info);
                lwork = static_cast<int>(lw[0]);
                std::vector<double> wk(lwork);
                dgesvd_("N", "N", &m, &n, col.data(), &m, s.data(), uu.data(), &one, vt.data(), &one, wk.data(),
                        &lwork, &info);
                ASSERT_EQ(info, 0);
                std::vector<double> w = d.w;
                std::sort(w.begin(), w.end(), std::greater<double>());
                for (int k = 0; k < n; ++k) EXPECT_NEAR(w[k], s[k], 1e-12 * s[0]);

                const double rcond = 1e-8;
                lwork = -1;
                dgelss_(&m, &n, &one, col2.data(), &m, bb.data(), &m, s.data(), &rcond, &rank_l, lw.data(), &lwork,
                        &info);
                lwork = static_cast<int>(lw[0]);
                wk.assign(lwork, 0.0);
                dgelss_(&m, &n, &one, col2.data(), &m, bb.data(), &m, s.data(), &rcond, &rank_l, wk.data(), &lwork,
                        &info);
                ASSERT_EQ(info, 0);
                EXPECT_EQ(rank, rank_l);
                // The ill-conditioned matrices keep singular values down to
                // 1e-8, whose vectors the absolute 1e-12 splitting threshold
                // settles only to about 1e-12 / 1e-8.
                double size = 0.0;
                for (int k = 0; k < n; ++k) size = std::max(size, std::fabs(bb[k]));
                for (int k = 0; k < n; ++k) EXPECT_NEAR(x[k], bb[k], (kind == 2 ? 1e-4 : 1e-10) * size);
#else
                EXPECT_EQ(rank, kind == 1 ? n / 2 : n);
#endif
            }
}

TEST(Svd, SmallCasesSignsAndRankOutput) {
    // Diagonal with a negative entry: U and V are the identity up to column
    // signs, w the absolute diagonal.
    Dense a(3, 3, {2, 0, 0, 0, -5, 0, 0, 0, 0.5});
    Svd d = decompose(a);
    check_factors(a, d, 1e-15);
    std::vector<double> w = d.w;
    std::sort(w.begin(), w.end());
    EXPECT_EQ(w, (std::vector<double>{0.5, 2, 5}));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(std::fabs(d.u.at(i, j)), i == j ? 1.0 : 0.0);
            EXPECT_EQ(std::fabs(d.v.at(i, j)), i == j ? 1.0 : 0.0);
        }

    // Rank 1, 3 x 2: x = (1, 2) / 5 . (b . (1, 2, 3)) / 14 is the
    // minimum-norm least-squares solution of [1 2; 2 4; 3 6] x = b.
    Dense r(3, 2, {1, 2, 2, 4, 3, 6});
    const double b[3] = {1, 1, 1};
    double x[2];
    int n = 2;
    SOLVE_svd_solver(r.ptr(), 3, &n, b, x);
    EXPECT_EQ(n, 1);
    EXPECT_NEAR(x[0], 6.0 / 70.0, 1e-15);
    EXPECT_NEAR(x[1], 12.0 / 70.0, 1e-15);

    // Threshold 0 keeps a tiny singular value; the default drops it.
    Dense t(2, 2, {1, 0, 0, 1e-10});
    n = 2;
    SOLVE_svd_solver_r(t.ptr(), 2, &n, b, x, 0.0);
    EXPECT_EQ(n, 2);
    EXPECT_NEAR(x[1], 1e10, 1e-5);
    Dense t2(2, 2, {1, 0, 0, 1e-10});
    n = 2;
    SOLVE_svd_solver(t2.ptr(), 2, &n, b, x);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(x[1], 0.0);

    // The zero matrix has rank 0 and the zero solution.
    Dense z(3, 2);
    n = 2;
    SOLVE_svd_solver(z.ptr(), 3, &n, b, x);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(x[0], 0.0);
    EXPECT_EQ(x[1], 0.0);
}

TEST(Svd, WideMatricesAndBadInputAreNotedNotFatal) {
    std::mt19937 rng(7);
    Kaltor::Corvex::MessageCapture capture;
    const Dense a = Dense::random(3, 5, rng);
    Svd d = decompose(a);
    ASSERT_EQ(capture.notes().size(), 1u);
    EXPECT_EQ(capture.notes()[0], "SVDCMP: You must augment A with extra zero rows");
    check_factors(a, d, 1e-13);
    int zeros = 0;
    for (double w : d.w) zeros += w < 1e-13;
    EXPECT_GE(zeros, 2);

    capture.clear();
    Dense bad(4, 3);
    bad.at(1, 1) = std::numeric_limits<double>::quiet_NaN();
    decompose(bad);
    EXPECT_FALSE(capture.notes().empty());
    for (const std::string &note : capture.notes()) EXPECT_EQ(note, "No convergence in 30 SVDCMP iterations");
}
