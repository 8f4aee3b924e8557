/** @file
 * 2-D vector algebra (VEC2_).
 *
 * Tolerances are arguments.  While the checking level is above 0 the vector
 * inputs must be finite (VEC2_is_finite), else an assertion fails.  Degenerate
 * input is reported through the result and zero outputs, never raised.
 */
#ifndef QUORM_VEC2_H
#define QUORM_VEC2_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** True when both components' magnitudes are below 1e19 (a NaN is not finite). */
QUORM_API bool VEC2_is_finite(const VEC2_s *u);

/** Unit vector of u.  With s the squared length of u: when tol*tol >= s (or s
 * is NaN), *length and both components of *unit are set to 0 and the result
 * is 0; otherwise *length = sqrt(s), *unit = u * (1/sqrt(s)) and the result is
 * 1.  Vectors so short (or so long) that s would lose precision, underflow
 * or overflow are measured after division by their largest component, with
 * the same test on the length. unit may be u. */
QUORM_API int VEC2_unitize(const VEC2_s *u, double tol, double *length, VEC2_s *unit);

/** True when u and v are parallel: cross(u, v)^2 / (|u|^2 |v|^2) <= tol^2
 * (tol is the sine of the allowed deviation; opposite directions count).  A
 * vector of squared length <= 1e-20 is parallel to everything. */
QUORM_API bool VEC2_is_parallel(const VEC2_s *u, const VEC2_s *v, double tol);
/** True when u and v are perpendicular: (u.v)^2 / (|u|^2 |v|^2) <= tol^2 (tol
 * is the cosine of the allowed angle).  A vector of squared length <= 1e-20
 * is perpendicular to everything. */
QUORM_API bool VEC2_is_perpendicular(const VEC2_s *u, const VEC2_s *v, double tol);

/** A vector perpendicular to u, not unitized: (-y, x) when |y| > |x|, else
 * (y, -x).  A vector of squared length <= 1e-20 (or with a NaN component)
 * gives (0, 0) and result 0; otherwise the result is 1.  out may be u. */
QUORM_API int VEC2_ask_perpendicular(const VEC2_s *u, VEC2_s *out);

/** Splits w = a*u + b*v.  With det = u.x*v.y - v.x*u.y: when |det| <= tol (or
 * det is NaN) both *a and *b are set to HUGE_VAL (infinity) and the result is 0; otherwise
 * the result is 1. */
QUORM_API int VEC2_components(const VEC2_s *u, const VEC2_s *v, const VEC2_s *w, double tol, double *a, double *b);

/** Index of the first of count vectors with the least squared length.  count
 * must be above 0 (asserted while checking); otherwise the result is 0. */
QUORM_API int VEC2_ask_shortest_vector(int count, const VEC2_s *vectors);

QUORM_END_DECLS

#endif
