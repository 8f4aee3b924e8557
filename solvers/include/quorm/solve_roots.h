/** @file
 * Polynomial and function roots (SOLVE_).
 *
 * Coefficients come lowest degree first: c[0] + c[1].x + c[2].x^2 + ...
 * A leading or constant coefficient counts as zero when its magnitude is at
 * most the number tolerance t (EQ_ask_number_tolerance).  Real roots only;
 * they are not sorted, and a root of multiplicity k is written k times.
 *
 * The closed forms (quadratic, cubic, quartic) share one process-wide error
 * term and are not re-entrant: call them from one thread at a time.
 */
#ifndef QUORM_SOLVE_ROOTS_H
#define QUORM_SOLVE_ROOTS_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** Real roots of c[0] + c[1].x + c[2].x^2; returns how many were written
 * (0, 1 or 2).  A discriminant within rounding of 0 gives the double root
 * twice.  With |c[2]| <= t the linear equation is solved (no root when
 * |c[1]| <= t as well). */
QUORM_API int SOLVE_quadratic(const double c[3], double roots[2]);

/** Real roots of the cubic c[0..3] (0 to 3 of them).  |c[3]| <= t falls back
 * to the quadratic; |c[0]| <= t^3 gives the quadratic's roots of c[1..3]
 * followed by the root 0. */
QUORM_API int SOLVE_cubic(const double c[4], double roots[3]);

/** Real roots of the quartic c[0..4] (0 to 4 of them).  |c[4]| <= t falls
 * back to the cubic; |c[0]| <= t^4 gives the cubic's roots of c[1..4]
 * followed by 0; with c[1] and c[3] negligible the quadratic in x^2 gives
 * sqrt(y), -sqrt(y) for each of its positive roots y.  Otherwise the
 * quartic is reduced to a cubic resolvent and two quadratics, and the four
 * (complex) roots so found are polished by Laguerre's iteration on the
 * quartic itself; the real ones are selected as by SOLVE_polynomial. */
QUORM_API int SOLVE_quartic(const double c[5], double roots[4]);

/** Real roots of the polynomial of the given degree (at most 4) by Laguerre's
 * method with deflation and polishing; returns how many were written to
 * roots (room for degree doubles).  Leading coefficients with |c| <= t are
 * dropped first.  A degree above 4 is an internal error "Degree is too
 * large in SOLVE_polynomial())!!!" while checking is on; no roots are
 * computed for it at any level (result 0). */
QUORM_API int SOLVE_polynomial(int degree, const double *c, double *roots);

/** A scalar function of x with caller data. */
typedef double (*SOLVE_root_function_t)(double x, void *data);

/** A root of f in the bracket [x1, x2] by Ridders' method.  Returns the
 * iteration count (at least 1) on success with the root in *root; -2 when
 * f(x1) and f(x2) have the same strict sign or either is not a number
 * (*root untouched); -1 when 20 iterations did not reach tol, or when f
 * returned a non-number inside the bracket (*root holds the last estimate,
 * 1e20 when there is none). */
QUORM_API int SOLVE_function_root(SOLVE_root_function_t f, void *data, double x1, double x2, double tol,
                                  double *root);

QUORM_END_DECLS

#endif
