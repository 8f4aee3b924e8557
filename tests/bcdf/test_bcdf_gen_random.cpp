// Long random editing sequences on defining-data records, with the record's
// invariants checked after every operation and no block leaked at the end.
#include "bcdf/bcdf_edit_util.hpp"

#include <corvex/capture.hpp>

#include <random>

using namespace bcdf_test;
using Kaltor::Corvex::MessageCapture;

namespace {

struct Editor {
    std::mt19937 rng;
    BCDF_s *b = nullptr;

    explicit Editor(unsigned seed) : rng(seed) {}

    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); } // inclusive
    int n() const { return count(b->points); }
    int dim() const { return b->points->dimension; }

    void vector3(double v[3]) {
        do {
            for (int k = 0; k < 3; ++k) v[k] = uniform(-2.0, 2.0);
        } while (v[0] * v[0] + v[1] * v[1] + v[2] * v[2] < 0.01);
    }

    // Points along a wandering path: consecutive points never coincide.
    void create() {
        BCDF_free_structure(b);
        const int count = pick(2, 12);
        const int d = pick(0, 3) == 0 ? 4 : 3;
        std::vector<double> c;
        double x = 0, y = 0, z = 0;
        for (int i = 0; i < count; ++i) {
            x += uniform(0.5, 2.0);
            y += uniform(-1.0, 1.0);
            z += uniform(-1.0, 1.0);
            const double w = d == 4 ? uniform(0.5, 2.0) : 1.0;
            c.insert(c.end(), {x * w, y * w, z * w});
            if (d == 4) c.push_back(w);
        }
        if (pick(0, 3) == 0) {
            // From lists: slopes at some points, given with the parameters
            // the record will compute, and no point parameters.
            std::vector<double> t(static_cast<size_t>(count)), sv, sp;
            BCDF_CALC_parameters(count, d, c.data(), 1.0, false, t.data());
            for (int i = 0; i < count; ++i)
                if (pick(0, 2) == 0) {
                    double v[3];
                    vector3(v);
                    sv.insert(sv.end(), {v[0], v[1], v[2]});
                    sp.push_back(t[static_cast<size_t>(i)]);
                }
            PNTLST_s *slopes = sv.empty() ? nullptr : list(sv, 3);
            PNTLST_s *pars = sp.empty() ? nullptr : list(sp, 1);
            b = bcdf_test::create(0, 4, pick(0, 3) == 0, list(c, d), nullptr, nullptr, slopes, pars, nullptr, nullptr,
                       nullptr, nullptr, nullptr);
        } else {
            b = make(c, d, pick(0, 3) == 0);
        }
        if (pick(0, 2) == 0) {
            int *ct = static_cast<int *>(SM_alloc(static_cast<size_t>(count) * sizeof(int)));
            for (int i = 0; i < count; ++i) ct[i] = pick(0, 1);
            BCDF_add_constraint_type_array(b, ct);
        }
        b->algorithm_version = pick(0, 2);
        b->order = pick(2, 6);
    }

    void step(int op) {
        const int np = n();
        double v[4];
        vector3(v);
        switch (op) {
        case 0:
            create();
            break;
        case 1: { // move a point to somewhere between its neighbours
            const int i = pick(0, np - 1);
            double p[4];
            BCDF_copy_single_3d_point(b, i, p);
            for (int k = 0; k < 3; ++k) p[k] += uniform(-0.1, 0.1);
            p[3] = uniform(0.5, 2.0);
            if (pick(0, 1)) {
                for (int k = 0; k < 3; ++k) p[k] *= p[3];
                BCDF_replace_defining_point(b, p, i, 4);
            } else {
                BCDF_replace_defining_point(b, p, i, 3);
            }
            break;
        }
        case 2:
            if (np > 2) {
                const int c = pick(1, std::min(3, np - 2));
                BCDF_remove_defining_points(b, pick(0, np - c), c);
            }
            break;
        case 3:
            BCDF_replace_slope(b, v, pick(0, np - 1), pick(0, 5));
            break;
        case 4:
            BCDF_change_slope(b, pick(0, 6), v, pick(0, np - 1));
            break;
        case 5:
            BCDF_replace_curvature(b, v, pick(0, np - 1), pick(0, 1));
            break;
        case 6:
            BCDF_change_curvature(b, pick(0, 2), v, pick(0, np - 1), uniform(0.5, 5.0));
            break;
        case 7:
            BCDF_remove_slopes(b, pick(-1, 4), pick(0, 3));
            break;
        case 8:
            BCDF_remove_curvatures(b, pick(-1, 4), pick(0, 3));
            break;
#if QUORM_FULL_BUILD
        case 9:
            BCDF_replace_curvature_deriv(b, v, pick(0, np - 1), pick(0, 3));
            break;
        case 10:
            BCDF_remove_curvature_derivs(b, pick(-1, 4), pick(0, 3));
            break;
#endif
        case 11:
            if (np >= 2) BCDF_toggle_periodicity(b);
            break;
        case 12:
            BCDF_convert_to_least_squares(b);
            break;
        case 13:
            if (pick(0, 1))
                BCDF_change_tolerance(b, uniform(0.0, 0.1));
            else
                BCDF_change_number_of_segments(b, pick(0, 4));
            break;
        case 14:
            BCDF_normalize_parameters(b);
            break;
        case 15:
            BCDF_unnormalize_parameters(b, uniform(0.5, 20.0));
            break;
        case 16:
            BCDF_add_params(b, nullptr);
            break;
        case 17:
            BCDF_update_slopes(b);
            break;
        case 18:
            BCDF_update_curvatures(b);
            break;
        case 19:
            BCDF_add_needed_slopes(b);
            break;
        case 20:
            BCDF_remove_interior_slopes(b);
            break;
        case 21:
            BCDF_make_least_squares_slopes(b);
            break;
        case 22:
            BCDF_scale_slopes(b, uniform(0.5, 2.0));
            break;
        case 23:
            if (dim() == 4) BCDF_convert_4d_to_3d(b);
            break;
        case 24: { // a copy is an independent record with equal contents
            BCDF_s *c = BCDF_copy_structure(b);
            EXPECT_EQ(values(c->points), values(b->points));
            EXPECT_EQ(values(c->slope_pars), values(b->slope_pars));
            BCDF_free_structure(b);
            b = c;
            break;
        }
        default:
            BCDF_check_defining_data(b);
            break;
        }
    }
};

