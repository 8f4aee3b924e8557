// FACET_ family: lines and planes, ray-triangle hits, vertex normals and
// ear clipping, mostly as properties over random input.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

typedef quorm_point3 Point3;
typedef quorm_vector3 Vector3;

namespace {

const double pi = 3.14159265358979323846;

Vector3 sub(const Point3 &a, const Point3 &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(const Vector3 &a, const Vector3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 cross(const Vector3 &a, const Vector3 &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(const Vector3 &a) { return std::sqrt(dot(a, a)); }
Point3 along(const Point3 &p, double t, const Vector3 &v) { return {p.x + t * v.x, p.y + t * v.y, p.z + t * v.z}; }
double pdot(const Vector3 &n, const Point3 &p) { return n.x * p.x + n.y * p.y + n.z * p.z; }

struct Rng {
    std::mt19937 gen{20261208};
    double operator()(double lo = -1.0, double hi = 1.0) { return std::uniform_real_distribution<double>(lo, hi)(gen); }
    Point3 point(double s = 10.0) { return {(*this)(-s, s), (*this)(-s, s), (*this)(-s, s)}; }
    Vector3 vector() { return {(*this)(), (*this)(), (*this)()}; }
};

// A right-handed orthonormal frame (x, y, n) with a random n.
struct Frame {
    Vector3 x, y, n;
    Point3 o;
    explicit Frame(Rng &rng) {
        Vector3 v = rng.vector();
        double l = norm(v);
        n = {v.x / l, v.y / l, v.z / l};
        Vector3 t = std::fabs(n.x) < 0.6 ? Vector3{1, 0, 0} : Vector3{0, 1, 0};
        Vector3 c = cross(n, t);
        l = norm(c);
        x = {c.x / l, c.y / l, c.z / l};
        y = cross(n, x);
        o = rng.point();
    }
    Point3 map(double u, double v) const {
        return {o.x + u * x.x + v * y.x, o.y + u * x.y + v * y.y, o.z + u * x.z + v * y.z};
    }
};

// ---- ear clipping --------------------------------------------------------

// Signed area of a 2-D polygon (shoelace).
double shoelace(const std::vector<double> &u, const std::vector<double> &v) {
    double s = 0.0;
    size_t n = u.size();
    for (size_t i = 0; i < n; ++i) s += u[i] * v[(i + 1) % n] - u[(i + 1) % n] * v[i];
    return 0.5 * s;
}

// Clips the counter-clockwise plane polygon (u, v) mapped into space by f and
// checks: n - 2 triangles of distinct valid indices, each counter-clockwise
// about the normal, whose areas add up to the polygon's area (so none
// overlaps another or covers ground outside the polygon).
void check_clipping(const std::vector<double> &u, const std::vector<double> &v, const Frame &f,
                    const std::string &what) {
    const int n = static_cast<int>(u.size());
    std::vector<Point3> pts(n);
    for (int i = 0; i < n; ++i) pts[i] = f.map(u[i], v[i]);
    std::vector<int> tris(3 * (n - 2), -1);
    FACET_ask_triangles_of_polygon(n, pts.data(), &f.n, tris.data());
    const double area = shoelace(u, v);
    double sum = 0.0, scale = 0.0;
    for (int i = 0; i < n; ++i) scale = std::fmax(scale, std::fabs(u[i]) + std::fabs(v[i]));
    for (int k = 0; k < n - 2; ++k) {
        int a = tris[3 * k], b = tris[3 * k + 1], c = tris[3 * k + 2];
        ASSERT_TRUE(a >= 0 && a < n && b >= 0 && b < n && c >= 0 && c < n) << what;
        ASSERT_TRUE(a != b && b != c && a != c) << what;
        double s = 0.5 * (u[a] * (v[b] - v[c]) + u[b] * (v[c] - v[a]) + u[c] * (v[a] - v[b]));
        ASSERT_GE(s, -1e-12 * scale * scale) << what << " triangle " << k << " is reversed";
        sum += s;
    }
    EXPECT_NEAR(sum, area, 1e-9 * std::fabs(area)) << what;
}

TEST(FacetEarClipping, RandomSimplePolygonsTileTheirArea) {
    Rng rng;
    for (int trial = 0; trial < 40; ++trial) {
        Frame f(rng);
        std::vector<double> u, v;
        // Convex: a circle with random angular gaps.
        int n = 3 + trial * 5;
        std::vector<double> ang(n);
        for (double &a : ang) a = rng(0.0, 2 * pi);
        std::sort(ang.begin(), ang.end());
        for (double a : ang) {
            u.push_back(3.0 * std::cos(a));
            v.push_back(3.0 * std::sin(a));
        }
        check_clipping(u, v, f, "convex " + std::to_string(n));

        // Star-shaped: random radii about the origin.
        u.clear();
        v.clear();
        for (int i = 0; i < n; ++i) {
            double a = 2 * pi * (i + rng(0.0, 0.9)) / n, r = rng(0.2, 5.0);
            u.push_back(r * std::cos(a));
            v.push_back(r * std::sin(a));
        }
        check_clipping(u, v, f, "star " + std::to_string(n));

        // Comb: teeth of random depth hanging from a bar, hundreds of corners.
        u.clear();
        v.clear();
        int teeth = 10 + 10 * trial;
        for (int i = 0; i < teeth; ++i) {
            double depth = rng(0.5, 4.0);
            u.push_back(i);
            v.push_back(-depth);
            u.push_back(i + 0.5);
            v.push_back(-depth);
            u.push_back(i + 0.5);
            v.push_back(0.0);
            u.push_back(i + 1.0);
            v.push_back(0.0);
        }
        u.push_back(teeth);
        v.push_back(1.0);
        u.push_back(0.0);
        v.push_back(1.0);
        check_clipping(u, v, f, "comb " + std::to_string(teeth));
    }
}

TEST(FacetEarClipping, LShapedHexagonLeavesTheNotchOpen) {
    // The L: (0,0) (2,0) (2,1) (1,1) (1,2) (0,2); the notch is [1,2]x[1,2].
    std::vector<Point3> pts = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    Vector3 up{0, 0, 1};
    int tris[12];
    FACET_ask_triangles_of_polygon(6, pts.data(), &up, tris);
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        const Point3 &a = pts[tris[3 * k]], &b = pts[tris[3 * k + 1]], &c = pts[tris[3 * k + 2]];
        double s = 0.5 * ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
        EXPECT_GT(s, 0.0);
        sum += s;
        // The notch's centre lies in no triangle.
        Point3 q{1.5, 1.5, 0};
        Vector3 d{0, 0, 1};
        Point3 tri[3] = {a, b, c}, hit;
        double t;
        EXPECT_FALSE(FACET_ray_triangle_intersect(&q, &d, tri, &hit, &t)) << "triangle " << k;
    }
    EXPECT_DOUBLE_EQ(sum, 3.0);

    // The triangle alone, and a count below 3 refused.
    int one[3] = {-1, -1, -1};
    FACET_ask_triangles_of_polygon(3, pts.data(), &up, one);
    EXPECT_EQ(one[0] + one[1] * 10 + one[2] * 100, 210);
    EXPECT_THROW(FACET_ask_triangles_of_polygon(2, pts.data(), &up, one), Kaltor::Error::Severe);
}

// ---- rays, lines and planes -----------------------------------------------

TEST(FacetRayTriangle, HitsLieOnTheTriangleAndMissesMiss) {
    Rng rng;
    for (int trial = 0; trial < 2000; ++trial) {
        Point3 tri[3] = {rng.point(), rng.point(), rng.point()};
        double a = rng(0.0, 1.0), b = rng(0.0, 1.0);
        bool inside = a + b <= 1.0;
        // Points outside: mirrored across the u + v = 1 edge, pushed out.
        if (!inside) {
            a += 0.01;
            b += 0.01;
        }
        Point3 target{tri[0].x + a * (tri[1].x - tri[0].x) + b * (tri[2].x - tri[0].x),
                      tri[0].y + a * (tri[1].y - tri[0].y) + b * (tri[2].y - tri[0].y),
                      tri[0].z + a * (tri[1].z - tri[0].z) + b * (tri[2].z - tri[0].z)};
        Vector3 dir = rng.vector();
        double l = norm(dir);
        dir = {dir.x / l, dir.y / l, dir.z / l};
        Vector3 nrm = cross(sub(tri[1], tri[0]), sub(tri[2], tri[0]));
        if (std::fabs(dot(nrm, dir)) < 1e-3 * norm(nrm)) continue;
        double s = rng(-20.0, 20.0);
        Point3 origin = along(target, -s, dir), hit;
        double t;
        bool got = FACET_ray_triangle_intersect(&origin, &dir, tri, &hit, &t);
        ASSERT_EQ(got, inside) << trial;
        if (!got) continue;
        EXPECT_NEAR(norm(sub(hit, target)), 0.0, 1e-9 * (1 + std::fabs(s)));
        EXPECT_NEAR(t, s, 1e-9 * (1 + std::fabs(s)));
    }
    // Through the centroid: the hit is the centroid; parallel to the plane: a miss.
    Point3 tri[3] = {{0, 0, 0}, {3, 0, 0}, {0, 3, 0}}, origin{1, 1, 5}, hit;
    Vector3 down{0, 0, -1}, flat{1, 0, 0};
    double t;
    ASSERT_TRUE(FACET_ray_triangle_intersect(&origin, &down, tri, &hit, &t));
    EXPECT_DOUBLE_EQ(hit.x, 1.0);
    EXPECT_DOUBLE_EQ(hit.y, 1.0);
    EXPECT_DOUBLE_EQ(t, 5.0);
    Point3 side{1, 1, 0};
    EXPECT_FALSE(FACET_ray_triangle_intersect(&side, &flat, tri, &hit, &t));
}

TEST(FacetLinesAndPlanes, RandomGeometryAgreesWithItsDefinitions) {
    Rng rng;
    for (int trial = 0; trial < 500; ++trial) {
        Point3 p1 = rng.point(), p2 = rng.point(), p = rng.point();
        Vector3 e1 = rng.vector(), e2 = rng.vector(), n = rng.vector();
        double d = rng(-5.0, 5.0);
        Vector3 n_scaled{7 * n.x, 7 * n.y, 7 * n.z};

        // Closest points: the joining vector is perpendicular to both lines.
        double t1, t2;
        FACET_line_line_closest_point(&p1, &e1, &p2, &e2, &t1, &t2);
        Vector3 w = sub(along(p2, t2, e2), along(p1, t1, e1));
        EXPECT_NEAR(dot(w, e1), 0.0, 1e-8 * norm(e1) * (1 + norm(w)));
        EXPECT_NEAR(dot(w, e2), 0.0, 1e-8 * norm(e2) * (1 + norm(w)));
        // ... and their distance is the signed line-line distance.
        EXPECT_NEAR(std::fabs(FACET_line_line_dist(&p1, &e1, &p2, &e2)), norm(w), 1e-8 * (1 + norm(w)));

        // Parallel unit directions: a consistent pair as well.
        Vector3 u{e1.x / norm(e1), e1.y / norm(e1), e1.z / norm(e1)};
        Vector3 minus_u{-u.x, -u.y, -u.z};
        FACET_line_line_closest_point(&p1, &u, &p2, &minus_u, &t1, &t2);
        w = sub(along(p2, t2, minus_u), along(p1, t1, u));
        EXPECT_NEAR(dot(w, u), 0.0, 1e-12 * (1 + norm(w)));
        EXPECT_NEAR(FACET_line_line_dist(&p1, &u, &p2, &u), norm(w), 1e-9);

        // Projection onto a line, with and without a unit direction.
        Point3 foot;
        double t;
        FACET_point_line_proj(&p, &p1, &e1, 0, &foot, &t);
        EXPECT_NEAR(dot(sub(p, foot), e1), 0.0, 1e-10 * (1 + norm(sub(p, foot))));
        Point3 foot_u;
        FACET_point_line_proj(&p, &p1, &u, 1, &foot_u, &t);
        EXPECT_NEAR(norm(sub(foot, foot_u)), 0.0, 1e-9);
        Point3 q = along(p1, 1.0, e1);
        EXPECT_NEAR(FACET_line_point_dist(&p1, &q, &p), norm(sub(p, foot)), 1e-9);

        // Planes of any normal length: the point on the plane, projections,
        // line intersections and the line of two planes all satisfy n.x + d = 0.
        Point3 on;
        FACET_ask_point_on_plane(&n_scaled, d, &on);
        EXPECT_NEAR(FACET_point_plane_dist(&on, &n_scaled, d), 0.0, 1e-10 * (1 + std::fabs(d)));
        FACET_point_plane_proj(&p, &n_scaled, d, &foot);
        EXPECT_NEAR(pdot(n_scaled, foot) + d, 0.0, 1e-9);
        EXPECT_NEAR(norm(cross(sub(p, foot), n_scaled)), 0.0, 1e-9 * norm(n_scaled));
        if (FACET_line_int_plane(&p1, &p2, &n_scaled, d, &on, &t) == 0) {
            EXPECT_NEAR(pdot(n_scaled, on) + d, 0.0, 1e-8 * (1 + std::fabs(t)));
        }
        double d2 = rng(-5.0, 5.0);
        Point3 point;
        Vector3 dir;
        ASSERT_EQ(FACET_plane_plane_int(&n_scaled, d, &e2, d2, &point, &dir), 2);
        EXPECT_NEAR(pdot(n_scaled, point) + d, 0.0, 1e-8);
        EXPECT_NEAR(pdot(e2, point) + d2, 0.0, 1e-8);
        EXPECT_NEAR(dot(dir, n_scaled), 0.0, 1e-9);

        // Angles and areas against their independent forms.
        EXPECT_NEAR(FACET_compute_undirected_angle(&e1, &e2), std::acos(dot(e1, e2) / (norm(e1) * norm(e2))), 1e-7);
        EXPECT_NEAR(FACET_ask_triangle_area(&p1, &p2, &p), 0.5 * norm(cross(sub(p2, p1), sub(p, p1))),
                    1e-10 * (1 + dot(sub(p2, p1), sub(p2, p1))));
    }
}

TEST(FacetLinesAndPlanes, ParallelAndDegenerateCases) {
    Vector3 n{0, 0, 2}, n_opposite{0, 0, -0.5};
    Point3 point;
    Vector3 dir;
    // z = 1 given twice with different normal lengths and senses: the same plane.
    EXPECT_EQ(FACET_plane_plane_int(&n, -2.0, &n_opposite, 0.5, &point, &dir), 0);
    EXPECT_DOUBLE_EQ(point.z, 1.0);
    EXPECT_EQ(FACET_plane_plane_int(&n, -2.0, &n, -4.0, &point, &dir), 1);

    Point3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1e-9, 0}, far{3, 4, 0}, out{9, 9, 9};
    double t = 42.0;
    Vector3 up{0, 0, 1};
    EXPECT_EQ(FACET_line_int_plane(&a, &b, &up, 1.0, &out, &t), 1);
    EXPECT_EQ(t, 42.0);
    EXPECT_DOUBLE_EQ(FACET_line_point_dist(&a, &c, &far), 5.0); // a and c count as one point
    EXPECT_DOUBLE_EQ(FACET_ask_triangle_area(&a, &b, &far), 2.0);
    EXPECT_EQ(FACET_ask_triangle_area(&a, &b, &b), 0.0);
    // Two coincident corners: no area.
    Point3 n1{0, 0, 0}, n3{8, 0, 0};
    EXPECT_EQ(FACET_ask_triangle_area(&n1, &n1, &n3), 0.0);

    Vector3 zero{0, 0, 0}, unit_x{1, 0, 0}, minus_x{-1, 0, 0};
    double t1, t2;
    EXPECT_EQ(FACET_line_int_line(&a, &unit_x, &far, &minus_x, &t1, &t2), 0);
    EXPECT_EQ(t1 + t2, -2.0);
    EXPECT_EQ(FACET_line_int_line(&a, &unit_x, &far, &up, &t1, &t2), 1);
    EXPECT_EQ(t1, 3.0);
    EXPECT_EQ(t2, 0.0);
    FACET_line_line_closest_point(&a, &zero, &far, &zero, &t1, &t2);
    EXPECT_EQ(t1, 0.0);
    EXPECT_EQ(t2, 0.0);
    FACET_line_line_closest_point(&a, &unit_x, &far, &zero, &t1, &t2);
    EXPECT_DOUBLE_EQ(t1, 3.0);
    EXPECT_EQ(t2, 0.0);

    Point3 base;
    FACET_points_to_param_line(&a, &far, 1, &base, &dir);
    EXPECT_DOUBLE_EQ(dir.x, 0.6);
    FACET_points_to_param_line(&a, &c, 1, &base, &dir); // too short to unitise
    EXPECT_EQ(dir.y, 1e-9);
    FACET_point_on_param_line(&far, &up, 2.0, &base);
    EXPECT_EQ(base.z, 2.0);
}

// ---- weights and vertex normals ------------------------------------------

TEST(FacetWeights, ShepardWeights) {
    double dist[4] = {1.0, 2.0, 4.0, 4.0}, w[4];
    FACET_shepards_weights(4, dist, 0.0, 1.0, w);
    EXPECT_DOUBLE_EQ(w[0], 0.5);
    EXPECT_DOUBLE_EQ(w[1], 0.25);
    FACET_shepards_weights(4, dist, 0.0, 2.0, w);
    EXPECT_DOUBLE_EQ(w[0], 16.0 / 22.0);
    // Exact hits: the last one within the threshold takes all.
    FACET_shepards_weights(4, dist, 2.0, 1.0, w);
    EXPECT_EQ(w[0] + w[2] + w[3], 0.0);
    EXPECT_EQ(w[1], 1.0);
}

// Facet with corners a (the shared vertex, id 7), b, c.
FACET_facet_normal_s facet(Point3 a, Point3 b, Point3 c, Vector3 n, int id_a = 7) {
    FACET_facet_normal_s f;
    f.vertices[0] = a;
    f.vertices[1] = b;
    f.vertices[2] = c;
    f.vertex_ids[0] = id_a;
    f.vertex_ids[1] = 1;
    f.vertex_ids[2] = 2;
    f.normal = n;
    return f;
}

TEST(FacetWeights, VertexNormalWeighsByAreaOrAngle) {
    long blocks = CORVEX_blocks_in_use();
    Point3 o{0, 0, 0};
    // Area 2 with normal +z, area 0.5 with normal +x; corner angles 90 and 45 degrees.
    FACET_facet_normal_s f[2] = {facet(o, {2, 0, 0}, {0, 2, 0}, {0, 0, 1}),
                                 facet(o, {0, 1, 0}, {0, 1, 1}, {1, 0, 0})};
    double tols[2] = {0.01, 0.5};
    Vector3 nrm;
    FACET_interp_normal_at_vertex(&o, 7, 2, f, FACET_WEIGHT_AREA, tols, &nrm);
    EXPECT_NEAR(nrm.z / nrm.x, 4.0, 1e-12);
    EXPECT_NEAR(norm(nrm), 1.0, 1e-15);
    FACET_interp_normal_at_vertex(&o, 7, 2, f, FACET_WEIGHT_ANGLE, tols, &nrm);
    EXPECT_NEAR(nrm.z / nrm.x, 2.0, 1e-12);

    // Large facets weigh by their area too: none takes over alone.
    double coarse[2] = {1.0, 0.5};
    FACET_facet_normal_s big[2] = {facet(o, {2000, 0, 0}, {0, 2000, 0}, {0, 0, 1}),
                                   facet(o, {0, 1000, 0}, {0, 1000, 1000}, {1, 0, 0})};
    FACET_interp_normal_at_vertex(&o, 7, 2, big, FACET_WEIGHT_AREA, coarse, &nrm);
    EXPECT_NEAR(nrm.z / nrm.x, 4.0, 1e-12);

    // A zero-area facet is reported and, being an exact hit, gives the normal alone.
    FACET_facet_normal_s flat[2] = {f[0], facet(o, {1, 0, 0}, {2, 0, 0}, {0, 1, 0})};
    {
        Kaltor::Corvex::MessageCapture capture(true);
        FACET_interp_normal_at_vertex(&o, 7, 2, flat, FACET_WEIGHT_AREA, tols, &nrm);
        ASSERT_EQ(capture.internals().size(), 1u);
        EXPECT_EQ(capture.internals()[0], "Zero area facet occurred.");
        EXPECT_EQ(nrm.y, 1.0);

        capture.clear();
        FACET_facet_normal_s stranger[2] = {f[0], facet(o, {0, 1, 0}, {0, 1, 1}, {1, 0, 0}, 99)};
        FACET_interp_normal_at_vertex(&o, 7, 2, stranger, FACET_WEIGHT_ANGLE, tols, &nrm);
        ASSERT_EQ(capture.internals().size(), 1u);
        EXPECT_EQ(capture.internals()[0], "The facet is not incident at the given vertex.");
        EXPECT_EQ(nrm.z, 1.0); // the stranger does not weigh in

        capture.clear();
        FACET_interp_normal_at_vertex(nullptr, 7, 2, f, FACET_WEIGHT_ANGLE, tols, &nrm);
        FACET_interp_normal_at_vertex(&o, 7, 2, f, 5, tols, &nrm);
        ASSERT_EQ(capture.internals().size(), 2u);
        EXPECT_EQ(capture.internals()[0], "The common vertex is not input as expected.");
        EXPECT_EQ(capture.internals()[1], "The requested type of weights is not recognizable.");
    }
    EXPECT_THROW(FACET_interp_normal_at_vertex(&o, 7, 2, flat, FACET_WEIGHT_AREA, tols, &nrm),
                 Kaltor::Error::Severe);
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
}

} // namespace
