// Differential geometry of curves (curvature, torsion, Frenet frame and their
// conversions) and surfaces (fundamental-form curvatures, normal curvature,
// the curve a plane cuts from a surface).
#include "foundation/quorm_internal.h"
#include "foundation/vec3_inline.h"

#include <quorm/dgeom.h>

#include <cmath>

using namespace quorm;

namespace {

inline void zero3(double *v) { v[0] = v[1] = v[2] = 0.0; }

inline double norm(const double *v) { return std::sqrt(length2(v)); }

// out = a*x + b*y + c*z (any of x, y, z may be out).
inline void combine3(double a, const double *x, double b, const double *y, double c, const double *z, double *out) {
    double r[3];
    for (int k = 0; k < 3; ++k) r[k] = a * x[k] + b * y[k] + c * z[k];
    copy(r, out);
}

// Components (a, b) of the tangent vector t in the basis Su, Sv, with the
// first fundamental form E, F, G and W = EG - F^2.
struct Basis {
    const double *Su, *Sv;
    double E, F, G, W;

    Basis(const double *su, const double *sv) : Su(su), Sv(sv) {
        E = dot(Su, Su);
        F = dot(Su, Sv);
        G = dot(Sv, Sv);
        W = E * G - F * F;
    }
    void coords(const double *t, double &a, double &b) const {
        double st = dot(Su, t), vt = dot(Sv, t);
        a = (G * st - F * vt) / W;
        b = (E * vt - F * st) / W;
    }
};

#if QUORM_FULL_BUILD
// The curve that the plane with normal p cuts from the surface, at the
// surface point, parameterised by arc length along the unit tangent t (in
// the tangent plane and the cutting plane), with unit surface normal n.
// d[0..8]: Su, Sv, Suu, Suv, Svv, Suuu, Suuv, Suvv, Svvv.
//
// The curvature vector is perpendicular to t and p, so it lies along
// m = t x p; its normal component is the normal curvature II(t, t).  The
// third derivative's tangential part follows from |C'| = 1 (C''' . t =
// -|C''|^2) and from staying in the plane (C''' . p = 0), its remaining parts
// from the chain rule.  false when the plane is tangent to the surface.
bool section_curve(const double *const d[9], const double *n, const double *p, const double *t, const Basis &basis,
                   double g2[3], double g3[3], bool want3) {
    const double *Suu = d[2], *Suv = d[3], *Svv = d[4];
    double m[3];
    cross(t, p, m);
    double mn = dot(m, n);
    if (std::fabs(mn) <= 1e-300) return false;
    double a, b;
    basis.coords(t, a, b);
    double q2[3]; // the second-order chain-rule terms
    combine3(a * a, Suu, 2 * a * b, Suv, b * b, Svv, q2);
    double kn = dot(q2, n);
    scale(kn / mn, m, g2);
    if (!want3) return true;

    // Second derivatives of the surface parameters: the tangential part of
    // C'' - q2 in the basis Su, Sv.
    double x[3], a2, b2;
    sub(g2, q2, x);
    basis.coords(x, a2, b2);
    // Everything in C''' except Su u''' + Sv v'''.
    const double *Suuu = d[5], *Suuv = d[6], *Suvv = d[7], *Svvv = d[8];
    double r[3] = {0, 0, 0}, tmp[3];
    combine3(3 * a * a2, Suu, 3 * (a * b2 + a2 * b), Suv, 3 * b * b2, Svv, tmp);
    add(r, tmp, r);
    combine3(a * a * a, Suuu, 3 * a * a * b, Suuv, 3 * a * b * b, Suvv, tmp);
    add(r, tmp, r);
    scale(b * b * b, Svvv, tmp);
    add(r, tmp, r);
    // The tangential remainder Y = alpha t + beta qhat, with qhat the unit
    // in-plane direction of p within the tangent plane (perpendicular to t).
    double q[3];
    scale_add(-dot(p, n), n, p, q); // p - (p.n) n
    double ql = norm(q);
    if (ql <= 1e-300) return false;
    double alpha = -length2(g2) - dot(r, t);
    double beta = -dot(r, p) / ql;
    for (int k = 0; k < 3; ++k) g3[k] = r[k] + alpha * t[k] + beta * q[k] / ql;
    return true;
}
#endif

} // namespace

