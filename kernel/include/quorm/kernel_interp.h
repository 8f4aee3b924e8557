/** @file
 * B-spline knot spans, basis functions and interpolation (h0913 ... h0927,
 * h553, knot_seq_order_4).
 *
 * Knot vectors are nondecreasing; the span containing x is the index i with
 * knots[i] <= x < knots[i+1].  An order k (degree + 1) runs from 1 to
 * QUORM_KERNEL_MAX_ORDER (25).
 *
 * The span and basis routines (h0916, h0917, h0917x, h0918) take their
 * arguments by value (h0918 moves x, so it takes it by address) and return
 * their result.  The interpolation routines take every argument by address.
 *
 * Interpolation descriptor (eight ints, read by h0913a, h0913a2, h0913b, the
 * matrix and right-hand-side builders and the knot builders):
 *   [0] np, points to pass through      [4] conditions of the first group
 *   [1] order k                          [5] conditions of the second group
 *   [2] periodic flag (closed curve)     [6] conditions of the third group
 *   [3] dimension (doubles per point)    [7] continuity count at the closure
 * h0913 takes seven ints: [0..5] as above and [6] the continuity count.
 * There are ndc = [4] + [5] + [6] derivative conditions, each with a
 * parameter, an order (1 = first derivative; 0 = a value) and `dimension`
 * doubles.  A periodic curve ties its first p = min([7] + 1, k - 1) control
 * points to its last p.  The number of control points is m = np + ndc (+ p
 * when periodic), the number of knots m + k.  Points, condition values and
 * control points are stored row by row, `dimension` doubles each; with
 * dimension 4 they are homogeneous (the weight last).
 *
 * Status of the drivers:
 *   0   solved
 *  -1   the descriptor is unusable, building the knot vector failed, a
 *       parameter lies outside the knots, or setting up the banded system
 *       failed (error register flushed, storage released)
 *   1   the system is singular (the banded decomposition or a solve reported
 *       an error, or the dense factorisation met a vanishing pivot), or,
 *       for dimension 4, a solved control point has a negative weight
 * All temporary storage is released on every path; nothing is raised.
 *
 * Knot placement (h0914 and knot_seq_order_4): the "sites" are the point
 * parameters merged in order with the condition parameters, a condition
 * within 1e-10 of a point parameter taking that parameter.
 *   - Open curves: k copies of the first site, the interior knots
 *     averaging k - 1 consecutive sites (de Boor's choice; order 2 gives the
 *     sites themselves, order 1 the midpoints between sites), k copies of
 *     the last site.
 *   - Periodic curves: the points are given without a closing point; the
 *     closing interval (from the last point parameter back to the first)
 *     is the mean of the first and the last point intervals, which fixes
 *     the period T.  The closure is a knot of multiplicity k - p.  With
 *     p = k - 1 the knots average k - 1 sites centred on each site
 *     (periodically); otherwise the closure is the first site and the
 *     interior knots average k - p consecutive sites.  The knot vector is
 *     extended periodically at both ends.
 *   - knot_seq_order_4 (cubic, conditions at both end parameters): the
 *     first parameter four times, the point parameters, each interior
 *     condition parameter, one knot per further condition at an end
 *     (spread evenly over the first or last point interval), the last
 *     parameter four times.
 */
#ifndef QUORM_KERNEL_INTERP_H
#define QUORM_KERNEL_INTERP_H

#include <quorm/quorm_platform.h>

/** Highest order of a B-spline in the kernel. */
#define QUORM_KERNEL_MAX_ORDER 25

QUORM_BEGIN_DECLS

/** Span of x with the tolerance tol at the ends: -1 when x lies outside
 * [knots[0] - tol, knots[count-1] + tol] or no span exists; at or before the
 * first knot the first non-empty span, at or after the last knot the last
 * non-empty span. */
QUORM_API int h0917(double x, const double *knots, int count, double tol);
/** h0917, except that x equal to knots[count - k] looks up x - 5e-13, so that
 * the end of the last span belongs to it. */
QUORM_API int h0917x(double x, const double *knots, int count, int k, double tol);
/** Span of *x within the valid range k - 1 .. count - k - 1, or -1; *x is
 * clamped to knots[k-1] below and to knots[count-k] - 5e-13 above. */
QUORM_API int h0918(double *x, const double *knots, int count, int k);
/** out[r] = r-th derivative of the basis function N(j, k) at x for
 * r = 0..d (derivatives of order k and above are 0).  Returns 0.  Knot
 * differences of at most 1e-10 make their ratio 0.  j and k must leave
 * knots[j..j+k] inside the vector: otherwise the call is refused while
 * checking (QUORM_ERR_BAD_ARGUMENT) and returns -1 with out zeroed at
 * level 0. */
QUORM_API int h0916(int count, const double *knots, int j, int k, double x, int d, double *out);

