/* Error codes passed to ERROR_raise by the library.  The exception carries
 * the code (Kaltor::Error::Exception::code()). */
#ifndef QUORM_QUORM_ERRORS_H
#define QUORM_QUORM_ERRORS_H

/* Vector and 3x3 algebra: null vector in a unitize, singular 3x3 system. */
#define QUORM_ERR_VECTOR_ALGEBRA 17

/* A bad argument (an index or count out of range) found while the checking
 * level is above 0, in a family that has no code of its own. */
#define QUORM_ERR_BAD_ARGUMENT 1000001

#endif
