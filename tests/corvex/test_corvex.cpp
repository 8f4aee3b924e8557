// libcorvex: allocator, error classes and entry points, message capture,
// callbacks and the array routines.
#include <corvex/capture.hpp>
#include <corvex/corvex.h>
#include <corvex/exception.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

using Kaltor::Corvex::MessageCapture;
using Kaltor::Error::Exception;
using Kaltor::Error::Severe;

TEST(CorvexMemory, BlocksKnowTheirLengthAndAreReleased) {
    long before = CORVEX_blocks_in_use();
    char *p = static_cast<char *>(SM_alloc(37));
    EXPECT_EQ(SM_length(p), 37u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t), 0u);
    std::memset(p, 'a', 37);
    p = static_cast<char *>(SM_realloc(p, 1000));
    EXPECT_EQ(SM_length(p), 1000u);
    EXPECT_EQ(p[36], 'a');
    double *z = static_cast<double *>(SM_calloc(10, sizeof(double)));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(z[i], 0.0);
    EXPECT_EQ(CORVEX_blocks_in_use(), before + 2);
    SM_free(p);
    SM_free(z);
    SM_free(nullptr);
    EXPECT_EQ(CORVEX_blocks_in_use(), before);
    void *r = SM_realloc(nullptr, 8);
    EXPECT_EQ(SM_length(r), 8u);
    SM_free(r);
}

TEST(CorvexMemory, ExhaustionRaisesInsteadOfReturningNull) {
    try {
        SM_calloc(static_cast<size_t>(-1) / 2, 4);
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.code(), CORVEX_CODE_NO_MEMORY);
    }
    EXPECT_THROW(SM_alloc(static_cast<size_t>(-1) - 4), Exception);
}

TEST(CorvexMemory, PersistentPoolMayReturnNull) {
    size_t old = CORVEX_set_persistent_limit(100);
    void *a = SM_calloc_persistent(10, 8);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(static_cast<unsigned char *>(a)[79], 0);
    EXPECT_EQ(SM_calloc_persistent(5, 8), nullptr); // 80 + 40 > 100
    EXPECT_EQ(SM_calloc_persistent(static_cast<size_t>(-1), 16), nullptr);
    SM_free(a);
    void *b = SM_calloc_persistent(12, 8);
    EXPECT_NE(b, nullptr);
    SM_free(b);
    CORVEX_set_persistent_limit(old);
}

TEST(CorvexErrors, RaiseCarriesCodePlaceAndFormattedMessage) {
    try {
        ERROR_raise("vec3.cpp", 42, 17, "tried to %s null vector", "unitize");
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.code(), 17);
        EXPECT_EQ(e.file(), "vec3.cpp");
        EXPECT_EQ(e.line(), 42);
        EXPECT_EQ(e.message(), "tried to unitize null vector");
        EXPECT_STREQ(e.what(), "tried to unitize null vector");
        EXPECT_FALSE(e.isSevere());
    }
    std::string longer(1000, 'x');
    try {
        ERROR_raise("f", 1, 1, "%s", longer.c_str());
    } catch (const Exception &e) {
        EXPECT_EQ(e.message(), longer);
    }
}

TEST(CorvexErrors, InternalAndAssertionThrowSevere) {
    try {
        ERROR_internal("a.cpp", 3, "-ve tolerance: %g", -1.0);
        FAIL();
    } catch (const Severe &e) {
        EXPECT_EQ(e.code(), CORVEX_CODE_INTERNAL);
        EXPECT_EQ(e.message(), "-ve tolerance: -1");
    }
    try {
        ERROR_assertion_failed("b.cpp", 4, "%s", "count > 0");
        FAIL();
    } catch (const Severe &e) {
        EXPECT_EQ(e.code(), CORVEX_CODE_ASSERTION);
        EXPECT_EQ(e.message(), "count > 0");
        EXPECT_TRUE(e.isSevere());
    }
}

TEST(CorvexErrors, CaptureCollectsNotesLogsAndReturningInternalErrors) {
    {
        MessageCapture capture(true);
        ERROR_note("n.cpp", 7, "Invalid char_size %g\n", 0.0);
        ERROR_lprintf("line %d\n", 1);
        ERROR_internal("i.cpp", 9, "Invalid GCA(23) value %d\n", 7);
        ASSERT_EQ(capture.all().size(), 3u);
        EXPECT_EQ(capture.notes(), std::vector<std::string>{"Invalid char_size 0\n"});
        EXPECT_EQ(capture.all()[0].file, "n.cpp");
        EXPECT_EQ(capture.all()[0].line, 7);
        EXPECT_EQ(capture.log_text(), "line 1\n");
        EXPECT_EQ(capture.internals(), std::vector<std::string>{"Invalid GCA(23) value 7\n"});
    }
    // The capture is gone: internal errors throw again.
    EXPECT_THROW(ERROR_internal("i.cpp", 1, "x"), Severe);
}

