// Hermite segments against the equivalent cubic Bezier piece, and the
// three-point quadratic against the quadratic polynomial it interpolates.
#include "kernel_fixture.hpp"

using quorm_test::bezier_ref;
using quorm_test::Poly;

using Hermite = KernelTest;

TEST_F(Hermite, SegmentsMatchTheirBezierFormAndEndData) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-10, 10), span(0.1, 5), s_in(-0.5, 1.5);
    for (int trial = 0; trial < 500; ++trial) {
        double start[6], end[6];
        for (int i = 0; i < 6; ++i) start[i] = u(rng), end[i] = u(rng);
        const double L = span(rng), s0 = u(rng), s1 = s0 + L;
        // The Bezier polygon of the same cubic over [0, L]: the inner points
        // sit a third of the span along the end tangents.
        Poly bez(16, 1.0);
        for (int c = 0; c < 3; ++c) {
            bez[c] = start[c];
            bez[4 + c] = start[c] + start[3 + c] * L / 3;
            bez[8 + c] = end[c] - end[3 + c] * L / 3;
            bez[12 + c] = end[c];
        }
        const double s = s_in(rng) * L, t = s0 + s;
        double got[3][3], via[3][3], w[4], weighted[3];
        h800(&s, &L, start, end, got[0]);
        h801(&s, &L, start, end, got[1]);
        h802(&s, &L, start, end, got[2]);
        h810(&s0, start, start + 3, &s1, end, end + 3, &t, via[0]);
        h811(&s0, start, start + 3, &s1, end, end + 3, &t, via[1]);
        h812(&s0, start, start + 3, &s1, end, end + 3, &t, via[2]);
        h815(&s0, &s1, &t, w);
        h116(w, start, start + 3, end, end + 3, weighted);
        for (int m = 0; m < 3; ++m)
            for (int c = 0; c < 3; ++c) {
                long double scale;
                const long double want = bezier_ref(bez, 3, 0, L, s, m, c, &scale);
                ASSERT_NEAR(got[m][c], (double)want, 1e-12 * (double)scale) << m;
                ASSERT_NEAR(via[m][c], (double)want, 1e-10 * (double)scale) << m;
                if (m == 0) {
                    ASSERT_NEAR(weighted[c], via[0][c], 1e-12 * (double)scale);
                }
            }
    }
    // The ends: points exactly, tangents to rounding.
    const double start[6] = {1, 2, 3, 0.5, -1, 2}, end[6] = {-4, 5, 6, 3, 0, -2};
    double L = 2.5, zero = 0, p[3], d[3];
    h800(&zero, &L, start, end, p);
    h801(&zero, &L, start, end, d);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(p[c], start[c]);
        EXPECT_NEAR(d[c], start[3 + c], 1e-15);
    }
    h800(&L, &L, start, end, p);
    h801(&L, &L, start, end, d);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(p[c], end[c]);
        EXPECT_NEAR(d[c], end[3 + c], 1e-15);
    }
    // No span: the derivatives are zero.
    for (double bad : {0.0, -1.0}) {
        h801(&zero, &bad, start, end, d);
        h802(&zero, &bad, start, end, p);
        for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(d[c], 0.0);
        EXPECT_EQ(p[c], 0.0);
    }
    }
}

TEST_F(Hermite, QuadraticThroughThreePoints) {
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> u(-10, 10), a_in(-1, 2);
    for (int trial = 0; trial < 500; ++trial) {
        // q(a) = c0 + c1 a + c2 a^2 per coordinate, sampled at a = 0, 1/2, 1.
        double c[3][2], A[2], M[2], B[2];
        for (int k = 0; k < 2; ++k) {
            for (auto &row : c) row[k] = u(rng);
            A[k] = c[0][k];
            M[k] = c[0][k] + c[1][k] / 2 + c[2][k] / 4;
            B[k] = c[0][k] + c[1][k] + c[2][k];
        }
        const double t0 = u(rng), t1 = t0 + 0.5 + std::fabs(u(rng)), a = a_in(rng), t = t0 + a * (t1 - t0);
        double p[2], d[2];
        h0700(&t0, A, M, &t1, B, &t, p);
        h0701(&t0, A, M, &t1, B, &t, d);
        for (int k = 0; k < 2; ++k) {
            ASSERT_NEAR(p[k], c[0][k] + c[1][k] * a + c[2][k] * a * a, 1e-11);
            ASSERT_NEAR(d[k], c[1][k] + 2 * c[2][k] * a, 1e-11);
        }
        // Nodes exactly; at the middle the derivative is B - A.
        const double tm = 0.5 * (t0 + t1);
        h0700(&t0, A, M, &t1, B, &t0, p);
        ASSERT_TRUE(p[0] == A[0] && p[1] == A[1]);
        h0700(&t0, A, M, &t1, B, &t1, p);
        ASSERT_TRUE(p[0] == B[0] && p[1] == B[1]);
        if ((tm - t0) / (t1 - t0) == 0.5) { // the middle is exactly representable
            h0700(&t0, A, M, &t1, B, &tm, p);
            h0701(&t0, A, M, &t1, B, &tm, d);
            ASSERT_TRUE(p[0] == M[0] && p[1] == M[1]);
            ASSERT_TRUE(d[0] == B[0] - A[0] && d[1] == B[1] - A[1]);
        }
    }
    const double A[2] = {1, 2}, B[2] = {5, -2}, f = 0.25;
    double out[2];
    h0721(A, B, &f, out);
    EXPECT_EQ(out[0], 2.0);
    EXPECT_EQ(out[1], 1.0);
}
