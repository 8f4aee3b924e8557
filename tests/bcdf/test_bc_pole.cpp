// Homogeneous poles and the bounding box of rational B-curves.
#include "test_support.h"

#include <corvex/capture.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Poles = quorm_test::EqualityTolerances;

// Point of a rational B-spline by the Cox-de Boor recursion of the basis
// functions (independent of the kernel's knot insertion).
double basis(const std::vector<double> &t, int i, int k, double u) {
    if (k == 1) return (t[i] <= u && u < t[i + 1]) ? 1.0 : 0.0;
    double a = 0, b = 0;
    if (t[i + k - 1] > t[i]) a = (u - t[i]) / (t[i + k - 1] - t[i]) * basis(t, i, k - 1, u);
    if (t[i + k] > t[i + 1]) b = (t[i + k] - u) / (t[i + k] - t[i + 1]) * basis(t, i + 1, k - 1, u);
    return a + b;
}

void curve_point(const BCURVE_DATA &c, const std::vector<double> &knots, double u, double out[3]) {
    double h[4] = {0, 0, 0, 0};
    for (int i = 0; i < c.num_poles; ++i) {
        double b = basis(knots, i, c.order, u);
        for (int k = 0; k < 4; ++k) h[k] += b * c.poles[4 * i + k];
    }
    for (int k = 0; k < 3; ++k) out[k] = h[k] / h[3];
}

struct Curve {
    std::vector<double> poles, knots;
    BCURVE_DATA data{};

    // Clamped curve on [0, 1] with random interior knots (some doubled) and
    // positive weights.
    Curve(std::mt19937 &rng, int order, int num_poles, int periodic = 0) {
        std::uniform_real_distribution<double> u(-5, 5), w(0.5, 2);
        for (int i = 0; i < num_poles; ++i) {
            double weight = w(rng);
            for (int k = 0; k < 3; ++k) poles.push_back(weight * u(rng));
            poles.push_back(weight);
        }
        knots.assign(order, 0.0);
        std::vector<double> inner;
        for (int i = 0; i < num_poles - order; ++i) inner.push_back(std::uniform_real_distribution<double>(0.01, 0.99)(rng));
        std::sort(inner.begin(), inner.end());
        if (inner.size() > 2) inner[1] = inner[2];
        knots.insert(knots.end(), inner.begin(), inner.end());
        knots.insert(knots.end(), order, 1.0);
        data = BCURVE_DATA{poles.data(), knots.data(), num_poles, order, 0, periodic};
    }

    // Box of many curve points over [a, b].
    void sampled_box(double a, double b, double box[6]) const {
        for (int k = 0; k < 3; ++k) {
            box[k] = 1e300;
            box[3 + k] = -1e300;
        }
        for (int s = 0; s <= 2000; ++s) {
            double u = a + (b - a) * s / 2000.0;
            if (u >= 1.0) u = 1.0 - 1e-14;
            double p[3];
            curve_point(data, knots, u, p);
            for (int k = 0; k < 3; ++k) {
                box[k] = std::min(box[k], p[k]);
                box[3 + k] = std::max(box[3 + k], p[k]);
            }
        }
    }
};

} // namespace

TEST_F(Poles, EqualityDistanceAndTranslation) {
    double a[] = {2, 4, 6, 2}, b[] = {1, 2, 3, 1}, c[] = {1, 2, 3.0001, 1};
    EXPECT_EQ(bc_POLE_equal_in_3d(a, b), 1);
    EXPECT_EQ(bc_POLE_equal_in_4d(a, b), 0); // same position, other weight
    EXPECT_EQ(bc_POLE_equal_in_3d(b, c), 0);
    double d[3];
    EXPECT_NEAR(bc_POLE_3d_distance(c, a, d), 0.0001, 1e-15);
    EXPECT_NEAR(d[2], 0.0001, 1e-15);
    double v[] = {1, 0, -1}, moved[4];
    bc_POLE_translate_pole(a, v, moved);
    EXPECT_EQ(std::vector<double>(moved, moved + 4), (std::vector<double>{4, 4, 4, 2}));
    double proj[4], la[] = {0, 0, 0, 1}, lb[] = {4, 0, 0, 2}, p[] = {3, 3, 3, 3};
    bc_POLE_project_to_line(p, la, lb, proj);
    EXPECT_EQ(std::vector<double>(proj, proj + 4), (std::vector<double>{3, 0, 0, 3}));
    bc_POLE_project_to_line(p, la, la, proj); // a coincident line is its point a
    EXPECT_EQ(std::vector<double>(proj, proj + 4), (std::vector<double>{0, 0, 0, 3}));
}

