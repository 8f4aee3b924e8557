// Tolerant comparisons, periodic parameters, angular ranges and the small
// solvers of the kernel.
#include "kernel/kernel_fixture.hpp"

#include <corvex/exception.hpp>

#include <algorithm>
#include <complex>

namespace {

using TolerTest = KernelTest;

constexpr double kTwoPi = QUORM_KERNEL_TWO_PI;

int code_of(double *x, double a, double b) {
    const double iv[2] = {a, b};
    const int index = 0;
    int code;
    h804(x, iv, &index, &code);
    return code;
}

} // namespace

TEST_F(TolerTest, RelationsUseTheTableEntryOrTheGivenTolerance) {
    const double a = 1.0, b = 1.0 + 5e-11, c = 1.0 + 2e-10, neg = -1e-10;
    int out, index = 0, mode = 1;
    h805(&a, &b, &index, &out);
    EXPECT_EQ(out, 1);
    h805(&a, &c, &index, &out);
    EXPECT_EQ(out, 0);
    h806(&a, &b, &neg, &out); // the absolute value of the tolerance
    EXPECT_EQ(out, 1);
    h807(&a, &c, &mode, &index, &out);
    EXPECT_EQ(out, 1);
    h807(&a, &b, &mode, &index, &out);
    EXPECT_EQ(out, 2);
    mode = 0;
    h807(&c, &a, &mode, &index, &out);
    EXPECT_EQ(out, 1);
    const double tol = 1e-10;
    mode = 2;
    h808(&c, &a, &tol, &mode, &out);
    EXPECT_EQ(out, 1);
    mode = 1;
    h808(&c, &a, &tol, &mode, &out);
    EXPECT_EQ(out, 2);

    // An index outside the table is refused, and compares exactly at level 0.
    index = 8;
    EXPECT_THROW(h805(&a, &b, &index, &out), Kaltor::Error::Exception);
    MACH__checking_level = 0;
    h805(&a, &b, &index, &out);
    EXPECT_EQ(out, 0);
    h805(&a, &a, &index, &out);
    EXPECT_EQ(out, 1);
}

TEST_F(TolerTest, IntervalCodesSnapToTheEnds) {
    double x = 2.0 - 0.5e-10;
    EXPECT_EQ(code_of(&x, 2.0, 3.0), 2);
    EXPECT_EQ(x, 2.0);
    x = 1.0;
    EXPECT_EQ(code_of(&x, 2.0, 3.0), 1);
    x = 2.5;
    EXPECT_EQ(code_of(&x, 2.0, 3.0), 3);
    x = 3.0 + 0.5e-10;
    EXPECT_EQ(code_of(&x, 2.0, 3.0), 4);
    EXPECT_EQ(x, 3.0);
    x = 4.0;
    EXPECT_EQ(code_of(&x, 2.0, 3.0), 5);

    const double iv[2] = {2.0, 3.0}, tol = 0.1;
    int code, out, index = 0, mode = 1;
    x = 3.05;
    h816(&x, iv, &tol, &code);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(x, 3.0);
    x = 1.99999999999;
    h809(&x, iv, &index, &out);
    EXPECT_EQ(out, 1);
    EXPECT_EQ(x, 2.0);
    x = 3.004;
    h809a(&x, iv, &mode, &out);
    EXPECT_EQ(out, 1);
    mode = 0;
    h809a(&x, iv, &mode, &out);
    EXPECT_EQ(out, 0);
    EXPECT_EQ(x, 3.004);

    x = 3e-11;
    h000(&x);
    EXPECT_EQ(x, 1e-10);
    x = -0.0 - 1e-12;
    h000(&x);
    EXPECT_EQ(x, -1e-10);
}

TEST_F(TolerTest, PeriodReduction) {
    const double two_pi = kTwoPi;
    double x = -0.5;
    h002(&x, &two_pi);
    EXPECT_DOUBLE_EQ(x, two_pi - 0.5);
    x = two_pi;
    h002(&x, &two_pi);
    EXPECT_EQ(x, 0.0);
    x = 2 * two_pi + 1e-12;
    h002(&x, &two_pi);
    EXPECT_EQ(x, 0.0);
    const double negative = -1.0;
    x = 5.0;
    h002(&x, &negative);
    EXPECT_EQ(x, 5.0);

    // Property: the result lies in [0, p) and differs from x by a multiple of p.
    std::mt19937 rng(810);
    std::uniform_real_distribution<double> u(-100.0, 100.0), per(0.5, 10.0);
    for (int i = 0; i < 5000; ++i) {
        const double p = per(rng), x0 = u(rng);
        x = x0;
        h002(&x, &p);
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, p);
        const double turns = (x0 - x) / p;
        EXPECT_NEAR(turns, std::round(turns), 1e-9);
    }
}

