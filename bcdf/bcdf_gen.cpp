// Building, editing and validating curve defining data: creation, points,
// slopes, curvatures and curvature derivatives, periodicity, conversion to
// least squares, cross-index queries and parameter normalisation.
#include "bcdf/bcdf_edit_internal.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

using namespace quorm_bcdf;

namespace {

// ---- attached-vector lists ---------------------------------------------------
//
// Slopes, curvatures and curvature derivatives are each three parallel
// pieces: a vector list, a parameter list and a type array.  A group is
// either wholly absent (all three null) or holds at least one entry.

struct Group {
    PNTLST_s **vecs;
    PNTLST_s **pars;
    int **types;
};

Group slope_group(BCDF_s *b) { return Group{&b->slopes, &b->slope_pars, &b->slope_types}; }
Group crvatr_group(BCDF_s *b) { return Group{&b->crvatrs, &b->crvatr_pars, &b->crvatr_types}; }
#if QUORM_FULL_BUILD
Group deriv_group(BCDF_s *b) { return Group{&b->crvatr_derivs, &b->crvatr_deriv_pars, &b->crvatr_deriv_types}; }
#endif

void free_group(const Group &g) {
    PNTLST_free_structure(*g.vecs);
    PNTLST_free_structure(*g.pars);
    SM_free(*g.types);
    *g.vecs = nullptr;
    *g.pars = nullptr;
    *g.types = nullptr;
}

// Type array with room for at least `needed` entries.  It grows with the
// vector list's capacity, so that inserting entries one at a time stays
// linear overall.
int *reserve_types(int *types, int needed, int capacity) {
    const size_t have = types ? SM_length(types) / sizeof(int) : 0;
    if (have >= static_cast<size_t>(needed)) return types;
    const int room = std::max(needed, capacity);
    return static_cast<int *>(SM_realloc(types, static_cast<size_t>(room) * sizeof(int)));
}

// Inserts (v, par, type) at position pos of the group, creating the group
// (vectors of dimension dim) when it is absent.  Components beyond the
// third are 0.
void insert_entry(const Group &g, int pos, const double *v, double par, int type, int dim) {
    if (!*g.vecs) {
        *g.vecs = PNTLST_allocate_struct(dim, 1);
        *g.pars = PNTLST_allocate_struct(1, 1);
        SM_free(*g.types);
        *g.types = nullptr;
    }
    PNTLST_s *vecs = *g.vecs;
    const int n = vecs->num_points;
    double entry[4] = {v[0], v[1], v[2], 0.0};
    PNTLST_insert_points(vecs, 1, pos, entry);
    PNTLST_insert_points(*g.pars, 1, pos, &par);
    int *types = reserve_types(*g.types, n + 1, vecs->max_points);
    std::memmove(types + pos + 1, types + pos, static_cast<size_t>(n - pos) * sizeof(int));
    types[pos] = type;
    *g.types = types;
}

// Overwrites the first three components and the type of entry pos.
void overwrite_entry(const Group &g, int pos, const double *v, int type) {
    double *e = (*g.vecs)->points + static_cast<size_t>(pos) * (*g.vecs)->dimension;
    quorm::copy(v, e);
    (*g.types)[pos] = type;
}

// Removes count entries from pos on (clamped to the group); removing every
// entry frees the group.
void remove_entries(const Group &g, int pos, int cnt) {
    const int n = count(*g.vecs);
    if (pos < 0) {
        cnt += pos;
        pos = 0;
    }
    if (cnt > n - pos) cnt = n - pos;
    if (cnt <= 0) return;
    if (cnt == n) {
        free_group(g);
        return;
    }
    PNTLST_remove_points(*g.vecs, pos, cnt);
    PNTLST_remove_points(*g.pars, pos, cnt);
    int *types = *g.types;
    std::memmove(types + pos, types + pos + cnt, static_cast<size_t>(n - pos - cnt) * sizeof(int));
}

// Sorted scan of a parameter list for t within the parameter tolerance:
// true with its index, else false with the index of the first larger one.
bool scan(const PNTLST_s *pars, double t, int *pos) {
    const int n = count(pars);
    const double *p = n ? pars->points : nullptr;
    const int i = static_cast<int>(std::lower_bound(p, p + n, t - kParamTol) - p);
    *pos = i;
    return i < n && std::fabs(p[i] - t) <= kParamTol;
}

// Parameter of entry i of a list, or of point i.
double par_at(const PNTLST_s *pars, int i) { return pars->points[i]; }

// For each entry of a sorted parameter list, the index of the point it
// sits at, found by a merged walk over the two sorted lists; an entry that
// matches no point gets the nearest point.  The block is freed when the
// holder goes out of scope.
struct Positions {
    int *at = nullptr;
    int size = 0;

    Positions() = default;
    Positions(const Positions &) = delete;
    Positions &operator=(const Positions &) = delete;
    ~Positions() { SM_free(at); }

    void find(const PNTLST_s *pars, const double *t, int n) {
        SM_free(at);
        at = nullptr;
        size = count(pars);
        if (size == 0) return;
        at = static_cast<int *>(SM_alloc(static_cast<size_t>(size) * sizeof(int)));
        int j = 0;
        for (int k = 0; k < size; ++k) {
            const double u = par_at(pars, k);
            while (j < n && t[j] < u - kParamTol) ++j;
            int p = j;
            if (p == n)
                p = n - 1;
            else if (std::fabs(t[p] - u) > kParamTol && p > 0 && std::fabs(t[p - 1] - u) < std::fabs(t[p] - u))
                p = p - 1;
            at[k] = p;
        }
    }

    // Sets each entry's parameter to that of its point (of n).
    void apply(PNTLST_s *pars, const double *t, int n) const {
        for (int k = 0; k < size; ++k) pars->points[k] = t[std::min(at[k], n - 1)];
    }
};

// Range [first, last) of the entries of a sorted parameter list whose
// parameter lies within the tolerance of [lo, hi].
void entries_between(const PNTLST_s *pars, double lo, double hi, int *first, int *last) {
    const int n = count(pars);
    const double *p = n ? pars->points : nullptr;
    *first = static_cast<int>(std::lower_bound(p, p + n, lo - kParamTol) - p);
    *last = static_cast<int>(std::upper_bound(p, p + n, hi + kParamTol) - p);
}

// Removes the slopes, curvatures and curvature derivatives sitting at points
// first ... last.
void remove_attached(BCDF_s *b, int first, int last) {
    const double *t = params(b);
    if (!t) return;
    Group groups[3] = {slope_group(b), crvatr_group(b),
#if QUORM_FULL_BUILD
                       deriv_group(b)
#else
                       Group{nullptr, nullptr, nullptr}
#endif
    };
    for (const Group &g : groups) {
        if (!g.vecs || !*g.vecs) continue;
        int lo, hi;
        entries_between(*g.pars, t[first], t[last], &lo, &hi);
        remove_entries(g, lo, hi - lo);
    }
}

void check_point(const BCDF_s *b, int point) {
    if (quorm_checking() && (point < 0 || point >= num_points(b)))
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_INVALID_POSITION,
                    "An Invalid Point Position Was Given By Calling Routine");
}

