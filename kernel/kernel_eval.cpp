// Bezier and B-spline segment evaluation: points, first derivatives and
// derivatives of any order of one (homogeneous) polynomial piece, and the
// point with both partial derivatives of a tensor-product Bezier patch.
//
// Every evaluation starts from the end of the interval nearer to t: the
// polygon is read in reverse order when t lies in the upper half, with the
// local parameter measured from t1.  Each step of de Casteljau's construction
// is then a blend (1 - s).Q + s.R with |s| <= 1/2 inside the interval, which
// returns the end points exactly at t0 and t1 and keeps the rounding error
// near that of the Bernstein sum for parameters outside the interval too.
#include "foundation/quorm_internal.h"

#include <quorm/kernel_eval.h>

#include <cstring>

namespace {

constexpr int kMaxDegree = QUORM_KERNEL_MAX_DEGREE;
constexpr int kWork = kMaxDegree + 1; // work array length in homogeneous points

// The local parameter of t and the order in which the polygon is read.  When
// `reversed`, s is measured from t1 towards t0 and the polygon runs from Pn.
struct Local {
    double s;
    double h; // t1 - t0
    bool reversed;
};

inline Local local_parameter(double t0, double t1, double t) {
    Local l;
    l.h = t1 - t0;
    const double below = t - t0, above = t1 - t;
    l.reversed = !(above > below);
    l.s = (l.reversed ? above : below) / l.h;
    return l;
}

// Copies the n + 1 points of poly into q, in reverse order when asked.
inline void load(const double *poly, int n, bool reversed, double *q) {
    if (!reversed) {
        std::memcpy(q, poly, sizeof(double) * 4 * (n + 1));
        return;
    }
    for (int i = 0; i <= n; ++i) std::memcpy(q + 4 * i, poly + 4 * (n - i), sizeof(double) * 4);
}

// out = (1 - s).a + s.b for one homogeneous point.
inline void blend(const double *a, const double *b, double r, double s, double *out) {
    out[0] = r * a[0] + s * b[0];
    out[1] = r * a[1] + s * b[1];
    out[2] = r * a[2] + s * b[2];
    out[3] = r * a[3] + s * b[3];
}

// Runs `levels` levels of de Casteljau's construction in place over q[0..n]:
// in level r, q[j] becomes the blend of q[j] and q[j+1] for j = 0..n-r.
inline void casteljau(double *q, int n, int levels, double s) {
    const double r = 1.0 - s;
    for (int level = 1; level <= levels; ++level) {
        const int last = n - level;
        for (int j = 0; j <= last; ++j) blend(q + 4 * j, q + 4 * j + 4, r, s, q + 4 * j);
    }
}

inline void zero4(double *v) { v[0] = v[1] = v[2] = v[3] = 0.0; }

inline void copy4(const double *from, double *to) { std::memcpy(to, from, sizeof(double) * 4); }

// out = f.(b - a)
inline void scaled_difference(const double *a, const double *b, double f, double *out) {
    out[0] = f * (b[0] - a[0]);
    out[1] = f * (b[1] - a[1]);
    out[2] = f * (b[2] - a[2]);
    out[3] = f * (b[3] - a[3]);
}

// A degree outside 0..24 would run past the work arrays.  It is refused while
// checking; at level 0 the caller writes zeros instead.
bool degree_ok(int n) {
    if (n >= 0 && n <= kMaxDegree) return true;
    if (quorm_checking())
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "degree %d outside 0..%d", n, kMaxDegree);
    return false;
}

// General point and first derivative of a Bezier piece of degree n
// (0..24).  deriv may be null.
void bezier_point_deriv(int n, double t0, double t1, const double *poly, double t, double *point, double *deriv) {
    if (n == 0) {
        copy4(poly, point);
        if (deriv) zero4(deriv);
        return;
    }
    const Local l = local_parameter(t0, t1, t);
    double q[4 * kWork];
    // n >= 1 here, so q[0..7] are loaded (the optimiser cannot see that).
    if (n < 1) __builtin_unreachable();
    load(poly, n, l.reversed, q);
    casteljau(q, n, n - 1, l.s);
    // q[0] and q[1] are the last-but-one level (in reading order).
    if (deriv) scaled_difference(q, q + 4, (l.reversed ? -n : n) / l.h, deriv);
    blend(q, q + 4, 1.0 - l.s, l.s, point);
}

