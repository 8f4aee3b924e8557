// Ellipse residual and the Levenberg-Marquardt minimiser.
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#if QUORM_HAVE_CMINPACK
#include <cminpack.h>
#endif

#if QUORM_FULL_BUILD

namespace {

constexpr int kParams = 5;

// Work arrays and settings of one minimisation.
struct Minimisation {
    std::vector<PNT2_s> pts;
    std::vector<double> x, fvec, diag, fjac, qtf, wa1, wa2, wa3, wa4;
    std::vector<int> ipvt;
    double ftol = 1e-12, xtol = 1e-12, gtol = 0.0, epsfcn = 1e-12, factor = 100.0;
    int maxfev = 2000, mode = 1, nprint = 0, info = -99, nfev = -99;
    int n = kParams;

    Minimisation(std::vector<PNT2_s> points, std::vector<double> start) : pts(std::move(points)), x(std::move(start)) {
        n = static_cast<int>(x.size());
        const int m = static_cast<int>(pts.size());
        fvec.assign(m, 0.0);
        diag.assign(n, 1.0);
        fjac.assign(static_cast<size_t>(m) * n, 0.0);
        qtf.assign(n, 0.0);
        wa1.assign(n, 0.0);
        wa2.assign(n, 0.0);
        wa3.assign(n, 0.0);
        wa4.assign(m, 0.0);
        ipvt.assign(n, 0);
    }
    int m() const { return static_cast<int>(pts.size()); }
    double minimise(int m_arg, int n_arg, int ldfjac) {
        return LSFIT_nonlinear_function(pts.data(), m_arg, n_arg, x.data(), fvec.data(), ftol, xtol, gtol, maxfev,
                                        epsfcn, diag.data(), mode, factor, nprint, &info, &nfev, fjac.data(), ldfjac,
                                        ipvt.data(), qtf.data(), wa1.data(), wa2.data(), wa3.data(), wa4.data());
    }
    double minimise() { return minimise(m(), n, m()); }
};

// Conic coefficients (b, c, d, e, f), normalised to a unit X^2 coefficient,
// of the ellipse with centre (cx, cy), semi-axes A, B and the A axis at angle
// theta.
std::vector<double> ellipse_conic(double cx, double cy, double A, double B, double theta) {
    const double cs = std::cos(theta), sn = std::sin(theta);
    const double ia = 1.0 / (A * A), ib = 1.0 / (B * B);
    const double q00 = cs * cs * ia + sn * sn * ib, q01 = cs * sn * (ia - ib), q11 = sn * sn * ia + cs * cs * ib;
    const double d = -(q00 * cx + q01 * cy), e = -(q01 * cx + q11 * cy);
    const double f = q00 * cx * cx + 2.0 * q01 * cx * cy + q11 * cy * cy - 1.0;
    return {q01 / q00, q11 / q00, d / q00, e / q00, f / q00};
}

std::vector<PNT2_s> ellipse_points(int count, double cx, double cy, double A, double B, double theta, double noise,
                                   std::mt19937 &rng) {
    std::uniform_real_distribution<double> angle(0.0, 2.0 * M_PI);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::vector<PNT2_s> pts(count);
    const double cs = std::cos(theta), sn = std::sin(theta);
    for (PNT2_s &p : pts) {
        const double t = angle(rng), u = A * std::cos(t), v = B * std::sin(t);
        p.x = cx + cs * u - sn * v + noise * gauss(rng);
        p.y = cy + sn * u + cs * v + noise * gauss(rng);
    }
    return pts;
}

} // namespace

TEST(EllipseResidual, AlgebraicDistanceOfTheConic) {
    const double x[5] = {0.0, 4.0, 0.0, 0.0, -4.0}; // X^2 + 4Y^2 - 4 = 0
    const PNT2_s pts[4] = {{2.0, 0.0}, {0.0, 0.0}, {0.0, 1.0}, {1.0, 2.0}};
    double fvec[4] = {9, 9, 9, 9};
    LSFIT_ellipse_func(pts, 4, 5, x, fvec, nullptr);
    EXPECT_EQ(fvec[0], 0.0);
    EXPECT_EQ(fvec[1], -4.0);
    EXPECT_EQ(fvec[2], 0.0);
    EXPECT_EQ(fvec[3], 13.0);
    // Every coefficient enters: 1 + 2b + c + 2d + 2e + f at (1, 1).
    const double y[5] = {1.0, 2.0, 3.0, 4.0, 5.0};
    const PNT2_s one = {1.0, 1.0};
    LSFIT_ellipse_func(&one, 1, 5, y, fvec, nullptr);
    EXPECT_EQ(fvec[0], 1.0 + 2.0 + 2.0 + 6.0 + 8.0 + 5.0);
}

