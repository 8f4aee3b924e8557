// Real roots of polynomials up to degree 4 (closed forms for the quadratic
// and the cubic, Laguerre's iteration with deflation and polishing for the
// general case and the quartic) and a bracketed root of a scalar function by
// Ridders' method.
#include "foundation/quorm_internal.h"

#include <quorm/solve_roots.h>

#include <algorithm>
#include <cmath>

namespace {

// Extra absolute error carried into the cubic core: 0 for a cubic given by
// the caller, the quartic's own estimate when the core solves its resolvent.
double g_extra_error = 0.0;

constexpr double kRoundoff = 5e-16;
constexpr double kThird = 0.3333333333333333;
constexpr double kNinth = 0.1111111111111111;
constexpr double kOver54 = 0.018518518518518517;
constexpr double kOver108 = 0.009259259259259259;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFourPi = 12.566370614359172;

// Laguerre: iteration limit, convergence ratio of the unpolished search,
// and the imaginary-part ratios below which a root counts as real.
constexpr int kLaguerreIterations = 100;
constexpr double kLaguerreEps = 2e-5;
constexpr double kDeflateRealRatio = 2.0 * 1e-4;
constexpr double kRealRatio = 2.0 * 2e-5;

// A sum of terms in eight partial sums, by sign (positive; zero or negative)
// and magnitude class (> 1e5, > 1, > 1e-5, smaller), so that terms of like
// size cancel among themselves before meeting terms of another size.  Each
// class adds its two signs first; the classes are added from the smallest
// up.  *scale gets the sum of the magnitudes and *running grows by it.
template <size_t N> double tracked_sum(const double (&terms)[N], double *scale, double *running) {
    double parts[8] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    double magnitude = 0.0;
    for (double t : terms) {
        const double a = std::fabs(t);
        const int k = (a > 1e5 ? 0 : a > 1.0 ? 1 : a > 1e-5 ? 2 : 3) * 2 + (t > 0.0 ? 0 : 1);
        parts[k] += t;
        magnitude += a;
    }
    double sum = 0.0;
    for (int k = 3; k >= 0; --k) sum += parts[2 * k] + parts[2 * k + 1];
    *scale = magnitude;
    *running += magnitude;
    return sum;
}

// ---------------------------------------------------------------- complex

struct Cx {
    double re, im;
};

inline Cx operator+(Cx a, Cx b) { return {a.re + b.re, a.im + b.im}; }
inline Cx operator-(Cx a, Cx b) { return {a.re - b.re, a.im - b.im}; }
inline Cx operator*(Cx a, Cx b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline Cx operator*(double s, Cx a) { return {s * a.re, s * a.im}; }

// Division with Smith's scaling: the larger part of the divisor divides, so
// that no intermediate square over- or underflows.
inline Cx operator/(Cx a, Cx b) {
    if (std::fabs(b.re) >= std::fabs(b.im)) {
        const double r = b.im / b.re, den = b.re + r * b.im;
        return {(a.re + r * a.im) / den, (a.im - r * a.re) / den};
    }
    const double r = b.re / b.im, den = b.im + r * b.re;
    return {(a.re * r + a.im) / den, (a.im * r - a.re) / den};
}

// |a|, scaled by the larger part.
inline double cabs(Cx a) {
    const double x = std::fabs(a.re), y = std::fabs(a.im);
    if (x == 0.0) return y;
    if (y == 0.0) return x;
    if (x > y) return x * std::sqrt(1.0 + (y / x) * (y / x));
    return y * std::sqrt(1.0 + (x / y) * (x / y));
}

// Principal square root (non-negative real part).
inline Cx csqrt(Cx a) {
    if (a.re == 0.0 && a.im == 0.0) return {0.0, 0.0};
    const double x = std::fabs(a.re), y = std::fabs(a.im);
    double w;
    if (x >= y) {
        const double r = y / x;
        w = std::sqrt(x) * std::sqrt(0.5 * (1.0 + std::sqrt(1.0 + r * r)));
    } else {
        const double r = x / y;
        w = std::sqrt(y) * std::sqrt(0.5 * (r + std::sqrt(1.0 + r * r)));
    }
    if (a.re >= 0.0) return {w, a.im / (2.0 * w)};
    return {y / (2.0 * w), a.im >= 0.0 ? w : -w};
}

// ---------------------------------------------------------------- Laguerre

void too_many_iterations() {
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Too many iterations in routine laguerre()!!!\n");
}

// Laguerre's iteration for a root of a[0] + ... + a[m].x^m from *x.  Stops
// when p(x) is within the rounding of its evaluation, when a step leaves x
// unchanged, when the steps stop shrinking after the sixth, or (without
// polishing) when the step is at most eps.|x|.  Returns false when the
// iterations ran out.
//
// At a point where p' and p'' both vanish (x = 0 for x^3 - 8) both
// denominators of the Laguerre step are 0.  The step there has the size
// (|p(x)| / |a[m]|)^(1/m), the distance at which the leading term alone
// would make up p(x), in a direction that turns with the iteration count
// so that a second stall does not retrace the first.
bool laguerre(const Cx *a, int m, Cx *x, double eps, bool polish) {
    double previous_dx = 0.0;
    for (int iter = 1; iter <= kLaguerreIterations; ++iter) {
        Cx b = a[m], d = {0.0, 0.0}, f = {0.0, 0.0};
        double err = cabs(b);
        const double abx = cabs(*x);
        for (int j = m - 1; j >= 0; --j) {
            f = *x * f + d;
            d = *x * d + b;
            b = *x * b + a[j];
            err = cabs(b) + abx * err;
        }
        err *= kRoundoff;
        if (cabs(b) <= err) return true;

        const Cx g = d / b;
        const Cx g2 = g * g;
        const Cx h = g2 - 2.0 * (f / b);
        const Cx s = csqrt(static_cast<double>(m - 1) * (static_cast<double>(m) * h - g2));
        const Cx gp = g + s, gm = g - s;
        const double abp = cabs(gp), abm = cabs(gm);
        Cx dx;
        if (abp == 0.0 && abm == 0.0) {
            double size = std::pow(cabs(b) / cabs(a[m]), 1.0 / m);
            if (!(size > 0.0) || !std::isfinite(size)) size = 1.0 + abx;
            const double turn = 2.399963229728653 * iter;
            dx = {size * std::cos(turn), size * std::sin(turn)};
        } else {
            dx = Cx{static_cast<double>(m), 0.0} / (abp >= abm ? gp : gm);
        }
        const Cx x_new = *x - dx;
        if (x_new.re == x->re && x_new.im == x->im) return true;
        *x = x_new;
        const double size_dx = cabs(dx);
        if (iter > 6 && size_dx >= previous_dx) return true;
        previous_dx = size_dx;
        if (!polish && size_dx <= eps * cabs(*x)) return true;
    }
    return false;
}

// All n roots of a[0..n] (n <= 4) into roots[1..n]: each found by Laguerre
// from 0 on the deflated polynomial, then (with polish) refined on the full
// one.  Returns false only for a degree out of range.
bool all_roots(const double *a, int n, Cx roots[5], bool polish) {
    if (n > 4 || n < 1) {
        if (n > 4 && quorm_checking())
            ERROR_internal(__FILE__, __LINE__, "Degree is too large in routine get_all_roots())!!!\n");
        return false;
    }
    Cx full[5], ad[5];
    for (int j = 0; j <= n; ++j) full[j] = ad[j] = Cx{a[j], 0.0};
    for (int j = n; j >= 1; --j) {
        Cx x = {0.0, 0.0};
        if (!laguerre(ad, j, &x, kLaguerreEps, false)) too_many_iterations();
        if (std::fabs(x.im) <= kDeflateRealRatio * std::fabs(x.re)) x.im = 0.0;
        roots[j] = x;
        Cx b = ad[j];
        for (int jj = j - 1; jj >= 0; --jj) {
            const Cx rem = ad[jj];
            ad[jj] = b;
            b = x * b + rem;
        }
    }
    if (polish)
        for (int j = 1; j <= n; ++j)
            if (!laguerre(full, n, &roots[j], kLaguerreEps, true)) too_many_iterations();
    return true;
}

// Writes the real parts of the roots[1..n] whose imaginary part is 0 after
// parts of at most 4e-5 of the real part are set to 0; returns the count.
int real_roots(Cx *roots, int n, double *out) {
    int count = 0;
    for (int j = 1; j <= n; ++j) {
        if (std::fabs(roots[j].im) <= kRealRatio * std::fabs(roots[j].re)) roots[j].im = 0.0;
        if (roots[j].im == 0.0) out[count++] = roots[j].re;
    }
    return count;
}

// ---------------------------------------------------------------- cubic

// Roots of the cubic c[0..3], c[3] not negligible, by the closed forms of
// the depressed cubic; the decisions between three, one, a double and a
// triple root are made against the error scales of the sums.
int cubic_core(const double c[4], double roots[3]) {
    const double e = g_extra_error;
    const double a2 = c[2] / c[3], a1 = c[1] / c[3], a0 = c[0] / c[3];
    const double m = e > 0.0 ? 1e-13 : kRoundoff;
    double running = 0.0, sp, sr, sd;
    const double p = tracked_sum({a2 * a2, -3.0 * a1}, &sp, &running);
    const double rp = tracked_sum({2.0 * a2 * a2 * a2, -9.0 * a2 * a1, 27.0 * a0}, &sr, &running);
    const double d = tracked_sum({a2 * a2 * a1 * a1, -4.0 * a1 * a1 * a1, -27.0 * a0 * a0, -4.0 * a0 * a2 * a2 * a2,
                                  18.0 * a0 * a1 * a2},
                                 &sd, &running);
    const double shift = a2 * kThird;

    if (std::fabs(p) <= m * (sp + e) && std::fabs(rp) <= m * (sr + e)) {
        roots[0] = roots[1] = roots[2] = -shift;
        return 3;
    }
    const double q = p * kNinth, r = rp * kOver54;
    if (d > 0.0 && p > 0.0) {
        const double sq = std::sqrt(q);
        const double q3 = sq * sq * sq;
        const double cos_theta = std::fabs(r) >= q3 ? (r > 0.0 ? 1.0 : -1.0) : r / q3;
        const double theta = std::acos(cos_theta);
        roots[0] = -2.0 * sq * std::cos(theta * kThird) - shift;
        roots[1] = -2.0 * sq * std::cos((theta + kTwoPi) * kThird) - shift;
        roots[2] = -2.0 * sq * std::cos((theta + kFourPi) * kThird) - shift;
        return 3;
    }
    if (std::fabs(d) > m * (2.5 * e + sd)) {
        const double big = std::cbrt(std::fabs(r) + std::sqrt(std::fabs(d) * kOver108));
        const double t = big + q / big;
        roots[0] = (r > 0.0 ? -t : t) - shift;
        return 1;
    }
    const double half = (rp < 0.0 ? -1.0 : 1.0) * std::sqrt(std::fabs(p) * kNinth);
    roots[0] = -2.0 * half - shift;
    roots[1] = roots[2] = half - shift;
    return 3;
}

// Real roots of y^2 + b.y + c as complex numbers (both of them).
void monic_quadratic(double b, double c, Cx out[2]) {
    const double disc = b * b - 4.0 * c;
    if (disc >= 0.0) {
        const double q = -0.5 * (b + (b >= 0.0 ? std::sqrt(disc) : -std::sqrt(disc)));
        out[0] = {q, 0.0};
        out[1] = {q != 0.0 ? c / q : 0.0, 0.0};
    } else {
        const double im = 0.5 * std::sqrt(-disc);
        out[0] = {-0.5 * b, im};
        out[1] = {-0.5 * b, -im};
    }
}

// The general quartic (c[4] not negligible, c[1] or c[3] not negligible).
// With x = y - a3/4 the monic quartic becomes y^4 + p.y^2 + q.y + r.  For
// the largest real root m of the resolvent 8m^3 + 8p.m^2 + (2p^2 - 8r).m -
// q^2 (positive whenever q != 0) the quartic splits into
//   (y^2 - s.y + p/2 + m + q/(2s)) (y^2 + s.y + p/2 + m - q/(2s)), s = sqrt(2m);
// when no positive m exists (q negligible) it is a quadratic in y^2.  The
// four roots so found are polished by Laguerre on the quartic itself, which
// restores full accuracy where the resolvent lost some, and the real ones
// are selected by the imaginary-part test of SOLVE_polynomial, so that a
// double real root (a complex pair within rounding of the axis) is written
// twice.  The cubic core solves the resolvent with the error scale of the
// reduced coefficients as its extra error term.
int quartic_core(const double c[5], double roots[4]) {
    const double a3 = c[3] / c[4], a2 = c[2] / c[4], a1 = c[1] / c[4], a0 = c[0] / c[4];
    double running = 0.0, sp, sq, sr;
    const double a3s = a3 * a3;
    const double p = tracked_sum({a2, -0.375 * a3s}, &sp, &running);
    const double q = tracked_sum({a1, -0.5 * a2 * a3, 0.125 * a3s * a3}, &sq, &running);
    const double r = tracked_sum({a0, -0.25 * a1 * a3, 0.0625 * a2 * a3s, -0.01171875 * a3s * a3s}, &sr, &running);

    g_extra_error = kRoundoff * running * running;
    double resolvent[4] = {-0.125 * q * q, 0.25 * p * p - r, p, 1.0};
    double m_roots[3];
    const int nm = cubic_core(resolvent, m_roots);
    double mres = m_roots[0];
    for (int k = 1; k < nm; ++k) mres = std::max(mres, m_roots[k]);

    Cx y[4];
    if (mres > 0.0 && std::isfinite(mres)) {
        const double s = std::sqrt(2.0 * mres), k = q / (2.0 * s);
        monic_quadratic(-s, 0.5 * p + mres + k, y);
        monic_quadratic(s, 0.5 * p + mres - k, y + 2);
    } else {
        Cx z[2];
        monic_quadratic(p, r, z);
        for (int k = 0; k < 2; ++k) {
            const Cx w = csqrt(z[k]);
            y[2 * k] = w;
            y[2 * k + 1] = Cx{-w.re, -w.im};
        }
    }
    Cx full[5], all[5];
    for (int j = 0; j <= 4; ++j) full[j] = Cx{c[j], 0.0};
    for (int k = 0; k < 4; ++k) {
        all[k + 1] = Cx{y[k].re - 0.25 * a3, y[k].im};
        if (!laguerre(full, 4, &all[k + 1], kLaguerreEps, true)) too_many_iterations();
    }
    return real_roots(all, 4, roots);
}

} // namespace

QUORM_API int SOLVE_quadratic(const double c[3], double roots[2]) {
    const double t = EQ_ask_number_tolerance();
    if (std::fabs(c[2]) > t) {
        double scale, running = 0.0;
        const double d = tracked_sum({c[1] * c[1], -4.0 * c[0] * c[2]}, &scale, &running);
        if (std::fabs(d) <= kRoundoff * scale) {
            roots[0] = roots[1] = -c[1] / (2.0 * c[2]);
            return 2;
        }
        if (d <= 0.0) return 0;
        const double q = c[1] >= 0.0 ? -0.5 * (c[1] + std::sqrt(d)) : -0.5 * (c[1] - std::sqrt(d));
        roots[0] = q / c[2];
        roots[1] = c[0] / q;
        return 2;
    }
    if (std::fabs(c[1]) <= t) return 0;
    roots[0] = -c[0] / c[1];
    return 1;
}

QUORM_API int SOLVE_cubic(const double c[4], double roots[3]) {
    g_extra_error = 0.0;
    const double t = EQ_ask_number_tolerance();
    if (std::fabs(c[3]) <= t) return SOLVE_quadratic(c, roots);
    if (std::fabs(c[0]) <= t * t * t) {
        const int n = SOLVE_quadratic(c + 1, roots);
        roots[n] = 0.0;
        return n + 1;
    }
    return cubic_core(c, roots);
}

QUORM_API int SOLVE_quartic(const double c[5], double roots[4]) {
    g_extra_error = 0.0;
    const double t = EQ_ask_number_tolerance();
    if (std::fabs(c[4]) <= t) return SOLVE_cubic(c, roots);
    if (std::fabs(c[0]) <= t * t * t * t) {
        const int n = SOLVE_cubic(c + 1, roots);
        roots[n] = 0.0;
        return n + 1;
    }
    if (std::fabs(c[1]) <= t && std::fabs(c[3]) <= t) {
        const double qc[3] = {c[0], c[2], c[4]};
        double y[2];
        const int ny = SOLVE_quadratic(qc, y);
        int n = 0;
        for (int k = 0; k < ny; ++k) {
            if (y[k] > 0.0) {
                roots[n++] = std::sqrt(y[k]);
                roots[n++] = -std::sqrt(y[k]);
            }
        }
        return n;
    }
    return quartic_core(c, roots);
}

QUORM_API int SOLVE_polynomial(int degree, const double *c, double *roots) {
    if (degree > 4) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Degree is too large in SOLVE_polynomial())!!!\n");
        return 0;
    }
    const double t = EQ_ask_number_tolerance();
    int n = degree;
    while (n > 0 && std::fabs(c[n]) <= t) --n;
    if (n < 1) return 0;
    Cx all[5];
    if (!all_roots(c, n, all, true)) return 0;
    return real_roots(all, n, roots);
}

