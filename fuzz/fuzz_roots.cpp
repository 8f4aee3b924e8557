// Polynomial and function roots, the singular value decomposition and the
// circle and sphere fits on arbitrary input: nothing crashes or hangs, counts
// stay in range, and ordinary input gives finite results.
#include "fuzz_input.h"

#include <vector>

namespace {

struct Poly {
    double c[5];
    int degree;
};

double poly_value(double x, void *data) {
    const Poly *p = static_cast<const Poly *>(data);
    double s = 0.0;
    for (int j = p->degree; j >= 0; --j) s = s * x + p->c[j];
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 3);
    switch (op) {
    case 0: { // roots: counts within the degree, finite for ordinary coefficients
        Poly p;
        p.degree = in.range(0, 5);
        in.numbers(p.c, 5);
        const bool ordinary = fuzz::moderate(p.c, 5, 1e-6, 1e6);
        double r[5];
        int n = -1;
        fuzz::run([&] {
            switch (p.degree) {
            case 2: n = SOLVE_quadratic(p.c, r); break;
            case 3: n = SOLVE_cubic(p.c, r); break;
            case 4: n = SOLVE_quartic(p.c, r); break;
            default: n = SOLVE_polynomial(p.degree, p.c, r); break;
            }
        });
        if (n >= 0) {
            FUZZ_CHECK(n <= (p.degree > 4 ? 0 : p.degree));
            if (ordinary) FUZZ_CHECK(fuzz::finite(r, n));
        }
        break;
    }
    case 1: { // Ridders: a result code in range, a root inside the bracket
        Poly p;
        p.degree = in.range(1, 4);
        in.numbers(p.c, 5);
        const double x1 = in.number(), x2 = in.number(), tol = in.number();
        double root = 0.0;
        const int it = SOLVE_function_root(poly_value, &p, x1, x2, tol, &root);
        FUZZ_CHECK(it == -2 || it == -1 || (it >= 1 && it <= 20));
        if (it >= 1 && std::isfinite(x1) && std::isfinite(x2))
            FUZZ_CHECK(root >= std::fmin(x1, x2) && root <= std::fmax(x1, x2));
        break;
    }
    case 2: { // SVD of up to 8 x 8: non-negative finite singular values
        const int m = in.range(0, 8), n = in.range(0, 8);
        std::vector<double> a(static_cast<size_t>(m) * n), v(static_cast<size_t>(n) * n), w(n), b(m), x(n);
        in.numbers(a.data(), m * n);
        in.numbers(b.data(), m);
        const bool ordinary = fuzz::moderate(a.data(), m * n, 1e-50, 1e50);
        std::vector<double *> rows(m), vrows(n);
        for (int i = 0; i < m; ++i) rows[i] = a.data() + static_cast<size_t>(i) * n;
        for (int i = 0; i < n; ++i) vrows[i] = v.data() + static_cast<size_t>(i) * n;
        if (in.flag()) {
            SOLVE_svd_decompose(rows.data(), m, n, w.data(), vrows.data());
            if (ordinary)
                for (double s : w) FUZZ_CHECK(s >= 0.0 && std::isfinite(s));
        } else {
            int rank = n;
            SOLVE_svd_solver_r(rows.data(), m, &rank, b.data(), x.data(), in.number());
            FUZZ_CHECK(rank >= 0 && rank <= n);
        }
        break;
    }
    default: { // circle and sphere fits on up to 12 points
        const int n = in.range(1, 12);
        std::vector<double> xyz(static_cast<size_t>(n) * 3);
        in.numbers(xyz.data(), n * 3);
        std::vector<quorm_point3> p3(n);
        std::vector<PNT2_s> p2(n);
        for (int i = 0; i < n; ++i) {
            p3[i] = quorm_point3{xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]};
            p2[i] = PNT2_s{xyz[3 * i], xyz[3 * i + 1]};
        }
        double radius = 0.0, stats[3];
        int status = 0, corners[4];
        quorm_point3 c3;
        PNT2_s c2;
        fuzz::run([&] { LSFIT_sphere_to_points_3d(p3.data(), n, &c3, &radius, &status, stats); });
        fuzz::run([&] { LSFIT_circle_to_points_2d(p2.data(), n, &c2, &radius, &status, stats); });
        fuzz::run([&] {
            LSFIT_cre_tetrahedron_from_pts(p3.data(), n, 0.001, corners, &status);
            if (status == 0)
                for (int k : corners) FUZZ_CHECK(k >= 0 && k < n);
        });
        break;
    }
    }
    return 0;
}
