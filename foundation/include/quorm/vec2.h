/* 2-D vector algebra (VEC2_). */
#ifndef QUORM_VEC2_H
#define QUORM_VEC2_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
