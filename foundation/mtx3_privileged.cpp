// Repair of 3-D frames: ortho-normalizing and snapping nearly exact elements.
#include "foundation/mtx3_internal.h"

#include <cmath>

namespace {

const double kSnap = 1e-10;

// Number of "altered" notes MTX3_fixup has issued in this process.
int fixup_notes_issued = 0;
const int kMaxFixupNotes = 5;

// Row by row: elements within 1e-10 of 0 become 0; the first element within
// 1e-10 of +-1 becomes +-1 and the other two of its row 0.
void snap_rows(MTX3_s &m) {
    for (int i = 0; i < 3; ++i) {
        double *row = m.elem + 3 * i;
        for (int j = 0; j < 3; ++j)
            if (std::fabs(row[j]) <= kSnap) row[j] = 0.0;
        for (int j = 0; j < 3; ++j) {
            if (std::fabs(std::fabs(row[j]) - 1.0) <= kSnap) {
                const double one = row[j] < 0.0 ? -1.0 : 1.0;
                row[0] = row[1] = row[2] = 0.0;
                row[j] = one;
                break;
            }
        }
    }
}

// Rebuilds m from its roll, pitch and yaw sines and cosines: always
// ortho-normal for finite input, however degenerate the rows.
void rebuild_from_angles(MTX3_s &m, bool snap) {
    double pair[6];
    if (snap) snap_rows(m);
    mtx3_rpy_pairs(m, pair);
    mtx3_from_rpy_pairs(pair, &m);
    if (snap) snap_rows(m);
}

// Snaps one element of MTX3_fixup: near 0 to 0, near +-1 to +-1.
double snap_element(double v) {
    if (std::fabs(v) <= kSnap) return 0.0;
    if (std::fabs(std::fabs(v) - 1.0) <= kSnap) return v < 0.0 ? -1.0 : 1.0;
    return v;
}

} // namespace

extern "C" {

QUORM_API bool MTX3_ortho_normalize(MTX3_s *m) {
    // A pass either rebuilds m from two finite, non-null, perpendicular rows
    // or from its angles, and both give an ortho-normal matrix, so the loop
    // ends after a few passes; the bound only guards against the unforeseen.
    const int kMaxPasses = 8;
    int pass = 0;
    for (; pass < kMaxPasses && !MTX3_is_ortho_normal(m); ++pass) {
        const Vector3 x = mtx3_row(*m, 0), z = mtx3_row(*m, 2);
        if (!quorm::is_finite(x) || !quorm::is_finite(z)) {
            // Nothing to rebuild from.  Checked, this is the finiteness
            // assertion of the unitizing below; unchecked, m becomes the
            // identity rather than staying non-finite.
            QUORM_ASSERT_TEXT(false, "VEC3_is_finite (u)");
            *m = MTX3_s{{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}};
            return true;
        }
        const bool first = pass == 0;
        if (quorm::dot(x, x) <= 1e-28 || quorm::dot(z, z) <= 1e-28 || std::fabs(quorm::dot(x, z)) > 1e-14) {
            rebuild_from_angles(*m, first);
        } else {
            // Keeps Z and re-derives X and Y.  The rows are brought to unit
            // size first (exactly, by powers of two) so that the cross
            // product of large rows stays finite.  Rows too short for the
            // cross product (a tiny matrix) leave only the angles to go by.
            const Vector3 xs = vec3_unit_sized(x), zs = vec3_unit_sized(z);
            const Vector3 y = quorm::cross(zs, xs);
            if (!MTX3_init_y_z(&y, &zs, m)) rebuild_from_angles(*m, first);
        }
    }
    return pass > 0;
}

QUORM_API int MTX3_fixup(MTX3_s *m) {
    const MTX3_s original = *m;
    for (int k = 0; k < 6; ++k) m->elem[k] = snap_element(m->elem[k]);

    double length;
    Vector3 x = mtx3_row(*m, 0), y = mtx3_row(*m, 1), z;
    // A null row is all zeros already: every element was snapped.
    if (!VEC3_unitize(&x, kSnap, &length, &x)) {
        if (quorm_checking()) ERROR_note(__FILE__, __LINE__, "X vector of matrix is zero");
        return 0;
    }
    mtx3_set_row(*m, 0, x);
    if (!VEC3_unitize(&y, kSnap, &length, &y)) {
        if (quorm_checking()) ERROR_note(__FILE__, __LINE__, "Y vector of matrix is zero");
        return 0;
    }
    // Y less its part along X has the same cross product with X, but one
    // computed to full relative precision however close Y is to X's
    // direction, so that Z comes out perpendicular to X.
    const Vector3 y_perp = quorm::scale_add(-quorm::dot(x, y), x, y);
    const Vector3 c = quorm::cross(x, y_perp);
    if (!VEC3_unitize(&c, kSnap, &length, &z)) {
        // Parallel X and Y fix no frame: m is left as it came.
        *m = original;
        if (quorm_checking()) ERROR_note(__FILE__, __LINE__, "X and Y vectors of matrix are parallel");
        return 0;
    }
    mtx3_set_row(*m, 1, quorm::cross(z, x));
    mtx3_set_row(*m, 2, z);

    bool altered = false;
    for (int k = 0; k < 6; ++k) {
        if (std::fabs(m->elem[k] - original.elem[k]) > kSnap) {
            ERROR_lprintf("MTX3_fixup: Element %d of matrix modified from %25.15f to %25.15f\n", k,
                          original.elem[k], m->elem[k]);
            altered = true;
        }
    }
    if (altered && quorm_checking() && fixup_notes_issued < kMaxFixupNotes) {
        ++fixup_notes_issued;
        ERROR_note(__FILE__, __LINE__, "MTX3_fixup: some matrix elements altered - see above");
    }
    return 1;
}

} // extern "C"
