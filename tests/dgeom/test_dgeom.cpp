// Differential geometry against closed forms: circles, helices, lines,
// spheres, cylinders, planes, and the sections of a cubic graph surface.
#include "test_support.h"

#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using V = std::vector<double>;

double dot(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double len(const double *a) { return std::sqrt(dot(a, a)); }

void expect_vec(const double *got, V want, double tol, const char *what = "") {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], tol) << what << " [" << k << "]";
}

// Point and derivatives of the helix (a cos t, a sin t, b t).
struct Helix {
    double a, b;
    void derivs(double t, double d1[3], double d2[3], double d3[3]) const {
        double c = std::cos(t), s = std::sin(t);
        d1[0] = -a * s, d1[1] = a * c, d1[2] = b;
        d2[0] = -a * c, d2[1] = -a * s, d2[2] = 0;
        d3[0] = a * s, d3[1] = -a * c, d3[2] = 0;
    }
};

// A random cubic space curve: derivatives up to the third at t.
struct Cubic {
    double c[4][3];
    void derivs(double t, double d1[3], double d2[3], double d3[3]) const {
        for (int k = 0; k < 3; ++k) {
            d1[k] = c[1][k] + 2 * c[2][k] * t + 3 * c[3][k] * t * t;
            d2[k] = 2 * c[2][k] + 6 * c[3][k] * t;
            d3[k] = 6 * c[3][k];
        }
    }
};

// Graph z = f(x, y) of a cubic, parameterised by x = u + v, y = u - v.
struct Graph {
    double A, B, C, D, E, F, G;
    double f(double x, double y) const {
        return A * x * x + B * x * y + C * y * y + D * x * x * x + E * x * x * y + F * x * y * y + G * y * y * y;
    }
    // 30 doubles: point, Su, Sv, Suu, Suv, Svv, Suuu, Suuv, Suvv, Svvv.
    void data(double x, double y, double *s) const {
        double fx = 2 * A * x + B * y + 3 * D * x * x + 2 * E * x * y + F * y * y;
        double fy = B * x + 2 * C * y + E * x * x + 2 * F * x * y + 3 * G * y * y;
        double fxx = 2 * A + 6 * D * x + 2 * E * y, fxy = B + 2 * E * x + 2 * F * y, fyy = 2 * C + 2 * F * x + 6 * G * y;
        double fxxx = 6 * D, fxxy = 2 * E, fxyy = 2 * F, fyyy = 6 * G;
        double v[10][3] = {{x, y, f(x, y)},
                           {1, 1, fx + fy},
                           {1, -1, fx - fy},
                           {0, 0, fxx + 2 * fxy + fyy},
                           {0, 0, fxx - fyy},
                           {0, 0, fxx - 2 * fxy + fyy},
                           {0, 0, fxxx + 3 * fxxy + 3 * fxyy + fyyy},
                           {0, 0, fxxx + fxxy - fxyy - fyyy},
                           {0, 0, fxxx - fxxy - fxyy + fyyy},
                           {0, 0, fxxx - 3 * fxxy + 3 * fxyy - fyyy}};
        for (int i = 0; i < 10; ++i)
            for (int k = 0; k < 3; ++k) s[3 * i + k] = v[i][k];
    }
};

#if QUORM_FULL_BUILD
// Curvature vector of a parametric curve from its first two derivatives.
void curvature_vector(const double *d1, const double *d2, double *k) {
    double s2 = dot(d1, d1), c = dot(d1, d2);
    for (int i = 0; i < 3; ++i) k[i] = (d2[i] * s2 - d1[i] * c) / (s2 * s2);
}
#endif

using Dgeom = quorm_test::EqualityTolerances;

} // namespace

