/** @file
 * Local curve forms of the numbered kernel: the cubic Hermite segment through
 * two points with their tangents (h800 ... h802, h810 ... h812, h815, h116)
 * and the 2-D quadratic through three points (h0700 ... h0721).
 *
 * Every argument is passed by address; results go through pointers.  The
 * routines hold no state and allocate nothing.
 *
 * Hermite data: a start point P0 with tangent T0 and an end point P1 with
 * tangent T1 (3 doubles each).  Tangents are derivatives with respect to the
 * segment's own parameter s, running over [0, L] (h800 ... h802) or
 * [s0, s1] (L = s1 - s0).  A "point-and-tangent block" is six doubles, the
 * point followed by its tangent.  The parameter is not clamped: outside the
 * span the same cubic is extrapolated.
 *
 * Three-point quadratic: A at t0, M at the middle (t0 + t1)/2, B at t1; with
 * a = (t - t0)/(t1 - t0) the weights are 2a^2 - 3a + 1, 4(a - a^2),
 * 2a^2 - a.  Derivative weights are with respect to a: divide by t1 - t0 for
 * the derivative with respect to t.
 */
#ifndef QUORM_KERNEL_HERMITE_H
#define QUORM_KERNEL_HERMITE_H

#include <quorm/quorm_platform.h>

QUORM_BEGIN_DECLS

/** Hermite point at *s on [0, *L] from the point-and-tangent blocks start
 * and end (*L must not be 0). */
QUORM_API void h800(const double *s, const double *L, const double start[6], const double end[6], double out[3]);
/** First derivative d/ds at *s of the h800 segment; zeros when *L <= 0. */
QUORM_API void h801(const double *s, const double *L, const double start[6], const double end[6], double out[3]);
/** Second derivative d2/ds2 at *s of the h800 segment; zeros when *L <= 0. */
QUORM_API void h802(const double *s, const double *L, const double start[6], const double end[6], double out[3]);
/** Hermite point weights w0..w3 (of P0, T0, P1, T1) for *s on [*s0, *s1]
 * (*s1 != *s0). */
QUORM_API void h815(const double *s0, const double *s1, const double *s, double w[4]);
/** out = w0.P0 + w1.T0 + w2.P1 + w3.T1 (3-D); out may alias an input. */
QUORM_API void h116(const double w[4], const double p0[3], const double t0[3], const double p1[3],
                    const double t1[3], double out[3]);
/** Hermite point at *s on [*s0, *s1] (*s1 != *s0). */
QUORM_API void h810(const double *s0, const double p0[3], const double t0[3], const double *s1, const double p1[3],
                    const double t1[3], const double *s, double out[3]);
/** First derivative d/ds of the h810 segment at *s (*s1 != *s0). */
QUORM_API void h811(const double *s0, const double p0[3], const double t0[3], const double *s1, const double p1[3],
                    const double t1[3], const double *s, double out[3]);
/** Second derivative d2/ds2 of the h810 segment at *s (*s1 != *s0). */
QUORM_API void h812(const double *s0, const double p0[3], const double t0[3], const double *s1, const double p1[3],
                    const double t1[3], const double *s, double out[3]);

/** Quadratic Lagrange weights of the nodes t0, middle, t1 at *t (*t1 != *t0). */
QUORM_API void h0710(const double *t0, const double *t1, const double *t, double w[3]);
/** Derivatives of the h0710 weights with respect to a = (t - t0)/(t1 - t0):
 * 4a - 3, 4 - 8a, 4a - 1. */
QUORM_API void h0711(const double *t0, const double *t1, const double *t, double w[3]);
/** out = w0.A + w1.M + w2.B (2-D); out may alias an input. */
QUORM_API void h0720(const double w[3], const double a[2], const double m[2], const double b[2], double out[2]);
/** Point of the quadratic through A (at t0), M (middle) and B (at t1) at *t;
 * the nodes are returned exactly. */
QUORM_API void h0700(const double *t0, const double a[2], const double m[2], const double *t1, const double b[2],
                     const double *t, double out[2]);
/** Derivative of the h0700 quadratic with respect to a (not divided by
 * t1 - t0). */
QUORM_API void h0701(const double *t0, const double a[2], const double m[2], const double *t1, const double b[2],
                     const double *t, double out[2]);
/** out = A + f.(B - A) (2-D); out may alias an input. */
QUORM_API void h0721(const double a[2], const double b[2], const double *f, double out[2]);

QUORM_END_DECLS

#endif
