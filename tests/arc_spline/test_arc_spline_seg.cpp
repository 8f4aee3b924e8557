// Arc-spline segments: creation, evaluation, queries, reversal, trimming and
// offsets, checked against circle geometry computed here independently.
#include <quorm/quorm.h>

#include <corvex/capture.hpp>
#include <corvex/exception.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

constexpr double kPi = 3.141592653589793;
const double tols[3] = {1e-9, 1e-6, 1e-9};

double dist(const PNT2_s &a, const PNT2_s &b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Point of the arc at tangent inclination a, by rotating the start point
// about the centre: independent of the library's start-relative formula.
PNT2_s rotated_point(const ARC_SPLINE_1_seg_2d_s &s, double a) {
    const double phi = (a - s.start_angle) * kPi / 180.0;
    const double dx = s.start_pt.x - s.center.x, dy = s.start_pt.y - s.center.y;
    return PNT2_s{s.center.x + dx * std::cos(phi) - dy * std::sin(phi),
                  s.center.y + dx * std::sin(phi) + dy * std::cos(phi)};
}

struct RandomArc {
    ARC_SPLINE_1_seg_2d_s seg;
    PNT2_s end;
    VEC2_s end_tan;
    double k, r;
};

RandomArc random_arc(std::mt19937 &rng) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    RandomArc a;
    const PNT2_s p{100 * u(rng), 100 * u(rng)};
    const double t = kPi * u(rng);
    const VEC2_s tan{std::cos(t), std::sin(t)};
    a.r = std::pow(10.0, 3 * u(rng));
    a.k = 1.0 + 179.5 * (u(rng) + 1.0); // (1, 360]
    const int sense = u(rng) < 0 ? -1 : 1;
    ARC_SPLINE_cre_arc_seg_2d(&p, &tan, a.k, a.r, sense, &a.seg, &a.end, &a.end_tan);
    return a;
}

} // namespace

TEST(ArcSplineSeg, RecordLayout) {
    EXPECT_EQ(sizeof(ARC_SPLINE_1_seg_2d_s), 88u);
    ARC_SPLINE_1_seg_2d_s s;
    s.type = 7;
    ARC_SPLINE_init_1_seg_2d(&s);
    EXPECT_EQ(s.type, 0);
    EXPECT_EQ(s.sense, 0);
    EXPECT_EQ(s.radius, 0.0);
}

