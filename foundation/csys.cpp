// Coordinate systems: one system expressed in another, and a system turned
// to a new Z direction.
#include "foundation/quorm_internal.h"
#include "foundation/mtx3_internal.h"

#include <cmath>

using namespace quorm;

namespace {

// The frame with Z axis z (unit) whose X axis is the part of hint
// perpendicular to z: Y = unit(z x hint), X = Y x z.  Deriving X last keeps
// it perpendicular to Y and z to rounding, however close hint is to z's
// direction.  False when hint is (nearly) parallel to z.
bool frame_from_z_and_x_hint(const Vector3 &z, const Vector3 &hint, MTX3_s *out) {
    Vector3 y = cross(z, hint);
    double length = 0.0;
    if (!VEC3_unitize(&y, 1e-10, &length, &y)) return false;
    *out = mtx3_from_rows(cross(y, z), y, z);
    return true;
}

} // namespace

extern "C" {

QUORM_API void CSYS_map_csys(const CSYS_s *c, const CSYS_s *reference, CSYS_s *out) {
    const MTX3_s &m = reference->matrix;
    Point3 origin = pnt(mtx3_local(m, sub(c->origin, reference->origin)));
    Vector3 x = mtx3_local(m, mtx3_row(c->matrix, 0));
    Vector3 y = mtx3_local(m, mtx3_row(c->matrix, 1));
    Vector3 z = mtx3_local(m, mtx3_row(c->matrix, 2));
    // The frame is built from axes brought to unit size (exactly), so that
    // long axes do not overflow its cross products.
    const Vector3 xs = vec3_unit_sized(x), ys = vec3_unit_sized(y), zs = vec3_unit_sized(z);
    MTX3_s matrix;
    // Axes that do not form a frame are passed on as they are rather than
    // leaving the caller's matrix unwritten.
    if (!MTX3_init_x_y_z(&xs, &ys, &zs, &matrix)) matrix = mtx3_from_rows(x, y, z);
    out->origin = origin;
    out->matrix = matrix;
}

QUORM_API bool CSYS_get_csys_given_z_dir(const CSYS_s *c, const Vector3 *z, CSYS_s *out) {
    // A z beyond the library's finiteness limit is refused like a null one,
    // at every checking level.
    if (!(length2(*z) > 1e-20) || !is_finite(*z)) return false;
    Vector3 new_z;
    double length = 0.0;
    VEC3_unitize(z, 1e-10, &length, &new_z);
    Vector3 old_x = mtx3_row(c->matrix, 0);
    Vector3 old_y = mtx3_row(c->matrix, 1);
    Vector3 old_z = mtx3_row(c->matrix, 2);
    if (length2(sub(new_z, old_z)) <= 1e-20) {
        *out = *c;
        return true;
    }
    MTX3_s matrix;
    if (length2(add(new_z, old_z)) <= 1e-20) {
        // Reversed: a half turn about the X axis.
        matrix = mtx3_from_rows(old_x, scale(-1.0, old_y), scale(-1.0, old_z));
    } else {
        // Turn about the axis perpendicular to both Z directions, which
        // becomes the new X.  For a turn of about 1e-10 or less that axis is
        // lost in rounding, and the old X (as good as unchanged by so small a
        // turn) gives the direction instead.
        Vector3 axis = cross(old_z, new_z);
        if (!VEC3_unitize(&axis, 1e-10, &length, &axis)) axis = old_x;
        if (!frame_from_z_and_x_hint(new_z, axis, &matrix)) return false;
    }
    out->origin = c->origin;
    out->matrix = matrix;
    return true;
}

} // extern "C"
