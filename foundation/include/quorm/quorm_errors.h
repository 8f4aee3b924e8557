/** @file
 * Error codes the library passes to ERROR_raise, and the codes that
 * BCDF_check_defining_data returns.  A raised exception carries the code
 * (Kaltor::Error::Exception::code()). */
#ifndef QUORM_QUORM_ERRORS_H
#define QUORM_QUORM_ERRORS_H

/** Vector and 3x3 algebra: null vector in a unitize, singular 3x3 system. */
#define QUORM_ERR_VECTOR_ALGEBRA 17

/** A bad argument (such as an index or count out of range) found while the
 * checking level is above 0, in a family that has no code of its own. */
#define QUORM_ERR_BAD_ARGUMENT 1000001

/** @name Curve defining data and point lists
 * Codes marked "returned" come back from BCDF_check_defining_data, which
 * checks at every checking level; the others are raised while the checking
 * level is above 0, unless stated otherwise. */
/** @{ */
/** Least-squares segment count outside 1 ... poles - order + 1 (returned). */
#define QUORM_ERR_BCDF_LS_SEGMENTS_RANGE 1005005
/** Negative tolerance of a tolerance-driven least-squares fit (returned). */
#define QUORM_ERR_BCDF_LS_NEGATIVE_TOLERANCE 1005006
/** Point position outside the points. */
#define QUORM_ERR_BCDF_POSITION_TOO_LARGE 1005302
/** No parameter list. */
#define QUORM_ERR_BCDF_NO_PARAMETERS 1005303
/** No point list. */
#define QUORM_ERR_BCDF_NO_POINTS 1005304
/** No slope list. */
#define QUORM_ERR_BCDF_NO_SLOPES 1005305
/** Slopes given without their parameter positions. */
#define QUORM_ERR_BCDF_NO_SLOPE_POSITIONS 1005306
/** Fewer constraints than the order (returned). */
#define QUORM_ERR_BCDF_TOO_FEW_CONSTRAINTS 1005311
/** Least-squares fit of periodic data, which is refused. */
#define QUORM_ERR_BCDF_PERIODIC_LEAST_SQUARES 1005312
/** Point dimension neither 3 nor 4. */
#define QUORM_ERR_BCDF_BAD_DIMENSION 1005313
/** Slope of zero length (raised by BCDF_CALC_unitize_slope at every
 * checking level). */
#define QUORM_ERR_BCDF_ZERO_SLOPE 1005314
/** Slope, curvature, curvature-derivative, weight or point position out of
 * range. */
#define QUORM_ERR_BCDF_INVALID_POSITION 1005315
/** Points to remove reaching outside the points. */
#define QUORM_ERR_BCDF_REMOVE_POINTS 1005316
/** More constraints than an int can count (returned). */
#define QUORM_ERR_BCDF_TOO_MANY_CONSTRAINTS 1005317
/** Curvature with no slope at its parameter (returned). */
#define QUORM_ERR_BCDF_CRVATR_WITHOUT_SLOPE 1005318
/** Curvature not perpendicular to its slope within 1e-7 (returned). */
#define QUORM_ERR_BCDF_CRVATR_NOT_NORMAL 1005320
/** Order below 3 with slopes, or below 4 with curvatures (returned). */
#define QUORM_ERR_BCDF_ORDER_TOO_LOW 1005321
/** Fewer than 2 points (3 when periodic), or too few for the least-squares
 * fit (returned). */
#define QUORM_ERR_BCDF_TOO_FEW_POINTS 1005322
/** Parameters missing, not one per point, or not strictly increasing
 * (returned). */
#define QUORM_ERR_BCDF_PARAMS_NOT_INCREASING 1005323
/** Point position outside a point list. */
#define QUORM_ERR_PNTLST_INVALID_POSITION 1005347
/** @} */

#endif