TEST(ArcSplineSeg, RandomArcsAgreeWithCircleGeometry) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> f(0.0, 1.0);
    for (int n = 0; n < 2000; ++n) {
        RandomArc a = random_arc(rng);
        const ARC_SPLINE_1_seg_2d_s &s = a.seg;
        const double scale = a.r * 1e-12 + 1e-12 * 100;
        ASSERT_NEAR(dist(s.start_pt, s.center), a.r, scale);
        ASSERT_NEAR(dist(a.end, s.center), a.r, scale);
        ASSERT_NEAR(std::fabs(s.end_angle - s.start_angle), a.k, 1e-12);
        // End tangent perpendicular to the radius, turning with the sense.
        const VEC2_s rad{a.end.x - s.center.x, a.end.y - s.center.y};
        ASSERT_NEAR((rad.x * a.end_tan.x + rad.y * a.end_tan.y) / a.r, 0.0, scale / a.r);
        ASSERT_GT(s.sense * (rad.x * a.end_tan.y - rad.y * a.end_tan.x), 0.0);

        // Evaluation at the end angle gives the end point; inside points lie on
        // the rotated start.
        PNT2_s p;
        VEC2_s t;
        int st = -1;
        ARC_SPLINE_evaluate_1_seg_2d(&s, 0, s.end_angle, &p, &t, &st);
        ASSERT_EQ(st, 0);
        ASSERT_NEAR(dist(p, a.end), 0.0, scale);
        const double parm = s.start_angle + s.sense * a.k * f(rng);
        ARC_SPLINE_evaluate_arc_seg_2d(&s, 0, parm, &p, &t, &st);
        ASSERT_EQ(st, 0);
        ASSERT_NEAR(dist(p, rotated_point(s, parm)), 0.0, scale);

        // Arc length and the all-data query.
        ARC_SPLINE_1_seg_2d_s copy = s;
        ASSERT_NEAR(ARC_SPLINE_ask_arcl_of_1_seg_2d(&copy, &st), a.r * a.k * kPi / 180, 1e-12 * a.r * a.k);
        ASSERT_EQ(st, 0);
        ASSERT_NEAR(ARC_SPLINE_ask_arcl_to_parm_of_1_seg_2d(&s, parm, &st),
                    a.r * std::fabs(parm - s.start_angle) * kPi / 180, 1e-9 * a.r);

        // The apex: both tangent lengths equal r tan(k/2).
        if (a.k < 170.0) {
            int type, sense;
            double parms[2], arcl, curv;
            PNT2_s centre, sp, ep, apex;
            VEC2_s stan, etan;
            ARC_SPLINE_ask_1_seg_2d_data(&s, 1, &type, &sense, parms, &arcl, &curv, &centre, &sp, &stan, &ep, &etan,
                                         &apex, &st);
            ASSERT_EQ(st, 0);
            const double len = a.r * std::tan(a.k * kPi / 360);
            ASSERT_NEAR(dist(apex, sp), len, 1e-7 * (a.r + 100));
            ASSERT_NEAR(dist(apex, ep), len, 1e-7 * (a.r + 100));
        }

        // Projection of a point off the arc gives back the parameter.
        const double lift = 0.2 + 1.5 * f(rng);
        const PNT2_s q{s.center.x + lift * (p.x - s.center.x), s.center.y + lift * (p.y - s.center.y)};
        PNT2_s foot;
        double found = 0;
        int where = 7;
        ARC_SPLINE_ask_parm_at_a_point_2d(&s, &q, tols, &foot, &found, &where, &st);
        ASSERT_EQ(st, 0);
        ASSERT_NEAR(dist(foot, p), 0.0, 1e-9 * a.r);
        if (std::fabs(parm - s.start_angle) > 1e-6 && std::fabs(parm - s.end_angle) > 1e-6 && a.k < 359.9) {
            ASSERT_EQ(where, -1);
            ASSERT_NEAR(found, parm, 1e-8);
        }

        // Reversing twice is the identity; once, the ends swap.
        ARC_SPLINE_1_seg_2d_s r = s;
        ARC_SPLINE_reverse_parm_of_1_seg_2d(&r);
        ASSERT_NEAR(dist(r.start_pt, a.end), 0.0, scale);
        ASSERT_EQ(r.sense, -s.sense);
        ASSERT_GE(r.start_angle, 0.0);
        ASSERT_LT(r.start_angle, 360.0);
        PNT2_s rend, rstart;
        VEC2_s rt, rst;
        ARC_SPLINE_ask_end_pts_of_1_seg_2d(&r, &rstart, &rst, &rend, &rt, &st);
        ASSERT_NEAR(dist(rend, s.start_pt), 0.0, 10 * scale);
        ARC_SPLINE_reverse_parm_of_1_seg_2d(&r);
        ASSERT_NEAR(dist(r.start_pt, s.start_pt), 0.0, 10 * scale);
        ASSERT_EQ(r.sense, s.sense);
        ASSERT_NEAR(std::fabs(r.end_angle - r.start_angle), a.k, 1e-9);

        // Trimming to a point of the arc keeps the start and the circle.
        if (a.k < 359.0 && std::fabs(parm - s.start_angle) > 1.0) {
            ARC_SPLINE_1_seg_2d_s tr = s;
            ARC_SPLINE_trim_to_point_1_seg_2d(&q, tols, &tr, &st);
            ASSERT_EQ(st, 0) << n << " k " << a.k << " r " << a.r << " sense " << s.sense << " parm " << parm
                             << " start " << s.start_angle;
            ASSERT_NEAR(dist(tr.start_pt, s.start_pt), 0.0, scale);
            ASSERT_NEAR(tr.radius, a.r, 1e-7 * a.r);
            ASSERT_NEAR(dist(tr.center, s.center), 0.0, 1e-7 * a.r);
            ASSERT_NEAR(tr.end_angle, parm, 1e-7);
        }
    }
}

