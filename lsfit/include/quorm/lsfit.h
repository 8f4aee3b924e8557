/** @file
 * Least-squares building blocks and fits (LSFIT_): centroids, the circle
 * through three points and the sphere through four, the mean of a bundle of
 * directions, a local coordinate system, principal axes of a point cloud or
 * tensor, and total-least-squares fits of a line to 2-D points and of a plane
 * to 3-D points.
 *
 * Angles are in degrees.  A 3x3 tensor is nine doubles, row after row.  The
 * fits run their numerical work in a guard: a standard exception raised
 * inside comes out as Kaltor::Error::Severe with the fit's place recorded,
 * after the fit's temporary arrays have been freed.
 */
#ifndef QUORM_LSFIT_H
#define QUORM_LSFIT_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** @{ */
/** Mean of the n points; n must be positive (at checking level 0 a count
 * below 1 gives the origin). */
QUORM_API void LSFIT_ask_pts_centroid_2d(int n, const PNT2_s *pts, PNT2_s *out);
QUORM_API void LSFIT_ask_pts_centroid_3d(int n, const quorm_point3 *pts, quorm_point3 *out);
/** @} */

#if QUORM_FULL_BUILD
/** Centre and radius of the circle through three points (a proper triangle:
 * collinear corners are not detected). */
QUORM_API void LSFIT_cre_circumcircle_of_triangle(const quorm_point3 *p1, const quorm_point3 *p2,
                                                  const quorm_point3 *p3, quorm_point3 *centre, double *radius);

/** Centre and radius of the sphere through four points (a proper tetrahedron:
 * coplanar corners are not detected). */
QUORM_API void LSFIT_cre_circumsphere_of_tetrahedron(const quorm_point3 *p1, const quorm_point3 *p2,
                                                     const quorm_point3 *p3, const quorm_point3 *p4,
                                                     quorm_point3 *centre, double *radius);

/** Component-wise mean of n vectors (not unitised) and the largest angle in
 * degrees between the mean's line and any vector's line (senses ignored).
 * With unit true the vectors are taken as unit vectors; otherwise each is
 * unitised and null ones (length <= 1e-10) are skipped.  n <= 0: spread 0,
 * mean untouched; a null mean (length <= 1e-10): zero mean, spread 90. */
QUORM_API void LSFIT_ask_mean_vec(int n, const quorm_vector3 *vecs, bool unit, quorm_vector3 *mean,
                                  double *spread_degrees);

/** Local frame at origin with Z = normal (used as supplied), Y along the part
 * of dir perpendicular to normal and X = Y x Z (any perpendicular pair when
 * dir is null or parallel to normal).  to_local holds X, Y, Z in elements
 * 0-2, 4-6, 8-10, the origin in elements 12-14, zeros in 3, 7, 11 and 1 in
 * element 15; inverse is its inverse (MTX4_invert). */
QUORM_API void LSFIT_cre_local_csys(const quorm_point3 *origin, const quorm_vector3 *dir, const quorm_vector3 *normal,
                                    MTX4_s *to_local, MTX4_s *inverse);

/** Centroid, the eigenvalues of the covariance (1/n) sum (p - c)(p - c)^T in
 * descending order, and the matching unit axes.  A flat or linear point set
 * (an eigenvalue below 1e-10) is an internal error, "The inertia matrix is
 * not positive definite as expected.". */
QUORM_API void LSFIT_ask_principle_axes_of_inertia_from_3d_pts(int n, const quorm_point3 *pts,
                                                               quorm_point3 *centroid, double moments[3],
                                                               quorm_vector3 axes[3]);

/** Eigenvalues (descending) and unit eigenvectors of a symmetric 3x3 tensor. */
QUORM_API void LSFIT_ask_principle_axes_of_inertia_from_3d_tensor(const double *tensor, double moments[3],
                                                                  quorm_vector3 axes[3]);
#endif

/** Total-least-squares line through 2-D points: point = the centroid, normal =
 * the unit direction of least scatter, *status = 0.  Points within 0.001 of
 * their centroid: *status = 1, normal zero, stats unwritten.  stats: the
 * largest and (index 2) the mean distance of the points from the line, and
 * (index 1) the root-mean-square distance sqrt(lambda_min/n).  n <= 0 is an
 * internal error ("There are no input points."). */
QUORM_API void LSFIT_line_to_points_2d(const PNT2_s *pts, int n, PNT2_s *point, VEC2_s *normal, int *status,
                                       double stats[3]);

/** Total-least-squares plane through 3-D points, with statistics as for the
 * line.  Degenerate input gives *status = 1 and no statistics: points within
 * 0.001 of their centroid (normal (0, 0, 1)) or within 0.001 of one line
 * (normal a unit vector perpendicular to it). */
QUORM_API void LSFIT_plane_to_points(const quorm_point3 *pts, int n, quorm_point3 *point, quorm_vector3 *normal,
                                     int *status, double stats[3]);

QUORM_END_DECLS

#endif
