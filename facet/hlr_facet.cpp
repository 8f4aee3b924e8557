// Hidden-line renderer for faceted models.
//
// Facets are fed group by group; front-facing ones record their edges (once
// per pair of locations, smooth interior edges removed again) and become
// occluders.  Rendering sorts the occluders into a uniform grid of cover
// squares in the view plane and clips every recorded edge against the
// occluders of the squares it crosses.
//
// Visibility works in a screen space where straight edges stay straight and
// planar facets stay planar: (x, y, z) orthographically, and (x, y, 1) / -z
// in perspective (a projective map that keeps depth order along each eye
// ray).  There an edge point is hidden when it lies strictly inside an
// occluder's projection and the occluder's plane is nearer at that point;
// both are linear along the edge, so each occluder hides one interval of the
// edge's parameter.
#include "foundation/quorm_internal.h"

#include <quorm/hlr_facet.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace {

// Standard containers on the system-services allocator.
template <typename T> struct SmAllocator {
    using value_type = T;
    SmAllocator() = default;
    template <typename U> SmAllocator(const SmAllocator<U> &) {}
    T *allocate(std::size_t n) { return static_cast<T *>(SM_alloc(n * sizeof(T))); }
    void deallocate(T *p, std::size_t) { SM_free(p); }
    template <typename U> bool operator==(const SmAllocator<U> &) const { return true; }
    template <typename U> bool operator!=(const SmAllocator<U> &) const { return false; }
};
template <typename T> using Vec = std::vector<T, SmAllocator<T>>;

// Edges inside a smooth surface: vertex normals within 1.5 degrees.
const double cos_smooth = std::cos(1.5 * M_PI / 180.0);
// Kept with the view state; not used by the visibility computation.
const double cos_wide = std::cos(95.0 * M_PI / 180.0);

constexpr int initial_scratch = 36;
constexpr double max_squares = 1440000.0;

struct Vloc {
    float x = 0, y = 0, z = 0;
    bool defined = false;
    int edges = -1; // first edge starting at this location
};

struct Vnrm {
    float v[3] = {0, 0, 0};
    bool defined = false;
};

struct Group {
    int base = 0;  // index of location 0 in the renderer's location table
    int count = 0; // locations of this group
    void *user = nullptr;
};

// An edge from location lo to location hi (lo < hi, renderer-wide indices)
// with the vertex normals of its first facet at both ends.
struct Edge {
    int lo = 0, hi = 0, group = 0, next = -1;
    float n_lo[3] = {0, 0, 0}, n_hi[3] = {0, 0, 0};
    bool alive = false;
};

