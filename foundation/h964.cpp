// Coordinate-system matrices carried through scaled transformations (h964),
// and the composition of scaled transformations (h965).
//
// A scaled transformation is 13 doubles: the 3x3 matrix A row by row (the
// scale included), the translation t and the scale factor s.
#include "foundation/quorm_internal.h"
#include "foundation/mtx3_internal.h"

#include <algorithm>
#include <cmath>

using namespace quorm;

namespace {

constexpr int translation_at = 9;
constexpr int scale_at = 12;

MTX3_s linear_part(const double *transform) {
    MTX3_s m;
    std::copy(transform, transform + 9, m.elem);
    return m;
}

// Diagnostic dumps, written to the log while checking is on.  A matrix is
// written column by column: line j holds element j of rows 0, 1 and 2.
const char dump_line[] = "       % 14.12e % 14.12e % 14.12e\n";

void dump_vector(const char *caption, const Vector3 &v) {
    if (quorm_checking()) ERROR_lprintf("%s\n       % 14.12e % 14.12e % 14.12e\n", caption, v.x, v.y, v.z);
}

void dump_matrix(const char *caption, const MTX3_s &m) {
    if (!quorm_checking()) return;
    ERROR_lprintf("%s\n", caption);
    for (int j = 0; j < 3; ++j) ERROR_lprintf(dump_line, m.elem[j], m.elem[3 + j], m.elem[6 + j]);
}

// The older computation, kept to cross-check the current one: the carried
// axes have the scale divided out (the Z axis by the signed scale) and are
// rebuilt as a frame; a left-handed result is refused.  A scale that leaves
// no finite axes to rebuild from (zero, or tiny against the matrix) makes the
// method fail instead of feeding them to the frame construction.
bool carry_by_old_method(const MTX3_s &carried, double s, MTX3_s *q) {
    MTX3_s m = carried;
    if (std::fabs(s - 1.0) > 1e-10) {
        Vector3 x = scale(1.0 / std::fabs(s), mtx3_row(carried, 0));
        Vector3 y = scale(1.0 / std::fabs(s), mtx3_row(carried, 1));
        Vector3 z = scale(1.0 / s, mtx3_row(carried, 2));
        if (!is_finite(x) || !is_finite(y) || !is_finite(z)) return false;
        // Unit-sized (exactly) so that long axes do not overflow the frame's
        // cross products.
        x = vec3_unit_sized(x);
        y = vec3_unit_sized(y);
        z = vec3_unit_sized(z);
        if (!MTX3_init_x_y_z(&x, &y, &z, &m)) return false;
    }
    if (dot(mtx3_row(m, 2), cross(mtx3_row(m, 0), mtx3_row(m, 1))) < 0.0) {
        ERROR_lprintf("Old method of FTN(h964) () returning a left-handed matrix\n");
        return false;
    }
    *q = m;
    return true;
}

// Repairs carried axes that gave no frame.  The matrix is first divided by
// its largest element (not by a length, whose square could underflow), so
// that the repair sees axes of about unit size whatever the scale: axes that
// were merely too short then make a frame the ordinary way, and anything
// else (a shear) is handed to MTX3_ortho_normalize.  Non-finite axes are
// never handed to the repair.  True when an ortho-normal frame came out.
bool repair_frame(const MTX3_s &carried, MTX3_s *out) {
    if (!mtx3_is_finite(carried)) return false;
    MTX3_s m = carried;
    double largest = 0.0;
    for (double e : m.elem) largest = std::max(largest, std::fabs(e));
    if (largest > 0.0)
        for (double &e : m.elem) e /= largest;
    Vector3 x = mtx3_row(m, 0);
    Vector3 y = mtx3_row(m, 1);
    if (MTX3_init(&x, &y, out)) return true;
    MTX3_ortho_normalize(&m);
    if (!mtx3_is_finite(m) || !MTX3_is_ortho_normal(&m)) return false;
    *out = m;
    return true;
}

bool differ(const MTX3_s &a, const MTX3_s &b, double tol) {
    for (int i = 0; i < 9; ++i)
        if (std::fabs(a.elem[i] - b.elem[i]) > tol) return true;
    return false;
}

} // namespace

extern "C" {

QUORM_API int h964(const MTX3_s *csys, const double *transform, MTX3_s *out) {
    const MTX3_s a = linear_part(transform);
    const double s = transform[scale_at];
    const MTX3_s c = *csys;

    // Each axis of the system carried through A: C * A^T.
    MTX3_s carried;
    MTX3_multiply_t(&a, &c, &carried);

    MTX3_s old_result;
    bool old_ok = false;
    if (quorm_checking()) {
        old_ok = carry_by_old_method(carried, s, &old_result);
        if (!old_ok)
            ERROR_note(__FILE__, __LINE__, "Old method of FTN(h964) () failed to produce a matrix");
    }

    // The frame of the carried X and Y axes; this discards the scale.
    Vector3 x = mtx3_row(carried, 0);
    Vector3 y = mtx3_row(carried, 1);
    MTX3_s result;
    // The axes are brought to unit size first (exactly), so that long ones
    // do not overflow the frame's cross products.
    const Vector3 xs = vec3_unit_sized(x), ys = vec3_unit_sized(y);
    bool first_ok = MTX3_init(&xs, &ys, &result) != 0;
    bool built = first_ok;
    if (!first_ok) {
        if (quorm_checking())
            ERROR_note(__FILE__, __LINE__, "First attempt in FTN(h964) () failed to produce a matrix");
        dump_matrix("transformation matrix", a);
        dump_matrix("orginal csys matrix", c);
        dump_vector("X axis", x);
        dump_vector("Y axis", y);
        built = repair_frame(carried, &result);
        if (built) dump_matrix("h964 output", result);
    }
    // Only a frame is ever handed back (a transformation that is not finite
    // gets here at checking level 0, when nothing has asserted on it).
    if (!built || !mtx3_is_finite(result) || !MTX3_is_ortho_normal(&result)) {
        if (quorm_checking() && mtx3_is_finite(carried))
            ERROR_internal(__FILE__, __LINE__, "h964: the repaired csys matrix is not ortho-normal");
        return 0;
    }
    *out = result;

    if (first_ok && old_ok && MTX3_is_ortho_normal(&c) && MTX3_is_ortho_normal(&old_result) &&
        differ(result, old_result, 1e-8)) {
        dump_matrix("transformation matrix", a);
        dump_matrix("orginal csys matrix", c);
        ERROR_lprintf("transformation scale factor = % 14.12e\n", s);
        dump_matrix("V14 output result", old_result);
        dump_matrix("V15 output result", result);
        ERROR_internal(__FILE__, __LINE__,
                       "V14 version of FTN(h964) () produced different result than V15 version.");
    }
    return 1;
}

QUORM_API void h965(double *a, const double *b) {
    const double sb = b[scale_at];
    const double inverse = 1.0 / sb;
    if (!std::isfinite(sb) || !std::isfinite(inverse)) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "h965: unusable scale factor %g", sb);
        return;
    }
    const MTX3_s ma = linear_part(a);
    const MTX3_s mb = linear_part(b);
    MTX3_s product;
    MTX3_multiply(&ma, &mb, &product); // A_b * A_a
    Vector3 t = add(vec(b + translation_at), mtx3_local(mb, vec(a + translation_at)));
    for (int i = 0; i < 9; ++i) a[i] = inverse * product.elem[i];
    store(t, a + translation_at);
}

} // extern "C"
