// Axis-aligned boxes (reduced build only).
#include "foundation/quorm_internal.h"

#include <algorithm>

#if QUORM_REDUCED_BUILD
extern "C" {

QUORM_API void BOX3_get_corner_pt3(const BOX3_s *box, int k, Point3 *point) {
    if (k < 0 || k > 7) {
        *point = Point3{0.0, 0.0, 0.0};
        return;
    }
    point->x = (k & 2) ? box->x_max : box->x_min;
    point->y = (k & 4) ? box->y_max : box->y_min;
    point->z = (k & 1) ? box->z_max : box->z_min;
}

QUORM_API void BOX3_expand_with_box(const BOX3_s *a, BOX3_s *b) {
    b->x_min = std::min({b->x_min, a->x_min, a->x_max});
    b->x_max = std::max({b->x_max, a->x_min, a->x_max});
    b->y_min = std::min({b->y_min, a->y_min, a->y_max});
    b->y_max = std::max({b->y_max, a->y_min, a->y_max});
    b->z_min = std::min({b->z_min, a->z_min, a->z_max});
    b->z_max = std::max({b->z_max, a->z_min, a->z_max});
}

} // extern "C"
#endif
