#include "commands.h"

#include "io.h"
#include "mesh.h"

#include <quorm/arc_spline_apollonian.h>
#include <quorm/facet.h>
#include <quorm/kernel_interp.h>
#include <quorm/lsfit.h>
#include <quorm/lsfit_sphere.h>
#include <quorm/ptf.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

#include <sys/stat.h>

namespace quorm_tool {

using nlohmann::json;

namespace {

std::pair<double, double> parse_size(const std::string &text) {
    std::string t = text;
    std::replace(t.begin(), t.end(), 'X', 'x');
    const std::vector<double> wh = parse_number_list(t, 'x', 2, "--size (WxH)");
    return {wh[0], wh[1]};
}

void print_json(const json &j) { std::cout << j.dump(2) << "\n"; }

// Page extent of points, grown by a fraction of the larger side.
void extent_of(const std::vector<Pt> &pts, double grow, double ext[4]) {
    ext[0] = ext[1] = HUGE_VAL;
    ext[2] = ext[3] = -HUGE_VAL;
    for (const Pt &p : pts) {
        ext[0] = std::min(ext[0], p.x), ext[1] = std::min(ext[1], p.y);
        ext[2] = std::max(ext[2], p.x), ext[3] = std::max(ext[3], p.y);
    }
    const double g = grow * std::max({ext[2] - ext[0], ext[3] - ext[1], 1e-9});
    ext[0] -= g, ext[1] -= g, ext[2] += g, ext[3] += g;
}

const Pen kPointPen{0.75, 0.1, 0.1, 1.0, false};
const Pen kElementPen{0.1, 0.25, 0.75, 1.6, false};
const Pen kOutlinePen{0.1, 0.1, 0.1, 1.6, false};

} // namespace

// ---- draw --------------------------------------------------------------------

int run_draw(const DrawOptions &opt) {
    const auto size = parse_size(opt.size);
    ViewSpec view = view_from_name(opt.view);
    if (opt.perspective != 0) {
        if (!(opt.perspective > 0)) throw ToolError("--perspective needs a positive eye distance");
        view.perspective = true;
        view.eye_distance = opt.perspective;
    }
    if (!opt.clip.empty()) {
        const std::vector<double> w = parse_number_list(opt.clip, ',', 4, "--clip (x1,y1,x2,y2)");
        if (w[0] == w[2] || w[1] == w[3]) throw ToolError("--clip needs a window of non-zero width and height");
        view.clip = true;
        std::copy(w.begin(), w.end(), view.window);
    }
    Canvas canvas(opt.output, size.first, size.second); // checks the format before the work
    Progress progress;
    const Mesh mesh = load_mesh(opt.mesh, progress);
    const Drawing drawing = render_hidden_lines(mesh, view, progress);
    draw_to_canvas(drawing, canvas, view.clip);
    canvas.finish();
    progress.finish();
    const double seconds = progress.elapsed();
    if (opt.json) {
        print_json({{"parts", mesh.parts.size()},
                    {"facets", drawing.facets},
                    {"kept", drawing.front_facing},
                    {"culled", drawing.culled},
                    {"edges", drawing.edges},
                    {"specks", drawing.specks},
                    {"seconds", seconds},
                    {"output", opt.output}});
    } else {
        std::printf("%s: %zu parts, %zu facets (%zu kept facing the viewer, %zu culled outside the window), %zu edges drawn in %.2f s -> %s\n",
                    opt.mesh.c_str(), mesh.parts.size(), drawing.facets, drawing.front_facing, drawing.culled,
                    drawing.edges, seconds, opt.output.c_str());
    }
    return 0;
}

// ---- fit ---------------------------------------------------------------------

namespace {

json stats_json(const double stats[3]) { return {{"max", stats[0]}, {"rms", stats[1]}, {"mean", stats[2]}}; }

void print_stats(const double stats[3]) {
    std::printf("  deviation: max %.6g, rms %.6g, mean %.6g\n", stats[0], stats[1], stats[2]);
}

} // namespace

int run_fit(const FitOptions &opt) {
    const bool planar = opt.kind == "line" || opt.kind == "circle";
    if (!opt.plot.empty()) {
        if (!planar) throw ToolError("--plot draws the 2-D fits only");
        if (extension_of(opt.plot) != "svg" && extension_of(opt.plot) != "pdf" && extension_of(opt.plot) != "png")
            throw ToolError("unknown output format '" + opt.plot + "' (use .svg, .pdf or .png)");
    }
    const PointTable table = read_points(opt.points);
    const int n = table.rows();
    if (opt.kind == "line") {
        if (table.columns != 2) throw ToolError("fit line needs 2-D points (2 columns) in '" + opt.points + "'");
        std::vector<PNT2_s> pts(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) pts[static_cast<std::size_t>(i)] = {table.at(i, 0), table.at(i, 1)};
        PNT2_s point;
        VEC2_s normal;
        int status = 0;
        double stats[3] = {0, 0, 0};
        LSFIT_line_to_points_2d(pts.data(), n, &point, &normal, &status, stats);
        if (status != 0) throw ToolError("no line: the points lie within 0.001 of their centroid");
        const VEC2_s dir = {-normal.y, normal.x};
        if (opt.json) {
            print_json({{"element", "line"},
                        {"points", n},
                        {"point", {point.x, point.y}},
                        {"normal", {normal.x, normal.y}},
                        {"direction", {dir.x, dir.y}},
                        {"deviation", stats_json(stats)}});
        } else {
            std::printf("line through (%.9g, %.9g), direction (%.9g, %.9g), normal (%.9g, %.9g), %d points\n",
                        point.x, point.y, dir.x, dir.y, normal.x, normal.y, n);
            print_stats(stats);
        }
        if (!opt.plot.empty()) {
            std::vector<Pt> p2(pts.size());
            for (std::size_t i = 0; i < pts.size(); ++i) p2[i] = {pts[i].x, pts[i].y};
            double ext[4];
            extent_of(p2, 0.08, ext);
            Canvas canvas(opt.plot, 800, 600);
            canvas.set_extent(ext[0], ext[1], ext[2], ext[3]);
            const double reach = std::hypot(ext[2] - ext[0], ext[3] - ext[1]);
            canvas.polyline({{point.x - reach * dir.x, point.y - reach * dir.y},
                             {point.x + reach * dir.x, point.y + reach * dir.y}},
                            false, kElementPen);
            for (const Pt &p : p2) canvas.circle(p, 2.5, true, kPointPen);
            canvas.finish();
        }
        return 0;
    }
    if (opt.kind == "plane") {
        if (table.columns != 3) throw ToolError("fit plane needs 3-D points (3 columns) in '" + opt.points + "'");
        std::vector<quorm_point3> pts(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) pts[static_cast<std::size_t>(i)] = {table.at(i, 0), table.at(i, 1), table.at(i, 2)};
        quorm_point3 point;
        quorm_vector3 normal;
        int status = 0;
        double stats[3] = {0, 0, 0};
        LSFIT_plane_to_points(pts.data(), n, &point, &normal, &status, stats);
        if (status != 0) throw ToolError("no plane: the points lie on one line or within 0.001 of their centroid");
        if (opt.json) {
            print_json({{"element", "plane"},
                        {"points", n},
                        {"point", {point.x, point.y, point.z}},
                        {"normal", {normal.x, normal.y, normal.z}},
                        {"deviation", stats_json(stats)}});
        } else {
            std::printf("plane through (%.9g, %.9g, %.9g), normal (%.9g, %.9g, %.9g), %d points\n", point.x, point.y,
                        point.z, normal.x, normal.y, normal.z, n);
            print_stats(stats);
        }
        return 0;
    }
    if (opt.kind == "circle" || opt.kind == "sphere") {
        const bool circle = opt.kind == "circle";
        const int dim = circle ? 2 : 3;
        if (table.columns != dim)
            throw ToolError("fit " + opt.kind + " needs " + std::to_string(dim) + "-D points (" + std::to_string(dim) +
                            " columns) in '" + opt.points + "'");
        double centre[3] = {0, 0, 0}, radius = 0;
        int status = 0;
        const double unset = std::nan("");
        double stats[3] = {unset, unset, unset};
        if (circle) {
            std::vector<PNT2_s> pts(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) pts[static_cast<std::size_t>(i)] = {table.at(i, 0), table.at(i, 1)};
            PNT2_s c = {0, 0};
            LSFIT_circle_to_points_2d(pts.data(), n, &c, &radius, &status, stats);
            centre[0] = c.x, centre[1] = c.y;
        } else {
            std::vector<quorm_point3> pts(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) pts[static_cast<std::size_t>(i)] = {table.at(i, 0), table.at(i, 1), table.at(i, 2)};
            quorm_point3 c = {0, 0, 0};
            LSFIT_sphere_to_points_3d(pts.data(), n, &c, &radius, &status, stats);
            centre[0] = c.x, centre[1] = c.y, centre[2] = c.z;
        }
        if (status != 0 || !(radius < 1e19))
            throw ToolError(circle ? "no circle: the points lie on a line or together"
                                   : "no sphere: the points lie on a plane or a line, or together");
        // The fall-back constructions (through three or four of the points)
        // leave the statistics to the caller: the radial deviations are
        // measured here, the eigenvalue figure does not exist.
        const bool have_residual = !std::isnan(stats[1]);
        if (std::isnan(stats[0])) {
            double largest = 0, sum = 0;
            for (int i = 0; i < n; ++i) {
                double d2 = 0;
                for (int d = 0; d < dim; ++d) d2 += (table.at(i, d) - centre[d]) * (table.at(i, d) - centre[d]);
                const double dev = std::fabs(std::sqrt(d2) - radius);
                largest = std::max(largest, dev);
                sum += dev;
            }
            stats[0] = largest;
            stats[2] = sum / n;
        }
        const std::vector<double> c(centre, centre + dim);
        if (opt.json) {
            print_json({{"element", opt.kind},
                        {"points", n},
                        {"centre", c},
                        {"radius", radius},
                        {"deviation",
                         {{"max", stats[0]}, {"rms", have_residual ? json(stats[1]) : json(nullptr)}, {"mean", stats[2]}}}});
        } else {
            if (circle)
                std::printf("circle with centre (%.9g, %.9g), radius %.9g, %d points\n", centre[0], centre[1], radius, n);
            else
                std::printf("sphere with centre (%.9g, %.9g, %.9g), radius %.9g, %d points\n", centre[0], centre[1],
                            centre[2], radius, n);
            std::printf("  deviation: max %.6g, mean %.6g", stats[0], stats[2]);
            if (have_residual) std::printf(", fit residual %.6g", stats[1]);
            std::printf("\n");
        }
        if (circle && !opt.plot.empty()) {
            std::vector<Pt> p2(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) p2[static_cast<std::size_t>(i)] = {table.at(i, 0), table.at(i, 1)};
            std::vector<Pt> box = p2;
            box.push_back({centre[0] - radius, centre[1] - radius});
            box.push_back({centre[0] + radius, centre[1] + radius});
            double ext[4];
            extent_of(box, 0.05, ext);
            Canvas canvas(opt.plot, 800, 600);
            canvas.set_extent(ext[0], ext[1], ext[2], ext[3]);
            canvas.circle({centre[0], centre[1]}, radius, false, kElementPen);
            for (const Pt &p : p2) canvas.circle(p, 2.5, true, kPointPen);
            canvas.finish();
        }
        return 0;
    }
    throw ToolError("unknown fit '" + opt.kind + "'");
}

// ---- fill --------------------------------------------------------------------

Triangulation triangulate_outline(std::vector<Pt> &outline, bool ears) {
    if (outline.size() >= 2 && outline.front().x == outline.back().x && outline.front().y == outline.back().y)
        outline.pop_back();
    const int n = static_cast<int>(outline.size());
    if (n < 3) throw ToolError("a polygon needs at least three points");
    double twice_area = 0;
    for (int i = 0; i < n; ++i) {
        const Pt &a = outline[static_cast<std::size_t>(i)], &b = outline[static_cast<std::size_t>((i + 1) % n)];
        twice_area += a.x * b.y - a.y * b.x;
    }
    if (!(std::fabs(twice_area) > 0)) throw ToolError("the polygon encloses no area");
    // The fill wants a counter-clockwise outline; a clockwise one is read backwards.
    const bool reversed = twice_area < 0;
    auto original = [&](int i) { return reversed ? n - 1 - i : i; };
    Triangulation out;
    if (!ears) {
        std::vector<PNT2_s> pts(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const Pt &p = outline[static_cast<std::size_t>(original(i))];
            pts[static_cast<std::size_t>(i)] = {p.x, p.y};
        }
        int num_tris = 0;
        PTF_tri_s *tris = nullptr;
        const PTF_fill_status_e st = PTF_poly_tri_fill(n, pts.data(), &num_tris, &tris, nullptr, nullptr);
        if (st != PTF_FILL_OK) {
            PTF_free_output(n, tris, nullptr, nullptr);
            throw ToolError("the polygon cannot be filled: it is not simple, or collinear runs leave no triangle");
        }
        for (int t = 0; t < num_tris; ++t)
            for (int k = 0; k < 3; ++k) out.triangles.push_back(original(tris[t].vertices[k]));
        PTF_free_output(n, tris, nullptr, nullptr);
        return out;
    }
    std::vector<quorm_point3> pts(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const Pt &p = outline[static_cast<std::size_t>(original(i))];
        pts[static_cast<std::size_t>(i)] = {p.x, p.y, 0};
    }
    const quorm_vector3 up = {0, 0, 1};
    std::vector<int> tris(3 * static_cast<std::size_t>(n - 2), 0);
    FACET_ask_triangles_of_polygon(n, pts.data(), &up, tris.data());
    // Ear clipping always emits n - 2 triangles; they tile the outline only
    // when each turns counter-clockwise and together they cover its area.
    double sum = 0;
    bool turning_right = false;
    for (int t = 0; t < n - 2; ++t) {
        const quorm_point3 &a = pts[static_cast<std::size_t>(tris[3 * t])], &b = pts[static_cast<std::size_t>(tris[3 * t + 1])],
                           &c = pts[static_cast<std::size_t>(tris[3 * t + 2])];
        const double w = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (w < 0) turning_right = true;
        sum += w;
    }
    if (turning_right || std::fabs(sum - std::fabs(twice_area)) > 1e-9 * std::fabs(twice_area))
        throw ToolError("the polygon cannot be filled by ear clipping: it is not simple");
    for (int idx : tris) out.triangles.push_back(original(idx));
    return out;
}

void draw_triangulation(const std::vector<Pt> &outline, const Triangulation &tri, const std::string &path) {
    Canvas canvas(path, 800, 600);
    double ext[4];
    extent_of(outline, 0.05, ext);
    canvas.set_extent(ext[0], ext[1], ext[2], ext[3]);
    const Pen edge{0.2, 0.35, 0.6, 0.8, false};
    for (std::size_t t = 0; t + 2 < tri.triangles.size(); t += 3) {
        const std::vector<Pt> corners = {outline[static_cast<std::size_t>(tri.triangles[t])],
                                         outline[static_cast<std::size_t>(tri.triangles[t + 1])],
                                         outline[static_cast<std::size_t>(tri.triangles[t + 2])]};
        const double shade = 0.75 + 0.2 * double((t / 3) % 3) / 2;
        canvas.fill(corners, shade, shade + 0.05 > 1 ? 1 : shade + 0.05, 1.0, 1.0);
        canvas.polyline(corners, true, edge);
    }
    canvas.polyline(outline, true, kOutlinePen);
    canvas.finish();
}

int run_fill(const FillOptions &opt) {
    if (!opt.output.empty()) Canvas check(opt.output, 800, 600); // refuses an unknown format before the work
    const PointTable table = read_points(opt.polygon);
    if (table.columns != 2) throw ToolError("a polygon outline needs 2 columns in '" + opt.polygon + "'");
    std::vector<Pt> outline(static_cast<std::size_t>(table.rows()));
    for (int i = 0; i < table.rows(); ++i) outline[static_cast<std::size_t>(i)] = {table.at(i, 0), table.at(i, 1)};
    const Triangulation tri = triangulate_outline(outline, opt.ears);
    const std::size_t count = tri.triangles.size() / 3;
    if (!opt.output.empty()) draw_triangulation(outline, tri, opt.output);
    if (opt.json) {
        json list = json::array();
        for (std::size_t t = 0; t < count; ++t)
            list.push_back({tri.triangles[3 * t], tri.triangles[3 * t + 1], tri.triangles[3 * t + 2]});
        print_json({{"method", opt.ears ? "ears" : "fill"},
                    {"points", outline.size()},
                    {"count", count},
                    {"triangles", list}});
    } else {
        std::printf("%zu triangles from %zu points (%s)\n", count, outline.size(),
                    opt.ears ? "ear clipping" : "polygon fill");
    }
    return 0;
}

// ---- curve -------------------------------------------------------------------

double Interpolant::t_begin() const { return knots[static_cast<std::size_t>(order - 1)]; }
double Interpolant::t_end() const { return knots[control.size() / static_cast<std::size_t>(dimension)]; }

std::vector<double> Interpolant::evaluate(double t) const {
    const int count = static_cast<int>(knots.size());
    std::vector<double> p(static_cast<std::size_t>(dimension), 0.0);
    // The basis functions are evaluated a hair inside the last knot; a
    // clamped end is the last control point itself.
    const std::size_t m = control.size() / static_cast<std::size_t>(dimension);
    if (t >= t_end() && knots[m] == knots.back()) {
        std::copy(control.end() - dimension, control.end(), p.begin());
        return p;
    }
    const int span = h0917x(t, knots.data(), count, order, 1e-9);
    if (span < order - 1) return p;
    for (int j = span - order + 1; j <= span; ++j) {
        double b = 0;
        h0916(count, knots.data(), j, order, t, 0, &b);
        for (int d = 0; d < dimension; ++d)
            p[static_cast<std::size_t>(d)] += b * control[static_cast<std::size_t>(j * dimension + d)];
    }
    return p;
}

Interpolant interpolate(const std::vector<double> &points, int dimension, int order, bool periodic,
                        const std::vector<std::pair<int, std::vector<double>>> &tangents) {
    Interpolant c;
    c.order = order;
    c.dimension = dimension;
    c.periodic = periodic;
    std::vector<double> pts = points;
    const auto dim = static_cast<std::size_t>(dimension);
    int np = static_cast<int>(pts.size() / dim);
    if (periodic && np >= 2 && std::equal(pts.begin(), pts.begin() + dimension, pts.end() - dimension)) {
        pts.resize(pts.size() - dim); // the closing point is implied
        --np;
    }
    if (order < 2 || order > 25) throw ToolError("--order must lie between 2 and 25");
    const int ndc = static_cast<int>(tangents.size());
    if (np + ndc < order) throw ToolError("order " + std::to_string(order) + " needs at least " + std::to_string(order) +
                                          " points and tangents, found " + std::to_string(np + ndc));
    if (periodic && np < 3) throw ToolError("a closed curve needs at least three points");
    // Chord-length parameters from 0 to 1.
    std::vector<double> chord(static_cast<std::size_t>(np), 0.0);
    for (int i = 1; i < np; ++i) {
        double d2 = 0;
        for (std::size_t d = 0; d < dim; ++d) {
            const double e = pts[static_cast<std::size_t>(i) * dim + d] - pts[static_cast<std::size_t>(i - 1) * dim + d];
            d2 += e * e;
        }
        if (!(d2 > 0)) throw ToolError("points " + std::to_string(i) + " and " + std::to_string(i + 1) + " coincide");
        chord[static_cast<std::size_t>(i)] = chord[static_cast<std::size_t>(i - 1)] + std::sqrt(d2);
    }
    const double length = chord.back();
    c.params.resize(static_cast<std::size_t>(np));
    for (int i = 0; i < np; ++i) c.params[static_cast<std::size_t>(i)] = chord[static_cast<std::size_t>(i)] / length;

    // Tangents: unit directions scaled to the curve's speed under chord-length parameters.
    std::vector<double> cond_params, cond_values;
    std::vector<int> cond_orders;
    std::vector<std::pair<int, std::vector<double>>> sorted = tangents;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &t : sorted) {
        if (t.first < 0 || t.first >= np)
            throw ToolError("tangent at point " + std::to_string(t.first + 1) + ": there is no such point");
        double len = 0;
        for (double v : t.second) len += v * v;
        len = std::sqrt(len);
        if (!(len > 0)) throw ToolError("tangent at point " + std::to_string(t.first + 1) + " is zero");
        cond_params.push_back(c.params[static_cast<std::size_t>(t.first)]);
        cond_orders.push_back(1);
        for (double v : t.second) cond_values.push_back(v / len * length);
    }
    const int p_tied = periodic ? order - 1 : 0;
    const int m = np + ndc + p_tied;
    c.knots.assign(static_cast<std::size_t>(m + order), 0.0);
    c.control.assign(static_cast<std::size_t>(m) * dim, 0.0);
    const int descriptor[7] = {np, order, periodic ? 1 : 0, dimension, ndc, 0, periodic ? order - 2 : 0};
    int knot_count = 0;
    const int status = h0913(descriptor, pts.data(), c.params.data(), cond_params.data(), cond_orders.data(),
                             cond_values.data(), &knot_count, c.knots.data(), c.control.data());
    if (status != 0)
        throw ToolError(status == 1 ? "interpolation failed: the system is singular (too many tangents at one point?)"
                                    : "interpolation failed (status " + std::to_string(status) + ")");
    if (knot_count != m + order) throw ToolError("interpolation returned an unexpected knot count");
    // How closely the curve passes through the points.
    for (int i = 0; i < np; ++i) {
        double t = c.params[static_cast<std::size_t>(i)];
        if (periodic && t < c.t_begin()) t += c.t_end() - c.t_begin();
        const std::vector<double> q = c.evaluate(t);
        double d2 = 0;
        for (std::size_t d = 0; d < dim; ++d) {
            const double e = q[d] - pts[static_cast<std::size_t>(i) * dim + d];
            d2 += e * e;
        }
        c.max_point_error = std::max(c.max_point_error, std::sqrt(d2));
    }
    return c;
}

