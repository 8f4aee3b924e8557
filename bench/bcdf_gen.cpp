// Recomputing the parameters of defining data (BCDF_add_params) against
// Eigen's chord-length parameterisation, and attaching a slope at every
// point one call at a time; over 10, 1 000 and 100 000 points.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#if QUORM_HAVE_EIGEN
#include <Eigen/Dense>
#include <unsupported/Eigen/Splines>
#endif

namespace {

std::vector<double> helix(int n) {
    std::vector<double> c;
    c.reserve(3 * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) c.insert(c.end(), {std::cos(0.1 * i), std::sin(0.1 * i), 0.01 * i});
    return c;
}

BCDF_s *record(int n) {
    const std::vector<double> c = helix(n);
    double *coords = static_cast<double *>(SM_alloc(c.size() * sizeof(double)));
    std::memcpy(coords, c.data(), c.size() * sizeof(double));
    return BCDF_create_df_from_pts(coords, n, 3, 0);
}

// Slopes at every fifth point and curvatures at every tenth: the attached
// vectors move with their points.
void BM_BCDF_add_params(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    BCDF_s *b = record(n);
    for (int i = 0; i < n; i += 5) {
        const double s[3] = {-std::sin(0.1 * i), std::cos(0.1 * i), 0.01};
        BCDF_replace_slope(b, s, i, 1);
        if (i % 10 == 0) {
            const double k[3] = {-std::cos(0.1 * i), -std::sin(0.1 * i), 0.0};
            BCDF_replace_curvature(b, k, i, 0);
        }
    }
    for (auto _ : state) {
        BCDF_add_params(b, nullptr);
        benchmark::DoNotOptimize(b->params->points);
    }
    state.SetComplexityN(n);
    BCDF_free_structure(b);
}
BENCHMARK(BM_BCDF_add_params)->Arg(10)->Arg(1000)->Arg(100000)->Complexity(benchmark::oN);

#if QUORM_HAVE_EIGEN
void BM_Eigen_ChordLengths(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> c = helix(n);
    const Eigen::Map<const Eigen::Matrix<double, 3, Eigen::Dynamic>> pts(c.data(), 3, n);
    Eigen::RowVectorXd t(n);
    for (auto _ : state) {
        Eigen::ChordLengths(pts, t);
        benchmark::DoNotOptimize(t.data());
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_Eigen_ChordLengths)->Arg(10)->Arg(1000)->Arg(100000)->Complexity(benchmark::oN);
#endif

// A slope at every point, in point order, on a fresh record.
void BM_BCDF_replace_slope_every_point(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        BCDF_s *b = record(n);
        state.ResumeTiming();
        for (int i = 0; i < n; ++i) {
            const double s[3] = {-std::sin(0.1 * i), std::cos(0.1 * i), 0.01};
            BCDF_replace_slope(b, s, i, 1);
        }
        state.PauseTiming();
        BCDF_free_structure(b);
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_BCDF_replace_slope_every_point)->Arg(10)->Arg(1000)->Arg(100000)->Complexity();

} // namespace
