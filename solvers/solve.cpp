// Dense linear systems: closed-form 2x2 and 3x3 solvers, LU decomposition
// with implicit partial pivoting, Cholesky decomposition and the matrix
// utilities the fitting and eigen code build on.
#include "foundation/quorm_internal.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Largest n for which ludcmp_a works in stack buffers.
constexpr int kSmallOrder = 16;

// Equations whose largest |coefficient| has a binary exponent beyond this
// are scaled before the LU solve.
constexpr int kExtremeExponent = 500;

// Sum of x[k]*y[k] for k < n.  Short sums (the small orders, where the sum
// is on the critical path) are added in order from the first product; longer
// ones in four interleaved partial sums.  Everything is written out rather
// than looped over at the ends: the compiler would vectorise such loops into
// shuffles that make the short sums several times slower.
inline double dot(const double *x, const double *y, int n) {
    if (n < 4) {
        if (n <= 0) return 0.0;
        double s = x[0] * y[0];
        if (n > 1) s += x[1] * y[1];
        if (n > 2) s += x[2] * y[2];
        return s;
    }
    double s0 = x[0] * y[0], s1 = x[1] * y[1], s2 = x[2] * y[2], s3 = x[3] * y[3];
    int k = 4;
    for (; k + 4 <= n; k += 4) {
        s0 += x[k] * y[k];
        s1 += x[k + 1] * y[k + 1];
        s2 += x[k + 2] * y[k + 2];
        s3 += x[k + 3] * y[k + 3];
    }
    if (k < n) {
        s0 += x[k] * y[k];
        if (k + 1 < n) {
            s0 += x[k + 1] * y[k + 1];
            if (k + 2 < n) s0 += x[k + 2] * y[k + 2];
        }
    }
    return (s0 + s1) + (s2 + s3);
}

// y[k] += f * x[k] for k < n.
inline void add_multiple(double f, const double *x, double *y, int n) {
    int k = 0;
    for (; k + 4 <= n; k += 4) {
        y[k] += f * x[k];
        y[k + 1] += f * x[k + 1];
        y[k + 2] += f * x[k + 2];
        y[k + 3] += f * x[k + 3];
    }
    for (; k < n; ++k) y[k] += f * x[k];
}

// Checks a count argument.  A negative count is a bad argument while
// checking is on; at level 0 the caller gets false and treats it as empty.
bool count_ok(int count, const char *what) {
    if (count >= 0) return true;
    if (quorm_checking()) ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "negative %s: %d", what, count);
    return false;
}

// Scales each of the n equations (row of a and element of b) of an n x n
// system, n <= 3, into as and bs by the power of two that brings the row's
// largest |element| near 1.  Scaling by a power of two is exact, so quotients
// of scaled terms equal the unscaled ones whenever the latter neither
// underflow nor overflow; subnormal rows scale like any other.  Zero or
// non-finite rows are left as they are.
void scale_equations(const double *a, const double *b, int n, double *as, double *bs) {
    for (int i = 0; i < n; ++i) {
        const int e = quorm::row_exponent(a + i * n, n);
        for (int k = 0; k < n; ++k) as[i * n + k] = quorm::times_pow2(a[i * n + k], e);
        bs[i] = quorm::times_pow2(b[i], e);
    }
}

inline double det2(double a, double b, double c, double d) { return a * d - b * c; }

// Determinant of a 3x3 matrix given by its three columns, expanded along the
// first column with the 2x2 minors of rows 1 and 2.
inline double det3_columns(const double *c0, const double *c1, const double *c2) {
    return c0[0] * det2(c1[1], c2[1], c1[2], c2[2]) - c0[1] * det2(c1[0], c2[0], c1[2], c2[2]) +
           c0[2] * det2(c1[0], c2[0], c1[1], c2[1]);
}

