// Knot spans, basis functions and interpolation, checked against long double
// Cox-de Boor references.
#include "kernel/kernel_fixture.hpp"

#include <corvex/exception.hpp>

#include <algorithm>
#include <functional>

namespace {

using InterpTest = KernelTest;
using Knots = std::vector<double>;

// d^q/dx^q of N(i, p) (degree p) at x, from the recursive definition in
// long double.  The indicator of degree 0 is that of the span s, so that
// the end of the last span is evaluated from the left.
long double basis_ref(const Knots &t, int s, int i, int p, int q, long double x) {
    if (p == 0) return q == 0 && i == s ? 1.0L : 0.0L;
    const long double dl = (long double)t[i + p] - t[i], dr = (long double)t[i + p + 1] - t[i + 1];
    long double v = 0.0L;
    if (q == 0) {
        if (dl > 0) v += (x - t[i]) / dl * basis_ref(t, s, i, p - 1, 0, x);
        if (dr > 0) v += (t[i + p + 1] - x) / dr * basis_ref(t, s, i + 1, p - 1, 0, x);
    } else {
        if (dl > 0) v += p * basis_ref(t, s, i, p - 1, q - 1, x) / dl;
        if (dr > 0) v -= p * basis_ref(t, s, i + 1, p - 1, q - 1, x) / dr;
    }
    return v;
}

// The span of x for a curve with m control points: the last non-empty span
// starting at or before x, within k-1 .. m-1.
int span_ref(const Knots &t, int k, int m, double x) {
    int s = k - 1;
    for (int i = k - 1; i < m; ++i)
        if (t[i] <= x && t[i] < t[i + 1]) s = i;
    return s;
}

// q-th derivative, component c, of the spline at x (periodic curves: x is
// first moved into the knot domain).
long double spline_ref(const Knots &t, const std::vector<double> &ctrl, int k, int m, int dim, bool periodic, double x,
                       int q, int c) {
    const double lo = t[k - 1], hi = t[m];
    if (periodic) {
        while (x < lo) x += hi - lo;
        while (x >= hi) x -= hi - lo;
    }
    const int s = span_ref(t, k, m, x);
    long double v = 0.0L;
    for (int i = s - k + 1; i <= s; ++i) v += ctrl[i * dim + c] * basis_ref(t, s, i, k - 1, q, x);
    return v;
}

struct Problem {
    int np = 0, k = 4, periodic = 0, dim = 3, groups[3] = {0, 0, 0}, continuity = 0;
    std::vector<double> points, params, cond_params, cond_values;
    std::vector<int> cond_orders;
    int ndc() const { return groups[0] + groups[1] + groups[2]; }
    int p() const { return periodic ? std::min(continuity + 1, k - 1) : 0; }
    int m() const { return np + ndc() + p(); }
    // The seven-int form has no third group: its conditions join the second.
    std::vector<int> descriptor7() const {
        return {np, k, periodic, dim, groups[0], groups[1] + groups[2], continuity};
    }
    std::vector<int> descriptor8() const {
        return {np, k, periodic, dim, groups[0], groups[1], groups[2], continuity};
    }
};

// A random problem: increasing parameters, first-derivative conditions
// (group 1), second-derivative conditions (group 2) and further first
// derivatives (group 3) at end, point and free parameters.
Problem random_problem(std::mt19937 &rng, bool periodic) {
    std::uniform_real_distribution<double> u(0.0, 1.0), v(-10.0, 10.0);
    Problem pr;
    pr.periodic = periodic;
    pr.k = 2 + static_cast<int>(u(rng) * 5); // 2..6
    pr.dim = 1 + static_cast<int>(u(rng) * 4);
    pr.np = pr.k + 1 + static_cast<int>(u(rng) * 12);
    pr.continuity = periodic ? static_cast<int>(u(rng) * pr.k) : 0;
    double t = v(rng);
    for (int i = 0; i < pr.np; ++i) {
        pr.params.push_back(t);
        t += 0.2 + u(rng);
    }
    const double first = pr.params.front(), last = pr.params.back();
    // Derivative conditions from the quadratic up (a linear piece's slope is
    // fixed by its points).
    const int order_limit = pr.k > 2 ? pr.k - 1 : 0;
    auto add = [&](int group, double x, int order) {
        pr.groups[group]++;
        pr.cond_params.push_back(x);
        pr.cond_orders.push_back(order);
    };
    // Group 1: first derivatives at the ends (open) and maybe at a point.
    bool at_point = false;
    if (order_limit >= 1 && u(rng) < 0.7) {
        if (!periodic) add(0, first, 1);
        at_point = u(rng) < 0.5;
        if (at_point) add(0, pr.params[1 + static_cast<int>(u(rng) * (pr.np - 2))], 1);
        if (!periodic) add(0, last, 1);
    }
    // Group 2: second derivatives at the start or at a free parameter.
    if (order_limit >= 2 && u(rng) < 0.5) add(1, periodic ? first + 0.5 * (pr.params[1] - first) : first, 2);
    // Group 3: a first derivative between two points.  (Slopes at a point
    // and between points, with averaged knots, can leave a quadratic piece
    // over-determined: such data is reported singular, not tested here.)
    if (order_limit >= 1 && !at_point && u(rng) < 0.3) {
        const int i = static_cast<int>(u(rng) * (pr.np - 1));
        add(2, 0.5 * (pr.params[i] + pr.params[i + 1]), 1);
    }
    for (int i = 0; i < pr.np * pr.dim; ++i) pr.points.push_back(v(rng));
    for (int i = 0; i < pr.ndc() * pr.dim; ++i) pr.cond_values.push_back(v(rng));
    if (pr.dim == 4) // homogeneous: positive weights
        for (int i = 0; i < pr.np; ++i) pr.points[4 * i + 3] = 0.5 + u(rng);
    return pr;
}

// Every point and condition is met within 1e-10 (relative to the data).
void expect_reproduces(const Problem &pr, const Knots &knots, const std::vector<double> &ctrl, const char *what) {
    const int m = pr.m();
    for (int i = 0; i < pr.np; ++i)
        for (int c = 0; c < pr.dim; ++c) {
            const long double got = spline_ref(knots, ctrl, pr.k, m, pr.dim, pr.periodic, pr.params[i], 0, c);
            const double want = pr.points[i * pr.dim + c];
            EXPECT_NEAR((double)got, want, 1e-10 * std::max(1.0, std::fabs(want)))
                << what << " point " << i << " k=" << pr.k << " np=" << pr.np << " ndc=" << pr.ndc();
        }
    for (int j = 0; j < pr.ndc(); ++j)
        for (int c = 0; c < pr.dim; ++c) {
            const long double got =
                spline_ref(knots, ctrl, pr.k, m, pr.dim, pr.periodic, pr.cond_params[j], pr.cond_orders[j], c);
            const double want = pr.cond_values[j * pr.dim + c];
            EXPECT_NEAR((double)got, want, 1e-10 * std::max(1.0, std::fabs(want))) << what << " condition " << j;
        }
    for (int i = 0; i < pr.p(); ++i)
        for (int c = 0; c < pr.dim; ++c)
            EXPECT_NEAR(ctrl[i * pr.dim + c], ctrl[(m - pr.p() + i) * pr.dim + c], 1e-10) << what << " tie " << i;
}

int interpolate(const Problem &pr, Knots *knots, std::vector<double> *ctrl) {
    knots->assign(pr.m() + pr.k + 6, -999.0);
    ctrl->assign(pr.m() * pr.dim, -999.0);
    int count = -1;
    const std::vector<int> d = pr.descriptor7();
    const int status = h0913(d.data(), pr.points.data(), pr.params.data(), pr.cond_params.data(),
                             pr.cond_orders.data(), pr.cond_values.data(), &count, knots->data(), ctrl->data());
    if (status == 0) {
        EXPECT_EQ(count, pr.m() + pr.k);
        EXPECT_EQ((*knots)[count], -999.0) << "nothing written past the knots";
        knots->resize(count);
    }
    return status;
}

} // namespace

