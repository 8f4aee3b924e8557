// Numbered vector routines (vunt2, vunt3, vcru3) and the numbered
// coordinate-system constructions.  All arguments come by address.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>

using namespace quorm;

namespace {

// Vectors shorter than this count as null, and unit directions whose cross
// product is shorter as parallel.
constexpr double null_tol = 1e-10;

constexpr double degrees_to_radians = 0.01745329251994328;

bool unit(const Vector3 &v, Vector3 *out) {
    double l;
    return VEC3_unitize(&v, null_tol, &l, out) != 0;
}

// The frame of unit, perpendicular X and Z axes, built by MTX3_init.
bool frame_x_z(const Vector3 &ux, const Vector3 &uz, MTX3_s *frame) {
    Vector3 uy = cross(uz, ux);
    return MTX3_init(&ux, &uy, frame) != 0;
}

// Frame with the X axis along x and the Y axis on the side of `toward` in the
// plane of the two: Z = unit (X x unit (toward)), Y = Z x X.
bool frame_x_toward(const Vector3 &x, const Vector3 &toward, MTX3_s *frame) {
    Vector3 ux, ut, uz;
    if (!unit(x, &ux) || !unit(toward, &ut) || !unit(cross(ux, ut), &uz)) return false;
    return frame_x_z(ux, uz, frame);
}

// Frame with the Z axis along z and the X axis along the part of `toward`
// perpendicular to it.
bool frame_z_toward(const Vector3 &z, const Vector3 &toward, MTX3_s *frame) {
    Vector3 uz, ux;
    if (!unit(z, &uz) || !unit(sub(toward, scale(dot(toward, uz), uz)), &ux)) return false;
    return frame_x_z(ux, uz, frame);
}

// u, v := c u + s v, c v - s u: turns the pair of axes u, v by angle about
// their common normal (the third axis of a right-handed frame).
void turn(double *u, double *v, double angle) {
    double c = std::cos(angle), s = std::sin(angle);
    for (int i = 0; i < 3; ++i) {
        double a = u[i], b = v[i];
        u[i] = c * a + s * b;
        v[i] = c * b - s * a;
    }
}

// Writes the frame and origin, or reports failure leaving them alone.
void finish(bool ok, const MTX3_s &frame, const Point3 &at, MTX3_s *matrix, double *origin, int *status) {
    if (!ok) {
        *status = 2;
        return;
    }
    *matrix = frame;
    store(at, origin);
    *status = 1;
}

} // namespace

extern "C" {

QUORM_API void vunt2(const double v[2], int *ok, double out[2]) {
    VEC2_s in{v[0], v[1]}, u;
    double l;
    *ok = VEC2_unitize(&in, EQ_ask_length_tolerance(), &l, &u);
    out[0] = u.x;
    out[1] = u.y;
}

QUORM_API void vunt3(const double v[3], int *ok, double out[3]) {
    Vector3 in = vec(v), u;
    double l;
    *ok = VEC3_unitize(&in, EQ_ask_length_tolerance(), &l, &u);
    store(u, out);
}

QUORM_API void vcru3(const double a[3], const double b[3], int *ok, double out[3]) {
    Vector3 c = cross(vec(a), vec(b)), u;
    double l;
    *ok = VEC3_unitize(&c, EQ_ask_length_tolerance(), &l, &u);
    store(u, out);
}

QUORM_API void v6037a(MTX3_s *matrix, double angles[3], int *status) {
    for (int i = 0; i < 3; ++i) angles[i] *= degrees_to_radians;
    if (!std::isfinite(angles[0]) || !std::isfinite(angles[1]) || !std::isfinite(angles[2])) {
        *status = 2;
        return;
    }
    double *x = matrix->elem, *y = matrix->elem + 3, *z = matrix->elem + 6;
    turn(y, z, angles[0]); // about X
    turn(z, x, angles[1]); // about the new Y
    turn(x, y, angles[2]); // about the new Z
    *status = 1;
}

QUORM_API void v6043(const double p0[3], const double p1[3], const double p2[3], MTX3_s *matrix,
                     double origin[3], int *status) {
    MTX3_s frame;
    bool ok = frame_x_toward(sub(vec(p1), vec(p0)), sub(vec(p2), vec(p0)), &frame);
    finish(ok, frame, pnt(p0), matrix, origin, status);
}

QUORM_API void v6043_normal(const double p0[3], const double p1[3], const double p2[3], const double normal[3],
                            MTX3_s *matrix, double origin[3], int *status) {
    Vector3 d = sub(vec(p1), vec(p0)), ud;
    if (!unit(d, &ud)) d = sub(vec(p2), vec(p0));
    MTX3_s frame;
    bool ok = frame_z_toward(vec(normal), d, &frame);
    finish(ok, frame, pnt(p0), matrix, origin, status);
}

QUORM_API void v6045(const double p1[3], const double p2[3], const double p3[3], MTX3_s *matrix,
                     double origin[3], int *status) {
    Vector3 axis = sub(vec(p1), vec(p2)), uz;
    MTX3_s frame;
    bool ok = unit(axis, &uz);
    Point3 foot{};
    if (ok) {
        foot = add(pnt(p2), scale(dot(sub(vec(p3), vec(p2)), uz), uz));
        ok = frame_z_toward(uz, sub(pnt(p3), foot), &frame);
    }
    finish(ok, frame, foot, matrix, origin, status);
}

QUORM_API void v6067(const double a1[3], const double a2[3], const double b1[3], const double b2[3],
                     MTX3_s *matrix, double origin[3], double local_a[3], double local_b[3], int *status) {
    Vector3 da = sub(vec(a2), vec(a1)), db = sub(vec(b2), vec(b1));
    MTX3_s frame;
    if (!frame_x_toward(da, db, &frame)) {
        *status = 2;
        return;
    }
    // Line B in the frame: it lies in a plane z = h and crosses the X axis
    // (line A) in projection where its local y is 0.
    Vector3 x = vec(frame.elem), y = vec(frame.elem + 3), z = vec(frame.elem + 6);
    Vector3 w = sub(vec(b1), vec(a1));
    Vector3 pb{dot(x, w), dot(y, w), dot(z, w)};
    Vector3 dl{dot(x, db), dot(y, db), dot(z, db)};
    double t = -pb.y / dl.y; // dl.y = |db| sin(angle between the lines) > 0
    double s = pb.x + t * dl.x;
    double h = pb.z + t * dl.z;
    store(Vector3{s, 0.0, 0.0}, local_a);
    store(Vector3{s, 0.0, h}, local_b);
    finish(true, frame, pnt(a1), matrix, origin, status);
}

} // extern "C"
