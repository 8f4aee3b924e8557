// Point lists and curve defining data: random editing sequences with bad
// positions and counts.  A point list is followed by a plain model of its
// contents; a defining-data record must keep its invariants after every
// call (raised errors included), and nothing may leak.
#include "fuzz_input.h"

#include <quorm/bcdf_calc.h>
#include <quorm/bcdf_gen.h>

#include <vector>

namespace {

int count(const PNTLST_s *l) { return l ? l->num_points : 0; }

// The record's invariants: nondecreasing parameters, one per point, a closing
// point equal to the first on periodic records, attached vectors with
// matching parameter and type lists, each on a point parameter.
void check_record(const BCDF_s *b, bool &had_coincident) {
    const PNTLST_s *p = b->points;
    if (count(p) == 0) { // every point removed: nothing stays attached
        FUZZ_CHECK(count(b->params) == 0 && count(b->slopes) == 0 && count(b->crvatrs) == 0);
        return;
    }
    FUZZ_CHECK(p->dimension == 3 || p->dimension == 4);
    const int n = p->num_points;
    FUZZ_CHECK(count(b->params) == n);
    const double *t = b->params->points;
    // Nondecreasing: a point moved onto its neighbour shares its parameter
    // (finding such points is left to the record's validation).
    bool coincident = false;
    for (int i = 1; i < n; ++i) {
        FUZZ_CHECK(t[i] >= t[i - 1]);
        coincident |= t[i] - t[i - 1] <= 1e-10; // the matching tolerance of attached vectors
    }
    FUZZ_CHECK(!b->weights || count(b->weights) == n);
    if (b->periodicity == 1 && n > 1)
        FUZZ_CHECK(std::memcmp(p->points, p->points + (n - 1) * p->dimension, sizeof(double) * p->dimension) == 0);
    FUZZ_CHECK(!b->constraint_types || SM_length(b->constraint_types) >= n * sizeof(int));
    struct G {
        const PNTLST_s *v, *pars;
        const int *types;
    } groups[] = {{b->slopes, b->slope_pars, b->slope_types},
                  {b->crvatrs, b->crvatr_pars, b->crvatr_types},
#if QUORM_FULL_BUILD
                  {b->crvatr_derivs, b->crvatr_deriv_pars, b->crvatr_deriv_types}
#endif
    };
    // Vectors attached to coincident points cannot be told apart by their
    // parameters (the record's validation reports such points), and stay
    // doubled when the points part again: once a record had them, only the
    // counts above are checked.
    had_coincident |= coincident;
    if (had_coincident) return;
    for (const G &g : groups) {
        if (!g.v) {
            FUZZ_CHECK(!g.pars && !g.types);
            continue;
        }
        const int m = g.v->num_points;
        if (std::getenv("FUZZ_TRACE"))
            for (int k = 0; k < count(g.pars); ++k) std::fprintf(stderr, "group %d par %.17g\n", int(&g - groups), g.pars->points[k]);
        FUZZ_CHECK(m >= 1 && m <= n && g.v->dimension >= 3 && g.pars && g.types && count(g.pars) == m);
        FUZZ_CHECK(SM_length(g.types) >= m * sizeof(int));
        int j = 0;
        for (int k = 0; k < m; ++k) {
            const double u = g.pars->points[k];
            if (k > 0) FUZZ_CHECK(u > g.pars->points[k - 1]);
            while (j < n && t[j] < u - 1e-10) ++j;
            FUZZ_CHECK(j < n && std::fabs(t[j] - u) <= 1e-10);
        }
    }
}

// A point list against a model under insert/replace/remove/append.
void edit_list(fuzz::Input &in) {
    const int dim = in.range(1, 4);
    PNTLST_s *l = PNTLST_allocate_struct(dim, in.range(1, 4));
    std::vector<double> model;
    double src[4 * 8];
    for (int step = 0; step < 24 && !in.empty(); ++step) {
        const int n = l->num_points, op = in.range(0, 5), pos = in.range(-2, n + 2), cnt = in.range(-1, 8);
        for (double &v : src) v = in.range(-100, 100);
        const bool ok = fuzz::run([&] {
            switch (op) {
            case 0: PNTLST_insert_points(l, cnt, pos, src); break;
            case 1: PNTLST_replace_points(l, cnt, pos, src); break;
            case 2: PNTLST_remove_points(l, pos, cnt); break;
            case 3: PNTLST_concat_one_point(l, src); break;
            case 4: PNTLST_allocate_points(l, in.range(-1, 12)); break;
            default: {
                double out[4];
                PNTLST_copy_single_point(l, pos, out);
                if (pos >= 0 && pos < n) FUZZ_CHECK(std::memcmp(out, &model[pos * dim], sizeof(double) * dim) == 0);
            }
            }
        });
        // What a valid call does to the contents; an invalid one changes nothing.
        if (ok) switch (op) {
            case 0:
                if (cnt > 0 && pos >= 0 && pos <= n) model.insert(model.begin() + pos * dim, src, src + cnt * dim);
                break;
            case 1:
                if (cnt > 0 && pos >= 0 && pos + cnt <= n) std::copy(src, src + cnt * dim, model.begin() + pos * dim);
                break;
            case 2: // a count of every point empties the list wherever it starts
                if (cnt > 0 && cnt == n)
                    model.clear();
                else if (cnt > 0 && pos >= 0 && pos + cnt <= n) model.erase(model.begin() + pos * dim, model.begin() + (pos + cnt) * dim);
                break;
            case 3: model.insert(model.end(), src, src + dim); break;
            case 4: model.resize(static_cast<size_t>(l->num_points) * dim); break;
            }
        FUZZ_CHECK(l->num_points >= 0 && l->num_points <= l->max_points);
        FUZZ_CHECK(static_cast<size_t>(l->num_points) * dim == model.size());
        FUZZ_CHECK(model.empty() || std::memcmp(l->points, model.data(), sizeof(double) * model.size()) == 0);
    }
    PNTLST_s *copy = PNTLST_copy_structure(l);
    FUZZ_CHECK(copy && copy->num_points == l->num_points);
    PNTLST_free_structure(copy);
    PNTLST_free_structure(l);
}

BCDF_s *make_record(fuzz::Input &in) {
    const int n = in.range(1, 10), dim = in.flag() ? 4 : 3;
    double *c = static_cast<double *>(SM_alloc(sizeof(double) * n * dim));
    double x = 0.0;
    for (int i = 0; i < n; ++i) {
        x += in.range(1, 8) / 4.0;
        const double w = dim == 4 ? in.range(1, 8) / 4.0 : 1.0;
        c[i * dim] = x * w;
        c[i * dim + 1] = in.range(-8, 8) / 4.0 * w;
        // Awkward but small heights: chord-length parameters of points whose
        // coordinates differ by sixteen orders of magnitude cannot increase.
        double z = in.flag() ? in.number() : in.range(-8, 8) / 4.0;
        if (!(std::fabs(z) <= 1e6)) z = 0.0;
        c[i * dim + 2] = z * w;
        if (dim == 4) c[i * dim + 3] = w;
    }
    BCDF_s *b = nullptr;
    const int ls = in.flag();
    if (!fuzz::run([&] { b = BCDF_create_df_from_pts(c, n, dim, ls); })) SM_free(c);
    return b;
}

void edit_record(fuzz::Input &in) {
    BCDF_s *b = make_record(in);
    if (!b) return;
    if (std::getenv("FUZZ_TRACE"))
        for (int i = 0; i < b->points->num_points; ++i)
            std::fprintf(stderr, "point %g %g %g  t %g\n", b->points->points[i * b->points->dimension],
                         b->points->points[i * b->points->dimension + 1], b->points->points[i * b->points->dimension + 2],
                         b->params ? b->params->points[i] : -1.0);
    bool had_coincident = false;
    check_record(b, had_coincident);
    for (int step = 0; step < 24 && !in.empty(); ++step) {
        const int np = count(b->points), op = in.range(0, 19);
        const int pos = in.range(-2, np + 1), cnt = in.range(-1, 4), type = in.range(-1, 6);
        double v[4] = {in.range(-8, 8) / 4.0, in.range(-8, 8) / 4.0, in.range(-8, 8) / 4.0, in.range(1, 8) / 4.0};
        if (in.range(0, 7) == 0) { // awkward but finite and small: see make_record
            double &c = v[in.range(0, 2)]; // weights stay positive
            c = in.number();
            if (!(std::fabs(c) <= 1e6)) c = 0.0;
        }
        if (std::getenv("FUZZ_TRACE"))
            std::fprintf(stderr, "op %d pos %d count %d type %d v %g %g %g %g (points %d)\n", op, pos, cnt, type, v[0],
                         v[1], v[2], v[3], np);
        fuzz::run([&] {
            switch (op) {
            case 0: BCDF_replace_defining_point(b, v, pos, in.flag() ? 4 : 3); break;
            case 1: BCDF_remove_defining_points(b, pos, cnt); break;
            case 2: BCDF_replace_slope(b, v, pos, type); break;
            case 3: BCDF_change_slope(b, type, v, pos); break;
            case 4: BCDF_replace_curvature(b, v, pos, type); break;
            case 5: BCDF_change_curvature(b, type, v, pos, in.number()); break;
            case 6: BCDF_remove_slopes(b, pos, cnt); break;
            case 7: BCDF_remove_curvatures(b, pos, cnt); break;
#if QUORM_FULL_BUILD
            case 8: BCDF_replace_curvature_deriv(b, v, pos, type); break;
            case 9: BCDF_remove_curvature_derivs(b, pos, cnt); break;
#endif
            case 10: BCDF_toggle_periodicity(b); break;
            case 11: BCDF_convert_to_least_squares(b); break;
            case 12: BCDF_change_order(b, in.range(-1, 30)); break;
            case 13: BCDF_update_slopes(b); break;
            case 14: BCDF_update_curvatures(b); break;
            case 15: BCDF_add_needed_slopes(b); break;
            case 16: BCDF_replace_weight(b, pos, in.number()); break;
            case 17: BCDF_unnormalize_parameters(b, BCDF_normalize_parameters(b)); break;
            case 18: {
                BCDF_s *c = BCDF_copy_structure(b);
                BCDF_free_structure(b);
                b = c;
                break;
            }
            default: BCDF_check_defining_data(b); break;
            }
        });
        if (std::getenv("FUZZ_TRACE"))
            for (int i = 0; i < count(b->params); ++i) std::fprintf(stderr, "t %.17g\n", b->params->points[i]);
        check_record(b, had_coincident);
    }
    BCDF_free_structure(b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const long before = CORVEX_blocks_in_use();
    if (in.flag())
        edit_list(in);
    else
        edit_record(in);
    FUZZ_CHECK(CORVEX_blocks_in_use() == before);
    return 0;
}
