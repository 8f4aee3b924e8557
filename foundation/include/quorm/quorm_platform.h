/** @file
 * Export and linkage macros shared by every public header of libquorm.
 *
 * Functions present in one build only are declared (and defined) inside
 * `#if QUORM_FULL_BUILD` ... `#endif` (full build only) or
 * `#if QUORM_REDUCED_BUILD` ... `#endif` (reduced build only).
 */
#ifndef QUORM_QUORM_PLATFORM_H
#define QUORM_QUORM_PLATFORM_H

#include <quorm/quorm_config.h>

#include <stddef.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

/** Marks an exported function: default symbol visibility with GCC-compatible
 * compilers, nothing elsewhere. */
#if defined(__GNUC__)
#define QUORM_API __attribute__((visibility("default")))
#else
#define QUORM_API
#endif

/** @{ */
/** Enclose the declarations of a header (QUORM_BEGIN_DECLS opens,
 * QUORM_END_DECLS closes): an extern "C" block in C++, so that every
 * function has C linkage; nothing in C. */
#ifdef __cplusplus
#define QUORM_BEGIN_DECLS extern "C" {
#define QUORM_END_DECLS }
#else
#define QUORM_BEGIN_DECLS
#define QUORM_END_DECLS
#endif
/** @} */

#endif
