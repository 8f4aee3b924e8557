// Circle and sphere fits: the algebraic fit with Pratt's normalisation as a
// generalised symmetric eigenproblem, and the constructive fallbacks
// (circle through three points, sphere through four well-spread points).
#include "lsfit/lsfit_internal.h"
#include "foundation/vec3_inline.h"

#include <quorm/lsfit_sphere.h>

#include <cmath>

using namespace quorm;
using quorm::lsfit::guarded;
using quorm::lsfit::Temporaries;

namespace {

constexpr int kMaxSweeps = 60;
constexpr double kNoRadius = 1e19;
// Tolerance of the flatness test of the sphere's fallback.
constexpr double kFlatTol = 0.001;
// A fitted radius beyond this multiple of the points' spread is a plane (a
// line in 2-D) that rounding bent into a sphere: the data cannot tell it
// from flat.
constexpr double kFlatRadiusRatio = 1e8;

// The algebraic fit of a circle (dim 2) or sphere (dim 3) to the n centred
// points q (dim doubles each).  The scatter matrix of (1, q, |q|^2) and the
// constraint matrix of Pratt's normalisation form the generalised problem
// K.a = lambda.M.a; the largest eigenvalue above 1e-19 (the first of equal
// ones) belongs to the fit.  Returns false when there is none, when it is
// below 1e-10 or when M is not positive definite: the caller falls back.
// Otherwise coef gets (E, B, C[, D], A) and *lambda the eigenvalue.
bool pratt_fit(Temporaries &temps, const double *q, int n, int dim, double *coef, double *lambda) {
    const int size = dim + 2, last = dim + 1;
    double *m = temps.alloc<double>(size * size);
    double *k = temps.alloc<double>(size * size);
    double *values = temps.alloc<double>(size);
    double *vectors = temps.alloc<double>(size * size);
    for (int i = 0; i < size * size; ++i) m[i] = k[i] = 0.0;

    // Row i of the upper triangle over (1, q, s): the entries pairing 1 with
    // the centred coordinates stay 0.
    for (int p = 0; p < n; ++p) {
        const double *x = q + static_cast<size_t>(p) * dim;
        double v[5];
        v[0] = 1.0;
        double s = 0.0;
        for (int j = 0; j < dim; ++j) {
            v[j + 1] = x[j];
            s += x[j] * x[j];
        }
        v[last] = s;
        for (int i = 1; i < size; ++i)
            for (int j = i; j < size; ++j) m[i * size + j] += v[i] * v[j];
        m[last] += s;
    }
    m[0] = n;
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < i; ++j) m[i * size + j] = m[j * size + i];
    for (int j = 1; j <= dim; ++j) k[j * size + j] = 1.0;
    k[last] = k[last * size] = -2.0;

    int rotations = 0, status = 0;
    NR_generalized_eigenvalues_symm(k, m, size, kMaxSweeps, values, vectors, &rotations, &status);
    if (status != 0) return false;
    int chosen = -1;
    double best = 1e-19;
    for (int j = 0; j < size; ++j)
        if (values[j] > best) {
            best = values[j];
            chosen = j;
        }
    if (chosen < 0 || best < 1e-10) return false;
    for (int i = 0; i < size; ++i) coef[i] = vectors[i * size + chosen];
    *lambda = best;
    return true;
}

// Centre (relative to the centroid) and radius from the coefficients;
// false when A is negligible or the radius shows the points flat.
bool centre_and_radius(const double *coef, int dim, double spread, double *centre, double *radius) {
    const double a = coef[dim + 1];
    if (std::fabs(a) <= 1e-19) return false;
    double c2 = 0.0;
    for (int j = 0; j < dim; ++j) {
        centre[j] = -coef[j + 1] / (2.0 * a);
        c2 += centre[j] * centre[j];
    }
    *radius = std::sqrt(std::fabs(c2 - coef[0] / a));
    return *radius <= kFlatRadiusRatio * spread;
}

#if !QUORM_FULL_BUILD
// The sphere through four points: |x - p1|^2 = |x - pk|^2 for k = 2, 3, 4.
void circumsphere(const Point3 *p1, const Point3 *p2, const Point3 *p3, const Point3 *p4, Point3 *centre,
                  double *radius) {
    const Point3 *others[3] = {p2, p3, p4};
    double a[9], b[3], x[3] = {0.0, 0.0, 0.0};
    for (int k = 0; k < 3; ++k) {
        const Vector3 d = sub(*others[k], *p1);
        a[3 * k] = 2.0 * d.x;
        a[3 * k + 1] = 2.0 * d.y;
        a[3 * k + 2] = 2.0 * d.z;
        b[k] = dot(d, d);
    }
    SOLVE_solve_3equations(a, b, x);
    *centre = Point3{p1->x + x[0], p1->y + x[1], p1->z + x[2]};
    *radius = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
}
#endif

} // namespace

