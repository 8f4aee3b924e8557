// The C side of the Python module's overhead measurement: the same small
// circle and plane fits, and the 1 000 000-point plane fit, that
// bench/python_overhead.py times through the module.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// n points on the circle of centre (3, -1) and radius 2, slightly perturbed.
std::vector<PNT2_s> circle_points(int n) {
    std::vector<PNT2_s> pts(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double a = 0.3 + 2.5 * i / n, r = 2.0 + 0.01 * std::sin(7.0 * i);
        pts[static_cast<size_t>(i)] = PNT2_s{3.0 + r * std::cos(a), -1.0 + r * std::sin(a)};
    }
    return pts;
}

// n points near the plane z = 0.3x - 0.2y + 5.
std::vector<quorm_point3> plane_points(int n) {
    std::vector<quorm_point3> pts(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double x = std::fmod(i * 0.618034, 200.0) - 100.0, y = std::fmod(i * 0.414214, 200.0) - 100.0;
        pts[static_cast<size_t>(i)] = quorm_point3{x, y, 0.3 * x - 0.2 * y + 5.0 + 0.05 * std::sin(i * 1.7)};
    }
    return pts;
}

void BM_C_fit_circle(benchmark::State &state) {
    const std::vector<PNT2_s> pts = circle_points(static_cast<int>(state.range(0)));
    PNT2_s centre;
    double radius, stats[3];
    int status;
    for (auto _ : state) {
        LSFIT_circle_to_points_2d(pts.data(), static_cast<int>(pts.size()), &centre, &radius, &status, stats);
        benchmark::DoNotOptimize(radius);
    }
}
BENCHMARK(BM_C_fit_circle)->Arg(10);

void BM_C_fit_plane(benchmark::State &state) {
    const std::vector<quorm_point3> pts = plane_points(static_cast<int>(state.range(0)));
    quorm_point3 point;
    quorm_vector3 normal;
    double stats[3];
    int status;
    for (auto _ : state) {
        LSFIT_plane_to_points(pts.data(), static_cast<int>(pts.size()), &point, &normal, &status, stats);
        benchmark::DoNotOptimize(normal);
    }
}
BENCHMARK(BM_C_fit_plane)->Arg(10)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace
