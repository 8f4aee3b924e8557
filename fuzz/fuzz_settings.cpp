// The settings block: tolerances and the equality table, the pending display
// list (also with a corrupt count written by the host), the work coordinate
// system, its mappings and constructions.
#include "fuzz_input.h"

namespace {

int displayed = 0;
void count_display(int count, const int *) { displayed += count; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 3);
    switch (op) {
    case 0: { // tolerances: a stored distance tolerance is always usable
        const double tol = in.number();
        fuzz::run([&] { TOLER_set_distance_tol(tol); });
        const double stored = TOLER_ask_distance_tol();
        FUZZ_CHECK(std::isfinite(stored) && stored >= 0.0);
        fuzz::run([&] { sys21(); });
        const double a = in.number(), b = in.number();
        const int kind = in.range(-1, 4), index = in.range(-2, 9);
        double out = 0.0;
        fuzz::run([&] { eqz(&a, &b, &kind); });
        fuzz::run([&] { sys22(&a, &index, &out); });
        break;
    }
    case 1: { // the pending display list, with whatever count the block holds
        MCS_register_display_fn(in.flag() ? count_display : nullptr);
        if (in.flag()) acom.pending_display_count = in.range(-3, 3) * 300;
        for (int k = in.range(0, 40); k > 0; --k) {
            const int id = in.range(-2, 5);
            switch (in.range(0, 3)) {
            case 0: fuzz::run([&] { d7391(&id); }); break;
            case 1: fuzz::run([&] { a406(&id); }); break;
            case 2: fuzz::run([&] { d7392(); }); break;
            default: fuzz::run([&] { d7390(); }); break;
            }
        }
        fuzz::run([&] { d7390(); });
        FUZZ_CHECK(acom.pending_display_count == 0);
        MCS_register_display_fn(nullptr);
        break;
    }
    case 2: { // the WCS: a refused frame leaves it as it was
        MTX3_s m, before;
        double origin[3], before_origin[3];
        in.numbers(m.elem, 9);
        in.numbers(origin, 3);
        v6051(&before, before_origin);
        int status = 0;
        if (fuzz::run([&] { v6060(&m, origin, &status); }) && status == 2) {
            MTX3_s after;
            double after_origin[3];
            v6051(&after, after_origin);
            FUZZ_CHECK(std::memcmp(&after, &before, sizeof after) == 0);
        }
        MTX3_s local, out;
        double out_origin[3];
        in.numbers(local.elem, 9);
        if (fuzz::run([&] { v6066(&local, origin, &out, out_origin, &status); }) && status == 1)
            FUZZ_CHECK(MTX3_is_ortho_normal(&out));
        const MTX3_s identity = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
        const double zero[3] = {0, 0, 0};
        v6060(&identity, zero, &status);
        break;
    }
    default: { // mappings between absolute and work coordinates
        double v[3], out[3];
        in.numbers(v, 3);
        fuzz::run([&] { mapvaw(v, out); });
        fuzz::run([&] { mapvwa(v, out); });
        fuzz::run([&] { mappaw(v, out); });
        fuzz::run([&] { mappwa(v, out); });
        fuzz::run([&] { map22(v, out); });
        fuzz::run([&] { map23(v, out); });
        fuzz::run([&] { v6054(v, &acom.wcs_matrix); });
        break;
    }
    }
    return 0;
}
