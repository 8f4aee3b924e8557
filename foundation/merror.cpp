// The one-slot error register.
#include "foundation/quorm_internal.h"

namespace {
int g_error_number = 0;
int g_error_level = 0;
} // namespace

extern "C" {

QUORM_API void merrorpush(char *message, int number, int level) {
    (void)message; // the message is not kept
    g_error_number = number;
    g_error_level = level;
}

QUORM_API int merrorflush(void) {
    g_error_number = 0;
    g_error_level = 0;
    return 0;
}

QUORM_API int merrornum(void) { return g_error_number; }

QUORM_API int merrorlevel(void) { return g_error_level; }

} // extern "C"
