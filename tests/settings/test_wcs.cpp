// The work coordinate system: mappings, spherical coordinates, the
// constructions that set or compose with it, its display status callback,
// and the pending display list.
#include "settings/settings_fixture.h"

#include <corvex/capture.hpp>
#include <corvex/exception.hpp>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using Kaltor::Corvex::MessageCapture;

namespace {

const double pi = 3.141592653589793;

using WcsTest = SettingsTest;

// A random right-handed ortho-normal frame, from a unit quaternion.
MTX3_s random_frame(std::mt19937 &rng) {
    std::normal_distribution<double> n(0.0, 1.0);
    double w = n(rng), x = n(rng), y = n(rng), z = n(rng);
    double s = 1.0 / std::sqrt(w * w + x * x + y * y + z * z);
    w *= s, x *= s, y *= s, z *= s;
    return MTX3_s{{1 - 2 * (y * y + z * z), 2 * (x * y + w * z), 2 * (x * z - w * y), 2 * (x * y - w * z),
                   1 - 2 * (x * x + z * z), 2 * (y * z + w * x), 2 * (x * z + w * y), 2 * (y * z - w * x),
                   1 - 2 * (x * x + y * y)}};
}

void expect_near3(const double *a, const double *b, double tol) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], tol) << "component " << i;
}

// What the display function has been handed.
std::vector<std::vector<int>> shown;
void record_display(int count, const int *ids) { shown.emplace_back(ids, ids + count); }

// What the display-status listeners have been handed.
std::vector<std::pair<int, int>> heard;
void record_status(int reason, void *data) { heard.emplace_back(reason, *static_cast<int *>(data)); }

} // namespace

TEST_F(WcsTest, MappingsAreInversePairsForRandomFrames) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(-100.0, 100.0);
    for (int trial = 0; trial < 200; ++trial) {
        MTX3_s m = random_frame(rng);
        double origin[3] = {u(rng), u(rng), u(rng)};
        int status = 0;
        v6060(&m, origin, &status);
        ASSERT_EQ(status, 1);

        double p[3] = {u(rng), u(rng), u(rng)}, w[3], back[3];
        mapvaw(p, w);
        mapvwa(w, back);
        expect_near3(back, p, 1e-12);
        mappaw(p, w);
        mappwa(w, back);
        expect_near3(back, p, 1e-12);

        // The older names are the same mappings, and every output may be its input.
        double q[3] = {p[0], p[1], p[2]}, r[3];
        map13(q, r);
        expect_near3(r, w, 0.0);
        m511(q, q);
        expect_near3(q, w, 0.0);
        map12(q, q);
        expect_near3(q, back, 0.0);
        map11(p, r);
        mapvaw(p, w);
        expect_near3(r, w, 0.0);
        map10(r, r);
        expect_near3(r, p, 1e-12);
    }
    // The origin and the tip of the X axis land where they should.
    double x_tip[3], local[3];
    for (int i = 0; i < 3; ++i) x_tip[i] = acom.wcs_origin[i] + acom.wcs_matrix.elem[i];
    const double zero[3] = {0, 0, 0}, unit_x[3] = {1, 0, 0};
    mappaw(acom.wcs_origin, local);
    expect_near3(local, zero, 1e-13);
    mappaw(x_tip, local);
    expect_near3(local, unit_x, 1e-13);
}