void draw_curve(const std::vector<double> &points, const Interpolant &curve, const std::string &path) {
    const auto dim = static_cast<std::size_t>(curve.dimension);
    std::vector<Pt> given, poly, samples;
    for (std::size_t i = 0; i + dim <= points.size(); i += dim) given.push_back({points[i], points[i + 1]});
    for (std::size_t i = 0; i + dim <= curve.control.size(); i += dim) poly.push_back({curve.control[i], curve.control[i + 1]});
    const int n = 400 + 20 * static_cast<int>(poly.size());
    const double a = curve.t_begin(), b = curve.t_end();
    for (int i = 0; i <= n; ++i) {
        const std::vector<double> p = curve.evaluate(a + (b - a) * i / n);
        samples.push_back({p[0], p[1]});
    }
    std::vector<Pt> all = given;
    all.insert(all.end(), poly.begin(), poly.end());
    all.insert(all.end(), samples.begin(), samples.end());
    double ext[4];
    extent_of(all, 0.05, ext);
    Canvas canvas(path, 800, 600);
    canvas.set_extent(ext[0], ext[1], ext[2], ext[3]);
    canvas.polyline(poly, false, Pen{0.55, 0.55, 0.55, 0.8, true});
    canvas.polyline(samples, false, kElementPen);
    for (const Pt &p : given) canvas.circle(p, 2.5, true, kPointPen);
    canvas.finish();
}

