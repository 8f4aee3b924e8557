/* Homogeneous 4x4 transforms (MTX4_). */
#ifndef QUORM_MTX4_H
#define QUORM_MTX4_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
