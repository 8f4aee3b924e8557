// Triangulation of simple planar polygons by recursive splitting with a
// circumcircle criterion, with the adjacency of the result.
//
// The polygon q0 .. q(c-1) (a contiguous run of the input, closed by its base
// edge from q(c-1) to q0) gets one triangle on its base edge; its apex qi
// splits the rest into the runs q0 .. qi and qi .. q(c-1), which are filled
// the same way.  The apex is the first acceptable point, replaced by any later
// acceptable point strictly inside the current triangle's circumcircle.
//
// Large polygons: the runs are kept on an explicit stack (no recursion), and a
// binary tree of bounding boxes over the point order answers the three
// searches of a split (first point on the inner side of the base edge, first
// later point inside a circle, polygon edges near a chord) without scanning
// the whole run.  The results are the same as those of plain scans.
#include "foundation/quorm_internal.h"

#include <quorm/ptf.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <new>

static_assert(sizeof(PTF_tri_s) == 6 * sizeof(int), "PTF_tri_s is six ints");
static_assert(offsetof(PTF_tri_s, neighbors) == 3 * sizeof(int), "PTF_tri_s layout");
static_assert(sizeof(PTF_bnd_edge_neighbors_s) == 2 * sizeof(int), "PTF_bnd_edge_neighbors_s is two ints");

namespace {

// Threshold of the orientation, circle and crossing tests (model units).
constexpr double small = 1e-10;

// A block from SM_alloc that is released when the owner goes out of scope,
// unless it has been handed over with release().
template <typename T> class Block {
  public:
    Block() = default;
    explicit Block(std::size_t count) : p_(static_cast<T *>(SM_alloc(count * sizeof(T) + 1))) {}
    ~Block() { SM_free(p_); }
    Block(const Block &) = delete;
    Block &operator=(const Block &) = delete;
    Block &operator=(Block &&other) noexcept {
        if (this != &other) {
            SM_free(p_);
            p_ = other.release();
        }
        return *this;
    }
    T *get() const { return p_; }
    T &operator[](std::size_t i) const { return p_[i]; }
    T *release() {
        T *p = p_;
        p_ = nullptr;
        return p;
    }

  private:
    T *p_ = nullptr;
};

inline double cross(double ux, double uy, double vx, double vy) { return ux * vy - uy * vx; }

// Twice the signed area of (a, b, c): positive when c lies left of a -> b.
inline double orient(const PNT2_s &a, const PNT2_s &b, const PNT2_s &c) {
    return cross(b.x - a.x, b.y - a.y, c.x - a.x, c.y - a.y);
}

struct Box {
    double x0, y0, x1, y1;
};

// Bounding boxes over the polygon's edges in point order: leaf b holds edges
// b*leaf_size .. b*leaf_size + leaf_size - 1 (edge i runs from point i to
// point i + 1 mod n), inner node k covers its children 2k and 2k + 1.  A box
// therefore also bounds the points of its index range.
class EdgeTree {
  public:
    static constexpr int leaf_size = 8;

    EdgeTree(int n, const PNT2_s *p) : n_(n) {
        const int leaves = (n + leaf_size - 1) / leaf_size;
        size_ = 1;
        while (size_ < leaves) size_ *= 2;
        boxes_ = Block<Box>(2 * static_cast<std::size_t>(size_));
        const double inf = std::numeric_limits<double>::infinity();
        for (int k = 0; k < 2 * size_; ++k) boxes_[k] = Box{inf, inf, -inf, -inf};
        for (int i = 0; i < n; ++i) {
            Box &b = boxes_[size_ + i / leaf_size];
            add(b, p[i]);
            add(b, p[(i + 1) % n]);
        }
        for (int k = size_ - 1; k >= 1; --k) {
            const Box &l = boxes_[2 * k], &r = boxes_[2 * k + 1];
            boxes_[k] = Box{std::min(l.x0, r.x0), std::min(l.y0, r.y0), std::max(l.x1, r.x1),
                            std::max(l.y1, r.y1)};
        }
    }

