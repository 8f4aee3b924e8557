// Ellipse residual and the Levenberg-Marquardt minimiser that refines the
// 2-D ellipse fit.
//
// The minimiser is the classical trust-region form of Levenberg-Marquardt:
// a forward-difference Jacobian, its QR factorisation with column pivoting,
// the Levenberg-Marquardt parameter found by a safeguarded Newton iteration
// on the step length, Givens rotations to fold the parameter's diagonal into
// R, and the step bound updated from the ratio of actual to predicted
// reduction.  Matrices are stored column by column.
//
// NaN handling: min, max and the gradient norm below let a NaN through
// instead of dropping it, so that a NaN residual can never pass one of the
// convergence tests (every comparison with a NaN is false).
#include "foundation/quorm_internal.h"

#include <cmath>

#if QUORM_FULL_BUILD

namespace {

// Relative machine precision used by the difference steps and the
// "tolerance too small" tests.
constexpr double kEpsMachine = 1.2e-16;
// Smallest positive magnitude the Levenberg-Marquardt parameter may take.
constexpr double kDwarf = 1e-38;
// Thresholds of the overflow- and underflow-safe norm.
constexpr double kNormSmall = 3.834e-20;
constexpr double kNormLarge = 1.304e19;

constexpr double p1 = 0.1, p5 = 0.5, p25 = 0.25, p75 = 0.75, p0001 = 1e-4, p001 = 0.001, p05 = 0.05;

// The smaller / larger of a and b; a NaN in either gives NaN.
inline double min_nan(double a, double b) { return std::isnan(a) || std::isnan(b) ? NAN : (a <= b ? a : b); }
inline double max_nan(double a, double b) { return std::isnan(a) || std::isnan(b) ? NAN : (a >= b ? a : b); }

// Euclidean norm of x[0..n-1] without destructive underflow or overflow:
// small, intermediate and large components are summed separately, the small
// and large ones scaled by their largest magnitude.  A NaN gives NaN.
double safe_norm(int n, const double *x) {
    if (n <= 0) return 0.0;
    double s1 = 0.0, s2 = 0.0, s3 = 0.0, x1max = 0.0, x3max = 0.0;
    const double agiant = kNormLarge / n;
    for (int i = 0; i < n; ++i) {
        const double xabs = std::fabs(x[i]);
        if (xabs > kNormSmall && xabs < agiant) {
            s2 += xabs * xabs;
        } else if (xabs <= kNormSmall) {
            if (xabs > x3max) {
                const double r = x3max / xabs;
                s3 = 1.0 + s3 * (r * r);
                x3max = xabs;
            } else if (xabs != 0.0) {
                const double r = xabs / x3max;
                s3 += r * r;
            }
        } else {
            // Large components (and NaNs, which fail both tests above).
            if (xabs > x1max) {
                const double r = x1max / xabs;
                s1 = 1.0 + s1 * (r * r);
                x1max = xabs;
            } else {
                const double r = xabs / x1max;
                s1 += r * r;
            }
        }
    }
    if (s1 != 0.0) return x1max * std::sqrt(s1 + (s2 / x1max) / x1max);
    if (s2 != 0.0) {
        if (s2 >= x3max) return std::sqrt(s2 * (1.0 + (x3max / s2) * (x3max * s3)));
        return std::sqrt(x3max * ((s2 / x3max) + (x3max * s3)));
    }
    return x3max * std::sqrt(s3);
}

// Column-major matrix access.
struct ColumnMajor {
    double *a;
    int ld;
    double &operator()(int i, int j) const { return a[i + static_cast<ptrdiff_t>(j) * ld]; }
    double *column(int j) const { return a + static_cast<ptrdiff_t>(j) * ld; }
};

// The residual model: the ellipse residual over the caller's points.  A
// negative flag from the model ends the minimisation with that code.
struct Residuals {
    const PNT2_s *pts;
    int m, n;
    void operator()(const double *x, double *fvec, int *flag) const { LSFIT_ellipse_func(pts, m, n, x, fvec, flag); }
};

// Forward-difference Jacobian of the residuals at x (fvec holds them) into
// fjac; wa (m) is work space.  x is restored after each column.
void forward_difference_jacobian(const Residuals &fcn, int m, int n, double *x, const double *fvec,
                                 const ColumnMajor &fjac, int *flag, double epsfcn, double *wa) {
    // A NaN or too small epsfcn means residuals accurate to machine precision.
    const double eps = std::sqrt(epsfcn > kEpsMachine ? epsfcn : kEpsMachine);
    for (int j = 0; j < n; ++j) {
        const double temp = x[j];
        double h = eps * std::fabs(temp);
        if (h == 0.0) h = eps;
        x[j] = temp + h;
        fcn(x, wa, flag);
        x[j] = temp;
        if (*flag < 0) return;
        double *col = fjac.column(j);
        for (int i = 0; i < m; ++i) col[i] = (wa[i] - fvec[i]) / h;
    }
}

// QR factorisation with column pivoting of the m x n matrix a (m >= n) by
// Householder reflections.  On return the strict upper triangle of a holds
// R without its diagonal, which goes to rdiag; the lower trapezoid holds the
// reflection vectors.  acnorm receives the norms of the original columns,
// ipvt the column order (column j of A P is column ipvt[j] of A).  wa (n) is
// work space.  The norms of the remaining columns are updated as the
// reflections are applied, and recomputed when cancellation has eaten them.
void qr_pivoted(int m, int n, const ColumnMajor &a, int *ipvt, double *rdiag, double *acnorm, double *wa) {
    for (int j = 0; j < n; ++j) {
        acnorm[j] = safe_norm(m, a.column(j));
        rdiag[j] = acnorm[j];
        wa[j] = rdiag[j];
        ipvt[j] = j;
    }
    const int minmn = m < n ? m : n;
    for (int j = 0; j < minmn; ++j) {
        // Bring the column of largest remaining norm into the pivot position.
        int kmax = j;
        for (int k = j; k < n; ++k)
            if (rdiag[k] > rdiag[kmax]) kmax = k;
        if (kmax != j) {
            for (int i = 0; i < m; ++i) {
                const double t = a(i, j);
                a(i, j) = a(i, kmax);
                a(i, kmax) = t;
            }
            rdiag[kmax] = rdiag[j];
            wa[kmax] = wa[j];
            const int k = ipvt[j];
            ipvt[j] = ipvt[kmax];
            ipvt[kmax] = k;
        }
        // The reflection that zeroes column j below the diagonal.
        double ajnorm = safe_norm(m - j, &a(j, j));
        if (ajnorm != 0.0) {
            if (a(j, j) < 0.0) ajnorm = -ajnorm;
            for (int i = j; i < m; ++i) a(i, j) /= ajnorm;
            a(j, j) += 1.0;
            for (int k = j + 1; k < n; ++k) {
                double sum = 0.0;
                for (int i = j; i < m; ++i) sum += a(i, j) * a(i, k);
                const double temp = sum / a(j, j);
                for (int i = j; i < m; ++i) a(i, k) -= temp * a(i, j);
                if (rdiag[k] != 0.0) {
                    const double t = a(j, k) / rdiag[k];
                    rdiag[k] *= std::sqrt(max_nan(0.0, 1.0 - t * t));
                    const double r = rdiag[k] / wa[k];
                    if (p05 * (r * r) <= kEpsMachine) {
                        rdiag[k] = safe_norm(m - j - 1, &a(j + 1, k));
                        wa[k] = rdiag[k];
                    }
                }
            }
        }
        rdiag[j] = -ajnorm;
    }
}

// Solves, in the least-squares sense, A x = b, D x = 0 given the pivoted QR
// factorisation A P = Q R (full upper triangle of r, ipvt) and qtb = the
// first n entries of Q^T b.  The diagonal D is folded into R by Givens
// rotations: on return the strict lower triangle of r holds the transpose of
// the new triangle S (with P^T (A^T A + D D) P = S^T S), sdiag its diagonal;
// the upper triangle and diagonal of r are restored.  wa (n) is work space.
void solve_with_diagonal(int n, const ColumnMajor &r, const int *ipvt, const double *diag, const double *qtb,
                         double *x, double *sdiag, double *wa) {
    for (int j = 0; j < n; ++j) {
        for (int i = j; i < n; ++i) r(i, j) = r(j, i);
        x[j] = r(j, j);
        wa[j] = qtb[j];
    }
    for (int j = 0; j < n; ++j) {
        const int l = ipvt[j];
        if (diag[l] != 0.0) {
            for (int k = j; k < n; ++k) sdiag[k] = 0.0;
            sdiag[j] = diag[l];
            // Rotations eliminate row j of D against the rows of R; the extra
            // right-hand-side element starts at 0.
            double qtbpj = 0.0;
            for (int k = j; k < n; ++k) {
                if (sdiag[k] == 0.0) continue;
                double sine, cosine;
                if (std::fabs(r(k, k)) < std::fabs(sdiag[k])) {
                    const double cotan = r(k, k) / sdiag[k];
                    sine = p5 / std::sqrt(p25 + p25 * (cotan * cotan));
                    cosine = sine * cotan;
                } else {
                    const double tangent = sdiag[k] / r(k, k);
                    cosine = p5 / std::sqrt(p25 + p25 * (tangent * tangent));
                    sine = cosine * tangent;
                }
                r(k, k) = cosine * r(k, k) + sine * sdiag[k];
                const double temp = cosine * wa[k] + sine * qtbpj;
                qtbpj = -sine * wa[k] + cosine * qtbpj;
                wa[k] = temp;
                for (int i = k + 1; i < n; ++i) {
                    const double t = cosine * r(i, k) + sine * sdiag[i];
                    sdiag[i] = -sine * r(i, k) + cosine * sdiag[i];
                    r(i, k) = t;
                }
            }
        }
        sdiag[j] = r(j, j);
        r(j, j) = x[j];
    }
    // Back substitution; a singular S gives the solution with the trailing
    // components zero.
    int nsing = n;
    for (int j = 0; j < n; ++j) {
        if (sdiag[j] == 0.0 && nsing == n) nsing = j;
        if (nsing < n) wa[j] = 0.0;
    }
    for (int j = nsing - 1; j >= 0; --j) {
        double sum = 0.0;
        for (int i = j + 1; i < nsing; ++i) sum += r(i, j) * wa[i];
        wa[j] = (wa[j] - sum) / sdiag[j];
    }
    for (int j = 0; j < n; ++j) x[ipvt[j]] = wa[j];
}

// The Levenberg-Marquardt parameter par for the step bound delta: the step x
// solving A x = b, sqrt(par) D x = 0 is the Gauss-Newton step when that is
// short enough (par = 0), else par is found so that |D x| lies within 10% of
// delta (at most 10 iterations).  r, ipvt and qtb as for
// solve_with_diagonal; sdiag receives S's diagonal; wa1, wa2 (n) work.
void lm_parameter(int n, const ColumnMajor &r, const int *ipvt, const double *diag, const double *qtb, double delta,
                  double *par, double *x, double *sdiag, double *wa1, double *wa2) {
    // Gauss-Newton direction (least squares when R is singular).
    int nsing = n;
    for (int j = 0; j < n; ++j) {
        wa1[j] = qtb[j];
        if (r(j, j) == 0.0 && nsing == n) nsing = j;
        if (nsing < n) wa1[j] = 0.0;
    }
    for (int j = nsing - 1; j >= 0; --j) {
        wa1[j] /= r(j, j);
        const double temp = wa1[j];
        for (int i = 0; i < j; ++i) wa1[i] -= r(i, j) * temp;
    }
    for (int j = 0; j < n; ++j) x[ipvt[j]] = wa1[j];

    int iter = 0;
    for (int j = 0; j < n; ++j) wa2[j] = diag[j] * x[j];
    double dxnorm = safe_norm(n, wa2);
    double fp = dxnorm - delta;
    if (!(fp <= p1 * delta)) {
        // Lower bound parl from the Newton step at par = 0 (only when R has
        // full rank), upper bound paru from the gradient.
        double parl = 0.0;
        if (nsing >= n) {
            for (int j = 0; j < n; ++j) {
                const int l = ipvt[j];
                wa1[j] = diag[l] * (wa2[l] / dxnorm);
            }
            for (int j = 0; j < n; ++j) {
                double sum = 0.0;
                for (int i = 0; i < j; ++i) sum += r(i, j) * wa1[i];
                wa1[j] = (wa1[j] - sum) / r(j, j);
            }
            const double temp = safe_norm(n, wa1);
            parl = ((fp / delta) / temp) / temp;
        }
        for (int j = 0; j < n; ++j) {
            double sum = 0.0;
            for (int i = 0; i <= j; ++i) sum += r(i, j) * qtb[i];
            wa1[j] = sum / diag[ipvt[j]];
        }
        const double gnorm = safe_norm(n, wa1);
        double paru = gnorm / delta;
        if (paru == 0.0) paru = kDwarf / min_nan(delta, p1);

        *par = max_nan(*par, parl);
        *par = min_nan(*par, paru);
        if (*par == 0.0) *par = gnorm / dxnorm;

        for (;;) {
            ++iter;
            if (*par == 0.0) *par = max_nan(kDwarf, p001 * paru);
            const double sq = std::sqrt(*par);
            for (int j = 0; j < n; ++j) wa1[j] = sq * diag[j];
            solve_with_diagonal(n, r, ipvt, wa1, qtb, x, sdiag, wa2);
            for (int j = 0; j < n; ++j) wa2[j] = diag[j] * x[j];
            dxnorm = safe_norm(n, wa2);
            const double previous = fp;
            fp = dxnorm - delta;
            // Accept when |D x| is close enough to delta, when par has gone
            // to its lower bound 0 and the step is short, or after 10 tries.
            if (std::fabs(fp) <= p1 * delta || (parl == 0.0 && fp <= previous && previous < 0.0) || iter == 10)
                break;
            // Newton correction.
            for (int j = 0; j < n; ++j) {
                const int l = ipvt[j];
                wa1[j] = diag[l] * (wa2[l] / dxnorm);
            }
            for (int j = 0; j < n; ++j) {
                wa1[j] /= sdiag[j];
                const double temp = wa1[j];
                for (int i = j + 1; i < n; ++i) wa1[i] -= r(i, j) * temp;
            }
            const double temp = safe_norm(n, wa1);
            const double parc = ((fp / delta) / temp) / temp;
            if (fp > 0.0) parl = max_nan(parl, *par);
            if (fp < 0.0) paru = min_nan(paru, *par);
            *par = max_nan(parl, *par + parc);
        }
    }
    if (iter == 0) *par = 0.0;
}

// True for an input the minimiser refuses (improper input).
bool improper(int m, int n, double ftol, double xtol, double gtol, int maxfev, const double *diag, int mode,
              double factor, int ldfjac) {
    // The residual model reads five coefficients: fewer would read beyond x.
    if (n < 5 || m < n || ldfjac < m) return true;
    if (!(ftol >= 0.0) || !(xtol >= 0.0) || !(gtol >= 0.0) || maxfev <= 0 || !(factor > 0.0)) return true;
    if (mode == 2)
        for (int j = 0; j < n; ++j)
            if (!(diag[j] > 0.0)) return true;
    return false;
}

} // namespace

