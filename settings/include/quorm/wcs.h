/** @file
 * The work coordinate system, its mappings and the pending display list.
 *
 * The work coordinate system (WCS) lives in the settings block (acom.h): its
 * matrix holds the X, Y and Z axes as rows and maps absolute components to
 * WCS ones (wcs = M*v); its origin is an absolute point.  Points and vectors
 * of the mappings are arrays of three doubles; every output may be the input
 * array.  The numbered routines take all their arguments by address.
 */
#ifndef QUORM_WCS_H
#define QUORM_WCS_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/* ---- Reading and setting the WCS --------------------------------------- */

/** The WCS origin. */
QUORM_API void WCS_ask_origin(quorm_point3 *origin);
/** The WCS matrix (rows: the X, Y and Z axes). */
QUORM_API void WCS_ask_matrix(MTX3_s *matrix);
/** The WCS origin and matrix as one coordinate system. */
QUORM_API void WCS_ask_coordinate_system(CSYS_s *csys);
/** Row 2 of the matrix. */
QUORM_API void WCS_ask_z_axis(quorm_vector3 *z_axis);
/** The plane through the origin with the Z axis as normal. */
QUORM_API void WCS_ask_work_plane(PLN3_s *plane);
/** Copies the nine values into the WCS matrix, unchecked. */
QUORM_API void WCS__set_matrix_values(const MTX3_s *matrix);

/** The WCS matrix identifier. */
QUORM_API unsigned WCS_ask_matrix_tag(void);
/** Stores the WCS matrix identifier. */
QUORM_API void WCS__set_matrix_tag(unsigned tag);
/** The WCS identifier. */
QUORM_API unsigned WCS_ask_tag(void);
/** Stores the WCS identifier. */
QUORM_API void WCS_set_tag(unsigned tag);
/** The WCS view-names skeleton identifier. */
QUORM_API unsigned WCS_ask_view_names_skeleton(void);
/** Stores the WCS view-names skeleton identifier. */
QUORM_API void WCS_set_view_names_skeleton(unsigned skeleton);
/** The WCS skeleton identifier. */
QUORM_API unsigned WCS_ask_skeleton(void);
/** Stores the WCS skeleton identifier. */
QUORM_API void WCS_set_skeleton(unsigned skeleton);

/** True when the WCS is linked to the view (the not-linked flag is 0). */
QUORM_API bool WCS_is_linked_to_view(void);
/** Stores the not-linked flag: 0 when linked, 1 otherwise. */
QUORM_API void WCS_set_linked_to_view(bool linked);
/** True when the WCS is permanent (the flag is 1). */
QUORM_API bool WCS_is_permanent(void);
/** Stores the permanent flag as 1 or 0. */
QUORM_API void WCS_set_permanent(bool permanent);

/** The display status, 0 or 1; 1 shows a temporary WCS. */
QUORM_API int WCS_ask_wcs_display(void);
/** Sets the display status (0, or 1 for a temporary WCS).  Asserts the range
 * while the checking level is above 0, stores it and then calls the callback
 * list of the system reason for local reason 2 with a pointer to an int
 * holding the new status. */
QUORM_API void WCS_set_wcs_display(int display_status);
/** True when the display status is 1 (a temporary WCS). */
QUORM_API bool WCS_is_temporary(void);

/* ---- Mappings ----------------------------------------------------------- */

/** Absolute vector to WCS components, `M*v`. */
QUORM_API void mapvaw(const double v[3], double out[3]);
/** WCS vector to absolute components, `M^T*v`. */
QUORM_API void mapvwa(const double v[3], double out[3]);
/** Absolute point to WCS coordinates, `M*(p - origin)`. */
QUORM_API void mappaw(const double p[3], double out[3]);
/** WCS point to absolute coordinates, `M^T*p + origin`. */
QUORM_API void mappwa(const double p[3], double out[3]);

