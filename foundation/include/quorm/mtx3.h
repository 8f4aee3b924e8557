/** @file
 * 3-D frames and rotations (MTX3_).
 *
 * Rows of an MTX3_s are the frame's X, Y and Z axes.  The init family returns
 * 1 on success and 0 for degenerate axes (null within 1e-10, or not
 * perpendicular within a cosine of 1e-10), leaving out unwritten. */
#ifndef QUORM_MTX3_H
#define QUORM_MTX3_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** X along x, Y the part of y perpendicular to it, Z = X x Y. */
QUORM_API int MTX3_init(const quorm_vector3 *x, const quorm_vector3 *y, MTX3_s *out);
/** Frame from its X axis; Y is a perpendicular chosen from x's components. */
QUORM_API int MTX3_init_x(const quorm_vector3 *x, MTX3_s *out);
/** Frame from its Z axis. */
QUORM_API int MTX3_init_z(const quorm_vector3 *z, MTX3_s *out);
/** Frame from its Y and Z axes; Z is kept. */
QUORM_API int MTX3_init_y_z(const quorm_vector3 *y, const quorm_vector3 *z, MTX3_s *out);
/** Frame from three mutually perpendicular axes; Z is re-derived from X and Y. */
QUORM_API int MTX3_init_x_y_z(const quorm_vector3 *x, const quorm_vector3 *y, const quorm_vector3 *z, MTX3_s *out);
/** Rows x, y and x x y as given: no unitizing, no test. */
QUORM_API void MTX3_init_no_check(const quorm_vector3 *x, const quorm_vector3 *y, MTX3_s *out);

/** R = Rz(yaw) * Ry(pitch) * Rx(roll), angles in radians. */
QUORM_API void MTX3_init_roll_pitch_yaw(double roll, double pitch, double yaw, MTX3_s *out);
/** One (roll, pitch, yaw) decomposition of m; at pitch +-90 degrees yaw is 0. */
QUORM_API void MTX3_ask_roll_pitch_yaw(const MTX3_s *m, double *roll, double *pitch, double *yaw);
/** Every distinct (roll, pitch, yaw) triple, at most 8, whose matrix matches m
 * within 1e-10.  At pitch +-90 degrees, where only roll -+ yaw is fixed, the
 * triple with yaw 0 stands for the whole family. */
QUORM_API void MTX3_ask_all_roll_pitch_yaw(const MTX3_s *m, int *count, double angles[8][3]);
/** Rotation by angle (radians) about axis; a null axis gives the identity. */
QUORM_API void MTX3_rot_about_axis(double angle, const quorm_vector3 *axis, MTX3_s *out);

/** Rows of unit length and pairwise perpendicular within 1e-14 (either hand). */
QUORM_API bool MTX3_is_ortho_normal(const MTX3_s *m);
/** Every element within tol, and both or neither ortho-normal. */
QUORM_API bool MTX3_is_equal(const MTX3_s *a, const MTX3_s *b, double tol);
/** MTX3_is_equal to the identity: every element within tol of it, and m
 * ortho-normal. */
QUORM_API bool MTX3_is_identity(const MTX3_s *m, double tol);
/** Repairs m in place into an ortho-normal matrix; true when it had to change
 * it.  Unchecked, a matrix whose X or Z row is not finite becomes the
 * identity. */
QUORM_API bool MTX3_ortho_normalize(MTX3_s *m);

/** out = b * a; out may be a or b.  The product of two ortho-normal
 * matrices is kept ortho-normal (MTX3_ortho_normalize). */
QUORM_API void MTX3_multiply(const MTX3_s *a, const MTX3_s *b, MTX3_s *out);
/** out = b * a^T; out may be a or b.  The product of two ortho-normal
 * matrices is kept ortho-normal (MTX3_ortho_normalize). */
QUORM_API void MTX3_multiply_t(const MTX3_s *a, const MTX3_s *b, MTX3_s *out);

/** Snaps the X and Y rows' nearly exact elements and rebuilds the frame from
 * them.  Returns 1, or 0 when X or Y is null or they are parallel: after a
 * null row m keeps the snapped elements (and, for a null Y, the unitized X
 * row); after parallel rows it is restored. */
QUORM_API int MTX3_fixup(MTX3_s *m);

QUORM_END_DECLS

#endif
