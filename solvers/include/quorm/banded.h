/** @file
 * Banded linear systems: two independent solvers.
 *
 * First family (msetup_banded ... mdispose_banded): a band of half-width w
 * (w sub- and w super-diagonals) of an n x n matrix, factored in place
 * without pivoting.  The storage is one zeroed block holding, row after row,
 * the elements of row i for the columns max(0, i - w) .. min(n - 1, i + w),
 * and an array of n + 1 pointers: entry 0 holds the block, the handle is the
 * address of entry 1, and handle[i] is row i offset back by its first
 * column, so that handle[i][j] is the element in column j for every j inside
 * the band (no element outside the band exists).  A right-hand-side vector
 * of n doubles (not zeroed) comes with the matrix.  Failures go to the error
 * register (merror.h) with level 4 and are never raised:
 *   280  bad size (n <= 0 or w < 0)           (msetup_banded)
 *   950  a band with no element                (msetup_banded)
 *   7235 a pivot smaller than 1e-15 in magnitude (mdecompose_banded)
 * Callers test merrorlevel after each step, and on an error call
 * merrorflush and mdispose_banded.
 *
 * Second family (full build only: bandec, banbks, SOLVE_lu_banded_solver):
 * compact band storage with partial pivoting.  Row i of an
 * n x (m1 + m2 + 1) row-pointer matrix holds the columns i - m1 .. i + m2,
 * the diagonal in column m1; the lower factor goes to an n x m1 matrix and
 * the row exchanges to an index array.
 */
#ifndef QUORM_BANDED_H
#define QUORM_BANDED_H

#include <quorm/quorm_platform.h>

/** Pivots of the first family smaller than this in magnitude fail. */
#define QUORM_BANDED_MIN_PIVOT 1e-15
/** The value bandec puts in place of a zero pivot. */
#define QUORM_BANDED_ZERO_PIVOT 1e-20

QUORM_BEGIN_DECLS

/** Creates the band storage and the vector.  On failure (or when the error
 * register already holds an error at the end) both outputs are null. */
QUORM_API void msetup_banded(int n, int w, double ***matrix, double **vector);
/** LU factors in place, no pivoting; every pivot, the last included, is
 * tested (7235).  Nothing happens to the elements when w <= 0, but the
 * diagonal is still tested. */
QUORM_API void mdecompose_banded(double **matrix, int n, int w);
/** Solves with the factors; b (n doubles) is overwritten by the solution. */
QUORM_API void msolve_banded(double **matrix, int n, int w, double *b);
#if QUORM_FULL_BUILD
/** Copies the band into the full n x n row-pointer matrix, zeros elsewhere. */
QUORM_API void mconvert_banded(double **matrix, int n, int w, double **full);
#endif
/** Prints the matrix and the vector (either may be null) to standard output. */
QUORM_API void mdump_banded(double **matrix, double *vector, int n, int w);
/** Frees the block, the pointer array and the vector that are not null and
 * sets both handles to null. */
QUORM_API void mdispose_banded(double ***matrix, double **vector);

#if QUORM_FULL_BUILD
/** Compact band LU with partial pivoting (the first of equal candidates
 * wins); a zero pivot is replaced by QUORM_BANDED_ZERO_PIVOT.  a is
 * overwritten by the upper factor, lower (n x m1) by the multipliers, index
 * (n ints) by the row exchanges; *parity is +1 or -1. */
QUORM_API void bandec(double **a, int n, int m1, int m2, double **lower, int *index, double *parity);
/** Solves with the factors of bandec; b (n doubles) is overwritten. */
QUORM_API void banbks(double *const *a, int n, int m1, int m2, double *const *lower, const int *index, double *b);
/** Factors a (compact storage) and solves for the k columns of B (n x k
 * row-pointer), B overwritten.  Returns 0, or 1 (B untouched) when the
 * matrix is singular: a pivot that came out 0 or below n * DBL_EPSILON times
 * the largest |element| of the band.  Negative counts are bad arguments
 * while checking (QUORM_ERR_BAD_ARGUMENT) and give 1 at level 0. */
QUORM_API int SOLVE_lu_banded_solver(double **a, double **B, int n, int k, int m1, int m2);
#endif

QUORM_END_DECLS

#endif
