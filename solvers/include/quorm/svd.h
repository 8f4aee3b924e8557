/** @file
 * Singular value decomposition (SOLVE_svd_).
 *
 * Row-pointer matrices (double **: an array of row pointers, row by row,
 * zero-based), as in solve.h.  The decomposition and the two solvers are not
 * re-entrant with respect to their notes; call them from one thread at a
 * time.
 */
#ifndef QUORM_SVD_H
#define QUORM_SVD_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** a (m x n) = U.diag(w).V^T by Householder bidiagonalisation and implicit-
 * shift QR sweeps.  a is overwritten by U (m x n, orthonormal columns where
 * w is non-zero), w gets the n singular values (non-negative, not sorted)
 * and v (n x n, the caller's) gets V.  A super-diagonal or diagonal element
 * of the bidiagonal form counts as zero when its magnitude is at most 1e-12:
 * the threshold is absolute, so matrices whose elements are all far below 1
 * lose accuracy.  A singular value that has not converged after 30 sweeps is
 * noted ("No convergence in 30 SVDCMP iterations") and the next one is
 * taken up.  m < n is noted ("SVDCMP: You must augment A with extra zero
 * rows") and then decomposed as if a had n - m further zero rows: U keeps
 * its m rows and at least n - m singular values are 0.  Negative counts are
 * a bad argument (QUORM_ERR_BAD_ARGUMENT) while checking is on and an empty
 * matrix at level 0. */
QUORM_API void SOLVE_svd_decompose(double **a, int m, int n, double *w, double **v);

/** Least-squares solution x (n doubles) of a.x = b (m doubles) through the
 * decomposition of a (overwritten by U): singular values w_j with
 * |w_j| <= 1e-8 . max w are dropped, which gives the minimum-norm solution
 * over the others.  *n is the column count going in and the number of
 * singular values kept (the effective rank) coming out. */
QUORM_API void SOLVE_svd_solver(double **a, int m, int *n, const double *b, double *x);

/** The same with the relative threshold given: threshold 0 keeps every
 * non-zero singular value. */
QUORM_API void SOLVE_svd_solver_r(double **a, int m, int *n, const double *b, double *x, double threshold);

QUORM_END_DECLS

#endif
