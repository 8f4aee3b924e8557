// B-spline knot spans, basis functions, knot placement and interpolation
// through points with derivative conditions and periodic closure, solved as
// a banded system (open curves) or a dense one (periodic curves and the
// second and third condition groups on given knots).
#include "foundation/quorm_internal.h"

#include <corvex/exception.hpp>
#include <quorm/banded.h>
#include <quorm/kernel_interp.h>
#include <quorm/kernel_toler.h>
#include <quorm/solve.h>
#include "solvers/banded_internal.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxOrder = QUORM_KERNEL_MAX_ORDER;
// Knots closer than this are equal; parameters this close share a site.
constexpr double kKnotTol = 1e-10;
// The step that moves a parameter at the end of the last span inside it.
constexpr double kEndShift = 5e-13;
// Tolerance of the span search for point parameters.
constexpr double kPointSpanTol = 1e-5;

// The problem an eight-int descriptor describes.
struct Problem {
    int np;        // points
    int k;         // order
    bool periodic; // closed curve
    int dim;       // doubles per point
    int ndc;       // derivative conditions
    int p;         // control points tied at the closure
    int m;         // control points
};

bool read_problem(const int *d, Problem *pr) {
    pr->np = d[0];
    pr->k = d[1];
    pr->periodic = d[2] != 0;
    pr->dim = d[3];
    if (pr->np < 1 || pr->k < 1 || pr->k > kMaxOrder || pr->dim < 1 || d[4] < 0 || d[5] < 0 || d[6] < 0)
        return false;
    pr->ndc = d[4] + d[5] + d[6];
    pr->p = pr->periodic ? std::min(d[7] + 1, pr->k - 1) : 0;
    if (pr->p < 0) return false;
    pr->m = pr->np + pr->ndc + pr->p;
    return true;
}

// ---- spans and basis functions ------------------------------------------------------

int span_of(double x, const double *knots, int count, double tol) {
    if (count < 2) return -1;
    if (x < knots[0] - tol || x > knots[count - 1] + tol) return -1;
    if (x <= knots[0]) {
        for (int i = 0; i + 1 < count; ++i)
            if (knots[i + 1] > knots[i]) return i;
        return -1;
    }
    if (x >= knots[count - 1]) {
        for (int i = count - 2; i >= 0; --i)
            if (knots[i + 1] > knots[i]) return i;
        return -1;
    }
    // The last knot not above x starts a non-empty span that contains x.
    const int i = static_cast<int>(std::upper_bound(knots, knots + count, x) - knots) - 1;
    return (i >= 0 && i + 1 < count && knots[i] <= x && x < knots[i + 1]) ? i : -1;
}

int span_in_range(double *x, const double *knots, int count, int k) {
    const double tol = 1e-12;
    const int s = span_of(*x, knots, count, tol);
    if (s < 0 || s < k - 1 || s > count - k - 1) return -1;
    if (*x < knots[k - 1] - tol || *x > knots[count - k] + tol) return -1;
    if (*x <= knots[k - 1])
        *x = knots[k - 1];
    else if (*x >= knots[count - k])
        *x = knots[count - k] - kEndShift;
    return s;
}

// Values and derivatives up to order nd of the k basis functions that do not
// vanish on the span s (knots[s] < knots[s+1]) at x:
// out[q*k + r] = q-th derivative of N(s - k + 1 + r, k)(x).  On a non-empty
// span no knot difference used here is zero.
void basis_all(const double *knots, int s, int k, double x, int nd, double *out) {
    const int deg = k - 1;
    // tri[j][r] = N(s - j + r) of degree j at x.
    double tri[kMaxOrder][kMaxOrder];
    double left[kMaxOrder], right[kMaxOrder];
    tri[0][0] = 1.0;
    for (int j = 1; j <= deg; ++j) {
        left[j] = x - knots[s + 1 - j];
        right[j] = knots[s + j] - x;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            const double temp = tri[j - 1][r] / (right[r + 1] + left[j - r]);
            tri[j][r] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        tri[j][j] = saved;
    }
    for (int r = 0; r < k; ++r) out[r] = tri[deg][r];
    for (int q = 1; q <= nd; ++q) {
        double *row = out + q * k;
        if (q > deg) {
            for (int r = 0; r < k; ++r) row[r] = 0.0;
            continue;
        }
        // Start from degree deg - q and apply the derivative recurrence
        // N'(i, j) = j (N(i, j-1)/(t[i+j] - t[i]) - N(i+1, j-1)/(t[i+j+1] - t[i+1]))
        // q times.
        double cur[kMaxOrder], next[kMaxOrder];
        for (int r = 0; r <= deg - q; ++r) cur[r] = tri[deg - q][r];
        for (int j = deg - q + 1; j <= deg; ++j) {
            for (int r = 0; r <= j; ++r) {
                const int i = s - j + r;
                const double a = r >= 1 ? cur[r - 1] / (knots[i + j] - knots[i]) : 0.0;
                const double b = r < j ? cur[r] / (knots[i + j + 1] - knots[i + 1]) : 0.0;
                next[r] = j * (a - b);
            }
            std::memcpy(cur, next, sizeof(double) * (j + 1));
        }
        std::memcpy(row, cur, sizeof(double) * k);
    }
}