// ---- unrolled degrees 2 to 5 -------------------------------------------------
//
// The polygon points are picked from the nearer end with conditional pointer
// selection, so that the code has no data-dependent branch.

#define QUORM_PICK(i, n) (l.reversed ? poly + 4 * ((n) - (i)) : poly + 4 * (i))

inline void unrolled2(const double *iv, const double *poly, double t, double *point, double *deriv) {
    const Local l = local_parameter(iv[0], iv[1], t);
    const double *p0 = QUORM_PICK(0, 2), *p1 = QUORM_PICK(1, 2), *p2 = QUORM_PICK(2, 2);
    const double s = l.s, r = 1.0 - s, f = (l.reversed ? -2.0 : 2.0) / l.h;
    for (int c = 0; c < 4; ++c) {
        const double a = r * p0[c] + s * p1[c];
        const double b = r * p1[c] + s * p2[c];
        point[c] = r * a + s * b;
        deriv[c] = f * (b - a);
    }
}

inline void unrolled3(const double *iv, const double *poly, double t, double *point, double *deriv) {
    const Local l = local_parameter(iv[0], iv[1], t);
    const double *p0 = QUORM_PICK(0, 3), *p1 = QUORM_PICK(1, 3), *p2 = QUORM_PICK(2, 3), *p3 = QUORM_PICK(3, 3);
    const double s = l.s, r = 1.0 - s, f = (l.reversed ? -3.0 : 3.0) / l.h;
    for (int c = 0; c < 4; ++c) {
        const double a0 = r * p0[c] + s * p1[c];
        const double a1 = r * p1[c] + s * p2[c];
        const double a2 = r * p2[c] + s * p3[c];
        const double b0 = r * a0 + s * a1;
        const double b1 = r * a1 + s * a2;
        point[c] = r * b0 + s * b1;
        deriv[c] = f * (b1 - b0);
    }
}

template <bool kDeriv>
inline void unrolled4(const double *iv, const double *poly, double t, double *point, double *deriv) {
    const Local l = local_parameter(iv[0], iv[1], t);
    const double *p0 = QUORM_PICK(0, 4), *p1 = QUORM_PICK(1, 4), *p2 = QUORM_PICK(2, 4), *p3 = QUORM_PICK(3, 4),
                 *p4 = QUORM_PICK(4, 4);
    const double s = l.s, r = 1.0 - s, f = (l.reversed ? -4.0 : 4.0) / l.h;
    for (int c = 0; c < 4; ++c) {
        const double a0 = r * p0[c] + s * p1[c];
        const double a1 = r * p1[c] + s * p2[c];
        const double a2 = r * p2[c] + s * p3[c];
        const double a3 = r * p3[c] + s * p4[c];
        const double b0 = r * a0 + s * a1;
        const double b1 = r * a1 + s * a2;
        const double b2 = r * a2 + s * a3;
        const double c0 = r * b0 + s * b1;
        const double c1 = r * b1 + s * b2;
        point[c] = r * c0 + s * c1;
        if (kDeriv) deriv[c] = f * (c1 - c0);
    }
}

template <bool kDeriv>
inline void unrolled5(const double *iv, const double *poly, double t, double *point, double *deriv) {
    const Local l = local_parameter(iv[0], iv[1], t);
    const double *p0 = QUORM_PICK(0, 5), *p1 = QUORM_PICK(1, 5), *p2 = QUORM_PICK(2, 5), *p3 = QUORM_PICK(3, 5),
                 *p4 = QUORM_PICK(4, 5), *p5 = QUORM_PICK(5, 5);
    const double s = l.s, r = 1.0 - s, f = (l.reversed ? -5.0 : 5.0) / l.h;
    for (int c = 0; c < 4; ++c) {
        const double a0 = r * p0[c] + s * p1[c];
        const double a1 = r * p1[c] + s * p2[c];
        const double a2 = r * p2[c] + s * p3[c];
        const double a3 = r * p3[c] + s * p4[c];
        const double a4 = r * p4[c] + s * p5[c];
        const double b0 = r * a0 + s * a1;
        const double b1 = r * a1 + s * a2;
        const double b2 = r * a2 + s * a3;
        const double b3 = r * a3 + s * a4;
        const double c0 = r * b0 + s * b1;
        const double c1 = r * b1 + s * b2;
        const double c2 = r * b2 + s * b3;
        const double d0 = r * c0 + s * c1;
        const double d1 = r * c1 + s * c2;
        point[c] = r * d0 + s * d1;
        if (kDeriv) deriv[c] = f * (d1 - d0);
    }
}

