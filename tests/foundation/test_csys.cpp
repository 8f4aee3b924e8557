// Coordinate systems: mapping, turning to a new Z, h964 and h965.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

using Kaltor::Corvex::MessageCapture;

namespace {

using P3 = quorm_point3;
using V3 = quorm_vector3;

V3 row(const MTX3_s &m, int i) { return V3{m.elem[3 * i], m.elem[3 * i + 1], m.elem[3 * i + 2]}; }
double dot(const V3 &a, const V3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 cross(const V3 &a, const V3 &b) { return V3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 unit(const V3 &a) {
    double l = std::sqrt(dot(a, a));
    return V3{a.x / l, a.y / l, a.z / l};
}
double dist(const V3 &a, const V3 &b) {
    V3 d{a.x - b.x, a.y - b.y, a.z - b.z};
    return std::sqrt(dot(d, d));
}
MTX3_s rows(const V3 &x, const V3 &y, const V3 &z) { return MTX3_s{{x.x, x.y, x.z, y.x, y.y, y.z, z.x, z.y, z.z}}; }
// m * v
V3 apply(const MTX3_s &m, const V3 &v) { return V3{dot(row(m, 0), v), dot(row(m, 1), v), dot(row(m, 2), v)}; }

class Frames : public ::testing::Test {
  protected:
    void SetUp() override { saved_level_ = MACH__checking_level; }
    void TearDown() override { MACH__checking_level = saved_level_; }

    V3 random_vector() { return V3{u_(gen_), u_(gen_), u_(gen_)}; }
    // A random right-handed frame, built by Gram-Schmidt.
    MTX3_s random_frame() {
        V3 x = unit(random_vector());
        V3 y = random_vector();
        double k = dot(x, y);
        y = unit(V3{y.x - k * x.x, y.y - k * x.y, y.z - k * x.z});
        return rows(x, y, cross(x, y));
    }
    // A unit vector at angle theta from the unit vector z.
    V3 tilted(const V3 &z, double theta) {
        V3 side = unit(cross(z, random_vector()));
        double c = std::cos(theta), s = std::sin(theta);
        return V3{c * z.x + s * side.x, c * z.y + s * side.y, c * z.z + s * side.z};
    }

    std::mt19937 gen_{2024};
    std::uniform_real_distribution<double> u_{-1.0, 1.0};

  private:
    int saved_level_ = 1;
};

// The log text of a matrix dump: caption, then the matrix column by column.
std::string dump(const char *caption, const MTX3_s &m) {
    std::string s = std::string(caption) + "\n";
    char line[128];
    for (int j = 0; j < 3; ++j) {
        std::snprintf(line, sizeof line, "       % 14.12e % 14.12e % 14.12e\n", m.elem[j], m.elem[3 + j],
                      m.elem[6 + j]);
        s += line;
    }
    return s;
}

std::string dump(const char *caption, const V3 &v) {
    char line[160];
    std::snprintf(line, sizeof line, "%s\n       % 14.12e % 14.12e % 14.12e\n", caption, v.x, v.y, v.z);
    return line;
}

// A scaled transformation of matrix a, translation t and scale s.
struct Scaled {
    double d[QUORM_SCALED_TRANSFORM_SIZE];
    Scaled(const MTX3_s &a, const V3 &t, double s) {
        for (int i = 0; i < 9; ++i) d[i] = a.elem[i];
        d[9] = t.x;
        d[10] = t.y;
        d[11] = t.z;
        d[12] = s;
    }
};

MTX3_s scaled(double s, const MTX3_s &m) {
    MTX3_s r = m;
    for (double &e : r.elem) e *= s;
    return r;
}

void expect_near(const MTX3_s &a, const MTX3_s &b, double tol) {
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(a.elem[i], b.elem[i], tol) << "element " << i;
}

} // namespace

TEST_F(Frames, MapCsysGivesLocalCoordinates) {
    for (int trial = 0; trial < 50; ++trial) {
        CSYS_s ref{{3 * u_(gen_), 3 * u_(gen_), 3 * u_(gen_)}, random_frame()};
        CSYS_s c{{3 * u_(gen_), 3 * u_(gen_), 3 * u_(gen_)}, random_frame()};
        CSYS_s out;
        CSYS_map_csys(&c, &ref, &out);
        EXPECT_TRUE(MTX3_is_ortho_normal(&out.matrix));
        // Back to absolute: origin = ref.origin + M^T * local, axes = M^T * local axes.
        MTX3_s mt = rows(V3{ref.matrix.elem[0], ref.matrix.elem[3], ref.matrix.elem[6]},
                         V3{ref.matrix.elem[1], ref.matrix.elem[4], ref.matrix.elem[7]},
                         V3{ref.matrix.elem[2], ref.matrix.elem[5], ref.matrix.elem[8]});
        V3 o = apply(mt, V3{out.origin.x, out.origin.y, out.origin.z});
        EXPECT_LT(dist(V3{o.x + ref.origin.x, o.y + ref.origin.y, o.z + ref.origin.z},
                       V3{c.origin.x, c.origin.y, c.origin.z}),
                  1e-13);
        for (int i = 0; i < 3; ++i) EXPECT_LT(dist(apply(mt, row(out.matrix, i)), row(c.matrix, i)), 1e-14);
        CSYS_s in_place = c;
        CSYS_map_csys(&in_place, &ref, &in_place);
        expect_near(in_place.matrix, out.matrix, 0.0);
    }
}

TEST_F(Frames, GivenZDirSpecialCases) {
    CSYS_s c{{1, 2, 3}, random_frame()};
    CSYS_s out{{7, 7, 7}, {{7, 7, 7, 7, 7, 7, 7, 7, 7}}};
    V3 null_z{1e-11, 0, 0};
    EXPECT_FALSE(CSYS_get_csys_given_z_dir(&c, &null_z, &out));
    V3 inf_z{std::numeric_limits<double>::infinity(), 0, 0};
    MACH__checking_level = 0;
    EXPECT_FALSE(CSYS_get_csys_given_z_dir(&c, &inf_z, &out));
    MACH__checking_level = 1;
    EXPECT_EQ(out.origin.x, 7.0);

    V3 z = row(c.matrix, 2);
    V3 longer{5 * z.x, 5 * z.y, 5 * z.z};
    ASSERT_TRUE(CSYS_get_csys_given_z_dir(&c, &longer, &out));
    expect_near(out.matrix, c.matrix, 0.0);

    V3 reversed{-2 * z.x, -2 * z.y, -2 * z.z};
    ASSERT_TRUE(CSYS_get_csys_given_z_dir(&c, &reversed, &out));
    EXPECT_EQ(out.origin.z, 3.0);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(out.matrix.elem[j], c.matrix.elem[j]);
        EXPECT_EQ(out.matrix.elem[3 + j], -c.matrix.elem[3 + j]);
        EXPECT_EQ(out.matrix.elem[6 + j], -c.matrix.elem[6 + j]);
    }
}

TEST_F(Frames, GivenZDirAlwaysGivesAFrameWithTheRequestedZ) {
    // General turns, tiny tilts (where old Z x new Z is a poor direction)
    // and near-reversals.
    const double angles[] = {1e-3, 0.5, 2.0, 3.0, 1.1e-10, 3e-10, 1e-9, 1e-8, 1e-6, M_PI - 1e-6, M_PI - 1e-9};
    for (int trial = 0; trial < 40; ++trial) {
        for (double theta : angles) {
            CSYS_s c{{u_(gen_), u_(gen_), u_(gen_)}, random_frame()};
            V3 z = tilted(row(c.matrix, 2), theta);
            V3 request{3 * z.x, 3 * z.y, 3 * z.z};
            CSYS_s out;
            ASSERT_TRUE(CSYS_get_csys_given_z_dir(&c, &request, &out)) << theta;
            EXPECT_TRUE(MTX3_is_ortho_normal(&out.matrix)) << "theta " << theta << " trial " << trial;
            EXPECT_LT(dist(row(out.matrix, 2), z), 1e-15) << theta;
            EXPECT_GT(dot(cross(row(out.matrix, 0), row(out.matrix, 1)), row(out.matrix, 2)), 0.0);
            EXPECT_EQ(out.origin.x, c.origin.x);
            // The new X is the axis of the turn: perpendicular to the old Z.
            if (theta >= 1e-3 && theta <= 3.0) {
                EXPECT_NEAR(dot(row(out.matrix, 0), row(c.matrix, 2)), 0.0, 1e-14);
            }
        }
    }
}

TEST_F(Frames, H964AgreesWithDirectComputation) {
    MessageCapture capture;
    for (int level = 1; level >= 0; --level) {
        MACH__checking_level = level;
        for (int trial = 0; trial < 100; ++trial) {
            MTX3_s c = random_frame(), r = random_frame();
            double s = (trial % 3 == 0 ? -1.0 : 1.0) * (trial % 4 == 0 ? 1.0 : 0.01 + 5.0 * std::fabs(u_(gen_)));
            Scaled t(scaled(s, r), random_vector(), s);
            MTX3_s out;
            ASSERT_EQ(h964(&c, t.d, &out), 1);
            // Each axis carried by the rotation; a negative scale turns X and Y round.
            double sign = s < 0 ? -1.0 : 1.0;
            V3 x = apply(r, row(c, 0)), y = apply(r, row(c, 1)), z = apply(r, row(c, 2));
            MTX3_s expected = rows(V3{sign * x.x, sign * x.y, sign * x.z}, V3{sign * y.x, sign * y.y, sign * y.z}, z);
            expect_near(out, expected, 1e-13);
            // in place
            MTX3_s same = c;
            h964(&same, t.d, &same);
            expect_near(same, out, 0.0);
        }
    }
    EXPECT_TRUE(capture.all().empty());
}

TEST_F(Frames, H964NotesAndDumpsWhenTheFirstMethodFails) {
    MessageCapture capture(true);
    MTX3_s c{{0.6, 0.8, 0, -0.8, 0.6, 0, 0, 0, 1}};
    MTX3_s shear{{2, 1, 0, 0, 2, 0, 0, 0, 2}};
    Scaled t(shear, V3{1, 2, 3}, 2.0);
    MTX3_s out;
    ASSERT_EQ(h964(&c, t.d, &out), 1);
    EXPECT_TRUE(MTX3_is_ortho_normal(&out));

    ASSERT_EQ(capture.notes().size(), 2u);
    EXPECT_EQ(capture.notes()[0], "Old method of FTN(h964) () failed to produce a matrix");
    EXPECT_EQ(capture.notes()[1], "First attempt in FTN(h964) () failed to produce a matrix");
    EXPECT_TRUE(capture.internals().empty());
    V3 x = apply(shear, row(c, 0)), y = apply(shear, row(c, 1));
    std::string expected = dump("transformation matrix", shear) + dump("orginal csys matrix", c) +
                           dump("X axis", x) + dump("Y axis", y) + dump("h964 output", out);
    EXPECT_EQ(capture.log_text(), expected);

    // Without checking: the same result and not a word.
    capture.clear();
    MACH__checking_level = 0;
    MTX3_s quiet;
    ASSERT_EQ(h964(&c, t.d, &quiet), 1);
    expect_near(quiet, out, 0.0);
    EXPECT_TRUE(capture.all().empty());
}

TEST_F(Frames, H964OldMethodRefusesLeftHandedResults) {
    MessageCapture capture(true);
    MTX3_s identity{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    MTX3_s mirror{{1, 0, 0, 0, 1, 0, 0, 0, -1}};
    Scaled t(mirror, V3{0, 0, 0}, 1.0);
    MTX3_s out;
    ASSERT_EQ(h964(&identity, t.d, &out), 1);
    expect_near(out, identity, 0.0);
    EXPECT_EQ(capture.log_text(), "Old method of FTN(h964) () returning a left-handed matrix\n");
    ASSERT_EQ(capture.notes().size(), 1u);
    EXPECT_EQ(capture.notes()[0], "Old method of FTN(h964) () failed to produce a matrix");
}

TEST_F(Frames, H964ZeroAndTinyScales) {
    MessageCapture capture(true);
    MTX3_s c = random_frame(), r = random_frame();
    // A zero scale factor with a proper matrix: the checked call must not fail
    // where the unchecked one succeeds.
    Scaled zero(r, V3{0, 0, 0}, 0.0);
    MTX3_s checked, unchecked;
    ASSERT_EQ(h964(&c, zero.d, &checked), 1);
    MACH__checking_level = 0;
    ASSERT_EQ(h964(&c, zero.d, &unchecked), 1);
    MACH__checking_level = 1;
    expect_near(checked, unchecked, 0.0);
    EXPECT_TRUE(capture.internals().empty());

    // A scale so small that the carried axes are null: the repair still finds
    // the carried frame.
    for (double s : {1e-12, 1e-20, -1e-20, 1e-300}) {
        Scaled tiny(scaled(s, r), V3{0, 0, 0}, s);
        MTX3_s out;
        ASSERT_EQ(h964(&c, tiny.d, &out), 1) << s;
        MTX3_s direct;
        h964(&c, Scaled(scaled(s < 0 ? -1.0 : 1.0, r), V3{0, 0, 0}, 1.0).d, &direct);
        expect_near(out, direct, 1e-12);
    }

    // Sheared with a tiny scale: the repair must end with a frame.
    for (double s : {1e-9, 1e-14, 1e-20, 1e-200}) {
        for (int level = 0; level <= 1; ++level) {
            MACH__checking_level = level;
            MTX3_s shear{{s, 0.7 * s, 0, 0, s, 0.2 * s, 0, 0, s}};
            Scaled t(shear, V3{0, 0, 0}, s);
            MTX3_s out;
            ASSERT_EQ(h964(&c, t.d, &out), 1) << s;
            EXPECT_TRUE(MTX3_is_ortho_normal(&out)) << s;
        }
    }
    EXPECT_TRUE(capture.internals().empty());
}

TEST_F(Frames, H964RefusesNonFiniteTransformations) {
    MTX3_s c = random_frame();
    MTX3_s out{{7, 7, 7, 7, 7, 7, 7, 7, 7}};
    MTX3_s bad = c;
    bad.elem[4] = std::numeric_limits<double>::quiet_NaN();
    Scaled t(bad, V3{0, 0, 0}, 1.0);
    MACH__checking_level = 0;
    EXPECT_EQ(h964(&c, t.d, &out), 0);
    EXPECT_EQ(out.elem[0], 7.0);
}

TEST_F(Frames, H965ComposesScaledTransformations) {
    for (int trial = 0; trial < 20; ++trial) {
        double sa = 0.5 + std::fabs(u_(gen_)), sb = -(0.5 + std::fabs(u_(gen_)));
        MTX3_s ra = random_frame(), rb = random_frame();
        Scaled a(scaled(sa, ra), random_vector(), sa), b(scaled(sb, rb), random_vector(), sb);
        Scaled composed = a;
        h965(composed.d, b.d);
        // Applying a, then b, to a point: A_b (A_a p + t_a) + t_b.
        V3 p = random_vector();
        MTX3_s ma = scaled(sa, ra), mb = scaled(sb, rb);
        V3 ap = apply(ma, p);
        V3 step{ap.x + a.d[9], ap.y + a.d[10], ap.z + a.d[11]};
        V3 bp = apply(mb, step);
        V3 expected{bp.x + b.d[9], bp.y + b.d[10], bp.z + b.d[11]};
        MTX3_s mc;
        for (int i = 0; i < 9; ++i) mc.elem[i] = composed.d[i] * sb; // the scale of b divided out
        V3 cp = apply(mc, p);
        V3 got{cp.x + composed.d[9], cp.y + composed.d[10], cp.z + composed.d[11]};
        EXPECT_LT(dist(got, expected), 1e-12);
        EXPECT_EQ(composed.d[12], sa);
        // a may be b
        Scaled self = b, twice = b;
        h965(self.d, self.d);
        h965(twice.d, b.d);
        for (int i = 0; i < QUORM_SCALED_TRANSFORM_SIZE; ++i) EXPECT_EQ(self.d[i], twice.d[i]);
    }
}

TEST_F(Frames, H965RefusesAZeroScale) {
    MTX3_s r = random_frame();
    Scaled a(r, V3{1, 2, 3}, 1.0), b(r, V3{4, 5, 6}, 0.0);
    Scaled before = a;
    EXPECT_THROW(h965(a.d, b.d), Kaltor::Error::Exception);
    MACH__checking_level = 0;
    h965(a.d, b.d);
    for (int i = 0; i < QUORM_SCALED_TRANSFORM_SIZE; ++i) EXPECT_EQ(a.d[i], before.d[i]);
}