// ---- equations -------------------------------------------------------------------------

// One equation of the collocation system: the parameter, the derivative order
// (0 for a point) and where its right-hand side comes from (a point index
// below np, else np + condition index).
struct Equation {
    double x;
    double key_x; // the parameter snapped to the knot domain's ends
    int order;
    int key_order;
    int source;
};

inline int condition_order(const Problem &pr, const int *orders, int j) { return pr.ndc > 0 ? orders[j] : 0; }

void list_equations(const Problem &pr, const double *knots, const double *params, const double *cond_params,
                    const int *cond_orders, Equation *eq) {
    const int n = pr.np + pr.ndc;
    const double lo = knots[pr.k - 1], hi = knots[pr.m];
    for (int i = 0; i < n; ++i) {
        Equation &e = eq[i];
        e.source = i;
        e.x = i < pr.np ? params[i] : cond_params[i - pr.np];
        e.order = i < pr.np ? 0 : condition_order(pr, cond_orders, i - pr.np);
        e.key_x = e.x;
        e.key_order = e.order;
        if (std::fabs(e.x - hi) <= kKnotTol) {
            // At the end the highest derivative comes first: its equation
            // reaches furthest to the left.
            e.key_x = hi;
            e.key_order = -e.order;
        } else if (std::fabs(e.x - lo) <= kKnotTol) {
            e.key_x = lo;
        }
    }
}

inline bool equation_before(const Equation &a, const Equation &b) {
    if (a.key_x != b.key_x) return a.key_x < b.key_x;
    if (a.key_order != b.key_order) return a.key_order < b.key_order;
    return a.source < b.source;
}

// Orders the equations of an open curve so that equation i involves control
// point i (no pivoting needed).  The points (eq[0..np-1]) usually come in
// order already: the few conditions are then sorted and merged in from the
// back, in linear time; otherwise everything is sorted.
void sort_equations(Equation *eq, int np, int n) {
    const bool points_in_order = std::is_sorted(eq, eq + np, equation_before);
    if (!points_in_order || n - np > 64) {
        std::sort(eq, eq + n, equation_before);
        return;
    }
    Equation conditions[64];
    const int ndc = n - np;
    std::copy(eq + np, eq + n, conditions);
    std::sort(conditions, conditions + ndc, equation_before);
    int i = np - 1, j = ndc - 1;
    for (int out = n - 1; j >= 0; --out) {
        if (i >= 0 && equation_before(conditions[j], eq[i]))
            eq[out] = eq[i--];
        else
            eq[out] = conditions[j--];
    }
}

// The k coefficients of an equation and the column of the first; false for
// a parameter outside the knots (or a span whose columns fall outside the
// m control points) or a negative derivative order.  *hint, when not null,
// is a span to try first (the previous equation's): equations taken in
// order of their parameters mostly stay in it or move to the next.
bool equation_row(const Problem &pr, const double *knots, double x, int order, bool is_point, int *first,
                  double *values, int *hint = nullptr) {
    const int k = pr.k, m = pr.m, count = m + k;
    if (order < 0) return false;
    const double lo = knots[k - 1], hi = knots[m];
    if (pr.periodic) {
        // Parameters are moved by the period into the knot domain.
        const double period = hi - lo;
        if (!(period > 0.0)) return false;
        if (x < lo || x >= hi) x = lo + (x - lo) - std::floor((x - lo) / period) * period;
        if (x >= hi) x -= period;
    }
    // The end of the domain belongs to the last span.  The span is looked up
    // just below it, but the basis functions are those of the span's
    // polynomial at the parameter itself, so that nothing is evaluated
    // off the parameter.
    int s = -1;
    if (hint && x > lo && x < hi) {
        // Strictly inside the domain the span is the one non-empty span
        // holding x, whichever way it is found.
        for (int h = *hint; h <= *hint + 1 && h < m; ++h)
            if (h >= k - 1 && knots[h] <= x && x < knots[h + 1]) s = h;
    }
    if (s < 0) {
        double probe = x == hi ? std::nextafter(hi, lo) : x;
        s = is_point ? span_of(probe, knots, count, kPointSpanTol) : span_in_range(&probe, knots, count, k);
    }
    if (s < k - 1 || s > m - 1) return false;
    if (hint) *hint = s;
    *first = s - k + 1;
    if (order >= k) {
        for (int r = 0; r < k; ++r) values[r] = 0.0;
        return true;
    }
    double all[kMaxOrder * kMaxOrder];
    basis_all(knots, s, k, x, order, all);
    std::memcpy(values, all + order * k, sizeof(double) * k);
    return true;
}