TEST_F(TolerTest, ShiftIntoAnInterval) {
    // Below the interval [0, 1] by 2.5 periods (period 1): k = 3 lands inside.
    double x = -2.5;
    const double a = 0.0, b = 1.0, period = 1.0;
    int mode = 1, found, k;
    h006(&x, &a, &b, &mode, &period, &found, &k);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(k, 3);
    // A short interval [0, 0.2] with period 1: -2.5 + 3 = 0.5 misses it.
    x = -2.5;
    const double b2 = 0.2;
    h006(&x, &a, &b2, &mode, &period, &found, &k);
    EXPECT_EQ(found, 0);

    // Property: whenever found, x + k p lies in the interval (within tolerance).
    std::mt19937 rng(811);
    std::uniform_real_distribution<double> u(-50.0, 50.0), len(0.1, 3.0);
    int hits = 0;
    for (int i = 0; i < 5000; ++i) {
        const double lo = u(rng), hi = lo + len(rng), p = len(rng), x0 = u(rng);
        x = x0;
        h006(&x, &hi, &lo, &mode, &p, &found, &k); // the ends in either order
        if (!found) {
            EXPECT_GT(p, hi - lo - 1e-9); // a shorter period always finds a place
            continue;
        }
        ++hits;
        EXPECT_GE(x + k * p, lo - 1e-9);
        EXPECT_LE(x + k * p, hi + 1e-9);
    }
    EXPECT_GT(hits, 1000);

    // A shift beyond the int range gives k = 0 (no overflow).
    x = -1e300;
    h006(&x, &a, &b, &mode, &period, &found, &k);
    EXPECT_EQ(k, 0);

    double value;
    const double start = 1.0, xv = 1.0 + 3 * period;
    h0062(&xv, &mode, &period, &value, &k);
    EXPECT_NEAR(value, 0.0, 1e-12);
    h0005(&xv, &start, &period, &value, &k);
    EXPECT_NEAR(value, 1.0, 1e-12);
    const double x5 = 7.25;
    h0065(&start, &x5, &period, &value);
    EXPECT_NEAR(value, 0.25, 1e-12);
    const double x6 = 3.0, end = 2.0;
    h0063(&x6, &start, &end, &mode, &period, &found, &k, &value);
    EXPECT_EQ(value, 1.0); // the end of a full period becomes its start
}

TEST_F(TolerTest, AngularRanges) {
    const double a[2] = {0.5, 2.0}, b[2] = {1.0, 3.0};
    int count;
    double r[4];
    h010(a, b, &count, r);
    EXPECT_EQ(count, 2);
    EXPECT_DOUBLE_EQ(r[0], 1.0);
    EXPECT_DOUBLE_EQ(r[1], 2.0);
    const double far[2] = {4.0, 5.0};
    h010(a, far, &count, r);
    EXPECT_EQ(count, 1);

    // A range across 0 (5.5 .. 2 pi + 1) meets [0.5, 2] and [5, 6].
    const double wrap[2] = {5.5, kTwoPi + 1.0}, c[2] = {0.5, 6.0};
    h009(wrap, c, &count, r);
    EXPECT_EQ(count, 3);
    EXPECT_DOUBLE_EQ(r[0], 5.5);
    EXPECT_DOUBLE_EQ(r[1], 6.0);
    EXPECT_NEAR(r[2], 0.5, 1e-12);
    EXPECT_NEAR(r[3], 1.0, 1e-12);
    const double full[2] = {1.0, 1.0 + kTwoPi};
    h009(full, a, &count, r);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(r[0], 0.5);

    double range[2] = {3.0, 1.0};
    const double x = 0.5;
    int which;
    h012(range, &x, &which);
    EXPECT_EQ(which, 1); // (3, 1 + 2 pi) contains 0.5 + 2 pi
    EXPECT_DOUBLE_EQ(range[1], 1.0 + kTwoPi);
    double range2[2] = {3.0, 1.0};
    const double x2 = 2.0;
    h012(range2, &x2, &which);
    EXPECT_EQ(which, 2);
    EXPECT_EQ(range2[0], 1.0);
}

TEST_F(TolerTest, PointComparisons) {
    const double p[2] = {1.0, 1.0}, q[2] = {1.0, 1.0 + 1e-11}, r2 = 2.0, tol = 1.1e-6;
    const double s[2] = {2.0, 2.0};
    int out;
    h202(p, q, &out);
    EXPECT_EQ(out, 1);
    h202(p, s, &out);
    EXPECT_EQ(out, 0);
    h204(p, s, &r2, &out);
    EXPECT_EQ(out, 1);
    const double t[2] = {1.0, 1.001};
    h206(p, t, &tol, &out);
    EXPECT_EQ(out, 1);
}