bool valid_point(const BCDF_s *b, int point) { return point >= 0 && point < num_points(b) && b->params; }

// Sets the slope at a point to the automatic slope, type 0.
void set_auto_slope(BCDF_s *b, int point) {
    double a[3];
    BCDF_CALC_auto_slope(b, point, a);
    BCDF_replace_slope(b, a, point, 0);
}

// Inserts or overwrites the entry of a group at a point.
void replace_at_point(BCDF_s *b, const Group &g, const double *v, int point, int type) {
    check_point(b, point);
    if (!valid_point(b, point)) return;
    const double t = params(b)[point];
    int pos = 0;
    if (scan(*g.pars, t, &pos))
        overwrite_entry(g, pos, v, type);
    else
        insert_entry(g, pos, v, t, type, b->points->dimension);
}

// Turns the curvature k (in place) so that it stays normal to a slope that
// changes from s_old to s_new, keeping its length.  The curvature is turned
// within its osculating plane (spanned by s_old and k) by the angle that
// takes s_old to the part of s_new lying in that plane; for a curvature
// normal to s_old the result is normal to s_new in any orientation of the
// plane.  What remains along s_new (a curvature that was not normal to the
// old slope, rounding) is then taken out.
void keep_curvature_normal(double k[3], const double *s_old, const double *s_new) {
    double kh[3], so[3], sn[3], len_k, len;
    if (!quorm::unitize(k, 3, kNullLength, &len_k, kh)) return;
    if (std::fabs(quorm::dot(kh, s_new)) < 1e-10) return;
    if (!quorm::unitize(s_new, 3, 0.0, &len, sn)) return;
    double nk[3];
    quorm::copy(kh, nk);
    if (quorm::unitize(s_old, 3, 0.0, &len, so)) {
        double bn[3], w[3];
        quorm::cross(so, kh, bn);
        quorm::scale_add(-quorm::dot(s_new, bn), bn, s_new, w);
        if (quorm::length2(bn) > 1e-20 && quorm::unitize(w, 3, kNullLength, &len, w)) {
            const double c = quorm::dot(w, so), s = quorm::dot(w, kh);
            for (int i = 0; i < 3; ++i) nk[i] = c * kh[i] - s * so[i];
        }
    }
    quorm::scale_add(-quorm::dot(nk, sn), sn, nk, nk);
    if (!quorm::unitize(nk, 3, kNullLength, &len, nk)) {
        // k ran along the new slope: any normal direction will do.
        Vector3 p;
        const Vector3 sv = quorm::vec(sn);
        VEC3_ask_perpendicular(&sv, &p);
        quorm::store(p, nk);
        quorm::unitize(nk, 3, 0.0, &len, nk);
    }
    quorm::scale(len_k, nk, k);
}

// Refreshes the slope at position pos by its type (types 1 and 3 stay).
void refresh_slope(BCDF_s *b, int pos) {
    const int type = b->slope_types[pos];
    const int point = BCDF_point_at_slope(b, pos);
    if (point >= num_points(b)) return;
    // On coincident points two slopes share one parameter, and the point
    // found for this slope may lead to the other one: refreshing through the
    // point would then insert a further slope each time (without end while
    // the slopes are refreshed in a loop).  Such a slope is left as it is.
    int at = -1;
    if (BCDF_slope_at_point(b, point, &at) != 1 || at != pos) return;
    if (type == 0) {
        set_auto_slope(b, point);
    } else if (type == 2 || type == 4 || type == 5) {
        double v[3];
        quorm::copy(vec_at(b->slopes, pos), v);
        BCDF_change_slope(b, type, v, point);
    }
}

// Reverses a type-4 slope that points against the automatic slope.
void orient_slope(BCDF_s *b, int pos) {
    if (b->slope_types[pos] != 4) return;
    const int point = BCDF_point_at_slope(b, pos);
    if (point >= num_points(b)) return;
    double a[3];
    BCDF_CALC_auto_slope(b, point, a);
    double *s = b->slopes->points + static_cast<size_t>(pos) * b->slopes->dimension;
    if (quorm::dot(s, a) < 0.0) quorm::scale(-1.0, s, s);
}

double current_distance_tol() { return srfc1.distance_tol; }

// Least-squares and interpolation records after a change of periodicity or
// point count: the weights follow the parameters.
void rebuild_weights(BCDF_s *b) {
    if (b->weights) BCDF_add_weights(b);
}

// Frees every list when a record has lost all its points.
void clear_all_lists(BCDF_s *b) {
    free_group(slope_group(b));
    free_group(crvatr_group(b));
#if QUORM_FULL_BUILD
    free_group(deriv_group(b));
#endif
    PNTLST_free_structure(b->points);
    PNTLST_free_structure(b->params);
    PNTLST_free_structure(b->weights);
    SM_free(b->constraint_types);
    b->points = b->params = b->weights = nullptr;
    b->constraint_types = nullptr;
}

// Takes over one group passed to a create function; an empty group is
// freed, and a missing type array is made (every entry of default_type).
void adopt_group(const Group &g, PNTLST_s *vecs, PNTLST_s *pars, int *types, int default_type) {
    *g.vecs = vecs;
    *g.pars = pars;
    *g.types = types;
    if (count(vecs) == 0 || !pars) {
        free_group(g);
        return;
    }
    if (!types) {
        const int n = vecs->num_points;
        int *t = static_cast<int *>(SM_alloc(static_cast<size_t>(n) * sizeof(int)));
        for (int i = 0; i < n; ++i) t[i] = default_type;
        *g.types = t;
    }
}

#if QUORM_FULL_BUILD
// Curvature derivative at the parameter of entry index of pars; *out is
// always set.
int deriv_scan(const BCDF_s *bcdf, const PNTLST_s *pars, int index, int *out) {
    *out = 0;
    if (!bcdf->crvatr_derivs || index < 0 || index >= count(pars)) return 0;
    return scan(bcdf->crvatr_deriv_pars, par_at(pars, index), out) ? 1 : 0;
}
#endif

// The point an entry sits at; the point count, reported as corruption,
// when it sits at none.
int point_of_entry(const BCDF_s *bcdf, const PNTLST_s *pars, int index) {
    const int n = num_points(bcdf);
    int pos = n;
    if (index >= 0 && index < count(pars) && bcdf->params && scan(bcdf->params, par_at(pars, index), &pos))
        return pos;
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Bcurve Defining Data Structure Corrupt");
    return n;
}

