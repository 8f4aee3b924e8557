// Bezier pieces of B-spline curves: span to Bezier polygon, re-description
// over another interval, repeated halving, knot-span search, reduction of a
// periodic parameter range, and the length factor of the normalised slopes.
#include "foundation/quorm_internal.h"

#include <quorm/kernel_knot.h>
#include <quorm/kernel_toler.h>

#include <cmath>
#include <cstring>

namespace {

constexpr int max_degree = 24;

// One homogeneous point of a work polygon.
struct Hpt {
    double c[4];
};

inline void lerp(const Hpt &a, const Hpt &b, double t, Hpt &out) {
    double s = 1.0 - t;
    for (int k = 0; k < 4; ++k) out.c[k] = s * a.c[k] + t * b.c[k];
}

inline void load(const double *poly, int count, Hpt *work) {
    std::memcpy(work, poly, static_cast<std::size_t>(count) * 4 * sizeof(double));
}

inline void save(const Hpt *work, int count, double *poly) {
    std::memcpy(poly, work, static_cast<std::size_t>(count) * 4 * sizeof(double));
}

// A degree outside 0..24 is refused while checking; unchecked the call
// writes nothing.
bool degree_ok(int n) {
    if (n >= 0 && n <= max_degree) return true;
    if (quorm_checking())
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "degree %d outside 0..%d", n, max_degree);
    return false;
}

// a and b equal within the number tolerance (the kernel's comparison).
bool near_number(double a, double b) {
    const int index = 0;
    int out = 0;
    h805(&a, &b, &index, &out);
    return out == 1;
}

// Knot-insertion ratio; an empty knot interval contributes nothing.
inline double ratio(double num, double den) { return den != 0.0 ? num / den : 0.0; }

// Blossom of the polynomial whose Bezier polygon over [0, 1] is poly, with
// n - j arguments u0 and j arguments u1.  Each level interpolates with one of
// the two local parameters directly, so no intermediate description over a
// short interval is extrapolated.
void blossom(int n, const Hpt *poly, double u0, double u1, int j, Hpt &out) {
    Hpt w[max_degree + 1];
    std::memcpy(w, poly, static_cast<std::size_t>(n + 1) * sizeof(Hpt));
    for (int r = 1; r <= n; ++r) {
        double u = r <= n - j ? u0 : u1;
        for (int i = 0; i <= n - r; ++i) lerp(w[i], w[i + 1], u, w[i]);
    }
    out = w[0];
}

// Halves a polygon at its middle into left and right (exact de Casteljau at
// 0.5).  The polygon is read into a work triangle first, so left or right
// may overlap it.
void halve(int n, const Hpt *poly, Hpt *left, Hpt *right) {
    Hpt w[max_degree + 1];
    std::memcpy(w, poly, static_cast<std::size_t>(n + 1) * sizeof(Hpt));
    left[0] = w[0];
    right[n] = w[n];
    for (int r = 1; r <= n; ++r) {
        for (int i = 0; i <= n - r; ++i)
            for (int k = 0; k < 4; ++k) w[i].c[k] = 0.5 * (w[i].c[k] + w[i + 1].c[k]);
        left[r] = w[0];
        right[n - r] = w[n - r];
    }
}

} // namespace

