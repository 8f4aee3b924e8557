// Distance, angular and equality tolerances.
#include "foundation/quorm_internal.h"

#include <cmath>

extern "C" {

QUORM_API srfc1_s srfc1 = {0.0, 0.0};

#if QUORM_FULL_BUILD
QUORM_API double TOLER_ask_distance_tol(void) { return srfc1.distance_tol; }

QUORM_API double TOLER_set_distance_tol(double tol) {
    // A negative, NaN or infinite tolerance would silently corrupt every
    // later comparison: it is reported and never stored.
    if (std::isnan(tol) || std::isinf(tol)) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Invalid tolerance: %g", tol);
        return srfc1.distance_tol;
    }
    if (tol < 0.0) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "-ve tolerance: %g", tol);
        return srfc1.distance_tol;
    }
    srfc1.distance_tol = tol;
    return tol;
}

QUORM_API double TOLER_ask_distance_tol_metres(void) { return srfc1.distance_tol * pxsfac.model_to_metres; }

QUORM_API double TOLER_ask_angular_tol(void) { return srfc1.angular_tol; }
#endif

QUORM_API double EQ_ask_number_tolerance(void) { return acom.eq_tol[0]; }

QUORM_API double EQ_ask_length_tolerance(void) { return acom.eq_tol[1]; }

QUORM_API double EQ_ask_length_squared_tolerance(void) { return acom.eq_tol[2]; }

QUORM_API int eqz(const double *a, const double *b, const int *kind) {
    double tol;
    switch (*kind) {
    case 0:
        tol = acom.eq_tol[0];
        break;
    case 1:
        tol = acom.eq_tol[1];
        break;
    case 2:
        tol = acom.eq_tol[2];
        break;
    default:
        tol = acom.eq_tol[0] * acom.eq_tol[0];
        break;
    }
    // A NaN on either side makes the comparison false.
    return std::fabs(*a - *b) <= tol ? 1 : 0;
}

QUORM_API void sys21(void) {
    double number = acom.fine_tolerance != 0 ? 1e-10 : 1e-4;
    double length = number * ACOM_ask_MEC();
    double length_squared = length * length;
    acom.eq_tol[0] = number;
    acom.eq_tol[1] = length;
    acom.eq_tol[2] = length_squared;
    acom.eq_tol[7] = length_squared * 1e8;
}

QUORM_API void sys22(const double *value, const int *index, double *out) {
    int i = *index;
    if (i < 0 || i >= EQ_TOLERANCE_TABLE_SIZE) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BAD_ARGUMENT, "sys22: tolerance index %d outside 0..%d", i,
                        EQ_TOLERANCE_TABLE_SIZE - 1);
        *out = 0.0;
        return;
    }
    *out = acom.eq_tol[i] * *value;
}

} // extern "C"
