// Span-to-Bezier conversion, re-description over another interval, repeated
// halving, knot-span search, periodic ranges and the slope length factor.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

class Knots : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = acom;
        acom.eq_tol[0] = 1e-10;
    }
    void TearDown() override { acom = saved_; }

  private:
    acom_s saved_;
};

// Bezier polynomial of degree n over [a, b] at t, by Bernstein sums.
void bernstein(int n, const double *poly, double a, double b, double t, double out[4]) {
    double s = (t - a) / (b - a);
    for (int k = 0; k < 4; ++k) out[k] = 0;
    for (int i = 0; i <= n; ++i) {
        double c = 1;
        for (int j = 0; j < i; ++j) c = c * (n - j) / (j + 1);
        double w = c * std::pow(s, i) * std::pow(1 - s, n - i);
        for (int k = 0; k < 4; ++k) out[k] += w * poly[4 * i + k];
    }
}

// B-spline piece of degree n over [k[n], k[n+1]] at t by the Cox-de Boor
// basis functions.
double basis(const double *k, int i, int order, double t) {
    if (order == 1) return (k[i] <= t && t < k[i + 1]) ? 1.0 : 0.0;
    double a = 0, b = 0;
    if (k[i + order - 1] > k[i]) a = (t - k[i]) / (k[i + order - 1] - k[i]) * basis(k, i, order - 1, t);
    if (k[i + order] > k[i + 1]) b = (k[i + order] - t) / (k[i + order] - k[i + 1]) * basis(k, i + 1, order - 1, t);
    return a + b;
}

void deboor(int n, const double *k, const double *poly, double t, double out[4]) {
    for (int c = 0; c < 4; ++c) out[c] = 0;
    for (int i = 0; i <= n; ++i) {
        double b = basis(k, i, n + 1, t);
        for (int c = 0; c < 4; ++c) out[c] += b * poly[4 * i + c];
    }
}

std::vector<double> random_poly(std::mt19937 &rng, int n) {
    std::uniform_real_distribution<double> u(-3, 3);
    std::vector<double> p(4 * (n + 1));
    for (double &v : p) v = u(rng);
    return p;
}

double max_diff(const double *a, const double *b) {
    double m = 0;
    for (int k = 0; k < 4; ++k) m = std::max(m, std::fabs(a[k] - b[k]));
    return m;
}

} // namespace

TEST_F(Knots, SpanToBezierAgreesWithTheBSplinePiece) {
    std::mt19937 rng(1);
    for (int trial = 0; trial < 200; ++trial) {
        int n = std::uniform_int_distribution<int>(0, 9)(rng);
        std::vector<double> k(2 * n + 2);
        std::uniform_real_distribution<double> u(0, 1);
        for (double &v : k) v = u(rng);
        std::sort(k.begin(), k.end());
        if (n > 1) k[n - 1] = k[n]; // a repeated knot at the start
        k[n + 1] = k[n] + 0.05 + u(rng);
        std::sort(k.begin() + n + 1, k.end());
        for (int i = n + 2; i < 2 * n + 2; ++i) k[i] = std::max(k[i], k[n + 1]);
        std::vector<double> poly = random_poly(rng, n), bez(poly.size()), same = poly;
        e0925(&n, k.data(), poly.data(), bez.data());
        e0925(&n, k.data(), same.data(), same.data()); // in place
        EXPECT_EQ(same, bez);
        for (int s = 0; s < 7; ++s) {
            double t = k[n] + (k[n + 1] - k[n]) * s / 7.0;
            double a[4], b[4];
            deboor(n, k.data(), poly.data(), t, a);
            bernstein(n, bez.data(), k[n], k[n + 1], t, b);
            ASSERT_LT(max_diff(a, b), 1e-11) << trial << " " << n;
        }
    }
}

TEST_F(Knots, RedescriptionOverOtherIntervals) {
    int n = 3;
    std::mt19937 rng(2);
    std::vector<double> poly = random_poly(rng, n), out(poly.size());
    double p[] = {2, 4};
    em0912(&n, p, poly.data(), p, out.data());
    EXPECT_EQ(out, poly);
    // The first half is the left part of a split at the middle: its ends are
    // the start and the middle point.
    double half[] = {2, 3};
    em0912(&n, p, poly.data(), half, out.data());
    double mid[4];
    bernstein(n, poly.data(), 2, 4, 3, mid);
    EXPECT_LT(max_diff(out.data() + 12, mid), 1e-14);
    EXPECT_EQ(std::vector<double>(out.begin(), out.begin() + 4), std::vector<double>(poly.begin(), poly.begin() + 4));

    // Random new intervals inside, across and beyond the old one describe
    // the same polynomial; a short interval reaching past the end stays
    // accurate (no split at a local parameter far outside 0 ... 1).
    for (int trial = 0; trial < 400; ++trial) {
        n = std::uniform_int_distribution<int>(1, 9)(rng);
        poly = random_poly(rng, n);
        out.resize(poly.size());
        std::uniform_real_distribution<double> u(-0.5, 1.5);
        double q[2] = {u(rng), u(rng)};
        if (trial % 4 == 0) q[0] = 1.0 - 1e-3, q[1] = 1.5;
        if (std::fabs(q[1] - q[0]) < 1e-3) continue;
        double unit[] = {0, 1};
        em0912(&n, unit, poly.data(), q, out.data());
        for (int s = 0; s <= 5; ++s) {
            double t = q[0] + (q[1] - q[0]) * s / 5.0;
            double a[4], b[4];
            bernstein(n, poly.data(), 0, 1, t, a);
            bernstein(n, out.data(), q[0], q[1], t, b);
            ASSERT_LT(max_diff(a, b), 1e-12 * std::pow(3.0, n)) << trial << " n=" << n;
        }
    }
}

