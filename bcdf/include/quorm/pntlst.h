/** @file
 * Point lists, indexed point lists, homogeneous poles and sorted reals.
 *
 * PNTLST_s is a growable list of points of one fixed dimension: the building
 * block of every list inside the curve defining-data record (BCDF_s).  A list
 * with max_points == 0 does not own its coordinate array and never frees it.
 *
 * Memory handed out by these functions comes from SM_alloc and is released
 * with SM_free (arrays) or the list's free function (lists).  Checks run
 * only while MACH__checking_level > 0. */
#ifndef QUORM_PNTLST_H
#define QUORM_PNTLST_H

#include <quorm/quorm_platform.h>

QUORM_BEGIN_DECLS

typedef struct PNTLST_s {
    double *points;  /**< dimension doubles per point, point after point     */
    int num_points;  /**< points in use                                       */
    int max_points;  /**< capacity in points; 0: the array is not the list's */
    int dimension;   /**< doubles per point (1, 3 or 4 in the library)        */
} PNTLST_s;

/** Elements of the indexed lists: the coordinates and one 8-byte tag slot
 * that belongs to the caller (the list functions never touch it). */
typedef struct IPNT3_s {
    double x, y, z;
    long long tag;
} IPNT3_s;

typedef struct IPNT4_s {
    double x, y, z, w;
    long long tag;
} IPNT4_s;

typedef struct IPNT3_LST_s {
    IPNT3_s *pnts;
    int num_pnts; /**< element count; -1 once freed */
} IPNT3_LST_s;

typedef struct IPNT4_LST_s {
    IPNT4_s *pnts;
    int num_pnts; /**< element count; -1 once freed */
} IPNT4_LST_s;

/** The leading part of a B-curve that bc_xyz_box reads.  poles: num_poles
 * homogeneous poles (w*x, w*y, w*z, w); knots: num_poles + order knots;
 * periodic: non-zero for a periodic curve whose knot domain is 0 ... 1.
 * reserved is not read. */
typedef struct BCURVE_DATA {
    double *poles;
    double *knots;
    int num_poles;
    int order;
    int reserved;
    int periodic;
} BCURVE_DATA;

/* ---- point lists ---------------------------------------------------------- */

/** New empty list owning room for capacity points; null when capacity or
 * dimension is not positive. */
QUORM_API PNTLST_s *PNTLST_allocate_struct(int dimension, int capacity);
/** Resizes the coordinate array to capacity points; num_points is kept (but
 * never above the new capacity).  A list that does not own its array gets a
 * new one and leaves the old one to its owner. */
QUORM_API void PNTLST_allocate_points(PNTLST_s *list, int capacity);
/** New list around coords (count points); the list takes the array over. */
QUORM_API PNTLST_s *PNTLST_create_from_list_of_pts(double *coords, int count, int dimension);
/** Frees the coordinate array (when owned) and the record; null allowed. */
QUORM_API void PNTLST_free_structure(PNTLST_s *list);
/** Frees the record only; null allowed. */
QUORM_API void PNTLST_free_all_but_points(PNTLST_s *list);
/** Deep copy with capacity equal to the count; null gives null. */
QUORM_API PNTLST_s *PNTLST_copy_structure(const PNTLST_s *list);
/** New array with the coordinates; count and dimension out. */
QUORM_API double *PNTLST_copy_points(const PNTLST_s *list, int *count, int *dimension);
QUORM_API void PNTLST_copy_single_point(const PNTLST_s *list, int position, double *out);
QUORM_API void PNTLST_replace_points(PNTLST_s *list, int count, int position, const double *src);
/** Inserts count points before position (position == num_points appends);
 * a full list grows to num_points + count + 2 * max_points. */
QUORM_API void PNTLST_insert_points(PNTLST_s *list, int count, int position, const double *src);
/** Appends one point; a full list grows by exactly one point. */
QUORM_API void PNTLST_concat_one_point(PNTLST_s *list, const double *pt);
/** Removes count points from position on; null allowed.  Never shrinks. */
QUORM_API void PNTLST_remove_points(PNTLST_s *list, int position, int count);
/** Euclidean distance of points i and j over all components. */
QUORM_API double PNTLST_calc_point_distance(const PNTLST_s *list, int i, int j);
/** Homogeneous 4-D points to Cartesian 3-D points in place. */
QUORM_API void PNTLST_convert_4d_to_3d(PNTLST_s *list);
/** New list of count points filled by fill(count, points). */
QUORM_API PNTLST_s *PNTLST_get_from_func(int count, int dimension, void (*fill)(int, double *));

/* ---- indexed point lists --------------------------------------------------- */

QUORM_API void IPNT3_LST_alloc(IPNT3_LST_s *list, int n);
QUORM_API void IPNT3_LST_realloc(IPNT3_LST_s *list, int n);
QUORM_API void IPNT3_LST_free(IPNT3_LST_s *list);
QUORM_API void IPNT3_LST_copy(const IPNT3_LST_s *src, IPNT3_LST_s *dst);
QUORM_API void IPNT3_LST_xtract_pnts(const IPNT3_LST_s *list, double (*out)[3]);
QUORM_API void IPNT4_LST_alloc(IPNT4_LST_s *list, int n);
QUORM_API void IPNT4_LST_realloc(IPNT4_LST_s *list, int n);
QUORM_API void IPNT4_LST_free(IPNT4_LST_s *list);
QUORM_API void IPNT4_LST_xtract_pnts(const IPNT4_LST_s *list, double (*out)[4]);

/* ---- homogeneous poles (w*x, w*y, w*z, w) ------------------------------------ */

QUORM_API int bc_POLE_equal_in_3d(const double *a, const double *b);
QUORM_API int bc_POLE_equal_in_4d(const double *a, const double *b);
/** out = position(a) - position(b); returns its length. */
QUORM_API double bc_POLE_3d_distance(const double *a, const double *b, double out[3]);
QUORM_API void bc_POLE_translate_pole(const double *pole, const double vec[3], double out[4]);
QUORM_API void bc_POLE_project_to_line(const double *pole, const double *a, const double *b, double out[4]);
/** Mean Cartesian position; the origin for n <= 0. */
QUORM_API void bc_POLE_average_in_3d(double (*poles)[4], int n, double out[3]);
/** 1 when all n poles lie at one position (always for n <= 1), else 0. */
QUORM_API int bc_POLE_identical_poles_in_3d(double (*poles)[4], int n);
/** Box (xmin, ymin, zmin, xmax, ymax, zmax) of the curve over range.  An
 * inverted range of an open curve is the same stretch; a range too short to
 * hold a piece gives the box of the point at its start.  A curve whose order
 * is outside 1 ... 25 or that has fewer poles than its order gives zeros. */
QUORM_API void bc_xyz_box(const BCURVE_DATA *curve, const double range[2], double box[6]);

/* ---- sorted reals ------------------------------------------------------------- */

/** *out: new array of n doubles holding the values that differ from their
 * predecessor by more than 1e-10; *nout: how many. */
QUORM_API void get_unique_reals(const double *values, int n, double **out, int *nout);
QUORM_API int find_closest_reals(int n, const double *values, int first, int last, double x);
QUORM_API int match_sorted_reals(int n1, const double *a, int n2, const double *b, int *match);

QUORM_END_DECLS

#endif
