/** @file
 * Dense linear systems: closed-form, LU and Cholesky solvers and matrix utilities (SOLVE_, NR_).
 *
 * Matrices come in two storage forms, both row by row with zero-based indices:
 *   - a row-pointer matrix (double **): an array of row pointers, each to a
 *     row of doubles (NR_2d_ operations, SOLVE_lu_solver, ludcmp_a, lubksb_a);
 *   - a flat matrix (double *): rows*columns doubles, element (i, j) at
 *     i*columns + j (NR_matrix_2d_as_1d_ operations and the Cholesky routines).
 *
 * Results: 0 for success, 1 for a singular system.  Nothing here raises for
 * singular input.  Counts: a count of 0 is an empty matrix (nothing to do); a
 * negative count is a bad argument (QUORM_ERR_BAD_ARGUMENT) while the checking
 * level is above 0 and is treated as empty (or, for ludcmp_a and
 * SOLVE_lu_solver, as a failure: result 1) at level 0.
 */
#ifndef QUORM_SOLVE_H
#define QUORM_SOLVE_H

#include <quorm/records.h>

/** The value ludcmp_a puts in place of a pivot that came out exactly 0. */
#define QUORM_LU_ZERO_PIVOT 1e-20

QUORM_BEGIN_DECLS

#if QUORM_FULL_BUILD
/** Solves the 2x2 system a.x = b (a row by row).  Returns 1, leaving x
 * unwritten, only when the determinant is exactly 0; no tolerance is applied.
 * Each equation is scaled by a power of two before the determinant is formed,
 * so that determinants of tiny or huge systems neither underflow nor overflow;
 * for ordinary input the results are those of the plain formulas. */
QUORM_API int SOLVE_solve_2equations(const double a[4], const double b[2], double x[2]);
#endif

/** Solves the 3x3 system a.x = b (a row by row) by Cramer's rule, with the same
 * exact-zero test and the same power-of-two scaling of each equation. */
QUORM_API int SOLVE_solve_3equations(const double a[9], const double b[3], double x[3]);

/** Solves a.X = B in place for the m right-hand sides held in the columns of
 * b (n rows of at least m doubles): a (n x n) is overwritten by its LU
 * factors and each column of b by its solution.  Returns 1 when ludcmp_a
 * fails or a pivot came out exactly 0 (b untouched: the system is singular),
 * or when a solution is not finite; else 0.  m = 0 only
 * decomposes a.  An equation whose largest coefficient lies outside about
 * [1e-150, 1e150] is first scaled (row of a and of b) by a power of two, so
 * that equations of wildly different sizes solve; a then holds the factors of
 * the scaled system. */
QUORM_API int SOLVE_lu_solver(double **a, double **b, int n, int m);

/** LU decomposition in place of the n x n matrix a (Crout's method with
 * implicit partial pivoting: each row is weighed by 1 / its largest
 * |element|).  On return a holds L below the diagonal (unit diagonal
 * implied) and U on and above it, for the row-permuted matrix; index[j] is
 * the row exchanged with row j at step j and *parity is +1 or -1 for an even
 * or odd number of exchanges (the sign of the determinant's permutation).
 *
 * Returns 1 for a row of zeros (a is then partly processed) or for factors
 * that are not all finite (overflow, or non-finite input), else 0.  A pivot
 * that comes out exactly 0 is replaced by QUORM_LU_ZERO_PIVOT (1e-20) and the
 * decomposition goes on, so a singular matrix without a zero row still gives
 * 0.  Callers that must know whether the matrix was singular test the
 * diagonal of U: an element equal to QUORM_LU_ZERO_PIVOT marks a pivot that
 * was exactly 0; tiny elements relative to the row sizes mark near
 * singularity.  No allocation for n <= 16. */
QUORM_API int ludcmp_a(double **a, int n, int *index, double *parity);

/** Forward and back substitution with the factors and index of ludcmp_a; b
 * (n doubles) is overwritten by the solution of a.x = b. */
QUORM_API void lubksb_a(double *const *a, int n, const int *index, double *b);

/** Cholesky decomposition a = L.L^T of the flat n x n symmetric matrix a.
 * L is written below the diagonal of a, its diagonal into diagonal[n]; the
 * upper triangle of a keeps the input.  *status = 1 (and the decomposition
 * stops) when a diagonal term falls below 1e-10 or is not a number: the
 * matrix is not positive definite.  Otherwise *status = 0. */
QUORM_API void NR_cholesky_decomp(int n, double *a, double *diagonal, int *status);

/** Solves a.x = b with the factors of NR_cholesky_decomp; x may be b. */
QUORM_API void NR_cholesky_solver(const double *a, int n, const double *diagonal, const double *b, double *x);

/** Replaces L in a's lower triangle (diagonal included) by L^-1. */
QUORM_API void NR_cholesky_inverse(int n, const double *diagonal, double *a);

/** Row pointers (SM_alloc) over *data, which is allocated (rows*columns
 * doubles, SM_alloc) when it is null.  The caller frees both with SM_free. */
QUORM_API double **NR_2d_matrix_allo(int rows, int columns, double **data);

/** Copies the rows x columns elements of the flat matrix from into the
 * row-pointer matrix to. */
QUORM_API void NR_matrix_copy_1d_to_2d(const double *from, int rows, int columns, double **to);
/** Copies the rows x columns elements of the row-pointer matrix from into the
 * flat matrix to. */
QUORM_API void NR_matrix_copy_2d_to_1d(double *const *from, int rows, int columns, double *to);

/** Sets the row-pointer n x n matrix a to the identity. */
QUORM_API void NR_2d_matrix_identity(double **a, int n);
/** Sets every element of the row-pointer rows x columns matrix a to 0. */
QUORM_API void NR_2d_matrix_init_zero(double **a, int rows, int columns);
/** Sets the flat n x n matrix a to the identity. */
QUORM_API void NR_matrix_2d_as_1d_identity(double *a, int n);
/** Sets every element of the flat rows x columns matrix a to 0. */
QUORM_API void NR_matrix_2d_as_1d_init_zero(double *a, int rows, int columns);
/** @{ */
/** Zero the elements of the flat n x n matrix a strictly above (ut) or below
 * (lt) the diagonal. */
QUORM_API void NR_matrix_2d_as_1d_init_zero_ut(double *a, int n);
QUORM_API void NR_matrix_2d_as_1d_init_zero_lt(double *a, int n);
/** @} */

/** @{ */
/** out (r x c) = a (r x k) . b (k x c), in the row-pointer (NR_2d_) or the
 * flat form; out must not be a or b (asserted while checking). */
QUORM_API void NR_2d_matrix_product_of_2(double *const *a, double *const *b, int r, int k, int c, double **out);
QUORM_API void NR_matrix_2d_as_1d_product_of_2(const double *a, const double *b, int r, int k, int c, double *out);
/** @} */

/** @{ */
/** Transposes an n x n matrix (row-pointer or flat) in place. */
QUORM_API void NR_2d_matrix_nxn_transp(double **a, int n);
QUORM_API void NR_matrix_2d_as_1d_nxn_transp(double *a, int n);
/** @} */

QUORM_END_DECLS

#endif
