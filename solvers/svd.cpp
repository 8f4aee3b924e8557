// Singular value decomposition by the Golub-Reinsch method and the
// least-squares solver built on it.
#include "foundation/quorm_internal.h"

#include <quorm/svd.h>

#include <algorithm>
#include <cmath>

namespace {

// An element of the bidiagonal form at most this large counts as zero.
constexpr double kNegligible = 1e-12;
constexpr int kMaxSweeps = 30;

// sqrt(a^2 + b^2) scaled by the larger magnitude.
inline double hypotenuse(double a, double b) {
    const double x = std::fabs(a), y = std::fabs(b);
    if (x > y) return x * std::sqrt(1.0 + (y / x) * (y / x));
    if (y == 0.0) return 0.0;
    return y * std::sqrt(1.0 + (x / y) * (x / y));
}

// |a| with the sign of b.
inline double with_sign(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

bool counts_ok(int m, int n) {
    if (m >= 0 && n >= 0) return true;
    if (quorm_checking())
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "negative matrix size: %d x %d", m, n);
    return false;
}

// Blocks of one call, freed on every way out.
struct Blocks {
    double *w = nullptr;
    double **v = nullptr;
    int rows = 0;
    ~Blocks() {
        if (v) {
            for (int i = 0; i < rows; ++i) SM_free(v[i]);
            SM_free(v);
        }
        if (w) SM_free(w);
    }
};

// Householder reduction of a to upper bidiagonal form: w gets the diagonal,
// e the super-diagonal (e[0] = 0); the left reflectors stay in a's columns
// below the diagonal, the right ones in its rows right of the super-diagonal.
void bidiagonalise(double **a, int m, int n, double *w, double *e) {
    double g = 0.0, scale = 0.0;
    for (int i = 0; i < n; ++i) {
        const int l = i + 1;
        e[i] = scale * g;
        g = scale = 0.0;
        if (i < m) {
            for (int k = i; k < m; ++k) scale += std::fabs(a[k][i]);
            if (scale != 0.0) {
                double s = 0.0;
                for (int k = i; k < m; ++k) {
                    a[k][i] /= scale;
                    s += a[k][i] * a[k][i];
                }
                const double f = a[i][i];
                g = -with_sign(std::sqrt(s), f);
                const double h = f * g - s;
                a[i][i] = f - g;
                for (int j = l; j < n; ++j) {
                    double sum = 0.0;
                    for (int k = i; k < m; ++k) sum += a[k][i] * a[k][j];
                    const double factor = sum / h;
                    for (int k = i; k < m; ++k) a[k][j] += factor * a[k][i];
                }
                for (int k = i; k < m; ++k) a[k][i] *= scale;
            }
        }
        w[i] = scale * g;
        g = scale = 0.0;
        if (i < m && i != n - 1) {
            for (int k = l; k < n; ++k) scale += std::fabs(a[i][k]);
            if (scale != 0.0) {
                double s = 0.0;
                for (int k = l; k < n; ++k) {
                    a[i][k] /= scale;
                    s += a[i][k] * a[i][k];
                }
                const double f = a[i][l];
                g = -with_sign(std::sqrt(s), f);
                const double h = f * g - s;
                a[i][l] = f - g;
                for (int k = l; k < n; ++k) e[k] = a[i][k] / h;
                for (int j = l; j < m; ++j) {
                    double sum = 0.0;
                    for (int k = l; k < n; ++k) sum += a[j][k] * a[i][k];
                    for (int k = l; k < n; ++k) a[j][k] += sum * e[k];
                }
                for (int k = l; k < n; ++k) a[i][k] *= scale;
            }
        }
    }
}

// V from the right reflectors held in a's rows (e[i] still holds the
// scaled super-diagonal the reflector of row i - 1 produced).
void accumulate_right(double **a, int n, const double *e, double **v) {
    double g = 0.0;
    int l = n;
    for (int i = n - 1; i >= 0; --i) {
        if (i < n - 1) {
            if (g != 0.0) {
                // Two divisions instead of one product: a[i][l].g may underflow.
                for (int j = l; j < n; ++j) v[j][i] = (a[i][j] / a[i][l]) / g;
                for (int j = l; j < n; ++j) {
                    double s = 0.0;
                    for (int k = l; k < n; ++k) s += a[i][k] * v[k][j];
                    for (int k = l; k < n; ++k) v[k][j] += s * v[k][i];
                }
            }
            for (int j = l; j < n; ++j) v[i][j] = v[j][i] = 0.0;
        }
        v[i][i] = 1.0;
        g = e[i];
        l = i;
    }
}

// U in place of the left reflectors.
void accumulate_left(double **a, int m, int n, const double *w) {
    for (int i = std::min(m, n) - 1; i >= 0; --i) {
        const int l = i + 1;
        double g = w[i];
        for (int j = l; j < n; ++j) a[i][j] = 0.0;
        if (g != 0.0) {
            g = 1.0 / g;
            for (int j = l; j < n; ++j) {
                double s = 0.0;
                for (int k = l; k < m; ++k) s += a[k][i] * a[k][j];
                const double f = (s / a[i][i]) * g;
                for (int k = i; k < m; ++k) a[k][j] += f * a[k][i];
            }
            for (int j = i; j < m; ++j) a[j][i] *= g;
        } else {
            for (int j = i; j < m; ++j) a[j][i] = 0.0;
        }
        a[i][i] += 1.0;
    }
}

// Rotates columns p and q of the rows x rows-long matrix x by (c, s).
inline void rotate_columns(double **x, int rows, int p, int q, double c, double s) {
    for (int j = 0; j < rows; ++j) {
        const double y = x[j][p], z = x[j][q];
        x[j][p] = y * c + z * s;
        x[j][q] = z * c - y * s;
    }
}

// Implicit-shift QR sweeps on the bidiagonal form (w, e), from the last
// singular value to the first, with the rotations applied to U (a) and V.
void diagonalise(double **a, int m, int n, double *w, double *e, double **v) {
    for (int k = n - 1; k >= 0; --k) {
        for (int sweep = 1; sweep <= kMaxSweeps; ++sweep) {
            // Find the start l of the unreduced block ending at k; when a
            // diagonal element before it vanishes, its super-diagonal
            // neighbour is chased out first.
            bool cancel = true;
            int l = k;
            for (; l >= 0; --l) {
                // e[0] is 0; l = 0 ends the search even when rounding or bad
                // input made it something else.
                if (l == 0 || std::fabs(e[l]) <= kNegligible) {
                    cancel = false;
                    break;
                }
                if (std::fabs(w[l - 1]) <= kNegligible) break;
            }
            if (cancel) {
                const int nm = l - 1;
                double c = 0.0, s = 1.0;
                for (int i = l; i <= k; ++i) {
                    const double f = s * e[i];
                    e[i] = c * e[i];
                    if (std::fabs(f) <= kNegligible) break;
                    const double g = w[i];
                    double h = hypotenuse(f, g);
                    w[i] = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    rotate_columns(a, m, nm, i, c, s);
                }
            }
            double z = w[k];
            if (l == k) {
                if (z < 0.0) {
                    w[k] = -z;
                    for (int j = 0; j < n; ++j) v[j][k] = -v[j][k];
                }
                break;
            }
            if (sweep == kMaxSweeps) ERROR_note(__FILE__, __LINE__, "No convergence in 30 SVDCMP iterations");
            // Shift from the trailing 2 x 2 block.
            double x = w[l];
            const int nm = k - 1;
            double y = w[nm], g = e[nm], h = e[k];
            double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
            g = hypotenuse(f, 1.0);
            f = ((x - z) * (x + z) + h * ((y / (f + with_sign(g, f))) - h)) / x;
            // Chase the bulge down the block.
            double c = 1.0, s = 1.0;
            for (int j = l; j <= nm; ++j) {
                const int i = j + 1;
                g = e[i];
                y = w[i];
                h = s * g;
                g = c * g;
                z = hypotenuse(f, h);
                e[j] = z;
                c = f / z;
                s = h / z;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                rotate_columns(v, n, j, i, c, s);
                z = hypotenuse(f, h);
                w[j] = z;
                if (z != 0.0) {
                    z = 1.0 / z;
                    c = f * z;
                    s = h * z;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                rotate_columns(a, m, j, i, c, s);
            }
            e[l] = 0.0;
            e[k] = f;
            w[k] = x;
        }
    }
}

} // namespace

QUORM_API void SOLVE_svd_decompose(double **a, int m, int n, double *w, double **v) {
    if (!counts_ok(m, n) || n == 0) return;
    if (m < n) ERROR_note(__FILE__, __LINE__, "SVDCMP: You must augment A with extra zero rows");
    Blocks work;
    work.w = static_cast<double *>(SM_alloc(sizeof(double) * static_cast<size_t>(n)));
    double *e = work.w;
    bidiagonalise(a, m, n, w, e);
    accumulate_right(a, n, e, v);
    accumulate_left(a, m, n, w);
    diagonalise(a, m, n, w, e, v);
}

QUORM_API void SOLVE_svd_solver_r(double **a, int m, int *n, const double *b, double *x, double threshold) {
    const int cols = *n;
    if (!counts_ok(m, cols) || cols == 0) {
        *n = 0;
        return;
    }
    Blocks work;
    work.w = static_cast<double *>(SM_calloc(static_cast<size_t>(cols), sizeof(double)));
    work.v = static_cast<double **>(SM_calloc(static_cast<size_t>(cols), sizeof(double *)));
    for (int i = 0; i < cols; ++i) {
        work.v[i] = static_cast<double *>(SM_calloc(static_cast<size_t>(cols), sizeof(double)));
        work.rows = i + 1;
    }
    double *w = work.w;
    double **v = work.v;
    SOLVE_svd_decompose(a, m, cols, w, v);

    double w_max = 0.0;
    for (int j = 0; j < cols; ++j) w_max = std::max(w_max, w[j]);
    const double floor = threshold * w_max;
    int rank = cols;
    for (int j = 0; j < cols; ++j) {
        // A not-a-number singular value is dropped as well.
        if (!(std::fabs(w[j]) > floor)) {
            w[j] = 0.0;
            --rank;
        }
    }
    // t = diag(1/w).U^T.b over the kept values (kept in w's place), x = V.t.
    for (int j = 0; j < cols; ++j) {
        double t = 0.0;
        if (w[j] != 0.0) {
            for (int i = 0; i < m; ++i) t += a[i][j] * b[i];
            t /= w[j];
        }
        w[j] = t;
    }
    for (int i = 0; i < cols; ++i) {
        double s = 0.0;
        for (int j = 0; j < cols; ++j) s += v[i][j] * w[j];
        x[i] = s;
    }
    *n = rank;
}

QUORM_API void SOLVE_svd_solver(double **a, int m, int *n, const double *b, double *x) {
    SOLVE_svd_solver_r(a, m, n, b, x, 1e-8);
}
