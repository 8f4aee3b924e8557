// Small inline vector helpers shared by the foundation sources (not
// installed).
//
// Two flavours of the same operations:
//  - on the records Vector3 / Point3, returning results by value;
//  - on bare arrays of three doubles (double[3]), writing through an output
//    pointer.  The array forms read all their inputs before writing, so the
//    output may be one of the inputs.
// The component order and the arithmetic are the plain textbook ones (for
// example dot = x*x' + y*y' + z*z' summed left to right), so results are the
// same whichever flavour a family uses.
#ifndef QUORM_VEC3_INLINE_H
#define QUORM_VEC3_INLINE_H

#include "foundation/quorm_internal.h"

#include <cmath>

namespace quorm {

// Components at or beyond this magnitude (and NaNs) make a vector "not
// finite": squared lengths of finite vectors can then never overflow.
constexpr double finite_limit = 1e19;

inline bool is_finite(double c) { return std::fabs(c) < finite_limit; }

// ---- records ---------------------------------------------------------------

inline Vector3 vec(double x, double y, double z) { return Vector3{x, y, z}; }
inline Vector3 vec(const Point3 &p) { return Vector3{p.x, p.y, p.z}; }
inline Vector3 vec(const double *a) { return Vector3{a[0], a[1], a[2]}; }
inline Point3 pnt(const Vector3 &v) { return Point3{v.x, v.y, v.z}; }
inline Point3 pnt(const double *a) { return Point3{a[0], a[1], a[2]}; }
inline void store(const Vector3 &v, double *out) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}
inline void store(const Point3 &p, double *out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

inline double dot(const Vector3 &a, const Vector3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double length2(const Vector3 &a) { return a.x * a.x + a.y * a.y + a.z * a.z; }
inline Vector3 cross(const Vector3 &a, const Vector3 &b) {
    return Vector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline Vector3 add(const Vector3 &a, const Vector3 &b) { return Vector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 sub(const Vector3 &a, const Vector3 &b) { return Vector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 sub(const Point3 &a, const Point3 &b) { return Vector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Point3 add(const Point3 &p, const Vector3 &v) { return Point3{p.x + v.x, p.y + v.y, p.z + v.z}; }
inline Vector3 scale(double s, const Vector3 &a) { return Vector3{s * a.x, s * a.y, s * a.z}; }
// s*a + b
inline Vector3 scale_add(double s, const Vector3 &a, const Vector3 &b) {
    return Vector3{s * a.x + b.x, s * a.y + b.y, s * a.z + b.z};
}
inline double dist2(const Point3 &a, const Point3 &b) { return length2(sub(a, b)); }
inline bool is_finite(const Vector3 &v) { return is_finite(v.x) && is_finite(v.y) && is_finite(v.z); }

// ---- arrays of three doubles ---------------------------------------------

inline double dot(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double length2(const double *a) { return a[0] * a[0] + a[1] * a[1] + a[2] * a[2]; }
inline void cross(const double *a, const double *b, double *out) {
    double x = a[1] * b[2] - a[2] * b[1];
    double y = a[2] * b[0] - a[0] * b[2];
    double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}
inline void add(const double *a, const double *b, double *out) {
    for (int i = 0; i < 3; ++i) out[i] = a[i] + b[i];
}
inline void sub(const double *a, const double *b, double *out) {
    for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}
inline void scale(double s, const double *a, double *out) {
    for (int i = 0; i < 3; ++i) out[i] = s * a[i];
}
// out = s*a + b
inline void scale_add(double s, const double *a, const double *b, double *out) {
    for (int i = 0; i < 3; ++i) out[i] = s * a[i] + b[i];
}
inline void copy(const double *from, double *to) {
    for (int i = 0; i < 3; ++i) to[i] = from[i];
}
inline double dist2(const double *a, const double *b) {
    double d[3];
    sub(a, b, d);
    return length2(d);
}
inline bool is_finite3(const double *a) { return is_finite(a[0]) && is_finite(a[1]) && is_finite(a[2]); }

// Unit vector and length of the n (2 or 3) components c.  The length must
// exceed tol; otherwise, and for NaN components, the result is 0 with a zero
// length and a zero vector.  A squared length outside the range where it is
// computed to full precision (it overflows, or it is so small that the
// squares of the components lose bits or vanish) is avoided: the components
// are then first divided by the largest magnitude (the length may still be
// infinite).
inline int unitize(const double *c, int n, double tol, double *length, double *unit) {
    // Below this the squares of the components may be subnormal.
    constexpr double kSmallSquare = 0x1p-960;
    double s = c[0] * c[0];
    for (int i = 1; i < n; ++i) s += c[i] * c[i];
    if (s >= kSmallSquare && s < HUGE_VAL) {
        if (s > tol * tol) {
            double r = std::sqrt(s);
            double inv = 1.0 / r;
            *length = r;
            for (int i = 0; i < n; ++i) unit[i] = inv * c[i];
            return 1;
        }
    } else {
        double m = 0.0;
        for (int i = 0; i < n; ++i) {
            double a = std::fabs(c[i]);
            if (!(a <= m)) m = a; // a NaN sticks and fails below
        }
        if (m > 0.0 && m <= 1.7976931348623157e308) {
            double scaled[3] = {0.0, 0.0, 0.0};
            double t = 0.0;
            for (int i = 0; i < n; ++i) {
                scaled[i] = c[i] / m;
                t += scaled[i] * scaled[i];
            }
            double r = std::sqrt(t);
            if (m * r > tol) {
                *length = m * r;
                for (int i = 0; i < n; ++i) unit[i] = scaled[i] / r;
                return 1;
            }
        }
    }
    *length = 0.0;
    for (int i = 0; i < n; ++i) unit[i] = 0.0;
    return 0;
}

} // namespace quorm

#endif
