/** @file
 * Plane-geometry primitives of the arc-spline family (ARC_SPLINE_):
 * equation solvers, angle helpers, three-point tests, parameter order and
 * interval tests, ray relations, bisectors, projections, small transforms and
 * the Monge-plane algebra in which a circle is a point of 3-D space.
 *
 * Angles are in degrees.  The family's fixed small tolerance is 1e-10 unless
 * a tolerance array tols is passed (tols[0] distance, tols[1] angle in
 * degrees).  Nothing here keeps state or allocates memory.
 *
 * The 4x4 transforms built here act on row vectors: a point p maps to p * M,
 * the translation is the fourth row (elements 12, 13, 14) and element 15 is 1.
 * (This is the transpose of the MTX4_ convention.)  Likewise a vector is
 * rotated or transformed as a row vector times the 3x3 matrix.
 *
 * Rays: the four ray functions take two rays (p1, d1) and (p2, d2) with unit
 * directions.  Unless have_apex (or with do_intersect), the apex of the two
 * carrier lines, its line parameters parms and the intersection status (as
 * ARC_SPLINE_inter_line_line_2d gives them: 0 meeting, 1 parallel, 2 the same
 * line) are computed and written to the caller's apex, parms and
 * inter_status; otherwise they are read from there.
 *
 * Circles as points: a circle with centre (x, y) and radius r is the point
 * (x, y, x^2 + y^2 - r^2).  Circle centres passed as Point3 ignore their
 * third coordinate.
 */
#ifndef QUORM_ARC_SPLINE_PLANE_H
#define QUORM_ARC_SPLINE_PLANE_H

#include <quorm/arc_spline_seg.h>
#include <quorm/records.h>

/** The plane a*x + b*y + c*z + d = 0 of the space of lifted circles.
 * is_normalized is 1 once (a, b, c) is a unit vector and d has been divided by
 * its former length, else 0. */
typedef struct ARC_SPLINE_monge_plane_s {
    double a;                    /**< x coefficient of the normal */
    double b;                    /**< y coefficient of the normal */
    double c;                    /**< z coefficient of the normal */
    double d;                    /**< constant term               */
    unsigned char is_normalized; /**< 1 normalised, 0 not         */
} ARC_SPLINE_monge_plane_s;

QUORM_BEGIN_DECLS

/* ---- equations ------------------------------------------------------------ */

/** Roots of a*u^2 + b*u + c = 0 (roots are 0 unless written; a coefficient
 * that is not a finite number gives count 0).  With normalize 1 the
 * coefficients are first
 * divided by their Euclidean length (below 1e-12: count -3).  count: -3 every
 * u solves it, 0 no solution, 1 linear (both roots equal), 2 two real roots
 * (a double root twice), -2 complex: roots[0] the real part, roots[1] the
 * imaginary part. */
QUORM_API void ARC_SPLINE_solve_quadratic_eqt(double a, double b, double c, int normalize, double roots[2], int *count);

/** Solutions t of p1*sin t + p2*cos t + p3 = 0 through u = tan(t/2): in
 * radians when unit is 'r', else in degrees.  range 0 keeps every root (a
 * negative u gets one full turn added), 1 keeps 0 <= u <= 1, 10 keeps
 * 0 <= u <= 1 with angle <= 90 - tol, -11 keeps |u| < 1 with |angle| <= 90 -
 * tol (tol in the angle unit), any other range keeps all roots unchanged.
 * count -3 when all three coefficients vanish; two roots come sorted by
 * angle, each with its half-angle tangent.  The solution t = 180 degrees
 * (p3 = p2), which the half-angle substitution cannot express, is included by
 * the ranges that keep every root, with half-angle tangent HUGE_VAL. */
QUORM_API void ARC_SPLINE_trig_eqt_linear_sin_cos(double p1, double p2, double p3, char unit, int range, double tol,
                                                  int *count, double angles[2], double half_tans[2]);

/* ---- angles --------------------------------------------------------------- */

/** Counter-clockwise angle from e1 to e2 in [0, 360); the vectors are unitised
 * first unless are_unit. */
QUORM_API double ARC_SPLINE_ask_angle_between_vectors_2d(const VEC2_s *e1, const VEC2_s *e2, int are_unit);
/** The same for unit tangents, but above 180 it returns 360 minus it with
 * *sense -1 (clockwise turn), else *sense +1. */
QUORM_API double ARC_SPLINE_ask_central_angle_between_tangents_2d(const VEC2_s *t1, const VEC2_s *t2, int *sense);
/** Central angle subtending a chord: acos(1 - chord^2 / (2 radius^2)), the
 * argument clamped to [-1, 1].  A radius below 1e-10 is reported as an
 * internal error ("The radius is zero.") and the call goes on. */
