// Arc-spline intersections, distances, tangents from a point and common
// tangents, checked against plain geometry over many random configurations.
#include "circle_truth.hpp"

#include <corvex/capture.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using truth::dist;

namespace {

using arc_input::circle;
using arc_input::tols;

ARC_SPLINE_1_seg_2d_s straight(PNT2_s a, PNT2_s b) {
    ARC_SPLINE_1_seg_2d_s s;
    const VEC2_s d{1, 0};
    ARC_SPLINE_cre_strt_seg_2d(&a, &b, &d, &s);
    return s;
}

// Arc on circle (c, r) from polar angle a0 (degrees) turning by k degrees.
ARC_SPLINE_1_seg_2d_s arc(PNT2_s c, double r, double a0, double k, int sense) {
    const double a = a0 * truth::pi / 180.0;
    const PNT2_s p{c.x + r * std::cos(a), c.y + r * std::sin(a)};
    const VEC2_s t{-sense * std::sin(a), sense * std::cos(a)};
    ARC_SPLINE_1_seg_2d_s s;
    PNT2_s e;
    VEC2_s et;
    ARC_SPLINE_cre_arc_seg_2d(&p, &t, k, r, sense, &s, &e, &et);
    return s;
}

struct Inter {
    int count = -1, status = -1;
    PNT2_s x[2];
    double parms[2][2];
    int where[2][2];
};

Inter arc_arc(const ARC_SPLINE_1_seg_2d_s &a, const ARC_SPLINE_1_seg_2d_s &b, int bounded1 = 0, int bounded2 = 0) {
    Inter r;
    ARC_SPLINE_inter_of_2_circular_arcs_2d(&a, &b, bounded1, bounded2, tols, &r.count, &r.x[0], r.parms[0],
                                           r.where[0], &r.x[1], r.parms[1], r.where[1], &r.status);
    return r;
}

Inter arc_line(const ARC_SPLINE_1_seg_2d_s &a, const ARC_SPLINE_1_seg_2d_s &b, int bounded1 = 0, int bounded2 = 0) {
    Inter r;
    ARC_SPLINE_inter_circular_arc_line_seg_2d(&a, &b, bounded1, bounded2, tols, &r.count, &r.x[0], r.parms[0],
                                              r.where[0], &r.x[1], r.parms[1], r.where[1], &r.status);
    return r;
}

} // namespace

