/** @file
 * Building, editing and validating curve defining data (BCDF_s).
 *
 * Positions are 0-based.  Vectors (slopes, curvatures, curvature
 * derivatives) are three doubles; an attached vector belongs to the point
 * whose parameter equals its own within 1e-10.  Argument checks run only
 * while MACH__checking_level > 0 (a refused call changes nothing);
 * BCDF_check_defining_data and the zero-slope check of BCDF_unitize_slopes
 * run at every level.  The editing rules that differ between records follow
 * the record's algorithm_version:
 *   0      BCDF_add_weights refuses a periodic record; converting to least
 *          squares trims the slopes (BCDF_make_least_squares_slopes, which
 *          keeps only the end slopes unless just the start has one) and
 *          removes every curvature; removing points re-adds needed slopes
 *          wherever BCDF_remove_defining_points recomputes the parameters.
 *   >= 1   converting to least squares removes only the interior slopes
 *          (with the curvatures at them) and keeps the other curvatures;
 *          periodic records may get weights.
 *   0, 1   a least-squares record may not be made periodic; converting to
 *          least squares opens the record and resets segments and
 *          tolerance; tolerance and segment count exclude each other.
 * The curvature-derivative functions exist in the full build only. */
#ifndef QUORM_BCDF_GEN_H
#define QUORM_BCDF_GEN_H

#include <quorm/bcdf.h>

QUORM_BEGIN_DECLS

/* ---- creation ------------------------------------------------------------ */

/** New record that takes over every list and array passed (each may be null
 * except the points; an empty group, or one without parameters, is freed; a
 * missing type array is made of types 1 for slopes and 0 otherwise).
 * Without params the parameters are computed (chord length), and the
 * attached vectors are matched to the nearest new parameter.  With
 * least_squares 1 the record keeps (or computes) its weights, takes the
 * constraint types and gets the current distance tolerance; otherwise
 * weights and constraint types are not taken over.  While checking, and
 * before anything is taken over, null points raise QUORM_ERR_BCDF_NO_POINTS,
 * slopes without slope_pars QUORM_ERR_BCDF_NO_SLOPE_POSITIONS, and a periodic
 * least-squares record without weights
 * QUORM_ERR_BCDF_PERIODIC_LEAST_SQUARES.  The three curvature-derivative
 * arguments exist in the full build only. */
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
 * parameters, algorithm_version 0 and no constraint types; with
 * least_squares 1 also weights, the current distance tolerance, 0 segments
 * and no uniform segments. */
QUORM_API BCDF_s *BCDF_create_df_from_pts(double *coords, int n, int dimension, int least_squares);

/* ---- settings -------------------------------------------------------------- */

/** Stores the order.  While checking, an order above 25 or below 2 is an
 * internal error and the order stays. */
QUORM_API void BCDF_change_order(BCDF_s *bcdf, int order);
/** Convert to least squares when needed, then store the value; under
 * algorithm_version 0 and 1 the segment count becomes 0.  Nothing is stored
 * when the conversion is refused. */
QUORM_API void BCDF_change_tolerance(BCDF_s *bcdf, double tol);
/** Convert to least squares when needed, then store the segment count; under
 * algorithm_version 0 and 1 the tolerance becomes 0.  Nothing is stored when
 * the conversion is refused. */
QUORM_API void BCDF_change_number_of_segments(BCDF_s *bcdf, int n);
/** Overwrites the weight at position.  A position outside the weights is
 * ignored (raising QUORM_ERR_BCDF_INVALID_POSITION while checking). */
QUORM_API void BCDF_replace_weight(BCDF_s *bcdf, int position, double w);
/** Weights from the parameters (one per parameter, BCDF_CALC_weights with the
 * record's periodicity), reusing an existing weight list; nothing without
 * parameters.  While checking, a periodic record under algorithm_version 0
 * raises QUORM_ERR_BCDF_PERIODIC_LEAST_SQUARES. */
