// Point lists, indexed point lists and sorted reals.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Kaltor::Corvex::MessageCapture;

std::vector<double> contents(const PNTLST_s *l) {
    return std::vector<double>(l->points, l->points + l->num_points * l->dimension);
}

// Restores the checking level and counts the blocks a test leaves behind.
class Lists : public ::testing::Test {
  protected:
    void SetUp() override {
        level_ = MACH__checking_level;
        blocks_ = CORVEX_blocks_in_use();
    }
    void TearDown() override {
        MACH__checking_level = level_;
        EXPECT_EQ(CORVEX_blocks_in_use(), blocks_) << "blocks leaked";
    }

  private:
    int level_ = 1;
    long blocks_ = 0;
};

} // namespace

TEST_F(Lists, InsertionGrowsByCountPlusTwiceTheCapacity) {
    PNTLST_s *l = PNTLST_allocate_struct(2, 3);
    double abc[] = {1, 1, 2, 2, 3, 3}, pq[] = {7, 7, 8, 8};
    PNTLST_insert_points(l, 3, 0, abc);
    EXPECT_EQ(l->max_points, 3);
    PNTLST_insert_points(l, 2, 1, pq);
    EXPECT_EQ(l->num_points, 5);
    EXPECT_EQ(l->max_points, 11);
    EXPECT_EQ(contents(l), (std::vector<double>{1, 1, 7, 7, 8, 8, 2, 2, 3, 3}));
    // Appending to a full list grows it by exactly one point.
    PNTLST_allocate_points(l, 5);
    PNTLST_concat_one_point(l, pq);
    EXPECT_EQ(l->max_points, 6);
    EXPECT_EQ(l->num_points, 6);
    PNTLST_free_structure(l);
    EXPECT_EQ(PNTLST_allocate_struct(3, 0), nullptr);
}

TEST_F(Lists, PointsOfTheListItselfSurviveTheGrowth) {
    // Closing a row on its own first point while the list is full, and
    // inserting a copy of its own points, must not read the freed array.
    PNTLST_s *l = PNTLST_allocate_struct(3, 2);
    double a[] = {1, 2, 3, 4, 5, 6};
    PNTLST_insert_points(l, 2, 0, a);
    PNTLST_concat_one_point(l, l->points);
    PNTLST_insert_points(l, 2, 1, l->points + 3);
    EXPECT_EQ(contents(l), (std::vector<double>{1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 1, 2, 3}));
    PNTLST_free_structure(l);
}

TEST_F(Lists, ListsAroundTheCallersArray) {
    double caller[6] = {1, 2, 3, 4, 5, 6};
    // Count 0: the list does not own the array; freeing it frees the record
    // only, and growing it leaves the caller's array alone.
    PNTLST_s *l = PNTLST_create_from_list_of_pts(caller, 0, 3);
    EXPECT_EQ(l->max_points, 0);
    PNTLST_concat_one_point(l, caller + 3);
    EXPECT_NE(l->points, caller);
    EXPECT_EQ(contents(l), (std::vector<double>{4, 5, 6}));
    PNTLST_free_structure(l);
    l = PNTLST_create_from_list_of_pts(caller, 0, 3);
    PNTLST_free_structure(l);
    EXPECT_EQ(caller[0], 1.0);

    // A taken-over block is the list's.
    double *block = static_cast<double *>(SM_alloc(6 * sizeof(double)));
    std::copy(caller, caller + 6, block);
    l = PNTLST_create_from_list_of_pts(block, 2, 3);
    PNTLST_s *copy = PNTLST_copy_structure(l);
    EXPECT_EQ(copy->max_points, 2);
    EXPECT_EQ(contents(copy), contents(l));
    int n = 0, dim = 0;
    double *pts = PNTLST_copy_points(l, &n, &dim);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(dim, 3);
    EXPECT_EQ(pts[5], 6.0);
    SM_free(pts);
    PNTLST_free_structure(copy);
    double *kept = l->points;
    PNTLST_free_all_but_points(l);
    SM_free(kept);
    EXPECT_EQ(PNTLST_copy_structure(nullptr), nullptr);
    PNTLST_free_structure(nullptr);
    PNTLST_free_all_but_points(nullptr);
    PNTLST_remove_points(nullptr, 0, 1);
}

