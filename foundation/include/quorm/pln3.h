/** @file
 * Planes (PLN3_).  A plane's normal need not be of unit length: every
 * distance below is divided by its length, so a plane with a null normal
 * holds no point and meets no segment. */
#ifndef QUORM_PLN3_H
#define QUORM_PLN3_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** True when the distance of p from the plane is at most tol. */
QUORM_API bool PLN3_is_point_on_plane(const PLN3_s *plane, const quorm_point3 *p, double tol);

/** True when the normals are parallel (VEC3_is_parallel with angle_tol, the
 * sine of the allowed deviation; opposite normals count) and b's point lies
 * on a within distance_tol. */
QUORM_API bool PLN3_is_coincident(const PLN3_s *a, const PLN3_s *b, double distance_tol, double angle_tol);

/** True when the normals differ by at most normal_tol (as vectors, so their
 * lengths and senses must agree) and b's point lies on a within
 * distance_tol. */
QUORM_API bool PLN3_is_equal(const PLN3_s *a, const PLN3_s *b, double distance_tol, double normal_tol);

/** True when the segment p1 p2 meets or touches the plane: the signed
 * distances s1, s2 of its end points have s1*s2 <= 0, or |s1*s2| <= tol
 * (tol bounds the product, an area-like measure). */
QUORM_API bool PLN3_is_segment_intersecting(const PLN3_s *plane, const quorm_point3 *p1, const quorm_point3 *p2,
                                            double tol);

QUORM_END_DECLS

#endif
