// Arc-spline segments: creation, evaluation, trimming and offsets;
// intersections, tangents and common tangents; circle constructions.  Truths:
// an arc evaluated at its end angle gives its end point, reported
// intersection and touching points lie on both curves, constructed circles
// pass through their points and touch their circles.
#include "fuzz_input.h"

#include <algorithm>

namespace {

const double tols[3] = {1e-8, 1e-6, 1e-8};

// A coordinate, radius or angle: mostly ordinary values, sometimes awkward.
double coord(fuzz::Input &in) {
    if (in.range(0, 7) == 0) return in.number();
    return in.range(-64, 64) / 4.0;
}
PNT2_s point(fuzz::Input &in) { return PNT2_s{coord(in), coord(in)}; }
bool sane(double v) { return std::isfinite(v) && std::fabs(v) <= 1e3; }
bool sane(const PNT2_s &p) { return sane(p.x) && sane(p.y); }

// A straight or an arc built by the family's constructors.
ARC_SPLINE_1_seg_2d_s segment(fuzz::Input &in, bool arc) {
    ARC_SPLINE_1_seg_2d_s s;
    ARC_SPLINE_init_1_seg_2d(&s);
    PNT2_s p0 = point(in), p1 = point(in), end;
    VEC2_s tan = ARC_SPLINE_ask_tan_2d_from_inclination_angle(in.range(0, 71) * 5.0), t_end;
    if (arc) {
        double radius = std::fabs(coord(in)), angle = in.range(1, 72) * 5.0;
        fuzz::run([&] { ARC_SPLINE_cre_arc_seg_2d(&p0, &tan, angle, radius, in.flag() ? 1 : -1, &s, &end, &t_end); });
    } else {
        fuzz::run([&] { ARC_SPLINE_cre_strt_seg_2d(&p0, &p1, &tan, &s); });
    }
    return s;
}
bool usable(const ARC_SPLINE_1_seg_2d_s &s) {
    return sane(s.start_pt) && sane(s.center) && sane(s.radius) &&
           (s.type == 0 ? s.radius > 1e-3 : s.type == 1 && s.radius > 1e-3);
}
double scale_of(const ARC_SPLINE_1_seg_2d_s &s) {
    return 1.0 + std::fabs(s.start_pt.x) + std::fabs(s.start_pt.y) + std::fabs(s.center.x) + std::fabs(s.center.y) +
           s.radius;
}
// Distance of p from the carrier (full circle or infinite line) of s.
double off_carrier(const ARC_SPLINE_1_seg_2d_s &s, const PNT2_s &p) {
    if (s.type == 0) return std::fabs((p.x - s.start_pt.x) * s.direction.y - (p.y - s.start_pt.y) * s.direction.x);
    return std::fabs(std::hypot(p.x - s.center.x, p.y - s.center.y) - s.radius);
}
void on_both(const ARC_SPLINE_1_seg_2d_s &a, const ARC_SPLINE_1_seg_2d_s &b, const PNT2_s &p) {
    const double tol = 1e-6 * (scale_of(a) + scale_of(b));
    FUZZ_CHECK(off_carrier(a, p) <= tol);
    FUZZ_CHECK(off_carrier(b, p) <= tol);
}
double centre_distance(const ARC_SPLINE_1_seg_2d_s &s, double x, double y) {
    return std::hypot(s.center.x - x, s.center.y - y);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 3);
    switch (op) {
    case 0: { // one segment: end point, projection, trim, offset, reverse
        const bool arc = in.flag();
        ARC_SPLINE_1_seg_2d_s s = segment(in, arc);
        PNT2_s sp, ep, q;
        VEC2_s st, et, tq;
        int status = -1;
        fuzz::run([&] { ARC_SPLINE_ask_end_pts_of_1_seg_2d(&s, &sp, &st, &ep, &et, &status); });
        if (status == 0 && usable(s)) {
            int st2 = -1;
            const double end_parm = arc ? s.end_angle : s.radius;
            fuzz::run([&] { ARC_SPLINE_evaluate_1_seg_2d(&s, 0, end_parm, &q, &tq, &st2); });
            FUZZ_CHECK(st2 == 0);
            const double tol = 1e-9 * scale_of(s);
            FUZZ_CHECK(std::fabs(q.x - ep.x) <= tol && std::fabs(q.y - ep.y) <= tol);
            FUZZ_CHECK(std::fabs(sp.x - s.start_pt.x) <= tol && std::fabs(sp.y - s.start_pt.y) <= tol);
            FUZZ_CHECK(off_carrier(s, ep) <= tol * 10);
            int ls = -1;
            const double length = ARC_SPLINE_ask_arcl_of_1_seg_2d(&s, &ls);
            FUZZ_CHECK(ls == 0 && length >= 0.0);
        }
        // projection and trimming to an arbitrary point
        const PNT2_s p = point(in);
        PNT2_s foot;
        double parm = 0.0;
        int where = 0, ps = -1;
        fuzz::run([&] { ARC_SPLINE_ask_parm_at_a_point_2d(&s, &p, tols, &foot, &parm, &where, &ps); });
        if (ps == 0 && usable(s) && sane(p)) FUZZ_CHECK(off_carrier(s, foot) <= 1e-6 * scale_of(s));
        ARC_SPLINE_1_seg_2d_s t = s, o;
        int ts = -1;
        fuzz::run([&] { ARC_SPLINE_trim_to_point_1_seg_2d(&p, tols, &t, &ts); });
        if (ts != 0) FUZZ_CHECK(std::memcmp(&t, &s, sizeof s) == 0);
        if (ts == 0 && usable(s) && usable(t) && sane(p)) {
            int es = -1;
            fuzz::run([&] { ARC_SPLINE_ask_end_pts_of_1_seg_2d(&t, &sp, &st, &ep, &et, &es); });
            if (es == 0) FUZZ_CHECK(off_carrier(s, ep) <= 1e-6 * scale_of(s));
        }
        const double offset = coord(in);
        if (arc)
            fuzz::run([&] { ARC_SPLINE_cre_offset_circle_2d(&s, offset, tols[0], &o); });
        else {
            fuzz::run([&] { ARC_SPLINE_cre_offset_straight_2d(&s, offset, &o); });
            if (usable(s) && sane(offset))
                FUZZ_CHECK(std::fabs(off_carrier(s, o.start_pt) - std::fabs(offset)) <= 1e-9 * scale_of(s) * (1 + std::fabs(offset)));
        }
        fuzz::run([&] { ARC_SPLINE_reverse_parm_of_1_seg_2d(&s); });
        break;
    }
    case 1: { // intersections of two segments
        const bool arc1 = in.flag(), arc2 = in.flag();
        const ARC_SPLINE_1_seg_2d_s a = segment(in, arc1), b = segment(in, arc2);
        const int bounded1 = in.flag(), bounded2 = in.flag();
        int count = 0, status = -1, where1[2], where2[2];
        PNT2_s x1, x2;
        double parms1[2], parms2[2];
        bool ok;
        if (arc2 && arc1)
            ok = fuzz::run([&] {
                ARC_SPLINE_inter_of_2_circular_arcs_2d(&a, &b, bounded1, bounded2, tols, &count, &x1, parms1, where1,
                                                       &x2, parms2, where2, &status);
            });
        else if (!arc2)
            ok = fuzz::run([&] {
                ARC_SPLINE_inter_circular_arc_line_seg_2d(&a, &b, bounded1, bounded2, tols, &count, &x1, parms1,
                                                          where1, &x2, parms2, where2, &status);
            });
        else
            ok = fuzz::run([&] {
                ARC_SPLINE_inter_circular_arc_line_seg_2d(&b, &a, bounded1, bounded2, tols, &count, &x1, parms1,
                                                          where1, &x2, parms2, where2, &status);
            });
        if (!ok || status != 0 || !usable(a) || !usable(b)) break;
        FUZZ_CHECK(count >= 0 && count <= 2);
        if (count >= 1) on_both(a, b, x1);
        if (count == 2) on_both(a, b, x2);
        break;
    }
    case 2: { // tangents through a point and common tangents
        const ARC_SPLINE_1_seg_2d_s c1 = segment(in, true), c2 = segment(in, true);
        const PNT2_s p = point(in);
        int count = 0, status = -1, where[2];
        PNT2_s t1, t2;
        double parms[2];
        fuzz::run([&] { ARC_SPLINE_ask_tangents_thru_a_point_2d(&c1, &p, in.flag(), tols, &count, &t1, &t2, parms, where, &status); });
        if (status == 0 && usable(c1) && sane(p)) {
            const double tol = 1e-6 * scale_of(c1) * (1 + std::fabs(p.x) + std::fabs(p.y));
            for (int i = 0; i < std::min(count, 2); ++i) {
                const PNT2_s &t = i == 0 ? t1 : t2;
                FUZZ_CHECK(off_carrier(c1, t) <= tol);
                // the radius at the touching point is perpendicular to the line to p
                const double dot = (t.x - c1.center.x) * (p.x - t.x) + (t.y - c1.center.y) * (p.y - t.y);
                FUZZ_CHECK(std::fabs(dot) <= tol * scale_of(c1));
            }
        }
        ARC_SPLINE_1_seg_2d_s out1, out2;
        double p1[2], p2[2];
        const bool exterior = in.flag();
        const int b1 = in.flag(), b2 = in.flag();
        fuzz::run([&] {
            (exterior ? ARC_SPLINE_ask_tangents_exterior_to_circles_2d : ARC_SPLINE_ask_tangents_interior_to_circles_2d)(
                &c1, &c2, b1, b2, tols, &count, &out1, &out2, p1, p2, &status);
        });
        if (status != 0 || !usable(c1) || !usable(c2)) break;
        FUZZ_CHECK(count >= 0 && count <= 2);
        for (int i = 0; i < count; ++i) {
            const ARC_SPLINE_1_seg_2d_s &l = i == 0 ? out1 : out2;
            const double tol = 1e-6 * (scale_of(c1) + scale_of(c2));
            FUZZ_CHECK(off_carrier(c1, l.start_pt) <= tol);
            PNT2_s e{l.start_pt.x + l.radius * l.direction.x, l.start_pt.y + l.radius * l.direction.y};
            FUZZ_CHECK(off_carrier(c2, e) <= tol);
            if (l.radius > 1e-6) { // the line touches: centre distance equals the radius
                FUZZ_CHECK(std::fabs(off_carrier(l, c1.center) - c1.radius) <= tol);
                FUZZ_CHECK(std::fabs(off_carrier(l, c2.center) - c2.radius) <= tol);
            }
        }
        break;
    }
    default: { // circle constructions
        const PNT2_s a = point(in), b = point(in), c = point(in);
        ARC_SPLINE_1_seg_2d_s s, s2, segs[8];
        int status = -1, count = 0;
        const bool good = sane(a) && sane(b) && sane(c);
        fuzz::run([&] { ARC_SPLINE_cre_circle_thru_3_points_2d(&a, &b, &c, tols, &s, &status); });
        if (status == 0 && good && sane(s.radius) && s.radius < 1e6)
            for (const PNT2_s &p : {a, b, c}) FUZZ_CHECK(off_carrier(s, p) <= 1e-6 * scale_of(s));
        const double radius = coord(in);
        fuzz::run([&] { ARC_SPLINE_cre_circle_thru_2_points_and_radius(&a, &b, radius, in.flag(), tols, &count, &s, &s2, &status); });
        if (status == 0 && good && sane(radius))
            for (int i = 0; i < std::min(count, 2); ++i)
                for (const PNT2_s &p : {a, b}) FUZZ_CHECK(off_carrier(i ? s2 : s, p) <= 1e-6 * scale_of(s));
        const quorm_point3 q1{a.x, a.y, 0}, q2{b.x, b.y, 0}, q3{c.x, c.y, 0};
        const double r1 = std::fabs(coord(in)), r2 = std::fabs(coord(in)), r3 = std::fabs(coord(in));
        count = 0;
        fuzz::run([&] { ARC_SPLINE_cre_circle_tangent_to_3_circles(&q1, r1, &q2, r2, &q3, r3, &count, segs); });
        FUZZ_CHECK(count >= 0 && count <= 8);
        if (!good || !sane(r1) || !sane(r2) || !sane(r3)) break;
        for (int i = 0; i < count; ++i) {
            const ARC_SPLINE_1_seg_2d_s &t = segs[i];
            if (!sane(t.radius) || !sane(t.center)) continue;
            const double tol = 1e-5 * (scale_of(t) + r1 + r2 + r3 + 20);
            const double rs[3] = {r1, r2, r3};
            const quorm_point3 qs[3] = {q1, q2, q3};
            for (int j = 0; j < 3; ++j) {
                const double d = centre_distance(t, qs[j].x, qs[j].y);
                FUZZ_CHECK(std::fabs(d - (t.radius + rs[j])) <= tol || std::fabs(d - std::fabs(t.radius - rs[j])) <= tol);
            }
        }
        break;
    }
    }
    return 0;
}