// Ridders' method.  Besides the classical steps it keeps a root it meets
// exactly: a zero at the midpoint ends the search there (the square root s
// is then 0 and no Ridders step can be formed), and a function value that
// is not a number ends it with a failure instead of passing the sign tests,
// which a not-a-number never fails.  The convergence test between successive
// estimates starts with the second one.
QUORM_API int SOLVE_function_root(SOLVE_root_function_t f, void *data, double x1, double x2, double tol,
                                  double *root) {
    double f1 = f(x1, data), f2 = f(x2, data);
    if ((f1 > 0.0 && f2 > 0.0) || (f1 < 0.0 && f2 < 0.0) || std::isnan(f1) || std::isnan(f2)) return -2;
    *root = 1e20;
    for (int i = 1; i <= 20; ++i) {
        const double xm = 0.5 * (x1 + x2);
        const double fm = f(xm, data);
        if (std::isnan(fm)) return -1;
        // s = sqrt(fm^2 - f1.f2) over the three values scaled by a power of
        // two (exact), so that tiny or huge function values neither underflow
        // nor overflow in the squares and |fm| / s stays at most 1.
        int e = 0;
        const double big = std::fmax(std::fabs(fm), std::fmax(std::fabs(f1), std::fabs(f2)));
        if (big > 0.0 && std::isfinite(big)) std::frexp(big, &e);
        const double sm = quorm::times_pow2(fm, e), s1 = quorm::times_pow2(f1, e), s2 = quorm::times_pow2(f2, e);
        const double s = std::sqrt(sm * sm - s1 * s2);
        if (!(s > 0.0)) {
            if (fm != 0.0) return -1;
            *root = xm;
            return i;
        }
        // Rounding must not carry the estimate out of the bracket.
        const double lo = std::fmin(x1, x2), hi = std::fmax(x1, x2);
        const double x_new =
            std::fmin(hi, std::fmax(lo, xm + (xm - x1) * (f1 >= f2 ? 1.0 : -1.0) * sm / s));
        // The first estimate has no predecessor to compare with (the 1e20
        // placeholder is not one: a huge tol would return it as the root).
        if (i > 1 && std::fabs(x_new - *root) <= tol) return i;
        *root = x_new;
        const double fn = f(*root, data);
        if (std::isnan(fn)) return -1;
        if (fn == 0.0) return i;
        const bool neg_m = fm < 0.0, neg_n = fn < 0.0;
        if (neg_m != neg_n) {
            x1 = xm;
            f1 = fm;
            x2 = *root;
            f2 = fn;
        } else if ((f1 < 0.0) != neg_n) {
            x2 = *root;
            f2 = fn;
        } else if ((f2 < 0.0) != neg_n) {
            x1 = *root;
            f1 = fn;
        }
        if (std::fabs(x2 - x1) < tol) return i;
    }
    return -1;
}
