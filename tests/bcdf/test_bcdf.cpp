// The defining-data record: counts, accessors, copies, freeing and the move
// into persistent memory.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Kaltor::Corvex::MessageCapture;

PNTLST_s *list(int dim, std::vector<double> v) {
    int n = static_cast<int>(v.size()) / dim;
    PNTLST_s *l = PNTLST_allocate_struct(dim, n);
    PNTLST_insert_points(l, n, 0, v.data());
    return l;
}

int *ints(std::vector<int> v) {
    int *p = static_cast<int *>(SM_alloc(v.size() * sizeof(int)));
    std::memcpy(p, v.data(), v.size() * sizeof(int));
    return p;
}

// A periodic record with 5 points (the last repeats the first), 2 slopes, 1
// curvature, weights, constraint types and (full build) a curvature
// derivative.
BCDF_s *sample_record() {
    BCDF_s *r = static_cast<BCDF_s *>(SM_calloc(1, sizeof(BCDF_s)));
    r->points = list(3, {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0});
    r->params = list(1, {0, 1, 2, 3, 4});
    r->weights = list(1, {1, 1, 1, 1, 1});
    r->slopes = list(3, {1, 0, 0, 0, 1, 0});
    r->slope_pars = list(1, {0, 1});
    r->slope_types = ints({1, 3});
    r->crvatrs = list(3, {0, 1, 0});
    r->crvatr_pars = list(1, {0});
    r->crvatr_types = ints({0});
#if QUORM_FULL_BUILD
    r->crvatr_derivs = list(3, {0, 0, 2});
    r->crvatr_deriv_pars = list(1, {1});
    r->crvatr_deriv_types = ints({7});
#endif
    r->constraint_types = ints({0, 1, 0, 0, 0});
    r->order = 4;
    r->periodicity = 1;
    r->ls_tolerance = 0.01;
    r->ls_num_of_segments = 3;
    r->algorithm_version = 2;
    r->ls_uniform_segments = true;
    return r;
}

std::vector<double> values(const PNTLST_s *l) {
    return l ? std::vector<double>(l->points, l->points + l->num_points * l->dimension) : std::vector<double>{};
}

class Record : public ::testing::Test {
  protected:
    void SetUp() override {
        level_ = MACH__checking_level;
        blocks_ = CORVEX_blocks_in_use();
    }
    void TearDown() override {
        MACH__checking_level = level_;
        CORVEX_set_persistent_limit(static_cast<size_t>(-1));
        EXPECT_EQ(CORVEX_blocks_in_use(), blocks_) << "blocks leaked";
    }

  private:
    int level_ = 1;
    long blocks_ = 0;
};

template <typename F>
void expect_raise(F f, int code, const char *message) {
    try {
        f();
        ADD_FAILURE() << "no error " << code;
    } catch (const Kaltor::Error::Exception &e) {
        EXPECT_EQ(e.code(), code);
        EXPECT_STREQ(e.what(), message);
    }
}

} // namespace

