// Bezier and B-spline segment evaluation against long double references.
#include "kernel/kernel_fixture.hpp"

#include <corvex/exception.hpp>

using quorm_test::Poly;
using quorm_test::random_poly;

namespace {

using EvalTest = KernelTest;

// Segment knot vector of a Bezier piece: n+1 copies of t0, n+1 of t1.
std::vector<double> bezier_knots(int n, double t0, double t1) {
    std::vector<double> k(2 * n + 2, t0);
    for (int i = n + 1; i < 2 * n + 2; ++i) k[i] = t1;
    return k;
}

void expect_near_ref(const double *got, const Poly &p, int n, double t0, double t1, double t, int m,
                     const char *what) {
    for (int c = 0; c < 4; ++c) {
        long double scale;
        const long double want = quorm_test::bezier_ref(p, n, t0, t1, t, m, c, &scale);
        EXPECT_LE(std::fabs((long double)got[c] - want) / scale, 1e-13L)
            << what << " n=" << n << " m=" << m << " t=" << t << " c=" << c;
    }
}

} // namespace

TEST_F(EvalTest, EveryBezierEvaluatorMatchesTheBernsteinSumForDegrees0To24) {
    std::mt19937 rng(801);
    std::uniform_real_distribution<double> ends(-3.0, 3.0), len(0.1, 4.0), where(-0.5, 1.5);
    for (int trial = 0; trial < 25; ++trial) {
        for (int n = 0; n <= 24; ++n) {
            const Poly p = random_poly(n, rng);
            const double t0 = ends(rng), t1 = t0 + len(rng);
            const std::vector<double> k = bezier_knots(n, t0, t1);
            // Inside and outside the interval, and the ends themselves.
            for (double s : {where(rng), where(rng), 0.0, 1.0, 0.5}) {
                const double t = t0 + s * (t1 - t0);
                double point[4], d1[4], dm[4], other[4];
                h0900(&n, k.data(), p.data(), &t, point);
                expect_near_ref(point, p, n, t0, t1, t, 0, "h0900");
                h0901(&n, k.data(), p.data(), &t, other);
                expect_near_ref(other, p, n, t0, t1, t, 0, "h0901 on Bezier knots");
                h0908(&n, k.data(), p.data(), &t, point, d1);
                expect_near_ref(point, p, n, t0, t1, t, 0, "h0908 point");
                expect_near_ref(d1, p, n, t0, t1, t, 1, "h0908 derivative");
                for (int m : {0, 1, 2, 3, n, n + 1}) {
                    h0909(&n, k.data(), p.data(), &t, &m, dm);
                    expect_near_ref(dm, p, n, t0, t1, t, m, "h0909");
                }
            }
        }
    }
}

TEST_F(EvalTest, UnrolledFormsMatchTheGeneralLoopAndFiniteDifferences) {
    std::mt19937 rng(802);
    std::uniform_real_distribution<double> where(-0.5, 1.5);
    void (*const unrolled[4])(const double *, const double *, const double *, double *, double *) = {h0902, h0903,
                                                                                                     h0904, h0905};
    for (int trial = 0; trial < 500; ++trial) {
        for (int n = 2; n <= 5; ++n) {
            const Poly p = random_poly(n, rng);
            const double interval[2] = {5.0, 6.0};
            const double t = 5.0 + where(rng);
            double point[4], deriv[4], general[4];
            unrolled[n - 2](interval, p.data(), &t, point, deriv);
            const std::vector<double> k = bezier_knots(n, 5.0, 6.0);
            const int one = 1;
            h0909(&n, k.data(), p.data(), &t, &one, general);
            for (int c = 0; c < 4; ++c) EXPECT_NEAR(deriv[c], general[c], 1e-11 * (1 + std::fabs(general[c])));
            // Central difference of the point.
            const double hstep = 1e-6, tp = t + hstep, tm = t - hstep;
            double pp[4], pm[4];
            h0900(&n, k.data(), p.data(), &tp, pp);
            h0900(&n, k.data(), p.data(), &tm, pm);
            for (int c = 0; c < 4; ++c) EXPECT_NEAR(deriv[c], (pp[c] - pm[c]) / (2 * hstep), 1e-5 * (1 + std::fabs(deriv[c])));
        }
    }
}

TEST_F(EvalTest, EndValuesAreExactAndEndDerivativesAreTheEndDifferences) {
    std::mt19937 rng(803);
    for (int n : {1, 2, 3, 4, 5, 7, 24}) {
        const Poly p = random_poly(n, rng);
        const std::vector<double> k = bezier_knots(n, 5.0, 6.0);
        const double t0 = 5.0, t1 = 6.0;
        double point[4], deriv[4];
        h0900(&n, k.data(), p.data(), &t0, point);
        for (int c = 0; c < 4; ++c) EXPECT_EQ(point[c], p[c]) << n;
        h0900(&n, k.data(), p.data(), &t1, point);
        for (int c = 0; c < 4; ++c) EXPECT_EQ(point[c], p[4 * n + c]) << n;
        // At t1 a finite derivative n (Pn - Pn-1), at t0 n (P1 - P0).
        h0908(&n, k.data(), p.data(), &t1, point, deriv);
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(point[c], p[4 * n + c]);
            EXPECT_DOUBLE_EQ(deriv[c], n * (p[4 * n + c] - p[4 * (n - 1) + c])) << n;
        }
        h0908(&n, k.data(), p.data(), &t0, point, deriv);
        for (int c = 0; c < 4; ++c) EXPECT_DOUBLE_EQ(deriv[c], n * (p[4 + c] - p[c])) << n;
    }
}