TEST_F(Dgeom, CircleHelixAndLine) {
    const double R = 2.5, t = 0.7;
    double d1[] = {-R * std::sin(t), R * std::cos(t), 0}, d2[] = {-R * std::cos(t), -R * std::sin(t), 0}, k[3], r[3];
    EXPECT_NEAR(DGEOM_crv_curvature(d1, d2, k), 1 / R, 1e-15);
    expect_vec(k, {-std::cos(t) / R, -std::sin(t) / R, 0}, 1e-15, "towards the centre");
    ASSERT_EQ(DGEOM_convert_crvatr_to_radius(k, r), 0);
    EXPECT_NEAR(len(r), R, 1e-14);
    double back[3], again[3];
    ASSERT_EQ(DGEOM_convert_radius_to_crvatr(r, back), 0);
    expect_vec(back, {k[0], k[1], k[2]}, 1e-15);
    double zero[] = {0, 0, 0};
    EXPECT_EQ(DGEOM_convert_crvatr_to_radius(zero, again), 1);
    EXPECT_EQ(DGEOM_convert_radius_to_crvatr(zero, again), 1);
    double d3[] = {R * std::sin(t), -R * std::cos(t), 0}, tv[3];
    EXPECT_EQ(DGEOM_crv_torsion(d1, d2, d3, tv), 0.0);
    DGEOM_convert_crvatr_to_deriv2(d1, k, again);
    expect_vec(again, {d2[0], d2[1], d2[2]}, 1e-14);

    Helix h{1.5, 0.8};
    double q = h.a * h.a + h.b * h.b, out[11];
    h.derivs(1.1, d1, d2, d3);
    EXPECT_NEAR(DGEOM_crv_curvature(d1, d2, k), h.a / q, 1e-15);
    EXPECT_NEAR(DGEOM_crv_torsion(d1, d2, d3, tv), h.b / q, 1e-15);
    DGEOM_crv_diff_property(d1, d2, d3, 1, out);
    EXPECT_NEAR(out[9], h.a / q, 1e-15);
    EXPECT_NEAR(out[10], h.b / q, 1e-15);
    expect_vec(out + 6, {-std::cos(1.1), -std::sin(1.1), 0}, 1e-15, "principal normal");
    expect_vec(tv, {-out[10] * out[6], -out[10] * out[7], -out[10] * out[8]}, 1e-15, "torsion vector");
    EXPECT_NEAR(dot(out, out + 3), 0, 1e-15);
    DGEOM_crv_diff_property(d1, d2, d3, 0, out);
    EXPECT_EQ(out[10], 0.0);

    // A straight line: only the tangent, and no 0/0 torsion.
    double l1[] = {1, 2, 2}, l2[] = {2, 4, 4}, l3[] = {5, -1, 3};
    DGEOM_crv_diff_property(l1, l2, l3, 1, out);
    expect_vec(out, {1 / 3.0, 2 / 3.0, 2 / 3.0}, 1e-15);
    for (int i = 3; i < 11; ++i) EXPECT_EQ(out[i], 0.0) << i;
    EXPECT_EQ(DGEOM_crv_curvature(l1, l2, k), 0.0);
    EXPECT_EQ(DGEOM_crv_torsion(l1, l2, l3, tv), 0.0);
    // A vanishing first derivative.
    DGEOM_crv_diff_property(zero, l2, l3, 1, out);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(out[i], 0.0) << i;
    EXPECT_EQ(DGEOM_crv_curvature(zero, l2, k), 0.0);
    DGEOM_crv_curvature_variation(zero, l2, l3, k);
    expect_vec(k, {0, 0, 0}, 0);
}

TEST_F(Dgeom, CurvatureVariationAgreesWithDifferences) {
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int trial = 0; trial < 100; ++trial) {
        Cubic c;
        for (auto &row : c.c)
            for (double &v : row) v = u(rng);
        c.c[1][0] += 2; // keep the speed away from 0
        double t = 0.3 * u(rng), h = 1e-5, d1[3], d2[3], d3[3], kp[3], km[3], dk[3];
        c.derivs(t + h, d1, d2, d3);
        DGEOM_crv_curvature(d1, d2, kp);
        c.derivs(t - h, d1, d2, d3);
        DGEOM_crv_curvature(d1, d2, km);
        c.derivs(t, d1, d2, d3);
        DGEOM_crv_curvature_variation(d1, d2, d3, dk);
        double s = len(d1), scale = 1 + len(dk);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(dk[k], (kp[k] - km[k]) / (2 * h * s), 1e-6 * scale) << trial;

#if QUORM_FULL_BUILD
        // The geometric derivatives: the same curvature vector and variation.
        double src[12] = {1, 2, 3}, dst[12];
        for (int k = 0; k < 3; ++k) src[3 + k] = d1[k], src[6 + k] = d2[k], src[9 + k] = d3[k];
        ASSERT_EQ(DGEOM_convert_to_geometric_deriv(src, 3, dst), 0);
        double kv[3];
        DGEOM_crv_curvature(d1, d2, kv);
        expect_vec(dst, {1, 2, 3}, 0);
        expect_vec(dst + 3, {d1[0] / s, d1[1] / s, d1[2] / s}, 1e-15);
        expect_vec(dst + 6, {kv[0], kv[1], kv[2]}, 1e-13 * (1 + len(kv)));
        expect_vec(dst + 9, {dk[0], dk[1], dk[2]}, 1e-12 * scale);
        // Back to parametric derivatives of a constant-speed curve.
        double d3c[3];
        DGEOM_convert_crvatr_deriv_to_deriv3(d1, kv, dk, d3c);
        expect_vec(d3c, {s * s * s * dk[0], s * s * s * dk[1], s * s * s * dk[2]}, 1e-12 * scale * s * s * s);
#endif
    }
