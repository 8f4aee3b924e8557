// Parameters, least-squares weights, automatic derivatives and normalised
// slopes of curve defining data.
#include "bcdf/bcdf_edit_internal.h"

#include <algorithm>
#include <cmath>

using namespace quorm_bcdf;

namespace {

// Slope types whose slope at a neighbouring point is mirrored about the
// chord when an end derivative is estimated.
bool mirrored_type(int type) { return type == 2 || type == 4 || type == 5; }

// Slope of the point (1 with its position), 0 when it carries none.
bool slope_of_point(const BCDF_s *b, int point, int *pos) {
    if (!b->slopes || !b->params) return false;
    return BCDF_slope_at_point(b, point, pos) == 1;
}

// Quadratic through (or with a derivative at) three parameters; first and
// second derivatives at u into d1 and d2.  A singular system (coincident
// parameters) leaves both zero.
void quadratic_derivs(const double *a, const double *b, const double *c, double t0, double t1, double t2, int kind,
                      double u, double d1[3], double d2[3]) {
    const double t[3] = {t0, t1, t2};
    double q[9];
    if (BCDF_CALC_quadratic_apprx(a, b, c, t, kind, u, 2, q) != 0) return;
    quorm::copy(q + 3, d1);
    quorm::copy(q + 6, d2);
}

// First derivative m mirrored from the slope s at the neighbour about the
// chord from near to far end, and the second derivative of length |m| that
// turns towards the chord (zero when m runs along the chord).
void mirrored_end(const double *s, const double *p0, const double *p1, const double *chord, double d1[3],
                  double d2[3]) {
    BCDF_CALC_mirror_slope(s, p0, p1, d1);
    double n[3];
    quorm::cross(chord, d1, n);
    const double len = length3(n);
    if (len >= kNullLength) {
        quorm::cross(d1, n, d2);
        quorm::scale(1.0 / len, d2, d2);
    }
}

// Cosine of the angle between a and b: 1 when either is shorter than 1e-10,
// snapped to 0 and 1 within 1e-10, never below -1.
double cosine(const double *a, const double *b) {
    const double la = length3(a), lb = length3(b);
    if (la < kNullLength || lb < kNullLength) return 1.0;
    double g = quorm::dot(a, b) / (la * lb);
    if (std::fabs(g) <= 1e-10) g = 0.0;
    if (std::fabs(g - 1.0) <= 1e-10) g = 1.0;
    if (g < -1.0) g = -1.0;
    return g;
}

// Length factor of a slope for the angle (cosine g) it makes with a chord.
double chord_factor(const BCDF_s *b, double g) {
    if (count(b->crvatrs) == 0 && b->order != 5 && b->order != 6) return 2.0 / (1.0 + g);
    if (std::fabs(g) <= 1e-10) return 1.6;
    if (std::fabs(g - 1.0) <= 1e-10) return 1.0;
    const double s = std::sqrt(std::max(0.0, 1.0 - g * g));
    return (5.0 * s - std::sqrt((25.0 - 7.0 * g) * (1.0 - g))) / (2.0 * g * s);
}

// Sizes v to the chord from point `from` to point `to` (parameter span
// `span`; `far` is the chord's point away from the slope's own) and sets
// *dist to the distance of that point from the line of v.
void adjust_to_chord(const BCDF_s *b, int from, int to, int far, double span, double v[3], double *dist) {
    const double lv = length3(v);
    if (lv < kNullLength) return;
    double p0[3], p1[3], c[3];
    cart_point(b, from, p0);
    cart_point(b, to, p1);
    quorm::sub(p1, p0, c);
    const double lc = length3(c);
    double g = cosine(v, c);
    *dist = lc * std::sqrt(std::max(0.0, 1.0 - g * g));
    int pos = 0;
    if (slope_of_point(b, far, &pos)) g = cosine(vec_at(b->slopes, pos), c);
    if (g < 0.0 || std::fabs(span) <= kParamTol) return;
    quorm::scale(chord_factor(b, g) * lc / span / lv, v, v);
}

} // namespace

