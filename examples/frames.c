/* A host's set-up of the library, from C: derive the equality tolerances
 * from the settings block and compare lengths with them. */
#include <quorm/quorm.h>

#include <stdio.h>

int main(void) {
    double a = 10.0, b = 10.00005, c = 10.001;
    int length_kind = 1;
    double scaled = 0.0, factor = 2.0;
    int index = 1;

    /* The host fills the settings block, then has the tolerances derived. */
    acom.model_scale = 1.0;
    acom.fine_tolerance = 0;
    sys21();
#if QUORM_FULL_BUILD
    TOLER_set_distance_tol(1e-3);
    printf("distance tolerance        %g\n", TOLER_ask_distance_tol());
#endif
    printf("length tolerance          %g\n", EQ_ask_length_tolerance());
    printf("%.5f == %.5f ?  %s\n", a, b, eqz(&a, &b, &length_kind) ? "yes" : "no");
    printf("%.5f == %.5f ?  %s\n", a, c, eqz(&a, &c, &length_kind) ? "yes" : "no");
    sys22(&factor, &index, &scaled);
    printf("twice the length tol.     %g\n", scaled);
    return 0;
}
