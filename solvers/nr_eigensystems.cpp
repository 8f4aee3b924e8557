// Eigen systems: cyclic Jacobi for symmetric matrices, the generalized
// symmetric problem by Cholesky reduction, and power iteration.
#include "foundation/quorm_internal.h"

#include <cmath>
#include <cstring>

namespace {

// Orders up to this work in stack buffers.
constexpr int kSmallOrder = 16;

// Work doubles: on the stack for small orders, else SM_alloc; freed on every
// way out.
class Work {
  public:
    explicit Work(size_t count)
        : p_(count <= sizeof(small_) / sizeof(double) ? small_ : static_cast<double *>(SM_alloc(sizeof(double) * count))) {}
    ~Work() {
        if (p_ != small_) SM_free(p_);
    }
    Work(const Work &) = delete;
    Work &operator=(const Work &) = delete;
    double *get() { return p_; }

  private:
    double small_[2 * kSmallOrder];
    double *p_;
};

// A row-pointer matrix (NR_2d_matrix_allo) whose blocks are freed on every
// way out; data given by the caller is not freed.
class RowMatrix {
  public:
    RowMatrix(int rows, int columns, double *data = nullptr) : data_(data), owns_(data == nullptr) {
        rows_ = NR_2d_matrix_allo(rows, columns, &data_);
    }
    ~RowMatrix() {
        SM_free(rows_);
        if (owns_) SM_free(data_);
    }
    RowMatrix(const RowMatrix &) = delete;
    RowMatrix &operator=(const RowMatrix &) = delete;
    double **rows() { return rows_; }
    double *data() { return data_; }

  private:
    double *data_;
    bool owns_;
    double **rows_ = nullptr;
};

bool count_ok(int count) {
    if (count >= 0) return true;
    if (quorm_checking()) ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "negative order: %d", count);
    return false;
}

// Sum of |a[p][q]| over the strict upper triangle.
double off_diagonal_sum(double *const *a, int n) {
    double s = 0.0;
    for (int p = 0; p < n - 1; ++p)
        for (int q = p + 1; q < n; ++q) s += std::fabs(a[p][q]);
    return s;
}

// (x, y) -> (x - s.(y + x.tau), y + s.(x - y.tau))
inline void rotate(double &x, double &y, double s, double tau) {
    const double g = x, h = y;
    x = g - s * (h + g * tau);
    y = h + s * (g - h * tau);
}

} // namespace

