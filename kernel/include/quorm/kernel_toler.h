/** @file
 * Tolerant comparisons, periodic parameters and small equation solvers of the
 * numbered kernel (h0xx, h2xx, h8xx).
 *
 * Every argument is passed by address; results go through pointers.
 *
 * A "tolerance index" selects an entry of the equality-tolerance table (see
 * toler.h: 0 number, 1 length, 2 length squared, 7 length squared * 1e8);
 * the absolute value of the entry is used.  An index outside 0..7 is refused
 * while the checking level is above 0 (QUORM_ERR_BAD_ARGUMENT) and compares
 * with tolerance 0 at level 0.  "The number tolerance" below is entry 0.
 *
 * Comparison results are ints: 1 when the relation holds, 0 or 2 otherwise
 * as stated per routine.  Interval codes: 1 below the interval, 2 at its
 * start, 3 strictly inside, 4 at its end, 5 above it.
 *
 * Intervals and angular ranges are two doubles (start, end).  Complex
 * numbers are two doubles (real, imaginary).  Polynomial coefficients run
 * from the constant term upward.
 */
#ifndef QUORM_KERNEL_TOLER_H
#define QUORM_KERNEL_TOLER_H

#include <quorm/quorm_platform.h>

/** 2 pi as the angular routines use it. */
#define QUORM_KERNEL_TWO_PI 6.283185307179586

QUORM_BEGIN_DECLS

/** *out = 1 if |a - b| <= |table[*index]|, else 0. */
QUORM_API void h805(const double *a, const double *b, const int *index, int *out);
/** *out = 1 if |a - b| <= |tol|, else 0. */
QUORM_API void h806(const double *a, const double *b, const double *tol, int *out);
/** *mode 1: *out = 1 if a < b - tol, else 2; other modes: *out = 1 if
 * a > b + tol, else 2 (tol = |table[*index]|). */
QUORM_API void h807(const double *a, const double *b, const int *mode, const int *index, int *out);
/** *mode 2: *out = 1 if a > b + tol, else 2; other modes: *out = 1 if
 * a < b - tol, else 2 (tol as given). */
QUORM_API void h808(const double *a, const double *b, const double *tol, const int *mode, int *out);

/** @{ */
/** Interval code of *x against [interval[0], interval[1]] with the tolerance
 * |table[*index]| (h804) or |*tol| (h816); an x within the tolerance of an
 * end is set to that end (codes 2 and 4).  The start is tested first. */
QUORM_API void h804(double *x, const double interval[2], const int *index, int *code);
QUORM_API void h816(double *x, const double interval[2], const double *tol, int *code);
/** @} */

/** *out = 1 if x lies in the closed interval or within the tolerance of an
 * end (x is then set to that end), else 0. */
QUORM_API void h809(double *x, const double interval[2], const int *index, int *out);
/** *out = 1 if x lies in the interval widened by 0.005 (*mode 1) or 1e-5
 * (other modes) at both ends, else 0; x is not changed. */
QUORM_API void h809a(const double *x, const double interval[2], const int *mode, int *out);

/** A value within the number tolerance of 0 becomes +tol (x >= 0) or -tol, so
 * that it can be used as a divisor. */
QUORM_API void h000(double *x);

/** Reduces *x into [0, *period) (number tolerance: values within it of 0 or
 * of the period become 0).  A negative period, or one within the tolerance
 * of 0, leaves x unchanged. */
QUORM_API void h002(double *x, const double *period);

/** The integer *k with x + k.p in [min(a,b), max(a,b)], p being *period when
 * *mode is 1 and the interval length otherwise.  *found = 1 when such a k
 * exists.  x is classified first with h804 (index 0): at an end or inside
 * gives found 1, k 0, and x snapped to an end it equals.  A shift beyond the
 * int range gives k = 0. */
QUORM_API void h006(double *x, const double *a, const double *b, const int *mode, const double *period, int *found,
                    int *k);
/** x shifted into [0, period] (mode 1) as *value with its *k; a value equal to
 * the period within tolerance becomes 0 (k one less). */
QUORM_API void h0062(const double *x, const int *mode, const double *period, double *value, int *k);
/** x shifted into [a, b] as *value (h006); a value equal to b within
 * tolerance, when b - a equals the period within tolerance, becomes a (k one
 * less). */
QUORM_API void h0063(const double *x, const double *a, const double *b, const int *mode, const double *period,
                     int *found, int *k, double *value);
/** The offset from start of x shifted into [start, start + period]; 0 when it
 * equals the period within tolerance. */
QUORM_API void h0065(const double *start, const double *x, const double *period, double *out);
/** x shifted into [start, start + period] as *value, with its *k. */
QUORM_API void h0005(const double *x, const double *start, const double *period, double *value, int *k);

/** Overlap of the angular ranges a and b: *count = 2 and result the overlap
 * (end >= start, within [0, 2 pi) at the start) when there is one, else
 * *count = 1. */
QUORM_API void h010(const double a[2], const double b[2], int *count, double result[2]);
/** Intersection of two angular ranges, up to two pieces: *count - 1 pieces in
 * result[0..1] and result[2..3]. */
QUORM_API void h009(const double a[2], const double b[2], int *count, double result[4]);
/** Orientation of the range (p, q) that contains the angle *x: tried as
 * (p, q) (*which = 1) and as (q, p) (*which = 2), the end raised by 2 pi when
 * below the start; *which = 3 when neither contains x.  The range is
 * returned normalised. */
QUORM_API void h012(double range[2], const double *x, int *which);

/** @{ */
/** 2-D points: *out = 1 if the squared distance is at most |table[2]|
 * (h202), at most |tol| (h206), at most r^2 (h204), else 0. */
QUORM_API void h202(const double p1[2], const double p2[2], int *out);
QUORM_API void h206(const double p1[2], const double p2[2], const double *tol, int *out);
QUORM_API void h204(const double p1[2], const double p2[2], const double *r, int *out);
/** @} */

/** Quadratic c[0] + c[1] x + c[2] x^2.  *status: 1 no root, 2 complex pair,
 * 3 real root(s), 4 identically zero.  *degree is the degree found, *nreal
 * the number of real roots; unused roots are 0. */
QUORM_API void h014(const double c[3], double re[2], double im[2], int *status, int *degree, int *nreal);
/** Cubic c[0] + ... + c[3] x^3; a negligible c[3] falls back to h014.
 * Otherwise *status 3, *degree 3; the real roots come first. */
QUORM_API void h016(const double c[4], double re[3], double im[3], int *status, int *degree, int *nreal);

/** Solves the 3x3 system with rows u, v, w and right-hand side r by Cramer's
 * rule: *status 1 solved, 2 when |det| <= the number tolerance (x
 * unwritten). */
QUORM_API void h015(const double u[3], const double v[3], const double w[3], const double r[3], double x[3],
                    int *status);
/** h015, retried with every equation scaled to a unit row when the first
 * attempt finds the determinant too small (and no row is null).  The
 * retry solves the same system. */
QUORM_API void h015a(const double u[3], const double v[3], const double w[3], const double r[3], double x[3],
                     int *status);

/** out = a . b (complex). */
QUORM_API void h017(const double a[2], const double b[2], double out[2]);
/** Principal *n-th root of z: modulus |z|^(1/n), argument arg(z)/n with
 * arg(z) in [0, 2 pi).  *n <= 0 is refused while checking and gives 0. */
QUORM_API void h018(const double z[2], const int *n, double out[2]);

QUORM_END_DECLS

#endif