TEST_F(WcsTest, ConstructionsStoreIntoAndComposeWithTheWcs) {
    std::mt19937 rng(7);
    MTX3_s wcs = random_frame(rng);
    double wcs_origin[3] = {1, -2, 3};
    int status = 0;
    v6060(&wcs, wcs_origin, &status);
    ASSERT_EQ(status, 1);
    MTX3_s copy;
    double copy_origin[3];
    v6051(&copy, copy_origin);
    expect_near3(copy_origin, wcs_origin, 0.0);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(copy.elem[i], wcs.elem[i]);

    // A frame given in WCS terms: a point's local coordinates l in it are the
    // same in the composed absolute frame.
    MTX3_s local = random_frame(rng);
    double local_origin[3] = {4, 5, -6}, l[3] = {0.5, -1.5, 2.0};
    MTX3_s composed;
    double composed_origin[3];
    v6066(&local, local_origin, &composed, composed_origin, &status);
    ASSERT_EQ(status, 1);
    double in_wcs[3], expected[3], got[3];
    for (int j = 0; j < 3; ++j)
        in_wcs[j] = local_origin[j] + local.elem[j] * l[0] + local.elem[3 + j] * l[1] + local.elem[6 + j] * l[2];
    mappwa(in_wcs, expected);
    for (int j = 0; j < 3; ++j)
        got[j] = composed_origin[j] + composed.elem[j] * l[0] + composed.elem[3 + j] * l[1] +
                 composed.elem[6 + j] * l[2];
    expect_near3(got, expected, 1e-12);
    // Written in place over its inputs, the result is the same.
    v6066(&local, local_origin, &local, local_origin, &status);
    ASSERT_EQ(status, 1);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(local.elem[i], composed.elem[i]);
    expect_near3(local_origin, composed_origin, 0.0);

    // Refused: a scaled, a left-handed and a NaN matrix, an infinite origin.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    MTX3_s scaled = wcs, left = wcs, with_nan = wcs;
    for (double &e : scaled.elem) e *= 1.0 + 1e-12;
    for (int j = 6; j < 9; ++j) left.elem[j] = -left.elem[j];
    with_nan.elem[4] = nan;
    double far_origin[3] = {0, std::numeric_limits<double>::infinity(), 0};
    for (const MTX3_s *m : {&scaled, &left, &with_nan}) {
        status = 0;
        v6060(m, wcs_origin, &status);
        EXPECT_EQ(status, 2);
        status = 0;
        v6066(m, wcs_origin, &composed, composed_origin, &status);
        EXPECT_EQ(status, 2);
    }
    v6060(&wcs, far_origin, &status);
    EXPECT_EQ(status, 2);
    expect_near3(acom.wcs_origin, wcs_origin, 0.0);
    // Composing with the all-zero WCS of a fresh block fails too.
    acom.wcs_matrix = MTX3_s{};
    v6066(&wcs, wcs_origin, &composed, composed_origin, &status);
    EXPECT_EQ(status, 2);

    // v6054: the point becomes the origin, its height along the Z axis is kept.
    double p[3] = {3, 4, 12};
    v6054(p, &wcs);
    expect_near3(acom.wcs_origin, p, 0.0);
    EXPECT_NEAR(acom.v6054_z, wcs.elem[6] * 3 + wcs.elem[7] * 4 + wcs.elem[8] * 12, 1e-14);
}

TEST_F(WcsTest, SphericalCoordinatesRoundTripAndStayInRange) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    for (int trial = 0; trial < 500; ++trial) {
        double p[3] = {u(rng), u(rng), u(rng)}, s[3], back[3];
        map22(p, s);
        EXPECT_GE(s[1], 0.0);
        EXPECT_LT(s[1], 2 * pi);
        EXPECT_GE(s[2], 0.0);
        EXPECT_LE(s[2], pi);
        map23(s, back);
        expect_near3(back, p, 1e-12);
    }
    // Just below the +X axis the azimuth would round up to 2*pi.
    double s[3];
    for (double y : {-1e-20, -1e-300, -4e-17}) {
        double p[3] = {1.0, y, 0.0};
        map22(p, s);
        EXPECT_GE(s[1], 0.0);
        EXPECT_LT(s[1], 2 * pi) << y;
    }
    // The origin, the axes and negative zeros.
    struct Case {
        double p[3], s[3];
    } cases[] = {{{0, 0, 0}, {0, 0, 0}},
                 {{-0.0, -0.0, -0.0}, {0, 0, 0}},
                 {{0, 0, -2}, {2, 0, pi}},
                 {{-0.0, 0, 5}, {5, 0, 0}},
                 {{-1, 0, 0}, {1, pi, pi / 2}},
                 {{0, -3, 0}, {3, 1.5 * pi, pi / 2}},
                 {{1e-200, 1e-200, 1e-200}, {std::sqrt(3.0) * 1e-200, pi / 4, std::acos(1 / std::sqrt(3.0))}},
                 {{-1e200, 0, 1e200}, {std::sqrt(2.0) * 1e200, pi, pi / 4}}};
    for (const Case &c : cases) {
        map22(c.p, s);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(s[i], c.s[i], 1e-15 * (1 + std::fabs(c.s[i]))) << c.p[0] << " " << i;
    }
    // In place.
    const double given[3] = {1, 1, 0};
    double q[3] = {1, 1, 0};
    map22(q, q);
    map23(q, q);
    expect_near3(q, given, 1e-15);
}