TEST_F(Lists, RemovalAndReplacement) {
    double a[] = {0, 1, 2};
    for (int position : {0, 1, 2, 7}) {
        PNTLST_s *l = PNTLST_allocate_struct(1, 3);
        PNTLST_insert_points(l, 3, 0, a);
        double *array = l->points;
        PNTLST_remove_points(l, position, 3);
        EXPECT_EQ(l->num_points, 0);
        EXPECT_EQ(l->points, array); // never shrunk
        PNTLST_free_structure(l);
    }
    PNTLST_s *l = PNTLST_allocate_struct(1, 3);
    PNTLST_insert_points(l, 3, 0, a);
    {
        // Bad runs are reported and change nothing.
        MessageCapture capture(true);
        PNTLST_remove_points(l, 0, 4);
        PNTLST_remove_points(l, 2, 2);
        double r[] = {9, 9};
        PNTLST_replace_points(l, 2, 2, r);
        double out = -1;
        PNTLST_copy_single_point(l, 3, &out);
        PNTLST_copy_single_point(l, -1, &out);
        EXPECT_EQ(capture.internals(),
                  (std::vector<std::string>{"Too Many Points To Remove", "Too Many Points To Remove",
                                            "Too Many Points To Replace", "Invalid Point Position Given",
                                            "Invalid Point Position Given"}));
        EXPECT_EQ(out, -1.0);
        EXPECT_EQ(contents(l), (std::vector<double>{0, 1, 2}));
    }
    EXPECT_THROW(PNTLST_remove_points(l, 0, 4), Kaltor::Error::Severe);
    PNTLST_remove_points(l, 1, 1);
    double r = 5;
    PNTLST_replace_points(l, 1, 1, &r);
    EXPECT_EQ(contents(l), (std::vector<double>{0, 5}));
    PNTLST_free_structure(l);
}

TEST_F(Lists, DistancesAndHomogeneousConversion) {
    double h[] = {2, 4, 6, 2, 3, 3, 3, 3};
    PNTLST_s *l = PNTLST_allocate_struct(4, 2);
    PNTLST_insert_points(l, 2, 0, h);
    // The homogeneous 4-vectors are measured, weight included.
    EXPECT_DOUBLE_EQ(PNTLST_calc_point_distance(l, 0, 1), std::sqrt(1 + 1 + 9 + 1.0));
    try {
        PNTLST_calc_point_distance(l, 0, 2);
        ADD_FAILURE();
    } catch (const Kaltor::Error::Exception &e) {
        EXPECT_EQ(e.code(), 1005347);
        EXPECT_STREQ(e.what(), "Invalid Point Position Given");
    }
    MACH__checking_level = 0;
    EXPECT_EQ(PNTLST_calc_point_distance(l, -1, 0), 0.0);
    MACH__checking_level = 1;
    PNTLST_convert_4d_to_3d(l);
    EXPECT_EQ(l->dimension, 3);
    EXPECT_EQ(contents(l), (std::vector<double>{1, 2, 3, 1, 1, 1}));
    PNTLST_convert_4d_to_3d(l); // a 3-D list stays
    EXPECT_EQ(contents(l), (std::vector<double>{1, 2, 3, 1, 1, 1}));
    l->dimension = 2;
    {
        MessageCapture capture(true);
        PNTLST_convert_4d_to_3d(l);
        EXPECT_EQ(capture.internals(), std::vector<std::string>{"Dimension Of The Input Points Is Not Valid"});
    }
    PNTLST_free_structure(l);

    l = PNTLST_get_from_func(3, 2, [](int n, double *p) {
        for (int i = 0; i < 2 * n; ++i) p[i] = i;
    });
    EXPECT_EQ(contents(l), (std::vector<double>{0, 1, 2, 3, 4, 5}));
    PNTLST_free_structure(l);
    EXPECT_EQ(PNTLST_get_from_func(0, 2, nullptr), nullptr);
    // A fill that fails leaves nothing behind (the fixture counts blocks).
    EXPECT_THROW(PNTLST_get_from_func(4, 3,
                                      [](int, double *) {
                                          ERROR_raise(__FILE__, __LINE__, 42, "fill failed");
                                      }),
                 Kaltor::Error::Exception);
}

