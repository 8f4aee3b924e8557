// Plane-geometry primitives of the arc-spline family: equation solvers, angle
// helpers, three-point tests, parameter order, ray relations, bisectors,
// projections, small transforms and the Monge-plane algebra of circles.
#include "arc_spline/arc_spline_internal.h"
#include "foundation/vec3_inline.h"

#include <quorm/kernel_geom.h>

#include <climits>
#include <cmath>
#include <cstddef>

using namespace arc_spline;

static_assert(offsetof(ARC_SPLINE_monge_plane_s, a) == 0, "a");
static_assert(offsetof(ARC_SPLINE_monge_plane_s, b) == 8, "b");
static_assert(offsetof(ARC_SPLINE_monge_plane_s, c) == 16, "c");
static_assert(offsetof(ARC_SPLINE_monge_plane_s, d) == 24, "d");
static_assert(offsetof(ARC_SPLINE_monge_plane_s, is_normalized) == 32, "is_normalized");
static_assert(sizeof(((ARC_SPLINE_monge_plane_s *)nullptr)->is_normalized) == 1, "one-byte flag");

namespace {

// Coefficients below this size count as zero in the equation solvers; a
// discriminant below its square counts as zero.
constexpr double coef_tol = 1e-12;
constexpr double pi = 3.141592653589793;

const Vector3 z_axis{0.0, 0.0, 1.0};

inline Vector3 unit3(const Vector3 &v, double tol = small) {
    double len;
    Vector3 u;
    VEC3_unitize(&v, tol, &len, &u);
    return u;
}

// Points of the three-point tests, in 2-D or 3-D.
inline double dist3(const Point3 &a, const Point3 &b) { return std::sqrt(quorm::dist2(a, b)); }
inline double pdist(const PNT2_s &a, const PNT2_s &b) { return dist(a, b); }
inline double pdist(const Point3 &a, const Point3 &b) { return dist3(a, b); }

// Cycles (p1, p2, p3) so that the first and the last are the farthest pair;
// returns 0 (no change), 1 (now p2, p3, p1) or 2 (now p3, p1, p2).
template <class P> int cycle_farthest_last(P *p1, P *p2, P *p3) {
    const double d13 = pdist(*p1, *p3), d12 = pdist(*p1, *p2), d23 = pdist(*p2, *p3);
    double m = d13;
    if (d12 > m) m = d12;
    if (d23 > m) m = d23;
    if (std::fabs(m - d13) <= small) return 0;
    const P a = *p1, b = *p2, c = *p3;
    if (std::fabs(m - d12) <= small) {
        *p1 = b, *p2 = c, *p3 = a;
        return 1;
    }
    *p1 = c, *p2 = a, *p3 = b;
    return 2;
}

template <class P> void re_order(double tol, P *p1, P *p2, P *p3, int *status) {
    if (pdist(*p1, *p2) <= tol || pdist(*p1, *p3) <= tol || pdist(*p2, *p3) <= tol) {
        *status = -1;
        return;
    }
    *status = cycle_farthest_last(p1, p2, p3);
}

// 3-D helpers over Vector3.
inline Vector3 vsub(const Point3 &a, const Point3 &b) { return quorm::sub(a, b); }

// Stores an MTX3 into the upper 3x3 of a 4x4 identity.
void embed(const MTX3_s &r, MTX4_s *m) {
    for (int i = 0; i < 16; ++i) m->elem[i] = (i % 5 == 0) ? 1.0 : 0.0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m->elem[4 * i + j] = r.elem[3 * i + j];
}

// Row vector v times the 3x3 matrix m.
inline Vector3 row_times(const Vector3 &v, const MTX3_s &m) {
    const double *e = m.elem;
    return Vector3{v.x * e[0] + v.y * e[3] + v.z * e[6], v.x * e[1] + v.y * e[4] + v.z * e[7],
                   v.x * e[2] + v.y * e[5] + v.z * e[8]};
}

const MTX3_s identity3 = {{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}};

// Unit normal and offset of a Monge plane (without touching it); false when
// the normal is null.
bool unit_plane(const ARC_SPLINE_monge_plane_s &pl, double out[4]) {
    const double l = std::sqrt(pl.a * pl.a + pl.b * pl.b + pl.c * pl.c);
    if (!(l > small)) {
        out[0] = out[1] = out[2] = out[3] = 0.0;
        return false;
    }
    out[0] = pl.a / l;
    out[1] = pl.b / l;
    out[2] = pl.c / l;
    out[3] = pl.d / l;
    return true;
}

// Carrier-line intersection shared by the ray relations: fills apex, parms and
// status for rays with unit directions.
void intersect_rays(const double tols[], const PNT2_s *p1, const VEC2_s *d1, const PNT2_s *p2, const VEC2_s *d2,
                    PNT2_s *apex, double parms[2], int *inter_status) {
    VEC2_s u1 = *d1, u2 = *d2;
    PNT2_s a = *p1, b = *p2;
    double cos_angle = 0.0;
    ARC_SPLINE_inter_line_line_2d(tols, &a, &b, 1, &u1, &u2, apex, parms, &cos_angle, inter_status);
}

// Turn from u to v about ref (degrees), the inscribed angle of the corner and
// its type: -1 straight on, 1 convex, 0 reflex.
void classify_corner(const Vector3 &u, const Vector3 &v, const Vector3 &ref, double angle_tol, double *inscribed,
                     double *turn, int *type) {
    *turn = VEC3_angle_between(&u, &v, &ref) * rad_to_deg;
    const double s_straight = std::sin((angle_tol < 0.001 ? angle_tol : 0.001) * deg_to_rad);
    if (VEC3_is_parallel(&u, &v, s_straight) && quorm::dot(u, v) > 0.0) {
        *type = -1;
        *inscribed = 180.0;
    } else if (*turn < 180.0) {
        *type = 1;
        *inscribed = 180.0 - *turn;
    } else {
        *type = 0;
        *inscribed = 540.0 - *turn;
    }
    if (std::fabs(*inscribed - 180.0) <= angle_tol) *type = -1;
}

} // namespace

