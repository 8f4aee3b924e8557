/** @file
 * Bezier subdivision and small knot-vector and sample utilities of the
 * numbered kernel (em0911, e0924, h0910, h0911, h0915, em0200, em0154,
 * em0156).  The re-description over another interval (em0912) and the span
 * to Bezier conversion (e0925) are in kernel_knot.h.
 *
 * Every argument, counts included, is passed by address.  Polygons are
 * homogeneous points of four doubles; a polygon of degree n has n + 1 points,
 * n from 0 to 24.  Knots within 1e-10 of each other count as one knot.
 */
#ifndef QUORM_KERNEL_SUBDIV_H
#define QUORM_KERNEL_SUBDIV_H

#include <quorm/quorm_platform.h>

QUORM_BEGIN_DECLS

/** De Casteljau subdivision of a degree-*n polygon at the local parameter *u:
 * left describes the polynomial over local [0, u], right over [u, 1] (n + 1
 * points each).  left[0] is the first point and right[n] the last point,
 * exactly.  A u outside [0, 1] gives the same polynomial over those
 * (extrapolated) intervals.  left and right may overlap the polygon.  A
 * degree outside 0..24 is refused while checking (QUORM_ERR_BAD_ARGUMENT);
 * at level 0 nothing is written. */
QUORM_API void em0911(const int *n, const double *poly, const double *u, double *left, double *right);

/** Largest multiplicity of an interior knot of a knot vector normalised to
 * [0, 1]: runs of knots within 1e-10 of each other are counted, runs at 0 or
 * 1 (within 1e-10) and the final run are ignored; 1 when there is no
 * interior knot. */
QUORM_API void e0924(const int *count, const double *knots, int *multiplicity);

/** Knots of a B-spline of order *k with *count knots mapped linearly so that
 * knots[k-1] goes to 0 and knots[count-k] to 1; all zeros when that domain
 * has no length (number tolerance).  out may be knots.  An order below 1 or
 * above the count is refused while checking (QUORM_ERR_BAD_ARGUMENT); at
 * level 0 nothing is written. */
QUORM_API void h0910(const int *k, const int *count, const double *knots, double *out);

/** Each of *count values mapped by (v - a)/(b - a), interval = (a, b); zeros
 * when b - a is zero within the number tolerance.  The first argument is not
 * read.  out may be values. */
QUORM_API void h0911(const int *unused, const int *count, const double *values, const double interval[2],
                     double *out);

/** Chord length of a point list: descriptor[0] points of descriptor[3]
 * doubles each; the sum of the Euclidean distances between consecutive
 * points (0 for fewer than two points). */
QUORM_API void h0915(const int *descriptor, const double *points, double *length);

/** Line a.x + b.y + d = 0 through the 2-D points A = pa and B = pb:
 * a = Ay - By, b = Bx - Ax, d = -(Ax.a + Ay.b). */
QUORM_API void em0200(const double pa[2], const double pb[2], double *a, double *b, double *d);

/** Parameters (u, v) of the sample nearest to the 3-D point among *count
 * samples; each sample is five doubles (u, v, x, y, z).  The first of
 * equally near samples wins.  With no samples the output is left untouched. */
QUORM_API void em0154(const double point[3], const int *count, const double *samples, double uv[2]);

/** Parameter of the sample nearest to the 3-D point, refined towards a
 * neighbouring sample; each sample is four doubles (t, x, y, z).  The point's
 * offset from the nearest sample is projected onto the chord to each
 * neighbour; where that projection is positive, the parameter moves by the
 * same fraction of the chord (at most the whole chord) towards the
 * neighbour's parameter; with both positive, the larger fraction is taken.
 * Chords shorter than the length tolerance are ignored.  With no samples the
 * output is left untouched. */
QUORM_API void em0156(const double point[3], const int *count, const double *samples, double *t);

QUORM_END_DECLS

#endif