TEST(NonlinearLeastSquares, ImproperInputEvaluatesNothing) {
    std::mt19937 rng(3);
    const std::vector<double> start = ellipse_conic(0.3, -0.2, 2.0, 1.0, 0.4);
    struct Case {
        const char *what;
        int m, n, ld;
        double ftol, xtol, gtol;
        int maxfev;
        double factor;
        int mode;
        double diag0;
    };
    const Case cases[] = {
        {"m < n", 4, 5, 10, 0, 0, 0, 100, 100, 1, 1},
        {"n = 0", 10, 0, 10, 0, 0, 0, 100, 100, 1, 1},
        {"n < 0", 10, -1, 10, 0, 0, 0, 100, 100, 1, 1},
        {"n < 5 (the model reads five)", 10, 3, 10, 0, 0, 0, 100, 100, 1, 1},
        {"ldfjac < m", 10, 5, 9, 0, 0, 0, 100, 100, 1, 1},
        {"ftol < 0", 10, 5, 10, -1e-9, 0, 0, 100, 100, 1, 1},
        {"xtol < 0", 10, 5, 10, 0, -1e-9, 0, 100, 100, 1, 1},
        {"gtol < 0", 10, 5, 10, 0, 0, -1e-9, 100, 100, 1, 1},
        {"ftol NaN", 10, 5, 10, NAN, 0, 0, 100, 100, 1, 1},
        {"maxfev = 0", 10, 5, 10, 0, 0, 0, 0, 100, 1, 1},
        {"factor = 0", 10, 5, 10, 0, 0, 0, 100, 0, 1, 1},
        {"factor < 0", 10, 5, 10, 0, 0, 0, 100, -1, 1, 1},
        {"mode 2, diag 0", 10, 5, 10, 0, 0, 0, 100, 100, 2, 0},
    };
    for (const Case &c : cases) {
        Minimisation run(ellipse_points(10, 0, 0, 2, 1, 0, 0.01, rng), start);
        run.ftol = c.ftol;
        run.xtol = c.xtol;
        run.gtol = c.gtol;
        run.maxfev = c.maxfev;
        run.factor = c.factor;
        run.mode = c.mode;
        run.diag[0] = c.diag0;
        run.fvec.assign(10, 7.0);
        EXPECT_EQ(run.minimise(c.m, c.n, c.ld), 0.0) << c.what;
        EXPECT_EQ(run.info, 0) << c.what;
        EXPECT_EQ(run.nfev, 0) << c.what;
        EXPECT_EQ(run.x, start) << c.what;
        EXPECT_EQ(run.fvec, std::vector<double>(10, 7.0)) << c.what;
    }
}

TEST(NonlinearLeastSquares, ExactStartEndsAtOnceWithZeroGradient) {
    // Points on X^2/4 + Y^2 = 1 with representable coordinates, started on
    // the solution: the residual is exactly zero, so the run ends after the
    // first evaluation and one Jacobian, x untouched, even with gtol = 0.
    const std::vector<PNT2_s> pts = {{2, 0}, {-2, 0}, {0, 1}, {0, -1}, {1.2, 0.8}, {-1.2, 0.8}, {1.6, -0.6}};
    const std::vector<double> solution = {0.0, 4.0, 0.0, 0.0, -4.0};
    for (int nprint : {0, 1}) {
        Minimisation run(pts, solution);
        run.gtol = 0.0;
        run.nprint = nprint;
        EXPECT_EQ(run.minimise(), 0.0);
        EXPECT_EQ(run.info, 4);
        EXPECT_EQ(run.nfev, 6);
        EXPECT_EQ(run.x, solution);
        for (double r : run.fvec) EXPECT_EQ(r, 0.0);
    }
}

