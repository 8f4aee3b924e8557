/** @file
 * The curve defining-data record (BCDF_s): points, parameters, attached
 * slopes, curvatures and curvature derivatives, least-squares settings,
 * order and periodicity of a B-spline curve to be interpolated or fitted.
 *
 * Every list is a PNTLST_s; a list without entries is absent (null), never
 * empty.  The lists, the type arrays and the constraint-type array belong to
 * the record; the attached knot sequence belongs to the caller.
 *
 * "Internal" accessors return the record's own storage (never freed by the
 * caller); "copy" functions return new SM_alloc blocks the caller frees with
 * SM_free.  Checks run only while MACH__checking_level > 0.  The
 * curvature-derivative fields and functions exist in the full build only. */
#ifndef QUORM_BCDF_H
#define QUORM_BCDF_H

#include <quorm/pntlst.h>

QUORM_BEGIN_DECLS

/** Defining data of one B-spline curve to be interpolated through, or fitted
 * to, a row of points.  A record without weights is an interpolation record
 * (its least-squares fields mean nothing).  Slopes, curvatures and curvature
 * derivatives are each kept in ascending order of their parameters, and each
 * belongs to the point whose parameter equals its own within 1e-10. */
typedef struct BCDF_s {
    PNTLST_s *points;      /**< defining points: dimension 3, or 4 (w*x, w*y, w*z, w) */
    PNTLST_s *weights;     /**< one per point; present only for least squares  */
    PNTLST_s *params;      /**< one per point, strictly increasing             */
    PNTLST_s *slopes;      /**< slope vectors; first three components are read */
    PNTLST_s *slope_pars;  /**< parameter of the point carrying each slope     */
    PNTLST_s *crvatrs;     /**< curvature vectors, read as the slopes are      */
    PNTLST_s *crvatr_pars; /**< parameter of the point carrying each curvature */
#if QUORM_FULL_BUILD
    PNTLST_s *crvatr_derivs;     /**< curvature-derivative vectors (full build only) */
    PNTLST_s *crvatr_deriv_pars; /**< parameter of the point carrying each one (full build only) */
#endif
    int *slope_types;  /**< one per slope: 0 automatic, 1 fixed as given, 2 to 5
                            normalised kinds (see BCDF_CALC_normalized_slope) */
    int *crvatr_types; /**< one per curvature: 0 as given, 1 radius-driven
                            (automatic direction, length 1/radius) */
#if QUORM_FULL_BUILD
    int *crvatr_deriv_types; /**< one per curvature derivative; stored, never
                                  interpreted (full build only) */
#endif
    double ls_tolerance;    /**< least-squares tolerance */
    int ls_num_of_segments; /**< 0: the fit is driven by ls_tolerance */
    int order;              /**< 2 ... 25 */
    int periodicity;        /**< 0 open, 1 periodic (last point repeats the first) */
    int num_of_knots;       /**< length of the attached knot sequence; 0 when none */
    double *knot_sequence;  /**< the caller's; never freed by the record */
    int *constraint_types;  /**< one per point, or null; only the value 1 is
                                 read (BCDF_ask_min_npoles_for_fit) */
    bool ls_uniform_segments; /**< least-squares uniform-segments flag, stored for the caller */
    int algorithm_version;    /**< version of the editing rules the record follows
                                   (see bcdf_gen.h) */
} BCDF_s;

/* ---- counts and scalars ------------------------------------------------------ */

/** Number of points; 0 for a null record or without a point list. */
QUORM_API int BCDF_return_num_of_points(const BCDF_s *bcdf);
/** Dimension of the point list (3 or 4); 0 for a null record or without
 * points. */
QUORM_API int BCDF_return_dimension(const BCDF_s *bcdf);
/** @{ */
/** Number of slopes (curvatures, curvature derivatives); 0 for a null record
 * or an absent list. */
QUORM_API int BCDF_return_num_of_slopes(const BCDF_s *bcdf);
QUORM_API int BCDF_return_num_of_crvatrs(const BCDF_s *bcdf);
#if QUORM_FULL_BUILD
QUORM_API int BCDF_return_num_of_crvatr_derivs(const BCDF_s *bcdf);
#endif
/** @} */
/** points + slopes + curvatures (+ curvature derivatives), minus 1 when
 * periodic; 0 for a null record. */
