/** @file
 * Ellipse residual and nonlinear least squares (LSFIT_, full build only).
 *
 * LSFIT_nonlinear_function minimises the sum of squares of the algebraic
 * residuals of a conic through 2-D points by the Levenberg-Marquardt method:
 * forward-difference Jacobian, QR factorisation with column pivoting and a
 * trust-region step with the Levenberg-Marquardt parameter.  Every matrix is
 * stored column by column (element (i, j) of the Jacobian at
 * fjac[i + j*ldfjac]).  Nothing is raised: the outcome is the info code.
 */
#ifndef QUORM_LSFIT_NONLINEAR_H
#define QUORM_LSFIT_NONLINEAR_H

#include <quorm/records.h>

/** Result codes of LSFIT_nonlinear_function (info). */
#define LSFIT_NL_IMPROPER_INPUT 0  /**< arguments out of range: nothing was evaluated             */
#define LSFIT_NL_FTOL 1            /**< relative reduction of the sum of squares at most ftol      */
#define LSFIT_NL_XTOL 2            /**< relative change of x at most xtol                          */
#define LSFIT_NL_FTOL_XTOL 3       /**< both 1 and 2                                               */
#define LSFIT_NL_GTOL 4            /**< residuals orthogonal to the Jacobian columns within gtol   */
#define LSFIT_NL_MAXFEV 5          /**< the evaluation budget maxfev was used up                   */
#define LSFIT_NL_FTOL_TOO_SMALL 6  /**< no further reduction of the sum of squares is possible     */
#define LSFIT_NL_XTOL_TOO_SMALL 7  /**< no further improvement of x is possible                    */
#define LSFIT_NL_GTOL_TOO_SMALL 8  /**< residuals orthogonal to the Jacobian to machine precision  */

QUORM_BEGIN_DECLS

#if QUORM_FULL_BUILD
/** Residuals of the conic X^2 + 2bXY + cY^2 + 2dX + 2eY + f = 0 with
 * x = (b, c, d, e, f) at the m points: fvec[i] is the conic's value at
 * pts[i] (the algebraic distance).  n and flag are not read; x always holds
 * five coefficients. */
QUORM_API void LSFIT_ellipse_func(const PNT2_s *pts, int m, int n, const double x[5], double *fvec, int *flag);

/** Minimises the sum of squares of the m ellipse residuals over the n
 * parameters x, starting from x; leaves the solution in x, its residuals in
 * fvec, the code in *info and the number of residual evaluations (a Jacobian
 * costs n) in *nfev.  Returns the Euclidean norm of fvec.
 *
 * Improper input (n < 5, since the residual model reads five coefficients;
 * m < n; ldfjac < m; a negative ftol, xtol or gtol; maxfev <= 0;
 * factor <= 0; with mode 2 a diag entry <= 0) gives info 0 and nfev 0,
 * leaves x and fvec untouched and returns 0.
 *
 * epsfcn: relative error of the residuals, sets the difference steps.  diag
 * (n): with mode 1 the scaling is set from the Jacobian's column norms and
 * written back; with mode 2 the caller's positive entries are used.  factor:
 * initial step bound relative to |diag*x|.  nprint > 0: the residuals are
 * recomputed at the start of every nprint-th iteration and at the end.
 * Work arrays: fjac (ldfjac*n), ipvt (n), qtf, wa1, wa2, wa3 (n each),
 * wa4 (m).  On return the upper triangle of fjac holds R of the pivoted QR
 * factorisation of the last Jacobian and ipvt its column order.
 *
 * The residuals of a point with a NaN coordinate are NaN; such data never
 * ends with a convergence code (1 to 4): the run uses its budget (info 5)
 * and stops within maxfev + n evaluations, x unchanged. */
QUORM_API double LSFIT_nonlinear_function(const PNT2_s *pts, int m, int n, double *x, double *fvec, double ftol,
                                          double xtol, double gtol, int maxfev, double epsfcn, double *diag, int mode,
                                          double factor, int nprint, int *info, int *nfev, double *fjac, int ldfjac,
                                          int *ipvt, double *qtf, double *wa1, double *wa2, double *wa3, double *wa4);
#endif

QUORM_END_DECLS

#endif