// Crout's decomposition with implicit partial pivoting of the n x n matrix
// held in the rows r[0..n-1].  N > 0 fixes the order at compile time so that
// the small cases unroll completely; N == 0 takes the order from n.  scale and
// col are work arrays of n doubles.  The contents of exchanged rows move; the
// row pointers stay where they are.  A zero row gives 1 before anything is
// written; factors that are not all finite give 1 after the decomposition.
template <int N>
int crout(double **r, int n_runtime, int *index, double *parity, double *scale, double *col) {
    const int n = N > 0 ? N : n_runtime;
    // scale[i] = 1 / largest |element| of row i.
    for (int i = 0; i < n; ++i) {
        double big = 0.0;
        for (int j = 0; j < n; ++j) {
            double v = std::fabs(r[i][j]);
            if (v > big) big = v;
        }
        if (big == 0.0) return 1;
        scale[i] = 1.0 / big;
    }

    double nonfinite = 0.0;
    // For a fixed order the column loop is unrolled as well, so that every
    // index is a constant: the 4x4 case runs about twice as fast.
#pragma GCC unroll 16
    for (int j = 0; j < n; ++j) {
        // col holds the column being reduced, so that every inner product
        // runs over contiguous memory.
        for (int i = 0; i < n; ++i) col[i] = r[i][j];
        // Upper part: u[i][j] = a[i][j] - sum_{k<i} l[i][k] u[k][j].
        for (int i = 0; i < j; ++i) col[i] -= dot(r[i], col, i);
        // Diagonal and below, before division by the pivot; the pivot is
        // the row with the largest weighed value, the last of equals.
        // imax starts at j so that NaNs, which win no comparison, keep the
        // row order.
        double big = 0.0;
        int imax = j;
        for (int i = j; i < n; ++i) {
            col[i] -= dot(r[i], col, j);
            double weighed = scale[i] * std::fabs(col[i]);
            if (weighed >= big) {
                big = weighed;
                imax = i;
            }
        }
        for (int i = 0; i < n; ++i) r[i][j] = col[i];
        // The exchange is written as a test of every later row, so that with
        // a fixed order no row is addressed by a computed index.
        for (int i = j + 1; i < n; ++i) {
            if (i == imax) {
                for (int k = 0; k < n; ++k) {
                    double t = r[i][k];
                    r[i][k] = r[j][k];
                    r[j][k] = t;
                }
                *parity = -*parity;
                scale[i] = scale[j];
            }
        }
        index[j] = imax;
        if (r[j][j] == 0.0) r[j][j] = QUORM_LU_ZERO_PIVOT;
        // Each element is divided by the pivot (one rounding, and the
        // divisions of a column run side by side).
        const double pivot = r[j][j];
        for (int i = j + 1; i < n; ++i) r[i][j] /= pivot;
        // x * 0 is 0 for every finite x and NaN otherwise: the sum stays 0
        // while the column's factors are all finite.
        for (int i = 0; i < n; ++i) nonfinite += r[i][j] * 0.0;
    }
    // Factors that overflowed (or non-finite input) would only hand NaNs on
    // to the substitution: such a decomposition has failed.
    return nonfinite == 0.0 ? 0 : 1;
}

} // namespace

extern "C" {

// ---- closed-form solvers ----------------------------------------------------

#if QUORM_FULL_BUILD
QUORM_API int SOLVE_solve_2equations(const double a[4], const double b[2], double x[2]) {
    double as[4], bs[2];
    scale_equations(a, b, 2, as, bs);
    double det = det2(as[0], as[1], as[2], as[3]);
    if (det == 0.0) return 1;
    x[0] = (as[3] * bs[0] - as[1] * bs[1]) / det;
    x[1] = (as[0] * bs[1] - as[2] * bs[0]) / det;
    return 0;
}
#endif

QUORM_API int SOLVE_solve_3equations(const double a[9], const double b[3], double x[3]) {
    double as[9], bs[3];
    scale_equations(a, b, 3, as, bs);
    // Columns of the scaled matrix.
    double col[3][3];
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) col[j][i] = as[i * 3 + j];
    double det = det3_columns(col[0], col[1], col[2]);
    if (det == 0.0) return 1;
    double x0 = det3_columns(bs, col[1], col[2]) / det;
    double x1 = det3_columns(col[0], bs, col[2]) / det;
    double x2 = det3_columns(col[0], col[1], bs) / det;
    x[0] = x0;
    x[1] = x1;
    x[2] = x2;
    return 0;
}

// ---- LU decomposition ------------------------------------------------------

QUORM_API int ludcmp_a(double **a, int n, int *index, double *parity) {
    if (!count_ok(n, "order")) return 1;
    *parity = 1.0;
    if (n == 0) return 0;
    // The 4x4 case (the inverse of a transform) runs fully unrolled; it
    // computes exactly what the general loop computes.
    if (n == 4) {
        double scale[4], col[4];
        return crout<4>(a, 4, index, parity, scale, col);
    }
    double small[2 * kSmallOrder];
    double *work = n <= kSmallOrder ? small : static_cast<double *>(SM_alloc(2 * sizeof(double) * n));
    int result = crout<0>(a, n, index, parity, work, work + n);
    if (work != small) SM_free(work);
    return result;
}

QUORM_API void lubksb_a(double *const *a, int n, const int *index, double *b) {
    if (!count_ok(n, "order")) return;
    // first: the first non-zero of the permuted b; the L sums start there.
    int first = -1;
    for (int i = 0; i < n; ++i) {
        int ip = index[i];
        if (ip < 0 || ip >= n) {
            if (quorm_checking())
                ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "pivot index %d out of range", ip);
            ip = i;
        }
        double sum = b[ip];
        b[ip] = b[i];
        if (first >= 0)
            sum -= dot(a[i] + first, b + first, i - first);
        else if (sum != 0.0)
            first = i;
        b[i] = sum;
    }
    for (int i = n - 1; i >= 0; --i) b[i] = (b[i] - dot(a[i] + i + 1, b + i + 1, n - i - 1)) / a[i][i];
}

