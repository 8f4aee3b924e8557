/** @file
 * Triangulation of simple planar polygons (PTF_).
 *
 * PTF_poly_tri_fill splits a simple polygon, given counter-clockwise without
 * repeating its first point, into exactly num_pts - 2 triangles on its own
 * points, by recursive splitting with a circumcircle criterion, and hands out
 * the adjacency of the result on request.
 *
 * Every chord the fill draws is a diagonal of the polygon: it crosses no
 * polygon edge and leaves both of its end points into the polygon's inside.
 * A clockwise or self-intersecting outline is refused (status 1) before any
 * splitting, so a successful fill always covers the polygon exactly.
 *
 * Memory: the triangles, boundary-edge and point-neighbour arrays come from
 * SM_alloc and belong to the caller (release them with PTF_free_output).  The
 * point-neighbour output holds num_pts ints per point (quadratic in
 * num_pts); everything else is linear, and the fill itself uses no deep
 * recursion. */
#ifndef QUORM_PTF_H
#define QUORM_PTF_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

/** One triangle: vertex indices (k0, k1, k2) counter-clockwise, and the
 * triangles across edges k1-k2, k2-k0 and k0-k1 (-1 on the polygon's
 * boundary). */
typedef struct PTF_tri_s {
    int vertices[3];  /**< point indices k0, k1, k2, counter-clockwise               */
    int neighbors[3]; /**< triangles across k1-k2, k2-k0 and k0-k1; -1 on the boundary */
} PTF_tri_s;

/** The points joined to one point by a triangle edge, in order of discovery;
 * neighbors has num_pts entries, the unused tail -1. */
typedef struct PTF_pt_neighbors_s {
    int num_neighbors; /**< how many entries of neighbors are in use            */
    int *neighbors;    /**< num_pts point indices (SM_alloc), unused entries -1 */
} PTF_pt_neighbors_s;

/** For polygon edge k -> k+1: the triangle carrying it and the edge's number
 * in that triangle (1: k1-k2, 2: k2-k0, 3: k0-k1); both -1 until set. */
typedef struct PTF_bnd_edge_neighbors_s {
    int tri;  /**< index of the triangle carrying the edge           */
    int edge; /**< 1, 2 or 3: the edge's number within that triangle */
} PTF_bnd_edge_neighbors_s;

/** Outcome of PTF_poly_tri_fill. */
typedef enum PTF_fill_status_e {
    PTF_FILL_OK = 0,            /**< filled; the requested outputs are written                  */
    PTF_FILL_INCOMPLETE = 1,    /**< clockwise, not simple, a coordinate not finite, or no
                                     acceptable triangle                                        */
    PTF_FILL_INVALID_INPUT = 2  /**< fewer than three points, or pts null                       */
} PTF_fill_status_e;

/** Fills the polygon.  Each output pointer may be null (that output is not
 * produced).  The outputs are cleared first and stay cleared unless the
 * status is 0. */
QUORM_API PTF_fill_status_e PTF_poly_tri_fill(int num_pts, PNT2_s *pts, int *num_tris, PTF_tri_s **tris,
                                              PTF_bnd_edge_neighbors_s **bnd_edges,
                                              PTF_pt_neighbors_s **pt_neighbors);

/** True exactly when PTF_poly_tri_fill with no outputs returns 0. */
QUORM_API bool PTF_validate_boundary(int num_pts, PNT2_s *pts);

/** Frees the outputs of PTF_poly_tri_fill; null arrays are skipped. */
QUORM_API void PTF_free_output(int num_pts, PTF_tri_s *tris, PTF_pt_neighbors_s *pt_neighbors,
                               PTF_bnd_edge_neighbors_s *bnd_edges);

QUORM_END_DECLS

#endif
