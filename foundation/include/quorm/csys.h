/** @file
 * Coordinate systems (CSYS_, h964, h965).
 *
 * Scaled transformations.  h964 and h965 take a transformation as an array
 * of 13 doubles:
 *  - [0..8]   a 3x3 matrix A, row by row, which carries the scale with it
 *             (A = s * rotation for a similarity);
 *  - [9..11]  the translation t;
 *  - [12]     the scale factor s.
 *
 * A point p maps to `A*p + t`.
 */
#ifndef QUORM_CSYS_H
#define QUORM_CSYS_H

#include <quorm/records.h>

/** Number of doubles of a scaled transformation. */
#define QUORM_SCALED_TRANSFORM_SIZE 13

QUORM_BEGIN_DECLS

/** c expressed in the reference system: out's origin is the reference's local
 * coordinates of c's origin, out's axes the local components of c's axes,
 * rebuilt as a frame (MTX3_init_x_y_z).  Should c's axes not form a frame,
 * out's axes are their local components as they stand.  out may be c or
 * reference. */
QUORM_API void CSYS_map_csys(const CSYS_s *c, const CSYS_s *reference, CSYS_s *out);

/** c turned so that its Z axis runs along z, with the origin kept.  When the
 * new Z is c's own Z, out is c; when it is c's Z reversed, out's axes are
 * c's X, -Y and -Z; otherwise c is turned about the axis perpendicular to
 * both Z directions, which becomes out's X axis, and out's axes are an
 * ortho-normal right-handed frame with Z = unit(z).  False, with out
 * unwritten, when z is null (squared length <= 1e-20) or not finite (a
 * component of magnitude 1e19 or more, or NaN), or when
 * c's axes are too degenerate to turn.  out may be c. */
QUORM_API bool CSYS_get_csys_given_z_dir(const CSYS_s *c, const quorm_vector3 *z, CSYS_s *out);

/** Carries the coordinate-system matrix csys through the scaled
 * transformation (QUORM_SCALED_TRANSFORM_SIZE doubles): out's axes are the
 * transformed X and Y axes made unit and perpendicular, and their cross
 * product, so the scale is discarded.  When the transformed axes give no
 * frame (a shear, or a scale so small that they are null) the transformed
 * matrix is repaired into the nearest frame it can find; a note and a dump
 * of the matrices are written while the checking level is above 0.  While
 * checking is on, a second computation cross-checks the first and an
 * internal error is reported when they disagree.
 * Returns 1 when out holds an ortho-normal frame; 0 (out unwritten) when
 * none could be made, as for a transformation that is not finite.  out may
 * be csys. */
QUORM_API int h964(const MTX3_s *csys, const double *transform, MTX3_s *out);

/** a becomes the composition "a, then b": its matrix A_b*A_a/s_b, its
 * translation t_b + A_b*t_a; a's scale factor is kept.  A scale factor of b
 * that is zero, or so small that its reciprocal is not finite, is a bad
 * argument (QUORM_ERR_BAD_ARGUMENT) while the checking level is above 0 and
 * leaves a unchanged otherwise.  a may be b. */
QUORM_API void h965(double *a, const double *b);

QUORM_END_DECLS

#endif