// 1-based point numbers of the entries of pars (a new block).
int *create_pos_array(const BCDF_s *bcdf, const PNTLST_s *pars, int *cnt) {
    const int m = count(pars);
    *cnt = 0;
    if (m == 0 || !bcdf->params) return nullptr;
    Positions pos;
    pos.find(pars, params(bcdf), count(bcdf->params));
    int *out = pos.at;
    pos.at = nullptr;
    for (int k = 0; k < m; ++k) out[k] += 1;
    *cnt = m;
    return out;
}

// Cartesian points closer than the length tolerance.
bool too_close(const double *a, const double *b) {
    return std::sqrt(quorm::dist2(a, b)) < EQ_ask_length_tolerance();
}

void scale_pars(PNTLST_s *pars, double f, bool divide) {
    for (int i = 0; i < count(pars); ++i) pars->points[i] = divide ? pars->points[i] / f : pars->points[i] * f;
}

// The record has parameters (reported while checking when not).
bool params_present(const BCDF_s *bcdf) {
    if (bcdf->params) return true;
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "The Parameter Array Is NULL");
    return false;
}

} // namespace

extern "C" {

// ---- creation ----------------------------------------------------------------

#if QUORM_FULL_BUILD
QUORM_API BCDF_s *BCDF_create_from_pntlst(int periodicity, int order, int least_squares, PNTLST_s *points,
                                          PNTLST_s *params, PNTLST_s *weights, PNTLST_s *slopes,
                                          PNTLST_s *slope_pars, int *slope_types, PNTLST_s *crvatrs,
                                          PNTLST_s *crvatr_pars, int *crvatr_types, PNTLST_s *crvatr_derivs,
                                          PNTLST_s *crvatr_deriv_pars, int *crvatr_deriv_types,
                                          int *constraint_types) {
#else
QUORM_API BCDF_s *BCDF_create_from_pntlst(int periodicity, int order, int least_squares, PNTLST_s *points,
                                          PNTLST_s *params, PNTLST_s *weights, PNTLST_s *slopes,
                                          PNTLST_s *slope_pars, int *slope_types, PNTLST_s *crvatrs,
                                          PNTLST_s *crvatr_pars, int *crvatr_types, int *constraint_types) {
#endif
    if (quorm_checking()) {
        if (!points) ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_NO_POINTS, "The Point List Is NULL");
        if (slopes && !slope_pars)
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_NO_SLOPE_POSITIONS, "Slope Position Array Is NULL");
        // Refused before anything is taken over, so the caller keeps its
        // lists.
        if (least_squares == 1 && !weights && periodicity == 1)
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_PERIODIC_LEAST_SQUARES,
                        "Periodic Least Squares Splines Are Not Allowed");
    }
    BCDF_s *b = static_cast<BCDF_s *>(SM_calloc(1, sizeof(BCDF_s)));
    b->periodicity = periodicity;
    b->order = order;
    b->points = points;
    b->params = params;
    adopt_group(slope_group(b), slopes, slope_pars, slope_types, 1);
    adopt_group(crvatr_group(b), crvatrs, crvatr_pars, crvatr_types, 0);
#if QUORM_FULL_BUILD
    adopt_group(deriv_group(b), crvatr_derivs, crvatr_deriv_pars, crvatr_deriv_types, 0);
#endif
    if (!params) BCDF_add_params(b, nullptr);
    if (least_squares == 1) {
        b->weights = weights;
        if (!weights) BCDF_add_weights(b);
        b->ls_tolerance = current_distance_tol();
        b->constraint_types = constraint_types;
    }
    return b;
}

QUORM_API BCDF_s *BCDF_create_df_from_pts(double *coords, int n, int dimension, int least_squares) {
    BCDF_s *b = static_cast<BCDF_s *>(SM_calloc(1, sizeof(BCDF_s)));
    b->points = PNTLST_create_from_list_of_pts(coords, n, dimension);
    b->order = 4;
    b->algorithm_version = 0;
    BCDF_add_params(b, nullptr);
    if (least_squares == 1) {
        BCDF_add_weights(b);
        b->ls_tolerance = current_distance_tol();
        b->ls_num_of_segments = 0;
        b->ls_uniform_segments = false;
    }
    return b;
}

// ---- settings ------------------------------------------------------------------

QUORM_API void BCDF_change_order(BCDF_s *bcdf, int order) {
    if (quorm_checking()) {
        if (order > 25) {
            ERROR_internal(__FILE__, __LINE__, "Maximum Order For Spline Exceeded");
            return;
        }
        if (order < 2) {
            ERROR_internal(__FILE__, __LINE__, "Order Must Be Greater Than 1");
            return;
        }
    }
    bcdf->order = order;
}

QUORM_API void BCDF_change_tolerance(BCDF_s *bcdf, double tol) {
    if (!bcdf->weights) BCDF_convert_to_least_squares(bcdf);
    if (!bcdf->weights) return;
    bcdf->ls_tolerance = tol;
    if (bcdf->algorithm_version < 2) bcdf->ls_num_of_segments = 0;
}

QUORM_API void BCDF_change_number_of_segments(BCDF_s *bcdf, int n) {
    if (!bcdf->weights) BCDF_convert_to_least_squares(bcdf);
    if (!bcdf->weights) return;
    bcdf->ls_num_of_segments = n;
    if (bcdf->algorithm_version < 2) bcdf->ls_tolerance = 0.0;
}

QUORM_API void BCDF_replace_weight(BCDF_s *bcdf, int position, double w) {
    const int n = count(bcdf->weights);
    if (quorm_checking() && (position < 0 || position >= n))
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_INVALID_POSITION,
                    "An Invalid Point Position Was Given By Calling Routine");
    if (position < 0 || position >= n) return;
    bcdf->weights->points[position] = w;
}

QUORM_API void BCDF_add_weights(BCDF_s *bcdf) {
    if (quorm_checking() && is_periodic(bcdf) && bcdf->algorithm_version == 0)
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_PERIODIC_LEAST_SQUARES,
                    "Periodic Least Squares Splines Are Not Allowed");
    const int n = count(bcdf->params);
    if (n == 0) return;
    if (!bcdf->weights)
        bcdf->weights = PNTLST_allocate_struct(1, n);
    else if (bcdf->weights->max_points < n)
        PNTLST_allocate_points(bcdf->weights, n);
    bcdf->weights->num_points = n;
#if QUORM_FULL_BUILD
    BCDF_CALC_weights(bcdf->periodicity, n, bcdf->params->points, bcdf->weights->points);
#else
    BCDF_CALC_weights(n, bcdf->params->points, bcdf->weights->points);
#endif
}

