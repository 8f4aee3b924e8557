/** @file
 * Building, editing and validating curve defining data (BCDF_s).
 *
 * Positions are 0-based.  Vectors (slopes, curvatures, curvature
 * derivatives) are three doubles; an attached vector belongs to the point
 * whose parameter equals its own within 1e-10.  Argument checks run only
 * while MACH__checking_level > 0; BCDF_check_defining_data runs at every
 * level.  The editing rules that differ between records follow the record's
 * algorithm_version:
 *   0      BCDF_add_weights refuses a periodic record; converting to least
 *          squares keeps only end slopes and removes every curvature;
 *          removing points at the ends re-adds needed slopes.
 *   >= 1   converting to least squares removes only the interior slopes and
 *          keeps curvatures; periodic records may get weights.
 *   0, 1   a least-squares record may not be made periodic; converting to
 *          least squares opens the record and resets segments and
 *          tolerance; tolerance and segment count exclude each other.
 * The curvature-derivative functions exist in the full build only. */
#ifndef QUORM_BCDF_GEN_H
#define QUORM_BCDF_GEN_H

#include <quorm/bcdf.h>

QUORM_BEGIN_DECLS

/* ---- creation ------------------------------------------------------------ */

/* New record that takes over every list and array passed (each may be null
 * except the points; an empty group is freed, a missing type array is made
 * of types 1 for slopes and 0 otherwise).  Without params the parameters are
 * computed, and the attached vectors are matched to the nearest new
 * parameter.  A least-squares record keeps (or computes) its weights and
 * takes the constraint types; otherwise weights and constraint types are not
 * taken over. */
#if QUORM_FULL_BUILD
QUORM_API BCDF_s *BCDF_create_from_pntlst(int periodicity, int order, int least_squares, PNTLST_s *points,
                                          PNTLST_s *params, PNTLST_s *weights, PNTLST_s *slopes,
                                          PNTLST_s *slope_pars, int *slope_types, PNTLST_s *crvatrs,
                                          PNTLST_s *crvatr_pars, int *crvatr_types, PNTLST_s *crvatr_derivs,
                                          PNTLST_s *crvatr_deriv_pars, int *crvatr_deriv_types,
                                          int *constraint_types);
#else
QUORM_API BCDF_s *BCDF_create_from_pntlst(int periodicity, int order, int least_squares, PNTLST_s *points,
                                          PNTLST_s *params, PNTLST_s *weights, PNTLST_s *slopes,
                                          PNTLST_s *slope_pars, int *slope_types, PNTLST_s *crvatrs,
                                          PNTLST_s *crvatr_pars, int *crvatr_types, int *constraint_types);
#endif
/** New order-4 record around coords (n points, taken over) with chord-length
 * parameters; with least_squares 1 also weights and the current distance
 * tolerance. */
QUORM_API BCDF_s *BCDF_create_df_from_pts(double *coords, int n, int dimension, int least_squares);

/* ---- settings -------------------------------------------------------------- */

QUORM_API void BCDF_change_order(BCDF_s *bcdf, int order);
/** Convert to least squares when needed, then store the value. */
QUORM_API void BCDF_change_tolerance(BCDF_s *bcdf, double tol);
QUORM_API void BCDF_change_number_of_segments(BCDF_s *bcdf, int n);
QUORM_API void BCDF_replace_weight(BCDF_s *bcdf, int position, double w);
/** Weights from the parameters (one per parameter). */
QUORM_API void BCDF_add_weights(BCDF_s *bcdf);
/** Drops or appends the closing point, recomputes the parameters and, for a
 * least-squares record, the weights. */
QUORM_API void BCDF_toggle_periodicity(BCDF_s *bcdf);
QUORM_API void BCDF_convert_to_least_squares(BCDF_s *bcdf);

/* ---- points ------------------------------------------------------------------ */

/** kind 3: pt is Cartesian (x, y, z); kind 4: homogeneous (w*x, w*y, w*z, w). */
QUORM_API void BCDF_replace_defining_point(BCDF_s *bcdf, const double *pt, int position, int kind);
/** Removes count points from position on, with everything attached to them. */
QUORM_API void BCDF_remove_defining_points(BCDF_s *bcdf, int position, int count);
/** Sets the parameters (from params, n of them, or chord length when null)
 * and moves the attached vectors' parameters along with their points. */
QUORM_API void BCDF_add_params(BCDF_s *bcdf, const double *params);

/* ---- slopes, curvatures, curvature derivatives ---------------------------------- */

