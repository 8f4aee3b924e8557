// Intersections, tangent lines and distances of arc-spline segments.
#include "arc_spline/arc_spline_internal.h"

#include <quorm/arc_spline_apollonian.h>
#include <quorm/arc_spline_inter.h>
#include <quorm/solve.h>

#include <cmath>

using namespace arc_spline;

namespace {

// Position codes of a point on a segment.
const int kInside = -1;
const int kAtEnd = 0;
const int kOutside = 1;

// Result slots of the two-segment intersections, filled point by point.
struct Slot {
    PNT2_s x;
    double parms[2];
    int where[2];
};

void clear_slot(Slot *s) {
    s->x = PNT2_s{0.0, 0.0};
    s->parms[0] = s->parms[1] = 0.0;
    s->where[0] = s->where[1] = kInside;
}

bool slot_valid(const Slot &s) { return s.where[0] != kOutside && s.where[1] != kOutside; }

// Writes the slots to the caller's outputs (either may be null).
void write_slot(const Slot &s, PNT2_s *x, double parms[2], int where[2]) {
    if (x) *x = s.x;
    if (parms) {
        parms[0] = s.parms[0];
        parms[1] = s.parms[1];
    }
    if (where) {
        where[0] = s.where[0];
        where[1] = s.where[1];
    }
}

// Parameter and position of x on seg; an unbounded segment counts every point
// as on it.  False when the projection fails.
bool locate(const ARC_SPLINE_1_seg_2d_s *seg, const PNT2_s &x, int bounded, const double tols[], double *parm,
            int *where) {
    PNT2_s foot;
    int st = 0;
    ARC_SPLINE_ask_parm_at_a_point_2d(seg, &x, tols, &foot, parm, where, &st);
    if (st != 0) return false;
    if (!bounded) *where = kInside;
    return true;
}

// Locates slot point on both segments; returns 0 or the failure status
// (code1 on seg1, code2 on seg2).
int locate_slot(Slot *s, const ARC_SPLINE_1_seg_2d_s *seg1, const ARC_SPLINE_1_seg_2d_s *seg2, int bounded1,
                int bounded2, const double tols[], int code1, int code2) {
    if (!locate(seg1, s->x, bounded1, tols, &s->parms[0], &s->where[0])) return code1;
    if (!locate(seg2, s->x, bounded2, tols, &s->parms[1], &s->where[1])) return code2;
    return 0;
}

// Counting of two candidate points: both valid 2; one valid 1 (moved into the
// first slot); none 0.
int count_pair(Slot *a, Slot *b) {
    const bool va = slot_valid(*a), vb = slot_valid(*b);
    if (va && vb) return 2;
    if (va) return 1;
    if (vb) {
        const Slot t = *a;
        *a = *b;
        *b = t;
        return 1;
    }
    return 0;
}

// Centre and radius of a usable circle (an arc, or a point circle when
// allow_point); false for a missing segment, a straight or a failed query.
bool circle_of(const ARC_SPLINE_1_seg_2d_s *seg, PNT2_s *c, double *r, bool allow_point = true) {
    if (!seg) return false;
    int type = 0, st = 0;
    ARC_SPLINE_ask_center_radius_of_seg_2d(seg, &type, r, c, &st);
    if (st != 0 || type == 0) return false;
    if (type == -1 && !allow_point) return false;
    return is_finite(*c) && std::isfinite(*r);
}

// The data of a straight: start, unit direction and length; a piece no
// longer than tol becomes a unit-long piece along its start tangent.
bool straight_of(const ARC_SPLINE_1_seg_2d_s *seg, double tol, PNT2_s *start, VEC2_s *dir, PNT2_s *end) {
    if (!seg || seg->type != 0) return false;
    int type, sense, st = 0;
    double parms[2], arcl, curv;
    PNT2_s centre, apex, e;
    VEC2_s t0, t1;
    ARC_SPLINE_ask_1_seg_2d_data(seg, 0, &type, &sense, parms, &arcl, &curv, &centre, start, &t0, &e, &t1, &apex,
                                 &st);
    if (st != 0 || type != 0) return false;
    if (!unitize(t0, 1e-10, dir)) return false;
    if (!is_finite(*start) || !std::isfinite(arcl)) return false;
    *end = (arcl <= tol) ? add(*start, *dir) : e;
    return true;
}

// Key that increases along an arc: its parameter runs up for a
// counter-clockwise arc and down for a clockwise one.
double order_key(const ARC_SPLINE_1_seg_2d_s *seg, double parm) { return seg->sense < 0 ? -parm : parm; }

} // namespace

