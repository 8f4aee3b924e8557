// Settings accessors: their checks and reports, the flag bits the host reads
// directly, and the resets.
#include "settings/settings_fixture.h"

#include <corvex/capture.hpp>
#include <corvex/exception.hpp>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using Kaltor::Corvex::MessageCapture;

namespace {

// Runs fn, which must fail an assertion with exactly this text.
template <typename Fn> void expect_assertion(Fn fn, const std::string &text) {
    try {
        fn();
        ADD_FAILURE() << "no assertion: " << text;
    } catch (const Kaltor::Error::Severe &e) {
        EXPECT_EQ(e.code(), CORVEX_CODE_ASSERTION);
        EXPECT_EQ(e.message(), text);
    }
}

using AcomTest = SettingsTest;

} // namespace

// The only test that issues "Invalid char_size" notes: their limit is per
// process.
TEST_F(AcomTest, CharSizeRefusesTinyNanAndInfiniteSizesWithLimitedNotes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    MessageCapture capture;
    ACOM_set_name_display_char_size(2.5);
    EXPECT_EQ(ACOM_ask_name_display_char_size(), 2.5);
    ACOM_set_name_display_char_size(1e-10);
    EXPECT_EQ(ACOM_ask_name_display_char_size(), 1e-10);

    MACH__checking_level = 0;
    for (double bad : {0.0, nan, inf}) ACOM_set_name_display_char_size(bad);
    EXPECT_EQ(ACOM_ask_name_display_char_size(), 1e-10);
    EXPECT_TRUE(capture.notes().empty());

    MACH__checking_level = 1;
    for (double bad : {9e-11, -3.0, nan, inf, -inf}) ACOM_set_name_display_char_size(bad);
    EXPECT_EQ(ACOM_ask_name_display_char_size(), 1e-10);
    EXPECT_EQ(capture.notes(), (std::vector<std::string>{"Invalid char_size 9e-11\n", "Invalid char_size -3\n",
                                                         "Invalid char_size nan\n", "Invalid char_size inf\n",
                                                         "Invalid char_size -inf\n"}));
    for (int i = 0; i < 20; ++i) ACOM_set_name_display_char_size(0.0);
    EXPECT_EQ(capture.notes().size(), 10u);
}

#if QUORM_FULL_BUILD
TEST_F(AcomTest, ChainingMethodOutOfRange) {
    ACOM_set_chaining_method(ACOM_chaining_method_connected);
    EXPECT_EQ(ACOM_ask_chaining_method(), ACOM_chaining_method_connected);
    {
        MessageCapture capture(true);
        ACOM_set_chaining_method(0);
        ACOM_set_chaining_method(5);
        EXPECT_EQ(acom.chaining_method, 3);
        acom.chaining_method = 9;
        EXPECT_EQ(ACOM_ask_chaining_method(), ACOM_chaining_method_single);
        EXPECT_EQ(capture.internals(), (std::vector<std::string>{"Invalid chaining_method 0\n",
                                                                 "Invalid chaining_method 5\n",
                                                                 "Invalid GCA(23) value 9\n"}));
    }
    EXPECT_THROW(ACOM_ask_chaining_method(), Kaltor::Error::Severe);
    EXPECT_THROW(ACOM_set_chaining_method(-1), Kaltor::Error::Severe);
    EXPECT_EQ(acom.chaining_method, 9);

    MACH__checking_level = 0;
    EXPECT_EQ(ACOM_ask_chaining_method(), ACOM_chaining_method_single);
    ACOM_set_chaining_method(7);
    EXPECT_EQ(acom.chaining_method, 9);
}
#endif

TEST_F(AcomTest, SystemColourIsAssertedBothWays) {
    DISPLAY_set_system_color(DISPLAY_MAX_COLOR);
    EXPECT_EQ(DISPLAY_ask_system_color(), 216);
    expect_assertion([] { DISPLAY_set_system_color(0); }, "color >= DISPLAY_MIN_COLOR");
    expect_assertion([] { DISPLAY_set_system_color(217); }, "color <= DISPLAY_MAX_COLOR");
    EXPECT_EQ(acom.system_color, 216);
    acom.system_color = 0;
    expect_assertion([] { DISPLAY_ask_system_color(); }, "GCA(6) >= DISPLAY_MIN_COLOR");
    acom.system_color = 300;
    expect_assertion([] { DISPLAY_ask_system_color(); }, "GCA(6) <= DISPLAY_MAX_COLOR");

    MACH__checking_level = 0;
    DISPLAY_set_system_color(500);
    EXPECT_EQ(DISPLAY_ask_system_color(), 500);
}

