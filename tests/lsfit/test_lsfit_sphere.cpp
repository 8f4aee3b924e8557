// Circle and sphere fits: exact circles and spheres recovered from points on
// them (short arcs, far-away centres, all scales), noise, flat and collinear
// sets at every scale, and the four-point selection of the fallback.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <vector>

namespace {

typedef quorm_point3 P3;

struct Frame {
    double e1[3], e2[3], e3[3];
};

// A random right-handed orthonormal frame.
Frame random_frame(std::mt19937 &rng) {
    std::normal_distribution<double> g;
    double a[3] = {g(rng), g(rng), g(rng)}, b[3] = {g(rng), g(rng), g(rng)};
    auto unit = [](double *v) {
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int k = 0; k < 3; ++k) v[k] /= l;
    };
    unit(a);
    const double d = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    for (int k = 0; k < 3; ++k) b[k] -= d * a[k];
    unit(b);
    Frame f{{a[0], a[1], a[2]}, {b[0], b[1], b[2]}, {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}};
    return f;
}

P3 at(const P3 &o, const Frame &f, double u, double v, double w) {
    return P3{o.x + u * f.e1[0] + v * f.e2[0] + w * f.e3[0], o.y + u * f.e1[1] + v * f.e2[1] + w * f.e3[1],
              o.z + u * f.e1[2] + v * f.e2[2] + w * f.e3[2]};
}

} // namespace

TEST(LsfitSphere, SmallExamples) {
    std::vector<P3> cube;
    for (int k = 0; k < 8; ++k) cube.push_back(P3{1.0 + (k & 1 ? 1 : -1), 2.0 + (k & 2 ? 1 : -1), 3.0 + (k & 4 ? 1 : -1)});
    P3 centre;
    double radius, stats[3] = {-1, -1, -1};
    int status = -1;
    LSFIT_sphere_to_points_3d(cube.data(), 8, &centre, &radius, &status, stats);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(centre.x, 1.0, 1e-12);
    EXPECT_NEAR(centre.y, 2.0, 1e-12);
    EXPECT_NEAR(centre.z, 3.0, 1e-12);
    EXPECT_NEAR(radius, std::sqrt(3.0), 1e-12);

    const PNT2_s four[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    PNT2_s c2{9, 9};
    LSFIT_circle_to_points_2d(four, 4, &c2, &radius, &status, stats);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(c2.x, 0.0, 1e-12);
    EXPECT_NEAR(c2.y, 0.0, 1e-12);
    EXPECT_NEAR(radius, 1.0, 1e-12);

    const PNT2_s line[4] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    LSFIT_circle_to_points_2d(line, 4, &c2, &radius, &status, stats);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(radius, 1e19);

    const P3 square[4] = {{0, 0, 5}, {1, 0, 5}, {1, 1, 5}, {0, 1, 5}};
    LSFIT_sphere_to_points_3d(square, 4, &centre, &radius, &status, stats);
    EXPECT_TRUE(status == 1 || radius == 1e19);
    EXPECT_EQ(centre.x, 0.0);
    EXPECT_EQ(centre.y, 0.0);
    EXPECT_EQ(centre.z, 0.0);

    LSFIT_sphere_to_points_3d(square, 0, &centre, &radius, &status, stats);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(radius, 1e19);
}

// Exact circles and spheres, radius 0.1 to 1e3, centres up to 1e4 from the
// origin, points on arcs from 30 degrees to full turns (caps for spheres):
// centre and radius to 1e-12 of the radius (short arcs to their conditioning).
TEST(LsfitSphere, RecoversExactCirclesAndSpheres) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 300; ++trial) {
        // Short arcs of small circles lie within the fallback's 0.005 of a
        // line (0.001 of a plane) and count as straight: they start at 1.
        const double span = trial % 3 == 0 ? 0.5236 : 6.2832 * (0.3 + 0.7 * u(rng));
        const double r = std::pow(10.0, (span < 1.0 ? 0.0 : -1.0) + 3.0 * u(rng));
        const double far = std::pow(10.0, 4.0 * u(rng)) * (u(rng) - 0.5);
        const int n = 5 + static_cast<int>(40 * u(rng));
        // Short arcs pin the centre less tightly: rounding of the points
        // (relative 1e-16 of the centre's distance) grows by 1 / span^2.
        const double tol = (span < 1.0 ? 1e-10 : 1e-12) * std::fmax(1.0, std::fabs(far) / r);
        SCOPED_TRACE(::testing::Message() << "trial " << trial << " r " << r << " far " << far << " span " << span);

        std::vector<PNT2_s> pts2(n);
        const double cx = far, cy = -0.7 * far, a0 = 6.2832 * u(rng);
        for (int i = 0; i < n; ++i) {
            const double t = a0 + span * i / (n - 1);
            pts2[i] = PNT2_s{cx + r * std::cos(t), cy + r * std::sin(t)};
        }
        PNT2_s c2;
        double radius, stats[3];
        int status;
        LSFIT_circle_to_points_2d(pts2.data(), n, &c2, &radius, &status, stats);
        ASSERT_EQ(status, 0);
        EXPECT_NEAR(radius, r, tol * r);
        EXPECT_NEAR(c2.x, cx, tol * r);
        EXPECT_NEAR(c2.y, cy, tol * r);

        const Frame f = random_frame(rng);
        const P3 o{far, 0.3 * far, -far};
        std::vector<P3> pts3(n);
        for (int i = 0; i < n; ++i) {
            const double theta = span * 0.5 * u(rng), phi = 6.2832 * u(rng);
            pts3[i] = at(o, f, r * std::sin(theta) * std::cos(phi), r * std::sin(theta) * std::sin(phi), r * std::cos(theta));
        }
        P3 c3;
        LSFIT_sphere_to_points_3d(pts3.data(), n, &c3, &radius, &status, stats);
        ASSERT_EQ(status, 0);
        EXPECT_NEAR(radius, r, 10 * tol * r);
        EXPECT_NEAR(c3.x, o.x, 10 * tol * r);
        EXPECT_NEAR(c3.y, o.y, 10 * tol * r);
        EXPECT_NEAR(c3.z, o.z, 10 * tol * r);
    }
}

