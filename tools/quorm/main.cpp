// quorm: the library's geometry on the files CAD users have.  Subcommands
// draw (hidden-line drawings of meshes), fit (lines, planes, circles and
// spheres through points), fill (triangulated outlines), curve (B-spline interpolation) and
// demo (a showcase that needs no input).
#include "commands.h"
#include "io.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>

int main(int argc, char **argv) {
    using namespace quorm_tool;
    CLI::App app{"quorm: geometry from libquorm on meshes, points and outlines"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "quorm 0.1.0");

    DrawOptions draw;
    CLI::App *draw_cmd = app.add_subcommand("draw", "hidden-line drawing of a mesh (STL, OBJ, PLY, OFF, 3MF, ...)");
    draw_cmd->add_option("MESH", draw.mesh, "mesh file")->required();
    draw_cmd->add_option("-o,--output", draw.output, "drawing: .svg, .pdf or .png")->required();
    draw_cmd->add_option("--view", draw.view, "front, top, right, iso, or a viewing direction x,y,z")
        ->capture_default_str();
    draw_cmd->add_option("--perspective", draw.perspective, "eye distance from the model's centre");
    draw_cmd->add_option("--clip", draw.clip, "window x1,y1,x2,y2 in view coordinates about the model's centre");
    draw_cmd->add_option("--size", draw.size, "page size WxH (points; pixels for PNG)")->capture_default_str();
    draw_cmd->add_flag("--json", draw.json, "print the counts as JSON");

    FitOptions fit;
    CLI::App *fit_cmd = app.add_subcommand("fit", "least-squares line or circle (2-D), plane or sphere (3-D) through points");
    fit_cmd->add_option("ELEMENT", fit.kind, "line, plane, circle or sphere")
        ->required()
        ->check(CLI::IsMember({"line", "plane", "circle", "sphere"}));
    fit_cmd->add_option("POINTS", fit.points, "points file: 2 or 3 numbers a line, '#' comments")->required();
    fit_cmd->add_flag("--json", fit.json, "print the result as JSON");
    fit_cmd->add_option("--plot", fit.plot, "draw the points and the fitted line or circle (.svg, .pdf or .png)");

    FillOptions fill;
    CLI::App *fill_cmd = app.add_subcommand("fill", "triangulate a polygon outline");
    fill_cmd->add_option("POLYGON", fill.polygon, "outline file: x y a line, either orientation")->required();
    fill_cmd->add_option("-o,--output", fill.output, "drawing of the triangles (.svg, .pdf or .png)");
    fill_cmd->add_flag("--ears", fill.ears, "ear clipping instead of the polygon fill");
    fill_cmd->add_flag("--json", fill.json, "print the triangles as JSON");

    CurveOptions curve;
    CLI::App *curve_cmd = app.add_subcommand("curve", "interpolate a B-spline through points");
    curve_cmd->add_option("POINTS", curve.points, "points file: 2 or 3 numbers a line")->required();
    curve_cmd->add_option("--order", curve.order, "order (degree + 1), 2 to 25")->capture_default_str();
    curve_cmd->add_flag("--periodic", curve.periodic, "closed curve (a repeated first point is dropped)");
    curve_cmd->add_option("--tangents", curve.tangents,
                          "file of tangents: a point number (from 1) and a direction a line");
    curve_cmd->add_option("-o,--output", curve.output, "drawing of the curve (.svg, .pdf or .png)");
    curve_cmd->add_flag("--json", curve.json, "print knots and control points as JSON");

    std::string demo_dir = "quorm-demo";
    CLI::App *demo_cmd = app.add_subcommand("demo", "write a showcase of pictures, no input needed");
    demo_cmd->add_option("-o,--output", demo_dir, "folder for the pictures")->capture_default_str();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        if (e.get_exit_code() == 0) return app.exit(e); // --help, --version
        std::fprintf(stderr, "quorm: %s (see quorm --help)\n", e.what());
        return e.get_exit_code();
    }
    try {
        if (*draw_cmd) return run_draw(draw);
        if (*fit_cmd) return run_fit(fit);
        if (*fill_cmd) return run_fill(fill);
        if (*curve_cmd) return run_curve(curve);
        if (*demo_cmd) return run_demo(demo_dir);
    } catch (const ToolError &e) {
        std::fprintf(stderr, "quorm: %s\n", e.what());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "quorm: %s\n", e.what());
        return 1;
    }
    return 1;
}
