// Integration, minimisation and ordinary differential equations through the
// caller's callbacks: Simpson's rule by trapezoid refinement, the downhill
// simplex method and an adaptive fourth-order Runge-Kutta integrator.
#include "foundation/quorm_internal.h"

#include <quorm/nr_drivers.h>

#include <climits>
#include <cmath>

namespace {

// Number of interior points the next trapezoid stage evaluates.  Kept
// between the stages of one NR_qsimp call in a process-wide variable.
int qsimp_points = 0;

// Trapezoid stage j (1-based) for the count components of f over [a, b],
// refining st in place.  Returns false when the next point count would not
// fit an int.
bool trapezoid_stage(void *data, NR_qsimp_func_t f, int count, double a, double b, int j, double *st) {
    double fa[NR_QSIMP_MAX_COUNT], fb[NR_QSIMP_MAX_COUNT];
    int stage = j;
    if (j == 1) {
        qsimp_points = 1;
        f(data, &a, fa, &stage);
        f(data, &b, fb, &stage);
        for (int i = 0; i < count; ++i) st[i] = 0.5 * (b - a) * (fa[i] + fb[i]);
        return true;
    }
    if (qsimp_points > INT_MAX / 2) return false;
    const int k = qsimp_points;
    const double del = (b - a) / k;
    double sum[NR_QSIMP_MAX_COUNT] = {0.0};
    for (int m = 0; m < k; ++m) {
        const double x = a + (m + 0.5) * del;
        f(data, &x, fa, &stage);
        for (int i = 0; i < count; ++i) sum[i] += fa[i];
    }
    for (int i = 0; i < count; ++i) st[i] = 0.5 * (st[i] + (b - a) * sum[i] / k);
    qsimp_points = 2 * k;
    return true;
}

// The trial vertex of the simplex for the factor fac (reflection -1,
// expansion 2, contraction 0.5) through the face opposite vertex ihi; it
// replaces vertex ihi when its value is lower.  Returns the trial value.
double amoeba_try(double *p, double *y, double *psum, double *trial, int ndim, int ihi, double fac,
                  NR_amoeba_func_t f, void *data, int *nfunk) {
    const double fac1 = (1.0 - fac) / ndim;
    const double fac2 = fac1 - fac;
    double *worst = p + static_cast<ptrdiff_t>(ihi) * ndim;
    for (int j = 0; j < ndim; ++j) trial[j] = psum[j] * fac1 - worst[j] * fac2;
    const double ytry = f(trial, data);
    ++*nfunk;
    if (ytry < y[ihi]) {
        y[ihi] = ytry;
        for (int j = 0; j < ndim; ++j) {
            psum[j] += trial[j] - worst[j];
            worst[j] = trial[j];
        }
    }
    return ytry;
}

void simplex_sums(const double *p, int ndim, double *psum) {
    for (int j = 0; j < ndim; ++j) {
        double s = 0.0;
        for (int i = 0; i <= ndim; ++i) s += p[static_cast<ptrdiff_t>(i) * ndim + j];
        psum[j] = s;
    }
}

int amoeba_search(double *p, double *y, int ndim, double ftol, int nmax, NR_amoeba_func_t f, void *data,
                  int *nfunk, double *psum, double *trial) {
    simplex_sums(p, ndim, psum);
    for (;;) {
        // Rank the vertices: worst ihi, next worst inhi, best ilo.
        int ihi, inhi;
        if (y[0] <= y[1]) {
            ihi = 1;
            inhi = 0;
        } else {
            ihi = 0;
            inhi = 1;
        }
        int ilo = 1;
        for (int i = 0; i <= ndim; ++i) {
            if (y[i] < y[ilo]) ilo = i;
            if (y[i] > y[ihi]) {
                inhi = ihi;
                ihi = i;
            } else if (y[i] > y[inhi] && i != ihi) {
                inhi = i;
            }
        }
        if (ihi == ilo) return 0;
        const double *phi = p + static_cast<ptrdiff_t>(ihi) * ndim;
        const double *plo = p + static_cast<ptrdiff_t>(ilo) * ndim;
        double d2 = 0.0;
        for (int j = 0; j < ndim; ++j) d2 += (phi[j] - plo[j]) * (phi[j] - plo[j]);
        if (y[ihi] - y[ilo] < std::sqrt(d2) * ftol) return 0;
        if (*nfunk >= nmax) return -1;

        const double ytry = amoeba_try(p, y, psum, trial, ndim, ihi, -1.0, f, data, nfunk);
        if (ytry <= y[ilo]) {
            amoeba_try(p, y, psum, trial, ndim, ihi, 2.0, f, data, nfunk);
        } else if (ytry >= y[inhi]) {
            const double ysave = y[ihi];
            const double ycontract = amoeba_try(p, y, psum, trial, ndim, ihi, 0.5, f, data, nfunk);
            if (ycontract >= ysave) {
                // Shrink the simplex towards the best vertex.
                // The function sees a copy, so that it cannot move a vertex.
                const double *best = p + static_cast<ptrdiff_t>(ilo) * ndim;
                for (int i = 0; i <= ndim; ++i) {
                    if (i == ilo) continue;
                    double *v = p + static_cast<ptrdiff_t>(i) * ndim;
                    for (int j = 0; j < ndim; ++j) trial[j] = v[j] = 0.5 * (v[j] + best[j]);
                    y[i] = f(trial, data);
                }
                *nfunk += ndim;
                simplex_sums(p, ndim, psum);
            }
        }
    }
}

// One fourth-order Runge-Kutta step from (x, y) with step h, d0 = y'(x, y);
// *out receives the new value.  Returns 0, or the callback's code + 3.
int rk4_step(void *data, NR_odeint_func_t f, double x, double y, double d0, double h, double *out) {
    const double hh = 0.5 * h;
    double xm = x + hh, xe = x + h;
    double y1 = y + hh * d0, d1 = 0.0, d2 = 0.0, d3 = 0.0;
    int status = 0;
    f(data, &xm, &y1, &d1, &status);
    if (status != 0) return status + 3;
    double y2 = y + hh * d1;
    xm = x + hh;
    f(data, &xm, &y2, &d2, &status);
    if (status != 0) return status + 3;
    double y3 = y + h * d2;
    f(data, &xe, &y3, &d3, &status);
    if (status != 0) return status + 3;
    *out = y + (h / 6.0) * (d0 + 2.0 * (d1 + d2) + d3);
    return 0;
}

// Outcome of one adaptive step.
enum StepResult { kStepAccepted, kStepTooSmall, kStepCallbackFailed };

// Adaptive step by step doubling from (*x, *y) with trial step *h: the step
// shrinks until the local error estimate is within eps of yscal, then x and
// y advance and *hnext is proposed.  *h is the step actually taken.  A
// callback failure leaves x and y unchanged and stores the code + 3 in
// *code.
StepResult adaptive_step(void *data, NR_odeint_func_t f, double *x, double *y, double dydx, double *h, double eps,
                         double yscal, double *hnext, int *code) {
    const double xsave = *x, ysave = *y;
    for (;;) {
        const double hh = 0.5 * *h;
        double ymid = 0.0, yhalves = 0.0, yfull = 0.0, dmid = 0.0;
        int status = rk4_step(data, f, xsave, ysave, dydx, hh, &ymid);
        if (status == 0) {
            double xm = xsave + hh;
            int cb = 0;
            f(data, &xm, &ymid, &dmid, &cb);
            status = cb != 0 ? cb + 3 : 0;
        }
        if (status == 0) status = rk4_step(data, f, xsave + hh, ymid, dmid, hh, &yhalves);
        if (status == 0) status = rk4_step(data, f, xsave, ysave, dydx, *h, &yfull);
        if (status != 0) {
            *x = xsave;
            *y = ysave;
            *code = status;
            return kStepCallbackFailed;
        }
        if (xsave + *h == xsave) return kStepTooSmall;
        const double delta = yhalves - yfull;
        const double errmax = std::fabs(delta / yscal) / eps;
        // A NaN estimate (a NaN derivative, or 0/0 when eps = 0 and the step
        // is exact) would make every later step NaN and the retry endless.
        if (std::isnan(errmax)) return kStepTooSmall;
        if (errmax <= 1.0) {
            *x = xsave + *h;
            *y = yhalves + delta / 15.0;
            *hnext = errmax > 0.0006 ? 0.9 * *h * std::pow(errmax, -0.2) : 4.0 * *h;
            return kStepAccepted;
        }
        *h = 0.9 * *h * std::pow(errmax, -0.25);
    }
}

} // namespace

