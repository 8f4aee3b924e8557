/** @file
 * Error codes passed to ERROR_raise by the library.  The exception carries
 * the code (Kaltor::Error::Exception::code()). */
#ifndef QUORM_QUORM_ERRORS_H
#define QUORM_QUORM_ERRORS_H

/** Vector and 3x3 algebra: null vector in a unitize, singular 3x3 system. */
#define QUORM_ERR_VECTOR_ALGEBRA 17

/** A bad argument (an index or count out of range) found while the checking
 * level is above 0, in a family that has no code of its own. */
#define QUORM_ERR_BAD_ARGUMENT 1000001

/** Curve defining data and point lists. */
#define QUORM_ERR_BCDF_LS_SEGMENTS_RANGE 1005005   /**< segments outside 1 ... poles - order + 1 */
#define QUORM_ERR_BCDF_LS_NEGATIVE_TOLERANCE 1005006
#define QUORM_ERR_BCDF_POSITION_TOO_LARGE 1005302  /**< point position outside the points */
#define QUORM_ERR_BCDF_NO_PARAMETERS 1005303
#define QUORM_ERR_BCDF_NO_POINTS 1005304
#define QUORM_ERR_BCDF_NO_SLOPES 1005305
#define QUORM_ERR_BCDF_NO_SLOPE_POSITIONS 1005306
#define QUORM_ERR_BCDF_TOO_FEW_CONSTRAINTS 1005311
#define QUORM_ERR_BCDF_PERIODIC_LEAST_SQUARES 1005312
#define QUORM_ERR_BCDF_BAD_DIMENSION 1005313        /**< point dimension neither 3 nor 4 */
#define QUORM_ERR_BCDF_ZERO_SLOPE 1005314
#define QUORM_ERR_BCDF_INVALID_POSITION 1005315     /**< slope, curvature or point position */
#define QUORM_ERR_BCDF_REMOVE_POINTS 1005316
#define QUORM_ERR_BCDF_TOO_MANY_CONSTRAINTS 1005317
#define QUORM_ERR_BCDF_CRVATR_WITHOUT_SLOPE 1005318
#define QUORM_ERR_BCDF_CRVATR_NOT_NORMAL 1005320
#define QUORM_ERR_BCDF_ORDER_TOO_LOW 1005321
#define QUORM_ERR_BCDF_TOO_FEW_POINTS 1005322
#define QUORM_ERR_BCDF_PARAMS_NOT_INCREASING 1005323
#define QUORM_ERR_PNTLST_INVALID_POSITION 1005347

#endif