TEST_F(AcomTest, ViewOfLastCursorRefusesNoView) {
    DISPLAY_set_view_of_last_cursor(4);
    expect_assertion([] { DISPLAY_set_view_of_last_cursor(DSS_NO_VIEW); }, "in_vsn != DSS_NO_VIEW");
    EXPECT_EQ(DISPLAY_ask_view_of_last_cursor(), 4);
}

TEST_F(AcomTest, GridCountsOutOfRangeReadAndStoreAsZero) {
    const int good[2] = {0, 10000};
    const int bad[2] = {-1, 10001};
    int out[2] = {7, 7};
    PX_set_default_face_grid_counts(good);
    PX_ask_default_face_grid_counts(out);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 10000);
    {
        MessageCapture capture(true);
        PX_set_default_face_grid_counts(bad);
        EXPECT_EQ(acom.face_grid_counts[0], 0);
        EXPECT_EQ(acom.face_grid_counts[1], 0);
        acom.face_grid_counts[0] = 20000;
        acom.face_grid_counts[1] = 5;
        PX_ask_default_face_grid_counts(out);
        EXPECT_EQ(out[0], 0);
        EXPECT_EQ(out[1], 5);
        EXPECT_EQ(capture.internals(), (std::vector<std::string>{"Invalid grid_counts[0] value -1\n",
                                                                 "Invalid grid_counts[1] value 10001\n",
                                                                 "Invalid GCA(17) value 20000\n"}));
    }
    // When the report throws, the bad counts have still not reached the block.
    const int bad_v[2] = {3, -8};
    EXPECT_THROW(PX_set_default_face_grid_counts(bad_v), Kaltor::Error::Severe);
    EXPECT_EQ(acom.face_grid_counts[0], 3);
    EXPECT_EQ(acom.face_grid_counts[1], 0);

    MessageCapture quiet(true);
    MACH__checking_level = 0;
    PX_set_default_face_grid_counts(bad);
    EXPECT_EQ(acom.face_grid_counts[1], 0);
    EXPECT_TRUE(quiet.internals().empty());
}

// The host reads these fields directly: the accessors must keep to the
// documented encodings and bits, and leave the other bits alone.
TEST_F(AcomTest, EncodingsSharedWithTheHost) {
    acom.display_flags = 0x70;
    acom.hatching_flags = 0x11;
    ACOM_set_ever_any_hatching(false);
    EXPECT_EQ(acom.hatching_flags, 0x15);
    EXPECT_FALSE(ACOM_ask_ever_any_hatching());
    ACOM_set_ever_any_hatching(true);
    EXPECT_EQ(acom.hatching_flags, 0x11);
    EXPECT_TRUE(ACOM_ask_ever_any_hatching());
#if QUORM_FULL_BUILD
    ACOM_set_select_only_in_work_view(false);
    DISPLAY_set_view_names_display(true);
    EXPECT_EQ(acom.display_flags, 0x7a);
    EXPECT_FALSE(ACOM_ask_select_only_in_work_view());
    EXPECT_FALSE(DISPLAY_ask_view_bounds_display());
    DISPLAY_set_view_bounds_display(true);
    DISPLAY_set_view_names_display(false);
    ACOM_set_select_only_in_work_view(true);
    EXPECT_EQ(acom.display_flags, 0x71);
    EXPECT_TRUE(DISPLAY_ask_view_bounds_display());

    ACOM_set_line_font_symbol_display(false);
    EXPECT_EQ(acom.line_font_symbol_display, 2);
    ACOM_set_in_trell(true);
    EXPECT_EQ(acom.in_trell, 1);
    EXPECT_EQ(intrell(), 1);
    acom.in_trell = 2;
    EXPECT_FALSE(ACOM_ask_in_trell());
#endif
    acom.batch_mode = 1;
    EXPECT_FALSE(TRELL_in_batch());
    acom.batch_mode = 2;
    EXPECT_TRUE(TRELL_in_batch());

    pxsfac.model_to_metres = 0.001;
    pxsfac.second_factor = 25.4;
    double a = 0.0, b = 0.0;
    pxsfac_read_pszev(&a, &b);
    EXPECT_EQ(a, 25.4);
    EXPECT_EQ(b, 0.001);
}