QUORM_API void LSFIT_cre_tetrahedron_from_pts(const Point3 *pts, int n, double tol, int corners[4], int *status) {
    *status = 1;
    if (n < 4) return;
    Point3 centroid;
    Vector3 normal;
    int plane_status = 0;
    double stats[3] = {0.0, 0.0, 0.0};
    LSFIT_plane_to_points(pts, n, &centroid, &normal, &plane_status, stats);
    if (plane_status != 0 || !(stats[0] >= tol)) return;

    // Farthest from a point, from a line, from a plane: each the first of
    // equal ones.
    auto farthest = [&](auto distance) {
        int best = 0;
        double far = -1.0;
        for (int i = 0; i < n; ++i) {
            const double d = distance(pts[i]);
            if (d > far) {
                far = d;
                best = i;
            }
        }
        return best;
    };
    const int a = farthest([&](const Point3 &p) { return dist2(p, centroid); });
    const int b = farthest([&](const Point3 &p) { return dist2(p, pts[a]); });
    const Vector3 ab = sub(pts[b], pts[a]);
    const double ab2 = dot(ab, ab);
    if (!(ab2 > 0.0)) return;
    const int c = farthest([&](const Point3 &p) {
        const Vector3 ap = sub(p, pts[a]);
        const Vector3 across = cross(ap, ab);
        return dot(across, across) / ab2;
    });
    Vector3 up = cross(ab, sub(pts[c], pts[a]));
    const double up_len = std::sqrt(dot(up, up));
    if (!(up_len > 0.0)) return;
    up = scale(1.0 / up_len, up);
    const int d = farthest([&](const Point3 &p) { return std::fabs(dot(sub(p, pts[a]), up)); });
    if (!(std::fabs(dot(sub(pts[d], pts[a]), up)) >= tol)) return;
    corners[0] = a;
    corners[1] = b;
    corners[2] = c;
    corners[3] = d;
    *status = 0;
}

QUORM_API void LSFIT_sphere_to_points_3d(const Point3 *pts, int n, Point3 *centre, double *radius, int *status,
                                         double stats[3]) {
    *radius = kNoRadius;
    *status = 0;
    *centre = Point3{0.0, 0.0, 0.0};
    if (n <= 0) {
        *status = 1;
        return;
    }
    Temporaries temps;
    double *q = temps.alloc<double>(static_cast<size_t>(n) * 3);
    guarded(__FILE__, __LINE__, temps, [&] {
        Point3 c;
        LSFIT_ask_pts_centroid_3d(n, pts, &c);
        double spread = 0.0;
        for (int i = 0; i < n; ++i) {
            double *x = q + static_cast<size_t>(i) * 3;
            x[0] = pts[i].x - c.x;
            x[1] = pts[i].y - c.y;
            x[2] = pts[i].z - c.z;
            spread = std::fmax(spread, std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]));
        }
        double coef[5], lambda = 0.0;
        if (!pratt_fit(temps, q, n, 3, coef, &lambda)) {
            int corners[4], flat = 1;
            LSFIT_cre_tetrahedron_from_pts(pts, n, kFlatTol, corners, &flat);
            if (flat != 0) return;
#if QUORM_FULL_BUILD
            LSFIT_cre_circumsphere_of_tetrahedron(&pts[corners[0]], &pts[corners[1]], &pts[corners[2]],
                                                  &pts[corners[3]], centre, radius);
#else
            circumsphere(&pts[corners[0]], &pts[corners[1]], &pts[corners[2]], &pts[corners[3]], centre, radius);
#endif
            return;
        }
        double rel[3], r;
        if (!centre_and_radius(coef, 3, spread, rel, &r)) {
            *status = 1;
            return;
        }
        *centre = Point3{c.x + rel[0], c.y + rel[1], c.z + rel[2]};
        *radius = r;
        double largest = 0.0, total = 0.0;
        for (int i = 0; i < n; ++i) {
            const double d = std::fabs(std::sqrt(dist2(pts[i], *centre)) - r);
            largest = std::fmax(largest, d);
            total += d;
        }
        stats[0] = largest;
        stats[1] = std::sqrt(n / lambda);
        stats[2] = total / n;
    });
}

QUORM_API void LSFIT_circle_to_points_2d(const PNT2_s *pts, int n, PNT2_s *centre, double *radius, int *status,
                                         double stats[3]) {
    *radius = kNoRadius;
    *status = 0;
    if (n <= 0) {
        *status = 1;
        return;
    }
    Temporaries temps;
    double *q = temps.alloc<double>(static_cast<size_t>(n) * 2);
    guarded(__FILE__, __LINE__, temps, [&] {
        PNT2_s c;
        LSFIT_ask_pts_centroid_2d(n, pts, &c);
        double spread = 0.0;
        for (int i = 0; i < n; ++i) {
            double *x = q + static_cast<size_t>(i) * 2;
            x[0] = pts[i].x - c.x;
            x[1] = pts[i].y - c.y;
            spread = std::fmax(spread, std::hypot(x[0], x[1]));
        }
        double coef[4], lambda = 0.0;
        if (!pratt_fit(temps, q, n, 2, coef, &lambda)) {
            PNT2_s on_line;
            VEC2_s normal;
            int line_status = 0;
            double line_stats[3] = {0.0, 0.0, 0.0};
            LSFIT_line_to_points_2d(pts, n, &on_line, &normal, &line_status, line_stats);
            if (line_status != 0 || line_stats[1] < 0.005) {
                *status = 1;
                return;
            }
            const double tols[2] = {1e-10, 0.001};
            ARC_SPLINE_1_seg_2d_s seg;
            int arc_status = 0;
            ARC_SPLINE_cre_circle_thru_3_points_2d(&pts[0], &pts[n / 2], &pts[n - 1], tols, &seg, &arc_status);
            if (arc_status != 0) {
                *status = arc_status;
                return;
            }
            *centre = seg.center;
            *radius = seg.radius;
            return;
        }
        double rel[2], r;
        if (!centre_and_radius(coef, 2, spread, rel, &r)) {
            *status = 1;
            return;
        }
        *centre = PNT2_s{c.x + rel[0], c.y + rel[1]};
        *radius = r;
        double largest = 0.0, total = 0.0;
        for (int i = 0; i < n; ++i) {
            const double d = std::fabs(std::hypot(pts[i].x - centre->x, pts[i].y - centre->y) - r);
            largest = std::fmax(largest, d);
            total += d;
        }
        stats[0] = largest;
        stats[1] = std::sqrt(n / lambda);
        stats[2] = total / n;
    });
}
