// Private helpers of the banded solvers shared with the spline kernel (not
// installed, not exported).
#ifndef QUORM_SOLVERS_BANDED_INTERNAL_H
#define QUORM_SOLVERS_BANDED_INTERNAL_H

namespace quorm {

// Solves with the factors of mdecompose_banded for `columns` right-hand sides
// stored side by side: element (i, c) at b[i * stride + c].  Each column gets
// exactly the operations msolve_banded would apply to it; the columns run
// together so that their dependency chains overlap.
void banded_solve_columns(double *const *matrix, int n, int w, double *b, int stride, int columns);

} // namespace quorm

#endif
