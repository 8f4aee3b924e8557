// Arc-spline segments: the segment record, its creation, evaluation, queries,
// reversal, trimming and offsets.
#include "arc_spline/arc_spline_internal.h"

#include <cmath>
#include <cstddef>

using namespace arc_spline;

static_assert(sizeof(ARC_SPLINE_1_seg_2d_s) == 88, "segment record: two int32 then ten doubles");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, type) == 0, "type");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, sense) == 4, "sense");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, start_pt) == 8, "start_pt");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, start_angle) == 24, "start_angle");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, end_angle) == 32, "end_angle");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, center) == 40, "center");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, direction) == 56, "direction");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, radius) == 72, "radius");
static_assert(offsetof(ARC_SPLINE_1_seg_2d_s, radius_copy) == 80, "radius_copy");

namespace {

// An angle in degrees brought into [0, 360).
double angle_0_360(double a) {
    double r = std::fmod(a, 360.0);
    if (r < 0.0) r += 360.0;
    if (r >= 360.0) r = 0.0; // -tiny + 360 rounds to 360
    return r;
}

// Point of an arc at parameter parm (no range check), for sense +-1; any
// other sense gives the start point.
PNT2_s point_of_arc(const ARC_SPLINE_1_seg_2d_s &seg, double parm) {
    if (seg.sense == 1) return arc_point(seg.start_pt, tangent_at(seg.start_angle), 1, seg.radius, parm - seg.start_angle);
    if (seg.sense == -1)
        return arc_point(seg.start_pt, tangent_at(seg.start_angle), -1, seg.radius, seg.start_angle - parm);
    return seg.start_pt;
}

} // namespace