extern "C" {

QUORM_API void ARC_SPLINE_inter_line_line_2d(const double tols[], const PNT2_s *p1, const PNT2_s *p2, int are_unit,
                                             VEC2_s *d1, VEC2_s *d2, PNT2_s *x, double parms[2], double *cos_angle,
                                             int *status) {
    *status = 0;
    const VEC2_s gap = sub(*p2, *p1);
    const bool same_base = length(gap) < tols[0];
    if (same_base) {
        // Both base points lie on both lines: the meeting point is at
        // parameter 0 on each.
        *x = midpoint(*p1, *p2);
        parms[0] = parms[1] = 0.0;
    }
    if (!are_unit) {
        unitize(*d1, 1e-8, d1);
        unitize(*d2, 1e-8, d2);
    }
    const double c = dot(*d1, *d2);
    const double cos_tol = std::cos(tols[1] * deg_to_rad);
    if (std::fabs(c) >= cos_tol) {
        *status = 1;
        VEC2_s g;
        if (same_base || (unitize(gap, 0.0, &g) && std::fabs(dot(g, *d1)) >= cos_tol)) *status = 2;
        *cos_angle = c;
        return;
    }
    if (!same_base) {
        // t1*d1 - t2*d2 = p2 - p1, posed as a 3x3 system.
        const double a[9] = {d1->x, -d2->x, 0.0, d1->y, -d2->y, 0.0, 0.0, 0.0, 1.0};
        const double b[3] = {gap.x, gap.y, 0.0};
        double t[3];
        if (SOLVE_solve_3equations(a, b, t) != 0 || !std::isfinite(t[0]) || !std::isfinite(t[1])) {
            *status = 1;
            *cos_angle = 1.0;
            return;
        }
        *x = add(*p1, t[0], *d1);
        parms[0] = t[0];
        parms[1] = t[1];
    }
    *cos_angle = c;
}

QUORM_API double ARC_SPLINE_ask_dist_pt_to_line_2d(const PNT2_s *p, const PNT2_s *q, const VEC2_s *d, double tol,
                                                   PNT2_s *foot, double *t, int *side) {
    const VEC2_s w = sub(*p, *q);
    *t = dot(w, *d);
    *foot = add(*q, *t, *d);
    if (dist(*foot, *q) <= tol) {
        *foot = *q;
        *t = 0.0;
    }
    const double gap_to_line = dist(*foot, *p);
    if (gap_to_line <= tol)
        *side = 0;
    else
        *side = (cross(*d, w) > 0.0) ? -1 : 1;
    return gap_to_line;
}

QUORM_API double ARC_SPLINE_ask_dist_pt_to_line_seg_2d(const PNT2_s *p, const PNT2_s *a, const PNT2_s *b, double tol,
                                                       int clamp, PNT2_s *foot, double *t, int *where, int *side) {
    *where = -1;
    *side = -1;
    VEC2_s u;
    double len = 0.0;
    const VEC2_s ab = sub(*b, *a);
    if (!unitize(ab, 1e-10, &u, &len) || len < 1e-10) {
        ARC_SPLINE_INTERNAL("The line segment is not defined; we have coincident points.");
        // No direction to project along: the foot is the segment's point.
        len = 0.0;
    }
    const VEC2_s w = sub(*p, *a);
    double s = (len > 0.0) ? dot(w, u) / len : 0.0;
    PNT2_s f = PNT2_s{a->x + s * ab.x, a->y + s * ab.y};
    if (dist(f, *a) <= tol) {
        s = 0.0;
        f = *a;
    } else if (dist(f, *b) <= tol) {
        s = 1.0;
        f = *b;
    }
    const double s_free = s;
    if (clamp) {
        if (s <= 0.0) {
            s = 0.0;
            f = *a;
        } else if (s >= 1.0) {
            s = 1.0;
            f = *b;
        }
    }
    *foot = f;
    *t = s * len;
    if (std::fabs(s_free) <= 1e-10 || std::fabs(s_free - 1.0) <= 1e-10)
        *where = kAtEnd;
    else if (s_free < 0.0 || s_free > 1.0)
        *where = kOutside;
    else
        *where = kInside;
    const double gap_to_line = dist(f, *p);
    if (gap_to_line <= tol)
        *side = 0;
    else
        *side = (cross(u, w) > 0.0) ? -1 : 1;
    return gap_to_line;
}

QUORM_API double ARC_SPLINE_ask_dist_pt_to_1_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg, const PNT2_s *p, int clamp,
                                                    const double tols[], PNT2_s *foot, double *parm, int *where,
                                                    int *status) {
    *foot = PNT2_s{0.0, 0.0};
    *parm = 0.0;
    *where = kInside;
    *status = 0;
    if (!seg) {
        *status = 1;
        return 0.0;
    }
    int type, sense, st = 0;
    double parms[2], arcl, curv;
    PNT2_s centre, start, end, apex;
    VEC2_s t0, t1;
    ARC_SPLINE_ask_1_seg_2d_data(seg, 0, &type, &sense, parms, &arcl, &curv, &centre, &start, &t0, &end, &t1, &apex,
                                 &st);
    if (st != 0) {
        *status = 1;
        return 0.0;
    }
    if (type == 0 || curv < 1e-10) {
        if (arcl <= tols[0]) end = add(start, t0);
        int side;
        const double d = ARC_SPLINE_ask_dist_pt_to_line_seg_2d(p, &start, &end, tols[0], clamp, foot, parm, where, &side);
        if (!std::isfinite(d)) {
            *status = 1;
            return 0.0;
        }
        return d;
    }
    ARC_SPLINE_ask_parm_at_a_point_2d(seg, p, tols, foot, parm, where, &st);
    if (st != 0) {
        *status = 1;
        return 0.0;
    }
    if (clamp && *where == kOutside) {
        const double s = seg->start_angle;
        const double e = parms[1];
        double to = *parm;
        bool moved = false;
        if (sense > 0) {
            if (*parm < s) to = s, moved = true;
            else if (*parm > e) to = e, moved = true;
        } else {
            if (*parm < e) to = e, moved = true;
            else if (*parm > s) to = s, moved = true;
        }
        if (moved) {
            *parm = to;
            *foot = (to == s) ? start : end;
        }
    }
    const double d = dist(*foot, *p);
    if (!std::isfinite(d)) {
        // A record or point that is not a number has no distance.
        *status = 1;
        return 0.0;
    }
    return d;
}

