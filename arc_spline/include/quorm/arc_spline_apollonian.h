/** @file
 * Circle constructions of the arc-spline family (ARC_SPLINE_): circles and
 * arcs through points, tangent to lines and circles (the problems of
 * Apollonius and their limiting cases), fillets.
 *
 * Results are ARC_SPLINE_1_seg_2d_s records in caller-owned storage, with a
 * count of solutions and a status (0 success; each function numbers its
 * failure paths).  The count is 0 whenever the status is non-zero, except
 * where said.  A count of 3 marks an infinite family of solutions (the outputs
 * then hold representatives).
 *
 * Two kinds of constructions:
 *  - direct plane geometry on PNT2_s points, VEC2_s unit directions and arc
 *    segments, with tolerance arrays tols (tols[0] distance, tols[1] angle in
 *    degrees);
 *  - lifted constructions, in which a circle with centre (x, y) and radius r
 *    is the point (x, y, x^2 + y^2 - r^2) of 3-D space and tangency becomes a
 *    plane or a quadratic condition.  Their circles (and points, which are
 *    circles of radius 0) are passed as a centre (a 3-D point whose third
 *    coordinate is ignored) and a radius; their solutions are full
 *    counter-clockwise circles (angles 90 to 450) in the caller's array.
 *
 * Internal errors go to ERROR_internal under the source name
 * arc_spline_apollonian_constructions and the call goes on; assertions are
 * checked only while MACH__checking_level is above 0.  Nothing allocates.
 */
#ifndef QUORM_ARC_SPLINE_APOLLONIAN_H
#define QUORM_ARC_SPLINE_APOLLONIAN_H

#include <quorm/arc_spline_seg.h>
#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** Arc from p1 with unit tangent t1 to p2, sense +1 (counter-clockwise) or -1.
 * With *radius > 1e-10 the radius is given: the centre is p1 + radius times
 * the normal of t1 on the sense side, the end angle the inclination of t2 (p2
 * is not used).  Otherwise the radius is computed (callers pass -1) and
 * written back: the centre is where the normal at p1 meets the perpendicular
 * bisector of p1 p2, and the end tangent follows from p2.  The end angle lies
 * above the start angle for sense +1, below it for -1.
 * Status: 1 sense not +-1, 2 chord shorter than 1e-10, 3 p2 on the tangent
 * line at p1 (no circle), 4 p2 on the wrong side of the tangent for the sense
 * (no arc of that sense reaches it).  On failure seg is initialised. */
QUORM_API void ARC_SPLINE_cre_circle_from_chord_end_data_2d(const PNT2_s *p1, const VEC2_s *t1, const PNT2_s *p2,
                                                            const VEC2_s *t2, int sense, double *radius,
                                                            ARC_SPLINE_1_seg_2d_s *seg, int *status);

/** Full circle through p1, p2, p3 starting at p1, run through them in this
 * order.  Status 1 collinear, 2 coincident points (seg initialised), else the
 * status of the bisector intersection. */
QUORM_API void ARC_SPLINE_cre_circle_thru_3_points_2d(const PNT2_s *p1, const PNT2_s *p2, const PNT2_s *p3,
                                                      const double tols[], ARC_SPLINE_1_seg_2d_s *seg, int *status);

/** Full circles of the given radius through p1 and p2, starting at p1.
 *  - radius equal to half the chord (within tols[0]): count 1, the
 *    counter-clockwise circle on p1 p2 as diameter;
 *  - larger radius: count 2; seg1 has its centre on the left of p1 -> p2,
 *    seg2 on the right.  With which 0 seg1 runs counter-clockwise and seg2
 *    clockwise, so that each reaches p2 first along its shorter arc; with
 *    which 1 (any non-zero value) the senses are swapped (the longer arcs);
 *  - smaller radius: count 0, status 2.
 * Status 1 when the half chord is at most tols[0]. */
QUORM_API void ARC_SPLINE_cre_circle_thru_2_points_and_radius(const PNT2_s *p1, const PNT2_s *p2, double radius,
                                                              int which, const double tols[], int *count,
                                                              ARC_SPLINE_1_seg_2d_s *seg1, ARC_SPLINE_1_seg_2d_s *seg2,
                                                              int *status);

/** Full circle through q tangent to the line (p, t) at p, starting at p with
 * tangent t (counter-clockwise when q lies left of the line).  Status 1: q on
 * p, seg the point circle at p; status 2: q on the line, seg the straight from
 * p to q. */
QUORM_API void ARC_SPLINE_cre_circle_thru_pt_and_tangent_to_line_at_pt_2d(const PNT2_s *p, const VEC2_s *t,
                                                                          const PNT2_s *q, const double tols[],
                                                                          ARC_SPLINE_1_seg_2d_s *seg, int *status);

