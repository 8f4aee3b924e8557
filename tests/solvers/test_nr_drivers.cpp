// Simpson integration, downhill simplex and the adaptive Runge-Kutta
// integrator, against closed forms and GSL.
#include <quorm/quorm.h>

#include <corvex/corvex.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <stdexcept>
#include <vector>

#if QUORM_HAVE_GSL
#include <gsl/gsl_errno.h>
#include <gsl/gsl_integration.h>
#include <gsl/gsl_multimin.h>
#include <gsl/gsl_odeiv2.h>
#endif

namespace {

// ---- integrands --------------------------------------------------------------

struct Integrand {
    std::vector<std::function<double(double)>> parts;
    int calls = 0, last_stage = 0;
};

void integrand(void *data, const double *x, double *values, int *stage) {
    auto *in = static_cast<Integrand *>(data);
    ++in->calls;
    in->last_stage = *stage;
    for (size_t i = 0; i < in->parts.size(); ++i) values[i] = in->parts[i](*x);
}

// ---- functions to minimise ---------------------------------------------------

struct Objective {
    std::function<double(const double *)> fn;
    int calls = 0;
};

double objective(double *x, void *data) {
    auto *o = static_cast<Objective *>(data);
    ++o->calls;
    return o->fn(x);
}

double rosenbrock(const double *x) { return 100.0 * std::pow(x[1] - x[0] * x[0], 2) + std::pow(1.0 - x[0], 2); }

// Simplex around start with step along each axis; y evaluated.
void make_simplex(const std::vector<double> &start, double step, Objective &obj, std::vector<double> &p,
                  std::vector<double> &y) {
    const int n = static_cast<int>(start.size());
    p.assign(static_cast<size_t>(n + 1) * n, 0.0);
    y.assign(n + 1, 0.0);
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j < n; ++j) p[i * n + j] = start[j] + (i == j + 1 ? step : 0.0);
        y[i] = obj.fn(&p[i * n]);
    }
}

// Best vertex of a final simplex.
std::vector<double> best_vertex(const std::vector<double> &p, const std::vector<double> &y, int n) {
    int best = 0;
    for (int i = 1; i <= n; ++i)
        if (y[i] < y[best]) best = i;
    return std::vector<double>(p.begin() + best * n, p.begin() + (best + 1) * n);
}

// ---- differential equations --------------------------------------------------

struct Equation {
    std::function<double(double, double)> rhs;
    int calls = 0;
    int fail_from = -1, fail_until = -1, code = 0; // fail on calls in [fail_from, fail_until)
};

void equation(void *data, double *x, double *y, double *dydx, int *status) {
    auto *e = static_cast<Equation *>(data);
    const int call = e->calls++;
    if (call >= e->fail_from && call < e->fail_until) {
        *status = e->code;
        return;
    }
    *dydx = e->rhs(*x, *y);
    *status = 0;
}

} // namespace

// ---- NR_qsimp -----------------------------------------------------------------

