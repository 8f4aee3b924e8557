// MC_ family: array arithmetic, the raising unitize and 3x3 solve, lines,
// planes, perpendiculars and transforms.
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>

namespace {

const double pi = 3.14159265358979323846;

double dot(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double len(const double *a) { return std::sqrt(dot(a, a)); }

// Runs f expecting a code-17 raise; returns the raised message and, through
// printed, what went to standard output meanwhile.
std::string raised_17(const std::function<void()> &f, std::string *printed) {
    std::string message = "(no raise)";
    testing::internal::CaptureStdout();
    try {
        f();
    } catch (const Kaltor::Error::Exception &e) {
        message = e.code() == QUORM_ERR_VECTOR_ALGEBRA ? e.message() : "(other code)";
    }
    *printed = testing::internal::GetCapturedStdout();
    return message;
}

class McMath : public ::testing::Test {
  protected:
    void SetUp() override { saved_ = MACH__checking_level; }
    void TearDown() override { MACH__checking_level = saved_; }
    void random_unit(double *v) {
        do {
            for (int i = 0; i < 3; ++i) v[i] = coord(rng);
        } while (len(v) < 0.1);
        double l = len(v);
        for (int i = 0; i < 3; ++i) v[i] /= l;
    }
    void random_point(double *p) {
        for (int i = 0; i < 3; ++i) p[i] = 100.0 * coord(rng);
    }
    std::mt19937_64 rng{99};
    std::uniform_real_distribution<double> coord{-1.0, 1.0};
    int saved_ = 1;
};

} // namespace

TEST_F(McMath, ArithmeticAllowsOutputsOverInputs) {
    double a[3] = {1, 2, 3}, b[3] = {-4, 5, 0.5}, out[3];
    MC_AxB(a, b, out);
    EXPECT_EQ(out[0], 2 * 0.5 - 3 * 5);
    EXPECT_EQ(out[1], 3 * -4 - 1 * 0.5);
    EXPECT_EQ(out[2], 1 * 5 - 2 * -4);
    double c[3] = {1, 2, 3};
    MC_AxB(c, b, c); // in place
    EXPECT_EQ(c[0], out[0]);
    EXPECT_EQ(c[2], out[2]);
    EXPECT_EQ(MC_triple_product(a, b, a), 0.0);
    EXPECT_EQ(MC_triple_product(a, b, out), dot(out, out));
    MC_aApB(2.0, a, b, out);
    EXPECT_EQ(out[0], -2.0);
    EXPECT_EQ(out[2], 6.5);
    MC_AmB(a, b, out);
    EXPECT_EQ(out[1], -3.0);
    MC_ApB(a, b, out);
    EXPECT_EQ(out[1], 7.0);
    MC_aA(-1.0, a, out);
    EXPECT_EQ(out[2], -3.0);
    MC_v_copy(b, out);
    EXPECT_EQ(out[0], -4.0);
    double p[3] = {1, 1, 1}, q[3] = {4, 5, 1};
    EXPECT_EQ(MC_dist(p, q), 5.0);
    EXPECT_EQ(MC_dist2(p, q), 25.0);
    EXPECT_EQ(MC_length2(a), 14.0);
    EXPECT_EQ(MC_A_dot_B(a, b), 7.5);
}

TEST_F(McMath, UnitizeRaisesForShortVectorsAtEveryLevel) {
    double v[3] = {3, 0, 4};
    MC_v_unit(v);
    EXPECT_DOUBLE_EQ(v[0], 0.6);
    EXPECT_DOUBLE_EQ(MC_length(v), 1.0);
    for (int level : {1, 0}) {
        MACH__checking_level = level;
        double s[3] = {5e-5, 0, 5e-5};
        std::string printed;
        EXPECT_EQ(raised_17([&] { MC_v_unit(s); }, &printed), "tried to unitize null vector");
        EXPECT_EQ(printed, "\nERROR: zero vector in unitize\n");
        EXPECT_EQ(s[0], 5e-5); // left alone
    }
}

TEST_F(McMath, ParallelPerpendicularAndAngle) {
    double x[3] = {1, 0, 0};
    double tilt[3] = {std::cos(4e-3), std::sin(4e-3), 0}, far[3] = {std::cos(5e-3), std::sin(5e-3), 0};
    EXPECT_TRUE(MC_q_parallel(x, tilt)); // sin^2 = 1.6e-5
    EXPECT_FALSE(MC_q_parallel(x, far)); // 2.5e-5
    double y[3] = {0.5e-4, 1, 0}, y2[3] = {1e-4, 1, 0};
    EXPECT_TRUE(MC_q_perp(x, y));
    EXPECT_FALSE(MC_q_perp(x, y2));
    double a[3] = {std::cos(1e-4), std::sin(1e-4), 0};
    EXPECT_EQ(MC_get_angle(x, a), 0.0);
    double back[3] = {-1, 1e-5, 0};
    EXPECT_EQ(MC_get_angle(x, back), pi);
    double diag[3] = {std::sqrt(0.5), std::sqrt(0.5), 0};
    EXPECT_DOUBLE_EQ(MC_get_angle(x, diag), pi / 4);
}

TEST_F(McMath, Solve3SolvesAndLeavesTheSystemAlone) {
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    for (int k = 0; k < 500; ++k) {
        double m[12], x[3], saved[12];
        for (double &e : m) e = value(rng);
        if (std::fabs(MC_determinant(m)) < 1e-2) continue;
        std::memcpy(saved, m, sizeof m);
        MC_solve_3(m, x);
        EXPECT_EQ(std::memcmp(saved, m, sizeof m), 0);
        for (int r = 0; r < 3; ++r) {
            double ax = m[4 * r] * x[0] + m[4 * r + 1] * x[1] + m[4 * r + 2] * x[2];
            EXPECT_NEAR(ax, m[4 * r + 3], 1e-9 * (1 + len(x)));
        }
    }
    double diag[12] = {2, 0, 0, 4, 0, 4, 0, 2, 0, 0, -8, 2};
    EXPECT_EQ(MC_determinant(diag), -64.0);
}

TEST_F(McMath, Solve3RaisesForSingularSystems) {
    MACH__checking_level = 0;
    double m[12] = {1, 2, 3, 1, 2, 4, 6, 2, 0, 1, 1, 3}, x[3] = {9, 9, 9};
    std::string printed;
    EXPECT_EQ(raised_17([&] { MC_solve_3(m, x); }, &printed), "zero determinant in linear system");
    EXPECT_EQ(printed, "\nERROR: zero determinant in 3 by 3 system\n");
    EXPECT_EQ(x[0], 9.0);
}

TEST_F(McMath, DistanceBetweenLines) {
    double dx[3] = {1, 0, 0}, dy[3] = {0, 1, 0}, o[3] = {0, 0, 0}, up[3] = {5, 7, 3};
    EXPECT_DOUBLE_EQ(MC_dist_lines(dx, o, dy, up), 3.0); // skew
    double along[3] = {42, 0, 0}, dx2[3] = {-1, 0, 0};
    EXPECT_EQ(MC_dist_lines(dx, o, dx2, along), 0.0); // coincident
    EXPECT_EQ(MC_dist_lines(dx, o, dx, o), 0.0);
    double side[3] = {10, 3, 4};
    EXPECT_DOUBLE_EQ(MC_dist_lines(dx, o, dx2, side), 5.0); // parallel
    for (int k = 0; k < 300; ++k) {
        double d1[3], d2[3], p1[3], p2[3], n[3];
        random_unit(d1);
        random_unit(d2);
        random_point(p1);
        random_point(p2);
        MC_AxB(d1, d2, n);
        if (dot(n, n) < 1e-4) continue;
        MC_v_unit(n);
        double w[3] = {p1[0] - p2[0], p1[1] - p2[1], p1[2] - p2[2]};
        EXPECT_NEAR(MC_dist_lines(d1, p1, d2, p2), std::fabs(dot(n, w)), 1e-10);
    }
}

TEST_F(McMath, PlaneDistances) {
    double n[3] = {0, 0, 1}, flip[3] = {0, 0, -1}, tilted[3] = {0, 0.1, 1};
    EXPECT_EQ(MC_signed_dist_planes(n, 2.0, n, 5.0), 3.0);
    EXPECT_EQ(MC_signed_dist_planes(n, 2.0, flip, 5.0), -7.0);
    EXPECT_EQ(MC_signed_dist_planes(n, 2.0, tilted, 5.0), 0.0);
    double along[3] = {1, 0, 0}, point[3] = {3, 4, 10}, across[3] = {0, 1, 1};
    EXPECT_EQ(MC_signed_dist_plane_axis(n, 2.0, along, point), 8.0);
    EXPECT_EQ(MC_signed_dist_plane_axis(n, 2.0, across, point), 0.0);
}

TEST_F(McMath, AxisPlaneIntersectionInEveryBranch) {
    double n[3] = {0.0, 0.6, 0.8}, point[3] = {1, 2, 3};
    double dirs[][3] = {{1, 0.5, 0.3}, {0.2, -1, 0.5}, {0.1, 0.3, 1}, {1, 1, 1}};
    for (auto &d : dirs) {
        double x[3];
        MC_axis_plane_x(d, point, n, 7.0, x);
        EXPECT_NEAR(dot(n, x), 7.0, 1e-12);
        double w[3] = {x[0] - point[0], x[1] - point[1], x[2] - point[2]}, c[3];
        MC_AxB(w, d, c);
        EXPECT_NEAR(len(c), 0.0, 1e-12) << d[0] << " " << d[1] << " " << d[2];
    }
    double flat[3] = {1, 0, 0};
    std::string printed;
    EXPECT_EQ(raised_17([&] { double x[3]; MC_axis_plane_x(flat, point, n, 7.0, x); }, &printed),
              "zero determinant in linear system");
}

TEST_F(McMath, PerpendicularVector) {
    for (int k = 0; k < 2000; ++k) {
        double v[3], p[3];
        random_unit(v);
        MC_perp_vec(v, p);
        EXPECT_NEAR(len(p), 1.0, 1e-15);
        EXPECT_NEAR(dot(v, p), 0.0, 1e-15);
    }
    double z[3] = {0, 0, 1}, p[3];
    MC_perp_vec(z, p);
    EXPECT_EQ(p[0], 1.0);
    // Short vectors with no z get a perpendicular instead of NaN.
    double flat[3] = {0.1, 0.1, 0}, tiny[3] = {0, 1e-6, 0};
    MC_perp_vec(flat, p);
    EXPECT_NEAR(dot(flat, p), 0.0, 1e-16);
    EXPECT_NEAR(len(p), 1.0, 1e-15);
    MC_perp_vec(tiny, p);
    EXPECT_NEAR(dot(tiny, p), 0.0, 1e-16);
    EXPECT_NEAR(len(p), 1.0, 1e-15);
    // A null vector has no perpendicular: raised like a null unitize.
    double null[3] = {0, 0, 0};
    std::string printed;
    EXPECT_EQ(raised_17([&] { MC_perp_vec(null, p); }, &printed), "tried to unitize null vector");
    EXPECT_EQ(printed, "\nERROR: zero vector in unitize\n");
}

TEST_F(McMath, ProjectionsOntoLinesAndPlanes) {
    double p[3] = {3, 4, 5}, d[3] = {0, 1, 0}, q[3] = {1, 1, 1}, out[3];
    MC_proj_point_onto_line(p, d, q, out);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(out[1], 4.0);
    EXPECT_EQ(out[2], 1.0);
    MC_perp_from_line_to_point(p, d, q, out);
    EXPECT_DOUBLE_EQ(out[0], 2 / std::sqrt(20.0));
    EXPECT_DOUBLE_EQ(out[2], 4 / std::sqrt(20.0));
    EXPECT_FALSE(MC_q_point_on_line(p, d, q));
    double near[3] = {1 + 0.7e-4, 9, 1 + 0.7e-4}, off[3] = {1 + 0.71e-4, 9, 1 + 0.71e-4};
    EXPECT_TRUE(MC_q_point_on_line(near, d, q));
    EXPECT_FALSE(MC_q_point_on_line(off, d, q));
    std::string printed;
    EXPECT_EQ(raised_17([&] { MC_perp_from_line_to_point(near, d, q, out); }, &printed),
              "tried to unitize null vector");
    double n[3] = {0, 0.6, 0.8};
    MC_proj_point_onto_plane(p, n, 1.0, out);
    EXPECT_DOUBLE_EQ(dot(out, n), 1.0);
    EXPECT_DOUBLE_EQ(out[0], 3.0);
}

TEST_F(McMath, TransformsAndCsysToCsys) {
    double m[12] = {0, -1, 0, 10, 1, 0, 0, 20, 0, 0, 1, 30}, v[3] = {1, 2, 3}, out[3];
    MC_apply_transform_to_point(m, v, out);
    EXPECT_EQ(out[0], 8.0);
    EXPECT_EQ(out[1], 21.0);
    EXPECT_EQ(out[2], 33.0);
    MC_apply_transform_to_vector(m, v, v);
    EXPECT_EQ(v[0], -2.0);
    EXPECT_EQ(v[1], 1.0);
    EXPECT_EQ(v[2], 3.0);

    for (int k = 0; k < 200; ++k) {
        // Two random right-handed systems.
        double from[12], to[12];
        for (double *s : {from, to}) {
            random_point(s);
            double *x = s + 3, *y = s + 6, *z = s + 9, t[3];
            random_unit(x);
            do {
                random_unit(t);
                MC_AxB(x, t, z);
            } while (len(z) < 0.1);
            MC_v_unit(z);
            MC_AxB(z, x, y);
        }
        double r[16];
        MC_calc_csys_to_csys_transform(from, to, r);
        EXPECT_EQ(r[12], 0.0);
        EXPECT_EQ(r[15], 1.0);
        // The point with local coordinates l in from lands on the point with
        // the same local coordinates in to.
        double l[3] = {1.5, -2.0, 0.25}, pf[3], pt[3], got[3];
        for (int i = 0; i < 3; ++i) {
            pf[i] = from[i] + l[0] * from[3 + i] + l[1] * from[6 + i] + l[2] * from[9 + i];
            pt[i] = to[i] + l[0] * to[3 + i] + l[1] * to[6 + i] + l[2] * to[9 + i];
        }
        double m12[12];
        std::memcpy(m12, r, sizeof m12);
        MC_apply_transform_to_point(m12, pf, got);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], pt[i], 1e-12 * 300);
    }
}
