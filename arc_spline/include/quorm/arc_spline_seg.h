/** @file
 * 2-D arc-spline segments (ARC_SPLINE_): the segment record and its basic
 * operations.
 *
 * A segment is a straight line piece, a circular arc or a point circle.  All
 * angles of the family are in degrees.  Unless a tolerance is passed in, the
 * family's fixed small tolerance is 1e-10.
 *
 * Parameterisation:
 *  - Straight: the parameter is the distance from start_pt along direction;
 *    the segment covers [0, radius] (radius holds the length).  start_angle
 *    and end_angle both hold the inclination of direction in [0, 360).
 *  - Arc: the parameter is the inclination of the unit tangent.  start_angle
 *    is the inclination at start_pt; a counter-clockwise arc (sense +1) runs
 *    from start_angle up to end_angle, a clockwise one (sense -1) down to it;
 *    |end - start| is the central angle (at most 360).  The centre lies on
 *    the left of the start tangent for sense +1, on the right for -1.  A full
 *    circle built from centre and radius runs from 90 to 450 and starts at
 *    centre + (radius, 0).
 *
 * Status outputs are 0 on success.  Codes common to the family: 1 missing
 * segment (or a straight given to the arc evaluator), 2 an arc with radius
 * below 1e-10 (or a counter-clockwise parameter out of range in the
 * evaluator, or parallel tangents in the apex query), 3 a segment type the
 * operation does not handle (or a clockwise parameter out of range).
 *
 * Tolerance arrays tols: tols[0] distance, tols[1] angle in degrees, tols[2]
 * curvature (only the flat-arc test reads it).
 *
 * Internal errors are reported with ERROR_internal under the source name
 * arc_spline_apollonian_constructions and the call goes on with the value it
 * has; argument assertions run only while MACH__checking_level is above 0.
 * No function allocates memory; segments belong to the caller.
 */
#ifndef QUORM_ARC_SPLINE_SEG_H
#define QUORM_ARC_SPLINE_SEG_H

#include <quorm/records.h>

#include <stdint.h>

/** One segment.  Two 32-bit integers followed by ten doubles, copied by value;
 * the angles and the parameter range are described at the top of this file. */
typedef struct ARC_SPLINE_1_seg_2d_s {
    int32_t type;       /**< 0 straight, 1 circular arc, -1 point circle (radius 0)        */
    int32_t sense;      /**< +1 counter-clockwise, -1 clockwise, 0 straight                 */
    PNT2_s start_pt;    /**< start point                                                    */
    double start_angle; /**< inclination of the tangent at the start, degrees              */
    double end_angle;   /**< inclination of the tangent at the end, degrees (a straight:
                             the same as start_angle)                                      */
    PNT2_s center;      /**< arc centre; for a straight the midpoint of its end points      */
    VEC2_s direction;   /**< unit direction of a straight, (0, 0) for arcs and circles      */
    double radius;      /**< arc radius, length of a straight, 0 for a point circle         */
    double radius_copy; /**< set equal to radius by the constructors and offsets; never
                             read by the family                                            */
} ARC_SPLINE_1_seg_2d_s;

QUORM_BEGIN_DECLS

/* ---- inclinations --------------------------------------------------------- */

/** Polar angle of (x, y) in degrees.  The base value lies in [0, 360); a
 * component counts as zero when its magnitude is at most 1e-10 times the
 * larger magnitude of the two (so the result does not depend on the length of
 * the vector): y zero gives 0 (x >= 0) or 180, x zero gives 90 (y >= 0) or
 * 270.  range 90 folds the result into (-90, 90], range 180 into (-180, 180];
 * any other range returns the base value.  (0, 0) gives 0. */
QUORM_API double ARC_SPLINE_ask_angle_from_tan(double y, double x, int range);
/** Inclination of v in [0, 360). */
QUORM_API double ARC_SPLINE_ask_inclination_angle_from_tan_2d(const VEC2_s *v);
/** (cos a, sin a), a in degrees. */
QUORM_API VEC2_s ARC_SPLINE_ask_tan_2d_from_inclination_angle(double a);
/** Left normal (-v.y, v.x), or the right normal (v.y, -v.x) when flag is 1.
 * out may be v. */
QUORM_API void ARC_SPLINE_ask_perp_vec(int flag, const VEC2_s *v, VEC2_s *out);

/* ---- creation and copying ------------------------------------------------- */

/** Every field zero (a straight of sense 0). */
QUORM_API void ARC_SPLINE_init_1_seg_2d(ARC_SPLINE_1_seg_2d_s *seg);
/** Copies every field of src to dst (a segment the caller owns). */
QUORM_API void ARC_SPLINE_copy_1_seg_2d_pre_allocated(const ARC_SPLINE_1_seg_2d_s *src, ARC_SPLINE_1_seg_2d_s *dst);

