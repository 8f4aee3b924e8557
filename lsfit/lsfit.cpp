// Least-squares building blocks: centroids, circumscribed circles and
// spheres, mean directions, local frames, principal axes, and the
// total-least-squares line (2-D) and plane fits.
#include "lsfit/lsfit_internal.h"
#include "foundation/vec3_inline.h"

#include <cmath>
#include <utility>

using namespace quorm;
using quorm::lsfit::guarded;
using quorm::lsfit::Temporaries;

namespace {

// Eigen solves of the fits and principal axes.
constexpr int kMaxSweeps = 60;

// Below this distance points count as together or on one line.
constexpr double kDegenerateTol = 0.001;

inline Vector3 unit_or_zero(const Vector3 &v) {
    Vector3 u;
    double len;
    VEC3_unitize(&v, 1e-10, &len, &u);
    return u;
}

// Index of the smallest eigenvalue of a scatter matrix, -1 when there is
// none (all not a number).  Eigenvalues with |lambda| <= 1e-9 count as
// exactly 0, and so do negative ones: the matrix is a sum of q.q^T, positive
// semi-definite, so a negative eigenvalue is a zero one that rounding pushed
// below 0 (a point set lying exactly in a plane, or on a line, gives such a
// zero).  Going by index, a later eigenvalue replaces the minimum only when
// it is strictly smaller.  *lambda_min gets the chosen value.
int smallest_eigenvalue(const double *values, int n, double *lambda_min) {
    double m = 1e19;
    int index = -1;
    for (int k = 0; k < n; ++k) {
        double lambda = values[k];
        if (std::fabs(lambda) <= 1e-9 || lambda < 0.0) lambda = 0.0;
        if (lambda < m) {
            m = lambda;
            index = k;
        }
    }
    if (std::fabs(m - 1e19) <= 1e-10) index = -1;
    *lambda_min = m;
    return index;
}

// Root-mean-square distance of n points from a fitted line or plane.  It is
// sqrt(lambda_min/n) in exact arithmetic, but the eigenvalue carries the
// rounding error of the whole scatter matrix (about 1e-16 of its largest
// eigenvalue), which the square root would blow up for a close fit: points
// exactly in a plane 100 units across would report 1e-6 rather than 0, more
// than their largest distance.  The sum of the squared distances (sum2) has
// no such error.  A minimum taken as 0 stays 0.
double rms_distance(double sum2, double lambda_min, int n) {
    if (lambda_min == 0.0) return 0.0;
    return std::sqrt(sum2 / n);
}

#if QUORM_FULL_BUILD
// Indices of the three values in descending order (ties keep their order).
void descending(const double *values, int order[3]) {
    order[0] = 0;
    order[1] = 1;
    order[2] = 2;
    for (int i = 1; i < 3; ++i)
        for (int j = i; j > 0 && values[order[j]] > values[order[j - 1]]; --j) std::swap(order[j], order[j - 1]);
}

// Diagonalises the symmetric 3x3 matrix in a (destroyed) into moments
// (descending) and the matching axes.  With check_definite, an eigenvalue
// below 1e-10 is an internal error.
void principal_axes(double **a, double **v, bool check_definite, double moments[3], Vector3 axes[3]) {
    double values[3];
    int rotations;
    NR_ask_eigenvalues_jacobi(a, 3, kMaxSweeps, values, v, &rotations);
    if (check_definite && (values[0] < 1e-10 || values[1] < 1e-10 || values[2] < 1e-10))
        ERROR_internal(__FILE__, __LINE__, "The inertia matrix is not positive definite as expected.");
    int order[3];
    descending(values, order);
    for (int k = 0; k < 3; ++k) {
        moments[k] = values[order[k]];
        axes[k] = Vector3{v[0][order[k]], v[1][order[k]], v[2][order[k]]};
    }
}
#endif

} // namespace

