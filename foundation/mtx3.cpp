// 3-D frames: construction from axes and angles, rotations, comparisons and
// products.
#include "foundation/mtx3_internal.h"

#include <cmath>
#include <initializer_list>

namespace {

const double kAxisTol = 1e-10;    // null axis, and cosine of the perpendicularity test
const double kOrthoTol = 1e-14;   // ortho-normality of a matrix
const double kSnapSin = 1e-10;    // a sine or cosine this small is 0
const double kSnapOne = 0.9999999999;

// True when the unit vectors a and b are perpendicular within kAxisTol (a NaN
// is never perpendicular).
bool perpendicular(const Vector3 &a, const Vector3 &b) { return std::fabs(quorm::dot(a, b)) <= kAxisTol; }

// Stores the frame with rows x, y, z, asserting first that it is
// ortho-normal.
int store_frame(const Vector3 &x, const Vector3 &y, const Vector3 &z, MTX3_s *out) {
    MTX3_s r;
    mtx3_set_row(r, 0, x);
    mtx3_set_row(r, 1, y);
    mtx3_set_row(r, 2, z);
    QUORM_ASSERT_TEXT(MTX3_is_ortho_normal(&r), "MTX3_is_ortho_normal (r)");
    *out = r;
    return 1;
}

// Frame with X along the unit x and Y in the plane of the unit x and y.
int frame_from_x_y(const Vector3 &x, const Vector3 &y, MTX3_s *out) {
    double length;
    Vector3 z, c = quorm::cross(x, y);
    VEC3_unitize(&c, kAxisTol, &length, &z);
    return store_frame(x, quorm::cross(z, x), z, out);
}

// Snaps one (sine, cosine) pair to exact values near 0 and +-1, and otherwise
// makes it a point of the unit circle by re-deriving the smaller member.
void snap_pair(double &s, double &c) {
    if (std::fabs(c) > kSnapOne || std::fabs(s) <= kSnapSin) {
        s = 0.0;
        c = c < 0.0 ? -1.0 : 1.0;
    } else if (std::fabs(s) > kSnapOne || std::fabs(c) <= kSnapSin) {
        s = s < 0.0 ? -1.0 : 1.0;
        c = 0.0;
    } else if (std::fabs(s * s + c * c - 1.0) > 1e-20) {
        if (std::fabs(s) < std::fabs(c))
            s = std::copysign(std::sqrt(1.0 - c * c), s);
        else
            c = std::copysign(std::sqrt(1.0 - s * s), c);
    }
}

bool within(const double *a, const double *b, int n, double tol) {
    for (int i = 0; i < n; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tol)) return false;
    return true;
}

// arcsine of s for an angle whose cosine has magnitude c_abs: atan2 keeps
// full precision near +-90 degrees, where asin of a rounded sine does not.
double arcsine(double s, double c_abs) { return std::atan2(s, c_abs); }

// Keeps (roll, pitch, yaw) when its matrix matches m within 1e-10 in the
// elements that fix a rotation and it is not a repeat of a kept triple.
void keep_if_reproduces(const MTX3_s &m, double roll, double pitch, double yaw, int *count, double angles[8][3]) {
    if (*count >= 8) return;
    MTX3_s r;
    MTX3_init_roll_pitch_yaw(roll, pitch, yaw, &r);
    static const int checked[6] = {0, 8, 1, 2, 4, 5};
    for (int k : checked)
        if (!(std::fabs(r.elem[k] - m.elem[k]) <= 1e-10)) return;
    const double triple[3] = {roll, pitch, yaw};
    for (int i = 0; i < *count; ++i)
        if (within(angles[i], triple, 3, 1e-10)) return;
    for (int j = 0; j < 3; ++j) angles[*count][j] = triple[j];
    ++*count;
}

} // namespace

void mtx3_rotation(double c, double s, const Vector3 &axis, MTX3_s *out) {
    const double x = axis.x, y = axis.y, z = axis.z, t = 1.0 - c;
    double *e = out->elem;
    e[0] = c + x * x * t;
    e[1] = x * y * t - z * s;
    e[2] = x * z * t + y * s;
    e[3] = x * y * t + z * s;
    e[4] = c + y * y * t;
    e[5] = y * z * t - x * s;
    e[6] = x * z * t - y * s;
    e[7] = y * z * t + x * s;
    e[8] = c + z * z * t;
}

