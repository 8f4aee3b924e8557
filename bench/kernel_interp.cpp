// Interpolation through 100 and 10 000 points with first derivatives at both
// ends, cubic, 3-D: h0913 next to SISL's interpolation with given
// parameters (s1357) on the same data.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#ifdef QUORM_HAVE_SISL
#define SISLNEEDPROTOTYPES
#include <sisl.h>
#endif

namespace {

struct Data {
    int np;
    std::vector<double> points, params, start, end;
};

// Points on a helix-like curve at chord-length-like parameters from 0 to 1.
Data make_data(int np) {
    Data d;
    d.np = np;
    for (int i = 0; i < np; ++i) {
        const double a = 12.0 * i / (np - 1);
        d.points.push_back(std::cos(a));
        d.points.push_back(std::sin(a));
        d.points.push_back(0.1 * a + 0.05 * std::sin(3 * a));
        d.params.push_back(static_cast<double>(i) / (np - 1));
    }
    d.start = {0.0, 12.0, 1.2};
    d.end = {-12.0 * std::sin(12.0), 12.0 * std::cos(12.0), 1.2};
    return d;
}

void BM_quorm_interpolate(benchmark::State &state) {
    const Data d = make_data(static_cast<int>(state.range(0)));
    const int descriptor[7] = {d.np, 4, 0, 3, 2, 0, 0};
    const double cond_params[2] = {d.params.front(), d.params.back()};
    const int orders[2] = {1, 1};
    std::vector<double> values(d.start);
    values.insert(values.end(), d.end.begin(), d.end.end());
    std::vector<double> knots(d.np + 6), ctrl(3 * (d.np + 2));
    int count = 0;
    for (auto _ : state) {
        const int status = h0913(descriptor, d.points.data(), d.params.data(), cond_params, orders, values.data(),
                                 &count, knots.data(), ctrl.data());
        if (status != 0) state.SkipWithError("h0913 failed");
        benchmark::DoNotOptimize(ctrl.data());
        benchmark::ClobberMemory();
    }
}

#ifdef QUORM_HAVE_SISL
void BM_sisl_interpolate(benchmark::State &state) {
    const Data d = make_data(static_cast<int>(state.range(0)));
    // Conditions in order: derivative to the next point, the points, the
    // derivative to the prior point.
    std::vector<double> epoint(d.start);
    epoint.insert(epoint.end(), d.points.begin(), d.points.end());
    epoint.insert(epoint.end(), d.end.begin(), d.end.end());
    std::vector<int> types(d.np + 2, 1);
    types.front() = 3;
    types.back() = 4;
    for (auto _ : state) {
        SISLCurve *curve = nullptr;
        double *gpar = nullptr, endpar = 0.0;
        int nbpar = 0, stat = 0;
        s1357(epoint.data(), d.np + 2, 3, types.data(), const_cast<double *>(d.params.data()), 0, 0, 1, 4,
              d.params.front(), &endpar, &curve, &gpar, &nbpar, &stat);
        if (stat < 0) state.SkipWithError("s1357 failed");
        benchmark::DoNotOptimize(curve);
        if (curve) freeCurve(curve);
        if (gpar) std::free(gpar);
    }
}
#endif

} // namespace

BENCHMARK(BM_quorm_interpolate)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
#ifdef QUORM_HAVE_SISL
BENCHMARK(BM_sisl_interpolate)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
#endif
