// The callback drivers next to GSL on the same problems: Simpson integration
// of a smooth integrand (GSL: non-adaptive Gauss-Kronrod qng and Romberg),
// the downhill simplex on Rosenbrock's function (GSL: nmsimplex2) and the
// adaptive Runge-Kutta integrator on y' = -2xy (GSL: rkck, the same order of
// method, with an error control of the same kind).  The algorithms differ:
// the ratios compare whole tasks at equal requested accuracy.
#include <quorm/quorm.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#ifdef QUORM_HAVE_GSL
#include <gsl/gsl_errno.h>
#include <gsl/gsl_integration.h>
#include <gsl/gsl_multimin.h>
#include <gsl/gsl_odeiv2.h>
#endif

namespace {

double smooth(double x) { return std::exp(-x * x) * std::cos(3.0 * x); }

void integrand(void *, const double *x, double *values, int *) { values[0] = smooth(*x); }

void BM_quorm_qsimp(benchmark::State &state) {
    double result = 0.0;
    int status = 0;
    for (auto _ : state) {
        NR_qsimp(nullptr, integrand, 1, 0.0, 2.0, 1e-10, 30, &result, &status);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_quorm_qsimp);

double rosenbrock(double *x, void *) { return 100.0 * std::pow(x[1] - x[0] * x[0], 2) + std::pow(1.0 - x[0], 2); }

void BM_quorm_amoeba(benchmark::State &state) {
    for (auto _ : state) {
        double p[6] = {-1.2, 1.0, -0.9, 1.0, -1.2, 1.3};
        double y[3];
        for (int i = 0; i < 3; ++i) y[i] = rosenbrock(p + 2 * i, nullptr);
        int nfunk = 0;
        benchmark::DoNotOptimize(NR_amoeba(p, y, 2, 1e-10, 10000, rosenbrock, nullptr, &nfunk));
    }
}
BENCHMARK(BM_quorm_amoeba);

void gauss_rhs(void *, double *x, double *y, double *dydx, int *status) {
    *dydx = -2.0 * *x * *y;
    *status = 0;
}

void BM_quorm_odeint(benchmark::State &state) {
    for (auto _ : state) {
        double y = 1.0;
        int status = 0;
        NR_odeint(&y, 0.0, 3.0, 1e-10, 0.01, 0.0, nullptr, gauss_rhs, &status);
        benchmark::DoNotOptimize(y);
    }
}
BENCHMARK(BM_quorm_odeint);

#ifdef QUORM_HAVE_GSL
double gsl_smooth(double x, void *) { return smooth(x); }

void BM_gsl_qng(benchmark::State &state) {
    gsl_function f{gsl_smooth, nullptr};
    for (auto _ : state) {
        double result = 0.0, err = 0.0;
        size_t neval = 0;
        gsl_integration_qng(&f, 0.0, 2.0, 0.0, 1e-10, &result, &err, &neval);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_gsl_qng);

void BM_gsl_romberg(benchmark::State &state) {
    gsl_function f{gsl_smooth, nullptr};
    gsl_integration_romberg_workspace *w = gsl_integration_romberg_alloc(20);
    for (auto _ : state) {
        double result = 0.0;
        size_t neval = 0;
        gsl_integration_romberg(&f, 0.0, 2.0, 0.0, 1e-10, &result, &neval, w);
        benchmark::DoNotOptimize(result);
    }
    gsl_integration_romberg_free(w);
}
BENCHMARK(BM_gsl_romberg);

double gsl_rosenbrock(const gsl_vector *v, void *) {
    const double a = gsl_vector_get(v, 0), b = gsl_vector_get(v, 1);
    return 100.0 * (b - a * a) * (b - a * a) + (1.0 - a) * (1.0 - a);
}

void BM_gsl_nmsimplex2(benchmark::State &state) {
    gsl_multimin_function fn{gsl_rosenbrock, 2, nullptr};
    gsl_vector *x0 = gsl_vector_alloc(2), *ss = gsl_vector_alloc(2);
    gsl_multimin_fminimizer *s = gsl_multimin_fminimizer_alloc(gsl_multimin_fminimizer_nmsimplex2, 2);
    for (auto _ : state) {
        gsl_vector_set(x0, 0, -1.2);
        gsl_vector_set(x0, 1, 1.0);
        gsl_vector_set_all(ss, 0.3);
        gsl_multimin_fminimizer_set(s, &fn, x0, ss);
        for (int it = 0; it < 10000 && gsl_multimin_fminimizer_size(s) > 1e-6; ++it)
            gsl_multimin_fminimizer_iterate(s);
        benchmark::DoNotOptimize(s->fval);
    }
    gsl_multimin_fminimizer_free(s);
    gsl_vector_free(x0);
    gsl_vector_free(ss);
}
BENCHMARK(BM_gsl_nmsimplex2);

int gsl_gauss(double x, const double y[], double dydx[], void *) {
    dydx[0] = -2.0 * x * y[0];
    return GSL_SUCCESS;
}

void BM_gsl_rkck(benchmark::State &state) {
    gsl_odeiv2_system sys{gsl_gauss, nullptr, 1, nullptr};
    gsl_odeiv2_driver *d = gsl_odeiv2_driver_alloc_y_new(&sys, gsl_odeiv2_step_rkck, 0.01, 0.0, 1e-10);
    for (auto _ : state) {
        gsl_odeiv2_driver_reset(d);
        double t = 0.0, y[1] = {1.0};
        gsl_odeiv2_driver_apply(d, &t, 3.0, y);
        benchmark::DoNotOptimize(y[0]);
    }
    gsl_odeiv2_driver_free(d);
}
BENCHMARK(BM_gsl_rkck);
#endif

} // namespace