struct State {
    // View.
    double origin[3] = {0, 0, 0};
    double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double m_inv[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double scale = 1, eye = 1;
    bool perspective = false;
    double view_origin[3] = {0, 0, 0}; // M * origin, moved by the eye distance in perspective
    // Clipping window (screen coordinates).
    bool clipping = false;
    double clip_x[2] = {0, 0}, clip_y[2] = {0, 0}, clip_centre[2] = {0, 0}, clip_half[2] = {0, 0}, clip_diag2 = 0;
    // Bounds of the locations in screen coordinates.
    float x_min = 1e9f, x_max = -1e9f, y_min = 1e9f, y_max = -1e9f, d_min = 1e9f, d_max = -1e9f;
    // Model.
    Vec<Group> groups;
    Vec<Vloc> locs;
    Vec<Vnrm> nrms; // the current group's normals
    Vec<Edge> edges;
    int free_edge = -1;
    Vec<int> tris; // occluder triangles: three location indices each
    double edge_len2_sum = 0;
    int edge_count = 0;
    int facets = 0, culled = 0;
    int counts[6] = {0, 0, 0, 0, 0, 0};
    Vec<int> scratch;
    HLR_FACET_line_callback_t line_cb = nullptr;
    HLR_FACET_diag_callback_t diag_cb = nullptr;
    int debug = 0;
    double thresholds[2] = {cos_smooth, cos_wide};
};

// The one renderer; its storage lives for the whole process and is never
// destroyed at exit (the allocator may be gone by then).
State *state() {
    alignas(State) static unsigned char storage[sizeof(State)];
    static State *s = new (storage) State();
    return s;
}

void diag(HLR_FACET_severity_codes_t sev, HLR_FACET_diagnostic_codes_t code, const char *fmt, ...) {
    State &s = *state();
    if (!s.diag_cb) return;
    char text[256];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    s.diag_cb(sev, code, text);
}

// Runs f; storage that cannot be obtained is reported, not thrown at the
// caller.
template <typename F> void guarded(F f) {
    try {
        f();
    } catch (const std::exception &) {
        diag(HLR_FACET_SEVERITY_ERROR, HLR_FACET_DIAG_NO_MEMORY, "%s", "");
    }
}

void release(State &s) {
    Vec<Group>().swap(s.groups);
    Vec<Vloc>().swap(s.locs);
    Vec<Vnrm>().swap(s.nrms);
    Vec<Edge>().swap(s.edges);
    Vec<int>().swap(s.tris);
    Vec<int>().swap(s.scratch);
}

void reset(State &s) {
    release(s);
    s = State();
    s.scratch.reserve(initial_scratch);
}

void mat_vec(const double m[9], const double v[3], double out[3]) {
    for (int r = 0; r < 3; ++r) out[r] = m[3 * r] * v[0] + m[3 * r + 1] * v[1] + m[3 * r + 2] * v[2];
}

// Inverse of a 3x3 matrix by cofactors; false when it is singular.
bool invert3(const double a[9], double out[9]) {
    const double c0 = a[4] * a[8] - a[5] * a[7], c1 = a[5] * a[6] - a[3] * a[8], c2 = a[3] * a[7] - a[4] * a[6];
    const double det = a[0] * c0 + a[1] * c1 + a[2] * c2;
    if (!(std::fabs(det) > 1e-300)) return false;
    const double r = 1 / det;
    out[0] = c0 * r;
    out[1] = (a[2] * a[7] - a[1] * a[8]) * r;
    out[2] = (a[1] * a[5] - a[2] * a[4]) * r;
    out[3] = c1 * r;
    out[4] = (a[0] * a[8] - a[2] * a[6]) * r;
    out[5] = (a[2] * a[3] - a[0] * a[5]) * r;
    out[6] = c2 * r;
    out[7] = (a[1] * a[6] - a[0] * a[7]) * r;
    out[8] = (a[0] * a[4] - a[1] * a[3]) * r;
    return true;
}

// Screen coordinates (X, Y, D; larger D nearer) of a view-space point.
inline void to_screen(const State &s, double x, double y, double z, double out[3]) {
    if (s.perspective) {
        const double d = -1 / z;
        out[0] = x * d;
        out[1] = y * d;
        out[2] = d;
    } else {
        out[0] = x;
        out[1] = y;
        out[2] = z;
    }
}

inline void loc_screen(const State &s, const Vloc &v, double out[3]) { to_screen(s, v.x, v.y, v.z, out); }

// Model coordinates of a screen point.
void to_model(const State &s, const double p[3], double out[3]) {
    double v[3];
    if (s.perspective) {
        v[0] = p[0] / p[2];
        v[1] = p[1] / p[2];
        v[2] = -1 / p[2];
    } else {
        v[0] = p[0];
        v[1] = p[1];
        v[2] = p[2];
    }
    for (int k = 0; k < 3; ++k) v[k] += s.view_origin[k];
    mat_vec(s.m_inv, v, out);
}

bool normals_agree(const float a[3], const float b[3]) {
    const double aa = double(a[0]) * a[0] + double(a[1]) * a[1] + double(a[2]) * a[2];
    const double bb = double(b[0]) * b[0] + double(b[1]) * b[1] + double(b[2]) * b[2];
    if (!(aa > 0) || !(bb > 0)) return false;
    const double d = double(a[0]) * b[0] + double(a[1]) * b[1] + double(a[2]) * b[2];
    return d / std::sqrt(aa * bb) > cos_smooth;
}

// Offers the edge between renderer-wide locations a and b with the vertex
// normals na, nb of the offering facet.
void offer_edge(State &s, int a, int b, const float *na, const float *nb, bool flag) {
    if (a == b) return;
    const int lo = std::min(a, b), hi = std::max(a, b);
    const float *n_lo = a < b ? na : nb, *n_hi = a < b ? nb : na;
    int prev = -1;
    for (int e = s.locs[lo].edges; e >= 0; prev = e, e = s.edges[e].next) {
        Edge &ed = s.edges[e];
        if (ed.hi != hi) continue;
        if (flag) return;
        if (normals_agree(ed.n_lo, n_lo) || normals_agree(ed.n_hi, n_hi)) {
            // Inside a smooth surface: removed.
            if (prev < 0) {
                s.locs[lo].edges = ed.next;
            } else {
                s.edges[prev].next = ed.next;
            }
            ed.alive = false;
            ed.next = s.free_edge;
            s.free_edge = e;
        }
        return;
    }
    double p[3], q[3];
    loc_screen(s, s.locs[lo], p);
    loc_screen(s, s.locs[hi], q);
    const double len2 = (q[0] - p[0]) * (q[0] - p[0]) + (q[1] - p[1]) * (q[1] - p[1]);
    if (!(len2 > 0)) return;
    int e;
    if (s.free_edge >= 0) {
        e = s.free_edge;
        s.free_edge = s.edges[e].next;
    } else {
        s.edges.emplace_back();
        e = static_cast<int>(s.edges.size()) - 1;
    }
    Edge &ed = s.edges[e];
    ed.lo = lo;
    ed.hi = hi;
    ed.group = static_cast<int>(s.groups.size()) - 1;
    for (int k = 0; k < 3; ++k) {
        ed.n_lo[k] = n_lo[k];
        ed.n_hi[k] = n_hi[k];
    }
    ed.alive = true;
    ed.next = s.locs[lo].edges;
    s.locs[lo].edges = e;
    s.edge_len2_sum += len2;
    ++s.edge_count;
}

void add_facet(State &s, const double normal[3], int n, int vloc[], const int vnrm[], const bool edge_flags[]) {
    if (!normal || !vloc || n < 3) return;
    if (s.groups.empty()) { // no group to refer to: its first location is undefined
        diag(HLR_FACET_SEVERITY_ERROR, HLR_FACET_DIAG_FACET_VLOC, "%d", vloc[0]);
        return;
    }
    const Group &g = s.groups.back();
    // Every vertex refers to a defined location and normal of the group
    // (locations are checked first).  A negative location index is a mark on
    // the edge ending there.
    const std::size_t count = static_cast<std::size_t>(n);
    if (s.scratch.capacity() < count) s.scratch.reserve(count + count / 4);
    s.scratch.clear();
    for (int i = 0; i < n; ++i) {
        const int li = vloc[i] == std::numeric_limits<int>::min() ? -1 : std::abs(vloc[i]);
        if (li < 0 || li >= g.count || !s.locs[static_cast<std::size_t>(g.base + li)].defined) {
            diag(HLR_FACET_SEVERITY_ERROR, HLR_FACET_DIAG_FACET_VLOC, "%d", vloc[i]);
            return;
        }
        s.scratch.push_back(g.base + li);
    }
    for (int i = 0; vnrm && i < n; ++i) {
        const int ni = vnrm[i];
        if (ni < 0 || ni >= static_cast<int>(s.nrms.size()) || !s.nrms[static_cast<std::size_t>(ni)].defined) {
            diag(HLR_FACET_SEVERITY_ERROR, HLR_FACET_DIAG_FACET_VNRM, "%d", ni);
            return;
        }
    }
    // Facets facing away from the viewer are dropped.
    double nv[3];
    mat_vec(s.m, normal, nv);
    const Vloc &first = s.locs[s.scratch[0]];
    const double facing = s.perspective ? nv[0] * first.x + nv[1] * first.y + nv[2] * first.z : -nv[2];
    if (!(facing < 0)) return;
    double lo_x = HUGE_VAL, hi_x = -HUGE_VAL, lo_y = HUGE_VAL, hi_y = -HUGE_VAL;
    for (int i = 0; i < n; ++i) {
        const Vloc &v = s.locs[s.scratch[i]];
        if (s.perspective && !(v.z < 0)) return; // at or behind the eye
        double p[3];
        loc_screen(s, v, p);
        lo_x = std::min(lo_x, p[0]);
        hi_x = std::max(hi_x, p[0]);
        lo_y = std::min(lo_y, p[1]);
        hi_y = std::max(hi_y, p[1]);
    }
    if (s.clipping && (hi_x < s.clip_x[0] || lo_x > s.clip_x[1] || hi_y < s.clip_y[0] || lo_y > s.clip_y[1])) {
        ++s.culled;
        return;
    }
    ++s.facets;
    float fn[3] = {float(normal[0]), float(normal[1]), float(normal[2])};
    auto vertex_normal = [&](int i) -> const float * {
        if (!vnrm) return fn;
        return s.nrms[static_cast<std::size_t>(vnrm[i])].v;
    };
    for (int i = 0; i < n; ++i) {
        const int k = (i + 1) % n;
        if (vloc[k] < 0) {
            vloc[k] = -vloc[k];
            continue;
        }
        offer_edge(s, s.scratch[i], s.scratch[k], vertex_normal(i), vertex_normal(k), edge_flags && edge_flags[i]);
    }
    // The facet hides edges as a fan of triangles.
    for (int i = 1; i + 1 < n; ++i) {
        s.tris.push_back(s.scratch[0]);
        s.tris.push_back(s.scratch[i]);
        s.tris.push_back(s.scratch[i + 1]);
    }
}

// Density factor of the cover-square size.
double density_factor(double x) {
    if (x <= 0) return 1;
    static const double xs[6] = {0, 3500, 5500, 10000, 40000, 100000};
    static const double fs[6] = {0.12, 0.12, 0.12, 0.12, 0.12, 0.24};
    x = std::min(x, 100000.0);
    for (int k = 1; k < 6; ++k)
        if (x <= xs[k]) return fs[k - 1] + (fs[k] - fs[k - 1]) * (x - xs[k - 1]) / (xs[k] - xs[k - 1]);
    return fs[5];
}

struct Grid {
    double x0 = 0, y0 = 0, delta = 1;
    int nx = 1, ny = 1;
    Vec<int> start; // nx * ny + 1 offsets into items
    Vec<int> items; // occluder triangle numbers
    int cell_x(double x) const { return std::clamp(static_cast<int>(std::floor((x - x0) / delta)), 0, nx - 1); }
    int cell_y(double y) const { return std::clamp(static_cast<int>(std::floor((y - y0) / delta)), 0, ny - 1); }
};

void size_grid(State &s, Grid &g) {
    const double xr = s.facets > 0 ? std::max(0.0, double(s.x_max) - s.x_min) : 0;
    const double yr = s.facets > 0 ? std::max(0.0, double(s.y_max) - s.y_min) : 0;
    g.x0 = s.facets > 0 ? s.x_min : 0;
    g.y0 = s.facets > 0 ? s.y_min : 0;
    const double cell = s.perspective ? 1 / s.eye : 1;
    const double eye = s.perspective ? s.eye : 1;
    const double squares0 = (std::floor(xr / cell) + 1) * (std::floor(yr / cell) + 1);
    const double density = (s.facets / squares0) / ((cell * eye) * (cell * eye));
    const double f = density_factor(density);
    double delta = s.edge_len2_sum > 0 ? f * std::sqrt(s.edge_len2_sum / (s.edge_count + 1)) : 1e9;
    double nx = std::floor(xr / delta) + 1, ny = std::floor(yr / delta) + 1;
    if (nx * ny > max_squares) {
        delta *= std::sqrt(nx * ny / max_squares);
        nx = std::floor(xr / delta) + 1;
        ny = std::floor(yr / delta) + 1;
        while (nx * ny > max_squares) { // truncation can leave a few squares too many
            delta *= 1.001;
            nx = std::floor(xr / delta) + 1;
            ny = std::floor(yr / delta) + 1;
        }
    }
    g.delta = delta;
    g.nx = static_cast<int>(nx);
    g.ny = static_cast<int>(ny);
    diag(HLR_FACET_SEVERITY_INFO, HLR_FACET_DIAG_STATISTICS, "delta=%f, nx=%d, ny=%d", delta, g.nx, g.ny);
    if (s.debug == 1)
        diag(HLR_FACET_SEVERITY_INFO, HLR_FACET_DIAG_STATISTICS, "%d facets; %d cover squares; %f facets/square",
             s.facets, g.nx * g.ny, double(s.facets) / (double(g.nx) * g.ny));
}

// Screen coordinates of every location (3 doubles each).
void screen_table(const State &s, Vec<double> &scr) {
    scr.assign(3 * s.locs.size(), 0.0);
    for (std::size_t i = 0; i < s.locs.size(); ++i)
        if (s.locs[i].defined) loc_screen(s, s.locs[i], &scr[3 * i]);
}

void fill_grid(const State &s, const Vec<double> &scr, Grid &g) {
    const std::size_t cells = static_cast<std::size_t>(g.nx) * g.ny;
    const int n_tris = static_cast<int>(s.tris.size() / 3);
    g.start.assign(cells + 1, 0);
    auto span = [&](int t, int &cx0, int &cx1, int &cy0, int &cy1) {
        const double *a = &scr[3 * s.tris[3 * t]], *b = &scr[3 * s.tris[3 * t + 1]], *c = &scr[3 * s.tris[3 * t + 2]];
        cx0 = g.cell_x(std::min({a[0], b[0], c[0]}));
        cx1 = g.cell_x(std::max({a[0], b[0], c[0]}));
        cy0 = g.cell_y(std::min({a[1], b[1], c[1]}));
        cy1 = g.cell_y(std::max({a[1], b[1], c[1]}));
    };
    for (int t = 0; t < n_tris; ++t) {
        int cx0, cx1, cy0, cy1;
        span(t, cx0, cx1, cy0, cy1);
        for (int y = cy0; y <= cy1; ++y)
            for (int x = cx0; x <= cx1; ++x) ++g.start[static_cast<std::size_t>(y) * g.nx + x + 1];
    }
    for (std::size_t c = 0; c < cells; ++c) g.start[c + 1] += g.start[c];
    g.items.assign(static_cast<std::size_t>(g.start[cells]), 0);
    Vec<int> fill(g.start.begin(), g.start.end() - 1);
    for (int t = 0; t < n_tris; ++t) {
        int cx0, cx1, cy0, cy1;
        span(t, cx0, cx1, cy0, cy1);
        for (int y = cy0; y <= cy1; ++y)
            for (int x = cx0; x <= cx1; ++x) g.items[static_cast<std::size_t>(fill[static_cast<std::size_t>(y) * g.nx + x]++)] = t;
    }
}

struct Interval {
    double a, b;
};

// Clips [t0, t1] to where f0 + (f1 - f0) t > eps; false when nothing is left.
inline bool clip_positive(double f0, double f1, double eps, double &t0, double &t1) {
    const double df = f1 - f0;
    if (df == 0) return f0 > eps;
    const double t = (eps - f0) / df;
    if (df > 0) {
        t0 = std::max(t0, t);
    } else {
        t1 = std::min(t1, t);
    }
    return t0 < t1;
}

class Renderer {
  public:
    Renderer(State &s, const Vec<double> &scr, const Grid &g)
        : s_(s), scr_(scr), g_(g), stamp_(s.tris.size() / 3, -1) {
        // Tolerances well above the single-precision storage of locations.
        const double xy = std::max({double(s.x_max) - s.x_min, double(s.y_max) - s.y_min, 0.0});
        const double d = std::max(double(s.d_max) - s.d_min, 0.0);
        eps_xy_ = 1e-6 * std::max(xy, 1e-30);
        eps_d_ = s.perspective ? 1e-5 * std::max(d, 1e-30) : 1e-6 * std::max({xy, d, 1e-30});
    }

