// The work coordinate system held in the settings block, its mappings, the
// constructions that store into it or compose with it, and the pending
// display list.
#include "foundation/vec3_inline.h"

#include <cmath>
#include <cstring>

namespace {

// The function that shows pending display items; none at load.
MCS_display_fn_t display_fn = nullptr;

const double two_pi = 6.283185307179586;
// Rows of a frame must be of unit length and pairwise perpendicular within
// this, as everywhere in the library.
const double ortho_normal_tol = 1e-14;
using quorm::copy;
using quorm::dot;

const double *row(const MTX3_s &m, int i) { return &m.elem[3 * i]; }

// out = M*v: absolute components to the frame's.  out may be v.
void frame_from_absolute(const MTX3_s &m, const double *v, double *out) {
    double r[3] = {dot(row(m, 0), v), dot(row(m, 1), v), dot(row(m, 2), v)};
    copy(r, out);
}

// out = M^T*v: the frame's components to absolute ones.  out may be v.
void frame_to_absolute(const MTX3_s &m, const double *v, double *out) {
    double r[3];
    for (int j = 0; j < 3; ++j) r[j] = m.elem[j] * v[0] + m.elem[3 + j] * v[1] + m.elem[6 + j] * v[2];
    copy(r, out);
}

// Rows of unit length, pairwise perpendicular and right-handed.  Written so
// that a NaN anywhere fails.
bool is_right_handed_frame(const MTX3_s &m) {
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(dot(row(m, i), row(m, i)) - 1.0) <= ortho_normal_tol)) return false;
        if (!(std::fabs(dot(row(m, i), row(m, (i + 1) % 3))) <= ortho_normal_tol)) return false;
    }
    double z[3];
    quorm::cross(row(m, 0), row(m, 1), z);
    return dot(z, row(m, 2)) > 0.0;
}

// The pending count held in the block, kept inside the list's bounds: the
// host writes the block directly, so a bad count is reported (while checking)
// and never used to index the entries.
int pending_count() {
    int count = acom.pending_display_count;
    if (count >= 0 && count <= ACOM_PENDING_DISPLAY_MAX) return count;
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Invalid pending display count %d\n", count);
    return count < 0 ? 0 : ACOM_PENDING_DISPLAY_MAX;
}

} // namespace

