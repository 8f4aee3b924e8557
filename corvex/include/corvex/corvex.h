/*
 * libcorvex: system services for libquorm and its host.
 *
 * Memory, error reporting, the global checking level, callback lists and a
 * few array routines.  The header compiles as C99 and as C++.
 *
 * Errors.  ERROR_raise and ERROR_assertion_failed never return: they throw
 * Kaltor::Error::Exception (ERROR_raise, carrying the caller's code) or
 * Kaltor::Error::Severe (ERROR_assertion_failed, code CORVEX_CODE_ASSERTION).
 * ERROR_internal throws Kaltor::Error::Severe (code CORVEX_CODE_INTERNAL)
 * unless the host has asked for internal errors to be recorded and to return
 * (CORVEX_set_internal_errors_return); the library is written so that it
 * carries on sensibly in that case.  See <corvex/exception.hpp>.
 *
 * Messages.  Notes (ERROR_note), log lines (ERROR_lprintf) and internal
 * errors that return are handed to the message sink.  The default sink writes
 * them to standard error; CORVEX_set_message_sink installs another one (tests
 * capture messages this way, see Kaltor::Corvex::MessageCapture).
 *
 * Checking level.  MACH__checking_level starts at 1: argument checks,
 * assertions and diagnostic notes are on.  A host that wants the unchecked
 * fast path sets it to 0.
 */
#ifndef CORVEX_CORVEX_H
#define CORVEX_CORVEX_H

#include <stddef.h>

#if defined(__GNUC__)
#define CORVEX_API __attribute__((visibility("default")))
#define CORVEX_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define CORVEX_API
#define CORVEX_PRINTF(fmt, args)
#endif

#if defined(__cplusplus)
#define CORVEX_NORETURN [[noreturn]]
#elif defined(__GNUC__)
#define CORVEX_NORETURN __attribute__((__noreturn__))
#else
#define CORVEX_NORETURN
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Codes carried by the exceptions that libcorvex raises itself. */
#define CORVEX_CODE_NO_MEMORY 9001     /* an allocation could not be satisfied */
#define CORVEX_CODE_INTERNAL 9002      /* ERROR_internal                       */
#define CORVEX_CODE_ASSERTION 9003     /* ERROR_assertion_failed               */
#define CORVEX_CODE_STD_EXCEPTION 9004 /* a std::exception converted by Convert */

/* ---- Memory ------------------------------------------------------------
 * Every block carries its size.  SM_alloc, SM_calloc and SM_realloc never
 * return null: exhaustion (or a size that overflows) raises
 * CORVEX_CODE_NO_MEMORY.  SM_free accepts null and blocks of every allocator.
 * SM_calloc_persistent returns null when the persistent pool cannot satisfy
 * the request (see CORVEX_set_persistent_limit). */
CORVEX_API void *SM_alloc(size_t size);
CORVEX_API void *SM_calloc(size_t count, size_t size);
CORVEX_API void *SM_realloc(void *block, size_t size);
CORVEX_API void SM_free(void *block);
CORVEX_API size_t SM_length(const void *block);
CORVEX_API void *SM_calloc_persistent(size_t count, size_t size);

/* Caps the bytes the persistent pool may hold at once (default: no cap, which
 * is (size_t)-1) and returns the previous cap. */
CORVEX_API size_t CORVEX_set_persistent_limit(size_t bytes);
/* Number of blocks currently allocated through SM_ (all pools). */
CORVEX_API long CORVEX_blocks_in_use(void);

/* ---- Errors ------------------------------------------------------------ */
CORVEX_NORETURN CORVEX_API void ERROR_raise(const char *file, int line, int code, const char *format, ...)
    CORVEX_PRINTF(4, 5);
CORVEX_API void ERROR_internal(const char *file, int line, const char *format, ...) CORVEX_PRINTF(3, 4);
CORVEX_NORETURN CORVEX_API void ERROR_assertion_failed(const char *file, int line, const char *format, ...)
    CORVEX_PRINTF(3, 4);
CORVEX_API void ERROR_note(const char *file, int line, const char *format, ...) CORVEX_PRINTF(3, 4);
CORVEX_API void ERROR_lprintf(const char *format, ...) CORVEX_PRINTF(1, 2);
/* vsnprintf that always terminates the buffer (when size > 0). */
CORVEX_API int STR_snprintf(char *buffer, size_t size, const char *format, ...) CORVEX_PRINTF(3, 4);

/* Global checking level: checks run while it is above 0.  Default 1. */
CORVEX_API extern int MACH__checking_level;

typedef enum CORVEX_message_kind_e {
    CORVEX_MESSAGE_NOTE = 1,    /* ERROR_note                                  */
    CORVEX_MESSAGE_LOG = 2,     /* ERROR_lprintf (text exactly as formatted)    */
    CORVEX_MESSAGE_INTERNAL = 3 /* ERROR_internal while internal errors return */
} CORVEX_message_kind_t;

typedef void (*CORVEX_message_sink_t)(void *context, CORVEX_message_kind_t kind, const char *file, int line,
                                      const char *text);

/* Installs a message sink (null restores the default, standard error).  The
 * previous sink and context are stored through the last two arguments when
 * they are not null. */
CORVEX_API void CORVEX_set_message_sink(CORVEX_message_sink_t sink, void *context, CORVEX_message_sink_t *old_sink,
                                        void **old_context);
/* With on != 0, ERROR_internal hands its message to the sink and returns
 * instead of throwing.  Returns the previous setting. */
CORVEX_API int CORVEX_set_internal_errors_return(int on);

/* ---- Callbacks -----------------------------------------------------------
 * Functions are registered per system reason number and called in the order
 * of registration.  The local reasons of the library map to system numbers
 * CORVEX_REASON_BASE + local reason. */
#define CORVEX_REASON_BASE 1000
typedef void (*CALLBACK_fn_t)(int reason, void *data);
/* Returns 1 when registered, 0 when fn was already registered for reason. */
CORVEX_API int CALLBACK_register(int reason, CALLBACK_fn_t fn);
/* Returns 1 when removed, 0 when it was not registered. */
CORVEX_API int CALLBACK_unregister(int reason, CALLBACK_fn_t fn);
CORVEX_API void CALLBACK_call_list(int reason, void *data);
CORVEX_API int ZEV_REASON_ask_reason_number(int local_reason);

/* ---- Array routines (counts by pointer) --------------------------------
 * movf copies *n doubles (the ranges may overlap); wf256 pushes *n doubles on
 * a last-in-first-out work stack; wf266 pops the latest block into x.  A count
 * of 0 or less does nothing. */
CORVEX_API void movf(const int *n, const double *from, double *to);
CORVEX_API void wf256(const int *n, const double *x);
CORVEX_API void wf266(const int *n, double *x);
/* Number of blocks saved by wf256 and not yet taken back. */
CORVEX_API int CORVEX_work_stack_depth(void);

#ifdef __cplusplus
}
#endif

#endif
