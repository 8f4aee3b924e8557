/* Vector algebra over bare arrays of three doubles (MC_). */
#ifndef QUORM_MC_MATH_H
#define QUORM_MC_MATH_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