inline double rhs_value(const Problem &pr, const double *points, const double *cond_values, int source, int c) {
    return source < pr.np ? points[source * pr.dim + c] : cond_values[(source - pr.np) * pr.dim + c];
}

// Fills an open curve's equations into a band of half-width k - 1, through
// put(row, column, value) after clear(row); false when an equation cannot
// be formed or does not fit the band.
template <class Clear, class Put>
bool fill_band(const Problem &pr, const double *knots, const Equation *eq, Clear clear, Put put) {
    const int n = pr.m;
    double values[kMaxOrder];
    int hint = pr.k - 1;
    for (int i = 0; i < n; ++i) {
        int first;
        if (!equation_row(pr, knots, eq[i].x, eq[i].order, eq[i].source < pr.np, &first, values, &hint))
            return false;
        if (first > i || first < i - (pr.k - 1)) return false;
        clear(i);
        for (int r = 0; r < pr.k; ++r) put(i, first + r, values[r]);
    }
    return true;
}

// ---- temporaries -----------------------------------------------------------------------

// The blocks a driver owns; each is released on every way out, an exception
// included (see handle_failure).
struct Temporaries {
    void *blocks[8] = {};
    int count = 0;
    template <class T> T *alloc(size_t n) {
        void *p = SM_alloc(sizeof(T) * (n > 0 ? n : 1));
        blocks[count++] = p;
        return static_cast<T *>(p);
    }
    template <class T> T *zeroed(size_t n) {
        void *p = SM_calloc(n > 0 ? n : 1, sizeof(T));
        blocks[count++] = p;
        return static_cast<T *>(p);
    }
    void release() {
        for (int i = count - 1; i >= 0; --i) SM_free(blocks[i]);
        count = 0;
    }
};

// Row pointers over a rows x columns block.
double **row_pointers(Temporaries &t, int rows, int columns) {
    double *data = t.zeroed<double>(static_cast<size_t>(rows) * columns);
    double **ptr = t.alloc<double *>(rows);
    for (int i = 0; i < rows; ++i) ptr[i] = data + static_cast<size_t>(i) * columns;
    return ptr;
}

bool negative_weight(const Problem &pr, const double *ctrl) {
    if (pr.dim != 4) return false;
    for (int i = 0; i < pr.m; ++i)
        if (ctrl[4 * i + 3] < 0.0) return true;
    return false;
}

// A pivot that vanishes against the size of the matrix.
inline bool vanishing(double pivot, double threshold) { return !(std::fabs(pivot) > threshold); }

// The equations of the m unknowns, ordered by parameter (band order).
Equation *sorted_equations(Temporaries &t, const Problem &pr, const double *knots, const double *params,
                           const double *cond_params, const int *cond_orders) {
    Equation *eq = t.alloc<Equation>(pr.m);
    list_equations(pr, knots, params, cond_params, cond_orders, eq);
    sort_equations(eq, pr.np, pr.m);
    return eq;
}

// Zeroes row i of an n-row band of half-width w in the full (n x n) layout.
void clear_band_row(double **band, int i, int n, int w) {
    for (int j = std::max(0, i - w); j <= std::min(n - 1, i + w); ++j) band[i][j] = 0.0;
}

// ---- the solvers -----------------------------------------------------------------------

int solve_dense(const Problem &pr, const int *descriptor, const double *points, const double *params,
                const double *cond_params, const int *cond_orders, const double *cond_values, const double *knots,
                double *ctrl) {
    const int m = pr.m, dim = pr.dim;
    Temporaries t;
    int status = 0;
    quorm::run_or_clean_up(
        __FILE__, __LINE__,
        [&] {
            double **a = row_pointers(t, m, m);
            double **rhs = row_pointers(t, m, dim);
            int *index = t.alloc<int>(m);
            double *column = t.alloc<double>(m);
            if (h0926(descriptor, knots, params, cond_params, cond_orders, a) != 0) {
                status = -1;
            } else {
                h0927(descriptor, points, cond_values, rhs);
                double big = 0.0;
                for (int i = 0; i < m; ++i)
                    for (int j = 0; j < m; ++j) big = std::max(big, std::fabs(a[i][j]));
                double parity;
                // The decomposition puts 1e-20 in place of a zero pivot and goes
                // on; a vanishing pivot means coincident parameters or conditions
                // that cannot be met, and is reported instead of solved.
                if (ludcmp_a(a, m, index, &parity) != 0) status = 1;
                const double threshold = m * DBL_EPSILON * big;
                for (int j = 0; j < m && status == 0; ++j)
                    if (vanishing(a[j][j], threshold)) status = 1;
                for (int c = 0; c < dim && status == 0; ++c) {
                    for (int i = 0; i < m; ++i) column[i] = rhs[i][c];
                    lubksb_a(a, m, index, column);
                    for (int i = 0; i < m; ++i) ctrl[i * dim + c] = column[i];
                }
                if (status == 0 && negative_weight(pr, ctrl)) status = 1;
            }
        },
        [&] { t.release(); });
    t.release();
    return status;
}