TEST_F(InterpTest, SpanSearch) {
    const Knots t = {0, 0, 0, 1, 2, 2, 3, 3, 3};
    const int n = static_cast<int>(t.size());
    EXPECT_EQ(h0917(3.0, t.data(), n, 1e-9), 5); // the last non-empty span
    EXPECT_EQ(h0917(0.0, t.data(), n, 1e-9), 2);
    EXPECT_EQ(h0917(-1e-8, t.data(), n, 1e-9), -1);
    EXPECT_EQ(h0917(-1e-10, t.data(), n, 1e-9), 2);
    EXPECT_EQ(h0917(1.0, t.data(), n, 1e-9), 3);
    EXPECT_EQ(h0917(2.5, t.data(), n, 1e-9), 5);
    const Knots open = {0, 0, 1, 2, 3, 4};
    EXPECT_EQ(h0917(3.0, open.data(), 6, 1e-9), 4);
    EXPECT_EQ(h0917x(3.0, open.data(), 6, 2, 1e-9), 3); // knots[count-k] = 3 looks up 3 - 5e-13
    double x = 3.0 + 1e-13;
    EXPECT_EQ(h0918(&x, t.data(), n, 3), 5);
    EXPECT_EQ(x, 3.0 - 5e-13);
    x = -1e-13;
    EXPECT_EQ(h0918(&x, t.data(), n, 3), 2);
    EXPECT_EQ(x, 0.0);
    x = 3.1;
    EXPECT_EQ(h0918(&x, t.data(), n, 3), -1);
}

