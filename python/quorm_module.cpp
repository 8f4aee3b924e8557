// Compiled core of the quorm Python package (_quorm).
//
// Every function takes NumPy array-likes, converts them once to C-contiguous
// float64 (no copy when they already are), checks their shapes with a
// ValueError naming the argument, calls the library with the GIL released and
// returns arrays that own their memory.  Library exceptions become
// quorm.Error with the library's code.  The pure-Python package (__init__.py)
// wraps the raw results into small result objects.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

using Doubles = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Ints = py::array_t<int, py::array::c_style | py::array::forcecast>;

PyObject *g_error = nullptr;

std::string shape_text(const py::array &a) {
    std::string s = "(";
    for (py::ssize_t i = 0; i < a.ndim(); ++i) {
        if (i) s += ", ";
        s += std::to_string(a.shape(i));
    }
    if (a.ndim() == 1) s += ",";
    return s + ")";
}

// The library's own wording of a failed status call, raised as quorm.Error.
[[noreturn]] void raise_error(const std::string &message, int code) {
    throw Kaltor::Error::Exception(code, "python", 0, message);
}

// obj as a C-contiguous float64 array whose shape matches dims (-1: any
// extent).  Already-conforming arrays are used in place.
Doubles as_doubles(py::handle obj, const char *name, std::initializer_list<py::ssize_t> dims, const char *expected) {
    Doubles a = Doubles::ensure(obj);
    if (!a) throw py::value_error(std::string(name) + ": expected a float array-like of shape " + expected);
    bool ok = a.ndim() == static_cast<py::ssize_t>(dims.size());
    py::ssize_t i = 0;
    for (py::ssize_t d : dims) {
        if (ok && d >= 0 && a.shape(i) != d) ok = false;
        ++i;
    }
    if (!ok)
        throw py::value_error(std::string(name) + ": expected an array of shape " + expected + ", got shape " +
                              shape_text(a));
    return a;
}

// Points given as (n, 2) or (n, 3); returns the array and its column count.
Doubles as_points(py::handle obj, const char *name, py::ssize_t cols, const char *expected, py::ssize_t min_rows) {
    Doubles a = as_doubles(obj, name, {-1, cols}, expected);
    if (a.shape(0) < min_rows)
        throw py::value_error(std::string(name) + ": expected at least " + std::to_string(min_rows) + " points, got " +
                              std::to_string(a.shape(0)));
    if (a.shape(0) > INT32_MAX) throw py::value_error(std::string(name) + ": too many points");
    return a;
}

Doubles new_array(std::initializer_list<py::ssize_t> shape) { return Doubles(std::vector<py::ssize_t>(shape)); }

template <class T> const T *rows_of(const Doubles &a) { return reinterpret_cast<const T *>(a.data()); }

const MTX4_s *as_mtx4(const Doubles &m) { return reinterpret_cast<const MTX4_s *>(m.data()); }

Doubles as_matrix(py::handle obj) { return as_doubles(obj, "matrix", {4, 4}, "(4, 4)"); }

quorm_vector3 as_vec3(py::handle obj, const char *name) {
    Doubles a = as_doubles(obj, name, {3}, "(3,)");
    return quorm_vector3{a.at(0), a.at(1), a.at(2)};
}

// ---- fits ---------------------------------------------------------------------

py::tuple centroid(py::handle points) {
    py::array probe = py::array::ensure(points);
    const bool flat = probe && probe.ndim() == 2 && probe.shape(1) == 2;
    Doubles p = as_points(points, "points", flat ? 2 : 3, "(n, 2) or (n, 3)", 1);
    const int n = static_cast<int>(p.shape(0));
    if (flat) {
        PNT2_s c{};
        {
            py::gil_scoped_release nogil;
            LSFIT_ask_pts_centroid_2d(n, rows_of<PNT2_s>(p), &c);
        }
        return py::make_tuple(c.x, c.y);
    }
    quorm_point3 c{};
    {
        py::gil_scoped_release nogil;
        LSFIT_ask_pts_centroid_3d(n, rows_of<quorm_point3>(p), &c);
    }
    return py::make_tuple(c.x, c.y, c.z);
}

