// Vector algebra over bare arrays of three doubles, with the family's fixed
// tolerances, 3x4 systems and 12-double transforms.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace quorm;

namespace {

const double pi = 3.14159265358979323846;

// Prints the family's message line and raises code 17.  The line goes out
// before the raise so that a console user sees it even when the error is
// caught far away.
[[noreturn]] void fail(const char *file, int line, const char *printed, const char *raised) {
    std::printf("%s", printed);
    std::fflush(stdout);
    ERROR_raise(file, line, QUORM_ERR_VECTOR_ALGEBRA, "%s", raised);
}

// Divides a by its length; a vector shorter than 1e-4 cannot be unitized.
void unit_or_raise(double *a) {
    double l = std::sqrt(length2(a));
    if (l < 1e-4) fail(__FILE__, __LINE__, "\nERROR: zero vector in unitize\n", "tried to unitize null vector");
    for (int i = 0; i < 3; ++i) a[i] /= l;
}

double determinant(const double *m) {
    return m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
           m[2] * (m[4] * m[9] - m[5] * m[8]);
}

void solve_3(const double *m, double *out) {
    double det = determinant(m);
    // The determinant is compared with the size of the matrix (the product
    // of its row lengths, which bounds it), so that a singular system of
    // large coefficients cannot pass for a regular one.
    const double size = std::sqrt(length2(m)) * std::sqrt(length2(m + 4)) * std::sqrt(length2(m + 8));
    if (!(std::fabs(det) >= 1e-8 * size))
        fail(__FILE__, __LINE__, "\nERROR: zero determinant in 3 by 3 system\n", "zero determinant in linear system");
    // Cramer's rule: unknown i is det(A with column i replaced by b) / det A.
    double a[12];
    double x[3];
    for (int i = 0; i < 3; ++i) {
        std::memcpy(a, m, sizeof a);
        for (int r = 0; r < 3; ++r) a[4 * r + i] = m[4 * r + 3];
        x[i] = determinant(a) / det;
    }
    copy(x, out);
}

// q + (p.d - q.d) d
void project_onto_line(const double *p, const double *d, const double *q, double *out) {
    double t = dot(p, d) - dot(q, d);
    scale_add(t, d, q, out);
}

} // namespace

