// A fixture that gives each settings test the block, the checking level and
// the display function back as it found them.
#ifndef QUORM_TESTS_SETTINGS_FIXTURE_H
#define QUORM_TESTS_SETTINGS_FIXTURE_H

#include <quorm/quorm.h>

#include <gtest/gtest.h>

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_acom_ = acom;
        saved_pxsfac_ = pxsfac;
        saved_level_ = MACH__checking_level;
        saved_display_fn_ = MCS_register_display_fn(nullptr);
    }
    void TearDown() override {
        acom = saved_acom_;
        pxsfac = saved_pxsfac_;
        MACH__checking_level = saved_level_;
        MCS_register_display_fn(saved_display_fn_);
    }

  private:
    acom_s saved_acom_;
    PXSFACTYP saved_pxsfac_;
    int saved_level_ = 1;
    MCS_display_fn_t saved_display_fn_ = nullptr;
};

#endif