QUORM_API double ARC_SPLINE_ask_min_central_angle(double radius, double chord);
/** Interior angle in [0, 180] at vertex which_angle (1, 2 or 3) of the
 * triangle p1 p2 p3.  An edge at that vertex shorter than tols[0] gives status
 * 1 and 0; another which_angle is an internal error. */
QUORM_API double ARC_SPLINE_ask_interior_angle_of_triangle_2d(const PNT2_s *p1, const PNT2_s *p2, const PNT2_s *p3,
                                                              const double tols[], int which_angle, int *status);
/** 0 if |x| <= tol, else +1 or -1. */
QUORM_API int ARC_SPLINE_ask_sign_of_var(double x, double tol);
/** Integer remainder of a / b with the sign of a (0 when b is 0 or -1, which
 * have no remainder to overflow). */
QUORM_API int ARC_SPLINE_mod(int a, int b);

/* ---- three points --------------------------------------------------------- */

/** @{ */
/** Cycles the points so that the first and the last are the farthest pair.
 * Status -1 if two points lie within tol (points unchanged), 0 unchanged,
 * 1 now (p2, p3, p1), 2 now (p3, p1, p2). */
QUORM_API void ARC_SPLINE_re_order_3pts_2d(double tol, PNT2_s *p1, PNT2_s *p2, PNT2_s *p3, int *status);
QUORM_API void ARC_SPLINE_re_order_3pts_3d(double tol, quorm_point3 *p1, quorm_point3 *p2, quorm_point3 *p3,
                                           int *status);
/** @} */
/** 2 all within tols[0], 1 collinear (within tols[0] and tols[1]), 0 not.
 * The angle between the farthest pair and the middle point is compared
 * through its sine, which stays accurate for tiny angular tolerances.  In
 * mode 2, for non-collinear points, *orientation becomes 1 when p1 p2 p3 turn
 * clockwise ((p1 - p2) x (p3 - p2) > 0), 0 when counter-clockwise; it is -1
 * otherwise. */
QUORM_API int ARC_SPLINE_ask_3pts_collinearity_2d(const PNT2_s *p1, const PNT2_s *p2, const PNT2_s *p3,
                                                  const double tols[], int mode, int *orientation);
/** The 3-D test: 2 all within tols[0], 1 collinear (within tols[0] and
 * tols[1], through the sine as above), 0 not.  *reorder_status receives the
 * status of ARC_SPLINE_re_order_3pts_3d with tol tols[0]; the points
 * themselves are not changed. */
QUORM_API int ARC_SPLINE_ask_3pts_collinearity_3d(const quorm_point3 *p1, const quorm_point3 *p2,
                                                  const quorm_point3 *p3, const double tols[], int *reorder_status);
/** @{ */
/** True when both tangents are parallel to the chord p1 p2 within angle_tol
 * degrees; *dist is the chord length, *chord its unit vector. */
QUORM_API bool ARC_SPLINE_ask_are_hermite_data_collinear_2d(const PNT2_s *p1, const VEC2_s *t1, const PNT2_s *p2,
                                                            const VEC2_s *t2, double angle_tol, double *dist,
                                                            VEC2_s *chord);
QUORM_API bool ARC_SPLINE_ask_are_hermite_data_collinear_3d(const quorm_point3 *p1, const quorm_vector3 *t1,
                                                            const quorm_point3 *p2, const quorm_vector3 *t2,
                                                            double angle_tol, double *dist, quorm_vector3 *chord);
/** @} */

/* ---- parameter order and intervals ---------------------------------------- */

/** b follows a, where a gap of at least half a period wraps around. */
QUORM_API bool ARC_SPLINE_ask_is_pair_in_order(double a, double b, double period);
/** 1 strictly inside, 11 at low, 12 at high (within 1e-10), 0 outside.  With
 * a period, low > high wraps through 0. */
QUORM_API int ARC_SPLINE_ask_is_parm_in_interval(double t, double low, double high, double period);

/* ---- rays (point and unit direction) -------------------------------------- */

/** q1 on line 1 and q2 on line 2 as far from the apex as p2 and p1 are, each on
 * its own point's side; side1, side2: sides of p1 w.r.t. line 2 and of p2
 * w.r.t. line 1.  Non-meeting lines give the feet of p2 and p1, and so do
 * points that each lie on the other's line (*inter_status then becomes 2).
 * Apex data: see Rays in the file description. */
