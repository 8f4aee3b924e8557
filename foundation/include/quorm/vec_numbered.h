/** @file
 * Numbered vector routines and coordinate-system constructions (vunt2, vunt3,
 * vcru3, v60xx).
 *
 * Every argument is passed by address.  Points and vectors are arrays of two
 * or three doubles; a frame is an MTX3_s (rows X, Y, Z axes) and an origin.
 *
 * vunt2, vunt3 and vcru3 set *ok to 1 on success and 0 for a null vector
 * (within the length tolerance, EQ_ask_length_tolerance); out may be an
 * input.  On failure out is set to zeros.
 *
 * The constructions set *status to 1 on success and 2 on failure; on failure
 * the matrix and origin outputs are left unwritten.  Vectors count as null,
 * and directions as parallel, within 1e-10.
 */
#ifndef QUORM_VEC_NUMBERED_H
#define QUORM_VEC_NUMBERED_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** out = unit v, for a 2-D v. */
QUORM_API void vunt2(const double v[2], int *ok, double out[2]);
/** out = unit v, for a 3-D v. */
QUORM_API void vunt3(const double v[3], int *ok, double out[3]);
/** out = unit (a x b). */
QUORM_API void vcru3(const double a[3], const double b[3], int *ok, double out[3]);

/** Turns the frame matrix about its own X axis by angles[0], then about its
 * new Y axis by angles[1], then about its new Z axis by angles[2].  The
 * angles are given in degrees and are converted to radians in place (factor
 * 0.01745329251994328).  Status 2 (matrix unchanged) when an angle is NaN or
 * infinite. */
QUORM_API void v6037a(MTX3_s *matrix, double angles[3], int *status);

/** Frame at p0 with X = unit (p1 - p0), Z = unit (X x unit (p2 - p0)),
 * Y = Z x X; origin = p0.  Fails when p1 - p0 or p2 - p0 is null or the two
 * are parallel. */
QUORM_API void v6043(const double p0[3], const double p1[3], const double p2[3], MTX3_s *matrix,
                     double origin[3], int *status);

/** Frame at p0 with Z = unit (normal) and X the part of p1 - p0 (or of p2 - p0
 * when p1 - p0 is null) perpendicular to Z, unitized; Y = Z x X.  Fails when
 * the normal is null, both differences are null, or the one used is parallel
 * to the normal. */
QUORM_API void v6043_normal(const double p0[3], const double p1[3], const double p2[3], const double normal[3],
                            MTX3_s *matrix, double origin[3], int *status);

/** Frame whose origin is the foot of the perpendicular from p3 onto the line
 * p1 p2, with Z along p1 - p2 and X from the foot toward p3; Y = Z x X.
 * Fails when p1 and p2 coincide or p3 lies on their line. */
QUORM_API void v6045(const double p1[3], const double p2[3], const double p3[3], MTX3_s *matrix,
                     double origin[3], int *status);

/** Frame of two lines, a1 a2 and b1 b2: origin a1, X = unit (a2 - a1),
 * Z = unit (X x unit (b2 - b1)) (the common normal), Y = Z x X.  The closest
 * points of the two lines in that frame go to local_a = (s, 0, 0) and
 * local_b = (s, 0, h), h being the signed distance between the lines along Z.
 * Fails when a pair coincides or the lines are parallel (all outputs
 * unwritten). */
QUORM_API void v6067(const double a1[3], const double a2[3], const double b1[3], const double b2[3],
                     MTX3_s *matrix, double origin[3], double local_a[3], double local_b[3], int *status);

QUORM_END_DECLS

#endif