/** Interpolation with knots built here (*knot_count = m + k knots, m control
 * points).  knots and ctrl must hold m + k and m * dimension doubles. */
QUORM_API int h0913(const int *descriptor, const double *points, const double *params, const double *cond_params,
                    const int *cond_orders, const double *cond_values, int *knot_count, double *knots,
                    double *ctrl);
/** Interpolation on given knots: dense solve for periodic curves and for
 * conditions of the second or third group, else h0913a. */
QUORM_API int h0913b(const int *descriptor, const double *points, const double *params, const double *cond_params,
                     const int *cond_orders, const double *cond_values, const double *knots, double *ctrl);
/** Open curves only, banded solve without pivoting (msetup_banded family),
 * of the whole system: the points and the conditions of all three groups
 * (m = np + ndc equations). */
QUORM_API int h0913a(const int *descriptor, const double *points, const double *params, const double *cond_params,
                     const int *cond_orders, const double *cond_values, const double *knots, double *ctrl);
#if QUORM_FULL_BUILD
/** h0913a with the compact band LU with partial pivoting (bandec, banbks). */
QUORM_API int h0913a2(const int *descriptor, const double *points, const double *params, const double *cond_params,
                      const int *cond_orders, const double *cond_values, const double *knots, double *ctrl);
#endif

/** Scalar cubic through (params[i], y[i]), i < *np, with end slopes from
 * three-point parabolas (a chord slope for two points): *count = np + 2
 * control values, knots np + 6 (the first parameter three times, the
 * parameters, the last three times).  Status as the drivers; -1 for fewer
 * than two points. */
QUORM_API int h0925(const int *np, const double *y, const double *params, int *count, double *ctrl, double *knots);

/** Tangent estimate from three 3-D points at parameters t0 < t1 < t2: the
 * derivative m at t1 of the parabola through them (*selector 2), or the end
 * tangent (3 s1 - m)/2 at P2 (*selector 3) or (3 s0 - m)/2 at P0 (any other
 * selector), s0 and s1 being the chord slopes. */
QUORM_API void h553(const double p0[3], const double p1[3], const double p2[3], const double *t0, const double *t1,
                    const double *t2, const int *selector, double tangent[3]);

/** Collocation matrix, dense: the m x m row-pointer matrix is zeroed and
 * filled, rows 0..np-1 the points, np..np+ndc-1 the conditions, then for a
 * periodic curve the p rows tying control point i to m - p + i (9, -9).  A
 * periodic curve's parameters are moved by the period into the knot domain.
 * Returns 0, or -1 (matrix unspecified) for an unusable descriptor or a
 * parameter outside the knots. */
QUORM_API int h0926(const int *descriptor, const double *knots, const double *params, const double *cond_params,
                    const int *cond_orders, double **matrix);
/** The same system for an open curve in the band storage of msetup_banded
 * (size m, half-width k - 1), with the equations in the order of their
 * parameters: at equal parameters by rising derivative order, except at the
 * end of the knot domain, where the highest derivative comes first (so that
 * no pivoting is needed).  Returns -1 for a periodic curve, a parameter
 * outside the knots or an equation that does not fit the band. */
QUORM_API int h0926a(const int *descriptor, const double *knots, const double *params, const double *cond_params,
                     const int *cond_orders, double **band);
#if QUORM_FULL_BUILD
/** h0926a in the compact band storage of bandec (m rows of 2k - 1 doubles,
 * the diagonal in position k - 1). */
QUORM_API int h0926a2(const int *descriptor, const double *knots, const double *params, const double *cond_params,
                      const int *cond_orders, double **packed);
#endif
/** Right-hand sides of h0926 (m rows of `dimension` doubles): the points,
 * the condition values, zeros for the periodic rows. */
QUORM_API void h0927(const int *descriptor, const double *points, const double *cond_values, double **rhs);

/** Cubic knot vector for an open curve whose conditions reach the first and
 * the last point parameter (see above).  *knot_count = m + 4.  With the
 * periodic flag set, the vector is further extended by three knots at each
 * end that repeat the interval lengths of the other end.  Returns 0, or -1
 * (nothing written) when the order is not 4, the point parameters do not
 * increase, a condition lies outside them, or an end carries no condition. */
QUORM_API int knot_seq_order_4(const int *descriptor, const double *params, const double *cond_params,
                               int *knot_count, double *knots);
/** Knot vector of m + k knots by averaging (see above).  Returns 0, or -1
 * when the descriptor is unusable, there are fewer control points than the
 * order, the sites do not span an interval or a condition lies outside the
 * point parameters of a periodic curve. */
QUORM_API int h0914(const int *descriptor, const double *params, const double *cond_params, int *knot_count,
                    double *knots);

QUORM_END_DECLS

#endif
