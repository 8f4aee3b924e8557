// Vector algebra: VEC2_, VEC3_, the MC_ family and the numbered vector and
// frame routines.
#include "fuzz_input.h"

namespace {

typedef quorm_vector3 Vector3;

double length(const double *c, int n) {
    double s = 0.0;
    for (int i = 0; i < n; ++i) s += c[i] * c[i];
    return std::sqrt(s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 6);
    double a[3], b[3], c[3], d[3], out[3];
    in.numbers(a, 3);
    in.numbers(b, 3);
    in.numbers(c, 3);
    in.numbers(d, 3);
    const double tol = in.number();
    const Vector3 u{a[0], a[1], a[2]}, v{b[0], b[1], b[2]}, w{c[0], c[1], c[2]};
    switch (op) {
    case 0: { // unitizing: a success is a unit vector along u with u's length
        Vector3 unit;
        double len = 0.0;
        int result = 0;
        if (fuzz::run([&] { result = VEC3_unitize(&u, tol, &len, &unit); }) && result == 1) {
            const double e[3] = {unit.x, unit.y, unit.z};
            FUZZ_CHECK(std::fabs(length(e, 3) - 1.0) <= 1e-14);
            FUZZ_CHECK(len >= tol || std::isnan(tol)); // the test is on squares
        }
        const VEC2_s u2{a[0], a[1]};
        VEC2_s unit2;
        if (fuzz::run([&] { result = VEC2_unitize(&u2, tol, &len, &unit2); }) && result == 1) {
            const double e[2] = {unit2.x, unit2.y};
            FUZZ_CHECK(std::fabs(length(e, 2) - 1.0) <= 1e-14);
        }
        int ok = 0;
        if (fuzz::run([&] { vunt3(a, &ok, out); }) && ok) FUZZ_CHECK(std::fabs(length(out, 3) - 1.0) <= 1e-14);
        if (fuzz::run([&] { vunt2(a, &ok, out); }) && ok) FUZZ_CHECK(std::fabs(length(out, 2) - 1.0) <= 1e-14);
        if (fuzz::run([&] { vcru3(a, b, &ok, out); }) && ok) FUZZ_CHECK(std::fabs(length(out, 3) - 1.0) <= 1e-14);
        break;
    }
    case 1: { // perpendiculars: a success is non-zero and perpendicular
        Vector3 p;
        int result = 0;
        if (fuzz::run([&] { result = VEC3_ask_perpendicular(&u, &p); }) && result == 1 && VEC3_is_finite(&u)) {
            const double e[3] = {p.x, p.y, p.z};
            FUZZ_CHECK(length(e, 3) > 0.0);
            FUZZ_CHECK(std::fabs(p.x * u.x + p.y * u.y + p.z * u.z) <= 1e-12 * length(e, 3) * length(a, 3));
        }
        const VEC2_s u2{a[0], a[1]};
        VEC2_s p2;
        if (fuzz::run([&] { result = VEC2_ask_perpendicular(&u2, &p2); }) && result == 1)
            FUZZ_CHECK(p2.x != 0.0 || p2.y != 0.0);
        fuzz::run([&] { MC_perp_vec(a, out); });
        break;
    }
    case 2: { // tests and angles
        fuzz::run([&] { VEC3_is_parallel(&u, &v, tol); });
        fuzz::run([&] { VEC3_is_perpendicular(&u, &v, tol); });
        double angle = 0.0;
        if (fuzz::run([&] { angle = VEC3_angle_between(&u, &v, &w); }))
            FUZZ_CHECK(std::isnan(angle) || (angle >= 0.0 && angle < 6.283185307179587));
        Vector3 p, t, q;
        fuzz::run([&] { VEC3_make_trihedral(&u, &v, &p, &t, &q); });
        const VEC2_s u2{a[0], a[1]}, v2{b[0], b[1]}, w2{c[0], c[1]};
        double s = 0.0, r = 0.0;
        fuzz::run([&] { VEC2_is_parallel(&u2, &v2, tol); });
        fuzz::run([&] { VEC2_components(&u2, &v2, &w2, tol, &s, &r); });
        const VEC2_s list[3] = {u2, v2, w2};
        int shortest = -1;
        if (fuzz::run([&] { shortest = VEC2_ask_shortest_vector(in.range(-1, 3), list); }))
            FUZZ_CHECK(shortest >= -1 && shortest < 3);
        break;
    }
    case 3: { // the MC_ family, which raises on null vectors and singular systems
        fuzz::run([&] { MC_v_unit(a); });
        fuzz::run([&] { MC_get_angle(a, b); });
        fuzz::run([&] { MC_dist_lines(a, b, c, d); });
        fuzz::run([&] { MC_proj_point_onto_line(a, b, c, out); });
        fuzz::run([&] { MC_perp_from_line_to_point(a, b, c, out); });
        fuzz::run([&] { MC_q_point_on_line(a, b, c); });
        fuzz::run([&] { MC_proj_point_onto_plane(a, b, tol, out); });
        fuzz::run([&] { MC_signed_dist_planes(a, tol, b, c[0]); });
        fuzz::run([&] { MC_axis_plane_x(a, b, c, tol, out); });
        break;
    }
    case 4: { // 3x3 systems: a solution satisfies the system
        double m[12];
        in.numbers(m, 12);
        if (fuzz::run([&] { MC_solve_3(m, out); }) && fuzz::moderate(m, 12, 1e-50, 1e50) &&
            fuzz::moderate(out, 3, 0.0, 1e50)) {
            double norm_a = 0.0, norm_b = 0.0;
            const double norm_x = std::fmax(std::fabs(out[0]), std::fmax(std::fabs(out[1]), std::fabs(out[2])));
            for (int r = 0; r < 3; ++r) {
                norm_a = std::fmax(norm_a, std::fabs(m[4 * r]) + std::fabs(m[4 * r + 1]) + std::fabs(m[4 * r + 2]));
                norm_b = std::fmax(norm_b, std::fabs(m[4 * r + 3]));
            }
            for (int r = 0; r < 3; ++r) {
                const double *row = m + 4 * r;
                const double res = row[0] * out[0] + row[1] * out[1] + row[2] * out[2] - row[3];
                FUZZ_CHECK(std::fabs(res) <= 1e-6 * (norm_a * norm_x + norm_b) + 1e-280);
            }
        }
        double t[12], p[3], r[16];
        in.numbers(t, 12);
        fuzz::run([&] { MC_apply_transform_to_point(t, a, p); });
        fuzz::run([&] { MC_apply_transform_to_vector(t, a, p); });
        fuzz::run([&] { MC_calc_csys_to_csys_transform(m, t, r); });
        break;
    }
    case 5: { // numbered frames: a status of 0 is an ortho-normal frame
        MTX3_s frame;
        double origin[3], la[3], lb[3];
        int status = -1;
        if (fuzz::run([&] { v6043(a, b, c, &frame, origin, &status); }) && status == 1)
            FUZZ_CHECK(MTX3_is_ortho_normal(&frame));
        if (fuzz::run([&] { v6043_normal(a, b, c, d, &frame, origin, &status); }) && status == 1)
            FUZZ_CHECK(MTX3_is_ortho_normal(&frame));
        if (fuzz::run([&] { v6045(a, b, c, &frame, origin, &status); }) && status == 1)
            FUZZ_CHECK(MTX3_is_ortho_normal(&frame));
        fuzz::run([&] { v6067(a, b, c, d, &frame, origin, la, lb, &status); });
        break;
    }
    default: { // turning a frame by angles
        MTX3_s frame;
        in.numbers(frame.elem, 9);
        int status = -1;
        fuzz::run([&] { v6037a(&frame, a, &status); });
        break;
    }
    }
    return 0;
}
