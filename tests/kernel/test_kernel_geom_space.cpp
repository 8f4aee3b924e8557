// Numbered geometry primitives against direct formulas and the identities
// they must satisfy, on random input, with their degenerate outcomes.
#include "kernel_fixture.hpp"

#include <array>

namespace {

constexpr double kPi = 3.141592653589793;
using V3 = std::array<double, 3>;
using M3 = std::array<double, 9>;

double dot(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const double *a) { return std::sqrt(dot(a, a)); }

V3 rand3(std::mt19937 &rng, double r = 10) {
    std::uniform_real_distribution<double> u(-r, r);
    return {u(rng), u(rng), u(rng)};
}

M3 mul(const M3 &a, const M3 &b) {
    M3 c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) c[3 * i + j] += a[3 * i + k] * b[3 * k + j];
    return c;
}

double max_off_identity(const M3 &m) {
    double e = 0;
    for (int i = 0; i < 9; ++i) e = std::max(e, std::fabs(m[i] - (i % 4 == 0 ? 1.0 : 0.0)));
    return e;
}

// Nearest distance between the lines a1 + s d1 and a2 + t d2 from the normal
// equations of the two parameters.
double skew_distance(const V3 &a1, const V3 &d1, const V3 &a2, const V3 &d2) {
    const V3 w = {a1[0] - a2[0], a1[1] - a2[1], a1[2] - a2[2]};
    const double a = dot(d1.data(), d1.data()), b = dot(d1.data(), d2.data()), c = dot(d2.data(), d2.data());
    const double d = dot(d1.data(), w.data()), e = dot(d2.data(), w.data()), den = a * c - b * b;
    const double s = (b * e - c * d) / den, t = (a * e - b * d) / den;
    V3 g;
    for (int i = 0; i < 3; ++i) g[i] = w[i] + s * d1[i] - t * d2[i];
    return norm(g.data());
}

} // namespace

using GeomSpace = KernelTest;

TEST_F(GeomSpace, MatricesFramesAndInverses) {
    std::mt19937 rng(31);
    for (int trial = 0; trial < 300; ++trial) {
        M3 m, n, prod, t, inv;
        for (double &x : m) x = std::uniform_real_distribution<double>(-3, 3)(rng);
        for (double &x : n) x = std::uniform_real_distribution<double>(-3, 3)(rng);
        const V3 v = rand3(rng);
        V3 mv, mtv, nmtv;
        h100(v.data(), m.data(), mv.data());
        h105(v.data(), m.data(), mtv.data());
        h106(v.data(), m.data(), n.data(), nmtv.data());
        h110(m.data(), t.data());
        h120(m.data(), n.data(), prod.data());
        const M3 want = mul(n, m); // MTX3_multiply(a, b) is b.a
        for (int i = 0; i < 9; ++i) ASSERT_NEAR(prod[i], want[i], 1e-12);
        for (int i = 0; i < 3; ++i) {
            ASSERT_NEAR(mv[i], m[3 * i] * v[0] + m[3 * i + 1] * v[1] + m[3 * i + 2] * v[2], 1e-12);
            ASSERT_NEAR(mtv[i], t[3 * i] * v[0] + t[3 * i + 1] * v[1] + t[3 * i + 2] * v[2], 1e-12);
            ASSERT_NEAR(nmtv[i], n[3 * i] * mtv[0] + n[3 * i + 1] * mtv[1] + n[3 * i + 2] * mtv[2], 1e-10);
        }
        int singular = -1;
        h125(m.data(), inv.data(), &singular);
        double det;
        h004(m.data(), m.data() + 3, m.data() + 6, &det);
        if (std::fabs(det) > 1e-3) {
            ASSERT_EQ(singular, 0);
            ASSERT_LT(max_off_identity(mul(m, inv)), 1e-9 / std::fabs(det));
        }
        // The homogeneous embedding and its transpose act like the 3x3 part.
        double h[16], ht[16], v4[4] = {v[0], v[1], v[2], 1.0}, r4[4];
        h130(m.data(), h);
        h111(h, ht);
        h111(ht, ht);
        ASSERT_TRUE(std::equal(h, h + 16, ht));
        h101(v4, h, r4);
        for (int i = 0; i < 3; ++i) ASSERT_NEAR(r4[i], mv[i], 1e-12);
        ASSERT_EQ(r4[3], 1.0);
    }
    // Two equal rows: singular, the inverse untouched.
    M3 eq = {1, 2, 3, 1, 2, 3, 4, 5, 6}, inv;
    inv.fill(7.0);
    int singular = 0;
    h125(eq.data(), inv.data(), &singular);
    EXPECT_EQ(singular, 1);
    EXPECT_EQ(inv, (M3{7, 7, 7, 7, 7, 7, 7, 7, 7}));

    // n x n inverse through LU; a singular matrix without a zero row is
    // reported, not inverted to 1e20.
    for (int n : {1, 3, 5, 70}) {
        std::vector<double> a(n * n), keep, out(n * n);
        for (double &x : a) x = std::uniform_real_distribution<double>(-1, 1)(rng);
        for (int i = 0; i < n; ++i) a[i * n + i] += n; // well conditioned
        keep = a;
        std::vector<double *> ra(n), ro(n);
        for (int i = 0; i < n; ++i) ra[i] = &a[i * n], ro[i] = &out[i * n];
        ASSERT_EQ(h126a(ra.data(), &n, ro.data()), 0);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                double s = 0;
                for (int k = 0; k < n; ++k) s += keep[i * n + k] * out[k * n + j];
                ASSERT_NEAR(s, i == j ? 1.0 : 0.0, 1e-12);
            }
    }
    double rows[3][3] = {{1, 2, 3}, {2, 4, 6}, {1, 0, 1}}, outm[3][3] = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
    double *ra[3] = {rows[0], rows[1], rows[2]}, *ro[3] = {outm[0], outm[1], outm[2]};
    int three = 3;
    EXPECT_EQ(h126a(ra, &three, ro), 1);
    for (auto &r : outm)
        for (double x : r) EXPECT_EQ(x, 9.0);
}