QUORM_API int SOLVE_lu_solver(double **a, double **b, int n, int m) {
    if (!count_ok(n, "order") || !count_ok(m, "number of right-hand sides")) return 1;
    // Equations whose largest coefficient lies far outside the unit range
    // (1e-300 beside 1e10, say) would give multipliers that overflow even
    // when the row-scaled system is well conditioned: such equations are
    // first scaled by a power of two, which is exact and leaves every other
    // equation, and the pivots, as they are.
    for (int i = 0; i < n; ++i) {
        const int e = quorm::row_exponent(a[i], n);
        if (e >= -kExtremeExponent && e <= kExtremeExponent) continue;
        for (int k = 0; k < n; ++k) a[i][k] = quorm::times_pow2(a[i][k], e);
        for (int c = 0; c < m; ++c) b[i][c] = quorm::times_pow2(b[i][c], e);
    }
    int *index = static_cast<int *>(SM_alloc(sizeof(int) * (n > 0 ? n : 1)));
    double *column = static_cast<double *>(SM_alloc(sizeof(double) * (n > 0 ? n : 1)));
    double parity;
    int result = ludcmp_a(a, n, index, &parity);
    // A pivot that came out exactly 0 was replaced to let the decomposition
    // finish; the system is singular and has no solution to hand back.
    for (int i = 0; i < n && result == 0; ++i)
        if (a[i][i] == QUORM_LU_ZERO_PIVOT) result = 1;
    if (result == 0) {
        double nonfinite = 0.0;
        for (int c = 0; c < m; ++c) {
            for (int i = 0; i < n; ++i) column[i] = b[i][c];
            lubksb_a(a, n, index, column);
            for (int i = 0; i < n; ++i) {
                b[i][c] = column[i];
                nonfinite += column[i] * 0.0;
            }
        }
        // A solution that overflowed is no solution.
        if (nonfinite != 0.0) result = 1;
    }
    SM_free(column);
    SM_free(index);
    return result;
}

// ---- Cholesky ------------------------------------------------------------------

QUORM_API void NR_cholesky_decomp(int n, double *a, double *diagonal, int *status) {
    *status = 0;
    if (!count_ok(n, "order")) return;
    for (int i = 0; i < n; ++i) {
        const double *row_i = a + static_cast<size_t>(i) * n;
        for (int j = i; j < n; ++j) {
            double *row_j = a + static_cast<size_t>(j) * n;
            double s = a[static_cast<size_t>(i) * n + j] - dot(row_i, row_j, i);
            if (j == i) {
                // A NaN fails as well: its factors would be meaningless.
                if (!(s >= 1e-10)) {
                    *status = 1;
                    return;
                }
                diagonal[i] = std::sqrt(s);
            } else {
                row_j[i] = s / diagonal[i];
            }
        }
    }
}

QUORM_API void NR_cholesky_solver(const double *a, int n, const double *diagonal, const double *b, double *x) {
    if (!count_ok(n, "order")) return;
    // L.y = b, rising.
    for (int i = 0; i < n; ++i) x[i] = (b[i] - dot(a + static_cast<size_t>(i) * n, x, i)) / diagonal[i];
    // L^T.x = y, falling: once x[i] is known, its terms are taken off the
    // earlier unknowns along row i of L.
    for (int i = n - 1; i >= 0; --i) {
        x[i] /= diagonal[i];
        add_multiple(-x[i], a + static_cast<size_t>(i) * n, x, i);
    }
}

QUORM_API void NR_cholesky_inverse(int n, const double *diagonal, double *a) {
    if (!count_ok(n, "order")) return;
    const size_t w = static_cast<size_t>(n);
    for (int i = 0; i < n; ++i) {
        a[i * w + i] = 1.0 / diagonal[i];
        for (int j = i + 1; j < n; ++j) {
            double sum = 0.0;
            for (int k = i; k < j; ++k) sum += a[j * w + k] * a[k * w + i];
            a[j * w + i] = -sum / diagonal[j];
        }
    }
}

// ---- matrix utilities ----------------------------------------------------------

QUORM_API double **NR_2d_matrix_allo(int rows, int columns, double **data) {
    if (!count_ok(rows, "number of rows")) rows = 0;
    if (!count_ok(columns, "number of columns")) columns = 0;
    const size_t w = static_cast<size_t>(columns);
    // A size beyond the address space is as unobtainable as any other.
    if (w != 0 && static_cast<size_t>(rows) > SIZE_MAX / sizeof(double) / w)
        ERROR_raise(__FILE__, __LINE__, CORVEX_CODE_NO_MEMORY, "out of memory allocating %d x %d doubles", rows,
                    columns);
    if (*data == nullptr) *data = static_cast<double *>(SM_alloc(sizeof(double) * w * rows));
    double **a = static_cast<double **>(SM_alloc(sizeof(double *) * rows));
    for (int i = 0; i < rows; ++i) a[i] = *data + i * w;
    return a;
}