TEST(ArcSplineLineLine, MeetingParallelAndSameLine) {
    double parms[2], c;
    int status;
    PNT2_s x;
    // Perpendicular lines through (0, 0) and (1, 1).
    PNT2_s p1{0, 0}, p2{1, 1};
    VEC2_s d1{1, 0}, d2{0, 1};
    ARC_SPLINE_inter_line_line_2d(tols, &p1, &p2, 1, &d1, &d2, &x, parms, &c, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(x.x, 1.0, 1e-15);
    EXPECT_NEAR(x.y, 0.0, 1e-15);
    EXPECT_NEAR(parms[0], 1.0, 1e-15);
    EXPECT_NEAR(parms[1], -1.0, 1e-15);
    EXPECT_EQ(c, 0.0);

    // Directions are unitised in place unless declared unit.
    VEC2_s e1{3, 0}, e2{0, -5};
    ARC_SPLINE_inter_line_line_2d(tols, &p1, &p2, 0, &e1, &e2, &x, parms, &c, &status);
    EXPECT_EQ(status, 0);
    EXPECT_DOUBLE_EQ(e1.x, 1.0);
    EXPECT_DOUBLE_EQ(e2.y, -1.0);
    EXPECT_NEAR(parms[1], 1.0, 1e-15);

    // Within tols[1] of parallel: 1; the same line: 2.
    VEC2_s f1{1, 0}, f2{std::cos(0.5e-4 * truth::pi / 180), std::sin(0.5e-4 * truth::pi / 180)};
    ARC_SPLINE_inter_line_line_2d(tols, &p1, &p2, 1, &f1, &f2, &x, parms, &c, &status);
    EXPECT_EQ(status, 1);
    PNT2_s q{5, 0};
    VEC2_s g1{1, 0}, g2{-1, 0};
    ARC_SPLINE_inter_line_line_2d(tols, &p1, &q, 1, &g1, &g2, &x, parms, &c, &status);
    EXPECT_EQ(status, 2);

    // Coinciding base points: the midpoint, at parameter 0 on both lines.
    PNT2_s r1{2, 3}, r2{2 + 1e-9, 3};
    parms[0] = parms[1] = std::numeric_limits<double>::quiet_NaN();
    ARC_SPLINE_inter_line_line_2d(tols, &r1, &r2, 1, &d1, &d2, &x, parms, &c, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(parms[0], 0.0);
    EXPECT_EQ(parms[1], 0.0);
    EXPECT_NEAR(x.x, 2.0, 1e-9);

    // Not-a-number input is a failed intersection, not a point.
    PNT2_s bad{std::numeric_limits<double>::quiet_NaN(), 0};
    ARC_SPLINE_inter_line_line_2d(tols, &p1, &bad, 1, &d1, &d2, &x, parms, &c, &status);
    EXPECT_NE(status, 0);
}

TEST(ArcSplineLineLine, RandomLinesMeetOnBoth) {
    truth::Rng rng;
    for (int i = 0; i < 2000; ++i) {
        PNT2_s p1 = rng.point(100), p2 = rng.point(100);
        VEC2_s d1 = rng.unit(), d2 = rng.unit();
        if (std::fabs(truth::cross(d1.x, d1.y, d2.x, d2.y)) < 1e-3) continue;
        PNT2_s x;
        double parms[2], c;
        int status;
        ARC_SPLINE_inter_line_line_2d(tols, &p1, &p2, 1, &d1, &d2, &x, parms, &c, &status);
        ASSERT_EQ(status, 0);
        EXPECT_LT(truth::line_dist(x, p1, d1), 1e-9);
        EXPECT_LT(truth::line_dist(x, p2, d2), 1e-9);
        EXPECT_LT(dist(x, PNT2_s{p1.x + parms[0] * d1.x, p1.y + parms[0] * d1.y}), 1e-9);
        EXPECT_LT(dist(x, PNT2_s{p2.x + parms[1] * d2.x, p2.y + parms[1] * d2.y}), 1e-9);
    }
}

TEST(ArcSplineDistances, PointToLineAndLineSegment) {
    PNT2_s foot;
    double t;
    int side, where;
    const PNT2_s q{0, 0};
    const VEC2_s d{1, 0};
    PNT2_s p{3, 2};
    EXPECT_DOUBLE_EQ(ARC_SPLINE_ask_dist_pt_to_line_2d(&p, &q, &d, 1e-7, &foot, &t, &side), 2.0);
    EXPECT_EQ(side, -1); // left
    EXPECT_DOUBLE_EQ(t, 3.0);
    p.y = -2;
    ARC_SPLINE_ask_dist_pt_to_line_2d(&p, &q, &d, 1e-7, &foot, &t, &side);
    EXPECT_EQ(side, 1);
    p = PNT2_s{1e-9, 5};
    ARC_SPLINE_ask_dist_pt_to_line_2d(&p, &q, &d, 1e-7, &foot, &t, &side);
    EXPECT_EQ(t, 0.0); // foot snapped onto q

    const PNT2_s a{0, 0}, b{4, 0};
    p = PNT2_s{6, 1};
    double r = ARC_SPLINE_ask_dist_pt_to_line_seg_2d(&p, &a, &b, 1e-7, 0, &foot, &t, &where, &side);
    EXPECT_EQ(where, 1);
    EXPECT_DOUBLE_EQ(t, 6.0);
    EXPECT_DOUBLE_EQ(r, 1.0);
    r = ARC_SPLINE_ask_dist_pt_to_line_seg_2d(&p, &a, &b, 1e-7, 1, &foot, &t, &where, &side);
    EXPECT_EQ(where, 1);
    EXPECT_DOUBLE_EQ(t, 4.0);
    EXPECT_DOUBLE_EQ(foot.x, 4.0);
    EXPECT_DOUBLE_EQ(r, std::hypot(2.0, 1.0));
    p = a;
    ARC_SPLINE_ask_dist_pt_to_line_seg_2d(&p, &a, &b, 1e-7, 0, &foot, &t, &where, &side);
    EXPECT_EQ(where, 0);
    EXPECT_EQ(side, 0);
    p = PNT2_s{2, -1};
    ARC_SPLINE_ask_dist_pt_to_line_seg_2d(&p, &a, &b, 1e-7, 0, &foot, &t, &where, &side);
    EXPECT_EQ(where, -1);
    EXPECT_EQ(side, 1);

    // A segment of coincident points is reported and answered from a.
    Kaltor::Corvex::MessageCapture capture(true);
    p = PNT2_s{1, 1};
    r = ARC_SPLINE_ask_dist_pt_to_line_seg_2d(&p, &a, &a, 1e-7, 0, &foot, &t, &where, &side);
    ASSERT_EQ(capture.internals().size(), 1u);
    EXPECT_EQ(capture.internals()[0], "The line segment is not defined; we have coincident points.");
    EXPECT_EQ(capture.all()[0].file, "arc_spline_apollonian_constructions");
    EXPECT_DOUBLE_EQ(r, std::sqrt(2.0));
    EXPECT_EQ(t, 0.0);
}

TEST(ArcSplineDistances, PointToSegment) {
    PNT2_s foot;
    double parm;
    int where, status;
    // Straight: beyond the end, clamped and not.
    const ARC_SPLINE_1_seg_2d_s s = straight(PNT2_s{0, 0}, PNT2_s{4, 0});
    PNT2_s p{5, 3};
    EXPECT_DOUBLE_EQ(ARC_SPLINE_ask_dist_pt_to_1_seg_2d(&s, &p, 0, tols, &foot, &parm, &where, &status), 3.0);
    EXPECT_EQ(where, 1);
    EXPECT_DOUBLE_EQ(ARC_SPLINE_ask_dist_pt_to_1_seg_2d(&s, &p, 1, tols, &foot, &parm, &where, &status),
                     std::hypot(1.0, 3.0));
    EXPECT_DOUBLE_EQ(parm, 4.0);

    // Quarter arc of the unit circle from (1, 0) to (0, 1).
    const ARC_SPLINE_1_seg_2d_s q = arc(PNT2_s{0, 0}, 1, 0, 90, 1);
    p = PNT2_s{2, 2};
    EXPECT_NEAR(ARC_SPLINE_ask_dist_pt_to_1_seg_2d(&q, &p, 0, tols, &foot, &parm, &where, &status),
                std::sqrt(8.0) - 1, 1e-12);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(where, -1);
    // Below the start: clamped to (1, 0).
    p = PNT2_s{2, -0.5};
    const double dc = ARC_SPLINE_ask_dist_pt_to_1_seg_2d(&q, &p, 1, tols, &foot, &parm, &where, &status);
    EXPECT_EQ(where, 1);
    EXPECT_NEAR(foot.x, 1.0, 1e-12);
    EXPECT_NEAR(foot.y, 0.0, 1e-12);
    EXPECT_NEAR(dc, std::hypot(1.0, 0.5), 1e-12);
    EXPECT_DOUBLE_EQ(parm, q.start_angle);

    // Missing segment.
    EXPECT_EQ(ARC_SPLINE_ask_dist_pt_to_1_seg_2d(nullptr, &p, 1, tols, &foot, &parm, &where, &status), 0.0);
    EXPECT_EQ(status, 1);
}

TEST(ArcSplineArcLine, TangentSecantAndStraights) {
    const ARC_SPLINE_1_seg_2d_s c = circle(0, 0, 2);
    Inter r = arc_line(c, straight(PNT2_s{-5, 2}, PNT2_s{5, 2}));
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.count, 1);
    EXPECT_NEAR(r.x[0].x, 0.0, 1e-12);
    EXPECT_NEAR(r.x[0].y, 2.0, 1e-12);
    // Through the centre: the point against the line's direction first.
    r = arc_line(c, straight(PNT2_s{-5, 0}, PNT2_s{5, 0}));
    ASSERT_EQ(r.count, 2);
    EXPECT_NEAR(r.x[0].x, -2.0, 1e-12);
    EXPECT_NEAR(r.x[1].x, 2.0, 1e-12);
    EXPECT_NEAR(r.parms[0][1], 3.0, 1e-12);
    EXPECT_NEAR(r.parms[1][1], 7.0, 1e-12);
    // Bounded straight that reaches only the second point: it moves first.
    r = arc_line(c, straight(PNT2_s{0, 0}, PNT2_s{5, 0}), 0, 1);
    ASSERT_EQ(r.count, 1);
    EXPECT_NEAR(r.x[0].x, 2.0, 1e-12);
    EXPECT_EQ(r.where[0][1], -1);
    // Missing the circle.
    EXPECT_EQ(arc_line(c, straight(PNT2_s{-5, 3}, PNT2_s{5, 3})).count, 0);
    // Two straights.
    r = arc_line(straight(PNT2_s{0, -1}, PNT2_s{0, 1}), straight(PNT2_s{-1, 0.5}, PNT2_s{1, 0.5}), 1, 1);
    ASSERT_EQ(r.count, 1);
    EXPECT_NEAR(r.x[0].y, 0.5, 1e-12);
    EXPECT_NEAR(r.parms[0][0], 1.5, 1e-12);
    EXPECT_NEAR(r.parms[0][1], 1.0, 1e-12);
    r = arc_line(straight(PNT2_s{0, 0}, PNT2_s{1, 0}), straight(PNT2_s{0, 1}, PNT2_s{1, 1}));
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.where[1][0], 1); // the line-line status: parallel
    // Bad input.
    EXPECT_EQ(arc_line(c, c).status, 2);
    Inter n;
    const ARC_SPLINE_1_seg_2d_s l = straight(PNT2_s{0, 0}, PNT2_s{1, 0});
    ARC_SPLINE_inter_circular_arc_line_seg_2d(nullptr, &l, 0, 0, tols, &n.count, &n.x[0], n.parms[0], n.where[0],
                                              &n.x[1], n.parms[1], n.where[1], &n.status);
    EXPECT_EQ(n.status, 1);
    EXPECT_EQ(n.count, 0);
}