extern "C" {

// ---- equations ---------------------------------------------------------------

QUORM_API void ARC_SPLINE_solve_quadratic_eqt(double a, double b, double c, int normalize, double roots[2],
                                              int *count) {
    roots[0] = roots[1] = 0.0;
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) {
        // Coefficients that are not numbers have no solution to offer.
        *count = 0;
        return;
    }
    if (normalize == 1) {
        const double l = std::sqrt(a * a + b * b + c * c);
        if (l < coef_tol) {
            *count = -3;
            return;
        }
        a /= l, b /= l, c /= l;
    }
    if (std::fabs(a) < coef_tol) {
        if (std::fabs(b) < coef_tol) {
            *count = (std::fabs(c) < coef_tol) ? -3 : 0;
            return;
        }
        roots[0] = roots[1] = -c / b;
        *count = 1;
        return;
    }
    double disc = b * b - 4.0 * a * c;
    if (std::fabs(disc) < coef_tol * coef_tol) disc = 0.0;
    if (disc < 0.0) {
        roots[0] = -b / (2.0 * a);
        roots[1] = std::sqrt(-disc) / (2.0 * a);
        *count = -2;
        return;
    }
    const double sq = std::sqrt(disc);
    const double m = (b >= 0.0) ? (-b - sq) / (2.0 * a) : (sq - b) / (2.0 * a);
    if (std::fabs(m) < coef_tol) {
        roots[0] = 0.0;
        roots[1] = -b / a;
    } else {
        roots[0] = m;
        roots[1] = c / (a * m);
    }
    *count = 2;
}

QUORM_API void ARC_SPLINE_trig_eqt_linear_sin_cos(double p1, double p2, double p3, char unit, int range, double tol,
                                                  int *count, double angles[2], double half_tans[2]) {
    *count = 0;
    angles[0] = angles[1] = half_tans[0] = half_tans[1] = 0.0;
    if (!(std::sqrt(p1 * p1 + p2 * p2 + p3 * p3) > coef_tol)) {
        // All three vanish (or are not numbers).
        *count = -3;
        return;
    }
    const bool radians = (unit == 'r');
    const double turn = radians ? 2.0 * pi : 360.0;
    const double quarter = radians ? 0.5 * pi : 90.0;
    double roots[2];
    int n = 0;
    ARC_SPLINE_solve_quadratic_eqt(p2 - p3, -2.0 * p1, -(p2 + p3), 1, roots, &n);
    const int real = (n == 1) ? 1 : (n == 2) ? 2 : 0;
    int kept = 0;
    for (int i = 0; i < real; ++i) {
        const double u = roots[i];
        double t = radians ? 2.0 * std::atan(u) : 114.5915590261647 * std::atan(u);
        bool keep = true;
        switch (range) {
        case 0:
            if (u < 0.0) t += turn;
            break;
        case 1:
            keep = (u >= 0.0 && u <= 1.0);
            break;
        case 10:
            keep = (u >= 0.0 && u <= 1.0 && t <= quarter - tol);
            break;
        case -11:
            keep = (std::fabs(u) < 1.0 && std::fabs(t) <= quarter - tol);
            break;
        default:
            break;
        }
        if (!keep) continue;
        angles[kept] = t;
        half_tans[kept] = u;
        ++kept;
    }
    // The substitution u = tan(t/2) cannot reach t = 180: that solution shows
    // only as a vanishing leading coefficient (p3 = p2) and is added here for
    // the ranges that keep every root.  Its half-angle tangent is infinite.
    const bool keeps_all = (range != 1 && range != 10 && range != -11);
    const double norm = std::sqrt(p1 * p1 + p2 * p2 + p3 * p3);
    if (keeps_all && kept < 2 && std::fabs(p2 - p3) < coef_tol * norm) {
        angles[kept] = radians ? pi : 180.0;
        half_tans[kept] = HUGE_VAL;
        ++kept;
    }
    if (kept == 2 && angles[1] < angles[0]) {
        std::swap(angles[0], angles[1]);
        std::swap(half_tans[0], half_tans[1]);
    }
    *count = kept;
}

// ---- angles --------------------------------------------------------------------

QUORM_API double ARC_SPLINE_ask_angle_between_vectors_2d(const VEC2_s *e1, const VEC2_s *e2, int are_unit) {
    VEC2_s u = *e1, v = *e2;
    if (!are_unit) {
        unitize(u, small, &u);
        unitize(v, small, &v);
    }
    return ARC_SPLINE_ask_angle_from_tan(cross(u, v), dot(u, v), 360);
}

QUORM_API double ARC_SPLINE_ask_central_angle_between_tangents_2d(const VEC2_s *t1, const VEC2_s *t2, int *sense) {
    const double a = ARC_SPLINE_ask_angle_between_vectors_2d(t1, t2, 1);
    if (a > 180.0) {
        *sense = -1;
        return 360.0 - a;
    }
    *sense = 1;
    return a;
}

