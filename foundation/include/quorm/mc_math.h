/** @file
 * Vector algebra over bare arrays of three doubles (MC_).
 *
 * Vectors are double[3].  Transforms are 12 doubles (three rows of 4: the
 * 3x3 linear part and the translation in elements 3, 7 and 11); coordinate
 * systems are 12 doubles laid out like CSYS_s (origin, X, Y, Z axes); 3x3
 * systems are 3x4 augmented arrays [A | b], row by row.  Tolerances are
 * fixed.  Every routine reads all its inputs before writing its output, so
 * an output may also be one of the inputs.
 *
 * Two conditions raise code 17 (QUORM_ERR_VECTOR_ALGEBRA) whatever the
 * checking level, after printing a line to standard output:
 *  - unitizing a vector shorter than 1e-4:
 *      "\nERROR: zero vector in unitize\n", raised "tried to unitize null vector";
 *  - a 3x3 system with |det| < 1e-8 times the product of its row lengths:
 *      "\nERROR: zero determinant in 3 by 3 system\n", raised
 *      "zero determinant in linear system".
 */
#ifndef QUORM_MC_MATH_H
#define QUORM_MC_MATH_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** to = from. */
QUORM_API void MC_v_copy(const double from[3], double to[3]);
/** out = a - b. */
QUORM_API void MC_AmB(const double a[3], const double b[3], double out[3]);
/** out = a + b. */
QUORM_API void MC_ApB(const double a[3], const double b[3], double out[3]);
/** out = `s*a`. */
QUORM_API void MC_aA(double s, const double a[3], double out[3]);
/** out = `s*a + b`. */
QUORM_API void MC_aApB(double s, const double a[3], const double b[3], double out[3]);
/** out = a x b, the cross product. */
QUORM_API void MC_AxB(const double a[3], const double b[3], double out[3]);
/** The dot product a.b. */
QUORM_API double MC_A_dot_B(const double a[3], const double b[3]);
/** The triple product (a x b).c. */
QUORM_API double MC_triple_product(const double a[3], const double b[3], const double c[3]);
/** Length of a. */
QUORM_API double MC_length(const double a[3]);
/** Squared length of a. */
QUORM_API double MC_length2(const double a[3]);
/** Distance between the points a and b. */
QUORM_API double MC_dist(const double a[3], const double b[3]);
/** Squared distance between the points a and b. */
QUORM_API double MC_dist2(const double a[3], const double b[3]);

/** Unitizes a in place; raises (code 17) when its length is below 1e-4. */
QUORM_API void MC_v_unit(double a[3]);

/** True when |a x b|^2 < 1.7453292519943296e-05 (meant for unit vectors;
 * opposite directions count as parallel). */
QUORM_API bool MC_q_parallel(const double a[3], const double b[3]);
/** True when |a.b| < 1e-4 (meant for unit vectors). */
QUORM_API bool MC_q_perp(const double a[3], const double b[3]);
/** Angle between unit a and b: 0 when a.b > 0.9999999, pi when a.b <
 * -0.9999999, else acos(a.b). */
QUORM_API double MC_get_angle(const double a[3], const double b[3]);

/** Determinant of the left 3x3 part of the 3x4 array m. */
QUORM_API double MC_determinant(const double m[12]);
/** Solves [A | b] by Cramer's rule; raises (code 17) when |det A| is below
 * 1e-8 times the product of the lengths of A's rows (or is NaN).
 * m is left as it was given. */
QUORM_API void MC_solve_3(const double m[12], double out[3]);

/** Distance between the lines p1 + t*d1 and p2 + s*d2 (0 for coincident
 * lines; lines with |d1 x d2|^2 < 1e-8 are treated as parallel). */
QUORM_API double MC_dist_lines(const double d1[3], const double p1[3], const double d2[3], const double p2[3]);
/** Planes n.x = d: (n1.n2 > 0 ? d2 : -d2) - d1 when MC_q_parallel (n1, n2),
 * else 0. */
QUORM_API double MC_signed_dist_planes(const double n1[3], double d1, const double n2[3], double d2);
/** n.point - d when MC_q_perp (n, direction), else 0. */
QUORM_API double MC_signed_dist_plane_axis(const double n[3], double d, const double direction[3],
                                           const double point[3]);
/** Intersection of the line through point along direction with the plane
 * n.x = d, through MC_solve_3 (so a line parallel to the plane raises). */
QUORM_API void MC_axis_plane_x(const double direction[3], const double point[3], const double n[3], double d,
                               double out[3]);
/** A unit vector perpendicular to the unit vector v.  Raises like MC_v_unit
 * for a null v. */
QUORM_API void MC_perp_vec(const double v[3], double out[3]);

/** q + (p.d - q.d) d, for the unit direction d of the line through q. */
QUORM_API void MC_proj_point_onto_line(const double p[3], const double d[3], const double q[3], double out[3]);
/** Unit vector from p's projection onto the line to p (raises when p is on
 * the line). */
QUORM_API void MC_perp_from_line_to_point(const double p[3], const double d[3], const double q[3], double out[3]);
/** True when the squared distance from p to its projection is <= 1e-8. */
QUORM_API bool MC_q_point_on_line(const double p[3], const double d[3], const double q[3]);
/** p - (p.n - d) n, for the unit normal n of the plane n.x = d. */
QUORM_API void MC_proj_point_onto_plane(const double p[3], const double n[3], double d, double out[3]);

/** Maps the point p by the 12-double transform m, translation included. */
QUORM_API void MC_apply_transform_to_point(const double m[12], const double p[3], double out[3]);
/** Maps the vector v by the linear part of the 12-double transform m (no
 * translation). */
QUORM_API void MC_apply_transform_to_vector(const double m[12], const double v[3], double out[3]);
/** The rigid transform (16 doubles, row by row) that carries a point with
 * local coordinates l in the system from to the point with the same local
 * coordinates in the system to: linear part Q = R_to^T R_from (R: the axes as
 * rows), translation to.origin - Q from.origin. */
QUORM_API void MC_calc_csys_to_csys_transform(const double from[12], const double to[12], double out[16]);

QUORM_END_DECLS

#endif