TEST_F(Lists, RandomEditsAgreeWithAPlainArray) {
    std::mt19937 rng(11);
    for (int dim : {1, 3, 4}) {
        PNTLST_s *l = PNTLST_allocate_struct(dim, 1);
        std::vector<double> model;
        double next = 0;
        for (int step = 0; step < 3000; ++step) {
            int n = static_cast<int>(model.size()) / dim;
            int op = std::uniform_int_distribution<int>(0, 4)(rng);
            int count = std::uniform_int_distribution<int>(1, 4)(rng);
            std::vector<double> pts(count * dim);
            for (double &v : pts) v = ++next;
            if (op == 0) {
                int at = std::uniform_int_distribution<int>(0, n)(rng);
                PNTLST_insert_points(l, count, at, pts.data());
                model.insert(model.begin() + at * dim, pts.begin(), pts.end());
            } else if (op == 1) {
                PNTLST_concat_one_point(l, pts.data());
                model.insert(model.end(), pts.begin(), pts.begin() + dim);
            } else if (op == 2 && n > 0) {
                count = std::min(count, n);
                int at = std::uniform_int_distribution<int>(0, n - count)(rng);
                PNTLST_remove_points(l, at, count);
                model.erase(model.begin() + at * dim, model.begin() + (at + count) * dim);
            } else if (op == 3 && n > 0) {
                count = std::min(count, n);
                pts.resize(count * dim);
                int at = std::uniform_int_distribution<int>(0, n - count)(rng);
                PNTLST_replace_points(l, count, at, pts.data());
                std::copy(pts.begin(), pts.end(), model.begin() + at * dim);
            } else if (op == 4 && n > 0) {
                int at = std::uniform_int_distribution<int>(0, n - 1)(rng);
                std::vector<double> one(dim);
                PNTLST_copy_single_point(l, at, one.data());
                ASSERT_TRUE(std::equal(one.begin(), one.end(), model.begin() + at * dim));
            }
            ASSERT_LE(l->num_points, l->max_points);
            ASSERT_EQ(contents(l), model) << step;
        }
        PNTLST_free_structure(l);
    }
}

TEST_F(Lists, IndexedListsCarryTheTagSlots) {
    IPNT3_LST_s a{nullptr, 0}, b{nullptr, 0};
    IPNT3_LST_alloc(&a, 2);
    a.pnts[0] = IPNT3_s{1, 2, 3, 77};
    a.pnts[1] = IPNT3_s{4, 5, 6, 88};
    IPNT3_LST_alloc(&b, 1);
    b.pnts[0].tag = 55;
    IPNT3_LST_copy(&a, &b);
    ASSERT_EQ(b.num_pnts, 2);
    EXPECT_EQ(b.pnts[0].tag, 55); // the destination's tags stay
    EXPECT_EQ(b.pnts[1].z, 6.0);
    IPNT3_LST_realloc(&a, 3);
    EXPECT_EQ(a.pnts[1].tag, 88);
    double out3[3][3];
    IPNT3_LST_xtract_pnts(&b, out3);
    EXPECT_EQ(out3[1][0], 4.0);
    IPNT3_LST_free(&a);
    IPNT3_LST_free(&b);
    EXPECT_EQ(a.num_pnts, -1);
    EXPECT_EQ(a.pnts, nullptr);
    {
        MessageCapture capture(true);
        IPNT3_LST_free(&a);
        IPNT3_LST_copy(&a, &b);
        IPNT3_LST_xtract_pnts(&a, out3);
        IPNT3_LST_alloc(&a, -1);
        EXPECT_EQ(capture.internals(), (std::vector<std::string>{"IPNT3_LST_free error", "IPNT3_LST_copy error",
                                                                 "IPNT3_LST_xtract_pnts error",
                                                                 "IPNT3_LST_alloc error"}));
    }
    IPNT4_LST_s c{nullptr, 0};
    IPNT4_LST_alloc(&c, 1);
    c.pnts[0] = IPNT4_s{1, 2, 3, 4, 9};
    IPNT4_LST_realloc(&c, 2);
    c.pnts[1] = IPNT4_s{5, 6, 7, 8, 9};
    double out4[2][4];
    IPNT4_LST_xtract_pnts(&c, out4);
    EXPECT_EQ(out4[1][3], 8.0);
    EXPECT_EQ(out4[0][0], 1.0);
    IPNT4_LST_free(&c);
    {
        MessageCapture capture(true);
        IPNT4_LST_free(&c);
        IPNT4_LST_xtract_pnts(&c, out4);
        IPNT4_LST_realloc(&c, -2);
        EXPECT_EQ(capture.internals(), (std::vector<std::string>{"IPNT4_LST_free error",
                                                                 "IPNT4_LST_xtract_pnts error",
                                                                 "IPNT4_LST_alloc error"}));
    }
}

