// Private helpers shared by the library's sources (not installed).
#ifndef QUORM_INTERNAL_H
#define QUORM_INTERNAL_H

#include <corvex/corvex.h>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <cmath>
#include <exception>

// Short names for the 3-D records in every build.
typedef quorm_point3 Point3;
typedef quorm_vector3 Vector3;

// True while argument checks, assertions and diagnostic notes are on.
inline bool quorm_checking() { return MACH__checking_level > 0; }

namespace quorm {

// The exponent e that brings the largest |element| of row[0..n-1] into
// [0.5, 1) when multiplied by 2^-e; 0 for a zero or non-finite row.
inline int row_exponent(const double *row, int n) {
    double big = 0.0;
    for (int k = 0; k < n; ++k) big = std::fmax(big, std::fabs(row[k]));
    int e = 0;
    if (big != 0.0 && std::isfinite(big)) std::frexp(big, &e);
    return e;
}

// x * 2^-e, exactly unless the result under- or overflows.  The factor is
// applied in two halves: 2^-e alone lies outside the double range for the
// exponents of subnormal numbers.
inline double times_pow2(double x, int e) {
    return x * std::ldexp(1.0, -e / 2) * std::ldexp(1.0, -e - (-e / 2));
}

// Runs body(); if it fails, adds this place to the error, runs cleanup()
// (which frees what body had built so far) and passes the error on.  Any
// standard exception leaves as a Kaltor::Error::Exception.  This is the
// handling of routines that own temporaries.
template <typename Body, typename Cleanup>
void run_or_clean_up(const char *file, int line, Body body, Cleanup cleanup) {
    try {
        body();
    } catch (Kaltor::Error::Exception &err) {
        err.addPlace(file, line, 0);
        cleanup();
        throw;
    } catch (const std::exception &other) {
        Kaltor::Error::Exception err = Kaltor::Error::Exception::Convert(other);
        err.addPlace(file, line, 0);
        cleanup();
        err.reThrow();
    }
}

} // namespace quorm

// Asserts cond while checking is on; the message is the condition's source
// text exactly as written here.
#define QUORM_ASSERT(cond)                                                                                   \
    do {                                                                                                     \
        if (MACH__checking_level > 0 && !(cond)) ERROR_assertion_failed(__FILE__, __LINE__, "%s", #cond);  \
    } while (0)

// Same, with the assertion text given explicitly (for texts whose spacing
// differs from the code).
#define QUORM_ASSERT_TEXT(cond, text)                                                                        \
    do {                                                                                                     \
        if (MACH__checking_level > 0 && !(cond)) ERROR_assertion_failed(__FILE__, __LINE__, "%s", text);   \
    } while (0)

#endif