extern "C" {

QUORM_API void BCDF_CALC_parameters(int n, int dimension, const double *points, double power, bool normalise,
                                    double *out) {
    if (n <= 0) return;
    out[0] = 0.0;
    const bool uniform = std::fabs(power) <= 1e-10;
    const bool chord = std::fabs(power - 1.0) <= 1e-10;
    for (int j = 1; j < n; ++j) {
        double step = 1.0;
        if (!uniform) {
            const double *p = points + static_cast<size_t>(j) * dimension;
            const double *q = p - dimension;
            double s = 0.0;
            for (int k = 0; k < dimension; ++k) s += (p[k] - q[k]) * (p[k] - q[k]);
            step = std::sqrt(s);
            if (!chord) step = std::pow(step, power);
        }
        out[j] = out[j - 1] + step;
    }
    // All points at one place: equal steps keep the parameters increasing.
    if (std::fabs(out[n - 1]) <= 1e-10)
        for (int j = 0; j < n; ++j) out[j] = static_cast<double>(j) * (n - 1);
    // A single point has no range to normalise.
    if (normalise && n > 1) {
        const double last = out[n - 1];
        for (int j = 1; j < n - 1; ++j) out[j] /= last;
        out[n - 1] = 1.0;
    }
}

#if QUORM_FULL_BUILD
QUORM_API void BCDF_CALC_weights(int periodic, int n, const double *params, double *out) {
#else
QUORM_API void BCDF_CALC_weights(int n, const double *params, double *out) {
    const int periodic = 0;
#endif
    if (n <= 0) return;
    if (n == 1) {
        out[0] = 0.0;
        return;
    }
    out[0] = 0.5 * (params[1] - params[0]);
    for (int i = 1; i < n - 1; ++i) out[i] = 0.5 * (params[i + 1] - params[i - 1]);
    out[n - 1] = 0.5 * (params[n - 1] - params[n - 2]);
    if (periodic) out[0] = out[n - 1] = out[0] + out[n - 1];
}

QUORM_API double BCDF_CALC_single_weight(int n, const double *params, int i) {
    if (n < 2) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Not Enough Parameters");
        return 0.0;
    }
    if (i < 0 || i >= n) return 0.0;
    if (i == 0) return 0.5 * (params[1] - params[0]);
    if (i == n - 1) return 0.5 * (params[n - 1] - params[n - 2]);
    return 0.5 * (params[i + 1] - params[i - 1]);
}

QUORM_API int BCDF_CALC_quadratic_apprx(const double *a, const double *b, const double *c, const double *t, int kind,
                                        double u, int nderiv, double *out) {
    // Rows of the conditions on (A, B, C): a value at t or a derivative at t.
    double m[9];
    const bool derivative[3] = {false, kind == 2, kind == 1};
    for (int r = 0; r < 3; ++r) {
        if (derivative[r]) {
            m[3 * r] = 2.0 * t[r];
            m[3 * r + 1] = 1.0;
            m[3 * r + 2] = 0.0;
        } else {
            m[3 * r] = t[r] * t[r];
            m[3 * r + 1] = t[r];
            m[3 * r + 2] = 1.0;
        }
    }
    double coef[3][3]; // per coordinate: A, B, C
    for (int k = 0; k < 3; ++k) {
        const double rhs[3] = {a[k], b[k], c[k]};
        const int status = SOLVE_solve_3equations(m, rhs, coef[k]);
        if (status != 0) return status;
    }
    for (int k = 0; k < 3; ++k) {
        const double A = coef[k][0], B = coef[k][1], C = coef[k][2];
        if (nderiv >= 0) out[k] = (A * u + B) * u + C;
        if (nderiv >= 1) out[3 + k] = B + 2.0 * A * u;
        if (nderiv >= 2) out[6 + k] = 2.0 * A;
    }
    return 0;
}

QUORM_API void BCDF_CALC_auto_derivatives(const BCDF_s *bcdf, int point, int nderiv, double *out) {
    const int n = num_points(bcdf);
    if (quorm_checking() && (point < 0 || point >= n))
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_INVALID_POSITION, "An Invalid Point Position Was Given By Calling Routine");
    const int nout = nderiv >= 2 ? 6 : 3;
    for (int k = 0; k < nout; ++k) out[k] = 0.0;
    const double *t = params(bcdf);
    if (n < 2 || point < 0 || point >= n || !t) return;

    double d1[3] = {0.0, 0.0, 0.0}, d2[3] = {0.0, 0.0, 0.0};
    double pa[3], pb[3], pc[3];
    const int i = point;
    if (i > 0 && i < n - 1) {
        cart_point(bcdf, i - 1, pa);
        cart_point(bcdf, i, pb);
        cart_point(bcdf, i + 1, pc);
        quadratic_derivs(pa, pb, pc, t[i - 1], t[i], t[i + 1], 0, t[i], d1, d2);
    } else if (i == 0 && is_periodic(bcdf)) {
        cart_point(bcdf, n - 2, pa);
        cart_point(bcdf, 0, pb);
        cart_point(bcdf, 1, pc);
        quadratic_derivs(pa, pb, pc, t[n - 2] - t[n - 1], t[0], t[1], 0, t[0], d1, d2);
    } else if (n == 2) {
        // A straight start or end: the chord's derivative, no bending.
        cart_point(bcdf, 0, pa);
        cart_point(bcdf, 1, pb);
        quorm::sub(pb, pa, d1);
        quorm::scale(1.0 / (t[1] - t[0]), d1, d1);
    } else if (i == 0) {
        cart_point(bcdf, 0, pa);
        cart_point(bcdf, 1, pb);
        int pos = 0;
        if (slope_of_point(bcdf, 1, &pos)) {
            const double *s = vec_at(bcdf->slopes, pos);
            if (mirrored_type(bcdf->slope_types[pos])) {
                double chord[3];
                quorm::sub(pb, pa, chord);
                mirrored_end(s, pa, pb, chord, d1, d2);
            } else {
                quadratic_derivs(pa, pb, s, t[0], t[1], t[1], 1, t[0], d1, d2);
            }
        } else {
            cart_point(bcdf, 2, pc);
            quadratic_derivs(pa, pb, pc, t[0], t[1], t[2], 0, t[0], d1, d2);
        }
    } else {
        cart_point(bcdf, n - 2, pb);
        cart_point(bcdf, n - 1, pc);
        int pos = 0;
        if (slope_of_point(bcdf, n - 2, &pos)) {
            const double *s = vec_at(bcdf->slopes, pos);
            if (mirrored_type(bcdf->slope_types[pos])) {
                double chord[3];
                quorm::sub(pb, pc, chord);
                mirrored_end(s, pb, pc, chord, d1, d2);
            } else {
                quadratic_derivs(pb, s, pc, t[n - 2], t[n - 2], t[n - 1], 2, t[n - 1], d1, d2);
            }
        } else {
            cart_point(bcdf, n - 3, pa);
            quadratic_derivs(pa, pb, pc, t[n - 3], t[n - 2], t[n - 1], 0, t[n - 1], d1, d2);
        }
    }
    quorm::copy(d1, out);
    if (nderiv >= 2) quorm::copy(d2, out + 3);
}