QUORM_API double ARC_SPLINE_ask_min_central_angle(double radius, double chord) {
    if (radius < small) ARC_SPLINE_INTERNAL("The radius is zero.");
    const double denominator = 2.0 * radius * radius;
    // No usable radius: the chord is taken as a diameter or more (180).
    double x = (denominator > 0.0) ? 1.0 - chord * chord / denominator : -1.0;
    if (!(x >= -1.0)) x = -1.0;
    if (x > 1.0) x = 1.0;
    return std::acos(x) * rad_to_deg;
}

QUORM_API double ARC_SPLINE_ask_interior_angle_of_triangle_2d(const PNT2_s *p1, const PNT2_s *p2, const PNT2_s *p3,
                                                              const double tols[], int which_angle, int *status) {
    *status = 0;
    const PNT2_s *vertex, *a, *b;
    switch (which_angle) {
    case 1:
        vertex = p1, a = p2, b = p3;
        break;
    case 2:
        vertex = p2, a = p3, b = p1;
        break;
    case 3:
        vertex = p3, a = p1, b = p2;
        break;
    default:
        ARC_SPLINE_INTERNAL("Unrecognizable input value for which_angle.");
        return 0.0;
    }
    const VEC2_s e1 = sub(*a, *vertex), e2 = sub(*b, *vertex);
    if (!(length(e1) >= tols[0]) || !(length(e2) >= tols[0])) {
        *status = 1;
        return 0.0;
    }
    double angle = ARC_SPLINE_ask_angle_between_vectors_2d(&e1, &e2, 0);
    if (angle > 180.0) angle = 360.0 - angle;
    if (std::fabs(angle - 180.0) <= tols[0]) angle = 180.0;
    return angle;
}

QUORM_API int ARC_SPLINE_ask_sign_of_var(double x, double tol) {
    if (std::fabs(x) <= tol) return 0;
    return x > 0.0 ? 1 : -1;
}

QUORM_API int ARC_SPLINE_mod(int a, int b) {
    // b = 0 has no remainder, and INT_MIN % -1 overflows: both give 0.
    if (b == 0 || b == -1) return 0;
    return a % b;
}

// ---- three points --------------------------------------------------------------

QUORM_API void ARC_SPLINE_re_order_3pts_2d(double tol, PNT2_s *p1, PNT2_s *p2, PNT2_s *p3, int *status) {
    re_order(tol, p1, p2, p3, status);
}

QUORM_API void ARC_SPLINE_re_order_3pts_3d(double tol, Point3 *p1, Point3 *p2, Point3 *p3, int *status) {
    re_order(tol, p1, p2, p3, status);
}

QUORM_API int ARC_SPLINE_ask_3pts_collinearity_2d(const PNT2_s *p1, const PNT2_s *p2, const PNT2_s *p3,
                                                  const double tols[], int mode, int *orientation) {
    *orientation = -1;
    PNT2_s a = *p1, m = *p2, b = *p3;
    int reorder = 0;
    re_order(tols[0], &a, &m, &b, &reorder);
    // Two coinciding points are not re-ordered above, but the test below still
    // needs the farthest pair at the ends (p1 = p3 apart from p2 is a line,
    // not a single point).
    if (reorder == -1) cycle_farthest_last(&a, &m, &b);
    VEC2_s u;
    double len = 0.0;
    if (!unitize(sub(b, a), 0.0, &u, &len) || !(len >= tols[0])) return 2;
    const VEC2_s va = sub(a, m), vb = sub(b, m);
    const double la = length(va), lb = length(vb);
    if (la <= tols[0] || lb <= tols[0]) return 1;
    const double t1 = std::tan(tols[1] * deg_to_rad);
    if (len * t1 <= tols[0] && ((std::fabs(va.x) < tols[0] && std::fabs(vb.x) < tols[0]) ||
                                (std::fabs(va.y) < tols[0] && std::fabs(vb.y) < tols[0])))
        return 1;
    // |cos| > cos(tol) compared as sin < sin(tol): the cosine of a tiny angle
    // rounds to 1 and would turn the test into an exact comparison.
    const VEC2_s w = (la >= lb) ? va : vb;
    const double sine = cross(u, w) / length(w);
    if (std::fabs(sine) < std::sin(tols[1] * deg_to_rad)) return 1;
    if (mode == 2) {
        const double turn = cross(sub(*p1, *p2), sub(*p3, *p2));
        if (turn < 0.0)
            *orientation = 0;
        else if (turn > 0.0)
            *orientation = 1;
    }
    return 0;
}

QUORM_API int ARC_SPLINE_ask_3pts_collinearity_3d(const Point3 *p1, const Point3 *p2, const Point3 *p3,
                                                  const double tols[], int *reorder_status) {
    Point3 a = *p1, m = *p2, b = *p3;
    re_order(tols[0], &a, &m, &b, reorder_status);
    if (*reorder_status == -1) cycle_farthest_last(&a, &m, &b);
    const double len = dist3(a, b);
    if (!(len >= tols[0])) return 2;
    const Vector3 u = quorm::scale(1.0 / len, vsub(b, a));
    const Vector3 va = vsub(a, m), vb = vsub(b, m);
    const double la = std::sqrt(quorm::length2(va)), lb = std::sqrt(quorm::length2(vb));
    if (la <= tols[0] || lb <= tols[0]) return 1;
    const Vector3 w = (la >= lb) ? va : vb;
    const double sine = std::sqrt(quorm::length2(quorm::cross(u, w))) / ((la >= lb) ? la : lb);
    return sine < std::sin(tols[1] * deg_to_rad) ? 1 : 0;
}