extern "C" {

// ---- inclinations ----------------------------------------------------------

QUORM_API double ARC_SPLINE_ask_angle_from_tan(double y, double x, int range) {
    const double ax = std::fabs(x), ay = std::fabs(y);
    // A component is zero when it is negligible against the other one, so the
    // snapping does not depend on the length of the vector.
    const double zero = small * (ax > ay ? ax : ay);
    double a;
    if (ay <= zero) {
        a = (x >= 0.0) ? 0.0 : 180.0;
    } else if (ax <= zero) {
        a = (y >= 0.0) ? 90.0 : 270.0;
    } else {
        a = std::atan2(y, x) * rad_to_deg;
        if (a < 0.0) a += 360.0;
        if (a >= 360.0) a = 0.0;
    }
    if (range == 90) {
        if (a > 90.0 && a < 270.0)
            a -= 180.0;
        else if (a >= 270.0)
            a -= 360.0;
    } else if (range == 180) {
        if (a > 180.0) a -= 360.0;
    }
    return a;
}

QUORM_API double ARC_SPLINE_ask_inclination_angle_from_tan_2d(const VEC2_s *v) {
    return ARC_SPLINE_ask_angle_from_tan(v->y, v->x, 360);
}

QUORM_API VEC2_s ARC_SPLINE_ask_tan_2d_from_inclination_angle(double a) { return tangent_at(a); }

QUORM_API void ARC_SPLINE_ask_perp_vec(int flag, const VEC2_s *v, VEC2_s *out) {
    *out = (flag == 1) ? right_normal(*v) : left_normal(*v);
}

// ---- creation and copying --------------------------------------------------

QUORM_API void ARC_SPLINE_init_1_seg_2d(ARC_SPLINE_1_seg_2d_s *seg) {
    seg->type = 0;
    seg->sense = 0;
    seg->start_pt = PNT2_s{0.0, 0.0};
    seg->start_angle = 0.0;
    seg->end_angle = 0.0;
    seg->center = PNT2_s{0.0, 0.0};
    seg->direction = VEC2_s{0.0, 0.0};
    seg->radius = 0.0;
    seg->radius_copy = 0.0;
}

QUORM_API void ARC_SPLINE_copy_1_seg_2d_pre_allocated(const ARC_SPLINE_1_seg_2d_s *src, ARC_SPLINE_1_seg_2d_s *dst) {
    *dst = *src;
}

QUORM_API void ARC_SPLINE_cre_strt_seg_2d(const PNT2_s *p0, PNT2_s *p1, const VEC2_s *dir,
                                          ARC_SPLINE_1_seg_2d_s *seg) {
    const PNT2_s a = *p0;
    PNT2_s b = *p1;
    VEC2_s direction;
    double len = 0.0;
    if (dist(a, b) >= small) {
        unitize(sub(b, a), 0.0, &direction, &len);
    } else {
        // Degenerate straight: it keeps the caller's direction and ends where
        // it starts.
        b = a;
        *p1 = a;
        direction = *dir;
    }
    seg->type = 0;
    seg->sense = 0;
    seg->start_pt = a;
    seg->start_angle = seg->end_angle = inclination(direction);
    seg->center = midpoint(a, b);
    seg->direction = direction;
    seg->radius = seg->radius_copy = len;
}

QUORM_API void ARC_SPLINE_cre_arc_seg_2d(const PNT2_s *p0, const VEC2_s *t0, double central_angle, double radius,
                                         int sense, ARC_SPLINE_1_seg_2d_s *seg, PNT2_s *end_pt, VEC2_s *end_tan) {
    const PNT2_s p = *p0;
    const VEC2_s t = *t0;
    const double a0 = inclination(t);
    const double a1 = a0 + sense * central_angle;
    PNT2_s centre{0.0, 0.0}, end = p;
    if (sense == 1 || sense == -1) {
        centre = add(p, sense * radius, left_normal(t));
        end = arc_point(p, t, sense, radius, central_angle);
    }
    seg->type = 1;
    seg->sense = sense;
    seg->start_pt = p;
    seg->start_angle = a0;
    seg->end_angle = a1;
    seg->center = centre;
    seg->direction = VEC2_s{0.0, 0.0};
    seg->radius = seg->radius_copy = radius;
    *end_pt = end;
    *end_tan = tangent_at(a1);
}

QUORM_API void ARC_SPLINE_cre_circle_from_center_and_radius_2d(const PNT2_s *center, double radius,
                                                               ARC_SPLINE_1_seg_2d_s *seg) {
    const PNT2_s c = *center;
    ARC_SPLINE_init_1_seg_2d(seg);
    seg->type = 1;
    seg->sense = 1;
    seg->start_pt = PNT2_s{c.x + radius, c.y};
    seg->start_angle = 90.0;
    seg->end_angle = 450.0;
    seg->center = c;
    seg->radius = seg->radius_copy = radius;
}

QUORM_API void ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(const PNT2_s *p, const VEC2_s *t, double radius,
                                                                  int sense, ARC_SPLINE_1_seg_2d_s *seg) {
    const PNT2_s start = *p;
    const VEC2_s tan = *t;
    ARC_SPLINE_init_1_seg_2d(seg);
    seg->type = 1;
    seg->sense = sense;
    seg->start_pt = start;
    seg->start_angle = inclination(tan);
    seg->end_angle = (sense == -1) ? seg->start_angle - 360.0 : seg->start_angle + 360.0;
    seg->center = add(start, sense * radius, left_normal(tan));
    seg->radius = seg->radius_copy = radius;
}

QUORM_API void ARC_SPLINE_cre_single_point_circle_2d(const PNT2_s *p, ARC_SPLINE_1_seg_2d_s *seg) {
    const PNT2_s c = *p;
    ARC_SPLINE_init_1_seg_2d(seg);
    seg->type = -1;
    seg->sense = 1;
    seg->start_pt = c;
    seg->center = c;
    seg->start_angle = 90.0;
    seg->end_angle = 450.0;
}

// ---- evaluation ------------------------------------------------------------

QUORM_API void ARC_SPLINE_evaluate_strt_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, double parm, PNT2_s *pt,
                                               VEC2_s *tan, int *status) {
    if (!seg || seg->type != 0) {
        *status = 1;
        return;
    }
    *pt = add(seg->start_pt, parm, seg->direction);
    *tan = seg->direction;
    *status = 0;
}