void mtx3_rpy_pairs(const MTX3_s &m, double pair[6]) {
    const double *e = m.elem;
    double sr, cr, sp, cp, sy, cy;
    double q = e[0] * e[0] + e[3] * e[3];
    if (q <= 1e-20) {
        // Pitch +-90 degrees: only roll -+ yaw is fixed; yaw is taken as 0.
        cp = 0.0;
        sp = e[6] < 0.0 ? 1.0 : -1.0;
        sr = sp * e[1];
        cr = e[4];
        sy = 0.0;
        cy = 1.0;
    } else {
        cp = std::sqrt(q);
        sp = -e[6];
        sr = e[7] / cp;
        cr = e[8] / cp;
        sy = e[3] / cp;
        cy = e[0] / cp;
    }
    snap_pair(sr, cr);
    snap_pair(sp, cp);
    snap_pair(sy, cy);
    pair[0] = sr;
    pair[1] = cr;
    pair[2] = sp;
    pair[3] = cp;
    pair[4] = sy;
    pair[5] = cy;
}

void mtx3_from_rpy_pairs(const double pair[6], MTX3_s *out) {
    const double sr = pair[0], cr = pair[1], sp = pair[2], cp = pair[3], sy = pair[4], cy = pair[5];
    double *e = out->elem;
    e[0] = cp * cy;
    e[1] = sr * sp * cy - cr * sy;
    e[2] = cr * sp * cy + sr * sy;
    e[3] = cp * sy;
    e[4] = sr * sp * sy + cr * cy;
    e[5] = cr * sp * sy - sr * cy;
    e[6] = -sp;
    e[7] = sr * cp;
    e[8] = cr * cp;
}

