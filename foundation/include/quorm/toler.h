/** @file
 * Tolerance services.
 *
 * The distance and angular tolerances are the first two doubles of the
 * exported block srfc1; the host fills the angular tolerance directly and
 * sets the distance tolerance with TOLER_set_distance_tol.  The equality
 * tolerances form an eight-entry table inside the settings block (acom);
 * sys21 derives it from the fine-tolerance flag and the model scale:
 *  - [0] number tolerance: 1e-10 (fine) or 1e-4;
 *  - [1] length tolerance: number tolerance times model scale;
 *  - [2] length-squared tolerance: length tolerance squared;
 *  - [7] length-squared tolerance times 1e8.
 *
 * Entries 3 to 6 are not set by the library.  Everything reads 0 until the
 * host has set it up.
 */
#ifndef QUORM_TOLER_H
#define QUORM_TOLER_H

#include <quorm/quorm_platform.h>

/** Layout of the exported tolerance block srfc1. */
typedef struct srfc1_s {
    double distance_tol; /**< model units */
    double angular_tol;  /**< as the host stores it */
} srfc1_s;

/** Number of entries of the equality-tolerance table. */
#define EQ_TOLERANCE_TABLE_SIZE 8

QUORM_BEGIN_DECLS

/** The distance and angular tolerances; zero at load, filled by the host. */
QUORM_API extern srfc1_s srfc1;

#if QUORM_FULL_BUILD
/** The distance tolerance, srfc1.distance_tol (full build only). */
QUORM_API double TOLER_ask_distance_tol(void);
/** Stores tol as the distance tolerance and returns it (full build only).
 * A negative tolerance is reported through ERROR_internal
 * ("-ve tolerance: %g"), a NaN or infinite one likewise
 * ("Invalid tolerance: %g"), while the checking level is above 0; neither is
 * ever stored, and the tolerance already held is returned instead. */
QUORM_API double TOLER_set_distance_tol(double tol);
/** The distance tolerance in metres: times pxsfac's model-to-metres factor
 * (full build only). */
QUORM_API double TOLER_ask_distance_tol_metres(void);
/** The angular tolerance, srfc1.angular_tol, as the host stored it (full
 * build only). */
QUORM_API double TOLER_ask_angular_tol(void);
#endif

/** Entry 0 of the equality-tolerance table: the number tolerance. */
QUORM_API double EQ_ask_number_tolerance(void);
/** Entry 1 of the equality-tolerance table: the length tolerance. */
QUORM_API double EQ_ask_length_tolerance(void);
/** Entry 2 of the equality-tolerance table: the length-squared tolerance. */
QUORM_API double EQ_ask_length_squared_tolerance(void);

/** 1 when |*a - *b| <= the tolerance of *kind (0 number, 1 length, 2 length
 * squared, any other value the number tolerance squared), else 0; 0 when
 * either value is a NaN. */
QUORM_API int eqz(const double *a, const double *b, const int *kind);

/** Recomputes the equality-tolerance table from the settings block. */
QUORM_API void sys21(void);

/** *out = table[*index] * *value.  An index outside 0..7 is a bad argument
 * (QUORM_ERR_BAD_ARGUMENT) while the checking level is above 0; at level 0
 * it gives *out = 0.  The table is never read outside its bounds. */
QUORM_API void sys22(const double *value, const int *index, double *out);

QUORM_END_DECLS

#endif