TEST_F(InterpTest, BasisFunctionsMatchTheRecursiveDefinition) {
    std::mt19937 rng(830);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 300; ++trial) {
        const int k = 1 + trial % 8, count = 2 * k + 4 + trial % 5;
        Knots t(count);
        t[0] = 0.0;
        for (int i = 1; i < count; ++i) t[i] = t[i - 1] + (u(rng) < 0.25 ? 0.0 : 0.1 + u(rng));
        // Clamped ends make the functions sum to 1 over the whole domain.
        for (int i = 0; i < k; ++i) {
            t[i] = t[k - 1];
            t[count - 1 - i] = t[count - k];
        }
        const int m = count - k;
        if (!(t[m] > t[k - 1])) continue;
        const double x = t[k - 1] + u(rng) * (t[m] - t[k - 1]);
        const int s = span_ref(t, k, m, x);
        const int d = k + 2;
        std::vector<double> sum(d + 1, 0.0), out(d + 1);
        for (int j = 0; j < m; ++j) {
            std::fill(out.begin(), out.end(), 7.0);
            ASSERT_EQ(h0916(count, t.data(), j, k, x, d, out.data()), 0);
            for (int q = 0; q <= d; ++q) {
                if (q >= k) {
                    EXPECT_EQ(out[q], 0.0) << "derivative order " << q << " of order " << k;
                    continue;
                }
                const long double want = basis_ref(t, s, j, k - 1, q, x);
                long double scale = 1.0L;
                for (int r = 0; r < q; ++r) scale *= 2.0L * (k - 1 - r) / 0.1L;
                EXPECT_NEAR(out[q], (double)want, 1e-12 * (double)scale) << k << " " << j << " " << q;
                sum[q] += out[q];
            }
        }
        EXPECT_NEAR(sum[0], 1.0, 1e-13);
        long double scale = 1.0L;
        for (int q = 1; q < k; ++q) {
            scale *= 2.0L * (k - q) / 0.1L;
            EXPECT_NEAR(sum[q], 0.0, 1e-13 * (double)scale) << q;
        }
    }
    // Coincident knots: the ratio terms are 0, nothing divides by zero.
    const Knots c = {0, 0, 0, 0, 1, 1, 1, 1};
    double out[4];
    h0916(8, c.data(), 0, 4, 0.0, 3, out);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_DOUBLE_EQ(out[1], -3.0);
    EXPECT_THROW(h0916(8, c.data(), 5, 4, 0.5, 0, out), Kaltor::Error::Exception);
}

TEST_F(InterpTest, OpenAndPeriodicInterpolationReproducesPointsAndConditions) {
    std::mt19937 rng(831);
    int solved[2] = {0, 0};
    for (int trial = 0; trial < 400; ++trial) {
        const bool periodic = trial % 2 == 1;
        const Problem pr = random_problem(rng, periodic);
        Knots knots;
        std::vector<double> ctrl;
        const long blocks = CORVEX_blocks_in_use();
        const int status = interpolate(pr, &knots, &ctrl);
        EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
        EXPECT_EQ(merrorlevel(), 0);
        if (pr.dim == 4 && status == 1) continue; // a negative weight
        ASSERT_EQ(status, 0) << "trial " << trial << " k=" << pr.k << " np=" << pr.np << " ndc=" << pr.ndc();
        EXPECT_TRUE(std::is_sorted(knots.begin(), knots.end()));
        expect_reproduces(pr, knots, ctrl, periodic ? "periodic" : "open");
        ++solved[periodic];
    }
    EXPECT_GT(solved[0], 150);
    EXPECT_GT(solved[1], 150);
}

