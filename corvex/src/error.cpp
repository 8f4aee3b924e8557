// Error reporting: the exception classes, the ERROR_ entry points, the
// message sink and the global checking level.
#include <corvex/corvex.h>
#include <corvex/exception.hpp>

#include <cstdarg>
#include <cstdio>
#include <new>
#include <string>
#include <utility>

extern "C" {
CORVEX_API int MACH__checking_level = 1;
}

namespace {

void default_sink(void *, CORVEX_message_kind_t kind, const char *file, int line, const char *text) {
    switch (kind) {
    case CORVEX_MESSAGE_NOTE:
        std::fprintf(stderr, "note (%s:%d): %s\n", file, line, text);
        break;
    case CORVEX_MESSAGE_INTERNAL:
        std::fprintf(stderr, "internal error (%s:%d): %s\n", file, line, text);
        break;
    case CORVEX_MESSAGE_LOG:
        std::fputs(text, stderr);
        break;
    }
}

CORVEX_message_sink_t g_sink = default_sink;
void *g_sink_context = nullptr;
int g_internal_errors_return = 0;

std::string vformat(const char *format, va_list args) {
    if (!format) return std::string();
    va_list copy;
    va_copy(copy, args);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return std::string(format);
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

const char *safe_file(const char *file) { return file ? file : ""; }

} // namespace

namespace Kaltor {
namespace Error {

Exception::Exception() : code_(0), line_(0) {}

Exception::Exception(int code, const char *file, int line, std::string message)
    : code_(code), file_(safe_file(file)), line_(line), message_(std::move(message)) {}

Exception::~Exception() noexcept = default;

const char *Exception::what() const noexcept { return message_.c_str(); }

void Exception::addPlace(const char *file, int line, int flags) {
    places_.push_back(Place{safe_file(file), line, flags});
}

void Exception::reThrow() const { throw *this; }

Exception Exception::Convert(const std::exception &e) {
    if (const Exception *own = dynamic_cast<const Exception *>(&e)) return *own;
    if (dynamic_cast<const std::bad_alloc *>(&e)) return Exception(CORVEX_CODE_NO_MEMORY, "", 0, e.what());
    return Exception(CORVEX_CODE_STD_EXCEPTION, "", 0, e.what());
}

Severe::Severe() = default;
Severe::Severe(int code, const char *file, int line, std::string message)
    : Exception(code, file, line, std::move(message)) {}
Severe::Severe(const Exception &e) : Exception(e) {}
Severe::~Severe() noexcept = default;
void Severe::reThrow() const { throw *this; }

} // namespace Error
} // namespace Kaltor

extern "C" {

CORVEX_API void ERROR_raise(const char *file, int line, int code, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = vformat(format, args);
    va_end(args);
    throw Kaltor::Error::Exception(code, file, line, std::move(message));
}

CORVEX_API void ERROR_internal(const char *file, int line, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = vformat(format, args);
    va_end(args);
    if (g_internal_errors_return) {
        g_sink(g_sink_context, CORVEX_MESSAGE_INTERNAL, safe_file(file), line, message.c_str());
        return;
    }
    throw Kaltor::Error::Severe(CORVEX_CODE_INTERNAL, file, line, std::move(message));
}

CORVEX_API void ERROR_assertion_failed(const char *file, int line, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = vformat(format, args);
    va_end(args);
    throw Kaltor::Error::Severe(CORVEX_CODE_ASSERTION, file, line, std::move(message));
}

CORVEX_API void ERROR_note(const char *file, int line, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = vformat(format, args);
    va_end(args);
    g_sink(g_sink_context, CORVEX_MESSAGE_NOTE, safe_file(file), line, message.c_str());
}

CORVEX_API void ERROR_lprintf(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = vformat(format, args);
    va_end(args);
    g_sink(g_sink_context, CORVEX_MESSAGE_LOG, "", 0, message.c_str());
}

CORVEX_API int STR_snprintf(char *buffer, size_t size, const char *format, ...) {
    if (!buffer || size == 0) return 0;
    // No format writes the empty string.
    if (!format) {
        buffer[0] = '\0';
        return 0;
    }
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, size, format, args);
    va_end(args);
    if (n < 0) buffer[0] = '\0';
    buffer[size - 1] = '\0';
    return n;
}

CORVEX_API void CORVEX_set_message_sink(CORVEX_message_sink_t sink, void *context, CORVEX_message_sink_t *old_sink,
                                        void **old_context) {
    if (old_sink) *old_sink = g_sink == default_sink ? nullptr : g_sink;
    if (old_context) *old_context = g_sink_context;
    g_sink = sink ? sink : default_sink;
    g_sink_context = sink ? context : nullptr;
}

CORVEX_API int CORVEX_set_internal_errors_return(int on) {
    int old = g_internal_errors_return;
    g_internal_errors_return = on ? 1 : 0;
    return old;
}

} // extern "C"
