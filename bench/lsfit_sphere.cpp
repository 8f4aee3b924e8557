// Sphere fit to 10 000 and 1 000 000 noisy points of a sphere (no peer
// library offers this fit; the time per point is the figure to watch).
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

void BM_LSFIT_sphere_to_points_3d(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    std::mt19937 rng(9);
    std::normal_distribution<double> g;
    std::vector<quorm_point3> pts(n);
    for (auto &p : pts) {
        const double x = g(rng), y = g(rng), z = g(rng), l = std::sqrt(x * x + y * y + z * z);
        const double r = 25.0 + 1e-3 * g(rng);
        p = quorm_point3{100.0 + r * x / l, -50.0 + r * y / l, 10.0 + r * z / l};
    }
    quorm_point3 centre;
    double radius, stats[3];
    int status;
    for (auto _ : state) {
        LSFIT_sphere_to_points_3d(pts.data(), n, &centre, &radius, &status, stats);
        benchmark::DoNotOptimize(radius);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LSFIT_sphere_to_points_3d)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