    void edge(int e) {
        const Edge &ed = s_.edges[static_cast<std::size_t>(e)];
        const double *p = &scr_[3 * static_cast<std::size_t>(ed.lo)], *q = &scr_[3 * static_cast<std::size_t>(ed.hi)];
        ++s_.counts[0];
        double t0 = 0, t1 = 1;
        if (s_.clipping) {
            if (!clip_positive(p[0] - s_.clip_x[0], q[0] - s_.clip_x[0], 0, t0, t1) ||
                !clip_positive(s_.clip_x[1] - p[0], s_.clip_x[1] - q[0], 0, t0, t1) ||
                !clip_positive(p[1] - s_.clip_y[0], q[1] - s_.clip_y[0], 0, t0, t1) ||
                !clip_positive(s_.clip_y[1] - p[1], s_.clip_y[1] - q[1], 0, t0, t1))
                return;
        }
        hidden_.clear();
        // The cover squares along the edge, row by row.
        const int cy0 = g_.cell_y(std::min(p[1], q[1])), cy1 = g_.cell_y(std::max(p[1], q[1]));
        for (int cy = cy0; cy <= cy1; ++cy) {
            double lo_x = std::min(p[0], q[0]), hi_x = std::max(p[0], q[0]);
            if (cy0 != cy1 && q[1] != p[1]) {
                const double ya = g_.y0 + cy * g_.delta, yb = ya + g_.delta;
                const double ta = std::clamp((ya - p[1]) / (q[1] - p[1]), 0.0, 1.0);
                const double tb = std::clamp((yb - p[1]) / (q[1] - p[1]), 0.0, 1.0);
                const double xa = p[0] + (q[0] - p[0]) * ta, xb = p[0] + (q[0] - p[0]) * tb;
                lo_x = std::min(xa, xb);
                hi_x = std::max(xa, xb);
            }
            // One square more on each side covers rounding at square borders.
            const int cx0 = std::max(g_.cell_x(lo_x) - 1, 0), cx1 = std::min(g_.cell_x(hi_x) + 1, g_.nx - 1);
            for (int cx = cx0; cx <= cx1; ++cx) {
                const std::size_t c = static_cast<std::size_t>(cy) * g_.nx + cx;
                for (int k = g_.start[c]; k < g_.start[c + 1]; ++k) {
                    const int t = g_.items[static_cast<std::size_t>(k)];
                    if (stamp_[static_cast<std::size_t>(t)] == e) continue;
                    stamp_[static_cast<std::size_t>(t)] = e;
                    test(p, q, t);
                }
            }
        }
        emit(ed, p, q, t0, t1);
    }

