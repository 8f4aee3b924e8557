// 4x4 inverse and 3x3 product, side by side with Eigen's fixed-size matrices
// when it is available.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <random>

#if QUORM_HAVE_EIGEN
#include <Eigen/Dense>
#endif

namespace {

// A general transform: rotation, non-uniform scaling and translation.
MTX4_s sample_transform() {
    MTX4_s r, s;
    quorm_point3 p{1.0, -2.0, 0.5};
    quorm_vector3 axis{0.3, -0.4, 0.87}, factors{2.0, 0.5, 3.0};
    MTX4_rotation(&p, &axis, 37.0, &r);
    MTX4_scaling(&p, &factors, &s);
    MTX4_multiply(&r, &s, &r);
    r.elem[3] += 10.0;
    return r;
}

} // namespace

static void BM_MTX4_invert(benchmark::State &state) {
    MTX4_s m = sample_transform(), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(&m);
        benchmark::DoNotOptimize(MTX4_invert(&m, &out));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MTX4_invert);

static void BM_MTX3_multiply(benchmark::State &state) {
    MTX3_s a, b, out;
    MTX3_init_roll_pitch_yaw(0.1, 0.2, 0.3, &a);
    MTX3_init_roll_pitch_yaw(-0.7, 0.4, 1.3, &b);
    a.elem[0] *= 1.5; // a general matrix: no ortho-normal repair of the product
    for (auto _ : state) {
        benchmark::DoNotOptimize(&a);
        MTX3_multiply(&a, &b, &out);
        benchmark::DoNotOptimize(&out);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MTX3_multiply);

static void BM_MTX3_multiply_rotations(benchmark::State &state) {
    MTX3_s a, b, out;
    MTX3_init_roll_pitch_yaw(0.1, 0.2, 0.3, &a);
    MTX3_init_roll_pitch_yaw(-0.7, 0.4, 1.3, &b);
    for (auto _ : state) {
        benchmark::DoNotOptimize(&a);
        MTX3_multiply(&a, &b, &out);
        benchmark::DoNotOptimize(&out);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MTX3_multiply_rotations);

#if QUORM_HAVE_EIGEN
static void BM_Eigen_Matrix4d_inverse(benchmark::State &state) {
    MTX4_s t = sample_transform();
    Eigen::Matrix4d m = Eigen::Map<Eigen::Matrix<double, 4, 4, Eigen::RowMajor>>(t.elem), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m.data());
        out = m.inverse();
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Eigen_Matrix4d_inverse);

// The same algorithm class as MTX4_invert: an LU decomposition with partial
// pivoting and substitution of the unit columns.  Eigen's fixed-size inverse
// above uses cofactors instead, with a single division.
static void BM_Eigen_Matrix4d_lu_inverse(benchmark::State &state) {
    MTX4_s t = sample_transform();
    Eigen::Matrix4d m = Eigen::Map<Eigen::Matrix<double, 4, 4, Eigen::RowMajor>>(t.elem), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m.data());
        out = m.partialPivLu().inverse();
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Eigen_Matrix4d_lu_inverse);

static void BM_Eigen_Matrix3d_product(benchmark::State &state) {
    MTX3_s ra, rb;
    MTX3_init_roll_pitch_yaw(0.1, 0.2, 0.3, &ra);
    MTX3_init_roll_pitch_yaw(-0.7, 0.4, 1.3, &rb);
    Eigen::Matrix3d a = Eigen::Map<Eigen::Matrix<double, 3, 3, Eigen::RowMajor>>(ra.elem);
    Eigen::Matrix3d b = Eigen::Map<Eigen::Matrix<double, 3, 3, Eigen::RowMajor>>(rb.elem), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a.data());
        out.noalias() = b * a;
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Eigen_Matrix3d_product);
#endif
