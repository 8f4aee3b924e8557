// vunt2, vunt3, vcru3 and the numbered coordinate-system constructions.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

double dot(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
void cross(const double *a, const double *b, double *out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}
void diff(const double *a, const double *b, double *out) {
    for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}
double len(const double *a) { return std::sqrt(dot(a, a)); }

// Rows of m are unit, pairwise perpendicular and right-handed.
void expect_frame(const double *m) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(len(m + 3 * i), 1.0, 1e-14);
    EXPECT_NEAR(dot(m, m + 3), 0.0, 1e-14);
    EXPECT_NEAR(dot(m, m + 6), 0.0, 1e-14);
    EXPECT_NEAR(dot(m + 3, m + 6), 0.0, 1e-14);
    double z[3];
    cross(m, m + 3, z);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(z[i], m[6 + i], 1e-14);
}

// Absolute point of local coordinates l in the frame (m, origin).
void to_absolute(const double *m, const double *origin, const double *l, double *out) {
    for (int i = 0; i < 3; ++i) out[i] = origin[i] + l[0] * m[i] + l[1] * m[3 + i] + l[2] * m[6 + i];
}

class Numbered : public ::testing::Test {
  protected:
    void SetUp() override { saved_ = acom; }
    void TearDown() override { acom = saved_; }
    void random_point(double *p) {
        for (int i = 0; i < 3; ++i) p[i] = coord(rng);
    }
    std::mt19937_64 rng{2024};
    std::uniform_real_distribution<double> coord{-50.0, 50.0};
    acom_s saved_;
};

} // namespace

TEST_F(Numbered, UnitizeWithTheLengthTolerance) {
    acom.eq_tol[1] = 1e-3;
    double v[3] = {0, 3, 4}, out[3];
    int ok = -1;
    vunt3(v, &ok, v);
    EXPECT_EQ(ok, 1);
    EXPECT_DOUBLE_EQ(v[1], 0.6);
    double shortv[3] = {0, 1e-3, 0};
    vunt3(shortv, &ok, out);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(out[1], 0.0);
    double w[2] = {-5, 12};
    vunt2(w, &ok, out);
    EXPECT_EQ(ok, 1);
    EXPECT_DOUBLE_EQ(out[0], -5.0 / 13);
    double w2[2] = {0, -0.9e-3};
    vunt2(w2, &ok, w2);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(w2[1], 0.0);
    double a[3] = {2, 0, 0}, b[3] = {0, 0, 3}, c[3] = {1, 1e-4, 0};
    vcru3(a, b, &ok, out);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(out[1], -1.0);
    vcru3(a, c, &ok, out); // |a x c| = 2e-4, below the tolerance
    EXPECT_EQ(ok, 0);
}