TEST_F(Record, FreshRecordIsEmpty) {
    BCDF_s *r = static_cast<BCDF_s *>(SM_calloc(1, sizeof(BCDF_s)));
    EXPECT_EQ(BCDF_return_num_of_points(r), 0);
    EXPECT_EQ(BCDF_return_dimension(r), 0);
    EXPECT_EQ(BCDF_return_num_of_slopes(r), 0);
    EXPECT_EQ(BCDF_return_num_of_crvatrs(r), 0);
#if QUORM_FULL_BUILD
    EXPECT_EQ(BCDF_return_num_of_crvatr_derivs(r), 0);
    int n = 9, d = 9;
    EXPECT_EQ(BCDF_return_crvatr_deriv_array(r, &n, &d), nullptr);
    EXPECT_EQ(n + d, 0);
#endif
    int count = 7, dim = 7;
    EXPECT_EQ(BCDF_return_df_point_array(r, &count, &dim), nullptr);
    EXPECT_EQ(count + dim, 0);
    count = 7;
    EXPECT_EQ(BCDF_return_param_array(r, &count), nullptr);
    EXPECT_EQ(count, 0);
    count = 7;
    EXPECT_EQ(BCDF_return_weight_array(r, &count), nullptr);
    EXPECT_EQ(count, 0);
    count = 7;
    EXPECT_EQ(BCDF_return_constraint_type_array(r, &count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(BCDF_return_slope_type_array(r), nullptr);
    count = 7;
    EXPECT_EQ(BCDF_copy_slopes(r, &count, &dim), nullptr);
    EXPECT_EQ(count, 0);
    // Type copies are valid zero-length blocks; constraint copies are null.
    int *types = BCDF_copy_slope_type_array(r);
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(SM_length(types), 0u);
    SM_free(types);
    count = 7;
    EXPECT_EQ(BCDF_copy_constraint_type_array(r, &count), nullptr);
    EXPECT_EQ(count, 0);
    BCDF_free_structure(r);
    BCDF_free_structure(nullptr);
    BCDF_free_all_but_points(nullptr);
    EXPECT_EQ(BCDF_copy_structure(nullptr), nullptr);
    EXPECT_EQ(BCDF_make_bcdf_data_persistent(nullptr), nullptr);
}

TEST_F(Record, CountsAndEntries) {
    BCDF_s *r = sample_record();
#if QUORM_FULL_BUILD
    EXPECT_EQ(BCDF_return_num_of_constraints(r), 8);
    double dk[3];
    int dtype = 0;
    BCDF_copy_single_3d_crvatr_deriv(r, 0, dk, &dtype);
    EXPECT_EQ(dk[2], 2.0);
    EXPECT_EQ(dtype, 7);
#else
    EXPECT_EQ(BCDF_return_num_of_constraints(r), 7);
#endif
    r->periodicity = 0;
    EXPECT_EQ(BCDF_return_num_of_constraints(r), BCDF_return_num_of_points(r) + 3 + QUORM_FULL_BUILD);
    r->periodicity = 1;
    EXPECT_EQ(BCDF_return_order(r), 4);
    EXPECT_EQ(BCDF_return_periodicity(r), 1);
    EXPECT_EQ(BCDF_return_ls_tolerance(r), 0.01);
    EXPECT_EQ(BCDF_return_ls_num_of_segments(r), 3);
    BCDF_set_algorithm_version(r, 5);
    EXPECT_EQ(BCDF_ask_algorithm_version(r), 5);
    BCDF_set_ls_uniform_segments(r, false);
    EXPECT_FALSE(BCDF_ask_ls_uniform_segments(r));

    double s[3];
    int type = -1;
    BCDF_copy_single_3d_slope(r, 1, s, &type);
    EXPECT_EQ(s[1], 1.0);
    EXPECT_EQ(type, 3);
    BCDF_copy_single_3d_crvatr(r, 0, s, &type);
    EXPECT_EQ(s[1], 1.0);
    EXPECT_EQ(type, 0);
    int count = 0;
    int *ct = BCDF_copy_constraint_type_array(r, &count);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(ct[1], 1);
    SM_free(ct);
    int *st = BCDF_copy_slope_type_array(r);
    EXPECT_EQ(SM_length(st), 2 * sizeof(int));
    EXPECT_EQ(st[1], 3);
    SM_free(st);
    double *params = BCDF_copy_parameters(r, &count);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(params[4], 4.0);
    SM_free(params);

    // A homogeneous point comes back Cartesian.
    PNTLST_s *old = r->points;
    r->points = list(4, {1, 1, 1, 1, 2, 4, 6, 2});
    double p[3];
    BCDF_copy_single_3d_point(r, 1, p);
    EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{1, 2, 3}));
    PNTLST_free_structure(r->points);
    r->points = old;

    int knots_count = -1;
    double knots[] = {0, 0, 1, 1};
    BCDF_attach_knot_sequence(r, 4, knots);
    EXPECT_EQ(BCDF_return_knot_sequence(r, &knots_count), knots);
    EXPECT_EQ(knots_count, 4);
    BCDF_detach_knot_sequence(r);
    EXPECT_EQ(BCDF_return_knot_sequence(r, &knots_count), nullptr);
    EXPECT_EQ(knots_count, 0);
    BCDF_add_constraint_type_array(r, ints({1, 1, 1, 1, 1}));
    EXPECT_EQ(BCDF_return_constraint_type_array(r, &count)[4], 1);
    BCDF_add_constraint_type_array(r, nullptr);
    EXPECT_EQ(BCDF_return_constraint_type_array(r, &count), nullptr);
    BCDF_free_structure(r);
}

