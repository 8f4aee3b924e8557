// Facet utilities: lines and planes, distances and projections, triangle
// area, ray-triangle intersection, Shepard weights, vertex normals of
// faceted models and ear clipping of planar polygons in space.
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

using namespace quorm;

static_assert(sizeof(FACET_facet_normal_s) == 112, "FACET_facet_normal_s layout");
static_assert(offsetof(FACET_facet_normal_s, vertex_ids) == 72, "FACET_facet_normal_s layout");
static_assert(offsetof(FACET_facet_normal_s, normal) == 88, "FACET_facet_normal_s layout");

namespace {

constexpr double rad_to_deg = 57.29577951308232;

// Unit vector of v with tolerance tol; false (and out = v) when v is shorter.
bool unit_or_keep(const Vector3 &v, double tol, Vector3 *out) {
    double c[3] = {v.x, v.y, v.z}, u[3], len;
    if (!unitize(c, 3, tol, &len, u)) {
        *out = v;
        return false;
    }
    *out = vec(u);
    return true;
}

// Holds a temporary block from SM_alloc and frees it on every way out.
struct TempBlock {
    void *p;
    explicit TempBlock(size_t bytes) : p(SM_alloc(bytes > 0 ? bytes : 1)) {}
    ~TempBlock() { SM_free(p); }
    TempBlock(const TempBlock &) = delete;
    TempBlock &operator=(const TempBlock &) = delete;
};

// Orientation of p relative to the directed edge a -> b, seen from the tip
// of n: positive on the left (inner side of a counter-clockwise polygon).
inline double orient(const Point3 &a, const Point3 &b, const Point3 &p, const Vector3 &n) {
    return dot(cross(sub(b, a), sub(p, a)), n);
}

inline bool same_point(const Point3 &a, const Point3 &b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// A corner is convex when the angle from (next - corner) to (prev - corner),
// turning positively about n, is at most pi: the interior angle of a
// polygon that runs counter-clockwise about n.
inline bool corner_convex(const Point3 &prev, const Point3 &corner, const Point3 &next, const Vector3 &n) {
    return dot(cross(sub(next, corner), sub(prev, corner)), n) >= 0.0;
}

} // namespace

extern "C" {

QUORM_API void FACET_points_to_param_line(const Point3 *p1, const Point3 *p2, int unitize_dir, Point3 *base,
                                          Vector3 *dir) {
    Vector3 d = sub(*p2, *p1);
    *base = *p1;
    if (unitize_dir == 1) unit_or_keep(d, 1e-5, &d);
    *dir = d;
}

QUORM_API void FACET_point_on_param_line(const Point3 *base, const Vector3 *dir, double t, Point3 *out) {
    *out = add(*base, scale(t, *dir));
}

QUORM_API int FACET_line_int_plane(const Point3 *p1, const Point3 *p2, const Vector3 *n, double d, Point3 *out,
                                   double *t) {
    Vector3 dir = sub(*p2, *p1);
    double nd = dot(*n, dir);
    if (std::fabs(nd) < 1e-10) return 1;
    double s = -(dot(*n, vec(*p1)) + d) / nd;
    *t = s;
    *out = add(*p1, scale(s, dir));
    return 0;
}

QUORM_API double FACET_point_plane_dist(const Point3 *p, const Vector3 *n, double d) {
    return dot(*n, vec(*p)) + d;
}

QUORM_API void FACET_point_plane_proj(const Point3 *p, const Vector3 *n, double d, Point3 *out) {
    Point3 q = add(*p, *n), hit;
    double t;
    *out = FACET_line_int_plane(p, &q, n, d, &hit, &t) == 0 ? hit : *p;
}

// -d.n/|n|^2 is the foot of the origin on the plane for any length of n
// (for a unit n it is -d.n).
QUORM_API void FACET_ask_point_on_plane(const Vector3 *n, double d, Point3 *out) {
    double nn = length2(*n);
    if (!(nn > 1e-20)) {
        *out = Point3{0.0, 0.0, 0.0};
        return;
    }
    *out = pnt(scale(-d / nn, *n));
}

QUORM_API void FACET_line_line_closest_point(const Point3 *p1, const Vector3 *e1, const Point3 *p2,
                                             const Vector3 *e2, double *t1, double *t2) {
    double a = dot(*e1, *e1), b = dot(*e1, *e2), c = dot(*e2, *e2);
    double m = a * c - b * b;
    Vector3 p12 = sub(*p2, *p1);
    double e = dot(*e1, p12);
    double f = -dot(*e2, p12);
    if (std::fabs(m) > 1e-10) {
        *t1 = (b * f + c * e) / m;
        *t2 = (b * e + a * f) / m;
        return;
    }
    // Parallel or degenerate lines: any foot pair is a closest pair.
    const double short2 = 1e-12; // directions shorter than 1e-6
    if (c < short2) {
        *t1 = a < short2 ? 0.0 : e / a;
        *t2 = 0.0;
        return;
    }
    *t1 = 0.0;
    *t2 = f / c;
}

QUORM_API int FACET_line_int_line(const Point3 *p1, const Vector3 *e1, const Point3 *p2, const Vector3 *e2,
                                  double *t1, double *t2) {
    *t1 = -1.0;
    *t2 = -1.0;
    double b = dot(*e1, *e2);
    if (b * b == 1.0) return 0;
    FACET_line_line_closest_point(p1, e1, p2, e2, t1, t2);
    return 1;
}

QUORM_API double FACET_line_point_dist(const Point3 *a, const Point3 *b, const Point3 *p) {
    Vector3 ab = sub(*b, *a), ap = sub(*p, *a);
    double len2 = length2(ab);
    if (len2 < 1e-10) return std::sqrt(length2(ap));
    return std::sqrt(length2(cross(ap, ab)) / len2);
}

QUORM_API double FACET_line_line_dist(const Point3 *p1, const Vector3 *e1, const Point3 *p2, const Vector3 *e2) {
    Vector3 w = cross(*e1, *e2);
    double len = std::sqrt(length2(w));
    if (len >= 1e-6) return dot(w, sub(*p2, *p1)) / len;
    Point3 q = add(*p2, *e2);
    return FACET_line_point_dist(p2, &q, p1);
}

QUORM_API void FACET_point_line_proj(const Point3 *p, const Point3 *q, const Vector3 *v, int is_unit, Point3 *out,
                                     double *t) {
    double s = dot(sub(*p, *q), *v);
    double vv = length2(*v);
    if (!is_unit && vv != 0.0) s /= vv;
    *t = s;
    *out = add(*q, scale(s, *v));
}

QUORM_API int FACET_plane_plane_int(const Vector3 *n1, double d1, const Vector3 *n2, double d2, Point3 *point,
                                    Vector3 *dir) {
    Vector3 w = cross(*n1, *n2);
    *dir = w;
    Point3 q1;
    FACET_ask_point_on_plane(n1, d1, &q1);
    if (length2(w) <= 1e-10) {
        Point3 q2;
        FACET_ask_point_on_plane(n2, d2, &q2);
        Vector3 u;
        unit_or_keep(*n1, 1e-10, &u);
        *point = q1;
        return std::fabs(dot(sub(q2, q1), u)) <= 1e-10 ? 0 : 1;
    }
    // A line in plane 1 across the intersection line, met with plane 2.
    Point3 q = add(q1, cross(w, *n1));
    double t;
    if (FACET_line_int_plane(&q1, &q, n2, d2, point, &t) != 0) *point = q1;
    return 2;
}

QUORM_API double FACET_compute_undirected_angle(const Vector3 *a, const Vector3 *b) {
    return std::atan2(std::sqrt(length2(cross(*a, *b))), dot(*a, *b));
}

// Heron's formula with the sides sorted a >= b >= c and the factors grouped
// so that no difference of nearly equal sums is formed: exact for every
// triangle whose sides are exact, and 0 for degenerate ones.
QUORM_API double FACET_ask_triangle_area(const Point3 *p1, const Point3 *p2, const Point3 *p3) {
    double a = std::sqrt(dist2(*p1, *p2)), b = std::sqrt(dist2(*p2, *p3)), c = std::sqrt(dist2(*p3, *p1));
    if (a < b) std::swap(a, b);
    if (b < c) std::swap(b, c);
    if (a < b) std::swap(a, b);
    double r = (a + (b + c)) * (c - (a - b)) * (c + (a - b)) * (a + (b - c));
    if (!(r > 0.0)) return 0.0;
    return 0.25 * std::sqrt(r);
}

QUORM_API bool FACET_ray_triangle_intersect(const Point3 *origin, const Vector3 *dir, const Point3 tri[3],
                                            Point3 *hit, double *t) {
    Vector3 e1 = sub(tri[1], tri[0]), e2 = sub(tri[2], tri[0]);
    Vector3 pv = cross(*dir, e2);
    double r = dot(e1, pv);
    if (std::fabs(r) < 1e-6) return false;
    Vector3 s = sub(*origin, tri[0]);
    double u = dot(s, pv) / r;
    if (u < 0.0 || u > 1.0) return false;
    double v = dot(*dir, cross(s, e1)) / r;
    if (v < 0.0 || u + v > 1.0) return false;
    double w = 1.0 - u - v;
    Point3 h{w * tri[0].x + u * tri[1].x + v * tri[2].x, w * tri[0].y + u * tri[1].y + v * tri[2].y,
             w * tri[0].z + u * tri[1].z + v * tri[2].z};
    *hit = h;
    *t = dot(sub(h, *origin), *dir);
    return true;
}

QUORM_API void FACET_shepards_weights(int n, const double dist[], double threshold, double power, double weights[]) {
    if (n <= 0) return;
    int hit = -1;
    for (int i = 0; i < n; ++i) {
        weights[i] = 0.0;
        if (dist[i] <= threshold) hit = i;
    }
    if (hit >= 0) {
        weights[hit] = 1.0;
        return;
    }
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        double w = power == 1.0 ? dist[i] : std::pow(dist[i], power);
        weights[i] = 1.0 / w;
        sum += weights[i];
    }
    for (int i = 0; i < n; ++i) weights[i] /= sum;
}

QUORM_API void FACET_interp_normal_at_vertex(const Point3 *vertex, int vertex_id, int n_facets,
                                             const FACET_facet_normal_s facets[], FACET_weight_t weights,
                                             const double tols[], Vector3 *normal) {
    *normal = Vector3{0.0, 0.0, 0.0};
    if (weights == FACET_WEIGHT_ANGLE && vertex == nullptr)
        ERROR_internal(__FILE__, __LINE__, "The common vertex is not input as expected.");
    if (n_facets <= 0) return;

    // measure: the facet's area or corner angle; value: its reciprocal, the
    // "distance" whose Shepard weight is then proportional to the measure.
    TempBlock block(2 * sizeof(double) * static_cast<size_t>(n_facets));
    double *value = static_cast<double *>(block.p);
    double *weight = value + n_facets;
    const double threshold = tols[0] * tols[0] / 2.0;

    // An exact hit is a facet whose measure (not its reciprocal) is at most
    // the threshold: it alone gives the normal.
    int hit = -1;
    int n_used = 0;
    for (int i = 0; i < n_facets; ++i) {
        const FACET_facet_normal_s &f = facets[i];
        double measure;
        if (weights == FACET_WEIGHT_AREA) {
            measure = FACET_ask_triangle_area(&f.vertices[0], &f.vertices[1], &f.vertices[2]);
            if (measure < threshold) ERROR_internal(__FILE__, __LINE__, "Zero area facet occurred.");
        } else if (weights == FACET_WEIGHT_ANGLE) {
            int j = 0;
            while (j < 3 && f.vertex_ids[j] != vertex_id) ++j;
            if (j == 3) {
                ERROR_internal(__FILE__, __LINE__, "The facet is not incident at the given vertex.");
                value[i] = HUGE_VAL; // no weight, should the error return
                continue;
            }
            Vector3 to_next = sub(f.vertices[(j + 1) % 3], f.vertices[j]);
            Vector3 to_prev = sub(f.vertices[(j + 2) % 3], f.vertices[j]);
            double angle = std::fabs(VEC3_angle_between(&to_next, &to_prev, &f.normal));
            // A signed angle beyond pi is the same corner measured the other way.
            if (angle > 3.14159265358979323846) angle = 2.0 * 3.14159265358979323846 - angle;
            measure = std::fmax(angle * rad_to_deg, tols[1]);
        } else {
            ERROR_internal(__FILE__, __LINE__, "The requested type of weights is not recognizable.");
            return;
        }
        if (measure <= threshold) hit = i;
        value[i] = 1.0 / measure;
        ++n_used;
    }
    if (n_used == 0) return;

    if (hit >= 0) {
        for (int i = 0; i < n_facets; ++i) weight[i] = 0.0;
        weight[hit] = 1.0;
    } else {
        FACET_shepards_weights(n_facets, value, -1.0, 1.0, weight);
    }
    Vector3 sum{0.0, 0.0, 0.0};
    for (int i = 0; i < n_facets; ++i) sum = scale_add(weight[i], facets[i].normal, sum);
    Vector3 u;
    double len;
    VEC3_unitize(&sum, 1e-10, &len, &u);
    *normal = u;
}

QUORM_API void FACET_ask_triangles_of_polygon(int n, const Point3 pts[], const Vector3 *normal, int tris[]) {
    QUORM_ASSERT(n >= 3);
    if (n < 3) return;
    if (n == 3) {
        tris[0] = 0;
        tris[1] = 1;
        tris[2] = 2;
        return;
    }
    const Vector3 nrm = *normal;
    const int n_original_vertices = n;

    // The remaining corners form a ring (next/prev links); convex[v] is the
    // flag of corner v.  Clipping a corner changes only its two neighbours'
    // flags, so those are the ones brought up to date.
    TempBlock block(3 * sizeof(int) * static_cast<size_t>(n));
    int *next = static_cast<int *>(block.p);
    int *prev = next + n;
    int *convex = prev + n;
    int n_reflex = 0;
    for (int i = 0; i < n; ++i) {
        next[i] = i + 1 < n ? i + 1 : 0;
        prev[i] = i > 0 ? i - 1 : n - 1;
    }
    auto update = [&](int v) {
        int was = convex[v];
        convex[v] = corner_convex(pts[prev[v]], pts[v], pts[next[v]], nrm) ? 1 : 0;
        n_reflex += was - convex[v];
    };
    for (int i = 0; i < n; ++i) {
        convex[i] = 1;
        update(i);
    }

    // An ear: a convex corner whose triangle holds no other remaining
    // corner.  Only reflex corners can lie in the triangle of a convex corner
    // of a simple polygon, so only they are tested.  A corner on the
    // triangle's border blocks it as well: clipping a triangle whose diagonal
    // touches a reflex corner would leave a polygon that touches itself there
    // and later ears would cover ground outside.  Corners that coincide with
    // the triangle's own (the two sides of a slit) do not block.
    auto is_ear = [&](int v) {
        if (n_reflex == 0) return true;
        const int a = prev[v], b = next[v];
        const Point3 &pa = pts[a], &pv = pts[v], &pb = pts[b];
        for (int w = next[b]; w != a; w = next[w]) {
            if (convex[w]) continue;
            const Point3 &p = pts[w];
            if (orient(pa, pv, p, nrm) >= 0.0 && orient(pv, pb, p, nrm) >= 0.0 && orient(pb, pa, p, nrm) >= 0.0 &&
                !same_point(p, pa) && !same_point(p, pv) && !same_point(p, pb))
                return false;
        }
        return true;
    };

    int n_triangles = 0;
    int remaining = n;
    int cur = 0;
    while (remaining >= 3) {
        int v = cur, candidate = -1, ear = -1;
        for (int k = 0; k < remaining; ++k, v = next[v]) {
            if (!convex[v]) continue;
            candidate = v;
            if (is_ear(v)) {
                ear = v;
                break;
            }
        }
        if (ear < 0) ear = candidate >= 0 ? candidate : prev[cur];

        const int a = prev[ear], b = next[ear];
        if (a != ear && b != ear && a != b) {
            QUORM_ASSERT(n_triangles < n_original_vertices - 2);
            if (n_triangles >= n_original_vertices - 2) break;
            tris[3 * n_triangles] = a;
            tris[3 * n_triangles + 1] = ear;
            tris[3 * n_triangles + 2] = b;
            ++n_triangles;
        }
        next[a] = b;
        prev[b] = a;
        n_reflex -= 1 - convex[ear];
        --remaining;
        update(a);
        update(b);
        cur = b;
    }
    QUORM_ASSERT(n_triangles == n_original_vertices - 2);
}

} // extern "C"
