/* Export and linkage macros shared by every public header of libquorm.
 *
 * Functions present in one build only are declared (and defined) inside
 *   #if QUORM_FULL_BUILD ... #endif      (full build only)
 *   #if QUORM_REDUCED_BUILD ... #endif   (reduced build only)
 */
#ifndef QUORM_QUORM_PLATFORM_H
#define QUORM_QUORM_PLATFORM_H

#include <quorm/quorm_config.h>

#include <stddef.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(__GNUC__)
#define QUORM_API __attribute__((visibility("default")))
#else
#define QUORM_API
#endif

#ifdef __cplusplus
#define QUORM_BEGIN_DECLS extern "C" {
#define QUORM_END_DECLS }
#else
#define QUORM_BEGIN_DECLS
#define QUORM_END_DECLS
#endif

#endif