TEST(ArcSplineArcLine, RandomPointsLieOnBoth) {
    truth::Rng rng;
    int seen[3] = {0, 0, 0};
    for (int i = 0; i < 3000; ++i) {
        const PNT2_s c = rng.point(50);
        const double r = std::pow(10.0, rng.uniform(-3, 2));
        const ARC_SPLINE_1_seg_2d_s a = rng.pick(2) ? circle(c.x, c.y, r)
                                                    : arc(c, r, rng.uniform(0, 360), rng.uniform(1, 359),
                                                          rng.pick(2) ? 1 : -1);
        // Lines at distances around r from the centre, some nearly tangent.
        const VEC2_s u = rng.unit();
        const double e = r * (rng.pick(4) == 0 ? 1.0 + rng.uniform(-1e-9, 1e-9) : rng.uniform(0, 1.5));
        const PNT2_s f{c.x - e * u.y, c.y + e * u.x};
        const double l = rng.uniform(0.1, 3) * r;
        const PNT2_s s{f.x + rng.uniform(-2, 2) * r * u.x, f.y + rng.uniform(-2, 2) * r * u.y};
        const ARC_SPLINE_1_seg_2d_s line = straight(s, PNT2_s{s.x + l * u.x, s.y + l * u.y});
        const int b1 = rng.pick(2), b2 = rng.pick(2);
        const Inter x = arc_line(a, line, b1, b2);
        ASSERT_EQ(x.status, 0);
        ASSERT_GE(x.count, 0);
        ++seen[x.count];
        const double slack = 1e-9 * (1 + r + std::fabs(c.x) + std::fabs(c.y));
        if (!b1 && !b2) {
            const double dl = truth::line_dist(c, s, u);
            if (dl > r + tols[0]) {
                EXPECT_EQ(x.count, 0);
            }
            if (dl < r - tols[0]) {
                EXPECT_EQ(x.count, 2);
            }
        }
        for (int k = 0; k < x.count; ++k) {
            EXPECT_NEAR(dist(x.x[k], c), r, slack + tols[0]);
            EXPECT_LT(truth::line_dist(x.x[k], s, u), slack + tols[0]);
            if (b1) {
                EXPECT_TRUE(truth::on_arc(a, x.x[k], 1e-6 + tols[0] / r));
            }
            if (b2) {
                EXPECT_GT(x.parms[k][1], -tols[0] - slack);
                EXPECT_LT(x.parms[k][1], l + tols[0] + slack);
            }
        }
    }
    EXPECT_GT(seen[0], 100);
    EXPECT_GT(seen[1], 100);
    EXPECT_GT(seen[2], 100);
}

