// Polygon fill from 1 000 to 100 000 points (triangles and boundary edges, as
// a host filling regions asks for them), on outlines about 1000 units across:
// wavy star-shaped outlines with a little noise, convex outlines with their
// points on a circle, spirals, and star-shaped outlines whose every point
// jumps radially at random between half and full radius (a worst case: most
// chords are blocked).
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<PNT2_s> star(int n, double r_lo, unsigned seed, double waves = 0) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    // Angles jittered about even steps: no two points nearly coincide.
    std::vector<double> ang(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) ang[static_cast<size_t>(i)] = 2 * M_PI * (i + 0.1 + 0.8 * u(rng)) / n;
    std::vector<PNT2_s> p;
    for (double a : ang) {
        const double r = 1000 * (r_lo + (1 - r_lo) * u(rng) + waves * std::sin(7 * a));
        p.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return p;
}

std::vector<PNT2_s> spiral(int n) {
    std::vector<PNT2_s> outer, inner;
    const int half = n / 2;
    const double turns = 20;
    for (int i = 0; i < half; ++i) {
        const double t = turns * 2 * M_PI * i / (half - 1), r = 30 + 3 * t;
        outer.push_back({r * std::cos(t), r * std::sin(t)});
        inner.push_back({(r - 10) * std::cos(t), (r - 10) * std::sin(t)});
    }
    std::vector<PNT2_s> p(inner.begin(), inner.end());
    for (auto it = outer.rbegin(); it != outer.rend(); ++it) p.push_back(*it);
    double a = 0;
    for (size_t i = 0; i < p.size(); ++i) a += p[i].x * p[(i + 1) % p.size()].y - p[i].y * p[(i + 1) % p.size()].x;
    if (a < 0) std::reverse(p.begin(), p.end());
    return p;
}

void run(benchmark::State &state, std::vector<PNT2_s> p) {
    for (auto _ : state) {
        int nt = 0;
        PTF_tri_s *t = nullptr;
        PTF_bnd_edge_neighbors_s *b = nullptr;
        if (PTF_poly_tri_fill(static_cast<int>(p.size()), p.data(), &nt, &t, &b, nullptr) != 0)
            state.SkipWithError("fill failed");
        PTF_free_output(static_cast<int>(p.size()), t, nullptr, b);
    }
    state.SetComplexityN(static_cast<int64_t>(p.size()));
}

} // namespace

static void BM_PTF_wavy(benchmark::State &state) { run(state, star(static_cast<int>(state.range(0)), 0.99, 7, 0.3)); }
BENCHMARK(BM_PTF_wavy)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

static void BM_PTF_jagged(benchmark::State &state) { run(state, star(static_cast<int>(state.range(0)), 0.5, 7)); }
BENCHMARK(BM_PTF_jagged)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

static void BM_PTF_circle(benchmark::State &state) { run(state, star(static_cast<int>(state.range(0)), 1.0, 7)); }
BENCHMARK(BM_PTF_circle)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

static void BM_PTF_spiral(benchmark::State &state) { run(state, spiral(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_PTF_spiral)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
