// Arc-spline segments: point projection onto an arc (foot, parameter and
// position) and arc evaluation, per call over a stream of points.  The peer is
// the closest-point search on the same arc represented as an exact rational
// curve.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#if QUORM_HAVE_SISL
#include <sisl.h>
#endif

namespace {

const double tols[3] = {1e-9, 1e-6, 1e-9};

struct Setup {
    ARC_SPLINE_1_seg_2d_s arc;
    std::vector<PNT2_s> points;
    std::vector<double> parms;
    Setup() {
        const PNT2_s p{2, 1};
        const VEC2_s t{0, 1};
        PNT2_s e;
        VEC2_s et;
        ARC_SPLINE_cre_arc_seg_2d(&p, &t, 135, 3, 1, &arc, &e, &et);
        std::mt19937_64 rng(1);
        std::uniform_real_distribution<double> d(-8.0, 8.0), a(0.0, 135.0);
        for (int i = 0; i < 1024; ++i) {
            points.push_back(PNT2_s{d(rng), d(rng)});
            parms.push_back(arc.start_angle + a(rng));
        }
    }
};

const Setup &setup() {
    static const Setup s;
    return s;
}

void BM_ARC_SPLINE_ask_parm_at_a_point_2d(benchmark::State &state) {
    const Setup &s = setup();
    size_t i = 0;
    PNT2_s foot;
    double parm;
    int where, status;
    for (auto _ : state) {
        ARC_SPLINE_ask_parm_at_a_point_2d(&s.arc, &s.points[i], tols, &foot, &parm, &where, &status);
        benchmark::DoNotOptimize(foot);
        benchmark::DoNotOptimize(parm);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_ARC_SPLINE_ask_parm_at_a_point_2d);

void BM_ARC_SPLINE_evaluate_arc_seg_2d(benchmark::State &state) {
    const Setup &s = setup();
    size_t i = 0;
    PNT2_s pt;
    VEC2_s tan;
    int status;
    for (auto _ : state) {
        ARC_SPLINE_evaluate_arc_seg_2d(&s.arc, 0, s.parms[i], &pt, &tan, &status);
        benchmark::DoNotOptimize(pt);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_ARC_SPLINE_evaluate_arc_seg_2d);

#if QUORM_HAVE_SISL
// The same arc (centre, start point, central angle) as an exact rational
// curve; closest point by the global search.
void BM_SISL_closest_point_on_arc(benchmark::State &state) {
    const Setup &s = setup();
    double start[3] = {s.arc.start_pt.x, s.arc.start_pt.y, 0.0};
    double centre[3] = {s.arc.center.x, s.arc.center.y, 0.0};
    double axis[3] = {0.0, 0.0, 1.0};
    SISLCurve *curve = nullptr;
    int stat = 0;
    s1303(start, 1e-9, 135.0 * 3.141592653589793 / 180.0, centre, axis, 3, &curve, &stat);
    if (!curve || stat < 0) {
        state.SkipWithError("no rational arc");
        return;
    }
    size_t i = 0;
    for (auto _ : state) {
        double pt[3] = {s.points[i].x, s.points[i].y, 0.0};
        double par = 0.0, dist = 0.0;
        s1957(curve, pt, 3, 1e-12, 1e-9, &par, &dist, &stat);
        benchmark::DoNotOptimize(par);
        benchmark::DoNotOptimize(dist);
        i = (i + 1) & 1023;
    }
    freeCurve(curve);
}
BENCHMARK(BM_SISL_closest_point_on_arc);
#endif

} // namespace
