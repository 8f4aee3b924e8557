// Segment evaluation: point, and point with first derivative, of cubic and
// quintic pieces, polynomial and rational, next to SISL's curve evaluation
// (s1221) on the same curves.  Parameters cycle through 1024 random values
// of the interval.  Rational rows of ours include the division by the weight
// (and the quotient rule for the derivative), as SISL returns Euclidean
// results.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#ifdef QUORM_HAVE_SISL
#define SISLNEEDPROTOTYPES
#include <sisl.h>
#endif

namespace {

constexpr int kParams = 1024;

struct Piece {
    int n;                  // degree
    std::vector<double> h;  // homogeneous control points (4 per point)
    std::vector<double> k;  // segment knot vector
    std::vector<double> t;  // evaluation parameters
};

Piece make_piece(int n, bool rational) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-10.0, 10.0), w(0.5, 2.0), s(0.0, 1.0);
    Piece p;
    p.n = n;
    for (int i = 0; i <= n; ++i) {
        const double weight = rational ? w(rng) : 1.0;
        for (int c = 0; c < 3; ++c) p.h.push_back(u(rng) * weight);
        p.h.push_back(weight);
    }
    for (int i = 0; i <= n; ++i) p.k.push_back(0.0);
    for (int i = 0; i <= n; ++i) p.k.push_back(1.0);
    for (int i = 0; i < kParams; ++i) p.t.push_back(s(rng));
    return p;
}

inline void to_euclidean(const double *h, double *out) {
    const double inv = 1.0 / h[3];
    out[0] = h[0] * inv;
    out[1] = h[1] * inv;
    out[2] = h[2] * inv;
}

// Euclidean point and derivative from the homogeneous ones.
inline void quotient(const double *h, const double *dh, double *out) {
    const double inv = 1.0 / h[3];
    for (int c = 0; c < 3; ++c) {
        out[c] = h[c] * inv;
        out[3 + c] = (dh[c] - out[c] * dh[3]) * inv;
    }
}

void BM_quorm_point(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const bool rational = state.range(1) != 0;
    const Piece p = make_piece(n, rational);
    double h[4], e[3];
    int i = 0;
    for (auto _ : state) {
        h0900(&p.n, p.k.data(), p.h.data(), &p.t[i], h);
        if (rational) {
            to_euclidean(h, e);
            benchmark::DoNotOptimize(e);
        } else {
            benchmark::DoNotOptimize(h);
        }
        i = (i + 1) & (kParams - 1);
    }
}

void BM_quorm_point_deriv(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const bool rational = state.range(1) != 0;
    const Piece p = make_piece(n, rational);
    double h[4], d[4], e[6];
    int i = 0;
    for (auto _ : state) {
        h0908(&p.n, p.k.data(), p.h.data(), &p.t[i], h, d);
        if (rational) {
            quotient(h, d, e);
            benchmark::DoNotOptimize(e);
        } else {
            benchmark::DoNotOptimize(h);
            benchmark::DoNotOptimize(d);
        }
        i = (i + 1) & (kParams - 1);
    }
}

// A cubic B-spline curve of 20 control points: span search (h0917) and de
// Boor's algorithm on the span (h0901).
void BM_quorm_bspline_point(benchmark::State &state) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(-10.0, 10.0), s(0.0, 1.0);
    const int n = 3, count = 20;
    std::vector<double> knots, ctrl, t;
    for (int i = 0; i < 4; ++i) knots.push_back(0.0);
    for (int i = 1; i < count - 3; ++i) knots.push_back(i / double(count - 3));
    for (int i = 0; i < 4; ++i) knots.push_back(1.0);
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) ctrl.push_back(u(rng));
        ctrl.push_back(1.0);
    }
    for (int i = 0; i < kParams; ++i) t.push_back(s(rng));
    const int nknots = static_cast<int>(knots.size());
    double h[4];
    int i = 0;
    for (auto _ : state) {
        const int span = h0917(t[i], knots.data(), nknots, 0.0);
        h0901(&n, knots.data() + span - n, ctrl.data() + 4 * (span - n), &t[i], h);
        benchmark::DoNotOptimize(h);
        i = (i + 1) & (kParams - 1);
    }
}

#ifdef QUORM_HAVE_SISL
// The same piece as a SISL curve (polynomial: dimension 3; rational: the
// homogeneous points).
SISLCurve *sisl_curve(const Piece &p, bool rational) {
    std::vector<double> coef;
    for (int i = 0; i <= p.n; ++i)
        for (int c = 0; c < (rational ? 4 : 3); ++c) coef.push_back(p.h[4 * i + c]);
    return newCurve(p.n + 1, p.n + 1, const_cast<double *>(p.k.data()) + 0, coef.data(), rational ? 2 : 1, 3, 1);
}

void BM_sisl_point(benchmark::State &state, int ider) {
    const int n = static_cast<int>(state.range(0));
    const bool rational = state.range(1) != 0;
    const Piece p = make_piece(n, rational);
    SISLCurve *curve = sisl_curve(p, rational);
    double out[6];
    int left = 0, stat = 0, i = 0;
    for (auto _ : state) {
        s1221(curve, ider, p.t[i], &left, out, &stat);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (kParams - 1);
    }
    if (stat < 0) state.SkipWithError("s1221 failed");
    freeCurve(curve);
}

void BM_sisl_point_only(benchmark::State &state) { BM_sisl_point(state, 0); }
void BM_sisl_point_deriv(benchmark::State &state) { BM_sisl_point(state, 1); }

void BM_sisl_bspline_point(benchmark::State &state) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(-10.0, 10.0), s(0.0, 1.0);
    const int count = 20;
    std::vector<double> knots, ctrl, t;
    for (int i = 0; i < 4; ++i) knots.push_back(0.0);
    for (int i = 1; i < count - 3; ++i) knots.push_back(i / double(count - 3));
    for (int i = 0; i < 4; ++i) knots.push_back(1.0);
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) ctrl.push_back(u(rng));
    }
    for (int i = 0; i < kParams; ++i) t.push_back(s(rng));
    SISLCurve *curve = newCurve(count, 4, knots.data(), ctrl.data(), 1, 3, 1);
    double out[3];
    int left = 0, stat = 0, i = 0;
    for (auto _ : state) {
        s1221(curve, 0, t[i], &left, out, &stat);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (kParams - 1);
    }
    freeCurve(curve);
}
#endif

// Arguments: degree, rational.
void degrees(benchmark::internal::Benchmark *b) {
    for (int rational : {0, 1})
        for (int n : {3, 5}) b->Args({n, rational});
}

} // namespace

BENCHMARK(BM_quorm_point)->Apply(degrees);
BENCHMARK(BM_quorm_point_deriv)->Apply(degrees);
BENCHMARK(BM_quorm_bspline_point);
#ifdef QUORM_HAVE_SISL
BENCHMARK(BM_sisl_point_only)->Apply(degrees);
BENCHMARK(BM_sisl_point_deriv)->Apply(degrees);
BENCHMARK(BM_sisl_bspline_point);
#endif
