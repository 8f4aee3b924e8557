// Automatic derivatives of defining data (BCDF_CALC_auto_derivatives) at
// every point of records of 10, 1 000 and 100 000 points, with slopes at the
// end points' neighbours so that the end rules look for them.  No peer
// library estimates derivatives this way; the time per point is the figure.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

BCDF_s *record(int n) {
    double *c = static_cast<double *>(SM_alloc(3 * static_cast<size_t>(n) * sizeof(double)));
    for (int i = 0; i < n; ++i) {
        c[3 * i] = std::cos(0.1 * i);
        c[3 * i + 1] = std::sin(0.1 * i);
        c[3 * i + 2] = 0.01 * i;
    }
    BCDF_s *b = BCDF_create_df_from_pts(c, n, 3, 0);
    for (int i = 1; i < n; i += 3) {
        const double s[3] = {-std::sin(0.1 * i), std::cos(0.1 * i), 0.01};
        BCDF_replace_slope(b, s, i, i % 2 ? 1 : 2);
    }
    return b;
}

void BM_BCDF_CALC_auto_derivatives_all_points(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    BCDF_s *b = record(n);
    double d[6];
    for (auto _ : state) {
        for (int i = 0; i < n; ++i) {
            BCDF_CALC_auto_derivatives(b, i, 2, d);
            benchmark::DoNotOptimize(d);
        }
    }
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
    BCDF_free_structure(b);
}
BENCHMARK(BM_BCDF_CALC_auto_derivatives_all_points)->Arg(10)->Arg(1000)->Arg(100000)->Complexity(benchmark::oN);

// One call at the first point, which looks up the slope at its neighbour.
void BM_BCDF_CALC_auto_derivatives_first_point(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    BCDF_s *b = record(n);
    double d[6];
    for (auto _ : state) {
        BCDF_CALC_auto_derivatives(b, 0, 2, d);
        benchmark::DoNotOptimize(d);
    }
    state.SetComplexityN(n);
    BCDF_free_structure(b);
}
BENCHMARK(BM_BCDF_CALC_auto_derivatives_first_point)->Arg(10)->Arg(1000)->Arg(100000)->Complexity();

} // namespace