TEST(ArcSplineSeg, StraightsAndTheirDegenerateForm) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-50.0, 50.0);
    for (int n = 0; n < 500; ++n) {
        const PNT2_s p0{u(rng), u(rng)};
        PNT2_s p1{u(rng), u(rng)};
        const PNT2_s keep = p1;
        const VEC2_s any{0.0, 1.0};
        ARC_SPLINE_1_seg_2d_s s;
        ARC_SPLINE_cre_strt_seg_2d(&p0, &p1, &any, &s);
        ASSERT_NEAR(s.radius, dist(p0, keep), 1e-12 * 100);
        PNT2_s e;
        VEC2_s t;
        int st;
        ARC_SPLINE_evaluate_1_seg_2d(&s, 0, s.radius, &e, &t, &st);
        ASSERT_NEAR(dist(e, keep), 0.0, 1e-12 * 100);
        ARC_SPLINE_1_seg_2d_s off;
        ARC_SPLINE_cre_offset_straight_2d(&s, 2.5, &off);
        // Shifted to the left by the offset.
        const double side = (off.start_pt.x - p0.x) * -t.y + (off.start_pt.y - p0.y) * t.x;
        ASSERT_NEAR(side, 2.5, 1e-10);
        ARC_SPLINE_reverse_parm_of_1_seg_2d(&s);
        ASSERT_NEAR(dist(s.start_pt, keep), 0.0, 1e-12 * 100);
        ASSERT_NEAR(s.direction.x, -t.x, 1e-12);
    }
    // Zero length: the given direction is kept and the end becomes the start.
    const PNT2_s p0{1, 2};
    PNT2_s p1{1 + 1e-11, 2};
    const VEC2_s dir{0, 3};
    ARC_SPLINE_1_seg_2d_s s;
    ARC_SPLINE_cre_strt_seg_2d(&p0, &p1, &dir, &s);
    EXPECT_EQ(s.radius, 0.0);
    EXPECT_EQ(p1.x, 1.0);
    EXPECT_EQ(s.direction.y, 3.0);
    EXPECT_EQ(s.start_angle, 90.0);
    EXPECT_EQ(ARC_SPLINE_ask_radius_of_1_seg_2d(&s), 1e19);
}

TEST(ArcSplineSeg, CirclesEvaluationLimitsAndCentralAngles) {
    const PNT2_s c{3, 4};
    ARC_SPLINE_1_seg_2d_s s;
    ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, 2, &s);
    PNT2_s p;
    VEC2_s t;
    int st;
    ARC_SPLINE_evaluate_arc_seg_2d(&s, 0, 90, &p, &t, &st);
    EXPECT_EQ(p.x, 5.0);
    EXPECT_EQ(p.y, 4.0);
    ARC_SPLINE_evaluate_arc_seg_2d(&s, 0, 180, &p, &t, &st);
    EXPECT_EQ(p.x, 3.0);
    EXPECT_EQ(p.y, 6.0);
    // Within 1e-10 outside is snapped; farther out refused unless extrapolating.
    ARC_SPLINE_evaluate_arc_seg_2d(&s, 0, 450 + 5e-11, &p, &t, &st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(p.x, 5.0);
    ARC_SPLINE_evaluate_arc_seg_2d(&s, 0, 451, &p, &t, &st);
    EXPECT_EQ(st, 2);
    ARC_SPLINE_evaluate_arc_seg_2d(&s, 1, 451, &p, &t, &st);
    EXPECT_EQ(st, 0);
    const PNT2_s o{0, 0};
    const VEC2_s up{0, 1};
    ARC_SPLINE_1_seg_2d_s cw;
    ARC_SPLINE_cre_circle_from_point_tangent_radius_2d(&o, &up, 1, -1, &cw);
    EXPECT_EQ(cw.end_angle, -270.0);
    ARC_SPLINE_evaluate_arc_seg_2d(&cw, 0, 100, &p, &t, &st);
    EXPECT_EQ(st, 3);
    EXPECT_NEAR(cw.center.x, 1.0, 1e-15);

    // Stored end below start: the central angle gains 360 and is rewritten.
    s.start_angle = 100;
    s.end_angle = 40;
    EXPECT_DOUBLE_EQ(ARC_SPLINE_ask_central_angle_of_1_seg_2d(&s), 300.0);
    EXPECT_DOUBLE_EQ(s.end_angle, 400.0);
    double end = -700;
    EXPECT_GE(ARC_SPLINE_ask_central_angle_from_inclination_angles(20, &end, 1), 0.0);

    ARC_SPLINE_1_seg_2d_s point;
    ARC_SPLINE_cre_single_point_circle_2d(&c, &point);
    EXPECT_EQ(point.type, -1);
    EXPECT_EQ(ARC_SPLINE_ask_radius_of_1_seg_2d(&point), 0.0);
    int type;
    double radius;
    PNT2_s centre;
    ARC_SPLINE_ask_center_radius_of_seg_2d(&point, &type, &radius, &centre, &st);
    EXPECT_EQ(st, 2);
    ARC_SPLINE_ask_center_radius_of_seg_2d(nullptr, &type, &radius, &centre, &st);
    EXPECT_EQ(st, 1);
}