TEST(LsfitSphere, NoisyPointsGiveNearbySphereAndConsistentStatistics) {
    std::mt19937 rng(55);
    std::normal_distribution<double> g;
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const double noise = 1e-3;
    std::vector<P3> pts;
    for (int i = 0; i < 500; ++i) {
        double v[3] = {g(rng), g(rng), g(rng)};
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        const double r = 5.0 + noise * u(rng);
        pts.push_back(P3{10 + r * v[0] / l, -20 + r * v[1] / l, 30 + r * v[2] / l});
    }
    P3 c;
    double radius, stats[3];
    int status;
    LSFIT_sphere_to_points_3d(pts.data(), 500, &c, &radius, &status, stats);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(radius, 5.0, noise);
    EXPECT_NEAR(c.x, 10.0, noise);
    EXPECT_LE(stats[0], 2 * noise);
    EXPECT_GE(stats[0], stats[2]);
    EXPECT_GT(stats[2], 0.1 * noise);

    std::vector<PNT2_s> pts2;
    for (int i = 0; i < 200; ++i) {
        const double t = 0.03 * i, r = 2.0 + noise * u(rng);
        pts2.push_back(PNT2_s{-3 + r * std::cos(t), 4 + r * std::sin(t)});
    }
    PNT2_s c2;
    LSFIT_circle_to_points_2d(pts2.data(), 200, &c2, &radius, &status, stats);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(radius, 2.0, 2 * noise);
    EXPECT_LE(stats[0], 3 * noise);
    EXPECT_GE(stats[0], stats[2]);
}

// Coplanar and collinear sets of every size and orientation are flat: no
// huge sphere or circle that rounding would otherwise produce.
TEST(LsfitSphere, FlatAndCollinearSetsAtEveryScale) {
    std::mt19937 rng(555);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 400; ++trial) {
        const double size = std::pow(10.0, -1.0 + 5.0 * (trial % 100) / 100.0);
        const int n = 4 + trial % 20;
        const Frame f = random_frame(rng);
        const P3 o{size * 3 * u(rng), size * 3 * u(rng), size * 3 * u(rng)};
        std::vector<P3> plane(n);
        std::vector<PNT2_s> line(n);
        const double dx = u(rng), dy = u(rng);
        for (int i = 0; i < n; ++i) {
            plane[i] = at(o, f, size * u(rng), size * u(rng), 0.0);
            const double t = size * u(rng);
            line[i] = PNT2_s{o.x + t * dx, o.y + t * dy};
        }
        SCOPED_TRACE(::testing::Message() << "trial " << trial << " size " << size << " n " << n);
        P3 c;
        double radius, stats[3];
        int status;
        LSFIT_sphere_to_points_3d(plane.data(), n, &c, &radius, &status, stats);
        EXPECT_TRUE(status == 1 || radius == 1e19) << radius;
        PNT2_s c2;
        LSFIT_circle_to_points_2d(line.data(), n, &c2, &radius, &status, stats);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(radius, 1e19);
    }
}

TEST(LsfitSphere, TetrahedronSelectionSpansASolidOrReportsFlat) {
    std::mt19937 rng(5555);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    int corners[4] = {-1, -1, -1, -1}, status = -1;
    std::vector<P3> pts;
    for (int i = 0; i < 50; ++i) pts.push_back(P3{u(rng), u(rng), 0.0004 * u(rng)});
    LSFIT_cre_tetrahedron_from_pts(pts.data(), 50, 0.001, corners, &status);
    EXPECT_EQ(status, 1);
    LSFIT_cre_tetrahedron_from_pts(pts.data(), 3, 0.001, corners, &status);
    EXPECT_EQ(status, 1);
    pts.push_back(P3{0.1, 0.2, 0.5});
    LSFIT_cre_tetrahedron_from_pts(pts.data(), 51, 0.001, corners, &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(std::set<int>(corners, corners + 4).size(), 4u);
    EXPECT_EQ(corners[3], 50);
}
