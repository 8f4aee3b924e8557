/* Planes (PLN3_). */
#ifndef QUORM_PLN3_H
#define QUORM_PLN3_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