extern "C" {

QUORM_API void LSFIT_ask_pts_centroid_2d(int n, const PNT2_s *pts, PNT2_s *out) {
    QUORM_ASSERT(n > 0);
    double x = 0.0, y = 0.0;
    for (int i = 0; i < n; ++i) {
        x += pts[i].x;
        y += pts[i].y;
    }
    if (n > 0) {
        x /= n;
        y /= n;
    }
    *out = PNT2_s{x, y};
}

QUORM_API void LSFIT_ask_pts_centroid_3d(int n, const Point3 *pts, Point3 *out) {
    QUORM_ASSERT(n > 0);
    double x = 0.0, y = 0.0, z = 0.0;
    for (int i = 0; i < n; ++i) {
        x += pts[i].x;
        y += pts[i].y;
        z += pts[i].z;
    }
    if (n > 0) {
        x /= n;
        y /= n;
        z /= n;
    }
    *out = Point3{x, y, z};
}

#if QUORM_FULL_BUILD

// The centre lies on the perpendicular bisector of p2 p3, in the triangle's
// plane, at the signed distance R.cos(A) from the midpoint towards p1 (A the
// angle at p1): sqrt(R^2 - b^2/4) in magnitude, on p1's side for an acute A
// and beyond p2 p3 for an obtuse one.  The signed form stays exact where the
// square root would take a rounded, possibly negative, zero at a right angle.
QUORM_API void LSFIT_cre_circumcircle_of_triangle(const Point3 *p1, const Point3 *p2, const Point3 *p3,
                                                  Point3 *centre, double *radius) {
    const double a = std::sqrt(dist2(*p1, *p2)), b = std::sqrt(dist2(*p2, *p3)), c = std::sqrt(dist2(*p3, *p1));
    const double r = a * b * c / (4.0 * FACET_ask_triangle_area(p1, p2, p3));
    const Point3 mid{0.5 * (p2->x + p3->x), 0.5 * (p2->y + p3->y), 0.5 * (p2->z + p3->z)};
    const Vector3 side = sub(*p3, *p2);
    Point3 foot;
    double t;
    FACET_point_line_proj(p1, p2, &side, 0, &foot, &t);
    const Vector3 across = unit_or_zero(sub(*p1, foot));
    const double cos_a = dot(sub(*p2, *p1), sub(*p3, *p1)) / (a * c);
    *centre = add(mid, scale(r * cos_a, across));
    *radius = r;
}

QUORM_API void LSFIT_cre_circumsphere_of_tetrahedron(const Point3 *p1, const Point3 *p2, const Point3 *p3,
                                                     const Point3 *p4, Point3 *centre, double *radius) {
    Point3 ca, cb;
    double ra, rb;
    LSFIT_cre_circumcircle_of_triangle(p1, p3, p4, &ca, &ra);
    LSFIT_cre_circumcircle_of_triangle(p2, p3, p4, &cb, &rb);
    const Vector3 nb = unit_or_zero(cross(sub(*p4, *p3), sub(*p2, *p3)));
    const Vector3 na = unit_or_zero(cross(sub(*p1, *p3), sub(*p4, *p3)));
    double t, u;
    FACET_line_line_closest_point(&cb, &nb, &ca, &na, &t, &u);
    *centre = add(cb, scale(t, nb));
    *radius = std::sqrt(dist2(*p1, *centre));
}

QUORM_API void LSFIT_ask_mean_vec(int n, const Vector3 *vecs, bool unit, Vector3 *mean, double *spread_degrees) {
    *spread_degrees = 0.0;
    if (n <= 0) return;
    if (n == 1) {
        *mean = vecs[0];
        return;
    }
    Vector3 sum{0.0, 0.0, 0.0};
    for (int i = 0; i < n; ++i) sum = add(sum, vecs[i]);
    const Vector3 m = scale(1.0 / n, sum);
    Vector3 m_unit;
    double len;
    if (!VEC3_unitize(&m, 1e-10, &len, &m_unit)) {
        *mean = Vector3{0.0, 0.0, 0.0};
        *spread_degrees = 90.0;
        return;
    }
    *mean = m;
    double lowest = 1e19;
    for (int i = 0; i < n; ++i) {
        Vector3 v = vecs[i];
        if (!unit && !VEC3_unitize(&vecs[i], 1e-10, &len, &v)) continue;
        lowest = std::fmin(lowest, std::fabs(dot(m_unit, v)));
    }
    *spread_degrees = std::acos(std::fmin(1.0, lowest)) * 57.29577951308235;
}

QUORM_API void LSFIT_cre_local_csys(const Point3 *origin, const Vector3 *dir, const Vector3 *normal,
                                    MTX4_s *to_local, MTX4_s *inverse) {
    const Vector3 z = *normal;
    Vector3 e1{0.0, 0.0, 0.0}, e2{0.0, 0.0, 0.0};
    bool done = false;
    if (length2(*dir) > 1e-20) {
        // A dir parallel to the normal has no part across it: it then counts
        // as no direction at all rather than giving null axes.
        Vector3 across = sub(*dir, scale(dot(*dir, z), z));
        double len;
        if (VEC3_unitize(&across, 1e-10, &len, &e2)) {
            e1 = unit_or_zero(cross(e2, z));
            done = true;
        }
    }
    if (!done) {
        Vector3 perp;
        VEC3_ask_perpendicular(&z, &perp);
        e1 = unit_or_zero(perp);
        e2 = unit_or_zero(cross(z, e1));
    }
    double *m = to_local->elem;
    m[0] = e1.x;
    m[1] = e1.y;
    m[2] = e1.z;
    m[3] = 0.0;
    m[4] = e2.x;
    m[5] = e2.y;
    m[6] = e2.z;
    m[7] = 0.0;
    m[8] = z.x;
    m[9] = z.y;
    m[10] = z.z;
    m[11] = 0.0;
    m[12] = origin->x;
    m[13] = origin->y;
    m[14] = origin->z;
    m[15] = 1.0;
    MTX4_invert(to_local, inverse);
}

QUORM_API void LSFIT_ask_principle_axes_of_inertia_from_3d_pts(int n, const Point3 *pts, Point3 *centroid,
                                                               double moments[3], Vector3 axes[3]) {
    *centroid = Point3{0.0, 0.0, 0.0};
    for (int k = 0; k < 3; ++k) {
        moments[k] = 0.0;
        axes[k] = Vector3{0.0, 0.0, 0.0};
    }
    LSFIT_ask_pts_centroid_3d(n, pts, centroid);
    if (n <= 0) return;
    Temporaries temps;
    double **a = temps.matrix(3, 3), **v = temps.matrix(3, 3);
    guarded(__FILE__, __LINE__, temps, [&] {
        const Point3 c = *centroid;
        double sxx = 0.0, sxy = 0.0, sxz = 0.0, syy = 0.0, syz = 0.0, szz = 0.0;
        for (int i = 0; i < n; ++i) {
            const double x = pts[i].x - c.x, y = pts[i].y - c.y, z = pts[i].z - c.z;
            sxx += x * x;
            sxy += x * y;
            sxz += x * z;
            syy += y * y;
            syz += y * z;
            szz += z * z;
        }
        const double f = 1.0 / n;
        a[0][0] = f * sxx;
        a[0][1] = a[1][0] = f * sxy;
        a[0][2] = a[2][0] = f * sxz;
        a[1][1] = f * syy;
        a[1][2] = a[2][1] = f * syz;
        a[2][2] = f * szz;
        principal_axes(a, v, true, moments, axes);
    });
}

QUORM_API void LSFIT_ask_principle_axes_of_inertia_from_3d_tensor(const double *tensor, double moments[3],
                                                                  Vector3 axes[3]) {
    for (int k = 0; k < 3; ++k) {
        moments[k] = 0.0;
        axes[k] = Vector3{0.0, 0.0, 0.0};
    }
    Temporaries temps;
    double **a = temps.matrix(3, 3), **v = temps.matrix(3, 3);
    guarded(__FILE__, __LINE__, temps, [&] {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) a[i][j] = tensor[3 * i + j];
        principal_axes(a, v, false, moments, axes);
    });
}