    // The first point index in [from, to] for which point_ok holds, searching
    // only boxes for which box_ok holds; -1 when there is none.
    template <typename BoxOk, typename PointOk> int first(int from, int to, BoxOk box_ok, PointOk point_ok) const {
        if (from > to) return -1;
        return first_in(1, 0, size_ * leaf_size - 1, from, to, box_ok, point_ok);
    }

    // True when some edge in a box accepted by box_ok makes edge_hit true.
    // Of two child boxes the one nearer to (near_x, near_y) is searched
    // first, so that a hit, if there is one, tends to be found early.
    template <typename BoxOk, typename EdgeHit>
    bool any_edge(BoxOk box_ok, EdgeHit edge_hit, double near_x = 0, double near_y = 0) const {
        return any_in(1, 0, size_ * leaf_size - 1, box_ok, edge_hit, near_x, near_y);
    }

  private:
    static void add(Box &b, const PNT2_s &q) {
        b.x0 = std::min(b.x0, q.x);
        b.y0 = std::min(b.y0, q.y);
        b.x1 = std::max(b.x1, q.x);
        b.y1 = std::max(b.y1, q.y);
    }

    // Node k covers indices lo .. hi; the depth is log2 of the leaf count.
    template <typename BoxOk, typename PointOk>
    int first_in(int k, int lo, int hi, int from, int to, BoxOk &box_ok, PointOk &point_ok) const {
        if (hi < from || lo > to || lo >= n_ || !box_ok(boxes_[k])) return -1;
        if (k >= size_) {
            const int end = std::min(std::min(hi, to), n_ - 1);
            for (int i = std::max(lo, from); i <= end; ++i)
                if (point_ok(i)) return i;
            return -1;
        }
        const int mid = lo + (hi - lo) / 2;
        const int left = first_in(2 * k, lo, mid, from, to, box_ok, point_ok);
        return left >= 0 ? left : first_in(2 * k + 1, mid + 1, hi, from, to, box_ok, point_ok);
    }

    template <typename BoxOk, typename EdgeHit>
    bool any_in(int k, int lo, int hi, BoxOk &box_ok, EdgeHit &edge_hit, double nx, double ny) const {
        if (lo >= n_ || !box_ok(boxes_[k])) return false;
        if (k >= size_) {
            const int end = std::min(hi, n_ - 1);
            for (int i = lo; i <= end; ++i)
                if (edge_hit(i)) return true;
            return false;
        }
        const int mid = lo + (hi - lo) / 2;
        auto dist = [&](const Box &b) {
            const double dx = (b.x0 + b.x1) / 2 - nx, dy = (b.y0 + b.y1) / 2 - ny;
            return dx * dx + dy * dy;
        };
        if (dist(boxes_[2 * k + 1]) < dist(boxes_[2 * k]))
            return any_in(2 * k + 1, mid + 1, hi, box_ok, edge_hit, nx, ny) ||
                   any_in(2 * k, lo, mid, box_ok, edge_hit, nx, ny);
        return any_in(2 * k, lo, mid, box_ok, edge_hit, nx, ny) || any_in(2 * k + 1, mid + 1, hi, box_ok, edge_hit, nx, ny);
    }

    int n_;
    int size_ = 1;
    Block<Box> boxes_;
};

// True when segment (a, b) and segment (c, d) have a point in common.
bool segments_meet(const PNT2_s &a, const PNT2_s &b, const PNT2_s &c, const PNT2_s &d) {
    const double o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
    if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) return true;
    auto on = [](const PNT2_s &p, const PNT2_s &q, const PNT2_s &r) { // r on segment p-q, given collinear
        return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
               r.y <= std::max(p.y, q.y);
    };
    return (o1 == 0 && on(a, b, c)) || (o2 == 0 && on(a, b, d)) || (o3 == 0 && on(c, d, a)) ||
           (o4 == 0 && on(c, d, b));
}

