/** @file
 * Numbered plane and space geometry primitives of the kernel: vectors and
 * angles (h0xx), matrices and frames (h1xx), plane and space points, lines
 * and projections (h2xx, h3xx, h4xx), the 2-D line intersection (h600) and
 * transformations (h9xx).  The direction angle h053, the projection onto a
 * 3-D line h430 and the plane-plane intersection h705 are in kernel_geom.h;
 * the point comparison h202 in kernel_toler.h.
 *
 * Every argument is passed by address (h128 excepted) and results go
 * through pointers (h041, h126a and h128 also return a value); outputs may
 * alias inputs (h126a excepted).  The routines hold no state and allocate
 * nothing (h126a excepted for n > 64).
 *
 * Tests against zero use h805 with the number tolerance (index 0) unless
 * stated.  2-D points and vectors are two doubles, 3-D three.  A 3x3 matrix
 * is nine doubles row by row, a 4x4 matrix sixteen.  A frame is twelve
 * doubles: the three rows of its rotation, then its origin; a thirteenth
 * double, where read, is its scale.  A 2-D box is (xmin, ymin, xmax, ymax).
 * Angles are in radians unless stated; directions are returned in
 * [0, 2 pi).
 *
 * Degenerate input: a zero direction gives the base point (or the distance
 * to it); a singular matrix is reported and the output left untouched;
 * parallel lines give a status instead of a point.
 */
#ifndef QUORM_KERNEL_GEOM_SPACE_H
#define QUORM_KERNEL_GEOM_SPACE_H

#include <quorm/quorm_platform.h>

/** State of the kernel's plane-conic group: its first double, meant for the
 * first coefficient of the first conic.  No routine of this library writes
 * it at present: it holds its initial 0 unless the host sets it. */
typedef struct spint_s {
    double coef; /**< first coefficient of the first conic */
} spint_s;

QUORM_BEGIN_DECLS

/** The exported plane-conic block (see spint_s); initially 0. */
QUORM_API extern spint_s spint;

/* ---- Vectors and angles ------------------------------------------------- */

/** (u.v)/(u.u) of 3-D vectors; 0 when u.u is zero within tolerance. */
QUORM_API void h01901(const double u[3], const double v[3], double *out);
/** 1 when all three components are zero within tolerance, else 0. */
QUORM_API int h041(const double v[3]);
/** 0 when y is zero within tolerance, +-pi/2 (sign of y) when x is, else
 * atan(y/x), in (-pi/2, pi/2). */
QUORM_API void h053a(const double *y, const double *x, double *angle);
/** arccos(c) for |c| < 1, 0 for c >= 1, pi for c <= -1 (NaN stays NaN). */
QUORM_API void h055(const double *c, double *angle);
/** Turns (x, y) in place: x' = x.cos + y.sin, y' = y.cos - x.sin (both with
 * the old x). */
QUORM_API void h059(double *x, double *y, const double *sine, const double *cosine);
/** The 2-D box enlarged to contain the point. */
QUORM_API void h070(const double p[2], double box[4]);
/** Unit 2-D vectors: 2 if their dot product is 1 within tolerance, 3 if -1,
 * else 1. */
QUORM_API void h083(const double u[2], const double v[2], int *out);
/** x1.y2 - y1.x2 of u = (x1, y1) and v = (x2, y2). */
QUORM_API void h003(const double u[2], const double v[2], double *out);
/** Triple product: determinant of the rows u, v, w. */
QUORM_API void h004(const double u[3], const double v[3], const double w[3], double *out);
/** (cx + r.cos a, cy + r.sin a, cz): the point at the angle a of the circle
 * of radius r about the centre, in the plane z = cz. */
QUORM_API void h013(const double centre[3], const double *r, const double *angle, double out[3]);

/* ---- Matrices and frames ------------------------------------------------ */

