// Singular value decomposition (U, w and V) of random m x n matrices next to
// LAPACK's dgesvd computing the same factors (U over A, V^T in full).  Both
// start every iteration from a fresh copy of the matrix.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#if QUORM_HAVE_LAPACK
extern "C" void dgesvd_(const char *jobu, const char *jobvt, const int *m, const int *n, double *a, const int *lda,
                        double *s, double *u, const int *ldu, double *vt, const int *ldvt, double *work,
                        const int *lwork, int *info);
#endif

namespace {

std::vector<double> random_matrix(int m, int n) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> a(static_cast<size_t>(m) * n);
    for (double &v : a) v = u(rng);
    return a;
}

void BM_SOLVE_svd_decompose(benchmark::State &state) {
    const int m = static_cast<int>(state.range(0)), n = static_cast<int>(state.range(1));
    const std::vector<double> src = random_matrix(m, n);
    std::vector<double> a(src.size()), v(static_cast<size_t>(n) * n), w(n);
    std::vector<double *> ar(m), vr(n);
    for (int i = 0; i < m; ++i) ar[i] = a.data() + static_cast<size_t>(i) * n;
    for (int i = 0; i < n; ++i) vr[i] = v.data() + static_cast<size_t>(i) * n;
    for (auto _ : state) {
        a = src;
        SOLVE_svd_decompose(ar.data(), m, n, w.data(), vr.data());
        benchmark::DoNotOptimize(w.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SOLVE_svd_decompose)->Args({10, 3})->Args({100, 10})->Args({300, 50});

#if QUORM_HAVE_LAPACK
void BM_lapack_dgesvd(benchmark::State &state) {
    const int m = static_cast<int>(state.range(0)), n = static_cast<int>(state.range(1));
    const std::vector<double> src = random_matrix(m, n);
    std::vector<double> col(src.size()), a(src.size()), s(n), vt(static_cast<size_t>(n) * n), u(1);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) col[static_cast<size_t>(j) * m + i] = src[static_cast<size_t>(i) * n + j];
    int lwork = -1, info = 0, one = 1;
    double query = 0.0;
    dgesvd_("O", "A", &m, &n, a.data(), &m, s.data(), u.data(), &one, vt.data(), &n, &query, &lwork, &info);
    lwork = static_cast<int>(query);
    std::vector<double> work(lwork);
    for (auto _ : state) {
        a = col;
        dgesvd_("O", "A", &m, &n, a.data(), &m, s.data(), u.data(), &one, vt.data(), &n, work.data(), &lwork, &info);
        benchmark::DoNotOptimize(s.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_lapack_dgesvd)->Args({10, 3})->Args({100, 10})->Args({300, 50});
#endif

} // namespace
