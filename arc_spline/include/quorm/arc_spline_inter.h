/** @file
 * Intersections, tangent lines and distances of 2-D arc-spline segments
 * (ARC_SPLINE_).
 *
 * Positions are reported in the segment parameters (a straight: distance
 * from its start; an arc: tangent inclination in degrees) together with a
 * position code per point and segment: -1 strictly inside the segment, 0 at
 * one of its ends (within tolerance, the parameter snapped), 1 outside.  A
 * segment declared unbounded (bounded flag 0) gets position -1 for every
 * point.  Two-point results hold, per point, the value on the first segment
 * in element 0 and on the second in element 1.
 *
 * Tolerance arrays tols: tols[0] distance, tols[1] angle in degrees.  Status
 * outputs are 0 on success; the codes of each function name the failing step.
 * Internal errors go to ERROR_internal under the family's source name and the
 * call goes on.  Nothing here allocates memory.
 */
#ifndef QUORM_ARC_SPLINE_INTER_H
#define QUORM_ARC_SPLINE_INTER_H

#include <quorm/arc_spline_seg.h>
#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** Intersection of the lines p1 + t1*d1 and p2 + t2*d2.
 * Base points closer than tols[0] count as one: x is their midpoint and
 * parms are (0, 0).  Unless are_unit, d1 and d2 are unitised in place
 * (tolerance 1e-8).  Lines within tols[1] degrees of parallel give status 1,
 * or 2 when they are the same line (x is then written only for coinciding base
 * points).  Otherwise x = p1 + t1*d1 and parms = (t1, t2); a system that
 * cannot be solved (a null direction, a non-finite coordinate) gives status 1
 * with *cos_angle 1.  *cos_angle receives d1.d2. */
QUORM_API void ARC_SPLINE_inter_line_line_2d(const double tols[], const PNT2_s *p1, const PNT2_s *p2, int are_unit,
                                             VEC2_s *d1, VEC2_s *d2, PNT2_s *x, double parms[2], double *cos_angle,
                                             int *status);

/** Distance from p to the line through q with unit direction d.  *t is the
 * parameter of the foot (foot within tol of q: snapped to q, t 0); *side is 0
 * when the distance is at most tol, -1 when p lies left of the line, +1 right. */
QUORM_API double ARC_SPLINE_ask_dist_pt_to_line_2d(const PNT2_s *p, const PNT2_s *q, const VEC2_s *d, double tol,
                                                   PNT2_s *foot, double *t, int *side);

/** Distance from p to the line segment a b.  The foot snaps to an end within
 * tol; with clamp it stays on the segment.  *t is the distance of the foot
 * from a along the segment (clamped: 0 or |b - a|).  *where: 0 at an end, 1
 * beyond either end (also with clamp), -1 between; *side as for the line.
 * A segment shorter than 1e-10 is reported as an internal error; the foot is
 * then a. */
QUORM_API double ARC_SPLINE_ask_dist_pt_to_line_seg_2d(const PNT2_s *p, const PNT2_s *a, const PNT2_s *b, double tol,
                                                       int clamp, PNT2_s *foot, double *t, int *where, int *side);

/** Distance from p to a segment, with the foot, its parameter and position.
 * A straight no longer than tols[0] is taken as a unit-long piece along its
 * start tangent.  With clamp a foot outside an arc moves to the nearer end in
 * the sense of the arc (*where keeps 1).  Status 1 when the segment is missing
 * or unusable, the arc projection fails, or the distance is not a number
 * (result 0). */
QUORM_API double ARC_SPLINE_ask_dist_pt_to_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, const PNT2_s *p, int clamp,
                                                    const double tols[], PNT2_s *foot, double *parm, int *where,
                                                    int *status);

/** Intersections of seg1 (an arc, or a straight) with the straight seg2.
 * x1, parms1, where1 describe the first point, x2, parms2, where2 the second.
 * A point counts when neither of its positions is 1; a single valid second
 * point is moved into the first slot.  A line tangent to the arc gives one
 * point; a secant gives the point against seg2's direction first.
 * Status: 1 seg1 unusable, 2 seg2 not a usable straight, 3/4 parameter of the
 * line-line point on seg1/seg2, 5/6 of the tangent point, 7-10 of the secant
 * points (x1 on seg1, x1 on seg2, x2 on seg1, x2 on seg2).  Two straights on
 * parallel carriers give count 0 with the line-line status (1 parallel, 2 the
 * same line) in where2[0]. */
QUORM_API void ARC_SPLINE_inter_circular_arc_line_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg1,
                                                         const ARC_SPLINE_1_seg_2d_s *seg2, int bounded1, int bounded2,
                                                         const double tols[], int *count, PNT2_s *x1,
                                                         double parms1[2], int where1[2], PNT2_s *x2,
                                                         double parms2[2], int where2[2], int *status);

/** Intersections of two circular arcs, arguments as above.  Circles farther
 * apart than the sum of their radii, one strictly inside the other, or
 * concentric give count 0.  Circles touching (from outside or inside, within
 * tols[0]) give the one touching point; crossing circles give two points, the
 * first on the left of the line from the larger circle's centre to the
 * smaller's.  Status 1/2 circle 1/2 unusable, 3/4 parameter of the touching
 * point on seg1/seg2, 7-10 of the crossing points. */
