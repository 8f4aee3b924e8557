// Circle constructions: every returned circle is checked against the
// conditions it was built for (through its points, tangent to its lines and
// circles), over many random configurations including near-degenerate ones.
#include "circle_truth.hpp"
#include "test_support.h"

#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

using truth::dist;

namespace {

using arc_input::circle;
using arc_input::tols;

quorm_point3 p3(const PNT2_s &p) { return quorm_point3{p.x, p.y, 0.0}; }

// A record is sound when its start data describe the circle of its centre
// and radius, and its start point lies on that circle.
void expect_sound(const ARC_SPLINE_1_seg_2d_s &s, double slack) {
    EXPECT_EQ(s.type, 1);
    EXPECT_LT(dist(truth::centre_from_start(s), s.center), slack);
    EXPECT_NEAR(dist(s.start_pt, s.center), s.radius, slack);
}

using quorm_test::assertion_text;
using quorm_test::Checking;

} // namespace

TEST(ArcSplineChordEndData, RadiusGivenComputedAndWrongSide) {
    ARC_SPLINE_1_seg_2d_s s;
    int status;
    const PNT2_s p1{0, 0}, p2{1, 1};
    const VEC2_s t1{1, 0}, t2{0, 1};
    double r = -1;
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&p1, &t1, &p2, &t2, 1, &r, &s, &status);
    ASSERT_EQ(status, 0);
    EXPECT_NEAR(r, 1.0, 1e-12);
    EXPECT_NEAR(s.center.y, 1.0, 1e-12);
    EXPECT_NEAR(s.end_angle, 90.0, 1e-12);
    // The end angle evaluates to p2.
    PNT2_s e;
    VEC2_s et;
    ARC_SPLINE_evaluate_arc_seg_2d(&s, 0, s.end_angle, &e, &et, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(dist(e, p2), 0.0, 1e-12);
    // Clockwise, end below start.
    const PNT2_s q2{1, -1};
    r = -1;
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&p1, &t1, &q2, &t2, -1, &r, &s, &status);
    ASSERT_EQ(status, 0);
    EXPECT_LT(s.end_angle, s.start_angle);
    EXPECT_NEAR(s.start_angle - s.end_angle, 90.0, 1e-12);
    // p2 on the wrong side of the tangent for the sense: no such arc.
    r = -1;
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&p1, &t1, &q2, &t2, 1, &r, &s, &status);
    EXPECT_EQ(status, 4);
    EXPECT_EQ(s.type, 0);
    EXPECT_EQ(r, -1.0);
    // Radius given.
    r = 2;
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&p1, &t1, &p2, &t2, -1, &r, &s, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(s.center.y, -2.0, 1e-12);
    EXPECT_NEAR(s.end_angle, -270.0, 1e-12);
    // Bad sense, zero chord, p2 on the tangent line.
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&p1, &t1, &p2, &t2, 0, &r, &s, &status);
    EXPECT_EQ(status, 1);
    r = -1;
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&p1, &t1, &p1, &t2, 1, &r, &s, &status);
    EXPECT_EQ(status, 2);
    const PNT2_s ahead{3, 0};
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&p1, &t1, &ahead, &t2, 1, &r, &s, &status);
    EXPECT_EQ(status, 3);
}

TEST(ArcSplineChordEndData, RandomArcsEndAtTheSecondPoint) {
    truth::Rng rng;
    for (int i = 0; i < 2000; ++i) {
        const PNT2_s p1 = rng.point(100), p2 = rng.point(100);
        const VEC2_s t1 = rng.unit(), t2{1, 0};
        const double side = truth::cross(t1.x, t1.y, p2.x - p1.x, p2.y - p1.y);
        if (std::fabs(side) < 1e-3 * dist(p1, p2)) continue;
        const int sense = rng.pick(2) ? 1 : -1;
        ARC_SPLINE_1_seg_2d_s s;
        double r = -1;
        int status;
        ARC_SPLINE_cre_circle_from_chord_end_data_2d(&p1, &t1, &p2, &t2, sense, &r, &s, &status);
        if (side * sense < 0) {
            EXPECT_EQ(status, 4);
            continue;
        }
        ASSERT_EQ(status, 0);
        const double slack = 1e-9 * (1 + r);
        expect_sound(s, slack);
        EXPECT_NEAR(dist(p2, s.center), r, slack);
        PNT2_s e;
        VEC2_s et;
        ARC_SPLINE_evaluate_arc_seg_2d(&s, 0, s.end_angle, &e, &et, &status);
        EXPECT_EQ(status, 0);
        EXPECT_LT(dist(e, p2), 1e-8 * (1 + r));
    }
}