TEST(CorvexErrors, ConvertAndReThrowKeepTheDynamicType) {
    Exception converted = Exception::Convert(std::runtime_error("boom"));
    EXPECT_EQ(converted.code(), CORVEX_CODE_STD_EXCEPTION);
    EXPECT_EQ(converted.message(), "boom");
    EXPECT_EQ(Exception::Convert(std::bad_alloc()).code(), CORVEX_CODE_NO_MEMORY);

    Severe severe(5, "s.cpp", 6, "bad");
    const std::exception &as_std = severe;
    Exception copy = Exception::Convert(as_std);
    EXPECT_EQ(copy.code(), 5);

    severe.addPlace("lsfit.cpp", 10, 0);
    ASSERT_EQ(severe.places().size(), 1u);
    EXPECT_EQ(severe.places()[0].file, "lsfit.cpp");
    const Exception &base = severe;
    try {
        base.reThrow();
    } catch (const Severe &e) {
        EXPECT_EQ(e.places().size(), 1u);
        EXPECT_EQ(e.message(), "bad");
    } catch (...) {
        FAIL() << "reThrow lost the dynamic type";
    }
}

TEST(CorvexErrors, SnprintfAlwaysTerminates) {
    char buf[20];
    int n = STR_snprintf(buf, sizeof buf, "%s", "0123456789012345678901234");
    EXPECT_EQ(n, 25);
    EXPECT_EQ(std::strlen(buf), 19u);
    EXPECT_EQ(STR_snprintf(buf, 0, "x"), 0);
}

namespace {
int g_calls = 0;
int g_last_value = 0;
void on_reason(int reason, void *data) {
    ++g_calls;
    g_last_value = *static_cast<int *>(data) + reason;
}
} // namespace

TEST(CorvexCallbacks, RegisteredFunctionsAreCalledWithTheData) {
    int reason = ZEV_REASON_ask_reason_number(2);
    EXPECT_EQ(reason, CORVEX_REASON_BASE + 2);
    EXPECT_EQ(CALLBACK_register(reason, on_reason), 1);
    EXPECT_EQ(CALLBACK_register(reason, on_reason), 0);
    int value = 1;
    CALLBACK_call_list(reason, &value);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_last_value, 1 + reason);
    CALLBACK_call_list(reason + 1, &value);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(CALLBACK_unregister(reason, on_reason), 1);
    CALLBACK_call_list(reason, &value);
    EXPECT_EQ(g_calls, 1);
}

TEST(CorvexArrays, MovfAndTheWorkStack) {
    double a[5] = {1, 2, 3, 4, 5};
    double b[5] = {0, 0, 0, 0, 0};
    int n = 3;
    movf(&n, a, b);
    EXPECT_EQ(b[2], 3.0);
    EXPECT_EQ(b[3], 0.0);
    n = 4;
    movf(&n, a, a + 1); // overlapping
    EXPECT_EQ(a[4], 4.0);

    double x[2] = {7, 8}, y[3] = {9, 10, 11};
    int n2 = 2, n3 = 3;
    int depth = CORVEX_work_stack_depth();
    wf256(&n2, x);
    wf256(&n3, y);
    double out[3] = {0, 0, 0};
    wf266(&n3, out);
    EXPECT_EQ(out[2], 11.0);
    wf266(&n2, out);
    EXPECT_EQ(out[0], 7.0);
    EXPECT_EQ(out[1], 8.0);
    EXPECT_EQ(CORVEX_work_stack_depth(), depth);
    EXPECT_THROW(wf266(&n2, out), Severe);
    // A count that does not match the saved block copies no more than was saved.
    wf256(&n2, x);
    MessageCapture capture(true);
    double big[3] = {0, 0, -1};
    wf266(&n3, big);
    EXPECT_EQ(big[1], 8.0);
    EXPECT_EQ(big[2], -1.0);
    EXPECT_EQ(capture.internals().size(), 1u);
}

TEST(CorvexChecking, DefaultLevelIsOne) { EXPECT_EQ(MACH__checking_level, 1); }