QUORM_API bool ARC_SPLINE_ask_are_hermite_data_collinear_2d(const PNT2_s *p1, const VEC2_s *t1, const PNT2_s *p2,
                                                            const VEC2_s *t2, double angle_tol, double *dist,
                                                            VEC2_s *chord) {
    unitize(sub(*p2, *p1), 0.0, chord, dist);
    const double s = std::sin(angle_tol * deg_to_rad);
    return VEC2_is_parallel(t1, chord, s) && VEC2_is_parallel(t2, chord, s);
}

QUORM_API bool ARC_SPLINE_ask_are_hermite_data_collinear_3d(const Point3 *p1, const Vector3 *t1, const Point3 *p2,
                                                            const Vector3 *t2, double angle_tol, double *dist,
                                                            Vector3 *chord) {
    const Vector3 d = vsub(*p2, *p1);
    VEC3_unitize(&d, 0.0, dist, chord);
    const double s = std::sin(angle_tol * deg_to_rad);
    return VEC3_is_parallel(t1, chord, s) && VEC3_is_parallel(t2, chord, s);
}

// ---- parameter order and intervals -----------------------------------------------

QUORM_API bool ARC_SPLINE_ask_is_pair_in_order(double a, double b, double period) {
    const double p = std::fabs(period);
    if (p < small || std::fabs(b - a) < 0.5 * p) return b >= a;
    return b <= a;
}

QUORM_API int ARC_SPLINE_ask_is_parm_in_interval(double t, double low, double high, double period) {
    const bool at_low = std::fabs(t - low) <= small;
    const bool at_high = std::fabs(t - high) <= small;
    if (std::fabs(period) <= small || low <= high) {
        if (low > high) return 0; // no period: an inverted interval is empty
        if (low < t && t < high) return 1;
        if (at_low) return 11;
        if (at_high) return 12;
        return 0;
    }
    // A periodic interval with low > high wraps through 0.
    if (std::fabs(t) <= small || std::fabs(t - period) <= small || (low < t && t < period) || (0.0 <= t && t < high))
        return 1;
    if (at_low) return 11;
    if (at_high) return 12;
    return 0;
}

// ---- rays ------------------------------------------------------------------------

QUORM_API void ARC_SPLINE_ask_isosceles_to_pt_2d(const double tols[], const PNT2_s *p1, const VEC2_s *d1,
                                                 const PNT2_s *p2, const VEC2_s *d2, int have_apex, PNT2_s *apex,
                                                 double parms[2], int *inter_status, PNT2_s *q1, PNT2_s *q2,
                                                 int *side1, int *side2) {
    if (!have_apex) intersect_rays(tols, p1, d1, p2, d2, apex, parms, inter_status);
    PNT2_s foot2{0.0, 0.0}, foot1{0.0, 0.0};
    double t = 0.0;
    // side2: p2 against line 1; side1: p1 against line 2.
    ARC_SPLINE_ask_dist_pt_to_line_2d(p2, p1, d1, tols[0], &foot2, &t, side2);
    ARC_SPLINE_ask_dist_pt_to_line_2d(p1, p2, d2, tols[0], &foot1, &t, side1);
    if (*inter_status == 0) {
        if (*side1 == 0 && *side2 == 0) {
            *inter_status = 2;
            *q1 = foot2;
            *q2 = foot1;
            return;
        }
        const double t1 = parms[0], t2 = parms[1];
        *q1 = add(*apex, -ARC_SPLINE_ask_sign_of_var(t1, small) * std::fabs(t2), *d1);
        *q2 = add(*apex, -ARC_SPLINE_ask_sign_of_var(t2, small) * std::fabs(t1), *d2);
        return;
    }
    *q1 = foot2;
    *q2 = foot1;
}

QUORM_API int ARC_SPLINE_ask_are_two_rays_homodromic_2d(const double tols[], const PNT2_s *p1, const VEC2_s *d1,
                                                        const PNT2_s *p2, const VEC2_s *d2, int do_intersect,
                                                        PNT2_s *apex, double parms[2], int *inter_status) {
    if (do_intersect == 1) intersect_rays(tols, p1, d1, p2, d2, apex, parms, inter_status);
    if (*inter_status == 0) {
        const double a1 = std::fabs(parms[0]), a2 = std::fabs(parms[1]);
        if (a1 <= tols[0] && a2 <= tols[0]) return -1;
        if (a1 <= tols[0]) return 1;
        if (a2 >= tols[0] && parms[0] * parms[1] < 0.0) return 0;
        return 1;
    }
    return dot(*d1, *d2) > 0.0 ? 1 : 0;
}