TEST_F(GeomSpace, RotationsReflectionsAndFrames) {
    std::mt19937 rng(32);
    std::uniform_real_distribution<double> ang(-7, 7);
    for (int trial = 0; trial < 300; ++trial) {
        V3 axis = rand3(rng), w = rand3(rng), v = rand3(rng);
        const double la = norm(axis.data()), lw = norm(w.data());
        for (int i = 0; i < 3; ++i) axis[i] /= la, w[i] /= lw;
        const double a = ang(rng);
        M3 r, f, ref;
        h923(axis.data(), &a, r.data());
        M3 rt;
        h110(r.data(), rt.data());
        ASSERT_LT(max_off_identity(mul(r, rt)), 1e-14);
        // The axis stays; a vector across it turns by the angle.
        V3 ra, p, rp, c;
        h963(axis.data(), r.data(), ra.data());
        for (int i = 0; i < 3; ++i) ASSERT_NEAR(ra[i], axis[i], 1e-14);
        h099(axis.data(), f.data()); // f rows: two perpendiculars of the axis
        h963(f.data(), r.data(), rp.data());
        ASSERT_NEAR(dot(rp.data(), f.data()), std::cos(a), 1e-14);
        ASSERT_NEAR(dot(rp.data(), f.data() + 3), std::sin(a), 1e-14);
        // h099 builds a right-handed orthonormal frame with third row w.
        h099(w.data(), f.data());
        ASSERT_LT(max_off_identity(mul(f, [&] {
                      M3 t;
                      h110(f.data(), t.data());
                      return t;
                  }())),
                  1e-14);
        double det;
        h004(f.data(), f.data() + 3, f.data() + 6, &det);
        ASSERT_NEAR(det, 1.0, 1e-14);
        ASSERT_TRUE(std::equal(w.begin(), w.end(), f.begin() + 6));
        // Reflection: the normal flips, the plane stays.
        h924(w.data(), ref.data());
        h963(w.data(), ref.data(), p.data());
        for (int i = 0; i < 3; ++i) ASSERT_NEAR(p[i], -w[i], 1e-14);
        h963(f.data(), ref.data(), p.data());
        for (int i = 0; i < 3; ++i) ASSERT_NEAR(p[i], f[i], 1e-14);
        // Frame maps: h956 takes frame coordinates to the world, h102 back
        // (with z dropped); h962 unitises.
        double frame[13];
        std::copy(f.begin(), f.end(), frame);
        const V3 o = rand3(rng);
        std::copy(o.begin(), o.end(), frame + 9);
        frame[12] = -2.5;
        V3 world, back;
        h956(v.data(), frame, world.data());
        M3 ft;
        h110(f.data(), ft.data());
        std::copy(ft.begin(), ft.end(), frame);
        h102(world.data(), frame, back.data());
        ASSERT_NEAR(back[0], v[0], 1e-12);
        ASSERT_NEAR(back[1], v[1], 1e-12);
        ASSERT_EQ(back[2], 0.0);
        h962(v.data(), r.data(), c.data());
        ASSERT_NEAR(norm(c.data()), 1.0, 1e-15);
        double s = 2, sc;
        h961(&s, frame, &sc);
        ASSERT_EQ(sc, 5.0);
    }
    M3 m;
    double s = 3;
    h922(&s, m.data());
    EXPECT_EQ(m, (M3{3, 0, 0, 0, 3, 0, 0, 0, 3}));
    h160(m.data());
    EXPECT_EQ(m, (M3{1, 0, 0, 0, 1, 0, 0, 0, 1}));
}

