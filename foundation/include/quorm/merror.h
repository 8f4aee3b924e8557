/** @file
 * The library's one-slot error register: a number and a level, both 0 at
 * load.  A push overwrites the previous values; the message is not kept.
 * Families that push (the banded solvers, with level 4) have their callers
 * test merrorlevel after each step and call merrorflush before returning. */
#ifndef QUORM_MERROR_H
#define QUORM_MERROR_H

#include <quorm/quorm_platform.h>

QUORM_BEGIN_DECLS

/** Stores number and level, replacing the previous ones.  message is not
 * read or kept. */
QUORM_API void merrorpush(char *message, int number, int level);
/** Clears number and level; returns 0. */
QUORM_API int merrorflush(void);
/** The number of the last push; 0 at load and after merrorflush. */
QUORM_API int merrornum(void);
/** The level of the last push; 0 at load and after merrorflush. */
QUORM_API int merrorlevel(void);

QUORM_END_DECLS

#endif