TEST_F(Lists, UniqueAndClosestReals) {
    double drift[] = {0, 5e-11, 1e-10, 1.5e-10};
    double *out = nullptr;
    int n = -1;
    get_unique_reals(drift, 4, &out, &n);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(out[0], 0.0);
    SM_free(out);
    double gaps[] = {0, 1, 1, 2, 2 + 1e-11, 3};
    get_unique_reals(gaps, 6, &out, &n);
    ASSERT_EQ(n, 4);
    EXPECT_EQ(out[3], 3.0);
    SM_free(out);
    double *untouched = gaps;
    get_unique_reals(gaps, 0, &untouched, &n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(untouched, gaps);

    double v[] = {0, 1, 2};
    EXPECT_EQ(find_closest_reals(3, v, 0, 2, 0.5), 0);
    EXPECT_EQ(find_closest_reals(3, v, -5, 9, 1.6), 2);
    EXPECT_EQ(find_closest_reals(3, v, 1, 9, -3), 1);
    EXPECT_EQ(find_closest_reals(3, v, 2, 1, 0), -1);
    EXPECT_EQ(find_closest_reals(3, v, 3, 8, 0), -1);
}

TEST_F(Lists, MatchingSortedReals) {
    double a[] = {0, 1, 2, 3, 4}, b[] = {0.9, 3.2};
    int m[5];
    EXPECT_EQ(match_sorted_reals(5, a, 2, b, m), 0);
    EXPECT_EQ(m[0], 1);
    EXPECT_EQ(m[1], 3);
    EXPECT_EQ(match_sorted_reals(2, b, 5, a, m), 0);
    EXPECT_EQ(std::vector<int>(m, m + 5), (std::vector<int>{-1, 0, -1, 1, -1}));
    EXPECT_EQ(match_sorted_reals(3, a, 3, b, m), 0);
    EXPECT_EQ(std::vector<int>(m, m + 3), (std::vector<int>{0, 1, 2}));

    // A random subset of a, slightly disturbed, is matched back to where it
    // came from, in order.
    std::mt19937 rng(5);
    for (int trial = 0; trial < 300; ++trial) {
        int n1 = std::uniform_int_distribution<int>(1, 40)(rng);
        std::vector<double> aa(n1);
        double x = 0;
        for (double &v : aa) v = (x += 1.0 + std::uniform_real_distribution<double>(0, 1)(rng));
        std::vector<int> picked;
        for (int i = 0; i < n1; ++i)
            if (rng() % 3 == 0) picked.push_back(i);
        if (picked.empty()) continue;
        std::vector<double> bb;
        for (int i : picked) bb.push_back(aa[i] + std::uniform_real_distribution<double>(-0.3, 0.3)(rng));
        std::vector<int> mm(bb.size());
        ASSERT_EQ(match_sorted_reals(n1, aa.data(), static_cast<int>(bb.size()), bb.data(), mm.data()), 0);
        EXPECT_EQ(mm, picked) << trial;
        std::vector<int> back(n1);
        ASSERT_EQ(match_sorted_reals(static_cast<int>(bb.size()), bb.data(), n1, aa.data(), back.data()), 0);
        for (size_t k = 0; k < picked.size(); ++k) EXPECT_EQ(back[picked[k]], static_cast<int>(k));
    }
}