TEST_F(TolerTest, QuadraticCases) {
    double re[2], im[2];
    int status, degree, nreal;
    const double zero[3] = {0, 0, 0}, constant[3] = {2, 0, 0}, unit[3] = {1, 0, 1};
    h014(zero, re, im, &status, &degree, &nreal);
    EXPECT_EQ(status, 4);
    h014(constant, re, im, &status, &degree, &nreal);
    EXPECT_EQ(status, 1);
    h014(unit, re, im, &status, &degree, &nreal);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(re[0], 0.0);
    EXPECT_DOUBLE_EQ(std::fabs(im[0]), 1.0);
    EXPECT_EQ(im[1], -im[0]);
    const double linear[3] = {3, -2, 0}, huge[3] = {-2e300, 1e300, 1e300};
    h014(linear, re, im, &status, &degree, &nreal);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(degree, 1);
    EXPECT_DOUBLE_EQ(re[0], 1.5);
    // (x - 1)(x + 2) with coefficients near overflow.
    h014(huge, re, im, &status, &degree, &nreal);
    EXPECT_EQ(nreal, 2);
    EXPECT_DOUBLE_EQ(std::max(re[0], re[1]), 1.0);
    EXPECT_DOUBLE_EQ(std::min(re[0], re[1]), -2.0);
}

TEST_F(TolerTest, CubicRootsReproduceRandomPolynomials) {
    std::mt19937 rng(812);
    std::uniform_real_distribution<double> u(-5.0, 5.0);
    for (int i = 0; i < 3000; ++i) {
        // Three real roots, or one and a complex pair.
        const bool pair = i % 2 == 1;
        const double r0 = u(rng), r1 = u(rng), r2 = pair ? r1 : u(rng), im = pair ? std::fabs(u(rng)) + 0.1 : 0.0;
        const std::complex<double> z1(r1, im), z2(r2, -im);
        // (x - r0)(x - z1)(x - z2), times a random scale.
        const double lead = u(rng) + (u(rng) > 0 ? 6.0 : -6.0);
        const std::complex<double> s = z1 + z2, p = z1 * z2;
        const double c[4] = {-lead * r0 * p.real(), lead * (p.real() + r0 * s.real()), -lead * (r0 + s.real()), lead};
        double re[3], imag[3];
        int status, degree, nreal;
        h016(c, re, imag, &status, &degree, &nreal);
        ASSERT_EQ(status, 3);
        EXPECT_EQ(degree, 3);
        EXPECT_EQ(nreal, pair ? 1 : 3);
        for (int j = 0; j < 3; ++j) {
            // Each root makes the polynomial vanish relative to its size.
            const std::complex<double> x(re[j], imag[j]);
            const std::complex<double> v = ((c[3] * x + c[2]) * x + c[1]) * x + c[0];
            const double size = ((std::fabs(c[3]) * std::abs(x) + std::fabs(c[2])) * std::abs(x) + std::fabs(c[1])) *
                                    std::abs(x) +
                                std::fabs(c[0]);
            EXPECT_LE(std::abs(v), 1e-8 * size) << i << " root " << j;
        }
    }
    // A zero constant term puts the root 0 first.
    const double c0[4] = {0, -1, 0, 1};
    double re[3], im[3];
    int status, degree, nreal;
    h016(c0, re, im, &status, &degree, &nreal);
    EXPECT_EQ(re[0], 0.0);
    EXPECT_EQ(nreal, 3);
    EXPECT_DOUBLE_EQ(std::fabs(re[1]), 1.0);
}

TEST_F(TolerTest, ThreeByThreeAndTheScaledRetrySolveTheSameSystem) {
    std::mt19937 rng(813);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int i = 0; i < 1000; ++i) {
        double rows[3][3], x_true[3], r[3], x[3];
        for (auto &row : rows)
            for (double &v : row) v = u(rng);
        for (double &v : x_true) v = u(rng);
        // Tiny rows make the determinant fall below the number tolerance
        // while the system stays well conditioned after row scaling.
        const double scale = i % 2 ? 1e-4 : 1.0;
        for (auto &row : rows)
            for (double &v : row) v *= scale;
        for (int j = 0; j < 3; ++j) r[j] = rows[j][0] * x_true[0] + rows[j][1] * x_true[1] + rows[j][2] * x_true[2];
        int status;
        h015a(rows[0], rows[1], rows[2], r, x, &status);
        if (status != 1) continue; // a random near-singular system
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(x[j], x_true[j], 1e-6) << i;
        if (scale < 1.0) {
            h015(rows[0], rows[1], rows[2], r, x, &status);
            EXPECT_EQ(status, 2);
        }
    }
}

TEST_F(TolerTest, ComplexProductAndRoots) {
    const double a[2] = {1, 2}, b[2] = {3, -1};
    double out[2];
    h017(a, b, out);
    EXPECT_EQ(out[0], 5.0);
    EXPECT_EQ(out[1], 5.0);
    std::mt19937 rng(814);
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    for (int i = 0; i < 500; ++i) {
        const double z[2] = {u(rng), i % 5 == 0 ? 0.0 : u(rng)};
        const int n = 1 + i % 5;
        h018(z, &n, out);
        const std::complex<double> w = std::pow(std::complex<double>(out[0], out[1]), n);
        EXPECT_NEAR(w.real(), z[0], 1e-12);
        EXPECT_NEAR(w.imag(), z[1], 1e-12);
        // The principal root: argument in [0, 2 pi / n).
        double arg = std::atan2(out[1], out[0]);
        if (arg < 0) arg += kTwoPi;
        EXPECT_LT(arg, kTwoPi / n + 1e-12);
    }
}