QUORM_API void ARC_SPLINE_inter_circular_arc_line_seg_2d(const ARC_SPLINE_1_seg_2d_s *seg1,
                                                         const ARC_SPLINE_1_seg_2d_s *seg2, int bounded1, int bounded2,
                                                         const double tols[], int *count, PNT2_s *x1,
                                                         double parms1[2], int where1[2], PNT2_s *x2,
                                                         double parms2[2], int where2[2], int *status) {
    Slot a, b;
    clear_slot(&a);
    clear_slot(&b);
    *count = 0;
    *status = 0;
    write_slot(a, x1, parms1, where1);
    write_slot(b, x2, parms2, where2);

    PNT2_s c;
    double r;
    int type = 0, st = 0;
    if (seg1) ARC_SPLINE_ask_center_radius_of_seg_2d(seg1, &type, &r, &c, &st);
    if (!seg1 || st != 0) {
        *status = 1;
        return;
    }
    PNT2_s s2, e2;
    VEC2_s u;
    if (!straight_of(seg2, tols[0], &s2, &u, &e2)) {
        *status = 2;
        return;
    }
    // A straight no longer than tols[0] is handled as a unit-long piece.
    ARC_SPLINE_1_seg_2d_s line2 = *seg2;
    if (seg2->radius <= tols[0]) ARC_SPLINE_cre_strt_seg_2d(&s2, &e2, &u, &line2);

    if (type == 0) {
        PNT2_s s1, e1;
        VEC2_s d1;
        if (!straight_of(seg1, tols[0], &s1, &d1, &e1)) {
            *status = 1;
            return;
        }
        ARC_SPLINE_1_seg_2d_s line1 = *seg1;
        if (seg1->radius <= tols[0]) ARC_SPLINE_cre_strt_seg_2d(&s1, &e1, &d1, &line1);
        double lp[2], cosang;
        int ist = 0;
        ARC_SPLINE_inter_line_line_2d(tols, &s1, &s2, 1, &d1, &u, &a.x, lp, &cosang, &ist);
        if (ist != 0) {
            b.where[0] = ist;
            write_slot(b, x2, parms2, where2);
            return;
        }
        *status = locate_slot(&a, &line1, &line2, bounded1, bounded2, tols, 3, 4);
        if (*status != 0) return;
        *count = slot_valid(a) ? 1 : 0;
        write_slot(a, x1, parms1, where1);
        return;
    }

    PNT2_s foot;
    double t;
    int side;
    const double e = ARC_SPLINE_ask_dist_pt_to_line_2d(&c, &s2, &u, tols[0], &foot, &t, &side);
    if (std::fabs(e - r) <= tols[0]) {
        a.x = foot;
        *status = locate_slot(&a, seg1, &line2, bounded1, bounded2, tols, 5, 6);
        if (*status != 0) return;
        *count = slot_valid(a) ? 1 : 0;
        write_slot(a, x1, parms1, where1);
        return;
    }
    if (!(e < r)) return; // apart (or not a number)
    const double h = std::sqrt(r * r - e * e);
    a.x = add(foot, -h, u);
    b.x = add(foot, h, u);
    *status = locate_slot(&a, seg1, &line2, bounded1, bounded2, tols, 7, 8);
    if (*status == 0) *status = locate_slot(&b, seg1, &line2, bounded1, bounded2, tols, 9, 10);
    if (*status != 0) return;
    *count = count_pair(&a, &b);
    write_slot(a, x1, parms1, where1);
    write_slot(b, x2, parms2, where2);
}