TEST(ArcSplineSeg, DomainTestSnapsOnlyNearTheEnds) {
    const PNT2_s c{0, 0};
    ARC_SPLINE_1_seg_2d_s s;
    ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, 1, &s);
    s.end_angle = 180; // a quarter, 90 to 180
    double p = 89.9995;
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_arc_domain(&s, 1e-3, &p), 0);
    EXPECT_EQ(p, 90.0);
    p = 180.0005;
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_arc_domain(&s, 1e-3, &p), 0);
    EXPECT_EQ(p, 180.0);
    p = 120;
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_arc_domain(&s, 1e-3, &p), -1);
    p = 200;
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_arc_domain(&s, 1e-3, &p), 1);
    p = std::nan("");
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_arc_domain(&s, 1e-3, &p), 1);
    ARC_SPLINE_reverse_parm_of_arc_2d(&s); // 0 down to -90
    EXPECT_EQ(s.start_angle, 0.0);
    EXPECT_EQ(s.end_angle, -90.0);
    p = 0.0004;
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_arc_domain(&s, 1e-3, &p), 0);
    EXPECT_EQ(p, 0.0);
    p = -90.0004;
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_arc_domain(&s, 1e-3, &p), 0);
    EXPECT_EQ(p, -90.0);
    p = -45;
    EXPECT_EQ(ARC_SPLINE_ask_is_parm_in_arc_domain(&s, 1e-3, &p), -1);

    // A point outside the arc is expressed relative to the nearer end.
    const PNT2_s before{0.9, -0.1}, after{-1, -0.3};
    ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, 1, &s);
    s.end_angle = 180;
    PNT2_s foot;
    double parm;
    int where, st;
    ARC_SPLINE_ask_parm_at_a_point_2d(&s, &before, tols, &foot, &parm, &where, &st);
    EXPECT_EQ(where, 1);
    EXPECT_LT(parm, 90.0);
    ARC_SPLINE_ask_parm_at_a_point_2d(&s, &after, tols, &foot, &parm, &where, &st);
    EXPECT_EQ(where, 1);
    EXPECT_GT(parm, 180.0);
}