QUORM_API void ARC_SPLINE_ask_isosceles_to_pt_2d(const double tols[], const PNT2_s *p1, const VEC2_s *d1,
                                                 const PNT2_s *p2, const VEC2_s *d2, int have_apex, PNT2_s *apex,
                                                 double parms[2], int *inter_status, PNT2_s *q1, PNT2_s *q2,
                                                 int *side1, int *side2);
/** -1 both rays start at the apex; 1 homodromic: both run towards the apex or
 * both away from it (also when only ray 1 starts there), or, for parallel
 * lines, both point the same way; 0 otherwise.  The apex data are computed
 * when do_intersect is 1, else read (see Rays in the file description). */
QUORM_API int ARC_SPLINE_ask_are_two_rays_homodromic_2d(const double tols[], const PNT2_s *p1, const VEC2_s *d1,
                                                        const PNT2_s *p2, const VEC2_s *d2, int do_intersect,
                                                        PNT2_s *apex, double parms[2], int *inter_status);
/** Convexities (-1, 0, 1; -2 undetermined) of the two arcs of a corner and
 * which ray is longer ('l', 'r', 'e'; 'n' undetermined); q1, q2 as from
 * ARC_SPLINE_ask_isosceles_to_pt_2d.  An inter_status of 2 or more gives
 * convexities 0; otherwise the apex data are computed afresh whatever
 * have_apex says. */
QUORM_API void ARC_SPLINE_ask_convexities_of_tri_arc_2d(const double tols[], const PNT2_s *p1, const VEC2_s *d1,
                                                        const PNT2_s *p2, const VEC2_s *d2, int have_apex,
                                                        PNT2_s *apex, double parms[2], int *inter_status, PNT2_s *q1,
                                                        PNT2_s *q2, int *convexity1, int *convexity2,
                                                        char *which_longer);
/** Bisector of the corner: a point mid and a unit direction dir.  mid is the
 * midpoint of p2 and the q1 of ARC_SPLINE_ask_isosceles_to_pt_2d (moved to
 * the midpoint of apex + d1 and apex + d2 when it falls on the apex), dir the
 * unit direction from the apex to it (the left normal of d1 for opposite
 * rays); lines that do not meet give dir = d1.  Apex data: see Rays in the
 * file description. */
QUORM_API void ARC_SPLINE_ask_bisector_of_angle_2d(const double tols[], const PNT2_s *p1, const VEC2_s *d1,
                                                   const PNT2_s *p2, const VEC2_s *d2, int have_apex, PNT2_s *apex,
                                                   double parms[2], int *inter_status, PNT2_s *mid, VEC2_s *dir);

/* ---- bisectors in space --------------------------------------------------- */

/** Inscribed angle (degrees) and type of the corner from direction e1 to e2
 * about a reference normal (normal, or +Z when null; for a corner standing
 * upright, or a normal perpendicular to its plane, the normal of the corner's
 * own plane): type 1 convex (inscribed 180 - turn), 0 reflex (540 - turn), -1
 * straight on (inscribed 180); turn is the angle in [0, 360) from e1 to e2
 * about the reference.  With project, e1 and e2 are first projected onto the
 * reference plane. */
QUORM_API void ARC_SPLINE_ask_inscribed_angle_and_type(const quorm_vector3 *e1, const quorm_vector3 *e2,
                                                       const quorm_vector3 *normal, int project, double angle_tol,
                                                       double *inscribed, double *turn, int *type);
/** The bisector of the inscribed angle at point and the plane through point
 * that bisects it (normal unit(bisector x normal)).  e1 and e2 are projected
 * onto the plane of normal (+Z when null); the turn and the inscribed angle
 * are measured about that normal, and the bisector is e1 turned by half the
 * inscribed angle as a row vector times the rotation matrix (so it points
 * along the bisecting line, either way). */
QUORM_API void ARC_SPLINE_ask_bisector_of_inscribed_angle(const quorm_vector3 *e1, const quorm_vector3 *e2,
                                                          const quorm_point3 *point, const quorm_vector3 *normal,
                                                          double angle_tol, double *inscribed, double *turn, int *type,
                                                          quorm_vector3 *bisector, PLN3_s *plane);
/** The same at the corner p2 of the polygon p1 p2 p3. */
QUORM_API void ARC_SPLINE_ask_bisector_of_polygon_angle(const quorm_point3 *p1, const quorm_point3 *p2,
                                                        const quorm_point3 *p3, const quorm_vector3 *normal,
                                                        double angle_tol, double *inscribed, double *turn, int *type,
                                                        quorm_vector3 *bisector, PLN3_s *plane);

/* ---- projections (plane: unit normal n through q) ------------------------- */

