/** @file
 * Measurements between straight lines in space (LSFIT_, full build only).
 *
 * A line is a point and a direction; the directions are expected to be of
 * unit length.  Angles are in degrees.
 */
#ifndef QUORM_LSFIT_LINES_H
#define QUORM_LSFIT_LINES_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

#if QUORM_FULL_BUILD
/** The acute angle between lines of directions d1 and d2, in degrees 0 ... 90;
 * 0 when d1 x d2 is no longer than 1e-10.  tol is the angle tolerance
 * (degrees) of the underlying turn measurement. */
QUORM_API double LSFIT_ask_acute_angle_of_lines_3d(const quorm_vector3 *d1, const quorm_vector3 *d2, double tol);

/** Distance from p to the line through l0 along dir.  *foot is the foot of
 * the perpendicular, at parameter *t = (p - l0).dir; a foot within tol of l0
 * snaps to l0 with t = 0. */
QUORM_API double LSFIT_ask_dist_pt_to_line_3d(const quorm_point3 *p, const quorm_point3 *l0,
                                              const quorm_vector3 *dir, double tol, quorm_point3 *foot, double *t);

/** Distance between the lines (p1, d1) and (p2, d2), with the closest points
 * c1 = p1 + t1 d1 and c2 = p2 + t2 d2.  tols[0] is a distance tolerance,
 * tols[1] an angle tolerance in degrees.
 *  - *same_start when |p1 - p2| < tols[0]: the result is |p1 - p2| and the
 *    closest points are p1 and p2 (t1 = t2 = 0);
 *  - *parallel when the directions are parallel within tols[1] (or the
 *    closest-point system is singular): c1 = p1, t1 = 0 and c2 the foot of
 *    p1 on the second line; the result is the distance of p1 from it. */
QUORM_API double LSFIT_ask_dist_of_two_straight_lines(const quorm_point3 *p1, const quorm_vector3 *d1,
                                                      const quorm_point3 *p2, const quorm_vector3 *d2,
                                                      const double tols[2], quorm_point3 *c1, double *t1,
                                                      quorm_point3 *c2, double *t2, bool *parallel,
                                                      bool *same_start);
#endif

QUORM_END_DECLS

#endif
