// Bezier subdivision and the knot, parameter-list and sample utilities,
// against long double Bernstein sums and direct formulas.
#include "kernel_fixture.hpp"

#include <algorithm>

using quorm_test::bezier_ref;
using quorm_test::Poly;
using quorm_test::random_poly;

using Subdiv = KernelTest;

TEST_F(Subdiv, HalvesEvaluateToTheOriginalPolynomial) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0), wide(-0.6, 1.6);
    for (int n = 0; n <= 24; ++n) {
        for (int trial = 0; trial < 12; ++trial) {
            const Poly p = random_poly(n, rng);
            const double u = trial == 0 ? 0.0 : trial == 1 ? 1.0 : wide(rng);
            Poly left(p.size()), right(p.size()), inplace = p;
            em0911(&n, p.data(), &u, left.data(), right.data());
            ASSERT_TRUE(std::equal(p.begin(), p.begin() + 4, left.begin()));
            ASSERT_TRUE(std::equal(p.end() - 4, p.end(), right.end() - 4));
            // Subdividing into the polygon's own storage gives the same left half.
            Poly r2(p.size());
            em0911(&n, inplace.data(), &u, inplace.data(), r2.data());
            ASSERT_EQ(inplace, left);
            ASSERT_EQ(r2, right);
            // The halves may share their middle point in one 2n + 1 point array.
            Poly joined(4 * (2 * n + 1));
            em0911(&n, p.data(), &u, joined.data(), joined.data() + 4 * n);
            ASSERT_TRUE(std::equal(left.begin(), left.end(), joined.begin()));
            ASSERT_TRUE(std::equal(right.begin(), right.end(), joined.begin() + 4 * n));
            const long double grow = std::pow(std::fabs(u) + std::fabs(1.0 - u), (double)n);
            for (int k = 0; k <= 8; ++k) {
                const double s = (k == 8) ? unit(rng) : k / 7.0;
                for (int c = 0; c < 4; ++c) {
                    long double scale_l, scale_r, scale;
                    const long double want_l = bezier_ref(p, n, 0, 1, (long double)u * s, 0, c, &scale);
                    const long double got_l = bezier_ref(left, n, 0, 1, s, 0, c, &scale_l);
                    const long double want_r = bezier_ref(p, n, 0, 1, u + (1.0L - u) * s, 0, c, &scale);
                    const long double got_r = bezier_ref(right, n, 0, 1, s, 0, c, &scale_r);
                    const long double tol = 1e-14L * (n + 1) * grow * (scale + scale_l + scale_r);
                    ASSERT_NEAR((double)got_l, (double)want_l, (double)tol) << n << " " << u << " " << s;
                    ASSERT_NEAR((double)got_r, (double)want_r, (double)tol) << n << " " << u << " " << s;
                }
            }
        }
    }
    // At u = 0 the left polygon collapses onto P0 and the right one is the polygon.
    int n = 3;
    const double zero = 0.0;
    const Poly p = random_poly(n, rng);
    Poly left(p.size()), right(p.size());
    em0911(&n, p.data(), &zero, left.data(), right.data());
    EXPECT_EQ(right, p);
    for (int i = 0; i <= n; ++i) EXPECT_TRUE(std::equal(p.begin(), p.begin() + 4, left.begin() + 4 * i));
}

TEST_F(Subdiv, BadDegreeIsRefusedAndWritesNothingUnchecked) {
    int n = 25;
    const double u = 0.5;
    Poly p(4 * 30, 1.0), left(4 * 30, 7.0), right(4 * 30, 7.0);
    EXPECT_ANY_THROW(em0911(&n, p.data(), &u, left.data(), right.data()));
    const double k[60] = {}, iv[2] = {0, 1};
    EXPECT_ANY_THROW(e0925(&n, k, p.data(), left.data()));
    EXPECT_ANY_THROW(em0912(&n, iv, p.data(), iv, left.data()));
    MACH__checking_level = 0;
    n = -1;
    em0911(&n, p.data(), &u, left.data(), right.data());
    EXPECT_EQ(left, Poly(4 * 30, 7.0));
}

TEST_F(Subdiv, LargestInteriorMultiplicity) {
    auto mult = [](std::vector<double> k) {
        int count = (int)k.size(), m = -1;
        e0924(&count, k.data(), &m);
        return m;
    };
    EXPECT_EQ(mult({0, 0, 0, 0, 0.5, 0.5, 1, 1, 1, 1}), 2);
    EXPECT_EQ(mult({0, 0, 0, 0, 1, 1, 1, 1}), 1);
    EXPECT_EQ(mult({0, 0, 0.2, 0.4, 0.4 + 5e-11, 0.4 - 2e-11, 0.7, 0.7, 1, 1}), 3);
    EXPECT_EQ(mult({0, 0, 0.3, 0.3, 0.3, 0.9, 0.9, 0.9, 0.9}), 3); // the final run is not counted
    EXPECT_EQ(mult({}), 1);
}