// (point, normal, status, stats) of the line or plane fit.
py::tuple fit_line(py::handle points) {
    Doubles p = as_points(points, "points", 2, "(n, 2)", 1);
    PNT2_s point{};
    VEC2_s normal{};
    int status = 0;
    double stats[3] = {NAN, NAN, NAN};
    {
        py::gil_scoped_release nogil;
        LSFIT_line_to_points_2d(rows_of<PNT2_s>(p), static_cast<int>(p.shape(0)), &point, &normal, &status, stats);
    }
    return py::make_tuple(py::make_tuple(point.x, point.y), py::make_tuple(normal.x, normal.y), status,
                          py::make_tuple(stats[0], stats[1], stats[2]));
}

py::tuple fit_plane(py::handle points) {
    Doubles p = as_points(points, "points", 3, "(n, 3)", 1);
    quorm_point3 point{};
    quorm_vector3 normal{};
    int status = 0;
    double stats[3] = {NAN, NAN, NAN};
    {
        py::gil_scoped_release nogil;
        LSFIT_plane_to_points(rows_of<quorm_point3>(p), static_cast<int>(p.shape(0)), &point, &normal, &status, stats);
    }
    return py::make_tuple(py::make_tuple(point.x, point.y, point.z), py::make_tuple(normal.x, normal.y, normal.z),
                          status, py::make_tuple(stats[0], stats[1], stats[2]));
}

py::tuple fit_circle(py::handle points) {
    Doubles p = as_points(points, "points", 2, "(n, 2)", 3);
    PNT2_s centre{NAN, NAN};
    double radius = 0.0;
    int status = 0;
    double stats[3] = {NAN, NAN, NAN};
    {
        py::gil_scoped_release nogil;
        LSFIT_circle_to_points_2d(rows_of<PNT2_s>(p), static_cast<int>(p.shape(0)), &centre, &radius, &status, stats);
    }
    return py::make_tuple(py::make_tuple(centre.x, centre.y), radius, status,
                          py::make_tuple(stats[0], stats[1], stats[2]));
}

py::tuple fit_sphere(py::handle points) {
    Doubles p = as_points(points, "points", 3, "(n, 3)", 4);
    quorm_point3 centre{NAN, NAN, NAN};
    double radius = 0.0;
    int status = 0;
    double stats[3] = {NAN, NAN, NAN};
    {
        py::gil_scoped_release nogil;
        LSFIT_sphere_to_points_3d(rows_of<quorm_point3>(p), static_cast<int>(p.shape(0)), &centre, &radius, &status,
                                  stats);
    }
    return py::make_tuple(py::make_tuple(centre.x, centre.y, centre.z), radius, status,
                          py::make_tuple(stats[0], stats[1], stats[2]));
}

#if QUORM_FULL_BUILD
py::tuple axes_result(const quorm_vector3 axes[3]) {
    Doubles out = new_array({3, 3});
    auto o = out.mutable_unchecked<2>();
    for (int i = 0; i < 3; ++i) {
        o(i, 0) = axes[i].x;
        o(i, 1) = axes[i].y;
        o(i, 2) = axes[i].z;
    }
    return py::make_tuple(out);
}

py::tuple principal_axes(py::handle points) {
    Doubles p = as_points(points, "points", 3, "(n, 3)", 1);
    quorm_point3 c{};
    double moments[3];
    quorm_vector3 axes[3];
    {
        py::gil_scoped_release nogil;
        LSFIT_ask_principle_axes_of_inertia_from_3d_pts(static_cast<int>(p.shape(0)), rows_of<quorm_point3>(p), &c,
                                                        moments, axes);
    }
    return py::make_tuple(py::make_tuple(c.x, c.y, c.z), py::make_tuple(moments[0], moments[1], moments[2]),
                          axes_result(axes)[0]);
}

py::tuple principal_axes_of_tensor(py::handle tensor) {
    Doubles t = as_doubles(tensor, "tensor", {3, 3}, "(3, 3)");
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < i; ++j)
            if (std::fabs(t.at(i, j) - t.at(j, i)) > 1e-12 * (std::fabs(t.at(i, j)) + std::fabs(t.at(j, i)) + 1.0))
                throw py::value_error("tensor: expected a symmetric (3, 3) array");
    double moments[3];
    quorm_vector3 axes[3];
    LSFIT_ask_principle_axes_of_inertia_from_3d_tensor(t.data(), moments, axes);
    return py::make_tuple(py::make_tuple(moments[0], moments[1], moments[2]), axes_result(axes)[0]);
}

