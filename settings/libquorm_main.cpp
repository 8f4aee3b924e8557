// The settings block shared with the host, and its accessors.
#include "foundation/quorm_internal.h"

#include <cmath>
#include <cstddef>
#include <type_traits>

namespace {

// "Invalid char_size" notes issued so far; they stop after the tenth so that
// a host looping over bad input does not flood the log.
int char_size_notes = 0;
const int max_char_size_notes = 10;

// display_flags bits.
const int view_bounds_bit = 1 << 0;
const int view_names_bit = 1 << 1;
const int not_only_work_view_bit = 1 << 3;
// hatching_flags bit: set while there has never been any hatching.
const int never_any_hatching_bit = 1 << 2;

#if QUORM_FULL_BUILD
bool is_chaining_method(int method) { return method >= 1 && method <= 4; }
#endif

bool is_grid_count(int count) { return count >= 0 && count <= PX_MAX_FACE_GRID_COUNT; }

void set_bit(int &flags, int bit, bool on) { flags = on ? (flags | bit) : (flags & ~bit); }

} // namespace

extern "C" {

QUORM_API acom_s acom;
QUORM_API PXSFACTYP pxsfac;

// ---- Block-wide operations ------------------------------------------------

QUORM_API void sys10(const int *mode) {
    acom.v6054_z = ACOM_UNSET_DOUBLE;
    acom.model_scale = ACOM_UNSET_DOUBLE;
    acom.name_char_size = ACOM_UNSET_DOUBLE;
    for (double &d : acom.host_doubles) d = ACOM_UNSET_DOUBLE;
    acom.application = ACOM_UNSET_INT;
    acom.cu0007 = ACOM_UNSET_INT;
    acom.mesw = ACOM_UNSET_INT;

    // Validated settings get a valid default rather than the unset value, so
    // that their accessors keep working straight after a reset.
    acom.system_color = DISPLAY_MIN_COLOR;
    acom.chaining_method = 1;
    acom.line_font_symbol_display = 1;
    acom.face_grid_counts[0] = 0;
    acom.face_grid_counts[1] = 0;
    acom.display_flags = 0;
    acom.hatching_flags = never_any_hatching_bit;
    acom.decimal_places = 6;

    if (*mode == 1) return;

    // The session's running state: the WCS back to the absolute system, no
    // pending display, not in batch, no cursor view, and the 21 ints from the
    // batch-language flag cleared.
    acom.wcs_matrix = MTX3_s{{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}};
    for (double &d : acom.wcs_origin) d = 0.0;
    acom.pending_display_count = 0;
    acom.batch_mode = 0;
    acom.view_of_last_cursor = DSS_NO_VIEW;
    acom.in_trell = 0;
    acom.fine_tolerance = 0;
    acom.wcs_view_names_skeleton = 0;
    acom.wcs_skeleton = 0;
    acom.wcs_matrix_tag = 0;
    acom.wcs_not_linked = 0;
    acom.wcs_permanent = 0;
    acom.wcs_display = 0;
    acom.wcs_tag = 0;
    for (int &i : acom.host_wcs_state) i = 0;
}

QUORM_API void b120a(void) {
    for (int &i : acom.host_b120a) i = 0;
}

#if QUORM_FULL_BUILD
QUORM_API void LIBQUORM_init_zevhost(void) {
    for (int &i : acom.zevhost) i = 0;
    acom.zevhost[0] = 1;
    acom.zevhost[4] = ACOM_PENDING_DISPLAY_MAX;
    MCS_register_display_fn(nullptr);
}
#endif

QUORM_API void pxsfac_read_pszev(double *a, double *b) {
    *a = pxsfac.second_factor;
    *b = pxsfac.model_to_metres;
}

// ---- Plain values ---------------------------------------------------------

QUORM_API double ACOM_ask_MEC(void) { return acom.model_scale; }

QUORM_API int ACOM_ask_MESW(void) { return acom.mesw; }

QUORM_API bool TRELL_in_batch(void) { return acom.batch_mode == 2; }

QUORM_API int cu0007(void) { return acom.cu0007; }

QUORM_API void cu0008(const int *value) { acom.cu0007 = *value; }

QUORM_API int ACOM_ask_application(void) { return acom.application; }

QUORM_API void ACOM_set_application(int application) { acom.application = application; }

QUORM_API double ACOM_ask_name_display_char_size(void) { return acom.name_char_size; }

QUORM_API void ACOM_set_name_display_char_size(double size) {
    // Written so that a NaN fails the test too; an infinity would poison
    // every text size derived from it.
    if (size >= ACOM_MIN_CHAR_SIZE && std::isfinite(size)) {
        acom.name_char_size = size;
        return;
    }
    if (quorm_checking() && char_size_notes < max_char_size_notes) {
        ++char_size_notes;
        ERROR_note(__FILE__, __LINE__, "Invalid char_size %g\n", size);
    }
}

QUORM_API bool ACOM_ask_ever_any_hatching(void) { return (acom.hatching_flags & never_any_hatching_bit) == 0; }

QUORM_API void ACOM_set_ever_any_hatching(bool any) { set_bit(acom.hatching_flags, never_any_hatching_bit, !any); }

// ---- Display --------------------------------------------------------------

QUORM_API int DISPLAY_ask_system_color(void) {
    QUORM_ASSERT_TEXT(acom.system_color >= DISPLAY_MIN_COLOR, "GCA(6) >= DISPLAY_MIN_COLOR");
    QUORM_ASSERT_TEXT(acom.system_color <= DISPLAY_MAX_COLOR, "GCA(6) <= DISPLAY_MAX_COLOR");
    return acom.system_color;
}

QUORM_API void DISPLAY_set_system_color(int color) {
    QUORM_ASSERT(color >= DISPLAY_MIN_COLOR);
    QUORM_ASSERT(color <= DISPLAY_MAX_COLOR);
    acom.system_color = color;
}

QUORM_API int DISPLAY_ask_view_of_last_cursor(void) { return acom.view_of_last_cursor; }

QUORM_API void DISPLAY_set_view_of_last_cursor(int in_vsn) {
    QUORM_ASSERT(in_vsn != DSS_NO_VIEW);
    acom.view_of_last_cursor = in_vsn;
}

QUORM_API void PX_ask_default_face_grid_counts(int counts[2]) {
    int u = acom.face_grid_counts[0], v = acom.face_grid_counts[1];
    if (quorm_checking()) {
        if (!is_grid_count(u)) ERROR_internal(__FILE__, __LINE__, "Invalid GCA(17) value %d\n", u);
        if (!is_grid_count(v)) ERROR_internal(__FILE__, __LINE__, "Invalid GCA(18) value %d\n", v);
    }
    counts[0] = is_grid_count(u) ? u : 0;
    counts[1] = is_grid_count(v) ? v : 0;
}

QUORM_API void PX_set_default_face_grid_counts(const int counts[2]) {
    // Store first, report after: whether or not the report returns, the block
    // never holds a count out of range.
    int given[2] = {counts[0], counts[1]};
    for (int i = 0; i < 2; ++i) acom.face_grid_counts[i] = is_grid_count(given[i]) ? given[i] : 0;
    if (!quorm_checking()) return;
    for (int i = 0; i < 2; ++i)
        if (!is_grid_count(given[i])) ERROR_internal(__FILE__, __LINE__, "Invalid grid_counts[%d] value %d\n", i, given[i]);
}

#if QUORM_FULL_BUILD
QUORM_API ACOM_chaining_method_t ACOM_ask_chaining_method(void) {
    int method = acom.chaining_method;
    if (is_chaining_method(method)) return static_cast<ACOM_chaining_method_t>(method);
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Invalid GCA(23) value %d\n", method);
    return ACOM_chaining_method_single;
}

QUORM_API void ACOM_set_chaining_method(int method) {
    if (is_chaining_method(method)) {
        acom.chaining_method = method;
        return;
    }
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Invalid chaining_method %d\n", method);
}

QUORM_API bool ACOM_ask_in_trell(void) { return acom.in_trell == 1; }

QUORM_API void ACOM_set_in_trell(bool on) { acom.in_trell = on ? 1 : 0; }

QUORM_API int intrell(void) { return acom.in_trell == 1 ? 1 : 0; }

QUORM_API int ACOM_ask_num_decimal_places_for_display(void) { return acom.decimal_places; }

QUORM_API void ACOM_set_num_decimal_places_for_display(int places) { acom.decimal_places = places; }

QUORM_API bool ACOM_ask_line_font_symbol_display(void) { return acom.line_font_symbol_display == 1; }

QUORM_API void ACOM_set_line_font_symbol_display(bool on) { acom.line_font_symbol_display = on ? 1 : 2; }

QUORM_API bool ACOM_ask_select_only_in_work_view(void) { return (acom.display_flags & not_only_work_view_bit) == 0; }

QUORM_API void ACOM_set_select_only_in_work_view(bool on) { set_bit(acom.display_flags, not_only_work_view_bit, !on); }

QUORM_API bool DISPLAY_ask_view_bounds_display(void) { return (acom.display_flags & view_bounds_bit) != 0; }

QUORM_API void DISPLAY_set_view_bounds_display(bool on) { set_bit(acom.display_flags, view_bounds_bit, on); }

QUORM_API bool DISPLAY_ask_view_names_display(void) { return (acom.display_flags & view_names_bit) != 0; }

QUORM_API void DISPLAY_set_view_names_display(bool on) { set_bit(acom.display_flags, view_names_bit, on); }
#endif

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
