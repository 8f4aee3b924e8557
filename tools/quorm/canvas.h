// Drawings of the quorm tool: SVG, PDF or PNG pages through cairo, with the
// model's extent scaled to fit the page (y up) and stroke widths in page
// units, so that thin lines stay readable at any model size.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

namespace quorm_tool {

struct Pen {
    double r = 0, g = 0, b = 0;
    double width = 1; // times the page's base stroke width
    bool dashed = false;
};

struct Pt {
    double x, y;
};

class Canvas {
  public:
    // Checks that the format (by extension: svg, pdf or png) is known; nothing
    // is written until finish().
    Canvas(const std::string &path, double width, double height);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    // The model-space box to show; scaled uniformly to the page with a margin.
    void set_extent(double x0, double y0, double x1, double y1);
    // Later strokes stay inside the extent's box.
    void clip_to_extent();

    // One stroke of straight pieces; closed joins the last point to the first.
    void polyline(const std::vector<Pt> &pts, bool closed, const Pen &pen);
    // One stroke of separate segments (pairs of points).
    void segments(const std::vector<Pt> &ends, const Pen &pen);
    // A filled polygon without outline.
    void fill(const std::vector<Pt> &pts, double r, double g, double b, double alpha);
    // A circle of model radius (page_radius 0) or of page radius.
    void circle(Pt centre, double radius, bool page_radius, const Pen &pen);

    // Renders and writes the file whole.
    void finish();

    double base_width() const { return base_width_; }

  private:
    void to_page(Pt p, double &x, double &y) const;
    void trace(const std::vector<Pt> &pts);
    void apply(const Pen &pen);

    std::string path_;
    std::string format_;
    double width_, height_;
    double base_width_;
    double scale_ = 1, ox_ = 0, oy_ = 0;
    double extent_[4] = {0, 0, 1, 1};
    std::string data_;
    cairo_surface_t *surface_ = nullptr;
    cairo_t *cr_ = nullptr;
};

} // namespace quorm_tool
