// Circle constructions: circles through points and tangent to lines and
// circles, directly in the plane or by lifting circles to points of space.
#include "arc_spline/arc_spline_internal.h"

#include <quorm/arc_spline_apollonian.h>
#include <quorm/arc_spline_inter.h>

#include <algorithm>
#include <cmath>

using namespace arc_spline;

namespace {

// Full circle of the given sense from p around centre (radius |p - centre|
// unless given).
void full_circle_from(const PNT2_s &p, const PNT2_s &centre, double r, int sense, ARC_SPLINE_1_seg_2d_s *seg) {
    VEC2_s rv;
    unitize(sub(p, centre), 0.0, &rv);
    const VEC2_s t = (sense > 0) ? left_normal(rv) : right_normal(rv);
    ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(&p, &t, r, sense, seg);
}

// Centre and radius of an arc (or point circle); false for a missing
// segment, a straight or a failed query.
bool circle_of(const ARC_SPLINE_1_seg_2d_s *seg, PNT2_s *c, double *r, int *type = nullptr) {
    if (!seg) return false;
    int t = 0, st = 0;
    ARC_SPLINE_ask_center_radius_of_seg_2d(seg, &t, r, c, &st);
    if (type) *type = t;
    return st == 0 && t != 0 && is_finite(*c) && std::isfinite(*r);
}

// Opening of the constructions at a point p with tangent t and a given
// circle: both outputs are initialised, and the circle's centre and radius
// and the unit tangent are read.  False for a missing output or unusable
// input (the caller reports status 1).
bool open_circle_at_point(const PNT2_s *p, const VEC2_s *t, const ARC_SPLINE_1_seg_2d_s *circle,
                          ARC_SPLINE_1_seg_2d_s *seg1, ARC_SPLINE_1_seg_2d_s *seg2, PNT2_s *c, double *r,
                          VEC2_s *tu) {
    ARC_SPLINE_ASSERT(seg1 && seg2, "seg_ptr_1 && seg_ptr_2");
    if (!seg1 || !seg2) return false;
    ARC_SPLINE_init_1_seg_2d(seg1);
    ARC_SPLINE_init_1_seg_2d(seg2);
    return circle_of(circle, c, r) && unitize(*t, 1e-10, tu) && is_finite(*p);
}

// When no circle qualifies, the answer is the tangent line at p (a straight
// of no length with direction tu).
void tangent_line_instead(const PNT2_s *p, const VEC2_s *tu, ARC_SPLINE_1_seg_2d_s *seg, int *count) {
    PNT2_s end = *p;
    ARC_SPLINE_cre_strt_seg_2d(p, &end, tu, seg);
    *count = 1;
}

// Circle through p1 and p2 touching the given circle (centre c, radius r) at
// t: tangent there when t is one of the two points, else through all three.
bool circle_thru_2_touching_at(const PNT2_s &p1, const PNT2_s &p2, const PNT2_s &c, const PNT2_s &t,
                               const double tols[], ARC_SPLINE_1_seg_2d_s *seg) {
    int st = 0;
    const bool at1 = dist(t, p1) <= tols[0], at2 = dist(t, p2) <= tols[0];
    if (at1 || at2) {
        VEC2_s rv;
        if (!unitize(sub(t, c), 1e-10, &rv)) return false;
        const VEC2_s tan = left_normal(rv);
        ARC_SPLINE_cre_circle_thru_pt_and_tangent_to_line_at_pt_2d(at1 ? &p1 : &p2, &tan, at1 ? &p2 : &p1, tols, seg,
                                                                  &st);
    } else {
        ARC_SPLINE_cre_circle_thru_3_points_2d(&p1, &p2, &t, tols, seg, &st);
    }
    if (st != 0) ARC_SPLINE_init_1_seg_2d(seg);
    return st == 0;
}

// ---- lifted constructions ----------------------------------------------------

struct Circle {
    double x, y, r;
};

typedef ARC_SPLINE_monge_plane_s Plane;

// Coefficient-wise a*p + b*q.
Plane combine(double a, const Plane &p, double b, const Plane &q) {
    Plane out;
    out.a = a * p.a + b * q.a;
    out.b = a * p.b + b * q.b;
    out.c = a * p.c + b * q.c;
    out.d = a * p.d + b * q.d;
    out.is_normalized = 0;
    return out;
}

Plane polar(const Circle &c) {
    const quorm_point3 centre{c.x, c.y, 0.0};
    Plane p;
    ARC_SPLINE_ask_polar_plane_of_circle(&centre, c.r, &p);
    return p;
}

// Radius below which a circle counts as a point.
const double kPointRadius = 1e-10;
// A reference circle smaller than this share of the largest radius gives
// nearly coinciding tangency planes; the largest circle then takes its place.
const double kReferenceShare = 1e-3;

// The tangency planes that circle j contributes against the reference circle
// ref: P+ = rj*pi_ref + rref*pi_j and P- = rj*pi_ref - rref*pi_j, or its polar
// plane alone when it is a point (or every circle is).
int planes_of(const Circle &ref, const Circle &j, bool all_points, Plane out[2]) {
    const Plane pj = polar(j);
    if (all_points || j.r < kPointRadius) {
        out[0] = pj;
        return 1;
    }
    const Plane pr = polar(ref);
    out[0] = combine(j.r, pr, ref.r, pj);
    out[1] = combine(j.r, pr, -ref.r, pj);
    return 2;
}

// Lifted circles on the line of pl1 and pl2 that are tangent to the reference
// circle (which passes through them when every circle is a point), appended
// to segs as real circles; coordinates are relative to the reference centre
// and shifted back by (ox, oy).
void solve_on_line(const Plane &pl1, const Plane &pl2, const Circle &ref, bool all_points, double ox, double oy,
                   int *count, ARC_SPLINE_1_seg_2d_s segs[]) {
    const double tols[2] = {1e-10, 0.001};
    quorm_point3 p0;
    quorm_vector3 d;
    int st = 0;
    ARC_SPLINE_inter_2_monge_planes(&pl1, &pl2, tols, &p0, &d, &st);
    if (st != 0) return;
    // Tangency to the reference circle: pi(P)^2 = 4 rref^2 (x^2 + y^2 - z),
    // pi its polar plane (pi(P) = 0 when it is a point), a quadratic in s
    // along P = p0 + s d.
    const Plane pr = polar(ref);
    const double pi0 = pr.a * p0.x + pr.b * p0.y + pr.c * p0.z + pr.d;
    const double pid = pr.a * d.x + pr.b * d.y + pr.c * d.z;
    double a, b, c;
    if (all_points) {
        a = 0.0;
        b = pid;
        c = pi0;
    } else {
        const double k = 4.0 * ref.r * ref.r;
        a = pid * pid - k * (d.x * d.x + d.y * d.y);
        b = 2.0 * pi0 * pid - k * (2.0 * p0.x * d.x + 2.0 * p0.y * d.y - d.z);
        c = pi0 * pi0 - k * (p0.x * p0.x + p0.y * p0.y - p0.z);
    }
    double roots[2];
    int n = 0;
    ARC_SPLINE_solve_quadratic_eqt(a, b, c, 1, roots, &n);
    const int take = (n == 2) ? 2 : (n > 0 ? 1 : 0);
    for (int i = 0; i < take; ++i) {
        const quorm_point3 q{p0.x + roots[i] * d.x, p0.y + roots[i] * d.y, p0.z + roots[i] * d.z};
        bool real = false;
        ARC_SPLINE_1_seg_2d_s seg;
        ARC_SPLINE_convert_3d_pt_to_circle_2d(&q, &real, &seg);
        if (!real) continue;
        seg.start_pt.x += ox;
        seg.start_pt.y += oy;
        seg.center.x += ox;
        seg.center.y += oy;
        segs[(*count)++] = seg;
    }
}

bool finite_circle(const Circle &c) { return std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.r); }

