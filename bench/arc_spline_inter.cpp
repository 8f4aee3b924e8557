// Arc-spline intersections and tangents: time per call of arc-arc and
// arc-line intersection, common tangents of two circles and the distance of a
// point to an arc.  Inputs cycle through a fixed set of random configurations
// so that branch prediction does not learn a single case.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

const double tols[3] = {1e-7, 1e-4, 1e-9};
const int kCases = 256;

ARC_SPLINE_1_seg_2d_s circle(double x, double y, double r) {
    ARC_SPLINE_1_seg_2d_s s;
    const PNT2_s c{x, y};
    ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, r, &s);
    return s;
}

// kCases pairs of circles with radii in [1, 2]: the second centre lies at
// the distance gap(r1, r2, u) from the first, in a random direction.
template <class Gap> std::vector<ARC_SPLINE_1_seg_2d_s> circle_pairs(unsigned seed, Gap gap) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<ARC_SPLINE_1_seg_2d_s> v;
    for (int i = 0; i < kCases; ++i) {
        const double r1 = 1 + u(rng), r2 = 1 + u(rng), a = 6.283 * u(rng), d = gap(r1, r2, u(rng));
        v.push_back(circle(10 * u(rng), 10 * u(rng), r1));
        v.push_back(circle(v.back().center.x + d * std::cos(a), v.back().center.y + d * std::sin(a), r2));
    }
    return v;
}

// Pairs of crossing circles (two intersection points each).
std::vector<ARC_SPLINE_1_seg_2d_s> crossing_pairs() {
    return circle_pairs(7, [](double r1, double r2, double f) {
        return std::fabs(r1 - r2) + (0.1 + 0.8 * f) * (r1 + r2 - std::fabs(r1 - r2));
    });
}

// Pairs of separate circles (four common tangents).
std::vector<ARC_SPLINE_1_seg_2d_s> separate_pairs() {
    return circle_pairs(8, [](double r1, double r2, double f) { return (r1 + r2) * (1.2 + f); });
}

void BM_inter_of_2_circular_arcs(benchmark::State &state) {
    const std::vector<ARC_SPLINE_1_seg_2d_s> v = crossing_pairs();
    int i = 0;
    for (auto _ : state) {
        PNT2_s x1, x2;
        double p1[2], p2[2];
        int w1[2], w2[2], count, status;
        ARC_SPLINE_inter_of_2_circular_arcs_2d(&v[2 * i], &v[2 * i + 1], 1, 1, tols, &count, &x1, p1, w1, &x2, p2, w2,
                                               &status);
        benchmark::DoNotOptimize(x2);
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_inter_of_2_circular_arcs);

// Baseline: the two crossing points by the plain formulas, without
// parameters, positions or checks; the ratio shows what those cost.
void BM_plain_circle_circle_points(benchmark::State &state) {
    const std::vector<ARC_SPLINE_1_seg_2d_s> v = crossing_pairs();
    int i = 0;
    for (auto _ : state) {
        const ARC_SPLINE_1_seg_2d_s &a = v[2 * i], &b = v[2 * i + 1];
        const double dx = b.center.x - a.center.x, dy = b.center.y - a.center.y;
        const double d2 = dx * dx + dy * dy, d = std::sqrt(d2);
        const double m = (d2 + a.radius * a.radius - b.radius * b.radius) / (2 * d);
        const double h = std::sqrt(a.radius * a.radius - m * m);
        PNT2_s x1{a.center.x + (m * dx - h * dy) / d, a.center.y + (m * dy + h * dx) / d};
        PNT2_s x2{a.center.x + (m * dx + h * dy) / d, a.center.y + (m * dy - h * dx) / d};
        benchmark::DoNotOptimize(x1);
        benchmark::DoNotOptimize(x2);
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_plain_circle_circle_points);

void BM_inter_circular_arc_line_seg(benchmark::State &state) {
    const std::vector<ARC_SPLINE_1_seg_2d_s> v = crossing_pairs();
    std::vector<ARC_SPLINE_1_seg_2d_s> lines;
    for (int i = 0; i < kCases; ++i) {
        // A secant through both centres of the pair.
        PNT2_s a = v[2 * i].center, b = v[2 * i + 1].center;
        const VEC2_s d{1, 0};
        ARC_SPLINE_1_seg_2d_s s;
        ARC_SPLINE_cre_strt_seg_2d(&a, &b, &d, &s);
        lines.push_back(s);
    }
    int i = 0;
    for (auto _ : state) {
        PNT2_s x1, x2;
        double p1[2], p2[2];
        int w1[2], w2[2], count, status;
        ARC_SPLINE_inter_circular_arc_line_seg_2d(&v[2 * i], &lines[i], 1, 0, tols, &count, &x1, p1, w1, &x2, p2, w2,
                                                  &status);
        benchmark::DoNotOptimize(x2);
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_inter_circular_arc_line_seg);

// The exterior and the interior common tangents share their arguments.
typedef void (*CommonTangents)(const ARC_SPLINE_1_seg_2d_s *, const ARC_SPLINE_1_seg_2d_s *, int, int, const double[],
                               int *, ARC_SPLINE_1_seg_2d_s *, ARC_SPLINE_1_seg_2d_s *, double[2], double[2], int *);

void BM_common_tangents(benchmark::State &state, CommonTangents tangents) {
    const std::vector<ARC_SPLINE_1_seg_2d_s> v = separate_pairs();
    int i = 0;
    for (auto _ : state) {
        ARC_SPLINE_1_seg_2d_s o1, o2;
        double p1[2], p2[2];
        int count, status;
        tangents(&v[2 * i], &v[2 * i + 1], 1, 1, tols, &count, &o1, &o2, p1, p2, &status);
        benchmark::DoNotOptimize(o2);
        i = (i + 1) % kCases;
    }
}
BENCHMARK_CAPTURE(BM_common_tangents, exterior, ARC_SPLINE_ask_tangents_exterior_to_circles_2d);
BENCHMARK_CAPTURE(BM_common_tangents, interior, ARC_SPLINE_ask_tangents_interior_to_circles_2d);

void BM_tangents_thru_a_point(benchmark::State &state) {
    const std::vector<ARC_SPLINE_1_seg_2d_s> v = separate_pairs();
    int i = 0;
    for (auto _ : state) {
        PNT2_s t1, t2;
        double parms[2];
        int where[2], count, status;
        ARC_SPLINE_ask_tangents_thru_a_point_2d(&v[2 * i], &v[2 * i + 1].center, 1, tols, &count, &t1, &t2, parms,
                                                where, &status);
        benchmark::DoNotOptimize(t2);
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_tangents_thru_a_point);

void BM_dist_pt_to_arc(benchmark::State &state) {
    const std::vector<ARC_SPLINE_1_seg_2d_s> v = crossing_pairs();
    int i = 0;
    for (auto _ : state) {
        PNT2_s foot;
        double parm;
        int where, status;
        benchmark::DoNotOptimize(
            ARC_SPLINE_ask_dist_pt_to_1_seg_2d(&v[2 * i], &v[2 * i + 1].center, 1, tols, &foot, &parm, &where, &status));
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_dist_pt_to_arc);

} // namespace
