// Polynomial and function roots: the closed forms and Laguerre against
// polynomials built from known roots, against GSL's solvers where it is
// installed, and Ridders' method on functions with known roots.
#include <corvex/capture.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#if QUORM_HAVE_GSL
#include <gsl/gsl_poly.h>
#endif

namespace {

using Roots = std::vector<double>;

// Coefficients (lowest first) of scale.prod(x - r_i).prod(x^2 - 2a.x + a^2 + b^2)
// over the real roots and complex pairs a +- ib.
std::vector<double> from_roots(const Roots &real, const std::vector<std::pair<double, double>> &pairs, double scale) {
    std::vector<double> c{scale};
    auto times = [&c](std::vector<double> f) {
        std::vector<double> out(c.size() + f.size() - 1, 0.0);
        for (size_t i = 0; i < c.size(); ++i)
            for (size_t j = 0; j < f.size(); ++j) out[i + j] += c[i] * f[j];
        c = out;
    };
    for (double r : real) times({-r, 1.0});
    for (auto p : pairs) times({p.first * p.first + p.second * p.second, -2.0 * p.first, 1.0});
    return c;
}

// Calls the solver for the degree (or SOLVE_polynomial) and returns the
// roots sorted.
Roots solve(const std::vector<double> &c, bool general) {
    double r[4] = {0, 0, 0, 0};
    const int degree = static_cast<int>(c.size()) - 1;
    int n = 0;
    if (general)
        n = SOLVE_polynomial(degree, c.data(), r);
    else if (degree == 2)
        n = SOLVE_quadratic(c.data(), r);
    else if (degree == 3)
        n = SOLVE_cubic(c.data(), r);
    else
        n = SOLVE_quartic(c.data(), r);
    Roots out(r, r + n);
    std::sort(out.begin(), out.end());
    return out;
}

// Each expected root matched in order by one found within tol.
::testing::AssertionResult same_roots(Roots found, Roots expected, double tol) {
    std::sort(expected.begin(), expected.end());
    if (found.size() != expected.size())
        return ::testing::AssertionFailure() << found.size() << " roots, expected " << expected.size();
    for (size_t i = 0; i < found.size(); ++i)
        if (!(std::fabs(found[i] - expected[i]) <= tol * std::max(1.0, std::fabs(expected[i]))))
            return ::testing::AssertionFailure() << "root " << found[i] << ", expected " << expected[i];
    return ::testing::AssertionSuccess();
}

double eval(const std::vector<double> &c, double x) {
    double s = 0.0;
    for (size_t j = c.size(); j-- > 0;) s = s * x + c[j];
    return s;
}

} // namespace

TEST(SolveRoots, ClosedFormsKeepTheirOrderAndDegenerateCases) {
    double r[4];
    const double q1[3] = {1, -2, 1}, q2[3] = {1, 0, 1}, q3[3] = {2, 4, 0};
    ASSERT_EQ(SOLVE_quadratic(q1, r), 2);
    EXPECT_EQ(r[0], 1.0);
    EXPECT_EQ(r[1], 1.0);
    EXPECT_EQ(SOLVE_quadratic(q2, r), 0);
    ASSERT_EQ(SOLVE_quadratic(q3, r), 1);
    EXPECT_EQ(r[0], -0.5);
    const double zero_line[3] = {1, 0, 0};
    EXPECT_EQ(SOLVE_quadratic(zero_line, r), 0);

    const double triple[4] = {-1, 3, -3, 1};
    ASSERT_EQ(SOLVE_cubic(triple, r), 3);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(r[k], 1.0, 1e-15);
    // Zero constant term: the quadratic's roots (2, then 1) followed by 0.
    const double c0[4] = {0, 2, -3, 1};
    ASSERT_EQ(SOLVE_cubic(c0, r), 3);
    EXPECT_DOUBLE_EQ(r[0], 2.0);
    EXPECT_DOUBLE_EQ(r[1], 1.0);
    EXPECT_EQ(r[2], 0.0);

    const double bq[5] = {4, 0, -5, 0, 1};
    ASSERT_EQ(SOLVE_quartic(bq, r), 4);
    EXPECT_DOUBLE_EQ(r[0], 2.0);
    EXPECT_DOUBLE_EQ(r[1], -2.0);
    EXPECT_DOUBLE_EQ(r[2], 1.0);
    EXPECT_DOUBLE_EQ(r[3], -1.0);
    const double no_real[5] = {1, 0, 2, 0, 1}; // (x^2 + 1)^2
    EXPECT_EQ(SOLVE_quartic(no_real, r), 0);
    const double quartic_c0[5] = {0, -6, 11, -6, 1}; // x(x-1)(x-2)(x-3)
    ASSERT_EQ(SOLVE_quartic(quartic_c0, r), 4);
    EXPECT_EQ(r[3], 0.0);

    const double constant[3] = {3, 0, 0};
    EXPECT_EQ(SOLVE_polynomial(2, constant, r), 0);
    EXPECT_EQ(SOLVE_polynomial(0, constant, r), 0);
}