QUORM_API void ARC_SPLINE_inter_of_2_circular_arcs_2d(const ARC_SPLINE_1_seg_2d_s *seg1,
                                                      const ARC_SPLINE_1_seg_2d_s *seg2, int bounded1, int bounded2,
                                                      const double tols[], int *count, PNT2_s *x1, double parms1[2],
                                                      int where1[2], PNT2_s *x2, double parms2[2], int where2[2],
                                                      int *status) {
    Slot a, b;
    clear_slot(&a);
    clear_slot(&b);
    *count = 0;
    *status = 0;
    write_slot(a, x1, parms1, where1);
    write_slot(b, x2, parms2, where2);

    PNT2_s c1, c2;
    double r1, r2;
    if (!circle_of(seg1, &c1, &r1)) {
        *status = 1;
        return;
    }
    if (!circle_of(seg2, &c2, &r2)) {
        *status = 2;
        return;
    }
    PNT2_s X;
    VEC2_s w;
    int relation = 0, st = 0;
    ARC_SPLINE_ask_radical_axis_of_2_circles_2d(seg1, seg2, &X, &w, &relation, &st);
    if (st != 0) {
        *status = st;
        return;
    }
    if (relation == 3) return;
    // The relation is decided here from the centre distance with tols[0]:
    // circles that touch (from outside or from inside) meet in one point,
    // and a circle strictly inside the other meets it nowhere.
    const double d = dist(c1, c2);
    const double far = r1 + r2, near = std::fabs(r1 - r2);
    if (!(d >= near - tols[0]) || !(d <= far + tols[0]) || !(d >= tols[0])) return;
    if (std::fabs(d - far) <= tols[0] || std::fabs(d - near) <= tols[0]) {
        // Touching point on the centre line.
        VEC2_s u;
        unitize(sub(c2, c1), 0.0, &u);
        if (std::fabs(d - far) <= tols[0])
            a.x = add(c1, r1 + 0.5 * (d - far), u);
        else
            a.x = (r1 >= r2) ? add(c1, r1 + 0.5 * (d - near), u) : add(c1, -r1 - 0.5 * (d - near), u);
        *status = locate_slot(&a, seg1, seg2, bounded1, bounded2, tols, 3, 4);
        if (*status != 0) return;
        *count = slot_valid(a) ? 1 : 0;
        write_slot(a, x1, parms1, where1);
        return;
    }
    const VEC2_s cx = sub(X, c1);
    const double h = std::sqrt(std::fabs(r1 * r1 - dot(cx, cx)));
    a.x = add(X, -h, w);
    b.x = add(X, h, w);
    *status = locate_slot(&a, seg1, seg2, bounded1, bounded2, tols, 7, 8);
    if (*status == 0) *status = locate_slot(&b, seg1, seg2, bounded1, bounded2, tols, 9, 10);
    if (*status != 0) return;
    *count = count_pair(&a, &b);
    write_slot(a, x1, parms1, where1);
    write_slot(b, x2, parms2, where2);
}

