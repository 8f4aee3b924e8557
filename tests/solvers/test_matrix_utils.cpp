// Matrix utilities in the row-pointer and flat forms.
#include "solvers/dense.hpp"

#include <corvex/exception.hpp>

#include <gtest/gtest.h>

using quorm_test::Dense;

TEST(MatrixUtils, AllocationOverOwnOrGivenData) {
    long blocks = CORVEX_blocks_in_use();
    double *data = nullptr;
    double **m = NR_2d_matrix_allo(3, 5, &data);
    ASSERT_NE(data, nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m[i], data + 5 * i);
    NR_2d_matrix_identity(m, 3);  // 3x3 within 3x5 rows
    EXPECT_EQ(data[0], 1.0);
    EXPECT_EQ(data[6], 1.0);
    EXPECT_EQ(data[5], 0.0);
    SM_free(m);
    SM_free(data);

    double own[6];
    double *given = own;
    double **r = NR_2d_matrix_allo(2, 3, &given);
    EXPECT_EQ(given, own);
    EXPECT_EQ(r[1], own + 3);
    SM_free(r);
    EXPECT_EQ(CORVEX_blocks_in_use(), blocks);
}

TEST(MatrixUtils, CopiesZerosAndTriangles) {
    std::mt19937 rng(4);
    Dense a = Dense::random(3, 4, rng), b(3, 4), c(3, 4);
    NR_matrix_copy_2d_to_1d(a.ptr(), 3, 4, b.flat());
    EXPECT_EQ(b.data, a.data);
    NR_matrix_copy_1d_to_2d(b.flat(), 3, 4, c.ptr());
    EXPECT_EQ(c.data, a.data);
    NR_2d_matrix_init_zero(c.ptr(), 3, 4);
    NR_matrix_2d_as_1d_init_zero(b.flat(), 3, 4);
    EXPECT_EQ(c.data, std::vector<double>(12, 0.0));
    EXPECT_EQ(b.data, std::vector<double>(12, 0.0));

    Dense s = Dense::random(4, 4, rng), ut = s, lt = s, id(4, 4);
    NR_matrix_2d_as_1d_init_zero_ut(ut.flat(), 4);
    NR_matrix_2d_as_1d_init_zero_lt(lt.flat(), 4);
    NR_matrix_2d_as_1d_identity(id.flat(), 4);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(ut.at(i, j), j > i ? 0.0 : s.at(i, j));
            EXPECT_EQ(lt.at(i, j), j < i ? 0.0 : s.at(i, j));
            EXPECT_EQ(id.at(i, j), i == j ? 1.0 : 0.0);
        }
}

TEST(MatrixUtils, ProductsAndTransposes) {
    std::mt19937 rng(8);
    for (int r : {1, 3, 6})
        for (int k : {1, 2, 5})
            for (int c : {1, 4, 7}) {
                Dense a = Dense::random(r, k, rng), b = Dense::random(k, c, rng), p(r, c), q(r, c);
                NR_2d_matrix_product_of_2(a.ptr(), b.ptr(), r, k, c, p.ptr());
                NR_matrix_2d_as_1d_product_of_2(a.flat(), b.flat(), r, k, c, q.flat());
                for (int i = 0; i < r; ++i)
                    for (int j = 0; j < c; ++j) {
                        double s = 0.0;
                        for (int l = 0; l < k; ++l) s += a.at(i, l) * b.at(l, j);
                        EXPECT_EQ(p.at(i, j), s);
                        EXPECT_EQ(q.at(i, j), s);
                    }
            }

    Dense t = Dense::random(5, 5, rng), u = t, v = t;
    NR_2d_matrix_nxn_transp(u.ptr(), 5);
    NR_matrix_2d_as_1d_nxn_transp(v.flat(), 5);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            EXPECT_EQ(u.at(i, j), t.at(j, i));
            EXPECT_EQ(v.at(i, j), t.at(j, i));
        }
}

TEST(MatrixUtils, NegativeCountsAndAliasedProduct) {
    Dense a = Dense::identity(2), out(2, 2);
    EXPECT_THROW(NR_matrix_2d_as_1d_init_zero(a.flat(), -1, 2), Kaltor::Error::Exception);
    EXPECT_THROW(NR_2d_matrix_product_of_2(a.ptr(), a.ptr(), 2, 2, 2, a.ptr()), Kaltor::Error::Exception);
    const int saved = MACH__checking_level;
    MACH__checking_level = 0;
    NR_matrix_2d_as_1d_init_zero(a.flat(), -1, 2);  // nothing written
    NR_2d_matrix_identity(a.ptr(), -3);
    out.at(0, 0) = 5.0;
    NR_2d_matrix_product_of_2(a.ptr(), a.ptr(), 2, -1, 2, out.ptr());
    NR_matrix_2d_as_1d_product_of_2(a.flat(), a.flat(), 2, 2, -4, out.flat());
    MACH__checking_level = saved;
    EXPECT_EQ(a.data, Dense::identity(2).data);
    EXPECT_EQ(out.at(0, 0), 5.0);
}
