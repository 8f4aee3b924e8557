/** @file
 * Simple developable surfaces: plane, circular cylinder and circular cone in
 * one record (LSFIT_, full build only).
 *
 * The record's frame is (ref_dir, y, axis) with y = unit(axis x ref_dir);
 * axis and ref_dir are expected to be unit vectors and are used as stored.
 * At (u, v), with O = origin, a = axis, x = ref_dir, R = radius,
 * t = tan(half_angle):
 *   plane     O + u x + v y
 *   cylinder  O + R (cos u x + sin u y) + v a
 *   cone      O + r (cos u x + sin u y) + v a,  r = R + v t
 * u is an angle in radians for the cylinder and the cone.
 */
#ifndef QUORM_LSFIT_DEVELOPABLE_H
#define QUORM_LSFIT_DEVELOPABLE_H

#include <quorm/records.h>

/** Values of LSFIT_simple_developable_geom_s.type. */
#define LSFIT_DEVELOPABLE_NONE (-1)   /**< no surface: the value after initialisation */
#define LSFIT_DEVELOPABLE_PLANE 2     /**< plane                                       */
#define LSFIT_DEVELOPABLE_CYLINDER 3  /**< circular cylinder                           */
#define LSFIT_DEVELOPABLE_CONE 4      /**< circular cone                               */

#if QUORM_FULL_BUILD
/** One plane, circular cylinder or circular cone, parameterised over (u, v)
 * as described at the top of this file (full build only). */
typedef struct LSFIT_simple_developable_geom_s {
    int type;               /**< LSFIT_DEVELOPABLE_ value                                   */
    quorm_point3 origin;    /**< plane origin; a point on the axis (cone: centre at v = 0)  */
    quorm_vector3 axis;     /**< cylinder and cone axis; the plane's normal                 */
    quorm_vector3 ref_dir;  /**< perpendicular to axis: u = 0 lies along it                 */
    double radius;          /**< cylinder radius; cone radius at v = 0                      */
    double half_angle;      /**< cone half-angle, radians                                   */
    double further_values[4]; /**< belong to the fits that fill the record; carried along  */
    int further_ints[6];      /**< likewise                                                */
} LSFIT_simple_developable_geom_s;
#endif

QUORM_BEGIN_DECLS

#if QUORM_FULL_BUILD
/** type = LSFIT_DEVELOPABLE_NONE, every other value 0. */
QUORM_API void LSFIT_init_simple_developable_geom(LSFIT_simple_developable_geom_s *geom);

/** Copies every field of src to dst. */
QUORM_API void LSFIT_copy_simple_developable_geom(const LSFIT_simple_developable_geom_s *src,
                                                  LSFIT_simple_developable_geom_s *dst);

/** Point, first partial derivatives (derivs[0] along u, derivs[1] along v)
 * and unit normal unit(derivs[0] x derivs[1]) (zero where that cross product
 * is shorter than 1e-10) at uv = (u, v).  The outputs are cleared first; any
 * other type is an internal error ("Unrecognizabe value of simple
 * developable type.") at every checking level, and the outputs stay cleared
 * should the error return. */
QUORM_API void LSFIT_evaluate_simple_developable(const double uv[2], const LSFIT_simple_developable_geom_s *geom,
                                                 quorm_point3 *point, quorm_vector3 derivs[2],
                                                 quorm_vector3 *normal);
#endif

QUORM_END_DECLS

#endif
