/* Coordinate systems (CSYS_, h964, h965). */
#ifndef QUORM_CSYS_H
#define QUORM_CSYS_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