QUORM_API void BCDF_add_weights(BCDF_s *bcdf);
/** Drops or appends the closing point, recomputes the parameters and, for a
 * least-squares record, the weights.  Opening drops the closing point with
 * everything attached to it.  Closing appends a copy of the first point
 * (constraint type 0), or makes a last point that already lies within the
 * length tolerance of the first the closing point.  Under algorithm_version
 * 0 and 1, closing a least-squares record is an internal error while
 * checking. */
QUORM_API void BCDF_toggle_periodicity(BCDF_s *bcdf);
/** Adds weights and trims slopes and curvatures by the algorithm_version
 * rules above; nothing for a least-squares record.  A 4-D record first
 * becomes 3-D with new chord-length parameters.  Opening (versions 0 and 1)
 * sets periodicity 0 and leaves the closing point in place.  A dimension
 * other than 3 or 4 is an internal error while checking. */
QUORM_API void BCDF_convert_to_least_squares(BCDF_s *bcdf);

/* ---- points ------------------------------------------------------------------ */

/** kind 3: pt is Cartesian (x, y, z); kind 4: homogeneous (w*x, w*y, w*z, w).
 * In a 4-D list a Cartesian point keeps the replaced point's weight; in a
 * 3-D list a homogeneous point is divided by its weight; otherwise pt is
 * stored as given.  The first and closing points of a periodic record are
 * replaced together; parameters are not recomputed.  A position outside the
 * points is ignored (raising QUORM_ERR_BCDF_POSITION_TOO_LARGE while
 * checking). */
QUORM_API void BCDF_replace_defining_point(BCDF_s *bcdf, const double *pt, int position, int kind);
/** Removes count points from position on, with everything attached to them
 * and their constraint types, parameters and weights; removing every point
 * frees every list.  When the run starts at the first point, ends just
 * before the last one, or moves the seam of a periodic record, the
 * parameters are recomputed and, under algorithm_version 0, needed slopes
 * added.  A periodic record keeps its closing point equal to the first.  A
 * run outside the points is ignored (raising QUORM_ERR_BCDF_REMOVE_POINTS
 * while checking). */
QUORM_API void BCDF_remove_defining_points(BCDF_s *bcdf, int position, int count);
/** Sets the parameters (from params, n of them, or chord length when null)
 * and moves the attached vectors' parameters along with their points.  The
 * slopes are scaled by old last parameter / new last parameter (unless
 * either is within 1e-10 of 0).  Without earlier parameters each attached
 * vector goes to the point nearest its parameter.  Nothing without points. */
QUORM_API void BCDF_add_params(BCDF_s *bcdf, const double *params);

/* ---- slopes, curvatures, curvature derivatives ---------------------------------- */

/** Stores v with type as the slope at the point: overwrites the slope there,
 * first turning the curvature at the point (if any) to stay normal to the
 * new slope with its length kept, or inserts a slope in parameter order.  A
 * point outside the record, or a record without parameters, is ignored (an
 * outside point raises QUORM_ERR_BCDF_INVALID_POSITION while checking). */
QUORM_API void BCDF_replace_slope(BCDF_s *bcdf, const double *v, int point, int type);
/** @{ */
/** Stores v with type as the curvature (curvature derivative) at the point:
 * overwrites the one there or inserts one in parameter order, creating the
 * lists when absent.  Bad points as for BCDF_replace_slope. */
QUORM_API void BCDF_replace_curvature(BCDF_s *bcdf, const double *v, int point, int type);
#if QUORM_FULL_BUILD
QUORM_API void BCDF_replace_curvature_deriv(BCDF_s *bcdf, const double *v, int point, int type);
#endif
/** @} */
/** Type 0 automatic, 1 v as given, 2 to 5 v normalised in place first
 * (BCDF_CALC_normalized_slope); stored with its type.  Other types do
 * nothing.  Bad points as for BCDF_replace_slope. */
QUORM_API void BCDF_change_slope(BCDF_s *bcdf, int type, double *v, int point);
/** Type 0 v as given, 1 radius-driven (automatic direction, length 1/radius).
 * Where the automatic curvature vanishes, a direction normal to the point's
 * slope is used; a point without a slope is then an internal error while
 * checking.  radius 0 and other types store nothing. */
