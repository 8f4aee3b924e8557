/** @file
 * The geometric records shared by every family, and the matrix conventions.
 *
 * All components are IEEE doubles stored in the order declared, with nothing
 * between them.  Records carry no behaviour and no ownership: callers own
 * them (usually on the stack) and pass them by pointer; inputs are const.
 *
 * Matrix conventions (binding for the whole library):
 *  - An MTX3_s holds a frame: row 0 is the X axis, row 1 the Y axis, row 2 the
 *    Z axis, each a unit vector in absolute coordinates.  It maps absolute
 *    components to local ones: local = M*v (the dot products of v with the
 *    axes); absolute = M^T * local.  A coordinate system's local coordinates
 *    of a point p are M*(p - origin).
 *  - An MTX4_s is stored row by row and acts on column vectors, p' = M*p:
 *    elements 0-2, 4-6, 8-10 hold the 3x3 linear part, elements 3, 7, 11 the
 *    translation, elements 12-15 the row 0, 0, 0, 1.
 *  - The MC_ routines take the same transform as a bare array of 12 doubles
 *    (three rows of 4, the last row implied): a point maps as
 *    row . (x, y, z) + element 3 of the row, a vector without the translation.
 *  - MTX4_multiply (first, second, result) gives second*first: the transform
 *    that applies first, then second.
 *  - A coordinate system in the MC_ family is 12 doubles laid out like CSYS_s:
 *    origin, then the X, Y and Z axes.
 *
 * Point3 and Vector3 live in the namespace Kaltor::Math in C++ and are plain
 * structures in C; the reduced build calls them PNT3_s and VEC3_s.  Public
 * declarations use the aliases quorm_point3 and quorm_vector3, which name the
 * right record in every build and language.
 */
#ifndef QUORM_RECORDS_H
#define QUORM_RECORDS_H

#include <quorm/quorm_platform.h>

/** 2-D point. */
typedef struct PNT2_s {
    /** @{ */
    /** Coordinates. */
    double x, y;
    /** @} */
} PNT2_s;

/** 2-D vector. */
typedef struct VEC2_s {
    /** @{ */
    /** Components. */
    double x, y;
    /** @} */
} VEC2_s;

#if QUORM_REDUCED_BUILD
/** 3-D point of the reduced build (reduced build only; use quorm_point3). */
typedef struct PNT3_s {
    /** @{ */
    /** Coordinates. */
    double x, y, z;
    /** @} */
} PNT3_s;
/** 3-D vector of the reduced build (reduced build only; use quorm_vector3). */
typedef struct VEC3_s {
    /** @{ */
    /** Components. */
    double x, y, z;
    /** @} */
} VEC3_s;
/** The 3-D point record of this build and language: PNT3_s in the reduced
 * build; Kaltor::Math::Point3 in the full build in C++, the structure Point3
 * in C.  All three are three doubles x, y, z. */
typedef PNT3_s quorm_point3;
/** The 3-D vector record of this build and language: VEC3_s in the reduced
 * build; Kaltor::Math::Vector3 in the full build in C++, the structure
 * Vector3 in C.  All three are three doubles x, y, z. */
typedef VEC3_s quorm_vector3;
#elif defined(__cplusplus)
namespace Kaltor {
namespace Math {
/** 3-D point (full build, C++). */
struct Point3 {
    /** @{ */
    /** Coordinates. */
    double x, y, z;
    /** @} */
};
/** 3-D vector (full build, C++). */
struct Vector3 {
    /** @{ */
    /** Components. */
    double x, y, z;
    /** @} */
};
} // namespace Math
} // namespace Kaltor
/** The public name of the 3-D point record (full build, C++). */
typedef Kaltor::Math::Point3 quorm_point3;
/** The public name of the 3-D vector record (full build, C++). */
typedef Kaltor::Math::Vector3 quorm_vector3;
#else
/** 3-D point (full build, C). */
typedef struct Point3 {
    /** @{ */
    /** Coordinates. */
    double x, y, z;
    /** @} */
} Point3;
/** 3-D vector (full build, C). */
typedef struct Vector3 {
    /** @{ */
    /** Components. */
    double x, y, z;
    /** @} */
} Vector3;
/** The public name of the 3-D point record (full build, C). */
typedef Point3 quorm_point3;
/** The public name of the 3-D vector record (full build, C). */
typedef Vector3 quorm_vector3;
#endif

/** 2-D frame: row 0 (elem[0], elem[1]) the unit X direction, row 1 the unit Y. */
typedef struct MTX2_s {
    double elem[4]; /**< rows of 2: element (i, j) is elem[2*i + j] */
} MTX2_s;

/** 3-D orientation: rows X, Y, Z axes; element (i, j) is elem[3*i + j]. */
typedef struct MTX3_s {
    double elem[9]; /**< three rows of 3, row by row */
} MTX3_s;

/** Homogeneous transform, row by row; element (i, j) is elem[4*i + j]. */
typedef struct MTX4_s {
    double elem[16]; /**< four rows of 4, row by row */
} MTX4_s;

/** Plane through point; normal need not be of unit length. */
typedef struct PLN3_s {
    quorm_point3 point;   /**< a point of the plane */
    quorm_vector3 normal; /**< normal; need not be of unit length */
} PLN3_s;

/** Coordinate system: origin and axes (rows of matrix). */
typedef struct CSYS_s {
    quorm_point3 origin; /**< origin in absolute coordinates */
    MTX3_s matrix;       /**< rows: the X, Y and Z axes */
} CSYS_s;

#if QUORM_REDUCED_BUILD
/** Axis-aligned box (reduced build only). */
typedef struct BOX3_s {
    /** @{ */
    /** Least and greatest x, y and z. */
    double x_min, x_max, y_min, y_max, z_min, z_max;
    /** @} */
} BOX3_s;
#endif

#endif
