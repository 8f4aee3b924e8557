// The ellipse refinement: a whole Levenberg-Marquardt run on noisy points of
// an ellipse from a perturbed start, next to cminpack's lmdif on the same
// residuals with the same settings (both take the same path, step for step).
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#ifdef QUORM_HAVE_CMINPACK
#include <cminpack.h>
#endif

#if QUORM_FULL_BUILD

namespace {

struct Problem {
    std::vector<PNT2_s> pts;
    std::vector<double> start;
};

Problem make_problem(int m) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> angle(0.0, 2.0 * M_PI);
    std::normal_distribution<double> noise(0.0, 0.01);
    const double cx = 1.0, cy = -0.5, A = 3.0, B = 1.2, th = 0.4, cs = std::cos(th), sn = std::sin(th);
    Problem p;
    for (int i = 0; i < m; ++i) {
        const double t = angle(rng), u = A * std::cos(t), v = B * std::sin(t);
        p.pts.push_back(PNT2_s{cx + cs * u - sn * v + noise(rng), cy + sn * u + cs * v + noise(rng)});
    }
    // Coefficients of the true conic, perturbed.
    const double ia = 1 / (A * A), ib = 1 / (B * B);
    const double q00 = cs * cs * ia + sn * sn * ib, q01 = cs * sn * (ia - ib), q11 = sn * sn * ia + cs * cs * ib;
    const double d = -(q00 * cx + q01 * cy), e = -(q01 * cx + q11 * cy);
    const double f = q00 * cx * cx + 2 * q01 * cx * cy + q11 * cy * cy - 1;
    p.start = {1.2 * q01 / q00, 0.9 * q11 / q00, 1.1 * d / q00, 0.8 * e / q00, 1.1 * f / q00};
    return p;
}

struct Work {
    std::vector<double> x, fvec, diag, fjac, qtf, wa1, wa2, wa3, wa4;
    std::vector<int> ipvt;
    explicit Work(int m)
        : x(5), fvec(m), diag(5), fjac(5 * m), qtf(5), wa1(5), wa2(5), wa3(5), wa4(m), ipvt(5) {}
};

void BM_quorm_ellipse_lm(benchmark::State &state) {
    const int m = static_cast<int>(state.range(0));
    const Problem p = make_problem(m);
    Work w(m);
    int info = 0, nfev = 0;
    for (auto _ : state) {
        w.x = p.start;
        double norm = LSFIT_nonlinear_function(p.pts.data(), m, 5, w.x.data(), w.fvec.data(), 1e-12, 1e-12, 0.0, 1000,
                                               1e-12, w.diag.data(), 1, 100.0, 0, &info, &nfev, w.fjac.data(), m,
                                               w.ipvt.data(), w.qtf.data(), w.wa1.data(), w.wa2.data(), w.wa3.data(),
                                               w.wa4.data());
        benchmark::DoNotOptimize(norm);
    }
    state.counters["nfev"] = nfev;
}
BENCHMARK(BM_quorm_ellipse_lm)->Arg(20)->Arg(200);

#ifdef QUORM_HAVE_CMINPACK
int residual(void *p, int m, int n, const double *x, double *fvec, int) {
    LSFIT_ellipse_func(static_cast<const PNT2_s *>(p), m, n, x, fvec, nullptr);
    return 0;
}

void BM_cminpack_ellipse_lm(benchmark::State &state) {
    const int m = static_cast<int>(state.range(0));
    Problem p = make_problem(m);
    Work w(m);
    int nfev = 0;
    for (auto _ : state) {
        w.x = p.start;
        int info = lmdif(residual, p.pts.data(), m, 5, w.x.data(), w.fvec.data(), 1e-12, 1e-12, 0.0, 1000, 1e-12,
                         w.diag.data(), 1, 100.0, 0, &nfev, w.fjac.data(), m, w.ipvt.data(), w.qtf.data(),
                         w.wa1.data(), w.wa2.data(), w.wa3.data(), w.wa4.data());
        benchmark::DoNotOptimize(info);
    }
    state.counters["nfev"] = nfev;
}
BENCHMARK(BM_cminpack_ellipse_lm)->Arg(20)->Arg(200);
#endif

} // namespace

#endif
