/** @file
 * Axis-aligned boxes (reduced build only). */
#ifndef QUORM_BOX3_H
#define QUORM_BOX3_H

#include <quorm/records.h>

#if QUORM_REDUCED_BUILD
QUORM_BEGIN_DECLS

/** Corner k (0-7): x from x_max when bit 1 of k is set, y from y_max when
 * bit 2 is set, z from z_max when bit 0 is set, else the minimum.  Any other
 * k gives (0, 0, 0). */
QUORM_API void BOX3_get_corner_pt3(const BOX3_s *box, int k, quorm_point3 *point);

/** Widens b so that on each axis it also holds both bounds of a (a need not
 * be ordered). */
QUORM_API void BOX3_expand_with_box(const BOX3_s *a, BOX3_s *b);

QUORM_END_DECLS
#endif

#endif
