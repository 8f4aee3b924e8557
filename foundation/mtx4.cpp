// Homogeneous 4x4 transforms: products, inversion, comparison and the
// standard transforms about a point.
#include "foundation/mtx3_internal.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

const double kDegrees = 0.01745329251994328; // degrees to radians, as the library has always used it
const double kNullSquared = 1e-20;

// out: the 3x3 linear map L (rows of 3) that takes the point from to the
// point to, i.e. T(to) * L * T(-from).
void affine(const double *l, const Vector3 &from, const Vector3 &to, MTX4_s *out) {
    double *e = out->elem;
    const double t[3] = {to.x, to.y, to.z};
    for (int i = 0; i < 3; ++i) {
        const double *row = l + 3 * i;
        e[4 * i] = row[0];
        e[4 * i + 1] = row[1];
        e[4 * i + 2] = row[2];
        e[4 * i + 3] = t[i] - (row[0] * from.x + row[1] * from.y + row[2] * from.z);
    }
    e[12] = e[13] = e[14] = 0.0;
    e[15] = 1.0;
}

// T(point) * L * T(-point): L applied about point.
void about_point(const double *l, const Point3 &p, MTX4_s *out) {
    const Vector3 v{p.x, p.y, p.z};
    affine(l, v, v, out);
}

// True when v is too short to give a direction (a NaN counts as too short).
bool null_axis(const Vector3 &v) { return !(quorm::dot(v, v) > kNullSquared); }

// A row of four doubles handled as one value, so that the four columns of an
// inverse are substituted together in vector registers.
typedef double Row4 __attribute__((vector_size(4 * sizeof(double))));

// The LU factors of a 4x4 matrix are unusable when a pivot is no larger than
// the rounding error of the sum that produced it.  The decomposition replaces
// an exact zero pivot by a tiny number and carries on, so each pivot is
// recomputed from the original row it came from (a, by rows of 4) and
// compared with the size of the terms that cancelled in it.
bool lu_singular(const double *a, const double lu[4][4], const int index[4]) {
    int perm[4] = {0, 1, 2, 3};
    for (int j = 0; j < 4; ++j) {
        const int k = index[j];
        const int t = perm[j];
        perm[j] = perm[k];
        perm[k] = t;
    }
    bool singular = false;
    for (int j = 0; j < 4; ++j) {
        double pivot = a[4 * perm[j] + j];
        double size = std::fabs(pivot);
        for (int k = 0; k < j; ++k) {
            pivot -= lu[j][k] * lu[k][j];
            size += std::fabs(lu[j][k] * lu[k][j]);
        }
        singular |= !(std::fabs(pivot) > 16.0 * DBL_EPSILON * size);
    }
    return singular;
}

} // namespace