QUORM_API void BCDF_change_curvature(BCDF_s *bcdf, int type, const double *v, int point, double radius);
/** Removes count slopes from position on (count clamped to the slopes), each
 * with the curvature at its point; removing every slope removes every
 * curvature too.  count <= 0 or a position outside the slopes does nothing. */
QUORM_API void BCDF_remove_slopes(BCDF_s *bcdf, int position, int count);
/** @{ */
/** Removes count curvatures (curvature derivatives) from position on, count
 * clamped; removing all of them frees the lists.  count <= 0 or a position
 * outside the list does nothing. */
QUORM_API void BCDF_remove_curvatures(BCDF_s *bcdf, int position, int count);
#if QUORM_FULL_BUILD
QUORM_API void BCDF_remove_curvature_derivs(BCDF_s *bcdf, int position, int count);
#endif
/** @} */
/** Removes every slope except those at the first and last points (the
 * curvatures at the removed slopes go with them). */
QUORM_API void BCDF_remove_interior_slopes(BCDF_s *bcdf);
/** Makes every slope a unit vector.  A slope of length <= 1e-10 raises
 * QUORM_ERR_BCDF_ZERO_SLOPE at every checking level, before any slope has
 * changed. */
QUORM_API void BCDF_unitize_slopes(BCDF_s *bcdf);
/** Multiplies every stored component of every slope by f. */
QUORM_API void BCDF_scale_slopes(BCDF_s *bcdf, double f);
/** Reverses each type-4 slope that points against the automatic slope, then
 * refreshes every slope by its type (0: the automatic slope again; 2, 4 and
 * 5: normalised anew from the stored vector; 1 and 3 stay), then runs
 * BCDF_update_end_slopes.  A slope that shares its parameter with another
 * (coincident points) is left as it is. */
QUORM_API void BCDF_update_slopes(BCDF_s *bcdf);
/** Refreshes the slopes at the first and last points of an open record by
 * their types, as BCDF_update_slopes does; a periodic record is left alone. */
QUORM_API void BCDF_update_end_slopes(BCDF_s *bcdf);
/** Recomputes every radius-driven curvature (type 1, non-zero) with the
 * automatic direction at its point and its present length. */
QUORM_API void BCDF_update_curvatures(BCDF_s *bcdf);
#if QUORM_FULL_BUILD
/** Does nothing (full build only). */
QUORM_API void BCDF_update_curvature_derivs(BCDF_s *bcdf);
#endif
/** Adds automatic end slopes (type 0) where the fit needs them.  Least
 * squares: when exactly one end has a slope, the other end gets one.  Open
 * order-4 interpolation: each end without a slope gets one; with two points
 * and one end slope, the other end gets that slope mirrored about the chord
 * instead (keeping its type).  Periodic or other-order interpolation
 * records, fewer than two points or no parameters: nothing. */
QUORM_API void BCDF_add_needed_slopes(BCDF_s *bcdf);
/** Trims the slopes for a least-squares fit: with no end slope every slope
 * goes; with only a start slope an automatic end slope is added and the
 * others stay; otherwise a missing start slope is made automatic, the
 * interior slopes are removed and the two end slopes become unit vectors. */
QUORM_API void BCDF_make_least_squares_slopes(BCDF_s *bcdf);

/* ---- cross-index queries ----------------------------------------------------------- */

/** @{ */
/** 1 when the first (last) slope's parameter equals the first (last) point
 * parameter within 1e-10, else 0 (also without slopes or parameters). */
QUORM_API int BCDF_start_slope_exists(const BCDF_s *bcdf);
QUORM_API int BCDF_end_slope_exists(const BCDF_s *bcdf);
/** @} */
/** 1 and *slope = its index when the point carries a slope, else 0.  The
 * tolerance is 1e-10 times the parameter range, and the slope must lie
 * nearer to the point's parameter than to either neighbour's (unless there
 * is a single point).  On 0, *slope holds the insertion position, or is
 * untouched without slopes or for a point outside the record. */