TEST_F(GeomSpace, DistancesProjectionsAndIntersections) {
    std::mt19937 rng(33);
    for (int trial = 0; trial < 500; ++trial) {
        const V3 a = rand3(rng), b = rand3(rng), p = rand3(rng), c = rand3(rng), d = rand3(rng);
        V3 dir, foot, out;
        for (int i = 0; i < 3; ++i) dir[i] = b[i] - a[i];
        double dist, d2, dd;
        h430(a.data(), b.data(), p.data(), foot.data());
        h311(p.data(), a.data(), b.data(), &dist);
        h310(p.data(), a.data(), dir.data(), &d2);
        h301(p.data(), foot.data(), &dd);
        ASSERT_NEAR(dist, dd, 1e-11);
        ASSERT_NEAR(d2, dd, 1e-11);
        // Line to line: skew lines against the normal equations.
        V3 e;
        for (int i = 0; i < 3; ++i) e[i] = d[i] - c[i];
        h313(a.data(), b.data(), c.data(), d.data(), &dist);
        h315(a.data(), dir.data(), c.data(), e.data(), &d2);
        const double want = skew_distance(a, dir, c, e);
        ASSERT_NEAR(dist, want, 1e-10);
        ASSERT_NEAR(d2, want, 1e-10);
        // Parallel lines: the point-to-line distance.
        V3 e2;
        for (int i = 0; i < 3; ++i) e2[i] = -3 * dir[i];
        h315(c.data(), e2.data(), a.data(), dir.data(), &dist);
        h310(c.data(), a.data(), dir.data(), &d2);
        ASSERT_NEAR(dist, d2, 1e-11);
        // A point at a distance towards B.
        const double along = std::uniform_real_distribution<double>(-5, 5)(rng);
        h402(a.data(), &along, b.data(), out.data());
        h301(a.data(), out.data(), &dd);
        ASSERT_NEAR(dd, std::fabs(along), 1e-12);
        h311(out.data(), a.data(), b.data(), &dd);
        ASSERT_NEAR(dd, 0.0, 1e-11);
        // 2-D: the foot is on the line and P - foot is across it; the
        // intersection of two lines lies on both.
        double f2[2], x[2] = {0, 0}, cr;
        int status = 0;
        h400(a.data(), b.data(), p.data(), f2);
        const double pf[2] = {p[0] - f2[0], p[1] - f2[1]}, af[2] = {f2[0] - a[0], f2[1] - a[1]};
        ASSERT_NEAR(pf[0] * dir[0] + pf[1] * dir[1], 0.0, 1e-10);
        h003(af, dir.data(), &cr);
        ASSERT_NEAR(cr, 0.0, 1e-10);
        h600(a.data(), b.data(), c.data(), d.data(), &status, x);
        ASSERT_EQ(status, 2);
        const double ax[2] = {x[0] - a[0], x[1] - a[1]}, cx[2] = {x[0] - c[0], x[1] - c[1]};
        h003(ax, dir.data(), &cr);
        ASSERT_NEAR(cr, 0.0, 1e-8 * (1 + std::fabs(x[0]) + std::fabs(x[1])));
        h003(cx, e.data(), &cr);
        ASSERT_NEAR(cr, 0.0, 1e-8 * (1 + std::fabs(x[0]) + std::fabs(x[1])));
    }
    // Degenerate directions give the base point or the distance to it.
    const V3 a = {1, 2, 3}, p = {4, 6, 3}, zero = {0, 0, 0};
    double dist, foot[3];
    h310(p.data(), a.data(), zero.data(), &dist);
    EXPECT_EQ(dist, 5.0);
    h311(p.data(), a.data(), a.data(), &dist);
    EXPECT_EQ(dist, 5.0);
    h402(a.data(), &dist, a.data(), foot);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), foot));
    h401(a.data(), zero.data(), p.data(), foot);
    EXPECT_TRUE(foot[0] == 1.0 && foot[1] == 2.0);
    h315(p.data(), zero.data(), a.data(), zero.data(), &dist);
    EXPECT_EQ(dist, 5.0);
    // Parallel 2-D lines, far apart or nearly so: status 1, X untouched.
    const double A[2] = {0, 0}, B[2] = {1e6, 1}, C[2] = {0, 5}, D[2] = {2e6, 7}, E[2] = {3, 3};
    double X[2] = {-9, -9};
    int status = 0;
    h600(A, B, C, D, &status, X);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(X[0] == -9 && X[1] == -9);
    h600(A, B, E, E, &status, X);
    EXPECT_EQ(status, 1);
}