TEST_F(InterpTest, BandedPivotedAndDenseSolversAgree) {
    std::mt19937 rng(832);
    for (int trial = 0; trial < 200; ++trial) {
        Problem pr = random_problem(rng, false);
        Knots knots;
        std::vector<double> ctrl;
        if (interpolate(pr, &knots, &ctrl) != 0) continue;
        // The third group kept apart: the banded driver solves for it too.
        if (pr.groups[2] == 0 && pr.groups[1] > 0) {
            pr.groups[1]--;
            pr.groups[2]++;
        }
        const std::vector<int> d = pr.descriptor8();
        const int m = pr.m();
        std::vector<double> banded(ctrl.size(), -999.0);
        ASSERT_EQ(h0913a(d.data(), pr.points.data(), pr.params.data(), pr.cond_params.data(), pr.cond_orders.data(),
                         pr.cond_values.data(), knots.data(), banded.data()),
                  0);
        expect_reproduces(pr, knots, banded, "h0913a");
        std::vector<double> pivoted(ctrl.size());
#if QUORM_FULL_BUILD
        ASSERT_EQ(h0913a2(d.data(), pr.points.data(), pr.params.data(), pr.cond_params.data(),
                          pr.cond_orders.data(), pr.cond_values.data(), knots.data(), pivoted.data()),
                  0);
        for (size_t i = 0; i < ctrl.size(); ++i) EXPECT_NEAR(pivoted[i], ctrl[i], 1e-8 * (1 + std::fabs(ctrl[i])));
#endif
        // The dense system of h0926/h0927 solved by the LU driver.
        quorm_test::Poly a(m * m), b(m * pr.dim);
        std::vector<double *> ar(m), br(m);
        for (int i = 0; i < m; ++i) {
            ar[i] = &a[i * m];
            br[i] = &b[i * pr.dim];
        }
        ASSERT_EQ(h0926(d.data(), knots.data(), pr.params.data(), pr.cond_params.data(), pr.cond_orders.data(),
                        ar.data()),
                  0);
        h0927(d.data(), pr.points.data(), pr.cond_values.data(), br.data());
        ASSERT_EQ(SOLVE_lu_solver(ar.data(), br.data(), m, pr.dim), 0);
        for (size_t i = 0; i < ctrl.size(); ++i) EXPECT_NEAR(b[i], ctrl[i], 1e-8 * (1 + std::fabs(ctrl[i])));
    }
}

TEST_F(InterpTest, FailuresAreReportedWithStorageReleased) {
    const long blocks = CORVEX_blocks_in_use();
    // Two coincident parameters on given knots: the band's only vanishing
    // pivot is its last one.
    {
        const int d[8] = {2, 2, 0, 1, 0, 0, 0, 0};
        const double pts[2] = {1.0, 2.0}, par[2] = {0.0, 0.0}, knots[4] = {0, 0, 1, 1};
        double ctrl[2] = {0, 0};
        EXPECT_EQ(h0913b(d, pts, par, nullptr, nullptr, nullptr, knots, ctrl), 1);
        EXPECT_EQ(h0913a(d, pts, par, nullptr, nullptr, nullptr, knots, ctrl), 1);
#if QUORM_FULL_BUILD
        EXPECT_EQ(h0913a2(d, pts, par, nullptr, nullptr, nullptr, knots, ctrl), 1);
#endif
        EXPECT_EQ(merrorlevel(), 0) << "register flushed";
    }
    // Coincident parameters on a periodic curve: the dense path reports them.
    {
        Problem pr;
        pr.np = 6;
        pr.k = 4;
        pr.periodic = 1;
        pr.dim = 2;
        pr.continuity = 2;
        pr.params = {0, 1, 2, 2, 3, 4};
        pr.points = {0, 0, 1, 0, 1, 1, 2, 2, 0, 1, -1, 0};
        Knots knots;
        std::vector<double> ctrl;
        EXPECT_EQ(interpolate(pr, &knots, &ctrl), 1);
    }
    // A homogeneous linear interpolation through a point of negative weight.
    {
        const int d[7] = {3, 2, 0, 4, 0, 0, 0};
        const double pts[12] = {0, 0, 0, 1, 1, 0, 0, -1, 2, 0, 0, 1}, par[3] = {0, 1, 2};
        double knots[5], ctrl[12];
        int count;
        EXPECT_EQ(h0913(d, pts, par, nullptr, nullptr, nullptr, &count, knots, ctrl), 1);
    }
    // A parameter outside the given knots, and unusable descriptors.
    {
        const int d[8] = {2, 2, 0, 1, 0, 0, 0, 0}, bad[8] = {2, 26, 0, 1, 0, 0, 0, 0};
        const double pts[2] = {1.0, 2.0}, par[2] = {0.0, 5.0}, knots[4] = {0, 0, 1, 1};
        double ctrl[2];
        EXPECT_EQ(h0913a(d, pts, par, nullptr, nullptr, nullptr, knots, ctrl), -1);
        EXPECT_EQ(h0913b(bad, pts, par, nullptr, nullptr, nullptr, knots, ctrl), -1);
        // Fewer points than the order.
        const int few[7] = {2, 4, 0, 1, 0, 0, 0};
        double k8[8];
        int count;
        EXPECT_EQ(h0913(few, pts, par, nullptr, nullptr, nullptr, &count, k8, ctrl), -1);
        EXPECT_EQ(count, 0);
    }
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
}