TEST_F(Numbered, V6043ThreePointFrame) {
    for (int k = 0; k < 500; ++k) {
        double p0[3], p1[3], p2[3], o[3];
        MTX3_s f;
        const double *m = f.elem;
        random_point(p0);
        random_point(p1);
        random_point(p2);
        int status = 0;
        v6043(p0, p1, p2, &f, o, &status);
        ASSERT_EQ(status, 1);
        expect_frame(m);
        double d1[3], d2[3];
        diff(p1, p0, d1);
        diff(p2, p0, d2);
        EXPECT_NEAR(dot(m, d1), len(d1), 1e-12);          // X along p1 - p0
        EXPECT_NEAR(dot(m + 6, d2), 0.0, 1e-12);          // p2 in the XY plane
        EXPECT_GT(dot(m + 3, d2), 0.0);                   // on the +Y side
        EXPECT_EQ(o[0], p0[0]);
    }
    double p0[3] = {1, 1, 1}, p1[3] = {2, 2, 2}, p2[3] = {5, 5, 5}, o[3] = {7, 7, 7};
    MTX3_s f = {{7}};
    const double *m = f.elem;
    int status = 0;
    v6043(p0, p1, p2, &f, o, &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(m[0], 7.0); // unwritten
    EXPECT_EQ(o[0], 7.0);
    v6043(p0, p0, p2, &f, o, &status);
    EXPECT_EQ(status, 2);
}

TEST_F(Numbered, V6043NormalTakesZFromTheNormal) {
    double p0[3] = {1, 2, 3}, p1[3] = {4, 2, 7}, p2[3] = {1, 5, 3}, n[3] = {0, 0, 2}, o[3];
    MTX3_s f;
    const double *m = f.elem;
    int status = 0;
    v6043_normal(p0, p1, p2, n, &f, o, &status);
    ASSERT_EQ(status, 1);
    expect_frame(m);
    EXPECT_EQ(m[6], 0.0);
    EXPECT_EQ(m[8], 1.0);
    EXPECT_DOUBLE_EQ(m[0], 1.0); // p1 - p0 = (3, 0, 4) made perpendicular to Z
    EXPECT_EQ(o[2], 3.0);
    // p1 on p0: X comes from p2 - p0.
    v6043_normal(p0, p0, p2, n, &f, o, &status);
    ASSERT_EQ(status, 1);
    EXPECT_DOUBLE_EQ(m[1], 1.0);
    // Difference along the normal, null normal, all points equal.
    double above[3] = {1, 2, 9}, null[3] = {0, 0, 0};
    v6043_normal(p0, above, p2, n, &f, o, &status);
    EXPECT_EQ(status, 2);
    v6043_normal(p0, p1, p2, null, &f, o, &status);
    EXPECT_EQ(status, 2);
    v6043_normal(p0, p0, p0, n, &f, o, &status);
    EXPECT_EQ(status, 2);
}

TEST_F(Numbered, V6045FootOfThePerpendicular) {
    for (int k = 0; k < 300; ++k) {
        double p1[3], p2[3], p3[3], o[3];
        MTX3_s f;
        const double *m = f.elem;
        random_point(p1);
        random_point(p2);
        random_point(p3);
        int status = 0;
        v6045(p1, p2, p3, &f, o, &status);
        ASSERT_EQ(status, 1);
        expect_frame(m);
        double axis[3], to3[3], from2[3];
        diff(p1, p2, axis);
        diff(p3, o, to3);
        diff(o, p2, from2);
        EXPECT_NEAR(dot(m + 6, axis), len(axis), 1e-11); // Z along p1 - p2
        EXPECT_NEAR(dot(m, to3), len(to3), 1e-11);       // X toward p3
        double c[3];
        cross(from2, axis, c);
        EXPECT_NEAR(len(c), 0.0, 1e-9); // origin on the line
    }
    double p1[3] = {0, 0, 0}, p2[3] = {0, 0, 4}, on[3] = {0, 0, 9}, o[3];
    MTX3_s f;
    int status = 0;
    v6045(p1, p2, on, &f, o, &status);
    EXPECT_EQ(status, 2);
    v6045(p1, p1, p2, &f, o, &status);
    EXPECT_EQ(status, 2);
}

TEST_F(Numbered, V6067ClosestPointsOfTwoLines) {
    for (int k = 0; k < 300; ++k) {
        double a1[3], a2[3], b1[3], b2[3], o[3], la[3], lb[3];
        MTX3_s f;
        const double *m = f.elem;
        random_point(a1);
        random_point(a2);
        random_point(b1);
        random_point(b2);
        int status = 0;
        v6067(a1, a2, b1, b2, &f, o, la, lb, &status);
        ASSERT_EQ(status, 1);
        expect_frame(m);
        EXPECT_EQ(la[1], 0.0);
        EXPECT_EQ(la[2], 0.0);
        EXPECT_EQ(lb[0], la[0]);
        EXPECT_EQ(lb[1], 0.0);
        // Mapped back, the points lie on their lines and the segment between
        // them is perpendicular to both.
        double ca[3], cb[3], da[3], db[3], ab[3], ta[3], tb[3], c[3];
        to_absolute(m, o, la, ca);
        to_absolute(m, o, lb, cb);
        diff(a2, a1, da);
        diff(b2, b1, db);
        diff(cb, ca, ab);
        diff(ca, a1, ta);
        diff(cb, b1, tb);
        cross(ta, da, c);
        EXPECT_NEAR(len(c), 0.0, 1e-8);
        cross(tb, db, c);
        EXPECT_NEAR(len(c), 0.0, 1e-8);
        EXPECT_NEAR(dot(ab, da), 0.0, 1e-8);
        EXPECT_NEAR(dot(ab, db), 0.0, 1e-8);
    }
    double a1[3] = {0, 0, 0}, a2[3] = {1, 0, 0}, b1[3] = {0, 1, 3}, b2[3] = {0, 2, 3}, o[3], la[3], lb[3];
    MTX3_s f;
    int status = 0;
    v6067(a1, a2, b1, b2, &f, o, la, lb, &status);
    ASSERT_EQ(status, 1);
    EXPECT_EQ(la[0], 0.0);
    EXPECT_DOUBLE_EQ(lb[2], 3.0);
    double par[3] = {5, 1, 3};
    la[0] = 7.0;
    v6067(a1, a2, b1, par, &f, o, la, lb, &status); // b2 - b1 along X
    EXPECT_EQ(status, 2);
    EXPECT_EQ(la[0], 7.0);
}

TEST_F(Numbered, V6037aTurnsAboutTheFramesOwnAxes) {
    MTX3_s f = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    const double *m = f.elem;
    double angles[3] = {90, 0, 0};
    int status = 0;
    v6037a(&f, angles, &status);
    ASSERT_EQ(status, 1);
    EXPECT_DOUBLE_EQ(angles[0], 90 * 0.01745329251994328); // converted in place
    EXPECT_NEAR(m[5], 1.0, 1e-15);                         // Y turned onto Z
    EXPECT_NEAR(m[7], -1.0, 1e-15);                        // Z onto -Y
    // Then about the new Y (old Z) by 90: X goes to -(new Z) = +Y.
    double a2[3] = {0, 90, 0};
    v6037a(&f, a2, &status);
    EXPECT_NEAR(m[1], 1.0, 1e-15);
    expect_frame(m);
    // One call with three angles equals three calls with one each.
    MTX3_s r = {{1, 0, 0, 0, 1, 0, 0, 0, 1}}, s = r;
    double all[3] = {20, -35, 50}, ax[3] = {20, 0, 0}, ay[3] = {0, -35, 0}, az[3] = {0, 0, 50};
    v6037a(&r, all, &status);
    v6037a(&s, ax, &status);
    v6037a(&s, ay, &status);
    v6037a(&s, az, &status);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(r.elem[i], s.elem[i], 1e-15);
    expect_frame(r.elem);
    double bad[3] = {std::numeric_limits<double>::quiet_NaN(), 0, 0};
    v6037a(&r, bad, &status);
    EXPECT_EQ(status, 2);
    EXPECT_NEAR(r.elem[0], s.elem[0], 1e-15);
}