TEST_F(WcsTest, DisplayStatusCallsTheListenersWithTheSystemReason) {
    const int reason = ZEV_REASON_ask_reason_number(2);
    heard.clear();
    ASSERT_EQ(CALLBACK_register(reason, record_status), 1);
    WCS_set_wcs_display(1);
    EXPECT_TRUE(WCS_is_temporary());
    WCS_set_wcs_display(0);
    EXPECT_EQ(WCS_ask_wcs_display(), 0);
    try {
        WCS_set_wcs_display(2);
        ADD_FAILURE() << "status 2 accepted";
    } catch (const Kaltor::Error::Severe &e) {
        EXPECT_EQ(e.message(), "display_status == 0 || display_status == 1");
    }
    EXPECT_EQ(WCS_ask_wcs_display(), 0);
    CALLBACK_unregister(reason, record_status);
    EXPECT_EQ(heard, (std::vector<std::pair<int, int>>{{reason, 1}, {reason, 0}}));
}

TEST_F(WcsTest, PendingDisplayFlushesAtTheLimitAndRemovesEveryOccurrence) {
    shown.clear();
    d7390();
    MCS_register_display_fn(record_display);
    for (int id = 1; id <= ACOM_PENDING_DISPLAY_MAX; ++id) d7391(&id);
    EXPECT_TRUE(shown.empty());
    int id = 513;
    d7391(&id);
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].size(), 512u);
    EXPECT_EQ(shown[0].front(), 1);
    EXPECT_EQ(shown[0].back(), 512);
    EXPECT_EQ(acom.pending_display_count, 1);
    EXPECT_EQ(acom.pending_display[0], 513);

    for (int v : {7, 513, 8, 7}) d7391(&v);
    id = 513;
    a406(&id);
    d7392();
    d7392(); // empty: not shown
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], (std::vector<int>{7, 8, 7}));

    for (int v : {1, 2}) d7391(&v);
    d7390();
    d7392();
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(WcsTest, PendingDisplayWithoutAFunctionOrWithACorruptCount) {
    // Nothing registered: flushing drops the items instead of calling null.
    for (int id = 0; id < 600; ++id) d7391(&id);
    EXPECT_EQ(acom.pending_display_count, 600 - 512);
    d7392();
    EXPECT_EQ(acom.pending_display_count, 0);

    // A count outside the list, as the host might leave it, never leads to a
    // read or write outside the entries.
    shown.clear();
    MCS_register_display_fn(record_display);
    MACH__checking_level = 0;
    int id = 9;
    acom.pending_display_count = 1 << 20;
    d7391(&id);
    EXPECT_EQ(acom.pending_display_count, 1);
    EXPECT_EQ(acom.pending_display[0], 9);
    acom.pending_display_count = -4;
    d7391(&id);
    EXPECT_EQ(acom.pending_display_count, 1);
    acom.pending_display_count = 100000;
    a406(&id);
    EXPECT_LE(acom.pending_display_count, ACOM_PENDING_DISPLAY_MAX);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].size(), 512u);

    MACH__checking_level = 1;
    MessageCapture capture(true);
    acom.pending_display_count = -1;
    d7392();
    EXPECT_EQ(capture.internals(), (std::vector<std::string>{"Invalid pending display count -1\n"}));
    EXPECT_EQ(shown.size(), 1u);
}
