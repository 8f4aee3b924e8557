// Closed-form cubic and quartic roots per call, next to GSL's cubic solver
// and its companion-matrix polynomial solver, over a pool of random
// polynomials with a mix of one and three (cubic) or zero to four (quartic)
// real roots.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#if QUORM_HAVE_GSL
#include <gsl/gsl_poly.h>
#endif

namespace {

constexpr int kPool = 1024;

std::vector<double> pool(int degree) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    std::vector<double> c(static_cast<size_t>(kPool) * (degree + 1));
    for (double &v : c) v = u(rng);
    for (int i = 0; i < kPool; ++i) c[i * (degree + 1) + degree] = 1.0 + 0.5 * u(rng) * u(rng);
    return c;
}

void BM_SOLVE_cubic(benchmark::State &state) {
    const std::vector<double> c = pool(3);
    double r[3];
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SOLVE_cubic(&c[i * 4], r));
        benchmark::DoNotOptimize(r);
        i = (i + 1) % kPool;
    }
}
BENCHMARK(BM_SOLVE_cubic);

void BM_SOLVE_quartic(benchmark::State &state) {
    const std::vector<double> c = pool(4);
    double r[4];
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SOLVE_quartic(&c[i * 5], r));
        benchmark::DoNotOptimize(r);
        i = (i + 1) % kPool;
    }
}
BENCHMARK(BM_SOLVE_quartic);

#if QUORM_HAVE_GSL
void BM_gsl_poly_solve_cubic(benchmark::State &state) {
    const std::vector<double> c = pool(3);
    double r[3];
    int i = 0;
    for (auto _ : state) {
        const double *p = &c[i * 4];
        benchmark::DoNotOptimize(gsl_poly_solve_cubic(p[2] / p[3], p[1] / p[3], p[0] / p[3], &r[0], &r[1], &r[2]));
        benchmark::DoNotOptimize(r);
        i = (i + 1) % kPool;
    }
}
BENCHMARK(BM_gsl_poly_solve_cubic);

void BM_gsl_poly_complex_solve_quartic(benchmark::State &state) {
    const std::vector<double> c = pool(4);
    gsl_poly_complex_workspace *w = gsl_poly_complex_workspace_alloc(5);
    double z[8];
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gsl_poly_complex_solve(&c[i * 5], 5, w, z));
        benchmark::DoNotOptimize(z);
        i = (i + 1) % kPool;
    }
    gsl_poly_complex_workspace_free(w);
}
BENCHMARK(BM_gsl_poly_complex_solve_quartic);
#endif

} // namespace
