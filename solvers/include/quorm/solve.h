/* Dense linear systems: closed-form, LU and Cholesky solvers and matrix utilities (SOLVE_, NR_). */
#ifndef QUORM_SOLVE_H
#define QUORM_SOLVE_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