TEST_F(EvalTest, DegreeZeroAndDerivativesAboveTheDegree) {
    const int zero = 0, one = 1;
    const double p[4] = {1, 2, 3, 1}, k[2] = {0, 1}, t = 0.3;
    double point[4], deriv[4] = {9, 9, 9, 9}, dm[4];
    h0908(&zero, k, p, &t, point, deriv);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(point[c], p[c]);
        EXPECT_EQ(deriv[c], 0.0);
    }
    h0909(&zero, k, p, &t, &one, dm);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(dm[c], 0.0);
}

TEST_F(EvalTest, DeBoorMatchesALongDoubleReferenceOnRandomKnots) {
    std::mt19937 rng(804);
    std::uniform_real_distribution<double> gap(0.0, 1.0), where(-0.5, 1.5);
    for (int trial = 0; trial < 200; ++trial) {
        for (int n = 1; n <= 24; ++n) {
            const Poly p = random_poly(n, rng);
            std::vector<double> k(2 * n + 2);
            k[0] = -1.0;
            for (int i = 1; i < 2 * n + 2; ++i) {
                // Repeated knots now and then, never in the piece's interval.
                const double g = (i != n + 1 && gap(rng) < 0.2) ? 0.0 : 0.05 + gap(rng);
                k[i] = k[i - 1] + g;
            }
            const double t = k[n] + where(rng) * (k[n + 1] - k[n]);
            double got[4];
            h0901(&n, k.data(), p.data(), &t, got);
            // Convex blends inside, bounded growth outside: compare against
            // the largest |control value| times the growth factor.
            const double s = (t - k[n]) / (k[n + 1] - k[n]);
            const double grow = std::pow(1.0 + 2.0 * std::fmax(0.0, std::fmax(-s, s - 1.0)) * (k[2 * n] - k[1]) /
                                                     (k[n + 1] - k[n]),
                                         n);
            for (int c = 0; c < 4; ++c) {
                double big = 0.0;
                for (int i = 0; i <= n; ++i) big = std::fmax(big, std::fabs(p[4 * i + c]));
                const long double want = quorm_test::deboor_ref(p, n, k, t, c);
                EXPECT_LE(std::fabs((long double)got[c] - want), 1e-13L * big * grow) << n << " " << t;
            }
        }
    }
}

TEST_F(EvalTest, PatchMatchesTheTensorProductReference) {
    std::mt19937 rng(805);
    std::uniform_real_distribution<double> where(-0.25, 1.25);
    for (int trial = 0; trial < 100; ++trial) {
        const int degrees[2] = {trial % 7, (trial / 7) % 6};
        const int nu = degrees[0], nv = degrees[1];
        std::vector<double> net(4 * QUORM_KERNEL_NET_ROW * (nv + 1), 777.0); // unused entries poisoned
        std::vector<Poly> rows;
        for (int j = 0; j <= nv; ++j) {
            rows.push_back(random_poly(nu, rng));
            std::copy(rows[j].begin(), rows[j].end(), net.begin() + 4 * QUORM_KERNEL_NET_ROW * j);
        }
        const std::vector<double> ku = bezier_knots(nu, 1.0, 3.0), kv = bezier_knots(nv, -1.0, 0.0);
        const double uv[2] = {1.0 + 2.0 * where(rng), -1.0 + where(rng)};
        double point[4], du[4], dv[4];
        h4301(degrees, ku.data(), kv.data(), net.data(), uv, point, du, dv);
        for (int c = 0; c < 4; ++c) {
            // Reference: evaluate each row (and its u-derivative), then the column.
            Poly col(4 * (nv + 1)), col_u(4 * (nv + 1));
            for (int j = 0; j <= nv; ++j) {
                long double sc;
                col[4 * j + c] = (double)quorm_test::bezier_ref(rows[j], nu, 1.0, 3.0, uv[0], 0, c, &sc);
                col_u[4 * j + c] = (double)quorm_test::bezier_ref(rows[j], nu, 1.0, 3.0, uv[0], 1, c, &sc);
            }
            long double sc;
            EXPECT_NEAR(point[c], (double)quorm_test::bezier_ref(col, nv, -1.0, 0.0, uv[1], 0, c, &sc), 1e-10);
            EXPECT_NEAR(dv[c], (double)quorm_test::bezier_ref(col, nv, -1.0, 0.0, uv[1], 1, c, &sc), 1e-9);
            EXPECT_NEAR(du[c], (double)quorm_test::bezier_ref(col_u, nv, -1.0, 0.0, uv[1], 0, c, &sc), 1e-9);
        }
    }
}

TEST_F(EvalTest, DegreesOutsideTheWorkArraysAreRefused) {
    const int big = 25, negative = -1, one = 1, minus = -1;
    std::vector<double> p(4 * 30, 1.0), k(60, 0.0);
    k[25] = k[26] = 1.0;
    const double t = 0.5;
    double point[4], deriv[4];
    EXPECT_THROW(h0900(&big, k.data(), p.data(), &t, point), Kaltor::Error::Exception);
    EXPECT_THROW(h0908(&negative, k.data(), p.data(), &t, point, deriv), Kaltor::Error::Exception);
    EXPECT_THROW(h0909(&one, k.data(), p.data(), &t, &minus, point), Kaltor::Error::Exception);
    MACH__checking_level = 0;
    h0901(&big, k.data(), p.data(), &t, point);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(point[c], 0.0);
}
