// Numbered plane and space geometry primitives: vectors and angles, matrices
// and frames, points, lines and projections, transformations.
#include "foundation/quorm_internal.h"

#include <quorm/kernel_geom.h>
#include <quorm/kernel_geom_space.h>
#include <quorm/kernel_toler.h>
#include <quorm/mtx3.h>
#include <quorm/solve.h>
#include <quorm/vec_numbered.h>

#include <cmath>
#include <cstddef>
#include <cstring>

QUORM_API spint_s spint = {0.0};

static_assert(sizeof(spint_s) == sizeof(double), "spint_s");

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegrees = 57.29577951308235;

// a and b equal within entry `index` of the equality-tolerance table.
bool near(double a, double b, int index = 0) {
    int out = 0;
    h805(&a, &b, &index, &out);
    return out == 1;
}

bool is_zero(double a, int index = 0) { return near(a, 0.0, index); }

inline double dot2(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1]; }
inline double dot3(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline void cross3(const double *a, const double *b, double *out) {
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

inline void sub3(const double *a, const double *b, double *out) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}

inline double dist2_2(const double *p, const double *q) {
    const double dx = p[0] - q[0], dy = p[1] - q[1];
    return dx * dx + dy * dy;
}

inline double dist2_3(const double *p, const double *q) {
    const double dx = p[0] - q[0], dy = p[1] - q[1], dz = p[2] - q[2];
    return dx * dx + dy * dy + dz * dz;
}

void mat3_vec(const double *m, const double *v, double *out) {
    const double x = m[0] * v[0] + m[1] * v[1] + m[2] * v[2];
    const double y = m[3] * v[0] + m[4] * v[1] + m[5] * v[2];
    const double z = m[6] * v[0] + m[7] * v[1] + m[8] * v[2];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void mat3t_vec(const double *m, const double *v, double *out) {
    const double x = m[0] * v[0] + m[3] * v[1] + m[6] * v[2];
    const double y = m[1] * v[0] + m[4] * v[1] + m[7] * v[2];
    const double z = m[2] * v[0] + m[5] * v[1] + m[8] * v[2];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

// Distance from p to the line through a with direction d; |p - a| when d is
// null (vunt3 with the length tolerance).
double point_line_distance(const double *p, const double *a, const double *d) {
    double w[3], e[3], c[3];
    sub3(p, a, w);
    int ok = 0;
    vunt3(d, &ok, e);
    if (!ok) return std::sqrt(dot3(w, w));
    cross3(w, e, c);
    return std::sqrt(dot3(c, c));
}

// Distance between the lines a1 + s.d1 and a2 + t.d2.
double line_line_distance(const double *a1, const double *d1, const double *a2, const double *d2) {
    double e1[3], e2[3];
    int ok1 = 0, ok2 = 0;
    vunt3(d1, &ok1, e1);
    vunt3(d2, &ok2, e2);
    if (!ok1) return point_line_distance(a1, a2, d2);
    if (!ok2) return point_line_distance(a2, a1, d1);
    double n[3], w[3];
    cross3(e1, e2, n);
    const double s = std::sqrt(dot3(n, n));
    if (is_zero(s)) return point_line_distance(a1, a2, e2);
    sub3(a2, a1, w);
    return std::fabs(dot3(w, n)) / s;
}

// Foot of p on the 2-D line a + s.d; a when d is zero.
void foot_2d(const double *a, const double *d, const double *p, double *foot) {
    const double dd = dot2(d, d);
    if (is_zero(std::sqrt(dd)) || !(dd > 0.0)) {
        foot[0] = a[0];
        foot[1] = a[1];
        return;
    }
    const double w[2] = {p[0] - a[0], p[1] - a[1]};
    const double t = dot2(w, d) / dd;
    const double x = a[0] + t * d[0], y = a[1] + t * d[1];
    foot[0] = x;
    foot[1] = y;
}

// 1 if p is nearer to r, 2 if q is, 3 if equally near (number tolerance).
int nearer(double dp, double dq) {
    if (near(dp, dq)) return 3;
    return dp < dq ? 1 : 2;
}

void identity3(double s, double *m) {
    for (int i = 0; i < 9; ++i) m[i] = (i % 4 == 0) ? s : 0.0;
}

constexpr int kLocalRows = 64;

} // namespace

extern "C" {

// ---------------------------------------------------------------- vectors

QUORM_API void h01901(const double u[3], const double v[3], double *out) {
    const double uu = dot3(u, u);
    *out = is_zero(uu) ? 0.0 : dot3(u, v) / uu;
}

QUORM_API int h041(const double v[3]) { return (is_zero(v[0]) && is_zero(v[1]) && is_zero(v[2])) ? 1 : 0; }

QUORM_API void h053a(const double *y, const double *x, double *angle) {
    if (is_zero(*y))
        *angle = 0.0;
    else if (is_zero(*x))
        *angle = (*y > 0.0) ? 0.5 * kPi : -0.5 * kPi;
    else
        *angle = std::atan(*y / *x);
}

QUORM_API void h055(const double *c, double *angle) {
    const double v = *c;
    if (std::isnan(v))
        *angle = v;
    else if (std::fabs(v) < 1.0)
        *angle = std::acos(v);
    else
        *angle = (v >= 1.0) ? 0.0 : kPi;
}

QUORM_API void h059(double *x, double *y, const double *sine, const double *cosine) {
    const double x0 = *x, y0 = *y, s = *sine, c = *cosine;
    *x = x0 * c + y0 * s;
    *y = y0 * c - x0 * s;
}

QUORM_API void h070(const double p[2], double box[4]) {
    if (p[0] < box[0]) box[0] = p[0];
    if (p[1] < box[1]) box[1] = p[1];
    if (p[0] > box[2]) box[2] = p[0];
    if (p[1] > box[3]) box[3] = p[1];
}

QUORM_API void h083(const double u[2], const double v[2], int *out) {
    const double d = dot2(u, v);
    *out = near(d, 1.0) ? 2 : near(d, -1.0) ? 3 : 1;
}

QUORM_API void h003(const double u[2], const double v[2], double *out) { *out = u[0] * v[1] - u[1] * v[0]; }

QUORM_API void h004(const double u[3], const double v[3], const double w[3], double *out) {
    double c[3];
    cross3(v, w, c);
    *out = dot3(u, c);
}

QUORM_API void h013(const double centre[3], const double *r, const double *angle, double out[3]) {
    const double z = centre[2];
    const double x = centre[0] + *r * std::cos(*angle), y = centre[1] + *r * std::sin(*angle);
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

// ---------------------------------------------------------------- matrices

QUORM_API void h100(const double v[3], const double m[9], double out[3]) { mat3_vec(m, v, out); }

QUORM_API void h105(const double v[3], const double m[9], double out[3]) { mat3t_vec(m, v, out); }

QUORM_API void h106(const double v[3], const double m[9], const double n[9], double out[3]) {
    double w[3];
    mat3t_vec(m, v, w);
    mat3_vec(n, w, out);
}

QUORM_API void h101(const double v[4], const double m[16], double out[4]) {
    double r[4];
    for (int i = 0; i < 4; ++i) r[i] = m[4 * i] * v[0] + m[4 * i + 1] * v[1] + m[4 * i + 2] * v[2] + m[4 * i + 3] * v[3];
    std::memcpy(out, r, sizeof r);
}

QUORM_API void h102(const double p[3], const double frame[12], double out[3]) {
    double w[3];
    sub3(p, frame + 9, w);
    mat3_vec(frame, w, out);
    out[2] = 0.0;
}

QUORM_API void h956(const double p[3], const double frame[12], double out[3]) {
    double r[3];
    mat3_vec(frame, p, r);
    for (int i = 0; i < 3; ++i) out[i] = r[i] + frame[9 + i];
}

QUORM_API void h110(const double m[9], double out[9]) {
    double t[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t[3 * j + i] = m[3 * i + j];
    std::memcpy(out, t, sizeof t);
}

QUORM_API void h111(const double m[16], double out[16]) {
    double t[16];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) t[4 * j + i] = m[4 * i + j];
    std::memcpy(out, t, sizeof t);
}

QUORM_API void h120(const double a[9], const double b[9], double out[9]) {
    MTX3_s ma, mb, mo;
    std::memcpy(ma.elem, a, sizeof ma.elem);
    std::memcpy(mb.elem, b, sizeof mb.elem);
    MTX3_multiply(&ma, &mb, &mo);
    std::memcpy(out, mo.elem, sizeof mo.elem);
}

QUORM_API void h125(const double m[9], double inv[9], int *singular) {
    // Adjugate: the cofactors, transposed.
    const double c[9] = {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                         m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                         m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
    const double det = m[0] * c[0] + m[1] * c[3] + m[2] * c[6];
    if (is_zero(det) || !std::isfinite(det)) {
        *singular = 1;
        return;
    }
    for (int i = 0; i < 9; ++i) inv[i] = c[i] / det;
    *singular = 0;
}

QUORM_API int h126a(double **a, const int *pn, double **inv) {
    const int n = *pn;
    if (n <= 0) {
        if (n < 0 && quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "matrix size %d", n);
        return n < 0 ? 1 : 0;
    }
    int local_index[kLocalRows];
    double local_col[kLocalRows];
    int *index = local_index;
    double *col = local_col;
    if (n > kLocalRows) {
        index = static_cast<int *>(SM_alloc(static_cast<std::size_t>(n) * sizeof(int)));
        col = static_cast<double *>(SM_alloc(static_cast<std::size_t>(n) * sizeof(double)));
    }
    double parity = 1.0;
    int status = ludcmp_a(a, n, index, &parity);
    // The decomposition puts a tiny number in place of a pivot that came
    // out exactly 0 and reports success: such a matrix is singular too.
    for (int j = 0; j < n && status == 0; ++j)
        if (a[j][j] == QUORM_LU_ZERO_PIVOT || !std::isfinite(a[j][j])) status = 1;
    if (status == 0) {
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) col[i] = (i == j) ? 1.0 : 0.0;
            lubksb_a(a, n, index, col);
            for (int i = 0; i < n; ++i) inv[i][j] = col[i];
        }
    }
    if (n > kLocalRows) {
        SM_free(index);
        SM_free(col);
    }
    return status;
}

QUORM_API void h130(const double m[9], double out[16]) {
    double r[16];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r[4 * i + j] = m[3 * i + j];
        r[4 * i + 3] = 0.0;
    }
    r[12] = r[13] = r[14] = 0.0;
    r[15] = 1.0;
    std::memcpy(out, r, sizeof r);
}

QUORM_API void h160(double m[9]) { identity3(1.0, m); }

QUORM_API void h1600(const double point[3], const double origin[3], double normal[3], int *side) {
    double w[3];
    sub3(point, origin, w);
    const double d = dot3(w, normal);
    if (is_zero(d)) {
        *side = 0;
        return;
    }
    *side = 1;
    if (d < 0.0)
        for (int i = 0; i < 3; ++i) normal[i] = -normal[i];
}

QUORM_API double h128(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return 0.5;
    const double lo_ab = a < b ? a : b, hi_ab = a < b ? b : a;
    double lo = 0.0, hi = 1.0;
    // Each step halves [lo, hi]; after 60 halvings no dyadic midpoint is
    // left that could still fall strictly between two distinct doubles
    // worth separating, and a = b or both ends outside (0, 1) never stop.
    for (int step = 0; step < 60; ++step) {
        const double mid = 0.5 * (lo + hi);
        if (lo_ab < mid && mid < hi_ab) return mid;
        if (mid <= lo_ab)
            lo = mid;
        else
            hi = mid;
    }
    double m = 0.5 * lo_ab + 0.5 * hi_ab;
    if (!(m > 0.0)) m = 0.0;
    if (m > 1.0) m = 1.0;
    return m;
}

// ---------------------------------------------------------------- points

QUORM_API void h200(const double p[2], const double q[2], double *out) { *out = dist2_2(p, q); }
QUORM_API void h300(const double p[3], const double q[3], double *out) { *out = dist2_3(p, q); }
QUORM_API void h201(const double p[2], const double q[2], double *out) { *out = std::sqrt(dist2_2(p, q)); }
QUORM_API void h301(const double p[3], const double q[3], double *out) { *out = std::sqrt(dist2_3(p, q)); }

QUORM_API void h302(const double p[3], const double q[3], int *out) { *out = is_zero(dist2_3(p, q), 2) ? 1 : 0; }
QUORM_API void h306(const double p[3], const double q[3], int *out) { *out = is_zero(dist2_3(p, q), 7) ? 1 : 0; }

QUORM_API void h203(const double p[2], const double q[2], const double r[2], int *out) {
    *out = nearer(std::sqrt(dist2_2(p, r)), std::sqrt(dist2_2(q, r)));
}

QUORM_API void h303(const double p[3], const double q[3], const double r[3], int *out) {
    *out = nearer(std::sqrt(dist2_3(p, r)), std::sqrt(dist2_3(q, r)));
}

QUORM_API void h307(const double p[3], const double q[3], const double *d, int *out) {
    *out = std::sqrt(dist2_3(p, q)) <= std::fabs(*d) ? 1 : 0;
}

QUORM_API void h205(const double x[3], double seg[6], int *out) {
    const double len = dist2_3(seg, seg + 3);
    const double to_a = dist2_3(x, seg), to_b = dist2_3(x, seg + 3);
    double *end = nullptr;
    if (to_a < to_b && to_b > len)
        end = seg;
    else if (to_b < to_a && to_a > len)
        end = seg + 3;
    if (end == nullptr) {
        *out = 0;
        return;
    }
    const double x0 = x[0], x1 = x[1], x2 = x[2];
    end[0] = x0;
    end[1] = x1;
    end[2] = x2;
    *out = 1;
}

QUORM_API void h220(const double centre[2], const double *r, const double *angle, double out[2]) {
    const double x = centre[0] + *r * std::cos(*angle), y = centre[1] + *r * std::sin(*angle);
    out[0] = x;
    out[1] = y;
}

QUORM_API void h224(const double p[2], const double q[2], const double centre[2], double angles[2]) {
    const double py = p[1] - centre[1], px = p[0] - centre[0];
    const double qy = q[1] - centre[1], qx = q[0] - centre[0];
    h053(&py, &px, &angles[0]);
    h053(&qy, &qx, &angles[1]);
}

QUORM_API void h221(const double p[2], const double q[2], const double centre[2], double angles[2]) {
    h224(p, q, centre, angles);
    angles[0] *= kDegrees;
    angles[1] *= kDegrees;
}

QUORM_API void h270(const double p[2], const double o[2], const double *cosine, const double *sine, double out[2]) {
    const double dx = p[0] - o[0], dy = p[1] - o[1], c = *cosine, s = *sine;
    out[0] = dx * c + dy * s;
    out[1] = dy * c - dx * s;
}

QUORM_API void h271(const double p[2], const double o[2], const double *cosine, const double *sine, double out[2]) {
    const double dx = p[0] - o[0], dy = p[1] - o[1], c = *cosine, s = *sine;
    const double ox = o[0], oy = o[1];
    out[0] = ox + dx * c - dy * s;
    out[1] = oy + dy * c + dx * s;
}

QUORM_API void h272a(const double a[2], const double b[2], double dir[2], double *moment) {
    const double ax = a[0], ay = a[1];
    const double dx = b[0] - ax, dy = b[1] - ay;
    dir[0] = dx;
    dir[1] = dy;
    *moment = dy * ax - ay * dx;
}

QUORM_API void h310(const double p[3], const double a[3], const double dir[3], double *dist) {
    *dist = point_line_distance(p, a, dir);
}

QUORM_API void h311(const double p[3], const double a[3], const double b[3], double *dist) {
    double d[3];
    sub3(b, a, d);
    *dist = point_line_distance(p, a, d);
}

QUORM_API void h315(const double a1[3], const double d1[3], const double a2[3], const double d2[3], double *dist) {
    *dist = line_line_distance(a1, d1, a2, d2);
}

QUORM_API void h313(const double a1[3], const double b1[3], const double a2[3], const double b2[3], double *dist) {
    double d1[3], d2[3];
    sub3(b1, a1, d1);
    sub3(b2, a2, d2);
    *dist = line_line_distance(a1, d1, a2, d2);
}

QUORM_API void h401(const double a[2], const double d[2], const double p[2], double foot[2]) { foot_2d(a, d, p, foot); }

QUORM_API void h400(const double a[2], const double b[2], const double p[2], double foot[2]) {
    const double d[2] = {b[0] - a[0], b[1] - a[1]};
    foot_2d(a, d, p, foot);
}

QUORM_API void h402(const double a[3], const double *d, const double b[3], double out[3]) {
    double dir[3], e[3];
    sub3(b, a, dir);
    int ok = 0;
    vunt3(dir, &ok, e);
    const double s = ok ? *d : 0.0;
    for (int i = 0; i < 3; ++i) out[i] = a[i] + s * e[i];
}

QUORM_API void h600(const double a[2], const double b[2], const double c[2], const double d[2], int *status,
                    double x[2]) {
    const double u[2] = {b[0] - a[0], b[1] - a[1]};
    const double v[2] = {d[0] - c[0], d[1] - c[1]};
    const double lu = std::sqrt(dot2(u, u)), lv = std::sqrt(dot2(v, v));
    const double cross = u[0] * v[1] - u[1] * v[0];
    // The sine of the angle between the lines decides, so that the test does
    // not depend on how far apart the defining points are.
    if (!(lu > 0.0) || !(lv > 0.0) || is_zero(cross / (lu * lv)) || !std::isfinite(cross)) {
        *status = 1;
        return;
    }
    const double w[2] = {c[0] - a[0], c[1] - a[1]};
    const double t = (w[0] * v[1] - w[1] * v[0]) / cross;
    const double px = a[0] + t * u[0], py = a[1] + t * u[1];
    x[0] = px;
    x[1] = py;
    *status = 2;
}

// ---------------------------------------------------------------- transformations

QUORM_API void h922(const double *s, double m[9]) { identity3(*s, m); }

QUORM_API void h923(const double axis[3], const double *angle, double m[9]) {
    const double c = std::cos(*angle), s = std::sin(*angle), t = 1.0 - c;
    const double x = axis[0], y = axis[1], z = axis[2];
    const double r[9] = {t * x * x + c,     t * x * y - s * z, t * x * z + s * y,
                         t * x * y + s * z, t * y * y + c,     t * y * z - s * x,
                         t * x * z - s * y, t * y * z + s * x, t * z * z + c};
    std::memcpy(m, r, sizeof r);
}

QUORM_API void h924(const double n[3], double m[9]) {
    double r[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r[3 * i + j] = (i == j ? 1.0 : 0.0) - 2.0 * n[i] * n[j];
    std::memcpy(m, r, sizeof r);
}

QUORM_API void h963(const double v[3], const double m[9], double out[3]) { mat3_vec(m, v, out); }

QUORM_API void h962(const double v[3], const double m[9], double out[3]) {
    double w[3];
    mat3_vec(m, v, w);
    int ok = 0;
    vunt3(w, &ok, out);
}

QUORM_API void h961(const double *s, const double frame[13], double *out) { *out = *s * std::fabs(frame[12]); }

QUORM_API void h099(const double w[3], double frame[9]) {
    const double w0 = w[0], w1 = w[1], w2 = w[2];
    double first[3];
    if (std::fabs(w1) > 0.9) {
        first[0] = 0.0;
        first[1] = w2;
        first[2] = -w1;
    } else {
        first[0] = w2;
        first[1] = 0.0;
        first[2] = -w0;
    }
    int ok = 0;
    vunt3(first, &ok, frame);
    const double third[3] = {w0, w1, w2};
    cross3(third, frame, frame + 3);
    frame[6] = w0;
    frame[7] = w1;
    frame[8] = w2;
}

} // extern "C"