QUORM_API void ARC_SPLINE_evaluate_arc_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, int extrapolate, double parm,
                                              PNT2_s *pt, VEC2_s *tan, int *status) {
    if (!seg || seg->type == 0) {
        *status = 1;
        return;
    }
    const double s = seg->start_angle, e = seg->end_angle;
    if (std::fabs(parm - s) <= small)
        parm = s;
    else if (std::fabs(parm - e) <= small)
        parm = e;
    *tan = tangent_at(parm);
    if (!extrapolate) {
        // Written as "not inside" so that a NaN parameter is refused too.
        if (seg->sense == 1 && !(parm >= s && parm <= e)) {
            *status = 2;
            return;
        }
        if (seg->sense == -1 && !(parm >= e && parm <= s)) {
            *status = 3;
            return;
        }
    }
    *pt = point_of_arc(*seg, parm);
    *status = 0;
}

QUORM_API void ARC_SPLINE_evaluate_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, int extrapolate, double parm,
                                            PNT2_s *pt, VEC2_s *tan, int *status) {
    if (!seg) {
        *status = 1;
        return;
    }
    if (seg->type == 0)
        ARC_SPLINE_evaluate_strt_seg_2d(seg, parm, pt, tan, status);
    else
        ARC_SPLINE_evaluate_arc_seg_2d(seg, extrapolate, parm, pt, tan, status);
}

// ---- queries -----------------------------------------------------------------

QUORM_API double ARC_SPLINE_ask_radius_of_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg) {
    if (!seg) return 0.0;
    return seg->type == 0 ? huge_radius : seg->radius;
}

QUORM_API void ARC_SPLINE_ask_end_pts_of_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, PNT2_s *start_pt, VEC2_s *start_tan,
                                                  PNT2_s *end_pt, VEC2_s *end_tan, int *status) {
    *start_pt = *end_pt = PNT2_s{0.0, 0.0};
    *start_tan = *end_tan = VEC2_s{0.0, 0.0};
    if (!seg) {
        *status = 1;
        return;
    }
    if (seg->type == 0) {
        *start_pt = seg->start_pt;
        *start_tan = seg->direction;
        *end_pt = add(seg->start_pt, seg->radius, seg->direction);
        *end_tan = seg->direction;
        *status = 0;
    } else if (seg->type == 1) {
        if (!(seg->radius >= small)) {
            *status = 2;
            return;
        }
        *start_pt = seg->start_pt;
        *start_tan = tangent_at(seg->start_angle);
        ARC_SPLINE_evaluate_arc_seg_2d(seg, 1, seg->end_angle, end_pt, end_tan, status);
    } else {
        *status = 3;
    }
}

QUORM_API void ARC_SPLINE_ask_center_radius_of_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, int *type, double *radius,
                                                      PNT2_s *center, int *status) {
    *status = 0;
    if (!seg) {
        *type = -1;
        *radius = 0.0;
        *center = PNT2_s{0.0, 0.0};
        *status = 1;
        return;
    }
    *type = seg->type;
    *center = seg->center;
    if (seg->type == 0) {
        *radius = huge_radius;
    } else if (seg->type == 1) {
        *radius = seg->radius;
        if (!(seg->radius >= small)) *type = -1;
    } else {
        *type = -1;
        *radius = 0.0;
        *status = 2;
    }
}

QUORM_API double ARC_SPLINE_ask_central_angle_from_inclination_angles(double start, double *end, int sense) {
    double k = sense * (*end - start);
    if (k < 0.0) {
        // One turn is enough for angles kept in their usual ranges; more are
        // added for an end that lies several turns behind, so the central
        // angle is never negative.
        k += 360.0;
        if (k < 0.0) k += 360.0 * std::ceil(-k / 360.0);
        *end = start + sense * k;
    }
    return k;
}

QUORM_API double ARC_SPLINE_ask_central_angle_of_1_seg_2d(ARC_SPLINE_1_seg_2d_s *seg) {
    ARC_SPLINE_ASSERT(seg, "segment_ptr");
    if (!seg || seg->type == 0) return 0.0;
    return ARC_SPLINE_ask_central_angle_from_inclination_angles(seg->start_angle, &seg->end_angle, seg->sense);
}

