// Points: collinearity and its classification, the closest of a set of
// points, cylindrical and spherical coordinates.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <algorithm>
#include <cmath>

using namespace quorm;

namespace {

constexpr double pi = 3.141592653589793;

#if QUORM_FULL_BUILD
constexpr double degrees_per_radian = 57.29577951308235;
constexpr double radians_per_degree = 0.017453292519943285;

// Angle in degrees of (x, y) about the origin, in [0, 360).  Points within
// 1e-10 of the Z axis in x get 0, 90 or 270 by the sign of y.
double polar_angle_degrees(double x, double y) {
    if (std::fabs(x) <= 1e-10) {
        if (std::fabs(y) <= 1e-10) return 0.0;
        return y > 1e-10 ? 90.0 : 270.0;
    }
    double angle = std::atan(y / x) * degrees_per_radian;
    if (x < 0.0)
        angle += 180.0;
    else if (y < 0.0)
        angle += 360.0;
    // A tiny negative angle plus 360 rounds to 360 itself, which is the same
    // direction as 0 and outside the range; a y of -0 gives -0.  Both are 0.
    if (angle >= 360.0 || angle == 0.0) angle = 0.0;
    return angle;
}
#endif

// Unoriented angle in [0, pi] between v and the direction from q toward p.
double approach_angle(const Point3 &p, const Vector3 &v, const Point3 &q) {
    Vector3 toward = sub(p, q);
    Vector3 about = cross(v, toward);
    double angle = VEC3_angle_between(&v, &toward, &about);
    if (angle > pi) angle = 2.0 * pi - angle;
    return angle;
}

} // namespace

extern "C" {

QUORM_API bool PNT3_is_colinear(const Point3 *p1, const Point3 *p2, const Point3 *p3, double tol) {
    double d12 = dist2(*p1, *p2);
    double d13 = dist2(*p1, *p3);
    double d23 = dist2(*p2, *p3);
    if (tol > std::min({d12, d13, d23})) return true;
    Vector3 u = sub(*p2, *p1);
    Vector3 w = sub(*p3, *p2);
    double uw = dot(u, w);
    double lengths = length2(u) * length2(w);
    // Exactly coincident points (reachable with tol <= 0) leave no angle to
    // measure; they are collinear with any third point.
    if (lengths == 0.0) return true;
    return 1.0 - uw * uw / lengths < tol;
}

QUORM_API PNT3_colinear_condition_t PNT3_colinear_condition(const Point3 *p1, const Point3 *p2, const Point3 *p3,
                                                            double tol) {
    if (!PNT3_is_colinear(p1, p2, p3, tol)) return PNT3_NOT_COLINEAR;
    double t = tol * tol;
    double a = dist2(*p3, *p1);
    double b = dist2(*p1, *p2);
    double c = dist2(*p3, *p2);
    if (a <= t) return PNT3_P1_P3_COINCIDENT;
    if (c <= t) return PNT3_P2_P3_COINCIDENT;
    // The middle point is the one off the longest of the three spans.
    if (a < b && b > c) return PNT3_P3_BETWEEN;
    if (a < c) return PNT3_P1_BETWEEN;
    return PNT3_P2_BETWEEN;
}

QUORM_API void PNT3_ask_closest_point(const Point3 *p, const Vector3 *v, const Point3 *points, int count,
                                      Point3 *out) {
    if (count <= 0) {
        if (count < 0 && quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "PNT3_ask_closest_point: negative count %d",
                        count);
        return;
    }
    const double tol = EQ_ask_length_tolerance();
    int best = 0;
    double best_distance = std::sqrt(dist2(*p, points[0]));
    for (int i = 1; i < count; ++i) {
        double d = std::sqrt(dist2(*p, points[i]));
        bool closer = d < best_distance - tol;
        if (!closer && std::fabs(d - best_distance) <= tol)
            closer = approach_angle(*p, *v, points[best]) > approach_angle(*p, *v, points[i]) + 1e-10;
        if (closer) {
            best = i;
            best_distance = d;
        }
    }
    *out = points[best];
}

#if QUORM_FULL_BUILD
QUORM_API void PNT3_cartesian_to_cylindrical(const Point3 *in, Point3 *out) {
    double x = in->x, y = in->y, z = in->z;
    out->x = std::sqrt(x * x + y * y);
    out->y = polar_angle_degrees(x, y);
    out->z = z;
}

QUORM_API void PNT3_cylindrical_to_cartesian(const Point3 *in, Point3 *out) {
    double r = in->x, a = in->y * radians_per_degree, z = in->z;
    out->x = r * std::cos(a);
    out->y = r * std::sin(a);
    out->z = z;
}

QUORM_API void PNT3_cartesian_to_spherical(const Point3 *in, Point3 *out) {
    double x = in->x, y = in->y, z = in->z;
    double r = std::sqrt(x * x + y * y + z * z);
    out->x = r;
    out->y = polar_angle_degrees(x, y);
    // acos(-1) times the degree factor rounds just above 180: the polar
    // angle is kept within [0, 180].
    out->z = r <= 1e-10 ? 0.0 : std::fmin(180.0, std::acos(z / r) * degrees_per_radian);
}

QUORM_API void PNT3_spherical_to_cartesian(const Point3 *in, Point3 *out) {
    double r = in->x, azimuth = in->y * radians_per_degree, polar = in->z * radians_per_degree;
    out->x = r * std::sin(polar) * std::cos(azimuth);
    out->y = r * std::sin(polar) * std::sin(azimuth);
    out->z = r * std::cos(polar);
}
#endif

} // extern "C"