// Levenberg-Marquardt refinement of the conic X^2 + 2bXY + cY^2 + 2dX + 2eY + f
// from the coefficients x0 = (b, c, d, e, f); (x, residual norm, info, nfev).
py::tuple refine_ellipse(py::handle points, py::handle x0, double tol, int max_evaluations) {
    Doubles p = as_points(points, "points", 2, "(n, 2)", 5);
    Doubles start = as_doubles(x0, "initial", {5}, "(5,)");
    if (!(tol >= 0.0)) throw py::value_error("tol: expected a non-negative number");
    if (max_evaluations <= 0) throw py::value_error("max_evaluations: expected a positive count");
    const int m = static_cast<int>(p.shape(0)), n = 5;
    Doubles x = new_array({5});
    std::copy(start.data(), start.data() + 5, x.mutable_data());
    std::vector<double> fvec(m), diag(n), fjac(static_cast<size_t>(m) * n), qtf(n), wa1(n), wa2(n), wa3(n), wa4(m);
    std::vector<int> ipvt(n);
    int info = 0, nfev = 0;
    double norm = 0.0;
    double *xd = x.mutable_data();
    {
        py::gil_scoped_release nogil;
        norm = LSFIT_nonlinear_function(rows_of<PNT2_s>(p), m, n, xd, fvec.data(), tol, tol, 0.0, max_evaluations, 0.0,
                                        diag.data(), 1, 100.0, 0, &info, &nfev, fjac.data(), m, ipvt.data(),
                                        qtf.data(), wa1.data(), wa2.data(), wa3.data(), wa4.data());
    }
    return py::make_tuple(x, norm, info, nfev);
}
#endif

// ---- polygons -----------------------------------------------------------------

Ints triangulate_polygon(py::handle points, py::handle normal) {
    Doubles p = as_points(points, "points", 3, "(n, 3)", 3);
    const quorm_vector3 nrm = as_vec3(normal, "normal");
    const int n = static_cast<int>(p.shape(0));
    Ints tris(std::vector<py::ssize_t>{n - 2, 3});
    int *out = tris.mutable_data();
    {
        py::gil_scoped_release nogil;
        FACET_ask_triangles_of_polygon(n, rows_of<quorm_point3>(p), &nrm, out);
    }
    return tris;
}

Ints fill_polygon(py::handle points) {
    Doubles p = as_points(points, "points", 2, "(n, 2)", 3);
    const int n = static_cast<int>(p.shape(0));
    // The fill takes its points by non-const pointer but does not write them;
    // a private copy keeps the caller's array safe regardless.
    std::vector<PNT2_s> pts(rows_of<PNT2_s>(p), rows_of<PNT2_s>(p) + n);
    int num_tris = 0;
    PTF_tri_s *tris = nullptr;
    PTF_fill_status_e status;
    {
        py::gil_scoped_release nogil;
        status = PTF_poly_tri_fill(n, pts.data(), &num_tris, &tris, nullptr, nullptr);
    }
    if (status != PTF_FILL_OK) {
        PTF_free_output(n, tris, nullptr, nullptr);
        throw py::value_error("points: the outline is not a simple counter-clockwise polygon");
    }
    Ints out(std::vector<py::ssize_t>{num_tris, 3});
    auto o = out.mutable_unchecked<2>();
    for (int i = 0; i < num_tris; ++i)
        for (int j = 0; j < 3; ++j) o(i, j) = tris[i].vertices[j];
    PTF_free_output(n, tris, nullptr, nullptr);
    return out;
}

// ---- hidden lines ---------------------------------------------------------------

// The renderer is one per process: calls are serialised.
std::mutex g_hlr_mutex;

struct HlrOutput {
    std::vector<double> segments;
    bool out_of_memory = false;
};
HlrOutput *g_hlr_output = nullptr;

// Holds the renderer for one call and releases it on every way out.
struct HlrSession {
    explicit HlrSession(HlrOutput *out) {
        g_hlr_output = out;
        HLR_FACET_init();
    }
    ~HlrSession() {
        HLR_FACET_term();
        g_hlr_output = nullptr;
    }
    HlrSession(const HlrSession &) = delete;
    HlrSession &operator=(const HlrSession &) = delete;
};

void hlr_line(const double start[3], const double end[3], int, void *user) {
    auto *out = static_cast<HlrOutput *>(user);
    out->segments.insert(out->segments.end(), start, start + 3);
    out->segments.insert(out->segments.end(), end, end + 3);
}