extern "C" {

QUORM_API void LSFIT_ellipse_func(const PNT2_s *pts, int m, int /*n*/, const double x[5], double *fvec,
                                  int * /*flag*/) {
    const double b = x[0], c = x[1], d = x[2], e = x[3], f = x[4];
    for (int i = 0; i < m; ++i) {
        const double X = pts[i].x, Y = pts[i].y;
        fvec[i] = X * X + 2.0 * b * X * Y + c * Y * Y + 2.0 * d * X + 2.0 * e * Y + f;
    }
}

QUORM_API double LSFIT_nonlinear_function(const PNT2_s *pts, int m, int n, double *x, double *fvec, double ftol,
                                          double xtol, double gtol, int maxfev, double epsfcn, double *diag, int mode,
                                          double factor, int nprint, int *info, int *nfev, double *fjac, int ldfjac,
                                          int *ipvt, double *qtf, double *wa1, double *wa2, double *wa3, double *wa4) {
    *info = 0;
    *nfev = 0;
    if (improper(m, n, ftol, xtol, gtol, maxfev, diag, mode, factor, ldfjac)) return 0.0;

    const Residuals fcn{pts, m, n};
    const ColumnMajor a{fjac, ldfjac};
    int flag = 1;
    fcn(x, fvec, &flag);
    *nfev = 1;
    double fnorm = safe_norm(m, fvec);
    double par = 0.0, delta = 0.0, xnorm = 0.0;
    int iter = 1;
    int code = 0;

    while (flag >= 0 && code == 0) {
        // Jacobian and its pivoted QR factorisation.
        flag = 2;
        forward_difference_jacobian(fcn, m, n, x, fvec, a, &flag, epsfcn, wa4);
        *nfev += n;
        if (flag < 0) break;
        if (nprint > 0 && (iter - 1) % nprint == 0) {
            flag = 0;
            fcn(x, fvec, &flag);
            if (flag < 0) break;
        }
        qr_pivoted(m, n, a, ipvt, wa1, wa2, wa3);

        // On the first iteration the scaling follows the column norms
        // (mode 1) and the step bound starts at factor * |D x|.
        if (iter == 1) {
            if (mode != 2)
                for (int j = 0; j < n; ++j) diag[j] = wa2[j] == 0.0 ? 1.0 : wa2[j];
            for (int j = 0; j < n; ++j) wa3[j] = diag[j] * x[j];
            xnorm = safe_norm(n, wa3);
            delta = factor * xnorm;
            if (delta == 0.0) delta = factor;
        }

        // Q^T fvec; its first n entries go to qtf.  R's diagonal goes back
        // into fjac.
        for (int i = 0; i < m; ++i) wa4[i] = fvec[i];
        for (int j = 0; j < n; ++j) {
            if (a(j, j) != 0.0) {
                double sum = 0.0;
                for (int i = j; i < m; ++i) sum += a(i, j) * wa4[i];
                const double temp = -sum / a(j, j);
                for (int i = j; i < m; ++i) wa4[i] += a(i, j) * temp;
            }
            a(j, j) = wa1[j];
            qtf[j] = wa4[j];
        }

        // Scaled gradient norm.  At an exact fit (fnorm = 0) the gradient is
        // zero: the cosines below would be 0/0.
        double gnorm = 0.0;
        if (fnorm != 0.0) {
            for (int j = 0; j < n; ++j) {
                const int l = ipvt[j];
                if (wa2[l] != 0.0) {
                    double sum = 0.0;
                    for (int i = 0; i <= j; ++i) sum += a(i, j) * (qtf[i] / fnorm);
                    gnorm = max_nan(gnorm, std::fabs(sum / wa2[l]));
                }
            }
        }
        if (gnorm <= gtol) {
            code = 4;
            break;
        }
        if (mode != 2)
            for (int j = 0; j < n; ++j) diag[j] = max_nan(diag[j], wa2[j]);

        // Inner loop: steps of the trust region until one is accepted or a
        // test ends the run.
        double ratio = 0.0;
        do {
            lm_parameter(n, a, ipvt, diag, qtf, delta, &par, wa1, wa2, wa3, wa4);
            for (int j = 0; j < n; ++j) {
                wa1[j] = -wa1[j];
                wa2[j] = x[j] + wa1[j];
                wa3[j] = diag[j] * wa1[j];
            }
            const double pnorm = safe_norm(n, wa3);
            if (iter == 1) delta = min_nan(delta, pnorm);

            flag = 1;
            fcn(wa2, wa4, &flag);
            ++*nfev;
            if (flag < 0) break;
            const double fnorm1 = safe_norm(m, wa4);

            // Actual, predicted and directional reductions.
            double actred = -1.0;
            if (p1 * fnorm1 < fnorm) {
                const double q = fnorm1 / fnorm;
                actred = 1.0 - q * q;
            }
            for (int j = 0; j < n; ++j) {
                wa3[j] = 0.0;
                const double temp = wa1[ipvt[j]];
                for (int i = 0; i <= j; ++i) wa3[i] += a(i, j) * temp;
            }
            const double temp1 = safe_norm(n, wa3) / fnorm;
            const double temp2 = (std::sqrt(par) * pnorm) / fnorm;
            const double prered = temp1 * temp1 + temp2 * temp2 / p5;
            const double dirder = -(temp1 * temp1 + temp2 * temp2);
            ratio = 0.0;
            if (prered != 0.0) ratio = actred / prered;

            // Step bound update.
            if (ratio <= p25) {
                double temp = actred >= 0.0 ? p5 : p5 * dirder / (dirder + p5 * actred);
                if (p1 * fnorm1 >= fnorm || temp < p1) temp = p1;
                delta = temp * min_nan(delta, pnorm / p1);
                par = par / temp;
            } else if (par == 0.0 || ratio >= p75) {
                delta = pnorm / p5;
                par = p5 * par;
            }

            // A successful step is taken.
            if (ratio >= p0001) {
                for (int j = 0; j < n; ++j) {
                    x[j] = wa2[j];
                    wa2[j] = diag[j] * x[j];
                }
                for (int i = 0; i < m; ++i) fvec[i] = wa4[i];
                xnorm = safe_norm(n, wa2);
                fnorm = fnorm1;
                ++iter;
            }

            // Convergence, then the budget and the too-small tolerances.
            const bool f_converged = std::fabs(actred) <= ftol && prered <= ftol && p5 * ratio <= 1.0;
            const bool x_converged = delta <= xtol * xnorm;
            if (f_converged) code = 1;
            if (x_converged) code = 2;
            if (f_converged && x_converged) code = 3;
            if (code != 0) break;
            if (*nfev >= maxfev) code = 5;
            if (std::fabs(actred) <= kEpsMachine && prered <= kEpsMachine && p5 * ratio <= 1.0) code = 6;
            if (delta <= kEpsMachine * xnorm) code = 7;
            if (gnorm <= kEpsMachine) code = 8;
        } while (code == 0 && ratio < p0001);
    }

    *info = flag < 0 ? flag : code;
    if (nprint > 0) {
        flag = 0;
        fcn(x, fvec, &flag);
    }
    return safe_norm(m, fvec);
}

} // extern "C"

#endif