  private:
    // Adds the interval of the edge hidden by occluder t, if any.
    void test(const double *p, const double *q, int t) {
        ++s_.counts[1];
        const int *v = &s_.tris[3 * static_cast<std::size_t>(t)];
        const double *a = &scr_[3 * static_cast<std::size_t>(v[0])], *b = &scr_[3 * static_cast<std::size_t>(v[1])],
                     *c = &scr_[3 * static_cast<std::size_t>(v[2])];
        if (std::max(p[0], q[0]) < std::min({a[0], b[0], c[0]}) || std::min(p[0], q[0]) > std::max({a[0], b[0], c[0]}) ||
            std::max(p[1], q[1]) < std::min({a[1], b[1], c[1]}) || std::min(p[1], q[1]) > std::max({a[1], b[1], c[1]})) {
            ++s_.counts[2];
            return;
        }
        const double area = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
        const double sense = area > 0 ? 1 : -1;
        double t0 = 0, t1 = 1;
        const double *corner[3] = {a, b, c};
        bool inside = std::fabs(area) > 0;
        for (int k = 0; k < 3 && inside; ++k) {
            const double *e0 = corner[k], *e1 = corner[(k + 1) % 3];
            const double ex = e1[0] - e0[0], ey = e1[1] - e0[1], len = std::sqrt(ex * ex + ey * ey);
            if (!(len > 0)) {
                inside = false;
                break;
            }
            // Signed distances of the edge's ends from this side, inside positive.
            const double fp = sense * (ex * (p[1] - e0[1]) - ey * (p[0] - e0[0])) / len;
            const double fq = sense * (ex * (q[1] - e0[1]) - ey * (q[0] - e0[0])) / len;
            inside = clip_positive(fp, fq, eps_xy_, t0, t1);
        }
        if (!inside) {
            ++s_.counts[3];
            return;
        }
        // The occluder's plane in screen space: D = alpha X + beta Y + gamma.
        const double alpha = ((b[2] - a[2]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[2] - a[2])) / area;
        const double beta = ((b[0] - a[0]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[0] - a[0])) / area;
        auto plane = [&](const double *x) { return a[2] + alpha * (x[0] - a[0]) + beta * (x[1] - a[1]); };
        if (!clip_positive(plane(p) - p[2], plane(q) - q[2], eps_d_, t0, t1)) {
            ++s_.counts[4];
            return;
        }
        ++s_.counts[5];
        hidden_.push_back(Interval{t0, t1});
    }

