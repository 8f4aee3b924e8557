// 3x3 frames and 4x4 transforms: construction, ortho-normalising, fixup,
// roll-pitch-yaw, products, inversion and the transform builders.
#include "fuzz_input.h"

namespace {

typedef quorm_vector3 Vector3;
typedef quorm_point3 Point3;

Vector3 vector(fuzz::Input &in) {
    double c[3];
    in.numbers(c, 3);
    return Vector3{c[0], c[1], c[2]};
}

// m * inverse is the identity to a few roundings of |m| |column of inverse|
// (the backward error of a stable solve, column by column, in the maximum
// norm).
bool inverts(const MTX4_s &m, const MTX4_s &inverse) {
    double norm = 0.0;
    for (int i = 0; i < 4; ++i) {
        double row = 0.0;
        for (int k = 0; k < 4; ++k) row += std::fabs(m.elem[4 * i + k]);
        norm = std::fmax(norm, row);
    }
    for (int j = 0; j < 4; ++j) {
        double column = 0.0;
        for (int k = 0; k < 4; ++k) column = std::fmax(column, std::fabs(inverse.elem[4 * k + j]));
        for (int i = 0; i < 4; ++i) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k) s += m.elem[4 * i + k] * inverse.elem[4 * k + j];
            if (!(std::fabs(s - (i == j ? 1.0 : 0.0)) <= 1e-10 * norm * column)) return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 7);
    MTX3_s m3;
    MTX4_s m4;
    in.numbers(m3.elem, 9);
    in.numbers(m4.elem, 16);
    const bool finite3 = fuzz::finite(m3.elem, 9) && fuzz::moderate(m3.elem, 9, 0.0, 1e18);
    switch (op) {
    case 0: {
        MTX3_s m = m3;
        if (fuzz::run([&] { MTX3_ortho_normalize(&m); }) && finite3) FUZZ_CHECK(MTX3_is_ortho_normal(&m));
        break;
    }
    case 1: {
        MTX3_s m = m3;
        int result = 0;
        if (fuzz::run([&] { result = MTX3_fixup(&m); }) && result == 1) FUZZ_CHECK(MTX3_is_ortho_normal(&m));
        MTX4_s t = m4;
        if (fuzz::run([&] { result = MTX4_fixup(&t); }) && result == 1) FUZZ_CHECK(MTX4_is_ortho_normal(&t));
        break;
    }
    case 2: {
        const Vector3 x = vector(in), y = vector(in), z = vector(in);
        MTX3_s out;
        int result = 0;
        if (fuzz::run([&] { result = MTX3_init(&x, &y, &out); }) && result == 1)
            FUZZ_CHECK(MTX3_is_ortho_normal(&out));
        if (fuzz::run([&] { result = MTX3_init_x_y_z(&x, &y, &z, &out); }) && result == 1)
            FUZZ_CHECK(MTX3_is_ortho_normal(&out));
        if (fuzz::run([&] { result = MTX3_init_x(&x, &out); }) && result == 1) FUZZ_CHECK(MTX3_is_ortho_normal(&out));
        if (fuzz::run([&] { result = MTX3_init_z(&z, &out); }) && result == 1) FUZZ_CHECK(MTX3_is_ortho_normal(&out));
        if (fuzz::run([&] { result = MTX3_init_y_z(&y, &z, &out); }) && result == 1)
            FUZZ_CHECK(MTX3_is_ortho_normal(&out));
        break;
    }
    case 3: {
        double roll = in.number(), pitch = in.number(), yaw = in.number();
        MTX3_s r;
        fuzz::run([&] { MTX3_init_roll_pitch_yaw(roll, pitch, yaw, &r); });
        fuzz::run([&] { MTX3_ask_roll_pitch_yaw(&m3, &roll, &pitch, &yaw); });
        int count = 0;
        double angles[8][3];
        if (fuzz::run([&] { MTX3_ask_all_roll_pitch_yaw(&m3, &count, angles); })) FUZZ_CHECK(count >= 0 && count <= 8);
        const Vector3 axis = vector(in);
        fuzz::run([&] { MTX3_rot_about_axis(roll, &axis, &r); });
        break;
    }
    case 4: {
        MTX3_s out;
        fuzz::run([&] { MTX3_multiply(&m3, &m3, &out); });
        fuzz::run([&] { MTX3_multiply_t(&m3, &m3, &out); });
        MTX4_s out4;
        fuzz::run([&] { MTX4_multiply(&m4, &m4, &out4); });
        fuzz::run([&] { MTX4_multiply_t(&m4, &m4, &out4); });
        break;
    }
    case 5: {
        MTX4_s inverse;
        if (MTX4_invert(&m4, &inverse) == 0) {
            FUZZ_CHECK(fuzz::finite(inverse.elem, 16));
            if (fuzz::moderate(m4.elem, 16, 1e-50, 1e50) && fuzz::moderate(inverse.elem, 16, 0.0, 1e50))
                FUZZ_CHECK(inverts(m4, inverse));
        }
        break;
    }
    case 6: {
        MTX4_s t = m4;
        if (fuzz::run([&] { MTX4_ortho_normalize(&t); }) && fuzz::finite(m4.elem, 16) &&
            fuzz::moderate(m4.elem, 16, 0.0, 1e18))
            FUZZ_CHECK(MTX4_is_ortho_normal(&t));
        fuzz::run([&] { MTX4_is_equal_transform(&m4, &t, in.number(), in.number(), in.number()); });
        break;
    }
    default: {
        const Vector3 a = vector(in), b = vector(in), c = vector(in), d = vector(in);
        const Point3 p{a.x, a.y, a.z}, q{d.x, d.y, d.z};
        MTX4_s out;
        fuzz::run([&] { MTX4_scaling(&p, &b, &out); });
        fuzz::run([&] { MTX4_rotation(&p, &b, in.number(), &out); });
        fuzz::run([&] { MTX4_mirror(&p, &b, &out); });
        fuzz::run([&] { MTX4_csys_to_csys(&p, &b, &c, &q, &a, &d, &out); });
        break;
    }
    }
    return 0;
}