// Open curves with the band storage that reports through the error register.
int solve_banded(const Problem &pr, const double *points, const double *params, const double *cond_params,
                 const int *cond_orders, const double *cond_values, const double *knots, double *ctrl) {
    const int n = pr.m, w = pr.k - 1, dim = pr.dim;
    Temporaries t;
    double **band = nullptr, *vector = nullptr;
    int status = 0;
    quorm::run_or_clean_up(
        __FILE__, __LINE__,
        [&] {
            Equation *eq = sorted_equations(t, pr, knots, params, cond_params, cond_orders);
            msetup_banded(n, w, &band, &vector);
            if (merrorlevel() != 0) {
                merrorflush();
                status = -1;
            } else if (!fill_band(
                           pr, knots, eq,
                           [&](int i) { clear_band_row(band, i, n, w); },
                           [&](int i, int j, double v) { band[i][j] = v; })) {
                status = -1;
            } else {
                mdecompose_banded(band, n, w);
                if (merrorlevel() != 0) {
                    merrorflush();
                    status = 1;
                }
                if (status == 0) {
                    // Every coordinate column is solved in place in ctrl, all of
                    // them in one pass over the factors.
                    for (int i = 0; i < n; ++i)
                        for (int c = 0; c < dim; ++c) ctrl[i * dim + c] = rhs_value(pr, points, cond_values, eq[i].source, c);
                    quorm::banded_solve_columns(band, n, w, ctrl, dim, dim);
                    if (merrorlevel() != 0) {
                        merrorflush();
                        status = 1;
                    }
                }
                if (status == 0 && negative_weight(pr, ctrl)) status = 1;
            }
        },
        [&] {
            mdispose_banded(&band, &vector);
            t.release();
        });
    mdispose_banded(&band, &vector);
    t.release();
    return status;
}

#if QUORM_FULL_BUILD
// Open curves with the compact band LU with partial pivoting.
int solve_compact(const Problem &pr, const double *points, const double *params, const double *cond_params,
                  const int *cond_orders, const double *cond_values, const double *knots, double *ctrl) {
    const int n = pr.m, w = pr.k - 1, dim = pr.dim, width = 2 * w + 1;
    Temporaries t;
    int status = 0;
    quorm::run_or_clean_up(
        __FILE__, __LINE__,
        [&] {
            Equation *eq = sorted_equations(t, pr, knots, params, cond_params, cond_orders);
            double **packed = row_pointers(t, n, width);
            double **lower = row_pointers(t, n, std::max(w, 1));
            int *index = t.alloc<int>(n);
            double *column = t.alloc<double>(n);
            if (!fill_band(
                    pr, knots, eq, [&](int i) { std::fill(packed[i], packed[i] + width, 0.0); },
                    [&](int i, int j, double v) { packed[i][j - i + w] = v; })) {
                status = -1;
            } else {
                double big = 0.0;
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < width; ++j) big = std::max(big, std::fabs(packed[i][j]));
                double parity;
                bandec(packed, n, w, w, lower, index, &parity);
                const double threshold = n * DBL_EPSILON * big;
                for (int i = 0; i < n && status == 0; ++i)
                    if (packed[i][0] == QUORM_BANDED_ZERO_PIVOT || vanishing(packed[i][0], threshold)) status = 1;
                for (int c = 0; c < dim && status == 0; ++c) {
                    for (int i = 0; i < n; ++i) column[i] = rhs_value(pr, points, cond_values, eq[i].source, c);
                    banbks(packed, n, w, w, lower, index, column);
                    for (int i = 0; i < n; ++i) ctrl[i * dim + c] = column[i];
                }
                if (status == 0 && negative_weight(pr, ctrl)) status = 1;
            }
        },
        [&] { t.release(); });
    t.release();
    return status;
}
#endif

// ---- knot placement ----------------------------------------------------------------------

inline bool nondecreasing(const double *v, int n) {
    for (int i = 1; i < n; ++i)
        if (!(v[i] >= v[i - 1])) return false;
    return true;
}

// Sorts v[0..n-1] whose first `sorted` values are in order already: a short
// tail is sorted and merged in from the back in linear time.
void merge_sorted_tail(double *v, int sorted, int n) {
    const int tail = n - sorted;
    if (tail > 64) {
        std::sort(v, v + n);
        return;
    }
    double extra[64];
    std::copy(v + sorted, v + n, extra);
    std::sort(extra, extra + tail);
    int i = sorted - 1, j = tail - 1;
    for (int out = n - 1; j >= 0; --out) {
        if (i >= 0 && v[i] > extra[j])
            v[out] = v[i--];
        else
            v[out] = extra[j--];
    }
}

