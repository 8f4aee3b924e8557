// Circle constructions: time per call of the circles tangent to three
// circles (eight solutions), to two circles and a point (four), through two
// points tangent to a circle, and the fillet between two rays.  Inputs cycle
// through a fixed set of random configurations.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

const double tols[3] = {1e-7, 1e-4, 1e-9};
const int kCases = 256;

struct Three {
    quorm_point3 c[3];
    double r[3];
};

// Three mutually separate circles: eight tangent circles each.
std::vector<Three> separate_triples() {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<Three> v;
    while (static_cast<int>(v.size()) < kCases) {
        Three t;
        for (int j = 0; j < 3; ++j) {
            t.c[j] = quorm_point3{20 * u(rng), 20 * u(rng), 0.0};
            t.r[j] = 0.5 + 2 * u(rng);
        }
        bool ok = true;
        for (int j = 0; j < 3; ++j)
            for (int k = j + 1; k < 3; ++k)
                ok &= std::hypot(t.c[j].x - t.c[k].x, t.c[j].y - t.c[k].y) > 1.2 * (t.r[j] + t.r[k]);
        if (ok) v.push_back(t);
    }
    return v;
}

void BM_tangent_to_3_circles(benchmark::State &state) {
    const std::vector<Three> v = separate_triples();
    int i = 0;
    for (auto _ : state) {
        const Three &t = v[i];
        ARC_SPLINE_1_seg_2d_s segs[8];
        int count;
        ARC_SPLINE_cre_circle_tangent_to_3_circles(&t.c[0], t.r[0], &t.c[1], t.r[1], &t.c[2], t.r[2], &count, segs);
        benchmark::DoNotOptimize(segs[7]);
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_tangent_to_3_circles);

void BM_tangent_to_2_circles_and_a_pt(benchmark::State &state) {
    const std::vector<Three> v = separate_triples();
    int i = 0;
    for (auto _ : state) {
        const Three &t = v[i];
        ARC_SPLINE_1_seg_2d_s segs[4];
        int count;
        ARC_SPLINE_cre_circle_tangent_to_2_circles_and_a_pt(&t.c[0], t.r[0], &t.c[1], t.r[1], &t.c[2], &count, segs);
        benchmark::DoNotOptimize(segs[3]);
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_tangent_to_2_circles_and_a_pt);

void BM_thru_2_points_tangent_to_circle(benchmark::State &state) {
    const std::vector<Three> v = separate_triples();
    std::vector<ARC_SPLINE_1_seg_2d_s> circles;
    for (const Three &t : v) {
        ARC_SPLINE_1_seg_2d_s s;
        const PNT2_s c{t.c[0].x, t.c[0].y};
        ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, t.r[0], &s);
        circles.push_back(s);
    }
    int i = 0;
    for (auto _ : state) {
        const PNT2_s p1{v[i].c[1].x, v[i].c[1].y}, p2{v[i].c[2].x, v[i].c[2].y};
        ARC_SPLINE_1_seg_2d_s s1, s2;
        PNT2_s t1, t2;
        int count, status;
        ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(&p1, &p2, &circles[i], tols, &count, &t1, &t2, &s1, &s2,
                                                              &status);
        benchmark::DoNotOptimize(s2);
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_thru_2_points_tangent_to_circle);

void BM_arc_from_ray_to_ray(benchmark::State &state) {
    std::mt19937 rng(10);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<PNT2_s> p;
    std::vector<VEC2_s> d;
    for (int i = 0; i < 2 * kCases; ++i) {
        const double a = 6.283 * u(rng);
        p.push_back(PNT2_s{10 * u(rng), 10 * u(rng)});
        d.push_back(VEC2_s{std::cos(a), std::sin(a)});
    }
    int i = 0;
    for (auto _ : state) {
        ARC_SPLINE_1_seg_2d_s s;
        PNT2_s apex, a, b;
        double parms[2];
        int status, sense;
        ARC_SPLINE_cre_arc_from_ray_to_ray_2d(&p[2 * i], &d[2 * i], &p[2 * i + 1], &d[2 * i + 1], tols, 1.0, &status,
                                              &apex, parms, &a, &b, &sense, &s);
        benchmark::DoNotOptimize(s);
        i = (i + 1) % kCases;
    }
}
BENCHMARK(BM_arc_from_ray_to_ray);

} // namespace