extern "C" {

QUORM_API void MC_v_copy(const double from[3], double to[3]) { copy(from, to); }

QUORM_API void MC_AmB(const double a[3], const double b[3], double out[3]) { sub(a, b, out); }

QUORM_API void MC_ApB(const double a[3], const double b[3], double out[3]) { add(a, b, out); }

QUORM_API void MC_aA(double s, const double a[3], double out[3]) { scale(s, a, out); }

QUORM_API void MC_aApB(double s, const double a[3], const double b[3], double out[3]) { scale_add(s, a, b, out); }

QUORM_API void MC_AxB(const double a[3], const double b[3], double out[3]) { cross(a, b, out); }

QUORM_API double MC_A_dot_B(const double a[3], const double b[3]) { return dot(a, b); }

QUORM_API double MC_triple_product(const double a[3], const double b[3], const double c[3]) {
    double axb[3];
    cross(a, b, axb);
    return dot(axb, c);
}

QUORM_API double MC_length(const double a[3]) { return std::sqrt(length2(a)); }

QUORM_API double MC_length2(const double a[3]) { return length2(a); }

QUORM_API double MC_dist(const double a[3], const double b[3]) { return std::sqrt(dist2(a, b)); }

QUORM_API double MC_dist2(const double a[3], const double b[3]) { return dist2(a, b); }

QUORM_API void MC_v_unit(double a[3]) { unit_or_raise(a); }

QUORM_API bool MC_q_parallel(const double a[3], const double b[3]) {
    double c[3];
    cross(a, b, c);
    return length2(c) < 1.7453292519943296e-05;
}

QUORM_API bool MC_q_perp(const double a[3], const double b[3]) { return std::fabs(dot(a, b)) < 1e-4; }

QUORM_API double MC_get_angle(const double a[3], const double b[3]) {
    double c = dot(a, b);
    if (c > 0.9999999) return 0.0;
    if (c < -0.9999999) return pi;
    return std::acos(c);
}

QUORM_API double MC_determinant(const double m[12]) { return determinant(m); }

QUORM_API void MC_solve_3(const double m[12], double out[3]) { solve_3(m, out); }

QUORM_API double MC_dist_lines(const double d1[3], const double p1[3], const double d2[3], const double p2[3]) {
    double c[3], w[3];
    cross(d1, d2, c);
    sub(p1, p2, w);
    if (length2(c) < 1e-8) {
        // Parallel: measure w across d1, in the plane of d1 and w.
        if (length2(w) < 1e-8) return 0.0;
        double t[3], across[3];
        cross(w, d1, t);
        if (length2(t) < 1e-8) return 0.0; // the same line
        cross(d1, t, across);
        unit_or_raise(across);
        return std::fabs(dot(w, across));
    }
    unit_or_raise(c);
    return std::fabs(dot(c, w));
}

QUORM_API double MC_signed_dist_planes(const double n1[3], double d1, const double n2[3], double d2) {
    if (!MC_q_parallel(n1, n2)) return 0.0;
    return (dot(n1, n2) > 0.0 ? d2 : -d2) - d1;
}

QUORM_API double MC_signed_dist_plane_axis(const double n[3], double d, const double direction[3],
                                           const double point[3]) {
    if (!MC_q_perp(n, direction)) return 0.0;
    return dot(n, point) - d;
}

QUORM_API void MC_axis_plane_x(const double direction[3], const double point[3], const double n[3], double d,
                               double out[3]) {
    // Row 0 is the plane; the other two are the components of
    // (x - point) x direction = 0 that involve the direction's largest
    // component, so that they are independent.
    const double dx = direction[0], dy = direction[1], dz = direction[2];
    const double px = point[0], py = point[1], pz = point[2];
    const double ax = std::fabs(dx), ay = std::fabs(dy), az = std::fabs(dz);
    const double row_x[4] = {0.0, dz, -dy, py * dz - pz * dy};
    const double row_y[4] = {-dz, 0.0, dx, pz * dx - px * dz};
    const double row_z[4] = {dy, -dx, 0.0, px * dy - py * dx};
    const double *r1, *r2;
    if (ax >= ay && ax >= az) {
        r1 = row_y;
        r2 = row_z;
    } else if (ay > ax && ay >= az) {
        r1 = row_x;
        r2 = row_z;
    } else {
        r1 = row_x;
        r2 = row_y;
    }
    double m[12] = {n[0], n[1], n[2], d};
    std::memcpy(m + 4, r1, 4 * sizeof(double));
    std::memcpy(m + 8, r2, 4 * sizeof(double));
    solve_3(m, out);
}

QUORM_API void MC_perp_vec(const double v[3], double out[3]) {
    const double x = v[0], y = v[1], z = v[2];
    const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    double p[3];
    if (ax > 0.5) {
        p[0] = -y / x, p[1] = 1.0, p[2] = 0.0;
    } else if (ay > 0.5) {
        p[0] = 1.0, p[1] = -x / y, p[2] = 0.0;
    } else if (az >= ax && az >= ay) {
        // For a unit v this is the only case left (|z| >= 1/sqrt 2).
        if (az == 0.0) fail(__FILE__, __LINE__, "\nERROR: zero vector in unitize\n", "tried to unitize null vector");
        p[0] = 1.0, p[1] = 0.0, p[2] = -x / z;
    } else if (ax >= ay) {
        // A short v whose z is not its largest component: dividing by z
        // would give an infinite or NaN result, so divide by x or y instead.
        p[0] = -y / x, p[1] = 1.0, p[2] = 0.0;
    } else {
        p[0] = 1.0, p[1] = -x / y, p[2] = 0.0;
    }
    unit_or_raise(p);
    copy(p, out);
}

QUORM_API void MC_proj_point_onto_line(const double p[3], const double d[3], const double q[3], double out[3]) {
    project_onto_line(p, d, q, out);
}

QUORM_API void MC_perp_from_line_to_point(const double p[3], const double d[3], const double q[3], double out[3]) {
    double foot[3], r[3];
    project_onto_line(p, d, q, foot);
    sub(p, foot, r);
    unit_or_raise(r);
    copy(r, out);
}

QUORM_API bool MC_q_point_on_line(const double p[3], const double d[3], const double q[3]) {
    double foot[3];
    project_onto_line(p, d, q, foot);
    return dist2(p, foot) <= 1e-8;
}

QUORM_API void MC_proj_point_onto_plane(const double p[3], const double n[3], double d, double out[3]) {
    double t = dot(p, n) - d;
    scale_add(-t, n, p, out);
}

QUORM_API void MC_apply_transform_to_point(const double m[12], const double p[3], double out[3]) {
    double r[3];
    for (int i = 0; i < 3; ++i) r[i] = dot(m + 4 * i, p) + m[4 * i + 3];
    copy(r, out);
}

QUORM_API void MC_apply_transform_to_vector(const double m[12], const double v[3], double out[3]) {
    double r[3];
    for (int i = 0; i < 3; ++i) r[i] = dot(m + 4 * i, v);
    copy(r, out);
}

QUORM_API void MC_calc_csys_to_csys_transform(const double from[12], const double to[12], double out[16]) {
    // Rows of R_from and R_to are the axes (elements 3-11 of each system).
    const double *rf = from + 3, *rt = to + 3;
    double r[16];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            r[4 * i + j] = rt[i] * rf[j] + rt[3 + i] * rf[3 + j] + rt[6 + i] * rf[6 + j];
        r[4 * i + 3] = to[i] - dot(r + 4 * i, from);
    }
    r[12] = 0.0, r[13] = 0.0, r[14] = 0.0, r[15] = 1.0;
    std::memcpy(out, r, sizeof r);
}

} // extern "C"