int run_curve(const CurveOptions &opt) {
    if (opt.output.empty() && !opt.json) throw ToolError("curve needs -o OUT.svg or --json");
    if (!opt.output.empty()) Canvas check(opt.output, 800, 600);
    const PointTable table = read_points(opt.points);
    std::vector<std::pair<int, std::vector<double>>> tangents;
    if (!opt.tangents.empty()) {
        const PointTable t = read_table(opt.tangents, table.columns + 1, table.columns + 1);
        for (int i = 0; i < t.rows(); ++i) {
            const double idx = t.at(i, 0);
            if (idx != std::floor(idx) || idx < 1 || idx > 1e9)
                throw ToolError(opt.tangents + ": point number " + std::to_string(idx) + " is not a point number");
            std::vector<double> dir;
            for (int d = 1; d < t.columns; ++d) dir.push_back(t.at(i, d));
            tangents.emplace_back(static_cast<int>(idx) - 1, dir);
        }
    }
    const Interpolant c = interpolate(table.values, table.columns, opt.order, opt.periodic, tangents);
    if (!opt.output.empty()) draw_curve(table.values, c, opt.output);
    const std::size_t m = c.control.size() / static_cast<std::size_t>(c.dimension);
    if (opt.json) {
        json ctrl = json::array();
        for (std::size_t i = 0; i < m; ++i)
            ctrl.push_back(std::vector<double>(c.control.begin() + static_cast<long>(i) * c.dimension,
                                               c.control.begin() + static_cast<long>(i + 1) * c.dimension));
        print_json({{"order", c.order},
                    {"periodic", c.periodic},
                    {"dimension", c.dimension},
                    {"parameters", c.params},
                    {"knots", c.knots},
                    {"control_points", ctrl},
                    {"max_point_error", c.max_point_error}});
    } else {
        std::printf("%s B-spline of order %d through %zu points: %zu control points, %zu knots, "
                    "largest distance from the points %.3g\n",
                    c.periodic ? "closed" : "open", c.order, c.params.size(), m, c.knots.size(), c.max_point_error);
    }
    return 0;
}