TEST(BcdfEditRandom, InvariantsHoldThroughLongEditingSequences) {
    MessageCapture capture(/*internal_errors_return=*/true);
    const long before = CORVEX_blocks_in_use();
    long operations = 0;
    const int saved_level = MACH__checking_level;
    for (unsigned seed = 1; seed <= 500; ++seed) {
        // Every fifth sequence runs unchecked: nothing may break either.
        MACH__checking_level = seed % 5 == 0 ? 0 : saved_level;
        Editor e(seed);
        e.create();
        for (int k = 0; k < 200; ++k, ++operations) {
            const int op = e.pick(0, 26);
            int code = 0;
            try {
                e.step(op);
            } catch (const Kaltor::Error::Exception &err) {
                code = err.code();
            }
            // The only refusals of valid random edits: a zero slope to unitize.
            ASSERT_TRUE(code == 0 || code == 1005314) << "seed " << seed << " step " << k << " op " << op
                                                      << " code " << code;
            for (const std::string &m : capture.internals())
                ASSERT_TRUE(m == "Periodic Least Squares Curves Are Not Allowed" ||
                            m == "Point With Assigned Curvature Has No Slope")
                    << "seed " << seed << " step " << k << " op " << op << ": " << m;
            capture.clear();
            const std::string defect = invariant_defect(e.b);
            ASSERT_EQ(defect, "") << "seed " << seed << " step " << k << " op " << op;
        }
        BCDF_free_structure(e.b);
    }
    MACH__checking_level = saved_level;
    EXPECT_EQ(operations, 100000);
    EXPECT_EQ(CORVEX_blocks_in_use(), before);
}

} // namespace