extern "C" {

QUORM_API void e0925(const int *pn, const double *k, const double *in, double *out) {
    int n = *pn;
    if (!degree_ok(n)) return;
    Hpt d[max_degree + 1], q[max_degree + 1];
    load(in, n + 1, d);
    double t0 = k[n], t1 = k[n + 1];
    // Left side: insert t0 until every left knot is t0.  After level r the
    // last point is the blossom (t0^r, k[n+1] ... k[2n-r]).
    q[n] = d[n];
    for (int r = 1; r <= n; ++r) {
        for (int i = n; i >= r; --i) lerp(d[i - 1], d[i], ratio(t0 - k[i], k[i + n + 1 - r] - k[i]), d[i]);
        q[n - r] = d[n];
    }
    // Right side: the polygon q has the left knots t0 (n + 1 times) and the
    // right knots k[n+1] ... k[2n+1]; insert t1 until the right knots are t1.
    // After level r the diagonal point r is the Bezier point r.
    for (int r = 1; r <= n; ++r) {
        for (int i = n; i >= r; --i) lerp(q[i - 1], q[i], ratio(t1 - t0, k[i + n + 1 - r] - t0), q[i]);
    }
    save(q, n + 1, out);
}

QUORM_API void em0912(const int *pn, const double *p, const double *in, const double *q, double *out) {
    int n = *pn;
    if (!degree_ok(n)) return;
    double span = p[1] - p[0];
    Hpt poly[max_degree + 1], result[max_degree + 1];
    load(in, n + 1, poly);
    if ((near_number(q[0], p[0]) && near_number(q[1], p[1])) || near_number(span, 0.0)) {
        // The same interval, or an old interval without length (over which
        // no other description is defined): the polygon stands as it is.
        save(poly, n + 1, out);
        return;
    }
    double u0 = (q[0] - p[0]) / span, u1 = (q[1] - p[0]) / span;
    for (int j = 0; j <= n; ++j) blossom(n, poly, u0, u1, j, result[j]);
    save(result, n + 1, out);
}

QUORM_API void em0926(const int *pn, const double *in, const int *plevel, double *out) {
    int n = *pn, level = *plevel;
    if (!degree_ok(n)) return;
    if (level < 0) level = 0;
    std::size_t points = static_cast<std::size_t>(n + 1);
    Hpt *polys = reinterpret_cast<Hpt *>(out);
    std::memmove(polys, in, points * sizeof(Hpt));
    // Polygon c of the current level sits in slot c; halving from the last
    // polygon down puts its halves into slots 2c and 2c + 1, which no
    // polygon still waiting occupies.
    int count = 1;
    for (int l = 0; l < level; ++l) {
        for (int c = count - 1; c >= 0; --c) halve(n, polys + c * points, polys + 2 * c * points, polys + (2 * c + 1) * points);
        count *= 2;
    }
}

QUORM_API void e4322(const int *porder, const int *pnum_poles, const double *knots, const double *pt, int *span) {
    int low = *porder - 1, high = *pnum_poles - 1;
    if (high < low) {
        *span = low;
        return;
    }
    double t = *pt;
    // The last non-empty span takes the end parameter and everything beyond.
    int last = high;
    while (last > low && knots[last] >= knots[last + 1]) --last;
    if (t >= knots[last]) {
        *span = last;
        return;
    }
    if (!(t >= knots[low])) { // before the domain (or NaN): the first span
        *span = low;
        while (*span < last && knots[*span] >= knots[*span + 1]) ++*span;
        return;
    }
    // knots[low] <= t < knots[last]: the span with knots[i] <= t < knots[i+1].
    int lo = low, hi = last;
    while (hi - lo > 1) {
        int mid = lo + (hi - lo) / 2;
        if (knots[mid] <= t)
            lo = mid;
        else
            hi = mid;
    }
    *span = lo;
}

QUORM_API void k71433(const double *range, int *count, double *ranges) {
    double tol = EQ_ask_number_tolerance();
    double start = range[0], end = range[1];
    if (end - start >= 1.0 - tol) {
        *count = 1;
        ranges[0] = 0.0;
        ranges[1] = 1.0;
        return;
    }
    start -= std::floor(start);
    end -= std::floor(end);
    if (end < start) end += 1.0;
    if (end > 1.0) {
        *count = 2;
        ranges[0] = start;
        ranges[1] = 1.0;
        ranges[2] = 0.0;
        ranges[3] = end - 1.0;
        return;
    }
    *count = 1;
    ranges[0] = start;
    ranges[1] = end;
}

QUORM_API void h813(const int *kind, const double *vhat, const double *ahat, double *e) {
    if (*kind != 4 && *kind != 5) {
        *e = 1.0;
        return;
    }
    // A null direction has no angle to the automatic slope: f is 0 then.
    double f = vhat[0] * ahat[0] + vhat[1] * ahat[1] + vhat[2] * ahat[2];
    *e = (*kind == 4 && f < 0.0) ? -2.0 - f : 2.0 - f;
}

} // extern "C"
