// Creating, editing, querying and validating defining data.
#include "bcdf/bcdf_edit_util.hpp"

#include <random>

using namespace bcdf_test;
using Kaltor::Corvex::MessageCapture;

namespace {

const std::vector<double> kZigzag = {0, 0, 0, 1, 1, 0, 2, 0, 0, 3, 1, 0, 4, 0, 0};

double dot3(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

TEST(BcdfGenCreate, ChecksTakeNothingOverAndLeakNothing) {
    const long before = CORVEX_blocks_in_use();
    PNTLST_s *s = list({1, 0, 0}, 3);
    EXPECT_EQ(raised([&] {
                  create(0, 4, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr);
              }),
              1005304);
    PNTLST_s *p = list(kZigzag, 3);
    EXPECT_EQ(raised([&] {
                  create(0, 4, 0, p, nullptr, nullptr, s, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr);
              }),
              1005306);
    PNTLST_free_structure(p);
    PNTLST_free_structure(s);
    EXPECT_EQ(CORVEX_blocks_in_use(), before);
}

// Slopes given with parameters but no point parameters: the slope
// parameters are matched to the computed ones; missing types become fixed.
TEST(BcdfGenCreate, SlopesWithoutPointParametersAttachToTheirPoints) {
    const double r2 = std::sqrt(2.0);
    PNTLST_s *w = list({1, 1, 1, 1, 1}, 1);
    BCDF_s *b = create(0, 4, 0, list(kZigzag, 3), nullptr, w, list({1, 0, 0, 0, 1, 0}, 3),
                                        list({0, 2 * r2}, 1), nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(invariant_defect(b), "");
    EXPECT_EQ(values(b->params), (std::vector<double>{0, r2, 2 * r2, 3 * r2, 4 * r2}));
    EXPECT_EQ(values(b->slope_pars), (std::vector<double>{0, 2 * r2}));
    EXPECT_EQ(b->slope_types[0], 1);
    EXPECT_EQ(b->weights, nullptr); // not a least-squares record: the weights stay the caller's
    PNTLST_free_structure(w);
    BCDF_free_structure(b);

    srfc1.distance_tol = 0.01;
    int *ct = static_cast<int *>(SM_calloc(5, sizeof(int)));
    b = create(0, 4, 1, list(kZigzag, 3), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, ct);
    EXPECT_EQ(count(b->weights), 5);
    EXPECT_EQ(b->ls_tolerance, 0.01);
    EXPECT_EQ(b->constraint_types, ct);
    BCDF_free_structure(b);
    srfc1.distance_tol = 0.0;
}

TEST(BcdfGenSettings, OrderLimitsAndToleranceRulesByVersion) {
    BCDF_s *b = make(kZigzag);
    {
        MessageCapture capture(true);
        BCDF_change_order(b, 26);
        BCDF_change_order(b, 1);
        EXPECT_EQ(capture.internals(),
                  (std::vector<std::string>{"Maximum Order For Spline Exceeded", "Order Must Be Greater Than 1"}));
        EXPECT_EQ(b->order, 4);
    }
    BCDF_change_order(b, 3);
    EXPECT_EQ(b->order, 3);
    BCDF_change_number_of_segments(b, 2); // converts, then segments rule out the tolerance
    EXPECT_EQ(count(b->weights), 5);
    EXPECT_EQ(b->ls_num_of_segments, 2);
    BCDF_change_tolerance(b, 0.5);
    EXPECT_EQ(b->ls_num_of_segments, 0);
    b->algorithm_version = 2;
    BCDF_change_number_of_segments(b, 3);
    EXPECT_EQ(b->ls_tolerance, 0.5);
    BCDF_free_structure(b);
}

TEST(BcdfGenPeriodicity, ToggleDropsWhatSitsOnTheClosingPointAndRebuildsWeights) {
    BCDF_s *b = make(kZigzag);
    int *ct = static_cast<int *>(SM_alloc(5 * sizeof(int)));
    for (int i = 0; i < 5; ++i) ct[i] = 1;
    BCDF_add_constraint_type_array(b, ct);
    BCDF_toggle_periodicity(b);
    EXPECT_EQ(count(b->points), 6);
    int nc = 0;
    const int *types = BCDF_return_constraint_type_array(b, &nc);
    ASSERT_EQ(nc, 6); // one entry per point, the closing point's adds no constraint
    EXPECT_EQ(types[5], 0);
    const double s[3] = {1, 0, 0};
    BCDF_replace_slope(b, s, 5, 1);
    BCDF_replace_curvature(b, s, 5, 0);
    BCDF_toggle_periodicity(b);
    EXPECT_EQ(count(b->points), 5);
    EXPECT_EQ(b->slopes, nullptr);
    EXPECT_EQ(b->crvatrs, nullptr);
    EXPECT_EQ(invariant_defect(b), "");

    // Least squares under version 2: the weights follow the point count.
    BCDF_convert_to_least_squares(b);
    b->algorithm_version = 2;
    BCDF_toggle_periodicity(b);
    EXPECT_EQ(count(b->weights), 6);
#if QUORM_FULL_BUILD
    EXPECT_EQ(b->weights->points[0], b->weights->points[5]); // periodic end weights
#endif
    BCDF_toggle_periodicity(b);
    EXPECT_EQ(count(b->weights), 5);
    // Under version 1 a least-squares record stays open.
    b->algorithm_version = 1;
    MessageCapture capture(true);
    BCDF_toggle_periodicity(b);
    EXPECT_EQ(capture.internals(), std::vector<std::string>{"Periodic Least Squares Curves Are Not Allowed"});
    EXPECT_EQ(b->periodicity, 0);
    EXPECT_EQ(count(b->points), 5);
    BCDF_free_structure(b);
}

// An open record that already ends at its first point: that point closes it
// and no coincident point is added.
TEST(BcdfGenPeriodicity, AnAlreadyClosedOpenRecordKeepsItsPoints) {
    BCDF_s *b = make({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0});
    BCDF_toggle_periodicity(b);
    EXPECT_EQ(b->periodicity, 1);
    EXPECT_EQ(count(b->points), 4);
    EXPECT_EQ(invariant_defect(b), "");
    b->order = 3;
    EXPECT_EQ(BCDF_check_defining_data(b), 0);
    BCDF_free_structure(b);
}

// A single point is its own closing point both ways: closing it adds no
// coincident point whose parameter would repeat the first.
TEST(BcdfGenPeriodicity, ASinglePointClosesOnItself) {
    BCDF_s *b = make({0.25, 0.5, 2});
    BCDF_toggle_periodicity(b);
    EXPECT_EQ(b->periodicity, 1);
    EXPECT_EQ(count(b->points), 1);
    EXPECT_EQ(invariant_defect(b), "");
    BCDF_toggle_periodicity(b);
    EXPECT_EQ(b->periodicity, 0);
    EXPECT_EQ(count(b->points), 1);
    BCDF_free_structure(b);
}

// When the point count grew, the slopes are scaled by the old last parameter
// over the new one.
TEST(BcdfGenParams, SlopeScaleAfterThePointCountGrew) {
    BCDF_s *b = make({0, 0, 0, 3, 0, 0, 3, 4, 0});
    const double s[3] = {1, 0, 0};
    BCDF_replace_slope(b, s, 1, 1);
    BCDF_toggle_periodicity(b); // (0, 3, 7) -> (0, 3, 7, 12)
    EXPECT_EQ(values(b->params), (std::vector<double>{0, 3, 7, 12}));
    EXPECT_DOUBLE_EQ(b->slopes->points[0], 7.0 / 12.0);
    EXPECT_EQ(values(b->slope_pars), std::vector<double>{3});
    BCDF_free_structure(b);
}

TEST(BcdfGenLeastSquares, VersionZeroPeriodicConvertsAndKeepsOnlyUnitEndSlopes) {
    BCDF_s *b = make(kZigzag);
    BCDF_toggle_periodicity(b);
    const double s[3] = {2, 0, 0}, k[3] = {0, 0, 1};
    for (int i : {1, 2, 3}) BCDF_replace_slope(b, s, i, 1);
    BCDF_replace_curvature(b, k, 2, 0);
    BCDF_replace_slope(b, s, 5, 1);
    BCDF_convert_to_least_squares(b);
    EXPECT_EQ(b->periodicity, 0);
    EXPECT_EQ(count(b->weights), 6);
    EXPECT_EQ(b->weights->points[0], 0.5 * b->params->points[1]); // open-curve weights
    EXPECT_EQ(count(b->slopes), 2);
    EXPECT_EQ(BCDF_start_slope_exists(b) + BCDF_end_slope_exists(b), 2);
    EXPECT_NEAR(dot3(b->slopes->points, b->slopes->points), 1.0, 1e-15);
    EXPECT_EQ(b->crvatrs, nullptr);
    EXPECT_EQ(invariant_defect(b), "");
    BCDF_free_structure(b);

    // Version 1: interior slopes go, curvatures stay; a 4-D record becomes 3-D.
    b = make({0, 0, 0, 2, 2, 2, 0, 2, 4, 0, 0, 2, 9, 0, 0, 3}, 4);
    b->algorithm_version = 1;
    BCDF_replace_slope(b, s, 1, 1);
    BCDF_replace_slope(b, s, 3, 1);
    BCDF_replace_curvature(b, k, 3, 0);
    BCDF_convert_to_least_squares(b);
    EXPECT_EQ(b->points->dimension, 3);
    EXPECT_EQ(values(b->points), (std::vector<double>{0, 0, 0, 1, 1, 0, 2, 0, 0, 3, 0, 0}));
    EXPECT_EQ(values(b->slope_pars), std::vector<double>{b->params->points[3]});
    EXPECT_EQ(count(b->crvatrs), 1);
    BCDF_free_structure(b);
}

TEST(BcdfGenPoints, ReplaceByKindAndKeepTheClosingPoint) {
    BCDF_s *b = make({0, 0, 0, 2, 2, 2, 0, 2, 4, 0, 0, 2}, 4);
    const double cart[3] = {5, 6, 7};
    BCDF_replace_defining_point(b, cart, 1, 3); // keeps the weight 2
    EXPECT_EQ(values(b->points), (std::vector<double>{0, 0, 0, 2, 10, 12, 14, 2, 4, 0, 0, 2}));
    BCDF_free_structure(b);
    b = make(kZigzag);
    BCDF_toggle_periodicity(b);
    const double hom[4] = {2, 4, 6, 2};
    BCDF_replace_defining_point(b, hom, 5, 4);
    EXPECT_EQ(values(b->points).front(), 1.0);
    EXPECT_EQ(invariant_defect(b), "");
    EXPECT_EQ(raised([&] { BCDF_replace_defining_point(b, cart, 6, 3); }), 1005302);
    BCDF_free_structure(b);
}

TEST(BcdfGenPoints, RemovingPeriodicRunsKeepsTheRecordClosed) {
    // A run through the closing point: the new last point becomes the seam.
    BCDF_s *b = make(kZigzag);
    BCDF_toggle_periodicity(b); // 6 points
    BCDF_remove_defining_points(b, 4, 2);
    EXPECT_EQ(values(b->points), (std::vector<double>{3, 1, 0, 1, 1, 0, 2, 0, 0, 3, 1, 0}));
    EXPECT_EQ(invariant_defect(b), "");
    BCDF_free_structure(b);

    // The first point: parameters come from the closed polygon.
    b = make(kZigzag);
    BCDF_toggle_periodicity(b);
    BCDF_remove_defining_points(b, 0, 1);
    double t[5];
    BCDF_CALC_parameters(5, 3, b->points->points, 1.0, false, t);
    EXPECT_EQ(values(b->params), std::vector<double>(t, t + 5));
    EXPECT_EQ(invariant_defect(b), "");

    // Bad runs change nothing.
    const std::vector<double> kept = values(b->points);
    EXPECT_EQ(raised([&] { BCDF_remove_defining_points(b, 3, 3); }), 1005316);
    EXPECT_EQ(values(b->points), kept);
    BCDF_free_structure(b);
}

TEST(BcdfGenPoints, RemovedPointsTakeEveryAttachedVectorWithThem) {
    BCDF_s *b = make(kZigzag);
    const double v[3] = {0, 0, 1};
    BCDF_replace_curvature(b, v, 2, 0); // a curvature without a slope
    BCDF_replace_curvature(b, v, 3, 0);
#if QUORM_FULL_BUILD
    BCDF_replace_curvature_deriv(b, v, 2, 7);
#endif
    int *ct = static_cast<int *>(SM_calloc(5, sizeof(int)));
    ct[3] = 1;
    BCDF_add_constraint_type_array(b, ct);
    BCDF_remove_defining_points(b, 2, 1);
    EXPECT_EQ(count(b->crvatrs), 1);
    EXPECT_EQ(values(b->crvatr_pars), std::vector<double>{b->params->points[2]});
#if QUORM_FULL_BUILD
    EXPECT_EQ(b->crvatr_derivs, nullptr);
#endif
    EXPECT_EQ(b->constraint_types[2], 1);
    EXPECT_EQ(invariant_defect(b), "");
    BCDF_free_structure(b);
}

TEST(BcdfGenSlopes, RemovalRules) {
    BCDF_s *b = make(kZigzag);
    const double s[3] = {1, 0, 0}, k[3] = {0, 0, 1};
    BCDF_replace_slope(b, s, 1, 1);
    BCDF_replace_curvature(b, k, 1, 0);
    BCDF_remove_slopes(b, 0, 1);
    EXPECT_EQ(b->slopes, nullptr);
    EXPECT_EQ(b->slope_pars, nullptr);
    EXPECT_EQ(b->slope_types, nullptr);
    EXPECT_EQ(b->crvatrs, nullptr);

    BCDF_replace_slope(b, s, 0, 1);
    BCDF_replace_slope(b, s, 2, 2);
    BCDF_replace_slope(b, s, 4, 0);
    BCDF_replace_curvature(b, k, 2, 0);
    BCDF_replace_curvature(b, k, 4, 0);
    BCDF_remove_slopes(b, 1, 1); // takes the curvature at its point
    EXPECT_EQ(std::vector<int>(b->slope_types, b->slope_types + 2), (std::vector<int>{1, 0}));
    EXPECT_EQ(values(b->crvatr_pars), std::vector<double>{b->params->points[4]});
    BCDF_replace_slope(b, s, 2, 1);
    BCDF_remove_interior_slopes(b);
    EXPECT_EQ(values(b->slope_pars), (std::vector<double>{0, b->params->points[4]}));
    // A zero slope is refused before any slope is made a unit vector.
    const double big[3] = {3, 0, 0}, zero[3] = {0, 0, 0};
    BCDF_replace_slope(b, big, 0, 1);
    BCDF_replace_slope(b, zero, 4, 1);
    const std::vector<double> before = values(b->slopes);
    EXPECT_EQ(raised([&] { BCDF_unitize_slopes(b); }), 1005314);
    EXPECT_EQ(values(b->slopes), before);
    BCDF_free_structure(b);
}

TEST(BcdfGenSlopes, SlopeAtPointNeedsTheNearestParameter) {
    BCDF_s *b = make({0, 0, 0, 1, 0, 0, 2, 0, 0});
    const double t[3] = {0, 1e-11, 1};
    BCDF_add_params(b, t);
    const double s[3] = {1, 0, 0};
    BCDF_replace_slope(b, s, 2, 1);
    b->slope_pars->points[0] = 0.5e-11; // as close to point 0 as to point 1
    int pos = -1;
    EXPECT_EQ(BCDF_slope_at_point(b, 0, &pos), 0);
    EXPECT_EQ(pos, 0);
    b->slope_pars->points[0] = 0.0;
    EXPECT_EQ(BCDF_slope_at_point(b, 0, &pos), 1);
    BCDF_free_structure(b);
}

// A new slope turns the curvature with it; in any plane the result is normal
// to the new slope, keeps its length and passes validation.
TEST(BcdfGenSlopes, CurvatureStaysNormalToAReplacedSlopeIn3d) {
    BCDF_s *b = make(kZigzag);
    const double s_old[3] = {1, 1, 1}, k[3] = {2, -1, -1}, s_new[3] = {1, 2, -0.5};
    BCDF_replace_slope(b, s_old, 2, 1);
    BCDF_replace_curvature(b, k, 2, 1);
    BCDF_replace_slope(b, s_new, 2, 1);
    const double *kn = b->crvatrs->points;
    EXPECT_NEAR(dot3(kn, s_new), 0.0, 1e-12);
    EXPECT_NEAR(dot3(kn, kn), dot3(k, k), 1e-12);
    EXPECT_EQ(b->crvatr_types[0], 1);
    EXPECT_EQ(BCDF_check_defining_data(b), 0);

    // Random pairs in every orientation.
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 1000; ++trial) {
        double so[3], kk[3], sn[3];
        for (int i = 0; i < 3; ++i) so[i] = u(rng), kk[i] = u(rng), sn[i] = u(rng);
        const double f = dot3(kk, so) / dot3(so, so);
        for (int i = 0; i < 3; ++i) kk[i] -= f * so[i];
        BCDF_replace_slope(b, so, 3, 1);
        BCDF_replace_curvature(b, kk, 3, 0);
        BCDF_replace_slope(b, sn, 3, 1);
        const double *kr = b->crvatrs->points + b->crvatrs->dimension;
        EXPECT_NEAR(dot3(kr, sn), 0.0, 1e-12) << "trial " << trial;
        EXPECT_NEAR(dot3(kr, kr), dot3(kk, kk), 1e-12) << "trial " << trial;
    }
    BCDF_remove_slopes(b, 1, 1);

    // In the xy plane: the curvature turns with the slope, as about z.
    const double a[3] = {1, 0, 0}, ka[3] = {0, 2, 0}, bnew[3] = {0, 1, 0};
    BCDF_replace_slope(b, a, 1, 1);
    BCDF_replace_curvature(b, ka, 1, 0);
    BCDF_replace_slope(b, bnew, 1, 1);
    EXPECT_NEAR(b->crvatrs->points[0], -2.0, 1e-12);
    EXPECT_NEAR(b->crvatrs->points[1], 0.0, 1e-12);
    BCDF_free_structure(b);
}

// Coincident points share a parameter, so refreshing a slope through its
// point could insert another slope at every pass: the refresh ends and adds
// no slope.
TEST(BcdfGenSlopes, UpdateEndsOnCoincidentPoints) {
    BCDF_s *b = make({0, 0, 0, 0, 0, 0, 1, 0, 0, 2, 0, 0});
    const double v[3] = {1, 0, 0};
    for (int point = 0; point < 4; ++point) BCDF_replace_slope(b, v, point, 4);
    const int before = count(b->slopes);
    BCDF_update_slopes(b);
    EXPECT_EQ(count(b->slopes), before);
    BCDF_update_slopes(b);
    EXPECT_EQ(count(b->slopes), before);
    BCDF_free_structure(b);
}

TEST(BcdfGenSlopes, UpdatesAndNeededSlopes) {
    BCDF_s *b = make(kZigzag);
    double back[3] = {-1, 0, 0};
    BCDF_replace_slope(b, back, 2, 4);
    double zero[3] = {0, 0, 0};
    BCDF_replace_slope(b, zero, 1, 0);
    BCDF_update_slopes(b);
    EXPECT_GT(b->slopes->points[3], 0.0); // the kind-4 slope was reversed
    double a[3];
    BCDF_CALC_auto_slope(b, 1, a);
    EXPECT_EQ(std::vector<double>(b->slopes->points, b->slopes->points + 3), std::vector<double>(a, a + 3));
    BCDF_free_structure(b);

    // Two points: the missing start slope mirrors the end slope and its type.
    b = make({0, 0, 0, 2, 0, 0});
    const double e[3] = {1, 1, 0};
    BCDF_replace_slope(b, e, 1, 3);
    BCDF_add_needed_slopes(b);
    EXPECT_EQ(values(b->slopes), (std::vector<double>{1, -1, 0, 1, 1, 0}));
    EXPECT_EQ(b->slope_types[0], 3);
    BCDF_free_structure(b);

    // A radius-driven curvature: automatic direction, length 1/radius.
    std::vector<double> c;
    for (int i = 0; i < 5; ++i) c.insert(c.end(), {std::cos(0.3 * i), std::sin(0.3 * i), 0.0});
    b = make(c);
    double s[3] = {-std::sin(0.6), std::cos(0.6), 0};
    BCDF_replace_slope(b, s, 2, 1);
    BCDF_change_curvature(b, 1, nullptr, 2, 4.0);
    const double *k = b->crvatrs->points;
    EXPECT_NEAR(std::sqrt(dot3(k, k)), 0.25, 1e-12);
    EXPECT_NEAR(k[0], -0.25 * std::cos(0.6), 1e-3);
    EXPECT_NEAR(dot3(k, s), 0.0, 1e-12);
    BCDF_update_curvatures(b);
    EXPECT_NEAR(std::sqrt(dot3(k, k)), 0.25, 1e-12);
    BCDF_free_structure(b);
}

TEST(BcdfGenQueries, CrossIndexScans) {
    BCDF_s *b = make(kZigzag);
    const double v[3] = {0, 0, 1};
    BCDF_replace_slope(b, v, 1, 1);
    BCDF_replace_slope(b, v, 3, 1);
    BCDF_replace_curvature(b, v, 3, 0);
    int pos = -1;
    EXPECT_EQ(BCDF_curvature_at_point(b, 3, &pos), 1);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(BCDF_curvature_at_point(b, 4, &pos), 0);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(BCDF_curvature_at_slope(b, 1, &pos), 1);
    EXPECT_EQ(BCDF_point_at_slope(b, 1), 3);
    EXPECT_EQ(BCDF_point_at_curvature(b, 0), 3);
    double out[3];
    EXPECT_EQ(BCDF_slope_at_curvature(b, 0, &pos, out), 1);
    EXPECT_EQ(pos, 1);
    int n = 0;
    int *sp = BCDF_create_slope_pos_array(b, &n);
    EXPECT_EQ(std::vector<int>(sp, sp + n), (std::vector<int>{2, 4}));
    SM_free(sp);
    sp = BCDF_create_crvatr_pos_array(b, &n);
    EXPECT_EQ(std::vector<int>(sp, sp + n), std::vector<int>{4});
    SM_free(sp);
    EXPECT_EQ(BCDF_parameter_in_list(b, b->params->points[2] + 5e-11, &pos), 1);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(BCDF_parameter_in_list(b, 100.0, &pos), 0);
    EXPECT_EQ(pos, 5);
#if QUORM_FULL_BUILD
    BCDF_replace_curvature_deriv(b, v, 3, 9);
    pos = -1;
    EXPECT_EQ(BCDF_curvature_deriv_at_point(b, 0, &pos), 0);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(BCDF_curvature_deriv_at_curvature(b, 0, &pos), 1);
    EXPECT_EQ(BCDF_curvature_deriv_at_slope(b, 7, &pos), 0);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(BCDF_point_at_curvature_deriv(b, 0), 3);
    EXPECT_EQ(BCDF_slope_at_curvature_deriv(b, 0, &pos, out), 1);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(BCDF_curvature_at_curvature_deriv(b, 0, &pos, out), 1);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(out[2], 1.0);
    sp = BCDF_create_crvatr_deriv_pos_array(b, &n);
    EXPECT_EQ(std::vector<int>(sp, sp + n), std::vector<int>{4});
    SM_free(sp);
#endif
    // A slope on no point is reported as corruption.
    b->slope_pars->points[0] += 0.5;
    MessageCapture capture(true);
    EXPECT_EQ(BCDF_point_at_slope(b, 0), 5);
    EXPECT_EQ(capture.internals(), std::vector<std::string>{"Bcurve Defining Data Structure Corrupt"});
    BCDF_free_structure(b);
}

TEST(BcdfGenDerived, CountsContinuityAndOverlaps) {
    BCDF_s *b = make(kZigzag);
    const double s[3] = {1, 0, 0};
    BCDF_replace_slope(b, s, 0, 1);
    BCDF_replace_slope(b, s, 4, 1);
    EXPECT_EQ(BCDF_is_zev_spline(b), 1);
    EXPECT_EQ(BCDF_ask_continuity(b), 2);
    BCDF_replace_slope(b, s, 2, 1);
    EXPECT_EQ(BCDF_ask_continuity(b), 1);
    EXPECT_EQ(BCDF_ask_max_npoles_for_fit(b), 0);
    EXPECT_EQ(BCDF_num_of_knots_needed(b, 0), 12);
    EXPECT_NEAR(BCDF_calc_df_polygon_length(b), 4 * std::sqrt(2.0), 1e-12);
    BCDF_s *c = BCDF_copy_structure(b);
    BCDF_toggle_periodicity(c);
    EXPECT_EQ(BCDF_num_of_knots_needed(c, 1), 8 + 4 + 2);
    BCDF_free_structure(c);
    BCDF_remove_slopes(b, 0, 3);
    b->algorithm_version = 1;
    BCDF_convert_to_least_squares(b);
    EXPECT_EQ(BCDF_ask_max_npoles_for_fit(b), 5);
    EXPECT_EQ(BCDF_ask_min_npoles_for_fit(b), 4);
    int *ct = static_cast<int *>(SM_alloc(5 * sizeof(int)));
    for (int i = 0; i < 5; ++i) ct[i] = i == 2 ? 0 : 1;
    BCDF_add_constraint_type_array(b, ct);
    EXPECT_EQ(BCDF_ask_min_npoles_for_fit(b), 4); // four constrained points
    ct[2] = 1;
    EXPECT_EQ(BCDF_ask_min_npoles_for_fit(b), 5);
    const double saved = acom.eq_tol[1];
    acom.eq_tol[1] = 1e-6;
    const double near1[3] = {1, 1, 1e-7}, far1[3] = {1, 0.5, 0};
    EXPECT_EQ(BCDF_check_overlap_points(b, 1, 2, near1), 1);
    EXPECT_EQ(BCDF_check_overlap_points(b, 1, 2, far1), 0);
    EXPECT_EQ(BCDF_check_overlap_points(b, 2, 0, near1), 0);
    EXPECT_EQ(BCDF_check_consecutive_dup_pts(b), 0);
    BCDF_replace_defining_point(b, near1, 2, 3);
    EXPECT_EQ(BCDF_check_overlap_points(b, 3, 0, near1), 1);
    EXPECT_EQ(BCDF_check_overlap_points(b, 2, 2, near1), 0);
    acom.eq_tol[1] = saved;
    BCDF_free_structure(b);
}

TEST(BcdfGenValidation, FirstFailingTestWins) {
    BCDF_s *b = make({0, 0, 0, 1, 0, 0});
    b->order = 2;
    EXPECT_EQ(BCDF_check_defining_data(b), 0);
    b->order = 3;
    EXPECT_EQ(BCDF_check_defining_data(b), 1005311);
    BCDF_free_structure(b);

    b = make(kZigzag);
    const double s[3] = {1, 0, 0}, k[3] = {0, 0, 1}, bad[3] = {0.1, 0, 1};
    BCDF_replace_curvature(b, k, 1, 0);
    EXPECT_EQ(BCDF_check_defining_data(b), 1005318);
    BCDF_replace_slope(b, s, 1, 1);
    EXPECT_EQ(BCDF_check_defining_data(b), 0);
    BCDF_replace_curvature(b, bad, 1, 0);
    EXPECT_EQ(BCDF_check_defining_data(b), 1005320);
    b->order = 3;
    EXPECT_EQ(BCDF_check_defining_data(b), 1005321);
    b->params->points[2] = b->params->points[1];
    EXPECT_EQ(BCDF_check_defining_data(b), 1005323);
    BCDF_free_structure(b);

    // Least squares: 0 segments states a tolerance-driven fit.
    b = make(kZigzag, 3, 1);
    EXPECT_EQ(BCDF_check_defining_data(b), 0);
    b->ls_tolerance = -1.0;
    EXPECT_EQ(BCDF_check_defining_data(b), 1005006);
    b->ls_tolerance = 0.1;
    b->ls_num_of_segments = 3;
    EXPECT_EQ(BCDF_check_defining_data(b), 1005005);
    b->ls_num_of_segments = 2;
    EXPECT_EQ(BCDF_check_defining_data(b), 0);
    BCDF_replace_slope(b, s, 0, 1);
    BCDF_replace_slope(b, s, 4, 1);
    b->order = 6; // enough constraints, but no more poles than points
    EXPECT_EQ(BCDF_check_defining_data(b), 1005322);
    BCDF_free_structure(b);
}

TEST(BcdfGenParams, NormaliseAndUnnormalise) {
    BCDF_s *b = make({0, 0, 0, 2, 0, 0, 4, 0, 0});
    const double s[3] = {1, 0, 0};
    BCDF_replace_slope(b, s, 1, 1);
    EXPECT_EQ(BCDF_normalize_parameters(b), 4.0);
    EXPECT_EQ(values(b->params), (std::vector<double>{0, 0.5, 1}));
    EXPECT_EQ(values(b->slope_pars), std::vector<double>{0.5});
    EXPECT_EQ(values(b->slopes), (std::vector<double>{1, 0, 0})); // not rescaled
    BCDF_unnormalize_parameters(b, 4.0);
    EXPECT_EQ(values(b->params), (std::vector<double>{0, 2, 4}));
    EXPECT_EQ(values(b->slope_pars), std::vector<double>{2});
    b->params->num_points = 0; // an emptied list: nothing to read, nothing changes
    EXPECT_EQ(BCDF_normalize_parameters(b), 0.0);
    EXPECT_EQ(values(b->slope_pars), std::vector<double>{2});
    PNTLST_free_structure(b->params);
    b->params = nullptr;
    MessageCapture capture(true);
    BCDF_normalize_parameters(b);
    EXPECT_EQ(capture.internals(), std::vector<std::string>{"The Parameter Array Is NULL"});
    PNTLST_free_structure(b->slopes);
    PNTLST_free_structure(b->slope_pars);
    SM_free(b->slope_types);
    b->slopes = b->slope_pars = nullptr;
    b->slope_types = nullptr;
    BCDF_free_structure(b);
}

} // namespace

namespace {

// Code and message of the error that f raises.
template <class F> std::pair<int, std::string> report(F f) {
    try {
        f();
    } catch (const Kaltor::Error::Exception &e) {
        return {e.code(), e.message()};
    }
    return {0, ""};
}

// Bad input while checking: each report with its code and message, and the
// record as it was.
TEST(BcdfGenErrors, ReportsLeaveTheRecordAsItWas) {
    BCDF_s *b = make(kZigzag, 3, 1);
    const double v[3] = {1, 0, 0};
    BCDF_s *copy = BCDF_copy_structure(b);
    auto same = [&] {
        EXPECT_EQ(values(b->points), values(copy->points));
        EXPECT_EQ(values(b->weights), values(copy->weights));
        EXPECT_EQ(values(b->slopes), values(copy->slopes));
        EXPECT_EQ(b->periodicity, copy->periodicity);
    };
    using R = std::pair<int, std::string>;
    EXPECT_EQ(report([&] { BCDF_replace_weight(b, 5, 1.0); }),
              R(1005315, "An Invalid Point Position Was Given By Calling Routine"));
    EXPECT_EQ(report([&] { BCDF_replace_slope(b, v, -1, 1); }),
              R(1005315, "An Invalid Point Position Was Given By Calling Routine"));
    EXPECT_EQ(report([&] { BCDF_remove_defining_points(b, 4, 2); }), R(1005316, "Error While Removing Points"));
    EXPECT_EQ(report([&] { BCDF_replace_defining_point(b, v, 5, 3); }),
              R(1005302, "Point Position Too Large For Point Array."));
    same();
    b->periodicity = 1;
    EXPECT_EQ(report([&] { BCDF_add_weights(b); }), R(1005312, "Periodic Least Squares Splines Are Not Allowed"));
    b->periodicity = 0;
    same();
    {
        MessageCapture capture(true);
        int pos = -1;
        PNTLST_s *t = b->params;
        b->params = nullptr;
        EXPECT_EQ(BCDF_parameter_in_list(b, 0.0, &pos), 0);
        EXPECT_EQ(pos, 0);
        b->params = t;
        EXPECT_EQ(BCDF_is_least_squares(nullptr), 0);
        BCDF_s *interp = make(kZigzag);
        interp->points->dimension = 2;
        BCDF_convert_to_least_squares(interp);
        EXPECT_EQ(interp->weights, nullptr);
        interp->points->dimension = 3;
        BCDF_free_structure(interp);
        EXPECT_EQ(capture.internals(),
                  (std::vector<std::string>{"The Parameter List Has A NULL Value", "Defining Data Structure Is NULL",
                                            "Points Are An Invalid Dimension"}));
    }
    // Unchecked, out-of-range edits are ignored rather than written.
    const int saved = MACH__checking_level;
    MACH__checking_level = 0;
    BCDF_replace_weight(b, 5, 1.0);
    BCDF_replace_slope(b, v, 7, 1);
    BCDF_remove_defining_points(b, 4, 2);
    MACH__checking_level = saved;
    same();
    // Removing every point leaves no empty list behind.
    BCDF_remove_defining_points(b, 0, 5);
    EXPECT_EQ(b->points, nullptr);
    EXPECT_EQ(b->params, nullptr);
    EXPECT_EQ(b->weights, nullptr);
    BCDF_free_structure(copy);
    BCDF_free_structure(b);
}

} // namespace
