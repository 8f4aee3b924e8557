// Compile-time checks of the record layouts that hosts and stored data rely on.
#include "foundation/quorm_internal.h"

#include <cstddef>
#include <type_traits>

namespace {

template <typename T> constexpr bool plain_record() {
    return std::is_standard_layout<T>::value && std::is_trivially_copyable<T>::value;
}

static_assert(plain_record<PNT2_s>() && sizeof(PNT2_s) == 2 * sizeof(double), "PNT2_s layout");
static_assert(plain_record<VEC2_s>() && sizeof(VEC2_s) == 2 * sizeof(double), "VEC2_s layout");
static_assert(offsetof(PNT2_s, y) == sizeof(double) && offsetof(VEC2_s, y) == sizeof(double), "2-D fields");
static_assert(plain_record<Point3>() && sizeof(Point3) == 3 * sizeof(double), "Point3 layout");
static_assert(plain_record<Vector3>() && sizeof(Vector3) == 3 * sizeof(double), "Vector3 layout");
static_assert(offsetof(Point3, y) == 8 && offsetof(Point3, z) == 16, "Point3 fields");
static_assert(offsetof(Vector3, y) == 8 && offsetof(Vector3, z) == 16, "Vector3 fields");
static_assert(sizeof(MTX2_s) == 4 * sizeof(double), "MTX2_s layout");
static_assert(sizeof(MTX3_s) == 9 * sizeof(double), "MTX3_s layout");
static_assert(sizeof(MTX4_s) == 16 * sizeof(double), "MTX4_s layout");
static_assert(offsetof(PLN3_s, point) == 0 && offsetof(PLN3_s, normal) == 24 && sizeof(PLN3_s) == 48, "PLN3_s");
static_assert(offsetof(CSYS_s, origin) == 0 && offsetof(CSYS_s, matrix) == 24 && sizeof(CSYS_s) == 96, "CSYS_s");
static_assert(sizeof(srfc1_s) == 2 * sizeof(double) && offsetof(srfc1_s, angular_tol) == 8, "srfc1_s");
#if QUORM_REDUCED_BUILD
static_assert(sizeof(BOX3_s) == 6 * sizeof(double), "BOX3_s layout");
static_assert(offsetof(BOX3_s, x_max) == 8 && offsetof(BOX3_s, y_min) == 16 && offsetof(BOX3_s, y_max) == 24 &&
                  offsetof(BOX3_s, z_min) == 32 && offsetof(BOX3_s, z_max) == 40,
              "BOX3_s fields");
#endif

} // namespace
