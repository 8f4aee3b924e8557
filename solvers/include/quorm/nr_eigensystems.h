/** @file
 * Eigen systems (NR_): eigenvalues and eigenvectors of real symmetric
 * matrices by cyclic Jacobi rotations, the generalized symmetric problem
 * A.x = lambda.B.x by Cholesky reduction, and the dominant eigenpair of a
 * general matrix by power iteration.
 *
 * Storage forms as in solve.h: row-pointer (double **) or flat (double *,
 * row by row), zero-based.  Eigenvalues come unsorted; eigenvector k is
 * column k of the vector matrix.  Work arrays are freed before returning.
 */
#ifndef QUORM_NR_EIGENSYSTEMS_H
#define QUORM_NR_EIGENSYSTEMS_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** Eigenvalues and unit eigenvectors of the symmetric n x n matrix a (only its
 * upper triangle is read; the strict upper triangle is destroyed).  At most
 * max_sweeps - 1 sweeps of rotations run; the iteration stops when the sum of
 * |a[p][q]| over the strict upper triangle is at most 1e-10.  When the sweeps
 * run out first, ERROR_internal reports "Too many iterations in routine
 * NR_ask_eigenvalues_jacobi." (the values and vectors then hold the last
 * approximation).  *rotations counts the rotations applied. */
QUORM_API void NR_ask_eigenvalues_jacobi(double **a, int n, int max_sweeps, double *values, double **vectors,
                                         int *rotations);

/** The generalized problem a.x = lambda.b.x for the flat symmetric n x n
 * matrices a and b, b positive definite.  *status = 1 (nothing else written)
 * when b is not positive definite, else 0 with the n eigenvalues in values
 * and the eigenvectors in the columns of the flat matrix vectors.  b is
 * overwritten; a is left unchanged. */
QUORM_API void NR_generalized_eigenvalues_symm(const double *a, double *b, int n, int max_sweeps, double *values,
                                               double *vectors, int *rotations, int *status);

/** Dominant eigenvalue and eigenvector of the row-pointer n x n matrix a by
 * power iteration from start (at most max_iterations products).  The vector
 * is scaled so that its component of largest magnitude is 1.  *status = 0
 * when the iterates settled (|x - x_prev|^2 <= 1e-10.|x_prev|^2, or a.x = 0:
 * eigenvalue 0), else 1 with the last iterate.  With max_iterations < 1,
 * *value = 0, vector = start and *status = 1. */
QUORM_API void NR_ask_max_eigen_val_vec(int n, double *const *a, int max_iterations, const double *start,
                                        double *value, double *vector, int *status);

QUORM_END_DECLS

#endif