void hlr_diag(HLR_FACET_severity_codes_t, HLR_FACET_diagnostic_codes_t code, const char *) {
    if (code == HLR_FACET_DIAG_NO_MEMORY && g_hlr_output) g_hlr_output->out_of_memory = true;
}

// faces: (m, j) vertex indices, j >= 3, counter-clockwise seen from outside.
Doubles hidden_lines(py::handle vertices, py::handle faces, py::handle orientation, py::handle origin,
                     double eye_distance, py::handle clip) {
    Doubles v = as_points(vertices, "vertices", 3, "(n, 3)", 1);
    py::array fobj = py::array::ensure(faces);
    if (!fobj || (fobj.size() > 0 && fobj.dtype().kind() != 'i' && fobj.dtype().kind() != 'u'))
        throw py::value_error("faces: expected an integer array of shape (m, k), k >= 3");
    Ints f = Ints::ensure(fobj);
    if (!f || f.ndim() != 2 || f.shape(1) < 3)
        throw py::value_error("faces: expected an integer array of shape (m, k), k >= 3, got shape " +
                              shape_text(fobj));
    const Doubles rot = as_doubles(orientation, "view", {3, 3}, "(3, 3)");
    const quorm_vector3 o = as_vec3(origin, "origin");
    double window[4] = {0.0, 0.0, 0.0, 0.0};
    if (!clip.is_none()) {
        Doubles w = as_doubles(clip, "clip", {4}, "(4,)");
        std::copy(w.data(), w.data() + 4, window);
        if (!(window[0] < window[2] && window[1] < window[3]))
            throw py::value_error("clip: expected (x1, y1, x2, y2) with x1 < x2 and y1 < y2");
    }
    const bool perspective = eye_distance > 0.0;
    if (std::isnan(eye_distance)) throw py::value_error("perspective: expected a positive eye distance");
    const int nv = static_cast<int>(v.shape(0));
    const py::ssize_t nf = f.shape(0), k = f.shape(1);
    auto fi = f.unchecked<2>();
    for (py::ssize_t i = 0; i < nf; ++i)
        for (py::ssize_t j = 0; j < k; ++j)
            if (fi(i, j) < 0 || fi(i, j) >= nv)
                throw py::value_error("faces: vertex index " + std::to_string(fi(i, j)) + " in face " +
                                      std::to_string(i) + " is out of range");

    HlrOutput out;
    {
        py::gil_scoped_release nogil;
        std::lock_guard<std::mutex> lock(g_hlr_mutex);
        HlrSession session(&out);
        const double org[3] = {o.x, o.y, o.z};
        const double *pts = v.data();
        HLR_FACET_set_line_callback(hlr_line);
        HLR_FACET_set_diag_callback(hlr_diag);
        HLR_FACET_view(org, rot.data(), 1.0, perspective ? eye_distance : 0.0, perspective ? 1 : 0);
        HLR_FACET_clipping(window);
        HLR_FACET_group(nv, 0, 0, nullptr, &out);
        for (int i = 0; i < nv; ++i) HLR_FACET_add_vloc(i, pts + 3 * i);
        std::vector<int> vloc(static_cast<size_t>(k));
        for (py::ssize_t i = 0; i < nf; ++i) {
            // Newell's normal of the face; faces without area are left out.
            double nrm[3] = {0.0, 0.0, 0.0};
            for (py::ssize_t j = 0; j < k; ++j) {
                const double *a = pts + 3 * fi(i, j), *b = pts + 3 * fi(i, (j + 1) % k);
                nrm[0] += (a[1] - b[1]) * (a[2] + b[2]);
                nrm[1] += (a[2] - b[2]) * (a[0] + b[0]);
                nrm[2] += (a[0] - b[0]) * (a[1] + b[1]);
                vloc[static_cast<size_t>(j)] = fi(i, j);
            }
            const double len = std::sqrt(nrm[0] * nrm[0] + nrm[1] * nrm[1] + nrm[2] * nrm[2]);
            if (!(len > 1e-300) || !std::isfinite(len)) continue;
            for (double &c : nrm) c /= len;
            HLR_FACET_add_facet(nrm, static_cast<int>(k), vloc.data(), nullptr, nullptr);
        }
        HLR_FACET_render();
    }
    if (out.out_of_memory) throw std::bad_alloc();
    const py::ssize_t count = static_cast<py::ssize_t>(out.segments.size() / 6);
    Doubles result = new_array({count, 2, 3});
    std::copy(out.segments.begin(), out.segments.end(), result.mutable_data());
    return result;
}