QUORM_API void BCDF_replace_slope(BCDF_s *bcdf, const double *v, int point, int type);
QUORM_API void BCDF_replace_curvature(BCDF_s *bcdf, const double *v, int point, int type);
#if QUORM_FULL_BUILD
QUORM_API void BCDF_replace_curvature_deriv(BCDF_s *bcdf, const double *v, int point, int type);
#endif
/** Type 0 automatic, 1 v as given, 2 to 5 v normalised in place first. */
QUORM_API void BCDF_change_slope(BCDF_s *bcdf, int type, double *v, int point);
/** Type 0 v as given, 1 radius-driven (automatic direction, length 1/radius). */
QUORM_API void BCDF_change_curvature(BCDF_s *bcdf, int type, const double *v, int point, double radius);
QUORM_API void BCDF_remove_slopes(BCDF_s *bcdf, int position, int count);
QUORM_API void BCDF_remove_curvatures(BCDF_s *bcdf, int position, int count);
#if QUORM_FULL_BUILD
QUORM_API void BCDF_remove_curvature_derivs(BCDF_s *bcdf, int position, int count);
#endif
QUORM_API void BCDF_remove_interior_slopes(BCDF_s *bcdf);
QUORM_API void BCDF_unitize_slopes(BCDF_s *bcdf);
QUORM_API void BCDF_scale_slopes(BCDF_s *bcdf, double f);
QUORM_API void BCDF_update_slopes(BCDF_s *bcdf);
QUORM_API void BCDF_update_end_slopes(BCDF_s *bcdf);
QUORM_API void BCDF_update_curvatures(BCDF_s *bcdf);
#if QUORM_FULL_BUILD
QUORM_API void BCDF_update_curvature_derivs(BCDF_s *bcdf);
#endif
QUORM_API void BCDF_add_needed_slopes(BCDF_s *bcdf);
QUORM_API void BCDF_make_least_squares_slopes(BCDF_s *bcdf);

/* ---- cross-index queries ----------------------------------------------------------- */

QUORM_API int BCDF_start_slope_exists(const BCDF_s *bcdf);
QUORM_API int BCDF_end_slope_exists(const BCDF_s *bcdf);
QUORM_API int BCDF_slope_at_point(const BCDF_s *bcdf, int point, int *slope);
QUORM_API int BCDF_curvature_at_point(const BCDF_s *bcdf, int point, int *crv);
QUORM_API int BCDF_curvature_at_slope(const BCDF_s *bcdf, int slope, int *crv);
#if QUORM_FULL_BUILD
QUORM_API int BCDF_curvature_deriv_at_point(const BCDF_s *bcdf, int point, int *out);
QUORM_API int BCDF_curvature_deriv_at_slope(const BCDF_s *bcdf, int slope, int *out);
QUORM_API int BCDF_curvature_deriv_at_curvature(const BCDF_s *bcdf, int crv, int *out);
#endif
QUORM_API int BCDF_point_at_slope(const BCDF_s *bcdf, int slope);
QUORM_API int BCDF_point_at_curvature(const BCDF_s *bcdf, int crv);
#if QUORM_FULL_BUILD
QUORM_API int BCDF_point_at_curvature_deriv(const BCDF_s *bcdf, int index);
#endif
QUORM_API int BCDF_slope_at_curvature(const BCDF_s *bcdf, int crv, int *slope, double out[3]);
#if QUORM_FULL_BUILD
QUORM_API int BCDF_slope_at_curvature_deriv(const BCDF_s *bcdf, int index, int *pos, double out[3]);
QUORM_API int BCDF_curvature_at_curvature_deriv(const BCDF_s *bcdf, int index, int *pos, double out[3]);
#endif
QUORM_API int BCDF_parameter_in_list(const BCDF_s *bcdf, double t, int *pos);
/** New arrays (the caller frees them) of the 1-based point numbers carrying
 * each entry; null with count 0 when there are none. */
QUORM_API int *BCDF_create_slope_pos_array(const BCDF_s *bcdf, int *count);
QUORM_API int *BCDF_create_crvatr_pos_array(const BCDF_s *bcdf, int *count);
#if QUORM_FULL_BUILD
QUORM_API int *BCDF_create_crvatr_deriv_pos_array(const BCDF_s *bcdf, int *count);
#endif

/* ---- derived quantities -------------------------------------------------------------- */

QUORM_API int BCDF_is_least_squares(const BCDF_s *bcdf);
QUORM_API int BCDF_is_zev_spline(const BCDF_s *bcdf);
QUORM_API int BCDF_ask_continuity(const BCDF_s *bcdf);
QUORM_API int BCDF_ask_max_npoles_for_fit(const BCDF_s *bcdf);
QUORM_API int BCDF_ask_min_npoles_for_fit(const BCDF_s *bcdf);
QUORM_API int BCDF_num_of_knots_needed(const BCDF_s *bcdf, int k);
QUORM_API double BCDF_calc_df_polygon_length(const BCDF_s *bcdf);
QUORM_API int BCDF_check_consecutive_dup_pts(const BCDF_s *bcdf);
/** kind 1: pt would replace the point at position; kind 2: that point would
 * be removed; kind 3: any consecutive duplicates.  1 when points would come
 * closer than the length tolerance. */
QUORM_API int BCDF_check_overlap_points(const BCDF_s *bcdf, int kind, int position, const double pt[3]);
/** 0, or the code of the first defect found. */
QUORM_API int BCDF_check_defining_data(const BCDF_s *bcdf);
QUORM_API void BCDF_convert_4d_to_3d(BCDF_s *bcdf);
/** Parameters to 0 ... 1; returns the old last parameter. */
QUORM_API double BCDF_normalize_parameters(BCDF_s *bcdf);
QUORM_API void BCDF_unnormalize_parameters(BCDF_s *bcdf, double scale);

QUORM_END_DECLS

#endif
