#include "canvas.h"

#include "io.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <algorithm>
#include <cmath>

namespace quorm_tool {

namespace {

cairo_status_t append_to_string(void *closure, const unsigned char *data, unsigned int length) {
    static_cast<std::string *>(closure)->append(reinterpret_cast<const char *>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

Canvas::Canvas(const std::string &path, double width, double height)
    : path_(path), format_(extension_of(path)), width_(width), height_(height) {
    if (!(width >= 16 && height >= 16 && width <= 20000 && height <= 20000))
        throw ToolError("page size must lie between 16x16 and 20000x20000");
    base_width_ = std::max(0.6, std::min(width, height) / 900.0);
    if (format_ == "svg") {
        surface_ = cairo_svg_surface_create_for_stream(append_to_string, &data_, width, height);
    } else if (format_ == "pdf") {
        surface_ = cairo_pdf_surface_create_for_stream(append_to_string, &data_, width, height);
    } else if (format_ == "png") {
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::lround(width)),
                                              static_cast<int>(std::lround(height)));
    } else {
        throw ToolError("unknown output format '" + path + "' (use .svg, .pdf or .png)");
    }
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface_);
        throw ToolError("cannot create the drawing '" + path + "'");
    }
    cr_ = cairo_create(surface_);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    if (format_ == "png") {
        cairo_set_source_rgb(cr_, 1, 1, 1);
        cairo_paint(cr_);
    }
    set_extent(0, 0, 1, 1);
}

Canvas::~Canvas() {
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
}

void Canvas::set_extent(double x0, double y0, double x1, double y1) {
    extent_[0] = x0, extent_[1] = y0, extent_[2] = x1, extent_[3] = y1;
    double w = x1 - x0, h = y1 - y0;
    // A point or a line still gets a sensible scale.
    const double span = std::max({w, h, 1e-12});
    if (w < 1e-3 * span) w = 1e-3 * span;
    if (h < 1e-3 * span) h = 1e-3 * span;
    const double margin = 0.05 * std::min(width_, height_);
    scale_ = std::min((width_ - 2 * margin) / w, (height_ - 2 * margin) / h);
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    ox_ = width_ / 2 - scale_ * cx;
    oy_ = height_ / 2 + scale_ * cy;
}

void Canvas::clip_to_extent() {
    double xa, ya, xb, yb;
    to_page({extent_[0], extent_[1]}, xa, ya);
    to_page({extent_[2], extent_[3]}, xb, yb);
    cairo_rectangle(cr_, std::min(xa, xb), std::min(ya, yb), std::fabs(xb - xa), std::fabs(yb - ya));
    cairo_clip(cr_);
}

void Canvas::to_page(Pt p, double &x, double &y) const {
    x = ox_ + scale_ * p.x;
    y = oy_ - scale_ * p.y;
}

void Canvas::apply(const Pen &pen) {
    cairo_set_source_rgb(cr_, pen.r, pen.g, pen.b);
    cairo_set_line_width(cr_, pen.width * base_width_);
    if (pen.dashed) {
        const double dash[2] = {4 * base_width_, 3 * base_width_};
        cairo_set_dash(cr_, dash, 2, 0);
    } else {
        cairo_set_dash(cr_, nullptr, 0, 0);
    }
}

// Starts a path through the points, in page coordinates.
void Canvas::trace(const std::vector<Pt> &pts) {
    double x, y;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        to_page(pts[i], x, y);
        if (i == 0)
            cairo_move_to(cr_, x, y);
        else
            cairo_line_to(cr_, x, y);
    }
}

void Canvas::polyline(const std::vector<Pt> &pts, bool closed, const Pen &pen) {
    if (pts.size() < 2) return;
    trace(pts);
    if (closed) cairo_close_path(cr_);
    apply(pen);
    cairo_stroke(cr_);
}

void Canvas::segments(const std::vector<Pt> &ends, const Pen &pen) {
    if (ends.size() < 2) return;
    double x, y;
    for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
        to_page(ends[i], x, y);
        cairo_move_to(cr_, x, y);
        to_page(ends[i + 1], x, y);
        cairo_line_to(cr_, x, y);
    }
    apply(pen);
    cairo_stroke(cr_);
}

void Canvas::fill(const std::vector<Pt> &pts, double r, double g, double b, double alpha) {
    if (pts.size() < 3) return;
    trace(pts);
    cairo_close_path(cr_);
    cairo_set_source_rgba(cr_, r, g, b, alpha);
    cairo_fill(cr_);
}

void Canvas::circle(Pt centre, double radius, bool page_radius, const Pen &pen) {
    double x, y;
    to_page(centre, x, y);
    const double r = page_radius ? radius * base_width_ : radius * scale_;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x, y, r, 0, 2 * M_PI);
    apply(pen);
    cairo_stroke(cr_);
}

void Canvas::finish() {
    cairo_destroy(cr_);
    cr_ = nullptr;
    cairo_surface_flush(surface_);
    if (format_ == "png") {
        if (cairo_surface_write_to_png_stream(surface_, append_to_string, &data_) != CAIRO_STATUS_SUCCESS)
            throw ToolError("cannot encode '" + path_ + "'");
    }
    cairo_surface_finish(surface_);
    const cairo_status_t st = cairo_surface_status(surface_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    if (st != CAIRO_STATUS_SUCCESS) throw ToolError("cannot render '" + path_ + "': " + cairo_status_to_string(st));
    write_file_atomically(path_, data_);
}

} // namespace quorm_tool
