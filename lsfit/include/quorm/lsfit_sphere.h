/** @file
 * Circle and sphere fits (LSFIT_): algebraic least squares with Pratt's
 * normalisation, solved as a generalised symmetric eigenproblem, with a
 * fallback to the circle through three or the sphere through four of the
 * points when the eigenproblem gives no usable answer.
 */
#ifndef QUORM_LSFIT_SPHERE_H
#define QUORM_LSFIT_SPHERE_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** Sphere A.|p|^2 + B.x + C.y + D.z + E = 0 (B^2 + C^2 + D^2 - 4AE = 1) fitted
 * to the n points.  *radius = 1e19 means no sphere: the fallback found the
 * points flat.  *status = 1 when the points lie on a plane as far as the fit
 * can tell: A negligible, or a radius above 1e8 times the largest distance
 * of a point from the centroid (rounding turns coplanar points of any size
 * into a huge sphere); *centre then stays cleared.  n <= 0 gives status 1.
 * stats (written by a proper fit only): the largest absolute radial
 * deviation, sqrt(n / lambda) with lambda the eigenvalue of the fit, and the
 * mean absolute radial deviation. */
QUORM_API void LSFIT_sphere_to_points_3d(const quorm_point3 *pts, int n, quorm_point3 *centre, double *radius,
                                         int *status, double stats[3]);

/** Circle A.|p|^2 + B.x + C.y + E = 0 (B^2 + C^2 - 4AE = 1) fitted to the n
 * points.  *status = 1 (radius 1e19) for collinear points: A negligible, a
 * radius above 1e8 times the spread of the points, a degenerate line fit or
 * one with root-mean-square distance below 0.005; otherwise a failure of the
 * circle through the first, middle and last points passes its status on
 * (radius 1e19).  *centre is written only with a radius.  n <= 0 gives
 * status 1.  stats as for the sphere, distances in the plane. */
QUORM_API void LSFIT_circle_to_points_2d(const PNT2_s *pts, int n, PNT2_s *centre, double *radius, int *status,
                                         double stats[3]);

/** Indices of four of the n points that span a solid: the point farthest
 * from the centroid, the point farthest from it, the point farthest from
 * the line through both, and the point farthest from the plane of the
 * three.  *status = 1 (corners unwritten) when the set is flat: fewer than
 * four points, a degenerate plane fit, a plane fit whose largest deviation
 * is below tol, or a fourth point less than tol from the plane of the other
 * three; else 0. */
QUORM_API void LSFIT_cre_tetrahedron_from_pts(const quorm_point3 *pts, int n, double tol, int corners[4],
                                              int *status);

QUORM_END_DECLS

#endif