extern "C" {

QUORM_API void NR_qsimp(void *data, NR_qsimp_func_t f, int count, double a, double b, double eps, int jmax,
                        double *result, int *status) {
    *status = 0;
    if (count < 0 || count > NR_QSIMP_MAX_COUNT) {
        *status = 2;
        return;
    }
    double os[NR_QSIMP_MAX_COUNT], ost[NR_QSIMP_MAX_COUNT], st[NR_QSIMP_MAX_COUNT] = {0.0}, s[NR_QSIMP_MAX_COUNT];
    for (int i = 0; i < count; ++i) os[i] = ost[i] = -1e30;
    for (int j = 1; j <= jmax; ++j) {
        if (!trapezoid_stage(data, f, count, a, b, j, st)) break;
        double osmax = 0.0, change = 0.0;
        for (int i = 0; i < count; ++i) {
            s[i] = (4.0 * st[i] - ost[i]) / 3.0;
            osmax = std::fmax(osmax, std::fabs(os[i]));
            // A NaN change must not look converged.
            const double c = std::fabs(s[i] - os[i]);
            change = std::isnan(c) || c > change ? c : change;
        }
        const double tol = std::fmax(0.5 * eps, eps * osmax);
        if (change < tol) {
            for (int i = 0; i < count; ++i) result[i] = s[i];
            return;
        }
        for (int i = 0; i < count; ++i) {
            ost[i] = st[i];
            os[i] = s[i];
        }
    }
    *status = 1;
}

QUORM_API int NR_amoeba(double *p, double *y, int ndim, double ftol, int nmax, NR_amoeba_func_t f, void *data,
                        int *nfunk) {
    *nfunk = 0;
    if (ndim < 1) return 0;
    // One block: the coordinate sums of the vertices, then the trial point.
    double *psum = static_cast<double *>(SM_alloc(2 * sizeof(double) * static_cast<size_t>(ndim)));
    int result = 0;
    try {
        result = amoeba_search(p, y, ndim, ftol, nmax, f, data, nfunk, psum, psum + ndim);
    } catch (...) {
        // An exception from the caller's function passes through; the work
        // array does not leak.
        SM_free(psum);
        throw;
    }
    SM_free(psum);
    return result;
}

QUORM_API void NR_odeint(double *y, double x1, double x2, double eps, double h1, double hmin, void *data,
                         NR_odeint_func_t f, int *status) {
    constexpr int kMaxSteps = 10000;
    double h = x1 < x2 ? std::fabs(h1) : -std::fabs(h1);
    double x = x1, yy = *y;
    *status = -2;
    for (int step = 0; step < kMaxSteps; ++step) {
        double dydx = 0.0, xc = x, yc = yy;
        int cb = 0;
        f(data, &xc, &yc, &dydx, &cb);
        if (cb != 0) {
            *status = cb + 3;
            return;
        }
        if ((x + h - x1) * (x + h - x2) > 0.0) h = x2 - x;
        const double yscal = std::fabs(h * dydx) + std::fabs(yy) + 1e-30;
        double hnext = 0.0;
        int code = 0;
        const StepResult r = adaptive_step(data, f, &x, &yy, dydx, &h, eps, yscal, &hnext, &code);
        if (r == kStepTooSmall) {
            *status = 1;
            return;
        }
        if (r == kStepCallbackFailed) {
            *status = -1;
            h *= 0.5;
            continue;
        }
        h = hnext;
        if ((x - x2) * (x2 - x1) >= 0.0) {
            *y = yy;
            *status = 0;
            return;
        }
        if (std::fabs(hnext) <= hmin) {
            *status = 2;
            return;
        }
        *status = -2;
    }
    *status = 3;
}

} // extern "C"