// The sites: point parameters merged in order with the condition
// parameters, each condition within kKnotTol of a point parameter taking it.
void make_sites(const Problem &pr, const double *params, const double *cond_params, double *sites) {
    std::memcpy(sites, params, sizeof(double) * pr.np);
    for (int j = 0; j < pr.ndc; ++j) {
        double x = cond_params[j];
        const double *hit = std::lower_bound(params, params + pr.np, x - kKnotTol);
        if (hit != params + pr.np && std::fabs(*hit - x) <= kKnotTol) x = *hit;
        sites[pr.np + j] = x;
    }
    merge_sorted_tail(sites, pr.np, pr.np + pr.ndc);
}

// Several conditions at an end parameter make averaged knots fall on that
// end, where they would raise its multiplicity beyond the order.  Such knots
// are spread evenly between the end and the nearest interior knot that is
// clear of it (or the other end).
void spread_end_knots(double *inner, int count, double lo, double hi) {
    int at_lo = 0, at_hi = 0;
    while (at_lo < count && inner[at_lo] <= lo + kKnotTol) ++at_lo;
    while (at_hi < count - at_lo && inner[count - 1 - at_hi] >= hi - kKnotTol) ++at_hi;
    const double after_lo = at_lo < count - at_hi ? inner[at_lo] : hi;
    const double before_hi = at_hi < count - at_lo ? inner[count - 1 - at_hi] : lo;
    for (int j = 0; j < at_lo; ++j) inner[j] = lo + (after_lo - lo) * (j + 1) / (at_lo + 1);
    for (int j = 0; j < at_hi; ++j) inner[count - 1 - j] = hi - (hi - before_hi) * (j + 1) / (at_hi + 1);
}

inline int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int build_knots(const Problem &pr, const double *params, const double *cond_params, double *knots) {
    const int n = pr.np + pr.ndc, k = pr.k, m = pr.m;
    if (!nondecreasing(params, pr.np)) return -1;
    for (int j = 0; j < pr.ndc; ++j)
        if (!std::isfinite(cond_params[j])) return -1;
    Temporaries t;
    try {
        double *s = t.alloc<double>(n);
        make_sites(pr, params, cond_params, s);
        int status = 0;
        if (!pr.periodic) {
            if (m < k || !(s[n - 1] - s[0] > kKnotTol)) {
                status = -1;
            } else if (k == 1) {
                knots[0] = s[0];
                for (int j = 1; j < m; ++j) knots[j] = 0.5 * (s[j - 1] + s[j]);
                knots[m] = s[m - 1];
            } else {
                for (int i = 0; i < k; ++i) {
                    knots[i] = s[0];
                    knots[m + i] = s[m - 1];
                }
                for (int j = 1; j <= m - k; ++j) {
                    double sum = 0.0;
                    for (int l = 0; l < k - 1; ++l) sum += s[j + l];
                    knots[k - 1 + j] = sum / (k - 1);
                }
                spread_end_knots(knots + k, m - k, s[0], s[m - 1]);
            }
        } else {
            const int np = pr.np;
            const double a = params[0], b = np > 1 ? params[np - 1] : params[0];
            const double closing = np > 1 ? 0.5 * ((params[1] - params[0]) + (params[np - 1] - params[np - 2])) : 0.0;
            const int mu = k - pr.p; // multiplicity of the closure
            bool ok = np >= 2 && closing > kKnotTol && n >= mu;
            for (int j = 0; j < pr.ndc && ok; ++j)
                ok = cond_params[j] >= a - kKnotTol && cond_params[j] <= b + kKnotTol;
            if (!ok) {
                status = -1;
            } else {
                const double period = b - a + closing;
                // Site i of the periodic extension.
                auto site = [&](int i) { return s[i - floor_div(i, n) * n] + floor_div(i, n) * period; };
                // One period of knots, L[0..n-1], starting at the closure.
                double *L = t.alloc<double>(n);
                if (k == 1) {
                    for (int j = 0; j < n; ++j) L[j] = 0.5 * (site(j - 1) + site(j));
                } else if (mu == 1) {
                    const int h = (k - 1) / 2;
                    for (int j = 0; j < n; ++j) {
                        double sum = 0.0;
                        for (int l = 0; l < k - 1; ++l) sum += site(j - h + l);
                        L[j] = sum / (k - 1);
                    }
                } else {
                    for (int j = 0; j < mu; ++j) L[j] = s[0];
                    for (int j = 1; j <= n - mu; ++j) {
                        double sum = 0.0;
                        for (int l = 0; l < mu; ++l) sum += s[j + l];
                        L[mu - 1 + j] = sum / mu;
                    }
                }
                for (int i = 0; i < m + k; ++i) {
                    const int off = i - pr.p, q = floor_div(off, n);
                    knots[i] = L[off - q * n] + q * period;
                }
            }
        }
        t.release();
        return status;
    } catch (...) {
        t.release();
        throw;
    }
}

