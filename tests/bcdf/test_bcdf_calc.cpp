// Parameters, weights, quadratic interpolation, automatic derivatives and
// normalised slopes of defining data.
#include "bcdf/bcdf_edit_util.hpp"

#include <random>

using namespace bcdf_test;

namespace {

void expect_vec(const double *got, std::vector<double> want, double tol = 1e-12) {
    for (size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(got[k], want[k], tol) << "component " << k;
}

TEST(BcdfCalcParameters, ChordUniformCentripetalNormalisedAndCoincident) {
    const double p[] = {0, 0, 0, 3, 4, 0, 3, 4, 12};
    double t[3];
    BCDF_CALC_parameters(3, 3, p, 1.0, false, t);
    expect_vec(t, {0, 5, 17});
    BCDF_CALC_parameters(3, 3, p, 0.0, false, t);
    expect_vec(t, {0, 1, 2});
    BCDF_CALC_parameters(3, 3, p, 1.0, true, t);
    expect_vec(t, {0, 5.0 / 17.0, 1});
    EXPECT_EQ(t[2], 1.0);
    BCDF_CALC_parameters(3, 3, p, 0.5, false, t);
    expect_vec(t, {0, std::sqrt(5.0), std::sqrt(5.0) + std::sqrt(12.0)});
    const double same[] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    BCDF_CALC_parameters(3, 3, same, 1.0, false, t);
    expect_vec(t, {0, 2, 4});
    // One point: a single 0, even when asked to normalise.
    BCDF_CALC_parameters(1, 3, p, 1.0, true, t);
    EXPECT_EQ(t[0], 0.0);
}

TEST(BcdfCalcWeights, HalfSpansPeriodicEndsAndSingleWeight) {
    const double t[] = {0, 1, 3, 6};
    double w[4];
#if QUORM_FULL_BUILD
    BCDF_CALC_weights(0, 4, t, w);
    expect_vec(w, {0.5, 1.5, 2.5, 1.5});
    BCDF_CALC_weights(1, 4, t, w);
    expect_vec(w, {2, 1.5, 2.5, 2});
#else
    BCDF_CALC_weights(4, t, w);
    expect_vec(w, {0.5, 1.5, 2.5, 1.5});
#endif
    for (int i = 0; i < 4; ++i) EXPECT_EQ(BCDF_CALC_single_weight(4, t, i), (std::vector<double>{0.5, 1.5, 2.5, 1.5}[i]));
    Kaltor::Corvex::MessageCapture capture(true);
    EXPECT_EQ(BCDF_CALC_single_weight(1, t, 0), 0.0);
    EXPECT_EQ(capture.internals(), std::vector<std::string>{"Not Enough Parameters"});
}

// Every kind of condition reproduces a random quadratic exactly.
TEST(BcdfCalcQuadratic, ReproducesRandomQuadraticsForEveryKind) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    for (int trial = 0; trial < 300; ++trial) {
        double A[3], B[3], C[3];
        for (int k = 0; k < 3; ++k) A[k] = u(rng), B[k] = u(rng), C[k] = u(rng);
        auto q = [&](double s, double *o) { for (int k = 0; k < 3; ++k) o[k] = (A[k] * s + B[k]) * s + C[k]; };
        auto dq = [&](double s, double *o) { for (int k = 0; k < 3; ++k) o[k] = 2 * A[k] * s + B[k]; };
        double t[3] = {u(rng), 0, 0};
        t[1] = t[0] + 0.5 + std::fabs(u(rng));
        t[2] = t[1] + 0.5 + std::fabs(u(rng));
        const int kind = trial % 3;
        double a[3], b[3], c[3];
        q(t[0], a);
        if (kind == 2) dq(t[1], b); else q(t[1], b);
        if (kind == 1) dq(t[2], c); else q(t[2], c);
        const double s = u(rng);
        double out[9], want[9];
        ASSERT_EQ(BCDF_CALC_quadratic_apprx(a, b, c, t, kind, s, 2, out), 0);
        q(s, want);
        dq(s, want + 3);
        for (int k = 0; k < 3; ++k) want[6 + k] = 2 * A[k];
        for (int k = 0; k < 9; ++k) EXPECT_NEAR(out[k], want[k], 1e-8 * (1 + std::fabs(want[k])));
    }
    const double a[3] = {0, 0, 0}, t[3] = {1, 1, 2};
    double out[9];
    EXPECT_NE(BCDF_CALC_quadratic_apprx(a, a, a, t, 0, 0.0, 2, out), 0);
}

TEST(BcdfCalcAutoDerivatives, ExamplesEndsAndTwoPoints) {
    BCDF_s *b = make({0, 0, 0, 1, 1, 0, 2, 0, 0});
    const double t[] = {0, 1, 2};
    BCDF_add_params(b, t);
    double d[6];
    BCDF_CALC_auto_derivatives(b, 1, 2, d);
    expect_vec(d, {1, 0, 0, 0, -2, 0});
    // The parabola through the three points at its ends.
    BCDF_CALC_auto_derivatives(b, 0, 2, d);
    expect_vec(d, {1, 2, 0, 0, -2, 0});
    BCDF_CALC_auto_slope(b, 2, d);
    expect_vec(d, {1, -2, 0});
    EXPECT_EQ(raised([&] { BCDF_CALC_auto_slope(b, 3, d); }), 1005315);
    BCDF_free_structure(b);

    b = make({1, 1, 1, 3, 2, 1});
    const double t2[] = {0, 4};
    BCDF_add_params(b, t2);
    for (int i = 0; i < 2; ++i) {
        BCDF_CALC_auto_derivatives(b, i, 2, d);
        expect_vec(d, {0.5, 0.25, 0, 0, 0, 0});
    }
    BCDF_free_structure(b);
}

// Points on a random quadratic curve with its own parameters: interior and
// open-end estimates are exact, and a fixed slope at the neighbour of an end
// is honoured.
TEST(BcdfCalcAutoDerivatives, ExactOnQuadraticCurves) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    for (int trial = 0; trial < 50; ++trial) {
        double A[3], B[3], C[3];
        for (int k = 0; k < 3; ++k) A[k] = u(rng), B[k] = u(rng), C[k] = u(rng);
        const int n = 3 + trial % 6;
        std::vector<double> c, t;
        double s = 0;
        for (int i = 0; i < n; ++i) {
            if (i > 0) s += 0.3 + std::fabs(u(rng));
            t.push_back(s);
            for (int k = 0; k < 3; ++k) c.push_back((A[k] * t.back() + B[k]) * t.back() + C[k]);
        }
        BCDF_s *b = make(c);
        BCDF_add_params(b, t.data());
        if (trial % 2) {
            const double ds[3] = {2 * A[0] * t[1] + B[0], 2 * A[1] * t[1] + B[1], 2 * A[2] * t[1] + B[2]};
            BCDF_replace_slope(b, ds, 1, 1);
            const double de[3] = {2 * A[0] * t[n - 2] + B[0], 2 * A[1] * t[n - 2] + B[1], 2 * A[2] * t[n - 2] + B[2]};
            BCDF_replace_slope(b, de, n - 2, 3);
        }
        for (int i = 0; i < n; ++i) {
            double d[6];
            BCDF_CALC_auto_derivatives(b, i, 2, d);
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(d[k], 2 * A[k] * t[i] + B[k], 1e-8) << "trial " << trial << " point " << i;
                EXPECT_NEAR(d[3 + k], 2 * A[k], 1e-8) << "trial " << trial << " point " << i;
            }
        }
        BCDF_free_structure(b);
    }
}

