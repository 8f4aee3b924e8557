// Eigen systems: Jacobi, the generalized symmetric problem and power
// iteration, checked against the defining equations and against LAPACK's
// symmetric solver where it is installed.
#include "solvers/dense.hpp"

#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#if QUORM_HAVE_LAPACK
extern "C" void dsyev_(const char *jobz, const char *uplo, const int *n, double *a, const int *lda, double *w,
                       double *work, const int *lwork, int *info);
#endif

using quorm_test::Dense;

namespace {

// Largest row sum of |a|.
double norm_inf(const Dense &a) {
    double m = 0.0;
    for (int i = 0; i < a.rows; ++i) {
        double s = 0.0;
        for (int j = 0; j < a.columns; ++j) s += std::fabs(a.at(i, j));
        m = std::max(m, s);
    }
    return m;
}

Dense random_symmetric(int n, std::mt19937 &rng) {
    Dense a = Dense::random(n, n, rng);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < i; ++j) a.at(i, j) = a.at(j, i);
    return a;
}

// Q.diag(d).Q^T with Q orthogonal (Gram-Schmidt of a random matrix): a
// symmetric matrix with exactly the eigenvalues d, repeated ones included.
Dense with_eigenvalues(const std::vector<double> &d, std::mt19937 &rng) {
    int n = static_cast<int>(d.size());
    Dense q = Dense::random(n, n, rng);
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < j; ++k) {
            double s = 0.0;
            for (int i = 0; i < n; ++i) s += q.at(i, j) * q.at(i, k);
            for (int i = 0; i < n; ++i) q.at(i, j) -= s * q.at(i, k);
        }
        double l = 0.0;
        for (int i = 0; i < n; ++i) l += q.at(i, j) * q.at(i, j);
        for (int i = 0; i < n; ++i) q.at(i, j) /= std::sqrt(l);
    }
    Dense a(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0.0;
            for (int k = 0; k < n; ++k) s += q.at(i, k) * d[k] * q.at(j, k);
            a.at(i, j) = s;
        }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < i; ++j) a.at(i, j) = a.at(j, i);
    return a;
}

// Checks A.v = lambda.v for every column, orthonormal columns, and (with
// LAPACK) the sorted eigenvalues to tol relative to |A|.  The iteration stops
// once the off-diagonal elements add up to at most 1e-10, so the residual of
// a vector may reach that much whatever the scale of A; the eigenvalues,
// whose error is of second order in the off-diagonal rest, are full-precision.
void check_eigen(const Dense &a, const std::vector<double> &values, const Dense &v, double tol) {
    const int n = a.rows;
    const double na = std::max(norm_inf(a), 1e-300);
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < n; ++i) {
            double s = -values[k] * v.at(i, k);
            for (int j = 0; j < n; ++j) s += a.at(i, j) * v.at(j, k);
            ASSERT_LE(std::fabs(s), tol * na + 1e-10) << "n " << n << " column " << k << " row " << i;
        }
        for (int l = 0; l <= k; ++l) {
            double s = 0.0;
            for (int i = 0; i < n; ++i) s += v.at(i, k) * v.at(i, l);
            ASSERT_NEAR(s, k == l ? 1.0 : 0.0, 1e-12);
        }
    }
#if QUORM_HAVE_LAPACK
    Dense work_a = a;
    std::vector<double> w(n), work(4 * n * n + 64);
    int lwork = static_cast<int>(work.size()), info = 0;
    dsyev_("N", "U", &n, work_a.flat(), &n, w.data(), work.data(), &lwork, &info);
    ASSERT_EQ(info, 0);
    std::vector<double> ours = values;
    std::sort(ours.begin(), ours.end());
    for (int k = 0; k < n; ++k) ASSERT_NEAR(ours[k], w[k], tol * na) << "eigenvalue " << k;
#endif
}

