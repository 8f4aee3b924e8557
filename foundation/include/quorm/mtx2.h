/* 2-D frames (MTX2_). */
#ifndef QUORM_MTX2_H
#define QUORM_MTX2_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