TEST(NonlinearLeastSquares, NaNDataNeverConvergesAndStopsWithinBudget) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 24; ++trial) {
        std::vector<PNT2_s> pts = ellipse_points(12, 0.5, 0.5, 3, 1.5, 0.3, trial % 2 ? 0.02 : 0.0, rng);
        pts[trial % 12].x = trial % 3 == 0 ? NAN : pts[trial % 12].x;
        pts[trial % 12].y = trial % 3 != 0 ? NAN : pts[trial % 12].y;
        const std::vector<double> start = ellipse_conic(0.4, 0.6, 2.5, 1.7, 0.1);
        Minimisation run(pts, start);
        run.mode = trial % 4 < 2 ? 1 : 2;
        run.maxfev = 20 + trial;
        run.gtol = trial % 2 ? 1e-3 : 0.0;
        run.ftol = trial % 5 == 0 ? 2.0 : 1e-10; // even a generous ftol must not pass
        const double norm = run.minimise();
        EXPECT_TRUE(run.info < 1 || run.info > 4) << trial << " info " << run.info;
        EXPECT_EQ(run.info, 5) << trial;
        EXPECT_LE(run.nfev, run.maxfev + run.n) << trial;
        EXPECT_GE(run.nfev, run.maxfev) << trial;
        EXPECT_EQ(run.x, start) << trial;
        EXPECT_TRUE(std::isnan(norm)) << trial;
    }
    // A point so far out that its residual overflows, and NaNs in the start,
    // behave the same.
    for (double far : {1e200, -1e170}) {
        std::vector<PNT2_s> pts = ellipse_points(12, 0, 0, 2, 1, 0, 0.0, rng);
        pts[3] = PNT2_s{far, 1.0};
        const std::vector<double> start = {0.1, 3.0, 0.2, 0.0, -4.0};
        Minimisation run(pts, start);
        run.maxfev = 40;
        run.minimise();
        EXPECT_TRUE(run.info < 1 || run.info > 4) << far << " info " << run.info;
        EXPECT_LE(run.nfev, 45);
        EXPECT_EQ(run.x, start);
    }
    Minimisation run(ellipse_points(12, 0, 0, 2, 1, 0, 0.0, rng), {0.0, 4.0, NAN, 0.0, -4.0});
    run.maxfev = 30;
    run.minimise();
    EXPECT_EQ(run.info, 5);
    EXPECT_LE(run.nfev, 35);
}

TEST(NonlinearLeastSquares, RecoversNoiseFreeEllipsesFromPerturbedStarts) {
    // Property: from a start within 20% of the coefficients, points exactly
    // on an ellipse give back its conic and a residual at rounding level.
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 100; ++trial) {
        const double cx = 2 * u(rng), cy = 2 * u(rng), A = 1.5 + u(rng), B = 0.6 + 0.3 * u(rng), th = 3 * u(rng);
        const std::vector<double> truth = ellipse_conic(cx, cy, A, B, th);
        std::vector<double> start = truth;
        for (double &v : start) v *= 1.0 + 0.2 * u(rng);
        Minimisation run(ellipse_points(15, cx, cy, A, B, th, 0.0, rng), start);
        const double norm = run.minimise();
        ASSERT_GE(run.info, 1) << trial;
        ASSERT_LE(run.info, 4) << trial;
        EXPECT_LT(norm, 1e-10) << trial;
        for (int j = 0; j < 5; ++j) EXPECT_NEAR(run.x[j], truth[j], 1e-8 * (1 + std::fabs(truth[j]))) << trial;
        // fvec holds the residuals of the returned x.
        std::vector<double> check(run.m());
        LSFIT_ellipse_func(run.pts.data(), run.m(), 5, run.x.data(), check.data(), nullptr);
        EXPECT_EQ(check, run.fvec) << trial;
    }
}

#if QUORM_HAVE_CMINPACK

namespace {

int cminpack_residual(void *p, int m, int n, const double *x, double *fvec, int /*iflag*/) {
    LSFIT_ellipse_func(static_cast<const PNT2_s *>(p), m, n, x, fvec, nullptr);
    return 0;
}

// The same run through the peer.
struct PeerResult {
    std::vector<double> x, fvec, diag;
    int info = 0, nfev = 0;
    double norm = 0;
};

PeerResult peer_minimise(const Minimisation &r) {
    PeerResult out;
    out.x = r.x;
    out.diag = r.diag;
    const int m = r.m(), n = r.n;
    out.fvec.assign(m, 0.0);
    std::vector<double> fjac(static_cast<size_t>(m) * n), qtf(n), w1(n), w2(n), w3(n), w4(m);
    std::vector<int> ipvt(n);
    out.info = lmdif(cminpack_residual, const_cast<PNT2_s *>(r.pts.data()), m, n, out.x.data(), out.fvec.data(),
                     r.ftol, r.xtol, r.gtol, r.maxfev, r.epsfcn, out.diag.data(), r.mode, r.factor, r.nprint,
                     &out.nfev, fjac.data(), m, ipvt.data(), qtf.data(), w1.data(), w2.data(), w3.data(), w4.data());
    out.norm = enorm(m, out.fvec.data());
    return out;
}

} // namespace