/** Circles through p1 and p2 tangent to the line (lp, ld), with their
 * tangency points.  The chord on the line: count 1, the straight p1 -> p2
 * (tangency points p1 and p2).  Chord parallel to the line: one circle.  Line
 * separating the points: count 0.  Line through p1 or p2: one circle tangent
 * there.  Otherwise two circles, the tangency point ahead along ld first; a
 * circle that cannot be built is left out (the count says how many were).
 * Status 1 when p1 and p2 coincide within tols[0]. */
QUORM_API void ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(const PNT2_s *p1, const PNT2_s *p2, const PNT2_s *lp,
                                                                   const VEC2_s *ld, const double tols[], int *count,
                                                                   PNT2_s *tangency1, PNT2_s *tangency2,
                                                                   ARC_SPLINE_1_seg_2d_s *seg1,
                                                                   ARC_SPLINE_1_seg_2d_s *seg2, int *status);

/** Circles through p1 and p2 tangent to the given circle, with their
 * tangency points, in the order of the tangency points along the circle.
 * Points on opposite sides of the circle have no solution (count 0).
 * Status 1 the circle is missing or a straight, 2 the tangent construction
 * fails, 3 p1 and p2 coincide within tols[0]. */
QUORM_API void ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(const PNT2_s *p1, const PNT2_s *p2,
                                                                     const ARC_SPLINE_1_seg_2d_s *circle,
                                                                     const double tols[], int *count,
                                                                     PNT2_s *tangency1, PNT2_s *tangency2,
                                                                     ARC_SPLINE_1_seg_2d_s *seg1,
                                                                     ARC_SPLINE_1_seg_2d_s *seg2, int *status);

/** @{ */
/** Lifted constructions: the circles through two points tangent to a circle
 * (centre, radius), tangent to two circles through a point, and tangent to
 * three circles.  segs must hold 2, 4 and 8 records respectively.
 * The solutions come in the order of the line pairs: for two points and a
 * circle the two roots on the line of the points' polar planes; for two
 * circles and a point the roots on P+(1,2) ^ polar(point), then on
 * P-(1,2) ^ polar(point); for three circles the roots on P+(1,2) ^ P+(1,3),
 * P+(1,2) ^ P-(1,3), P-(1,2) ^ P+(1,3), P-(1,2) ^ P-(1,3).  Non-real roots are
 * skipped.  Circle 1 is the reference circle that the quadratic condition
 * refers to; when its radius is below 1e-3 of the largest input radius, the
 * circle of largest radius (the first of equal ones) takes its place, so
 * that a point or tiny circle given first still yields its solutions (the
 * order is then that of the reordered circles).  A circle of radius below
 * 1e-10 other than the reference counts as a point (one plane, no duplicate
 * solutions); when every radius is below 1e-10 the single circle through the
 * points is returned.  A negative radius or a coordinate that is not a finite
 * number gives count 0. */
QUORM_API void ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle_2(const quorm_point3 *centre, double radius,
                                                                       const quorm_point3 *p1, const quorm_point3 *p2,
                                                                       int *count, ARC_SPLINE_1_seg_2d_s segs[]);
QUORM_API void ARC_SPLINE_cre_circle_tangent_to_2_circles_and_a_pt(const quorm_point3 *centre1, double r1,
                                                                   const quorm_point3 *centre2, double r2,
                                                                   const quorm_point3 *point, int *count,
                                                                   ARC_SPLINE_1_seg_2d_s segs[]);
QUORM_API void ARC_SPLINE_cre_circle_tangent_to_3_circles(const quorm_point3 *centre1, double r1,
                                                          const quorm_point3 *centre2, double r2,
                                                          const quorm_point3 *centre3, double r3, int *count,
                                                          ARC_SPLINE_1_seg_2d_s segs[]);
/** @} */

/** Arcs of the given radius tangent to two arcs, from the touching point on
 * circle 1 to the touching point on circle 2 (the shorter way round).
 * which selects the kind of contact: 1 and -3 inside circle 1, -1 and 3
 * outside it; -1 and -3 inside circle 2, 1 and 3 outside it.  which 0 runs
 * -3, 1, -1, 3 in this order and appends every solution (segs: 8 records,
 * tangency: 16 points, two per solution); a single selection needs 2 and 4.
 * A selection that asks for a solution inside a circle whose radius does not
 * exceed the given radius by tols[0] has no solution.  whole1 and whole2 set
 * to 1 take the arcs as whole circles; otherwise the touching points must lie
 * on the arcs.  Checked while checking is on: the radius is at least tols[0]
 * and both inputs are arcs of radius at least tols[0]. */