#endif // QUORM_FULL_BUILD

QUORM_API void LSFIT_line_to_points_2d(const PNT2_s *pts, int n, PNT2_s *point, VEC2_s *normal, int *status,
                                       double stats[3]) {
    *point = PNT2_s{0.0, 0.0};
    *normal = VEC2_s{0.0, 0.0};
    *status = 0;
    if (n <= 0) {
        ERROR_internal(__FILE__, __LINE__, "There are no input points.");
        *status = 1;
        return;
    }
    PNT2_s c;
    LSFIT_ask_pts_centroid_2d(n, pts, &c);

    Temporaries temps;
    double **a = temps.matrix(2, 2), **v = temps.matrix(2, 2);
    guarded(__FILE__, __LINE__, temps, [&] {
        // The farthest centred point (the first of equals) and the scatter sums.
        double far2 = -1.0, far_x = 0.0, far_y = 0.0, sxx = 0.0, sxy = 0.0, syy = 0.0;
        for (int i = 0; i < n; ++i) {
            const double x = pts[i].x - c.x, y = pts[i].y - c.y;
            const double r2 = x * x + y * y;
            if (r2 > far2) {
                far2 = r2;
                far_x = x;
                far_y = y;
            }
            sxx += x * x;
            sxy += x * y;
            syy += y * y;
        }
        *point = c;
        const double r = std::sqrt(far2);
        if (r < kDegenerateTol) {
            *status = 1;
            return;
        }
        a[0][0] = sxx;
        a[0][1] = a[1][0] = sxy;
        a[1][1] = syy;
        double values[2], lambda_min;
        int rotations;
        NR_ask_eigenvalues_jacobi(a, 2, kMaxSweeps, values, v, &rotations);
        const int k = smallest_eigenvalue(values, 2, &lambda_min);
        VEC2_s nrm;
        if (k < 0) {
            nrm = VEC2_s{-far_y / r, far_x / r};
            lambda_min = 0.0;
        } else {
            VEC2_s e{v[0][k], v[1][k]};
            double len;
            VEC2_unitize(&e, 1e-10, &len, &nrm);
        }
        *normal = nrm;
        double largest = 0.0, sum = 0.0, sum2 = 0.0;
        for (int i = 0; i < n; ++i) {
            const double d = std::fabs(nrm.x * (pts[i].x - c.x) + nrm.y * (pts[i].y - c.y));
            largest = std::fmax(largest, d);
            sum += d;
            sum2 += d * d;
        }
        stats[0] = largest;
        stats[1] = rms_distance(sum2, lambda_min, n);
        stats[2] = sum / n;
    });
}