    void emit(const Edge &ed, const double *p, const double *q, double t0, double t1) {
        std::sort(hidden_.begin(), hidden_.end(), [](const Interval &x, const Interval &y) { return x.a < y.a; });
        double from = t0;
        auto piece = [&](double a, double b) {
            if (!(b - a > 1e-9) || !s_.line_cb) return;
            double pa[3], pb[3], ma[3], mb[3];
            for (int k = 0; k < 3; ++k) {
                pa[k] = p[k] + (q[k] - p[k]) * a;
                pb[k] = p[k] + (q[k] - p[k]) * b;
            }
            to_model(s_, pa, ma);
            to_model(s_, pb, mb);
            s_.line_cb(ma, mb, 0, s_.groups[static_cast<std::size_t>(ed.group)].user);
        };
        for (const Interval &h : hidden_) {
            if (h.a > from) piece(from, std::min(h.a, t1));
            from = std::max(from, h.b);
            if (from >= t1) return;
        }
        piece(from, t1);
    }

    State &s_;
    const Vec<double> &scr_;
    const Grid &g_;
    Vec<int> stamp_;
    Vec<Interval> hidden_;
    double eps_xy_ = 0, eps_d_ = 0;
};

void render(State &s) {
    Vec<Vnrm>().swap(s.nrms);
    if (s.clipping)
        diag(HLR_FACET_SEVERITY_INFO, HLR_FACET_DIAG_STATISTICS, "Facets culled (outside current partition):  %d",
             s.culled);
    Grid g;
    size_grid(s, g);
    Vec<double> scr;
    screen_table(s, scr);
    fill_grid(s, scr, g);
    for (int &c : s.counts) c = 0;
    Renderer r(s, scr, g);
    for (std::size_t e = 0; e < s.edges.size(); ++e)
        if (s.edges[e].alive) r.edge(static_cast<int>(e));
    diag(HLR_FACET_SEVERITY_INFO, HLR_FACET_DIAG_STATISTICS, "render test counts:  %d %d %d %d %d %d", s.counts[0],
         s.counts[1], s.counts[2], s.counts[3], s.counts[4], s.counts[5]);
}

} // namespace