// Status of the arc-length queries: 1 null, 2 arc radius below 1e-10, 3 other
// type; 0 for a straight or a usable arc.
static int arcl_status(const ARC_SPLINE_1_seg_2d_s *seg) {
    if (!seg) return 1;
    if (seg->type == 0) return 0;
    if (seg->type != 1) return 3;
    return seg->radius >= small ? 0 : 2;
}

QUORM_API double ARC_SPLINE_ask_arcl_of_1_seg_2d(ARC_SPLINE_1_seg_2d_s *seg, int *status) {
    *status = arcl_status(seg);
    if (*status != 0) return 0.0;
    if (seg->type == 0) return seg->radius;
    return seg->radius * ARC_SPLINE_ask_central_angle_of_1_seg_2d(seg) * deg_to_rad;
}

QUORM_API double ARC_SPLINE_ask_arcl_to_parm_of_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, double parm, int *status) {
    *status = arcl_status(seg);
    if (*status != 0) return 0.0;
    if (seg->type == 0) return parm;
    return seg->radius *
           ARC_SPLINE_ask_central_angle_from_inclination_angles(seg->start_angle, &parm, seg->sense) * deg_to_rad;
}

QUORM_API double ARC_SPLINE_ask_arcl_of_trimmed_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, double parms[2],
                                                         int *status) {
    *status = arcl_status(seg);
    if (*status != 0) return 0.0;
    if (seg->type == 0) return std::fabs(parms[1] - parms[0]);
    return seg->radius *
           ARC_SPLINE_ask_central_angle_from_inclination_angles(parms[0], &parms[1], seg->sense) * deg_to_rad;
}

QUORM_API int ARC_SPLINE_ask_is_parm_in_arc_domain(const ARC_SPLINE_1_seg_2d_s *seg, double tol, double *parm) {
    if (!seg || seg->type == 0 || (seg->sense != 1 && seg->sense != -1)) return 1;
    const double s = seg->start_angle, e = seg->end_angle;
    double p = *parm;
    bool at_start = false;
    if (seg->sense == 1) {
        // A parameter snapped onto the start counts as at the start.
        if (p >= s - tol && p <= s + tol) {
            if (p < s) *parm = s;
            at_start = true;
        }
        if (p > e && p <= e + tol) {
            *parm = e;
            return 0;
        }
        if (p >= e - tol && p <= e) return 0;
        if (at_start) return 0;
        return (s < p && p < e) ? -1 : 1;
    }
    if (p >= s - tol && p <= s + tol) {
        if (p > s) *parm = s;
        at_start = true;
    }
    if (p >= e - tol && p < e) {
        *parm = e;
        return 0;
    }
    if (p >= e && p <= e + tol) return 0;
    if (at_start) return 0;
    return (e < p && p < s) ? -1 : 1;
}