QUORM_API void LSFIT_plane_to_points(const Point3 *pts, int n, Point3 *point, Vector3 *normal, int *status,
                                     double stats[3]) {
    *point = Point3{0.0, 0.0, 0.0};
    *normal = Vector3{0.0, 0.0, 0.0};
    *status = 0;
    if (n <= 0) {
        ERROR_internal(__FILE__, __LINE__, "There are no input points.");
        *normal = Vector3{0.0, 0.0, 1.0};
        *status = 1;
        return;
    }
    Point3 c;
    LSFIT_ask_pts_centroid_3d(n, pts, &c);
    *point = c;

    Temporaries temps;
    double **a = temps.matrix(3, 3), **v = temps.matrix(3, 3);
    guarded(__FILE__, __LINE__, temps, [&] {
        // The farthest centred point (the first of equals) and the scatter sums.
        double far2 = -1.0, sxx = 0.0, sxy = 0.0, sxz = 0.0, syy = 0.0, syz = 0.0, szz = 0.0;
        Vector3 far{0.0, 0.0, 0.0};
        for (int i = 0; i < n; ++i) {
            const double x = pts[i].x - c.x, y = pts[i].y - c.y, z = pts[i].z - c.z;
            const double r2 = x * x + y * y + z * z;
            if (r2 > far2) {
                far2 = r2;
                far = Vector3{x, y, z};
            }
            sxx += x * x;
            sxy += x * y;
            sxz += x * z;
            syy += y * y;
            syz += y * z;
            szz += z * z;
        }
        // All points together: one point, or two closer than the tolerance,
        // or all within it of their centroid.
        const double r = std::sqrt(far2);
        const double together = n == 2 ? 0.5 * kDegenerateTol : kDegenerateTol;
        if (n == 1 || r < together) {
            *normal = Vector3{0.0, 0.0, 1.0};
            *status = 1;
            return;
        }
        // Points on a line along u: status 1 with a unit normal across it.
        const Vector3 u = scale(1.0 / r, far);
        auto on_a_line = [&] {
            Vector3 perp;
            VEC3_ask_perpendicular(&u, &perp);
            *normal = unit_or_zero(perp);
            *status = 1;
        };
        if (n == 2) {
            on_a_line();
            return;
        }

        a[0][0] = sxx;
        a[0][1] = a[1][0] = sxy;
        a[0][2] = a[2][0] = sxz;
        a[1][1] = syy;
        a[1][2] = a[2][1] = syz;
        a[2][2] = szz;
        double values[3], lambda_min;
        int rotations;
        NR_ask_eigenvalues_jacobi(a, 3, kMaxSweeps, values, v, &rotations);
        const int k = smallest_eigenvalue(values, 3, &lambda_min);
        const Vector3 nrm = k < 0 ? Vector3{0.0, 0.0, 0.0} : unit_or_zero(Vector3{v[0][k], v[1][k], v[2][k]});

        // One more pass: the largest squared distance from the line along u
        // (the line test) and the distances from the plane (the statistics,
        // kept only when the points are not on a line).
        double line2 = 0.0, largest = 0.0, sum = 0.0, sum2 = 0.0;
        for (int i = 0; i < n; ++i) {
            const Vector3 q{pts[i].x - c.x, pts[i].y - c.y, pts[i].z - c.z};
            line2 = std::fmax(line2, length2(cross(q, u)));
            const double d = std::fabs(dot(nrm, q));
            largest = std::fmax(largest, d);
            sum += d;
            sum2 += d * d;
        }
        if (line2 < kDegenerateTol * kDegenerateTol || k < 0) {
            on_a_line();
            return;
        }
        *normal = nrm;
        stats[0] = largest;
        stats[1] = rms_distance(sum2, lambda_min, n);
        stats[2] = sum / n;
    });
}

} // extern "C"