extern "C" {

// ---- curves ------------------------------------------------------------------------

QUORM_API double DGEOM_crv_curvature(const double d1[3], const double d2[3], double k[3]) {
    double s2 = length2(d1);
    double s = std::sqrt(s2);
    if (s < 1e-10) {
        zero3(k);
        return 0.0;
    }
    double c = dot(d1, d2) / (s2 * s2);
    double r[3];
    for (int i = 0; i < 3; ++i) r[i] = d2[i] / s2 - c * d1[i];
    copy(r, k);
    return norm(k);
}

QUORM_API double DGEOM_crv_torsion(const double d1[3], const double d2[3], const double d3[3], double tv[3]) {
    double c[3];
    cross(d1, d2, c);
    double cl = norm(c);
    if (cl < 1e-10) {
        zero3(tv);
        return 0.0;
    }
    double tau = dot(c, d3) / (cl * cl);
    double s = norm(d1);
    double B[3], T[3], N[3];
    scale(1.0 / cl, c, B);
    scale(1.0 / s, d1, T);
    cross(B, T, N);
    scale(-tau, N, tv);
    return tau;
}

QUORM_API void DGEOM_crv_diff_property(const double d1[3], const double d2[3], const double d3[3], int want_torsion,
                                       double out[11]) {
    for (int i = 0; i < 11; ++i) out[i] = 0.0;
    double s = norm(d1);
    if (s < 1e-10) return;
    scale(1.0 / s, d1, out);
    double c[3];
    cross(d1, d2, c);
    double cl = norm(c);
    // A straight stretch has no curvature, normal, binormal or torsion; the
    // torsion's 0/0 is never formed.
    if (cl < 1e-10) return;
    double kappa = cl / (s * s * s);
    if (kappa < 1e-10) return;
    out[9] = kappa;
    scale(1.0 / cl, c, out + 3);
    cross(out + 3, out, out + 6);
    if (want_torsion == 1) out[10] = dot(c, d3) / (cl * cl);
}

QUORM_API void DGEOM_crv_curvature_variation(const double d1[3], const double d2[3], const double d3[3],
                                             double dk[3]) {
    double s2 = length2(d1);
    double s = std::sqrt(s2);
    if (s < 1e-10) {
        zero3(dk);
        return;
    }
    double s3 = s2 * s, s5 = s3 * s2, s7 = s5 * s2;
    double d12 = dot(d1, d2);
    double c2 = -3.0 * d12 / s5;
    double c1 = -(length2(d2) + dot(d1, d3)) / s5 + 4.0 * d12 * d12 / s7;
    combine3(1.0 / s3, d3, c2, d2, c1, d1, dk);
}

QUORM_API int DGEOM_convert_crvatr_to_radius(const double k[3], double r[3]) {
    double k2 = length2(k);
    if (!(k2 >= 1e-38)) return 1;
    scale(1.0 / k2, k, r);
    return 0;
}

QUORM_API int DGEOM_convert_radius_to_crvatr(const double r[3], double k[3]) {
    double r2 = length2(r);
    if (!(r2 >= 1e-38)) return 1;
    scale(1.0 / r2, r, k);
    return 0;
}

QUORM_API void DGEOM_convert_crvatr_to_deriv2(const double d1[3], const double k[3], double d2[3]) {
    scale(length2(d1), k, d2);
}

#if QUORM_FULL_BUILD
QUORM_API void DGEOM_convert_crvatr_deriv_to_deriv3(const double d1[3], const double k[3], const double dk[3],
                                                    double d3[3]) {
    // With d2 = s^2 k the second-derivative term 3((d2 - s^2 k).d1) k vanishes.
    double s2 = length2(d1);
    double s = std::sqrt(s2);
    double d2[3], diff[3];
    scale(s2, k, d2);
    scale_add(-s2, k, d2, diff);
    double c = 3.0 * dot(diff, d1);
    combine3(s2 * s, dk, c, k, 0.0, k, d3);
}

QUORM_API int DGEOM_convert_to_geometric_deriv(const double src[12], int order, double dst[12]) {
    double P[3], d1[3], d2[3], d3[3];
    copy(src, P);
    copy(src + 3, d1);
    copy(src + 6, d2);
    copy(src + 9, d3);
    copy(P, dst);
    if (order <= 0) return 0;
    double s2 = length2(d1);
    double s = std::sqrt(s2);
    if (s < 1e-10) return -2;
    scale(1.0 / s, d1, dst + 3);
    if (order == 1) return 0;
    double c12[3], k[3];
    cross(d1, d2, c12);
    cross(c12, d1, k);
    double s4 = s2 * s2;
    scale(1.0 / s4, k, dst + 6);
    if (order == 2) return 0;
    double c13[3], a[3], b[3];
    cross(d1, d3, c13);
    cross(c13, d1, a);
    cross(c12, d2, b);
    double s5 = s4 * s, s7 = s5 * s2;
    combine3(1.0 / s5, a, 1.0 / s5, b, -4.0 * dot(d1, d2) / s7, k, dst + 9);
    return 0;
}
#endif

// ---- surfaces ------------------------------------------------------------------------

QUORM_API int DGEOM_srf_curvatures(const double Su[3], const double Sv[3], const double Suu[3], const double Suv[3],
                                   const double Svv[3], int want_all, double out[7]) {
    Basis basis(Su, Sv);
    if (!(basis.W >= 1e-10)) return 1;
    double n[3];
    cross(Su, Sv, n);
    scale(1.0 / norm(n), n, n);
    double L = dot(n, Suu), M = dot(n, Suv), N = dot(n, Svv);
    double E = basis.E, F = basis.F, G = basis.G, W = basis.W;
    double K = (L * N - M * M) / W;
    double H = (2 * F * M - E * N - G * L) / (2 * W);
    out[0] = K;
    out[1] = H;
    if (want_all) {
        // H^2 >= K holds exactly; rounding may make it slightly negative.
        double disc = H * H - K;
        double w = std::fabs(disc) <= 1e-10 || disc < 0.0 ? 0.0 : std::sqrt(disc);
        out[2] = H - w;
        out[3] = H + w;
        out[4] = (std::fabs(H + w) + std::fabs(H - w)) / 2;
        out[5] = -L / E;
        out[6] = -N / G;
    }
    return 0;
}

QUORM_API int DGEOM_srf_normal_curvature(const double Su[3], const double Sv[3], const double Suu[3],
                                         const double Suv[3], const double Svv[3], const double normal[3],
                                         const double dir[3], double *kn) {
    *kn = 0.0;
    Basis basis(Su, Sv);
    double nd[3];
    cross(normal, dir, nd);
    if (!(basis.W >= 1e-10) || length2(nd) == 0.0) return 0;
    double du, dv;
    basis.coords(dir, du, dv);
    double I = basis.E * du * du + 2 * basis.F * du * dv + basis.G * dv * dv;
    if (I == 0.0) return 0;
    *kn = (du * du * dot(normal, Suu) + 2 * du * dv * dot(normal, Suv) + dv * dv * dot(normal, Svv)) / I;
    return 0;
}

#if QUORM_FULL_BUILD
QUORM_API int DGEOM_compute_sectional_G2G3_vectors(const double Su[3], const double Sv[3], const double Suu[3],
                                                   const double Suv[3], const double Svv[3], const double Suuu[3],
                                                   const double Suuv[3], const double Suvv[3],
                                                   const double Svvv[3], const double *p, int type, double *g2,
                                                   double *g3) {
    if (g2) zero3(g2);
    if (g3) zero3(g3);
    if (!p) return 1;
    if (type < 0 || type > 2) return 1;
    double len_tol = EQ_ask_length_tolerance(), sq_tol = EQ_ask_length_squared_tolerance();
    Basis basis(Su, Sv);
    if (!(basis.E > sq_tol) || !(basis.G > sq_tol) || !(std::fabs(basis.W) > sq_tol)) return 1;
    double c[3], n[3], np[3], t[3], len;
    cross(Su, Sv, c);
    if (!unitize(c, 3, len_tol, &len, n)) return 1;
    cross(n, p, np);
    if (!unitize(np, 3, len_tol, &len, t)) return 1;
    const double *d[9] = {Su, Sv, Suu, Suv, Svv, Suuu, Suuv, Suvv, Svvv};
    double k2[3], k3[3];
    if (!section_curve(d, n, p, t, basis, k2, k3, type != 1)) return 1;
    if (type != 2 && g2) copy(k2, g2);
    if (type != 1 && g3) copy(k3, g3);
    return 0;
}

QUORM_API int DGEOM_compute_sectional_geometric_deriv(const double *surface_data, const double p[3], double n[3],
                                                      int order, double *geo) {
    copy(surface_data, geo);
    if (order <= 0) return 0;
    double len;
    double un[3], pn[3], t[3];
    if (!unitize(n, 3, 0.0, &len, un)) return -2;
    copy(un, n);
    cross(p, n, pn);
    if (!unitize(pn, 3, 0.0, &len, t)) return -2;
    copy(t, geo + 3);
    if (order == 1) return 0;
    double up[3];
    if (!unitize(p, 3, 0.0, &len, up)) return -2;
    double c = dot(n, up);
    if (std::fabs(1.0 - c * c) < 1e-10) return -2;
    const double *d[9];
    for (int i = 0; i < 9; ++i) d[i] = surface_data + 3 * (i + 1);
    Basis basis(d[0], d[1]);
    if (!(std::fabs(basis.W) > EQ_ask_length_squared_tolerance())) return 1;
    double k2[3], k3[3];
    if (!section_curve(d, n, up, t, basis, k2, k3, order >= 3)) return -2;
    copy(k2, geo + 6);
    if (order >= 3) copy(k3, geo + 9);
    return 0;
}
#endif

} // extern "C"