TEST_F(InterpTest, CubicKnotsWithConditionsAtTheEnds) {
    // Parameters from 2 to 6; first derivatives at both ends, a second
    // derivative at the start and a first derivative inside.
    Problem pr;
    pr.np = 5;
    pr.k = 4;
    pr.dim = 2;
    pr.params = {2, 3, 4, 5, 6};
    pr.points = {0, 0, 1, 1, 2, 0, 3, 1, 4, 0};
    pr.groups[0] = 3;
    pr.groups[1] = 1;
    pr.cond_params = {2, 2, 4.5, 6};
    pr.cond_orders = {1, 2, 1, 1};
    pr.cond_values = {1, 0, 0, 1, 1, 1, 1, 0};
    const std::vector<int> d = pr.descriptor8();
    std::vector<double> knots(pr.m() + 4 + 1, -999.0);
    int count = 0;
    ASSERT_EQ(knot_seq_order_4(d.data(), pr.params.data(), pr.cond_params.data(), &count, knots.data()), 0);
    EXPECT_EQ(count, pr.m() + 4);
    EXPECT_EQ(knots[count], -999.0);
    EXPECT_TRUE(std::is_sorted(knots.begin(), knots.begin() + count));
    EXPECT_EQ(knots[0], 2.0);
    EXPECT_EQ(knots[count - 1], 6.0);
    Knots built;
    std::vector<double> ctrl;
    ASSERT_EQ(interpolate(pr, &built, &ctrl), 0);
    EXPECT_EQ(std::vector<double>(knots.begin(), knots.begin() + count), built);
    expect_reproduces(pr, built, ctrl, "cubic with end conditions");
    // The periodic flag extends the vector by three knots at each end.
    std::vector<int> dp = d;
    dp[2] = 1;
    std::vector<double> extended(count + 6);
    int extended_count = 0;
    ASSERT_EQ(knot_seq_order_4(dp.data(), pr.params.data(), pr.cond_params.data(), &extended_count, extended.data()),
              0);
    EXPECT_EQ(extended_count, count + 6);
    EXPECT_TRUE(std::is_sorted(extended.begin(), extended.end()));
    EXPECT_EQ(std::vector<double>(extended.begin() + 3, extended.begin() + 3 + count),
              std::vector<double>(knots.begin(), knots.begin() + count));
    // No condition at the end: refused instead of a short knot vector.
    const double starts_only[4] = {2, 2, 4.5, 4.5};
    EXPECT_EQ(knot_seq_order_4(d.data(), pr.params.data(), starts_only, &count, knots.data()), -1);
}

