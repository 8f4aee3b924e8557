// Tolerant comparisons, periodic parameters, angular ranges and the
// closed-form quadratic, cubic and 3x3 solvers of the numbered kernel.
#include "foundation/quorm_internal.h"

#include <quorm/kernel_toler.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr double kTwoPi = QUORM_KERNEL_TWO_PI;
constexpr double kPi = 3.141592653589793;

// |table[index]|; an index outside the table is refused while checking and
// compares exactly (tolerance 0) at level 0.
double table_tol(int index) {
    if (index < 0 || index >= EQ_TOLERANCE_TABLE_SIZE) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "tolerance index %d outside 0..%d", index,
                        EQ_TOLERANCE_TABLE_SIZE - 1);
        return 0.0;
    }
    return std::fabs(acom.eq_tol[index]);
}

inline double number_tol() { return std::fabs(acom.eq_tol[0]); }

inline bool near(double a, double b, double tol) { return std::fabs(a - b) <= tol; }

int interval_code(double *x, double a, double b, double tol) {
    if (near(*x, a, tol)) {
        *x = a;
        return 2;
    }
    if (*x < a) return 1;
    if (near(*x, b, tol)) {
        *x = b;
        return 4;
    }
    return *x > b ? 5 : 3;
}

// h002 with the number tolerance.
double reduce_period(double x, double period) {
    const double tol = number_tol();
    if (period < 0.0) return x;
    if (near(x, period, tol)) return 0.0;
    if (near(period, 0.0, tol)) return x;
    if (x > 0.0) {
        // fmod is exact: x - trunc(x/period).period without rounding.
        const double r = std::fmod(x, period);
        return near(r, 0.0, tol) ? 0.0 : r;
    }
    const double r = std::fmod(-x, period);
    if (near(r, 0.0, tol)) return 0.0;
    const double v = period - r;
    return near(v, 0.0, tol) ? 0.0 : v;
}

// trunc(v) as an int, or 0 when it does not fit (or v is not a number).
int truncated(double v) {
    if (!(std::fabs(v) <= static_cast<double>(INT_MAX))) return 0;
    return static_cast<int>(std::trunc(v));
}

void shift_into(double *x, double a, double b, int mode, double period, int *found, int *k) {
    const double tol = number_tol();
    const double lo = std::min(a, b), hi = std::max(a, b);
    *found = 0;
    *k = 0;
    const int code = interval_code(x, lo, hi, tol);
    if (code >= 2 && code <= 4) {
        *found = 1;
        return;
    }
    const double p = mode == 1 ? period : hi - lo;
    const double dl = (lo - *x) / p, dh = (hi - *x) / p;
    if (dh > 0.0) {
        *k = truncated(dh);
        *found = (*k >= dl || near(*k, dl, tol)) ? 1 : 0;
    } else if (dl < 0.0) {
        *k = -truncated(-dl);
        *found = (*k <= dh || near(*k, dh, tol)) ? 1 : 0;
    }
}

// Whether x lies in [a, b] or within tol of an end, x snapped to the end.
bool in_range(double *x, double a, double b, double tol) {
    const int code = interval_code(x, a, b, tol);
    return code >= 2 && code <= 4;
}

void overlap(const double a[2], const double b[2], int *count, double result[2]) {
    const double tol = number_tol();
    *count = 1;
    result[0] = b[0];
    result[1] = b[1];
    double a0 = a[0], a1 = a[1];
    const bool in0 = in_range(&a0, b[0], b[1], tol), in1 = in_range(&a1, b[0], b[1], tol);
    if (in0 && in1) {
        result[0] = a0;
        result[1] = a1;
    } else if (in0) {
        result[0] = a0;
    } else if (in1) {
        result[1] = a1;
    } else {
        double b0 = b[0];
        if (!in_range(&b0, a[0], a[1], tol)) return;
    }
    result[0] = reduce_period(result[0], kTwoPi);
    result[1] = reduce_period(result[1], kTwoPi);
    if (near(result[0], result[1], tol)) return;
    *count = 2;
    if (result[0] > result[1]) result[1] += kTwoPi;
}

