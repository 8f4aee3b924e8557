// Hidden-line rendering of tessellated spheres and tori (smooth normals) with
// 100 000 and 1 000 000 triangles, orthographic and in perspective, and of a
// faceted torus (facet normals only: every edge is a crease and is tested
// for visibility), the hardest case: the whole
// cycle from HLR_FACET_init through feeding the model and rendering to
// HLR_FACET_term.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

struct Mesh {
    std::vector<double> pts, nrm; // three per point
    std::vector<int> tris;        // three per triangle
};

// A torus (ring = true) or a sphere-like closed surface of about n triangles.
Mesh surface(int n, bool ring) {
    Mesh m;
    const int nu = static_cast<int>(std::sqrt(n / 2.0) * (ring ? 1.6 : 1.4)), nv = n / 2 / nu;
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const double u = 2 * M_PI * i / nu, v = 2 * M_PI * (j + 0.5) / nv;
            double p[3], q[3];
            if (ring) {
                q[0] = std::cos(v) * std::cos(u), q[1] = std::cos(v) * std::sin(u), q[2] = std::sin(v);
                p[0] = (2 + 0.6 * std::cos(v)) * std::cos(u), p[1] = (2 + 0.6 * std::cos(v)) * std::sin(u);
                p[2] = 0.6 * std::sin(v);
            } else { // a sphere pinched at its poles into a spindle: closed, smooth away from the axis
                const double w = v / 2;
                q[0] = std::sin(w) * std::cos(u), q[1] = std::sin(w) * std::sin(u), q[2] = -std::cos(w);
                p[0] = q[0], p[1] = q[1], p[2] = q[2];
            }
            for (int k = 0; k < 3; ++k) {
                m.pts.push_back(p[k]);
                m.nrm.push_back(q[k]);
            }
        }
    const int rows = ring ? nv : nv - 1;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < nu; ++i) {
            const int a = j * nu + i, b = j * nu + (i + 1) % nu, c = ((j + 1) % nv) * nu + (i + 1) % nu,
                      d = ((j + 1) % nv) * nu + i;
            m.tris.insert(m.tris.end(), {a, b, c, a, c, d});
        }
    return m;
}

int pieces = 0;
void count_line(const double *, const double *, int, void *) { ++pieces; }

void render(benchmark::State &state, const Mesh &m, bool perspective, bool faceted = false) {
    const double origin[3] = {0, 0, 0};
    const double c = std::cos(0.6), s = std::sin(0.6);
    const double orient[9] = {1, 0, 0, 0, c, -s, 0, s, c};
    const int np = static_cast<int>(m.pts.size() / 3), nt = static_cast<int>(m.tris.size() / 3);
    for (auto _ : state) {
        pieces = 0;
        HLR_FACET_init();
        HLR_FACET_set_line_callback(count_line);
        HLR_FACET_view(origin, orient, 1.0, 12.0, perspective ? 1 : 0);
        HLR_FACET_group(np, np, 0, nullptr, nullptr);
        for (int i = 0; i < np; ++i) {
            HLR_FACET_add_vloc(i, &m.pts[3 * static_cast<size_t>(i)]);
            HLR_FACET_add_vnrm(i, &m.nrm[3 * static_cast<size_t>(i)]);
        }
        for (int t = 0; t < nt; ++t) {
            int v[3] = {m.tris[3 * t], m.tris[3 * t + 1], m.tris[3 * t + 2]};
            const double *a = &m.pts[3 * v[0]], *b = &m.pts[3 * v[1]], *cc = &m.pts[3 * v[2]];
            const double e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, e2[3] = {cc[0] - a[0], cc[1] - a[1], cc[2] - a[2]};
            const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
            HLR_FACET_add_facet(n, 3, v, faceted ? nullptr : v, nullptr);
        }
        HLR_FACET_render();
        HLR_FACET_term();
    }
    state.counters["triangles"] = nt;
    state.counters["pieces"] = pieces;
}

} // namespace

static void BM_HLR_torus(benchmark::State &state) {
    static const Mesh m100k = surface(100000, true), m1m = surface(1000000, true);
    render(state, state.range(0) == 1000000 ? m1m : m100k, state.range(1) != 0);
}
BENCHMARK(BM_HLR_torus)->ArgsProduct({{100000, 1000000}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(1);

static void BM_HLR_sphere(benchmark::State &state) {
    static const Mesh m100k = surface(100000, false), m1m = surface(1000000, false);
    render(state, state.range(0) == 1000000 ? m1m : m100k, state.range(1) != 0);
}
BENCHMARK(BM_HLR_sphere)->ArgsProduct({{100000, 1000000}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(1);

static void BM_HLR_faceted_torus(benchmark::State &state) {
    static const Mesh m100k = surface(100000, true), m1m = surface(1000000, true);
    render(state, state.range(0) == 1000000 ? m1m : m100k, state.range(1) != 0, true);
}
BENCHMARK(BM_HLR_faceted_torus)->ArgsProduct({{100000, 1000000}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(1);