// Circles tangent to three circles (points have radius 0): circles[0] is the
// reference unless it is much smaller than the largest; the lines are the
// planes of circles[1] crossed with those of circles[2], in this order.
void lifted_construction(Circle circles[3], int *count, ARC_SPLINE_1_seg_2d_s segs[]) {
    *count = 0;
    for (int i = 0; i < 3; ++i)
        if (!finite_circle(circles[i]) || circles[i].r < 0.0) return;
    int ref = 0;
    const double rmax = std::max(circles[0].r, std::max(circles[1].r, circles[2].r));
    if (circles[0].r < kReferenceShare * rmax) {
        ref = (circles[1].r >= circles[2].r) ? 1 : 2;
        std::swap(circles[0], circles[ref]);
    }
    const bool all_points = circles[0].r < kPointRadius;
    // Work relative to the reference centre: the lifted coordinates then
    // stay small and the radii come back accurately.
    const double ox = circles[0].x, oy = circles[0].y;
    Circle local[3];
    for (int i = 0; i < 3; ++i) local[i] = Circle{circles[i].x - ox, circles[i].y - oy, circles[i].r};
    Plane a[2], b[2];
    const int na = planes_of(local[0], local[1], all_points, a);
    const int nb = planes_of(local[0], local[2], all_points, b);
    for (int i = 0; i < na; ++i)
        for (int k = 0; k < nb; ++k) solve_on_line(a[i], b[k], local[0], all_points, ox, oy, count, segs);
}

bool finite_vec(const VEC2_s &v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// Signed distance helpers for the line constructions.
double side_of(const PNT2_s &x, const PNT2_s &p, const VEC2_s &t) { return cross(t, sub(x, p)); }

} // namespace