// sqrt(sum of squares) without overflow or underflow for extreme values.
double norm(const double *c, int n) {
    double big = 0.0;
    for (int i = 0; i < n; ++i) big = std::max(big, std::fabs(c[i]));
    if (big == 0.0 || !std::isfinite(big)) return big;
    double s = 0.0;
    for (int i = 0; i < n; ++i) s += (c[i] / big) * (c[i] / big);
    return big * std::sqrt(s);
}

double det3(const double u[3], const double v[3], const double w[3]) {
    return u[0] * (v[1] * w[2] - v[2] * w[1]) - u[1] * (v[0] * w[2] - v[2] * w[0]) +
           u[2] * (v[0] * w[1] - v[1] * w[0]);
}

} // namespace

extern "C" {

// ---- tolerant relations --------------------------------------------------------

QUORM_API void h805(const double *a, const double *b, const int *index, int *out) {
    *out = near(*a, *b, table_tol(*index)) ? 1 : 0;
}

QUORM_API void h806(const double *a, const double *b, const double *tol, int *out) {
    *out = near(*a, *b, std::fabs(*tol)) ? 1 : 0;
}

QUORM_API void h807(const double *a, const double *b, const int *mode, const int *index, int *out) {
    const double tol = table_tol(*index);
    if (*mode == 1)
        *out = *a < *b - tol ? 1 : 2;
    else
        *out = *a > *b + tol ? 1 : 2;
}

QUORM_API void h808(const double *a, const double *b, const double *tol, const int *mode, int *out) {
    if (*mode == 2)
        *out = *a > *b + *tol ? 1 : 2;
    else
        *out = *a < *b - *tol ? 1 : 2;
}

QUORM_API void h804(double *x, const double interval[2], const int *index, int *code) {
    *code = interval_code(x, interval[0], interval[1], table_tol(*index));
}

QUORM_API void h816(double *x, const double interval[2], const double *tol, int *code) {
    *code = interval_code(x, interval[0], interval[1], std::fabs(*tol));
}

QUORM_API void h809(double *x, const double interval[2], const int *index, int *out) {
    *out = in_range(x, interval[0], interval[1], table_tol(*index)) ? 1 : 0;
}

QUORM_API void h809a(const double *x, const double interval[2], const int *mode, int *out) {
    const double widen = *mode == 1 ? 0.005 : 1e-5;
    *out = (*x >= interval[0] - widen && *x <= interval[1] + widen) ? 1 : 0;
}

QUORM_API void h000(double *x) {
    const double tol = number_tol();
    if (std::fabs(*x) <= tol) *x = *x >= 0.0 ? tol : -tol;
}

// ---- periodic parameters ---------------------------------------------------------

QUORM_API void h002(double *x, const double *period) { *x = reduce_period(*x, *period); }

QUORM_API void h006(double *x, const double *a, const double *b, const int *mode, const double *period, int *found,
                    int *k) {
    shift_into(x, *a, *b, *mode, *period, found, k);
}

QUORM_API void h0062(const double *x, const int *mode, const double *period, double *value, int *k) {
    double xv = *x;
    int found;
    shift_into(&xv, 0.0, *period, *mode, *period, &found, k);
    *value = xv + *k * *period;
    if (near(*value, *period, number_tol())) {
        *value = 0.0;
        --*k;
    }
}

QUORM_API void h0063(const double *x, const double *a, const double *b, const int *mode, const double *period,
                     int *found, int *k, double *value) {
    const double tol = number_tol();
    double xv = *x;
    shift_into(&xv, *a, *b, *mode, *period, found, k);
    *value = xv + *k * *period;
    if (near(*value, *b, tol) && near(*b - *a, *period, tol)) {
        *value = *a;
        --*k;
    }
}

QUORM_API void h0065(const double *start, const double *x, const double *period, double *out) {
    double xv = *x;
    int found, k;
    shift_into(&xv, *start, *start + *period, 1, *period, &found, &k);
    const double offset = xv + k * *period - *start;
    *out = near(offset, *period, number_tol()) ? 0.0 : offset;
}

QUORM_API void h0005(const double *x, const double *start, const double *period, double *value, int *k) {
    double xv = *x;
    int found;
    shift_into(&xv, *start, *start + *period, 1, *period, &found, k);
    *value = xv + *k * *period;
}

// ---- angular ranges ------------------------------------------------------------------

QUORM_API void h010(const double a[2], const double b[2], int *count, double result[2]) {
    overlap(a, b, count, result);
}

QUORM_API void h009(const double a[2], const double b[2], int *count, double result[4]) {
    const double tol = number_tol();
    *count = 2;
    if (near(a[1] - a[0], kTwoPi, tol)) {
        result[0] = b[0];
        result[1] = b[1];
        return;
    }
    if (near(b[1] - b[0], kTwoPi, tol)) {
        result[0] = a[0];
        result[1] = a[1];
        return;
    }
    int first = 1, second = 1;
    double piece1[2], piece2[2];
    overlap(a, b, &first, piece1);
    // The range that ends later meets the other one a period further on.
    if (a[1] > b[1]) {
        const double shifted[2] = {b[0] + kTwoPi, b[1] + kTwoPi};
        overlap(a, shifted, &second, piece2);
    } else {
        const double shifted[2] = {a[0] + kTwoPi, a[1] + kTwoPi};
        overlap(b, shifted, &second, piece2);
    }
    *count = 1;
    if (first == 2) {
        result[0] = piece1[0];
        result[1] = piece1[1];
        *count = 2;
    }
    if (second == 2) {
        result[2 * (*count - 1)] = piece2[0];
        result[2 * (*count - 1) + 1] = piece2[1];
        ++*count;
    }
}

QUORM_API void h012(double range[2], const double *x, int *which) {
    const double tol = number_tol();
    const double tries[2][2] = {{range[0], range[1]}, {range[1], range[0]}};
    double start = 0.0, end = 0.0;
    for (int i = 0; i < 2; ++i) {
        start = tries[i][0];
        end = tries[i][1];
        if (end < start) end += kTwoPi;
        for (double shift : {0.0, kTwoPi}) {
            double xv = *x + shift;
            const int code = interval_code(&xv, start, end, tol);
            if (code >= 2 && code <= 4) {
                *which = i + 1;
                range[0] = start;
                range[1] = end;
                return;
            }
        }
    }
    *which = 3;
    range[0] = start;
    range[1] = end;
}

// ---- 2-D point comparisons ----------------------------------------------------------

QUORM_API void h202(const double p1[2], const double p2[2], int *out) {
    const double dx = p1[0] - p2[0], dy = p1[1] - p2[1];
    *out = dx * dx + dy * dy <= std::fabs(acom.eq_tol[2]) ? 1 : 0;
}

QUORM_API void h206(const double p1[2], const double p2[2], const double *tol, int *out) {
    const double dx = p1[0] - p2[0], dy = p1[1] - p2[1];
    *out = dx * dx + dy * dy <= std::fabs(*tol) ? 1 : 0;
}

QUORM_API void h204(const double p1[2], const double p2[2], const double *r, int *out) {
    const double dx = p1[0] - p2[0], dy = p1[1] - p2[1];
    *out = dx * dx + dy * dy <= *r * *r ? 1 : 0;
}

// ---- small equation solvers -----------------------------------------------------------

QUORM_API void h014(const double c[3], double re[2], double im[2], int *status, int *degree, int *nreal) {
    const double tol = number_tol();
    *status = 1;
    *degree = 0;
    *nreal = 0;
    re[0] = re[1] = im[0] = im[1] = 0.0;
    const double s = norm(c, 3);
    if (s <= tol) {
        *status = 4;
        return;
    }
    const double c0 = c[0] / s, c1 = c[1] / s, c2 = c[2] / s;
    if (std::fabs(c2) > tol) {
        *degree = 2;
        const double disc = std::fabs(c1) <= tol ? -4.0 * c0 * c2 : c1 * c1 - 4.0 * c0 * c2;
        const double root = std::fabs(disc) <= tol ? 0.0 : std::sqrt(std::fabs(disc));
        if (disc > -tol) {
            *status = 3;
            *nreal = 2;
            // (root - c1)/(2 c2) and (-c1 - root)/(2 c2); the root of larger
            // magnitude is formed without cancellation and the other from
            // the product of the roots.
            const double q = c1 >= 0.0 ? -0.5 * (c1 + root) : 0.5 * (root - c1);
            if (q != 0.0) {
                const double big = q / c2, small = c0 / q;
                re[0] = c1 >= 0.0 ? small : big;
                re[1] = c1 >= 0.0 ? big : small;
            } else {
                re[0] = (root - c1) / (2.0 * c2);
                re[1] = (-c1 - root) / (2.0 * c2);
            }
        } else {
            *status = 2;
            re[0] = re[1] = -c1 / (2.0 * c2);
            im[0] = root / (2.0 * c2);
            im[1] = -im[0];
        }
    } else if (std::fabs(c1) > tol) {
        *status = 3;
        *degree = 1;
        *nreal = 1;
        re[0] = -c0 / c1;
    } else if (std::fabs(c0) <= tol) {
        *status = 4;
    }
}

QUORM_API void h016(const double c[4], double re[3], double im[3], int *status, int *degree, int *nreal) {
    const double tol = number_tol();
    *status = 1;
    *degree = 0;
    *nreal = 0;
    for (int i = 0; i < 3; ++i) re[i] = im[i] = 0.0;
    const double s = norm(c, 4);
    if (s <= tol) {
        *status = 4;
        return;
    }
    const double scaled[4] = {c[0] / s, c[1] / s, c[2] / s, c[3] / s};
    if (std::fabs(scaled[3]) <= tol) {
        h014(scaled, re, im, status, degree, nreal);
        return;
    }
    *status = 3;
    *degree = 3;
    const double a0 = scaled[0] / scaled[3], a1 = scaled[1] / scaled[3], a2 = scaled[2] / scaled[3];
    if (std::fabs(a0) <= tol) {
        // x (x^2 + a2 x + a1): the root 0 first, then the quadratic's.
        const double quad[3] = {a1, a2, 1.0};
        int qs, qd, qn;
        h014(quad, re + 1, im + 1, &qs, &qd, &qn);
        *nreal = qn + 1;
        return;
    }
    // Depressed cubic y^3 + p y + q with x = y - a2/3.
    const double shift = a2 / 3.0;
    const double p = a1 - a2 * a2 / 3.0;
    const double q = a0 - a1 * a2 / 3.0 + 2.0 * a2 * a2 * a2 / 27.0;
    const double disc = 0.25 * q * q + p * p * p / 27.0;
    if (disc > 0.0) {
        // One real root and a complex pair: real cube roots u and v with
        // u v = -p/3; v is formed from u where that avoids cancellation.
        const double sq = std::sqrt(disc);
        const double w = q > 0.0 ? -0.5 * q - sq : -0.5 * q + sq;
        const double u = std::cbrt(w);
        const double v = u != 0.0 ? -p / (3.0 * u) : std::cbrt(q > 0.0 ? -0.5 * q + sq : -0.5 * q - sq);
        re[0] = u + v - shift;
        re[1] = re[2] = -0.5 * (u + v) - shift;
        im[1] = 0.5 * std::sqrt(3.0) * (u - v);
        im[2] = -im[1];
        *nreal = 1;
        if (std::fabs(im[1]) <= tol * std::max(1.0, std::fabs(re[1]))) {
            im[1] = im[2] = 0.0;
            *nreal = 3;
        }
        return;
    }
    // Three real roots: w = -q/2 + i sqrt(-disc) has modulus (-p/3)^(3/2);
    // its principal cube root u and conj(u) give y = 2 Re(u w^k).
    const double w[2] = {-0.5 * q, std::sqrt(-disc)};
    const int three = 3;
    double u[2];
    h018(w, &three, u);
    const double rot[2] = {-0.5, 0.5 * std::sqrt(3.0)};
    double uk[2] = {u[0], u[1]};
    for (int i = 0; i < 3; ++i) {
        re[i] = 2.0 * uk[0] - shift;
        double next[2];
        h017(uk, rot, next);
        uk[0] = next[0];
        uk[1] = next[1];
    }
    *nreal = 3;
}

QUORM_API void h015(const double u[3], const double v[3], const double w[3], const double r[3], double x[3],
                    int *status) {
    const double det = det3(u, v, w);
    if (std::fabs(det) <= number_tol()) {
        *status = 2;
        return;
    }
    // Cramer: column i of the matrix (rows u, v, w) replaced by r.
    const double cu[3][3] = {{r[0], u[1], u[2]}, {u[0], r[0], u[2]}, {u[0], u[1], r[0]}};
    const double cv[3][3] = {{r[1], v[1], v[2]}, {v[0], r[1], v[2]}, {v[0], v[1], r[1]}};
    const double cw[3][3] = {{r[2], w[1], w[2]}, {w[0], r[2], w[2]}, {w[0], w[1], r[2]}};
    double out[3];
    for (int i = 0; i < 3; ++i) out[i] = det3(cu[i], cv[i], cw[i]) / det;
    x[0] = out[0];
    x[1] = out[1];
    x[2] = out[2];
    *status = 1;
}

QUORM_API void h015a(const double u[3], const double v[3], const double w[3], const double r[3], double x[3],
                     int *status) {
    h015(u, v, w, r, x, status);
    if (*status != 2) return;
    const double tol = number_tol();
    const double *rows[3] = {u, v, w};
    double scaled[3][3], rhs[3];
    for (int i = 0; i < 3; ++i) {
        const double *row = rows[i];
        const double len2 = row[0] * row[0] + row[1] * row[1] + row[2] * row[2];
        if (len2 <= tol * tol) return;
        // Each equation (row and right-hand side) is divided by the row's
        // length: the system keeps its solution.
        const double len = std::sqrt(len2);
        for (int j = 0; j < 3; ++j) scaled[i][j] = row[j] / len;
        rhs[i] = r[i] / len;
    }
    h015(scaled[0], scaled[1], scaled[2], rhs, x, status);
}

QUORM_API void h017(const double a[2], const double b[2], double out[2]) {
    const double re = a[0] * b[0] - a[1] * b[1];
    const double im = a[0] * b[1] + a[1] * b[0];
    out[0] = re;
    out[1] = im;
}

QUORM_API void h018(const double z[2], const int *n, double out[2]) {
    const int root = *n;
    if (root <= 0) {
        if (quorm_checking()) ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "root order %d", root);
        out[0] = out[1] = 0.0;
        return;
    }
    const double re = z[0], im = z[1];
    double arg;
    if (re == 0.0)
        arg = im >= 0.0 ? 0.5 * kPi : 1.5 * kPi;
    else if (im == 0.0)
        arg = re > 0.0 ? 0.0 : kPi;
    else {
        arg = std::atan(im / re);
        if (re < 0.0)
            arg += kPi;
        else if (im < 0.0)
            arg += kTwoPi;
    }
    const double modulus = std::pow(std::hypot(re, im), 1.0 / root);
    out[0] = modulus * std::cos(arg / root);
    out[1] = modulus * std::sin(arg / root);
}

} // extern "C"