TEST(Jacobi, RandomSymmetricMatricesUpTo20) {
    std::mt19937 rng(5);
    for (int n = 1; n <= 20; ++n) {
        for (int trial = 0; trial < 10; ++trial) {
            Dense a = random_symmetric(n, rng), work = a, v(n, n);
            std::vector<double> values(n);
            int rotations = -1;
            NR_ask_eigenvalues_jacobi(work.ptr(), n, 60, values.data(), v.ptr(), &rotations);
            check_eigen(a, values, v, 1e-12);
            // The lower triangle is left alone.
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < i; ++j) ASSERT_EQ(work.at(i, j), a.at(i, j));
        }
    }
}

TEST(Jacobi, RepeatedEigenvaluesStayFinite) {
    // Equal diagonal values met by a rotation must not divide by their zero
    // difference.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> pick(0, 2);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<double> d(7);
        const double choices[3] = {-1.0, 2.0, 5.0};
        for (double &x : d) x = choices[pick(rng)];
        Dense a = with_eigenvalues(d, rng), work = a, v(7, 7);
        std::vector<double> values(7);
        int rotations;
        NR_ask_eigenvalues_jacobi(work.ptr(), 7, 60, values.data(), v.ptr(), &rotations);
        check_eigen(a, values, v, 1e-12);
    }
    // Two equal diagonal values with a small coupling.
    Dense a(3, 3, {1.0, 1e-11, 0.3, 1e-11, 1.0, 0.0, 0.3, 0.0, 4.0}), work = a, v(3, 3);
    std::vector<double> values(3);
    int rotations;
    NR_ask_eigenvalues_jacobi(work.ptr(), 3, 60, values.data(), v.ptr(), &rotations);
    check_eigen(a, values, v, 1e-12);
}

TEST(Jacobi, DiagonalInputAndIterationLimit) {
    Dense a(3, 3, {3.0, 0.0, 0.0, 0.0, -1.0, 0.0, 0.0, 0.0, 2.0}), v(3, 3);
    std::vector<double> values(3);
    int rotations = -1;
    NR_ask_eigenvalues_jacobi(a.ptr(), 3, 60, values.data(), v.ptr(), &rotations);
    EXPECT_EQ(rotations, 0);
    EXPECT_EQ(values, (std::vector<double>{3.0, -1.0, 2.0}));
    EXPECT_EQ(v.data, Dense::identity(3).data);
    // Already diagonal: no sweep is needed even when none may run.
    NR_ask_eigenvalues_jacobi(a.ptr(), 3, 1, values.data(), v.ptr(), &rotations);
    EXPECT_EQ(rotations, 0);

    long blocks = CORVEX_blocks_in_use();
    std::mt19937 rng(3);
    for (int n : {3, 20}) {
        Dense b = random_symmetric(n, rng), w(n, n);
        std::vector<double> vals(n);
        {
            Kaltor::Corvex::MessageCapture capture(true);
            NR_ask_eigenvalues_jacobi(b.ptr(), n, 1, vals.data(), w.ptr(), &rotations);
            ASSERT_EQ(capture.internals().size(), 1u);
            EXPECT_EQ(capture.internals()[0], "Too many iterations in routine NR_ask_eigenvalues_jacobi.");
        }
        EXPECT_THROW(NR_ask_eigenvalues_jacobi(b.ptr(), n, 2, vals.data(), w.ptr(), &rotations), Kaltor::Error::Severe);
    }
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
}