TEST(ArcSplineArcArc, RelationsOfTwoCircles) {
    const ARC_SPLINE_1_seg_2d_s a = circle(0, 0, 1);
    // Equal circles touching from outside.
    Inter r = arc_arc(a, circle(2, 0, 1));
    ASSERT_EQ(r.count, 1);
    EXPECT_NEAR(r.x[0].x, 1.0, 1e-12);
    // Unequal circles touching from outside and from inside: one point.
    r = arc_arc(a, circle(3, 0, 2));
    ASSERT_EQ(r.count, 1);
    EXPECT_NEAR(r.x[0].x, 1.0, 1e-12);
    r = arc_arc(circle(0, 0, 3), circle(1, 0, 2));
    ASSERT_EQ(r.count, 1);
    EXPECT_NEAR(r.x[0].x, 3.0, 1e-12);
    EXPECT_NEAR(r.x[0].y, 0.0, 1e-12);
    // A circle nested inside another meets it nowhere.
    r = arc_arc(circle(0, 0, 5), circle(1, 0.5, 1));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.count, 0);
    r = arc_arc(circle(1, 0.5, 1), circle(0, 0, 5));
    EXPECT_EQ(r.count, 0);
    // Concentric and apart.
    EXPECT_EQ(arc_arc(a, circle(0, 0, 2)).count, 0);
    EXPECT_EQ(arc_arc(a, circle(5, 0, 1)).count, 0);
    // Bad input.
    EXPECT_EQ(arc_arc(straight(PNT2_s{0, 0}, PNT2_s{1, 0}), a).status, 1);
    EXPECT_EQ(arc_arc(a, straight(PNT2_s{0, 0}, PNT2_s{1, 0})).status, 2);
}