TEST(ArcSplineThruPoints, ThreePointsAndTwoPointsWithRadius) {
    ARC_SPLINE_1_seg_2d_s s, s2;
    int status, count;
    PNT2_s a{1, 0}, b{0, 1}, c{-1, 0};
    ARC_SPLINE_cre_circle_thru_3_points_2d(&a, &b, &c, tols, &s, &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(s.sense, 1);
    EXPECT_NEAR(s.center.x, 0.0, 1e-12);
    EXPECT_NEAR(s.center.y, 0.0, 1e-12);
    EXPECT_NEAR(s.radius, 1.0, 1e-12);
    EXPECT_EQ(s.start_pt.x, 1.0);
    EXPECT_NEAR(s.end_angle - s.start_angle, 360.0, 1e-12);
    ARC_SPLINE_cre_circle_thru_3_points_2d(&c, &b, &a, tols, &s, &status);
    EXPECT_EQ(s.sense, -1);
    // Collinear and coincident points.
    PNT2_s m{0, 0};
    ARC_SPLINE_cre_circle_thru_3_points_2d(&a, &m, &c, tols, &s, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(s.type, 0);
    EXPECT_EQ(s.radius, 0.0);
    ARC_SPLINE_cre_circle_thru_3_points_2d(&a, &a, &a, tols, &s, &status);
    EXPECT_EQ(status, 2);

    // Two points 2 apart with radius 1: the circle on them as diameter.
    PNT2_s p{1, 1}, q{3, 1};
    ARC_SPLINE_cre_circle_thru_2_points_and_radius(&p, &q, 1.0, 0, tols, &count, &s, &s2, &status);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(s.center.x, 2.0, 1e-12);
    EXPECT_EQ(s.start_pt.x, 1.0);
    EXPECT_EQ(s.sense, 1);
    // Larger radius: two circles, centres left and right of p -> q.
    for (int which = 0; which < 2; ++which) {
        ARC_SPLINE_cre_circle_thru_2_points_and_radius(&p, &q, 5.0, which, tols, &count, &s, &s2, &status);
        ASSERT_EQ(count, 2);
        EXPECT_GT(s.center.y, 1.0);
        EXPECT_LT(s2.center.y, 1.0);
        EXPECT_EQ(s.sense, which ? -1 : 1);
        EXPECT_EQ(s2.sense, which ? 1 : -1);
        for (const ARC_SPLINE_1_seg_2d_s *o : {&s, &s2}) {
            expect_sound(*o, 1e-12);
            EXPECT_NEAR(dist(q, o->center), 5.0, 1e-12);
            EXPECT_NEAR(o->radius, 5.0, 1e-12);
        }
    }
    // Smaller radius, coincident points.
    ARC_SPLINE_cre_circle_thru_2_points_and_radius(&p, &q, 0.5, 0, tols, &count, &s, &s2, &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(count, 0);
    ARC_SPLINE_cre_circle_thru_2_points_and_radius(&p, &p, 0.5, 0, tols, &count, &s, &s2, &status);
    EXPECT_EQ(status, 1);
}

TEST(ArcSplineThruPoints, RandomCirclesPassThroughTheirPoints) {
    truth::Rng rng;
    for (int i = 0; i < 2000; ++i) {
        const double size = std::pow(10.0, rng.uniform(-2, 3));
        const PNT2_s a = rng.point(size), b = rng.point(size), c = rng.point(size);
        ARC_SPLINE_1_seg_2d_s s;
        int status;
        ARC_SPLINE_cre_circle_thru_3_points_2d(&a, &b, &c, tols, &s, &status);
        if (status != 0) continue;
        const double slack = 1e-8 * (size + s.radius);
        expect_sound(s, slack);
        for (const PNT2_s &p : {a, b, c}) EXPECT_NEAR(dist(p, s.center), s.radius, slack);
        // The circle runs through a, b, c in this order.
        const double turn = truth::cross(b.x - a.x, b.y - a.y, c.x - b.x, c.y - b.y);
        EXPECT_EQ(s.sense, turn > 0 ? 1 : -1);

        // Circle through a tangent to a random line at ... b: passes both.
        const VEC2_s t = rng.unit();
        ARC_SPLINE_cre_circle_thru_pt_and_tangent_to_line_at_pt_2d(&b, &t, &a, tols, &s, &status);
        if (status == 0) {
            expect_sound(s, slack);
            EXPECT_LT(dist(s.start_pt, b), 1e-15 + slack);
            EXPECT_NEAR(dist(a, s.center), s.radius, slack);
            EXPECT_NEAR(truth::line_dist(s.center, b, t), s.radius, slack);
        }
    }
    // The limiting cases of the tangent-at-a-point construction.
    ARC_SPLINE_1_seg_2d_s s;
    int status;
    const PNT2_s p{0, 0}, q{2, 0};
    const VEC2_s t{1, 0};
    ARC_SPLINE_cre_circle_thru_pt_and_tangent_to_line_at_pt_2d(&p, &t, &p, tols, &s, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(s.type, -1);
    ARC_SPLINE_cre_circle_thru_pt_and_tangent_to_line_at_pt_2d(&p, &t, &q, tols, &s, &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(s.type, 0);
    EXPECT_EQ(s.radius, 2.0);
}

TEST(ArcSplineThruPoints, TangentToALine) {
    ARC_SPLINE_1_seg_2d_s s1, s2;
    PNT2_s t1, t2;
    int count, status;
    const PNT2_s lp{0, 0};
    const VEC2_s ld{1, 0};
    // Chord on the line; chord parallel; separated; through an end.
    PNT2_s a{1, 0}, b{3, 0};
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(&a, &b, &lp, &ld, tols, &count, &t1, &t2, &s1, &s2, &status);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(s1.type, 0);
    a = PNT2_s{-1, 2};
    b = PNT2_s{1, 2};
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(&a, &b, &lp, &ld, tols, &count, &t1, &t2, &s1, &s2, &status);
    ASSERT_EQ(count, 1);
    EXPECT_NEAR(t1.x, 0.0, 1e-12);
    EXPECT_NEAR(s1.radius, 1.25, 1e-12); // 1 + (2 - r)^2 = r^2
    a = PNT2_s{0, 1};
    b = PNT2_s{1, -1};
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(&a, &b, &lp, &ld, tols, &count, &t1, &t2, &s1, &s2, &status);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(status, 0);
    a = PNT2_s{2, 0};
    b = PNT2_s{3, 1};
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(&a, &b, &lp, &ld, tols, &count, &t1, &t2, &s1, &s2, &status);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(t1.x, 2.0);
    EXPECT_NEAR(s1.center.x, 2.0, 1e-12);
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(&a, &a, &lp, &ld, tols, &count, &t1, &t2, &s1, &s2, &status);
    EXPECT_EQ(status, 1);

    truth::Rng rng;
    int two = 0;
    for (int i = 0; i < 2000; ++i) {
        const PNT2_s p = rng.point(10), q = rng.point(10), o = rng.point(10);
        const VEC2_s u = rng.unit();
        ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(&p, &q, &o, &u, tols, &count, &t1, &t2, &s1, &s2,
                                                            &status);
        ASSERT_EQ(status, 0);
        two += count == 2;
        const ARC_SPLINE_1_seg_2d_s *segs[2] = {&s1, &s2};
        const PNT2_s *tps[2] = {&t1, &t2};
        for (int k = 0; k < count; ++k) {
            const ARC_SPLINE_1_seg_2d_s &s = *segs[k];
            if (s.type == 0) continue;
            const double slack = 1e-8 * (10 + s.radius);
            expect_sound(s, slack);
            EXPECT_NEAR(dist(p, s.center), s.radius, slack);
            EXPECT_NEAR(dist(q, s.center), s.radius, slack);
            EXPECT_NEAR(truth::line_dist(s.center, o, u), s.radius, slack);
            EXPECT_NEAR(dist(*tps[k], s.center), s.radius, slack);
            EXPECT_LT(truth::line_dist(*tps[k], o, u), slack);
        }
    }
    EXPECT_GT(two, 500);
}

TEST(ArcSplineThruPoints, TangentToACircleDirectAndLifted) {
    truth::Rng rng;
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        const PNT2_s c = rng.point(10);
        const double r = std::pow(10.0, rng.uniform(-1, 1));
        // Both points outside or both inside, sometimes symmetric.
        const bool inside = rng.pick(3) == 0;
        auto place = [&]() {
            const VEC2_s u = rng.unit();
            const double d = inside ? r * rng.uniform(0.05, 0.95) : r * rng.uniform(1.05, 5);
            return PNT2_s{c.x + d * u.x, c.y + d * u.y};
        };
        const PNT2_s p = place();
        PNT2_s q = place();
        if (rng.pick(5) == 0) q = PNT2_s{2 * c.x - p.x, p.y}; // c on the bisector
        if (dist(p, q) < 1e-3) continue;
        const ARC_SPLINE_1_seg_2d_s given = circle(c.x, c.y, r);
        ARC_SPLINE_1_seg_2d_s s[2];
        PNT2_s tp[2];
        int count, status;
        ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(&p, &q, &given, tols, &count, &tp[0], &tp[1], &s[0],
                                                              &s[1], &status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(count, 2) << i;
        ARC_SPLINE_1_seg_2d_s lifted[2];
        int lcount;
        const quorm_point3 cc = p3(c), pp = p3(p), qq = p3(q);
        ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle_2(&cc, r, &pp, &qq, &lcount, lifted);
        EXPECT_EQ(lcount, 2) << i;
        solved += count;
        for (int k = 0; k < count + lcount; ++k) {
            const ARC_SPLINE_1_seg_2d_s &o = k < count ? s[k] : lifted[k - count];
            const double slack = 1e-7 * (1 + o.radius + r);
            expect_sound(o, slack);
            EXPECT_NEAR(dist(p, o.center), o.radius, slack);
            EXPECT_NEAR(dist(q, o.center), o.radius, slack);
            EXPECT_LT(truth::touch_error(o.center, o.radius, c, r), slack) << i;
            if (k < count) {
                EXPECT_NEAR(dist(tp[k], c), r, slack);
                EXPECT_NEAR(dist(tp[k], o.center), o.radius, slack);
            }
        }
    }
    EXPECT_GT(solved, 3000);

    // Points on opposite sides of the circle: none; bad input.
    const ARC_SPLINE_1_seg_2d_s given = circle(0, 0, 1);
    const PNT2_s in{0.2, 0}, out{3, 0};
    ARC_SPLINE_1_seg_2d_s s1, s2;
    PNT2_s t1, t2;
    int count, status;
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(&in, &out, &given, tols, &count, &t1, &t2, &s1, &s2,
                                                          &status);
    EXPECT_EQ(count, 0);
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(&in, &in, &given, tols, &count, &t1, &t2, &s1, &s2, &status);
    EXPECT_EQ(status, 3);
    // A point on the circle: the one circle touching it there.
    const PNT2_s on{0, 1}, off{2, 3};
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(&on, &off, &given, tols, &count, &t1, &t2, &s1, &s2,
                                                          &status);
    ASSERT_EQ(count, 1);
    EXPECT_NEAR(dist(t1, on), 0.0, 1e-12);
    EXPECT_NEAR(s1.center.x, 0.0, 1e-12);
    EXPECT_NEAR(dist(off, s1.center), s1.radius, 1e-12);
    EXPECT_LT(truth::touch_error(s1.center, s1.radius, PNT2_s{0, 0}, 1), 1e-12);
    // A point circle: the circle through the three points.
    const ARC_SPLINE_1_seg_2d_s dot = circle(5, 0, 0);
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(&on, &off, &dot, tols, &count, &t1, &t2, &s1, &s2, &status);
    ASSERT_EQ(count, 1);
    EXPECT_NEAR(dist(PNT2_s{5, 0}, s1.center), s1.radius, 1e-12);
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(&in, &out, nullptr, tols, &count, &t1, &t2, &s1, &s2,
                                                          &status);
    EXPECT_EQ(status, 1);
}

namespace {

struct Apollonius {
    PNT2_s c[3];
    double r[3];
};

// Checks every circle of an Apollonius-type result against its inputs.
void expect_tangent_to_all(const Apollonius &a, int n, const ARC_SPLINE_1_seg_2d_s *segs, int count, double scale,
                           const char *what) {
    for (int k = 0; k < count; ++k) {
        const ARC_SPLINE_1_seg_2d_s &s = segs[k];
        const double slack = 1e-7 * (scale + s.radius);
        EXPECT_EQ(s.sense, 1) << what;
        EXPECT_LT(dist(truth::centre_from_start(s), s.center), slack) << what;
        for (int j = 0; j < n; ++j)
            EXPECT_LT(truth::touch_error(s.center, s.radius, a.c[j], a.r[j]), slack) << what << " circle " << j;
    }
}

} // namespace

TEST(ArcSplineLifted, EightCirclesTangentToThreeUnitCircles) {
    const quorm_point3 a{0, 0, 0}, b{4, 0, 0}, c{2, 3, 0};
    ARC_SPLINE_1_seg_2d_s segs[8];
    int count;
    ARC_SPLINE_cre_circle_tangent_to_3_circles(&a, 1, &b, 1, &c, 1, &count, segs);
    ASSERT_EQ(count, 8);
    const Apollonius ap{{{0, 0}, {4, 0}, {2, 3}}, {1, 1, 1}};
    expect_tangent_to_all(ap, 3, segs, count, 4, "unit circles");
    // The last line pair P-(1,2) ^ P-(1,3) holds the circles touching all
    // three alike: the one between them and the one around them.
    for (int k = 6; k < 8; ++k) {
        const double d0 = dist(segs[k].center, PNT2_s{0, 0});
        for (int j = 1; j < 3; ++j) EXPECT_NEAR(dist(segs[k].center, ap.c[j]), d0, 1e-9);
    }
}

TEST(ArcSplineLifted, RandomConfigurations) {
    truth::Rng rng;
    int total3 = 0, total2 = 0;
    for (int i = 0; i < 1500; ++i) {
        Apollonius a;
        const double scale = std::pow(10.0, rng.uniform(-1, 2));
        for (int j = 0; j < 3; ++j) {
            a.c[j] = rng.point(scale);
            a.r[j] = scale * std::pow(10.0, rng.uniform(-3, -0.5));
        }
        // Now and then a point or a tiny circle first.
        const int kind = rng.pick(6);
        if (kind == 0) a.r[0] = 0.0;
        if (kind == 1) a.r[0] = scale * 1e-9;
        ARC_SPLINE_1_seg_2d_s segs[8];
        int count;
        const quorm_point3 c0 = p3(a.c[0]), c1 = p3(a.c[1]), c2 = p3(a.c[2]);
        ARC_SPLINE_cre_circle_tangent_to_3_circles(&c0, a.r[0], &c1, a.r[1], &c2, a.r[2], &count, segs);
        ASSERT_LE(count, 8);
        total3 += count;
        expect_tangent_to_all(a, 3, segs, count, scale, "three circles");
        // Mutually separate circles always have eight tangent circles (four
        // when the first is a point).
        bool separate = true;
        for (int j = 0; j < 3; ++j)
            for (int k = j + 1; k < 3; ++k) separate &= dist(a.c[j], a.c[k]) > (a.r[j] + a.r[k]) * 1.01;
        if (separate && kind > 1) {
            EXPECT_EQ(count, 8) << i;
        }
        if (separate && kind == 0) {
            EXPECT_EQ(count, 4) << i;
        }

        Apollonius b = a;
        b.r[2] = 0.0;
        ARC_SPLINE_cre_circle_tangent_to_2_circles_and_a_pt(&c0, a.r[0], &c1, a.r[1], &c2, &count, segs);
        ASSERT_LE(count, 4);
        total2 += count;
        expect_tangent_to_all(b, 3, segs, count, scale, "two circles and a point");
        if (separate && kind > 1) {
            EXPECT_EQ(count, 4) << i;
        }
    }
    EXPECT_GT(total3, 6000);
    EXPECT_GT(total2, 3000);
}

TEST(ArcSplineLifted, DegenerateInput) {
    ARC_SPLINE_1_seg_2d_s segs[8];
    int count;
    // Three points: their circumcircle.
    const quorm_point3 a{1, 0, 0}, b{0, 1, 0}, c{-1, 0, 0};
    ARC_SPLINE_cre_circle_tangent_to_3_circles(&a, 0, &b, 0, &c, 0, &count, segs);
    ASSERT_EQ(count, 1);
    EXPECT_NEAR(segs[0].radius, 1.0, 1e-12);
    EXPECT_NEAR(segs[0].center.x, 0.0, 1e-12);
    // A first point on a circle of radius 0 given last: solutions pass it.
    const quorm_point3 o{0, 0, 0}, far{10, 0, 0}, up{5, 5, 0};
    ARC_SPLINE_cre_circle_tangent_to_3_circles(&o, 0, &far, 2, &up, 1, &count, segs);
    EXPECT_EQ(count, 4);
    for (int k = 0; k < count; ++k) EXPECT_NEAR(dist(segs[k].center, PNT2_s{0, 0}), segs[k].radius, 1e-8);
    // Not-a-number input gives nothing.
    const quorm_point3 bad{std::numeric_limits<double>::quiet_NaN(), 0, 0};
    ARC_SPLINE_cre_circle_tangent_to_3_circles(&bad, 1, &far, 2, &up, 1, &count, segs);
    EXPECT_EQ(count, 0);
    ARC_SPLINE_cre_circle_tangent_to_2_circles_and_a_pt(&o, 1, &far, 2, &bad, &count, segs);
    EXPECT_EQ(count, 0);
}

TEST(ArcSplineGivenRadius, RandomArcsTouchBothCircles) {
    truth::Rng rng;
    int total = 0;
    for (int i = 0; i < 1500; ++i) {
        const PNT2_s c1 = rng.point(10), c2 = rng.point(10);
        const double r1 = rng.uniform(0.2, 4), r2 = rng.uniform(0.2, 4), R = rng.uniform(0.1, 5);
        // Whole circles, or half circles whose touching points must lie on them.
        const int whole = rng.pick(2);
        ARC_SPLINE_1_seg_2d_s a = circle(c1.x, c1.y, r1), b = circle(c2.x, c2.y, r2);
        if (!whole) {
            a.end_angle = b.end_angle = 270.0;
        }
        ARC_SPLINE_1_seg_2d_s segs[8];
        PNT2_s tp[16];
        int count;
        ARC_SPLINE_cre_circle_tangent_to_2_circles_and_given_radius_2d(&a, &b, R, tols, whole, whole, 0, &count, segs,
                                                                       tp);
        ASSERT_LE(count, 8);
        total += count;
        for (int k = 0; k < count; ++k) {
            const ARC_SPLINE_1_seg_2d_s &s = segs[k];
            const double slack = 1e-8 * (10 + R);
            expect_sound(s, slack);
            EXPECT_NEAR(s.radius, R, slack);
            EXPECT_LT(truth::touch_error(s.center, R, c1, r1), slack);
            EXPECT_LT(truth::touch_error(s.center, R, c2, r2), slack);
            EXPECT_NEAR(dist(tp[2 * k], c1), r1, slack);
            EXPECT_NEAR(dist(tp[2 * k + 1], c2), r2, slack);
            EXPECT_NEAR(dist(tp[2 * k], s.center), R, slack);
            if (!whole) {
                EXPECT_GE(tp[2 * k].y, c1.y - slack); // upper halves
                EXPECT_GE(tp[2 * k + 1].y, c2.y - slack);
            }
            // The arc runs from touching point 1 to touching point 2 the
            // shorter way round.
            EXPECT_LT(dist(s.start_pt, tp[2 * k]), slack);
            EXPECT_LE(std::fabs(s.end_angle - s.start_angle), 180.0 + 1e-9);
        }
        // A single selection gives a subset of the four.
        int one;
        ARC_SPLINE_cre_circle_tangent_to_2_circles_and_given_radius_2d(&a, &b, R, tols, whole, whole, 3, &one, segs,
                                                                       tp);
        EXPECT_LE(one, count);
    }
    EXPECT_GT(total, 1000);
}

using ArcSplineGivenRadiusChecks = Checking;

TEST_F(ArcSplineGivenRadiusChecks, AssertionsAndLargeRadius) {
    const ARC_SPLINE_1_seg_2d_s a = circle(0, 0, 1), b = circle(3, 0, 1);
    ARC_SPLINE_1_seg_2d_s segs[8];
    PNT2_s tp[16];
    int count;
    MACH__checking_level = 1;
    EXPECT_EQ(assertion_text([&] {
                  ARC_SPLINE_cre_circle_tangent_to_2_circles_and_given_radius_2d(&a, &b, 0.0, tols, 1, 1, 0, &count,
                                                                                 segs, tp);
              }),
              "( given_radius >= tols[0] )");
    const ARC_SPLINE_1_seg_2d_s line = circle(0, 0, 0);
    EXPECT_EQ(assertion_text([&] {
                  ARC_SPLINE_cre_circle_tangent_to_2_circles_and_given_radius_2d(&line, &b, 1.0, tols, 1, 1, 0, &count,
                                                                                 segs, tp);
              }),
              "( local_status_flag == 0 && type_1 == 1 && radius_1 >= tols[0] )");
    // A radius larger than both circles: the selections inside them are
    // skipped rather than failing the offset.
    EXPECT_EQ(assertion_text([&] {
                  ARC_SPLINE_cre_circle_tangent_to_2_circles_and_given_radius_2d(&a, &b, 4.0, tols, 1, 1, 0, &count,
                                                                                 segs, tp);
              }),
              "");
    EXPECT_EQ(count, 2); // both circles outside, above and below
    PNT2_s t1, t2;
    int kind, status;
    const PNT2_s p{0, 3};
    const VEC2_s t{1, 0};
    EXPECT_EQ(assertion_text([&] {
                  ARC_SPLINE_cre_circle_tangent_to_circle_and_line_at_pt_2d(&p, &t, &a, tols, 0, &count, &t1, &t2,
                                                                            &segs[0], nullptr, &kind, &status);
              }),
              "seg_ptr_1 && seg_ptr_2");
    MACH__checking_level = 0;
    ARC_SPLINE_cre_circle_tangent_to_2_circles_and_given_radius_2d(&line, &b, 1.0, tols, 1, 1, 0, &count, segs, tp);
    EXPECT_EQ(count, 0);
}

TEST(ArcSplineLineAtPoint, LineAndLine) {
    ARC_SPLINE_1_seg_2d_s s;
    PNT2_s touch;
    VEC2_s tt;
    int status;
    // Parallel lines 2 apart, in both relative directions: a circle of
    // radius 1 between them, tangent to both.
    const PNT2_s p{0, 0}, q{5, 2};
    const VEC2_s t{1, 0};
    for (double ux : {1.0, -1.0}) {
        const VEC2_s u{ux, 0};
        ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(&p, &t, &q, &u, 'l', tols, &s, &touch, &tt, &status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(s.sense, -1);
        EXPECT_NEAR(s.radius, 1.0, 1e-12);
        EXPECT_NEAR(s.center.y, 1.0, 1e-12);
        EXPECT_NEAR(touch.y, 2.0, 1e-12);
        const PNT2_s q2{5, -2};
        ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(&p, &t, &q2, &u, 'l', tols, &s, &touch, &tt, &status);
        ASSERT_EQ(status, 0);
        EXPECT_NEAR(s.center.y, -1.0, 1e-12);
        expect_sound(s, 1e-12);
    }
    // Meeting lines, random: the arc starts at p, touches line 2 at touch.
    truth::Rng rng;
    for (int i = 0; i < 2000; ++i) {
        const PNT2_s a = rng.point(10), b = rng.point(10);
        const VEC2_s d1 = rng.unit(), d2 = rng.unit();
        if (std::fabs(truth::cross(d1.x, d1.y, d2.x, d2.y)) < 1e-2) continue;
        const int side = rng.pick(2) ? 'l' : 'r';
        ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(&a, &d1, &b, &d2, side, tols, &s, &touch, &tt,
                                                                &status);
        ASSERT_EQ(status, 0);
        const double slack = 1e-8 * (10 + s.radius);
        expect_sound(s, slack);
        EXPECT_EQ(s.sense, side == 'l' ? 1 : -1);
        EXPECT_LT(dist(s.start_pt, a), 1e-15);
        EXPECT_NEAR(truth::line_dist(s.center, a, d1), s.radius, slack);
        EXPECT_NEAR(truth::line_dist(s.center, b, d2), s.radius, slack);
        EXPECT_LT(truth::line_dist(touch, b, d2), slack);
        EXPECT_NEAR(dist(touch, s.center), s.radius, slack);
    }
    // Failures.
    const VEC2_s u{1, 0};
    ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(&p, &t, &q, &u, 'l', tols, nullptr, &touch, &tt, &status);
    EXPECT_EQ(status, 1);
    const PNT2_s on{7, 0};
    ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(&p, &t, &on, &u, 'l', tols, &s, &touch, &tt, &status);
    EXPECT_EQ(status, 2);
    const VEC2_s up{0, 1};
    const PNT2_s below{0, -3};
    ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(&p, &t, &below, &up, 'l', tols, &s, &touch, &tt, &status);
    EXPECT_EQ(status, 3);
}

TEST(ArcSplineLineAtPoint, CircleAndLine) {
    truth::Rng rng;
    int total = 0;
    for (int i = 0; i < 2000; ++i) {
        const PNT2_s c = rng.point(10), p = rng.point(10);
        const double r = std::pow(10.0, rng.uniform(-2, 1));
        VEC2_s t = rng.unit();
        if (rng.pick(6) == 0) t = VEC2_s{(c.x - p.x) / dist(c, p), (c.y - p.y) / dist(c, p)}; // centre on the line
        const ARC_SPLINE_1_seg_2d_s given = circle(c.x, c.y, r);
        ARC_SPLINE_1_seg_2d_s s[2];
        PNT2_s tp[2];
        int count, kind, status;
        ARC_SPLINE_cre_circle_tangent_to_circle_and_line_at_pt_2d(&p, &t, &given, tols, 0, &count, &tp[0], &tp[1],
                                                                  &s[0], &s[1], &kind, &status);
        ASSERT_EQ(status, 0);
        if (count == 3) continue;
        EXPECT_EQ(kind, dist(p, c) < r ? 2 : 1);
        EXPECT_EQ(count, 2) << i;
        total += count;
        for (int k = 0; k < count; ++k) {
            const double slack = 1e-7 * (10 + s[k].radius);
            expect_sound(s[k], slack);
            EXPECT_LT(dist(s[k].start_pt, p), 1e-15);
            EXPECT_NEAR(std::fabs(std::cos(s[k].start_angle * truth::pi / 180) * t.y -
                                  std::sin(s[k].start_angle * truth::pi / 180) * t.x),
                        0.0, 1e-12);
            EXPECT_LT(truth::touch_error(s[k].center, s[k].radius, c, r), slack) << i;
            EXPECT_NEAR(dist(tp[k], c), r, slack);
            EXPECT_NEAR(dist(tp[k], s[k].center), s[k].radius, slack);
        }
        int one;
        ARC_SPLINE_cre_circle_tangent_to_circle_and_line_at_pt_2d(&p, &t, &given, tols, 2, &one, &tp[0], &tp[1], &s[0],
                                                                  &s[1], &kind, &status);
        EXPECT_EQ(one, 1);
    }
    EXPECT_GT(total, 3000);

    // p on the circle: the circle itself, count 3.
    const ARC_SPLINE_1_seg_2d_s given = circle(0, 0, 1);
    const PNT2_s on{1, 0};
    const VEC2_s up{0, 1};
    ARC_SPLINE_1_seg_2d_s s1, s2;
    PNT2_s t1, t2;
    int count, kind, status;
    ARC_SPLINE_cre_circle_tangent_to_circle_and_line_at_pt_2d(&on, &up, &given, tols, 0, &count, &t1, &t2, &s1, &s2,
                                                              &kind, &status);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(s1.radius, 1.0);
    ARC_SPLINE_cre_circle_tangent_to_circle_and_line_at_pt_2d(&on, &up, nullptr, tols, 0, &count, &t1, &t2, &s1, &s2,
                                                              &kind, &status);
    EXPECT_EQ(status, 1);
}

TEST(ArcSplineLineAtPoint, CircleAtAnAngle) {
    truth::Rng rng;
    for (int i = 0; i < 2000; ++i) {
        const PNT2_s c = rng.point(10), p = rng.point(10);
        const double r = rng.uniform(0.5, 5), angle = rng.uniform(1, 179);
        const VEC2_s t = rng.unit();
        const ARC_SPLINE_1_seg_2d_s given = circle(c.x, c.y, r);
        ARC_SPLINE_1_seg_2d_s s[2];
        int count, status;
        ARC_SPLINE_cre_circle_at_angle_to_c_tangent_to_l_at_pt_2d(&p, &t, &given, angle, tols, &count, &s[0], &s[1],
                                                                  &status);
        ASSERT_EQ(status, 0);
        ASSERT_GE(count, 1);
        if (s[0].type == 0) continue;
        for (int k = 0; k < count; ++k) {
            const double rho = s[k].radius, d = dist(s[k].center, c);
            const double slack = 1e-8 * (10 + rho);
            expect_sound(s[k], slack);
            EXPECT_NEAR(truth::line_dist(s[k].center, p, t), rho, slack);
            // Law of cosines at a crossing point: the radii make the angle
            // or its supplement.
            const double cosphi = (rho * rho + r * r - d * d) / (2 * rho * r);
            const double phi = std::acos(std::max(-1.0, std::min(1.0, cosphi))) * 180 / truth::pi;
            EXPECT_LT(std::min(std::fabs(phi - angle), std::fabs(phi - (180 - angle))), 1e-5 * (1 + rho)) << i;
        }
    }
    // p on the circle with t at the right angle: count 3.
    const ARC_SPLINE_1_seg_2d_s given = circle(0, 0, 1);
    const PNT2_s on{1, 0};
    const VEC2_s diag{std::sqrt(0.5), std::sqrt(0.5)};
    ARC_SPLINE_1_seg_2d_s s1, s2;
    int count, status;
    ARC_SPLINE_cre_circle_at_angle_to_c_tangent_to_l_at_pt_2d(&on, &diag, &given, 45, tols, &count, &s1, &s2, &status);
    EXPECT_EQ(count, 3);
    ARC_SPLINE_cre_circle_at_angle_to_c_tangent_to_l_at_pt_2d(&on, &diag, &given, 30, tols, &count, &s1, &s2, &status);
    EXPECT_EQ(count, 0);
    // A kind of circle that cannot exist (here: touching from inside on the
    // side where the line is tangent to the given circle) does not stop the
    // search; the circle touching from outside is still found.
    const ARC_SPLINE_1_seg_2d_s side = circle(3, 1, 1);
    const PNT2_s origin{0, 0};
    const VEC2_s x_axis{1, 0};
    ARC_SPLINE_cre_circle_at_angle_to_c_tangent_to_l_at_pt_2d(&origin, &x_axis, &side, 0, tols, &count, &s1, &s2,
                                                              &status);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(s1.type, 1);
    EXPECT_NEAR(s1.radius, 2.25, 1e-12);
    EXPECT_NEAR(s1.center.y, 2.25, 1e-12);
    // An angle out of range is reported and the call goes on.
    Kaltor::Corvex::MessageCapture capture(true);
    const PNT2_s p{3, 0};
    ARC_SPLINE_cre_circle_at_angle_to_c_tangent_to_l_at_pt_2d(&p, &diag, &given, 200, tols, &count, &s1, &s2, &status);
    ASSERT_EQ(capture.internals().size(), 1u);
    EXPECT_EQ(capture.internals()[0], "The input value of the angle is not valid.");
}

TEST(ArcSplineFillet, RayToRay) {
    ARC_SPLINE_1_seg_2d_s s;
    PNT2_s apex, a, b;
    double parms[2];
    int status, sense;
    const PNT2_s p1{0, 0}, p2{5, 5};
    const VEC2_s d1{1, 0}, d2{0, 1};
    ARC_SPLINE_cre_arc_from_ray_to_ray_2d(&p1, &d1, &p2, &d2, tols, 2.0, &status, &apex, parms, &a, &b, &sense, &s);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(sense, 1);
    EXPECT_NEAR(a.x, 3.0, 1e-12); // tangent length equals the radius
    EXPECT_NEAR(b.y, 2.0, 1e-12);
    EXPECT_NEAR(s.center.x, 3.0, 1e-12);
    EXPECT_NEAR(s.center.y, 2.0, 1e-12);
    EXPECT_NEAR(s.end_angle - s.start_angle, 90.0, 1e-12);

    truth::Rng rng;
    for (int i = 0; i < 1000; ++i) {
        const PNT2_s q1 = rng.point(10), q2 = rng.point(10);
        const VEC2_s e1 = rng.unit(), e2 = rng.unit();
        if (std::fabs(truth::cross(e1.x, e1.y, e2.x, e2.y)) < 0.05) continue;
        const double R = rng.uniform(0.1, 3);
        ARC_SPLINE_cre_arc_from_ray_to_ray_2d(&q1, &e1, &q2, &e2, tols, R, &status, &apex, parms, &a, &b, &sense, &s);
        ASSERT_EQ(status, 0);
        expect_sound(s, 1e-9);
        EXPECT_NEAR(truth::line_dist(s.center, q1, e1), R, 1e-9);
        EXPECT_NEAR(truth::line_dist(s.center, q2, e2), R, 1e-9);
        EXPECT_NEAR(dist(b, s.center), R, 1e-9);
    }
    // Parallel rays: the intersection status, nothing built.
    ARC_SPLINE_cre_arc_from_ray_to_ray_2d(&p1, &d1, &p2, &d1, tols, 2.0, &status, &apex, parms, &a, &b, &sense, &s);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(s.type, 0);
}

TEST(ArcSplineBadInput, NotANumberGivesAStatus) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const PNT2_s good{0, 0}, bad{nan, 0}, q{1, 1};
    const VEC2_s t{1, 0}, badt{nan, 0};
    ARC_SPLINE_1_seg_2d_s s, s2;
    PNT2_s tp1, tp2;
    VEC2_s tt;
    int status, count, kind;
    double r = -1;
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&good, &badt, &q, &t, 1, &r, &s, &status);
    EXPECT_EQ(status, 3);
    ARC_SPLINE_cre_circle_from_chord_end_data_2d(&good, &t, &bad, &t, 1, &r, &s, &status);
    EXPECT_EQ(status, 2);
    ARC_SPLINE_cre_circle_tangent_to_line_and_line_at_pt_2d(&bad, &t, &q, &t, 'l', tols, &s, &tp1, &tt, &status);
    EXPECT_EQ(status, 4);
    const ARC_SPLINE_1_seg_2d_s given = circle(5, 5, 1);
    ARC_SPLINE_cre_circle_tangent_to_circle_and_line_at_pt_2d(&bad, &t, &given, tols, 0, &count, &tp1, &tp2, &s, &s2,
                                                              &kind, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(count, 0);
    ARC_SPLINE_cre_circle_at_angle_to_c_tangent_to_l_at_pt_2d(&good, &badt, &given, 30, tols, &count, &s, &s2, &status);
    EXPECT_EQ(status, 1);
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_line(&good, &bad, &q, &t, tols, &count, &tp1, &tp2, &s, &s2,
                                                        &status);
    EXPECT_EQ(status, 1);
    ARC_SPLINE_cre_circle_thru_2_points_tangent_to_circle(&good, &bad, &given, tols, &count, &tp1, &tp2, &s, &s2,
                                                          &status);
    EXPECT_EQ(status, 3);
    // A fillet of radius 0 cannot be built: reported, the call goes on.
    Kaltor::Corvex::MessageCapture capture(true);
    PNT2_s apex, a, b;
    double parms[2];
    int sense;
    const PNT2_s p2{5, 5};
    const VEC2_s up{0, 1};
    ARC_SPLINE_cre_arc_from_ray_to_ray_2d(&good, &t, &p2, &up, tols, 0.0, &status, &apex, parms, &a, &b, &sense, &s);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(capture.internals().size(), 1u);
    EXPECT_EQ(capture.internals()[0], "The call to ARC_SPLINE_cre_circle_from_chord_end_data_2d failed.");
    EXPECT_EQ(capture.all()[0].file, "arc_spline_apollonian_constructions");
}