// Quadratic point: P0 + 2s.d0 + s^2.(d1 - d0) from the nearer end.
inline void point2(const double *iv, const double *poly, double t, double *point) {
    const Local l = local_parameter(iv[0], iv[1], t);
    const double *p0 = QUORM_PICK(0, 2), *p1 = QUORM_PICK(1, 2), *p2 = QUORM_PICK(2, 2);
    const double s = l.s;
    for (int c = 0; c < 4; ++c) {
        const double d0 = p1[c] - p0[c], d1 = p2[c] - p1[c];
        point[c] = p0[c] + s * (d0 + (d0 + s * (d1 - d0)));
    }
}

// Cubic point in forward-difference form, P0 + b0.d0 + b1.d1 + b2.d2 with
// b0 = 3s - 3s^2 + s^3, b1 = 3s^2 - 2s^3, b2 = s^3, from the nearer end.
inline void point3(const double *iv, const double *poly, double t, double *point) {
    const Local l = local_parameter(iv[0], iv[1], t);
    const double *p0 = QUORM_PICK(0, 3), *p1 = QUORM_PICK(1, 3), *p2 = QUORM_PICK(2, 3), *p3 = QUORM_PICK(3, 3);
    const double s = l.s, s2 = s * s, s3 = s2 * s;
    const double b0 = 3.0 * s - 3.0 * s2 + s3, b1 = 3.0 * s2 - 2.0 * s3, b2 = s3;
    for (int c = 0; c < 4; ++c)
        point[c] = p0[c] + b0 * (p1[c] - p0[c]) + b1 * (p2[c] - p1[c]) + b2 * (p3[c] - p2[c]);
}

#undef QUORM_PICK

} // namespace