// ---- B-spline curves ------------------------------------------------------------

// Interpolating B-spline through points (n, d), d = 1..3, at the given
// parameters; optional first derivatives at both ends.  (knots, control).
py::tuple interpolate(py::handle points, py::handle params, int order, bool periodic, py::handle tangents) {
    Doubles p = as_doubles(points, "points", {-1, -1}, "(n, d), d = 1, 2 or 3");
    const int np = static_cast<int>(p.shape(0)), dim = static_cast<int>(p.shape(1));
    if (dim < 1 || dim > 3)
        throw py::value_error("points: expected an array of shape (n, d), d = 1, 2 or 3, got shape " + shape_text(p));
    if (order < 2 || order > QUORM_KERNEL_MAX_ORDER)
        throw py::value_error("order: expected 2 to " + std::to_string(QUORM_KERNEL_MAX_ORDER));
    Doubles t = as_doubles(params, "params", {np}, "(n,)");
    std::vector<double> cond_params, cond_values;
    std::vector<int> cond_orders;
    if (!tangents.is_none()) {
        if (periodic) throw py::value_error("tangents: a periodic curve takes no end tangents");
        Doubles tg = as_doubles(tangents, "tangents", {2, dim}, "(2, d)");
        cond_params = {t.at(0), t.at(np - 1)};
        cond_orders = {1, 1};
        cond_values.assign(tg.data(), tg.data() + 2 * dim);
    }
    const int ndc = static_cast<int>(cond_orders.size());
    const int tied = periodic ? order - 1 : 0;
    const int m = np + ndc + tied;
    if (np + ndc < order + (periodic ? 1 : 0) - 1 || np < 2)
        throw py::value_error("points: too few points for order " + std::to_string(order));
    const int descriptor[7] = {np, order, periodic ? 1 : 0, dim, ndc, 0, periodic ? order - 2 : 0};
    std::vector<double> knots(static_cast<size_t>(m + order) + 2 * static_cast<size_t>(order));
    Doubles ctrl = new_array({m, dim});
    int knot_count = 0, status = 0;
    {
        py::gil_scoped_release nogil;
        status = h0913(descriptor, p.data(), t.data(), cond_params.empty() ? nullptr : cond_params.data(),
                       cond_orders.empty() ? nullptr : cond_orders.data(),
                       cond_values.empty() ? nullptr : cond_values.data(), &knot_count, knots.data(),
                       ctrl.mutable_data());
    }
    if (status == -1) raise_error("interpolate: the points or parameters give no usable knot vector", status);
    if (status != 0) raise_error("interpolate: the interpolation system is singular", status);
    Doubles k = new_array({knot_count});
    std::copy(knots.begin(), knots.begin() + knot_count, k.mutable_data());
    return py::make_tuple(k, ctrl);
}

// Points of the B-spline (knots, control (m, d)) at every parameter of t.
Doubles evaluate(py::handle knots_obj, py::handle control_obj, py::handle t_obj) {
    Doubles knots = as_doubles(knots_obj, "knots", {-1}, "(m + k,)");
    Doubles ctrl = as_doubles(control_obj, "control_points", {-1, -1}, "(m, d), d = 1, 2 or 3");
    const int nk = static_cast<int>(knots.shape(0)), m = static_cast<int>(ctrl.shape(0));
    const int dim = static_cast<int>(ctrl.shape(1));
    const int k = nk - m;
    if (dim < 1 || dim > 3) throw py::value_error("control_points: expected 1 to 3 coordinates per point");
    if (k < 1 || k > QUORM_KERNEL_MAX_ORDER || m < k)
        throw py::value_error("knots: expected between len(control_points) + 1 and len(control_points) + " +
                              std::to_string(QUORM_KERNEL_MAX_ORDER) + " knots, at most twice the control points");
    for (int i = 1; i < nk; ++i)
        if (!(knots.at(i) >= knots.at(i - 1))) throw py::value_error("knots: expected a nondecreasing sequence");
    py::array tprobe = py::array::ensure(t_obj);
    const bool scalar = tprobe && tprobe.ndim() == 0;
    Doubles t = Doubles::ensure(t_obj);
    if (!t || t.ndim() > 1) throw py::value_error("t: expected a number or an array of shape (n,)");
    const py::ssize_t nt = t.size();
    Doubles out = new_array({nt, dim});
    const double *kd = knots.data(), *cd = ctrl.data(), *td = t.data();
    double *od = out.mutable_data();
    py::ssize_t bad = -1;
    {
        py::gil_scoped_release nogil;
        const int n = k - 1;
        std::vector<double> poly(4 * static_cast<size_t>(k));
        for (py::ssize_t i = 0; i < nt; ++i) {
            double x = td[i];
            // The span lookup refuses the very end of the domain when it is an
            // interior knot of the vector (periodic curves); the end belongs
            // to the last span.
            const double end = kd[nk - k];
            if (x >= end && x <= end + 1e-12 * (1.0 + std::fabs(end)))
                x = end - std::max(5e-13, 4e-16 * std::fabs(end));
            const int span = std::isfinite(x) ? h0918(&x, kd, nk, k) : -1;
            if (span < 0) {
                bad = i;
                break;
            }
            for (int j = 0; j <= n; ++j) {
                const double *c = cd + static_cast<size_t>(span - n + j) * dim;
                for (int r = 0; r < 3; ++r) poly[4 * j + r] = r < dim ? c[r] : 0.0;
                poly[4 * j + 3] = 1.0;
            }
            double point[4];
            h0901(&n, kd + span - n, poly.data(), &x, point);
            for (int r = 0; r < dim; ++r) od[i * dim + r] = point[r];
        }
    }
    if (bad >= 0)
        throw py::value_error("t: parameter " + std::to_string(td[bad]) + " lies outside the curve's domain [" +
                              std::to_string(kd[k - 1]) + ", " + std::to_string(kd[nk - k]) + "]");
    if (scalar) return Doubles(py::array(out).attr("reshape")(dim));
    return out;
}