TEST_F(Poles, IdenticalPoles) {
    double one[1][4] = {{2, 2, 2, 2}};
    EXPECT_EQ(bc_POLE_identical_poles_in_3d(one, 1), 1); // no read past the single pole
    double same[3][4] = {{1, 1, 1, 1}, {2, 2, 2, 2}, {0.5, 0.5, 0.5, 0.5}};
    EXPECT_EQ(bc_POLE_identical_poles_in_3d(same, 3), 1);
    double apart[3][4] = {{1, 1, 1, 1}, {1, 1, 1.001, 1}, {1, 1, 1, 1}};
    EXPECT_EQ(bc_POLE_identical_poles_in_3d(apart, 3), 0);
    // The middle pole agrees with the first, another one does not.
    double third[4][4] = {{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 1e-9, 0, 1}};
    EXPECT_EQ(bc_POLE_identical_poles_in_3d(third, 4), 0);
    double mean[3];
    bc_POLE_average_in_3d(apart, 3, mean);
    EXPECT_NEAR(mean[2], 1.0 + 0.001 / 3, 1e-15);
    bc_POLE_average_in_3d(apart, 0, mean);
    EXPECT_EQ(mean[0], 0.0);
}

TEST_F(Poles, BoxOfAStraightRationalSegment) {
    double poles[] = {0, 0, 0, 1, 2, 1, 1, 2, 9, 3, 6, 3}; // (0,0,0) (1,.5,.5) (3,1,2)
    double knots[] = {0, 0, 0, 1, 1, 1};
    BCURVE_DATA c{poles, knots, 3, 3, 0, 0};
    double range[] = {0, 1}, box[6];
    bc_xyz_box(&c, range, box);
    double expect[] = {0, 0, 0, 3, 1, 2};
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(box[k], expect[k], 1e-14) << k;
    // An inverted range is the same stretch.
    double inverted[] = {1, 0};
    bc_xyz_box(&c, inverted, box);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(box[k], expect[k], 1e-14) << k;
    // A range without length gives the point there.
    double at[] = {1, 1};
    bc_xyz_box(&c, at, box);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(box[k], expect[3 + k], 1e-14);
        EXPECT_NEAR(box[3 + k], expect[3 + k], 1e-14);
    }
    Kaltor::Corvex::MessageCapture capture(true);
    BCURVE_DATA bad{poles, knots, 2, 3, 0, 0};
    bc_xyz_box(&bad, range, box);
    EXPECT_EQ(capture.internals().size(), 1u);
    EXPECT_EQ(box[3], 0.0);
}

TEST_F(Poles, BoxEnclosesTheCurveTightly) {
    std::mt19937 rng(3);
    for (int trial = 0; trial < 60; ++trial) {
        int order = std::uniform_int_distribution<int>(2, 7)(rng);
        int n = order + std::uniform_int_distribution<int>(0, 6)(rng);
        Curve c(rng, order, n);
        double a = std::uniform_real_distribution<double>(0, 1)(rng);
        double b = std::uniform_real_distribution<double>(0, 1)(rng);
        if (a > b) std::swap(a, b);
        double range[] = {a, b}, box[6], sampled[6];
        bc_xyz_box(&c.data, range, box);
        c.sampled_box(a, b, sampled);
        // Encloses every sample, and not by much more than the polygon's
        // distance to the curve after three halvings.
        double size = 0;
        for (int k = 0; k < 3; ++k) size = std::max(size, sampled[3 + k] - sampled[k]);
        for (int k = 0; k < 3; ++k) {
            EXPECT_LE(box[k], sampled[k] + 1e-9) << trial;
            EXPECT_GE(box[3 + k], sampled[3 + k] - 1e-9) << trial;
            EXPECT_GE(box[k], sampled[k] - 0.1 * size - 1e-9) << trial;
            EXPECT_LE(box[3 + k], sampled[3 + k] + 0.1 * size + 1e-9) << trial;
        }
    }
}

TEST_F(Poles, PeriodicRangeThatWrapsIsTwoPieces) {
    std::mt19937 rng(9);
    Curve c(rng, 4, 9, 1);
    double range[] = {0.8, 1.3}, box[6];
    bc_xyz_box(&c.data, range, box);
    double tail[6], head[6];
    c.sampled_box(0.8, 1.0, tail);
    c.sampled_box(0.0, 0.3, head);
    for (int k = 0; k < 3; ++k) {
        EXPECT_LE(box[k], std::min(tail[k], head[k]) + 1e-9);
        EXPECT_GE(box[3 + k], std::max(tail[3 + k], head[3 + k]) - 1e-9);
    }
    // The same range shifted by whole periods gives the same box.
    double shifted[] = {-1.2, -0.7}, other[6];
    bc_xyz_box(&c.data, shifted, other);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(other[k], box[k], 1e-9);
    // A full period is the whole curve.
    double full[] = {0.25, 1.25}, whole[6], all[6];
    bc_xyz_box(&c.data, full, whole);
    double domain[] = {0, 1};
    bc_xyz_box(&c.data, domain, all);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(whole[k], all[k]);
}