/** M.v (3x3). */
QUORM_API void h100(const double v[3], const double m[9], double out[3]);
/** M^T.v (3x3). */
QUORM_API void h105(const double v[3], const double m[9], double out[3]);
/** N.(M^T.v) (3x3). */
QUORM_API void h106(const double v[3], const double m[9], const double n[9], double out[3]);
/** M.v (4x4). */
QUORM_API void h101(const double v[4], const double m[16], double out[4]);
/** Rotation of the frame applied to p - origin; third coordinate 0. */
QUORM_API void h102(const double p[3], const double frame[12], double out[3]);
/** Rotation of the frame applied to p, plus the origin. */
QUORM_API void h956(const double p[3], const double frame[12], double out[3]);
/** Transpose (3x3). */
QUORM_API void h110(const double m[9], double out[9]);
/** Transpose (4x4). */
QUORM_API void h111(const double m[16], double out[16]);
/** The product MTX3_multiply(A, B), that is B.A (3x3): A applied first.  The
 * product of two ortho-normal matrices is kept ortho-normal. */
QUORM_API void h120(const double a[9], const double b[9], double out[9]);
/** Inverse by adjugate over determinant; *singular = 1 (inverse untouched)
 * when the determinant is zero within tolerance or not finite, else 0. */
QUORM_API void h125(const double m[9], double inv[9], int *singular);
/** Inverse of the n x n matrix with row pointers a into the rows inv, by LU
 * decomposition; a is overwritten by its factors, so inv must not share its
 * rows.  Returns 0 on success and 1 for a singular matrix (a zero row, an
 * exactly zero pivot, factors that are not finite), leaving inv untouched.
 * *n = 0 does nothing and returns 0; a negative *n is refused while checking
 * (QUORM_ERR_BAD_ARGUMENT) and returns 1 at level 0.  For n > 64 the work
 * arrays are allocated and freed within the call. */
QUORM_API int h126a(double **a, const int *n, double **inv);
/** 4x4 homogeneous embedding of a 3x3 matrix. */
QUORM_API void h130(const double m[9], double out[16]);
/** 3x3 identity. */
QUORM_API void h160(double m[9]);
/** *side = 0 when (point - origin).normal is zero within tolerance; else 1,
 * with the normal reversed when that product is negative. */
QUORM_API void h1600(const double point[3], const double origin[3], double normal[3], int *side);
/** The first midpoint of the bisection of [0, 1] lying strictly between a
 * and b.  Where there is none (a = b, or no such dyadic point within 60
 * halvings, or both on the same side of (0, 1)), the middle of a and b
 * clamped to [0, 1]; 0.5 for NaN input. */
QUORM_API double h128(double a, double b);

/* ---- Points, lines and projections -------------------------------------- */

/** Squared distance (2-D). */
QUORM_API void h200(const double p[2], const double q[2], double *out);
/** Squared distance (3-D). */
QUORM_API void h300(const double p[3], const double q[3], double *out);
/** Distance (2-D). */
QUORM_API void h201(const double p[2], const double q[2], double *out);
/** Distance (3-D). */
QUORM_API void h301(const double p[3], const double q[3], double *out);
/** 1 if the squared distance is within the squared length tolerance (table
 * entry 2), else 0 (3-D). */
QUORM_API void h302(const double p[3], const double q[3], int *out);
/** 1 if the squared distance is within table entry 7, else 0 (3-D). */
QUORM_API void h306(const double p[3], const double q[3], int *out);
/** @{ */
/** 1 if P is nearer to R, 2 if Q is, 3 if their distances to R are equal
 * within the number tolerance (2-D: h203, 3-D: h303). */
QUORM_API void h203(const double p[2], const double q[2], const double r[2], int *out);
QUORM_API void h303(const double p[3], const double q[3], const double r[3], int *out);
/** @} */
/** 1 if the distance is within |d|, else 0 (3-D). */
QUORM_API void h307(const double p[3], const double q[3], const double *d, int *out);
/** If X lies beyond an end of the segment (nearer that end, and farther from
 * the other end than the segment is long), that end becomes X and *out = 1;
 * else *out = 0.  seg holds the two 3-D ends. */