// ---- arc splines ------------------------------------------------------------------

// A circle (x, y, r) or a counter-clockwise arc (x, y, r, from, to), angles in
// degrees measured at the centre; bounded is set for arcs.
ARC_SPLINE_1_seg_2d_s as_arc(py::handle obj, const char *name, int *bounded) {
    Doubles a = Doubles::ensure(obj);
    if (!a || a.ndim() != 1 || (a.shape(0) != 3 && a.shape(0) != 5))
        throw py::value_error(std::string(name) + ": expected (x, y, r) or (x, y, r, from_degrees, to_degrees)");
    const double *d = a.data();
    for (py::ssize_t i = 0; i < a.shape(0); ++i)
        if (!std::isfinite(d[i])) throw py::value_error(std::string(name) + ": expected finite numbers");
    if (!(d[2] > 1e-10)) throw py::value_error(std::string(name) + ": expected a positive radius");
    ARC_SPLINE_1_seg_2d_s seg;
    const PNT2_s c{d[0], d[1]};
    if (a.shape(0) == 3) {
        ARC_SPLINE_cre_circle_from_center_and_radius_2d(&c, d[2], &seg);
        *bounded = 0;
        return seg;
    }
    const double rad = M_PI / 180.0;
    double sweep = std::fmod(d[4] - d[3], 360.0);
    if (sweep <= 0.0) sweep += 360.0;
    const PNT2_s p0{d[0] + d[2] * std::cos(d[3] * rad), d[1] + d[2] * std::sin(d[3] * rad)};
    const VEC2_s t0{-std::sin(d[3] * rad), std::cos(d[3] * rad)};
    PNT2_s end;
    VEC2_s end_tan;
    ARC_SPLINE_cre_arc_seg_2d(&p0, &t0, sweep, d[2], 1, &seg, &end, &end_tan);
    *bounded = 1;
    return seg;
}

Doubles intersect_arcs(py::handle arc1, py::handle arc2, double tol) {
    int b1 = 0, b2 = 0;
    const ARC_SPLINE_1_seg_2d_s s1 = as_arc(arc1, "arc1", &b1), s2 = as_arc(arc2, "arc2", &b2);
    const double tols[3] = {tol, 1e-6, 1e-9};
    int count = 0, status = 0, w1[2], w2[2];
    PNT2_s x1, x2;
    double p1[2], p2[2];
    ARC_SPLINE_inter_of_2_circular_arcs_2d(&s1, &s2, b1, b2, tols, &count, &x1, p1, w1, &x2, p2, w2, &status);
    if (status != 0) raise_error("intersect_arcs: the intersection failed", status);
    Doubles out = new_array({count, 2});
    double *o = out.mutable_data();
    if (count >= 1) o[0] = x1.x, o[1] = x1.y;
    if (count >= 2) o[2] = x2.x, o[3] = x2.y;
    return out;
}

