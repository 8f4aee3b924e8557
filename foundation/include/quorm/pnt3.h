/* Points: collinearity, closest point, cylindrical and spherical coordinates (PNT3_). */
#ifndef QUORM_PNT3_H
#define QUORM_PNT3_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
