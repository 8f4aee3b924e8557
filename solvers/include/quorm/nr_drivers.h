/** @file
 * Integration, minimisation and ordinary differential equations through
 * callbacks of the caller (NR_qsimp, NR_amoeba, NR_odeint).
 *
 * Each callback receives the opaque pointer data that the caller passes in.
 * NR_qsimp keeps its trapezoid point counter in a process-wide variable and
 * is not reentrant; the other two are reentrant as far as their callbacks
 * are.
 */
#ifndef QUORM_NR_DRIVERS_H
#define QUORM_NR_DRIVERS_H

#include <quorm/records.h>

/** The largest number of components NR_qsimp integrates at once. */
#define NR_QSIMP_MAX_COUNT 8

QUORM_BEGIN_DECLS

/** Writes the count component values of the integrand at *x into values;
 * *stage is the current refinement stage (1, 2, ...). */
typedef void (*NR_qsimp_func_t)(void *data, const double *x, double *values, int *stage);

/** Returns the value of the function at the point x (ndim doubles). */
typedef double (*NR_amoeba_func_t)(double *x, void *data);

/** Writes dy/dx at (*x, *y) into *dydx and sets *status to 0, or to a
 * positive code for failure. */
typedef void (*NR_odeint_func_t)(void *data, double *x, double *y, double *dydx, int *status);

/** Integrates the count components of f over [a, b] by Simpson's rule,
 * refining by successive trapezoid stages (stage j uses 2^(j-1) + 1 points)
 * until two Simpson values differ by less than max(0.5*eps, eps*|previous|)
 * in every component.  The first two stages never converge for eps < 1.
 * *status: 0 and result[count] written; 1 no convergence within jmax stages
 * (or before the point count would overflow), result not written; 2 count
 * outside 0 ... NR_QSIMP_MAX_COUNT, nothing evaluated. */
QUORM_API void NR_qsimp(void *data, NR_qsimp_func_t f, int count, double a, double b, double eps, int jmax,
                        double *result, int *status);

/** Minimises f of ndim variables by the downhill simplex method.  p holds the
 * ndim + 1 vertices of the starting simplex row by row ((ndim + 1) * ndim
 * doubles), y their function values.  The search ends when the spread of
 * values between the worst and the best vertex falls below ftol times their
 * distance (result 0), when all values are equal (0), or when nfunk, the
 * number of evaluations made, has reached nmax (result -1; a shrink may add
 * up to ndim evaluations beyond it).  On return p and y hold the final
 * simplex, not reordered.  ndim < 1 returns 0 at once with nfunk 0. */
QUORM_API int NR_amoeba(double *p, double *y, int ndim, double ftol, int nmax, NR_amoeba_func_t f, void *data,
                        int *nfunk);

/** Integrates y' = f(x, y) from x1 to x2, starting at *y, with adaptive
 * fourth-order Runge-Kutta steps (step doubling, relative accuracy eps,
 * first step h1, smallest step hmin, at most 10000 steps).  *status:
 *   0  *y holds the solution at x2;
 *   1  the step fell below the resolution of x (x + h == x), or the error
 *      estimate was not a number (a NaN derivative, or eps = 0 on a step
 *      that is integrated exactly);
 *   2  the next step would be no larger than hmin;
 *   3  x2 not reached in 10000 steps;
 *   c + 3  the callback failed with code c at the start of a step.
 * A callback failure inside a step halves the step and tries again.  On
 * every status but 0, *y is unchanged. */
QUORM_API void NR_odeint(double *y, double x1, double x2, double eps, double h1, double hmin, void *data,
                         NR_odeint_func_t f, int *status);

QUORM_END_DECLS

#endif