extern "C" {

QUORM_API void ARC_SPLINE_cre_circle_from_chord_end_data_2d(const PNT2_s *p1, const VEC2_s *t1, const PNT2_s *p2,
                                                            const VEC2_s *t2, int sense, double *radius,
                                                            ARC_SPLINE_1_seg_2d_s *seg, int *status) {
    ARC_SPLINE_init_1_seg_2d(seg);
    *status = 0;
    if (sense != 1 && sense != -1) {
        *status = 1;
        return;
    }
    VEC2_s tu;
    if (!unitize(*t1, 1e-10, &tu)) {
        *status = 3;
        return;
    }
    VEC2_s m1 = (sense > 0) ? left_normal(tu) : right_normal(tu);
    const double a0 = inclination(tu);
    double a1, r;
    PNT2_s centre;
    if (*radius > 1e-10) {
        r = *radius;
        centre = add(*p1, r, m1);
        a1 = inclination(*t2);
    } else {
        VEC2_s cu;
        double len = 0.0;
        if (!unitize(sub(*p2, *p1), 1e-10, &cu, &len)) {
            *status = 2;
            return;
        }
        const PNT2_s mid = midpoint(*p1, *p2);
        VEC2_s mb = (sense > 0) ? left_normal(cu) : right_normal(cu);
        const double tols[2] = {1e-10, 0.005};
        double parms[2], cosang;
        int ist = 0;
        ARC_SPLINE_inter_line_line_2d(tols, p1, &mid, 1, &m1, &mb, &centre, parms, &cosang, &ist);
        if (ist != 0) {
            *status = 3;
            return;
        }
        // The centre must lie on the sense side of the start tangent, or the
        // record's start data would describe another circle than its centre.
        if (!(parms[0] > 0.0)) {
            *status = 4;
            return;
        }
        r = parms[0];
        *radius = r;
        VEC2_s rv;
        unitize(sub(centre, *p2), 0.0, &rv);
        const VEC2_s te = (sense > 0) ? right_normal(rv) : left_normal(rv);
        a1 = inclination(te);
    }
    if (sense > 0 && a1 < a0) a1 += 360.0;
    if (sense < 0 && a1 > a0) a1 -= 360.0;
    seg->type = 1;
    seg->sense = sense;
    seg->start_pt = *p1;
    seg->start_angle = a0;
    seg->end_angle = a1;
    seg->center = centre;
    seg->direction = VEC2_s{0.0, 0.0};
    seg->radius = r;
    seg->radius_copy = r;
}

QUORM_API void ARC_SPLINE_cre_circle_thru_3_points_2d(const PNT2_s *p1, const PNT2_s *p2, const PNT2_s *p3,
                                                      const double tols[], ARC_SPLINE_1_seg_2d_s *seg, int *status) {
    ARC_SPLINE_init_1_seg_2d(seg);
    int orientation = -1;
    *status = ARC_SPLINE_ask_3pts_collinearity_2d(p1, p2, p3, tols, 2, &orientation);
    if (*status != 0) return;
    const PNT2_s m13 = midpoint(*p1, *p3), m12 = midpoint(*p1, *p2);
    VEC2_s d13 = left_normal(sub(*p3, *p1)), d12 = left_normal(sub(*p2, *p1));
    PNT2_s centre;
    double parms[2], cosang;
    ARC_SPLINE_inter_line_line_2d(tols, &m13, &m12, 0, &d13, &d12, &centre, parms, &cosang, status);
    if (*status != 0) return;
    const double r = dist(*p1, centre);
    const int sense = (orientation == 1) ? -1 : 1;
    VEC2_s rv;
    unitize(sub(*p1, centre), 0.0, &rv);
    const VEC2_s t = (sense > 0) ? left_normal(rv) : right_normal(rv);
    PNT2_s end;
    VEC2_s end_tan;
    ARC_SPLINE_cre_arc_seg_2d(p1, &t, 360.0, r, sense, seg, &end, &end_tan);
}

QUORM_API void ARC_SPLINE_cre_circle_thru_2_points_and_radius(const PNT2_s *p1, const PNT2_s *p2, double radius,
                                                              int which, const double tols[], int *count,
                                                              ARC_SPLINE_1_seg_2d_s *seg1, ARC_SPLINE_1_seg_2d_s *seg2,
                                                              int *status) {
    ARC_SPLINE_init_1_seg_2d(seg1);
    ARC_SPLINE_init_1_seg_2d(seg2);
    *count = 0;
    *status = 0;
    VEC2_s c;
    double chord = 0.0;
    unitize(sub(*p2, *p1), 0.0, &c, &chord);
    const double h = 0.5 * chord;
    if (!(h > tols[0])) {
        *status = 1;
        return;
    }
    const PNT2_s mid = midpoint(*p1, *p2);
    if (std::fabs(radius - h) <= tols[0]) {
        full_circle_from(*p1, mid, h, 1, seg1);
        *count = 1;
        return;
    }
    if (!(radius > h)) {
        *status = 2;
        return;
    }
    const double k = std::sqrt(radius * radius - h * h);
    const VEC2_s n = left_normal(c);
    const int left_sense = which ? -1 : 1;
    full_circle_from(*p1, add(mid, k, n), radius, left_sense, seg1);
    full_circle_from(*p1, add(mid, -k, n), radius, -left_sense, seg2);
    *count = 2;
}

QUORM_API void ARC_SPLINE_cre_circle_thru_pt_and_tangent_to_line_at_pt_2d(const PNT2_s *p, const VEC2_s *t,
                                                                          const PNT2_s *q, const double tols[],
                                                                          ARC_SPLINE_1_seg_2d_s *seg, int *status) {
    ARC_SPLINE_init_1_seg_2d(seg);
    *status = 0;
    if (dist(*p, *q) <= tols[0]) {
        ARC_SPLINE_cre_single_point_circle_2d(p, seg);
        *status = 1;
        return;
    }
    VEC2_s tu;
    if (unitize(*t, 1e-10, &tu)) {
        PNT2_s foot;
        double tt;
        int side = 0;
        ARC_SPLINE_ask_dist_pt_to_line_2d(q, p, &tu, tols[0], &foot, &tt, &side);
        if (side != 0) {
            const PNT2_s mid = midpoint(*p, *q);
            VEC2_s n = left_normal(tu), b = left_normal(sub(*q, *p));
            PNT2_s centre;
            double parms[2], cosang;
            int ist = 0;
            ARC_SPLINE_inter_line_line_2d(tols, p, &mid, 0, &n, &b, &centre, parms, &cosang, &ist);
            if (ist == 0) {
                ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(p, &tu, std::fabs(parms[0]), side == 1 ? -1 : 1,
                                                                   seg);
                return;
            }
        }
    } else {
        tu = *t;
    }
    PNT2_s end = *q;
    ARC_SPLINE_cre_strt_seg_2d(p, &end, &tu, seg);
    *status = 2;
}

QUORM_API void ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(const PNT2_s *p1, const PNT2_s *p2, const PNT2_s *lp,
                                                                   const VEC2_s *ld, const double tols[], int *count,
                                                                   PNT2_s *tangency1, PNT2_s *tangency2,
                                                                   ARC_SPLINE_1_seg_2d_s *seg1,
                                                                   ARC_SPLINE_1_seg_2d_s *seg2, int *status) {
    *count = 0;
    *status = 0;
    *tangency1 = *tangency2 = PNT2_s{0.0, 0.0};
    ARC_SPLINE_init_1_seg_2d(seg1);
    ARC_SPLINE_init_1_seg_2d(seg2);
    VEC2_s c, u;
    double chord = 0.0;
    if (!unitize(sub(*p2, *p1), tols[0], &c, &chord) || !unitize(*ld, 1e-10, &u)) {
        *status = 1;
        return;
    }
    PNT2_s x;
    double parms[2], cosang;
    int ist = 0;
    VEC2_s cc = c, uu = u;
    ARC_SPLINE_inter_line_line_2d(tols, p1, lp, 1, &cc, &uu, &x, parms, &cosang, &ist);
    int st = 0;
    if (ist >= 2) {
        PNT2_s end = *p2;
        ARC_SPLINE_cre_strt_seg_2d(p1, &end, &c, seg1);
        *tangency1 = *p1;
        *tangency2 = *p2;
        *count = 1;
        return;
    }
    if (ist == 1) {
        const PNT2_s mid = midpoint(*p1, *p2);
        PNT2_s foot;
        double tt;
        int side;
        ARC_SPLINE_ask_dist_pt_to_line_2d(&mid, lp, &u, tols[0], &foot, &tt, &side);
        ARC_SPLINE_cre_circle_thru_3_points_2d(p1, p2, &foot, tols, seg1, &st);
        if (st == 0) {
            *tangency1 = foot;
            *count = 1;
        } else {
            ARC_SPLINE_init_1_seg_2d(seg1);
        }
        return;
    }
    PNT2_s foot;
    double tt;
    int where, side;
    ARC_SPLINE_ask_dist_pt_to_line_seg_2d(&x, p1, p2, tols[0], 0, &foot, &tt, &where, &side);
    if (where == -1) return; // the line separates the points
    if (where == 0) {
        const bool at1 = tt < 0.5 * chord;
        const PNT2_s &end = at1 ? *p1 : *p2;
        ARC_SPLINE_cre_circle_thru_pt_and_tangent_to_line_at_pt_2d(&end, &u, at1 ? p2 : p1, tols, seg1, &st);
        if (st == 0) {
            *tangency1 = end;
            *count = 1;
        } else {
            ARC_SPLINE_init_1_seg_2d(seg1);
        }
        return;
    }
    // The tangent length from x equals the square root of its power with
    // respect to every circle through p1 and p2.
    const double f = std::sqrt(dist(x, *p1) * dist(x, *p2));
    const PNT2_s cand[2] = {add(x, f, u), add(x, -f, u)};
    for (int i = 0; i < 2; ++i) {
        ARC_SPLINE_1_seg_2d_s *out = (*count == 0) ? seg1 : seg2;
        ARC_SPLINE_cre_circle_thru_3_points_2d(p1, p2, &cand[i], tols, out, &st);
        if (st != 0) {
            ARC_SPLINE_init_1_seg_2d(out);
            continue;
        }
        (*count == 0 ? *tangency1 : *tangency2) = cand[i];
        ++*count;
    }
}

QUORM_API void ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(const PNT2_s *p1, const PNT2_s *p2,
                                                                     const ARC_SPLINE_1_seg_2d_s *circle,
                                                                     const double tols[], int *count,
                                                                     PNT2_s *tangency1, PNT2_s *tangency2,
                                                                     ARC_SPLINE_1_seg_2d_s *seg1,
                                                                     ARC_SPLINE_1_seg_2d_s *seg2, int *status) {
    *count = 0;
    *status = 0;
    *tangency1 = *tangency2 = PNT2_s{0.0, 0.0};
    ARC_SPLINE_init_1_seg_2d(seg1);
    ARC_SPLINE_init_1_seg_2d(seg2);
    PNT2_s c;
    double r;
    if (!circle_of(circle, &c, &r)) {
        *status = 1;
        return;
    }
    const VEC2_s e = sub(*p2, *p1);
    VEC2_s eu;
    double chord = 0.0;
    if (!unitize(e, tols[0], &eu, &chord)) {
        *status = 3;
        return;
    }
    PNT2_s cand[2];
    int ncand = 0;
    if (r < 1e-10) {
        // A point circle: the circle through the three points.
        cand[0] = c;
        ncand = 1;
    } else {
        // The radical centre A of the given circle and every circle through p1
        // and p2 lies on the line p1 p2 where both powers agree:
        //   |A - c|^2 - r^2 = (A - p1).(A - p2),  A = p1 + s e,
        // which is linear in s.  When c lies on the bisector of p1 p2 the
        // configuration is symmetric and the touching points lie on the
        // perpendicular through the midpoint.
        const PNT2_s mid = midpoint(*p1, *p2);
        const double off = dot(eu, sub(mid, c)); // distance of c from the bisector
        if (std::fabs(off) <= tols[0]) {
            const VEC2_s n = left_normal(eu);
            cand[0] = add(c, r, n);
            cand[1] = add(c, -r, n);
            ncand = 2;
        } else {
            const VEC2_s w = sub(*p1, c);
            const double s = (r * r - dot(w, w)) / (2.0 * chord * off);
            const PNT2_s A = add(*p1, s, e);
            ARC_SPLINE_1_seg_2d_s full;
            ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, r, &full);
            double parms[2];
            int where[2], st = 0;
            ARC_SPLINE_ask_tangents_thru_a_point_2d(&full, &A, 0, tols, &ncand, &cand[0], &cand[1], parms, where, &st);
            if (st != 0) {
                *status = 2;
                return;
            }
        }
    }
    for (int i = 0; i < ncand; ++i) {
        ARC_SPLINE_1_seg_2d_s *out = (*count == 0) ? seg1 : seg2;
        if (!circle_thru_2_touching_at(*p1, *p2, c, cand[i], tols, out)) continue;
        (*count == 0 ? *tangency1 : *tangency2) = cand[i];
        ++*count;
    }
}