TEST(ArcSplineSeg, OffsetsAndFlatArcs) {
    const PNT2_s p{0, 0};
    const VEC2_s t{1, 0};
    ARC_SPLINE_1_seg_2d_s s, o;
    PNT2_s e;
    VEC2_s et;
    ARC_SPLINE_cre_arc_seg_2d(&p, &t, 60, 10, 1, &s, &e, &et);
    ARC_SPLINE_cre_offset_circle_2d(&s, -4, 1e-9, &o);
    EXPECT_EQ(o.radius, 6.0);
    EXPECT_NEAR(o.start_pt.y, 4.0, 1e-12);
    EXPECT_EQ(o.start_angle, s.start_angle);
    {
        // An offset through the centre is refused with its assertion text.
        try {
            ARC_SPLINE_cre_offset_circle_2d(&s, -11, 1e-9, &o);
            ADD_FAILURE() << "no assertion";
        } catch (const Kaltor::Error::Severe &ex) {
            EXPECT_NE(std::string(ex.message()).find("( new_radius >= dist_tol )"), std::string::npos);
        }
    }
    // Radius beyond 1/tols[2]: replaced by the straight through its ends.
    const double flat_tols[3] = {1e-9, 1e-6, 1e-6};
    ARC_SPLINE_cre_arc_seg_2d(&p, &t, 1e-3, 2e6, 1, &s, &e, &et);
    int st;
    ARC_SPLINE_ask_is_arc_rather_strt_2d(&s, flat_tols, &st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(s.type, 0);
    EXPECT_NEAR(s.start_pt.x + s.radius * s.direction.x, e.x, 1e-6);
    EXPECT_NEAR(s.start_pt.y + s.radius * s.direction.y, e.y, 1e-6);
}

TEST(ArcSplineSeg, FailuresAreReportedAndLeaveDataIntact) {
    Kaltor::Corvex::MessageCapture capture(true);
    ARC_SPLINE_1_seg_2d_s point;
    const PNT2_s c{1, 1};
    ARC_SPLINE_cre_single_point_circle_2d(&c, &point);
    ARC_SPLINE_reverse_parm_of_1_seg_2d(&point);
    ARC_SPLINE_cre_offset_straight_2d(nullptr, 1, &point);
    ARC_SPLINE_cre_offset_straight_2d(&point, 1, &point);
    ASSERT_EQ(capture.internals().size(), 3u);
    EXPECT_EQ(capture.internals()[0], "This segment type is not currently handled.");
    EXPECT_EQ(capture.internals()[1], "The input segment is not available.");
    EXPECT_EQ(capture.internals()[2], "The input segment is not of straight type.");
    EXPECT_EQ(capture.all()[0].file, "arc_spline_apollonian_constructions");

    // Trimming an arc back to its own start cannot build an arc: the segment
    // the caller had is kept.
    const PNT2_s p{0, 0};
    const VEC2_s t{1, 0};
    ARC_SPLINE_1_seg_2d_s s, before;
    PNT2_s e;
    VEC2_s et;
    ARC_SPLINE_cre_arc_seg_2d(&p, &t, 90, 1, 1, &s, &e, &et);
    before = s;
    int st = 0;
    ARC_SPLINE_trim_to_point_1_seg_2d(&p, tols, &s, &st);
    EXPECT_EQ(st, 3);
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);

    // A point beyond a zero-length straight is outside it, like one before it.
    PNT2_s q{0, 0};
    const VEC2_s dir{1, 0};
    ARC_SPLINE_cre_strt_seg_2d(&p, &q, &dir, &s);
    const PNT2_s ahead{5, 0}, behind{-5, 0};
    PNT2_s foot;
    double parm;
    int where;
    ARC_SPLINE_ask_parm_at_a_point_2d(&s, &ahead, tols, &foot, &parm, &where, &st);
    EXPECT_EQ(where, 1);
    EXPECT_EQ(parm, 5.0);
    ARC_SPLINE_ask_parm_at_a_point_2d(&s, &behind, tols, &foot, &parm, &where, &st);
    EXPECT_EQ(where, 1);

    // Missing segments and NaN input: statuses, no crash.
    double parms[2] = {0, 0};
    EXPECT_EQ(ARC_SPLINE_ask_arcl_of_trimmed_1_seg_2d(nullptr, parms, &st), 0.0);
    EXPECT_EQ(st, 1);
    ARC_SPLINE_ask_parm_at_a_point_2d(nullptr, &ahead, tols, &foot, &parm, &where, &st);
    EXPECT_EQ(st, 1);
    const PNT2_s nan_pt{std::nan(""), 0};
    ARC_SPLINE_cre_arc_seg_2d(&p, &t, 90, 1, 1, &s, &e, &et);
    ARC_SPLINE_ask_parm_at_a_point_2d(&s, &nan_pt, tols, &foot, &parm, &where, &st);
    EXPECT_EQ(parm, s.start_angle);
    ARC_SPLINE_evaluate_arc_seg_2d(&s, 0, std::nan(""), &foot, &et, &st);
    EXPECT_EQ(st, 2);
}