TEST(BcdfCalcAutoDerivatives, MirroredSlopeAtTheEndsBendsTowardsTheChord) {
    BCDF_s *b = make({0, 0, 0, 2, 0, 0, 4, 1, 0, 6, 0, 0});
    const double s[3] = {1, 1, 0};
    BCDF_replace_slope(b, s, 1, 2);
    double d[6];
    BCDF_CALC_auto_derivatives(b, 0, 2, d);
    expect_vec(d, {1, -1, 0, 1, 1, 0}); // mirror about the x axis; |d2| = |d1|, towards the chord side
    BCDF_replace_slope(b, s, 2, 5);
    BCDF_CALC_auto_derivatives(b, 3, 2, d);
    // Chord (4,1)->(6,0); the mirrored slope turns back towards (4,1).
    double m[3];
    const double p0[3] = {4, 1, 0}, p1[3] = {6, 0, 0};
    BCDF_CALC_mirror_slope(s, p0, p1, m);
    expect_vec(d, {m[0], m[1], m[2]});
    EXPECT_NEAR(d[0] * d[3] + d[1] * d[4], 0.0, 1e-12);
    EXPECT_GT((p0[0] - p1[0]) * d[3] + (p0[1] - p1[1]) * d[4], 0.0);
    // A mirrored slope along the chord: a straight start, no bending.
    const double along[3] = {3, 0, 0};
    BCDF_replace_slope(b, along, 1, 4);
    BCDF_CALC_auto_derivatives(b, 0, 2, d);
    expect_vec(d, {3, 0, 0, 0, 0, 0});
    BCDF_free_structure(b);
}