QUORM_API void ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle_2(const quorm_point3 *centre, double radius,
                                                                       const quorm_point3 *p1, const quorm_point3 *p2,
                                                                       int *count, ARC_SPLINE_1_seg_2d_s segs[]) {
    Circle c[3] = {{centre->x, centre->y, radius}, {p1->x, p1->y, 0.0}, {p2->x, p2->y, 0.0}};
    lifted_construction(c, count, segs);
}

QUORM_API void ARC_SPLINE_cre_circle_tangent_to_2_circles_and_a_pt(const quorm_point3 *centre1, double r1,
                                                                   const quorm_point3 *centre2, double r2,
                                                                   const quorm_point3 *point, int *count,
                                                                   ARC_SPLINE_1_seg_2d_s segs[]) {
    Circle c[3] = {{centre1->x, centre1->y, r1}, {centre2->x, centre2->y, r2}, {point->x, point->y, 0.0}};
    lifted_construction(c, count, segs);
}

QUORM_API void ARC_SPLINE_cre_circle_tangent_to_3_circles(const quorm_point3 *centre1, double r1,
                                                          const quorm_point3 *centre2, double r2,
                                                          const quorm_point3 *centre3, double r3, int *count,
                                                          ARC_SPLINE_1_seg_2d_s segs[]) {
    Circle c[3] = {{centre1->x, centre1->y, r1}, {centre2->x, centre2->y, r2}, {centre3->x, centre3->y, r3}};
    lifted_construction(c, count, segs);
}

