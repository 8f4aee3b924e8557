/* The whole public interface compiles as strict C99, and the records and
 * tolerance services work from C. */
#include <quorm/quorm.h>

#include <stdio.h>

static int failures = 0;

#define CHECK(cond)                                                                                          \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            printf("FAILED: %s (line %d)\n", #cond, __LINE__);                                              \
            ++failures;                                                                                      \
        }                                                                                                    \
    } while (0)

int main(void) {
    int kind = 0;
    double a = 1.0, b = 1.0 + 1e-5;
    CHECK(sizeof(MTX4_s) == 16 * sizeof(double));
    CHECK(sizeof(CSYS_s) == 12 * sizeof(double));

    acom.fine_tolerance = 0;
    acom.model_scale = 1.0;
    sys21();
    CHECK(EQ_ask_number_tolerance() == 1e-4);
    CHECK(eqz(&a, &b, &kind) == 1);

    merrorpush("x", 3, 4);
    CHECK(merrornum() == 3 && merrorlevel() == 4);
    CHECK(merrorflush() == 0 && merrornum() == 0);

#if QUORM_FULL_BUILD
    TOLER_set_distance_tol(0.01);
    CHECK(TOLER_ask_distance_tol() == 0.01);
    {
        Point3 p = {1.0, 2.0, 3.0}; /* the plain C name of the record */
        quorm_point3 *q = &p;
        CHECK(q->z == 3.0);
    }
#else
    {
        BOX3_s box = {0, 1, 0, 2, 0, 3};
        PNT3_s corner;
        BOX3_get_corner_pt3(&box, 7, &corner);
        CHECK(corner.x == 1 && corner.y == 2 && corner.z == 3);
    }
#endif
    printf("%s\n", failures ? "c_api: FAILED" : "c_api: ok");
    return failures ? 1 : 0;
}
