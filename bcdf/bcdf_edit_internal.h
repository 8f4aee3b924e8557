// Private helpers shared by the editing (bcdf_gen) and calculation
// (bcdf_calc) sources of the curve defining data (not installed).
#ifndef QUORM_BCDF_EDIT_INTERNAL_H
#define QUORM_BCDF_EDIT_INTERNAL_H

#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <quorm/bcdf_calc.h>
#include <quorm/bcdf_gen.h>
#include <quorm/dgeom.h>
#include <quorm/kernel_knot.h>

#include <cmath>

namespace quorm_bcdf {

// Two parameters are the same when they differ by at most this much.
constexpr double kParamTol = 1e-10;
// Vectors shorter than this have no direction.
constexpr double kNullLength = 1e-10;


inline int count(const PNTLST_s *list) { return list ? list->num_points : 0; }
inline int num_points(const BCDF_s *b) { return count(b->points); }
inline const double *params(const BCDF_s *b) { return b->params ? b->params->points : nullptr; }
inline bool is_periodic(const BCDF_s *b) { return b->periodicity == 1; }

// Cartesian position of point i (read without checks: callers have checked
// the position).
inline void cart_point(const BCDF_s *b, int i, double out[3]) {
    const PNTLST_s *p = b->points;
    const double *c = p->points + static_cast<size_t>(i) * p->dimension;
    if (p->dimension == 4) {
        out[0] = c[0] / c[3];
        out[1] = c[1] / c[3];
        out[2] = c[2] / c[3];
    } else {
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
    }
}

// First three components of entry i of a vector list.
inline const double *vec_at(const PNTLST_s *list, int i) {
    return list->points + static_cast<size_t>(i) * list->dimension;
}

inline double length3(const double *v) { return std::sqrt(quorm::length2(v)); }

} // namespace quorm_bcdf

#endif