// True when the closed outline has two edges that meet other than at the
// vertex shared by neighbouring edges, or neighbouring edges that fold back
// onto each other.
bool self_intersects(int n, const PNT2_s *p, const EdgeTree &tree) {
    for (int e = 0; e < n; ++e) {
        const PNT2_s &a = p[e], &b = p[(e + 1) % n];
        const Box eb{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        auto box_ok = [&](const Box &x) { return x.x0 <= eb.x1 && eb.x0 <= x.x1 && x.y0 <= eb.y1 && eb.y0 <= x.y1; };
        auto hit = [&](int f) {
            if (f <= e) return false;
            const PNT2_s &c = p[f], &d = p[(f + 1) % n];
            if (f == e + 1 || (e == 0 && f == n - 1)) {
                // Neighbours share one vertex s; they fold back when the other
                // ends lie on one ray from s.
                const PNT2_s &s = (f == e + 1) ? b : a, &u = (f == e + 1) ? a : b, &v = (f == e + 1) ? d : c;
                return n > 3 && orient(s, u, v) == 0 && (u.x - s.x) * (v.x - s.x) + (u.y - s.y) * (v.y - s.y) > 0;
            }
            return segments_meet(a, b, c, d);
        };
        if (tree.any_edge(box_ok, hit)) return true;
    }
    return false;
}

// One run q0 .. q(c-1) = points lo .. hi waiting to be filled, with the
// triangle across its base edge and that triangle's neighbour slot.
struct Run {
    int lo, hi, parent, slot;
};

class Filler {
  public:
    Filler(int n, const PNT2_s *p, const EdgeTree &tree, PTF_tri_s *tris) : n_(n), p_(p), tree_(tree), tris_(tris) {}

    // Fills the whole polygon; true when num_pts - 2 triangles came out.
    bool fill() {
        Block<Run> stack(static_cast<std::size_t>(n_));
        int top = 0;
        stack[top++] = Run{0, n_ - 1, -1, -1};
        const int num_tris = n_ - 2;
        int itri = 0;
        while (top > 0) {
            const Run r = stack[--top];
            QUORM_ASSERT_TEXT(itri < num_tris, "(*itri) < num_tris");
            if (itri >= num_tris) return false;
            const int apex = (r.hi - r.lo == 2) ? (accepted(r.lo, r.hi, r.lo + 1) ? r.lo + 1 : -1) : find_apex(r.lo, r.hi);
            if (apex < 0) return false;
            PTF_tri_s &t = tris_[itri];
            t.vertices[0] = r.hi;
            t.vertices[1] = r.lo;
            t.vertices[2] = apex;
            t.neighbors[0] = t.neighbors[1] = -1;
            t.neighbors[2] = r.parent;
            if (r.parent >= 0) tris_[r.parent].neighbors[r.slot] = itri;
            // The run before the apex is filled first: push it last.
            if (r.hi - apex >= 2) stack[top++] = Run{apex, r.hi, itri, 1};
            if (apex - r.lo >= 2) stack[top++] = Run{r.lo, apex, itri, 0};
            ++itri;
        }
        return itri == num_tris;
    }

  private:
    // The triangle (hi, lo, i) is counter-clockwise by more than the threshold.
    bool accepted(int lo, int hi, int i) const {
        const PNT2_s &a = p_[hi], &b = p_[lo], &q = p_[i];
        return cross(b.x - a.x, b.y - a.y, q.x - a.x, q.y - a.y) > small;
    }

    // The apex of the triangle on the base edge of run lo .. hi (at least four
    // points), or -1.
    int find_apex(int lo, int hi) const {
        const PNT2_s &a = p_[hi], &b = p_[lo];
        const double ux = b.x - a.x, uy = b.y - a.y;
        // Boxes with a corner on the inner side of the base edge.
        auto inner_box = [&](const Box &x) {
            return cross(ux, uy, x.x0 - a.x, x.y0 - a.y) > small || cross(ux, uy, x.x1 - a.x, x.y0 - a.y) > small ||
                   cross(ux, uy, x.x0 - a.x, x.y1 - a.y) > small || cross(ux, uy, x.x1 - a.x, x.y1 - a.y) > small;
        };
        int cand = -1;
        for (int from = lo + 1;;) {
            const int i = tree_.first(from, hi - 1, inner_box, [&](int k) { return accepted(lo, hi, k); });
            if (i < 0) return -1;
            if (diagonals(lo, hi, i)) {
                cand = i;
                break;
            }
            from = i + 1;
        }
        // Later points strictly inside the circumcircle replace the candidate.
        for (int from = cand + 1;;) {
            const PNT2_s &q = p_[cand];
            const double vx = q.x - a.x, vy = q.y - a.y;
            const double w = cross(ux, uy, vx, vy), uu = ux * ux + uy * uy, vv = vx * vx + vy * vy;
            const double ox = (vy * uu - uy * vv) / (2 * w), oy = (ux * vv - vx * uu) / (2 * w);
            const double cx = a.x + ox, cy = a.y + oy, limit = ox * ox + oy * oy - small;
            auto near_box = [&](const Box &x) {
                const double dx = std::max(std::max(x.x0 - cx, cx - x.x1), 0.0);
                const double dy = std::max(std::max(x.y0 - cy, cy - x.y1), 0.0);
                return dx * dx + dy * dy < limit;
            };
            auto inside = [&](int k) {
                const double dx = p_[k].x - cx, dy = p_[k].y - cy;
                return dx * dx + dy * dy < limit;
            };
            int j = -1;
            for (;;) {
                j = tree_.first(from, hi - 1, near_box, inside);
                if (j < 0 || (accepted(lo, hi, j) && diagonals(lo, hi, j))) break;
                from = j + 1;
            }
            if (j < 0) return cand;
            cand = j;
            from = j + 1;
        }
    }

    // The chords of triangle (hi, lo, i) that are not polygon edges are
    // diagonals of the run lo .. hi.
    bool diagonals(int lo, int hi, int i) const {
        return (i == lo + 1 || diagonal(lo, hi, lo, i)) && (i == hi - 1 || diagonal(lo, hi, i, hi));
    }

    // The chord k-m of run lo .. hi leaves both ends into the run's inside and
    // crosses no polygon edge.
    bool diagonal(int lo, int hi, int k, int m) const {
        return in_cone(lo, hi, k, m) && in_cone(lo, hi, m, k) && !crosses(k, m);
    }

    // The direction from point v to point t lies strictly inside the run's
    // corner at v (the run is counter-clockwise).
    bool in_cone(int lo, int hi, int v, int t) const {
        const PNT2_s &prev = p_[v == lo ? hi : v - 1], &next = p_[v == hi ? lo : v + 1];
        const PNT2_s &c = p_[v], &q = p_[t];
        if (orient(prev, c, next) > 0) return orient(c, q, prev) > 0 && orient(q, c, next) > 0;
        return !(orient(c, q, next) >= 0 && orient(q, c, prev) >= 0);
    }

    // Does the chord from point k to point m cross the polygon's boundary?
    // A boundary vertex lying on the chord between its ends blocks it too.
    bool crosses(int k, int m) const {
        const PNT2_s &pk = p_[k], &pm = p_[m];
        const double len = std::hypot(pm.x - pk.x, pm.y - pk.y);
        if (!(len > 0)) return true;
        const double ux = (pm.x - pk.x) / len, uy = (pm.y - pk.y) / len;
        const Box cb{std::min(pk.x, pm.x) - small, std::min(pk.y, pm.y) - small, std::max(pk.x, pm.x) + small,
                     std::max(pk.y, pm.y) + small};
        auto box_ok = [&](const Box &x) {
            if (x.x0 > cb.x1 || cb.x0 > x.x1 || x.y0 > cb.y1 || cb.y0 > x.y1) return false;
            // Boxes wholly on one side of the chord's line are passed over.
            double lo_f = std::numeric_limits<double>::infinity(), hi_f = -lo_f;
            const double xs[2] = {x.x0, x.x1}, ys[2] = {x.y0, x.y1};
            for (double bx : xs)
                for (double by : ys) {
                    const double f = cross(ux, uy, bx - pk.x, by - pk.y);
                    lo_f = std::min(lo_f, f);
                    hi_f = std::max(hi_f, f);
                }
            return lo_f <= small && hi_f >= -small;
        };
        auto hit = [&](int i) {
            const int i1 = (i + 1) % n_;
            if (i == k || i == m || i1 == k || i1 == m) return false;
            const double g1 = ux * (p_[i].x - pk.x) + uy * (p_[i].y - pk.y);
            const double g2 = ux * (p_[i1].x - pk.x) + uy * (p_[i1].y - pk.y);
            const double f1 = cross(ux, uy, p_[i].x - pk.x, p_[i].y - pk.y);
            const double f2 = cross(ux, uy, p_[i1].x - pk.x, p_[i1].y - pk.y);
            if (std::fabs(f1) <= small && g1 > small && g1 < len - small) return true;
            if ((g1 < small && g2 < small) || (g1 > len - small && g2 > len + small) || (f1 < small && f2 < small) ||
                (f1 > -small && f2 > small))
                return false;
            const double g = g1 + (g2 - g1) * f1 / (f1 - f2);
            return g >= small && g <= len - small;
        };
        return tree_.any_edge(box_ok, hit, (pk.x + pm.x) / 2, (pk.y + pm.y) / 2);
    }

    int n_;
    const PNT2_s *p_;
    const EdgeTree &tree_;
    PTF_tri_s *tris_;
};

void record_pair(PTF_pt_neighbors_s *nb, int a, int b, int num_pts) {
    PTF_pt_neighbors_s *neighbor1_p = &nb[a], *neighbor2_p = &nb[b];
    // Search the shorter of the two lists for the other point.
    const bool first_shorter = neighbor1_p->num_neighbors <= neighbor2_p->num_neighbors;
    const PTF_pt_neighbors_s &shorter = first_shorter ? *neighbor1_p : *neighbor2_p;
    const int other = first_shorter ? b : a;
    for (int k = 0; k < shorter.num_neighbors; ++k)
        if (shorter.neighbors[k] == other) return;
    QUORM_ASSERT(neighbor1_p->num_neighbors < num_pts);
    QUORM_ASSERT(neighbor2_p->num_neighbors < num_pts);
    if (neighbor1_p->num_neighbors >= num_pts || neighbor2_p->num_neighbors >= num_pts) return;
    neighbor1_p->neighbors[neighbor1_p->num_neighbors++] = b;
    neighbor2_p->neighbors[neighbor2_p->num_neighbors++] = a;
}

// Frees a point-neighbour array whose first count entries may hold lists.
void free_pt_neighbors(int count, PTF_pt_neighbors_s *nb) {
    if (!nb) return;
    for (int i = 0; i < count; ++i) {
        SM_free(nb[i].neighbors);
        nb[i].neighbors = nullptr;
        nb[i].num_neighbors = 0;
    }
    SM_free(nb);
}

// Owns a point-neighbour array while it is being filled.
struct PtNeighborsGuard {
    int count = 0;
    PTF_pt_neighbors_s *nb = nullptr;
    ~PtNeighborsGuard() { free_pt_neighbors(count, nb); }
};

} // namespace

