// Lengths and unit vectors for the intersection and construction sources.
//
// These take the plain square root of the sum of squares rather than
// std::hypot: the family's coordinates are far from the range where the
// squares overflow, and hypot's extra care costs more than the rest of a
// short construction.
#ifndef QUORM_ARC_SPLINE_METRIC_H
#define QUORM_ARC_SPLINE_METRIC_H

#include <quorm/records.h>

#include <cmath>

namespace arc_spline {
namespace metric {

inline double norm(const VEC2_s &v) { return std::sqrt(v.x * v.x + v.y * v.y); }
inline double distance(const PNT2_s &a, const PNT2_s &b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Unit vector of v; when |v| <= tol (or v is not a number) *unit is (0, 0),
// *len (if given) 0, and the result is false.
inline bool unit(const VEC2_s &v, double tol, VEC2_s *out, double *len = nullptr) {
    const double l = norm(v);
    if (!(l > tol)) {
        *out = VEC2_s{0.0, 0.0};
        if (len) *len = 0.0;
        return false;
    }
    *out = VEC2_s{v.x / l, v.y / l};
    if (len) *len = l;
    return true;
}

} // namespace metric
} // namespace arc_spline

#endif
