// Dense solvers: LU with one right-hand side and Cholesky decompose + solve,
// next to Eigen's PartialPivLU and LLT on the same systems.  Every iteration
// starts from a fresh copy of the matrix, as both decompositions work on a
// copy or in place.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#ifdef QUORM_HAVE_EIGEN
#include <Eigen/Cholesky>
#include <Eigen/Dense>
#include <Eigen/LU>
#endif

namespace {

struct System {
    int n;
    std::vector<double> a, b;  // a row by row
};

// Random well-conditioned system; symmetric positive definite when spd.
System make_system(int n, bool spd) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    System s{n, std::vector<double>(static_cast<size_t>(n) * n), std::vector<double>(n)};
    for (double &v : s.a) v = u(rng);
    for (double &v : s.b) v = u(rng);
    if (spd) {
        std::vector<double> g = s.a;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                double t = i == j ? n : 0.0;
                for (int k = 0; k < n; ++k) t += g[i * n + k] * g[j * n + k];
                s.a[i * n + j] = t;
            }
    }
    return s;
}

void BM_quorm_lu(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    System s = make_system(n, false);
    std::vector<double> a(s.a.size()), b(n);
    std::vector<double *> rows(n), brows(n);
    for (int i = 0; i < n; ++i) {
        rows[i] = a.data() + static_cast<size_t>(i) * n;
        brows[i] = b.data() + i;
    }
    for (auto _ : state) {
        std::memcpy(a.data(), s.a.data(), sizeof(double) * a.size());
        std::memcpy(b.data(), s.b.data(), sizeof(double) * n);
        benchmark::DoNotOptimize(SOLVE_lu_solver(rows.data(), brows.data(), n, 1));
        benchmark::ClobberMemory();
    }
}

void BM_quorm_cholesky(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    System s = make_system(n, true);
    std::vector<double> a(s.a.size()), diagonal(n), x(n);
    for (auto _ : state) {
        std::memcpy(a.data(), s.a.data(), sizeof(double) * a.size());
        int status;
        NR_cholesky_decomp(n, a.data(), diagonal.data(), &status);
        NR_cholesky_solver(a.data(), n, diagonal.data(), s.b.data(), x.data());
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
}

#ifdef QUORM_HAVE_EIGEN
using RowMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

void BM_eigen_lu(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    System s = make_system(n, false);
    Eigen::MatrixXd a = Eigen::Map<RowMatrix>(s.a.data(), n, n);
    Eigen::VectorXd b = Eigen::Map<Eigen::VectorXd>(s.b.data(), n), x(n);
    Eigen::PartialPivLU<Eigen::MatrixXd> lu(n);
    for (auto _ : state) {
        lu.compute(a);
        x = lu.solve(b);
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
}

void BM_eigen_llt(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    System s = make_system(n, true);
    Eigen::MatrixXd a = Eigen::Map<RowMatrix>(s.a.data(), n, n);
    Eigen::VectorXd b = Eigen::Map<Eigen::VectorXd>(s.b.data(), n), x(n);
    Eigen::LLT<Eigen::MatrixXd> llt(n);
    for (auto _ : state) {
        llt.compute(a);
        x = llt.solve(b);
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
}
#endif

} // namespace

BENCHMARK(BM_quorm_lu)->Arg(4)->Arg(16)->Arg(100);
BENCHMARK(BM_quorm_cholesky)->Arg(4)->Arg(16)->Arg(100);
#ifdef QUORM_HAVE_EIGEN
BENCHMARK(BM_eigen_lu)->Arg(4)->Arg(16)->Arg(100);
BENCHMARK(BM_eigen_llt)->Arg(4)->Arg(16)->Arg(100);
#endif