QUORM_API void BCDF_toggle_periodicity(BCDF_s *bcdf) {
    if (quorm_checking() && bcdf->algorithm_version <= 1 && bcdf->weights && !is_periodic(bcdf)) {
        ERROR_internal(__FILE__, __LINE__, "Periodic Least Squares Curves Are Not Allowed");
        return;
    }
    const int n = num_points(bcdf);
    if (is_periodic(bcdf)) {
        // The closing point goes, and with it whatever is attached to it; a
        // single point is its own closing point and stays.
        if (n > 1) {
            remove_attached(bcdf, n - 1, n - 1);
            PNTLST_remove_points(bcdf->points, n - 1, 1);
        }
        bcdf->periodicity = 0;
    } else {
        PNTLST_s *pts = bcdf->points;
        const size_t dim = pts ? static_cast<size_t>(pts->dimension) : 0;
        double p0[3], pl[3];
        if (n > 1) {
            cart_point(bcdf, 0, p0);
            cart_point(bcdf, n - 1, pl);
        }
        if (n > 1 && std::sqrt(quorm::dist2(p0, pl)) <= EQ_ask_length_tolerance()) {
            // The last point already closes the curve: it becomes the closing
            // point instead of being followed by a second, coincident one.
            std::memcpy(pts->points + (n - 1) * dim, pts->points, dim * sizeof(double));
        } else if (n > 1) {
            // The closing point is a copy of the first; a full list grows by
            // one point, as when appending.  A single point is its own
            // closing point (as when opening), so that no coincident point
            // with an equal parameter is added.
            if (pts->max_points < n + 1) PNTLST_allocate_points(pts, n + 1);
            std::memcpy(pts->points + n * dim, pts->points, dim * sizeof(double));
            pts->num_points = n + 1;
            if (bcdf->constraint_types) {
                // The closing point repeats the first and adds no constraint
                // of its own.
                bcdf->constraint_types = static_cast<int *>(
                    SM_realloc(bcdf->constraint_types, static_cast<size_t>(n + 1) * sizeof(int)));
                bcdf->constraint_types[n] = 0;
            }
        }
        bcdf->periodicity = 1;
    }
    if (num_points(bcdf) > 0) {
        BCDF_add_params(bcdf, nullptr);
        rebuild_weights(bcdf);
    }
}

QUORM_API void BCDF_convert_to_least_squares(BCDF_s *bcdf) {
    if (bcdf->weights) return;
    const int dim = bcdf->points ? bcdf->points->dimension : 0;
    if (dim != 3 && dim != 4) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Points Are An Invalid Dimension");
        return;
    }
    if (dim == 4) {
        BCDF_convert_4d_to_3d(bcdf);
        BCDF_add_params(bcdf, nullptr);
    }
    // Rules up to version 1 fit open curves only: the record is opened
    // before its weights are computed, so that they are open-curve weights.
    if (bcdf->algorithm_version <= 1) bcdf->periodicity = 0;
    BCDF_add_weights(bcdf);
    if (bcdf->algorithm_version != 0) {
        BCDF_remove_interior_slopes(bcdf);
    } else {
        BCDF_make_least_squares_slopes(bcdf);
        free_group(crvatr_group(bcdf));
    }
    if (bcdf->algorithm_version <= 1) {
        bcdf->ls_num_of_segments = 0;
        bcdf->ls_tolerance = current_distance_tol();
    }
}

// ---- points ------------------------------------------------------------------------

QUORM_API void BCDF_replace_defining_point(BCDF_s *bcdf, const double *pt, int position, int kind) {
    const int n = num_points(bcdf);
    if (quorm_checking() && (position < 0 || position >= n))
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_POSITION_TOO_LARGE, "Point Position Too Large For Point Array.");
    if (position < 0 || position >= n) return;
    PNTLST_s *list = bcdf->points;
    const int dim = list->dimension;
    double *dst = list->points + static_cast<size_t>(position) * dim;
    double v[4];
    if (dim == 4 && kind == 3) {
        const double w = dst[3];
        v[0] = pt[0] * w;
        v[1] = pt[1] * w;
        v[2] = pt[2] * w;
        v[3] = w;
    } else if (dim == 3 && kind == 4) {
        v[0] = pt[0] / pt[3];
        v[1] = pt[1] / pt[3];
        v[2] = pt[2] / pt[3];
    } else {
        std::memcpy(v, pt, static_cast<size_t>(std::min(dim, 4)) * sizeof(double));
    }
    std::memcpy(dst, v, static_cast<size_t>(std::min(dim, 4)) * sizeof(double));
    if (is_periodic(bcdf) && n > 1 && (position == 0 || position == n - 1)) {
        double *other = list->points + static_cast<size_t>(position == 0 ? n - 1 : 0) * dim;
        std::memcpy(other, dst, static_cast<size_t>(dim) * sizeof(double));
    }
}

QUORM_API void BCDF_remove_defining_points(BCDF_s *bcdf, int position, int cnt) {
    const int n = num_points(bcdf);
    if (quorm_checking() && (n < position + cnt || position < 0))
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_REMOVE_POINTS, "Error While Removing Points");
    if (cnt <= 0 || position < 0 || position + cnt > n) return;
    if (cnt == n) {
        clear_all_lists(bcdf);
        return;
    }
    const int p = position;
    // Everything attached to a removed point goes with it.
    remove_attached(bcdf, p, p + cnt - 1);
    if (bcdf->constraint_types) {
        int *ct = bcdf->constraint_types;
        std::memmove(ct + p, ct + p + cnt, static_cast<size_t>(n - p - cnt) * sizeof(int));
        bcdf->constraint_types = static_cast<int *>(SM_realloc(ct, static_cast<size_t>(n - cnt) * sizeof(int)));
    }
    PNTLST_remove_points(bcdf->points, p, cnt);
    if (count(bcdf->params) == n) PNTLST_remove_points(bcdf->params, p, cnt);
    if (count(bcdf->weights) == n) PNTLST_remove_points(bcdf->weights, p, cnt);

    // A periodic record keeps its closing point equal to the first point:
    // when the first point went, the new first point closes the curve; when
    // the run took the closing point, the new last point becomes the seam.
    const int m = n - cnt;
    bool seam_moved = false;
    if (is_periodic(bcdf) && m > 0) {
        PNTLST_s *list = bcdf->points;
        const size_t dim = static_cast<size_t>(list->dimension);
        if (p == 0) {
            std::memcpy(list->points + (m - 1) * dim, list->points, dim * sizeof(double));
        } else if (p + cnt == n) {
            std::memcpy(list->points, list->points + (m - 1) * dim, dim * sizeof(double));
            seam_moved = true;
        }
    }
    if (p == 0 || p + cnt == n - 1 || seam_moved) {
        BCDF_add_params(bcdf, nullptr);
        if (bcdf->algorithm_version == 0) BCDF_add_needed_slopes(bcdf);
    }
}

