/* 3-D frames and rotations (MTX3_). */
#ifndef QUORM_MTX3_H
#define QUORM_MTX3_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
