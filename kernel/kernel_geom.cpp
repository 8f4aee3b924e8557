// Numbered plane and space geometry primitives: direction angle, projection
// onto a 3-D line, intersection of two planes.
#include "foundation/quorm_internal.h"

#include <quorm/kernel_geom.h>
#include <quorm/kernel_toler.h>

#include <cmath>

namespace {

constexpr double pi = 3.141592653589793;
constexpr double two_pi = 6.283185307179586;

// The kernel's tolerant comparison with the number tolerance (entry 0 of the
// equality-tolerance table).
bool near_number(double a, double b) {
    const int index = 0;
    int out = 0;
    h805(&a, &b, &index, &out);
    return out == 1;
}

inline double number_tol() { return std::fabs(EQ_ask_number_tolerance()); }

inline double dot3(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

} // namespace

extern "C" {

QUORM_API void h053(const double *y, const double *x, double *angle) {
    const double yy = *y, xx = *x;
    double a;
    if (near_number(yy, 0.0)) {
        a = (xx >= 0.0) ? 0.0 : pi;
    } else if (near_number(xx, 0.0)) {
        a = (yy >= 0.0) ? 0.5 * pi : 1.5 * pi;
    } else {
        a = std::atan2(yy, xx);
        if (a < 0.0) a += two_pi;
        // A tiny negative angle plus 2*pi rounds to 2*pi: that direction is 0.
        if (a >= two_pi) a = 0.0;
    }
    *angle = a;
}

QUORM_API void h430(const double a[3], const double b[3], const double p[3], double foot[3]) {
    const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double dd = dot3(d, d);
    if (!(dd > 0.0) || near_number(std::sqrt(dd), 0.0)) {
        // Coincident ends: the line is not defined, the result is a.  (Also
        // taken for a NaN direction; the foot is then a as well.)
        foot[0] = a[0];
        foot[1] = a[1];
        foot[2] = a[2];
        return;
    }
    const double w[3] = {p[0] - a[0], p[1] - a[1], p[2] - a[2]};
    const double t = dot3(w, d) / dd;
    const double a0 = a[0], a1 = a[1], a2 = a[2];
    foot[0] = a0 + t * d[0];
    foot[1] = a1 + t * d[1];
    foot[2] = a2 + t * d[2];
}

QUORM_API void h705(const double plane1[4], const double plane2[4], double point[3], double direction[3], int *result) {
    const double tol = number_tol();
    const double l1 = std::sqrt(dot3(plane1, plane1));
    const double l2 = std::sqrt(dot3(plane2, plane2));
    if (!(l1 > tol) || !(l2 > tol)) {
        *result = 1;
        return;
    }
    // Unit normals u and offsets h: the planes are u . x = h.
    const double u1[3] = {plane1[0] / l1, plane1[1] / l1, plane1[2] / l1};
    const double u2[3] = {plane2[0] / l2, plane2[1] / l2, plane2[2] / l2};
    const double h1 = -plane1[3] / l1, h2 = -plane2[3] / l2;
    const double c[3] = {u1[1] * u2[2] - u1[2] * u2[1], u1[2] * u2[0] - u1[0] * u2[2], u1[0] * u2[1] - u1[1] * u2[0]};
    const double s2 = dot3(c, c);
    const double s = std::sqrt(s2);
    if (!(s > tol)) {
        // Parallel normals: the same plane when the offsets agree (with the
        // normals' orientation taken into account).
        const double k = dot3(u1, u2);
        const double h2_along_u1 = (k >= 0.0) ? h2 : -h2;
        *result = (std::fabs(h1 - h2_along_u1) <= tol) ? 3 : 1;
        return;
    }
    // The point of the line nearest the origin is a combination of the two
    // normals: x = c1 u1 + c2 u2 with u1 . x = h1 and u2 . x = h2.
    const double k = dot3(u1, u2);
    const double c1 = (h1 - h2 * k) / s2;
    const double c2 = (h2 - h1 * k) / s2;
    for (int i = 0; i < 3; ++i) {
        point[i] = c1 * u1[i] + c2 * u2[i];
        direction[i] = c[i] / s;
    }
    *result = 2;
}

} // extern "C"