TEST(NonlinearLeastSquares, FollowsThePeerStepForStep) {
    // Noise-free and noisy ellipses, near-circles and sets with outliers,
    // each from seeded starts, with budgets that run out and with the
    // scaling of both modes: the same ending, the same number of
    // evaluations and the same solution.  The difference step is set above
    // the peer's machine epsilon (2.2e-16, ours 1.2e-16), so that both
    // difference the same points.
    {
        // An exact start: both end at once.
        Minimisation exact({{2, 0}, {-2, 0}, {0, 1}, {0, -1}, {1.2, 0.8}, {-1.2, 0.8}}, {0.0, 4.0, 0.0, 0.0, -4.0});
        const PeerResult peer = peer_minimise(exact);
        exact.minimise();
        EXPECT_EQ(exact.info, peer.info);
        EXPECT_EQ(exact.nfev, peer.nfev);
        EXPECT_EQ(exact.x, peer.x);
    }
    std::mt19937 rng(2026);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    int cases = 0, identical = 0, limited = 0, rescaled = 0, rescaled_identical = 0;
    double worst_rescaled = 0.0;
    for (int trial = 0; trial < 400; ++trial) {
        const int kind = trial % 4; // 0 exact, 1 noisy, 2 near-circle, 3 outliers
        // Some sets so small or so large that the norms take their scaled
        // branches for tiny and huge components.
        const double sc = trial % 8 == 6 ? 1e-11 : trial % 8 == 7 ? 1e9 : 1.0;
        const double cx = 5 * sc * u(rng), cy = 5 * sc * u(rng), th = 3 * u(rng);
        double A = sc * (1 + 2 * std::fabs(u(rng))), B = 0.3 * sc + 0.6 * std::fabs(u(rng)) * A;
        if (kind == 2) B = A * (1.0 + 1e-3 * u(rng));
        const int count = 6 + trial % 30;
        std::vector<PNT2_s> pts = ellipse_points(count, cx, cy, A, B, th, kind == 1 ? 0.02 * A : 0.0, rng);
        if (kind == 3)
            for (int k = 0; k < 1 + trial % 3; ++k) {
                pts[k].x += 2 * A * u(rng);
                pts[k].y += 2 * A * u(rng);
            }
        std::vector<double> start = ellipse_conic(cx, cy, A, B, th);
        for (double &v : start) v = v * (1.0 + 0.5 * u(rng)) + (sc == 1.0 ? 0.3 * u(rng) : 0.0);
        if (trial % 10 == 3) start.push_back(0.7); // a parameter the model ignores: a zero column
        Minimisation run(pts, start);
        run.mode = trial % 7 == 0 ? 2 : 1;
        if (run.mode == 2)
            for (double &d : run.diag) d = 0.5 + std::fabs(u(rng));
        run.maxfev = trial % 5 == 0 ? 3 + trial % 40 : 1000;
        run.factor = trial % 3 == 0 ? 1.0 : 100.0;
        run.ftol = trial % 2 ? 1e-10 : 1e-14;
        run.xtol = trial % 3 ? 1e-10 : 1e-15;
        run.gtol = trial % 11 == 0 ? 1e-6 : 0.0;
        if (trial % 9 == 4) run.ftol = run.xtol = 0.0; // ends on the machine-precision tests
        run.epsfcn = trial % 2 ? 1e-12 : 3e-16;
        run.nprint = trial % 13 == 0 ? 2 : 0;
        const bool precision_limited = run.ftol == 0.0 && run.xtol == 0.0;
        const PeerResult peer = peer_minimise(run);
        const double norm = run.minimise();
        // Differences measured in the units of each coefficient.
        const double unit[6] = {1.0, 1.0, sc, sc, sc * sc, 1.0};
        double worst = 0.0;
        for (int j = 0; j < run.n; ++j)
            worst = std::fmax(worst, std::fabs(run.x[j] - peer.x[j]) / (unit[j] + std::fabs(peer.x[j])));
        if (sc != 1.0) {
            // Residuals beyond the norm's thresholds (3.834e-20 and
            // 1.304e19 / m) are summed in scaled form here; the peer's
            // thresholds lie much further out and it sums them plainly.  The
            // norms then differ in the last digit, the paths diverge, and the
            // solutions agree to the convergence tolerances.
            ++rescaled;
            if (run.x == peer.x && run.info == peer.info && run.nfev == peer.nfev) ++rescaled_identical;
            if (run.maxfev >= 1000) {
                EXPECT_EQ(run.info >= 1 && run.info <= 4, peer.info >= 1 && peer.info <= 4) << trial;
            }
            EXPECT_LT(worst, 1e-6) << trial;
            worst_rescaled = std::fmax(worst_rescaled, worst);
            continue;
        }
        if (precision_limited && run.info == 5 && peer.info >= 6) {
            // Still stepping when the budget ran out: same solution below.
        } else {
            EXPECT_EQ(run.info, peer.info) << trial;
        }
        EXPECT_LT(worst, 1e-10) << trial;
        EXPECT_NEAR(norm, peer.norm, 1e-10 * (1 + peer.norm)) << trial;
        if (precision_limited) {
            // With zero tolerances the run ends on the machine-precision
            // tests, whose epsilon is the smaller here: it may take a few
            // more steps to get there, never fewer (and may use up its
            // budget first).
            ++limited;
            EXPECT_GE(run.nfev, peer.nfev) << trial;
            continue;
        }
        ++cases;
        EXPECT_EQ(run.nfev, peer.nfev) << trial;
        if (run.x == peer.x && run.info == peer.info && run.nfev == peer.nfev && run.diag == peer.diag) ++identical;
    }
    RecordProperty("cases", cases);
    RecordProperty("bit_identical", identical);
    RecordProperty("precision_limited", limited);
    RecordProperty("rescaled", rescaled);
    RecordProperty("rescaled_identical", rescaled_identical);
    RecordProperty("worst_rescaled_e12", static_cast<int>(worst_rescaled * 1e12));
    EXPECT_EQ(identical, cases);
    EXPECT_GT(limited, 0);
}