QUORM_API void ARC_SPLINE_ask_tangents_thru_a_point_2d(const ARC_SPLINE_1_seg_2d_s *circle, const PNT2_s *p,
                                                       int bounded, const double tols[], int *count, PNT2_s *t1,
                                                       PNT2_s *t2, double parms[2], int where[2], int *status) {
    *count = 0;
    *status = 0;
    *t1 = *t2 = PNT2_s{0.0, 0.0};
    parms[0] = parms[1] = 0.0;
    where[0] = where[1] = kInside;
    PNT2_s c;
    double r;
    int type = 0, st = 0;
    if (circle) ARC_SPLINE_ask_center_radius_of_seg_2d(circle, &type, &r, &c, &st);
    if (!circle || st != 0) {
        *status = 1;
        return;
    }
    if (type == 0) return;
    const double d = dist(*p, c);
    if (std::fabs(d - r) <= tols[0]) {
        PNT2_s foot;
        ARC_SPLINE_ask_parm_at_a_point_2d(circle, p, tols, &foot, &parms[0], &where[0], &st);
        if (st != 0) {
            *status = 2;
            parms[0] = 0.0;
            where[0] = kInside;
            return;
        }
        *t1 = foot;
        if (!bounded) where[0] = kInside;
        *count = (where[0] == kOutside) ? 0 : 1;
        return;
    }
    if (!(d > r)) return; // inside (or not a number)

    // The touching points see the segment c p at a right angle: they lie on
    // the circle with diameter c p.
    ARC_SPLINE_1_seg_2d_s aux, spare;
    int n = 0;
    ARC_SPLINE_cre_circle_thru_2_points_and_radius(&c, p, 0.5 * d, 0, tols, &n, &aux, &spare, &st);
    if (st != 0 || n < 1) {
        *status = 3;
        return;
    }
    int k = 0;
    PNT2_s x[2];
    double pa[2], pb[2];
    int wa[2], wb[2];
    ARC_SPLINE_inter_of_2_circular_arcs_2d(circle, &aux, 0, 0, tols, &k, &x[0], pa, wa, &x[1], pb, wb, &st);
    if (st != 0 || k < 2) {
        *status = 4;
        return;
    }
    double pm[2] = {pa[0], pb[0]};
    int wh[2] = {kInside, kInside};
    if (bounded) {
        for (int i = 0; i < 2; ++i) wh[i] = ARC_SPLINE_ask_is_parm_in_arc_domain(circle, tols[1], &pm[i]);
    }
    // Order along the arc: increasing parameter for counter-clockwise,
    // decreasing for clockwise.
    if (order_key(circle, pm[1]) < order_key(circle, pm[0])) {
        const PNT2_s tx = x[0];
        x[0] = x[1];
        x[1] = tx;
        const double tp = pm[0];
        pm[0] = pm[1];
        pm[1] = tp;
        const int tw = wh[0];
        wh[0] = wh[1];
        wh[1] = tw;
    }
    int m = 0;
    for (int i = 0; i < 2; ++i) {
        if (wh[i] == kOutside) continue;
        (m == 0 ? *t1 : *t2) = x[i];
        parms[m] = pm[i];
        where[m] = wh[i];
        ++m;
    }
    if (m < 2) {
        // A dropped point leaves its slot cleared.
        for (int i = m; i < 2; ++i) {
            (i == 0 ? *t1 : *t2) = PNT2_s{0.0, 0.0};
            parms[i] = 0.0;
            where[i] = kInside;
        }
    }
    *count = m;
}

} // extern "C"

