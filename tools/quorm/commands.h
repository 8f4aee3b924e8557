// The quorm tool's subcommands.  Each returns the process exit status and
// reports failures as ToolError; results go to standard output (text or JSON)
// and, where asked, to a drawing written whole.
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

namespace quorm_tool {

struct DrawOptions {
    std::string mesh, output, view = "iso", clip, size = "800x600";
    double perspective = 0;
    bool json = false;
};
int run_draw(const DrawOptions &opt);

struct FitOptions {
    std::string kind, points, plot;
    bool json = false;
};
int run_fit(const FitOptions &opt);

struct FillOptions {
    std::string polygon, output;
    bool ears = false, json = false;
};
int run_fill(const FillOptions &opt);

struct CurveOptions {
    std::string points, tangents, output;
    int order = 4;
    bool periodic = false, json = false;
};
int run_curve(const CurveOptions &opt);

int run_demo(const std::string &dir);

// Shared by the commands and the demo.
struct Triangulation {
    std::vector<int> triangles; // three indices per triangle into the outline as given
};
// Triangulates an outline (either orientation; a repeated closing point is
// dropped) with the polygon fill or, with ears, by ear clipping.
Triangulation triangulate_outline(std::vector<Pt> &outline, bool ears);
void draw_triangulation(const std::vector<Pt> &outline, const Triangulation &tri, const std::string &path);

struct Interpolant {
    int order = 4, dimension = 2;
    bool periodic = false;
    std::vector<double> params, knots, control; // control: dimension doubles per point
    double max_point_error = 0;
    std::vector<double> evaluate(double t) const;
    double t_begin() const;
    double t_end() const;
};
// Points row by row (dimension doubles each); tangents as (point index,
// direction) pairs.
Interpolant interpolate(const std::vector<double> &points, int dimension, int order, bool periodic,
                        const std::vector<std::pair<int, std::vector<double>>> &tangents);
void draw_curve(const std::vector<double> &points, const Interpolant &curve, const std::string &path);

} // namespace quorm_tool
