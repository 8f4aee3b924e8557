/* The work coordinate system, its mappings and the pending display list. */
#ifndef QUORM_WCS_H
#define QUORM_WCS_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