QUORM_API void ARC_SPLINE_cre_circle_tangent_to_2_circles_and_given_radius_2d(
    const ARC_SPLINE_1_seg_2d_s *circle1, const ARC_SPLINE_1_seg_2d_s *circle2, double radius, const double tols[],
    int whole1, int whole2, int which, int *count, ARC_SPLINE_1_seg_2d_s segs[], PNT2_s tangency[]);

/** Arc tangent to the line (p, t) at p and to the line (q, u), turning to the
 * left of t for side 'l' and to the right otherwise; touch and touch_tan
 * receive its touching point on line 2 and its tangent there.  Parallel lines
 * give the clockwise full circle between them (from p when line 2 lies right
 * of t, else from the foot of p on line 2).  Status 1 seg missing or p on line
 * 2 (parallel lines), 2 the same line, 3 p at the meeting point of the lines, 4
 * the arc cannot be built (or an input is not finite). */
QUORM_API void ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(const PNT2_s *p, const VEC2_s *t,
                                                                       const PNT2_s *q, const VEC2_s *u, int side,
                                                                       const double tols[], ARC_SPLINE_1_seg_2d_s *seg,
                                                                       PNT2_s *touch, VEC2_s *touch_tan, int *status);

/** Full circles tangent to the line (p, t) at p (starting at p with tangent t,
 * counter-clockwise when the centre lies left of the line) and tangent to the
 * given circle; tp1, tp2 receive the touching points on the given circle.
 * In general there are two: the first has centre p + rho*n with
 * rho = k / (2 (delta + r)), the second rho = k / (2 (delta - r)) (n the left
 * normal of t, k the power of p, delta the signed distance of the centre c
 * from the line); which 1 keeps only the first, 2 only the second, any other
 * value both.  With c on the line the two are mirror images, the
 * counter-clockwise one first.  p on the circle: count 3, both outputs copies
 * of the given circle.  *kind: 0 p on the circle, 1 outside it, 2 inside it.
 * When no circle exists the result is the zero-length straight at p along t
 * with count 1.  Status 1 the circle is missing or a straight (or p or t is
 * not usable).  Checked: seg1 and seg2 not null. */
QUORM_API void ARC_SPLINE_cre_circle_tangent_to_circle_and_line_at_pt_2d(
    const PNT2_s *p, const VEC2_s *t, const ARC_SPLINE_1_seg_2d_s *circle, const double tols[], int which, int *count,
    PNT2_s *tp1, PNT2_s *tp2, ARC_SPLINE_1_seg_2d_s *seg1, ARC_SPLINE_1_seg_2d_s *seg2, int *kind, int *status);

/** Full circles tangent to the line (p, t) at p that cross the given circle at
 * the given angle (degrees, 0..180).  The angle is that between the radii of
 * the two circles at a crossing point, which equals the angle between their
 * tangents there: 0 is tangency from inside, 180 from outside, 90 orthogonal;
 * the circles for angle and 180 - angle are both returned (at most two, those
 * on the left of t first).  p on the given circle: count 3 and both circles of
 * the given circle's radius tangent to the line at p, provided t meets the
 * circle at that angle (else count 0).  No solution: the zero-length straight
 * at p along t, count 1.  Status 1 circle unusable (or p or t), 2/3 p cannot
 * be located on the circle.  Checked: seg1 and seg2 not null. */
QUORM_API void ARC_SPLINE_cre_circle_at_angle_to_c_tangent_to_l_at_pt_2d(const PNT2_s *p, const VEC2_s *t,
                                                                         const ARC_SPLINE_1_seg_2d_s *circle,
                                                                         double angle, const double tols[], int *count,
                                                                         ARC_SPLINE_1_seg_2d_s *seg1,
                                                                         ARC_SPLINE_1_seg_2d_s *seg2, int *status);

/** Fillet of the given radius between the ray (p1, d1) and the ray (p2, d2)
 * (unit directions): the arc from apex - L*d1 to apex + L*d2 with
 * L = tan(turn/2)*radius.  *status is the status of the line intersection
 * (non-zero: nothing built); apex and parms are the meeting point and its line
 * parameters; *sense the turning sense. */
QUORM_API void ARC_SPLINE_cre_arc_from_ray_to_ray_2d(const PNT2_s *p1, const VEC2_s *d1, const PNT2_s *p2,
                                                     const VEC2_s *d2, const double tols[], double radius, int *status,
                                                     PNT2_s *apex, double parms[2], PNT2_s *arc_start,
                                                     PNT2_s *arc_end, int *sense, ARC_SPLINE_1_seg_2d_s *seg);

QUORM_END_DECLS

#endif
