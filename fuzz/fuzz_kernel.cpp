// Spline kernel core: Bezier and B-spline piece evaluation against a direct
// de Casteljau / de Boor written here, basis functions, interpolation that
// must pass through its points when it reports success, and the two banded
// solvers with a residual check.
#include "fuzz_input.h"

#include <algorithm>
#include <vector>

namespace {

// Nondecreasing knots with small integer steps (0 repeats a knot), scaled.
std::vector<double> knots_from(fuzz::Input &in, int count, double scale) {
    std::vector<double> k(count);
    double s = in.range(-4, 4);
    for (int i = 0; i < count; ++i) {
        k[i] = s * scale;
        s += in.range(0, 3);
    }
    return k;
}

double max_abs(const double *a, int n) {
    double m = 0.0;
    for (int i = 0; i < n; ++i) m = std::fmax(m, std::fabs(a[i]));
    return m;
}

// Homogeneous point of a Bezier piece by de Casteljau on the local parameter.
void casteljau(int n, const double *poly, double s, double out[4], double diff[4]) {
    double w[25][4];
    std::memcpy(w, poly, sizeof(double) * 4 * (n + 1));
    for (int r = 1; r <= n; ++r) {
        if (r == n)
            for (int c = 0; c < 4; ++c) diff[c] = w[1][c] - w[0][c];
        for (int i = 0; i <= n - r; ++i)
            for (int c = 0; c < 4; ++c) w[i][c] = (1 - s) * w[i][c] + s * w[i + 1][c];
    }
    if (n == 0)
        for (int c = 0; c < 4; ++c) diff[c] = 0.0;
    std::memcpy(out, w[0], sizeof(double) * 4);
}

// B-spline of order k with m control points (dim doubles each) at x by de Boor.
void de_boor(const std::vector<double> &t, const double *ctrl, int m, int k, int dim, double x, double *out) {
    int i = k - 1;
    while (i < m - 1 && x >= t[i + 1]) ++i;
    std::vector<double> d(static_cast<size_t>(k) * dim);
    for (int j = 0; j < k; ++j)
        for (int c = 0; c < dim; ++c) d[j * dim + c] = ctrl[(i - k + 1 + j) * dim + c];
    for (int r = 1; r < k; ++r)
        for (int j = k - 1; j >= r; --j) {
            const int p = i - k + 1 + j;
            const double den = t[p + k - r] - t[p];
            const double a = den > 0 ? (x - t[p]) / den : 0.0;
            for (int c = 0; c < dim; ++c) d[j * dim + c] = (1 - a) * d[(j - 1) * dim + c] + a * d[j * dim + c];
        }
    for (int c = 0; c < dim; ++c) out[c] = d[(k - 1) * dim + c];
}

bool close(const double *a, const double *b, int n, double scale) {
    for (int i = 0; i < n; ++i)
        if (!(std::fabs(a[i] - b[i]) <= 1e-9 * scale)) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 4);
    switch (op) {
    case 0: { // Bezier piece: h0900, h0908 against de Casteljau
        int n = in.range(0, 24);
        if (in.range(0, 15) == 0) n = in.range(-2, 30);
        const int npts = std::max(0, std::min(n, 24)) + 1;
        std::vector<double> poly(4 * static_cast<size_t>(npts)), k(50, 0.0);
        in.numbers(poly.data(), 4 * npts);
        const double t0 = in.number(), t1 = t0 + in.range(1, 8) * std::ldexp(1.0, in.range(-8, 8));
        double t = in.flag() ? in.number() : t0 + (t1 - t0) * in.range(0, 16) / 16.0;
        k[std::max(0, std::min(n, 24))] = t0;
        k[std::max(0, std::min(n, 24)) + 1] = t1;
        double p[4], q[4], d[4], ref[4], diff[4];
        const bool ok_a = fuzz::run([&] { h0900(&n, k.data(), poly.data(), &t, p); });
        const bool ok_b = fuzz::run([&] { h0908(&n, k.data(), poly.data(), &t, q, d); });
        if (n < 0 || n > 24 || !ok_a || !ok_b) break;
        const double s = (t - t0) / (t1 - t0);
        if (!fuzz::moderate(poly.data(), 4 * npts, 1e-100, 1e100) || !std::isfinite(t1) || !(std::fabs(s) <= 1.0))
            break;
        casteljau(n, poly.data(), s, ref, diff);
        const double scale = max_abs(poly.data(), 4 * npts) * std::pow(3.0, n);
        FUZZ_CHECK(close(p, ref, 4, scale));
        FUZZ_CHECK(close(q, ref, 4, scale));
        for (double &c : diff) c *= n / (t1 - t0);
        FUZZ_CHECK(close(d, diff, 4, scale * (n + 1) / (t1 - t0)));
        break;
    }
    case 1: { // B-spline piece: h0901 against de Boor on the same knots
        int n = in.range(0, 10);
        const int npts = n + 1;
        std::vector<double> poly(4 * static_cast<size_t>(npts));
        in.numbers(poly.data(), 4 * npts);
        std::vector<double> k = knots_from(in, 2 * n + 2, std::ldexp(1.0, in.range(-6, 6)));
        if (!(k[n] < k[n + 1])) k[n + 1] = k[n] + 1.0;
        for (int i = n + 2; i < 2 * n + 2; ++i) k[i] = std::max(k[i], k[i - 1]);
        double t = k[n] + (k[n + 1] - k[n]) * in.range(0, 16) / 16.0, p[4], ref[4];
        if (!fuzz::run([&] { h0901(&n, k.data(), poly.data(), &t, p); })) break;
        if (!fuzz::moderate(poly.data(), 4 * npts)) break;
        // The piece's knots k[0..2n+1] as a clamped-free vector of n+1 controls.
        de_boor(std::vector<double>(k.begin(), k.end()), poly.data(), npts, n + 1, 4, t, ref);
        // de_boor picks the span by x; on the piece that is span n.
        FUZZ_CHECK(close(p, ref, 4, max_abs(poly.data(), 4 * npts)));
        break;
    }
    case 2: { // basis functions: partition of unity, derivatives summing to 0
        const int k = in.range(1, 8), count = in.range(k + 1, k + 12);
        std::vector<double> t = knots_from(in, count, 1.0);
        if (count < 2 * k) break; // no span carries a full set of basis functions
        int span = in.range(k - 1, count - k - 1);
        while (span < count - k && !(t[span] < t[span + 1])) ++span;
        if (span >= count - k) break;
        const double x = t[span] + (t[span + 1] - t[span]) * in.range(0, 15) / 16.0;
        const int d = in.range(0, k);
        double sum[26] = {0};
        for (int j = 0; j + k <= count - 1; ++j) {
            double out[26];
            FUZZ_CHECK(h0916(count, t.data(), j, k, x, d, out) == 0);
            for (int r = 0; r <= d; ++r) sum[r] += out[r];
        }
        FUZZ_CHECK(std::fabs(sum[0] - 1.0) < 1e-12);
        for (int r = 1; r <= d; ++r) FUZZ_CHECK(std::fabs(sum[r]) < 1e-6 * std::pow(4.0 * k, r));
        double bad[26];
        const int j = in.range(-3, count + 3), kk = in.range(-1, 26);
        fuzz::run([&] { h0916(count, t.data(), j, kk, x, d, bad); });
        break;
    }
    case 3: { // interpolation through points at increasing parameters
        const int np = in.range(2, 12), k = in.range(1, std::min(np, 6)), dim = in.range(1, 3);
        std::vector<double> points(static_cast<size_t>(np) * dim), params(np);
        in.numbers(points.data(), np * dim);
        double s = in.number();
        if (!std::isfinite(s) || std::fabs(s) > 1e6) s = 0.0;
        const double step = std::ldexp(1.0, in.range(-10, 10));
        for (int i = 0; i < np; ++i) {
            params[i] = s;
            s += in.range(1, 6) * step;
        }
        const int descriptor[7] = {np, k, 0, dim, 0, 0, 0};
        int knot_count = 0;
        std::vector<double> knots(np + k), ctrl(static_cast<size_t>(np) * dim);
        const int status = h0913(descriptor, points.data(), params.data(), nullptr, nullptr, nullptr, &knot_count,
                                 knots.data(), ctrl.data());
        FUZZ_CHECK(status == 0 || status == 1 || status == -1);
        if (status != 0 || !fuzz::moderate(points.data(), np * dim)) break;
        FUZZ_CHECK(knot_count == np + k);
        FUZZ_CHECK(fuzz::finite(ctrl.data(), np * dim));
        const double scale = max_abs(ctrl.data(), np * dim) + max_abs(points.data(), np * dim);
        for (int i = 0; i < np; ++i) {
            double v[3];
            const double x = i == np - 1 ? std::nextafter(params[i], -INFINITY) : params[i];
            de_boor(knots, ctrl.data(), np, k, dim, x, v);
            FUZZ_CHECK(close(v, &points[i * dim], dim, scale * 1e2));
        }
        break;
    }
    default: { // banded systems: diagonally dominant without pivoting, any with
        const int n = in.range(1, 16), w = in.range(0, 4);
        std::vector<double> full(static_cast<size_t>(n) * n, 0.0), b(n);
        for (int i = 0; i < n; ++i)
            for (int j = std::max(0, i - w); j <= std::min(n - 1, i + w); ++j) full[i * n + j] = in.number();
        in.numbers(b.data(), n);
        const bool dominant = in.flag();
        if (dominant)
            for (int i = 0; i < n; ++i) {
                double off = 0.0;
                for (int j = 0; j < n; ++j)
                    if (j != i && std::isfinite(full[i * n + j])) off += std::fabs(full[i * n + j]);
                full[i * n + i] = off + 1.0;
            }
        const bool ordinary = fuzz::moderate(full.data(), n * n, 1e-50, 1e50) && fuzz::moderate(b.data(), n, 1e-50, 1e50);
        auto residual_ok = [&](const double *x, double tol) {
            double na = 0.0, nx = max_abs(x, n), nb = max_abs(b.data(), n);
            for (int i = 0; i < n; ++i) na = std::fmax(na, max_abs(&full[i * n], n));
            for (int i = 0; i < n; ++i) {
                double r = -b[i];
                for (int j = 0; j < n; ++j) r += full[i * n + j] * x[j];
                if (!(std::fabs(r) <= tol * (n * na * nx + nb) + 1e-280)) return false;
            }
            return true;
        };
        double **m = nullptr, *v = nullptr;
        msetup_banded(n, w, &m, &v);
        FUZZ_CHECK(m != nullptr && v != nullptr);
        for (int i = 0; i < n; ++i) {
            for (int j = std::max(0, i - w); j <= std::min(n - 1, i + w); ++j) m[i][j] = full[i * n + j];
            v[i] = b[i];
        }
        mdecompose_banded(m, n, w);
        if (merrorlevel() == 0) {
            msolve_banded(m, n, w, v);
            if (dominant && ordinary && fuzz::finite(v, n) && fuzz::moderate(v, n)) FUZZ_CHECK(residual_ok(v, 1e-10));
        }
        merrorflush();
        mdispose_banded(&m, &v);
        FUZZ_CHECK(m == nullptr && v == nullptr);
#if QUORM_FULL_BUILD
        const int width = 2 * w + 1;
        std::vector<double> compact(static_cast<size_t>(n) * width, 0.0), x = b;
        std::vector<double *> rows(n), xrows(n);
        for (int i = 0; i < n; ++i) {
            rows[i] = &compact[static_cast<size_t>(i) * width];
            xrows[i] = &x[i];
            for (int j = std::max(0, i - w); j <= std::min(n - 1, i + w); ++j) rows[i][j - i + w] = full[i * n + j];
        }
        int status = 1;
        fuzz::run([&] { status = SOLVE_lu_banded_solver(rows.data(), xrows.data(), n, 1, w, w); });
        if (status == 0 && ordinary) {
            FUZZ_CHECK(fuzz::finite(x.data(), n));
            if (fuzz::moderate(x.data(), n, 1e-50, 1e50)) FUZZ_CHECK(residual_ok(x.data(), 1e-6));
        }
#endif
        break;
    }
    }
    return 0;
}