// The equations of an open curve in band form, ordered by parameter: clear(i,
// n, w) empties row i of an n-row band of half-width w, put(i, j, w, v) sets
// element (i, j).  The two band layouts differ only in these two functions.
template <class Clear, class Put>
int band_equations(const int *descriptor, const double *knots, const double *params, const double *cond_params,
                   const int *cond_orders, Clear clear, Put put) {
    Problem pr;
    if (!read_problem(descriptor, &pr) || pr.periodic) return -1;
    const int n = pr.m, w = pr.k - 1;
    Temporaries t;
    bool ok = false;
    quorm::run_or_clean_up(
        __FILE__, __LINE__,
        [&] {
            Equation *eq = sorted_equations(t, pr, knots, params, cond_params, cond_orders);
            ok = fill_band(
                pr, knots, eq, [&](int i) { clear(i, n, w); }, [&](int i, int j, double v) { put(i, j, w, v); });
        },
        [&] { t.release(); });
    t.release();
    return ok ? 0 : -1;
}

} // namespace

extern "C" {

// ---- spans and basis functions ------------------------------------------------------

QUORM_API int h0917(double x, const double *knots, int count, double tol) { return span_of(x, knots, count, tol); }

QUORM_API int h0917x(double x, const double *knots, int count, int k, double tol) {
    if (k >= 1 && k <= count && x == knots[count - k]) x -= kEndShift;
    return span_of(x, knots, count, tol);
}

QUORM_API int h0918(double *x, const double *knots, int count, int k) {
    if (k < 1 || 2 * k > count) return -1;
    return span_in_range(x, knots, count, k);
}

QUORM_API int h0916(int count, const double *knots, int j, int k, double x, int d, double *out) {
    if (k < 1 || k > kMaxOrder || j < 0 || j + k > count - 1) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT,
                        "h0916: basis function %d of order %d outside %d knots", j, k, count);
        for (int r = 0; r <= d; ++r) out[r] = 0.0;
        return -1;
    }
    if (d < 0) return 0;
    // Derivatives of order k and above vanish: every one of them is zeroed.
    if (d >= k) {
        for (int r = k; r <= d; ++r) out[r] = 0.0;
        d = k - 1;
    }
    if (std::fabs(x - knots[count - 1]) <= kKnotTol) x = knots[count - 1] - kKnotTol;
    const double *t = knots + j;
    // rows[q][i]: function i of the current order in row q (derivative q).
    double rows[kMaxOrder][kMaxOrder];
    for (int i = 0; i < k; ++i) {
        const double indicator = (t[i] <= x && x < t[i + 1]) ? 1.0 : 0.0;
        for (int q = 0; q <= d; ++q) rows[q][i] = indicator;
    }
    for (int r = 2; r <= k; ++r) {
        for (int q = 0; q <= d; ++q) {
            // The last q levels are differentiation steps.
            const bool differentiate = r > k - q;
            const double c = 2.0 * k - r - q;
            double *row = rows[q];
            for (int i = 0; i + r <= k; ++i) {
                const double dl = t[i + r - 1] - t[i], dr = t[i + r] - t[i + 1];
                const double wl = dl > kKnotTol ? row[i] / dl : 0.0;
                const double wr = dr > kKnotTol ? row[i + 1] / dr : 0.0;
                row[i] = differentiate ? c * (wl - wr) : (x - t[i]) * wl + (t[i + r] - x) * wr;
            }
        }
    }
    for (int q = 0; q <= d; ++q) out[q] = rows[q][0];
    return 0;
}

// ---- matrices and right-hand sides ----------------------------------------------------

QUORM_API int h0926(const int *descriptor, const double *knots, const double *params, const double *cond_params,
                    const int *cond_orders, double **matrix) {
    Problem pr;
    if (!read_problem(descriptor, &pr)) return -1;
    const int m = pr.m, k = pr.k;
    for (int i = 0; i < m; ++i) std::fill(matrix[i], matrix[i] + m, 0.0);
    double values[kMaxOrder];
    for (int i = 0; i < pr.np + pr.ndc; ++i) {
        const bool is_point = i < pr.np;
        const double x = is_point ? params[i] : cond_params[i - pr.np];
        const int order = is_point ? 0 : condition_order(pr, cond_orders, i - pr.np);
        int first;
        if (!equation_row(pr, knots, x, order, is_point, &first, values)) return -1;
        for (int r = 0; r < k; ++r) matrix[i][first + r] = values[r];
    }
    for (int i = 0; i < pr.p; ++i) {
        matrix[pr.np + pr.ndc + i][i] = 9.0;
        matrix[pr.np + pr.ndc + i][m - pr.p + i] = -9.0;
    }
    return 0;
}

