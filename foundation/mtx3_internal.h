// Private helpers shared by the matrix sources (not installed).
#ifndef QUORM_MTX3_INTERNAL_H
#define QUORM_MTX3_INTERNAL_H

#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

// Row i of a 3x3 matrix as a vector, and back.
inline Vector3 mtx3_row(const MTX3_s &m, int i) { return Vector3{m.elem[3 * i], m.elem[3 * i + 1], m.elem[3 * i + 2]}; }
inline void mtx3_set_row(MTX3_s &m, int i, const Vector3 &v) {
    m.elem[3 * i] = v.x;
    m.elem[3 * i + 1] = v.y;
    m.elem[3 * i + 2] = v.z;
}

// The matrix with rows x, y and z.
inline MTX3_s mtx3_from_rows(const Vector3 &x, const Vector3 &y, const Vector3 &z) {
    MTX3_s m;
    mtx3_set_row(m, 0, x);
    mtx3_set_row(m, 1, y);
    mtx3_set_row(m, 2, z);
    return m;
}

// m*v: the components of v along the three axes of the frame m.
inline Vector3 mtx3_local(const MTX3_s &m, const Vector3 &v) {
    return Vector3{quorm::dot(mtx3_row(m, 0), v), quorm::dot(mtx3_row(m, 1), v), quorm::dot(mtx3_row(m, 2), v)};
}

// Every element finite in the library's sense (magnitude below 1e19).
inline bool mtx3_is_finite(const MTX3_s &m) {
    for (double e : m.elem)
        if (!quorm::is_finite(e)) return false;
    return true;
}

// v scaled by the power of two that brings its largest |component| near 1:
// exact, and without effect on directions, so that cross products of axes
// of any finite size stay within the library's finiteness limit.
inline Vector3 vec3_unit_sized(const Vector3 &v) {
    const double c[3] = {v.x, v.y, v.z};
    const int e = quorm::row_exponent(c, 3);
    return Vector3{quorm::times_pow2(v.x, e), quorm::times_pow2(v.y, e), quorm::times_pow2(v.z, e)};
}

// The linear part of a 4x4 transform (elements 0-2, 4-6, 8-10), and back.
inline MTX3_s mtx4_linear_part(const MTX4_s &m) {
    MTX3_s r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.elem[3 * i + j] = m.elem[4 * i + j];
    return r;
}
inline void mtx4_set_linear_part(MTX4_s &m, const MTX3_s &r) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m.elem[4 * i + j] = r.elem[3 * i + j];
}

// Rotation by the angle whose cosine and sine are c and s about a unit axis.
void mtx3_rotation(double c, double s, const Vector3 &axis, MTX3_s *out);

// The (sine, cosine) pairs of roll, pitch and yaw read from m and snapped to
// exact values near 0 and +-1 (pair[0..1] roll, [2..3] pitch, [4..5] yaw),
// and the matrix built from such pairs.
void mtx3_rpy_pairs(const MTX3_s &m, double pair[6]);
void mtx3_from_rpy_pairs(const double pair[6], MTX3_s *out);

#endif
