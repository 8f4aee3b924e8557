// Polygon triangle fill: small cases, refused outlines, and a property test
// over many seeded random simple polygons checked against independent truth
// (areas, orientation, overlap, containment, adjacency) and against a plain
// scan of the same splitting rule.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using Poly = std::vector<PNT2_s>;

double orient(const PNT2_s &a, const PNT2_s &b, const PNT2_s &c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double area(const Poly &p) {
    double s = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const PNT2_s &a = p[i], &b = p[(i + 1) % p.size()];
        s += a.x * b.y - a.y * b.x;
    }
    return s / 2;
}

bool proper_cross(const PNT2_s &a, const PNT2_s &b, const PNT2_s &c, const PNT2_s &d) {
    const double o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
    const double e = 1e-9;
    return ((o1 > e && o2 < -e) || (o1 < -e && o2 > e)) && ((o3 > e && o4 < -e) || (o3 < -e && o4 > e));
}

bool simple(const Poly &p) {
    const size_t n = p.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) continue;
            const PNT2_s &a = p[i], &b = p[(i + 1) % n], &c = p[j], &d = p[(j + 1) % n];
            const double o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
            if (o1 * o2 < 0 && o3 * o4 < 0) return false;
            // Touching or collinear overlap: some end point lies on the other segment.
            auto on = [](const PNT2_s &p0, const PNT2_s &p1, const PNT2_s &q, double o) {
                return o == 0 && std::min(p0.x, p1.x) <= q.x && q.x <= std::max(p0.x, p1.x) &&
                       std::min(p0.y, p1.y) <= q.y && q.y <= std::max(p0.y, p1.y);
            };
            if (on(a, b, c, o1) || on(a, b, d, o2) || on(c, d, a, o3) || on(c, d, b, o4)) return false;
        }
    return true;
}