QUORM_API void BCDF_CALC_auto_slope(const BCDF_s *bcdf, int point, double out[3]) {
    BCDF_CALC_auto_derivatives(bcdf, point, 1, out);
}

QUORM_API void BCDF_CALC_auto_curvature(const BCDF_s *bcdf, int point, double out[3]) {
    double d[6];
    BCDF_CALC_auto_derivatives(bcdf, point, 2, d);
    int pos = 0;
    if (slope_of_point(bcdf, point, &pos)) quorm::copy(vec_at(bcdf->slopes, pos), d);
    DGEOM_crv_curvature(d, d + 3, out);
}

QUORM_API void BCDF_CALC_normalized_slope(const BCDF_s *bcdf, int type, int point, double *v) {
    if (type == 0 || type == 1) return;
    const int n = num_points(bcdf);
    if (quorm_checking() && (point < 0 || point >= n))
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_INVALID_POSITION, "The Point Position Is Not Valid For The Array Of Points");
    int mode;
    switch (type) {
    case 2: mode = 5; break;
    case 3: mode = 3; break;
    case 4: mode = 4; break;
    case 5: mode = 5; break;
    default: return;
    }
    const double *t = params(bcdf);
    if (n < 2 || point < 0 || point >= n || !t) return;

    const int i = point;
    const bool periodic = is_periodic(bcdf);
    double D, T;
    if (i == 0 && !periodic) {
        D = PNTLST_calc_point_distance(bcdf->points, 1, 0);
        T = t[1] - t[0];
    } else if (i == 0) {
        D = PNTLST_calc_point_distance(bcdf->points, n - 1, n - 2) + PNTLST_calc_point_distance(bcdf->points, 1, 0);
        T = (t[n - 1] - t[n - 2]) + (t[1] - t[0]);
    } else if (i == n - 1) {
        D = PNTLST_calc_point_distance(bcdf->points, n - 1, n - 2);
        T = t[n - 1] - t[n - 2];
    } else {
        D = PNTLST_calc_point_distance(bcdf->points, i + 1, i) + PNTLST_calc_point_distance(bcdf->points, i, i - 1);
        T = t[i + 1] - t[i - 1];
    }
    // Coincident parameters give no speed to size the slope by.
    if (std::fabs(T) <= kParamTol) return;

    if (mode == 3) {
        quorm::scale(3.0 / T, v, v);
        return;
    }
    double a[3], vu[3], au[3], len, e = 1.0;
    BCDF_CALC_auto_slope(bcdf, i, a);
    quorm::unitize(v, 3, 0.0, &len, vu);
    quorm::unitize(a, 3, 0.0, &len, au);
    h813(&mode, vu, au, &e);
    quorm::scale(e * D / T, vu, v);

    // Size the slope to the neighbouring chords.
    if (i == 0 && !periodic) {
        double d = 0.0;
        adjust_to_chord(bcdf, 0, 1, 1, t[1] - t[0], v, &d);
        return;
    }
    if (i == n - 1) {
        double d = 0.0;
        adjust_to_chord(bcdf, n - 2, n - 1, n - 2, t[n - 1] - t[n - 2], v, &d);
        return;
    }
    double vf[3], vb[3], df = 0.0, db = 0.0;
    quorm::copy(v, vf);
    quorm::copy(v, vb);
    adjust_to_chord(bcdf, i, i + 1, i + 1, t[i + 1] - t[i], vf, &df);
    if (i == 0)
        adjust_to_chord(bcdf, n - 2, n - 1, n - 2, t[n - 1] - t[n - 2], vb, &db);
    else
        adjust_to_chord(bcdf, i - 1, i, i - 1, t[i] - t[i - 1], vb, &db);
    const double w = std::fabs(df + db) <= 1e-10 ? 0.5 : df / (df + db);
    for (int k = 0; k < 3; ++k) v[k] = (1.0 - w) * vb[k] + w * vf[k];
}

QUORM_API void BCDF_CALC_mirror_slope(const double s[3], const double p0[3], const double p1[3], double out[3]) {
    double d[3];
    quorm::sub(p1, p0, d);
    const double len = length3(d);
    if (len <= EQ_ask_length_tolerance()) {
        quorm::copy(s, out);
        return;
    }
    quorm::scale(1.0 / len, d, d);
    const double f = 2.0 * quorm::dot(d, s);
    for (int k = 0; k < 3; ++k) out[k] = f * d[k] - s[k];
}

QUORM_API void BCDF_CALC_unitize_slope(const double src[3], double dst[3]) {
    const double len = length3(src);
    if (len <= kNullLength) ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_ZERO_SLOPE, "The Input Slope Has Zero Length");
    quorm::scale(1.0 / len, src, dst);
}

QUORM_API double BCDF_CALC_denormalize_param(const BCDF_s *bcdf, double u) {
    const int n = count(bcdf->params);
    if (n == 0) return u;
    const double *t = params(bcdf);
    return t[n - 1] * u + (1.0 - u) * t[0];
}

} // extern "C"