extern "C" {

QUORM_API PTF_fill_status_e PTF_poly_tri_fill(int num_pts, PNT2_s *pts, int *num_tris, PTF_tri_s **tris,
                                              PTF_bnd_edge_neighbors_s **bnd_edges,
                                              PTF_pt_neighbors_s **pt_neighbors) {
    if (num_tris) *num_tris = 0;
    if (tris) *tris = nullptr;
    if (bnd_edges) *bnd_edges = nullptr;
    if (pt_neighbors) *pt_neighbors = nullptr;
    if (num_pts < 3 || !pts) return PTF_FILL_INVALID_INPUT;
    const int n = num_pts;

    // Only a finite, counter-clockwise, simple outline can be filled.
    double area2 = 0;
    for (int i = 0; i < n; ++i) {
        const PNT2_s &a = pts[i], &b = pts[(i + 1) % n];
        if (!std::isfinite(a.x) || !std::isfinite(a.y)) return PTF_FILL_INCOMPLETE;
        area2 += cross(a.x, a.y, b.x, b.y);
    }
    if (!(area2 > 0)) return PTF_FILL_INCOMPLETE;
    const EdgeTree tree(n, pts);
    if (self_intersects(n, pts, tree)) return PTF_FILL_INCOMPLETE;

    const int count = n - 2;
    Block<PTF_tri_s> t(static_cast<std::size_t>(count));
    Filler filler(n, pts, tree, t.get());
    if (!filler.fill()) return PTF_FILL_INCOMPLETE;

    Block<PTF_bnd_edge_neighbors_s> be;
    if (bnd_edges) {
        be = Block<PTF_bnd_edge_neighbors_s>(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) be[k] = PTF_bnd_edge_neighbors_s{-1, -1};
        for (int i = 0; i < count; ++i) {
            const PTF_tri_s &tr = t[i];
            if (tr.neighbors[0] == -1) be[tr.vertices[1]] = PTF_bnd_edge_neighbors_s{i, 1};
            if (tr.neighbors[1] == -1) be[tr.vertices[2]] = PTF_bnd_edge_neighbors_s{i, 2};
            if (tr.neighbors[2] == -1) be[tr.vertices[0]] = PTF_bnd_edge_neighbors_s{i, 3};
        }
    }

    PtNeighborsGuard nb;
    if (pt_neighbors) {
        nb.nb = static_cast<PTF_pt_neighbors_s *>(SM_alloc(static_cast<std::size_t>(n) * sizeof(PTF_pt_neighbors_s)));
        for (int i = 0; i < n; ++i) nb.nb[i] = PTF_pt_neighbors_s{0, nullptr};
        nb.count = n;
        for (int i = 0; i < n; ++i) {
            nb.nb[i].neighbors = static_cast<int *>(SM_alloc(static_cast<std::size_t>(n) * sizeof(int)));
            for (int k = 0; k < n; ++k) nb.nb[i].neighbors[k] = -1;
        }
        for (int i = 0; i < count; ++i) {
            const int *v = t[i].vertices;
            record_pair(nb.nb, v[0], v[1], n);
            record_pair(nb.nb, v[1], v[2], n);
            record_pair(nb.nb, v[0], v[2], n);
        }
    }

    if (num_tris) *num_tris = count;
    if (tris) *tris = t.release();
    if (bnd_edges) *bnd_edges = be.release();
    if (pt_neighbors) {
        *pt_neighbors = nb.nb;
        nb.nb = nullptr;
    }
    return PTF_FILL_OK;
}

QUORM_API bool PTF_validate_boundary(int num_pts, PNT2_s *pts) {
    return PTF_poly_tri_fill(num_pts, pts, nullptr, nullptr, nullptr, nullptr) == PTF_FILL_OK;
}

QUORM_API void PTF_free_output(int num_pts, PTF_tri_s *tris, PTF_pt_neighbors_s *pt_neighbors,
                               PTF_bnd_edge_neighbors_s *bnd_edges) {
    free_pt_neighbors(num_pts, pt_neighbors);
    SM_free(tris);
    SM_free(bnd_edges);
}

} // extern "C"