/** out = the foot of p on the plane through q with unit normal n. */
QUORM_API void ARC_SPLINE_proj_pt_to_pln(const quorm_vector3 *n, const quorm_point3 *q, const quorm_point3 *p,
                                         quorm_point3 *out);
/** Moves p onto the plane through q with unit normal n (its foot, in place). */
QUORM_API void ARC_SPLINE_adjust_pt_on_pln(const quorm_vector3 *n, const quorm_point3 *q, quorm_point3 *p);
/** out = v - (v.n) n, the component of v in the plane of the unit normal n. */
QUORM_API void ARC_SPLINE_proj_vec_to_pln(const quorm_vector3 *n, const quorm_vector3 *v, quorm_vector3 *out);
/** Replaces v by its component in the plane of the unit normal n, unitised
 * when unitize (zero when that component is no longer than 1e-10). */
QUORM_API void ARC_SPLINE_adjust_vec_on_pln(bool unitize, const quorm_vector3 *n, quorm_vector3 *v);
/** Where the line p + t*v meets the plane: status 0 with *t and *out, -1 the
 * line lies in the plane (t 0, out p), 1 parallel (outputs untouched). */
QUORM_API void ARC_SPLINE_proj_pt_along_vec_on_plane(const quorm_point3 *p, const quorm_point3 *q,
                                                     const quorm_vector3 *n, const quorm_vector3 *v,
                                                     const double tols[], quorm_point3 *out, double *t, int *status);
/** Mirror image of p in the line through q with unit direction d; side of p
 * as the point-line distance reports it. */
QUORM_API void ARC_SPLINE_mirror_point_wrt_line_2d(const PNT2_s *p, const PNT2_s *q, const VEC2_s *d, double tol,
                                                   PNT2_s *out, int *side);

/* ---- transforms (row-vector convention, see above) ------------------------ */

/** Reflection I - 2 w w^T, w = unit(b - a), that swaps the unit vectors a and
 * b; the identity when they agree within 1e-10. */
QUORM_API void ARC_SPLINE_ask_householder_rotation(const quorm_vector3 *a, const quorm_vector3 *b, MTX3_s *m);
/** The same reflection as the upper 3x3 of an otherwise identity 4x4
 * matrix (no translation). */
QUORM_API void ARC_SPLINE_ask_householder_transformation(const quorm_vector3 *a, const quorm_vector3 *b, MTX4_s *m);
/** Identity with the fourth row (to - from) when they are more than 1e-10
 * apart. */
QUORM_API void ARC_SPLINE_ask_translation_matrix(const quorm_point3 *from, const quorm_point3 *to, MTX4_s *m);
/** m1 with m2's translation row added to its own; out may be m1 or m2. */
QUORM_API void ARC_SPLINE_combine_translation_matrix(const MTX4_s *m1, const MTX4_s *m2, MTX4_s *out);
/** Upper 3x3 from r, fourth row from t's translation, last column (0,0,0,1). */
QUORM_API void ARC_SPLINE_combine_rotation_translation(const MTX3_s *r, const MTX4_s *t, MTX4_s *out);
/** MTX3_rot_about_axis with the angle in degrees. */
QUORM_API void ARC_SPLINE_cre_matrix_of_rotation_around_axis(const quorm_vector3 *axis, double angle_deg, MTX3_s *m);
/** v as a row vector times that matrix: a positive angle turns v clockwise
 * when seen from the tip of the axis (the inverse rotation of M * v). */
QUORM_API void ARC_SPLINE_rotate_vector_around_axis(const quorm_vector3 *v, const quorm_vector3 *axis,
                                                    double angle_deg, bool unitize, quorm_vector3 *out);
/** p turned about the line through origin along axis: origin plus p - origin
 * turned as by ARC_SPLINE_rotate_vector_around_axis (not unitised). */
QUORM_API void ARC_SPLINE_rotate_point_around_axis(const quorm_point3 *p, const quorm_point3 *origin,
                                                   const quorm_vector3 *axis, double angle_deg, quorm_point3 *out);
/** v times the upper 3x3 of m (no translation), unitised if asked. */
QUORM_API void ARC_SPLINE_transform_vec_3d(const quorm_vector3 *v, const MTX4_s *m, bool unitize, quorm_vector3 *out);
/** The matrix M with a_i * M = b_i.  With unitize the six vectors are
 * unitised in place.  Status 1 (M the identity) when a1, a2, a3 are
 * dependent. */
