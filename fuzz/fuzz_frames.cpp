// Points, planes and coordinate systems: colinearity, closest points,
// coordinate conversions, plane tests, mapping and turning systems, and the
// scaled-transformation routines h964 and h965.
#include "fuzz_input.h"

namespace {

typedef quorm_vector3 Vector3;
typedef quorm_point3 Point3;

Point3 point(fuzz::Input &in) {
    double c[3];
    in.numbers(c, 3);
    return Point3{c[0], c[1], c[2]};
}

CSYS_s csys(fuzz::Input &in) {
    CSYS_s c;
    c.origin = point(in);
    in.numbers(c.matrix.elem, 9);
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 4);
    const Point3 p1 = point(in), p2 = point(in), p3 = point(in);
    const double tol = in.number();
    switch (op) {
    case 0: {
        fuzz::run([&] { PNT3_is_colinear(&p1, &p2, &p3, tol); });
        int condition = 0;
        if (fuzz::run([&] { condition = PNT3_colinear_condition(&p1, &p2, &p3, tol); }))
            FUZZ_CHECK(condition >= 1 && condition <= 6);
        const Point3 points[3] = {p1, p2, p3};
        const Vector3 v{p3.x, p3.y, p3.z};
        Point3 out{};
        fuzz::run([&] { PNT3_ask_closest_point(&p1, &v, points, in.range(0, 3), &out); });
        break;
    }
    case 1: {
        Point3 out;
        fuzz::run([&] { PNT3_cartesian_to_cylindrical(&p1, &out); });
        if (fuzz::run([&] { PNT3_cartesian_to_spherical(&p1, &out); }) && std::isfinite(out.x)) {
            FUZZ_CHECK(!(out.y < 0.0 || out.y >= 360.0));
            FUZZ_CHECK(!(out.z < 0.0 || out.z > 180.0));
        }
        fuzz::run([&] { PNT3_cylindrical_to_cartesian(&p1, &out); });
        fuzz::run([&] { PNT3_spherical_to_cartesian(&p1, &out); });
        break;
    }
    case 2: {
        const PLN3_s a{p1, Vector3{p2.x, p2.y, p2.z}}, b{p3, Vector3{p1.x, p1.y, p1.z}};
        fuzz::run([&] { PLN3_is_point_on_plane(&a, &p3, tol); });
        fuzz::run([&] { PLN3_is_coincident(&a, &b, tol, in.number()); });
        fuzz::run([&] { PLN3_is_equal(&a, &b, tol, in.number()); });
        fuzz::run([&] { PLN3_is_segment_intersecting(&a, &p2, &p3, tol); });
        break;
    }
    case 3: {
        const CSYS_s c = csys(in), reference = csys(in);
        CSYS_s out;
        fuzz::run([&] { CSYS_map_csys(&c, &reference, &out); });
        const Vector3 z{p1.x, p1.y, p1.z};
        bool turned = false;
        if (fuzz::run([&] { turned = CSYS_get_csys_given_z_dir(&c, &z, &out); }) && turned &&
            MTX3_is_ortho_normal(&c.matrix))
            FUZZ_CHECK(MTX3_is_ortho_normal(&out.matrix));
        break;
    }
    default: {
        MTX3_s frame, out;
        in.numbers(frame.elem, 9);
        double t[13], u[13];
        in.numbers(t, 13);
        in.numbers(u, 13);
        int result = 0;
        if (fuzz::run([&] { result = h964(&frame, t, &out); }) && result == 1) FUZZ_CHECK(MTX3_is_ortho_normal(&out));
        fuzz::run([&] { h965(t, u); });
        break;
    }
    }
    return 0;
}
