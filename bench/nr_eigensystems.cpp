// Symmetric eigen solves: cyclic Jacobi on 3x3 and 10x10 matrices next to
// Eigen's SelfAdjointEigenSolver (eigenvalues and eigenvectors both ways).
// Jacobi destroys the upper triangle, so every iteration starts from a copy.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#ifdef QUORM_HAVE_EIGEN
#include <Eigen/Dense>
#include <Eigen/Eigenvalues>
#endif

namespace {

std::vector<double> random_symmetric(int n) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> a(static_cast<size_t>(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = i; j < n; ++j) a[i * n + j] = a[j * n + i] = u(rng);
    return a;
}

void BM_NR_ask_eigenvalues_jacobi(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> src = random_symmetric(n);
    std::vector<double> a(src.size()), v(src.size()), values(n);
    std::vector<double *> ar(n), vr(n);
    for (int i = 0; i < n; ++i) {
        ar[i] = a.data() + i * n;
        vr[i] = v.data() + i * n;
    }
    int rotations = 0;
    for (auto _ : state) {
        std::memcpy(a.data(), src.data(), sizeof(double) * src.size());
        NR_ask_eigenvalues_jacobi(ar.data(), n, 60, values.data(), vr.data(), &rotations);
        benchmark::DoNotOptimize(values.data());
        benchmark::DoNotOptimize(v.data());
        benchmark::ClobberMemory();
    }
    state.counters["rotations"] = rotations;
}
BENCHMARK(BM_NR_ask_eigenvalues_jacobi)->Arg(3)->Arg(10);

#ifdef QUORM_HAVE_EIGEN
template <int N> void BM_Eigen_SelfAdjointEigenSolver(benchmark::State &state) {
    const std::vector<double> src = random_symmetric(N);
    Eigen::Matrix<double, N, N> m = Eigen::Map<const Eigen::Matrix<double, N, N, Eigen::RowMajor>>(src.data());
    Eigen::SelfAdjointEigenSolver<Eigen::Matrix<double, N, N>> solver;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m.data());
        solver.compute(m);
        benchmark::DoNotOptimize(solver.eigenvalues().data());
        benchmark::DoNotOptimize(solver.eigenvectors().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK_TEMPLATE(BM_Eigen_SelfAdjointEigenSolver, 3);
BENCHMARK_TEMPLATE(BM_Eigen_SelfAdjointEigenSolver, 10);

// Eigen's closed-form 3x3 solver, for reference (less accurate).
void BM_Eigen_SelfAdjointEigenSolver_computeDirect_3(benchmark::State &state) {
    const std::vector<double> src = random_symmetric(3);
    Eigen::Matrix3d m = Eigen::Map<const Eigen::Matrix<double, 3, 3, Eigen::RowMajor>>(src.data());
    Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m.data());
        solver.computeDirect(m);
        benchmark::DoNotOptimize(solver.eigenvectors().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Eigen_SelfAdjointEigenSolver_computeDirect_3);
#endif

} // namespace