QUORM_API void h205(const double x[3], double seg[6], int *out);
/** Point of a 2-D circle at an angle: (cx + r.cos a, cy + r.sin a). */
QUORM_API void h220(const double centre[2], const double *r, const double *angle, double out[2]);
/** Direction angles (h053) of P and Q seen from the centre, in radians,
 * in [0, 2 pi). */
QUORM_API void h224(const double p[2], const double q[2], const double centre[2], double angles[2]);
/** Direction angles (h053) of P and Q seen from the centre, in degrees,
 * in [0, 360). */
QUORM_API void h221(const double p[2], const double q[2], const double centre[2], double angles[2]);
/** Coordinates of P in the frame at O turned by the angle of (cos, sin). */
QUORM_API void h270(const double p[2], const double o[2], const double *cosine, const double *sine, double out[2]);
/** O + (P - O) turned by the angle of (cos, sin). */
QUORM_API void h271(const double p[2], const double o[2], const double *cosine, const double *sine, double out[2]);
/** Direction B - A and moment dy.Ax - Ay.dx of the 2-D line AB. */
QUORM_API void h272a(const double a[2], const double b[2], double dir[2], double *moment);
/** Distance from P to the 3-D line through A with the given direction;
 * |P - A| when the direction is null within the length tolerance. */
QUORM_API void h310(const double p[3], const double a[3], const double dir[3], double *dist);
/** Distance from P to the 3-D line through A and B; |P - A| when A and B
 * coincide within the length tolerance. */
QUORM_API void h311(const double p[3], const double a[3], const double b[3], double *dist);
/** Distance between the 3-D lines A1 + s.D1 and A2 + t.D2; for parallel
 * lines (the sine of their angle zero within tolerance) the distance from
 * A1 to the second line.  A direction null within the length tolerance
 * makes its line a point. */
QUORM_API void h315(const double a1[3], const double d1[3], const double a2[3], const double d2[3], double *dist);
/** Distance between the 3-D lines A1B1 and A2B2, as h315 with the
 * directions B1 - A1 and B2 - A2. */
QUORM_API void h313(const double a1[3], const double b1[3], const double a2[3], const double b2[3], double *dist);
/** Foot of P on the 2-D line A + s.d; A when the direction is zero. */
QUORM_API void h401(const double a[2], const double d[2], const double p[2], double foot[2]);
/** Foot of P on the 2-D line AB; A when A and B coincide. */
QUORM_API void h400(const double a[2], const double b[2], const double p[2], double foot[2]);
/** The 3-D point at distance *d from A towards B; A when A and B coincide
 * (within the length tolerance). */
QUORM_API void h402(const double a[3], const double *d, const double b[3], double out[3]);
/** Intersection of the 2-D lines AB and CD: *status 2 with the point in x;
 * *status 1 (x untouched) when the lines are parallel: the sine of the angle
 * between them zero within tolerance, or a line without direction. */
QUORM_API void h600(const double a[2], const double b[2], const double c[2], const double d[2], int *status,
                    double x[2]);

/* ---- Transformations ---------------------------------------------------- */

/** s times the 3x3 identity. */
QUORM_API void h922(const double *s, double m[9]);
/** Rotation by the angle about the unit axis (right-handed). */
QUORM_API void h923(const double axis[3], const double *angle, double m[9]);
/** Reflection I - 2 n n^T in the plane with unit normal n. */
QUORM_API void h924(const double n[3], double m[9]);
/** M.v (3x3). */
QUORM_API void h963(const double v[3], const double m[9], double out[3]);
/** M.v unitised with the length tolerance (zeros for a null result). */
QUORM_API void h962(const double v[3], const double m[9], double out[3]);
/** s times |scale| of the frame (its thirteenth double). */
QUORM_API void h961(const double *s, const double frame[13], double *out);
/** Orthonormal frame with third row w: first row (w3, 0, -w1), or
 * (0, w3, -w2) when |w2| > 0.9, unitised with the length tolerance; second
 * row w x first row; third row w as given (expected to be a unit vector).  A
 * null w gives zero first and second rows. */
QUORM_API void h099(const double w[3], double frame[9]);

QUORM_END_DECLS

#endif