QUORM_API void BCDF_add_params(BCDF_s *bcdf, const double *given) {
    const int n = num_points(bcdf);
    if (n == 0) return;
    PNTLST_s *list = bcdf->params;
    const int m = count(list);
    const double *old_t = m ? list->points : nullptr;

    // Where each attached vector sits, from the parameters it was set with.
    Positions slope_pos, crv_pos, der_pos;
    if (old_t) {
        slope_pos.find(bcdf->slope_pars, old_t, m);
        crv_pos.find(bcdf->crvatr_pars, old_t, m);
#if QUORM_FULL_BUILD
        der_pos.find(bcdf->crvatr_deriv_pars, old_t, m);
#endif
    }
    // The old parameter of the last point still present; when points were
    // added since, the old last parameter.
    const double p_old = m ? old_t[std::min(n, m) - 1] : 0.0;

    if (!list) {
        list = bcdf->params = PNTLST_allocate_struct(1, n);
    } else if (list->max_points < n) {
        PNTLST_allocate_points(list, n);
    }
    list->num_points = n;
    if (given)
        std::memmove(list->points, given, static_cast<size_t>(n) * sizeof(double));
    else
        BCDF_CALC_parameters(n, bcdf->points->dimension, bcdf->points->points, 1.0, false, list->points);
    const double *t = list->points;

    // Without earlier parameters the given parameters of the attached
    // vectors are matched to the new ones.
    if (!old_t) {
        slope_pos.find(bcdf->slope_pars, t, n);
        crv_pos.find(bcdf->crvatr_pars, t, n);
#if QUORM_FULL_BUILD
        der_pos.find(bcdf->crvatr_deriv_pars, t, n);
#endif
    }

    const double p_new = t[n - 1];
    const double factor = (std::fabs(p_old) <= 1e-10 || std::fabs(p_new) <= 1e-10) ? 1.0 : p_old / p_new;
    if (bcdf->slopes && factor != 1.0) BCDF_scale_slopes(bcdf, factor);
    slope_pos.apply(bcdf->slope_pars, t, n);
    crv_pos.apply(bcdf->crvatr_pars, t, n);
#if QUORM_FULL_BUILD
    der_pos.apply(bcdf->crvatr_deriv_pars, t, n);
#endif
}

// ---- slopes, curvatures, curvature derivatives -----------------------------------------

QUORM_API void BCDF_replace_slope(BCDF_s *bcdf, const double *v, int point, int type) {
    check_point(bcdf, point);
    if (!valid_point(bcdf, point)) return;
    int pos = 0;
    if (BCDF_slope_at_point(bcdf, point, &pos) == 1) {
        int crv = 0;
        if (BCDF_curvature_at_slope(bcdf, pos, &crv) == 1) {
            double *k = bcdf->crvatrs->points + static_cast<size_t>(crv) * bcdf->crvatrs->dimension;
            keep_curvature_normal(k, vec_at(bcdf->slopes, pos), v);
        }
        overwrite_entry(slope_group(bcdf), pos, v, type);
    } else {
        insert_entry(slope_group(bcdf), pos, v, params(bcdf)[point], type, bcdf->points->dimension);
    }
}

QUORM_API void BCDF_replace_curvature(BCDF_s *bcdf, const double *v, int point, int type) {
    replace_at_point(bcdf, crvatr_group(bcdf), v, point, type);
}

#if QUORM_FULL_BUILD
QUORM_API void BCDF_replace_curvature_deriv(BCDF_s *bcdf, const double *v, int point, int type) {
    replace_at_point(bcdf, deriv_group(bcdf), v, point, type);
}
#endif

QUORM_API void BCDF_change_slope(BCDF_s *bcdf, int type, double *v, int point) {
    if (type == 0) {
        check_point(bcdf, point);
        if (valid_point(bcdf, point)) set_auto_slope(bcdf, point);
    } else if (type == 1) {
        BCDF_replace_slope(bcdf, v, point, 1);
    } else if (type >= 2 && type <= 5) {
        check_point(bcdf, point);
        if (!valid_point(bcdf, point)) return;
        BCDF_CALC_normalized_slope(bcdf, type, point, v);
        BCDF_replace_slope(bcdf, v, point, type);
    }
}

QUORM_API void BCDF_change_curvature(BCDF_s *bcdf, int type, const double *v, int point, double radius) {
    if (type == 0) {
        BCDF_replace_curvature(bcdf, v, point, 0);
        return;
    }
    if (type != 1) return;
    check_point(bcdf, point);
    if (!valid_point(bcdf, point)) return;
    double k[3], len;
    BCDF_CALC_auto_curvature(bcdf, point, k);
    if (!quorm::unitize(k, 3, kNullLength, &len, k)) {
        int pos = 0;
        if (BCDF_slope_at_point(bcdf, point, &pos) != 1) {
            if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Point With Assigned Curvature Has No Slope");
            return;
        }
        double s[3];
        if (!quorm::unitize(vec_at(bcdf->slopes, pos), 3, 0.0, &len, s)) return;
        Vector3 p;
        const Vector3 sv = quorm::vec(s);
        VEC3_ask_perpendicular(&sv, &p);
        quorm::store(p, k);
        quorm::unitize(k, 3, 0.0, &len, k);
    }
    // A radius of zero has no finite curvature.
    if (!(std::fabs(radius) > 0.0)) return;
    quorm::scale(1.0 / radius, k, k);
    BCDF_replace_curvature(bcdf, k, point, 1);
}

QUORM_API void BCDF_remove_slopes(BCDF_s *bcdf, int position, int cnt) {
    const int n = count(bcdf->slopes);
    if (cnt <= 0 || n == 0) return;
    if (position < 0 || position >= n) return;
    cnt = std::min(cnt, n - position);
    if (cnt == n) {
        free_group(slope_group(bcdf));
        free_group(crvatr_group(bcdf));
        return;
    }
    // Each slope takes the curvature at its point with it.
    if (bcdf->crvatrs) {
        int lo, hi;
        entries_between(bcdf->crvatr_pars, par_at(bcdf->slope_pars, position),
                        par_at(bcdf->slope_pars, position + cnt - 1), &lo, &hi);
        for (int k = hi - 1; k >= lo; --k) {
            int s = 0;
            if (scan(bcdf->slope_pars, par_at(bcdf->crvatr_pars, k), &s) && s >= position && s < position + cnt)
                remove_entries(crvatr_group(bcdf), k, 1);
        }
    }
    remove_entries(slope_group(bcdf), position, cnt);
}

QUORM_API void BCDF_remove_curvatures(BCDF_s *bcdf, int position, int cnt) {
    const int n = count(bcdf->crvatrs);
    if (cnt <= 0 || n == 0 || position < 0 || position >= n) return;
    remove_entries(crvatr_group(bcdf), position, cnt);
}

#if QUORM_FULL_BUILD
QUORM_API void BCDF_remove_curvature_derivs(BCDF_s *bcdf, int position, int cnt) {
    const int n = count(bcdf->crvatr_derivs);
    if (cnt <= 0 || n == 0 || position < 0 || position >= n) return;
    remove_entries(deriv_group(bcdf), position, cnt);
}
#endif

