// Cubic Hermite segments and the three-point quadratic: blending weights and
// the routines that apply them.
#include "foundation/quorm_internal.h"

#include <quorm/kernel_hermite.h>

namespace {

// Weights of P0, T0, P1, T1 for the point, first and second derivative at the
// normalised parameter u of a span of length L.
void point_weights(double u, double L, double w[4]) {
    const double u2 = u * u, u3 = u2 * u;
    const double h = 3.0 * u2 - 2.0 * u3;
    w[0] = 1.0 - h;
    w[1] = L * (u3 - 2.0 * u2 + u);
    w[2] = h;
    w[3] = L * (u3 - u2);
}

void first_weights(double u, double L, double w[4]) {
    const double g = (6.0 / L) * (u - u * u);
    w[0] = -g;
    w[1] = 3.0 * u * u - 4.0 * u + 1.0;
    w[2] = g;
    w[3] = 3.0 * u * u - 2.0 * u;
}

void second_weights(double u, double L, double w[4]) {
    const double g = (6.0 - 12.0 * u) / (L * L);
    w[0] = -g;
    w[1] = (6.0 * u - 4.0) / L;
    w[2] = g;
    w[3] = (6.0 * u - 2.0) / L;
}

void combine(const double w[4], const double *p0, const double *t0, const double *p1, const double *t1,
             double *out) {
    double r[3];
    for (int i = 0; i < 3; ++i) r[i] = w[0] * p0[i] + w[1] * t0[i] + w[2] * p1[i] + w[3] * t1[i];
    for (int i = 0; i < 3; ++i) out[i] = r[i];
}

void zero3(double *out) { out[0] = out[1] = out[2] = 0.0; }

using Weights = void (*)(double, double, double[4]);

// The span forms over [0, L] with point-and-tangent blocks.
void span_form(Weights weights, double s, double L, const double *start, const double *end, double *out) {
    double w[4];
    weights(s / L, L, w);
    combine(w, start, start + 3, end, end + 3, out);
}

// The forms over [s0, s1].
void interval_form(Weights weights, double s0, const double *p0, const double *t0, double s1, const double *p1,
                   const double *t1, double s, double *out) {
    const double L = s1 - s0;
    double w[4];
    weights((s - s0) / L, L, w);
    combine(w, p0, t0, p1, t1, out);
}

void quadratic_weights(double t0, double t1, double t, double w[3]) {
    const double a = (t - t0) / (t1 - t0);
    const double a2 = a * a;
    w[0] = 2.0 * a2 - 3.0 * a + 1.0;
    w[1] = 4.0 * (a - a2);
    w[2] = 2.0 * a2 - a;
}

void quadratic_derivative_weights(double t0, double t1, double t, double w[3]) {
    const double a = (t - t0) / (t1 - t0);
    w[0] = 4.0 * a - 3.0;
    w[1] = 4.0 - 8.0 * a;
    w[2] = 4.0 * a - 1.0;
}

} // namespace

extern "C" {

QUORM_API void h800(const double *s, const double *L, const double start[6], const double end[6], double out[3]) {
    span_form(point_weights, *s, *L, start, end, out);
}

QUORM_API void h801(const double *s, const double *L, const double start[6], const double end[6], double out[3]) {
    if (!(*L > 0.0)) return zero3(out);
    span_form(first_weights, *s, *L, start, end, out);
}

QUORM_API void h802(const double *s, const double *L, const double start[6], const double end[6], double out[3]) {
    if (!(*L > 0.0)) return zero3(out);
    span_form(second_weights, *s, *L, start, end, out);
}

QUORM_API void h815(const double *s0, const double *s1, const double *s, double w[4]) {
    const double L = *s1 - *s0;
    point_weights((*s - *s0) / L, L, w);
}

QUORM_API void h116(const double w[4], const double p0[3], const double t0[3], const double p1[3],
                    const double t1[3], double out[3]) {
    combine(w, p0, t0, p1, t1, out);
}

QUORM_API void h810(const double *s0, const double p0[3], const double t0[3], const double *s1, const double p1[3],
                    const double t1[3], const double *s, double out[3]) {
    interval_form(point_weights, *s0, p0, t0, *s1, p1, t1, *s, out);
}

QUORM_API void h811(const double *s0, const double p0[3], const double t0[3], const double *s1, const double p1[3],
                    const double t1[3], const double *s, double out[3]) {
    interval_form(first_weights, *s0, p0, t0, *s1, p1, t1, *s, out);
}

QUORM_API void h812(const double *s0, const double p0[3], const double t0[3], const double *s1, const double p1[3],
                    const double t1[3], const double *s, double out[3]) {
    interval_form(second_weights, *s0, p0, t0, *s1, p1, t1, *s, out);
}

QUORM_API void h0710(const double *t0, const double *t1, const double *t, double w[3]) {
    quadratic_weights(*t0, *t1, *t, w);
}

QUORM_API void h0711(const double *t0, const double *t1, const double *t, double w[3]) {
    quadratic_derivative_weights(*t0, *t1, *t, w);
}

QUORM_API void h0720(const double w[3], const double a[2], const double m[2], const double b[2], double out[2]) {
    const double x = w[0] * a[0] + w[1] * m[0] + w[2] * b[0];
    const double y = w[0] * a[1] + w[1] * m[1] + w[2] * b[1];
    out[0] = x;
    out[1] = y;
}

QUORM_API void h0700(const double *t0, const double a[2], const double m[2], const double *t1, const double b[2],
                     const double *t, double out[2]) {
    double w[3];
    quadratic_weights(*t0, *t1, *t, w);
    h0720(w, a, m, b, out);
}

QUORM_API void h0701(const double *t0, const double a[2], const double m[2], const double *t1, const double b[2],
                     const double *t, double out[2]) {
    double w[3];
    quadratic_derivative_weights(*t0, *t1, *t, w);
    h0720(w, a, m, b, out);
}

QUORM_API void h0721(const double a[2], const double b[2], const double *f, double out[2]) {
    const double x = a[0] + *f * (b[0] - a[0]);
    const double y = a[1] + *f * (b[1] - a[1]);
    out[0] = x;
    out[1] = y;
}

} // extern "C"
