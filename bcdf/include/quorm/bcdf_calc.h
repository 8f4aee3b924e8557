/** @file
 * Parameters, least-squares weights and automatic derivatives of curve
 * defining data (BCDF_CALC_).
 *
 * Parameters start at 0 and increase strictly; slopes and second derivatives
 * are derivatives with respect to them.  Vectors are three doubles. */
#ifndef QUORM_BCDF_CALC_H
#define QUORM_BCDF_CALC_H

#include <quorm/bcdf.h>

QUORM_BEGIN_DECLS

/** Parameters of n points of the given dimension (stored coordinates, point
 * after point) into out (n doubles): out[0] = 0, then steps of the distance
 * between consecutive points raised to power (power 0 uniform, 1 chord
 * length, 0.5 centripetal).  When every point coincides the steps are n - 1
 * each.  With normalise the parameters run from 0 to exactly 1.  n <= 0
 * writes nothing. */
QUORM_API void BCDF_CALC_parameters(int n, int dimension, const double *points, double power, bool normalise,
                                    double *out);

/** Least-squares weights of n points with the given parameters into out (n
 * doubles): half the parameter span of the two intervals around each point
 * (of its one interval at an end); with periodic set (full build only) both
 * end weights become their sum.  A single point gets weight 0; n <= 0 writes
 * nothing. */
#if QUORM_FULL_BUILD
QUORM_API void BCDF_CALC_weights(int periodic, int n, const double *params, double *out);
#else
QUORM_API void BCDF_CALC_weights(int n, const double *params, double *out);
#endif

/** The open-curve weight of point i alone; 0 for i outside 0 ... n - 1.  n < 2
 * is reported (internal error "Not Enough Parameters") while checking and
 * gives 0. */
QUORM_API double BCDF_CALC_single_weight(int n, const double *params, int i);

/** Quadratic vector interpolation: for each coordinate, q(t) = A t^2 + B t + C
 * meets three conditions at t[0], t[1], t[2]:
 *   kind 0: q = a, q = b, q = c;  kind 1: q = a, q = b, q' = c;
 *   kind 2: q = a, q' = b, q = c  (any other kind acts as kind 0).
 * Writes q(u) to out[0..2] when nderiv >= 0, q'(u) to out[3..5] when
 * nderiv >= 1 and q'' to out[6..8] when nderiv >= 2.  Returns the status of
 * the 3x3 solve: 0 on success, 1 for an exactly singular system (coincident
 * parameters), out then unwritten. */
QUORM_API int BCDF_CALC_quadratic_apprx(const double *a, const double *b, const double *c, const double *t, int kind,
                                        double u, int nderiv, double *out);

/** Automatic first derivative (nderiv 1) or first and second derivatives
 * (nderiv 2) at a point, estimated from its neighbours; out receives 6
 * doubles for nderiv >= 2, else 3.  Inside the row, and at the first point
 * of a periodic record, the quadratic through the point and its two
 * neighbours is used; at the other ends the quadratic through the three end
 * points, or one using the slope of the neighbouring point where that has
 * one (a slope of type 2, 4 or 5 is mirrored about the end chord instead);
 * an open two-point record gives the chord's derivative and no second
 * derivative.  A record of one point, no
 * parameters or coincident parameters give zeros.  A point outside the
 * record gives zeros and raises QUORM_ERR_BCDF_INVALID_POSITION while
 * checking. */
QUORM_API void BCDF_CALC_auto_derivatives(const BCDF_s *bcdf, int point, int nderiv, double *out);
/** The automatic first derivative alone (BCDF_CALC_auto_derivatives with
 * nderiv 1). */
QUORM_API void BCDF_CALC_auto_slope(const BCDF_s *bcdf, int point, double out[3]);
/** Curvature vector of the automatic derivatives at the point, with the
 * point's own slope, where it has one, as the first derivative; zero when
 * that derivative is shorter than 1e-10. */
QUORM_API void BCDF_CALC_auto_curvature(const BCDF_s *bcdf, int point, double out[3]);

/** Turns the direction v, in place, into the normalised slope of slope type
 * type at the point.  Types 2, 4 and 5 keep the direction of v (type 4 turns
 * it round when it points against the automatic slope), take a length from
 * the neighbouring chords and parameter spans and the angle to the automatic
 * slope, and are then sized to the neighbouring chords (a blend of both
 * sides inside the row).  Type 3 only scales v by 3 / (parameter span around
 * the point).  Types 0, 1 and others, fewer than two points, no parameters
 * or a zero parameter span leave v unchanged.  For types other than 0 and 1
 * a point outside the record raises QUORM_ERR_BCDF_INVALID_POSITION while
 * checking. */
QUORM_API void BCDF_CALC_normalized_slope(const BCDF_s *bcdf, int type, int point, double *v);

/** Reflection of s about the chord p0 -> p1 (s itself for a chord within the
 * length tolerance).  out may be s. */
QUORM_API void BCDF_CALC_mirror_slope(const double s[3], const double p0[3], const double p1[3], double out[3]);

/** dst = src / |src|; a source of length <= 1e-10 raises
 * QUORM_ERR_BCDF_ZERO_SLOPE (1005314) at every checking level.  dst may be
 * src. */
QUORM_API void BCDF_CALC_unitize_slope(const double src[3], double dst[3]);

/** The parameter at the fraction u of the record's parameter range:
 * first + u (last - first); u itself when the record has no parameters. */
QUORM_API double BCDF_CALC_denormalize_param(const BCDF_s *bcdf, double u);

QUORM_END_DECLS

#endif