TEST(ArcSplineSeg, InclinationSnapsAndFolds) {
    EXPECT_EQ(ARC_SPLINE_ask_angle_from_tan(0, -1, 360), 180.0);
    EXPECT_EQ(ARC_SPLINE_ask_angle_from_tan(-1, 1e-12, 360), 270.0);
    EXPECT_EQ(ARC_SPLINE_ask_angle_from_tan(-1e-3, 1e13, 360), 0.0);
    // Relative zero test: a tiny vector keeps its direction.
    EXPECT_NEAR(ARC_SPLINE_ask_angle_from_tan(1e-12, 1e-12, 360), 45.0, 1e-12);
    EXPECT_NEAR(ARC_SPLINE_ask_angle_from_tan(1, -1, 90), -45.0, 1e-13);
    EXPECT_NEAR(ARC_SPLINE_ask_angle_from_tan(-1, -1, 180), -135.0, 1e-13);
    EXPECT_EQ(ARC_SPLINE_ask_angle_from_tan(1, 0, 90), 90.0);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-kPi, kPi);
    for (int n = 0; n < 1000; ++n) {
        const double a = u(rng);
        double deg = ARC_SPLINE_ask_angle_from_tan(std::sin(a), std::cos(a), 360);
        ASSERT_GE(deg, 0.0);
        ASSERT_LT(deg, 360.0);
        const VEC2_s back = ARC_SPLINE_ask_tan_2d_from_inclination_angle(deg);
        ASSERT_NEAR(back.x, std::cos(a), 1e-14);
        ASSERT_NEAR(back.y, std::sin(a), 1e-14);
    }
}

// Segments full of NaNs, infinities and zero radii go through every query
// and modification: statuses and values come back, nothing crashes or hangs,
// at both checking levels.
TEST(ArcSplineSeg, HostileRecordsAreSurvived) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const double values[] = {nan, inf, -inf, 0.0, 1e308, -1e-320};
    const int saved_level = MACH__checking_level;
    Kaltor::Corvex::MessageCapture capture(true);
    for (int level = 0; level <= 1; ++level) {
        MACH__checking_level = level;
        for (double v : values) {
            for (int type = -1; type <= 2; ++type) {
                ARC_SPLINE_1_seg_2d_s s{type, type == 0 ? 0 : 1, {v, 1}, v, 450, {0, v}, {v, 0}, v, v};
                PNT2_s a, b, c, d;
                VEC2_s ta, tb;
                double parms[2] = {v, 1}, x, y;
                int st, t, sense, where;
                ARC_SPLINE_evaluate_1_seg_2d(&s, 0, v, &a, &ta, &st);
                ARC_SPLINE_ask_end_pts_of_1_seg_2d(&s, &a, &ta, &b, &tb, &st);
                ARC_SPLINE_ask_center_radius_of_seg_2d(&s, &t, &x, &a, &st);
                ARC_SPLINE_ask_1_seg_2d_data(&s, 1, &t, &sense, parms, &x, &y, &a, &b, &ta, &c, &tb, &d, &st);
                ARC_SPLINE_ask_parm_at_a_point_2d(&s, &a, tols, &b, &x, &where, &st);
                ARC_SPLINE_ask_arcl_of_trimmed_1_seg_2d(&s, parms, &st);
                ARC_SPLINE_ask_arcl_to_parm_of_1_seg_2d(&s, v, &st);
                ARC_SPLINE_ask_is_parm_in_arc_domain(&s, v, &x);
                ARC_SPLINE_1_seg_2d_s m = s;
                ARC_SPLINE_ask_arcl_of_1_seg_2d(&m, &st);
                ARC_SPLINE_reverse_parm_of_1_seg_2d(&m);
                m = s;
                ARC_SPLINE_trim_to_point_1_seg_2d(&a, tols, &m, &st);
                m = s;
                ARC_SPLINE_ask_is_arc_rather_strt_2d(&m, tols, &st);
                ARC_SPLINE_1_seg_2d_s o;
                try {
                    ARC_SPLINE_cre_offset_circle_2d(&s, v, 1e-9, &o);
                    ARC_SPLINE_cre_offset_straight_2d(&s, v, &o);
                } catch (const Kaltor::Error::Exception &) {
                    EXPECT_EQ(level, 1); // only an assertion may stop the call
                }
            }
        }
    }
    MACH__checking_level = saved_level;
}