QUORM_API int h0926a(const int *descriptor, const double *knots, const double *params, const double *cond_params,
                     const int *cond_orders, double **band) {
    return band_equations(
        descriptor, knots, params, cond_params, cond_orders,
        [&](int i, int n, int w) { clear_band_row(band, i, n, w); },
        [&](int i, int j, int, double v) { band[i][j] = v; });
}

#if QUORM_FULL_BUILD
QUORM_API int h0926a2(const int *descriptor, const double *knots, const double *params, const double *cond_params,
                      const int *cond_orders, double **packed) {
    return band_equations(
        descriptor, knots, params, cond_params, cond_orders,
        [&](int i, int, int w) { std::fill(packed[i], packed[i] + 2 * w + 1, 0.0); },
        [&](int i, int j, int w, double v) { packed[i][j - i + w] = v; });
}
#endif

QUORM_API void h0927(const int *descriptor, const double *points, const double *cond_values, double **rhs) {
    Problem pr;
    if (!read_problem(descriptor, &pr)) return;
    for (int i = 0; i < pr.m; ++i)
        for (int c = 0; c < pr.dim; ++c)
            rhs[i][c] = i < pr.np + pr.ndc ? rhs_value(pr, points, cond_values, i, c) : 0.0;
}

// ---- knot vectors ---------------------------------------------------------------------------

QUORM_API int knot_seq_order_4(const int *descriptor, const double *params, const double *cond_params,
                               int *knot_count, double *knots) {
    Problem pr;
    if (!read_problem(descriptor, &pr) || pr.k != 4 || pr.np < 2) return -1;
    const int np = pr.np;
    const double a = params[0], b = params[np - 1];
    if (!nondecreasing(params, np) || !(b - a > kKnotTol)) return -1;
    int at_start = 0, at_end = 0, interior = 0;
    for (int j = 0; j < pr.ndc; ++j) {
        const double x = cond_params[j];
        if (std::fabs(x - a) <= kKnotTol)
            ++at_start;
        else if (std::fabs(x - b) <= kKnotTol)
            ++at_end;
        else if (x > a && x < b)
            ++interior;
        else
            return -1;
    }
    if (at_start == 0 || at_end == 0) return -1;
    // Four end knots each side, the inner point parameters, and one knot for
    // every condition beyond the first at each end: m + 4 knots.
    const int inner = (np - 2) + interior + (at_start - 1) + (at_end - 1);
    Temporaries t;
    try {
        double *mid = t.alloc<double>(inner);
        int c = 0;
        for (int i = 1; i < np - 1; ++i) mid[c++] = params[i];
        for (int j = 0; j < pr.ndc; ++j) {
            const double x = cond_params[j];
            if (std::fabs(x - a) > kKnotTol && std::fabs(x - b) > kKnotTol) mid[c++] = x;
        }
        for (int j = 1; j < at_start; ++j) mid[c++] = a + (params[1] - a) * j / at_start;
        for (int j = 1; j < at_end; ++j) mid[c++] = b - (b - params[np - 2]) * j / at_end;
        merge_sorted_tail(mid, np - 2, inner);
        int count = 0;
        for (int i = 0; i < 4; ++i) knots[count++] = a;
        for (int i = 0; i < inner; ++i) knots[count++] = mid[i];
        for (int i = 0; i < 4; ++i) knots[count++] = b;
        if (pr.periodic) {
            // Three more knots at each end, repeating the other end's
            // interval lengths.
            const int last = count - 1;
            std::memmove(knots + 3, knots, sizeof(double) * count);
            for (int i = 1; i <= 3; ++i) {
                knots[3 - i] = knots[3] - (knots[3 + last] - knots[3 + last - i]);
                knots[3 + last + i] = knots[3 + last] + (knots[3 + i] - knots[3]);
            }
            count += 6;
        }
        *knot_count = count;
        t.release();
        return 0;
    } catch (...) {
        t.release();
        throw;
    }
}

QUORM_API int h0914(const int *descriptor, const double *params, const double *cond_params, int *knot_count,
                    double *knots) {
    Problem pr;
    if (!read_problem(descriptor, &pr)) return -1;
    if (build_knots(pr, params, cond_params, knots) != 0) return -1;
    *knot_count = pr.m + pr.k;
    return 0;
}

// ---- interpolation drivers --------------------------------------------------------------

QUORM_API int h0913a(const int *descriptor, const double *points, const double *params, const double *cond_params,
                     const int *cond_orders, const double *cond_values, const double *knots, double *ctrl) {
    Problem pr;
    if (!read_problem(descriptor, &pr) || pr.periodic) return -1;
    return solve_banded(pr, points, params, cond_params, cond_orders, cond_values, knots, ctrl);
}