QUORM_API void ARC_SPLINE_ask_convexities_of_tri_arc_2d(const double tols[], const PNT2_s *p1, const VEC2_s *d1,
                                                        const PNT2_s *p2, const VEC2_s *d2, int have_apex,
                                                        PNT2_s *apex, double parms[2], int *inter_status, PNT2_s *q1,
                                                        PNT2_s *q2, int *convexity1, int *convexity2,
                                                        char *which_longer) {
    *convexity1 = *convexity2 = -2;
    *which_longer = 'n';
    int side1 = 0, side2 = 0;
    ARC_SPLINE_ask_isosceles_to_pt_2d(tols, p1, d1, p2, d2, have_apex, apex, parms, inter_status, q1, q2, &side1,
                                      &side2);
    if (*inter_status >= 2) {
        *convexity1 = *convexity2 = 0;
        return;
    }
    const bool parallel = (*inter_status == 1);
    if (parallel && !have_apex) parms[0] = parms[1] = huge_radius;
    const int homodromic = ARC_SPLINE_ask_are_two_rays_homodromic_2d(tols, p1, d1, p2, d2, 1, apex, parms, inter_status);
    if (homodromic == -1) return;
    if (side2 != 0)
        *convexity1 = -side2;
    else
        *which_longer = 'l';
    if (side1 != 0)
        *convexity2 = -side1;
    else
        *which_longer = 'r';
    const double a1 = std::fabs(parms[0]), a2 = std::fabs(parms[1]);
    // An undetermined convexity follows the other one: equal for rays that
    // run against each other, opposite for homodromic ones.
    if (*convexity1 == -2 || *convexity2 == -2) {
        if (a1 < tols[0]) {
            if (*convexity2 != -2) *convexity1 = homodromic == 0 ? *convexity2 : -*convexity2;
        } else if (*convexity2 == -2 || a2 < tols[0]) {
            if (*convexity1 != -2) *convexity2 = homodromic == 0 ? *convexity1 : -*convexity1;
        }
    }
    if (parallel) {
        const VEC2_s w = sub(*q1, *p1);
        if (length(w) <= tols[0])
            *which_longer = 'e';
        else
            *which_longer = dot(w, *d1) > 0.0 ? 'r' : 'l';
    } else if (std::fabs(a1 - a2) <= tols[0]) {
        *which_longer = 'e';
    } else {
        *which_longer = a1 < a2 ? 'l' : 'r';
    }
}

QUORM_API void ARC_SPLINE_ask_bisector_of_angle_2d(const double tols[], const PNT2_s *p1, const VEC2_s *d1,
                                                   const PNT2_s *p2, const VEC2_s *d2, int have_apex, PNT2_s *apex,
                                                   double parms[2], int *inter_status, PNT2_s *mid, VEC2_s *dir) {
    PNT2_s q1, q2;
    int side1 = 0, side2 = 0;
    ARC_SPLINE_ask_isosceles_to_pt_2d(tols, p1, d1, p2, d2, have_apex, apex, parms, inter_status, &q1, &q2, &side1,
                                      &side2);
    *mid = midpoint(q1, *p2);
    if (*inter_status != 0) {
        *dir = *d1;
        return;
    }
    if (dist(*mid, *apex) <= tols[0]) *mid = midpoint(add(*apex, *d1), add(*apex, *d2));
    // Opposite rays have no midpoint away from the apex: their bisector is the
    // perpendicular.
    if (!unitize(sub(*mid, *apex), 0.0, dir)) *dir = left_normal(*d1);
}

// ---- bisectors in space -----------------------------------------------------------

QUORM_API void ARC_SPLINE_ask_inscribed_angle_and_type(const Vector3 *e1, const Vector3 *e2, const Vector3 *normal,
                                                       int project, double angle_tol, double *inscribed, double *turn,
                                                       int *type) {
    *type = -2;
    Vector3 u = unit3(*e1), v = unit3(*e2);
    Vector3 ref = normal ? unit3(*normal) : z_axis;
    const double s = std::sin(angle_tol * deg_to_rad);
    if (!VEC3_is_parallel(&u, &v, s)) {
        const Vector3 m12 = unit3(quorm::cross(u, v));
        if (VEC3_is_perpendicular(&m12, &z_axis, s) &&
            (VEC3_is_parallel(&ref, &m12, s) || VEC3_is_parallel(&ref, &z_axis, s))) {
            // The corner stands upright: its normal is taken horizontal, turned
            // from the flatter of the two edges.
            const Vector3 &w = (std::fabs(u.z) <= std::fabs(v.z)) ? u : v;
            ref = unit3(quorm::cross(w, z_axis));
        } else if (VEC3_is_perpendicular(&ref, &m12, s)) {
            ref = m12;
        }
    }
    if (project) {
        u = unit3(quorm::sub(u, quorm::scale(quorm::dot(u, ref), ref)));
        v = unit3(quorm::sub(v, quorm::scale(quorm::dot(v, ref), ref)));
    }
    classify_corner(u, v, ref, angle_tol, inscribed, turn, type);
}

QUORM_API void ARC_SPLINE_ask_bisector_of_inscribed_angle(const Vector3 *e1, const Vector3 *e2, const Point3 *point,
                                                          const Vector3 *normal, double angle_tol, double *inscribed,
                                                          double *turn, int *type, Vector3 *bisector, PLN3_s *plane) {
    const Vector3 n = normal ? unit3(*normal) : z_axis;
    const Vector3 u = unit3(quorm::sub(*e1, quorm::scale(quorm::dot(*e1, n), n)));
    const Vector3 v = unit3(quorm::sub(*e2, quorm::scale(quorm::dot(*e2, n), n)));
    // The angle is measured about the very normal the bisector turns about:
    // the reference-normal choice of the general routine may reverse a
    // horizontal normal, which would bisect the wrong angle.
    *type = -2;
    classify_corner(u, v, n, angle_tol, inscribed, turn, type);
    MTX3_s r;
    MTX3_rot_about_axis(0.5 * *inscribed * deg_to_rad, &n, &r);
    const Vector3 b = unit3(row_times(u, r));
    *bisector = b;
    plane->point = *point;
    plane->normal = unit3(quorm::cross(b, n));
}