QUORM_API void ARC_SPLINE_cre_circle_tangent_to_2_circles_and_given_radius_2d(
    const ARC_SPLINE_1_seg_2d_s *circle1, const ARC_SPLINE_1_seg_2d_s *circle2, double radius, const double tols[],
    int whole1, int whole2, int which, int *count, ARC_SPLINE_1_seg_2d_s segs[], PNT2_s tangency[]) {
    *count = 0;
    const double given_radius = radius;
    ARC_SPLINE_ASSERT(given_radius >= tols[0], "( given_radius >= tols[0] )");
    PNT2_s c1, c2;
    double radius_1 = 0.0, radius_2 = 0.0;
    int type_1 = 0, type_2 = 0, local_status_flag = 0;
    if (circle1) ARC_SPLINE_ask_center_radius_of_seg_2d(circle1, &type_1, &radius_1, &c1, &local_status_flag);
    const bool ok1 = circle1 && local_status_flag == 0 && type_1 == 1 && radius_1 >= tols[0];
    ARC_SPLINE_ASSERT(ok1, "( local_status_flag == 0 && type_1 == 1 && radius_1 >= tols[0] )");
    local_status_flag = 0;
    if (circle2) ARC_SPLINE_ask_center_radius_of_seg_2d(circle2, &type_2, &radius_2, &c2, &local_status_flag);
    const bool ok2 = circle2 && local_status_flag == 0 && type_2 == 1 && radius_2 >= tols[0];
    ARC_SPLINE_ASSERT(ok2, "( local_status_flag == 0 && type_2 == 1 && radius_2 >= tols[0] )");
    if (!ok1 || !ok2 || !(given_radius >= tols[0])) return;

    static const int all[4] = {-3, 1, -1, 3};
    const int *selections = all;
    int nsel = 4;
    int single[1] = {which};
    if (which != 0) {
        if (which != -3 && which != 1 && which != -1 && which != 3) return;
        selections = single;
        nsel = 1;
    }
    for (int k = 0; k < nsel; ++k) {
        const int sel = selections[k];
        const double o1 = (sel == -3 || sel == 1) ? -radius : radius;
        const double o2 = (sel == -3 || sel == -1) ? -radius : radius;
        // Inside a circle no larger than the given radius there is no room.
        if (radius_1 + o1 < tols[0] || radius_2 + o2 < tols[0]) continue;
        ARC_SPLINE_1_seg_2d_s off1, off2;
        ARC_SPLINE_cre_offset_circle_2d(circle1, o1, tols[0], &off1);
        ARC_SPLINE_cre_offset_circle_2d(circle2, o2, tols[0], &off2);
        PNT2_s x[2];
        double pa[2], pb[2];
        int wa[2], wb[2], n = 0, st = 0;
        ARC_SPLINE_inter_of_2_circular_arcs_2d(&off1, &off2, whole1 ? 0 : 1, whole2 ? 0 : 1, tols, &n, &x[0], pa, wa,
                                               &x[1], pb, wb, &st);
        if (st != 0) continue;
        for (int i = 0; i < n; ++i) {
            const PNT2_s X = x[i];
            VEC2_s u1, u2;
            unitize(sub(c1, X), 0.0, &u1);
            unitize(sub(c2, X), 0.0, &u2);
            const PNT2_s q1 = add(X, o1, u1), q2 = add(X, o2, u2);
            int orientation = -1;
            ARC_SPLINE_ask_3pts_collinearity_2d(&X, &q1, &q2, tols, 2, &orientation);
            const int sense = (orientation == 1) ? -1 : 1;
            VEC2_s r1v, r2v;
            unitize(sub(q1, X), 0.0, &r1v);
            unitize(sub(q2, X), 0.0, &r2v);
            const VEC2_s t1 = (sense > 0) ? left_normal(r1v) : right_normal(r1v);
            const VEC2_s t2 = (sense > 0) ? left_normal(r2v) : right_normal(r2v);
            ARC_SPLINE_1_seg_2d_s *out = &segs[*count];
            if (dist(q1, q2) < 1e-10) {
                // Both circles touch the solution at one point: the whole circle.
                ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(&q1, &t1, radius, sense, out);
            } else {
                double rad = -1.0;
                ARC_SPLINE_cre_circle_from_chord_end_data_2d(&q1, &t1, &q2, &t2, sense, &rad, out, &local_status_flag);
                ARC_SPLINE_ASSERT(local_status_flag == 0, "( local_status_flag == 0 )");
                if (local_status_flag != 0) continue;
            }
            tangency[2 * *count] = q1;
            tangency[2 * *count + 1] = q2;
            ++*count;
        }
    }
}

