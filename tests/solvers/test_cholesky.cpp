// Cholesky decomposition, solve and inverse of the factor.
#include "solvers/dense.hpp"

#include <gtest/gtest.h>

#include <limits>

using quorm_test::Dense;

TEST(Cholesky, BackwardErrorOfRandomSystemsUpToOrder200) {
    std::mt19937 rng(7);
    for (int n : {1, 2, 3, 4, 5, 9, 16, 33, 100, 200}) {
        Dense a = Dense::spd(n, rng);
        Dense b = Dense::random(n, 1, rng);
        Dense f = a, x(n, 1);
        std::vector<double> diagonal(n);
        int status = -1;
        NR_cholesky_decomp(n, f.flat(), diagonal.data(), &status);
        ASSERT_EQ(status, 0) << n;
        // The upper triangle keeps the input.
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) ASSERT_EQ(f.at(i, j), a.at(i, j));
        NR_cholesky_solver(f.flat(), n, diagonal.data(), b.flat(), x.flat());
        EXPECT_LT(quorm_test::backward_error(a, x, b, 0), 1e-14) << n;
        // In place: x may be b.
        Dense y = b;
        NR_cholesky_solver(f.flat(), n, diagonal.data(), y.flat(), y.flat());
        for (int i = 0; i < n; ++i) EXPECT_EQ(y.at(i, 0), x.at(i, 0));
    }
}

TEST(Cholesky, NotPositiveDefinite) {
    int status = 0;
    double diagonal[3];
    Dense tiny(2, 2, {1, 0, 0, 1e-11});
    NR_cholesky_decomp(2, tiny.flat(), diagonal, &status);
    EXPECT_EQ(status, 1);

    Dense indefinite(2, 2, {1, 2, 2, 1});
    NR_cholesky_decomp(2, indefinite.flat(), diagonal, &status);
    EXPECT_EQ(status, 1);

    // A NaN is no positive definite matrix either; it must not be reported
    // as a successful decomposition.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (Dense m : {Dense(2, 2, {nan, 0, 0, 1}), Dense(3, 3, {4, nan, 0, nan, 4, 0, 0, 0, 4})}) {
        status = 0;
        NR_cholesky_decomp(m.rows, m.flat(), diagonal, &status);
        EXPECT_EQ(status, 1);
    }

    status = -1;
    NR_cholesky_decomp(0, nullptr, nullptr, &status);
    EXPECT_EQ(status, 0);
}

TEST(Cholesky, InverseOfTheFactor) {
    std::mt19937 rng(9);
    for (int n : {1, 4, 13}) {
        Dense a = Dense::spd(n, rng);
        std::vector<double> diagonal(n);
        int status;
        NR_cholesky_decomp(n, a.flat(), diagonal.data(), &status);
        ASSERT_EQ(status, 0);
        Dense l = a;  // L with its diagonal
        for (int i = 0; i < n; ++i) {
            l.at(i, i) = diagonal[i];
            for (int j = i + 1; j < n; ++j) l.at(i, j) = 0.0;
        }
        NR_cholesky_inverse(n, diagonal.data(), a.flat());
        for (int i = 0; i < n; ++i)
            for (int j = 0; j <= i; ++j) {
                double s = 0.0;
                for (int k = j; k <= i; ++k) s += a.at(i, k) * l.at(k, j);
                EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-14) << n << " " << i << " " << j;
            }
    }
}