QUORM_API void ARC_SPLINE_ask_1_seg_2d_data(const ARC_SPLINE_1_seg_2d_s *seg, int want_apex, int *type, int *sense,
                                            double parms[2], double *arc_length, double *curvature, PNT2_s *center,
                                            PNT2_s *start_pt, VEC2_s *start_tan, PNT2_s *end_pt, VEC2_s *end_tan,
                                            PNT2_s *apex, int *status) {
    *type = -1;
    *sense = 0;
    parms[0] = parms[1] = 0.0;
    *arc_length = 0.0;
    *curvature = 0.0;
    *center = *start_pt = *end_pt = *apex = PNT2_s{0.0, 0.0};
    *start_tan = *end_tan = VEC2_s{0.0, 0.0};
    *status = 0;
    if (!seg) return;
    const ARC_SPLINE_1_seg_2d_s s = *seg;
    *type = s.type;
    *sense = s.sense;
    double end_angle = s.end_angle;
    const double k = ARC_SPLINE_ask_central_angle_from_inclination_angles(s.start_angle, &end_angle, s.sense);
    parms[0] = s.start_angle;
    parms[1] = end_angle;
    *start_pt = s.start_pt;
    *center = s.center;
    if (s.type == 0) {
        *start_tan = s.direction;
        *arc_length = s.radius;
        *end_pt = add(s.start_pt, s.radius, s.direction);
        *end_tan = s.direction;
        *apex = s.center;
    } else if (s.type == 1) {
        if (!(s.radius >= small)) {
            *status = 1;
            return;
        }
        *arc_length = k * deg_to_rad * s.radius;
        *curvature = 1.0 / s.radius;
        *start_tan = tangent_at(s.start_angle);
        int local = 0;
        ARC_SPLINE_evaluate_arc_seg_2d(&s, 1, end_angle, end_pt, end_tan, &local);
        if (want_apex == 1) {
            const double tols[2] = {small, 0.005};
            VEC2_s d1 = *start_tan, d2 = *end_tan;
            PNT2_s p1 = *start_pt, p2 = *end_pt, x{0.0, 0.0};
            double line_parms[2] = {0.0, 0.0}, cos_angle = 0.0;
            int inter = 0;
            ARC_SPLINE_inter_line_line_2d(tols, &p1, &p2, 1, &d1, &d2, &x, line_parms, &cos_angle, &inter);
            if (inter != 0)
                *status = 2;
            else
                *apex = x;
        }
    } else {
        *status = 3;
    }
}

QUORM_API void ARC_SPLINE_ask_parm_at_a_point_2d(const ARC_SPLINE_1_seg_2d_s *seg, const PNT2_s *p,
                                                 const double tols[], PNT2_s *foot, double *parm, int *where,
                                                 int *status) {
    *foot = PNT2_s{0.0, 0.0};
    *parm = 0.0;
    *where = 0;
    *status = 0;
    int type, sense, local = 0;
    double parms[2], arcl, curvature;
    PNT2_s centre, start, end, apex;
    VEC2_s start_tan, end_tan;
    ARC_SPLINE_ask_1_seg_2d_data(seg, 0, &type, &sense, parms, &arcl, &curvature, &centre, &start, &start_tan, &end,
                                 &end_tan, &apex, &local);
    // A missing segment, a degenerate arc or a point circle has no parameter
    // to offer.
    if (!seg || local != 0) {
        *status = 1;
        return;
    }
    const PNT2_s q = *p;
    if (curvature < small) {
        if (arcl <= tols[0]) {
            // Too short to have an inside: the parameter along the start
            // tangent tells before, at or beyond.
            double t = 0.0;
            int side = 0;
            ARC_SPLINE_ask_dist_pt_to_line_2d(&q, &start, &start_tan, tols[0], foot, &t, &side);
            *parm = t;
            if (std::fabs(t) <= tols[0])
                *where = 0;
            else
                *where = 1; // before the start or beyond the end
        } else {
            int side = 0;
            ARC_SPLINE_ask_dist_pt_to_line_seg_2d(&q, &start, &end, tols[0], 0, foot, parm, where, &side);
        }
        return;
    }
    const double r = seg->radius;
    const double s = parms[0], e = parms[1];
    VEC2_s u;
    double d = 0.0;
    if (!unitize(sub(q, centre), small, &u, &d)) {
        // The centre itself (or a point that is not a number): every point of
        // the circle is as near; the start is taken.
        *foot = start;
        *parm = s;
        *where = 0;
        return;
    }
    *foot = add(centre, r, u);
    const VEC2_s tan = (sense == -1) ? right_normal(u) : left_normal(u);
    double a = inclination(tan);
    if (std::fabs(a - s) <= small) a = s;
    if (sense == -1) {
        if (std::fabs(a - (s - 360.0)) <= small) a = s - 360.0;
        a = s - angle_0_360(s - a); // into (s - 360, s]
    } else {
        if (std::fabs(a - (s + 360.0)) <= small) a = s + 360.0;
        a = s + angle_0_360(a - s); // into [s, s + 360)
    }
    ARC_SPLINE_1_seg_2d_s arc = *seg;
    arc.end_angle = e;
    *where = ARC_SPLINE_ask_is_parm_in_arc_domain(&arc, tols[1], &a);
    if (*where == 1) {
        // Outside: expressed relative to the nearer end, a point nearer the
        // start gets a parameter before the start.
        if (sense == -1) {
            const double m = e - a, l = a - (s - 360.0);
            if (m >= l) a = s + l;
        } else {
            const double l = s + 360.0 - a, m = a - e;
            if (l <= m) a = s - l;
        }
    }
    *parm = a;
    PNT2_s check;
    VEC2_s check_tan;
    ARC_SPLINE_evaluate_arc_seg_2d(&arc, 1, a, &check, &check_tan, &local);
    if (local != 0 || !(dist(check, *foot) <= tols[0])) *status = 1;
}