extern "C" {

QUORM_API void HLR_FACET_init(void) { reset(*state()); }

QUORM_API void HLR_FACET_set_line_callback(HLR_FACET_line_callback_t cb) { state()->line_cb = cb; }

QUORM_API void HLR_FACET_set_diag_callback(HLR_FACET_diag_callback_t cb) { state()->diag_cb = cb; }

QUORM_API void HLR_FACET_set_debug_level(int level) {
    if (level == 1) state()->debug = 1;
}

QUORM_API void HLR_FACET_view(const double origin[3], const double orientation[9], double scale, double eye_distance,
                              int perspective) {
    State &s = *state();
    for (int k = 0; k < 3; ++k) s.origin[k] = origin ? origin[k] : 0;
    for (int k = 0; k < 9; ++k) s.m[k] = orientation ? orientation[k] : (k % 4 == 0 ? 1 : 0);
    if (!invert3(s.m, s.m_inv)) {
        // A singular orientation keeps the identity.
        for (int k = 0; k < 9; ++k) s.m[k] = s.m_inv[k] = (k % 4 == 0 ? 1 : 0);
    }
    s.scale = scale;
    s.perspective = perspective != 0 && eye_distance > 0;
    s.eye = s.perspective ? eye_distance : 1;
    mat_vec(s.m, s.origin, s.view_origin);
    if (s.perspective) s.view_origin[2] += eye_distance;
}

QUORM_API void HLR_FACET_clipping(const double window[4]) {
    State &s = *state();
    if (!window || (window[0] == 0 && window[1] == 0 && window[2] == 0 && window[3] == 0)) {
        s.clipping = false;
        return;
    }
    s.clipping = true;
    auto widen = [](double v) { return std::max(std::fabs(v) * 1.764705882352941e-7, 1e-7); };
    double x0 = std::min(window[0], window[2]), x1 = std::max(window[0], window[2]);
    double y0 = std::min(window[1], window[3]), y1 = std::max(window[1], window[3]);
    x0 -= widen(x0);
    x1 += widen(x1);
    y0 -= widen(y0);
    y1 += widen(y1);
    if (s.perspective) {
        x0 /= s.eye;
        x1 /= s.eye;
        y0 /= s.eye;
        y1 /= s.eye;
    }
    s.clip_x[0] = x0;
    s.clip_x[1] = x1;
    s.clip_y[0] = y0;
    s.clip_y[1] = y1;
    s.clip_centre[0] = (x0 + x1) / 2;
    s.clip_centre[1] = (y0 + y1) / 2;
    s.clip_half[0] = (x1 - x0) / 2;
    s.clip_half[1] = (y1 - y0) / 2;
    s.clip_diag2 = s.clip_half[0] * s.clip_half[0] + s.clip_half[1] * s.clip_half[1];
}

QUORM_API void HLR_FACET_group(int n_vloc, int n_vnrm, int, const double (*)[3], void *user) {
    State &s = *state();
    Vec<Vnrm>().swap(s.nrms);
    // The group is opened empty; its tables grow only when storage for them
    // is obtained (location numbers are ints renderer-wide).
    Group g;
    g.base = static_cast<int>(s.locs.size());
    g.user = user;
    const std::size_t before = s.groups.size();
    guarded([&] { s.groups.push_back(g); });
    if (s.groups.size() == before) return;
    const int want = std::max(n_vloc, 0);
    if (want > std::numeric_limits<int>::max() - g.base) {
        diag(HLR_FACET_SEVERITY_ERROR, HLR_FACET_DIAG_NO_MEMORY, "%s", "");
        return;
    }
    guarded([&] {
        s.nrms.resize(static_cast<std::size_t>(std::max(n_vnrm, 0)));
        s.locs.resize(s.locs.size() + static_cast<std::size_t>(want));
        s.groups.back().count = want;
    });
}

QUORM_API void HLR_FACET_add_vloc(int i, const double p[3]) {
    State &s = *state();
    if (s.groups.empty() || i < 0 || i >= s.groups.back().count) {
        diag(HLR_FACET_SEVERITY_WARNING, HLR_FACET_DIAG_VLOC_RANGE, "%d", i);
        return;
    }
    if (!p) return;
    const double rel[3] = {p[0] - s.origin[0], p[1] - s.origin[1], p[2] - s.origin[2]};
    double v[3];
    mat_vec(s.m, rel, v);
    if (s.perspective) v[2] -= s.eye;
    Vloc &l = s.locs[static_cast<std::size_t>(s.groups.back().base + i)];
    l.x = float(v[0]);
    l.y = float(v[1]);
    l.z = float(v[2]);
    l.defined = true;
    if (s.perspective && !(l.z < 0)) return;
    double q[3];
    loc_screen(s, l, q);
    s.x_min = std::min(s.x_min, float(q[0]));
    s.x_max = std::max(s.x_max, float(q[0]));
    s.y_min = std::min(s.y_min, float(q[1]));
    s.y_max = std::max(s.y_max, float(q[1]));
    s.d_min = std::min(s.d_min, float(q[2]));
    s.d_max = std::max(s.d_max, float(q[2]));
}

QUORM_API void HLR_FACET_add_vnrm(int i, const double n[3]) {
    State &s = *state();
    if (i < 0 || i >= static_cast<int>(s.nrms.size())) {
        diag(HLR_FACET_SEVERITY_WARNING, HLR_FACET_DIAG_VNRM_RANGE, "%d", i);
        return;
    }
    if (!n) return;
    Vnrm &q = s.nrms[static_cast<std::size_t>(i)];
    for (int k = 0; k < 3; ++k) q.v[k] = float(n[k]);
    q.defined = true;
}

QUORM_API void HLR_FACET_add_facet(const double normal[3], int n, int vloc[], const int vnrm[],
                                   const bool edge_flags[]) {
    guarded([&] { add_facet(*state(), normal, n, vloc, vnrm, edge_flags); });
}

QUORM_API void HLR_FACET_render(void) {
    guarded([&] { render(*state()); });
}

QUORM_API void HLR_FACET_term(void) {
    State &s = *state();
    release(s);
}

} // extern "C"
