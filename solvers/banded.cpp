// Banded linear systems: the band storage indexed by full column numbers,
// factored without pivoting and reporting through the error register, and
// the compact band LU with partial pivoting.
#include "foundation/quorm_internal.h"

#include <quorm/banded.h>
#include "solvers/banded_internal.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kErrorLevel = 4;
constexpr int kBadSize = 280;
constexpr int kEmptyBand = 950;
constexpr int kSmallPivot = 7235;

void push(const char *message, int number) { merrorpush(const_cast<char *>(message), number, kErrorLevel); }

inline int first_column(int i, int w) { return std::max(0, i - w); }
inline int last_column(int i, int n, int w) { return std::min(n - 1, i + w); }

// A pivot that cannot be divided by: below the threshold in magnitude, or
// not a number.
inline bool pivot_too_small(double p) { return !(std::fabs(p) >= QUORM_BANDED_MIN_PIVOT); }

} // namespace

namespace quorm {

void banded_solve_columns(double *const *matrix, int n, int w, double *b, int stride, int columns) {
    for (int j = 1; j < n; ++j) {
        const double *row = matrix[j];
        double *bj = b + static_cast<size_t>(j) * stride;
        for (int k = std::max(0, j - w); k < j; ++k) {
            const double f = row[k];
            const double *bk = b + static_cast<size_t>(k) * stride;
            for (int c = 0; c < columns; ++c) bj[c] -= f * bk[c];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        const double *row = matrix[i];
        double *bi = b + static_cast<size_t>(i) * stride;
        const int last = std::min(n - 1, i + w);
        for (int j = i + 1; j <= last; ++j) {
            const double f = row[j];
            const double *bj = b + static_cast<size_t>(j) * stride;
            for (int c = 0; c < columns; ++c) bi[c] -= f * bj[c];
        }
        const double d = row[i];
        for (int c = 0; c < columns; ++c) bi[c] /= d;
    }
}

} // namespace quorm

extern "C" {

// ---- band storage indexed by full column numbers -------------------------------------

QUORM_API void msetup_banded(int n, int w, double ***matrix, double **vector) {
    *matrix = nullptr;
    *vector = nullptr;
    if (n <= 0 || w < 0) {
        push("msetup_banded: bad size", kBadSize);
        return;
    }
    long long count = 0;
    for (int i = 0; i < n; ++i) count += last_column(i, n, w) - first_column(i, w) + 1;
    if (count <= 0) {
        push("msetup_banded: empty band", kEmptyBand);
        return;
    }
    double *block = static_cast<double *>(SM_calloc(static_cast<size_t>(count), sizeof(double)));
    double **pointers = static_cast<double **>(SM_calloc(static_cast<size_t>(n) + 1, sizeof(double *)));
    pointers[0] = block;
    // Row i starts `offset` doubles into the block; its pointer is moved back
    // by its first column (never before the block: every earlier row holds
    // at least one element).
    long long offset = 0;
    for (int i = 0; i < n; ++i) {
        const int first = first_column(i, w);
        pointers[i + 1] = block + (offset - first);
        offset += last_column(i, n, w) - first + 1;
    }
    *matrix = pointers + 1;
    *vector = static_cast<double *>(SM_alloc(sizeof(double) * static_cast<size_t>(n)));
    if (merrorlevel() != 0) mdispose_banded(matrix, vector);
}

QUORM_API void mdecompose_banded(double **matrix, int n, int w) {
    if (w > 0) {
        for (int j = 1; j < n; ++j) {
            double *row_j = matrix[j];
            for (int k = first_column(j, w); k < j; ++k) {
                const double *row_k = matrix[k];
                if (pivot_too_small(row_k[k])) {
                    push("mdecompose_banded: small pivot", kSmallPivot);
                    return;
                }
                const double f = row_j[k] / row_k[k];
                row_j[k] = f;
                const int last = std::min(k + w, n - 1);
                for (int l = k + 1; l <= last; ++l) row_j[l] -= f * row_k[l];
            }
        }
    }
    // The pivots above were tested when they were used; the last one (and,
    // without sub-diagonals, every one) is tested here, so that a singular
    // band is reported instead of dividing by zero in msolve_banded.
    for (int k = w > 0 ? n - 1 : 0; k < n; ++k) {
        if (k >= 0 && pivot_too_small(matrix[k][k])) {
            push("mdecompose_banded: small pivot", kSmallPivot);
            return;
        }
    }
}

QUORM_API void msolve_banded(double **matrix, int n, int w, double *b) {
    for (int j = 1; j < n; ++j) {
        const double *row = matrix[j];
        double s = b[j];
        for (int k = first_column(j, w); k < j; ++k) s -= row[k] * b[k];
        b[j] = s;
    }
    for (int i = n - 1; i >= 0; --i) {
        const double *row = matrix[i];
        double s = b[i];
        const int last = last_column(i, n, w);
        for (int j = i + 1; j <= last; ++j) s -= row[j] * b[j];
        b[i] = s / row[i];
    }
}

#if QUORM_FULL_BUILD
QUORM_API void mconvert_banded(double **matrix, int n, int w, double **full) {
    for (int i = 0; i < n; ++i) {
        const int first = first_column(i, w), last = last_column(i, n, w);
        for (int j = 0; j < n; ++j) full[i][j] = (j >= first && j <= last) ? matrix[i][j] : 0.0;
    }
}
#endif

QUORM_API void mdump_banded(double **matrix, double *vector, int n, int w) {
    for (int i = 0; i < n; ++i) {
        if (matrix) {
            const int first = first_column(i, w), last = last_column(i, n, w);
            for (int j = 0; j < n; ++j) {
                if (j < first || j > last)
                    std::printf("     0      ");
                else
                    std::printf("%10.5f  ", matrix[i][j]);
            }
        }
        if (vector)
            std::printf("%10.5f\n", vector[i]);
        else
            std::printf("\n");
    }
}

QUORM_API void mdispose_banded(double ***matrix, double **vector) {
    if (*matrix) {
        double **pointers = *matrix - 1;
        if (pointers[0]) SM_free(pointers[0]);
        SM_free(pointers);
        *matrix = nullptr;
    }
    if (*vector) {
        SM_free(*vector);
        *vector = nullptr;
    }
}

// ---- compact band storage with partial pivoting --------------------------------------

#if QUORM_FULL_BUILD
QUORM_API void bandec(double **a, int n, int m1, int m2, double **lower, int *index, double *parity) {
    *parity = 1.0;
    if (n <= 0 || m1 < 0 || m2 < 0) return;
    const int mm = m1 + m2 + 1;
    // The first m1 rows have no columns before 0: move each row's elements
    // to its start and zero the places freed at its end.  Only rows that
    // exist are touched (m1 may exceed n).
    const int top = std::min(m1, n);
    for (int i = 0; i < top; ++i) {
        const int shift = m1 - i;
        for (int j = shift; j < mm; ++j) a[i][j - shift] = a[i][j];
        for (int j = mm - shift; j < mm; ++j) a[i][j] = 0.0;
    }
    // Position 0 of a row always holds the column being eliminated: each
    // elimination step moves the rows below the pivot one place left.
    for (int k = 0; k < n; ++k) {
        const int last = std::min(k + m1, n - 1);
        double pivot = a[k][0];
        int p = k;
        for (int j = k + 1; j <= last; ++j) {
            if (std::fabs(a[j][0]) > std::fabs(pivot)) {
                pivot = a[j][0];
                p = j;
            }
        }
        index[k] = p;
        if (pivot == 0.0) a[k][0] = QUORM_BANDED_ZERO_PIVOT;
        if (p != k) {
            *parity = -*parity;
            std::swap_ranges(a[k], a[k] + mm, a[p]);
        }
        for (int i = k + 1; i <= last; ++i) {
            const double f = a[i][0] / a[k][0];
            lower[k][i - k - 1] = f;
            for (int j = 1; j < mm; ++j) a[i][j - 1] = a[i][j] - f * a[k][j];
            a[i][mm - 1] = 0.0;
        }
    }
}

QUORM_API void banbks(double *const *a, int n, int m1, int m2, double *const *lower, const int *index, double *b) {
    if (n <= 0 || m1 < 0 || m2 < 0) return;
    const int mm = m1 + m2 + 1;
    for (int k = 0; k < n; ++k) {
        const int p = index[k];
        if (p != k) std::swap(b[k], b[p]);
        const int last = std::min(k + m1, n - 1);
        for (int j = k + 1; j <= last; ++j) b[j] -= lower[k][j - k - 1] * b[k];
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        const int width = std::min(mm - 1, n - 1 - i);
        for (int q = 1; q <= width; ++q) s -= a[i][q] * b[i + q];
        b[i] = s / a[i][0];
    }
}

QUORM_API int SOLVE_lu_banded_solver(double **a, double **B, int n, int k, int m1, int m2) {
    if (n < 0 || k < 0 || m1 < 0 || m2 < 0) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "banded solver: bad size n=%d k=%d m1=%d m2=%d",
                        n, k, m1, m2);
        return 1;
    }
    if (n == 0) return 0;
    const int mm = m1 + m2 + 1;
    // The scale the pivots are measured against.
    double big = 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < mm; ++j) big = std::max(big, std::fabs(a[i][j]));
    const size_t width = m1 > 0 ? static_cast<size_t>(m1) : 1;
    double *lower_data = static_cast<double *>(SM_calloc(static_cast<size_t>(n) * width, sizeof(double)));
    double **lower = static_cast<double **>(SM_alloc(sizeof(double *) * static_cast<size_t>(n)));
    for (int i = 0; i < n; ++i) lower[i] = lower_data + static_cast<size_t>(i) * width;
    int *index = static_cast<int *>(SM_alloc(sizeof(int) * static_cast<size_t>(n)));
    double *column = static_cast<double *>(SM_alloc(sizeof(double) * static_cast<size_t>(n)));
    double parity;
    bandec(a, n, m1, m2, lower, index, &parity);
    // A pivot that came out 0 (replaced) or at rounding level of the band's
    // size means a singular matrix: the solution would be garbage.
    int result = 0;
    const double threshold = n * DBL_EPSILON * big;
    for (int i = 0; i < n && result == 0; ++i) {
        const double p = a[i][0];
        if (p == QUORM_BANDED_ZERO_PIVOT || !(std::fabs(p) > threshold)) result = 1;
    }
    if (result == 0) {
        for (int c = 0; c < k; ++c) {
            for (int i = 0; i < n; ++i) column[i] = B[i][c];
            banbks(a, n, m1, m2, lower, index, column);
            for (int i = 0; i < n; ++i) B[i][c] = column[i];
        }
    }
    SM_free(column);
    SM_free(index);
    SM_free(lower);
    SM_free(lower_data);
    return result;
}
#endif

} // extern "C"