// Laguerre from x = 0 meets p' = p'' = 0 on these; it must still converge.
TEST(SolveRoots, LaguerreLeavesAStationaryStart) {
    Kaltor::Corvex::MessageCapture capture(true);
    EXPECT_TRUE(same_roots(solve({-8, 0, 0, 1}, true), {2}, 1e-12));
    EXPECT_TRUE(same_roots(solve({-16, 0, 0, 0, 1}, true), {-2, 2}, 1e-12));
    EXPECT_TRUE(same_roots(solve({1, 0, 0, 1}, true), {-1}, 1e-12));
    const std::vector<double> p{-5, 0, 0, 3, 2};
    const Roots r = solve(p, true);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_NEAR(r[1], 1.0, 1e-12);
    for (double x : r) EXPECT_NEAR(eval(p, x), 0.0, 1e-12);
    EXPECT_TRUE(capture.internals().empty());
}

TEST(SolveRoots, DegreeAboveFourIsRefused) {
    Kaltor::Corvex::MessageCapture capture(true);
    const double c[6] = {1, 2, 3, 4, 5, 6};
    double r[5];
    EXPECT_EQ(SOLVE_polynomial(5, c, r), 0);
    ASSERT_EQ(capture.internals().size(), 1u);
    EXPECT_EQ(capture.internals()[0], "Degree is too large in SOLVE_polynomial())!!!\n");
}

// Polynomials from known roots: simple, double, triple, clustered and with
// complex pairs, leading coefficients from 1e-6 to 1e6, through every entry
// point.  Simple roots come back to 1e-10, a double root to about the square
// root of the rounding, a triple one to its cube root.
TEST(SolveRoots, RecoverKnownRootsWithTheirMultiplicities) {
    std::mt19937 rng(15);
    std::uniform_real_distribution<double> u(-3.0, 3.0), expo(-6.0, 6.0);
    int checked = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const int kind = trial % 8;
        const double scale = std::pow(10.0, expo(rng));
        const double a = u(rng), b = u(rng), c = u(rng);
        Roots real;
        std::vector<std::pair<double, double>> pairs;
        double tol = 1e-10;
        switch (kind) {
        case 0: real = {a, b}; break;
        case 1: real = {a, b, c}; break;
        case 2: real = {a, b, c, u(rng)}; break;
        case 3: real = {a, a, b}; tol = 1e-6; break;
        case 4: real = {a, a, b, c}; tol = 1e-6; break;
        case 5: real = {a, a, a, b}; tol = 2e-4; break;
        case 6: real = {a, a + 1e-3, b}; tol = 1e-9; break;
        default: real = {a, b}; pairs = {{c, 0.5 + std::fabs(u(rng))}}; break;
        }
        if (kind == 0 || kind == 1 || kind == 2 || kind == 6 || kind == 7) {
            // Keep simple roots apart so that 1e-10 is within their conditioning.
            Roots s = real;
            std::sort(s.begin(), s.end());
            bool apart = true;
            for (size_t i = 1; i < s.size(); ++i) apart = apart && s[i] - s[i - 1] > (kind == 6 ? 9e-4 : 0.05);
            // A third root near the pair would make the cubic's discriminant
            // drown in its rounding: the closed form then sees a double root.
            if (!apart || (kind == 6 && std::fabs(b - a) < 0.5)) continue;
        }
        const std::vector<double> coeffs = from_roots(real, pairs, scale);
        for (bool general : {false, true}) {
            ::testing::Message trace;
            trace << "trial " << trial << (general ? " general" : " closed form") << " coefficients";
            for (double v : coeffs) trace << ' ' << ::testing::PrintToString(v);
            SCOPED_TRACE(trace);
            ASSERT_TRUE(same_roots(solve(coeffs, general), real, tol));
        }
        ++checked;
    }
    EXPECT_GT(checked, 2000);
}