TEST(Simpson, QuadraticConvergesAtTheThirdStage) {
    Integrand in{{[](double x) { return x * x; }}};
    double result = 0.0;
    int status = -1;
    NR_qsimp(&in, integrand, 1, 0.0, 1.0, 1e-8, 20, &result, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(result, 1.0 / 3.0, 1e-15);
    EXPECT_EQ(in.last_stage, 3);
    EXPECT_EQ(in.calls, 2 + 1 + 2); // stages of 2, 1 and 2 new points
}

TEST(Simpson, ComponentsAgainstClosedFormsAndPeer) {
    Integrand in{{[](double) { return 1.0; }, [](double x) { return x * x * x; }, [](double x) { return std::sin(x); },
                  [](double x) { return std::exp(x); }, [](double x) { return 1.0 / (1.0 + x * x); },
                  [](double x) { return std::exp(-x * x); }}};
    const double a = -0.5, b = 2.0;
    double result[6];
    int status = -1;
    NR_qsimp(&in, integrand, 6, a, b, 1e-10, 25, result, &status);
    ASSERT_EQ(status, 0);
    EXPECT_NEAR(result[0], b - a, 1e-14);
    EXPECT_NEAR(result[1], (std::pow(b, 4) - std::pow(a, 4)) / 4.0, 1e-12);
    EXPECT_NEAR(result[2], std::cos(a) - std::cos(b), 1e-9);
    EXPECT_NEAR(result[3], std::exp(b) - std::exp(a), 1e-8);
    EXPECT_NEAR(result[4], std::atan(b) - std::atan(a), 1e-9);
    // Reversed interval gives the negated integrals.
    double reversed[6];
    NR_qsimp(&in, integrand, 6, b, a, 1e-10, 25, reversed, &status);
    ASSERT_EQ(status, 0);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(reversed[i], -result[i], 1e-8);
#if QUORM_HAVE_GSL
    gsl_integration_workspace *w = gsl_integration_workspace_alloc(100);
    gsl_function g;
    g.function = [](double x, void *) { return std::exp(-x * x); };
    g.params = nullptr;
    double peer = 0.0, err = 0.0;
    gsl_integration_qags(&g, a, b, 0.0, 1e-13, 100, w, &peer, &err);
    gsl_integration_workspace_free(w);
    EXPECT_NEAR(result[5], peer, 1e-9);
#endif
}

TEST(Simpson, FailuresWriteNoResult) {
    Integrand nine{std::vector<std::function<double(double)>>(9, [](double x) { return x; })};
    double result[9] = {7, 7, 7, 7, 7, 7, 7, 7, 7};
    int status = -1;
    NR_qsimp(&nine, integrand, 9, 0.0, 1.0, 1e-6, 10, result, &status);
    EXPECT_EQ(status, 2);
    NR_qsimp(&nine, integrand, -1, 0.0, 1.0, 1e-6, 10, result, &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(nine.calls, 0);

    // Two stages can never converge for eps < 1; nor can a NaN integrand or
    // a non-polynomial one within too few stages.
    Integrand cube{{[](double x) { return x * x * x; }}};
    NR_qsimp(&cube, integrand, 1, 0.0, 1.0, 1e-6, 2, result, &status);
    EXPECT_EQ(status, 1);
    Integrand nan{{[](double x) { return x < 0.3 ? NAN : x; }}};
    NR_qsimp(&nan, integrand, 1, 0.0, 1.0, 1e-6, 12, result, &status);
    EXPECT_EQ(status, 1);
    Integrand wave{{[](double x) { return std::sin(40.0 * x); }}};
    NR_qsimp(&wave, integrand, 1, 0.0, 3.0, 1e-12, 5, result, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(result[0], 7.0);
}

// ---- NR_amoeba ----------------------------------------------------------------

TEST(DownhillSimplex, RosenbrockAndQuadraticsReachTheirMinima) {
    Objective rosen{rosenbrock};
    std::vector<double> p, y;
    make_simplex({-1.2, 1.0}, 0.5, rosen, p, y);
    int nfunk = -1;
    EXPECT_EQ(NR_amoeba(p.data(), y.data(), 2, 1e-12, 5000, objective, &rosen, &nfunk), 0);
    EXPECT_EQ(nfunk, rosen.calls);
    std::vector<double> xbest = best_vertex(p, y, 2);
    EXPECT_NEAR(xbest[0], 1.0, 1e-5);
    EXPECT_NEAR(xbest[1], 1.0, 1e-5);

    // Random positive definite quadratics 0.5 (x - m)^T A (x - m) in 2 to 6
    // variables.  The search ends once the spread of values is below ftol
    // times the vertex distance, so the values must be able to get that
    // small: the minimum value is 0.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int n = 2; n <= 6; ++n) {
        std::vector<double> A(n * n), xmin(n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) A[i * n + j] = (i == j ? n : 0.0) + 0.3 * u(rng);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < i; ++j) A[i * n + j] = A[j * n + i];
        for (double &v : xmin) v = 2 * u(rng);
        Objective quad{[A, xmin, n](const double *x) {
            double s = 0.0;
            for (int i = 0; i < n; ++i) {
                double ax = 0.0;
                for (int j = 0; j < n; ++j) ax += A[i * n + j] * (x[j] - xmin[j]);
                s += 0.5 * (x[i] - xmin[i]) * ax;
            }
            return s;
        }};
        make_simplex(std::vector<double>(n, 0.0), 1.0, quad, p, y);
        ASSERT_EQ(NR_amoeba(p.data(), y.data(), n, 1e-12, 200000, objective, &quad, &nfunk), 0) << n;
        xbest = best_vertex(p, y, n);
        for (int j = 0; j < n; ++j) EXPECT_NEAR(xbest[j], xmin[j], 1e-5) << n;
    }
}

#if QUORM_HAVE_GSL
TEST(DownhillSimplex, AgreesWithPeerOnRosenbrockFromSeededStarts) {
    std::mt19937 rng(8);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    for (int trial = 0; trial < 10; ++trial) {
        const std::vector<double> start = {u(rng), u(rng)};
        Objective rosen{rosenbrock};
        std::vector<double> p, y;
        make_simplex(start, 0.3, rosen, p, y);
        int nfunk = 0;
        ASSERT_EQ(NR_amoeba(p.data(), y.data(), 2, 1e-13, 20000, objective, &rosen, &nfunk), 0);
        const std::vector<double> ours = best_vertex(p, y, 2);

        gsl_multimin_function fn;
        fn.n = 2;
        fn.f = [](const gsl_vector *v, void *) {
            const double x[2] = {gsl_vector_get(v, 0), gsl_vector_get(v, 1)};
            return rosenbrock(x);
        };
        fn.params = nullptr;
        gsl_vector *x0 = gsl_vector_alloc(2), *ss = gsl_vector_alloc(2);
        gsl_vector_set(x0, 0, start[0]);
        gsl_vector_set(x0, 1, start[1]);
        gsl_vector_set_all(ss, 0.3);
        gsl_multimin_fminimizer *s = gsl_multimin_fminimizer_alloc(gsl_multimin_fminimizer_nmsimplex2, 2);
        gsl_multimin_fminimizer_set(s, &fn, x0, ss);
        for (int it = 0; it < 20000 && gsl_multimin_fminimizer_size(s) > 1e-10; ++it) gsl_multimin_fminimizer_iterate(s);
        EXPECT_NEAR(ours[0], gsl_vector_get(s->x, 0), 1e-5) << trial;
        EXPECT_NEAR(ours[1], gsl_vector_get(s->x, 1), 1e-5) << trial;
        gsl_multimin_fminimizer_free(s);
        gsl_vector_free(x0);
        gsl_vector_free(ss);
    }
}
#endif

TEST(DownhillSimplex, EndingsWithoutSearchAndTheBudget) {
    Objective flat{[](const double *) { return 3.0; }};
    std::vector<double> p = {0, 0, 1, 0, 0, 1}, y = {3, 3, 3};
    int nfunk = -1;
    EXPECT_EQ(NR_amoeba(p.data(), y.data(), 2, 1e-6, 100, objective, &flat, &nfunk), 0);
    EXPECT_EQ(nfunk, 0);
    EXPECT_EQ(flat.calls, 0);

    Objective rosen{rosenbrock};
    make_simplex({-1.2, 1.0}, 0.5, rosen, p, y);
    const std::vector<double> p0 = p, y0 = y;
    EXPECT_EQ(NR_amoeba(p.data(), y.data(), 2, 1e-6, 0, objective, &rosen, &nfunk), -1);
    EXPECT_EQ(nfunk, 0);
    EXPECT_EQ(p, p0);
    EXPECT_EQ(y, y0);
    // The budget stops the search; a shrink may add up to ndim evaluations.
    for (int nmax : {1, 5, 17, 40}) {
        make_simplex({-1.2, 1.0}, 0.5, rosen, p, y);
        rosen.calls = 0;
        EXPECT_EQ(NR_amoeba(p.data(), y.data(), 2, 1e-14, nmax, objective, &rosen, &nfunk), -1);
        EXPECT_EQ(nfunk, rosen.calls);
        EXPECT_GE(nfunk, nmax);
        EXPECT_LE(nfunk, nmax + 2);
    }
    EXPECT_EQ(NR_amoeba(p.data(), y.data(), 0, 1e-6, 10, objective, &rosen, &nfunk), 0);
    EXPECT_EQ(nfunk, 0);
}

TEST(DownhillSimplex, FailedContractionShrinksTowardsTheBest) {
    // 1-D simplex {0, 1}: the reflection to -1 and the contraction to 0.5
    // are both worse than the worst vertex, so vertex 1 moves half-way to
    // the best one and is re-evaluated: three evaluations in all.
    Objective steps{[](const double *x) { return *x == 0.0 ? 0.0 : *x == 1.0 ? 1.0 : *x == -1.0 ? 5.0 : 2.0; }};
    std::vector<double> p = {0.0, 1.0}, y = {0.0, 1.0};
    int nfunk = 0;
    EXPECT_EQ(NR_amoeba(p.data(), y.data(), 1, 1e-12, 1, objective, &steps, &nfunk), -1);
    EXPECT_EQ(nfunk, 3);
    EXPECT_EQ(steps.calls, 3);
    EXPECT_EQ(p, (std::vector<double>{0.0, 0.5}));
    EXPECT_EQ(y, (std::vector<double>{0.0, 2.0}));
}

TEST(DownhillSimplex, ExceptionFromTheFunctionDoesNotLeak) {
    Objective throws{[](const double *x) -> double {
        if (x[0] > 0.2) throw std::runtime_error("host failure");
        return x[0] * x[0] + x[1] * x[1];
    }};
    std::vector<double> p = {0, 0.5, 0.1, 0.5, 0, 0.6}, y = {0.25, 0.26, 0.36};
    int nfunk = 0;
    const long blocks = CORVEX_blocks_in_use();
    EXPECT_THROW(NR_amoeba(p.data(), y.data(), 2, 1e-12, 1000, objective, &throws, &nfunk), std::runtime_error);
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
}

// ---- NR_odeint ----------------------------------------------------------------

TEST(RungeKutta, ClosedFormSolutionsForwardAndBackward) {
    Equation grow{[](double, double y) { return y; }};
    double y = 1.0;
    int status = -9;
    NR_odeint(&y, 0.0, 1.0, 1e-10, 0.1, 0.0, &grow, equation, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(y, std::exp(1.0), 1e-8);

    Equation gauss{[](double x, double y) { return -2.0 * x * y; }};
    for (double x2 : {0.5, 2.0, -1.5}) {
        y = 1.0;
        NR_odeint(&y, 0.0, x2, 1e-10, 0.01, 0.0, &gauss, equation, &status);
        EXPECT_EQ(status, 0) << x2;
        EXPECT_NEAR(y, std::exp(-x2 * x2), 1e-8) << x2;
    }
    // Backwards from x = 2 to 0.
    y = std::exp(-4.0);
    NR_odeint(&y, 2.0, 0.0, 1e-10, 0.01, 0.0, &gauss, equation, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(y, 1.0, 1e-7);
}

#if QUORM_HAVE_GSL
TEST(RungeKutta, AgreesWithPeerOnANonlinearEquation) {
    // y' = sin(x y) + cos(y): no closed form.
    auto rhs = [](double x, double y) { return std::sin(x * y) + std::cos(y); };
    Equation e{rhs};
    gsl_odeiv2_system sys;
    sys.function = [](double x, const double y[], double dydt[], void *) -> int {
        dydt[0] = std::sin(x * y[0]) + std::cos(y[0]);
        return GSL_SUCCESS;
    };
    sys.jacobian = nullptr;
    sys.dimension = 1;
    sys.params = nullptr;
    for (double x2 : {1.0, 3.0, 6.0}) {
        double y = 0.3;
        int status = -9;
        NR_odeint(&y, 0.0, x2, 1e-11, 0.01, 0.0, &e, equation, &status);
        ASSERT_EQ(status, 0);
        gsl_odeiv2_driver *d = gsl_odeiv2_driver_alloc_y_new(&sys, gsl_odeiv2_step_rk8pd, 1e-6, 1e-13, 0.0);
        double t = 0.0, yp[1] = {0.3};
        ASSERT_EQ(gsl_odeiv2_driver_apply(d, &t, x2, yp), GSL_SUCCESS);
        gsl_odeiv2_driver_free(d);
        EXPECT_NEAR(y, yp[0], 1e-8) << x2;
    }
}
#endif

TEST(RungeKutta, FailureStatusesLeaveYUnchanged) {
    Equation grow{[](double, double y) { return y; }};
    double y = 1.0;
    int status = -9;
    // x1 = x2: the first step is cut to 0.
    NR_odeint(&y, 0.5, 0.5, 1e-8, 0.1, 0.0, &grow, equation, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(y, 1.0);
    // The next step would be no larger than hmin.
    NR_odeint(&y, 0.0, 1.0, 1e-8, 0.01, 0.5, &grow, equation, &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(y, 1.0);
    // Far too many steps for a stiff accuracy demand on a fast oscillation.
    Equation wave{[](double x, double) { return std::cos(50.0 * x); }};
    NR_odeint(&y, 0.0, 2000.0, 1e-13, 1e-3, 0.0, &wave, equation, &status);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(y, 1.0);
}

TEST(RungeKutta, NonFiniteErrorEstimateEndsTheIntegration) {
    // A NaN derivative, and eps = 0 on an equation the step integrates
    // exactly (0/0), both end with status 1 instead of retrying for ever.
    Equation nan_rhs{[](double x, double y) { return x > 0.3 ? NAN : y; }};
    double y = 1.0;
    int status = -9;
    NR_odeint(&y, 0.0, 1.0, 1e-8, 0.1, 0.0, &nan_rhs, equation, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(y, 1.0);
    Equation line{[](double, double) { return 2.0; }};
    NR_odeint(&y, 0.0, 1.0, 0.0, 0.1, 0.0, &line, equation, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(y, 1.0);
    EXPECT_LT(line.calls, 100);
    // A NaN first step as well.
    NR_odeint(&y, 0.0, 1.0, 1e-8, NAN, 0.0, &line, equation, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(y, 1.0);
}

TEST(RungeKutta, CallbackFailures) {
    // Failing at the start of the integration: code + 3.
    Equation always{[](double, double y) { return y; }, 0, 0, 1 << 30, 2};
    double y = 1.0;
    int status = -9;
    NR_odeint(&y, 0.0, 1.0, 1e-8, 0.1, 0.0, &always, equation, &status);
    EXPECT_EQ(status, 5);
    EXPECT_EQ(y, 1.0);
    EXPECT_EQ(always.calls, 1);
    // Failing inside the first step (its calls 1 to 10): the step is halved
    // and retried, and the integration still reaches e.
    for (int from : {1, 3, 4, 5, 9, 10}) {
        Equation inside{[](double, double y) { return y; }, 0, from, from + 1, 4};
        y = 1.0;
        NR_odeint(&y, 0.0, 1.0, 1e-10, 0.1, 0.0, &inside, equation, &status);
        EXPECT_EQ(status, 0) << from;
        EXPECT_NEAR(y, std::exp(1.0), 1e-8) << from;
    }
}
