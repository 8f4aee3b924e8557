// Small pieces several test programs share: the text of a failed assertion,
// and fixtures that restore the checking level or the equality tolerances.
#ifndef QUORM_TESTS_TEST_SUPPORT_H
#define QUORM_TESTS_TEST_SUPPORT_H

#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace quorm_test {

// Runs f and returns the text of the assertion it fails ("" when none).
inline std::string assertion_text(const std::function<void()> &f) {
    try {
        f();
    } catch (const Kaltor::Error::Severe &e) {
        return e.message();
    }
    return "";
}

// Sets the checking level for one test and restores it afterwards.
class Checking : public ::testing::Test {
  protected:
    void SetUp() override { saved_ = MACH__checking_level; }
    void TearDown() override { MACH__checking_level = saved_; }
    int saved_ = 1;
};

// Gives each test the usual equality tolerances and the settings block back
// as it found them.
class EqualityTolerances : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = acom;
        acom.eq_tol[0] = 1e-10;
        acom.eq_tol[1] = 1e-8;
        acom.eq_tol[2] = 1e-16;
    }
    void TearDown() override { acom = saved_; }

  private:
    acom_s saved_;
};

} // namespace quorm_test

#endif