#endif // QUORM_HAVE_CMINPACK

#endif // QUORM_FULL_BUILD

#if QUORM_HAVE_CMINPACK && QUORM_FULL_BUILD
TEST(NonlinearLeastSquares, DefaultDifferenceStepReachesThePeersSolution) {
    // With epsfcn = 0 the difference step is the square root of the machine
    // epsilon, 1.2e-16 here and 2.2e-16 in the peer: the Jacobians differ in
    // their eighth digit and so may the paths.  Where the residual vanishes
    // at the solution (noise-free points) both reach the same solution; with
    // noise, each stops where its own approximate gradient vanishes, which
    // moves the solution by the Jacobian's error times the residual.
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    double worst_exact = 0.0, worst_noisy = 0.0;
    for (int trial = 0; trial < 200; ++trial) {
        const bool noisy = trial % 2 == 1;
        const double cx = 3 * u(rng), cy = 3 * u(rng), th = 3 * u(rng), A = 1 + std::fabs(u(rng));
        const double B = A * (0.3 + 0.6 * std::fabs(u(rng)));
        std::vector<double> start = ellipse_conic(cx, cy, A, B, th);
        for (double &v : start) v = v * (1.0 + 0.3 * u(rng)) + 0.1 * u(rng);
        Minimisation run(ellipse_points(10 + trial % 20, cx, cy, A, B, th, noisy ? 0.01 * A : 0.0, rng), start);
        run.epsfcn = 0.0;
        run.ftol = run.xtol = 1e-14;
        const PeerResult peer = peer_minimise(run);
        run.minimise();
        ASSERT_GE(run.info, 1);
        ASSERT_LE(run.info, 4);
        double &worst = noisy ? worst_noisy : worst_exact;
        for (int j = 0; j < 5; ++j)
            worst = std::fmax(worst, std::fabs(run.x[j] - peer.x[j]) / (1 + std::fabs(peer.x[j])));
    }
    EXPECT_LT(worst_exact, 1e-10);
    EXPECT_LT(worst_noisy, 1e-6);
}
#endif