/** mapvwa under an older name: WCS vector to absolute. */
QUORM_API void map10(const double v[3], double out[3]);
/** mapvaw under an older name: absolute vector to the WCS. */
QUORM_API void map11(const double v[3], double out[3]);
/** mappwa under an older name: WCS point to absolute. */
QUORM_API void map12(const double p[3], double out[3]);
/** mappaw under an older name: absolute point to the WCS. */
QUORM_API void map13(const double p[3], double out[3]);
/** mappaw under another older name: absolute point to the WCS. */
QUORM_API void m511(const double p[3], double out[3]);

/** Cartesian (x, y, z) to spherical (radius, azimuth, polar angle) in
 * radians.  The coordinates are converted as given (map a point into the
 * WCS first with mappaw when WCS angles are wanted).  The azimuth is measured
 * in the XY plane from +X toward +Y and lies in [0, 2*pi); the polar angle is
 * measured from +Z and lies in [0, pi].  A point on the Z axis has azimuth 0
 * and the origin gives (0, 0, 0). */
QUORM_API void map22(const double p[3], double out[3]);
/** Spherical (radius, azimuth, polar angle), angles in radians as map22
 * gives them, back to Cartesian (x, y, z). */
QUORM_API void map23(const double s[3], double out[3]);

/* ---- Coordinate-system constructions with the WCS ----------------------- */

/** Copies the WCS matrix and origin. */
QUORM_API void v6051(MTX3_s *matrix, double origin[3]);

/** Makes p the WCS origin and stores its height along the Z axis of m (the
 * dot product of row 2 of m with p) as v6054_z; m is normally the WCS matrix,
 * and the value is then the height of the work plane above the absolute
 * origin. */
QUORM_API void v6054(const double p[3], const MTX3_s *m);

/** Makes (matrix, origin) the WCS.  The matrix must be a right-handed
 * ortho-normal frame (rows of unit length, pairwise perpendicular, within
 * 1e-14) and the origin finite (each component below 1e19 in magnitude).
 * *status is 1 on success, 2 when the input is refused; the WCS is then left
 * as it was. */
QUORM_API void v6060(const MTX3_s *matrix, const double origin[3], int *status);

/** Composes a frame given in WCS coordinates with the WCS: the result is the
 * same frame in absolute coordinates, its axes M^T*axis and its origin
 * M^T*origin + WCS origin.  Both the given matrix and the WCS matrix must be
 * right-handed ortho-normal frames (as for v6060); *status is 1 on success,
 * 2 otherwise, and the outputs are then unwritten.  The outputs may be the
 * inputs. */
QUORM_API void v6066(const MTX3_s *local_matrix, const double local_origin[3], MTX3_s *matrix, double origin[3],
                     int *status);

/* ---- Pending display list ------------------------------------------------ */

/** The function that displays pending items: it receives their count (1 to
 * ACOM_PENDING_DISPLAY_MAX) and identifiers.  The list is already empty when
 * it is called, so it may queue new items. */
typedef void (*MCS_display_fn_t)(int count, const int *ids);

/** Registers the display function (null unregisters) and returns the
 * previous one. */
QUORM_API MCS_display_fn_t MCS_register_display_fn(MCS_display_fn_t fn);

/** @name Pending display list
 * The list is the count and entries of the settings block.  A count outside
 * 0..ACOM_PENDING_DISPLAY_MAX found there (the host writes the block) is
 * reported through ERROR_internal while the checking level is above 0 and is
 * taken as 0 when negative, as a full list when too large: no entry outside
 * the list is ever read or written. */
/** @{ */

/** Empties the list. */
QUORM_API void d7390(void);
/** Appends *id, flushing the list first when it is full (*id is dropped
 * should the display function fill the list again). */
QUORM_API void d7391(const int *id);
/** Removes every occurrence of *id, keeping the order of the others. */
QUORM_API void a406(const int *id);
/** Hands the pending items to the display function and empties the list.  With
 * no display function registered the items are dropped: nothing could show
 * them. */
QUORM_API void d7392(void);
/** @} */

QUORM_END_DECLS

#endif