QUORM_API int BCDF_slope_at_point(const BCDF_s *bcdf, int point, int *slope);
/** @{ */
/** 1 and *crv = index of the curvature at the point's (slope's) parameter
 * within 1e-10, else 0 with *crv the position of the first larger curvature
 * parameter; *crv is untouched without curvatures or for an index outside
 * its list. */
QUORM_API int BCDF_curvature_at_point(const BCDF_s *bcdf, int point, int *crv);
QUORM_API int BCDF_curvature_at_slope(const BCDF_s *bcdf, int slope, int *crv);
/** @} */
#if QUORM_FULL_BUILD
/** @{ */
/** 1 and *out = index of the curvature derivative at the parameter of that
 * point (slope, curvature) within 1e-10, else 0 with *out the position of the
 * first larger one; *out is 0 without curvature derivatives or for an index
 * outside its list (full build only). */
QUORM_API int BCDF_curvature_deriv_at_point(const BCDF_s *bcdf, int point, int *out);
QUORM_API int BCDF_curvature_deriv_at_slope(const BCDF_s *bcdf, int slope, int *out);
QUORM_API int BCDF_curvature_deriv_at_curvature(const BCDF_s *bcdf, int crv, int *out);
/** @} */
#endif
/** @{ */
/** Index of the point carrying the slope (curvature) at that index; when no
 * point does (or the index is outside the list) the number of points, an
 * internal error ("Bcurve Defining Data Structure Corrupt") while checking. */
QUORM_API int BCDF_point_at_slope(const BCDF_s *bcdf, int slope);
QUORM_API int BCDF_point_at_curvature(const BCDF_s *bcdf, int crv);
/** @} */
#if QUORM_FULL_BUILD
/** As BCDF_point_at_curvature for a curvature derivative, except that when no
 * point matches it returns the position of the first larger point parameter
 * (0 for a bad index or without parameters), not the number of points (full
 * build only). */
QUORM_API int BCDF_point_at_curvature_deriv(const BCDF_s *bcdf, int index);
#endif
/** 1, *slope and the slope's first three components in out for the slope at
 * the curvature's point; 0 for an index outside the curvatures, and 0 with an
 * internal error while checking when that point has no slope. */
QUORM_API int BCDF_slope_at_curvature(const BCDF_s *bcdf, int crv, int *slope, double out[3]);
#if QUORM_FULL_BUILD
/** @{ */
/** 1, *pos and the first three components in out of the slope (curvature)
 * at the curvature derivative's parameter, else 0 (*pos may then hold the
 * insertion position; out is unwritten).  Full build only. */
QUORM_API int BCDF_slope_at_curvature_deriv(const BCDF_s *bcdf, int index, int *pos, double out[3]);
QUORM_API int BCDF_curvature_at_curvature_deriv(const BCDF_s *bcdf, int index, int *pos, double out[3]);
/** @} */
#endif
/** 1 and *pos = index of the parameter within 1e-10 of t, else 0 with *pos
 * the index of the first larger parameter (the count when none).  Without
 * parameters *pos = 0 and 0, an internal error while checking. */
QUORM_API int BCDF_parameter_in_list(const BCDF_s *bcdf, double t, int *pos);
/** @{ */
/** New arrays (the caller frees them with SM_free) of the 1-based point
 * numbers carrying each slope (curvature, curvature derivative), count
 * entries; an entry at no point gets the nearest one.  Null with count 0
 * when there are none or the record has no parameters. */
QUORM_API int *BCDF_create_slope_pos_array(const BCDF_s *bcdf, int *count);
QUORM_API int *BCDF_create_crvatr_pos_array(const BCDF_s *bcdf, int *count);
#if QUORM_FULL_BUILD
QUORM_API int *BCDF_create_crvatr_deriv_pos_array(const BCDF_s *bcdf, int *count);
#endif
/** @} */

/* ---- derived quantities -------------------------------------------------------------- */

/** 1 when the record has weights, else 0; a null record gives 0 (an internal
 * error while checking). */
QUORM_API int BCDF_is_least_squares(const BCDF_s *bcdf);
/** 1 for order 4, no curvatures, at least two slopes and slopes at both end
 * points, else 0. */