#if QUORM_FULL_BUILD
    double src[12] = {1, 2, 3, 0, 0, 0, 1, 1, 1, 1, 1, 1}, dst[12] = {};
    EXPECT_EQ(DGEOM_convert_to_geometric_deriv(src, 0, dst), 0);
    EXPECT_EQ(dst[2], 3.0);
    EXPECT_EQ(DGEOM_convert_to_geometric_deriv(src, 2, dst), -2);
#endif
}

TEST_F(Dgeom, SphereCylinderAndPlane) {
    const double R = 2.0, u = 0.4, v = 0.3;
    double cu = std::cos(u), su = std::sin(u), cv = std::cos(v), sv = std::sin(v);
    double Su[] = {-R * su * cv, R * cu * cv, 0}, Sv[] = {-R * cu * sv, -R * su * sv, R * cv};
    double Suu[] = {-R * cu * cv, -R * su * cv, 0}, Suv[] = {R * su * sv, -R * cu * sv, 0},
           Svv[] = {-R * cu * cv, -R * su * cv, -R * sv};
    double out[7];
    ASSERT_EQ(DGEOM_srf_curvatures(Su, Sv, Suu, Suv, Svv, 1, out), 0);
    EXPECT_NEAR(out[0], 1 / (R * R), 1e-14);
    EXPECT_NEAR(std::fabs(out[1]), 1 / R, 1e-14);
    EXPECT_NEAR(out[2], out[3], 1e-7);
    EXPECT_NEAR(out[4], 1 / R, 1e-7);
    EXPECT_NEAR(std::fabs(out[5]), 1 / R, 1e-14);

    // Cylinder (R cos u, R sin u, v): K = 0, principal curvatures 0 and 1/R
    // in size; along a direction at angle th to the axis the normal
    // curvature is -sin^2(th)/R with the outward normal.
    double Cu[] = {-R * su, R * cu, 0}, Cv[] = {0, 0, 1}, Cuu[] = {-R * cu, -R * su, 0}, zero[] = {0, 0, 0};
    ASSERT_EQ(DGEOM_srf_curvatures(Cu, Cv, Cuu, zero, zero, 1, out), 0);
    EXPECT_NEAR(out[0], 0, 1e-15);
    EXPECT_NEAR(std::fabs(out[2] - out[3]), 1 / R, 1e-14);
    EXPECT_NEAR(std::fabs(out[1]), 0.5 / R, 1e-14);
    double n[] = {cu, su, 0};
    for (double th : {0.0, 0.3, 1.0, M_PI / 2}) {
        double dir[] = {-su * std::sin(th), cu * std::sin(th), std::cos(th)}, kn = 9;
        EXPECT_EQ(DGEOM_srf_normal_curvature(Cu, Cv, Cuu, zero, zero, n, dir, &kn), 0);
        EXPECT_NEAR(kn, -std::sin(th) * std::sin(th) / R, 1e-14) << th;
    }
    double kn = 9;
    DGEOM_srf_normal_curvature(Cu, Cv, Cuu, zero, zero, n, n, &kn); // along the normal
    EXPECT_EQ(kn, 0.0);

    double Pu[] = {1, 0, 0}, Pv[] = {1, 1, 0};
    ASSERT_EQ(DGEOM_srf_curvatures(Pu, Pv, zero, zero, zero, 1, out), 0);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(out[i], 0.0) << i;
    EXPECT_EQ(DGEOM_srf_curvatures(Pu, Pu, zero, zero, zero, 1, out), 1);
}