#if QUORM_HAVE_GSL
// Random coefficients: the real roots of GSL's companion-matrix solver, when
// every root is well apart from the others and from the real axis, or on it.
TEST(SolveRoots, MatchGslOnRandomCoefficients) {
    std::mt19937 rng(1515);
    std::uniform_real_distribution<double> u(-1.0, 1.0), expo(-8.0, 8.0);
    struct Workspaces {
        gsl_poly_complex_workspace *w[5] = {nullptr, nullptr, gsl_poly_complex_workspace_alloc(3),
                                            gsl_poly_complex_workspace_alloc(4), gsl_poly_complex_workspace_alloc(5)};
        ~Workspaces() {
            for (int k = 2; k < 5; ++k) gsl_poly_complex_workspace_free(w[k]);
        }
    } ws;
    int compared = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        const int degree = 2 + trial % 3;
        const double scale = std::pow(10.0, expo(rng));
        std::vector<double> c(degree + 1);
        for (double &v : c) v = scale * u(rng);
        double z[8];
        gsl_poly_complex_solve(c.data(), degree + 1, ws.w[degree], z);
        Roots real;
        bool clear = true;
        for (int i = 0; i < degree; ++i) {
            const double re = z[2 * i], im = z[2 * i + 1], size = std::max(1.0, std::fabs(re));
            if (std::fabs(im) < 1e-12 * size)
                real.push_back(re);
            else if (std::fabs(im) < 1e-3 * size)
                clear = false;
            for (int j = 0; j < i; ++j)
                if (std::hypot(re - z[2 * j], im - z[2 * j + 1]) < 1e-3 * size) clear = false;
        }
        if (!clear) continue;
        for (bool general : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "trial " << trial << (general ? " general" : " closed form"));
            // The trigonometric form of the cubic loses accuracy for roots
            // close together (acos near +-1); Laguerre polishes.
            ASSERT_TRUE(same_roots(solve(c, general), real, degree == 3 && !general ? 1e-7 : 1e-10));
        }
        if (degree == 3) {
            double g[3];
            const int n = gsl_poly_solve_cubic(c[2] / c[3], c[1] / c[3], c[0] / c[3], &g[0], &g[1], &g[2]);
            if (n == static_cast<int>(real.size())) {
                EXPECT_TRUE(same_roots(solve(c, false), Roots(g, g + n), 1e-7));
            }
        }
        ++compared;
    }
    EXPECT_GT(compared, 2500);
}
#endif

namespace {
double cos_minus_x(double x, void *) { return std::cos(x) - x; }
double cube_minus_2(double x, void *) { return x * x * x - 2.0; }
double shifted_exp(double x, void *data) { return std::exp(x) - *static_cast<double *>(data); }
double x_x_minus_1(double x, void *) { return x * (x - 1.0); }
double not_a_number(double, void *) { return std::numeric_limits<double>::quiet_NaN(); }
double nan_inside(double x, void *) { return x == 0.0 ? -1.0 : x == 1.0 ? 1.0 : std::numeric_limits<double>::quiet_NaN(); }
double step(double x, void *) { return x < 0.3 ? -1.0 : 1.0; }
double tiny_line(double x, void *) { return 1e-160 * (x - 2.0); }
} // namespace

TEST(SolveFunctionRoot, RiddersFindsKnownRoots) {
    double root = 0.0, five = 5.0;
    int it = SOLVE_function_root(cos_minus_x, nullptr, 0.0, 1.0, 1e-14, &root);
    EXPECT_GE(it, 1);
    EXPECT_NEAR(root, 0.7390851332151607, 1e-13);
    it = SOLVE_function_root(cube_minus_2, nullptr, 2.0, 0.0, 1e-14, &root);
    EXPECT_GE(it, 1);
    EXPECT_NEAR(root, std::cbrt(2.0), 1e-13);
    it = SOLVE_function_root(shifted_exp, &five, -3.0, 4.0, 1e-14, &root);
    EXPECT_GE(it, 1);
    EXPECT_NEAR(root, std::log(5.0), 1e-13);
}

TEST(SolveFunctionRoot, FailuresAreReportedAndExactZerosKept) {
    double root = 7.0;
    EXPECT_EQ(SOLVE_function_root(cube_minus_2, nullptr, 2.0, 3.0, 1e-12, &root), -2);
    EXPECT_EQ(root, 7.0);
    // Zeros at x1 and at the midpoint: the midpoint's is returned.
    const int it = SOLVE_function_root(x_x_minus_1, nullptr, 0.0, 2.0, 1e-12, &root);
    EXPECT_GE(it, 1);
    EXPECT_EQ(x_x_minus_1(root, nullptr), 0.0);
    // Not-a-number values never pass as a root.
    root = 7.0;
    EXPECT_EQ(SOLVE_function_root(not_a_number, nullptr, 0.0, 1.0, 1e-12, &root), -2);
    EXPECT_EQ(root, 7.0);
    EXPECT_EQ(SOLVE_function_root(nan_inside, nullptr, 0.0, 1.0, 1e-12, &root), -1);
    // A tolerance beyond 1e20 still gives a root of the bracket, and values
    // whose squares underflow still step inside it.
    EXPECT_GE(SOLVE_function_root(cube_minus_2, nullptr, 0.0, 2.0, 1e300, &root), 1);
    EXPECT_GE(root, 0.0);
    EXPECT_LE(root, 2.0);
    EXPECT_GE(SOLVE_function_root(tiny_line, nullptr, 0.0, 6.0, 1e-14, &root), 1);
    EXPECT_NEAR(root, 2.0, 1e-13);
    // A jump instead of a root: the bracket shrinks but no step lands on it.
    EXPECT_EQ(SOLVE_function_root(step, nullptr, 0.0, 1.0, 0.0, &root), -1);
    EXPECT_GE(root, 0.0);
    EXPECT_LE(root, 1.0);
}
