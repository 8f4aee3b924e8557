// Simple developable surfaces (plane, cylinder, cone) in one record: its
// initialisation, copy and evaluation.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>
#include <cstddef>

#if QUORM_FULL_BUILD

// The record's layout is shared with the host.
static_assert(offsetof(LSFIT_simple_developable_geom_s, type) == 0, "record layout");
static_assert(offsetof(LSFIT_simple_developable_geom_s, origin) == 8, "record layout");
static_assert(offsetof(LSFIT_simple_developable_geom_s, axis) == 32, "record layout");
static_assert(offsetof(LSFIT_simple_developable_geom_s, ref_dir) == 56, "record layout");
static_assert(offsetof(LSFIT_simple_developable_geom_s, radius) == 80, "record layout");
static_assert(offsetof(LSFIT_simple_developable_geom_s, half_angle) == 88, "record layout");
static_assert(offsetof(LSFIT_simple_developable_geom_s, further_values) == 96, "record layout");
static_assert(offsetof(LSFIT_simple_developable_geom_s, further_ints) == 128, "record layout");
static_assert(sizeof(LSFIT_simple_developable_geom_s) == 152, "record layout");

extern "C" {

QUORM_API void LSFIT_init_simple_developable_geom(LSFIT_simple_developable_geom_s *geom) {
    *geom = LSFIT_simple_developable_geom_s{};
    geom->type = LSFIT_DEVELOPABLE_NONE;
}

QUORM_API void LSFIT_copy_simple_developable_geom(const LSFIT_simple_developable_geom_s *src,
                                                  LSFIT_simple_developable_geom_s *dst) {
    *dst = *src;
}

QUORM_API void LSFIT_evaluate_simple_developable(const double uv[2], const LSFIT_simple_developable_geom_s *geom,
                                                 Point3 *point, Vector3 derivs[2], Vector3 *normal) {
    const double u = uv[0], v = uv[1];
    *point = Point3{0.0, 0.0, 0.0};
    derivs[0] = derivs[1] = *normal = Vector3{0.0, 0.0, 0.0};

    const int type = geom->type;
    if (type != LSFIT_DEVELOPABLE_PLANE && type != LSFIT_DEVELOPABLE_CYLINDER && type != LSFIT_DEVELOPABLE_CONE) {
        ERROR_internal(__FILE__, __LINE__, "Unrecognizabe value of simple developable type.");
        return;
    }
    const Vector3 &a = geom->axis;
    const Vector3 &x = geom->ref_dir;
    double length = 0.0;
    Vector3 y;
    const Vector3 axis_cross_ref = quorm::cross(a, x);
    VEC3_unitize(&axis_cross_ref, 1e-10, &length, &y);

    if (type == LSFIT_DEVELOPABLE_PLANE) {
        *point = quorm::add(geom->origin, quorm::scale_add(u, x, quorm::scale(v, y)));
        derivs[0] = x;
        derivs[1] = y;
    } else {
        const double c = std::cos(u), s = std::sin(u);
        // Radial unit direction at u and its derivative along u.
        const Vector3 radial = quorm::scale_add(c, x, quorm::scale(s, y));
        const Vector3 tangent = quorm::scale_add(-s, x, quorm::scale(c, y));
        const double slope = type == LSFIT_DEVELOPABLE_CONE ? std::tan(geom->half_angle) : 0.0;
        const double r = type == LSFIT_DEVELOPABLE_CONE ? geom->radius + v * slope : geom->radius;
        *point = quorm::add(geom->origin, quorm::scale_add(r, radial, quorm::scale(v, a)));
        derivs[0] = quorm::scale(r, tangent);
        derivs[1] = type == LSFIT_DEVELOPABLE_CONE ? quorm::scale_add(slope, radial, a) : a;
    }
    const Vector3 n = quorm::cross(derivs[0], derivs[1]);
    VEC3_unitize(&n, 1e-10, &length, normal);
}

} // extern "C"

#endif
