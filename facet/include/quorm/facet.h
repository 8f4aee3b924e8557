/** @file
 * Facet utilities (FACET_): parametric lines, line/plane relations,
 * distances and projections, triangle area, ray-triangle intersection,
 * Shepard weights, the interpolated normal at a vertex shared by several
 * facets, and ear clipping of planar polygons in space.
 *
 * A plane is a normal n and an offset d: the points x with n.x + d = 0.  The
 * normal need not be of unit length unless a function says so.  Degenerate
 * input is reported through return codes, or through internal errors and
 * assertions (source facet_util_math) while the checking level is above 0.
 */
#ifndef QUORM_FACET_H
#define QUORM_FACET_H

#include <quorm/records.h>

/** One facet as seen from a vertex: its corners, their identifiers in the
 * caller's numbering, and its unit normal.  Arrays of these are contiguous. */
typedef struct FACET_facet_normal_s {
    quorm_point3 vertices[3]; /**< the three corners                                    */
    int vertex_ids[3];        /**< their identifiers (angle weights look for vertex_id) */
    quorm_vector3 normal;     /**< unit normal of the facet                             */
} FACET_facet_normal_s;

/** How facet normals are weighted at a shared vertex. */
typedef int FACET_weight_t;
#define FACET_WEIGHT_AREA 0  /**< by facet area                       */
#define FACET_WEIGHT_ANGLE 1 /**< by the facet's corner angle there   */

QUORM_BEGIN_DECLS

/** base = p1, dir = p2 - p1; with unitize == 1 dir is made a unit vector
 * (tolerance 1e-5), keeping the raw difference when that fails. */
QUORM_API void FACET_points_to_param_line(const quorm_point3 *p1, const quorm_point3 *p2, int unitize,
                                          quorm_point3 *base, quorm_vector3 *dir);

/** out = base + t.dir */
QUORM_API void FACET_point_on_param_line(const quorm_point3 *base, const quorm_vector3 *dir, double t,
                                         quorm_point3 *out);

/** Intersects the line through p1 and p2 (direction p2 - p1) with the plane.
 * Returns 1 when |n.dir| < 1e-10 (parallel; out and *t unwritten), else 0
 * with *t = -(n.p1 + d)/(n.dir) and out = p1 + t.dir. */
QUORM_API int FACET_line_int_plane(const quorm_point3 *p1, const quorm_point3 *p2, const quorm_vector3 *n, double d,
                                   quorm_point3 *out, double *t);

/** n.p + d: the signed distance for a unit n. */
QUORM_API double FACET_point_plane_dist(const quorm_point3 *p, const quorm_vector3 *n, double d);

/** The point where the line from p along n meets the plane (p itself when n
 * is shorter than about 1e-5). */
QUORM_API void FACET_point_plane_proj(const quorm_point3 *p, const quorm_vector3 *n, double d, quorm_point3 *out);

/** The point of the plane closest to the origin, -d.n/|n|^2 (the origin when
 * |n| <= 1e-10). */
QUORM_API void FACET_ask_point_on_plane(const quorm_vector3 *n, double d, quorm_point3 *out);

/** Parameters of the mutually closest points p1 + t1.e1 and p2 + t2.e2.
 * For (nearly) parallel lines (|a.c - b^2| <= 1e-10 with a = e1.e1,
 * b = e1.e2, c = e2.e2) t1 = 0 and t2 is the parameter of the foot of p1 on
 * the second line; when e2 is shorter than 1e-6, t2 = 0 and t1 is the
 * parameter of the foot of p2 on the first line; both 0 when both
 * directions are shorter than 1e-6. */
QUORM_API void FACET_line_line_closest_point(const quorm_point3 *p1, const quorm_vector3 *e1, const quorm_point3 *p2,
                                             const quorm_vector3 *e2, double *t1, double *t2);

/** Both parameters -1 and result 0 when (e1.e2)^2 == 1 exactly (parallel unit
 * directions); else the closest-point parameters and 1. */
QUORM_API int FACET_line_int_line(const quorm_point3 *p1, const quorm_vector3 *e1, const quorm_point3 *p2,
                                  const quorm_vector3 *e2, double *t1, double *t2);