#if QUORM_FULL_BUILD
QUORM_API int h0913a2(const int *descriptor, const double *points, const double *params, const double *cond_params,
                      const int *cond_orders, const double *cond_values, const double *knots, double *ctrl) {
    Problem pr;
    if (!read_problem(descriptor, &pr) || pr.periodic) return -1;
    return solve_compact(pr, points, params, cond_params, cond_orders, cond_values, knots, ctrl);
}
#endif

QUORM_API int h0913b(const int *descriptor, const double *points, const double *params, const double *cond_params,
                     const int *cond_orders, const double *cond_values, const double *knots, double *ctrl) {
    Problem pr;
    if (!read_problem(descriptor, &pr)) return -1;
    if (pr.periodic || descriptor[5] != 0 || descriptor[6] != 0)
        return solve_dense(pr, descriptor, points, params, cond_params, cond_orders, cond_values, knots, ctrl);
    const int reduced[8] = {descriptor[0], descriptor[1], 0, descriptor[3], descriptor[4], 0, 0, descriptor[7]};
    return h0913a(reduced, points, params, cond_params, cond_orders, cond_values, knots, ctrl);
}

QUORM_API int h0913(const int *descriptor, const double *points, const double *params, const double *cond_params,
                    const int *cond_orders, const double *cond_values, int *knot_count, double *knots,
                    double *ctrl) {
    const int full[8] = {descriptor[0], descriptor[1], descriptor[2], descriptor[3],
                         descriptor[4], descriptor[5], 0,             descriptor[6]};
    Problem pr;
    *knot_count = 0;
    if (!read_problem(full, &pr)) return -1;
    int count = 0, built;
    const bool ends_conditioned = pr.k == 4 && !pr.periodic && pr.ndc > 0 &&
                                  std::fabs(cond_params[0] - params[0]) <= kKnotTol &&
                                  std::fabs(cond_params[pr.ndc - 1] - params[pr.np - 1]) <= kKnotTol;
    if (ends_conditioned)
        built = knot_seq_order_4(full, params, cond_params, &count, knots);
    else
        built = h0914(full, params, cond_params, &count, knots);
    if (built != 0) return -1;
    *knot_count = count;
    if (!pr.periodic) return solve_banded(pr, points, params, cond_params, cond_orders, cond_values, knots, ctrl);
    return solve_dense(pr, full, points, params, cond_params, cond_orders, cond_values, knots, ctrl);
}

// ---- scalar cubic with estimated end slopes ------------------------------------------------

QUORM_API void h553(const double p0[3], const double p1[3], const double p2[3], const double *t0, const double *t1,
                    const double *t2, const int *selector, double tangent[3]) {
    const double h0 = *t1 - *t0, h1 = *t2 - *t1;
    for (int c = 0; c < 3; ++c) {
        const double s0 = (p1[c] - p0[c]) / h0, s1 = (p2[c] - p1[c]) / h1;
        const double mid = (h1 * s0 + h0 * s1) / (h0 + h1);
        if (*selector == 2)
            tangent[c] = mid;
        else if (*selector == 3)
            tangent[c] = 0.5 * (3.0 * s1 - mid);
        else
            tangent[c] = 0.5 * (3.0 * s0 - mid);
    }
}

QUORM_API int h0925(const int *np, const double *y, const double *params, int *count, double *ctrl, double *knots) {
    const int n = *np;
    *count = 0;
    if (n < 2) return -1;
    double slopes[2];
    if (n == 2) {
        // Two points: the straight line.
        slopes[0] = slopes[1] = (y[1] - y[0]) / (params[1] - params[0]);
    } else {
        const double a0[3] = {y[0], 0, 0}, a1[3] = {y[1], 0, 0}, a2[3] = {y[2], 0, 0};
        const double b0[3] = {y[n - 3], 0, 0}, b1[3] = {y[n - 2], 0, 0}, b2[3] = {y[n - 1], 0, 0};
        const int start = 1, end = 3;
        double ts[3], te[3];
        h553(a0, a1, a2, &params[0], &params[1], &params[2], &start, ts);
        h553(b0, b1, b2, &params[n - 3], &params[n - 2], &params[n - 1], &end, te);
        slopes[0] = ts[0];
        slopes[1] = te[0];
    }
    // The first parameter three times, the parameters, the last three times.
    const double first = params[0], last = params[n - 1];
    for (int i = 0; i < 3; ++i) {
        knots[i] = first;
        knots[n + 3 + i] = last;
    }
    std::memcpy(knots + 3, params, sizeof(double) * n);
    const int descriptor[8] = {n, 4, 0, 1, 2, 0, 0, 0};
    const double cond_params[2] = {first, last};
    const int orders[2] = {1, 1};
    *count = n + 2;
    return h0913b(descriptor, y, params, cond_params, orders, slopes, knots, ctrl);
}

} // extern "C"
