// Homogeneous poles (w*x, w*y, w*z, w) and the bounding box of a rational
// B-curve over a parameter range.
#include "foundation/quorm_internal.h"

#include <quorm/kernel_geom.h>
#include <quorm/kernel_knot.h>
#include <quorm/pntlst.h>

#include <cmath>
#include <cstddef>

static_assert(offsetof(BCURVE_DATA, knots) == sizeof(double *), "BCURVE_DATA layout");
static_assert(offsetof(BCURVE_DATA, num_poles) == 2 * sizeof(double *), "BCURVE_DATA layout");
static_assert(offsetof(BCURVE_DATA, periodic) == 2 * sizeof(double *) + 3 * sizeof(int), "BCURVE_DATA layout");

namespace {

constexpr int max_order = 25;

inline void position(const double *pole, double out[3]) {
    out[0] = pole[0] / pole[3];
    out[1] = pole[1] / pole[3];
    out[2] = pole[2] / pole[3];
}

// Running box of Cartesian positions.
struct Box {
    double lo[3], hi[3];
    bool seen = false;

    void fold(const double *pole) {
        double inv = 1.0 / pole[3];
        double x[3] = {pole[0] * inv, pole[1] * inv, pole[2] * inv};
        for (int k = 0; k < 3; ++k) {
            if (!seen || x[k] < lo[k]) lo[k] = x[k];
            if (!seen || x[k] > hi[k]) hi[k] = x[k];
        }
        seen = true;
    }
};

// Folds the Bezier piece of span i, trimmed to [lo, hi], into the box: the
// control points of its eight halves at the third level enclose it tightly.
void fold_piece(const BCURVE_DATA *curve, int span, double lo, double hi, Box &box) {
    int degree = curve->order - 1;
    const double *knots = curve->knots + (span - degree);
    double bezier[max_order * 4];
    e0925(&degree, knots, curve->poles + 4 * static_cast<std::size_t>(span - degree), bezier);
    double old_range[2] = {curve->knots[span], curve->knots[span + 1]};
    double new_range[2] = {lo, hi};
    em0912(&degree, old_range, bezier, new_range, bezier);
    double halves[8 * max_order * 4];
    int level = 3;
    em0926(&degree, bezier, &level, halves);
    for (int p = 0; p < 8 * curve->order; ++p) box.fold(halves + 4 * p);
}

// Box of one range of a curve, folded into box.
void box_of_range(const BCURVE_DATA *curve, double start, double end, Box &box) {
    double tol = EQ_ask_number_tolerance();
    const double *knots = curve->knots;
    int first = 0, last = 0;
    e4322(&curve->order, &curve->num_poles, knots, &start, &first);
    e4322(&curve->order, &curve->num_poles, knots, &end, &last);
    for (int i = first; i <= last; ++i) {
        double t0 = knots[i], t1 = knots[i + 1];
        if (!(t1 - t0 > tol)) continue;
        double lo = t0, hi = t1;
        if (i == first) {
            lo = start;
            hi = i == last ? end : std::fmin(t1, end);
        } else if (i == last) {
            lo = std::fmax(t0, start);
            hi = end;
        }
        if (!(hi - lo > tol)) continue;
        fold_piece(curve, i, lo, hi, box);
    }
}

} // namespace

extern "C" {

QUORM_API int bc_POLE_equal_in_3d(const double *a, const double *b) {
    double pa[3], pb[3];
    position(a, pa);
    position(b, pb);
    double dx = pa[0] - pb[0], dy = pa[1] - pb[1], dz = pa[2] - pb[2];
    return dx * dx + dy * dy + dz * dz <= EQ_ask_length_squared_tolerance() ? 1 : 0;
}

QUORM_API int bc_POLE_equal_in_4d(const double *a, const double *b) {
    if (!(std::fabs(a[3] - b[3]) <= 1e-10)) return 0;
    return bc_POLE_equal_in_3d(a, b);
}

QUORM_API double bc_POLE_3d_distance(const double *a, const double *b, double out[3]) {
    double pa[3], pb[3];
    position(a, pa);
    position(b, pb);
    out[0] = pa[0] - pb[0];
    out[1] = pa[1] - pb[1];
    out[2] = pa[2] - pb[2];
    return std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
}

QUORM_API void bc_POLE_translate_pole(const double *pole, const double vec[3], double out[4]) {
    double w = pole[3];
    double x = pole[0] / w, y = pole[1] / w, z = pole[2] / w;
    out[0] = w * (x + vec[0]);
    out[1] = w * (y + vec[1]);
    out[2] = w * (z + vec[2]);
    out[3] = w;
}

QUORM_API void bc_POLE_project_to_line(const double *pole, const double *a, const double *b, double out[4]) {
    double pp[3], pa[3], pb[3], foot[3];
    position(pole, pp);
    position(a, pa);
    position(b, pb);
    h430(pa, pb, pp, foot);
    double w = pole[3];
    out[0] = w * foot[0];
    out[1] = w * foot[1];
    out[2] = w * foot[2];
    out[3] = w;
}

QUORM_API void bc_POLE_average_in_3d(double (*poles)[4], int n, double out[3]) {
    out[0] = out[1] = out[2] = 0.0;
    if (n <= 0) return; // no poles: the origin rather than 0/0
    for (int i = 0; i < n; ++i) {
        double p[3];
        position(poles[i], p);
        out[0] += p[0];
        out[1] += p[1];
        out[2] += p[2];
    }
    out[0] /= n;
    out[1] /= n;
    out[2] /= n;
}

QUORM_API int bc_POLE_identical_poles_in_3d(double (*poles)[4], int n) {
    // One pole (or none) trivially sits at one position; comparing it with a
    // pole half-way along the row would read past the row.
    if (n <= 1) return 1;
    if (!bc_POLE_equal_in_3d(poles[0], poles[(n + 1) / 2])) return 0;
    double mean[3];
    bc_POLE_average_in_3d(poles, n, mean);
    double d = (n - 1) * 1e-10 / n;
    for (int i = 0; i < n; ++i) {
        double p[3];
        position(poles[i], p);
        double dx = p[0] - mean[0], dy = p[1] - mean[1], dz = p[2] - mean[2];
        if (dx * dx + dy * dy + dz * dz > d * d) return 0;
    }
    return 1;
}

QUORM_API void bc_xyz_box(const BCURVE_DATA *curve, const double range[2], double box[6]) {
    for (int k = 0; k < 6; ++k) box[k] = 0.0;
    // Curves the work areas cannot hold, or without a span, get the empty box.
    if (!curve || curve->order < 1 || curve->order > max_order || curve->num_poles < curve->order) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Invalid B-curve for bounding box");
        return;
    }
    Box acc;
    if (curve->periodic) {
        int count = 0;
        double pieces[4];
        k71433(range, &count, pieces);
        for (int p = 0; p < count; ++p) box_of_range(curve, pieces[2 * p], pieces[2 * p + 1], acc);
    } else {
        // An inverted range is measured as the same stretch of curve.
        double start = std::fmin(range[0], range[1]), end = std::fmax(range[0], range[1]);
        box_of_range(curve, start, end, acc);
    }
    if (!acc.seen) {
        // A range too short to hold a piece: the box of the point at its start.
        double t = range[0];
        if (curve->periodic) t -= std::floor(t);
        int span = 0;
        e4322(&curve->order, &curve->num_poles, curve->knots, &t, &span);
        fold_piece(curve, span, t, t, acc);
    }
    for (int k = 0; k < 3; ++k) {
        box[k] = acc.lo[k];
        box[3 + k] = acc.hi[k];
    }
}

} // extern "C"
