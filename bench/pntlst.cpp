// Bounding box of a cubic B-curve with 1 000 spans (beside SISL's curve box,
// which bounds the control polygon), span-to-Bezier conversion beside SISL's,
// and the growth of point lists by single appends against insertion.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#ifdef QUORM_HAVE_SISL
#include <sisl.h>
#endif

namespace {

struct CubicCurve {
    int order = 4, poles;
    std::vector<double> h, xyz, knots;

    explicit CubicCurve(int spans) : poles(spans + 3) {
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> u(-1, 1);
        for (int i = 0; i < poles; ++i) {
            double p[3] = {i + 0.3 * u(rng), std::sin(0.1 * i) + 0.2 * u(rng), 0.5 * u(rng)};
            for (double c : p) {
                h.push_back(c);
                xyz.push_back(c);
            }
            h.push_back(1.0);
        }
        knots.assign(order, 0.0);
        for (int i = 1; i < spans; ++i) knots.push_back(static_cast<double>(i) / spans);
        knots.insert(knots.end(), order, 1.0);
    }
};

} // namespace

static void BM_bc_xyz_box_cubic(benchmark::State &state) {
    acom.eq_tol[0] = 1e-10;
    acom.eq_tol[2] = 1e-16;
    CubicCurve c(static_cast<int>(state.range(0)));
    BCURVE_DATA data{c.h.data(), c.knots.data(), c.poles, c.order, 0, 0};
    double range[] = {0.0, 1.0}, box[6];
    for (auto _ : state) {
        bc_xyz_box(&data, range, box);
        benchmark::DoNotOptimize(box);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_bc_xyz_box_cubic)->Arg(1000);

#ifdef QUORM_HAVE_SISL
static void BM_sisl_s1988_cubic(benchmark::State &state) {
    CubicCurve c(static_cast<int>(state.range(0)));
    SISLCurve *curve = newCurve(c.poles, c.order, c.knots.data(), c.xyz.data(), 1, 3, 1);
    for (auto _ : state) {
        double *emax = nullptr, *emin = nullptr;
        int status = 0;
        s1988(curve, &emax, &emin, &status);
        benchmark::DoNotOptimize(emax);
        free(emax);
        free(emin);
    }
    freeCurve(curve);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_sisl_s1988_cubic)->Arg(1000);
#endif

// Bezier polygons of every span of the same curve: the kernel's span
// conversion beside SISL's whole-curve conversion.
static void BM_e0925_all_spans(benchmark::State &state) {
    CubicCurve c(static_cast<int>(state.range(0)));
    int degree = c.order - 1;
    std::vector<double> out(4 * c.order * (c.poles - degree));
    for (auto _ : state) {
        for (int span = degree; span < c.poles; ++span)
            e0925(&degree, c.knots.data() + span - degree, c.h.data() + 4 * (span - degree),
                  out.data() + 4 * c.order * (span - degree));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_e0925_all_spans)->Arg(1000);

#ifdef QUORM_HAVE_SISL
static void BM_sisl_s1730_all_spans(benchmark::State &state) {
    CubicCurve c(static_cast<int>(state.range(0)));
    SISLCurve *curve = newCurve(c.poles, c.order, c.knots.data(), c.xyz.data(), 1, 3, 1);
    for (auto _ : state) {
        SISLCurve *bezier = nullptr;
        int status = 0;
        s1730(curve, &bezier, &status);
        benchmark::DoNotOptimize(bezier);
        freeCurve(bezier);
    }
    freeCurve(curve);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_sisl_s1730_all_spans)->Arg(1000);
#endif

// Appending one point at a time grows the array by one point per call.
static void BM_PNTLST_concat_one_point(benchmark::State &state) {
    int n = static_cast<int>(state.range(0));
    double p[3] = {1, 2, 3};
    for (auto _ : state) {
        PNTLST_s *l = PNTLST_allocate_struct(3, 1);
        for (int i = 0; i < n; ++i) PNTLST_concat_one_point(l, p);
        benchmark::DoNotOptimize(l->points);
        PNTLST_free_structure(l);
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_PNTLST_concat_one_point)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();

// Inserting at the end grows the capacity geometrically.
static void BM_PNTLST_insert_at_end(benchmark::State &state) {
    int n = static_cast<int>(state.range(0));
    double p[3] = {1, 2, 3};
    for (auto _ : state) {
        PNTLST_s *l = PNTLST_allocate_struct(3, 1);
        for (int i = 0; i < n; ++i) PNTLST_insert_points(l, 1, l->num_points, p);
        benchmark::DoNotOptimize(l->points);
        PNTLST_free_structure(l);
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_PNTLST_insert_at_end)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();