/** Straight from p0 to p1.  When p1 lies within 1e-10 of p0, *p1 is
 * overwritten with p0, the direction is dir as given (not unitised) and the
 * length is 0. */
QUORM_API void ARC_SPLINE_cre_strt_seg_2d(const PNT2_s *p0, PNT2_s *p1, const VEC2_s *dir, ARC_SPLINE_1_seg_2d_s *seg);

/** Arc from p0 with unit tangent t0, turning through central_angle degrees on
 * a circle of the given radius, counter-clockwise for sense +1 and clockwise
 * for -1.  end_pt and end_tan receive the end data.  For a sense other than
 * +-1 the end point is p0 and the centre (0, 0). */
QUORM_API void ARC_SPLINE_cre_arc_seg_2d(const PNT2_s *p0, const VEC2_s *t0, double central_angle, double radius,
                                         int sense, ARC_SPLINE_1_seg_2d_s *seg, PNT2_s *end_pt, VEC2_s *end_tan);

/** Full counter-clockwise circle, angles 90 to 450, start centre + (radius, 0). */
QUORM_API void ARC_SPLINE_cre_circle_from_center_and_radius_2d(const PNT2_s *center, double radius,
                                                               ARC_SPLINE_1_seg_2d_s *seg);
/** Full circle starting at p with tangent t (unit), end angle start + 360
 * (start - 360 for sense -1). */
QUORM_API void ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(const PNT2_s *p, const VEC2_s *t, double radius,
                                                                  int sense, ARC_SPLINE_1_seg_2d_s *seg);
/** Point circle at p: type -1, sense +1, angles 90 and 450, radius 0. */
QUORM_API void ARC_SPLINE_cre_single_point_circle_2d(const PNT2_s *p, ARC_SPLINE_1_seg_2d_s *seg);

/* ---- evaluation ----------------------------------------------------------- */

/** pt = start + parm * direction, tan = direction; no range check.  Status 1
 * when seg is not a straight (outputs untouched). */
QUORM_API void ARC_SPLINE_evaluate_strt_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, double parm, PNT2_s *pt,
                                               VEC2_s *tan, int *status);
/** Point and unit tangent of an arc at the tangent inclination parm.  A
 * parameter within 1e-10 of an end angle is snapped to it.  The tangent is
 * always written.  Status 1 for a straight; with extrapolate 0 a parameter
 * outside the arc gives status 2 (counter-clockwise) or 3 (clockwise) and no
 * point.  A sense of 0 gives the start point. */
QUORM_API void ARC_SPLINE_evaluate_arc_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, int extrapolate, double parm,
                                              PNT2_s *pt, VEC2_s *tan, int *status);
/** Type 0 to the straight evaluator (which ignores extrapolate), any other type
 * to the arc evaluator. */
QUORM_API void ARC_SPLINE_evaluate_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, int extrapolate, double parm,
                                            PNT2_s *pt, VEC2_s *tan, int *status);

/* ---- queries -------------------------------------------------------------- */

/** radius for any non-straight type; 1e19 for a straight; 0 for a missing
 * segment. */
QUORM_API double ARC_SPLINE_ask_radius_of_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg);

/** Start and end points and tangents.  Status 1 null segment, 2 arc radius
 * below 1e-10, 3 other type; the arc's end data come from the arc evaluator
 * at end_angle with extrapolation (its status passes through). */
QUORM_API void ARC_SPLINE_ask_end_pts_of_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, PNT2_s *start_pt, VEC2_s *start_tan,
                                                  PNT2_s *end_pt, VEC2_s *end_tan, int *status);

/** Type, radius (1e19 for a straight) and centre.  An arc with radius below
 * 1e-10 is reported as type -1; any other type gives status 2 with type -1
 * and radius 0; a null segment status 1. */
QUORM_API void ARC_SPLINE_ask_center_radius_of_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, int *type, double *radius,
                                                      PNT2_s *center, int *status);

/** k = sense * (*end - start); a negative k gains 360 (as many turns as it
 * takes to make it non-negative, for an end several turns behind) and *end is
 * rewritten as start + sense * k.  Returns k. */
QUORM_API double ARC_SPLINE_ask_central_angle_from_inclination_angles(double start, double *end, int sense);
/** The same on the segment's own angles (end_angle may be rewritten); 0 for a
 * straight. */
QUORM_API double ARC_SPLINE_ask_central_angle_of_1_seg_2d(ARC_SPLINE_1_seg_2d_s *seg);

/** Arc length: a straight's length, an arc's radius times its central angle
 * (end_angle may be normalised in place).  Status 1 null, 2 radius below
 * 1e-10, 3 other type (result 0). */
