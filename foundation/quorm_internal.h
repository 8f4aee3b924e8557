// Private helpers shared by the library's sources (not installed).
#ifndef QUORM_INTERNAL_H
#define QUORM_INTERNAL_H

#include <corvex/corvex.h>
#include <quorm/quorm.h>

// Short names for the 3-D records in every build.
typedef quorm_point3 Point3;
typedef quorm_vector3 Vector3;

// True while argument checks, assertions and diagnostic notes are on.
inline bool quorm_checking() { return MACH__checking_level > 0; }

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
