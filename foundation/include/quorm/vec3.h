/* 3-D vector algebra (VEC3_). */
#ifndef QUORM_VEC3_H
#define QUORM_VEC3_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
