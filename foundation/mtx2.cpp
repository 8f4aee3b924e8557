// 2-D frames.
#include "foundation/quorm_internal.h"

#include <cmath>

extern "C" {

QUORM_API int MTX2_init(const VEC2_s *x, const VEC2_s *y, MTX2_s *out) {
    double length;
    VEC2_s xu, yu;
    if (!VEC2_unitize(x, 1e-10, &length, &xu) || !VEC2_unitize(y, 1e-10, &length, &yu)) return 0;
    // Written so that a NaN fails the test.
    if (!(std::fabs(xu.x * yu.x + xu.y * yu.y) <= 1e-10)) return 0;
    *out = MTX2_s{{xu.x, xu.y, yu.x, yu.y}};
    return 1;
}

} // extern "C"
