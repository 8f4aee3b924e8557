// Private helpers shared by the arc-spline sources (not installed).
//
// Error reports: the family reports internal errors and failed assertions
// under one source name, arc_spline_apollonian_constructions.  Internal errors
// do not stop the call (unless ERROR_internal throws, which is the host's
// choice); assertions run only while the checking level is above 0.
#ifndef QUORM_ARC_SPLINE_INTERNAL_H
#define QUORM_ARC_SPLINE_INTERNAL_H

#include "foundation/quorm_internal.h"

#include <quorm/arc_spline_plane.h>
#include <quorm/arc_spline_seg.h>

#include <cmath>

namespace arc_spline {

// Source name carried by the family's internal errors and assertions.
constexpr const char *source = "arc_spline_apollonian_constructions";

// Degrees to radians and back, and the family's fixed small tolerance.
constexpr double deg_to_rad = 0.01745329251994328;
constexpr double rad_to_deg = 57.29577951308235;
constexpr double small = 1e-10;
// Radius and parameter value that stand for "infinite" (a straight's radius).
constexpr double huge_radius = 1e19;

// Reports an internal error with the family's source name; returns unless the
// host made internal errors throw.
inline void internal_error(int line, const char *message) { ERROR_internal(source, line, "%s", message); }

} // namespace arc_spline

// Internal error with a fixed message; the call goes on.
#define ARC_SPLINE_INTERNAL(message) ::arc_spline::internal_error(__LINE__, message)

// Assertion with the given text, checked while the checking level is above 0.
#define ARC_SPLINE_ASSERT(cond, text)                                                                        \
    do {                                                                                                     \
        if (MACH__checking_level > 0 && !(cond))                                                             \
            ERROR_assertion_failed(::arc_spline::source, __LINE__, "%s", text);                              \
    } while (0)

namespace arc_spline {

// ---- 2-D vectors and points ------------------------------------------------

inline VEC2_s vec2(double x, double y) { return VEC2_s{x, y}; }
inline VEC2_s sub(const PNT2_s &a, const PNT2_s &b) { return VEC2_s{a.x - b.x, a.y - b.y}; }
inline PNT2_s add(const PNT2_s &p, const VEC2_s &v) { return PNT2_s{p.x + v.x, p.y + v.y}; }
// p + s*v
inline PNT2_s add(const PNT2_s &p, double s, const VEC2_s &v) { return PNT2_s{p.x + s * v.x, p.y + s * v.y}; }
inline VEC2_s scale(double s, const VEC2_s &v) { return VEC2_s{s * v.x, s * v.y}; }
inline VEC2_s neg(const VEC2_s &v) { return VEC2_s{-v.x, -v.y}; }
inline double dot(const VEC2_s &a, const VEC2_s &b) { return a.x * b.x + a.y * b.y; }
inline double cross(const VEC2_s &a, const VEC2_s &b) { return a.x * b.y - a.y * b.x; }
// Plain square roots of sums of squares rather than std::hypot: the family's
// coordinates are far from the range where the squares overflow, and hypot's
// extra care costs more than the rest of a short construction.
inline double length(const VEC2_s &v) { return std::sqrt(v.x * v.x + v.y * v.y); }
inline double dist(const PNT2_s &a, const PNT2_s &b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}
inline PNT2_s midpoint(const PNT2_s &a, const PNT2_s &b) { return PNT2_s{0.5 * (a.x + b.x), 0.5 * (a.y + b.y)}; }
// Left normal (-y, x) and right normal (y, -x).
inline VEC2_s left_normal(const VEC2_s &v) { return VEC2_s{-v.y, v.x}; }
inline VEC2_s right_normal(const VEC2_s &v) { return VEC2_s{v.y, -v.x}; }

// Unit vector of v; when |v| <= tol (or v is not a number) *unit is (0, 0)
// and the result is false.  Never raises, so NaN input stays a status.
inline bool unitize(const VEC2_s &v, double tol, VEC2_s *unit, double *len = nullptr) {
    const double l = length(v);
    if (len) *len = (l > tol) ? l : 0.0;
    if (!(l > tol)) {
        *unit = VEC2_s{0.0, 0.0};
        return false;
    }
    *unit = VEC2_s{v.x / l, v.y / l};
    return true;
}

inline bool is_finite(const PNT2_s &p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// Sine and cosine of an angle in degrees.  Whole multiples of 90 degrees give
// exact values, so a full circle closes exactly and the quarter points of a
// circle lie exactly on its axes.
inline void sincos_deg(double degrees, double *s, double *c) {
    const double r = std::fmod(degrees, 360.0); // exact
    if (r == 0.0) {
        *s = 0.0, *c = 1.0;
    } else if (r == 90.0 || r == -270.0) {
        *s = 1.0, *c = 0.0;
    } else if (r == 180.0 || r == -180.0) {
        *s = 0.0, *c = -1.0;
    } else if (r == 270.0 || r == -90.0) {
        *s = -1.0, *c = 0.0;
    } else {
        *s = std::sin(r * deg_to_rad);
        *c = std::cos(r * deg_to_rad);
    }
}

// (cos a, sin a) of an angle in degrees.
inline VEC2_s tangent_at(double degrees) {
    VEC2_s t;
    sincos_deg(degrees, &t.y, &t.x);
    return t;
}

// Inclination of v in [0, 360).
inline double inclination(const VEC2_s &v) { return ARC_SPLINE_ask_angle_from_tan(v.y, v.x, 360); }

// Point of an arc at turning angle phi (degrees) from its start, given the
// start point, start tangent t, sense s and radius r:
//   start + r sin(phi) t + s r (1 - cos phi) n,   n the left normal of t.
inline PNT2_s arc_point(const PNT2_s &start, const VEC2_s &t, int s, double r, double phi_deg) {
    // Near cos = 1, 1 - cos(phi) is formed as 2 sin^2(phi/2) so that flat arcs
    // do not lose it to cancellation; elsewhere the direct form keeps the
    // quarter points exact.
    double sn, cs;
    sincos_deg(phi_deg, &sn, &cs);
    double one_minus_cos = 1.0 - cs;
    if (cs > 0.5) {
        double sh, ch;
        sincos_deg(0.5 * phi_deg, &sh, &ch);
        one_minus_cos = 2.0 * sh * sh;
    }
    const double a = r * sn;
    const double b = s * r * one_minus_cos;
    return PNT2_s{start.x + a * t.x - b * t.y, start.y + a * t.y + b * t.x};
}

} // namespace arc_spline

#endif
