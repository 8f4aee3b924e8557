// Unitizing a 3-D vector: VEC3_unitize against Eigen's normalized(), per call
// over the same stream of vectors.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#if QUORM_HAVE_EIGEN
#include <Eigen/Dense>
#endif

namespace {

const std::vector<quorm_vector3> &inputs() {
    static const std::vector<quorm_vector3> v = [] {
        std::mt19937_64 rng(1);
        std::uniform_real_distribution<double> d(-100.0, 100.0);
        std::vector<quorm_vector3> out(1024);
        for (quorm_vector3 &x : out) x = quorm_vector3{d(rng), d(rng), d(rng)};
        return out;
    }();
    return v;
}

void BM_VEC3_unitize(benchmark::State &state) {
    const std::vector<quorm_vector3> &in = inputs();
    size_t i = 0;
    quorm_vector3 u;
    double l;
    for (auto _ : state) {
        benchmark::DoNotOptimize(VEC3_unitize(&in[i], 1e-10, &l, &u));
        benchmark::DoNotOptimize(u);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_VEC3_unitize);

void BM_MC_v_unit(benchmark::State &state) {
    const std::vector<quorm_vector3> &in = inputs();
    size_t i = 0;
    for (auto _ : state) {
        double a[3] = {in[i].x, in[i].y, in[i].z};
        MC_v_unit(a);
        benchmark::DoNotOptimize(a);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_MC_v_unit);

#if QUORM_HAVE_EIGEN
void BM_Eigen_normalized(benchmark::State &state) {
    const std::vector<quorm_vector3> &in = inputs();
    std::vector<Eigen::Vector3d> e;
    for (const quorm_vector3 &x : in) e.emplace_back(x.x, x.y, x.z);
    size_t i = 0;
    Eigen::Vector3d u;
    for (auto _ : state) {
        u = e[i].normalized();
        benchmark::DoNotOptimize(u);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_Eigen_normalized);
#endif

} // namespace