extern "C" {

QUORM_API void MTX4_multiply(const MTX4_s *a, const MTX4_s *b, MTX4_s *out) {
    const double *x = a->elem, *y = b->elem;
    MTX4_s r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.elem[4 * i + j] =
                y[4 * i] * x[j] + y[4 * i + 1] * x[4 + j] + y[4 * i + 2] * x[8 + j] + y[4 * i + 3] * x[12 + j];
    *out = r;
}

QUORM_API void MTX4_multiply_t(const MTX4_s *a, const MTX4_s *b, MTX4_s *out) {
    const double *x = a->elem, *y = b->elem;
    MTX4_s r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.elem[4 * i + j] = y[4 * i] * x[4 * j] + y[4 * i + 1] * x[4 * j + 1] + y[4 * i + 2] * x[4 * j + 2] +
                                y[4 * i + 3] * x[4 * j + 3];
    *out = r;
}

QUORM_API int MTX4_invert(const MTX4_s *m, MTX4_s *out) {
    double lu[4][4];
    std::memcpy(lu, m->elem, sizeof lu);
    double *rows[4] = {lu[0], lu[1], lu[2], lu[3]};
    int index[4];
    double parity;
    if (ludcmp_a(rows, 4, index, &parity) != 0 || lu_singular(m->elem, lu, index)) return 1;

    // Columns of the inverse: the four substitutions of unit vectors, run
    // side by side, a row of four columns at a time.  Each column gets the
    // arithmetic of a separate substitution (its leading zeros only add
    // zeros), so the result is that of solving column by column.  x starts as
    // the identity copied whole from a constant: built in place from zeros
    // and single ones, its rows would be read back in halves that the
    // processor cannot forward from the stores, which costs more than the
    // whole substitution.
    static const Row4 identity[4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    Row4 x[4];
    std::memcpy(x, identity, sizeof x);
    for (int i = 0; i < 4; ++i) {
        // Row i and the pivot row change places; the pivot row is never
        // above row i, and testing the later rows one by one keeps every
        // index of x a constant.
        for (int q = i + 1; q < 4; ++q) {
            if (q == index[i]) {
                const Row4 t = x[q];
                x[q] = x[i];
                x[i] = t;
            }
        }
        if (i > 0) {
            Row4 s = lu[i][0] * x[0];
            for (int k = 1; k < i; ++k) s += lu[i][k] * x[k];
            x[i] -= s;
        }
    }
    x[3] /= lu[3][3];
    for (int i = 2; i >= 0; --i) {
        Row4 s = lu[i][i + 1] * x[i + 1];
        for (int k = i + 2; k < 4; ++k) s += lu[i][k] * x[k];
        x[i] = (x[i] - s) / lu[i][i];
    }
    // Pivots tiny beside the other elements can make an inverse that
    // overflows: that is no inverse.
    double nonfinite = 0.0;
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k) nonfinite += x[i][k] * 0.0;
    if (nonfinite != 0.0) return 1;
    std::memcpy(out->elem, x, sizeof x);
    return 0;
}

QUORM_API bool MTX4_is_equal(const MTX4_s *a, const MTX4_s *b, double tol) {
    for (int k = 0; k < 16; ++k)
        if (!(std::fabs(a->elem[k] - b->elem[k]) <= tol)) return false;
    return MTX4_is_ortho_normal(a) == MTX4_is_ortho_normal(b);
}

QUORM_API bool MTX4_is_identity(const MTX4_s *m, double tol) {
    static const MTX4_s identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    return MTX4_is_equal(m, &identity, tol);
}

QUORM_API bool MTX4_is_equal_transform(const MTX4_s *a, const MTX4_s *b, double rotation_tol, double distance_tol,
                                       double last_tol) {
    const double *x = a->elem, *y = b->elem;
    // Written as "not within" so that a NaN element never compares equal.
    if (!(std::fabs(x[15] - y[15]) <= last_tol)) return false;
    const Vector3 d{x[3] - y[3], x[7] - y[7], x[11] - y[11]};
    if (!(quorm::dot(d, d) <= distance_tol * distance_tol)) return false;
    const MTX3_s la = mtx4_linear_part(*a), lb = mtx4_linear_part(*b);
    return MTX3_is_equal(&la, &lb, rotation_tol);
}

QUORM_API bool MTX4_is_ortho_normal(const MTX4_s *m) {
    const MTX3_s r = mtx4_linear_part(*m);
    return MTX3_is_ortho_normal(&r);
}

QUORM_API bool MTX4_ortho_normalize(MTX4_s *m) {
    MTX3_s r = mtx4_linear_part(*m);
    const bool changed = MTX3_ortho_normalize(&r);
    mtx4_set_linear_part(*m, r);
    return changed;
}

QUORM_API int MTX4_fixup(MTX4_s *m) {
    MTX3_s r = mtx4_linear_part(*m);
    const int result = MTX3_fixup(&r);
    mtx4_set_linear_part(*m, r);
    return result;
}

QUORM_API void MTX4_scaling(const Point3 *point, const Vector3 *factors, MTX4_s *out) {
    const double l[9] = {factors->x, 0.0, 0.0, 0.0, factors->y, 0.0, 0.0, 0.0, factors->z};
    about_point(l, *point, out);
}

QUORM_API int MTX4_rotation(const Point3 *point, const Vector3 *axis, double angle, MTX4_s *out) {
    if (null_axis(*axis)) return 1;
    double length;
    Vector3 u;
    VEC3_unitize(axis, 1e-10, &length, &u);
    if (angle < 0.0) u = Vector3{-u.x, -u.y, -u.z};
    const double radians = std::fabs(angle) * kDegrees;
    MTX3_s r;
    mtx3_rotation(std::cos(radians), std::sin(radians), u, &r);
    about_point(r.elem, *point, out);
    return 0;
}

QUORM_API int MTX4_mirror(const Point3 *point, const Vector3 *normal, MTX4_s *out) {
    if (null_axis(*normal)) return 1;
    double length;
    Vector3 n;
    VEC3_unitize(normal, 1e-10, &length, &n);
    const double l[9] = {1.0 - 2.0 * n.x * n.x, -2.0 * n.x * n.y,       -2.0 * n.x * n.z,
                         -2.0 * n.y * n.x,       1.0 - 2.0 * n.y * n.y, -2.0 * n.y * n.z,
                         -2.0 * n.z * n.x,       -2.0 * n.z * n.y,       1.0 - 2.0 * n.z * n.z};
    about_point(l, *point, out);
    return 0;
}

QUORM_API int MTX4_csys_to_csys(const Point3 *origin1, const Vector3 *x1, const Vector3 *y1, const Point3 *origin2,
                                const Vector3 *x2, const Vector3 *y2, MTX4_s *out) {
    if (null_axis(*x1) || null_axis(*y1) || null_axis(*x2) || null_axis(*y2)) return 1;
    // Axes that fix no frame (parallel, or not perpendicular) leave nothing
    // to compose.
    MTX3_s m1, m2;
    if (!MTX3_init(x1, y1, &m1) || !MTX3_init(x2, y2, &m2)) return 1;

    MTX4_s from = {{0}}, to = {{0}}, to_inverse;
    mtx4_set_linear_part(from, m1);
    mtx4_set_linear_part(to, m2);
    from.elem[15] = to.elem[15] = 1.0;
    if (MTX4_invert(&to, &to_inverse)) return 1;

    // out = T(origin2) * M2^-1 * M1 * T(-origin1)
    MTX4_s q;
    MTX4_multiply(&from, &to_inverse, &q);
    const MTX3_s l = mtx4_linear_part(q);
    affine(l.elem, Vector3{origin1->x, origin1->y, origin1->z}, Vector3{origin2->x, origin2->y, origin2->z}, out);
    return 0;
}

} // extern "C"
