/* Numbered vector routines and coordinate-system constructions (vunt2, vunt3, vcru3, v60xx). */
#ifndef QUORM_VEC_NUMBERED_H
#define QUORM_VEC_NUMBERED_H

#include <quorm/records.h>

QUORM_BEGIN_DECLS

QUORM_END_DECLS

#endif
