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

/** A growable list of points of one fixed dimension. */
typedef struct PNTLST_s {
    double *points;  /**< dimension doubles per point, point after point     */
    int num_points;  /**< points in use                                       */
    int max_points;  /**< capacity in points; 0: the array is not the list's */
    int dimension;   /**< doubles per point (1, 3 or 4 in the library)        */
} PNTLST_s;

/** Element of the 3-D indexed lists: the coordinates and one 8-byte tag slot
 * that belongs to the caller (the list functions never touch it). */
typedef struct IPNT3_s {
    /** @{ */
    double x, y, z; /**< coordinates */
    /** @} */
    long long tag;  /**< the caller's tag slot */
} IPNT3_s;

/** Element of the 4-D indexed lists: four coordinates and one 8-byte tag slot
 * that belongs to the caller (the list functions never touch it). */
typedef struct IPNT4_s {
    /** @{ */
    double x, y, z, w; /**< coordinates */
    /** @} */
    long long tag;     /**< the caller's tag slot */
} IPNT4_s;

/** Counted array of IPNT3_s; the record itself is the caller's. */
typedef struct IPNT3_LST_s {
    IPNT3_s *pnts; /**< num_pnts elements (SM_alloc); null once freed */
    int num_pnts;  /**< element count; -1 once freed */
} IPNT3_LST_s;

/** Counted array of IPNT4_s; the record itself is the caller's. */
typedef struct IPNT4_LST_s {
    IPNT4_s *pnts; /**< num_pnts elements (SM_alloc); null once freed */
    int num_pnts;  /**< element count; -1 once freed */
} IPNT4_LST_s;

/** The leading part of a B-curve that bc_xyz_box reads. */
typedef struct BCURVE_DATA {
    double *poles;  /**< num_poles homogeneous poles (w*x, w*y, w*z, w) */
    double *knots;  /**< num_poles + order knots */
    int num_poles;  /**< number of poles */
    int order;      /**< order (degree + 1) */
    int reserved;   /**< not read */
    int periodic;   /**< non-zero for a periodic curve whose knot domain is 0 ... 1 */
} BCURVE_DATA;

/* ---- point lists ---------------------------------------------------------- */

/** New empty list owning room for capacity points; null when capacity or
 * dimension is not positive.  Free it with PNTLST_free_structure. */
QUORM_API PNTLST_s *PNTLST_allocate_struct(int dimension, int capacity);
/** Resizes the coordinate array to capacity points; num_points is kept (but
 * never above the new capacity).  A list that does not own its array gets a
 * new one and leaves the old one to its owner.  capacity <= 0 frees an owned
 * array and leaves the list empty with a null array; a null list is ignored. */
QUORM_API void PNTLST_allocate_points(PNTLST_s *list, int capacity);
/** New list around coords (count points); the list takes the array over
 * (max_points = count, so with count 0 the array stays the caller's).  A
 * negative count counts as 0. */
QUORM_API PNTLST_s *PNTLST_create_from_list_of_pts(double *coords, int count, int dimension);
/** Frees the coordinate array (when owned) and the record; null allowed. */
QUORM_API void PNTLST_free_structure(PNTLST_s *list);
/** Frees the record only; null allowed. */
QUORM_API void PNTLST_free_all_but_points(PNTLST_s *list);
/** Deep copy with capacity equal to the count (an empty list gives a list
 * with a null array); null gives null. */
QUORM_API PNTLST_s *PNTLST_copy_structure(const PNTLST_s *list);
/** New array with the coordinates; count and dimension out (either may be
 * null).  A null list gives null with 0 and 0; an empty one a zero-length
 * block. */
QUORM_API double *PNTLST_copy_points(const PNTLST_s *list, int *count, int *dimension);
/** Copies the dimension doubles of the point at position into out.  A
 * position outside the list is an internal error ("Invalid Point Position
 * Given") while checking and writes nothing. */
QUORM_API void PNTLST_copy_single_point(const PNTLST_s *list, int position, double *out);
/** Overwrites count points from position on with src (which may overlap the
 * list).  count <= 0 does nothing; a run reaching past the points is an
 * internal error ("Too Many Points To Replace") while checking and changes
 * nothing. */
QUORM_API void PNTLST_replace_points(PNTLST_s *list, int count, int position, const double *src);
/** Inserts count points before position (position == num_points appends);
 * a full list grows to num_points + count + 2 * max_points.  src may point
 * into the list; count <= 0 does nothing.  A position outside 0 ... num_points is an internal error
 * while checking and changes nothing. */
QUORM_API void PNTLST_insert_points(PNTLST_s *list, int count, int position, const double *src);
/** Appends one point; a full list grows by exactly one point.  pt may point
 * into the list. */
QUORM_API void PNTLST_concat_one_point(PNTLST_s *list, const double *pt);
/** Removes count points from position on; null allowed.  Never shrinks.
 * Removing as many points as the list holds empties it, whatever the
 * position; a count above num_points or a run reaching past the end is an
 * internal error ("Too Many Points To Remove") while checking and changes
 * nothing. */
QUORM_API void PNTLST_remove_points(PNTLST_s *list, int position, int count);
/** Euclidean distance of points i and j over all components (a 4-D list
 * includes the weight).  An index outside the list raises
 * QUORM_ERR_PNTLST_INVALID_POSITION while checking and otherwise gives 0. */
QUORM_API double PNTLST_calc_point_distance(const PNTLST_s *list, int i, int j);
/** Homogeneous 4-D points to Cartesian 3-D points in place; dimension becomes
 * 3, max_points and the allocation stay.  A 3-D list is left alone; another
 * dimension is an internal error while checking and changes nothing. */
