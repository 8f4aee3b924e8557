// The settings block shared with the host, and its accessors.
#include "foundation/quorm_internal.h"

#include <cstddef>
#include <type_traits>

extern "C" {

QUORM_API acom_s acom;
QUORM_API PXSFACTYP pxsfac;

QUORM_API double ACOM_ask_MEC(void) { return acom.model_scale; }

} // extern "C"

// The host compiles against the same declaration: pin the layout.
static_assert(std::is_standard_layout<acom_s>::value, "acom_s must stay a plain block");
static_assert(offsetof(acom_s, v6054_z) == 0, "acom_s");
static_assert(offsetof(acom_s, model_scale) == 8, "acom_s");
static_assert(offsetof(acom_s, name_char_size) == 16, "acom_s");
static_assert(offsetof(acom_s, eq_tol) == 24, "acom_s");
static_assert(offsetof(acom_s, wcs_matrix) == 88, "acom_s");
static_assert(offsetof(acom_s, wcs_origin) == 160, "acom_s");
static_assert(offsetof(acom_s, zevhost) == 312, "acom_s");
static_assert(offsetof(acom_s, pending_display_count) == 568, "acom_s");
static_assert(offsetof(acom_s, pending_display) == 572, "acom_s");
static_assert(offsetof(acom_s, system_color) == 2620, "acom_s");
static_assert(offsetof(acom_s, in_trell) == 2660, "acom_s");
static_assert(offsetof(acom_s, host_wcs_state) + sizeof(acom.host_wcs_state) - offsetof(acom_s, in_trell) ==
                  21 * sizeof(int),
              "sys10 clears 21 ints from in_trell");
static_assert(offsetof(acom_s, mesw) == 2744, "acom_s");
static_assert(offsetof(acom_s, host_b120a) == 2756, "acom_s");
static_assert(sizeof(acom_s) == 2840, "acom_s size");
static_assert(sizeof(PXSFACTYP) == 2 * sizeof(double), "PXSFACTYP");