extern "C" {

QUORM_API void h0900(const int *n, const double *knots, const double *poly, const double *t, double point[4]) {
    const int deg = *n;
    switch (deg) {
    case 2:
        point2(knots + 2, poly, *t, point);
        return;
    case 3:
        point3(knots + 3, poly, *t, point);
        return;
    case 4:
        unrolled4<false>(knots + 4, poly, *t, point, nullptr);
        return;
    case 5:
        unrolled5<false>(knots + 5, poly, *t, point, nullptr);
        return;
    default:
        break;
    }
    if (!degree_ok(deg)) {
        zero4(point);
        return;
    }
    if (deg == 0) {
        copy4(poly, point);
        return;
    }
    const Local l = local_parameter(knots[deg], knots[deg + 1], *t);
    double q[4 * kWork];
    load(poly, deg, l.reversed, q);
    casteljau(q, deg, deg, l.s);
    copy4(q, point);
}

QUORM_API void h0901(const int *n, const double *knots, const double *poly, const double *t, double point[4]) {
    const int deg = *n;
    if (!degree_ok(deg)) {
        zero4(point);
        return;
    }
    if (deg == 0) {
        copy4(poly, point);
        return;
    }
    const double x = *t;
    // left[i] = t - k[i], right[i] = k[n+i] - t for i = 1..n.  The mirrored
    // piece (t -> -t, knots reversed) has the two rows exchanged and
    // reversed: left[i] = k[2n+1-i] - t, right[i] = t - k[n+1-i].
    const bool reversed = !(knots[deg + 1] - x > x - knots[deg]);
    double left[kWork], right[kWork];
    if (!reversed) {
        for (int i = 1; i <= deg; ++i) {
            left[i] = x - knots[i];
            right[i] = knots[deg + i] - x;
        }
    } else {
        for (int i = 1; i <= deg; ++i) {
            left[i] = knots[2 * deg + 1 - i] - x;
            right[i] = x - knots[deg + 1 - i];
        }
    }
    double q[4 * kWork];
    load(poly, deg, reversed, q);
    // Level r: the point i (r..n) becomes the blend of points i-1 and i over
    // the knots k[i] and k[i+n+1-r]; it is written over point i-1, walking
    // upwards, so that q[0..n-r] hold the level.
    for (int r = 1; r <= deg; ++r) {
        for (int i = r; i <= deg; ++i) {
            const double dl = left[i], dr = right[i + 1 - r];
            const double inv = 1.0 / (dl + dr);
            blend(q + 4 * (i - r), q + 4 * (i - r + 1), dr * inv, dl * inv, q + 4 * (i - r));
        }
    }
    copy4(q, point);
}

QUORM_API void h0902(const double *interval, const double *poly, const double *t, double point[4], double deriv[4]) {
    unrolled2(interval, poly, *t, point, deriv);
}

QUORM_API void h0903(const double *interval, const double *poly, const double *t, double point[4], double deriv[4]) {
    unrolled3(interval, poly, *t, point, deriv);
}

QUORM_API void h0904(const double *interval, const double *poly, const double *t, double point[4], double deriv[4]) {
    unrolled4<true>(interval, poly, *t, point, deriv);
}

QUORM_API void h0905(const double *interval, const double *poly, const double *t, double point[4], double deriv[4]) {
    unrolled5<true>(interval, poly, *t, point, deriv);
}

QUORM_API void h0908(const int *n, const double *knots, const double *poly, const double *t, double point[4],
                     double deriv[4]) {
    const int deg = *n;
    switch (deg) {
    case 2:
        unrolled2(knots + 2, poly, *t, point, deriv);
        return;
    case 3:
        unrolled3(knots + 3, poly, *t, point, deriv);
        return;
    case 4:
        unrolled4<true>(knots + 4, poly, *t, point, deriv);
        return;
    case 5:
        unrolled5<true>(knots + 5, poly, *t, point, deriv);
        return;
    default:
        break;
    }
    if (!degree_ok(deg)) {
        zero4(point);
        zero4(deriv);
        return;
    }
    bezier_point_deriv(deg, knots[deg], knots[deg + 1], poly, *t, point, deriv);
}

QUORM_API void h0909(const int *n, const double *knots, const double *poly, const double *t, const int *m,
                     double result[4]) {
    const int deg = *n, order = *m;
    if (!degree_ok(deg)) {
        zero4(result);
        return;
    }
    if (order < 0) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "negative derivative order %d", order);
        zero4(result);
        return;
    }
    if (order > deg) {
        zero4(result);
        return;
    }
    const Local l = local_parameter(knots[deg], knots[deg + 1], *t);
    double q[4 * kWork];
    load(poly, deg, l.reversed, q);
    // The m-th derivative is (n!/(n-m)!)/h^m times the Bezier polynomial of
    // degree n - m whose points are the m-th differences of the polygon
    // (differencing first keeps the differences free of the subdivision's
    // rounding).  Differences of the reversed polygon alternate in sign.
    double factor = 1.0;
    for (int i = 0; i < order; ++i) {
        const int last = deg - i - 1;
        for (int j = 0; j <= last; ++j) scaled_difference(q + 4 * j, q + 4 * j + 4, 1.0, q + 4 * j);
        factor *= (l.reversed ? -(deg - i) : (deg - i)) / l.h;
    }
    casteljau(q, deg - order, deg - order, l.s);
    for (int c = 0; c < 4; ++c) result[c] = factor * q[c];
}

QUORM_API void h4301(const int degrees[2], const double *knots_u, const double *knots_v, const double *net,
                     const double uv[2], double point[4], double du[4], double dv[4]) {
    const int nu = degrees[0], nv = degrees[1];
    if (!degree_ok(nu) || !degree_ok(nv)) {
        zero4(point);
        zero4(du);
        zero4(dv);
        return;
    }
    // Each row in the first direction at u gives a point and a u-derivative;
    // the column of points, evaluated at v, gives the point and the
    // v-derivative, the column of u-derivatives the u-derivative.
    double rows[4 * kWork], rows_u[4 * kWork];
    for (int j = 0; j <= nv; ++j)
        h0908(&nu, knots_u, net + 4 * QUORM_KERNEL_NET_ROW * j, &uv[0], rows + 4 * j, rows_u + 4 * j);
    h0908(&nv, knots_v, rows, &uv[1], point, dv);
    h0900(&nv, knots_v, rows_u, &uv[1], du);
}

} // extern "C"