QUORM_API void ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(const PNT2_s *p, const VEC2_s *t,
                                                                       const PNT2_s *q, const VEC2_s *u, int side,
                                                                       const double tols[], ARC_SPLINE_1_seg_2d_s *seg,
                                                                       PNT2_s *touch, VEC2_s *touch_tan, int *status) {
    *touch = PNT2_s{0.0, 0.0};
    *touch_tan = VEC2_s{0.0, 0.0};
    *status = 0;
    if (!seg) {
        *status = 1;
        return;
    }
    ARC_SPLINE_init_1_seg_2d(seg);
    if (!is_finite(*p) || !is_finite(*q) || !finite_vec(*t) || !finite_vec(*u)) {
        *status = 4;
        return;
    }
    VEC2_s tu = *t, uu = *u;
    PNT2_s apex;
    double parms[2] = {0.0, 0.0}, cosang;
    int ist = 0;
    ARC_SPLINE_inter_line_line_2d(tols, p, q, 0, &tu, &uu, &apex, parms, &cosang, &ist);
    if (ist >= 2) {
        *status = 2;
        return;
    }
    if (ist == 1) {
        *touch_tan = tu;
        PNT2_s foot;
        double tt;
        int s2 = 0;
        const double diameter = ARC_SPLINE_ask_dist_pt_to_line_2d(p, q, &uu, tols[0], &foot, &tt, &s2);
        if (s2 == 0) {
            *status = 1;
            return;
        }
        // The circle lies between the lines.  With line 2 on the right of t
        // it runs clockwise from p; with line 2 on the left it runs clockwise
        // from the foot of p on line 2 (its centre then lies right of t as
        // seen from the foot, towards line 1).
        const bool line2_right = side_of(foot, *p, tu) < 0.0;
        ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(line2_right ? p : &foot, &tu, 0.5 * diameter, -1, seg);
        *touch = foot;
        return;
    }
    if (dist(*p, apex) < tols[0]) {
        *status = 3;
        return;
    }
    const int sense = (side == 'l') ? 1 : -1;
    const int s1 = ARC_SPLINE_ask_sign_of_var(parms[0], 1e-10);
    const int sc = ARC_SPLINE_ask_sign_of_var(cross(tu, uu), 1e-10);
    VEC2_s w = uu;
    if (s1 * sc * sense < 0) w = neg(w);
    *touch_tan = w;
    const double reach = dist(*p, apex);
    *touch = add(apex, (s1 == 1) ? reach : -reach, w);
    double rad = -1.0;
    int st = 0;
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(p, &tu, touch, &w, sense, &rad, seg, &st);
    if (st != 0) *status = 4;
}

