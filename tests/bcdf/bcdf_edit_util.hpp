// Records for the editing and calculation tests of the curve defining data,
// and the checker of a record's invariants.
#ifndef QUORM_TEST_BCDF_EDIT_UTIL_HPP
#define QUORM_TEST_BCDF_EDIT_UTIL_HPP

#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>
#include <quorm/bcdf_calc.h>
#include <quorm/bcdf_gen.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace bcdf_test {

// A record over the given points (3 or 4 doubles each), order 4.
inline BCDF_s *make(const std::vector<double> &coords, int dimension = 3, int least_squares = 0) {
    double *c = static_cast<double *>(SM_alloc(coords.size() * sizeof(double)));
    std::memcpy(c, coords.data(), coords.size() * sizeof(double));
    return BCDF_create_df_from_pts(c, static_cast<int>(coords.size()) / dimension, dimension, least_squares);
}

inline PNTLST_s *list(const std::vector<double> &v, int dimension) {
    PNTLST_s *l = PNTLST_allocate_struct(dimension, static_cast<int>(v.size()) / dimension);
    PNTLST_insert_points(l, static_cast<int>(v.size()) / dimension, 0, v.data());
    return l;
}

// BCDF_create_from_pntlst without curvature derivatives, in either build.
inline BCDF_s *create(int periodicity, int order, int least_squares, PNTLST_s *points, PNTLST_s *params,
                      PNTLST_s *weights, PNTLST_s *slopes, PNTLST_s *slope_pars, int *slope_types,
                      PNTLST_s *crvatrs, PNTLST_s *crvatr_pars, int *crvatr_types, int *constraint_types) {
    return BCDF_create_from_pntlst(periodicity, order, least_squares, points, params, weights, slopes, slope_pars,
                                   slope_types, crvatrs, crvatr_pars, crvatr_types,
#if QUORM_FULL_BUILD
                                   nullptr, nullptr, nullptr,
#endif
                                   constraint_types);
}

inline std::vector<double> values(const PNTLST_s *l) {
    if (!l) return {};
    return std::vector<double>(l->points, l->points + static_cast<size_t>(l->num_points) * l->dimension);
}

inline int count(const PNTLST_s *l) { return l ? l->num_points : 0; }

// Code of the library error that f raises, 0 when it returns.
template <class F> int raised(F f) {
    try {
        f();
    } catch (const Kaltor::Error::Exception &e) {
        return e.code();
    }
    return 0;
}

// Empty when the record keeps its invariants, else the first defect found.
inline std::string invariant_defect(const BCDF_s *b) {
    const PNTLST_s *p = b->points;
    if (!p || p->num_points < 1) return "no points";
    if (p->dimension != 3 && p->dimension != 4) return "bad dimension";
    const int n = p->num_points;
    if (count(b->params) != n) return "parameter count";
    const double *t = b->params->points;
    for (int i = 1; i < n; ++i)
        if (!(t[i] > t[i - 1])) return "parameters not increasing at " + std::to_string(i);
    if (b->weights && count(b->weights) != n) return "weight count";
    if (b->periodicity == 1 && n > 1)
        for (int k = 0; k < p->dimension; ++k)
            if (p->points[k] != p->points[(n - 1) * p->dimension + k]) return "closing point differs";
    if (b->constraint_types && SM_length(b->constraint_types) < n * sizeof(int)) return "constraint types short";
    struct G {
        const char *name;
        const PNTLST_s *v, *pars;
        const int *types;
    };
    std::vector<G> groups = {{"slopes", b->slopes, b->slope_pars, b->slope_types},
                             {"curvatures", b->crvatrs, b->crvatr_pars, b->crvatr_types}};
#if QUORM_FULL_BUILD
    groups.push_back({"derivatives", b->crvatr_derivs, b->crvatr_deriv_pars, b->crvatr_deriv_types});
#endif
    for (const G &g : groups) {
        const std::string name = g.name;
        if (!g.v) {
            if (g.pars || g.types) return name + ": partly absent";
            continue;
        }
        const int m = g.v->num_points;
        if (m < 1) return name + ": empty list";
        if (!g.pars || !g.types || count(g.pars) != m) return name + ": counts differ";
        if (SM_length(g.types) < m * sizeof(int)) return name + ": type array short";
        if (g.v->dimension < 3) return name + ": dimension";
        if (m > n) return name + ": more than points";
        int j = 0;
        for (int k = 0; k < m; ++k) {
            const double u = g.pars->points[k];
            if (k > 0 && !(u > g.pars->points[k - 1])) return name + ": not ascending";
            while (j < n && t[j] < u - 1e-10) ++j;
            if (j == n || std::fabs(t[j] - u) > 1e-10) return name + ": entry on no point";
        }
    }
    return "";
}

} // namespace bcdf_test

#endif
