/** @file
 * Points: collinearity, closest point, cylindrical and spherical coordinates (PNT3_). */
#ifndef QUORM_PNT3_H
#define QUORM_PNT3_H

#include <quorm/records.h>

/** How three points lie relative to each other (PNT3_colinear_condition). */
typedef enum PNT3_colinear_condition_e {
    PNT3_NOT_COLINEAR = 1,     /**< the points are not collinear                  */
    PNT3_P1_BETWEEN = 2,       /**< collinear, p1 lies between p2 and p3           */
    PNT3_P1_P3_COINCIDENT = 3, /**< p1 and p3 coincide                             */
    PNT3_P3_BETWEEN = 4,       /**< collinear, p3 lies between p1 and p2           */
    PNT3_P2_P3_COINCIDENT = 5, /**< p2 and p3 coincide                             */
    PNT3_P2_BETWEEN = 6        /**< collinear, p2 lies between p1 and p3           */
} PNT3_colinear_condition_t;

QUORM_BEGIN_DECLS

/** True when the three points are collinear.  tol is compared with squared
 * quantities: the points count as collinear when some two of them are closer
 * than sqrt(tol), or when the squared sine of the angle between p2 - p1 and
 * p3 - p2 is below tol.  Two exactly coincident points are always collinear
 * with the third, whatever tol. */
QUORM_API bool PNT3_is_colinear(const quorm_point3 *p1, const quorm_point3 *p2, const quorm_point3 *p3,
                                double tol);

/** Classifies three points (see PNT3_colinear_condition_t).  tol is a
 * distance for the coincidence tests (it is passed unchanged to
 * PNT3_is_colinear for the collinearity test).  When p1 and p2 coincide the
 * result is PNT3_P2_BETWEEN. */
QUORM_API PNT3_colinear_condition_t PNT3_colinear_condition(const quorm_point3 *p1, const quorm_point3 *p2,
                                                            const quorm_point3 *p3, double tol);

/** Writes to out the member of points[0..count-1] nearest p.  Distances
 * within the length tolerance (EQ_ask_length_tolerance) of the best so far
 * are ties, settled in favour of the point whose direction toward p makes the
 * smaller angle with v (by more than 1e-10); earlier points win remaining
 * ties.  A count of 0 leaves out unwritten; a negative count is a bad
 * argument (QUORM_ERR_BAD_ARGUMENT) while the checking level is above 0 and
 * leaves out unwritten otherwise. */
QUORM_API void PNT3_ask_closest_point(const quorm_point3 *p, const quorm_vector3 *v, const quorm_point3 *points,
                                      int count, quorm_point3 *out);

#if QUORM_FULL_BUILD
/** Cylindrical coordinates of in, held as (radius, angle in degrees in
 * [0, 360), z) (full build only).  A point within 1e-10 of the Z axis (in x
 * and in y) has angle 0.  out may be in. */
QUORM_API void PNT3_cartesian_to_cylindrical(const quorm_point3 *in, quorm_point3 *out);
/** The point whose cylindrical coordinates (radius, angle in degrees, z) are
 * in (full build only).  out may be in. */
QUORM_API void PNT3_cylindrical_to_cartesian(const quorm_point3 *in, quorm_point3 *out);
/** Spherical coordinates of in, held as (radius, azimuth in degrees in
 * [0, 360), polar angle from +Z in degrees in [0, 180]) (full build only).
 * A point within 1e-10 of the Z axis has azimuth 0; one within 1e-10 of the
 * origin has polar angle 0.  out may be in. */
QUORM_API void PNT3_cartesian_to_spherical(const quorm_point3 *in, quorm_point3 *out);
/** The point whose spherical coordinates (radius, azimuth, polar angle from
 * +Z, both angles in degrees) are in (full build only).  out may be in. */
QUORM_API void PNT3_spherical_to_cartesian(const quorm_point3 *in, quorm_point3 *out);
#endif

QUORM_END_DECLS

#endif