QUORM_API int BCDF_return_num_of_constraints(const BCDF_s *bcdf);
/** The order; a null record is an internal error ("Defining Data Structure
 * Is NULL") while checking and gives 0. */
QUORM_API int BCDF_return_order(const BCDF_s *bcdf);
/** The periodicity field (0 open, 1 periodic); 0 for a null record. */
QUORM_API int BCDF_return_periodicity(const BCDF_s *bcdf);
/** @{ */
/** The least-squares tolerance (number of segments).  While checking, a null
 * record is an internal error and gives 0, and a record without weights is
 * an internal error ("Weights List Has A NULL Value") but the field is still
 * returned. */
QUORM_API double BCDF_return_ls_tolerance(const BCDF_s *bcdf);
QUORM_API int BCDF_return_ls_num_of_segments(const BCDF_s *bcdf);
/** @} */
/** @{ */
/** Reads (writes) algorithm_version, the version of the editing rules the
 * record follows.  The record must not be null. */
QUORM_API int BCDF_ask_algorithm_version(const BCDF_s *bcdf);
QUORM_API void BCDF_set_algorithm_version(BCDF_s *bcdf, int version);
/** @} */
/** @{ */
/** Reads (writes) the least-squares uniform-segments flag.  The record must
 * not be null. */
QUORM_API bool BCDF_ask_ls_uniform_segments(const BCDF_s *bcdf);
QUORM_API void BCDF_set_ls_uniform_segments(BCDF_s *bcdf, bool uniform);
/** @} */

/* ---- internal arrays (count and dimension 0, null when absent) ------------------ */

/** @{ */
/** The record's own coordinate array of the point (slope, curvature,
 * curvature-derivative) list, read or written in place and never freed by
 * the caller; *count and *dimension (either may be null) receive the list's
 * count and dimension.  An absent list gives null, 0 and 0. */
QUORM_API double *BCDF_return_df_point_array(BCDF_s *bcdf, int *count, int *dimension);
QUORM_API double *BCDF_return_param_array(BCDF_s *bcdf, int *count);
QUORM_API double *BCDF_return_slope_array(BCDF_s *bcdf, int *count, int *dimension);
QUORM_API double *BCDF_return_slope_pars_array(BCDF_s *bcdf, int *count);
QUORM_API double *BCDF_return_crvatr_array(BCDF_s *bcdf, int *count, int *dimension);
QUORM_API double *BCDF_return_crvatr_pars_array(BCDF_s *bcdf, int *count);
#if QUORM_FULL_BUILD
QUORM_API double *BCDF_return_crvatr_deriv_array(BCDF_s *bcdf, int *count, int *dimension);
QUORM_API double *BCDF_return_crvatr_deriv_pars_array(BCDF_s *bcdf, int *count);
#endif
QUORM_API double *BCDF_return_weight_array(BCDF_s *bcdf, int *count);
/** @} */
/** @{ */
/** The record's own slope (curvature, curvature-derivative) type array, one
 * entry per vector, or null; no count is returned. */
QUORM_API int *BCDF_return_slope_type_array(BCDF_s *bcdf);
QUORM_API int *BCDF_return_crvatr_type_array(BCDF_s *bcdf);
#if QUORM_FULL_BUILD
QUORM_API int *BCDF_return_crvatr_deriv_type_array(BCDF_s *bcdf);
#endif
/** @} */
/** The attached knot sequence (the caller's, or null) with *count =
 * num_of_knots (count may be null).  A null record is an internal error
 * while checking and gives null and 0. */
QUORM_API double *BCDF_return_knot_sequence(BCDF_s *bcdf, int *count);
/** The record's own constraint types, or null; *count (may be null) is the
 * number of points when there are any, else 0. */
QUORM_API int *BCDF_return_constraint_type_array(BCDF_s *bcdf, int *count);

/* ---- copies (the caller frees them with SM_free) ----------------------------------- */

/** @{ */
/** New array with the point coordinates (parameters), with *count and
 * *dimension (either may be null).  A missing list raises
 * QUORM_ERR_BCDF_NO_POINTS (QUORM_ERR_BCDF_NO_PARAMETERS) while checking;
 * otherwise it gives null with count and dimension 0. */
QUORM_API double *BCDF_copy_points(const BCDF_s *bcdf, int *count, int *dimension);
QUORM_API double *BCDF_copy_parameters(const BCDF_s *bcdf, int *count);
/** @} */
/** @{ */
/** New array with the slope vectors (slope parameters), with *count and
 * *dimension (either may be null); null with 0 and 0 when there are no
 * slopes. */