TEST(GeneralizedEigen, SolvesAgainstTheDirectProduct) {
    std::mt19937 rng(8);
    long blocks = CORVEX_blocks_in_use();
    for (int n = 1; n <= 12; ++n) {
        Dense a = random_symmetric(n, rng), b = Dense::spd(n, rng);
        Dense a_in = a, b_in = b, x(n, n);
        std::vector<double> values(n);
        int rotations, status = -1;
        NR_generalized_eigenvalues_symm(a_in.flat(), b_in.flat(), n, 60, values.data(), x.flat(), &rotations, &status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(a_in.data, a.data);
        // a.x = lambda.b.x, column by column.
        const double scale = norm_inf(a) + norm_inf(b);
        for (int k = 0; k < n; ++k) {
            double xmax = 0.0;
            for (int i = 0; i < n; ++i) xmax = std::max(xmax, std::fabs(x.at(i, k)));
            ASSERT_GT(xmax, 0.0);
            for (int i = 0; i < n; ++i) {
                double s = 0.0;
                for (int j = 0; j < n; ++j) s += (a.at(i, j) - values[k] * b.at(i, j)) * x.at(j, k);
                ASSERT_LE(std::fabs(s), 1e-9 * scale * (1 + std::fabs(values[k])) * xmax) << n << " " << k;
            }
        }
    }
    // With b = I the values are those of a.
    Dense a = random_symmetric(5, rng), id = Dense::identity(5), x(5, 5), work = a, v(5, 5);
    std::vector<double> values(5), direct(5);
    int rotations, status;
    NR_generalized_eigenvalues_symm(a.flat(), id.flat(), 5, 60, values.data(), x.flat(), &rotations, &status);
    NR_ask_eigenvalues_jacobi(work.ptr(), 5, 60, direct.data(), v.ptr(), &rotations);
    std::sort(values.begin(), values.end());
    std::sort(direct.begin(), direct.end());
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(values[k], direct[k], 1e-13);
    // b not positive definite.
    Dense indefinite(2, 2, {1.0, 2.0, 2.0, 1.0}), a2 = Dense::identity(2), x2(2, 2);
    NR_generalized_eigenvalues_symm(a2.flat(), indefinite.flat(), 2, 60, values.data(), x2.flat(), &rotations,
                                    &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
}

TEST(PowerIteration, DominantPairAndNonConvergence) {
    Dense d(2, 2, {3.0, 0.0, 0.0, 1.0});
    double start[2] = {1.0, 1.0}, vec[2], value;
    int status = -1;
    NR_ask_max_eigen_val_vec(2, d.ptr(), 100, start, &value, vec, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(value, 3.0, 1e-9);
    EXPECT_NEAR(vec[0], 1.0, 1e-12);
    EXPECT_NEAR(vec[1], 0.0, 1e-4);

    // A symmetric positive definite matrix: the largest eigenvalue (the
    // iterates settle to 1e-5, the value to about the same).
    std::mt19937 rng(4);
    for (int n = 2; n <= 8; ++n) {
        Dense a = Dense::spd(n, rng), work = a, v(n, n);
        std::vector<double> values(n), s(n, 1.0), x(n);
        int rotations;
        NR_ask_eigenvalues_jacobi(work.ptr(), n, 60, values.data(), v.ptr(), &rotations);
        NR_ask_max_eigen_val_vec(n, a.ptr(), 10000, s.data(), &value, x.data(), &status);
        EXPECT_EQ(status, 0);
        EXPECT_NEAR(value, *std::max_element(values.begin(), values.end()), 1e-4 * value);
    }

    // Swapping matrix: the iterates alternate and never settle.
    Dense swap(2, 2, {0.0, 1.0, 1.0, 0.0});
    double e1[2] = {1.0, 0.0};
    NR_ask_max_eigen_val_vec(2, swap.ptr(), 50, e1, &value, vec, &status);
    EXPECT_EQ(status, 1);
    // No iteration allowed; a null product (eigenvalue 0).
    NR_ask_max_eigen_val_vec(2, d.ptr(), 0, start, &value, vec, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(vec[1], 1.0);
    Dense zero(2, 2);
    double half[2] = {0.5, -0.25};
    NR_ask_max_eigen_val_vec(2, zero.ptr(), 10, half, &value, vec, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(vec[0], 1.0);
    EXPECT_EQ(vec[1], -0.5);
}

} // namespace
