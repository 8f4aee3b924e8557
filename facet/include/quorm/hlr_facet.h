/** @file
 * Hidden-line rendering of faceted models (HLR_FACET_).
 *
 * One rendering per process lives between HLR_FACET_init and HLR_FACET_term.
 * The caller sets the callbacks, the view and the clipping window, feeds the
 * model group by group (locations, normals, facets), calls HLR_FACET_render
 * and receives every visible piece of every drawn edge through the line
 * callback, in model coordinates, with the user pointer of the edge's group.
 *
 * View.  orientation holds the view frame's X, Y and Z axes (in model
 * coordinates) as its three rows; view coordinates are the model point's
 * coordinates in that frame relative to the view origin.  The viewer looks
 * along -Z.  Orthographic: the view plane is (x, y), larger z is nearer.
 * Perspective: the eye sits on the view's Z axis at eye_distance in front of
 * the view origin, and a point projects to (x, y) / -z with z measured from
 * the eye; facets with a vertex at or behind the eye are dropped.  The scale
 * value is stored and does not change the result.
 *
 * Edges.  Each facet offers its edges (see HLR_FACET_add_facet); an edge
 * offered by two front-facing facets whose vertex normals agree within 1.5
 * degrees at one of its ends lies inside a smooth surface and is not drawn,
 * unless the later facet flags it.  Boundaries, creases and silhouettes are
 * drawn.  Only front-facing facets hide edges; a model is expected to be a
 * closed or consistently oriented surface.
 *
 * Clipping.  With a clipping window set, facets wholly outside it are
 * dropped, and the drawn edges are cut at the window: only the pieces inside
 * it reach the line callback.
 *
 * Diagnostics go to the diagnostic callback: (0, 0) statistics, (1, 1) and
 * (1, 2) location or normal index out of range, (2, 3) storage could not be
 * obtained, (2, 4) and (2, 5) a facet refers to an undefined or out-of-range
 * location or normal (the facet is dropped).  The six render test counts are,
 * in order: edges tested, facets met in their cover squares, facets passed
 * by their bounding boxes, facets the edge's projection misses, facets
 * behind the edge, and hidden pieces found. */
#ifndef QUORM_HLR_FACET_H
#define QUORM_HLR_FACET_H

#include <quorm/quorm_platform.h>

QUORM_BEGIN_DECLS

/** Severity of a diagnostic. */
typedef enum HLR_FACET_severity_codes_t {
    HLR_FACET_SEVERITY_INFO = 0,    /**< statistics                                  */
    HLR_FACET_SEVERITY_WARNING = 1, /**< an index out of range; the call is ignored  */
    HLR_FACET_SEVERITY_ERROR = 2    /**< storage missing or a facet dropped          */
} HLR_FACET_severity_codes_t;

/** What a diagnostic is about (see the top of this file). */
typedef enum HLR_FACET_diagnostic_codes_t {
    HLR_FACET_DIAG_STATISTICS = 0, /**< statistics of the rendering                     */
    HLR_FACET_DIAG_VLOC_RANGE = 1, /**< HLR_FACET_add_vloc: index out of range          */
    HLR_FACET_DIAG_VNRM_RANGE = 2, /**< HLR_FACET_add_vnrm: index out of range          */
    HLR_FACET_DIAG_NO_MEMORY = 3,  /**< storage could not be obtained                   */
    HLR_FACET_DIAG_FACET_VLOC = 4, /**< a facet refers to an undefined or out-of-range
                                        location (also: a facet before any group)       */
    HLR_FACET_DIAG_FACET_VNRM = 5  /**< a facet refers to an undefined or out-of-range
                                        normal                                          */
} HLR_FACET_diagnostic_codes_t;

/** Receives one visible piece of a drawn edge, from start to end in model
 * coordinates; kind is always 0 and user is the user pointer of the edge's
 * group. */
typedef void (*HLR_FACET_line_callback_t)(const double start[3], const double end[3], int kind, void *user);
/** Receives a diagnostic.  text (valid during the call only) holds the
 * statistics, the offending index for the index codes, and is empty for
 * HLR_FACET_DIAG_NO_MEMORY. */
typedef void (*HLR_FACET_diag_callback_t)(HLR_FACET_severity_codes_t severity, HLR_FACET_diagnostic_codes_t code,
                                          const char *text);

/** Starts a rendering (releasing any previous one). */
QUORM_API void HLR_FACET_init(void);
/** Sets the line callback; with none (null) the visible pieces are dropped.
 * HLR_FACET_init clears it, so set it afterwards. */
QUORM_API void HLR_FACET_set_line_callback(HLR_FACET_line_callback_t cb);
/** Sets the diagnostic callback; with none (null) diagnostics are dropped.
 * HLR_FACET_init clears it, so set it afterwards. */
QUORM_API void HLR_FACET_set_diag_callback(HLR_FACET_diag_callback_t cb);
/** Only 1 is accepted; other values leave the level unchanged. */
QUORM_API void HLR_FACET_set_debug_level(int level);
/** Sets the view (see the top of this file); call it before the clipping
 * window and the locations, which are converted when they are given.  A null
 * origin is the model origin; a null or singular orientation is the
 * identity.  perspective non-zero with eye_distance > 0 selects the
 * perspective view, anything else the orthographic one. */
QUORM_API void HLR_FACET_view(const double origin[3], const double orientation[9], double scale, double eye_distance,
                              int perspective);
/** x1, y1, x2, y2 in view coordinates (either corner order); all four zero
 * or a null window switch clipping off. */
QUORM_API void HLR_FACET_clipping(const double window[4]);
/** Opens a group of n_vloc locations and n_vnrm normals, all undefined; the
 * previous group's normals are discarded.  n_points and points are not
 * used.  user is handed to the line callback with this group's edges. */
QUORM_API void HLR_FACET_group(int n_vloc, int n_vnrm, int n_points, const double (*points)[3], void *user);
/** Defines location i (0 ... n_vloc - 1) of the current group as the model
 * point p (kept in single precision).  An index out of range is reported as
 * (1, 1) and ignored; a null p is ignored. */
QUORM_API void HLR_FACET_add_vloc(int i, const double p[3]);
/** Defines normal i (0 ... n_vnrm - 1) of the current group as n (model
 * coordinates).  An index out of range is reported as (1, 2) and ignored; a
 * null n is ignored. */
QUORM_API void HLR_FACET_add_vnrm(int i, const double n[3]);
/** One facet of n vertices of the current group.  Vertex i offers the edge to
 * vertex i + 1 (cyclically) with edge_flags[i] (a null array: all clear),
 * unless the location index of vertex i + 1 is negative: that marks the edge
 * as not drawn, and the index is made positive in vloc.  A null vnrm uses the
 * facet normal at every vertex. */
QUORM_API void HLR_FACET_add_facet(const double normal[3], int n, int vloc[], const int vnrm[],
                                   const bool edge_flags[]);
/** Computes the visible pieces of every drawn edge fed so far and hands
 * them to the line callback; statistics go to the diagnostic callback. */
QUORM_API void HLR_FACET_render(void);
/** Releases the storage of the rendering; the callbacks stay set. */
QUORM_API void HLR_FACET_term(void);

QUORM_END_DECLS

#endif