QUORM_API void ARC_SPLINE_cre_circle_tangent_to_circle_and_line_at_pt_2d(
    const PNT2_s *p, const VEC2_s *t, const ARC_SPLINE_1_seg_2d_s *circle, const double tols[], int which, int *count,
    PNT2_s *tp1, PNT2_s *tp2, ARC_SPLINE_1_seg_2d_s *seg1, ARC_SPLINE_1_seg_2d_s *seg2, int *kind, int *status) {
    *count = 0;
    *status = 0;
    *kind = 0;
    *tp1 = *tp2 = PNT2_s{0.0, 0.0};
    PNT2_s c;
    double r;
    VEC2_s tu;
    if (!open_circle_at_point(p, t, circle, seg1, seg2, &c, &r, &tu)) {
        *status = 1;
        return;
    }
    const int where = ARC_SPLINE_ask_where_is_pt_wrt_circle_2d(p, circle, tols[0]);
    if (where == 0) {
        *seg1 = *seg2 = *circle;
        *tp1 = *tp2 = *p;
        *count = 3;
        return;
    }
    *kind = (where < 0) ? 2 : 1;
    const VEC2_s n = left_normal(tu);
    const double k = dot(sub(*p, c), sub(*p, c)) - r * r; // power of p
    const double delta = dot(n, sub(c, *p));              // signed distance of c from the line
    double rho[2];
    int nrho = 0;
    if (std::fabs(delta) < tols[0]) {
        // Centre on the line: the two solutions are mirror images.
        if (!(r >= 1e-10)) {
            // A point on the line cannot be touched by a circle tangent there.
            nrho = 0;
        } else {
            const double m = std::fabs(k) / (2.0 * r);
            rho[0] = m;
            rho[1] = -m;
            nrho = 2;
        }
    } else {
        // The centre X = p + rho n is at distance |rho| from the line and
        // |rho| + r (touching from outside) or ||rho| - r| (from inside)
        // from c, which gives rho = k / (2 (delta + e r)) for e = +1 and -1.
        for (int e = 1; e >= -1; e -= 2) {
            const double den = 2.0 * (delta + e * r);
            if (std::fabs(den) <= 1e-10) continue; // that solution is the line itself
            const double v = k / den;
            if (!(std::fabs(v) >= tols[0]) || !std::isfinite(v)) continue;
            // A point circle gives the same circle twice.
            if (nrho == 1 && std::fabs(v - rho[0]) <= tols[0]) continue;
            rho[nrho++] = v;
        }
    }
    ARC_SPLINE_1_seg_2d_s *outs[2] = {seg1, seg2};
    PNT2_s *tps[2] = {tp1, tp2};
    for (int i = 0; i < nrho; ++i) {
        if ((which == 1 && i != 0) || (which == 2 && i != 1)) continue;
        const double a = std::fabs(rho[i]);
        const int sense = (rho[i] > 0.0) ? 1 : -1;
        const PNT2_s X = add(*p, rho[i], n);
        ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(p, &tu, a, sense, outs[*count]);
        // Touching point: on the ray from c through X, except for a solution
        // that encloses the given circle, where it lies on the far side.
        VEC2_s v;
        if (!unitize(sub(X, c), 0.0, &v)) v = n;
        const double dxc = dist(X, c);
        const double s = (a > r && std::fabs(dxc - (a - r)) < std::fabs(dxc - (a + r))) ? -1.0 : 1.0;
        *tps[*count] = add(c, s * r, v);
        ++*count;
    }
    if (*count == 0) tangent_line_instead(p, &tu, seg1, count);
}