TEST(ArcSplineArcArc, RandomPointsLieOnBoth) {
    truth::Rng rng;
    int seen[3] = {0, 0, 0};
    for (int i = 0; i < 3000; ++i) {
        const PNT2_s c1 = rng.point(20);
        const double r1 = std::pow(10.0, rng.uniform(-2, 1.5));
        const double r2 = std::pow(10.0, rng.uniform(-2, 1.5));
        const VEC2_s u = rng.unit();
        // Centre distances across nested, crossing, touching and apart.
        double d;
        switch (rng.pick(4)) {
        case 0: d = std::fabs(r1 - r2) * (1 + rng.uniform(-1e-10, 1e-10)); break;
        case 1: d = (r1 + r2) * (1 + rng.uniform(-1e-10, 1e-10)); break;
        default: d = rng.uniform(0, 1.3) * (r1 + r2); break;
        }
        const PNT2_s c2{c1.x + d * u.x, c1.y + d * u.y};
        const int b1 = rng.pick(2), b2 = rng.pick(2);
        const ARC_SPLINE_1_seg_2d_s a =
            b1 ? arc(c1, r1, rng.uniform(0, 360), rng.uniform(10, 350), rng.pick(2) ? 1 : -1) : circle(c1.x, c1.y, r1);
        const ARC_SPLINE_1_seg_2d_s b =
            b2 ? arc(c2, r2, rng.uniform(0, 360), rng.uniform(10, 350), rng.pick(2) ? 1 : -1) : circle(c2.x, c2.y, r2);
        const Inter x = arc_arc(a, b, b1, b2);
        ASSERT_EQ(x.status, 0);
        ++seen[x.count];
        const double slack = 1e-8 * (1 + r1 + r2 + std::fabs(c1.x) + std::fabs(c1.y));
        if (!b1 && !b2 && d > tols[0]) {
            if (d < std::fabs(r1 - r2) - tols[0] || d > r1 + r2 + tols[0]) {
                EXPECT_EQ(x.count, 0);
            }
            if (d > std::fabs(r1 - r2) + tols[0] && d < r1 + r2 - tols[0]) {
                EXPECT_EQ(x.count, 2);
            }
        }
        for (int k = 0; k < x.count; ++k) {
            EXPECT_NEAR(dist(x.x[k], c1), r1, slack + tols[0]) << i;
            EXPECT_NEAR(dist(x.x[k], c2), r2, slack + tols[0]) << i;
            if (b1) {
                EXPECT_TRUE(truth::on_arc(a, x.x[k], 1e-6 + tols[0] / r1));
            }
            if (b2) {
                EXPECT_TRUE(truth::on_arc(b, x.x[k], 1e-6 + tols[0] / r2));
            }
        }
    }
    EXPECT_GT(seen[0], 100);
    EXPECT_GT(seen[1], 100);
    EXPECT_GT(seen[2], 100);
}