QUORM_API void ARC_SPLINE_cre_mtx3_from_3_vecs_to_3_vecs(quorm_vector3 *a1, quorm_vector3 *a2, quorm_vector3 *a3,
                                                         quorm_vector3 *b1, quorm_vector3 *b2, quorm_vector3 *b3,
                                                         int unitize, MTX3_s *m, int *status);
/** The same with a3 = unit(a1 x a2), b3 = unit(b1 x b2); status 1 when either
 * pair is parallel. */
QUORM_API void ARC_SPLINE_cre_mtx3_from_2_vecs_to_2_vecs(quorm_vector3 *a1, quorm_vector3 *a2, quorm_vector3 *b1,
                                                         quorm_vector3 *b2, int unitize, MTX3_s *m, int *status);

/* ---- Monge planes --------------------------------------------------------- */

/** (x, y, x^2 + y^2 - r^2). */
QUORM_API void ARC_SPLINE_convert_circle_to_3d_pt(const quorm_point3 *centre, double r, quorm_point3 *out);
/** The inverse: k = x^2 + y^2 - z; |k| <= 1e-20 a real circle of radius 0, k > 0
 * radius sqrt(k), otherwise *is_real false and seg untouched.  A real circle
 * is the full counter-clockwise circle from centre and radius. */
QUORM_API void ARC_SPLINE_convert_3d_pt_to_circle_2d(const quorm_point3 *p, bool *is_real, ARC_SPLINE_1_seg_2d_s *seg);
/** (2x, 2y, -1, -(x^2 + y^2 - r^2)), not normalised. */
QUORM_API void ARC_SPLINE_ask_polar_plane_of_circle(const quorm_point3 *centre, double r,
                                                    ARC_SPLINE_monge_plane_s *plane);
/** Copies every field of src to dst. */
QUORM_API void ARC_SPLINE_copy_monge_plane(const ARC_SPLINE_monge_plane_s *src, ARC_SPLINE_monge_plane_s *dst);
/** (a, b, c) unitised (a plane whose normal is shorter than 1e-10 is left as
 * it is, flag 0), d divided by the former length, flag 1. */
QUORM_API void ARC_SPLINE_normalize_monge_plane(ARC_SPLINE_monge_plane_s *plane);
/** Unit normal and the plane's point nearest the origin. */
QUORM_API void ARC_SPLINE_ask_pt_and_normal_of_monge_plane(const ARC_SPLINE_monge_plane_s *plane, quorm_point3 *point,
                                                           quorm_vector3 *normal);
/** Line of intersection (a point and a unit direction).  Status 1 parallel
 * within tols[1] degrees (or a null normal), 2 the same plane. */
QUORM_API void ARC_SPLINE_inter_2_monge_planes(const ARC_SPLINE_monge_plane_s *pl1, const ARC_SPLINE_monge_plane_s *pl2,
                                               const double tols[], quorm_point3 *point, quorm_vector3 *dir,
                                               int *status);
/** Common point of three planes: the three pairwise intersections (statuses
 * st12, st23, st13); when all succeed, the point where the line pl1 ^ pl2
 * meets pl3 (a failure there sets st23 and st13 to 1). */
QUORM_API void ARC_SPLINE_inter_3_monge_planes(const ARC_SPLINE_monge_plane_s *pl1, const ARC_SPLINE_monge_plane_s *pl2,
                                               const ARC_SPLINE_monge_plane_s *pl3, const double tols[],
                                               quorm_point3 *point, int *st12, int *st23, int *st13);
/** |p - centre|^2 - r^2. */
QUORM_API double ARC_SPLINE_ask_power_of_a_point_3d(const quorm_point3 *p, const quorm_point3 *centre, double r);
/** |centre - p|^2 - radius^2 of a segment's circle (radius 1e19 for a
 * straight); 0 for a missing segment. */
QUORM_API double ARC_SPLINE_ask_power_of_a_point_2d(const PNT2_s *p, const ARC_SPLINE_1_seg_2d_s *seg);

/** Radical axis of two circles: a point on it and its direction, the left
 * normal of the unit vector from the larger circle's centre to the smaller's.
 * relation: 0 no common point (apart, or one circle strictly inside the
 * other), 1 touching from outside or inside within 1e-10 (the point is then
 * the touching point), 2 crossing, 3 concentric (no axis).
 * Status 1 when c1 is not a usable circle, 2 when c2 is not. */
QUORM_API void ARC_SPLINE_ask_radical_axis_of_2_circles_2d(const ARC_SPLINE_1_seg_2d_s *c1,
                                                           const ARC_SPLINE_1_seg_2d_s *c2, PNT2_s *point,
                                                           VEC2_s *dir, int *relation, int *status);

QUORM_END_DECLS

#endif
