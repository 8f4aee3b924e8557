/** @file
 * Differential geometry of parametric curves and surfaces (DGEOM_).
 *
 * Every vector is three consecutive doubles owned by the caller.  d1, d2, d3
 * are the first three derivatives of a curve; Su, Sv, Suu, Suv, Svv (Suuu,
 * Suuv, Suvv, Svvv) the partial derivatives of a surface.  Nothing is
 * allocated and nothing is reported through the error channel: degenerate
 * input gives zero outputs or a non-zero return value.  Four functions exist
 * in the full build only. */
#ifndef QUORM_DGEOM_H
#define QUORM_DGEOM_H

#include <quorm/quorm_platform.h>

QUORM_BEGIN_DECLS

/* ---- curves ------------------------------------------------------------------ */

/** Curvature vector k (towards the centre of curvature); returns its length.
 * k = 0 and 0 when |d1| < 1e-10. */
QUORM_API double DGEOM_crv_curvature(const double d1[3], const double d2[3], double k[3]);
/** Torsion; tv = torsion times minus the principal normal.  0 (and tv = 0)
 * when |d1 x d2| < 1e-10. */
QUORM_API double DGEOM_crv_torsion(const double d1[3], const double d2[3], const double d3[3], double tv[3]);
/** out[0..2] T, out[3..5] B, out[6..8] N, out[9] curvature, out[10] torsion
 * (when want_torsion is 1); degenerate parts stay 0. */
QUORM_API void DGEOM_crv_diff_property(const double d1[3], const double d2[3], const double d3[3], int want_torsion,
                                       double out[11]);
/** Arc-length derivative of the curvature vector; 0 when |d1| < 1e-10. */
QUORM_API void DGEOM_crv_curvature_variation(const double d1[3], const double d2[3], const double d3[3],
                                             double dk[3]);
/** @{ */
/** r = k/|k|^2 and k = r/|r|^2; 1 (output untouched) when the squared
 * length is below 1e-38 (or not a number), else 0. */
QUORM_API int DGEOM_convert_crvatr_to_radius(const double k[3], double r[3]);
QUORM_API int DGEOM_convert_radius_to_crvatr(const double r[3], double k[3]);
/** @} */
/** d2 = |d1|^2 k. */
QUORM_API void DGEOM_convert_crvatr_to_deriv2(const double d1[3], const double k[3], double d2[3]);
#if QUORM_FULL_BUILD
/** d3 = |d1|^3 dk for a constant-speed parameterisation. */
QUORM_API void DGEOM_convert_crvatr_deriv_to_deriv3(const double d1[3], const double k[3], const double dk[3],
                                                    double d3[3]);
/** src, dst: point, d1, d2, d3 (12 doubles).  dst: point, unit tangent,
 * curvature vector, its arc-length derivative, up to order.  -2 when
 * |d1| < 1e-10 (and order > 0), else 0. */
QUORM_API int DGEOM_convert_to_geometric_deriv(const double src[12], int order, double dst[12]);
#endif

/* ---- surfaces ---------------------------------------------------------------- */

/** out[0] Gaussian K, out[1] mean H; with want_all also out[2], out[3]
 * principal curvatures H -/+ sqrt(H^2 - K), out[4] their mean absolute
 * value, out[5], out[6] normal curvatures -L/E and -N/G.  1 for a degenerate
 * parameterisation (EG - F^2 < 1e-10), else 0. */
QUORM_API int DGEOM_srf_curvatures(const double Su[3], const double Sv[3], const double Suu[3], const double Suv[3],
                                   const double Svv[3], int want_all, double out[7]);
/** Normal curvature along the tangent direction dir; returns 0. */
QUORM_API int DGEOM_srf_normal_curvature(const double Su[3], const double Sv[3], const double Suu[3],
                                         const double Suv[3], const double Svv[3], const double normal[3],
                                         const double dir[3], double *kn);
#if QUORM_FULL_BUILD
/** Curvature vector g2 and its arc-length derivative g3 of the curve that the
 * plane with normal p cuts from the surface.  type 0: both, 1: g2 only,
 * 2: g3 only.  1 when p is null, the surface or section is degenerate, or
 * the type is unknown; else 0. */
QUORM_API int DGEOM_compute_sectional_G2G3_vectors(const double Su[3], const double Sv[3], const double Suu[3],
                                                   const double Suv[3], const double Svv[3], const double Suuu[3],
                                                   const double Suuv[3], const double Suvv[3],
                                                   const double Svvv[3], const double *p, int type, double *g2,
                                                   double *g3);
/** surface_data: 30 doubles, the point, Su, Sv, Suu, Suv, Svv, Suuu, Suuv,
 * Suvv, Svvv.  p: normal of the cutting plane; n: surface normal (unitised
 * in place when order > 0).  geo: point, tangent unit(p x n), curvature
 * vector, its arc-length derivative, up to order (0 ... 3).  -2 when n or p
 * is null or the plane is tangent to the surface; 1 (order 2 or 3) when
 * the parameterisation is degenerate (|EG - F^2| within the squared length
 * tolerance); else 0. */
QUORM_API int DGEOM_compute_sectional_geometric_deriv(const double *surface_data, const double p[3], double n[3],
                                                      int order, double *geo);
#endif

QUORM_END_DECLS

#endif