extern "C" {

QUORM_API void NR_ask_eigenvalues_jacobi(double **a, int n, int max_sweeps, double *values, double **vectors,
                                         int *rotations) {
    *rotations = 0;
    if (!count_ok(n) || n == 0) return;
    Work work(2 * static_cast<size_t>(n));
    double *b = work.get(), *z = b + n;
    for (int p = 0; p < n; ++p) {
        for (int q = 0; q < n; ++q) vectors[p][q] = 0.0;
        vectors[p][p] = 1.0;
        b[p] = values[p] = a[p][p];
        z[p] = 0.0;
    }
    for (int sweep = 1; sweep < max_sweeps; ++sweep) {
        const double sum = off_diagonal_sum(a, n);
        if (sum <= 1e-10) return;
        const double threshold = sweep < 4 ? 0.2 * sum / (static_cast<double>(n) * n) : 0.0;
        for (int p = 0; p < n - 1; ++p) {
            for (int q = p + 1; q < n; ++q) {
                const double apq = a[p][q];
                const double g = 100.0 * std::fabs(apq);
                const double vp = std::fabs(values[p]), vq = std::fabs(values[q]);
                if (sweep > 4 && (g + vp) - vp <= 1e-10 && (g + vq) - vq <= 1e-10) {
                    a[p][q] = 0.0;
                    continue;
                }
                if (std::fabs(apq) <= threshold) continue;
                const double h = values[q] - values[p];
                double t;
                // The small-angle form t = a/h only where it is accurate,
                // |a/h| <= 1/100; with h = 0 (equal diagonal values) or a
                // tiny h it would turn an exact 45-degree rotation into an
                // infinite or wildly wrong one.
                if ((std::fabs(h) + g) - std::fabs(h) <= 1e-10 && g <= std::fabs(h)) {
                    t = apq / h;
                } else {
                    const double theta = 0.5 * h / apq;
                    t = 1.0 / (std::fabs(theta) + std::sqrt(1.0 + theta * theta));
                    if (theta < 0.0) t = -t;
                }
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c, tau = s / (1.0 + c);
                const double shift = t * apq;
                z[p] -= shift;
                z[q] += shift;
                values[p] -= shift;
                values[q] += shift;
                a[p][q] = 0.0;
                for (int j = 0; j < p; ++j) rotate(a[j][p], a[j][q], s, tau);
                for (int j = p + 1; j < q; ++j) rotate(a[p][j], a[j][q], s, tau);
                for (int j = q + 1; j < n; ++j) rotate(a[p][j], a[q][j], s, tau);
                for (int j = 0; j < n; ++j) rotate(vectors[j][p], vectors[j][q], s, tau);
                ++*rotations;
            }
        }
        for (int p = 0; p < n; ++p) {
            b[p] += z[p];
            values[p] = b[p];
            z[p] = 0.0;
        }
    }
    // Out of sweeps: a matrix that is diagonal by now has converged all the
    // same (this also covers max_sweeps <= 1, where no sweep runs).
    if (off_diagonal_sum(a, n) <= 1e-10) return;
    ERROR_internal(__FILE__, __LINE__, "Too many iterations in routine NR_ask_eigenvalues_jacobi.");
}

QUORM_API void NR_generalized_eigenvalues_symm(const double *a, double *b, int n, int max_sweeps, double *values,
                                               double *vectors, int *rotations, int *status) {
    *status = 0;
    *rotations = 0;
    if (!count_ok(n) || n == 0) return;

    // b = L.L^T, the diagonal of L in values for now.
    NR_cholesky_decomp(n, b, values, status);
    if (*status == 1) return;

    // L^T, kept for the back transformation; b's lower triangle becomes L^-1.
    RowMatrix lt(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) lt.rows()[j][i] = j < i ? b[static_cast<size_t>(i) * n + j] : (j == i ? values[i] : 0.0);
    NR_cholesky_inverse(n, values, b);
    NR_matrix_2d_as_1d_init_zero_ut(b, n);

    // C = L^-1 . a . L^-T: the first product goes into vectors, b becomes L^-T.
    RowMatrix c(n, n);
    NR_matrix_2d_as_1d_product_of_2(b, a, n, n, n, vectors);
    NR_matrix_2d_as_1d_nxn_transp(b, n);
    NR_matrix_2d_as_1d_product_of_2(vectors, b, n, n, n, c.data());

    // C.y = lambda.y, then x = L^-T.y from L^T.x = y.
    RowMatrix y(n, n, vectors);
    NR_ask_eigenvalues_jacobi(c.rows(), n, max_sweeps, values, y.rows(), rotations);
    if (SOLVE_lu_solver(lt.rows(), y.rows(), n, n) != 0)
        ERROR_internal(__FILE__, __LINE__, "The third call of SOLVE_lu_solver failed.");
}

QUORM_API void NR_ask_max_eigen_val_vec(int n, double *const *a, int max_iterations, const double *start,
                                        double *value, double *vector, int *status) {
    *status = 1;
    *value = 0.0;
    if (!count_ok(n) || n == 0) return;
    std::memmove(vector, start, sizeof(double) * n);
    if (max_iterations < 1) return;

    Work work(2 * static_cast<size_t>(n));
    double *y = work.get(), *prev = y + n;
    double *x = vector;
    for (int it = 1; it <= max_iterations; ++it) {
        std::memcpy(prev, x, sizeof(double) * n);
        for (int i = 0; i < n; ++i) {
            double s = 0.0;
            for (int j = 0; j < n; ++j) s += a[i][j] * prev[j];
            y[i] = s;
        }
        double g = y[0];
        for (int i = 1; i < n; ++i)
            if (std::fabs(y[i]) > std::fabs(g)) g = y[i];
        if (g == 0.0 || !std::isfinite(g)) {
            // a.x = 0: x is an eigenvector of eigenvalue 0 (scaled to a
            // largest component of 1 when it is not null).  A non-finite
            // product ends the iteration without convergence.
            if (g == 0.0) {
                double big = x[0];
                for (int i = 1; i < n; ++i)
                    if (std::fabs(x[i]) > std::fabs(big)) big = x[i];
                if (big != 0.0) {
                    for (int i = 0; i < n; ++i) x[i] /= big;
                    *status = 0;
                }
            }
            return;
        }
        double diff = 0.0, size = 0.0;
        for (int i = 0; i < n; ++i) {
            x[i] = y[i] / g;
            diff += (x[i] - prev[i]) * (x[i] - prev[i]);
            size += prev[i] * prev[i];
        }
        *value = g;
        if (it > 1 && diff <= 1e-10 * size) {
            *status = 0;
            return;
        }
    }
}

} // extern "C"
