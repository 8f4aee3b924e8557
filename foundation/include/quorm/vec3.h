/** @file
 * 3-D vector algebra (VEC3_).
 *
 * Tolerances are arguments.  While the checking level is above 0 the vector
 * inputs must be finite (VEC3_is_finite), else an assertion fails.  Degenerate
 * input is reported through the result and zero outputs, never raised.
 */
#ifndef QUORM_VEC3_H
#define QUORM_VEC3_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** True when every component's magnitude is below 1e19 (a NaN is not finite). */
QUORM_API bool VEC3_is_finite(const quorm_vector3 *u);

/** Unit vector of u.  With s the squared length of u: when tol*tol >= s (or s
 * is NaN), *length and every component of *unit are set to 0 and the result
 * is 0; otherwise *length = sqrt(s), *unit = u * (1/sqrt(s)) and the result is
 * 1.  Vectors so short (or so long) that s would lose precision, underflow
 * or overflow are measured after division by their largest component, with
 * the same test on the length. unit may be u. */
QUORM_API int VEC3_unitize(const quorm_vector3 *u, double tol, double *length, quorm_vector3 *unit);

/** True when u and v are parallel: |u x v|^2 / (|u|^2 |v|^2) <= tol^2 (tol
 * is the sine of the allowed deviation; opposite directions count).  A
 * vector of squared length <= 1e-20 is parallel to everything. */
QUORM_API bool VEC3_is_parallel(const quorm_vector3 *u, const quorm_vector3 *v, double tol);
/** True when u and v are perpendicular: (u.v)^2 / (|u|^2 |v|^2) <= tol^2 (tol
 * is the cosine of the allowed angle).  A vector of squared length <= 1e-20
 * is perpendicular to everything. */
QUORM_API bool VEC3_is_perpendicular(const quorm_vector3 *u, const quorm_vector3 *v, double tol);

/** A vector perpendicular to u (not unitized): the component of least
 * magnitude becomes 0 and the other two are swapped with one sign changed,
 * ties settled with a margin of 1e-10 (1e-10 times the largest component for
 * vectors shorter than unit size).  A vector of squared length <= 1e-20
 * (or with a NaN component) gives (0, 0, 0) and result 0; otherwise the
 * result is 1.  out may be u. */
QUORM_API int VEC3_ask_perpendicular(const quorm_vector3 *u, quorm_vector3 *out);

/** The angle in [0, 2*pi) turning from u to v positively about reference.
 * u and v are unitized with tolerance 1e-10; a null one gives 0.  Angles of
 * magnitude <= 1e-10 are returned as 0.  A null reference pointer gives the
 * unsigned angle in [0, pi]. */
QUORM_API double VEC3_angle_between(const quorm_vector3 *u, const quorm_vector3 *v, const quorm_vector3 *reference);

/** Splits v along the unit vector n: parallel = (v.n) n, perpendicular =
 * v - parallel, third = n x perpendicular.  Outputs may be inputs. */
QUORM_API void VEC3_make_trihedral(const quorm_vector3 *v, const quorm_vector3 *n, quorm_vector3 *perpendicular,
                                   quorm_vector3 *third, quorm_vector3 *parallel);

QUORM_END_DECLS

#endif