TEST(BcdfCalcAutoCurvature, CircleSamplesPointToTheCentre) {
    std::vector<double> c;
    const double R = 3.0;
    for (int i = 0; i < 9; ++i) {
        const double a = 0.05 * i;
        c.insert(c.end(), {R * std::cos(a), R * std::sin(a), 1.0});
    }
    BCDF_s *b = make(c);
    double k[3];
    BCDF_CALC_auto_curvature(b, 4, k);
    const double a = 0.2;
    expect_vec(k, {-std::cos(a) / R, -std::sin(a) / R, 0}, 2e-3 / R);
    // The point's own slope is the first derivative: with a unit slope normal
    // to the second derivative, the curvature is the second derivative.
    const double s[3] = {0, 0, 1};
    BCDF_replace_slope(b, s, 4, 1);
    BCDF_CALC_auto_curvature(b, 4, k);
    double d[6];
    BCDF_CALC_auto_derivatives(b, 4, 2, d);
    expect_vec(k, {d[3], d[4], d[5]});
    BCDF_free_structure(b);

    // The first point of a closed hexagon: tangent to its circle.
    c.clear();
    for (int i = 0; i <= 6; ++i) c.insert(c.end(), {std::cos(i * M_PI / 3), std::sin(i * M_PI / 3), 0.0});
    c[18] = 1.0, c[19] = 0.0;
    b = make(c);
    b->periodicity = 1;
    BCDF_CALC_auto_derivatives(b, 0, 2, d);
    EXPECT_NEAR(d[0], 0.0, 1e-12);
    EXPECT_GT(d[1], 0.0);
    EXPECT_NEAR(d[4], 0.0, 1e-12);
    EXPECT_LT(d[3], 0.0);
    BCDF_free_structure(b);
}

TEST(BcdfCalcNormalizedSlope, ModesSizeTheSlopeToTheChords) {
    // Points on the x axis with chord-length parameters: speed 1.
    BCDF_s *b = make({0, 0, 0, 1, 0, 0, 3, 0, 0, 4, 0, 0});
    double v[3] = {5, 0, 0};
    BCDF_CALC_normalized_slope(b, 1, 1, v);
    expect_vec(v, {5, 0, 0});
    BCDF_CALC_normalized_slope(b, 3, 1, v); // 3 / T with T = 3
    expect_vec(v, {5, 0, 0});
    double w[3] = {5, 0, 0};
    BCDF_CALC_normalized_slope(b, 5, 0, w);
    expect_vec(w, {1, 0, 0});
    double r[3] = {-2, 0, 0}; // kind 4 turns a backward direction forward
    BCDF_CALC_normalized_slope(b, 4, 2, r);
    expect_vec(r, {1, 0, 0});
    EXPECT_EQ(raised([&] { BCDF_CALC_normalized_slope(b, 2, 4, w); }), 1005315);
    BCDF_free_structure(b);

    // At a right-angled corner the two chord-sized candidates are blended by
    // the distances of the neighbours from the slope's line.
    b = make({0, 0, 0, 1, 0, 0, 1, 2, 0});
    double q[3] = {1, 1, 0};
    BCDF_CALC_normalized_slope(b, 5, 1, q);
    EXPECT_NEAR(q[0], q[1], 1e-12);
    EXPECT_GT(q[0], 0.0);
    BCDF_free_structure(b);
}

TEST(BcdfCalcHelpers, MirrorUnitizeDenormalize) {
    const double s[3] = {0, 1, 0}, o[3] = {0, 0, 0}, x[3] = {1, 0, 0};
    double m[3];
    BCDF_CALC_mirror_slope(s, o, x, m);
    expect_vec(m, {0, -1, 0});
    BCDF_CALC_mirror_slope(s, o, o, m);
    expect_vec(m, {0, 1, 0});
    const double v[3] = {0, 3, 4};
    BCDF_CALC_unitize_slope(v, m);
    expect_vec(m, {0, 0.6, 0.8});
    const int saved = MACH__checking_level;
    MACH__checking_level = 0; // raised at every level
    EXPECT_EQ(raised([&] { BCDF_CALC_unitize_slope(o, m); }), 1005314);
    MACH__checking_level = saved;
    BCDF_s *b = make({0, 0, 0, 8, 0, 0});
    EXPECT_DOUBLE_EQ(BCDF_CALC_denormalize_param(b, 0.25), 2.0);
    BCDF_free_structure(b);
}

} // namespace