// ---- modifications -----------------------------------------------------------

QUORM_API void ARC_SPLINE_reverse_parm_of_strt_2d(ARC_SPLINE_1_seg_2d_s *seg) {
    const PNT2_s start = seg->start_pt;
    PNT2_s old_start = start;
    const PNT2_s end = add(start, seg->radius, seg->direction);
    const VEC2_s back = neg(seg->direction);
    ARC_SPLINE_cre_strt_seg_2d(&end, &old_start, &back, seg);
}

QUORM_API void ARC_SPLINE_reverse_parm_of_arc_2d(ARC_SPLINE_1_seg_2d_s *seg) {
    PNT2_s end{0.0, 0.0};
    VEC2_s end_tan{0.0, 0.0};
    int status = 0;
    ARC_SPLINE_evaluate_1_seg_2d(seg, 1, seg->end_angle, &end, &end_tan, &status);
    if (status != 0) ARC_SPLINE_INTERNAL("The function ARC_SPLINE_evaluate_1_seg_2d failed.");
    double old_end = seg->end_angle;
    const double k = ARC_SPLINE_ask_central_angle_from_inclination_angles(seg->start_angle, &old_end, seg->sense);
    const int sense = -seg->sense;
    const double start_angle = angle_0_360(old_end + 180.0);
    seg->start_pt = end;
    seg->sense = sense;
    seg->start_angle = start_angle;
    seg->end_angle = start_angle + sense * k;
}

QUORM_API void ARC_SPLINE_reverse_parm_of_1_seg_2d(ARC_SPLINE_1_seg_2d_s *seg) {
    if (!seg) return;
    if (seg->type == 0)
        ARC_SPLINE_reverse_parm_of_strt_2d(seg);
    else if (seg->type == 1)
        ARC_SPLINE_reverse_parm_of_arc_2d(seg);
    else
        ARC_SPLINE_INTERNAL("This segment type is not currently handled.");
}

QUORM_API void ARC_SPLINE_trim_to_point_1_seg_2d(const PNT2_s *p, const double tols[], ARC_SPLINE_1_seg_2d_s *seg,
                                                 int *status) {
    *status = 0;
    int type, sense, local = 0;
    double parms[2], arcl, curvature;
    PNT2_s centre, start, end, apex;
    VEC2_s start_tan, end_tan;
    ARC_SPLINE_ask_1_seg_2d_data(seg, 0, &type, &sense, parms, &arcl, &curvature, &centre, &start, &start_tan, &end,
                                 &end_tan, &apex, &local);
    PNT2_s foot{0.0, 0.0};
    double parm = 0.0;
    int where = 0;
    if (!seg || local != 0) {
        *status = 1;
        return;
    }
    ARC_SPLINE_ask_dist_pt_to_1_seg_2d(seg, p, 0, tols, &foot, &parm, &where, &local);
    if (local != 0) {
        *status = 1;
        return;
    }
    PNT2_s at{0.0, 0.0};
    VEC2_s at_tan{0.0, 0.0};
    ARC_SPLINE_evaluate_1_seg_2d(seg, 1, parm, &at, &at_tan, &local);
    if (local != 0) {
        *status = 2;
        return;
    }
    // The new segment is built aside: a failed rebuild leaves the caller's
    // segment as it was.
    ARC_SPLINE_1_seg_2d_s trimmed;
    ARC_SPLINE_init_1_seg_2d(&trimmed);
    if (seg->type == 0) {
        const VEC2_s fallback = (parm < 0.0) ? neg(start_tan) : start_tan;
        ARC_SPLINE_cre_strt_seg_2d(&start, &at, &fallback, &trimmed);
    } else {
        double radius = -1.0;
        ARC_SPLINE_cre_circle_from_chord_end_data_2d(&start, &start_tan, &at, &at_tan, seg->sense, &radius, &trimmed,
                                                     &local);
        if (local != 0) {
            *status = 3;
            return;
        }
    }
    *seg = trimmed;
}