QUORM_API void ARC_SPLINE_cre_circle_at_angle_to_c_tangent_to_l_at_pt_2d(const PNT2_s *p, const VEC2_s *t,
                                                                         const ARC_SPLINE_1_seg_2d_s *circle,
                                                                         double angle, const double tols[], int *count,
                                                                         ARC_SPLINE_1_seg_2d_s *seg1,
                                                                         ARC_SPLINE_1_seg_2d_s *seg2, int *status) {
    *count = 0;
    *status = 0;
    if (std::fabs(angle) <= tols[1]) angle = 0.0;
    if (std::fabs(angle - 180.0) <= tols[1]) angle = 180.0;
    if (!(angle >= 0.0 && angle <= 180.0)) ARC_SPLINE_INTERNAL("The input value of the angle is not valid.");
    PNT2_s c;
    double r;
    VEC2_s tu;
    if (!open_circle_at_point(p, t, circle, seg1, seg2, &c, &r, &tu)) {
        *status = 1;
        return;
    }
    const VEC2_s n = left_normal(tu);
    const double k = dot(sub(*p, c), sub(*p, c)) - r * r;
    if (!(std::fabs(k) <= tols[0] * tols[0])) {
        // Centre X = p + rho f n, radius rho; at a crossing point the radii
        // make the angle phi:  |X - c|^2 = rho^2 + r^2 - 2 rho r cos(phi),
        // which is linear in rho:  rho = k / (2 (f delta - r cos phi)).
        const double delta = dot(n, sub(c, *p));
        const double angles[2] = {angle, 180.0 - angle};
        const int nang = (std::fabs(angles[0] - angles[1]) <= tols[1]) ? 1 : 2;
        ARC_SPLINE_1_seg_2d_s *outs[2] = {seg1, seg2};
        for (int f = 1; f >= -1 && *count < 2; f -= 2) {
            for (int i = 0; i < nang && *count < 2; ++i) {
                const double den = 2.0 * (f * delta - r * std::cos(angles[i] * deg_to_rad));
                if (std::fabs(den) <= 1e-10) continue; // no circle of this kind
                const double rho = k / den;
                if (!(rho > 1e-10) || !std::isfinite(rho)) continue;
                ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(p, &tu, rho, f, outs[*count]);
                ++*count;
            }
        }
        if (*count == 0) tangent_line_instead(p, &tu, seg1, count);
        return;
    }
    // p on the circle: every circle tangent to the line at p meets the given
    // circle there at the angle between t and the circle's tangent.
    PNT2_s foot, pt;
    double parm = 0.0;
    int where = 0, st = 0;
    ARC_SPLINE_ask_parm_at_a_point_2d(circle, p, tols, &foot, &parm, &where, &st);
    if (st != 0) {
        *status = 2;
        return;
    }
    VEC2_s ct;
    ARC_SPLINE_evaluate_arc_seg_2d(circle, 1, parm, &pt, &ct, &st);
    if (st != 0) {
        *status = 3;
        return;
    }
    const double cosv = std::max(-1.0, std::min(1.0, dot(ct, tu)));
    const double between = std::acos(cosv) * rad_to_deg;
    if (std::fabs(between - angle) <= tols[1] || std::fabs(between - (180.0 - angle)) <= tols[1]) {
        ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(p, &tu, r, 1, seg1);
        ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(p, &tu, r, -1, seg2);
        *count = 3;
    }
}

QUORM_API void ARC_SPLINE_cre_arc_from_ray_to_ray_2d(const PNT2_s *p1, const VEC2_s *d1, const PNT2_s *p2,
                                                     const VEC2_s *d2, const double tols[], double radius, int *status,
                                                     PNT2_s *apex, double parms[2], PNT2_s *arc_start,
                                                     PNT2_s *arc_end, int *sense, ARC_SPLINE_1_seg_2d_s *seg) {
    *status = 0;
    *apex = *arc_start = *arc_end = PNT2_s{0.0, 0.0};
    parms[0] = parms[1] = 0.0;
    *sense = 1;
    ARC_SPLINE_init_1_seg_2d(seg);
    VEC2_s a = *d1, b = *d2;
    double cosang;
    ARC_SPLINE_inter_line_line_2d(tols, p1, p2, 1, &a, &b, apex, parms, &cosang, status);
    if (*status != 0) return;
    const double turn = ARC_SPLINE_ask_central_angle_between_tangents_2d(&a, &b, sense);
    const double reach = std::tan(0.5 * std::fabs(turn) * deg_to_rad) * radius;
    *arc_start = add(*apex, -reach, a);
    *arc_end = add(*apex, reach, b);
    double rad = radius;
    int st = 0;
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(arc_start, &a, arc_end, &b, *sense, &rad, seg, &st);
    if (st != 0) ARC_SPLINE_INTERNAL("The call to ARC_SPLINE_cre_circle_from_chord_end_data_2d failed.");
}

} // extern "C"
