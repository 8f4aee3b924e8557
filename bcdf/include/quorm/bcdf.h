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

typedef struct BCDF_s {
    PNTLST_s *points;      /**< dimension 3, or 4 (w*x, w*y, w*z, w)           */
    PNTLST_s *weights;     /**< one per point; present only for least squares  */
    PNTLST_s *params;      /**< one per point, strictly increasing             */
    PNTLST_s *slopes;      /**< first three components are read                */
    PNTLST_s *slope_pars;  /**< parameter of the point carrying each slope     */
    PNTLST_s *crvatrs;
    PNTLST_s *crvatr_pars;
#if QUORM_FULL_BUILD
    PNTLST_s *crvatr_derivs;
    PNTLST_s *crvatr_deriv_pars;
#endif
    int *slope_types;
    int *crvatr_types;
#if QUORM_FULL_BUILD
    int *crvatr_deriv_types;
#endif
    double ls_tolerance;
    int ls_num_of_segments; /**< 0: the fit is driven by ls_tolerance */
    int order;              /**< 2 ... 25 */
    int periodicity;        /**< 0 open, 1 periodic (last point repeats the first) */
    int num_of_knots;
    double *knot_sequence;  /**< the caller's; never freed by the record */
    int *constraint_types;  /**< one per point, or null */
    bool ls_uniform_segments;
    int algorithm_version;
} BCDF_s;

/* ---- counts and scalars ------------------------------------------------------ */

QUORM_API int BCDF_return_num_of_points(const BCDF_s *bcdf);
QUORM_API int BCDF_return_dimension(const BCDF_s *bcdf);
QUORM_API int BCDF_return_num_of_slopes(const BCDF_s *bcdf);
QUORM_API int BCDF_return_num_of_crvatrs(const BCDF_s *bcdf);
#if QUORM_FULL_BUILD
QUORM_API int BCDF_return_num_of_crvatr_derivs(const BCDF_s *bcdf);
#endif
/** points + slopes + curvatures (+ curvature derivatives), minus 1 when periodic */
QUORM_API int BCDF_return_num_of_constraints(const BCDF_s *bcdf);
QUORM_API int BCDF_return_order(const BCDF_s *bcdf);
QUORM_API int BCDF_return_periodicity(const BCDF_s *bcdf);
QUORM_API double BCDF_return_ls_tolerance(const BCDF_s *bcdf);
QUORM_API int BCDF_return_ls_num_of_segments(const BCDF_s *bcdf);
QUORM_API int BCDF_ask_algorithm_version(const BCDF_s *bcdf);
QUORM_API void BCDF_set_algorithm_version(BCDF_s *bcdf, int version);
QUORM_API bool BCDF_ask_ls_uniform_segments(const BCDF_s *bcdf);
QUORM_API void BCDF_set_ls_uniform_segments(BCDF_s *bcdf, bool uniform);

/* ---- internal arrays (count and dimension 0, null when absent) ------------------ */

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
QUORM_API int *BCDF_return_slope_type_array(BCDF_s *bcdf);
QUORM_API int *BCDF_return_crvatr_type_array(BCDF_s *bcdf);
#if QUORM_FULL_BUILD
QUORM_API int *BCDF_return_crvatr_deriv_type_array(BCDF_s *bcdf);
#endif
QUORM_API double *BCDF_return_knot_sequence(BCDF_s *bcdf, int *count);
QUORM_API int *BCDF_return_constraint_type_array(BCDF_s *bcdf, int *count);

/* ---- copies (the caller frees them with SM_free) ----------------------------------- */

QUORM_API double *BCDF_copy_points(const BCDF_s *bcdf, int *count, int *dimension);
QUORM_API double *BCDF_copy_parameters(const BCDF_s *bcdf, int *count);
QUORM_API double *BCDF_copy_slopes(const BCDF_s *bcdf, int *count, int *dimension);
QUORM_API double *BCDF_copy_slope_pars(const BCDF_s *bcdf, int *count);
/** One entry per slope / curvature / curvature derivative; a zero-length
 * block (not null) when there are none. */
QUORM_API int *BCDF_copy_slope_type_array(const BCDF_s *bcdf);
QUORM_API int *BCDF_copy_crvatr_type_array(const BCDF_s *bcdf);
#if QUORM_FULL_BUILD
QUORM_API int *BCDF_copy_crvatr_deriv_type_array(const BCDF_s *bcdf);
#endif
/** Null with count 0 when the record has no constraint types. */
QUORM_API int *BCDF_copy_constraint_type_array(const BCDF_s *bcdf, int *count);

/* ---- single entries ------------------------------------------------------------------ */

/** Cartesian point (x/w, y/w, z/w for a 4-D list). */
QUORM_API void BCDF_copy_single_3d_point(const BCDF_s *bcdf, int position, double out[3]);
QUORM_API void BCDF_copy_single_3d_slope(const BCDF_s *bcdf, int position, double out[3], int *type);
QUORM_API void BCDF_copy_single_3d_crvatr(const BCDF_s *bcdf, int position, double out[3], int *type);
#if QUORM_FULL_BUILD
QUORM_API void BCDF_copy_single_3d_crvatr_deriv(const BCDF_s *bcdf, int position, double out[3], int *type);
#endif

/* ---- attaching ---------------------------------------------------------------------- */

/** Frees the old constraint types and takes ownership of types (one per
 * point, or null). */
QUORM_API void BCDF_add_constraint_type_array(BCDF_s *bcdf, int *types);
/** Stores count and pointer; the knots stay the caller's. */
QUORM_API void BCDF_attach_knot_sequence(BCDF_s *bcdf, int count, double *knots);
QUORM_API void BCDF_detach_knot_sequence(BCDF_s *bcdf);

/* ---- lifetime -------------------------------------------------------------------------- */

/** Deep copy (null gives null); the copy has no knot sequence attached. */
QUORM_API BCDF_s *BCDF_copy_structure(const BCDF_s *bcdf);
/** Frees the record and everything it owns; null allowed. */
QUORM_API void BCDF_free_structure(BCDF_s *bcdf);
/** As BCDF_free_structure, but the point coordinate array survives. */
QUORM_API void BCDF_free_all_but_points(BCDF_s *bcdf);
/** Moves the record into persistent memory; the argument is freed. */
QUORM_API BCDF_s *BCDF_make_bcdf_data_persistent(BCDF_s *bcdf);

QUORM_END_DECLS

#endif