QUORM_API void BCDF_remove_interior_slopes(BCDF_s *bcdf) {
    const int n = count(bcdf->slopes);
    if (n == 0) return;
    const int first = BCDF_start_slope_exists(bcdf) ? 1 : 0;
    const int last = BCDF_end_slope_exists(bcdf) ? n - 1 : n;
    if (last > first) BCDF_remove_slopes(bcdf, first, last - first);
}

QUORM_API void BCDF_unitize_slopes(BCDF_s *bcdf) {
    const int n = count(bcdf->slopes);
    // A zero slope is refused before any slope has changed.
    for (int i = 0; i < n; ++i) {
        double unit[3];
        if (length3(vec_at(bcdf->slopes, i)) <= kNullLength) BCDF_CALC_unitize_slope(vec_at(bcdf->slopes, i), unit);
    }
    for (int i = 0; i < n; ++i) {
        double *s = bcdf->slopes->points + static_cast<size_t>(i) * bcdf->slopes->dimension;
        BCDF_CALC_unitize_slope(s, s);
    }
}

QUORM_API void BCDF_scale_slopes(BCDF_s *bcdf, double f) {
    const int n = count(bcdf->slopes);
    const size_t total = static_cast<size_t>(n) * (n ? bcdf->slopes->dimension : 0);
    for (size_t i = 0; i < total; ++i) bcdf->slopes->points[i] *= f;
}

QUORM_API void BCDF_update_slopes(BCDF_s *bcdf) {
    const int ns = count(bcdf->slopes);
    if (ns == 0) return;
    const int first = BCDF_start_slope_exists(bcdf) ? 1 : 0;
    const int last = BCDF_end_slope_exists(bcdf) ? ns - 1 : ns;
    for (int i = first; i < last; ++i) orient_slope(bcdf, i);
    if (first == 1) orient_slope(bcdf, 0);
    if (last == ns - 1 && ns - 1 >= first) orient_slope(bcdf, ns - 1);
    for (int i = 0; i < count(bcdf->slopes); ++i) refresh_slope(bcdf, i);
    BCDF_update_end_slopes(bcdf);
}

QUORM_API void BCDF_update_end_slopes(BCDF_s *bcdf) {
    const int ns = count(bcdf->slopes);
    if (ns == 0 || is_periodic(bcdf)) return;
    if (BCDF_start_slope_exists(bcdf)) refresh_slope(bcdf, 0);
    if (BCDF_end_slope_exists(bcdf)) refresh_slope(bcdf, count(bcdf->slopes) - 1);
}

QUORM_API void BCDF_update_curvatures(BCDF_s *bcdf) {
    for (int i = 0; i < count(bcdf->crvatrs); ++i) {
        if (bcdf->crvatr_types[i] != 1) continue;
        const double len = length3(vec_at(bcdf->crvatrs, i));
        if (!(len > 0.0)) continue;
        const int point = BCDF_point_at_curvature(bcdf, i);
        if (point >= num_points(bcdf)) continue;
        BCDF_change_curvature(bcdf, 1, vec_at(bcdf->crvatrs, i), point, 1.0 / len);
    }
}

#if QUORM_FULL_BUILD
QUORM_API void BCDF_update_curvature_derivs(BCDF_s *bcdf) { (void)bcdf; }
#endif

QUORM_API void BCDF_add_needed_slopes(BCDF_s *bcdf) {
    const int n = num_points(bcdf);
    if (n < 2 || !bcdf->params) return;
    const bool start = BCDF_start_slope_exists(bcdf) == 1;
    const bool end = BCDF_end_slope_exists(bcdf) == 1;
    if (bcdf->weights) {
        if (!start) {
            if (end) set_auto_slope(bcdf, 0);
        } else if (!end) {
            set_auto_slope(bcdf, n - 1);
        }
        return;
    }
    if (is_periodic(bcdf) || bcdf->order != 4) return;
    if (n == 2) {
        double p0[3], p1[3], m[3];
        cart_point(bcdf, 0, p0);
        cart_point(bcdf, 1, p1);
        if (!bcdf->slopes) {
            set_auto_slope(bcdf, 0);
            set_auto_slope(bcdf, 1);
        } else if (end && !start) {
            const int last = count(bcdf->slopes) - 1;
            BCDF_CALC_mirror_slope(vec_at(bcdf->slopes, last), p0, p1, m);
            BCDF_replace_slope(bcdf, m, 0, bcdf->slope_types[last]);
        } else if (start && !end) {
            BCDF_CALC_mirror_slope(vec_at(bcdf->slopes, 0), p0, p1, m);
            BCDF_replace_slope(bcdf, m, 1, bcdf->slope_types[0]);
        }
        return;
    }
    if (!start) set_auto_slope(bcdf, 0);
    if (!end) set_auto_slope(bcdf, n - 1);
}

QUORM_API void BCDF_make_least_squares_slopes(BCDF_s *bcdf) {
    const int s = count(bcdf->slopes);
    const int n = num_points(bcdf);
    if (s == 0 || n == 0) return;
    const bool start = BCDF_start_slope_exists(bcdf) == 1;
    const bool end = BCDF_end_slope_exists(bcdf) == 1;
    if (!start && !end) {
        BCDF_remove_slopes(bcdf, 0, s);
    } else if (start && !end) {
        set_auto_slope(bcdf, n - 1);
    } else {
        if (!start) set_auto_slope(bcdf, 0);
        // Only the two end slopes stay, as unit vectors.
        BCDF_remove_slopes(bcdf, 1, count(bcdf->slopes) - 2);
        BCDF_unitize_slopes(bcdf);
    }
}

// ---- cross-index queries ------------------------------------------------------------

QUORM_API int BCDF_start_slope_exists(const BCDF_s *bcdf) {
    if (!bcdf->slopes || count(bcdf->params) == 0) return 0;
    return std::fabs(par_at(bcdf->slope_pars, 0) - params(bcdf)[0]) <= kParamTol ? 1 : 0;
}

QUORM_API int BCDF_end_slope_exists(const BCDF_s *bcdf) {
    const int n = count(bcdf->params);
    if (!bcdf->slopes || n == 0) return 0;
    return std::fabs(par_at(bcdf->slope_pars, count(bcdf->slope_pars) - 1) - params(bcdf)[n - 1]) <= kParamTol ? 1
                                                                                                               : 0;
}

