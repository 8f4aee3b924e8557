// Tolerance look-ups and the block allocator against malloc.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cstdlib>

static void BM_eqz(benchmark::State &state) {
    acom.model_scale = 1.0;
    sys21();
    double a = 1.0, b = 1.0 + 1e-5;
    int kind = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(&a);
        benchmark::DoNotOptimize(eqz(&a, &b, &kind));
    }
}
BENCHMARK(BM_eqz)->Arg(0)->Arg(5);

static void BM_SM_alloc_free(benchmark::State &state) {
    size_t size = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        void *p = SM_alloc(size);
        benchmark::DoNotOptimize(p);
        SM_free(p);
    }
}
BENCHMARK(BM_SM_alloc_free)->Arg(64)->Arg(4096);

static void BM_malloc_free(benchmark::State &state) {
    size_t size = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        void *p = std::malloc(size);
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
}
BENCHMARK(BM_malloc_free)->Arg(64)->Arg(4096);