#if QUORM_FULL_BUILD
TEST_F(Dgeom, SectionOfASphereIsACircle) {
    const double R = 3.0;
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> ang(-1.2, 1.2);
    for (int trial = 0; trial < 50; ++trial) {
        double u = ang(rng), v = ang(rng);
        double cu = std::cos(u), su = std::sin(u), cv = std::cos(v), sv = std::sin(v);
        double data[30] = {R * cu * cv, R * su * cv, R * sv,
                           -R * su * cv, R * cu * cv, 0,
                           -R * cu * sv, -R * su * sv, R * cv,
                           -R * cu * cv, -R * su * cv, 0,
                           R * su * sv, -R * cu * sv, 0,
                           -R * cu * cv, -R * su * cv, -R * sv,
                           R * su * cv, -R * cu * cv, 0,
                           R * cu * sv, R * su * sv, 0,
                           R * su * cv, -R * cu * cv, 0,
                           R * cu * sv, R * su * sv, -R * cv};
        double p[] = {ang(rng), ang(rng), ang(rng)};
        double pl = len(p);
        for (double &c : p) c /= pl;
        const double *X = data;
        // Centre and radius of the section circle.
        double along = dot(p, X), C[3], r2 = R * R - along * along;
        for (int k = 0; k < 3; ++k) C[k] = along * p[k];
        if (r2 < 0.1) continue;
        double g2[3], g3[3];
        ASSERT_EQ(DGEOM_compute_sectional_G2G3_vectors(data + 3, data + 6, data + 9, data + 12, data + 15, data + 18,
                                                       data + 21, data + 24, data + 27, p, 0, g2, g3),
                  0);
        expect_vec(g2, {(C[0] - X[0]) / r2, (C[1] - X[1]) / r2, (C[2] - X[2]) / r2}, 1e-12, "g2");
        // On a circle the curvature vector turns back along the tangent:
        // dk/ds = -kappa^2 t.
        double n[3] = {X[0] / R, X[1] / R, X[2] / R}, t[3] = {n[1] * p[2] - n[2] * p[1], n[2] * p[0] - n[0] * p[2],
                                                               n[0] * p[1] - n[1] * p[0]};
        double tl = len(t);
        expect_vec(g3, {-t[0] / tl / r2, -t[1] / tl / r2, -t[2] / tl / r2}, 1e-11, "g3");

        double geo[12], nn[3] = {2 * n[0], 2 * n[1], 2 * n[2]};
        ASSERT_EQ(DGEOM_compute_sectional_geometric_deriv(data, p, nn, 3, geo), 0);
        EXPECT_NEAR(len(nn), 1.0, 1e-15); // unitised in place
        expect_vec(geo, {X[0], X[1], X[2]}, 0);
        expect_vec(geo + 3, {-t[0] / tl, -t[1] / tl, -t[2] / tl}, 1e-14, "tangent p x n");
        expect_vec(geo + 6, {g2[0], g2[1], g2[2]}, 1e-12, "geo g2");
        expect_vec(geo + 9, {-g3[0], -g3[1], -g3[2]}, 1e-11, "geo g3");
    }
}