/** Distance from p to the line through a and b (|p - a| when a and b are
 * closer than 1e-5). */
QUORM_API double FACET_line_point_dist(const quorm_point3 *a, const quorm_point3 *b, const quorm_point3 *p);

/** Signed distance ((e1 x e2).(p2 - p1))/|e1 x e2| between two lines; when
 * |e1 x e2| < 1e-6 the distance from p1 to the line through p2 along e2. */
QUORM_API double FACET_line_line_dist(const quorm_point3 *p1, const quorm_vector3 *e1, const quorm_point3 *p2,
                                      const quorm_vector3 *e2);

/** Projection of p onto the line q + t.v: t = (p - q).v, divided by |v|^2
 * unless is_unit (or |v|^2 is 0); out = q + t.v. */
QUORM_API void FACET_point_line_proj(const quorm_point3 *p, const quorm_point3 *q, const quorm_vector3 *v,
                                     int is_unit, quorm_point3 *out, double *t);

/** Intersection line of two planes: dir = n1 x n2.  When |dir|^2 <= 1e-10 the
 * planes are parallel: 0 when they are the same plane (their points closest
 * to the origin lie within 1e-10 of each other along n1), else 1; point is
 * then the first plane's point.  Otherwise point is a point of both planes
 * and 2 is returned. */
QUORM_API int FACET_plane_plane_int(const quorm_vector3 *n1, double d1, const quorm_vector3 *n2, double d2,
                                    quorm_point3 *point, quorm_vector3 *dir);

/** atan2(|a x b|, a.b): the angle between a and b in [0, pi] radians. */
QUORM_API double FACET_compute_undirected_angle(const quorm_vector3 *a, const quorm_vector3 *b);

/** Area of the triangle from its three side lengths (Heron's formula, in an
 * arrangement that stays accurate for needle-like triangles); 0 when the
 * radicand is not positive. */
QUORM_API double FACET_ask_triangle_area(const quorm_point3 *p1, const quorm_point3 *p2, const quorm_point3 *p3);

/** Intersects the unbounded line origin + s.dir with the triangle tri.  False
 * when the line is parallel to the triangle's plane (|e1.(dir x e2)| < 1e-6)
 * or misses it.  Otherwise *hit is the point in the triangle and
 * *t = (hit - origin).dir (the line parameter for a unit dir; negative behind
 * the origin). */
QUORM_API bool FACET_ray_triangle_intersect(const quorm_point3 *origin, const quorm_vector3 *dir,
                                            const quorm_point3 tri[3], quorm_point3 *hit, double *t);

/** Shepard weights of n distances: when some dist[i] <= threshold, the last
 * such i has weight 1 and the others 0; otherwise weight i is proportional to
 * 1/dist[i]^power and the weights sum to 1. */
QUORM_API void FACET_shepards_weights(int n, const double dist[], double threshold, double power, double weights[]);

/** Unit normal at a vertex shared by n_facets facets: the facet normals
 * weighted in proportion to the facets' areas (FACET_WEIGHT_AREA) or to their
 * corner angles at the vertex identified by vertex_id (FACET_WEIGHT_ANGLE;
 * angles in degrees, at least tols[1]).  A facet whose area (or angle) is at
 * most tols[0]^2/2 is an exact hit and gives its normal alone (a zero-area
 * facet is also reported).  Result zero when the weighted sum is null. */
QUORM_API void FACET_interp_normal_at_vertex(const quorm_point3 *vertex, int vertex_id, int n_facets,
                                             const FACET_facet_normal_s facets[], FACET_weight_t weights,
                                             const double tols[], quorm_vector3 *normal);

/** Splits the planar polygon pts[0..n-1] (n >= 3) into n - 2 triangles by ear
 * clipping; the polygon runs counter-clockwise seen from the tip of normal,
 * and so do the triangles written to tris (3.(n - 2) vertex indices). */
QUORM_API void FACET_ask_triangles_of_polygon(int n, const quorm_point3 pts[], const quorm_vector3 *normal,
                                              int tris[]);

QUORM_END_DECLS

#endif