namespace {

// Common tangents.  interior selects the tangents that cross between the
// circles (touching them on opposite sides of the centre line).
void common_tangents(const ARC_SPLINE_1_seg_2d_s *circle1, const ARC_SPLINE_1_seg_2d_s *circle2, int bounded1,
                     int bounded2, const double tols[], bool interior, int *count, ARC_SPLINE_1_seg_2d_s *out1,
                     ARC_SPLINE_1_seg_2d_s *out2, double parms1[2], double parms2[2], int *status) {
    *count = 0;
    *status = 0;
    ARC_SPLINE_init_1_seg_2d(out1);
    ARC_SPLINE_init_1_seg_2d(out2);
    parms1[0] = parms1[1] = parms2[0] = parms2[1] = 0.0;
    PNT2_s c1, c2;
    double r1, r2;
    if (!circle_of(circle1, &c1, &r1)) {
        *status = 1;
        return;
    }
    if (!circle_of(circle2, &c2, &r2)) {
        *status = 2;
        return;
    }
    VEC2_s u;
    double d = 0.0;
    if (!unitize(sub(c2, c1), tols[0], &u, &d)) {
        if (!interior) *status = 3;
        return;
    }
    const VEC2_s n = left_normal(u);
    PNT2_s on1[2], on2[2];
    VEC2_s dir[2];
    int candidates = 0;
    if (!interior) {
        if (d < std::fabs(r1 - r2) - tols[0]) {
            *status = 3;
            return;
        }
        if (std::fabs(d - std::fabs(r1 - r2)) <= tols[0]) {
            // Touching from inside: the one tangent is the common tangent line
            // at the touching point.
            const PNT2_s touch = (r1 >= r2) ? add(c1, r1, u) : add(c1, -r1, u);
            on1[0] = on2[0] = touch;
            dir[0] = n;
            candidates = 1;
        }
    } else {
        if (d < r1 + r2 - tols[0]) return;
        if (std::fabs(d - (r1 + r2)) <= tols[0]) {
            const PNT2_s touch = add(c1, r1 * d / (r1 + r2 > 0.0 ? r1 + r2 : 1.0), u);
            on1[0] = on2[0] = touch;
            dir[0] = n;
            candidates = 1;
        }
    }
    if (candidates == 0) {
        // The touching radii make the angle theta with the centre line:
        // cos(theta) = (r1 - r2)/d for exterior tangents, (r1 + r2)/d for
        // interior ones (whose radius on circle 2 points the other way).
        const double cs = interior ? (r1 + r2) / d : (r1 - r2) / d;
        const double cc = cs > 1.0 ? 1.0 : (cs < -1.0 ? -1.0 : cs);
        const double sn = std::sqrt(1.0 - cc * cc);
        const double s2 = interior ? -1.0 : 1.0;
        for (int i = 0; i < 2; ++i) {
            const double f = (i == 0) ? 1.0 : -1.0;
            const VEC2_s radial{cc * u.x + f * sn * n.x, cc * u.y + f * sn * n.y};
            on1[i] = add(c1, r1, radial);
            on2[i] = add(c2, s2 * r2, radial);
            dir[i] = left_normal(radial);
        }
        candidates = 2;
    }
    // Parameters and positions of the touching points.
    double q1[2], q2[2];
    int w1[2], w2[2];
    for (int i = 0; i < candidates; ++i) {
        if (!locate(circle1, on1[i], bounded1, tols, &q1[i], &w1[i])) {
            *status = 4;
            return;
        }
        if (!locate(circle2, on2[i], bounded2, tols, &q2[i], &w2[i])) {
            *status = 5;
            return;
        }
    }
    int order[2] = {0, 1};
    if (candidates == 2 && order_key(circle1, q1[1]) < order_key(circle1, q1[0])) {
        order[0] = 1;
        order[1] = 0;
    }
    int m = 0;
    for (int k = 0; k < candidates; ++k) {
        const int i = order[k];
        if (w1[i] == kOutside || w2[i] == kOutside) continue;
        ARC_SPLINE_1_seg_2d_s *out = (m == 0) ? out1 : out2;
        PNT2_s end = on2[i];
        ARC_SPLINE_cre_strt_seg_2d(&on1[i], &end, &dir[i], out);
        parms1[m] = q1[i];
        parms2[m] = q2[i];
        ++m;
    }
    *count = m;
}

} // namespace