// ---- demo --------------------------------------------------------------------

namespace {

void draw_apollonius(const std::string &path) {
    const quorm_point3 centre[3] = {{0, 0, 0}, {9, 1, 0}, {4, 7, 0}};
    const double radius[3] = {2.0, 3.0, 1.5};
    ARC_SPLINE_1_seg_2d_s segs[8];
    int count = 0;
    ARC_SPLINE_cre_circle_tangent_to_3_circles(&centre[0], radius[0], &centre[1], radius[1], &centre[2], radius[2],
                                               &count, segs);
    if (count <= 0) throw ToolError("no circle touches the demo's three circles");
    std::vector<Pt> box;
    for (int i = 0; i < count; ++i) {
        const ARC_SPLINE_1_seg_2d_s &s = segs[i];
        box.push_back({s.center.x - s.radius, s.center.y - s.radius});
        box.push_back({s.center.x + s.radius, s.center.y + s.radius});
    }
    for (int i = 0; i < 3; ++i) {
        box.push_back({centre[i].x - radius[i], centre[i].y - radius[i]});
        box.push_back({centre[i].x + radius[i], centre[i].y + radius[i]});
    }
    double ext[4];
    extent_of(box, 0.03, ext);
    Canvas canvas(path, 800, 800);
    canvas.set_extent(ext[0], ext[1], ext[2], ext[3]);
    static const double colours[8][3] = {{0.85, 0.2, 0.2}, {0.9, 0.5, 0.1}, {0.7, 0.6, 0.0}, {0.2, 0.6, 0.2},
                                         {0.1, 0.6, 0.6}, {0.2, 0.35, 0.85}, {0.5, 0.3, 0.8}, {0.8, 0.3, 0.6}};
    for (int i = 0; i < count; ++i)
        canvas.circle({segs[i].center.x, segs[i].center.y}, segs[i].radius, false,
                      Pen{colours[i % 8][0], colours[i % 8][1], colours[i % 8][2], 1.0, false});
    for (int i = 0; i < 3; ++i) canvas.circle({centre[i].x, centre[i].y}, radius[i], false, Pen{0, 0, 0, 2.2, false});
    canvas.finish();
}

void draw_line_fit(const std::string &path) {
    std::vector<PNT2_s> pts;
    unsigned state = 12345u;
    for (int i = 0; i < 40; ++i) {
        state = state * 1103515245u + 12345u;
        const double noise = (double((state >> 8) & 0xffff) / 65535.0 - 0.5) * 1.2;
        const double x = i * 0.5;
        pts.push_back({x, 0.4 * x + 1 + noise});
    }
    PNT2_s point;
    VEC2_s normal;
    int status = 0;
    double stats[3];
    LSFIT_line_to_points_2d(pts.data(), static_cast<int>(pts.size()), &point, &normal, &status, stats);
    if (status != 0) throw ToolError("the demo's line fit failed");
    std::vector<Pt> p2;
    for (const PNT2_s &p : pts) p2.push_back({p.x, p.y});
    double ext[4];
    extent_of(p2, 0.05, ext);
    Canvas canvas(path, 800, 600);
    canvas.set_extent(ext[0], ext[1], ext[2], ext[3]);
    const double reach = std::hypot(ext[2] - ext[0], ext[3] - ext[1]);
    canvas.polyline({{point.x + reach * normal.y, point.y - reach * normal.x},
                     {point.x - reach * normal.y, point.y + reach * normal.x}},
                    false, kElementPen);
    for (const Pt &p : p2) canvas.circle(p, 2.5, true, kPointPen);
    canvas.finish();
}

} // namespace