TEST_F(Subdiv, NormalisationChordLengthAndLineCoefficients) {
    std::vector<double> k = {-1, 2, 2, 3, 5, 7, 7, 9}, out(k.size());
    int order = 3, count = (int)k.size();
    h0910(&order, &count, k.data(), out.data());
    for (int i = 0; i < count; ++i) EXPECT_DOUBLE_EQ(out[i], (k[i] - 2.0) / 5.0); // knots[2] .. knots[5]
    std::vector<double> flat = {1, 1, 1, 1};
    count = 4;
    order = 2;
    h0910(&order, &count, flat.data(), flat.data());
    EXPECT_EQ(flat, std::vector<double>(4, 0.0));
    order = 5;
    EXPECT_ANY_THROW(h0910(&order, &count, k.data(), out.data()));

    std::vector<double> v = {2, 4, 7};
    const double iv[2] = {2, 6}, same[2] = {3, 3 + 1e-12};
    int unused = 99, nv = 3;
    h0911(&unused, &nv, v.data(), iv, v.data());
    EXPECT_EQ(v, (std::vector<double>{0, 0.5, 1.25}));
    h0911(&unused, &nv, v.data(), same, v.data());
    EXPECT_EQ(v, std::vector<double>(3, 0.0));

    const double pts[] = {0, 0, 9, 3, 4, 9, 3, 4, 9}; // dimension 3: (0,0,9) (3,4,9) (3,4,9)
    int desc[8] = {3, 4, 0, 3, 0, 0, 0, 0};
    double len = -1;
    h0915(desc, pts, &len);
    EXPECT_DOUBLE_EQ(len, 5.0);
    desc[0] = 1;
    h0915(desc, pts, &len);
    EXPECT_EQ(len, 0.0);

    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-100, 100);
    for (int t = 0; t < 200; ++t) {
        const double A[2] = {u(rng), u(rng)}, B[2] = {u(rng), u(rng)};
        double a, b, d;
        em0200(A, B, &a, &b, &d);
        const double size = std::fabs(a) + std::fabs(b);
        ASSERT_NEAR(a * A[0] + b * A[1] + d, 0.0, 1e-12 * size * 200);
        ASSERT_NEAR(a * B[0] + b * B[1] + d, 0.0, 1e-12 * size * 200);
        ASSERT_EQ(a, A[1] - B[1]);
    }
}

TEST_F(Subdiv, NearestSampleAndItsRefinement) {
    // Samples of the line (t, 2t, 0) at t = 0, 0.1, ..., 1 and a (u, v) grid.
    std::vector<double> line, grid;
    for (int i = 0; i <= 10; ++i) line.insert(line.end(), {0.1 * i, 0.1 * i, 0.2 * i, 0.0});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) grid.insert(grid.end(), {double(i), double(j), double(i), double(j), 0.0});
    int nl = 11, ng = 9;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0, 1), off(-0.3, 0.3);
    for (int t = 0; t < 200; ++t) {
        // A point off the line whose foot is at parameter s: the refined
        // parameter is s, exactly up to rounding, for a straight line.
        const double s = u(rng);
        const double w = off(rng);
        const double p[3] = {s - 2 * w, 2 * s + w, off(rng)};
        const double foot = (p[0] + 2 * p[1]) / 5.0;
        double got = -1;
        em0156(p, &nl, line.data(), &got);
        ASSERT_NEAR(got, foot, 1e-12) << s;
        const double q[3] = {2 * u(rng), 2 * u(rng), off(rng)};
        double uv[2] = {-1, -1};
        em0154(q, &ng, grid.data(), uv);
        ASSERT_EQ(uv[0], std::round(q[0]));
        ASSERT_EQ(uv[1], std::round(q[1]));
    }
    // Beyond the last sample the parameter stays at that sample; on a
    // sample it is the sample's own.
    const double past[3] = {2, 4, 0}, on[3] = {0.3, 0.6, 0.0};
    double t = -1;
    em0156(past, &nl, line.data(), &t);
    EXPECT_EQ(t, 1.0);
    em0156(on, &nl, line.data(), &t);
    EXPECT_NEAR(t, 0.3, 1e-15);
    // Equally near samples: the first wins; no samples: nothing written.
    const double mid[3] = {0.5, 0.5, 0}, twin[] = {7, 8, 0, 0, 0, 9, 9, 1, 1, 0};
    double uv[2] = {-1, -1};
    int two = 2, none = 0;
    em0154(mid, &two, twin, uv);
    EXPECT_EQ(uv[0], 7.0);
    uv[0] = -5;
    em0154(mid, &none, twin, uv);
    EXPECT_EQ(uv[0], -5.0);
}
