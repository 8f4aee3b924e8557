// 2-D vector algebra: unitizing, parallel and perpendicular tests,
// perpendicular vectors, components along two directions, shortest vector.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>

namespace {

// Below this squared length a vector counts as null in the tests and in the
// perpendicular construction.
constexpr double null_length2 = 1e-20;

inline double length2(const VEC2_s &u) { return u.x * u.x + u.y * u.y; }
inline double dot(const VEC2_s &u, const VEC2_s &v) { return u.x * v.x + u.y * v.y; }
inline double cross(const VEC2_s &u, const VEC2_s &v) { return u.x * v.y - u.y * v.x; }

// The value both components get when VEC2_components cannot split w: the
// runtime's huge value, which is infinity.
constexpr double no_component = HUGE_VAL;

} // namespace

extern "C" {

QUORM_API bool VEC2_is_finite(const VEC2_s *u) { return quorm::is_finite(u->x) && quorm::is_finite(u->y); }

QUORM_API int VEC2_unitize(const VEC2_s *u, double tol, double *length, VEC2_s *unit) {
    QUORM_ASSERT_TEXT(VEC2_is_finite(u), "VEC2_is_finite (u)");
    const double c[2] = {u->x, u->y};
    double out[2];
    const int result = quorm::unitize(c, 2, tol, length, out);
    *unit = VEC2_s{out[0], out[1]};
    return result;
}

QUORM_API bool VEC2_is_parallel(const VEC2_s *u, const VEC2_s *v, double tol) {
    QUORM_ASSERT_TEXT(VEC2_is_finite(u), "VEC2_is_finite( u )");
    QUORM_ASSERT_TEXT(VEC2_is_finite(v), "VEC2_is_finite( v )");
    double uu = length2(*u), vv = length2(*v);
    if (uu <= null_length2 || vv <= null_length2) return true;
    double c = cross(*u, *v);
    return c * c / (uu * vv) <= tol * tol;
}

QUORM_API bool VEC2_is_perpendicular(const VEC2_s *u, const VEC2_s *v, double tol) {
    QUORM_ASSERT_TEXT(VEC2_is_finite(u), "VEC2_is_finite( u )");
    QUORM_ASSERT_TEXT(VEC2_is_finite(v), "VEC2_is_finite( v )");
    double uu = length2(*u), vv = length2(*v);
    if (uu <= null_length2 || vv <= null_length2) return true;
    double c = dot(*u, *v);
    return c * c / (uu * vv) <= tol * tol;
}

QUORM_API int VEC2_ask_perpendicular(const VEC2_s *u, VEC2_s *out) {
    QUORM_ASSERT_TEXT(VEC2_is_finite(u), "VEC2_is_finite (u)");
    double x = u->x, y = u->y;
    // Written as "not above" so that a NaN vector is refused too.
    if (!(length2(*u) > null_length2)) {
        *out = VEC2_s{0.0, 0.0};
        return 0;
    }
    *out = std::fabs(y) > std::fabs(x) ? VEC2_s{-y, x} : VEC2_s{y, -x};
    return 1;
}

QUORM_API int VEC2_components(const VEC2_s *u, const VEC2_s *v, const VEC2_s *w, double tol, double *a, double *b) {
    double det = u->x * v->y - v->x * u->y;
    // "Not above" also refuses a NaN determinant instead of dividing by it.
    if (!(std::fabs(det) > tol)) {
        *a = no_component;
        *b = no_component;
        return 0;
    }
    *a = (v->y * w->x - v->x * w->y) / det;
    *b = (u->x * w->y - u->y * w->x) / det;
    return 1;
}

QUORM_API int VEC2_ask_shortest_vector(int count, const VEC2_s *vectors) {
    QUORM_ASSERT(count > 0);
    int best = 0;
    if (count <= 0) return best;
    double best_length2 = length2(vectors[0]);
    for (int i = 1; i < count; ++i) {
        double l = length2(vectors[i]);
        if (l < best_length2) {
            best_length2 = l;
            best = i;
        }
    }
    return best;
}

} // extern "C"