int run_demo(const std::string &dir) {
    if (dir.empty()) throw ToolError("the demo needs an output folder");
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
        throw ToolError("cannot create the folder '" + dir + "': " + std::strerror(errno));
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) throw ToolError("'" + dir + "' is not a folder");
    const std::string base = dir.back() == '/' ? dir : dir + "/";
    std::vector<std::pair<std::string, std::string>> written;

    Progress progress;
    const Mesh bracket = bracket_model();
    for (const char *v : {"front", "top", "right", "iso"}) {
        const Drawing d = render_hidden_lines(bracket, view_from_name(v), progress);
        const std::string file = base + "bracket-" + v + ".svg";
        Canvas canvas(file, 800, 600);
        draw_to_canvas(d, canvas, false);
        canvas.finish();
        written.emplace_back(file, std::string("bracket, ") + v + " view, " + std::to_string(d.edges) +
                                       " visible edges (hidden-line renderer)");
    }
    {
        ViewSpec persp = view_from_name("iso");
        persp.perspective = true;
        persp.eye_distance = 300;
        const Drawing d = render_hidden_lines(bracket, persp, progress);
        const std::string file = base + "bracket-perspective.png";
        Canvas canvas(file, 1200, 900);
        draw_to_canvas(d, canvas, false);
        canvas.finish();
        written.emplace_back(file, "bracket in perspective, as a picture");
    }
    draw_apollonius(base + "apollonius.svg");
    written.emplace_back(base + "apollonius.svg", "the eight circles tangent to three circles");

    {
        std::vector<double> flower;
        for (int i = 0; i < 10; ++i) {
            const double a = 2 * M_PI * i / 10, r = i % 2 ? 4.0 : 9.0;
            flower.push_back(r * std::cos(a));
            flower.push_back(r * std::sin(a));
        }
        const Interpolant c = interpolate(flower, 2, 4, true, {});
        draw_curve(flower, c, base + "curve-periodic.svg");
        written.emplace_back(base + "curve-periodic.svg", "closed cubic B-spline through ten points");
    }
    {
        std::vector<Pt> outline = {{0, 0}, {10, 0}, {10, 2}, {3, 2}, {3, 4}, {8, 4}, {8, 6},
                                   {3, 6}, {3, 8}, {10, 8}, {10, 10}, {0, 10}};
        const Triangulation tri = triangulate_outline(outline, false);
        draw_triangulation(outline, tri, base + "fill.svg");
        written.emplace_back(base + "fill.svg", "an outline filled with triangles");
    }
    draw_line_fit(base + "fit-line.svg");
    written.emplace_back(base + "fit-line.svg", "least-squares line through noisy points");
    progress.finish();

    std::printf("quorm demo wrote %zu pictures to %s:\n", written.size(), dir.c_str());
    for (const auto &w : written) std::printf("  %-42s %s\n", w.first.c_str(), w.second.c_str());
    return 0;
}

} // namespace quorm_tool
