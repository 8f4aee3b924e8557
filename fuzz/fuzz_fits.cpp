// Fits, facets and eigen systems: least-squares lines and planes (no axis
// direction may fit better than the reported one), principal axes and the
// symmetric eigen solvers (A.v = lambda.v), ear clipping of star-shaped
// polygons (n - 2 counter-clockwise triangles covering the polygon's area),
// facet queries.
#include "fuzz_input.h"

#include <algorithm>
#include <vector>

namespace {

double coord(fuzz::Input &in) {
    if (in.range(0, 15) == 0) return in.number();
    return in.range(-128, 128) / 8.0;
}
bool sane(const double *a, int n) { return fuzz::finite(a, n) && fuzz::moderate(a, n, 0.0, 1e4); }

// Sum of squared distances of the points from the plane through c with normal u.
double scatter(const std::vector<double> &p, int dim, const double *c, const double *u) {
    double s = 0.0;
    for (size_t i = 0; i < p.size(); i += dim) {
        double d = 0.0;
        for (int k = 0; k < dim; ++k) d += (p[i + k] - c[k]) * u[k];
        s += d * d;
    }
    return s;
}

// |a v - lambda v| small against |a| (and the sweeps' absolute stop) for every column of the vectors.
void check_eigen(const std::vector<double> &a, int n, const double *values, const double *vectors, int stride) {
    double norm = 0.0;
    for (double x : a) norm = std::fmax(norm, std::fabs(x));
    for (int k = 0; k < n; ++k)
        for (int i = 0; i < n; ++i) {
            double r = -values[k] * vectors[i * stride + k];
            for (int j = 0; j < n; ++j) r += a[i * n + j] * vectors[j * stride + k];
            // the sweeps stop once the off-diagonal sum is at most 1e-10
            FUZZ_CHECK(std::fabs(r) <= 1e-7 * n * norm + 1e-10 * n);
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::begin(in);
    const int op = in.range(0, 3);
    switch (op) {
    case 0: { // line and plane fits
        const int dim = in.range(2, 3), n = in.range(0, 24);
        std::vector<double> p(static_cast<size_t>(n) * dim);
        for (double &v : p) v = coord(in);
        double c[3], u[3], stats[3] = {-1, -1, -1};
        int status = -1;
        bool ok;
        if (dim == 2)
            ok = fuzz::run([&] {
                LSFIT_line_to_points_2d(reinterpret_cast<const PNT2_s *>(p.data()), n, reinterpret_cast<PNT2_s *>(c),
                                        reinterpret_cast<VEC2_s *>(u), &status, stats);
            });
        else
            ok = fuzz::run([&] {
                LSFIT_plane_to_points(reinterpret_cast<const quorm_point3 *>(p.data()), n,
                                      reinterpret_cast<quorm_point3 *>(c), reinterpret_cast<quorm_vector3 *>(u),
                                      &status, stats);
            });
        if (!ok || status != 0 || !sane(p.data(), n * dim)) break;
        double len = 0.0;
        for (int k = 0; k < dim; ++k) len += u[k] * u[k];
        FUZZ_CHECK(std::fabs(len - 1.0) < 1e-12);
        const double best = scatter(p, dim, c, u), total = scatter(p, dim, c, c) + 1.0;
        for (int axis = 0; axis < dim; ++axis) {
            double e[3] = {0, 0, 0};
            e[axis] = 1.0;
            FUZZ_CHECK(best <= scatter(p, dim, c, e) + 1e-9 * total * n);
        }
        double worst = 0.0;
        for (int i = 0; i < n; ++i) {
            double d = 0.0;
            for (int k = 0; k < dim; ++k) d += (p[i * dim + k] - c[k]) * u[k];
            worst = std::fmax(worst, std::fabs(d));
        }
        FUZZ_CHECK(std::fabs(stats[0] - worst) <= 1e-9 * (1.0 + worst) * 1e3);
        FUZZ_CHECK(stats[1] >= 0.0 && stats[1] <= stats[0] * (1 + 1e-12) + 1e-12);
        break;
    }
    case 1: { // symmetric eigen systems
        const int n = in.range(1, 8);
        std::vector<double> a(static_cast<size_t>(n) * n), b(a.size(), 0.0);
        for (int i = 0; i < n; ++i)
            for (int j = i; j < n; ++j) a[i * n + j] = a[j * n + i] = coord(in);
        if (!sane(a.data(), n * n)) break;
        std::vector<double> work = a, vec(a.size()), values(n);
        std::vector<double *> rows(n), vrows(n);
        for (int i = 0; i < n; ++i) {
            rows[i] = &work[i * n];
            vrows[i] = &vec[i * n];
        }
        int rotations = 0, status = -1;
        fuzz::run([&] { NR_ask_eigenvalues_jacobi(rows.data(), n, 50, values.data(), vrows.data(), &rotations); });
        check_eigen(a, n, values.data(), vec.data(), n);
        // b = m m^T + I is positive definite; a x = lambda b x
        std::vector<double> m(a.size());
        for (double &v : m) v = in.range(-4, 4) / 2.0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                for (int k = 0; k < n; ++k) b[i * n + j] += m[i * n + k] * m[j * n + k];
                if (i == j) b[i * n + j] += 1.0;
            }
        std::vector<double> b0 = b;
        fuzz::run([&] {
            NR_generalized_eigenvalues_symm(a.data(), b.data(), n, 50, values.data(), vec.data(), &rotations, &status);
        });
        if (status == 0)
            for (int k = 0; k < n; ++k)
                for (int i = 0; i < n; ++i) {
                    double r = 0.0, scale = 0.0;
                    for (int j = 0; j < n; ++j) {
                        r += (a[i * n + j] - values[k] * b0[i * n + j]) * vec[j * n + k];
                        scale += (std::fabs(a[i * n + j]) + std::fabs(values[k] * b0[i * n + j])) * std::fabs(vec[j * n + k]);
                    }
                    FUZZ_CHECK(std::fabs(r) <= 1e-7 * (scale + 1e-300) + 1e-9);
                }
        std::vector<double> start(n, 1.0), v(n);
        double value = 0.0;
        for (int i = 0; i < n; ++i) rows[i] = &a[i * n];
        fuzz::run([&] { NR_ask_max_eigen_val_vec(n, rows.data(), in.range(-1, 200), start.data(), &value, v.data(), &status); });
#if QUORM_FULL_BUILD
        if (n == 3) {
            double moments[3];
            quorm_vector3 axes[3];
            fuzz::run([&] { LSFIT_ask_principle_axes_of_inertia_from_3d_tensor(a.data(), moments, axes); });
            double cols[9];
            for (int k = 0; k < 3; ++k) {
                cols[0 * 3 + k] = axes[k].x;
                cols[1 * 3 + k] = axes[k].y;
                cols[2 * 3 + k] = axes[k].z;
            }
            check_eigen(a, 3, moments, cols, 3);
            FUZZ_CHECK(moments[0] >= moments[1] && moments[1] >= moments[2]);
        }
#endif
        break;
    }
    case 2: { // ear clipping of a star-shaped polygon around the origin
        const int n = in.range(3, 16);
        std::vector<quorm_point3> p(n);
        std::vector<double> steps(n);
        double total = 0.0;
        for (double &s : steps) total += s = in.range(1, 8);
        // every turn below half a revolution: the origin sees every edge
        if (2 * *std::max_element(steps.begin(), steps.end()) >= total) break;
        double angle = 0.0, area = 0.0;
        for (int i = 0; i < n; ++i) {
            const double r = in.range(1, 16) / 4.0;
            p[i] = {r * std::cos(angle), r * std::sin(angle), 0.0};
            angle += 2 * M_PI * steps[i] / total;
        }
        for (int i = 0; i < n; ++i) area += p[i].x * p[(i + 1) % n].y - p[(i + 1) % n].x * p[i].y;
        area /= 2;
        const quorm_vector3 normal{0, 0, 1};
        std::vector<int> tris(3 * (n - 2), -1);
        if (!fuzz::run([&] { FACET_ask_triangles_of_polygon(n, p.data(), &normal, tris.data()); })) break;
        double sum = 0.0;
        for (int t = 0; t < n - 2; ++t) {
            const int *v = &tris[3 * t];
            for (int k = 0; k < 3; ++k) FUZZ_CHECK(v[k] >= 0 && v[k] < n);
            const quorm_point3 &a = p[v[0]], &b = p[v[1]], &c = p[v[2]];
            const double twice = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
            FUZZ_CHECK(twice >= -1e-12);
            sum += twice / 2;
        }
        FUZZ_CHECK(std::fabs(sum - area) <= 1e-9 * area);
        break;
    }
    default: { // facet queries: triangle area, ray hits, plane distances
        quorm_point3 tri[3], o;
        quorm_vector3 d;
        double *all[] = {&tri[0].x, &tri[0].y, &tri[0].z, &tri[1].x, &tri[1].y, &tri[1].z, &tri[2].x,
                         &tri[2].y, &tri[2].z, &o.x,      &o.y,      &o.z,      &d.x,      &d.y,      &d.z};
        for (double *v : all) *v = coord(in);
        double area = -1.0;
        fuzz::run([&] { area = FACET_ask_triangle_area(&tri[0], &tri[1], &tri[2]); });
        double flat[15];
        for (int i = 0; i < 15; ++i) flat[i] = *all[i];
        if (!sane(flat, 15)) break;
        const double e1[3] = {tri[1].x - tri[0].x, tri[1].y - tri[0].y, tri[1].z - tri[0].z};
        const double e2[3] = {tri[2].x - tri[0].x, tri[2].y - tri[0].y, tri[2].z - tri[0].z};
        const double cr[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const double cross = std::sqrt(cr[0] * cr[0] + cr[1] * cr[1] + cr[2] * cr[2]);
        const double l1 = std::sqrt(e1[0] * e1[0] + e1[1] * e1[1] + e1[2] * e1[2]);
        const double l2 = std::sqrt(e2[0] * e2[0] + e2[1] * e2[1] + e2[2] * e2[2]);
        if (std::getenv("FUZZ_TRACE"))
            std::fprintf(stderr, "triangle %.17g %.17g %.17g / %.17g %.17g %.17g / %.17g %.17g %.17g area %.17g\n", flat[0],
                         flat[1], flat[2], flat[3], flat[4], flat[5], flat[6], flat[7], flat[8], area);
        // from rounded side lengths a needle's area is known to about
        // sqrt(eps) times the square of its longest side
        const double longest = std::fmax(std::fmax(l1, l2), std::hypot(e1[0] - e2[0], std::hypot(e1[1] - e2[1], e1[2] - e2[2])));
        FUZZ_CHECK(std::fabs(area - cross / 2) <= 1e-6 * l1 * l2 + 1e-7 * longest * longest + 1e-12);
        quorm_point3 hit;
        double t = 0.0;
        if (FACET_ray_triangle_intersect(&o, &d, tri, &hit, &t) && cross > 1e-3) {
            const double off = (cr[0] * (hit.x - tri[0].x) + cr[1] * (hit.y - tri[0].y) + cr[2] * (hit.z - tri[0].z)) / cross;
            FUZZ_CHECK(std::fabs(off) <= 1e-6 * (1 + l1 + l2 + std::fabs(t)));
        }
        break;
    }
    }
    return 0;
}
