// Subdivision of a Bezier piece at a parameter (em0911) and conversion of
// the spans of a B-spline curve to Bezier polygons (e0925) at degrees 3, 5
// and 9.  Beside them: a two-row de Casteljau split without the full
// triangle (the least work a split can do), SISL's curve subdivision (s1710,
// which allocates the two halves) and SISL's whole-curve conversion to
// Bezier form (s1730).  Ours work on homogeneous points (4 doubles), SISL on
// 3-D points.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#ifdef QUORM_HAVE_SISL
#define SISLNEEDPROTOTYPES
#include <sisl.h>
#endif

namespace {

constexpr int kParams = 256;
constexpr int kSpans = 200;

struct Curve {
    int n, poles;
    std::vector<double> h, xyz, knots, params;

    // Degree n, `spans` spans on uniform interior knots, clamped ends.
    Curve(int degree, int spans) : n(degree), poles(spans + degree) {
        std::mt19937 rng(3);
        std::uniform_real_distribution<double> u(-10, 10), s(0, 1);
        for (int i = 0; i < poles; ++i) {
            for (int c = 0; c < 3; ++c) {
                const double v = u(rng);
                h.push_back(v);
                xyz.push_back(v);
            }
            h.push_back(1.0);
        }
        knots.assign(n + 1, 0.0);
        for (int i = 1; i < spans; ++i) knots.push_back(static_cast<double>(i) / spans);
        knots.insert(knots.end(), n + 1, 1.0);
        for (int i = 0; i < kParams; ++i) params.push_back(s(rng));
    }
};

// De Casteljau split keeping one working row: the baseline.
__attribute__((noinline)) void split_two_rows(int n, const double *poly, double u, double *left, double *right) {
    double w[25][4];
    std::memcpy(w, poly, sizeof(double) * 4 * (n + 1));
    const double d = 1.0 - u;
    std::memcpy(left, w[0], sizeof w[0]);
    std::memcpy(right + 4 * n, w[n], sizeof w[n]);
    for (int r = 1; r <= n; ++r) {
        for (int j = 0; j <= n - r; ++j)
            for (int c = 0; c < 4; ++c) w[j][c] = u * w[j + 1][c] + d * w[j][c];
        std::memcpy(left + 4 * r, w[0], sizeof w[0]);
        std::memcpy(right + 4 * (n - r), w[n - r], sizeof w[0]);
    }
}

} // namespace

static void BM_em0911(benchmark::State &state) {
    int n = static_cast<int>(state.range(0));
    Curve c(n, 1);
    std::vector<double> left(4 * (n + 1)), right(4 * (n + 1));
    std::size_t i = 0;
    for (auto _ : state) {
        em0911(&n, c.h.data(), &c.params[i++ % kParams], left.data(), right.data());
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
    }
}
BENCHMARK(BM_em0911)->Arg(3)->Arg(5)->Arg(9);

static void BM_split_two_rows(benchmark::State &state) {
    int n = static_cast<int>(state.range(0));
    Curve c(n, 1);
    std::vector<double> left(4 * (n + 1)), right(4 * (n + 1));
    std::size_t i = 0;
    for (auto _ : state) {
        split_two_rows(n, c.h.data(), c.params[i++ % kParams], left.data(), right.data());
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
    }
}
BENCHMARK(BM_split_two_rows)->Arg(3)->Arg(5)->Arg(9);

#ifdef QUORM_HAVE_SISL
static void BM_sisl_s1710(benchmark::State &state) {
    int n = static_cast<int>(state.range(0));
    Curve c(n, 1);
    SISLCurve *curve = newCurve(c.poles, n + 1, c.knots.data(), c.xyz.data(), 1, 3, 1);
    std::size_t i = 0;
    for (auto _ : state) {
        SISLCurve *a = nullptr, *b = nullptr;
        int status = 0;
        // s1710 refuses the ends; the parameters are strictly inside.
        s1710(curve, c.params[i++ % kParams], &a, &b, &status);
        benchmark::DoNotOptimize(a);
        if (a) freeCurve(a);
        if (b) freeCurve(b);
    }
    freeCurve(curve);
}
BENCHMARK(BM_sisl_s1710)->Arg(3)->Arg(5)->Arg(9);
#endif

// Every span of a 200-span curve to its Bezier polygon.
static void BM_e0925_curve(benchmark::State &state) {
    int n = static_cast<int>(state.range(0));
    Curve c(n, kSpans);
    std::vector<double> out(4 * (n + 1) * kSpans);
    for (auto _ : state) {
        for (int s = 0; s < kSpans; ++s)
            e0925(&n, c.knots.data() + s, c.h.data() + 4 * s, out.data() + 4 * (n + 1) * s);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kSpans);
}
BENCHMARK(BM_e0925_curve)->Arg(3)->Arg(5)->Arg(9);

#ifdef QUORM_HAVE_SISL
static void BM_sisl_s1730_curve(benchmark::State &state) {
    int n = static_cast<int>(state.range(0));
    Curve c(n, kSpans);
    SISLCurve *curve = newCurve(c.poles, n + 1, c.knots.data(), c.xyz.data(), 1, 3, 1);
    for (auto _ : state) {
        SISLCurve *bezier = nullptr;
        int status = 0;
        s1730(curve, &bezier, &status);
        benchmark::DoNotOptimize(bezier);
        if (bezier) freeCurve(bezier);
    }
    freeCurve(curve);
    state.SetItemsProcessed(state.iterations() * kSpans);
}
BENCHMARK(BM_sisl_s1730_curve)->Arg(3)->Arg(5)->Arg(9);
#endif