QUORM_API double *BCDF_copy_slopes(const BCDF_s *bcdf, int *count, int *dimension);
QUORM_API double *BCDF_copy_slope_pars(const BCDF_s *bcdf, int *count);
/** @} */
/** @{ */
/** One entry per slope / curvature / curvature derivative; a zero-length
 * block (not null) when there are none, zeros where the record holds no type
 * array. */
QUORM_API int *BCDF_copy_slope_type_array(const BCDF_s *bcdf);
QUORM_API int *BCDF_copy_crvatr_type_array(const BCDF_s *bcdf);
#if QUORM_FULL_BUILD
QUORM_API int *BCDF_copy_crvatr_deriv_type_array(const BCDF_s *bcdf);
#endif
/** @} */
/** One entry per point, with *count (may be null).  Null with count 0 when
 * the record has no constraint types. */
QUORM_API int *BCDF_copy_constraint_type_array(const BCDF_s *bcdf, int *count);

/* ---- single entries ------------------------------------------------------------------ */

/** Cartesian point (x/w, y/w, z/w for a 4-D list) at a 0-based position.
 * A bad call leaves out unwritten; while checking, no point list raises
 * QUORM_ERR_BCDF_NO_POINTS, a position outside the points
 * QUORM_ERR_BCDF_POSITION_TOO_LARGE and a dimension other than 3 or 4
 * QUORM_ERR_BCDF_BAD_DIMENSION. */
QUORM_API void BCDF_copy_single_3d_point(const BCDF_s *bcdf, int position, double out[3]);
/** @{ */
/** First three components of the slope (curvature, curvature derivative) at a
 * 0-based position into out, and its type into *type (may be null; 0 without
 * a type array).  A position outside the list leaves the outputs unwritten
 * and, while checking, raises QUORM_ERR_BCDF_INVALID_POSITION (an absent
 * slope list raises QUORM_ERR_BCDF_NO_SLOPES). */
QUORM_API void BCDF_copy_single_3d_slope(const BCDF_s *bcdf, int position, double out[3], int *type);
QUORM_API void BCDF_copy_single_3d_crvatr(const BCDF_s *bcdf, int position, double out[3], int *type);
#if QUORM_FULL_BUILD
QUORM_API void BCDF_copy_single_3d_crvatr_deriv(const BCDF_s *bcdf, int position, double out[3], int *type);
#endif
/** @} */

/* ---- attaching ---------------------------------------------------------------------- */

/** Frees the old constraint types and takes ownership of types (one per
 * point, or null); passing the array the record already holds keeps it. */
QUORM_API void BCDF_add_constraint_type_array(BCDF_s *bcdf, int *types);
/** Stores count and pointer; the knots stay the caller's. */
QUORM_API void BCDF_attach_knot_sequence(BCDF_s *bcdf, int count, double *knots);
/** Sets the knot count to 0 and the pointer to null; frees nothing. */
QUORM_API void BCDF_detach_knot_sequence(BCDF_s *bcdf);

/* ---- lifetime -------------------------------------------------------------------------- */

/** Deep copy (null gives null), each list with capacity equal to its count;
 * the copy has no knot sequence attached.  Free it with BCDF_free_structure. */
QUORM_API BCDF_s *BCDF_copy_structure(const BCDF_s *bcdf);
/** Frees the record and everything it owns (a list's coordinate array only
 * when the list owns it); never the knot sequence.  Null allowed. */
QUORM_API void BCDF_free_structure(BCDF_s *bcdf);
/** As BCDF_free_structure, but the point coordinate array survives and
 * belongs to whoever holds it (for instance through
 * BCDF_return_df_point_array). */
QUORM_API void BCDF_free_all_but_points(BCDF_s *bcdf);
/** Moves the record into persistent memory and returns the new record; the
 * argument is freed (null gives null).  Every block keeps its allocated
 * length; a coordinate array a list does not own stays with its owner.
 * When persistent memory runs out the blocks made so far are released, an
 * internal error is reported at every checking level and, should it return,
 * the argument comes back unchanged. */
QUORM_API BCDF_s *BCDF_make_bcdf_data_persistent(BCDF_s *bcdf);

QUORM_END_DECLS

#endif
