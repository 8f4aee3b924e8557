// Planes: point on plane, coincident and equal planes, segment crossing.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>

using namespace quorm;

namespace {

// Signed distance of p from the plane, positive on the side the normal
// points to.  A null normal gives NaN (or an infinity), which every caller's
// comparison treats as "not on the plane".
double signed_distance(const PLN3_s &plane, const Point3 &p) {
    return dot(plane.normal, sub(p, plane.point)) / std::sqrt(length2(plane.normal));
}

} // namespace

extern "C" {

QUORM_API bool PLN3_is_point_on_plane(const PLN3_s *plane, const Point3 *p, double tol) {
    return std::fabs(signed_distance(*plane, *p)) <= tol;
}

QUORM_API bool PLN3_is_coincident(const PLN3_s *a, const PLN3_s *b, double distance_tol, double angle_tol) {
    return VEC3_is_parallel(&a->normal, &b->normal, angle_tol) && PLN3_is_point_on_plane(a, &b->point, distance_tol);
}

QUORM_API bool PLN3_is_equal(const PLN3_s *a, const PLN3_s *b, double distance_tol, double normal_tol) {
    return length2(sub(a->normal, b->normal)) <= normal_tol * normal_tol &&
           PLN3_is_point_on_plane(a, &b->point, distance_tol);
}

QUORM_API bool PLN3_is_segment_intersecting(const PLN3_s *plane, const Point3 *p1, const Point3 *p2, double tol) {
    double q = signed_distance(*plane, *p1) * signed_distance(*plane, *p2);
    return std::fabs(q) <= tol || q <= 0.0;
}

} // extern "C"
