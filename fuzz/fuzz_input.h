// Shared decoding for the libFuzzer harnesses: turns the fuzzer's bytes into
// counts, flags and doubles (ordinary values and the awkward ones: NaN,
// infinities, subnormals, huge and tiny magnitudes), runs calls at checking
// level 0 or 1 with the library's documented exceptions treated as
// expected outcomes, and checks cheap truths.
#ifndef QUORM_FUZZ_INPUT_H
#define QUORM_FUZZ_INPUT_H

#include <quorm/quorm.h>

#include <corvex/exception.hpp>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace fuzz {

class Input {
  public:
    Input(const uint8_t *data, size_t size) : p_(data), n_(size) {}

    bool empty() const { return n_ == 0; }
    uint8_t byte() {
        if (n_ == 0) return 0;
        --n_;
        return *p_++;
    }
    // An int in [lo, hi].
    int range(int lo, int hi) { return lo + static_cast<int>(byte() % static_cast<unsigned>(hi - lo + 1)); }
    bool flag() { return byte() & 1; }

    // A double: one of the awkward values, a small integer, a scaled
    // ordinary value, or eight raw bytes.
    double number() {
        static const double special[] = {0.0,     -0.0,    1.0,      -1.0,    0.5,      2.0,
                                         1e-10,   -1e-10,  1e-160,   5e-324,  DBL_MIN,  1e10,
                                         1e19,    1e100,   DBL_MAX,  -DBL_MAX, INFINITY, -INFINITY,
                                         NAN,     1e-300,  1e300,    3.0,     -7.0,     0.1};
        const uint8_t kind = byte();
        if (kind < 96) return special[kind % (sizeof special / sizeof special[0])];
        if (kind < 160) return static_cast<double>(static_cast<int8_t>(byte()));
        if (kind < 224) {
            const int high = byte(), low = byte();
            const double mantissa = static_cast<int16_t>(high << 8 | low) / 4096.0;
            return std::ldexp(mantissa, static_cast<int8_t>(byte()) * 4);
        }
        double d = 0.0;
        uint8_t raw[8];
        for (uint8_t &b : raw) b = byte();
        std::memcpy(&d, raw, sizeof d);
        return d;
    }
    void numbers(double *out, int count) {
        for (int i = 0; i < count; ++i) out[i] = number();
    }

  private:
    const uint8_t *p_;
    size_t n_;
};

inline void quiet_sink(void *, CORVEX_message_kind_t, const char *, int, const char *) {}

// Sets the checking level for one input and silences the library's
// messages (internal errors return, so that what follows them is exercised).
inline int begin(Input &in) {
    static bool once = false;
    if (!once) {
        CORVEX_set_message_sink(quiet_sink, nullptr, nullptr, nullptr);
        once = true;
    }
    CORVEX_set_internal_errors_return(1);
    MACH__checking_level = in.range(0, 1);
    return MACH__checking_level;
}

// Runs f.  A raised error is a documented outcome at any level; a failed
// assertion or internal error only while checking.  Returns true when f
// returned normally.
template <class F> bool run(F f) {
    try {
        f();
        return true;
    } catch (const Kaltor::Error::Severe &e) {
        if (MACH__checking_level == 0) {
            std::fprintf(stderr, "severe error at checking level 0: %s\n", e.what());
            std::abort();
        }
    } catch (const Kaltor::Error::Exception &) {
    }
    return false;
}

[[noreturn]] inline void fail(const char *what) {
    std::fprintf(stderr, "broken truth: %s\n", what);
    std::abort();
}
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) ::fuzz::fail(#cond);                                                                    \
    } while (0)

// Every element finite in IEEE terms.
inline bool finite(const double *a, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(a[i])) return false;
    return true;
}
// Every element zero or of magnitude in [lo, hi]: values whose products and
// sums a check can form without overflow or loss.
inline bool moderate(const double *a, int n, double lo = 1e-100, double hi = 1e100) {
    for (int i = 0; i < n; ++i) {
        const double m = std::fabs(a[i]);
        if (!(m == 0.0 || (m >= lo && m <= hi))) return false;
    }
    return true;
}

} // namespace fuzz

#endif