TEST_F(Knots, ShortIntervalPastTheEndStaysAccurate) {
    // Split at 0.999 first, then at 1.5 inside [0.999, 1], would extrapolate
    // with a local parameter near 500.
    std::mt19937 rng(8);
    int n = 5;
    std::vector<double> poly = random_poly(rng, n), out(poly.size());
    double unit[] = {0, 1}, q[] = {0.999, 1.5};
    em0912(&n, unit, poly.data(), q, out.data());
    for (int s = 0; s <= 10; ++s) {
        double t = q[0] + (q[1] - q[0]) * s / 10.0, a[4], b[4];
        bernstein(n, poly.data(), 0, 1, t, a);
        bernstein(n, out.data(), q[0], q[1], t, b);
        EXPECT_LT(max_diff(a, b), 1e-12) << t;
    }
}

TEST_F(Knots, HalvingThreeTimesGivesEightPieces) {
    std::mt19937 rng(4);
    for (int n : {0, 1, 3, 7, 24}) {
        std::vector<double> poly = random_poly(rng, n), out(8 * poly.size());
        int level = 3;
        em0926(&n, poly.data(), &level, out.data());
        for (int piece = 0; piece < 8; ++piece) {
            const double *sub = out.data() + piece * 4 * (n + 1);
            for (int s = 0; s <= 4; ++s) {
                double t = (piece + s / 4.0) / 8.0;
                double a[4], b[4];
                bernstein(n, poly.data(), 0, 1, t, a);
                bernstein(n, sub, piece / 8.0, (piece + 1) / 8.0, t, b);
                ASSERT_LT(max_diff(a, b), 1e-12) << n << " " << piece;
            }
        }
    }
}

TEST_F(Knots, SpanSearchAgreesWithALinearScan) {
    std::mt19937 rng(6);
    for (int trial = 0; trial < 500; ++trial) {
        int order = std::uniform_int_distribution<int>(1, 5)(rng);
        int poles = order + std::uniform_int_distribution<int>(0, 8)(rng);
        std::vector<double> k(order, 0.0);
        for (int i = 0; i < poles - order; ++i) k.push_back(std::round(std::uniform_real_distribution<double>(0.05, 0.95)(rng) * 8) / 8);
        k.insert(k.end(), order, 1.0);
        std::sort(k.begin(), k.end());
        double t = std::uniform_real_distribution<double>(-0.2, 1.2)(rng);
        if (trial % 3 == 0) t = k[std::uniform_int_distribution<int>(0, poles + order - 1)(rng)];
        int span = -1;
        e4322(&order, &poles, k.data(), &t, &span);
        ASSERT_GE(span, order - 1);
        ASSERT_LE(span, poles - 1);
        ASSERT_LT(k[span], k[span + 1]) << "an empty span";
        if (t >= 0 && t < 1) {
            EXPECT_LE(k[span], t);
            EXPECT_LT(t, k[span + 1]);
        }
        if (t >= 1) {
            EXPECT_EQ(k[span + 1], 1.0);
        }
        if (t < 0) {
            EXPECT_EQ(k[span], 0.0);
        }
    }
}

TEST_F(Knots, PeriodicRangesAndSlopeFactor) {
    auto reduce = [](double a, double b) {
        double r[] = {a, b}, out[4] = {-9, -9, -9, -9};
        int count = 0;
        k71433(r, &count, out);
        return std::vector<double>(out, out + 2 * count);
    };
    EXPECT_EQ(reduce(0.2, 1.2 - 1e-11), (std::vector<double>{0, 1}));
    EXPECT_EQ(reduce(0.25, 0.75), (std::vector<double>{0.25, 0.75}));
    EXPECT_EQ(reduce(1.25, 1.75), (std::vector<double>{0.25, 0.75}));
    EXPECT_EQ(reduce(0.5, 1.0), (std::vector<double>{0.5, 1.0}));
    EXPECT_EQ(reduce(0.75, 1.25), (std::vector<double>{0.75, 1, 0, 0.25}));
    EXPECT_EQ(reduce(-0.25, 0.25), (std::vector<double>{0.75, 1, 0, 0.25}));

    double v[] = {1, 0, 0}, a[] = {0, 1, 0}, back[] = {-1, 0, 0}, null[] = {0, 0, 0}, e = 0;
    int kind = 4;
    h813(&kind, v, a, &e);
    EXPECT_EQ(e, 2.0);
    h813(&kind, v, v, &e);
    EXPECT_EQ(e, 1.0);
    h813(&kind, v, back, &e);
    EXPECT_EQ(e, -1.0); // -2 - f with f = -1
    kind = 5;
    h813(&kind, v, back, &e);
    EXPECT_EQ(e, 3.0);
    h813(&kind, null, v, &e);
    EXPECT_EQ(e, 2.0);
    kind = 3;
    h813(&kind, v, back, &e);
    EXPECT_EQ(e, 1.0);
}
