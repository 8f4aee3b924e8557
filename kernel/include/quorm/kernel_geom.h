/** @file
 * Numbered plane and space geometry primitives of the spline kernel.
 *
 * Every argument is passed by address; results are written through pointers.
 * Tests against zero use the number tolerance of the equality-tolerance table
 * (EQ_ask_number_tolerance).  Angles are in radians.
 */
#ifndef QUORM_KERNEL_GEOM_H
#define QUORM_KERNEL_GEOM_H

#include <quorm/quorm_platform.h>

QUORM_BEGIN_DECLS

/** Direction angle of (x, y) in [0, 2*pi): 0 or pi when y is zero within the
 * number tolerance (x >= 0 or not), pi/2 or 3*pi/2 when x is (y >= 0 or not),
 * else the arctangent placed in its quadrant.  The result never reaches 2*pi:
 * an angle that would round to 2*pi is 0. */
QUORM_API void h053(const double *y, const double *x, double *angle);

/** Foot of the perpendicular from p onto the 3-D line through a and b; a when
 * a and b coincide within the number tolerance.  foot may alias a or p. */
QUORM_API void h430(const double a[3], const double b[3], const double p[3], double foot[3]);

/** Line of intersection of the planes n1 . x + d1 = 0 and n2 . x + d2 = 0, each
 * given as four doubles (n, d); the normals need not be unit vectors.
 * result 2: point is the point of the line nearest the origin and direction
 * the unit vector along n1 x n2.  result 1: the planes are parallel and
 * distinct, or a normal is zero within the number tolerance; result 3: they
 * are the same plane.  On results 1 and 3 point and direction are left
 * untouched. */
QUORM_API void h705(const double plane1[4], const double plane2[4], double point[3], double direction[3], int *result);

QUORM_END_DECLS

#endif
