// Ear clipping of wavy star-shaped polygons (about half the corners reflex)
// of 100, 1 000 and 10 000 corners; the fitted growth rate is reported.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

std::vector<quorm_point3> wavy_star(int n) {
    std::vector<quorm_point3> pts(n);
    for (int i = 0; i < n; ++i) {
        double a = 6.283185307179586 * i / n;
        double r = 10.0 + ((i % 2) ? 1.0 : -1.0) * 0.5 + std::sin(7.0 * a);
        pts[i] = quorm_point3{r * std::cos(a), r * std::sin(a), 0.0};
    }
    return pts;
}

void BM_FACET_ask_triangles_of_polygon(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<quorm_point3> pts = wavy_star(n);
    const quorm_vector3 up{0.0, 0.0, 1.0};
    std::vector<int> tris(3 * (n - 2));
    for (auto _ : state) {
        FACET_ask_triangles_of_polygon(n, pts.data(), &up, tris.data());
        benchmark::DoNotOptimize(tris.data());
        benchmark::ClobberMemory();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_FACET_ask_triangles_of_polygon)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

} // namespace