TEST(ArcSplineTangents, FromAPoint) {
    const ARC_SPLINE_1_seg_2d_s c = circle(1, 1, 2);
    PNT2_s t1, t2;
    double parms[2];
    int where[2], count, status;
    PNT2_s p{7, 2};
    ARC_SPLINE_ask_tangents_thru_a_point_2d(&c, &p, 0, tols, &count, &t1, &t2, parms, where, &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(count, 2);
    EXPECT_LT(parms[0], parms[1]); // counter-clockwise: increasing parameter
    // Clockwise arc: decreasing parameter.
    const ARC_SPLINE_1_seg_2d_s cw = arc(PNT2_s{1, 1}, 2, 0, 360, -1);
    ARC_SPLINE_ask_tangents_thru_a_point_2d(&cw, &p, 0, tols, &count, &t1, &t2, parms, where, &status);
    ASSERT_EQ(count, 2);
    EXPECT_GT(parms[0], parms[1]);
    // On the circle and inside.
    p = PNT2_s{3, 1};
    ARC_SPLINE_ask_tangents_thru_a_point_2d(&c, &p, 1, tols, &count, &t1, &t2, parms, where, &status);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(t1.x, 3.0, 1e-12);
    p = PNT2_s{1.5, 1};
    ARC_SPLINE_ask_tangents_thru_a_point_2d(&c, &p, 1, tols, &count, &t1, &t2, parms, where, &status);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(status, 0);
    // A bounded arc keeps the point that lies on it: upper half of the circle.
    const ARC_SPLINE_1_seg_2d_s upper = arc(PNT2_s{1, 1}, 2, 0, 180, 1);
    p = PNT2_s{7, 1};
    ARC_SPLINE_ask_tangents_thru_a_point_2d(&upper, &p, 1, tols, &count, &t1, &t2, parms, where, &status);
    ASSERT_EQ(count, 1);
    EXPECT_GT(t1.y, 1.0);
    ARC_SPLINE_ask_tangents_thru_a_point_2d(nullptr, &p, 1, tols, &count, &t1, &t2, parms, where, &status);
    EXPECT_EQ(status, 1);
}

TEST(ArcSplineTangents, RandomTangentsFromPointsTouch) {
    truth::Rng rng;
    for (int i = 0; i < 2000; ++i) {
        const PNT2_s c = rng.point(30);
        const double r = std::pow(10.0, rng.uniform(-3, 1.5));
        const VEC2_s u = rng.unit();
        const double d = r * (rng.pick(3) == 0 ? 1 + 1e-6 : rng.uniform(1.0001, 20));
        const PNT2_s p{c.x + d * u.x, c.y + d * u.y};
        const ARC_SPLINE_1_seg_2d_s a = circle(c.x, c.y, r);
        PNT2_s t[2];
        double parms[2];
        int where[2], count, status;
        ARC_SPLINE_ask_tangents_thru_a_point_2d(&a, &p, 0, tols, &count, &t[0], &t[1], parms, where, &status);
        ASSERT_EQ(status, 0);
        ASSERT_GE(count, 1);
        for (int k = 0; k < count; ++k) {
            const double slack = 1e-9 * (1 + d + std::fabs(c.x) + std::fabs(c.y));
            EXPECT_NEAR(dist(t[k], c), r, slack + tols[0]);
            // The tangent p t is perpendicular to the radius c t.
            const double dp = (t[k].x - c.x) * (p.x - t[k].x) + (t[k].y - c.y) * (p.y - t[k].y);
            EXPECT_LT(std::fabs(dp), 1e-7 * r * d + tols[0] * d);
        }
        if (count == 2) {
            EXPECT_LE(parms[0], parms[1]);
        }
    }
}

namespace {

struct Tangents {
    int count = -1, status = -1;
    ARC_SPLINE_1_seg_2d_s out[2];
    double p1[2], p2[2];
};

Tangents common(bool interior, const ARC_SPLINE_1_seg_2d_s &a, const ARC_SPLINE_1_seg_2d_s &b, int b1 = 0,
                int b2 = 0) {
    Tangents t;
    (interior ? ARC_SPLINE_ask_tangents_interior_to_circles_2d : ARC_SPLINE_ask_tangents_exterior_to_circles_2d)(
        &a, &b, b1, b2, tols, &t.count, &t.out[0], &t.out[1], t.p1, t.p2, &t.status);
    return t;
}

PNT2_s end_of(const ARC_SPLINE_1_seg_2d_s &s) {
    return PNT2_s{s.start_pt.x + s.radius * s.direction.x, s.start_pt.y + s.radius * s.direction.y};
}

} // namespace

TEST(ArcSplineCommonTangents, CountsAndSpecialCases) {
    const ARC_SPLINE_1_seg_2d_s a = circle(0, 0, 1);
    // Equal radii: parallel to the centre line at distance r on either side.
    Tangents t = common(false, a, circle(5, 0, 1));
    ASSERT_EQ(t.count, 2);
    for (int k = 0; k < 2; ++k) {
        EXPECT_NEAR(std::fabs(t.out[k].start_pt.y), 1.0, 1e-12);
        EXPECT_NEAR(end_of(t.out[k]).x, 5.0, 1e-12);
        EXPECT_NEAR(t.out[k].radius, 5.0, 1e-12);
    }
    EXPECT_LT(t.p1[0], t.p1[1]);
    // Interior tangents cross between the circles.
    t = common(true, a, circle(5, 0, 1));
    ASSERT_EQ(t.count, 2);
    for (int k = 0; k < 2; ++k) EXPECT_LT(t.out[k].start_pt.y * end_of(t.out[k]).y, 0.0);
    // Touching from inside: one zero-length exterior tangent across the centre line.
    t = common(false, circle(0, 0, 3), circle(1, 0, 2));
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(t.out[0].radius, 0.0);
    EXPECT_NEAR(t.out[0].start_pt.x, 3.0, 1e-12);
    EXPECT_NEAR(std::fabs(t.out[0].direction.y), 1.0, 1e-12);
    // Touching from outside: one zero-length interior tangent.
    t = common(true, a, circle(3, 0, 2));
    ASSERT_EQ(t.count, 1);
    EXPECT_NEAR(t.out[0].start_pt.x, 1.0, 1e-12);
    // Nested or concentric: no exterior tangent, status 3; overlapping: no
    // interior tangent.
    EXPECT_EQ(common(false, circle(0, 0, 5), circle(1, 0, 1)).status, 3);
    EXPECT_EQ(common(false, a, circle(0, 0, 2)).status, 3);
    t = common(true, a, circle(1, 0, 1));
    EXPECT_EQ(t.status, 0);
    EXPECT_EQ(t.count, 0);
    // Bad input.
    EXPECT_EQ(common(false, straight(PNT2_s{0, 0}, PNT2_s{1, 0}), a).status, 1);
    EXPECT_EQ(common(true, a, straight(PNT2_s{0, 0}, PNT2_s{1, 0})).status, 2);
    // Bounded arcs: the upper halves keep only the upper exterior tangent.
    t = common(false, arc(PNT2_s{0, 0}, 1, 0, 180, 1), arc(PNT2_s{5, 0}, 2, 0, 180, 1), 1, 1);
    ASSERT_EQ(t.count, 1);
    EXPECT_GT(t.out[0].start_pt.y, 0.0);
}

TEST(ArcSplineCommonTangents, RandomTangentsTouchBothCircles) {
    truth::Rng rng;
    for (int i = 0; i < 2000; ++i) {
        const bool interior = rng.pick(2);
        const PNT2_s c1 = rng.point(20);
        const double r1 = std::pow(10.0, rng.uniform(-3, 1)), r2 = std::pow(10.0, rng.uniform(-3, 1));
        const VEC2_s u = rng.unit();
        const double d = (r1 + r2) * rng.uniform(interior ? 1.0001 : 0.2, 4.0) + std::fabs(r1 - r2);
        const PNT2_s c2{c1.x + d * u.x, c1.y + d * u.y};
        const Tangents t = common(interior, circle(c1.x, c1.y, r1), circle(c2.x, c2.y, r2));
        ASSERT_EQ(t.status, 0);
        ASSERT_EQ(t.count, 2) << i;
        const double slack = 1e-9 * (1 + d + std::fabs(c1.x) + std::fabs(c1.y));
        for (int k = 0; k < 2; ++k) {
            const PNT2_s a = t.out[k].start_pt, b = end_of(t.out[k]);
            const VEC2_s dir = t.out[k].direction;
            EXPECT_NEAR(dist(a, c1), r1, slack);
            EXPECT_NEAR(dist(b, c2), r2, slack);
            // The line a b is at distance r from each centre: tangent to both.
            EXPECT_NEAR(truth::line_dist(c1, a, dir), r1, slack);
            EXPECT_NEAR(truth::line_dist(c2, a, dir), r2, slack);
            // Exterior tangents keep both circles on one side, interior ones
            // separate them.
            const double s1 = truth::cross(dir.x, dir.y, c1.x - a.x, c1.y - a.y);
            const double s2 = truth::cross(dir.x, dir.y, c2.x - a.x, c2.y - a.y);
            EXPECT_EQ(s1 * s2 < 0, interior);
        }
    }
}

TEST(ArcSplineWhere, PointAndCircleRelations) {
    const ARC_SPLINE_1_seg_2d_s a = circle(0, 0, 1);
    PNT2_s p{1, 0};
    EXPECT_EQ(ARC_SPLINE_ask_where_is_pt_wrt_circle_2d(&p, &a, 1e-7), 0);
    p.x = 0.5;
    EXPECT_EQ(ARC_SPLINE_ask_where_is_pt_wrt_circle_2d(&p, &a, 1e-7), -1);
    p.x = 1.5;
    EXPECT_EQ(ARC_SPLINE_ask_where_is_pt_wrt_circle_2d(&p, &a, 1e-7), 1);

    const double tol = 1e-7;
    const ARC_SPLINE_1_seg_2d_s big = circle(0, 0, 3);
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&a, &a, tol), -6);
    const ARC_SPLINE_1_seg_2d_s touching = circle(2, 0, 1), apart = circle(5, 0, 1);
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&a, &touching, tol), 0);
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&a, &apart, tol), 1);
    const ARC_SPLINE_1_seg_2d_s in_touch = circle(2, 0, 1), crossing = circle(3, 0, 1), inside = circle(0.5, 0, 1);
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&in_touch, &big, tol), -3);
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&big, &in_touch, tol), -2);
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&crossing, &big, tol), -5);
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&big, &crossing, tol), -4);
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&inside, &big, tol), -1);
    const ARC_SPLINE_1_seg_2d_s line = straight(PNT2_s{0, 0}, PNT2_s{1, 0});
    EXPECT_EQ(ARC_SPLINE_ask_where_is_circle_wrt_circle_2d(&line, &big, tol), 1);
}

