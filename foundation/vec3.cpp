// 3-D vector algebra: unitizing, parallel and perpendicular tests,
// perpendicular vectors, signed angles and the trihedral split.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>

using namespace quorm;

namespace {

// Below this squared length a vector counts as null in the tests and in the
// perpendicular construction.
constexpr double null_length2 = 1e-20;

constexpr double two_pi = 6.283185307179586;

} // namespace

extern "C" {

QUORM_API bool VEC3_is_finite(const Vector3 *u) { return is_finite(*u); }

QUORM_API int VEC3_unitize(const Vector3 *u, double tol, double *length, Vector3 *unit) {
    QUORM_ASSERT_TEXT(VEC3_is_finite(u), "VEC3_is_finite (u)");
    const double c[3] = {u->x, u->y, u->z};
    double out[3];
    const int result = unitize(c, 3, tol, length, out);
    *unit = vec(out);
    return result;
}

QUORM_API bool VEC3_is_parallel(const Vector3 *u, const Vector3 *v, double tol) {
    QUORM_ASSERT_TEXT(VEC3_is_finite(u), "VEC3_is_finite( u )");
    QUORM_ASSERT_TEXT(VEC3_is_finite(v), "VEC3_is_finite( v )");
    double uu = length2(*u), vv = length2(*v);
    if (uu <= null_length2 || vv <= null_length2) return true;
    return length2(cross(*u, *v)) / (uu * vv) <= tol * tol;
}

QUORM_API bool VEC3_is_perpendicular(const Vector3 *u, const Vector3 *v, double tol) {
    QUORM_ASSERT_TEXT(VEC3_is_finite(u), "VEC3_is_finite( u )");
    QUORM_ASSERT_TEXT(VEC3_is_finite(v), "VEC3_is_finite( v )");
    double uu = length2(*u), vv = length2(*v);
    if (uu <= null_length2 || vv <= null_length2) return true;
    double c = dot(*u, *v);
    return c * c / (uu * vv) <= tol * tol;
}

QUORM_API int VEC3_ask_perpendicular(const Vector3 *u, Vector3 *out) {
    QUORM_ASSERT_TEXT(VEC3_is_finite(u), "VEC3_is_finite (u)");
    double x = u->x, y = u->y, z = u->z;
    // Written as "not above" so that a NaN vector is refused too.
    if (!(length2(*u) > null_length2)) {
        *out = Vector3{0.0, 0.0, 0.0};
        return 0;
    }
    // Zero the component of least magnitude; e keeps near-ties stable.  The
    // margin is 1e-10 for vectors of unit size and larger, and shrinks with
    // vectors smaller than that, which it would otherwise swamp: (0, 0, 1e-10)
    // would lose its only non-zero component.
    double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    const double e = 1e-10 * std::fmin(1.0, std::fmax(ax, std::fmax(ay, az)));
    if (ay > ax + e && ax < az - e)
        *out = ay < az - e ? Vector3{0.0, z, -y} : Vector3{0.0, -z, y};
    else if (ay <= ax + e && ay < az - e)
        *out = ax < az - e ? Vector3{z, 0.0, -x} : Vector3{-z, 0.0, x};
    else
        *out = ay < ax - e ? Vector3{-y, x, 0.0} : Vector3{y, -x, 0.0};
    return 1;
}

QUORM_API double VEC3_angle_between(const Vector3 *u, const Vector3 *v, const Vector3 *reference) {
    Vector3 a, b;
    double la, lb;
    if (!VEC3_unitize(u, 1e-10, &la, &a) || !VEC3_unitize(v, 1e-10, &lb, &b)) return 0.0;
    double c = dot(a, b);
    Vector3 w = cross(a, b);
    double s = std::sqrt(length2(w));
    if (reference && dot(w, *reference) < 0.0) s = -s;
    double angle = std::atan2(s, c);
    if (std::fabs(angle) <= 1e-10) return 0.0;
    if (angle < 0.0) angle += two_pi;
    return angle;
}

QUORM_API void VEC3_make_trihedral(const Vector3 *v, const Vector3 *n, Vector3 *perpendicular, Vector3 *third,
                                   Vector3 *parallel) {
    Vector3 unit_n = *n;
    Vector3 along = scale(dot(*v, unit_n), unit_n);
    Vector3 across = sub(*v, along);
    *parallel = along;
    *perpendicular = across;
    *third = cross(unit_n, across);
}

} // extern "C"