QUORM_API void ARC_SPLINE_ask_bisector_of_polygon_angle(const Point3 *p1, const Point3 *p2, const Point3 *p3,
                                                        const Vector3 *normal, double angle_tol, double *inscribed,
                                                        double *turn, int *type, Vector3 *bisector, PLN3_s *plane) {
    const Vector3 e1 = vsub(*p2, *p1), e2 = vsub(*p3, *p2);
    const Point3 corner = *p2;
    ARC_SPLINE_ask_bisector_of_inscribed_angle(&e1, &e2, &corner, normal, angle_tol, inscribed, turn, type, bisector,
                                               plane);
}

// ---- projections --------------------------------------------------------------------

QUORM_API void ARC_SPLINE_proj_pt_to_pln(const Vector3 *n, const Point3 *q, const Point3 *p, Point3 *out) {
    const double h = quorm::dot(vsub(*p, *q), *n);
    *out = quorm::add(*p, quorm::scale(-h, *n));
}

QUORM_API void ARC_SPLINE_adjust_pt_on_pln(const Vector3 *n, const Point3 *q, Point3 *p) {
    ARC_SPLINE_proj_pt_to_pln(n, q, p, p);
}

QUORM_API void ARC_SPLINE_proj_vec_to_pln(const Vector3 *n, const Vector3 *v, Vector3 *out) {
    *out = quorm::sub(*v, quorm::scale(quorm::dot(*v, *n), *n));
}

QUORM_API void ARC_SPLINE_adjust_vec_on_pln(bool unitize, const Vector3 *n, Vector3 *v) {
    ARC_SPLINE_proj_vec_to_pln(n, v, v);
    if (unitize) *v = unit3(*v);
}

QUORM_API void ARC_SPLINE_proj_pt_along_vec_on_plane(const Point3 *p, const Point3 *q, const Vector3 *n,
                                                     const Vector3 *v, const double tols[], Point3 *out, double *t,
                                                     int *status) {
    const double dn = quorm::dot(*n, *v);
    const double c = quorm::dot(*n, vsub(*p, *q));
    if (std::fabs(dn) > std::cos((90.0 - tols[1]) * deg_to_rad)) {
        *t = -c / dn;
        *out = quorm::add(*p, quorm::scale(*t, *v));
        *status = 0;
    } else if (std::fabs(c) <= tols[0]) {
        *status = -1;
        *t = 0.0;
        *out = *p;
    } else {
        *status = 1;
    }
}

QUORM_API void ARC_SPLINE_mirror_point_wrt_line_2d(const PNT2_s *p, const PNT2_s *q, const VEC2_s *d, double tol,
                                                   PNT2_s *out, int *side) {
    PNT2_s foot{0.0, 0.0};
    double t = 0.0;
    const PNT2_s point = *p;
    ARC_SPLINE_ask_dist_pt_to_line_2d(&point, q, d, tol, &foot, &t, side);
    *out = PNT2_s{2.0 * foot.x - point.x, 2.0 * foot.y - point.y};
}

// ---- transforms -------------------------------------------------------------------------

QUORM_API void ARC_SPLINE_ask_householder_rotation(const Vector3 *a, const Vector3 *b, MTX3_s *m) {
    const Vector3 d = quorm::sub(*b, *a);
    if (!(std::sqrt(quorm::length2(d)) > small)) {
        *m = identity3;
        return;
    }
    const Vector3 w = unit3(d, 0.0);
    const double c[3] = {w.x, w.y, w.z};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m->elem[3 * i + j] = (i == j ? 1.0 : 0.0) - 2.0 * c[i] * c[j];
}

QUORM_API void ARC_SPLINE_ask_householder_transformation(const Vector3 *a, const Vector3 *b, MTX4_s *m) {
    MTX3_s r;
    ARC_SPLINE_ask_householder_rotation(a, b, &r);
    embed(r, m);
}

QUORM_API void ARC_SPLINE_ask_translation_matrix(const Point3 *from, const Point3 *to, MTX4_s *m) {
    const Vector3 d = vsub(*to, *from);
    embed(identity3, m);
    if (std::sqrt(quorm::length2(d)) > small) {
        m->elem[12] = d.x;
        m->elem[13] = d.y;
        m->elem[14] = d.z;
    }
}

QUORM_API void ARC_SPLINE_combine_translation_matrix(const MTX4_s *m1, const MTX4_s *m2, MTX4_s *out) {
    const double t[3] = {m2->elem[12], m2->elem[13], m2->elem[14]};
    *out = *m1;
    for (int i = 0; i < 3; ++i) out->elem[12 + i] += t[i];
}

QUORM_API void ARC_SPLINE_combine_rotation_translation(const MTX3_s *r, const MTX4_s *t, MTX4_s *out) {
    const double move[3] = {t->elem[12], t->elem[13], t->elem[14]};
    embed(*r, out);
    for (int i = 0; i < 3; ++i) out->elem[12 + i] = move[i];
}

QUORM_API void ARC_SPLINE_cre_matrix_of_rotation_around_axis(const Vector3 *axis, double angle_deg, MTX3_s *m) {
    MTX3_rot_about_axis(angle_deg * deg_to_rad, axis, m);
}

