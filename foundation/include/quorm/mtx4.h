/** @file
 * Homogeneous 4x4 transforms (MTX4_).
 *
 * Functions returning int, except MTX4_fixup, give 0 on success and 1 for
 * degenerate input, leaving out unwritten. */
#ifndef QUORM_MTX4_H
#define QUORM_MTX4_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** out = b * a (apply a, then b); out may be a or b. */
QUORM_API void MTX4_multiply(const MTX4_s *a, const MTX4_s *b, MTX4_s *out);
/** out = b * a^T; out may be a or b. */
QUORM_API void MTX4_multiply_t(const MTX4_s *a, const MTX4_s *b, MTX4_s *out);
/** Inverse of m (out may be m); 1 when m is singular or its inverse would not
 * be finite. */
QUORM_API int MTX4_invert(const MTX4_s *m, MTX4_s *out);

/** All 16 elements within tol, and the linear parts both or neither
 * ortho-normal. */
QUORM_API bool MTX4_is_equal(const MTX4_s *a, const MTX4_s *b, double tol);
/** MTX4_is_equal to the identity: every element within tol of it, and the
 * linear part ortho-normal. */
QUORM_API bool MTX4_is_identity(const MTX4_s *m, double tol);
/** Same last element (last_tol), translations within distance_tol, linear
 * parts equal within rotation_tol; a NaN in any of them makes them unequal. */
QUORM_API bool MTX4_is_equal_transform(const MTX4_s *a, const MTX4_s *b, double rotation_tol, double distance_tol,
                                       double last_tol);

/** MTX3_is_ortho_normal of the linear part. */
QUORM_API bool MTX4_is_ortho_normal(const MTX4_s *m);
/** MTX3_ortho_normalize on the linear part, in place; true when it had to
 * change it.  The translation is untouched. */
QUORM_API bool MTX4_ortho_normalize(MTX4_s *m);
/** MTX3_fixup on the linear part, in place; the translation is untouched.
 * Like MTX3_fixup it returns 1 on success and 0 when the X or Y row is null
 * or they are parallel. */
QUORM_API int MTX4_fixup(MTX4_s *m);

/** Scaling by factors about point. */
QUORM_API void MTX4_scaling(const quorm_point3 *point, const quorm_vector3 *factors, MTX4_s *out);
/** Rotation by angle degrees about the axis through point; 1 for a null axis
 * (squared length 1e-20 or less). */
QUORM_API int MTX4_rotation(const quorm_point3 *point, const quorm_vector3 *axis, double angle, MTX4_s *out);
/** Reflection in the plane through point with the given normal; 1 for a
 * null normal (squared length 1e-20 or less). */
QUORM_API int MTX4_mirror(const quorm_point3 *point, const quorm_vector3 *normal, MTX4_s *out);
/** Carries geometry expressed about the system (origin1, x1, y1) onto the
 * system (origin2, x2, y2).  1 when an axis is null or a system's axes are
 * not perpendicular. */
QUORM_API int MTX4_csys_to_csys(const quorm_point3 *origin1, const quorm_vector3 *x1, const quorm_vector3 *y1,
                                const quorm_point3 *origin2, const quorm_vector3 *x2, const quorm_vector3 *y2,
                                MTX4_s *out);

QUORM_END_DECLS

#endif