TEST_F(GeomSpace, AnglesComparisonsAndSmallForms) {
    double y = 0, x = -1, a;
    h053(&y, &x, &a);
    EXPECT_EQ(a, kPi);
    y = -2, x = 0;
    h053a(&y, &x, &a);
    EXPECT_EQ(a, -kPi / 2);
    y = 1, x = -1;
    h053a(&y, &x, &a);
    EXPECT_DOUBLE_EQ(a, -kPi / 4);
    for (double c : {1.0, 3.0, -1.0, -2.0, 0.5}) {
        h055(&c, &a);
        EXPECT_DOUBLE_EQ(a, c >= 1 ? 0.0 : c <= -1 ? kPi : std::acos(c));
    }
    // h059 is a true rotation: lengths are kept.
    double px = 3, py = 4, s = std::sin(0.7), c = std::cos(0.7);
    h059(&px, &py, &s, &c);
    EXPECT_NEAR(px * px + py * py, 25.0, 1e-12);
    EXPECT_DOUBLE_EQ(px, 3 * c + 4 * s);
    EXPECT_DOUBLE_EQ(py, 4 * c - 3 * s);
    // h270 and h271 undo each other.
    const double P[2] = {5, -2}, O[2] = {1, 1};
    double local[2], back[2];
    h270(P, O, &c, &s, local);
    local[0] += O[0], local[1] += O[1];
    h271(local, O, &c, &s, back);
    EXPECT_NEAR(back[0], P[0], 1e-14);
    EXPECT_NEAR(back[1], P[1], 1e-14);
    double dir[2], moment;
    h272a(O, P, dir, &moment);
    EXPECT_EQ(dir[0], 4.0);
    EXPECT_EQ(moment, -3.0 * 1 - 1 * 4.0);
    double ang[2];
    const double Q[2] = {1, 3};
    h224(P, Q, O, ang);
    EXPECT_DOUBLE_EQ(ang[1], kPi / 2);
    h221(P, Q, O, ang);
    EXPECT_DOUBLE_EQ(ang[1], 90.0);

    int out = 0;
    const double u1[2] = {1, 0}, u2[2] = {-1, 0}, u3[2] = {0, 1};
    h083(u1, u1, &out);
    EXPECT_EQ(out, 2);
    h083(u1, u2, &out);
    EXPECT_EQ(out, 3);
    h083(u1, u3, &out);
    EXPECT_EQ(out, 1);
    const double p0[3] = {0, 0, 0}, p1[3] = {3, 4, 0}, tiny[3] = {1e-6, 0, 0}, r[3] = {1.5, 2, 0};
    h302(p0, tiny, &out);
    EXPECT_EQ(out, 0); // 1e-12 > 1e-20
    h306(p0, tiny, &out);
    EXPECT_EQ(out, 1); // 1e-12 <= 1e-12
    h303(p0, p1, r, &out);
    EXPECT_EQ(out, 3);
    h303(p0, p1, tiny, &out);
    EXPECT_EQ(out, 1);
    h203(p1, p0, tiny, &out);
    EXPECT_EQ(out, 2);
    const double five = -5;
    h307(p0, p1, &five, &out);
    EXPECT_EQ(out, 1);
    EXPECT_EQ(h041(tiny), 0);
    EXPECT_EQ(h041(p0), 1);
    double proj;
    h01901(p1, r, &proj);
    EXPECT_DOUBLE_EQ(proj, 0.5);
    h01901(p0, r, &proj);
    EXPECT_EQ(proj, 0.0);

    // h205: beyond an end moves that end; between the ends nothing moves.
    double seg[6] = {0, 0, 0, 1, 0, 0};
    const double inside[3] = {0.5, 1, 0}, beyond[3] = {3, 0, 0};
    h205(inside, seg, &out);
    EXPECT_EQ(out, 0);
    EXPECT_EQ(seg[3], 1.0);
    h205(beyond, seg, &out);
    EXPECT_EQ(out, 1);
    EXPECT_EQ(seg[3], 3.0);

    double normal[3] = {0, 0, 2};
    const double below[3] = {5, 5, -1};
    h1600(below, p0, normal, &out);
    EXPECT_EQ(out, 1);
    EXPECT_EQ(normal[2], -2.0);
    h1600(p1, p0, normal, &out);
    EXPECT_EQ(out, 0);

    double box[4] = {0, 0, 1, 1};
    const double pt[2] = {-1, 3};
    h070(pt, box);
    EXPECT_TRUE(box[0] == -1 && box[1] == 0 && box[2] == 1 && box[3] == 3);
    double circ[3];
    const double half = kPi / 2, rad = 2;
    h013(r, &rad, &half, circ);
    EXPECT_NEAR(circ[0], 1.5, 1e-15);
    EXPECT_EQ(circ[1], 4.0);
    h220(r, &rad, &half, circ);
    EXPECT_EQ(circ[1], 4.0);
}

TEST_F(GeomSpace, BisectionMidpointIsAlwaysDefined) {
    EXPECT_EQ(h128(0.3, 0.4), 0.375);
    EXPECT_EQ(h128(0.9, 0.1), 0.5);
    EXPECT_EQ(h128(0.26, 0.24), 0.25);
    // No dyadic midpoint strictly between: finite values in [0, 1].
    EXPECT_EQ(h128(0.5, 0.5), 0.5);
    EXPECT_EQ(h128(0.3, 0.3), 0.3);
    EXPECT_EQ(h128(2.0, 3.0), 1.0);
    EXPECT_EQ(h128(-2.0, -1.0), 0.0);
    EXPECT_EQ(h128(NAN, 0.2), 0.5);
    std::mt19937 rng(34);
    std::uniform_real_distribution<double> u(0, 1);
    for (int t = 0; t < 1000; ++t) {
        const double a = u(rng), b = a + std::ldexp(u(rng), -std::uniform_int_distribution<int>(1, 40)(rng));
        const double m = h128(a, b);
        ASSERT_TRUE(a < m && m < b) << a << " " << b;
    }
}