QUORM_API double ARC_SPLINE_ask_arcl_of_1_seg_2d(ARC_SPLINE_1_seg_2d_s *seg, int *status);
/** Arc length from the start to parm (a straight: parm itself). */
QUORM_API double ARC_SPLINE_ask_arcl_to_parm_of_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, double parm, int *status);
/** Arc length between parms[0] and parms[1]; parms[1] may be normalised. */
QUORM_API double ARC_SPLINE_ask_arcl_of_trimmed_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, double parms[2],
                                                         int *status);

/** Everything at once.  Outputs start as type -1, arc length 0, curvature 0,
 * status 0; a null segment returns there.  parms = (start angle, end angle
 * after normalisation; the segment itself is not changed).  With want_apex 1
 * the apex of an arc is the meeting point of its end tangent lines (status 2
 * when they are parallel); a straight's apex is its midpoint.  Status 1 for
 * an arc radius below 1e-10, 3 for another type. */
QUORM_API void ARC_SPLINE_ask_1_seg_2d_data(const ARC_SPLINE_1_seg_2d_s *seg, int want_apex, int *type, int *sense,
                                            double parms[2], double *arc_length, double *curvature, PNT2_s *center,
                                            PNT2_s *start_pt, VEC2_s *start_tan, PNT2_s *end_pt, VEC2_s *end_tan,
                                            PNT2_s *apex, int *status);

/** Where *parm lies on an arc: -1 strictly inside, 0 at an end within tol (a
 * parameter just outside is snapped to the end), 1 outside or not an arc. */
QUORM_API int ARC_SPLINE_ask_is_parm_in_arc_domain(const ARC_SPLINE_1_seg_2d_s *seg, double tol, double *parm);

/** Projection of p onto the segment: foot point, its parameter and its
 * position (-1 inside, 0 at an end, 1 outside; tols[1] decides "at an end" on
 * arcs, tols[0] on straights).  For a point outside an arc the parameter is
 * expressed relative to the nearer end (below the start for points nearer the
 * start).  A point at the centre (or not a number) gives the start.  On a
 * straight no longer than tols[0] the parameter runs along the start tangent
 * and any point farther than tols[0] from the start, before or beyond it, is
 * outside.  Status 1 for a missing segment, a point circle or an arc radius
 * below 1e-10, or when the arc does not reproduce the foot within tols[0]. */
QUORM_API void ARC_SPLINE_ask_parm_at_a_point_2d(const ARC_SPLINE_1_seg_2d_s *seg, const PNT2_s *p,
                                                 const double tols[], PNT2_s *foot, double *parm, int *where,
                                                 int *status);

/* ---- modifications -------------------------------------------------------- */

/** The same straight from its old end to its old start. */
QUORM_API void ARC_SPLINE_reverse_parm_of_strt_2d(ARC_SPLINE_1_seg_2d_s *seg);
/** The same circle and points traversed the other way: new start = old end,
 * start angle = old end angle + 180 in [0, 360), sense negated, same central
 * angle. */
QUORM_API void ARC_SPLINE_reverse_parm_of_arc_2d(ARC_SPLINE_1_seg_2d_s *seg);
/** Dispatch on type (straight or arc); any other type, a point circle
 * included, is reported as an internal error and left as it is. */
QUORM_API void ARC_SPLINE_reverse_parm_of_1_seg_2d(ARC_SPLINE_1_seg_2d_s *seg);

/** Keeps the start and ends the segment at the projection of p.  Status 1 when
 * the projection fails, 2 when the evaluation there fails, 3 when the arc
 * cannot be rebuilt (for example a foot within about 0.01 degrees of the
 * start, where the chord is too short to fix the circle).  On failure the
 * segment is left as it was. */
QUORM_API void ARC_SPLINE_trim_to_point_1_seg_2d(const PNT2_s *p, const double tols[], ARC_SPLINE_1_seg_2d_s *seg,
                                                 int *status);

/** Concentric arc with radius + offset (the same angles and sense). */
QUORM_API void ARC_SPLINE_cre_offset_circle_2d(const ARC_SPLINE_1_seg_2d_s *seg, double offset, double dist_tol,
                                               ARC_SPLINE_1_seg_2d_s *out);
/** Parallel straight shifted by offset along the left normal. */
QUORM_API void ARC_SPLINE_cre_offset_straight_2d(const ARC_SPLINE_1_seg_2d_s *seg, double offset,
                                                 ARC_SPLINE_1_seg_2d_s *out);

/** Replaces, in place, an arc whose radius exceeds 1/tols[2] by the straight
 * through its end points.  Status 2 when the end points cannot be found.  A
 * curvature tolerance tols[2] that is not positive changes nothing. */
QUORM_API void ARC_SPLINE_ask_is_arc_rather_strt_2d(ARC_SPLINE_1_seg_2d_s *seg, const double tols[], int *status);

QUORM_END_DECLS

#endif