QUORM_API void ARC_SPLINE_cre_offset_circle_2d(const ARC_SPLINE_1_seg_2d_s *seg, double offset, double dist_tol,
                                               ARC_SPLINE_1_seg_2d_s *out) {
    int type = -1, local_status_flag = 0;
    double radius = 0.0;
    PNT2_s centre{0.0, 0.0};
    ARC_SPLINE_ask_center_radius_of_seg_2d(seg, &type, &radius, &centre, &local_status_flag);
    ARC_SPLINE_ASSERT(local_status_flag == 0 && type == 1, "( local_status_flag == 0 && type == 1 )");
    // Without checks a missing segment or a straight still leaves out alone.
    if (!seg || seg->type != 1) return;
    radius = seg->radius;
    const double new_radius = radius + offset;
    ARC_SPLINE_ASSERT(new_radius >= dist_tol, "( new_radius >= dist_tol )");
    PNT2_s start, end;
    VEC2_s start_tan, end_tan;
    ARC_SPLINE_ask_end_pts_of_1_seg_2d(seg, &start, &start_tan, &end, &end_tan, &local_status_flag);
    ARC_SPLINE_ASSERT(local_status_flag == 0, "( local_status_flag == 0 )");
    VEC2_s u;
    unitize(sub(seg->start_pt, centre), 0.0, &u);
    const ARC_SPLINE_1_seg_2d_s in = *seg; // out may be seg
    *out = in;
    out->start_pt = add(centre, new_radius, u);
    out->radius = out->radius_copy = new_radius;
}

QUORM_API void ARC_SPLINE_cre_offset_straight_2d(const ARC_SPLINE_1_seg_2d_s *seg, double offset,
                                                 ARC_SPLINE_1_seg_2d_s *out) {
    if (!seg) {
        ARC_SPLINE_INTERNAL("The input segment is not available.");
        return;
    }
    if (seg->type != 0) {
        ARC_SPLINE_INTERNAL("The input segment is not of straight type.");
        return;
    }
    PNT2_s start, end;
    VEC2_s start_tan, end_tan;
    int status = 0;
    ARC_SPLINE_ask_end_pts_of_1_seg_2d(seg, &start, &start_tan, &end, &end_tan, &status);
    if (status != 0) {
        ARC_SPLINE_INTERNAL("The call to ARC_SPLINE_ask_end_pts_of_1_seg_2d failed.");
        return;
    }
    const VEC2_s dir = seg->direction;
    const VEC2_s n = left_normal(dir);
    const PNT2_s a = add(start, offset, n);
    PNT2_s b = add(end, offset, n);
    ARC_SPLINE_cre_strt_seg_2d(&a, &b, &dir, out);
}

QUORM_API void ARC_SPLINE_ask_is_arc_rather_strt_2d(ARC_SPLINE_1_seg_2d_s *seg, const double tols[], int *status) {
    *status = 0;
    // A curvature tolerance that is not positive turns nothing into a straight.
    if (!seg || seg->type != 1 || !(tols[2] > 0.0) || !(seg->radius > 1.0 / tols[2])) return;
    PNT2_s start, end;
    VEC2_s start_tan, end_tan;
    int local = 0;
    ARC_SPLINE_ask_end_pts_of_1_seg_2d(seg, &start, &start_tan, &end, &end_tan, &local);
    if (local != 0) {
        *status = 2;
        return;
    }
    ARC_SPLINE_cre_strt_seg_2d(&start, &end, &start_tan, seg);
}

} // extern "C"