TEST_F(InterpTest, ScalarCubicWithEstimatedEndSlopes) {
    for (double offset : {0.0, 3.0}) {
        // Parameters from 0 to 1, and from 3 to 4: the knots follow them.
        const int np = 6;
        std::vector<double> t(np), y(np);
        for (int i = 0; i < np; ++i) {
            t[i] = (i * i + i) / 42.0 + offset;
            y[i] = std::sin(3.0 * i);
        }
        int count = 0;
        std::vector<double> ctrl(np + 2), knots(np + 6);
        ASSERT_EQ(h0925(&np, y.data(), t.data(), &count, ctrl.data(), knots.data()), 0);
        EXPECT_EQ(count, np + 2);
        EXPECT_EQ(knots[0], t[0]);
        EXPECT_EQ(knots[np + 5], t[np - 1]);
        EXPECT_TRUE(std::is_sorted(knots.begin(), knots.end()));
        for (int i = 0; i < np; ++i)
            EXPECT_NEAR((double)spline_ref(knots, ctrl, 4, np + 2, 1, false, t[i], 0, 0), y[i], 1e-10);
        // End slopes: the three-point estimates.
        const double a0[3] = {y[0], 0, 0}, a1[3] = {y[1], 0, 0}, a2[3] = {y[2], 0, 0};
        const double b0[3] = {y[3], 0, 0}, b1[3] = {y[4], 0, 0}, b2[3] = {y[5], 0, 0};
        const int start = 1, end = 3;
        double ts[3], te[3];
        h553(a0, a1, a2, &t[0], &t[1], &t[2], &start, ts);
        h553(b0, b1, b2, &t[3], &t[4], &t[5], &end, te);
        EXPECT_NEAR((double)spline_ref(knots, ctrl, 4, np + 2, 1, false, t[0], 1, 0), ts[0], 1e-9);
        EXPECT_NEAR((double)spline_ref(knots, ctrl, 4, np + 2, 1, false, t[5], 1, 0), te[0], 1e-9);
    }
    // Two points: a straight line; one point: refused.
    const int two = 2, one = 1;
    const double y[2] = {1.0, 3.0}, t[2] = {0.0, 1.0};
    double ctrl[4], knots[8];
    int count;
    ASSERT_EQ(h0925(&two, y, t, &count, ctrl, knots), 0);
    EXPECT_NEAR(ctrl[1], 1.0 + 2.0 / 3.0, 1e-12);
    EXPECT_EQ(h0925(&one, y, t, &count, ctrl, knots), -1);

    // h553 on x(t) = t^2 through t = 0, 1, 3: chord slopes 1 and 4, the
    // parabola's slope 2 at the middle, end values (3 s - m)/2.
    const double p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0}, p2[3] = {9, 0, 0};
    const double t0 = 0, t1 = 1, t2 = 3;
    double tangent[3];
    for (int sel : {1, 2, 3}) {
        h553(p0, p1, p2, &t0, &t1, &t2, &sel, tangent);
        EXPECT_NEAR(tangent[0], sel == 2 ? 2.0 : sel == 3 ? 5.0 : 0.5, 1e-12) << sel;
        EXPECT_EQ(tangent[1], 0.0);
    }
}

#if QUORM_FULL_BUILD
TEST_F(InterpTest, BandedAndPackedMatricesHoldTheDenseEquations) {
    // The band rows are the dense rows in another order, each exactly once.
    std::mt19937 rng(833);
    for (int trial = 0; trial < 50; ++trial) {
        const Problem pr = random_problem(rng, false);
        Knots knots;
        std::vector<double> ctrl;
        if (interpolate(pr, &knots, &ctrl) != 0) continue;
        const std::vector<int> d = pr.descriptor8();
        const int m = pr.m(), w = pr.k - 1;
        std::vector<double> dense(m * m), full(m * m), packed(m * (2 * w + 1));
        std::vector<double *> dr(m), fr(m), pk(m);
        for (int i = 0; i < m; ++i) {
            dr[i] = &dense[i * m];
            fr[i] = &full[i * m];
            pk[i] = &packed[i * (2 * w + 1)];
        }
        ASSERT_EQ(h0926(d.data(), knots.data(), pr.params.data(), pr.cond_params.data(), pr.cond_orders.data(),
                        dr.data()),
                  0);
        double **band, *vec;
        msetup_banded(m, w, &band, &vec);
        ASSERT_EQ(h0926a(d.data(), knots.data(), pr.params.data(), pr.cond_params.data(), pr.cond_orders.data(),
                         band),
                  0);
        mconvert_banded(band, m, w, fr.data());
        mdispose_banded(&band, &vec);
        ASSERT_EQ(h0926a2(d.data(), knots.data(), pr.params.data(), pr.cond_params.data(), pr.cond_orders.data(),
                          pk.data()),
                  0);
        std::vector<bool> used(m, false);
        for (int i = 0; i < m; ++i) {
            int match = -1;
            for (int j = 0; j < m && match < 0; ++j)
                if (!used[j] && std::equal(fr[i], fr[i] + m, dr[j])) match = j;
            ASSERT_GE(match, 0) << "band row " << i;
            used[match] = true;
            for (int c = 0; c < m; ++c) {
                const int p = c - i + w;
                if (p >= 0 && p <= 2 * w) {
                    EXPECT_EQ(pk[i][p], fr[i][c]);
                }
            }
        }
    }
}
#endif