QUORM_API void ARC_SPLINE_rotate_vector_around_axis(const Vector3 *v, const Vector3 *axis, double angle_deg,
                                                    bool unitize, Vector3 *out) {
    MTX3_s r;
    ARC_SPLINE_cre_matrix_of_rotation_around_axis(axis, angle_deg, &r);
    const Vector3 w = row_times(*v, r);
    *out = unitize ? unit3(w) : w;
}

QUORM_API void ARC_SPLINE_rotate_point_around_axis(const Point3 *p, const Point3 *origin, const Vector3 *axis,
                                                   double angle_deg, Point3 *out) {
    const Vector3 d = vsub(*p, *origin);
    Vector3 w;
    ARC_SPLINE_rotate_vector_around_axis(&d, axis, angle_deg, false, &w);
    *out = quorm::add(*origin, w);
}

QUORM_API void ARC_SPLINE_transform_vec_3d(const Vector3 *v, const MTX4_s *m, bool unitize, Vector3 *out) {
    const double *e = m->elem;
    const Vector3 w{v->x * e[0] + v->y * e[4] + v->z * e[8], v->x * e[1] + v->y * e[5] + v->z * e[9],
                    v->x * e[2] + v->y * e[6] + v->z * e[10]};
    *out = unitize ? unit3(w) : w;
}

QUORM_API void ARC_SPLINE_cre_mtx3_from_3_vecs_to_3_vecs(Vector3 *a1, Vector3 *a2, Vector3 *a3, Vector3 *b1,
                                                         Vector3 *b2, Vector3 *b3, int unitize, MTX3_s *m,
                                                         int *status) {
    *m = identity3;
    *status = 0;
    if (unitize) {
        Vector3 *all[6] = {a1, a2, a3, b1, b2, b3};
        for (Vector3 *v : all) *v = unit3(*v);
    }
    const double a[9] = {a1->x, a1->y, a1->z, a2->x, a2->y, a2->z, a3->x, a3->y, a3->z};
    const Vector3 *b[3] = {b1, b2, b3};
    double columns[3][3];
    for (int j = 0; j < 3; ++j) {
        double rhs[3];
        for (int i = 0; i < 3; ++i) rhs[i] = (j == 0) ? b[i]->x : (j == 1) ? b[i]->y : b[i]->z;
        if (SOLVE_solve_3equations(a, rhs, columns[j]) != 0 || !std::isfinite(columns[j][0]) ||
            !std::isfinite(columns[j][1]) || !std::isfinite(columns[j][2])) {
            *status = 1;
            return;
        }
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m->elem[3 * i + j] = columns[j][i];
}

QUORM_API void ARC_SPLINE_cre_mtx3_from_2_vecs_to_2_vecs(Vector3 *a1, Vector3 *a2, Vector3 *b1, Vector3 *b2,
                                                         int unitize, MTX3_s *m, int *status) {
    const Vector3 ca = quorm::cross(*a1, *a2), cb = quorm::cross(*b1, *b2);
    if (!(quorm::length2(ca) > 1e-20) || !(quorm::length2(cb) > 1e-20)) {
        *m = identity3;
        *status = 1;
        return;
    }
    Vector3 a3 = unit3(ca, 0.0), b3 = unit3(cb, 0.0);
    ARC_SPLINE_cre_mtx3_from_3_vecs_to_3_vecs(a1, a2, &a3, b1, b2, &b3, unitize, m, status);
}

// ---- Monge planes ---------------------------------------------------------------------------

QUORM_API void ARC_SPLINE_convert_circle_to_3d_pt(const Point3 *centre, double r, Point3 *out) {
    const double x = centre->x, y = centre->y;
    *out = Point3{x, y, x * x + y * y - r * r};
}

QUORM_API void ARC_SPLINE_convert_3d_pt_to_circle_2d(const Point3 *p, bool *is_real, ARC_SPLINE_1_seg_2d_s *seg) {
    const double k = p->x * p->x + p->y * p->y - p->z;
    double r;
    if (std::fabs(k) <= 1e-20) {
        r = 0.0;
    } else if (k > 0.0) {
        r = std::sqrt(k);
    } else {
        *is_real = false;
        return;
    }
    *is_real = true;
    const PNT2_s c{p->x, p->y};
    ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, r, seg);
}

QUORM_API void ARC_SPLINE_ask_polar_plane_of_circle(const Point3 *centre, double r, ARC_SPLINE_monge_plane_s *plane) {
    const double x = centre->x, y = centre->y;
    plane->a = 2.0 * x;
    plane->b = 2.0 * y;
    plane->c = -1.0;
    plane->d = -(x * x + y * y - r * r);
    plane->is_normalized = 0;
}

QUORM_API void ARC_SPLINE_copy_monge_plane(const ARC_SPLINE_monge_plane_s *src, ARC_SPLINE_monge_plane_s *dst) {
    *dst = *src;
}

QUORM_API void ARC_SPLINE_normalize_monge_plane(ARC_SPLINE_monge_plane_s *plane) {
    double u[4];
    if (!unit_plane(*plane, u)) return;
    plane->a = u[0];
    plane->b = u[1];
    plane->c = u[2];
    plane->d = u[3];
    plane->is_normalized = 1;
}

QUORM_API void ARC_SPLINE_ask_pt_and_normal_of_monge_plane(const ARC_SPLINE_monge_plane_s *plane, Point3 *point,
                                                           Vector3 *normal) {
    double u[4];
    unit_plane(*plane, u);
    *normal = Vector3{u[0], u[1], u[2]};
    *point = Point3{-u[3] * u[0], -u[3] * u[1], -u[3] * u[2]};
}