extern "C" {

QUORM_API void ARC_SPLINE_ask_tangents_exterior_to_circles_2d(const ARC_SPLINE_1_seg_2d_s *circle1,
                                                              const ARC_SPLINE_1_seg_2d_s *circle2, int bounded1,
                                                              int bounded2, const double tols[], int *count,
                                                              ARC_SPLINE_1_seg_2d_s *out1, ARC_SPLINE_1_seg_2d_s *out2,
                                                              double parms1[2], double parms2[2], int *status) {
    common_tangents(circle1, circle2, bounded1, bounded2, tols, false, count, out1, out2, parms1, parms2, status);
}

QUORM_API void ARC_SPLINE_ask_tangents_interior_to_circles_2d(const ARC_SPLINE_1_seg_2d_s *circle1,
                                                              const ARC_SPLINE_1_seg_2d_s *circle2, int bounded1,
                                                              int bounded2, const double tols[], int *count,
                                                              ARC_SPLINE_1_seg_2d_s *out1, ARC_SPLINE_1_seg_2d_s *out2,
                                                              double parms1[2], double parms2[2], int *status) {
    common_tangents(circle1, circle2, bounded1, bounded2, tols, true, count, out1, out2, parms1, parms2, status);
}

QUORM_API void ARC_SPLINE_compute_tangent_at_other_end_of_chord_2d(const PNT2_s *p, const VEC2_s *t, const PNT2_s *q,
                                                                   const double tols[], VEC2_s *t_out,
                                                                   ARC_SPLINE_1_seg_2d_s *seg) {
    int st = 0;
    ARC_SPLINE_cre_circle_thru_pt_and_tangent_to_line_at_pt_2d(p, t, q, tols, seg, &st);
    VEC2_s out = *t;
    if (seg->type == 1) {
        PNT2_s foot, pt;
        double parm = 0.0;
        int where = 0;
        ARC_SPLINE_ask_parm_at_a_point_2d(seg, q, tols, &foot, &parm, &where, &st);
        if (st != 0) {
            ARC_SPLINE_INTERNAL("The call to ARC_SPLINE_ask_parm_at_a_point_2d failed.");
        } else {
            ARC_SPLINE_evaluate_arc_seg_2d(seg, 1, parm, &pt, &out, &st);
            if (st != 0) ARC_SPLINE_INTERNAL("The call to ARC_SPLINE_evaluate_arc_seg_2d failed.");
        }
    } else if (seg->type != 0) {
        ARC_SPLINE_INTERNAL("Unexpected conic arc type.");
    }
    if (!unitize(out, 1e-10, t_out)) *t_out = out;
}

QUORM_API int ARC_SPLINE_ask_where_is_pt_wrt_circle_2d(const PNT2_s *p, const ARC_SPLINE_1_seg_2d_s *circle,
                                                       double tol) {
    const double k = ARC_SPLINE_ask_power_of_a_point_2d(p, circle);
    const double t2 = tol * tol;
    if (t2 >= std::fabs(std::fabs(k) - t2)) return 0;
    return (k < 0.0) ? -1 : 1;
}

QUORM_API int ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(const ARC_SPLINE_1_seg_2d_s *c1,
                                                           const ARC_SPLINE_1_seg_2d_s *c2, double tol) {
    PNT2_s a, b;
    double r1, r2;
    if (!circle_of(c1, &a, &r1) || !circle_of(c2, &b, &r2)) return 1;
    const double d = dist(a, b);
    if (std::fabs(d - (r1 + r2)) <= tol) return 0;
    if (d > r1 + r2) return 1;
    if (std::fabs(r1 - r2) <= tol) return (d <= tol) ? -6 : -1;
    if (r2 > r1) {
        if (std::fabs(r2 - r1 - d) <= tol) return -3;
        return (d > r2 - r1) ? -5 : -1;
    }
    if (std::fabs(r1 - r2 - d) <= tol) return -2;
    return (d > r1 - r2) ? -4 : -1;
}

} // extern "C"