QUORM_API void ARC_SPLINE_inter_of_2_circular_arcs_2d(const ARC_SPLINE_1_seg_2d_s *seg1,
                                                      const ARC_SPLINE_1_seg_2d_s *seg2, int bounded1, int bounded2,
                                                      const double tols[], int *count, PNT2_s *x1, double parms1[2],
                                                      int where1[2], PNT2_s *x2, double parms2[2], int where2[2],
                                                      int *status);

/** Tangency points on the circle (an arc) of the tangent lines through p, with
 * their parameters and positions.  p on the circle: its own foot, count 1; p
 * inside: count 0; p outside: two points, ordered along the arc (the smaller
 * parameter first on a counter-clockwise arc, the larger on a clockwise one);
 * a bounded arc keeps only the points on it.  A straight gives count 0.
 * Status 1 unusable circle, 2 the foot of p cannot be found, 3 the auxiliary
 * circle fails, 4 the auxiliary intersection fails. */
QUORM_API void ARC_SPLINE_ask_tangents_thru_a_point_2d(const ARC_SPLINE_1_seg_2d_s *circle, const PNT2_s *p,
                                                       int bounded, const double tols[], int *count, PNT2_s *t1,
                                                       PNT2_s *t2, double parms[2], int where[2], int *status);

/** @{ */
/** Common tangents of two circles (the exterior or the interior ones, as the
 * function's name says), each returned as the straight from its touching
 * point on circle 1 to its touching point on circle 2; parms1 holds the
 * touching parameters on circle 1 (element i for tangent i), parms2 those on
 * circle 2.  The candidates are ordered by their touching point on circle
 * 1 along that arc (as for the tangents through a point); on bounded arcs a
 * candidate whose touching point lies outside either arc is dropped and the
 * survivors fill out1, then out2, in that order.
 * Exterior tangents touch both circles on the same side of the centre line:
 * two for circles neither inside the other, one zero-length straight (across
 * the centre line) at the touching point of circles touching from inside.
 * Interior tangents cross between the circles and touch them on opposite
 * sides: two for circles apart, one zero-length straight at the touching
 * point of circles touching from outside, none when the circles overlap.
 * Status: 1/2 circle 1/2 missing or a straight, 3 no exterior tangent
 * (concentric circles, or one circle inside the other), 4/5 a touching
 * point's parameter on circle 1/2 cannot be found.  Concentric or
 * overlapping circles have no interior tangent: count 0 with status 0. */
QUORM_API void ARC_SPLINE_ask_tangents_exterior_to_circles_2d(const ARC_SPLINE_1_seg_2d_s *circle1,
                                                              const ARC_SPLINE_1_seg_2d_s *circle2, int bounded1,
                                                              int bounded2, const double tols[], int *count,
                                                              ARC_SPLINE_1_seg_2d_s *out1, ARC_SPLINE_1_seg_2d_s *out2,
                                                              double parms1[2], double parms2[2], int *status);
QUORM_API void ARC_SPLINE_ask_tangents_interior_to_circles_2d(const ARC_SPLINE_1_seg_2d_s *circle1,
                                                              const ARC_SPLINE_1_seg_2d_s *circle2, int bounded1,
                                                              int bounded2, const double tols[], int *count,
                                                              ARC_SPLINE_1_seg_2d_s *out1, ARC_SPLINE_1_seg_2d_s *out2,
                                                              double parms1[2], double parms2[2], int *status);
/** @} */

/** Builds into seg the circle through q tangent to t at p and gives in *t_out
 * its unit tangent at q (t itself when the result is a straight). */
QUORM_API void ARC_SPLINE_compute_tangent_at_other_end_of_chord_2d(const PNT2_s *p, const VEC2_s *t, const PNT2_s *q,
                                                                   const double tols[], VEC2_s *t_out,
                                                                   ARC_SPLINE_1_seg_2d_s *seg);

/** Position of p relative to the circle, from its power k = |p - c|^2 - r^2:
 * 0 when tol^2 >= ||k| - tol^2| (on it), -1 inside, 1 outside. */
QUORM_API int ARC_SPLINE_ask_where_is_pt_wrt_circle_2d(const PNT2_s *p, const ARC_SPLINE_1_seg_2d_s *circle,
                                                       double tol);

/** Position of circle c1 relative to circle c2 (d the centre distance):
 *   0  touching from outside        1  apart (or a circle unusable)
 *  -6  the same circle             -1  one inside the other (or equal radii, different centres)
 *  -3  c1 touches c2 from inside   -2  c2 touches c1 from inside
 *  -5  crossing, r2 > r1           -4  crossing, r1 > r2 */
QUORM_API int ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(const ARC_SPLINE_1_seg_2d_s *c1,
                                                           const ARC_SPLINE_1_seg_2d_s *c2, double tol);

QUORM_END_DECLS

#endif