TEST_F(AcomTest, Sys10ResetsBothModesAndLeavesTheRest) {
    // Fill the whole block with a recognisable pattern.
    unsigned char *bytes = reinterpret_cast<unsigned char *>(&acom);
    for (size_t i = 0; i < sizeof acom; ++i) bytes[i] = 0x5a;
    const acom_s before = acom;

    int mode = 1;
    sys10(&mode);
    EXPECT_EQ(acom.v6054_z, -939.0);
    EXPECT_EQ(ACOM_ask_MEC(), -939.0);
    EXPECT_EQ(acom.name_char_size, -939.0);
    EXPECT_EQ(acom.host_doubles[15], -939.0);
    EXPECT_EQ(ACOM_ask_application(), -939);
    EXPECT_EQ(cu0007(), -939);
    EXPECT_EQ(ACOM_ask_MESW(), -939);
    EXPECT_EQ(DISPLAY_ask_system_color(), 1);
    int counts[2];
    PX_ask_default_face_grid_counts(counts);
    EXPECT_EQ(counts[0] + counts[1], 0);
    EXPECT_EQ(acom.display_flags, 0);
    EXPECT_FALSE(ACOM_ask_ever_any_hatching());
#if QUORM_FULL_BUILD
    EXPECT_EQ(ACOM_ask_chaining_method(), ACOM_chaining_method_single);
    EXPECT_TRUE(ACOM_ask_line_font_symbol_display());
    EXPECT_EQ(ACOM_ask_num_decimal_places_for_display(), 6);
#endif
    EXPECT_EQ(acom.decimal_places, 6);
    // Mode 1 keeps the session's running state.
    EXPECT_EQ(std::memcmp(&acom.wcs_matrix, &before.wcs_matrix, sizeof(double) * 12), 0);
    EXPECT_EQ(acom.pending_display_count, before.pending_display_count);
    EXPECT_EQ(acom.in_trell, before.in_trell);
    EXPECT_EQ(acom.host_wcs_state[11], before.host_wcs_state[11]);
    EXPECT_EQ(acom.batch_mode, before.batch_mode);
    EXPECT_EQ(acom.view_of_last_cursor, before.view_of_last_cursor);

    mode = 0;
    sys10(&mode);
    const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(acom.wcs_matrix.elem[i], identity[i]);
    for (double d : acom.wcs_origin) EXPECT_EQ(d, 0.0);
    EXPECT_EQ(acom.pending_display_count, 0);
    EXPECT_EQ(acom.batch_mode, 0);
    EXPECT_EQ(acom.view_of_last_cursor, 0);
    const int *run = &acom.in_trell;
    for (int i = 0; i < 21; ++i) EXPECT_EQ(run[i], 0) << i;
    EXPECT_EQ(acom.model_scale, -939.0);

    // Never touched: the tolerance table, the zevhost field, b120a's run.
    EXPECT_EQ(std::memcmp(acom.eq_tol, before.eq_tol, sizeof acom.eq_tol), 0);
    EXPECT_EQ(std::memcmp(acom.zevhost, before.zevhost, sizeof acom.zevhost), 0);
    EXPECT_EQ(std::memcmp(acom.host_b120a, before.host_b120a, sizeof acom.host_b120a), 0);

    b120a();
    for (int v : acom.host_b120a) EXPECT_EQ(v, 0);
    EXPECT_EQ(acom.view_of_last_cursor, 0);
    EXPECT_EQ(acom.mesw, -939);
}

#if QUORM_FULL_BUILD
TEST_F(AcomTest, InitZevhostSetsItsFieldAndUnregistersTheDisplayFunction) {
    for (int &v : acom.zevhost) v = 77;
    MCS_register_display_fn([](int, const int *) {});
    LIBQUORM_init_zevhost();
    for (int i = 0; i < ACOM_ZEVHOST_INTS; ++i) EXPECT_EQ(acom.zevhost[i], i == 0 ? 1 : i == 4 ? 512 : 0) << i;
    EXPECT_EQ(MCS_register_display_fn(nullptr), nullptr);
}
#endif
