/** @file
 * Bezier and B-spline segment evaluation (h0900 ... h0909, h4301).
 *
 * Every argument is passed by address; results go through pointers.
 *
 * Control points are homogeneous: four doubles (the weighted coordinates and
 * the weight), stored contiguously with a stride of four doubles.  All four
 * components are treated alike, so every result is homogeneous; dividing by
 * the weight (and the quotient rule for derivatives) is the caller's business.
 *
 * A piece of degree n has n + 1 control points and a segment knot vector of
 * 2n + 2 doubles k[0..2n+1]; its interval is [k[n], k[n+1]] = [t0, t1], with
 * t0 < t1.  The Bezier routines read only k[n] and k[n+1]; h0901 reads
 * k[1..2n].  The parameter is not clamped: outside [t0, t1] the same
 * polynomial is extrapolated.
 *
 * Degrees run from 0 to QUORM_KERNEL_MAX_DEGREE (24).  No routine allocates:
 * the work arrays are fixed locals.  A degree outside 0..24 is refused while
 * the checking level is above 0 (QUORM_ERR_BAD_ARGUMENT); at level 0 such a
 * call writes zeros.
 */
#ifndef QUORM_KERNEL_EVAL_H
#define QUORM_KERNEL_EVAL_H

#include <quorm/quorm_platform.h>

/** Highest degree of a piece (the kernel-wide order limit is 25). */
#define QUORM_KERNEL_MAX_DEGREE 24
/** Homogeneous points per row of a surface control net (100 doubles). */
#define QUORM_KERNEL_NET_ROW 25

QUORM_BEGIN_DECLS

/** Homogeneous point of a Bezier piece of degree *n at *t. */
QUORM_API void h0900(const int *n, const double *knots, const double *poly, const double *t, double point[4]);

/** Homogeneous point of a B-spline piece of degree *n at *t by de Boor's
 * algorithm (reads knots[1..2n]; the knots must be nondecreasing with
 * knots[n] < knots[n+1]). */
QUORM_API void h0901(const int *n, const double *knots, const double *poly, const double *t, double point[4]);

/** @{ */
/** Point and first derivative of a Bezier piece of degree 2, 3, 4 and 5
 * (h0902, h0903, h0904, h0905), unrolled.  `interval` points at k[n] of the
 * segment knot vector, so that interval[0] = t0 and interval[1] = t1. */
QUORM_API void h0902(const double *interval, const double *poly, const double *t, double point[4], double deriv[4]);
QUORM_API void h0903(const double *interval, const double *poly, const double *t, double point[4], double deriv[4]);
QUORM_API void h0904(const double *interval, const double *poly, const double *t, double point[4], double deriv[4]);
QUORM_API void h0905(const double *interval, const double *poly, const double *t, double point[4], double deriv[4]);
/** @} */

/** Point and first derivative of a Bezier piece of any degree 0..24.  The
 * derivative is n/(t1 - t0) times the difference of the last two points of
 * de Casteljau's construction; degree 0 gives zero. */
QUORM_API void h0908(const int *n, const double *knots, const double *poly, const double *t, double point[4],
                     double deriv[4]);

/** The *m-th derivative (homogeneous) of a Bezier piece of degree *n at *t;
 * *m = 0 gives the point, *m > *n gives zeros.  A negative *m is refused
 * while checking (QUORM_ERR_BAD_ARGUMENT) and gives zeros at level 0. */
QUORM_API void h0909(const int *n, const double *knots, const double *poly, const double *t, const int *m,
                     double result[4]);

/** Point and first partial derivatives of a tensor-product Bezier patch.
 * degrees[0] = nu, degrees[1] = nv; knots_u and knots_v are segment knot
 * vectors of the two directions; net holds nv + 1 rows of
 * QUORM_KERNEL_NET_ROW homogeneous points, row j holding the nu + 1 points of
 * the j-th row in the first direction; uv[0] = u, uv[1] = v. */
QUORM_API void h4301(const int degrees[2], const double *knots_u, const double *knots_v, const double *net,
                     const double uv[2], double point[4], double du[4], double dv[4]);

QUORM_END_DECLS

#endif
