/** @file
 * libquorm: the whole public interface.
 *
 * Compiles as C99 and as C++.  Every function has C linkage.  Which build
 * the installed library is (full or reduced) is fixed in quorm_config.h.
 */
#ifndef QUORM_QUORM_H
#define QUORM_QUORM_H

#include <corvex/corvex.h>

#include <quorm/quorm_platform.h>
#include <quorm/quorm_errors.h>
#include <quorm/records.h>

/* Foundation */
#include <quorm/merror.h>
#include <quorm/toler.h>
#include <quorm/box3.h>
#include <quorm/vec2.h>
#include <quorm/vec3.h>
#include <quorm/mc_math.h>
#include <quorm/vec_numbered.h>
#include <quorm/mtx2.h>
#include <quorm/mtx3.h>
#include <quorm/mtx4.h>
#include <quorm/pnt3.h>
#include <quorm/pln3.h>
#include <quorm/csys.h>

/* Numerical solvers */
#include <quorm/solve.h>
#include <quorm/nr_eigensystems.h>
#include <quorm/banded.h>
#include <quorm/solve_roots.h>
#include <quorm/svd.h>
#include <quorm/nr_drivers.h>

/* 2-D arc splines */
#include <quorm/arc_spline_seg.h>
#include <quorm/arc_spline_plane.h>
#include <quorm/arc_spline_inter.h>
#include <quorm/arc_spline_apollonian.h>

/* Curve defining data and point lists */
#include <quorm/pntlst.h>
#include <quorm/bcdf.h>
#include <quorm/bcdf_calc.h>
#include <quorm/bcdf_gen.h>

/* Least-squares fits */
#include <quorm/lsfit.h>
#include <quorm/lsfit_sphere.h>
#include <quorm/lsfit_developable.h>
#include <quorm/lsfit_nonlinear.h>
#include <quorm/lsfit_lines.h>

/* Spline kernel */
#include <quorm/kernel_geom.h>
#include <quorm/kernel_eval.h>
#include <quorm/kernel_toler.h>
#include <quorm/kernel_interp.h>
#include <quorm/kernel_knot.h>
#include <quorm/kernel_subdiv.h>
#include <quorm/kernel_hermite.h>
#include <quorm/kernel_geom_space.h>

/* Differential geometry */
#include <quorm/dgeom.h>

/* Facets, polygon fill and hidden-line rendering */
#include <quorm/facet.h>
#include <quorm/ptf.h>
#include <quorm/hlr_facet.h>

/* Settings */
#include <quorm/acom.h>
#include <quorm/wcs.h>

#endif
