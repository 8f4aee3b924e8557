// Measurements between straight lines in space: the acute angle between two
// lines, the distance of a point from a line and the distance between two
// lines with their closest points.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>

#if QUORM_FULL_BUILD

namespace {

constexpr double kDegToRad = 0.01745329251994328;

} // namespace

extern "C" {

QUORM_API double LSFIT_ask_acute_angle_of_lines_3d(const Vector3 *d1, const Vector3 *d2, double tol) {
    const Vector3 cross = quorm::cross(*d1, *d2);
    Vector3 n;
    double length = 0.0;
    if (!VEC3_unitize(&cross, 1e-10, &length, &n)) return 0.0;
    // The turn from d1 to d2 about their common normal, 0 ... 360 degrees,
    // folded into the acute angle between the lines.
    double inscribed = 0.0, a = 0.0;
    int type = 0;
    ARC_SPLINE_ask_inscribed_angle_and_type(d1, d2, &n, 0, tol, &inscribed, &a, &type);
    if (a - 1e-10 > 90.0 && a < 269.9999999999) return std::fabs(a - 180.0);
    if (a + 1e-10 > 270.0 && a < 359.9999999999) return std::fabs(a - 360.0);
    return std::fabs(a);
}

QUORM_API double LSFIT_ask_dist_pt_to_line_3d(const Point3 *p, const Point3 *l0, const Vector3 *dir, double tol,
                                              Point3 *foot, double *t) {
    const Point3 base = *l0, q = *p; // the outputs may alias the inputs
    *t = quorm::dot(quorm::sub(q, base), *dir);
    *foot = quorm::add(base, quorm::scale(*t, *dir));
    if (quorm::dist2(*foot, base) <= tol * tol) {
        *foot = base;
        *t = 0.0;
    }
    return std::sqrt(quorm::dist2(*foot, q));
}

QUORM_API double LSFIT_ask_dist_of_two_straight_lines(const Point3 *p1, const Vector3 *d1, const Point3 *p2,
                                                      const Vector3 *d2, const double tols[2], Point3 *c1, double *t1,
                                                      Point3 *c2, double *t2, bool *parallel, bool *same_start) {
    const Point3 a = *p1, b = *p2;
    const Vector3 u = *d1, v = *d2;
    *c1 = a;
    *t1 = 0.0;
    *c2 = b;
    *t2 = 0.0;
    *parallel = false;
    *same_start = false;

    const double start_gap = std::sqrt(quorm::dist2(a, b));
    *same_start = start_gap < tols[0];
    *parallel = VEC3_is_parallel(&u, &v, std::sin(tols[1] * kDegToRad));
    if (*same_start) return start_gap;

    if (!*parallel) {
        // Closest points: (c1 - c2) is perpendicular to both directions.
        const double k = quorm::dot(u, v);
        const Vector3 w = quorm::sub(b, a);
        const double m[9] = {1.0, -k, 0.0, -k, 1.0, 0.0, 0.0, 0.0, 1.0};
        const double rhs[3] = {quorm::dot(w, u), -quorm::dot(w, v), 0.0};
        double s[3];
        if (SOLVE_solve_3equations(m, rhs, s) == 0) {
            *t1 = s[0];
            *t2 = s[1];
            *c1 = quorm::add(a, quorm::scale(s[0], u));
            *c2 = quorm::add(b, quorm::scale(s[1], v));
            return std::sqrt(quorm::dist2(*c1, *c2));
        }
        *parallel = true;
    }
    return LSFIT_ask_dist_pt_to_line_3d(&a, &b, &v, tols[0], c2, t2);
}

} // extern "C"

#endif