extern "C" {

QUORM_API int MTX3_init(const Vector3 *x, const Vector3 *y, MTX3_s *out) {
    double length;
    Vector3 xu, yu;
    if (!VEC3_unitize(x, kAxisTol, &length, &xu) || !VEC3_unitize(y, kAxisTol, &length, &yu)) return 0;
    if (!perpendicular(xu, yu)) return 0;
    return frame_from_x_y(xu, yu, out);
}

QUORM_API int MTX3_init_x_y_z(const Vector3 *x, const Vector3 *y, const Vector3 *z, MTX3_s *out) {
    double length;
    Vector3 xu, yu, zu;
    if (!VEC3_unitize(x, kAxisTol, &length, &xu) || !VEC3_unitize(y, kAxisTol, &length, &yu) ||
        !VEC3_unitize(z, kAxisTol, &length, &zu))
        return 0;
    if (!perpendicular(xu, yu) || !perpendicular(yu, zu) || !perpendicular(xu, zu)) return 0;
    return frame_from_x_y(xu, yu, out);
}

QUORM_API int MTX3_init_y_z(const Vector3 *y, const Vector3 *z, MTX3_s *out) {
    double length;
    Vector3 yu, zu, xu;
    if (!VEC3_unitize(y, kAxisTol, &length, &yu) || !VEC3_unitize(z, kAxisTol, &length, &zu)) return 0;
    if (!perpendicular(yu, zu)) return 0;
    Vector3 c = quorm::cross(yu, zu);
    VEC3_unitize(&c, kAxisTol, &length, &xu);
    return store_frame(xu, quorm::cross(zu, xu), zu, out);
}

QUORM_API int MTX3_init_x(const Vector3 *x, MTX3_s *out) {
    double length;
    Vector3 xu, p, yu;
    if (!VEC3_unitize(x, kAxisTol, &length, &xu)) return 0;
    VEC3_ask_perpendicular(&xu, &p);
    if (!VEC3_unitize(&p, kAxisTol, &length, &yu)) return 0;
    return store_frame(xu, yu, quorm::cross(xu, yu), out);
}

QUORM_API int MTX3_init_z(const Vector3 *z, MTX3_s *out) {
    double length;
    Vector3 zu, xu;
    if (!VEC3_unitize(z, kAxisTol, &length, &zu)) return 0;
    Vector3 x = std::fabs(zu.y) > 0.9 ? Vector3{0.0, zu.z, -zu.y} : Vector3{zu.z, 0.0, -zu.x};
    if (!VEC3_unitize(&x, kAxisTol, &length, &xu)) return 0;
    return store_frame(xu, quorm::cross(zu, xu), zu, out);
}

QUORM_API void MTX3_init_no_check(const Vector3 *x, const Vector3 *y, MTX3_s *out) {
    MTX3_s r;
    mtx3_set_row(r, 0, *x);
    mtx3_set_row(r, 1, *y);
    mtx3_set_row(r, 2, quorm::cross(*x, *y));
    *out = r;
}

QUORM_API void MTX3_init_roll_pitch_yaw(double roll, double pitch, double yaw, MTX3_s *out) {
    const double pair[6] = {std::sin(roll), std::cos(roll), std::sin(pitch), std::cos(pitch), std::sin(yaw),
                            std::cos(yaw)};
    MTX3_s rot_mat;
    mtx3_from_rpy_pairs(pair, &rot_mat);
    QUORM_ASSERT_TEXT(MTX3_is_ortho_normal(&rot_mat), "MTX3_is_ortho_normal (rot_mat)");
    *out = rot_mat;
}

QUORM_API void MTX3_ask_roll_pitch_yaw(const MTX3_s *m, double *roll, double *pitch, double *yaw) {
    double pair[6];
    mtx3_rpy_pairs(*m, pair);
    *roll = std::atan2(pair[0], pair[1]);
    *pitch = std::atan2(pair[2], pair[3]);
    *yaw = std::atan2(pair[4], pair[5]);
}

QUORM_API void MTX3_ask_all_roll_pitch_yaw(const MTX3_s *m, int *count, double angles[8][3]) {
    const double *e = m->elem;
    const double pi = 3.14159265358979323846;
    *count = 0;
    if (std::fabs(e[6]) > kSnapOne) {
        // Pitch +-90 degrees: the matrix fixes only roll - yaw (pitch +90) or
        // roll + yaw (pitch -90); the triple with yaw 0 stands for them all.
        keep_if_reproduces(*m, std::atan2(-e[5], e[2]), pi / 2, 0.0, count, angles);
        keep_if_reproduces(*m, std::atan2(-e[5], -e[2]), -pi / 2, 0.0, count, angles);
    }
    // Two pitches share each sine; for each, roll and yaw follow from their
    // sines (both branches of the arcsine), with the cosines only choosing
    // the precise value.  Just short of +-90 degrees these still find the
    // matrix when the exact +-90 triples above do not.
    const double pitch0 = arcsine(-e[6], std::sqrt(e[0] * e[0] + e[3] * e[3]));
    for (double pitch : {pitch0, pi - pitch0}) {
        const double cp = std::cos(pitch);
        if (cp == 0.0) continue;
        const double roll0 = arcsine(e[7] / cp, std::fabs(e[8] / cp));
        const double yaw0 = arcsine(e[3] / cp, std::fabs(e[0] / cp));
        for (double roll : {roll0, pi - roll0})
            for (double yaw : {yaw0, pi - yaw0}) keep_if_reproduces(*m, roll, pitch, yaw, count, angles);
    }
}

QUORM_API void MTX3_rot_about_axis(double angle, const Vector3 *axis, MTX3_s *out) {
    double length;
    Vector3 u;
    MTX3_s r;
    if (!VEC3_unitize(axis, kAxisTol, &length, &u))
        r = MTX3_s{{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}};
    else
        mtx3_rotation(std::cos(angle), std::sin(angle), u, &r);
    QUORM_ASSERT_TEXT(MTX3_is_ortho_normal(&r), "MTX3_is_ortho_normal (r)");
    *out = r;
}

QUORM_API bool MTX3_is_ortho_normal(const MTX3_s *m) {
    const Vector3 x = mtx3_row(*m, 0), y = mtx3_row(*m, 1), z = mtx3_row(*m, 2);
    // Written so that a NaN fails every test.
    return std::fabs(quorm::dot(x, x) - 1.0) <= kOrthoTol && std::fabs(quorm::dot(y, y) - 1.0) <= kOrthoTol &&
           std::fabs(quorm::dot(z, z) - 1.0) <= kOrthoTol && std::fabs(quorm::dot(x, y)) <= kOrthoTol &&
           std::fabs(quorm::dot(x, z)) <= kOrthoTol && std::fabs(quorm::dot(y, z)) <= kOrthoTol;
}

QUORM_API bool MTX3_is_equal(const MTX3_s *a, const MTX3_s *b, double tol) {
    return within(a->elem, b->elem, 9, tol) && MTX3_is_ortho_normal(a) == MTX3_is_ortho_normal(b);
}

QUORM_API bool MTX3_is_identity(const MTX3_s *m, double tol) {
    static const MTX3_s identity = {{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}};
    return MTX3_is_equal(m, &identity, tol);
}

QUORM_API void MTX3_multiply(const MTX3_s *a, const MTX3_s *b, MTX3_s *out) {
    const bool ortho = MTX3_is_ortho_normal(a) && MTX3_is_ortho_normal(b);
    const double *x = a->elem, *y = b->elem;
    MTX3_s r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.elem[3 * i + j] = y[3 * i] * x[j] + y[3 * i + 1] * x[3 + j] + y[3 * i + 2] * x[6 + j];
    if (ortho) MTX3_ortho_normalize(&r);
    *out = r;
}

QUORM_API void MTX3_multiply_t(const MTX3_s *a, const MTX3_s *b, MTX3_s *out) {
    const bool ortho = MTX3_is_ortho_normal(a) && MTX3_is_ortho_normal(b);
    const double *x = a->elem, *y = b->elem;
    MTX3_s r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.elem[3 * i + j] = y[3 * i] * x[3 * j] + y[3 * i + 1] * x[3 * j + 1] + y[3 * i + 2] * x[3 * j + 2];
    if (ortho) MTX3_ortho_normalize(&r);
    *out = r;
}

} // extern "C"