QUORM_API int BCDF_slope_at_point(const BCDF_s *bcdf, int point, int *slope) {
    const int ns = count(bcdf->slopes);
    const int n = count(bcdf->params);
    if (ns == 0 || point < 0 || point >= n) return 0;
    const double *t = params(bcdf);
    const double L = std::fabs(t[n - 1] - t[0]);
    const double tol = 1e-10 * L;
    const double tp = t[point];
    const double before = point > 0 ? t[point - 1] : tp - L;
    const double after = point < n - 1 ? t[point + 1] : tp + L;
    const double *u = bcdf->slope_pars->points;
    const int j = static_cast<int>(std::lower_bound(u, u + ns, tp - tol) - u);
    *slope = j;
    if (j < ns && std::fabs(tp - u[j]) <= tol) {
        const double d = std::fabs(tp - u[j]);
        if ((d < std::fabs(before - u[j]) && d < std::fabs(after - u[j])) || n == 1) return 1;
    }
    return 0;
}

QUORM_API int BCDF_curvature_at_point(const BCDF_s *bcdf, int point, int *crv) {
    if (!bcdf->crvatrs || point < 0 || point >= count(bcdf->params)) return 0;
    return scan(bcdf->crvatr_pars, params(bcdf)[point], crv) ? 1 : 0;
}

QUORM_API int BCDF_curvature_at_slope(const BCDF_s *bcdf, int slope, int *crv) {
    if (!bcdf->crvatrs || slope < 0 || slope >= count(bcdf->slopes)) return 0;
    return scan(bcdf->crvatr_pars, par_at(bcdf->slope_pars, slope), crv) ? 1 : 0;
}

#if QUORM_FULL_BUILD
QUORM_API int BCDF_curvature_deriv_at_point(const BCDF_s *bcdf, int point, int *out) {
    return deriv_scan(bcdf, bcdf->params, point, out);
}

QUORM_API int BCDF_curvature_deriv_at_slope(const BCDF_s *bcdf, int slope, int *out) {
    return deriv_scan(bcdf, bcdf->slope_pars, slope, out);
}

QUORM_API int BCDF_curvature_deriv_at_curvature(const BCDF_s *bcdf, int crv, int *out) {
    return deriv_scan(bcdf, bcdf->crvatr_pars, crv, out);
}
#endif

QUORM_API int BCDF_point_at_slope(const BCDF_s *bcdf, int slope) {
    return point_of_entry(bcdf, bcdf->slope_pars, slope);
}

QUORM_API int BCDF_point_at_curvature(const BCDF_s *bcdf, int crv) {
    return point_of_entry(bcdf, bcdf->crvatr_pars, crv);
}

#if QUORM_FULL_BUILD
QUORM_API int BCDF_point_at_curvature_deriv(const BCDF_s *bcdf, int index) {
    int pos = 0;
    if (index >= 0 && index < count(bcdf->crvatr_deriv_pars) && bcdf->params &&
        scan(bcdf->params, par_at(bcdf->crvatr_deriv_pars, index), &pos))
        return pos;
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Bcurve Defining Data Structure Corrupt");
    return pos;
}
#endif

QUORM_API int BCDF_slope_at_curvature(const BCDF_s *bcdf, int crv, int *slope, double out[3]) {
    if (!bcdf->crvatrs || crv < 0 || crv >= count(bcdf->crvatrs)) return 0;
    int pos = 0;
    if (bcdf->slopes && scan(bcdf->slope_pars, par_at(bcdf->crvatr_pars, crv), &pos)) {
        *slope = pos;
        quorm::copy(vec_at(bcdf->slopes, pos), out);
        return 1;
    }
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Point With Assigned Curvature Has No Slope");
    return 0;
}

#if QUORM_FULL_BUILD
QUORM_API int BCDF_slope_at_curvature_deriv(const BCDF_s *bcdf, int index, int *pos, double out[3]) {
    if (!bcdf->crvatr_derivs || index < 0 || index >= count(bcdf->crvatr_derivs) || !bcdf->slopes) return 0;
    if (!scan(bcdf->slope_pars, par_at(bcdf->crvatr_deriv_pars, index), pos)) return 0;
    int type = 0;
    BCDF_copy_single_3d_slope(bcdf, *pos, out, &type);
    return 1;
}

QUORM_API int BCDF_curvature_at_curvature_deriv(const BCDF_s *bcdf, int index, int *pos, double out[3]) {
    if (!bcdf->crvatr_derivs || index < 0 || index >= count(bcdf->crvatr_derivs) || !bcdf->crvatrs) return 0;
    if (!scan(bcdf->crvatr_pars, par_at(bcdf->crvatr_deriv_pars, index), pos)) return 0;
    int type = 0;
    BCDF_copy_single_3d_crvatr(bcdf, *pos, out, &type);
    return 1;
}
#endif

QUORM_API int BCDF_parameter_in_list(const BCDF_s *bcdf, double t, int *pos) {
    if (!bcdf->params) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "The Parameter List Has A NULL Value");
        *pos = 0;
        return 0;
    }
    return scan(bcdf->params, t, pos) ? 1 : 0;
}

QUORM_API int *BCDF_create_slope_pos_array(const BCDF_s *bcdf, int *cnt) {
    return create_pos_array(bcdf, bcdf->slope_pars, cnt);
}

QUORM_API int *BCDF_create_crvatr_pos_array(const BCDF_s *bcdf, int *cnt) {
    return create_pos_array(bcdf, bcdf->crvatr_pars, cnt);
}

#if QUORM_FULL_BUILD
QUORM_API int *BCDF_create_crvatr_deriv_pos_array(const BCDF_s *bcdf, int *cnt) {
    return create_pos_array(bcdf, bcdf->crvatr_deriv_pars, cnt);
}
#endif

// ---- derived quantities -----------------------------------------------------------------

QUORM_API int BCDF_is_least_squares(const BCDF_s *bcdf) {
    if (!bcdf) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Defining Data Structure Is NULL");
        return 0;
    }
    return bcdf->weights ? 1 : 0;
}

QUORM_API int BCDF_is_zev_spline(const BCDF_s *bcdf) {
    return bcdf->order == 4 && !bcdf->crvatrs && count(bcdf->slopes) >= 2 && BCDF_start_slope_exists(bcdf) &&
                   BCDF_end_slope_exists(bcdf)
               ? 1
               : 0;
}

QUORM_API int BCDF_ask_continuity(const BCDF_s *bcdf) {
    if (BCDF_is_zev_spline(bcdf)) {
        if (is_periodic(bcdf) ? BCDF_start_slope_exists(bcdf) == 1 : count(bcdf->slopes) > 2) return 1;
    }
    return bcdf->order - 2;
}

QUORM_API int BCDF_ask_max_npoles_for_fit(const BCDF_s *bcdf) {
    if (!bcdf->weights) return 0;
    return num_points(bcdf) - (is_periodic(bcdf) ? 1 : 0);
}

