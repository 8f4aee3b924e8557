// Plane fit to 10 000 and 1 000 000 noisy points next to the usual
// Eigen-based fit (centroid, covariance, 3x3 SelfAdjointEigenSolver).  Ours
// also classifies degenerate input and computes three deviation figures.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#ifdef QUORM_HAVE_EIGEN
#include <Eigen/Dense>
#include <Eigen/Eigenvalues>
#endif

namespace {

// Points near a slanted plane, coordinates within +-100.
const std::vector<quorm_point3> &points(int n) {
    static std::vector<quorm_point3> small, large;
    std::vector<quorm_point3> &pts = n <= 10000 ? small : large;
    if (static_cast<int>(pts.size()) != n) {
        std::mt19937 rng(99);
        std::uniform_real_distribution<double> u(-100.0, 100.0);
        std::normal_distribution<double> noise(0.0, 0.05);
        pts.resize(n);
        for (quorm_point3 &p : pts) {
            double x = u(rng), y = u(rng);
            p = quorm_point3{x, y, 0.3 * x - 0.2 * y + 5.0 + noise(rng)};
        }
    }
    return pts;
}

void BM_LSFIT_plane_to_points(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<quorm_point3> &pts = points(n);
    quorm_point3 point;
    quorm_vector3 normal;
    int status;
    double stats[3];
    for (auto _ : state) {
        LSFIT_plane_to_points(pts.data(), n, &point, &normal, &status, stats);
        benchmark::DoNotOptimize(normal);
        benchmark::DoNotOptimize(stats);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LSFIT_plane_to_points)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

#ifdef QUORM_HAVE_EIGEN
void BM_Eigen_plane_fit(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<quorm_point3> &pts = points(n);
    Eigen::Map<const Eigen::Matrix<double, 3, Eigen::Dynamic>> x(&pts[0].x, 3, n);
    Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver;
    for (auto _ : state) {
        Eigen::Vector3d c = x.rowwise().mean();
        Eigen::Matrix3Xd centred = x.colwise() - c;
        Eigen::Matrix3d cov;
        cov.noalias() = centred * centred.transpose();
        solver.compute(cov);
        Eigen::Vector3d normal = solver.eigenvectors().col(0);
        benchmark::DoNotOptimize(normal.data());
        benchmark::DoNotOptimize(c.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_Eigen_plane_fit)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
#endif

} // namespace
