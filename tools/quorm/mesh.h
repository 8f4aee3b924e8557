// Meshes for the hidden-line drawings: reading with assimp, the built-in
// bracket of the demo, and driving the library's hidden-line renderer.
#pragma once

#include "canvas.h"
#include "io.h"

#include <string>
#include <vector>

namespace quorm_tool {

// One part of a model: triangles over a vertex table, with vertex normals
// when the file has them.
struct MeshPart {
    std::string name;
    std::vector<double> positions; // x, y, z per vertex
    std::vector<double> normals;   // empty, or x, y, z per vertex
    std::vector<int> triangles;    // three vertex indices per triangle, counter-clockwise seen from outside
    std::size_t vertex_count() const { return positions.size() / 3; }
    std::size_t triangle_count() const { return triangles.size() / 3; }
};

struct Mesh {
    std::vector<MeshPart> parts;
    std::size_t triangle_count() const;
};

// Reads any mesh format assimp knows; a missing file, an unknown format or a
// mesh without faces is a ToolError.
Mesh load_mesh(const std::string &path, Progress &progress);

// The demo's bracket: a base plate, an upright plate with a rib and a
// cylindrical boss, one part each.
Mesh bracket_model();

struct ViewSpec {
    double rows[9];         // view axes as rows: screen right, screen up, towards the viewer
    bool perspective = false;
    double eye_distance = 0; // from the model's centre, with perspective
    bool clip = false;
    double window[4] = {0, 0, 0, 0}; // x1, y1, x2, y2 in view coordinates about the model's centre
};

// "front", "top", "right", "iso" or a viewing direction "x,y,z" (from the
// model towards the viewer).
ViewSpec view_from_name(const std::string &name);

struct Drawing {
    std::vector<std::vector<Pt>> part_segments; // visible segments per part, projected, two points each
    std::size_t facets = 0;       // triangles fed to the renderer
    std::size_t front_facing = 0; // facets the renderer kept (facing the viewer, inside the window)
    std::size_t culled = 0;       // facets outside the clipping window
    std::size_t edges = 0;        // visible segments
    std::size_t specks = 0;       // visible pieces too short to show (left out)
    double extent[4] = {0, 0, 0, 0}; // x0, y0, x1, y1 of the page's view
};

// Hidden-line drawing of a mesh; vertex normals come from the facet
// utilities where the mesh has none (smooth across edges whose facets turn by
// less than 30 degrees, so creases stay sharp).
Drawing render_hidden_lines(const Mesh &mesh, const ViewSpec &view, Progress &progress);

// Strokes the drawing, one stroke per part; clip keeps the strokes inside the
// drawing's extent (the clipping window).
void draw_to_canvas(const Drawing &drawing, Canvas &canvas, bool clip);

} // namespace quorm_tool