TEST_F(Record, BadPositionsAreReportedAndChangeNothing) {
    BCDF_s *r = sample_record();
    std::vector<double> before = values(r->points);
    double out[3] = {-1, -1, -1};
    int type = -1;
    expect_raise([&] { BCDF_copy_single_3d_point(r, 5, out); }, 1005302, "Point Position Too Large For Point Array.");
    expect_raise([&] { BCDF_copy_single_3d_point(r, -1, out); }, 1005302, "Point Position Too Large For Point Array.");
    expect_raise([&] { BCDF_copy_single_3d_slope(r, 2, out, &type); }, 1005315,
                 "An Invalid Slope Position Was Given By Calling Routine");
    expect_raise([&] { BCDF_copy_single_3d_crvatr(r, 1, out, &type); }, 1005315,
                 "An Invalid Curvature Position Was Given By Calling Routine");
#if QUORM_FULL_BUILD
    expect_raise([&] { BCDF_copy_single_3d_crvatr_deriv(r, 1, out, &type); }, 1005315,
                 "An Invalid Curvature Derivative Position Was Given By Calling Routine");
#endif
    r->points->dimension = 2;
    expect_raise([&] { BCDF_copy_single_3d_point(r, 0, out); }, 1005313, "Point Dimension Is Not 3 Or 4.");
    r->points->dimension = 3;
    EXPECT_EQ(values(r->points), before);
    EXPECT_EQ(out[0], -1.0);
    EXPECT_EQ(type, -1);

    BCDF_s *empty = static_cast<BCDF_s *>(SM_calloc(1, sizeof(BCDF_s)));
    int n, d;
    expect_raise([&] { BCDF_copy_single_3d_point(empty, 0, out); }, 1005304,
                 "No Points Allocated In Defining Data Structure.");
    expect_raise([&] { BCDF_copy_single_3d_slope(empty, 0, out, &type); }, 1005305,
                 "No Slope Allocated In Defining Data Structure.");
    expect_raise([&] { BCDF_copy_points(empty, &n, &d); }, 1005304, "Point Array Is NULL");
    expect_raise([&] { BCDF_copy_parameters(empty, &n); }, 1005303, "Parameter Array Is NULL");
    {
        MessageCapture capture(true);
        BCDF_return_ls_tolerance(empty);
        BCDF_return_ls_num_of_segments(empty);
        EXPECT_EQ(BCDF_return_order(nullptr), 0);
        BCDF_return_ls_tolerance(nullptr);
        BCDF_return_knot_sequence(nullptr, &n);
        EXPECT_EQ(capture.internals(),
                  (std::vector<std::string>{"Weights List Has A NULL Value", "Weights List Has A NULL Value",
                                            "Defining Data Structure Is NULL", "Defining Data Structure Is NULL",
                                            "Defining Data Structure Is NULL"}));
    }
    // Unchecked, nothing is read out of bounds either.
    MACH__checking_level = 0;
    BCDF_copy_single_3d_point(r, 99, out);
    BCDF_copy_single_3d_slope(r, 99, out, &type);
    BCDF_copy_single_3d_crvatr(empty, 0, out, &type);
    EXPECT_EQ(BCDF_copy_points(empty, &n, &d), nullptr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(out[0], -1.0);
    BCDF_free_structure(empty);
    BCDF_free_structure(r);
}

TEST_F(Record, CopiesAreDeepAndComplete) {
    BCDF_s *r = sample_record();
    double knots[] = {0, 1};
    BCDF_attach_knot_sequence(r, 2, knots);
    BCDF_s *c = BCDF_copy_structure(r);
    PNTLST_s *const *src = &r->points;
    PNTLST_s *const *dst = &c->points;
    int lists = QUORM_FULL_BUILD ? 9 : 7;
    for (int i = 0; i < lists; ++i) {
        ASSERT_NE(dst[i], src[i]);
        EXPECT_EQ(values(dst[i]), values(src[i])) << i;
        EXPECT_EQ(dst[i]->max_points, dst[i]->num_points);
        EXPECT_NE(dst[i]->points, src[i]->points);
    }
    EXPECT_NE(c->slope_types, r->slope_types);
    EXPECT_EQ(c->slope_types[1], 3);
    EXPECT_EQ(c->constraint_types[1], 1);
    EXPECT_EQ(c->order, 4);
    EXPECT_EQ(c->periodicity, 1);
    EXPECT_EQ(c->ls_tolerance, 0.01);
    EXPECT_EQ(c->ls_num_of_segments, 3);
    EXPECT_EQ(c->algorithm_version, 2);
    EXPECT_TRUE(c->ls_uniform_segments);
    EXPECT_EQ(c->num_of_knots, 0); // the knots are the caller's
    EXPECT_EQ(c->knot_sequence, nullptr);
    BCDF_free_structure(c);

    // The point array outlives the record when asked.
    int n, d;
    double *pts = BCDF_return_df_point_array(r, &n, &d);
    BCDF_free_all_but_points(r);
    EXPECT_EQ(pts[3], 1.0);
    SM_free(pts);
}

TEST_F(Record, PersistentMoveCopiesEveryBlock) {
    BCDF_s *r = sample_record();
    PNTLST_allocate_points(r->params, 9); // spare capacity is kept
    std::vector<std::vector<double>> before;
    for (PNTLST_s **l = &r->points; l < &r->points + (QUORM_FULL_BUILD ? 9 : 7); ++l) before.push_back(values(*l));
    double knots[] = {0, 1};
    BCDF_attach_knot_sequence(r, 2, knots);
    void *old_params = r->params;
    BCDF_s *p = BCDF_make_bcdf_data_persistent(r);
    ASSERT_NE(p, nullptr);
    int i = 0;
    for (PNTLST_s **l = &p->points; l < &p->points + (QUORM_FULL_BUILD ? 9 : 7); ++l, ++i)
        EXPECT_EQ(values(*l), before[i]) << i;
    EXPECT_NE(static_cast<void *>(p->params), old_params);
    EXPECT_EQ(p->params->max_points, 9);
    EXPECT_EQ(SM_length(p->params->points), 9 * sizeof(double));
    EXPECT_EQ(p->slope_types[1], 3);
    EXPECT_EQ(p->constraint_types[1], 1);
    EXPECT_EQ(p->knot_sequence, knots);
    EXPECT_EQ(p->order, 4);
    BCDF_free_structure(p);
}

TEST_F(Record, PersistentMoveThatRunsOutLeavesTheRecord) {
    for (bool returning : {true, false}) {
        BCDF_s *r = sample_record();
        std::vector<double> pts = values(r->points);
        CORVEX_set_persistent_limit(300); // enough for a few blocks only
        BCDF_s *p = nullptr;
        if (returning) {
            MessageCapture capture(true);
            p = BCDF_make_bcdf_data_persistent(r);
            ASSERT_EQ(capture.internals().size(), 1u);
            EXPECT_EQ(capture.internals()[0].rfind("Failed to allocate permanent memory for transient conversion of ", 0),
                      0u);
            EXPECT_EQ(p, r);
        } else {
            EXPECT_THROW(BCDF_make_bcdf_data_persistent(r), Kaltor::Error::Severe);
        }
        CORVEX_set_persistent_limit(static_cast<size_t>(-1));
        EXPECT_EQ(values(r->points), pts);
        BCDF_free_structure(r);
    }
}