// Tangents as (touch on circle 1, touch on circle 2); kind 1 exterior, 2
// interior, 3 both.
Doubles common_tangents(py::handle circle1, py::handle circle2, int kind, double tol) {
    int b1 = 0, b2 = 0;
    const ARC_SPLINE_1_seg_2d_s c1 = as_arc(circle1, "circle1", &b1), c2 = as_arc(circle2, "circle2", &b2);
    const double tols[3] = {tol, 1e-6, 1e-9};
    std::vector<double> found;
    for (int pass = 1; pass <= 2; ++pass) {
        if (!(kind & pass)) continue;
        int count = 0, status = 0;
        ARC_SPLINE_1_seg_2d_s out[2];
        double p1[2], p2[2];
        if (pass == 1)
            ARC_SPLINE_ask_tangents_exterior_to_circles_2d(&c1, &c2, b1, b2, tols, &count, &out[0], &out[1], p1, p2,
                                                           &status);
        else
            ARC_SPLINE_ask_tangents_interior_to_circles_2d(&c1, &c2, b1, b2, tols, &count, &out[0], &out[1], p1, p2,
                                                           &status);
        // 3: one circle inside the other, which has no exterior tangent.
        if (status == 3 && pass == 1) continue;
        if (status != 0) raise_error("common_tangents: a touching point could not be located", status);
        for (int i = 0; i < count; ++i) {
            const ARC_SPLINE_1_seg_2d_s &s = out[i];
            found.insert(found.end(), {s.start_pt.x, s.start_pt.y, s.start_pt.x + s.radius * s.direction.x,
                                       s.start_pt.y + s.radius * s.direction.y});
        }
    }
    Doubles result = new_array({static_cast<py::ssize_t>(found.size() / 4), 2, 2});
    std::copy(found.begin(), found.end(), result.mutable_data());
    return result;
}

// Circles tangent to three circles given as rows (x, y, r); rows (x, y, r).
Doubles circles_tangent_to_3_circles(py::handle circles) {
    Doubles c = as_doubles(circles, "circles", {3, 3}, "(3, 3)");
    for (int i = 0; i < 3; ++i) {
        if (!(c.at(i, 2) >= 0.0)) throw py::value_error("circles: expected radii >= 0");
        for (int j = 0; j < 3; ++j)
            if (!std::isfinite(c.at(i, j))) throw py::value_error("circles: expected finite numbers");
    }
    const quorm_point3 p1{c.at(0, 0), c.at(0, 1), 0.0}, p2{c.at(1, 0), c.at(1, 1), 0.0}, p3{c.at(2, 0), c.at(2, 1), 0.0};
    int count = 0;
    ARC_SPLINE_1_seg_2d_s segs[8];
    ARC_SPLINE_cre_circle_tangent_to_3_circles(&p1, c.at(0, 2), &p2, c.at(1, 2), &p3, c.at(2, 2), &count, segs);
    Doubles out = new_array({count, 3});
    auto o = out.mutable_unchecked<2>();
    for (int i = 0; i < count; ++i) {
        o(i, 0) = segs[i].center.x;
        o(i, 1) = segs[i].center.y;
        o(i, 2) = segs[i].radius;
    }
    return out;
}

// ---- transforms --------------------------------------------------------------------

Doubles matrix_result(const MTX4_s &m) {
    Doubles out = new_array({4, 4});
    std::copy(m.elem, m.elem + 16, out.mutable_data());
    return out;
}

void check_affine(const Doubles &m) {
    const double *e = m.data();
    if (e[12] != 0.0 || e[13] != 0.0 || e[14] != 0.0 || e[15] != 1.0)
        throw py::value_error("matrix: expected an affine transform (last row 0, 0, 0, 1)");
}

Doubles transform(py::handle matrix, py::handle points, bool vectors) {
    Doubles m = as_matrix(matrix);
    check_affine(m);
    py::array probe = py::array::ensure(points);
    const bool single = probe && probe.ndim() == 1;
    Doubles p = single ? as_doubles(points, vectors ? "vectors" : "points", {3}, "(3,) or (n, 3)")
                       : as_doubles(points, vectors ? "vectors" : "points", {-1, 3}, "(3,) or (n, 3)");
    const py::ssize_t n = single ? 1 : p.shape(0);
    Doubles out = single ? new_array({3}) : new_array({n, 3});
    const double *md = m.data(), *pd = p.data();
    double *od = out.mutable_data();
    {
        py::gil_scoped_release nogil;
        for (py::ssize_t i = 0; i < n; ++i) {
            if (vectors)
                MC_apply_transform_to_vector(md, pd + 3 * i, od + 3 * i);
            else
                MC_apply_transform_to_point(md, pd + 3 * i, od + 3 * i);
        }
    }
    return out;
}