TEST_F(Dgeom, SectionsOfACubicGraph) {
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> c(-1, 1);
    for (int trial = 0; trial < 100; ++trial) {
        Graph g{c(rng), c(rng), c(rng), c(rng), c(rng), c(rng), c(rng)};
        double x = 0.5 * c(rng), y = 0.5 * c(rng), data[30];
        g.data(x, y, data);
        double fx = (data[5] + data[8]) / 2, fy = (data[5] - data[8]) / 2;
        double fxx = (data[11] + 2 * data[14] + data[17]) / 4, fyy = (data[11] - 2 * data[14] + data[17]) / 4;
        for (int plane = 0; plane < 2; ++plane) {
            // The plane y = const cuts the curve (x, y, f); x = const cuts
            // (x, y, f) along y.
            double p[3] = {0, 0, 0}, d1[3], d2[3], kx[3], dk[3];
            p[1 - plane] = 1;
            double slope = plane == 0 ? fx : fy, bend = plane == 0 ? fxx : fyy;
            d1[0] = plane == 0, d1[1] = plane == 1, d1[2] = slope;
            d2[0] = 0, d2[1] = 0, d2[2] = bend;
            curvature_vector(d1, d2, kx);
            // Arc-length derivative of the curvature vector by differences.
            const double h = 1e-5;
            double kp[3], km[3], dp[30], dm[30];
            g.data(x + (plane == 0 ? h : 0), y + (plane == 1 ? h : 0), dp);
            g.data(x - (plane == 0 ? h : 0), y - (plane == 1 ? h : 0), dm);
            auto at = [&](const double *d, double *k) {
                double e1[3] = {double(plane == 0), double(plane == 1), plane == 0 ? (d[5] + d[8]) / 2 : (d[5] - d[8]) / 2};
                double e2[3] = {0, 0, plane == 0 ? (d[11] + 2 * d[14] + d[17]) / 4 : (d[11] - 2 * d[14] + d[17]) / 4};
                curvature_vector(e1, e2, k);
            };
            at(dp, kp);
            at(dm, km);
            for (int k = 0; k < 3; ++k) dk[k] = (kp[k] - km[k]) / (2 * h * len(d1));

            double g2[3], g3[3];
            ASSERT_EQ(DGEOM_compute_sectional_G2G3_vectors(data + 3, data + 6, data + 9, data + 12, data + 15,
                                                           data + 18, data + 21, data + 24, data + 27, p, 0, g2, g3),
                      0);
            expect_vec(g2, {kx[0], kx[1], kx[2]}, 1e-12, "g2");
            // The sign of g3 follows the tangent unit(n x p), n along Su x Sv.
            double n[3] = {fx, fy, -1}, t[3] = {n[1] * p[2] - n[2] * p[1], n[2] * p[0] - n[0] * p[2],
                                                  n[0] * p[1] - n[1] * p[0]};
            double sign = dot(t, d1) > 0 ? 1 : -1;
            expect_vec(g3, {sign * dk[0], sign * dk[1], sign * dk[2]}, 1e-5 * (1 + len(dk)), "g3");
            double only[3], none[3] = {7, 7, 7};
            ASSERT_EQ(DGEOM_compute_sectional_G2G3_vectors(data + 3, data + 6, data + 9, data + 12, data + 15,
                                                           data + 18, data + 21, data + 24, data + 27, p, 2, none,
                                                           only),
                      0);
            expect_vec(none, {0, 0, 0}, 0, "type 2 clears g2");
            expect_vec(only, {g3[0], g3[1], g3[2]}, 1e-14);
        }
    }
}

TEST_F(Dgeom, DegenerateSections) {
    double data[30] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    double g2[3] = {9, 9, 9}, g3[3] = {9, 9, 9}, p[] = {0, 0, 1}, q[] = {1, 0, 0};
    const double *d = data;
    // A plane tangent to the surface, a null plane, an unknown type.
    EXPECT_EQ(DGEOM_compute_sectional_G2G3_vectors(d + 3, d + 6, d + 9, d + 12, d + 15, d + 18, d + 21, d + 24, d + 27,
                                                   p, 0, g2, g3),
              1);
    expect_vec(g2, {0, 0, 0}, 0);
    EXPECT_EQ(DGEOM_compute_sectional_G2G3_vectors(d + 3, d + 6, d + 9, d + 12, d + 15, d + 18, d + 21, d + 24, d + 27,
                                                   nullptr, 0, g2, g3),
              1);
    EXPECT_EQ(DGEOM_compute_sectional_G2G3_vectors(d + 3, d + 6, d + 9, d + 12, d + 15, d + 18, d + 21, d + 24, d + 27,
                                                   q, 3, g2, g3),
              1);
    EXPECT_EQ(DGEOM_compute_sectional_G2G3_vectors(d + 3, d + 6, d + 9, d + 12, d + 15, d + 18, d + 21, d + 24, d + 27,
                                                   q, 1, g2, nullptr),
              0);
    double geo[12], n[] = {0, 0, 3};
    EXPECT_EQ(DGEOM_compute_sectional_geometric_deriv(data, p, n, 2, geo), -2);
    EXPECT_EQ(DGEOM_compute_sectional_geometric_deriv(data, q, n, 2, geo), 0);
    expect_vec(geo + 6, {0, 0, 0}, 1e-15, "flat section");
}
#endif