QUORM_API void NR_matrix_copy_1d_to_2d(const double *from, int rows, int columns, double **to) {
    // No columns, nothing to copy (the row pointers may then be null).
    if (!count_ok(rows, "number of rows") || !count_ok(columns, "number of columns") || columns == 0) return;
    for (int i = 0; i < rows; ++i) std::memmove(to[i], from + static_cast<size_t>(i) * columns, sizeof(double) * columns);
}

QUORM_API void NR_matrix_copy_2d_to_1d(double *const *from, int rows, int columns, double *to) {
    if (!count_ok(rows, "number of rows") || !count_ok(columns, "number of columns") || columns == 0) return;
    for (int i = 0; i < rows; ++i) std::memmove(to + static_cast<size_t>(i) * columns, from[i], sizeof(double) * columns);
}

QUORM_API void NR_2d_matrix_init_zero(double **a, int rows, int columns) {
    if (!count_ok(rows, "number of rows") || !count_ok(columns, "number of columns")) return;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) a[i][j] = 0.0;
}

QUORM_API void NR_2d_matrix_identity(double **a, int n) {
    if (!count_ok(n, "order")) return;
    NR_2d_matrix_init_zero(a, n, n);
    for (int i = 0; i < n; ++i) a[i][i] = 1.0;
}

QUORM_API void NR_matrix_2d_as_1d_init_zero(double *a, int rows, int columns) {
    if (!count_ok(rows, "number of rows") || !count_ok(columns, "number of columns")) return;
    const size_t count = static_cast<size_t>(rows) * columns;
    for (size_t i = 0; i < count; ++i) a[i] = 0.0;
}

QUORM_API void NR_matrix_2d_as_1d_identity(double *a, int n) {
    if (!count_ok(n, "order")) return;
    NR_matrix_2d_as_1d_init_zero(a, n, n);
    for (int i = 0; i < n; ++i) a[static_cast<size_t>(i) * n + i] = 1.0;
}

QUORM_API void NR_matrix_2d_as_1d_init_zero_ut(double *a, int n) {
    if (!count_ok(n, "order")) return;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) a[static_cast<size_t>(i) * n + j] = 0.0;
}

QUORM_API void NR_matrix_2d_as_1d_init_zero_lt(double *a, int n) {
    if (!count_ok(n, "order")) return;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < i; ++j) a[static_cast<size_t>(i) * n + j] = 0.0;
}

QUORM_API void NR_2d_matrix_product_of_2(double *const *a, double *const *b, int r, int k, int c, double **out) {
    if (!count_ok(r, "number of rows") || !count_ok(k, "inner dimension") || !count_ok(c, "number of columns"))
        return;
    QUORM_ASSERT(out != a && out != b);
    // Row i of out accumulates a[i][l] times row l of b, l rising: each
    // element sums its products in the order of the plain inner product.
    for (int i = 0; i < r; ++i) {
        double *o = out[i];
        for (int j = 0; j < c; ++j) o[j] = 0.0;
        for (int l = 0; l < k; ++l) add_multiple(a[i][l], b[l], o, c);
    }
}

QUORM_API void NR_matrix_2d_as_1d_product_of_2(const double *a, const double *b, int r, int k, int c, double *out) {
    if (!count_ok(r, "number of rows") || !count_ok(k, "inner dimension") || !count_ok(c, "number of columns"))
        return;
    QUORM_ASSERT(out != a && out != b);
    for (int i = 0; i < r; ++i) {
        double *o = out + static_cast<size_t>(i) * c;
        for (int j = 0; j < c; ++j) o[j] = 0.0;
        for (int l = 0; l < k; ++l) add_multiple(a[static_cast<size_t>(i) * k + l], b + static_cast<size_t>(l) * c, o, c);
    }
}

QUORM_API void NR_2d_matrix_nxn_transp(double **a, int n) {
    if (!count_ok(n, "order")) return;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            double t = a[i][j];
            a[i][j] = a[j][i];
            a[j][i] = t;
        }
}

QUORM_API void NR_matrix_2d_as_1d_nxn_transp(double *a, int n) {
    if (!count_ok(n, "order")) return;
    const size_t w = static_cast<size_t>(n);
    for (size_t i = 0; i < w; ++i)
        for (size_t j = i + 1; j < w; ++j) {
            double t = a[i * w + j];
            a[i * w + j] = a[j * w + i];
            a[j * w + i] = t;
        }
}

} // extern "C"