bool inside(const Poly &p, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
        if ((p[i].y > y) != (p[j].y > y) && x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
            in = !in;
    return in;
}

// Interiors of two counter-clockwise triangles overlap (no separating edge).
bool overlap(const PNT2_s *t, const PNT2_s *u) {
    auto separated = [](const PNT2_s *a, const PNT2_s *b) {
        for (int e = 0; e < 3; ++e) {
            bool all_out = true;
            for (int k = 0; k < 3; ++k) all_out = all_out && orient(a[e], a[(e + 1) % 3], b[k]) <= 1e-9;
            if (all_out) return true;
        }
        return false;
    };
    return !separated(t, u) && !separated(u, t);
}

struct Output {
    int status = -1, n_tris = 0;
    PTF_tri_s *tris = nullptr;
    PTF_bnd_edge_neighbors_s *bnd = nullptr;
    PTF_pt_neighbors_s *nb = nullptr;
    int n = 0;
    explicit Output(Poly &p, bool all = true) : n(static_cast<int>(p.size())) {
        status = PTF_poly_tri_fill(n, p.data(), &n_tris, &tris, all ? &bnd : nullptr, all ? &nb : nullptr);
    }
    ~Output() { PTF_free_output(n, tris, nb, bnd); }
};

// Everything a correct triangulation with adjacency must satisfy.
void check_fill(Poly &p, const char *what) {
    SCOPED_TRACE(what);
    const int n = static_cast<int>(p.size());
    Output o(p, n <= 400);
    ASSERT_EQ(o.status, 0);
    ASSERT_EQ(o.n_tris, n - 2);
    double sum = 0;
    std::set<std::pair<int, int>> edges;
    for (int i = 0; i < o.n_tris; ++i) {
        const int *v = o.tris[i].vertices;
        const PNT2_s t[3] = {p[v[0]], p[v[1]], p[v[2]]};
        const double a = orient(t[0], t[1], t[2]);
        ASSERT_GT(a, 0) << "triangle " << i;
        sum += a / 2;
        ASSERT_TRUE(inside(p, (t[0].x + t[1].x + t[2].x) / 3, (t[0].y + t[1].y + t[2].y) / 3)) << i;
        for (int e = 0; e < 3; ++e) {
            const int a0 = v[(e + 1) % 3], a1 = v[(e + 2) % 3]; // edge across from corner e
            edges.insert({std::min(a0, a1), std::max(a0, a1)});
            const int nbr = o.tris[i].neighbors[e];
            if (nbr < 0) {
                ASSERT_TRUE((a1 - a0 + n) % n == 1 || (a0 - a1 + n) % n == 1) << "open edge inside";
            } else {
                const int *w = o.tris[nbr].vertices;
                int found = -1;
                for (int f = 0; f < 3; ++f)
                    if (o.tris[nbr].neighbors[f] == i) found = f;
                ASSERT_GE(found, 0);
                std::set<int> s1{a0, a1}, s2{w[(found + 1) % 3], w[(found + 2) % 3]};
                ASSERT_EQ(s1, s2);
            }
        }
    }
    EXPECT_NEAR(sum, area(p), 1e-9 * std::fabs(area(p)));
    if (n <= 120) {
        for (int i = 0; i < o.n_tris; ++i) {
            const int *v = o.tris[i].vertices;
            const PNT2_s t[3] = {p[v[0]], p[v[1]], p[v[2]]};
            for (int j = i + 1; j < o.n_tris; ++j) {
                const int *w = o.tris[j].vertices;
                const PNT2_s u[3] = {p[w[0]], p[w[1]], p[w[2]]};
                ASSERT_FALSE(overlap(t, u)) << i << " " << j;
            }
            for (int e = 0; e < 3; ++e)
                for (int k = 0; k < n; ++k)
                    ASSERT_FALSE(proper_cross(t[e], t[(e + 1) % 3], p[k], p[(k + 1) % n]));
        }
    }
    if (!o.bnd) return;
    for (int k = 0; k < n; ++k) {
        const PTF_bnd_edge_neighbors_s b = o.bnd[k];
        ASSERT_GE(b.tri, 0);
        const int *v = o.tris[b.tri].vertices;
        const int from[4] = {0, v[1], v[2], v[0]}, to[4] = {0, v[2], v[0], v[1]};
        ASSERT_TRUE(b.edge >= 1 && b.edge <= 3);
        EXPECT_EQ(from[b.edge], k);
        EXPECT_EQ(to[b.edge], (k + 1) % n);
    }
    std::set<std::pair<int, int>> listed;
    for (int k = 0; k < n; ++k) {
        const PTF_pt_neighbors_s &q = o.nb[k];
        for (int j = 0; j < n; ++j) {
            if (j < q.num_neighbors) {
                listed.insert({std::min(k, q.neighbors[j]), std::max(k, q.neighbors[j])});
            } else {
                ASSERT_EQ(q.neighbors[j], -1);
            }
        }
    }
    EXPECT_EQ(listed, edges);
}

// The splitting rule by plain scans: the triangles in emission order.
bool plain_fill(const Poly &p, std::vector<std::array<int, 3>> &out) {
    const int n = static_cast<int>(p.size());
    auto accepted = [&](int lo, int hi, int i) { return orient(p[hi], p[lo], p[i]) > 1e-10; };
    auto crosses = [&](int k, int m) {
        for (int i = 0; i < n; ++i) {
            const int i1 = (i + 1) % n;
            if (i == k || i == m || i1 == k || i1 == m) continue;
            const double len = std::hypot(p[m].x - p[k].x, p[m].y - p[k].y);
            const double ux = (p[m].x - p[k].x) / len, uy = (p[m].y - p[k].y) / len;
            const double g1 = ux * (p[i].x - p[k].x) + uy * (p[i].y - p[k].y);
            const double g2 = ux * (p[i1].x - p[k].x) + uy * (p[i1].y - p[k].y);
            const double f1 = ux * (p[i].y - p[k].y) - uy * (p[i].x - p[k].x);
            const double f2 = ux * (p[i1].y - p[k].y) - uy * (p[i1].x - p[k].x);
            if (std::fabs(f1) <= 1e-10 && g1 > 1e-10 && g1 < len - 1e-10) return true;
            if ((g1 < 1e-10 && g2 < 1e-10) || (g1 > len - 1e-10 && g2 > len + 1e-10) || (f1 < 1e-10 && f2 < 1e-10) ||
                (f1 > -1e-10 && f2 > 1e-10))
                continue;
            const double g = g1 + (g2 - g1) * f1 / (f1 - f2);
            if (g >= 1e-10 && g <= len - 1e-10) return true;
        }
        return false;
    };
    auto in_cone = [&](int lo, int hi, int v, int t) {
        const PNT2_s &a = p[v == lo ? hi : v - 1], &b = p[v == hi ? lo : v + 1], &c = p[v], &q = p[t];
        if (orient(a, c, b) > 0) return orient(c, q, a) > 0 && orient(q, c, b) > 0;
        return !(orient(c, q, b) >= 0 && orient(q, c, a) >= 0);
    };
    auto diag = [&](int lo, int hi, int k, int m) { return in_cone(lo, hi, k, m) && in_cone(lo, hi, m, k) && !crosses(k, m); };
    auto ok = [&](int lo, int hi, int i) {
        return accepted(lo, hi, i) && (i == lo + 1 || diag(lo, hi, lo, i)) && (i == hi - 1 || diag(lo, hi, i, hi));
    };
    std::vector<std::array<int, 2>> stack{{0, n - 1}};
    while (!stack.empty()) {
        const auto [lo, hi] = stack.back();
        stack.pop_back();
        int cand = -1;
        for (int i = lo + 1; i < hi && cand < 0; ++i)
            if (hi - lo == 2 ? accepted(lo, hi, i) : ok(lo, hi, i)) cand = i;
        if (cand < 0) return false;
        for (int j = cand + 1; j < hi; ++j) {
            const PNT2_s &a = p[hi], &b = p[lo], &q = p[cand];
            const double ux = b.x - a.x, uy = b.y - a.y, vx = q.x - a.x, vy = q.y - a.y;
            const double w = ux * vy - uy * vx, uu = ux * ux + uy * uy, vv = vx * vx + vy * vy;
            const double ox = (vy * uu - uy * vv) / (2 * w), oy = (ux * vv - vx * uu) / (2 * w);
            const double dx = p[j].x - a.x - ox, dy = p[j].y - a.y - oy;
            if (dx * dx + dy * dy < ox * ox + oy * oy - 1e-10 && ok(lo, hi, j)) cand = j;
        }
        out.push_back({hi, lo, cand});
        if (hi - cand >= 2) stack.push_back({cand, hi});
        if (cand - lo >= 2) stack.push_back({lo, cand});
    }
    return true;
}

Poly star(std::mt19937 &rng, int n, double r_lo) {
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<double> ang(n);
    for (double &a : ang) a = u(rng) * 2 * M_PI;
    std::sort(ang.begin(), ang.end());
    Poly p;
    for (double a : ang) {
        const double r = r_lo + (1 - r_lo) * u(rng);
        p.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return p;
}

Poly spiral(int turns_pts, double turns) {
    Poly outer, inner;
    for (int i = 0; i < turns_pts; ++i) {
        const double t = turns * 2 * M_PI * i / (turns_pts - 1), r = 3 + 0.3 * t;
        outer.push_back({r * std::cos(t), r * std::sin(t)});
        inner.push_back({(r - 1) * std::cos(t), (r - 1) * std::sin(t)});
    }
    // Out along the outer arm (counter-clockwise), back along the inner one.
    Poly p(outer.begin(), outer.end());
    for (auto it = inner.rbegin(); it != inner.rend(); ++it) p.push_back(*it);
    std::reverse(p.begin(), p.end());
    if (area(p) < 0) std::reverse(p.begin(), p.end());
    return p;
}

Poly comb(int teeth, std::mt19937 &rng) {
    std::uniform_real_distribution<double> h(1, 5);
    Poly p{{0, 0}, {2.0 * teeth, 0}};
    for (int k = teeth - 1; k >= 0; --k) {
        const double top = h(rng);
        p.push_back({2.0 * k + 1.5, top});
        p.push_back({2.0 * k + 1.5, -0.0 + 0.5});
        p.push_back({2.0 * k + 0.5, 0.5});
        p.push_back({2.0 * k + 0.5, top});
    }
    p.erase(p.begin() + 2, p.begin() + 4); // the last tooth starts at the base corner
    p.insert(p.begin() + 2, PNT2_s{2.0 * teeth, h(rng)});
    return p;
}

// Points added on the edges of p: collinear runs.
Poly with_collinear_runs(const Poly &p, std::mt19937 &rng) {
    std::uniform_int_distribution<int> k(0, 3);
    Poly q;
    for (size_t i = 0; i < p.size(); ++i) {
        q.push_back(p[i]);
        const PNT2_s &a = p[i], &b = p[(i + 1) % p.size()];
        const int extra = k(rng);
        for (int j = 1; j <= extra; ++j)
            q.push_back({a.x + (b.x - a.x) * j / (extra + 1), a.y + (b.y - a.y) * j / (extra + 1)});
    }
    return q;
}

} // namespace

TEST(PolyTriFill, SmallCasesAndStatusCodes) {
    Poly tri{{0, 0}, {1, 0}, {0, 1}};
    {
        Output o(tri);
        ASSERT_EQ(o.status, 0);
        ASSERT_EQ(o.n_tris, 1);
        EXPECT_EQ(o.tris[0].vertices[0], 2);
        EXPECT_EQ(o.tris[0].vertices[1], 0);
        EXPECT_EQ(o.tris[0].vertices[2], 1);
        for (int e = 0; e < 3; ++e) EXPECT_EQ(o.tris[0].neighbors[e], -1);
    }
    Poly cw{{0, 0}, {0, 1}, {1, 0}};
    {
        Output o(cw);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.n_tris, 0);
        EXPECT_EQ(o.tris, nullptr);
        EXPECT_EQ(o.bnd, nullptr);
        EXPECT_EQ(o.nb, nullptr);
    }
    EXPECT_FALSE(PTF_validate_boundary(3, cw.data()));
    EXPECT_TRUE(PTF_validate_boundary(3, tri.data()));
    int nt = 7;
    PTF_tri_s *t = reinterpret_cast<PTF_tri_s *>(&nt);
    EXPECT_EQ(PTF_poly_tri_fill(2, tri.data(), &nt, &t, nullptr, nullptr), 2);
    EXPECT_EQ(nt, 0);
    EXPECT_EQ(t, nullptr);
    EXPECT_EQ(PTF_poly_tri_fill(3, nullptr, nullptr, nullptr, nullptr, nullptr), 2);
    // Only the triangles wanted; a null triangle pointer still fills.
    Poly quad{{0, 0}, {4, 0}, {4, 1}, {0, 1.2}};
    EXPECT_EQ(PTF_poly_tri_fill(4, quad.data(), &nt, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(nt, 2);
    // Non-finite coordinates and repeated points are refused.
    Poly bad{{0, 0}, {1, 0}, {NAN, 1}};
    EXPECT_FALSE(PTF_validate_boundary(3, bad.data()));
    Poly dup{{0, 0}, {1, 0}, {1, 0}, {0, 1}};
    EXPECT_FALSE(PTF_validate_boundary(4, dup.data()));
}

TEST(PolyTriFill, QuadrilateralTakesTheCircumcircleDiagonal) {
    // The triangle on the base edge (3, 0) with apex 1 has point 2 inside its
    // circumcircle, so the diagonal is 0-2.
    Poly quad{{0, 0}, {3, 0}, {2.8, 1}, {0, 1}};
    Output o(quad);
    ASSERT_EQ(o.status, 0);
    ASSERT_EQ(o.n_tris, 2);
    EXPECT_EQ(o.tris[0].vertices[2], 2);
    EXPECT_EQ(o.tris[0].neighbors[0], 1);
    EXPECT_EQ(o.tris[1].neighbors[2], 0);
    EXPECT_EQ(o.tris[0].neighbors[1] + o.tris[0].neighbors[2], -2);
    check_fill(quad, "quad");
}

TEST(PolyTriFill, ConcaveOutlinesThatTheFirstApexWouldBreak) {
    // The first accepted apex here gives a chord outside the polygon.
    Poly a{{7, 4}, {3.5, 5.5}, {7, 1}, {6.5, 2}, {9, 7.5}, {4, 5.5}};
    if (area(a) < 0) std::reverse(a.begin(), a.end());
    ASSERT_TRUE(simple(a));
    check_fill(a, "issue polygon");
    Poly notch{{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}};
    check_fill(notch, "notch");
    Poly l{{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 4}, {0, 4}};
    check_fill(l, "L");
}

TEST(PolyTriFill, RefusesSelfIntersectingAndClockwiseOutlines) {
    std::mt19937 rng(11);
    int refused = 0;
    for (int trial = 0; trial < 300; ++trial) {
        Poly p = star(rng, 6 + trial % 20, 0.3);
        std::uniform_int_distribution<size_t> k(0, p.size() - 1);
        std::swap(p[k(rng)], p[k(rng)]);
        const bool ok = simple(p) && area(p) > 0;
        if (!ok) ++refused;
        Output o(p);
        if (!ok) {
            EXPECT_EQ(o.status, 1) << trial;
            EXPECT_EQ(o.tris, nullptr);
            EXPECT_EQ(o.n_tris, 0);
        } else {
            EXPECT_EQ(o.status, 0) << trial;
        }
        std::reverse(p.begin(), p.end());
        if (area(p) < 0) {
            EXPECT_FALSE(PTF_validate_boundary(static_cast<int>(p.size()), p.data()));
        }
    }
    EXPECT_GT(refused, 100);
    // A bow tie with zero area, a figure eight with positive area, a vertex
    // touching a non-adjacent edge, and an edge folding back.
    Poly bow{{0, 0}, {1, 1}, {1, 0}, {0, 1}};
    EXPECT_FALSE(PTF_validate_boundary(4, bow.data()));
    Poly eight{{0, 0}, {2, 0}, {2, 1}, {3, 2}, {3, 3}, {1, 3}, {1, 2}, {2.5, 0.5}, {0, 1}};
    EXPECT_FALSE(PTF_validate_boundary(9, eight.data()));
    Poly touch{{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}};
    EXPECT_FALSE(PTF_validate_boundary(5, touch.data()));
    Poly fold{{0, 0}, {4, 0}, {2, 0}, {2, 2}};
    EXPECT_FALSE(PTF_validate_boundary(4, fold.data()));
}

TEST(PolyTriFill, RandomSimplePolygonsFillCorrectlyAndMatchPlainScans) {
    std::mt19937 rng(2026);
    int skipped = 0;
    for (int trial = 0; trial < 400; ++trial) {
        Poly p;
        const int kind = trial % 5, n = 3 + static_cast<int>(rng() % 60);
        if (kind == 0) p = star(rng, n, 1.0); // convex, on a circle
        if (kind == 1) p = star(rng, n, 0.05);
        if (kind == 2) p = spiral(12 + n / 2, 1.0 + (trial % 7) * 0.3);
        if (kind == 3) p = comb(1 + n / 6, rng);
        if (kind == 4) p = with_collinear_runs(star(rng, n, 0.4), rng);
        if (!simple(p) || area(p) <= 0) {
            ++skipped;
            continue;
        }
        const std::string what = "kind " + std::to_string(kind) + " trial " + std::to_string(trial);
        check_fill(p, what.c_str());
        std::vector<std::array<int, 3>> ref;
        ASSERT_TRUE(plain_fill(p, ref)) << what;
        Output o(p, false);
        ASSERT_EQ(o.n_tris, static_cast<int>(ref.size()));
        for (int i = 0; i < o.n_tris; ++i)
            for (int k = 0; k < 3; ++k) ASSERT_EQ(o.tris[i].vertices[k], ref[i][k]) << what;
    }
    EXPECT_LT(skipped, 10);
}

TEST(PolyTriFill, LargeOutlinesFillWithoutDeepRecursion) {
    std::mt19937 rng(5);
    for (int n : {2000, 100000}) {
        Poly p = n == 2000 ? spiral(n / 2, 6.0) : star(rng, n, 0.98);
        for (PNT2_s &q : p) {
            q.x *= 1000;
            q.y *= 1000;
        }
        int nt = 0;
        PTF_tri_s *t = nullptr;
        PTF_bnd_edge_neighbors_s *b = nullptr;
        ASSERT_EQ(PTF_poly_tri_fill(static_cast<int>(p.size()), p.data(), &nt, &t, &b, nullptr), 0);
        EXPECT_EQ(nt, static_cast<int>(p.size()) - 2);
        double sum = 0;
        for (int i = 0; i < nt; ++i) sum += orient(p[t[i].vertices[0]], p[t[i].vertices[1]], p[t[i].vertices[2]]) / 2;
        EXPECT_NEAR(sum, area(p), 1e-9 * area(p));
        PTF_free_output(static_cast<int>(p.size()), t, nullptr, b);
    }
}