Doubles invert_transform(py::handle matrix) {
    Doubles m = as_matrix(matrix);
    MTX4_s out;
    if (MTX4_invert(as_mtx4(m), &out) != 0) throw py::value_error("matrix: the matrix is singular");
    return matrix_result(out);
}

Doubles compose(py::handle first, py::handle second) {
    Doubles a = as_doubles(first, "first", {4, 4}, "(4, 4)"), b = as_doubles(second, "second", {4, 4}, "(4, 4)");
    MTX4_s out;
    MTX4_multiply(as_mtx4(a), as_mtx4(b), &out);
    return matrix_result(out);
}

Doubles rotation(py::handle axis, double angle, py::handle point) {
    const quorm_vector3 ax = as_vec3(axis, "axis"), p = as_vec3(point, "point");
    const quorm_point3 pt{p.x, p.y, p.z};
    MTX4_s out;
    if (MTX4_rotation(&pt, &ax, angle, &out) != 0) throw py::value_error("axis: expected a non-zero vector");
    return matrix_result(out);
}

Doubles mirror(py::handle normal, py::handle point) {
    const quorm_vector3 nrm = as_vec3(normal, "normal"), p = as_vec3(point, "point");
    const quorm_point3 pt{p.x, p.y, p.z};
    MTX4_s out;
    if (MTX4_mirror(&pt, &nrm, &out) != 0) throw py::value_error("normal: expected a non-zero vector");
    return matrix_result(out);
}

Doubles scaling(py::handle factors, py::handle point) {
    const quorm_vector3 f = as_vec3(factors, "factors"), p = as_vec3(point, "point");
    const quorm_point3 pt{p.x, p.y, p.z};
    MTX4_s out;
    MTX4_scaling(&pt, &f, &out);
    return matrix_result(out);
}

} // namespace

PYBIND11_MODULE(_quorm, m) {
    m.doc() = "Compiled core of the quorm package; use the functions of quorm itself.";

    static py::exception<Kaltor::Error::Exception> error(m, "Error", PyExc_RuntimeError);
    g_error = error.ptr();
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const Kaltor::Error::Exception &e) {
            py::object exc = py::reinterpret_borrow<py::object>(g_error)(e.message());
            exc.attr("code") = e.code();
            exc.attr("severe") = e.isSevere();
            PyErr_SetObject(g_error, exc.ptr());
        }
    });

    m.def("get_checking_level", [] { return MACH__checking_level; });
    m.def("set_checking_level", [](int level) { MACH__checking_level = level; });
    // The array the functions work on for a given input: the input itself
    // when it already is C-contiguous float64.
    m.def("_as_points", [](py::handle obj, py::ssize_t cols) {
        return cols == 2 ? as_points(obj, "points", 2, "(n, 2)", 0) : as_points(obj, "points", 3, "(n, 3)", 0);
    });
    m.attr("FULL_BUILD") = QUORM_FULL_BUILD ? true : false;

    m.def("centroid", &centroid);
    m.def("fit_line", &fit_line);
    m.def("fit_plane", &fit_plane);
    m.def("fit_circle", &fit_circle);
    m.def("fit_sphere", &fit_sphere);
#if QUORM_FULL_BUILD
    m.def("principal_axes", &principal_axes);
    m.def("principal_axes_of_tensor", &principal_axes_of_tensor);
    m.def("refine_ellipse", &refine_ellipse);
#endif
    m.def("triangulate_polygon", &triangulate_polygon);
    m.def("fill_polygon", &fill_polygon);
    m.def("hidden_lines", &hidden_lines);
    m.def("interpolate", &interpolate);
    m.def("evaluate", &evaluate);
    m.def("intersect_arcs", &intersect_arcs);
    m.def("common_tangents", &common_tangents);
    m.def("circles_tangent_to_3_circles", &circles_tangent_to_3_circles);
    m.def("transform", &transform);
    m.def("invert_transform", &invert_transform);
    m.def("compose", &compose);
    m.def("rotation", &rotation);
    m.def("mirror", &mirror);
    m.def("scaling", &scaling);
}