TEST(ArcSplineChordTangent, OtherEndOfChord) {
    ARC_SPLINE_1_seg_2d_s s;
    VEC2_s out;
    const PNT2_s p{0, 0}, q{1, 1};
    const VEC2_s t{1, 0};
    ARC_SPLINE_compute_tangent_at_other_end_of_chord_2d(&p, &t, &q, tols, &out, &s);
    // Quarter of the unit circle about (0, 1): tangent (0, 1) at (1, 1).
    EXPECT_NEAR(out.x, 0.0, 1e-12);
    EXPECT_NEAR(out.y, 1.0, 1e-12);
    const PNT2_s on{3, 0};
    ARC_SPLINE_compute_tangent_at_other_end_of_chord_2d(&p, &t, &on, tols, &out, &s);
    EXPECT_EQ(s.type, 0);
    EXPECT_EQ(out.x, 1.0);
    // q on p: a point circle, which has no tangent to offer.
    Kaltor::Corvex::MessageCapture capture(true);
    ARC_SPLINE_compute_tangent_at_other_end_of_chord_2d(&p, &t, &p, tols, &out, &s);
    ASSERT_EQ(capture.internals().size(), 1u);
    EXPECT_EQ(capture.internals()[0], "Unexpected conic arc type.");
    EXPECT_EQ(out.x, 1.0);
}

