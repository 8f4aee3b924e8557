// Bezier subdivision and the small knot-vector, parameter-list and nearest
// sample utilities of the kernel.
#include "foundation/quorm_internal.h"

#include <quorm/kernel_subdiv.h>
#include <quorm/kernel_toler.h>
#include <quorm/toler.h>
#include <quorm/vec3.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int kMaxDegree = 24;
constexpr double kKnotTol = 1e-10;

bool degree_ok(int n) {
    if (n >= 0 && n <= kMaxDegree) return true;
    if (quorm_checking())
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "degree %d outside 0..%d", n, kMaxDegree);
    return false;
}

// True when x is zero within the number tolerance.
bool number_zero(double x) {
    const double zero = 0.0;
    const int index = 0;
    int out = 0;
    h805(&x, &zero, &index, &out);
    return out == 1;
}

double dist2(const double *a, const double *b) {
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return dx * dx + dy * dy + dz * dz;
}

// Index of the sample nearest to p among count samples of the given stride
// whose point starts at offset; the first of equal distances wins and a NaN
// distance never does while a comparable one exists.
int nearest_sample(const double *p, int count, const double *samples, int stride, int offset) {
    int best = -1;
    double best_d = std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < count; ++i) {
        const double d = dist2(p, samples + i * stride + offset);
        if (best < 0 || d < best_d || (std::isnan(best_d) && !std::isnan(d))) {
            best = i;
            best_d = d;
        }
    }
    return best;
}

} // namespace

extern "C" {

QUORM_API void em0911(const int *pn, const double *poly, const double *pu, double *left, double *right) {
    const int n = *pn;
    if (!degree_ok(n)) return;
    const double u = *pu, d = 1.0 - u;
    // One row of the de Casteljau triangle at a time: level r overwrites
    // level r - 1, and its first and last points are the r-th points of the
    // two halves.  The outputs are written only from the work row, so left
    // and right may overlap the polygon (or share their middle point).
    double w[kMaxDegree + 1][4];
    std::memcpy(w, poly, static_cast<std::size_t>(n + 1) * 4 * sizeof(double));
    std::memcpy(left, w[0], sizeof w[0]);
    std::memcpy(right + 4 * n, w[n], sizeof w[n]);
    for (int r = 1; r <= n; ++r) {
        for (int j = 0; j <= n - r; ++j)
            for (int c = 0; c < 4; ++c) w[j][c] = u * w[j + 1][c] + d * w[j][c];
        std::memcpy(left + 4 * r, w[0], sizeof w[0]);
        std::memcpy(right + 4 * (n - r), w[n - r], sizeof w[0]);
    }
}

QUORM_API void e0924(const int *pcount, const double *knots, int *multiplicity) {
    const int count = *pcount;
    int best = 1;
    int start = 0; // first knot of the current run
    for (int i = 1; i < count; ++i) {
        if (std::fabs(knots[i] - knots[start]) <= kKnotTol) continue;
        // The run knots[start .. i-1] has ended.
        const double v = knots[start];
        const int run = i - start;
        if (std::fabs(v) > kKnotTol && std::fabs(v - 1.0) > kKnotTol && run > best) best = run;
        start = i;
    }
    *multiplicity = best;
}

QUORM_API void h0910(const int *pk, const int *pcount, const double *knots, double *out) {
    const int k = *pk, count = *pcount;
    if (k < 1 || count < k) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "order %d with %d knots", k, count);
        return;
    }
    const double base = knots[k - 1];
    const double length = knots[count - k] - base;
    const bool flat = number_zero(length);
    for (int i = 0; i < count; ++i) out[i] = flat ? 0.0 : (knots[i] - base) / length;
}

QUORM_API void h0911(const int *, const int *pcount, const double *values, const double interval[2], double *out) {
    const double a = interval[0], length = interval[1] - interval[0];
    const bool flat = number_zero(length);
    for (int i = 0; i < *pcount; ++i) out[i] = flat ? 0.0 : (values[i] - a) / length;
}

QUORM_API void h0915(const int *descriptor, const double *points, double *length) {
    const int count = descriptor[0], dim = descriptor[3];
    double sum = 0.0;
    for (int i = 1; i < count && dim > 0; ++i) {
        const double *a = points + (i - 1) * dim, *b = points + i * dim;
        double s = 0.0;
        for (int c = 0; c < dim; ++c) s += (b[c] - a[c]) * (b[c] - a[c]);
        sum += std::sqrt(s);
    }
    *length = sum;
}

QUORM_API void em0200(const double pa[2], const double pb[2], double *a, double *b, double *d) {
    const double la = pa[1] - pb[1], lb = pb[0] - pa[0];
    const double ld = -(pa[0] * la + pa[1] * lb);
    *a = la;
    *b = lb;
    *d = ld;
}

QUORM_API void em0154(const double point[3], const int *count, const double *samples, double uv[2]) {
    const int i = nearest_sample(point, *count, samples, 5, 2);
    if (i < 0) return;
    uv[0] = samples[5 * i];
    uv[1] = samples[5 * i + 1];
}

QUORM_API void em0156(const double point[3], const int *pcount, const double *samples, double *t) {
    const int count = *pcount;
    const int i = nearest_sample(point, count, samples, 4, 1);
    if (i < 0) return;
    const double *s = samples + 4 * i;
    const quorm_vector3 offset = {point[0] - s[1], point[1] - s[2], point[2] - s[3]};
    const double tol = std::fabs(EQ_ask_length_tolerance());
    double best_f = 0.0, best_t = s[0];
    for (int j = i - 1; j <= i + 1; j += 2) {
        if (j < 0 || j >= count) continue;
        const double *n = samples + 4 * j;
        const quorm_vector3 chord = {n[1] - s[1], n[2] - s[2], n[3] - s[3]};
        quorm_vector3 unit;
        double len = 0.0;
        if (!VEC3_unitize(&chord, tol, &len, &unit)) continue;
        double f = (offset.x * unit.x + offset.y * unit.y + offset.z * unit.z) / len;
        if (!(f > best_f)) continue;
        if (f > 1.0) f = 1.0;
        best_f = f;
        best_t = s[0] + f * (n[0] - s[0]);
    }
    *t = best_t;
}

} // extern "C"
