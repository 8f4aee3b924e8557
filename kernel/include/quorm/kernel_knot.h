/** @file
 * Kernel routines for Bezier pieces of B-spline curves: conversion of a
 * B-spline span to its Bezier polygon, re-description over another interval,
 * repeated subdivision, knot-span search, periodic range reduction, and the
 * slope rescaling factor of the normalised slope kinds.
 *
 * Numbered-routine convention: every argument, counts included, is passed by
 * address.  Polygons are homogeneous points of four doubles; a polygon of
 * degree n has n + 1 points (n at most 24).  e0925, em0912 and em0926 refuse
 * a degree outside 0..24 while the checking level is above 0
 * (QUORM_ERR_BAD_ARGUMENT) and write nothing for one at level 0. */
#ifndef QUORM_KERNEL_KNOT_H
#define QUORM_KERNEL_KNOT_H

#include <quorm/quorm_platform.h>

QUORM_BEGIN_DECLS

/** Bezier polygon of the B-spline piece of degree *n over
 * [knots[n], knots[n+1]] of its segment knot vector (2n + 2 knots), from its
 * n + 1 B-spline poles in; out may be in. */
QUORM_API void e0925(const int *n, const double *knots, const double *in, double *out);
/** The polynomial of degree *n whose polygon in is given over
 * [p0, p1] = [p[0], p[1]], described over [q0, q1] = [q[0], q[1]] in out;
 * the polygon is copied unchanged when both ends agree within the number tolerance, or
 * when [p0, p1] has no length.  Each new point is a blossom value of the
 * polynomial, formed by de Casteljau steps at the local parameters of q0 and
 * q1 directly, so that no intermediate piece is extrapolated far beyond its
 * own interval: ends outside [p0, p1] give the extrapolated polynomial to
 * near rounding.  out may be in. */
QUORM_API void em0912(const int *n, const double *p, const double *in, const double *q, double *out);
/** Subdivides a degree-n polygon *level times at the middle; out receives
 * 2^level polygons of n + 1 points, from the start of the piece to its end,
 * and must have room for all of them (the caller's array; a negative level
 * counts as 0 and copies the polygon).  in may overlap out. */
QUORM_API void em0926(const int *n, const double *in, const int *level, double *out);
/** Index i of the knot span [knots[i], knots[i+1]) of a B-spline of the given
 * order and number of poles (num_poles + order knots) that contains t,
 * clamped to order - 1 ... num_poles - 1; the last non-empty span takes its
 * end parameter and anything beyond, a t before the domain (or NaN) the first
 * non-empty span.  With fewer poles than the order, order - 1. */
QUORM_API void e4322(const int *order, const int *num_poles, const double *knots, const double *t, int *span);
/** Reduces a parameter range of a periodic curve with domain 0 ... 1 to one
 * or two ranges inside it: count (1 or 2) and ranges[0..1], ranges[2..3].  A
 * range at least one period long (within the number tolerance) gives the
 * whole domain; otherwise both ends are reduced into it, and a range that
 * then wraps past 1 gives the two pieces [start, 1] and [0, end]. */
QUORM_API void k71433(const double *range, int *count, double *ranges);
/** Length factor e of the normalised slope kinds (4 and 5) from the unit
 * slope direction vhat and the unit automatic slope ahat (3 doubles each):
 * with f = vhat.ahat, e = 2 - f, and for kind 4 with f < 0, e = -2 - f.
 * Other kinds give 1. */
QUORM_API void h813(const int *kind, const double *vhat, const double *ahat, double *e);

QUORM_END_DECLS

#endif