TEST(ArcSplineBadInput, NotANumberAndDegenerateSegments) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const ARC_SPLINE_1_seg_2d_s c = circle(0, 0, 1), bad = circle(nan, 0, 1);
    const ARC_SPLINE_1_seg_2d_s badline = straight(PNT2_s{nan, 0}, PNT2_s{1, 0});
    const ARC_SPLINE_1_seg_2d_s point = circle(0, 0, 0);
    EXPECT_EQ(arc_arc(bad, c).status, 1);
    EXPECT_EQ(arc_arc(c, bad).status, 2);
    EXPECT_EQ(arc_line(c, badline).status, 2);
    EXPECT_EQ(common(false, bad, c).status, 1);
    EXPECT_EQ(common(true, c, bad).status, 2);
    // A zero-length straight is a unit-long piece along its direction.
    const Inter z = arc_line(c, straight(PNT2_s{0, 0}, PNT2_s{0, 0}));
    EXPECT_EQ(z.status, 0);
    EXPECT_EQ(z.count, 2);
    // Point circles and NaN points: a status or no solution, never a point.
    PNT2_s t1, t2, foot;
    double parms[2], parm;
    int where[2], w, count, status;
    const PNT2_s p{nan, 1};
    ARC_SPLINE_ask_tangents_thru_a_point_2d(&c, &p, 0, tols, &count, &t1, &t2, parms, where, &status);
    EXPECT_EQ(count, 0);
    const PNT2_s q{3, 1};
    ARC_SPLINE_ask_dist_pt_to_1_seg_2d(&point, &q, 0, tols, &foot, &parm, &w, &status);
    EXPECT_EQ(status, 1);
    ARC_SPLINE_ask_dist_pt_to_1_seg_2d(&bad, &q, 0, tols, &foot, &parm, &w, &status);
    EXPECT_EQ(status, 1);
    ARC_SPLINE_ask_dist_pt_to_1_seg_2d(&c, &p, 0, tols, &foot, &parm, &w, &status);
    EXPECT_EQ(status, 1);
}