QUORM_API int BCDF_ask_min_npoles_for_fit(const BCDF_s *bcdf) {
    if (!bcdf->weights) return 0;
    int c = 0;
    if (bcdf->constraint_types) {
        const int n = num_points(bcdf);
        for (int i = 0; i < n; ++i) c += bcdf->constraint_types[i] == 1;
    }
    const int derived = count(bcdf->slopes) + count(bcdf->crvatrs) + c;
    return std::max(2, std::max(bcdf->order, derived));
}

QUORM_API int BCDF_num_of_knots_needed(const BCDF_s *bcdf, int k) {
    const int base = BCDF_return_num_of_constraints(bcdf) + bcdf->order;
    if (!is_periodic(bcdf)) return base;
    return base + std::min(bcdf->order - 1, k + 1);
}

QUORM_API double BCDF_calc_df_polygon_length(const BCDF_s *bcdf) {
    const int n = num_points(bcdf);
    double len = 0.0;
    for (int i = 0; i + 1 < n; ++i) len += PNTLST_calc_point_distance(bcdf->points, i, i + 1);
    return len;
}

QUORM_API int BCDF_check_consecutive_dup_pts(const BCDF_s *bcdf) {
    const int n = num_points(bcdf);
    double a[3], b[3];
    if (n > 0) cart_point(bcdf, 0, a);
    for (int i = 1; i < n; ++i) {
        cart_point(bcdf, i, b);
        if (too_close(a, b)) return 1;
        quorm::copy(b, a);
    }
    return 0;
}

QUORM_API int BCDF_check_overlap_points(const BCDF_s *bcdf, int kind, int position, const double pt[3]) {
    const int n = num_points(bcdf);
    double a[3], b[3];
    if (kind == 3) return BCDF_check_consecutive_dup_pts(bcdf);
    if (position < 0 || position >= n) return 0;
    if (kind == 1) {
        if (position > 0) {
            cart_point(bcdf, position - 1, a);
            if (too_close(pt, a)) return 1;
        }
        if (position < n - 1) {
            cart_point(bcdf, position + 1, a);
            if (too_close(pt, a)) return 1;
        }
        return 0;
    }
    if (kind == 2) {
        if (position == 0 || position == n - 1) return 0;
        cart_point(bcdf, position - 1, a);
        cart_point(bcdf, position + 1, b);
        return too_close(a, b) ? 1 : 0;
    }
    return 0;
}

QUORM_API int BCDF_check_defining_data(const BCDF_s *bcdf) {
    const int n = num_points(bcdf);
    if ((!is_periodic(bcdf) && n < 2) || (is_periodic(bcdf) && n <= 2)) return QUORM_ERR_BCDF_TOO_FEW_POINTS;
    long long constraints = static_cast<long long>(n) + count(bcdf->slopes) + count(bcdf->crvatrs);
#if QUORM_FULL_BUILD
    constraints += count(bcdf->crvatr_derivs);
#endif
    if (is_periodic(bcdf)) constraints -= 1;
    if (constraints < bcdf->order) return QUORM_ERR_BCDF_TOO_FEW_CONSTRAINTS;
    if (constraints >= 2147483600LL) return QUORM_ERR_BCDF_TOO_MANY_CONSTRAINTS;
    // Missing or short parameters can never be increasing along the points.
    if (count(bcdf->params) != n) return QUORM_ERR_BCDF_PARAMS_NOT_INCREASING;
    const double *t = params(bcdf);
    for (int i = 1; i < n; ++i)
        if (!(t[i] > t[i - 1])) return QUORM_ERR_BCDF_PARAMS_NOT_INCREASING;
    if (bcdf->slopes && bcdf->order <= 2) return QUORM_ERR_BCDF_ORDER_TOO_LOW;
    if (bcdf->crvatrs && bcdf->order < 4) return QUORM_ERR_BCDF_ORDER_TOO_LOW;
    const int nc = count(bcdf->crvatrs);
    for (int i = 0; i < nc; ++i) {
        int s = 0;
        if (!bcdf->slopes || !scan(bcdf->slope_pars, par_at(bcdf->crvatr_pars, i), &s))
            return QUORM_ERR_BCDF_CRVATR_WITHOUT_SLOPE;
        if (std::fabs(quorm::dot(vec_at(bcdf->crvatrs, i), vec_at(bcdf->slopes, s))) > 1e-7)
            return QUORM_ERR_BCDF_CRVATR_NOT_NORMAL;
    }
    if (bcdf->weights) {
        const int room = BCDF_ask_max_npoles_for_fit(bcdf) - bcdf->order + 1;
        if (room <= 0) return QUORM_ERR_BCDF_TOO_FEW_POINTS;
        const int segs = bcdf->ls_num_of_segments;
        if (segs == 0 && bcdf->ls_tolerance < 0.0) return QUORM_ERR_BCDF_LS_NEGATIVE_TOLERANCE;
        // 0 segments means a tolerance-driven fit.
        if (segs != 0 && (segs < 1 || segs > room)) return QUORM_ERR_BCDF_LS_SEGMENTS_RANGE;
    }
    return 0;
}

QUORM_API void BCDF_convert_4d_to_3d(BCDF_s *bcdf) {
    if (bcdf->points && bcdf->points->dimension == 4) PNTLST_convert_4d_to_3d(bcdf->points);
    PNTLST_s *s = bcdf->slopes;
    if (s && s->dimension == 4) {
        for (int i = 0; i < s->num_points; ++i)
            std::memmove(s->points + 3 * static_cast<size_t>(i), s->points + 4 * static_cast<size_t>(i),
                         3 * sizeof(double));
        s->dimension = 3;
    }
}

QUORM_API double BCDF_normalize_parameters(BCDF_s *bcdf) {
    if (!params_present(bcdf)) return 0.0;
    const int n = count(bcdf->params);
    if (n < 1) return 0.0; // an empty list has no last parameter
    double *t = bcdf->params->points;
    const double last = t[n - 1];
    // A single point (or a degenerate range) has nothing to normalise.
    if (n < 2 || !(last > t[0])) return last;
    for (int i = 0; i < n; ++i) t[i] /= last;
    t[0] = 0.0;
    t[n - 1] = 1.0;
    scale_pars(bcdf->slope_pars, last, true);
    scale_pars(bcdf->crvatr_pars, last, true);
#if QUORM_FULL_BUILD
    scale_pars(bcdf->crvatr_deriv_pars, last, true);
#endif
    return last;
}

QUORM_API void BCDF_unnormalize_parameters(BCDF_s *bcdf, double scale) {
    if (!params_present(bcdf)) return;
    const int n = count(bcdf->params);
    if (n == 0) return;
    bcdf->params->points[0] = 0.0;
    scale_pars(bcdf->params, scale, false);
    scale_pars(bcdf->slope_pars, scale, false);
    scale_pars(bcdf->crvatr_pars, scale, false);
#if QUORM_FULL_BUILD
    scale_pars(bcdf->crvatr_deriv_pars, scale, false);
#endif
}

} // extern "C"