QUORM_API void PNTLST_convert_4d_to_3d(PNTLST_s *list);
/** New list of count points, zeroed and then filled by fill(count, points)
 * (fill may be null).  Null when count or dimension is not positive; a fill
 * that raises leaves no list behind. */
QUORM_API PNTLST_s *PNTLST_get_from_func(int count, int dimension, void (*fill)(int, double *));

/* ---- indexed point lists --------------------------------------------------- */

/** New array of n elements (SM_alloc) with num_pnts = n; what the record
 * held before is not looked at.  n < 0 is an internal error while checking
 * and changes nothing. */
QUORM_API void IPNT3_LST_alloc(IPNT3_LST_s *list, int n);
/** Resizes the array to n elements, keeping the leading ones, and sets
 * num_pnts = n.  n < 0 is an internal error while checking and changes
 * nothing. */
QUORM_API void IPNT3_LST_realloc(IPNT3_LST_s *list, int n);
/** Frees the array, sets it null and num_pnts to -1; the record stays the
 * caller's.  Freeing a freed list (count below 0) is an internal error while
 * checking and frees nothing. */
QUORM_API void IPNT3_LST_free(IPNT3_LST_s *list);
/** Resizes dst to the source count and copies x, y and z of every element;
 * the tag slots of dst are left as they are.  dst may be a freed list; a
 * freed source is an internal error while checking. */
QUORM_API void IPNT3_LST_copy(const IPNT3_LST_s *src, IPNT3_LST_s *dst);
/** Writes the coordinates of every element, packed, into the caller's out
 * (num_pnts rows).  A freed list is an internal error while checking and
 * writes nothing. */
QUORM_API void IPNT3_LST_xtract_pnts(const IPNT3_LST_s *list, double (*out)[3]);
/** As IPNT3_LST_alloc, for a 4-D list. */
QUORM_API void IPNT4_LST_alloc(IPNT4_LST_s *list, int n);
/** As IPNT3_LST_realloc, for a 4-D list. */
QUORM_API void IPNT4_LST_realloc(IPNT4_LST_s *list, int n);
/** As IPNT3_LST_free, for a 4-D list. */
QUORM_API void IPNT4_LST_free(IPNT4_LST_s *list);
/** As IPNT3_LST_xtract_pnts, writing x, y, z and w. */
QUORM_API void IPNT4_LST_xtract_pnts(const IPNT4_LST_s *list, double (*out)[4]);

/* ---- homogeneous poles (w*x, w*y, w*z, w) ------------------------------------ */

/** 1 when the Cartesian positions of a and b lie within the length tolerance
 * of each other, else 0. */
QUORM_API int bc_POLE_equal_in_3d(const double *a, const double *b);
/** 1 when the weights differ by at most 1e-10 and bc_POLE_equal_in_3d holds,
 * else 0. */
QUORM_API int bc_POLE_equal_in_4d(const double *a, const double *b);
/** out = position(a) - position(b); returns its length. */
QUORM_API double bc_POLE_3d_distance(const double *a, const double *b, double out[3]);
/** The pole with its Cartesian position moved by vec and its weight kept. */
QUORM_API void bc_POLE_translate_pole(const double *pole, const double vec[3], double out[4]);
/** The pole's position projected onto the line through the positions of
 * poles a and b (a's position when a and b coincide within the number
 * tolerance), with the pole's own weight. */
QUORM_API void bc_POLE_project_to_line(const double *pole, const double *a, const double *b, double out[4]);
/** Mean Cartesian position; the origin for n <= 0. */
QUORM_API void bc_POLE_average_in_3d(double (*poles)[4], int n, double out[3]);
/** 1 when all n poles lie at one position (always for n <= 1), else 0: the
 * first and the middle pole must be equal in 3-D and every pole must lie
 * within (n - 1) * 1e-10 / n of the mean position. */
QUORM_API int bc_POLE_identical_poles_in_3d(double (*poles)[4], int n);
/** Box (xmin, ymin, zmin, xmax, ymax, zmax) of the curve over range.  A
 * periodic curve's range is taken modulo its domain and may wrap past 1.  An
 * inverted range of an open curve is the same stretch; a range too short to
 * hold a piece gives the box of the point at its start.  A curve whose order
 * is outside 1 ... 25 or that has fewer poles than its order (or a null
 * curve) gives zeros, and is an internal error while checking. */
QUORM_API void bc_xyz_box(const BCURVE_DATA *curve, const double range[2], double box[6]);

/* ---- sorted reals ------------------------------------------------------------- */

/** *out: new array of n doubles (the caller frees it with SM_free) holding
 * the first value and every later one that differs from its predecessor in
 * the input by more than 1e-10; *nout: how many.  n <= 0 sets *nout to 0 and
 * leaves *out untouched. */
QUORM_API void get_unique_reals(const double *values, int n, double **out, int *nout);
/** Index in first ... last (clamped to 0 ... n - 1) of the value nearest to
 * x, the lowest index on a tie; -1 when the clamped range is empty. */
QUORM_API int find_closest_reals(int n, const double *values, int first, int last, double x);
/** Order-preserving matching of the ascending rows a (n1 values) and b (n2
 * values): match[i] (n2 entries) receives the index in a of the partner of
 * b[i], or -1.  Equal counts pair index with index; otherwise each entry of
 * the shorter row, from the middle outwards, gets the nearest entry of the
 * longer one within a window that leaves room for the others.  Returns 0, or
 * 1 when no matching exists (n1 = 0 while n2 is positive, say).  n2 <= 0
 * writes nothing and returns 0.  A result out of order is an internal error
 * at every checking level. */
QUORM_API int match_sorted_reals(int n1, const double *a, int n2, const double *b, int *match);

QUORM_END_DECLS

#endif
