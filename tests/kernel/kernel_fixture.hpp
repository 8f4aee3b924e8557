// Shared pieces of the kernel tests: a fixture that sets the equality
// tolerances and restores the settings block and checking level, and long
// double reference evaluations of Bezier and B-spline pieces.
#ifndef QUORM_TESTS_KERNEL_FIXTURE_HPP
#define QUORM_TESTS_KERNEL_FIXTURE_HPP

#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

class KernelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_acom_ = acom;
        saved_level_ = MACH__checking_level;
        acom.fine_tolerance = 1;
        acom.model_scale = 1.0;
        sys21(); // number tolerance 1e-10
        merrorflush();
    }
    void TearDown() override {
        acom = saved_acom_;
        MACH__checking_level = saved_level_;
        merrorflush();
    }

  private:
    acom_s saved_acom_;
    int saved_level_ = 1;
};

namespace quorm_test {

using Poly = std::vector<double>; // homogeneous points, 4 doubles each

inline Poly random_poly(int n, std::mt19937 &rng) {
    std::uniform_real_distribution<double> u(-10.0, 10.0), w(0.5, 2.0);
    Poly p(4 * (n + 1));
    for (int i = 0; i <= n; ++i) {
        for (int c = 0; c < 3; ++c) p[4 * i + c] = u(rng);
        p[4 * i + 3] = w(rng);
    }
    return p;
}

// Bernstein polynomial value B(i, n) at s in long double.
inline long double bernstein(int i, int n, long double s) {
    long double binom = 1.0L;
    for (int j = 1; j <= i; ++j) binom = binom * (n - i + j) / j;
    return binom * std::pow(s, (long double)i) * std::pow(1.0L - s, (long double)(n - i));
}

// The m-th derivative (m = 0: the point) of the Bezier piece over [t0, t1]
// at t, component c, from the Bernstein sum of the m-th differences, with
// the matching sum of absolute terms in *scale (the size the rounding error
// is measured against).
inline long double bezier_ref(const Poly &p, int n, long double t0, long double t1, long double t, int m, int c,
                              long double *scale) {
    if (m > n) {
        *scale = 1.0L;
        return 0.0L;
    }
    std::vector<long double> d(n + 1);
    for (int i = 0; i <= n; ++i) d[i] = p[4 * i + c];
    long double factor = 1.0L;
    for (int r = 0; r < m; ++r) {
        for (int i = 0; i < n - r; ++i) d[i] = d[i + 1] - d[i];
        factor *= (n - r) / (t1 - t0);
    }
    const long double s = (t - t0) / (t1 - t0);
    long double sum = 0.0L, abs_sum = 0.0L;
    for (int i = 0; i <= n - m; ++i) sum += d[i] * bernstein(i, n - m, s);
    // The scale: the largest |point| times the sum of |Bernstein values|,
    // (|1 - s| + |s|)^n; differences are only as precise as the points.
    for (int i = 0; i <= n; ++i) abs_sum = std::fmax(abs_sum, std::fabs((long double)p[4 * i + c]));
    abs_sum *= std::pow(std::fabs(1.0L - s) + std::fabs(s), (long double)n);
    long double grow = 1.0L;
    for (int r = 0; r < m; ++r) grow *= 2.0L * (n - r) / (t1 - t0);
    *scale = std::fmax(abs_sum * grow, 1e-300L);
    return factor * sum;
}

// De Boor's algorithm in long double on a segment knot vector k[0..2n+1].
inline long double deboor_ref(const Poly &p, int n, const std::vector<double> &k, long double t, int c) {
    std::vector<long double> d(n + 1);
    for (int i = 0; i <= n; ++i) d[i] = p[4 * i + c];
    for (int r = 1; r <= n; ++r)
        for (int i = n; i >= r; --i) {
            const long double a = (t - k[i]) / ((long double)k[i + n + 1 - r] - k[i]);
            d[i] = (1.0L - a) * d[i - 1] + a * d[i];
        }
    return d[n];
}

} // namespace quorm_test

#endif