QUORM_API void ARC_SPLINE_inter_2_monge_planes(const ARC_SPLINE_monge_plane_s *pl1, const ARC_SPLINE_monge_plane_s *pl2,
                                               const double tols[], Point3 *point, Vector3 *dir, int *status) {
    *status = 0;
    double u1[4], u2[4];
    unit_plane(*pl1, u1);
    unit_plane(*pl2, u2);
    const Vector3 c = quorm::cross(quorm::vec(u1), quorm::vec(u2));
    if (!(std::sqrt(quorm::length2(c)) > std::sin(tols[1] * deg_to_rad))) {
        *status = 1;
        return;
    }
    const double plane1[4] = {pl1->a, pl1->b, pl1->c, pl1->d};
    const double plane2[4] = {pl2->a, pl2->b, pl2->c, pl2->d};
    double x[3], d[3];
    int result = 0;
    h705(plane1, plane2, x, d, &result);
    if (result == 1) {
        *status = 1;
    } else if (result == 3) {
        *status = 2;
    } else {
        *point = quorm::pnt(x);
        *dir = quorm::vec(d);
    }
}

QUORM_API void ARC_SPLINE_inter_3_monge_planes(const ARC_SPLINE_monge_plane_s *pl1, const ARC_SPLINE_monge_plane_s *pl2,
                                               const ARC_SPLINE_monge_plane_s *pl3, const double tols[], Point3 *point,
                                               int *st12, int *st23, int *st13) {
    Point3 x12{0.0, 0.0, 0.0}, x23{0.0, 0.0, 0.0}, x13{0.0, 0.0, 0.0};
    Vector3 d12{0.0, 0.0, 0.0}, d23{0.0, 0.0, 0.0}, d13{0.0, 0.0, 0.0};
    ARC_SPLINE_inter_2_monge_planes(pl1, pl2, tols, &x12, &d12, st12);
    ARC_SPLINE_inter_2_monge_planes(pl2, pl3, tols, &x23, &d23, st23);
    ARC_SPLINE_inter_2_monge_planes(pl1, pl3, tols, &x13, &d13, st13);
    if (*st12 != 0 || *st23 != 0 || *st13 != 0) return;
    Point3 q;
    Vector3 n;
    ARC_SPLINE_ask_pt_and_normal_of_monge_plane(pl3, &q, &n);
    Point3 out;
    double t = 0.0;
    int status = 0;
    ARC_SPLINE_proj_pt_along_vec_on_plane(&x12, &q, &n, &d12, tols, &out, &t, &status);
    if (status != 0) {
        *st23 = *st13 = 1;
        return;
    }
    *point = out;
}

QUORM_API double ARC_SPLINE_ask_power_of_a_point_3d(const Point3 *p, const Point3 *centre, double r) {
    return quorm::dist2(*p, *centre) - r * r;
}

QUORM_API double ARC_SPLINE_ask_power_of_a_point_2d(const PNT2_s *p, const ARC_SPLINE_1_seg_2d_s *seg) {
    if (!seg) return 0.0;
    const double r = ARC_SPLINE_ask_radius_of_1_seg_2d(seg);
    const VEC2_s d = sub(seg->center, *p);
    return dot(d, d) - r * r;
}

QUORM_API void ARC_SPLINE_ask_radical_axis_of_2_circles_2d(const ARC_SPLINE_1_seg_2d_s *c1,
                                                           const ARC_SPLINE_1_seg_2d_s *c2, PNT2_s *point,
                                                           VEC2_s *dir, int *relation, int *status) {
    *point = PNT2_s{0.0, 0.0};
    *dir = VEC2_s{0.0, 0.0};
    *relation = 2;
    *status = 0;
    int type1 = 0, type2 = 0, local = 0;
    double r1 = 0.0, r2 = 0.0;
    PNT2_s m1, m2;
    ARC_SPLINE_ask_center_radius_of_seg_2d(c1, &type1, &r1, &m1, &local);
    if (local != 0 || type1 == 0) {
        *status = 1;
        return;
    }
    ARC_SPLINE_ask_center_radius_of_seg_2d(c2, &type2, &r2, &m2, &local);
    if (local != 0 || type2 == 0) {
        *status = 2;
        return;
    }
    VEC2_s u;
    double d = 0.0;
    if (!unitize(sub(m2, m1), small, &u, &d)) {
        *relation = 3;
        return;
    }
    if (r1 < r2) u = neg(u);
    *dir = left_normal(u);
    const double big = (r1 >= r2) ? r1 : r2, little = (r1 >= r2) ? r2 : r1;
    *point = midpoint(m1, m2);
    if (std::fabs(r1 - r2) <= small) {
        if (std::fabs(r1 + r2 - d) <= small)
            *relation = 1;
        else
            *relation = (d > r1 + r2) ? 0 : 2;
        return;
    }
    // Touching from outside or from inside (within 1e-10) is one common
    // point, like touching equal circles; apart, or one circle strictly inside
    // the other, none.  The axis point is the touching point in both cases.
    if (std::fabs(d - (r1 + r2)) <= small || std::fabs(d - (big - little)) <= small)
        *relation = 1;
    else if (d > r1 + r2 || d < big - little)
        *relation = 0;
    else
        *relation = 2;
    *point = add(*point, (big * big - little * little) / (2.0 * d), u);
}

} // extern "C"