extern "C" {

// ---- Reading and setting the WCS ------------------------------------------

QUORM_API void WCS_ask_origin(quorm_point3 *origin) {
    origin->x = acom.wcs_origin[0];
    origin->y = acom.wcs_origin[1];
    origin->z = acom.wcs_origin[2];
}

QUORM_API void WCS_ask_matrix(MTX3_s *matrix) { *matrix = acom.wcs_matrix; }

QUORM_API void WCS_ask_coordinate_system(CSYS_s *csys) {
    WCS_ask_origin(&csys->origin);
    csys->matrix = acom.wcs_matrix;
}

QUORM_API void WCS_ask_z_axis(quorm_vector3 *z_axis) {
    const double *z = row(acom.wcs_matrix, 2);
    z_axis->x = z[0];
    z_axis->y = z[1];
    z_axis->z = z[2];
}

QUORM_API void WCS_ask_work_plane(PLN3_s *plane) {
    WCS_ask_origin(&plane->point);
    WCS_ask_z_axis(&plane->normal);
}

QUORM_API void WCS__set_matrix_values(const MTX3_s *matrix) { acom.wcs_matrix = *matrix; }

QUORM_API unsigned WCS_ask_matrix_tag(void) { return acom.wcs_matrix_tag; }

QUORM_API void WCS__set_matrix_tag(unsigned tag) { acom.wcs_matrix_tag = tag; }

QUORM_API unsigned WCS_ask_tag(void) { return acom.wcs_tag; }

QUORM_API void WCS_set_tag(unsigned tag) { acom.wcs_tag = tag; }

QUORM_API unsigned WCS_ask_view_names_skeleton(void) { return acom.wcs_view_names_skeleton; }

QUORM_API void WCS_set_view_names_skeleton(unsigned skeleton) { acom.wcs_view_names_skeleton = skeleton; }

QUORM_API unsigned WCS_ask_skeleton(void) { return acom.wcs_skeleton; }

QUORM_API void WCS_set_skeleton(unsigned skeleton) { acom.wcs_skeleton = skeleton; }

QUORM_API bool WCS_is_linked_to_view(void) { return acom.wcs_not_linked == 0; }

QUORM_API void WCS_set_linked_to_view(bool linked) { acom.wcs_not_linked = linked ? 0 : 1; }

QUORM_API bool WCS_is_permanent(void) { return acom.wcs_permanent == 1; }

QUORM_API void WCS_set_permanent(bool permanent) { acom.wcs_permanent = permanent ? 1 : 0; }

QUORM_API int WCS_ask_wcs_display(void) { return acom.wcs_display; }

QUORM_API void WCS_set_wcs_display(int display_status) {
    QUORM_ASSERT(display_status == 0 || display_status == 1);
    acom.wcs_display = display_status;
    // The listeners get their own copy: they cannot alter the block through it.
    int status = display_status;
    CALLBACK_call_list(ZEV_REASON_ask_reason_number(2), &status);
}

QUORM_API bool WCS_is_temporary(void) { return acom.wcs_display == 1; }

// ---- Mappings -------------------------------------------------------------

QUORM_API void mapvaw(const double v[3], double out[3]) { frame_from_absolute(acom.wcs_matrix, v, out); }

QUORM_API void mapvwa(const double v[3], double out[3]) { frame_to_absolute(acom.wcs_matrix, v, out); }

QUORM_API void mappaw(const double p[3], double out[3]) {
    double d[3];
    quorm::sub(p, acom.wcs_origin, d);
    frame_from_absolute(acom.wcs_matrix, d, out);
}

QUORM_API void mappwa(const double p[3], double out[3]) {
    frame_to_absolute(acom.wcs_matrix, p, out);
    quorm::add(out, acom.wcs_origin, out);
}

QUORM_API void map10(const double v[3], double out[3]) { mapvwa(v, out); }

QUORM_API void map11(const double v[3], double out[3]) { mapvaw(v, out); }

QUORM_API void map12(const double p[3], double out[3]) { mappwa(p, out); }

QUORM_API void map13(const double p[3], double out[3]) { mappaw(p, out); }

QUORM_API void m511(const double p[3], double out[3]) { mappaw(p, out); }

QUORM_API void map22(const double p[3], double out[3]) {
    double x = p[0], y = p[1], z = p[2];
    // hypot: squaring would underflow to a false origin for tiny coordinates
    // and overflow to an infinite radius for huge ones.
    double rho = std::hypot(x, y);
    double radius = std::hypot(rho, z);
    if (radius == 0.0) {
        out[0] = out[1] = out[2] = 0.0;
        return;
    }
    // atan2 keeps the polar angle inside [0, pi] where acos(z/radius) could
    // be handed a quotient just beyond 1.
    double polar = std::atan2(rho, z);
    double azimuth = rho == 0.0 ? 0.0 : std::atan2(y, x);
    if (azimuth < 0.0) {
        azimuth += two_pi;
        // A tiny negative angle rounds up to 2*pi itself: that direction is 0.
        if (azimuth >= two_pi) azimuth = 0.0;
    }
    out[0] = radius;
    out[1] = azimuth;
    out[2] = polar;
}

QUORM_API void map23(const double s[3], double out[3]) {
    double radius = s[0], azimuth = s[1], polar = s[2];
    double planar = radius * std::sin(polar);
    double r[3] = {planar * std::cos(azimuth), planar * std::sin(azimuth), radius * std::cos(polar)};
    copy(r, out);
}

// ---- Coordinate-system constructions with the WCS -------------------------

QUORM_API void v6051(MTX3_s *matrix, double origin[3]) {
    *matrix = acom.wcs_matrix;
    copy(acom.wcs_origin, origin);
}

QUORM_API void v6054(const double p[3], const MTX3_s *m) {
    double height = dot(row(*m, 2), p);
    copy(p, acom.wcs_origin);
    acom.v6054_z = height;
}

QUORM_API void v6060(const MTX3_s *matrix, const double origin[3], int *status) {
    if (!is_right_handed_frame(*matrix) || !quorm::is_finite3(origin)) {
        *status = 2;
        return;
    }
    acom.wcs_matrix = *matrix;
    copy(origin, acom.wcs_origin);
    *status = 1;
}

QUORM_API void v6066(const MTX3_s *local_matrix, const double local_origin[3], MTX3_s *matrix, double origin[3],
                     int *status) {
    if (!is_right_handed_frame(*local_matrix) || !is_right_handed_frame(acom.wcs_matrix) ||
        !quorm::is_finite3(local_origin)) {
        *status = 2;
        return;
    }
    MTX3_s composed;
    for (int i = 0; i < 3; ++i) frame_to_absolute(acom.wcs_matrix, row(*local_matrix, i), &composed.elem[3 * i]);
    mappwa(local_origin, origin);
    *matrix = composed;
    *status = 1;
}

// ---- Pending display list -------------------------------------------------

QUORM_API MCS_display_fn_t MCS_register_display_fn(MCS_display_fn_t fn) {
    MCS_display_fn_t previous = display_fn;
    display_fn = fn;
    return previous;
}

QUORM_API void d7390(void) { acom.pending_display_count = 0; }

QUORM_API void d7391(const int *id) {
    int count = pending_count();
    if (count >= ACOM_PENDING_DISPLAY_MAX) {
        d7392();
        // Only a display function that refills the whole list leaves it full.
        count = pending_count();
        if (count >= ACOM_PENDING_DISPLAY_MAX) return;
    }
    acom.pending_display[count] = *id;
    acom.pending_display_count = count + 1;
}

QUORM_API void a406(const int *id) {
    int count = pending_count();
    int kept = 0;
    for (int i = 0; i < count; ++i)
        if (acom.pending_display[i] != *id) acom.pending_display[kept++] = acom.pending_display[i];
    acom.pending_display_count = kept;
}

QUORM_API void d7392(void) {
    int count = pending_count();
    acom.pending_display_count = 0;
    if (count == 0 || display_fn == nullptr) return;
    // Hand over a copy so that the function may queue new items meanwhile.
    int ids[ACOM_PENDING_DISPLAY_MAX];
    std::memcpy(ids, acom.pending_display, sizeof(int) * static_cast<size_t>(count));
    display_fn(count, ids);
}

} // extern "C"
