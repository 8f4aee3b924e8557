// Independent plane geometry for checking the intersection and construction
// results: plain formulas on centres and radii, nothing from the library
// (truth::), and the inputs those tests share (arc_input::).
#ifndef QUORM_TESTS_CIRCLE_TRUTH_HPP
#define QUORM_TESTS_CIRCLE_TRUTH_HPP

#include <quorm/quorm.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace truth {

const double pi = 3.14159265358979323846;

inline double dist(const PNT2_s &a, const PNT2_s &b) { return std::hypot(a.x - b.x, a.y - b.y); }
inline double cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// Distance from p to the line through q with direction d (any length).
inline double line_dist(const PNT2_s &p, const PNT2_s &q, const VEC2_s &d) {
    return std::fabs(cross(d.x, d.y, p.x - q.x, p.y - q.y)) / std::hypot(d.x, d.y);
}

// How far two circles are from touching (outside or inside).
inline double touch_error(const PNT2_s &c1, double r1, const PNT2_s &c2, double r2) {
    const double d = dist(c1, c2);
    return std::min(std::fabs(d - (r1 + r2)), std::fabs(d - std::fabs(r1 - r2)));
}

// Centre of a full circle record, recomputed from its start data: the
// record is only sound when this agrees with its stored centre.
inline PNT2_s centre_from_start(const ARC_SPLINE_1_seg_2d_s &s) {
    const double a = s.start_angle * pi / 180.0;
    return PNT2_s{s.start_pt.x - s.sense * s.radius * std::sin(a), s.start_pt.y + s.sense * s.radius * std::cos(a)};
}

// Angular position of p on the circle about c (radians, (-pi, pi]).
inline double polar_angle(const PNT2_s &c, const PNT2_s &p) { return std::atan2(p.y - c.y, p.x - c.x); }

// True when p (on the arc's circle) lies on the arc within angular slack eps
// (radians): measured from the start point in the sense of the arc.
inline bool on_arc(const ARC_SPLINE_1_seg_2d_s &s, const PNT2_s &p, double eps) {
    const double span = std::fabs(s.end_angle - s.start_angle) * pi / 180.0;
    double a = (polar_angle(s.center, p) - polar_angle(s.center, s.start_pt)) * s.sense;
    while (a < -eps) a += 2 * pi;
    while (a > 2 * pi - eps) a -= 2 * pi;
    return a <= span + eps || a >= 2 * pi - eps;
}

struct Rng {
    std::mt19937_64 g{20261208};
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(g); }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(g); }
    PNT2_s point(double size) { return PNT2_s{uniform(-size, size), uniform(-size, size)}; }
    VEC2_s unit() {
        const double a = uniform(0.0, 2 * pi);
        return VEC2_s{std::cos(a), std::sin(a)};
    }
};

} // namespace truth

// Inputs the intersection and construction tests share, built with the
// library: the usual tolerances and a full circle.
namespace arc_input {

const double tols[3] = {1e-7, 1e-4, 1e-9};

inline ARC_SPLINE_1_seg_2d_s circle(double x, double y, double r) {
    ARC_SPLINE_1_seg_2d_s s;
    const PNT2_s c{x, y};
    ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, r, &s);
    return s;
}

} // namespace arc_input

#endif