QUORM_API int BCDF_is_zev_spline(const BCDF_s *bcdf);
/** 1 for a record BCDF_is_zev_spline accepts that is periodic or has an
 * interior slope; otherwise order - 2. */
QUORM_API int BCDF_ask_continuity(const BCDF_s *bcdf);
/** For a least-squares record the number of points, minus 1 when periodic;
 * 0 otherwise. */
QUORM_API int BCDF_ask_max_npoles_for_fit(const BCDF_s *bcdf);
/** For a least-squares record max(2, order, slopes + curvatures + points of
 * constraint type 1); 0 otherwise. */
QUORM_API int BCDF_ask_min_npoles_for_fit(const BCDF_s *bcdf);
/** BCDF_return_num_of_constraints + order; a periodic record adds
 * min(order - 1, k + 1). */
QUORM_API int BCDF_num_of_knots_needed(const BCDF_s *bcdf, int k);
/** Sum of the distances between consecutive points over all stored
 * components (the homogeneous coordinates of a 4-D list). */
QUORM_API double BCDF_calc_df_polygon_length(const BCDF_s *bcdf);
/** 1 when two consecutive points (Cartesian) lie closer than the length
 * tolerance, else 0. */
QUORM_API int BCDF_check_consecutive_dup_pts(const BCDF_s *bcdf);
/** kind 1: pt would replace the point at position; kind 2: that point would
 * be removed; kind 3: any consecutive duplicates.  1 when points would come
 * closer than the length tolerance.  0 for a position outside the points,
 * for kind 2 at either end and for other kinds. */
QUORM_API int BCDF_check_overlap_points(const BCDF_s *bcdf, int kind, int position, const double pt[3]);
/** 0, or the code of the first defect found, tested in this order: too few
 * points (open below 2, periodic up to 2) QUORM_ERR_BCDF_TOO_FEW_POINTS;
 * constraints below the order QUORM_ERR_BCDF_TOO_FEW_CONSTRAINTS, or
 * 2147483600 and more QUORM_ERR_BCDF_TOO_MANY_CONSTRAINTS; parameters
 * missing or not strictly increasing QUORM_ERR_BCDF_PARAMS_NOT_INCREASING;
 * slopes with order up to 2, or curvatures with order below 4,
 * QUORM_ERR_BCDF_ORDER_TOO_LOW; a curvature at no slope
 * QUORM_ERR_BCDF_CRVATR_WITHOUT_SLOPE, or whose dot product with its slope
 * exceeds 1e-7 in magnitude, QUORM_ERR_BCDF_CRVATR_NOT_NORMAL; for least
 * squares, max poles (BCDF_ask_max_npoles_for_fit) below the order
 * QUORM_ERR_BCDF_TOO_FEW_POINTS, a
 * negative tolerance with 0 segments QUORM_ERR_BCDF_LS_NEGATIVE_TOLERANCE,
 * segments outside 1 ... max poles - order + 1
 * QUORM_ERR_BCDF_LS_SEGMENTS_RANGE.  Raises nothing. */
QUORM_API int BCDF_check_defining_data(const BCDF_s *bcdf);
/** Turns 4-D points into Cartesian 3-D points and cuts 4-D slopes to their
 * first three components; other lists are left alone. */
QUORM_API void BCDF_convert_4d_to_3d(BCDF_s *bcdf);
/** Parameters to 0 ... 1; returns the old last parameter.  The parameters of
 * the attached vectors are divided alike; slope vectors are not rescaled.
 * Fewer than two parameters or a non-increasing range change nothing.
 * Without parameters: 0, an internal error while checking. */
QUORM_API double BCDF_normalize_parameters(BCDF_s *bcdf);
/** Sets the first parameter to 0, then multiplies every parameter and the
 * parameters of the attached vectors by scale; slope vectors are not
 * rescaled.  Without parameters an internal error while checking. */
QUORM_API void BCDF_unnormalize_parameters(BCDF_s *bcdf, double scale);

QUORM_END_DECLS

#endif
