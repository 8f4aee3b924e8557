/** @file
 * 2-D frames (MTX2_). */
#ifndef QUORM_MTX2_H
#define QUORM_MTX2_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** Frame whose rows are unit x and unit y.  Returns 1, or 0 (out unwritten)
 * when either is null (length 1e-10) or they are not perpendicular within a
 * cosine of 1e-10. */
QUORM_API int MTX2_init(const VEC2_s *x, const VEC2_s *y, MTX2_s *out);

QUORM_END_DECLS

#endif
