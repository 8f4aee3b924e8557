// Dense solvers: closed-form 2x2 and 3x3, LU, Cholesky and the matrix
// utilities, on systems of order 1 to 20.
#include "fuzz_input.h"

#include <vector>

namespace {

// |a x - b| against ||a|| ||x|| + ||b|| in the maximum norm: a
// backward-stable solve leaves a residual of a few roundings of that.
bool small_residual(const std::vector<double> &a, const double *x, const double *b, int n, double tol) {
    double norm_a = 0.0, norm_x = 0.0, norm_b = 0.0;
    for (int i = 0; i < n; ++i) {
        double row = 0.0;
        for (int k = 0; k < n; ++k) row += std::fabs(a[i * n + k]);
        norm_a = std::fmax(norm_a, row);
        norm_x = std::fmax(norm_x, std::fabs(x[i]));
        norm_b = std::fmax(norm_b, std::fabs(b[i]));
    }
    for (int i = 0; i < n; ++i) {
        double r = -b[i];
        for (int k = 0; k < n; ++k) r += a[i * n + k] * x[k];
        if (!(std::fabs(r) <= tol * (norm_a * norm_x + norm_b) + 1e-280)) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 5);
    const int n = in.range(1, 20);
    std::vector<double> a(static_cast<size_t>(n) * n), b(n);
    in.numbers(a.data(), n * n);
    in.numbers(b.data(), n);
    const bool ordinary = fuzz::moderate(a.data(), n * n) && fuzz::moderate(b.data(), n);
    switch (op) {
    case 0: { // closed forms: a solution that a long-double solve finds in
              // range comes out finite
        double a3[9], b3[3], x[3];
        in.numbers(a3, 9);
        in.numbers(b3, 3);
        if (SOLVE_solve_2equations(a3, b3, x) == 0 && fuzz::finite(a3, 4) && fuzz::finite(b3, 2)) {
            const long double det = static_cast<long double>(a3[0]) * a3[3] - static_cast<long double>(a3[1]) * a3[2];
            const long double x0 = (static_cast<long double>(a3[3]) * b3[0] - static_cast<long double>(a3[1]) * b3[1]) / det;
            const long double x1 = (static_cast<long double>(a3[0]) * b3[1] - static_cast<long double>(a3[2]) * b3[0]) / det;
            if (std::fabs(x0) < 1e300L && std::fabs(x1) < 1e300L) FUZZ_CHECK(std::isfinite(x[0]) && std::isfinite(x[1]));
        }
        if (SOLVE_solve_3equations(a3, b3, x) == 0 && fuzz::finite(a3, 9) && fuzz::finite(b3, 3) &&
            fuzz::moderate(a3, 9) && fuzz::moderate(b3, 3))
            FUZZ_CHECK(fuzz::finite(x, 3));
        break;
    }
    case 1: { // LU driver
        std::vector<double> lu = a, x = b;
        std::vector<double *> rows(n), xrows(n);
        for (int i = 0; i < n; ++i) {
            rows[i] = &lu[static_cast<size_t>(i) * n];
            xrows[i] = &x[i];
        }
        const int m = in.range(0, 1);
        if (SOLVE_lu_solver(rows.data(), xrows.data(), n, m) == 0 && m == 1) {
            FUZZ_CHECK(fuzz::finite(x.data(), n));
            if (ordinary && fuzz::moderate(x.data(), n)) FUZZ_CHECK(small_residual(a, x.data(), b.data(), n, 1e-6));
        }
        break;
    }
    case 2: { // decomposition and substitution
        std::vector<double> lu = a, x = b;
        std::vector<double *> rows(n);
        for (int i = 0; i < n; ++i) rows[i] = &lu[static_cast<size_t>(i) * n];
        std::vector<int> index(n);
        double parity = 0.0;
        if (ludcmp_a(rows.data(), n, index.data(), &parity) == 0) {
            FUZZ_CHECK(fuzz::finite(lu.data(), n * n));
            FUZZ_CHECK(parity == 1.0 || parity == -1.0);
            for (int i = 0; i < n; ++i) FUZZ_CHECK(index[i] >= i && index[i] < n);
            lubksb_a(rows.data(), n, index.data(), x.data());
        }
        break;
    }
    case 3: { // Cholesky of a*a^T (symmetric) and its solve and inverse
        std::vector<double> s(static_cast<size_t>(n) * n, 0.0), diagonal(n), x(n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                for (int k = 0; k < n; ++k) s[i * n + j] += a[i * n + k] * a[j * n + k];
        std::vector<double> factors = s;
        int status = -1;
        NR_cholesky_decomp(n, factors.data(), diagonal.data(), &status);
        FUZZ_CHECK(status == 0 || status == 1);
        if (status == 0) {
            NR_cholesky_solver(factors.data(), n, diagonal.data(), b.data(), x.data());
            NR_cholesky_inverse(n, diagonal.data(), factors.data());
        }
        break;
    }
    case 4: { // matrix utilities, including empty shapes
        const int rows = in.range(0, n), columns = in.range(0, n);
        fuzz::run([&] {
            double *block = nullptr;
            double **m = NR_2d_matrix_allo(rows, columns, &block);
            NR_matrix_copy_1d_to_2d(a.data(), rows, columns, m);
            std::vector<double> back(static_cast<size_t>(rows) * columns + 1);
            NR_matrix_copy_2d_to_1d(m, rows, columns, back.data());
            FUZZ_CHECK(std::memcmp(back.data(), a.data(), sizeof(double) * rows * columns) == 0);
            if (rows == columns) {
                NR_2d_matrix_nxn_transp(m, rows);
                NR_2d_matrix_identity(m, rows);
            }
            NR_2d_matrix_init_zero(m, rows, columns);
            SM_free(m);
            SM_free(block);
        });
        break;
    }
    default: { // products and bad sizes
        const int r = in.range(-1, n), k = in.range(-1, n), c = in.range(-1, n);
        std::vector<double> out(static_cast<size_t>(n) * n);
        fuzz::run([&] { NR_matrix_2d_as_1d_product_of_2(a.data(), a.data(), r, k, c, out.data()); });
        fuzz::run([&] { NR_matrix_2d_as_1d_nxn_transp(out.data(), in.range(-1, n)); });
        break;
    }
    }
    return 0;
}
