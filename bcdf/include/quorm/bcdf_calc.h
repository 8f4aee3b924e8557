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

/* Least-squares weights of n points with the given parameters into out (n
 * doubles): half the parameter span of the two intervals around each point;
 * with periodic set both end weights become their sum.  A single point gets
 * weight 0. */
#if QUORM_FULL_BUILD
QUORM_API void BCDF_CALC_weights(int periodic, int n, const double *params, double *out);
#else
QUORM_API void BCDF_CALC_weights(int n, const double *params, double *out);
#endif

/** The open-curve weight of point i alone.  n < 2 is reported (internal error
 * "Not Enough Parameters") while checking and gives 0. */
QUORM_API double BCDF_CALC_single_weight(int n, const double *params, int i);

/** Quadratic vector interpolation: for each coordinate, q(t) = A t^2 + B t + C
 * meets three conditions at t[0], t[1], t[2]:
 *   kind 0: q = a, q = b, q = c;  kind 1: q = a, q = b, q' = c;
 *   kind 2: q = a, q' = b, q = c.
 * Writes q(u) to out[0..2], and while nderiv allows q'(u) to out[3..5] and
 * q'' to out[6..8].  Returns the status of the 3x3 solve (0 on success,
 * non-zero for coincident parameters, out then unwritten). */
QUORM_API int BCDF_CALC_quadratic_apprx(const double *a, const double *b, const double *c, const double *t, int kind,
                                        double u, int nderiv, double *out);

/** Automatic first derivative (nderiv 1) or first and second derivatives
 * (nderiv 2) at a point, estimated from its neighbours; out receives
 * 3 * nderiv doubles.  A record of one point gives zeros.  A point outside
 * the record raises 1005315 while checking. */
QUORM_API void BCDF_CALC_auto_derivatives(const BCDF_s *bcdf, int point, int nderiv, double *out);
QUORM_API void BCDF_CALC_auto_slope(const BCDF_s *bcdf, int point, double out[3]);
/** Curvature vector of the automatic derivatives at the point, with the
 * point's own slope, where it has one, as the first derivative. */
QUORM_API void BCDF_CALC_auto_curvature(const BCDF_s *bcdf, int point, double out[3]);

/** Turns the direction v, in place, into the normalised slope of slope type
 * type (2 to 5) at the point, sized to the neighbouring chords.  Types 0 and
 * 1 leave v unchanged. */
QUORM_API void BCDF_CALC_normalized_slope(const BCDF_s *bcdf, int type, int point, double *v);

/** Reflection of s about the chord p0 -> p1 (s itself for a chord within the
 * length tolerance).  out may be s. */
QUORM_API void BCDF_CALC_mirror_slope(const double s[3], const double p0[3], const double p1[3], double out[3]);

/** dst = src / |src|; a source of length <= 1e-10 raises 1005314.  dst may be
 * src. */
QUORM_API void BCDF_CALC_unitize_slope(const double src[3], double dst[3]);

/** The parameter at the fraction u of the record's parameter range. */
QUORM_API double BCDF_CALC_denormalize_param(const BCDF_s *bcdf, double u);

QUORM_END_DECLS

#endif
