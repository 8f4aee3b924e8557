// Hidden-line renderer against a brute-force reference written here: the
// drawn edges are those of one front-facing facet, or of two whose normals
// differ; a point of a drawn edge is visible when the ray from it towards the
// eye meets no front-facing facet.  The renderer's pieces, matched to their
// edges, must agree with the reference at every sample point away from a
// visibility change.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using V3 = std::array<double, 3>;

V3 sub(const V3 &a, const V3 &b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
V3 add(const V3 &a, const V3 &b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
V3 mul(const V3 &a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
double dot(const V3 &a, const V3 &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
V3 cross(const V3 &a, const V3 &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double norm(const V3 &a) { return std::sqrt(dot(a, a)); }
V3 unit(const V3 &a) { return mul(a, 1 / norm(a)); }

struct Mesh {
    std::vector<V3> pts;
    std::vector<std::vector<int>> faces;
    std::vector<V3> smooth; // a normal per point, or empty: each face's own normal
    void *user = nullptr;
    V3 face_normal(size_t f) const {
        V3 n{0, 0, 0};
        const auto &v = faces[f];
        for (size_t i = 0; i < v.size(); ++i) n = add(n, cross(pts[v[i]], pts[v[(i + 1) % v.size()]]));
        return unit(n);
    }
};

struct View {
    V3 origin{0, 0, 0};
    double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double eye = 0; // 0: orthographic
    double window[4] = {0, 0, 0, 0};
    V3 axis(int r) const { return {m[3 * r], m[3 * r + 1], m[3 * r + 2]}; }
    V3 eye_point() const { return add(origin, mul(axis(2), eye)); }
};

struct Segment {
    V3 a, b;
    void *user;
};
std::vector<Segment> segments;
struct Diag {
    int sev, code;
    std::string text;
};
std::vector<Diag> diags;

void line_cb(const double s[3], const double e[3], int kind, void *user) {
    EXPECT_EQ(kind, 0);
    segments.push_back({{s[0], s[1], s[2]}, {e[0], e[1], e[2]}, user});
}
void diag_cb(HLR_FACET_severity_codes_t sev, HLR_FACET_diagnostic_codes_t code, const char *text) {
    diags.push_back({sev, code, text});
}

bool has_diag(int sev, int code, const std::string &text) {
    for (const Diag &d : diags)
        if (d.sev == sev && d.code == code && d.text == text) return true;
    return false;
}

void start(const View &v) {
    segments.clear();
    diags.clear();
    HLR_FACET_init();
    HLR_FACET_set_line_callback(line_cb);
    HLR_FACET_set_diag_callback(diag_cb);
    HLR_FACET_view(v.origin.data(), v.m, 1.0, v.eye, v.eye > 0);
    HLR_FACET_clipping(v.window);
}

void feed(const Mesh &m) {
    const bool smooth = !m.smooth.empty();
    const int nn = static_cast<int>(smooth ? m.pts.size() : m.faces.size());
    HLR_FACET_group(static_cast<int>(m.pts.size()), nn, 0, nullptr, m.user);
    for (size_t i = 0; i < m.pts.size(); ++i) HLR_FACET_add_vloc(static_cast<int>(i), m.pts[i].data());
    for (int i = 0; i < nn; ++i) {
        const V3 n = smooth ? m.smooth[static_cast<size_t>(i)] : m.face_normal(static_cast<size_t>(i));
        HLR_FACET_add_vnrm(i, n.data());
    }
    for (size_t f = 0; f < m.faces.size(); ++f) {
        std::vector<int> loc(m.faces[f].begin(), m.faces[f].end()), nrm(loc.size());
        for (size_t k = 0; k < loc.size(); ++k) nrm[k] = smooth ? loc[k] : static_cast<int>(f);
        const V3 n = m.face_normal(f);
        HLR_FACET_add_facet(n.data(), static_cast<int>(loc.size()), loc.data(), nrm.data(), nullptr);
    }
}

// The reference visibility of model point p among the meshes.
struct Reference {
    const View &v;
    std::vector<std::array<V3, 3>> occluders;
    double size = 1;

    Reference(const View &view, const std::vector<const Mesh *> &meshes) : v(view) {
        for (const Mesh *m : meshes)
            for (size_t f = 0; f < m->faces.size(); ++f)
                if (front(*m, f))
                    for (size_t k = 1; k + 1 < m->faces[f].size(); ++k)
                        occluders.push_back({m->pts[m->faces[f][0]], m->pts[m->faces[f][k]], m->pts[m->faces[f][k + 1]]});
        double lo = 1e300, hi = -1e300;
        for (const auto &t : occluders)
            for (const V3 &p : t)
                for (double c : p) lo = std::min(lo, c), hi = std::max(hi, c);
        size = hi - lo;
    }

    // Facing value: negative when the facet faces the viewer.
    double facing(const Mesh &m, size_t f) const {
        const V3 n = m.face_normal(f);
        if (v.eye > 0) return dot(n, unit(sub(m.pts[m.faces[f][0]], v.eye_point())));
        return -dot(n, v.axis(2));
    }
    bool front(const Mesh &m, size_t f) const { return facing(m, f) < 0; }

    bool in_window(const V3 &p) const {
        if (v.window[0] == 0 && v.window[1] == 0 && v.window[2] == 0 && v.window[3] == 0) return true;
        const V3 d = sub(p, v.origin);
        double x = dot(d, v.axis(0)), y = dot(d, v.axis(1));
        if (v.eye > 0) {
            const double depth = v.eye - dot(d, v.axis(2));
            x *= v.eye / depth;
            y *= v.eye / depth;
        }
        return std::min(v.window[0], v.window[2]) <= x && x <= std::max(v.window[0], v.window[2]) &&
               std::min(v.window[1], v.window[3]) <= y && y <= std::max(v.window[1], v.window[3]);
    }

    bool visible(const V3 &p) const {
        if (!in_window(p)) return false;
        const V3 o = v.eye > 0 ? v.eye_point() : p;
        const V3 dir = v.eye > 0 ? sub(p, o) : v.axis(2);
        for (const auto &t : occluders) {
            // Ray o + s dir against the triangle (Moller-Trumbore).
            const V3 e1 = sub(t[1], t[0]), e2 = sub(t[2], t[0]), h = cross(dir, e2);
            const double a = dot(e1, h);
            if (std::fabs(a) < 1e-14) continue;
            const V3 s0 = sub(o, t[0]);
            const double u = dot(s0, h) / a;
            const V3 q = cross(s0, e1);
            const double w = dot(dir, q) / a, s = dot(e2, q) / a;
            if (u < 0 || w < 0 || u + w > 1) continue;
            if (v.eye > 0 ? (s > 0 && s < 1 - 1e-6) : s > 1e-6 * size) return false;
        }
        return true;
    }
};

struct RefEdge {
    V3 a, b;
    void *user;
    bool sure; // false when single-precision storage could decide otherwise
};

// Edges the reference draws: one front-facing facet, or two whose normals
// differ by more than 1.5 degrees at both ends.
std::vector<RefEdge> drawn_edges(const Reference &ref, const std::vector<const Mesh *> &meshes) {
    std::vector<RefEdge> out;
    for (const Mesh *m : meshes) {
        std::map<std::pair<int, int>, std::vector<std::array<V3, 2>>> offers;
        std::map<std::pair<int, int>, bool> unsure;
        for (size_t f = 0; f < m->faces.size(); ++f) {
            const auto &v = m->faces[f];
            const bool borderline = std::fabs(ref.facing(*m, f)) < 1e-5;
            for (size_t i = 0; i < v.size(); ++i) {
                int a = v[i], b = v[(i + 1) % v.size()];
                if (a > b) std::swap(a, b);
                unsure[{a, b}] = unsure[{a, b}] || borderline;
                if (!ref.front(*m, f)) continue;
                const V3 na = m->smooth.empty() ? m->face_normal(f) : m->smooth[a];
                const V3 nb = m->smooth.empty() ? m->face_normal(f) : m->smooth[b];
                offers[{a, b}].push_back({na, nb});
            }
        }
        // Edges of more than two facets (non-manifold meshes): each later
        // facet removes a drawn edge whose normals it shares, or draws it anew.
        const double c15 = std::cos(1.5 * M_PI / 180);
        for (const auto &[pair, n] : offers) {
            int drawn = -1;
            bool sure = !unsure[pair];
            for (size_t k = 0; k < n.size(); ++k) {
                if (drawn < 0) {
                    drawn = static_cast<int>(k);
                    continue;
                }
                const double d0 = dot(unit(n[drawn][0]), unit(n[k][0])), d1 = dot(unit(n[drawn][1]), unit(n[k][1]));
                sure = sure && std::fabs(d0 - c15) > 1e-6 && std::fabs(d1 - c15) > 1e-6;
                if (d0 > c15 || d1 > c15) drawn = -1;
            }
            if (drawn >= 0 || !sure) out.push_back({m->pts[pair.first], m->pts[pair.second], m->user, sure});
        }
    }
    return out;
}

// Compares the renderer's output with the reference; returns the number of
// reference samples checked.
int compare(const View &view, const std::vector<const Mesh *> &meshes, size_t edge_stride = 1) {
    start(view);
    for (const Mesh *m : meshes) feed(*m);
    HLR_FACET_render();
    const Reference ref(view, meshes);
    const std::vector<RefEdge> edges = drawn_edges(ref, meshes);
    const double tol = 1e-5 * ref.size;
    std::vector<std::vector<std::array<double, 2>>> pieces(edges.size());
    // A piece belongs to every drawn edge it lies on (meshes may repeat an
    // edge with nearly coincident vertices).
    for (const Segment &s : segments) {
        bool found = false;
        for (size_t e = 0; e < edges.size(); ++e) {
            const V3 d = sub(edges[e].b, edges[e].a);
            const double len2 = dot(d, d), slack = tol / std::sqrt(len2);
            const double a = dot(sub(s.a, edges[e].a), d) / len2, b = dot(sub(s.b, edges[e].a), d) / len2;
            if (norm(sub(s.a, add(edges[e].a, mul(d, a)))) < tol && norm(sub(s.b, add(edges[e].a, mul(d, b)))) < tol &&
                std::min(a, b) > -slack && std::max(a, b) < 1 + slack) {
                found = true;
                EXPECT_EQ(s.user, edges[e].user);
                pieces[e].push_back({std::min(a, b), std::max(a, b)});
            }
        }
        if (!found) ADD_FAILURE() << "a piece on no drawn edge: " << s.a[0] << " " << s.a[1] << " " << s.a[2];
    }
    int checked = 0, wrong = 0;
    const int samples = 24;
    for (size_t e = 0; e < edges.size(); e += edge_stride) {
        if (!edges[e].sure) continue;
        const V3 d = sub(edges[e].b, edges[e].a);
        auto ref_vis = [&](double t) { return ref.visible(add(edges[e].a, mul(d, t))); };
        const double step = 2e-3 * ref.size / norm(d) + 1e-4;
        for (int k = 0; k <= samples; ++k) {
            const double t = (k + 0.5) / (samples + 1);
            const bool r = ref_vis(t);
            if (ref_vis(t - step) != r || ref_vis(t + step) != r) continue; // near a change
            bool got = false;
            for (const auto &p : pieces[e]) got = got || (p[0] <= t && t <= p[1]);
            ++checked;
            if (got != r && ++wrong <= 5)
                ADD_FAILURE() << "edge " << e << " at t=" << t << ": reference " << r << ", renderer " << got;
        }
    }
    EXPECT_EQ(wrong, 0) << "edges " << edges.size() << ", pieces " << segments.size();
    return checked;
}

Mesh box(V3 lo, V3 hi) {
    Mesh m;
    for (int k = 0; k < 8; ++k) m.pts.push_back({k & 1 ? hi[0] : lo[0], k & 2 ? hi[1] : lo[1], k & 4 ? hi[2] : lo[2]});
    m.faces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    return m;
}

// A smooth surface of revolution: (u, v) -> point and normal, triangulated.
// A torus with smooth normals, triangulated.
Mesh torus(int nu, int nv) {
    Mesh m;
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const double u = 2 * M_PI * i / nu, v = 2 * M_PI * j / nv;
            m.smooth.push_back({std::cos(v) * std::cos(u), std::cos(v) * std::sin(u), std::sin(v)});
            m.pts.push_back({(2 + 0.6 * std::cos(v)) * std::cos(u), (2 + 0.6 * std::cos(v)) * std::sin(u), 0.6 * std::sin(v)});
        }
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const int a = j * nu + i, b = j * nu + (i + 1) % nu, c = ((j + 1) % nv) * nu + (i + 1) % nu,
                      d = ((j + 1) % nv) * nu + i;
            m.faces.push_back({a, b, c});
            m.faces.push_back({a, c, d});
        }
    return m;
}

Mesh sphere(int nu, int nv) {
    Mesh m;
    m.pts = {{0, 0, -1}, {0, 0, 1}};
    m.smooth = m.pts;
    for (int j = 1; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const double u = 2 * M_PI * i / nu, v = M_PI * j / nv;
            m.pts.push_back({std::sin(v) * std::cos(u), std::sin(v) * std::sin(u), -std::cos(v)});
            m.smooth.push_back(m.pts.back());
        }
    auto at = [&](int j, int i) { return 2 + (j - 1) * nu + (i % nu); };
    for (int i = 0; i < nu; ++i) {
        m.faces.push_back({0, at(1, i + 1), at(1, i)});
        m.faces.push_back({1, at(nv - 1, i), at(nv - 1, i + 1)});
        for (int j = 1; j + 1 < nv; ++j) {
            m.faces.push_back({at(j, i), at(j, i + 1), at(j + 1, i + 1)});
            m.faces.push_back({at(j, i), at(j + 1, i + 1), at(j + 1, i)});
        }
    }
    return m;
}

View random_view(std::mt19937 &rng, double eye, double span) {
    std::normal_distribution<double> g;
    View v;
    const V3 z = unit({g(rng), g(rng), g(rng)});
    const V3 x = unit(cross(z, {g(rng), g(rng), g(rng)}));
    const V3 y = cross(z, x);
    for (int k = 0; k < 3; ++k) {
        v.m[k] = x[k];
        v.m[3 + k] = y[k];
        v.m[6 + k] = z[k];
    }
    v.origin = {0.1 * g(rng), 0.1 * g(rng), 0.1 * g(rng)};
    v.eye = eye;
    if (span > 0) {
        std::uniform_real_distribution<double> u(-span, span);
        v.window[0] = u(rng);
        v.window[1] = u(rng);
        v.window[2] = u(rng);
        v.window[3] = u(rng);
    }
    return v;
}

// An OFF file (vertices and polygons) as a mesh with face normals.
bool read_off(const std::string &path, Mesh &m) {
    std::ifstream in(path);
    std::string head;
    if (!(in >> head) || head != "OFF") return false;
    size_t nv = 0, nf = 0, ne = 0;
    if (!(in >> nv >> nf >> ne)) return false;
    m.pts.resize(nv);
    for (V3 &p : m.pts)
        if (!(in >> p[0] >> p[1] >> p[2])) return false;
    for (size_t f = 0; f < nf; ++f) {
        size_t k = 0;
        in >> k;
        std::vector<int> face(k);
        for (int &i : face) in >> i;
        std::string rest;
        std::getline(in, rest);
        if (!in) return false;
        m.faces.push_back(face);
    }
    // Coincident vertices become one, so that neighbouring faces share edges.
    std::map<V3, int> first;
    std::vector<int> to(m.pts.size());
    for (size_t i = 0; i < m.pts.size(); ++i) to[i] = first.emplace(m.pts[i], static_cast<int>(i)).first->second;
    for (auto &f : m.faces)
        for (int &i : f) i = to[static_cast<size_t>(i)];
    return true;
}

} // namespace

TEST(HlrFacet, ModelsMatchTheBruteForceReference) {
    std::mt19937 rng(99);
    Mesh cube = box({-1, -1, -1}, {1, 1, 1});
    Mesh ball = sphere(24, 12), ring = torus(32, 12);
    Mesh low = box({-1, -1, -1}, {1, 1, 0}), high = box({-0.5, -0.5, 0}, {0.5, 0.5, 0.8});
    Mesh stacked = low;
    for (const V3 &p : high.pts) stacked.pts.push_back(p);
    for (auto f : high.faces) {
        for (int &i : f) i += 8;
        stacked.faces.push_back(f);
    }
    Mesh back = box({-1, -1, -3}, {1, 1, -1.5}), front_box = box({-0.4, -0.6, 0}, {0.7, 0.4, 1});
    int a = 1, b = 2;
    back.user = &a;
    front_box.user = &b;
    int checked = 0;
    for (int trial = 0; trial < 8; ++trial) {
        const bool persp = trial % 2 == 1;
        const View v = random_view(rng, persp ? 12.0 : 0.0, trial % 3 == 2 ? 1.5 : 0.0);
        SCOPED_TRACE("trial " + std::to_string(trial));
        for (int k = 0; k < 5; ++k) {
            SCOPED_TRACE("model " + std::to_string(k));
            const std::vector<const Mesh *> models[5] = {{&cube}, {&ball}, {&ring}, {&stacked}, {&back, &front_box}};
            checked += compare(v, models[k]);
        }
    }
    EXPECT_GT(checked, 3000);
}

TEST(HlrFacet, RealMeshFromTestModels) {
    const char *path = "/usr/share/assimp/models/OFF/Wuson.off";
    Mesh m;
    if (!read_off(path, m)) GTEST_SKIP() << "test models not installed";
    std::mt19937 rng(3);
    for (int trial = 0; trial < 2; ++trial) EXPECT_GT(compare(random_view(rng, trial ? 40.0 : 0.0, 0), {&m}, 60), 200);
}

TEST(HlrFacet, CreasesSilhouettesAndEdgeMarks) {
    // Two quads folded along x = 0 by the given angle, seen from above.
    auto fold = [](double degrees, bool flag_second, int mark) {
        const double t = std::tan(degrees * M_PI / 180);
        const double p[6][3] = {{-1, 0, t}, {0, 0, 0}, {0, 1, 0}, {-1, 1, t}, {1, 0, 0}, {1, 1, 0}};
        const double n1[3] = {t, 0, 1}, n2[3] = {0, 0, 1};
        start(View());
        HLR_FACET_group(6, 2, 0, nullptr, nullptr);
        for (int i = 0; i < 6; ++i) HLR_FACET_add_vloc(i, p[i]);
        HLR_FACET_add_vnrm(0, n1);
        HLR_FACET_add_vnrm(1, n2);
        int f1[4] = {0, 1, 2, 3}, f2[4] = {1, 4, 5, 2};
        if (mark) f2[mark] = -f2[mark];
        const int r1[4] = {0, 0, 0, 0}, r2[4] = {1, 1, 1, 1};
        const bool flags[4] = {flag_second, flag_second, flag_second, flag_second};
        HLR_FACET_add_facet(n1, 4, f1, r1, nullptr);
        HLR_FACET_add_facet(n2, 4, f2, r2, flags);
        EXPECT_TRUE(f2[mark] >= 0);
        HLR_FACET_render();
        HLR_FACET_term();
        return static_cast<int>(segments.size());
    };
    EXPECT_EQ(fold(10, false, 0), 7); // the crease is drawn once
    EXPECT_EQ(fold(1, false, 0), 6);  // within 1.5 degrees: smooth
    EXPECT_EQ(fold(0, true, 0), 7);   // a flagged edge stays
    EXPECT_EQ(fold(10, false, 2), 6); // the edge ending at a negative index is not offered
    // A facet facing away draws nothing.
    start(View());
    const double p[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, down[3] = {0, 0, -1};
    HLR_FACET_group(3, 1, 0, nullptr, nullptr);
    for (int i = 0; i < 3; ++i) HLR_FACET_add_vloc(i, p[i]);
    HLR_FACET_add_vnrm(0, down);
    int f[3] = {0, 1, 2};
    const int r[3] = {0, 0, 0};
    HLR_FACET_add_facet(down, 3, f, r, nullptr);
    HLR_FACET_render();
    EXPECT_TRUE(segments.empty());
    HLR_FACET_term();
}

TEST(HlrFacet, DiagnosticsAndStatistics) {
    start(View());
    HLR_FACET_set_debug_level(2);
    // Facets before any group, out-of-range and undefined references.
    int f[3] = {0, 1, 2};
    const int r[3] = {0, 0, 0};
    const double up[3] = {0, 0, 1}, p[3] = {0, 0, 0};
    HLR_FACET_add_facet(up, 3, f, r, nullptr);
    EXPECT_TRUE(has_diag(2, 4, "0"));
    HLR_FACET_add_vloc(0, p);
    EXPECT_TRUE(has_diag(1, 1, "0"));
    HLR_FACET_group(3, 1, 0, nullptr, nullptr);
    HLR_FACET_add_vloc(3, p);
    EXPECT_TRUE(has_diag(1, 1, "3"));
    HLR_FACET_add_vnrm(-1, up);
    EXPECT_TRUE(has_diag(1, 2, "-1"));
    const double q[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    HLR_FACET_add_vloc(0, q[0]);
    HLR_FACET_add_vloc(1, q[1]);
    HLR_FACET_add_facet(up, 3, f, r, nullptr);
    EXPECT_TRUE(has_diag(2, 4, "2"));
    HLR_FACET_add_vloc(2, q[2]);
    HLR_FACET_add_facet(up, 3, f, r, nullptr);
    EXPECT_TRUE(has_diag(2, 5, "0"));
    int big[3] = {0, 1, 7};
    HLR_FACET_add_vnrm(0, up);
    HLR_FACET_add_facet(up, 3, big, r, nullptr);
    EXPECT_TRUE(has_diag(2, 4, "7"));
    const int badn[3] = {0, 0, 4};
    HLR_FACET_add_facet(up, 3, f, badn, nullptr);
    EXPECT_TRUE(has_diag(2, 5, "4"));
    diags.clear();
    HLR_FACET_add_facet(up, 3, f, r, nullptr);
    EXPECT_TRUE(diags.empty());
    HLR_FACET_render();
    EXPECT_EQ(segments.size(), 3u);
    EXPECT_TRUE(has_diag(0, 0, "render test counts:  3 3 0 3 0 0")) << diags.back().text;
    bool culled = false, grid = false, stats = false;
    for (const Diag &d : diags) {
        culled = culled || d.text.find("Facets culled") == 0;
        grid = grid || d.text.find("delta=") == 0;
        stats = stats || d.text.find("facets; ") != std::string::npos;
    }
    EXPECT_FALSE(culled); // clipping is off
    EXPECT_TRUE(grid);
    EXPECT_FALSE(stats); // level 2 was refused
    HLR_FACET_term();

    // With clipping and debug level 1: one facet culled, statistics reported.
    View v;
    v.window[0] = 2;
    v.window[1] = 2;
    v.window[2] = 3;
    v.window[3] = 3;
    start(v);
    HLR_FACET_set_debug_level(1);
    HLR_FACET_group(3, 1, 0, nullptr, nullptr);
    for (int i = 0; i < 3; ++i) HLR_FACET_add_vloc(i, q[i]);
    HLR_FACET_add_vnrm(0, up);
    HLR_FACET_add_facet(up, 3, f, r, nullptr);
    HLR_FACET_render();
    EXPECT_TRUE(has_diag(0, 0, "Facets culled (outside current partition):  1"));
    EXPECT_TRUE(has_diag(0, 0, "0 facets; 1 cover squares; 0.000000 facets/square"));
    EXPECT_TRUE(segments.empty());
    HLR_FACET_term();
}

TEST(HlrFacet, OversizedGroupsAndShortFacetsAreRefusedSafely) {
    start(View());
    // Location numbers beyond the int range are refused before any storage
    // is asked for.
    HLR_FACET_group(10, 0, 0, nullptr, nullptr);
    HLR_FACET_group(2147483647 - 5, 0, 0, nullptr, nullptr);
    const double p[3] = {0, 0, 0}, up[3] = {0, 0, 1};
    HLR_FACET_add_vloc(5, p);
    int f[2] = {0, 1};
    HLR_FACET_add_facet(up, 2, f, nullptr, nullptr);
    HLR_FACET_render();
    EXPECT_TRUE(has_diag(2, 3, ""));
    EXPECT_TRUE(has_diag(1, 1, "5"));
    EXPECT_TRUE(segments.empty());
    HLR_FACET_term();
}
