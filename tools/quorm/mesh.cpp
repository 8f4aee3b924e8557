#include "mesh.h"

#include <corvex/capture.hpp>
#include <quorm/facet.h>
#include <quorm/hlr_facet.h>

#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numeric>

namespace quorm_tool {

std::size_t Mesh::triangle_count() const {
    std::size_t n = 0;
    for (const MeshPart &p : parts) n += p.triangle_count();
    return n;
}

namespace {

class ReadProgress : public Assimp::ProgressHandler {
  public:
    explicit ReadProgress(Progress &p) : progress_(p) {}
    bool Update(float percentage) override {
        if (percentage >= 0) progress_.update("reading", static_cast<std::size_t>(percentage * 1000), 1000);
        return true;
    }

  private:
    Progress &progress_;
};

} // namespace

Mesh load_mesh(const std::string &path, Progress &progress) {
    {
        std::ifstream probe(path, std::ios::binary);
        if (!probe) throw ToolError("cannot open '" + path + "': " + std::strerror(errno));
    }
    Assimp::Importer importer;
    const std::string ext = extension_of(path);
    if (ext.empty() || !importer.IsExtensionSupported("." + ext))
        throw ToolError("unknown mesh format of '" + path + "'");
    ReadProgress handler(progress);
    importer.SetProgressHandler(&handler);
    const aiScene *scene = importer.ReadFile(
        path, aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_PreTransformVertices);
    importer.SetProgressHandler(nullptr);
    if (!scene) {
        const std::string why = importer.GetErrorString();
        // The post-processing refuses a scene without meshes; read it plainly
        // to tell an empty model from a broken file.
        const aiScene *plain = importer.ReadFile(path, 0);
        bool no_faces = plain != nullptr;
        for (unsigned m = 0; plain && m < plain->mNumMeshes; ++m)
            if (plain->mMeshes[m]->mNumFaces > 0) no_faces = false;
        if (no_faces) throw ToolError("'" + path + "' holds no faces");
        throw ToolError("cannot read '" + path + "': " + why);
    }
    Mesh mesh;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh *src = scene->mMeshes[m];
        MeshPart part;
        part.name = src->mName.length ? src->mName.C_Str() : "part " + std::to_string(m + 1);
        for (unsigned f = 0; f < src->mNumFaces; ++f) {
            const aiFace &face = src->mFaces[f];
            if (face.mNumIndices != 3) continue; // points and lines have no facets
            for (int k = 0; k < 3; ++k) part.triangles.push_back(static_cast<int>(face.mIndices[k]));
        }
        if (part.triangles.empty()) continue;
        part.positions.reserve(3 * src->mNumVertices);
        bool finite_normals = src->HasNormals();
        for (unsigned v = 0; v < src->mNumVertices; ++v) {
            const aiVector3D &p = src->mVertices[v];
            part.positions.insert(part.positions.end(), {double(p.x), double(p.y), double(p.z)});
            if (finite_normals) {
                const aiVector3D &n = src->mNormals[v];
                if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.z)) finite_normals = false;
            }
        }
        for (double c : part.positions)
            if (!std::isfinite(c)) throw ToolError("'" + path + "' has vertex coordinates that are not numbers");
        if (finite_normals) {
            part.normals.reserve(3 * src->mNumVertices);
            for (unsigned v = 0; v < src->mNumVertices; ++v) {
                const aiVector3D &n = src->mNormals[v];
                part.normals.insert(part.normals.end(), {double(n.x), double(n.y), double(n.z)});
            }
        }
        mesh.parts.push_back(std::move(part));
    }
    if (mesh.parts.empty()) throw ToolError("'" + path + "' holds no faces");
    return mesh;
}

// ---- the demo's bracket ------------------------------------------------------

namespace {

void add_box(MeshPart &part, double x0, double y0, double z0, double x1, double y1, double z1) {
    const int base = static_cast<int>(part.vertex_count());
    for (int i = 0; i < 8; ++i)
        part.positions.insert(part.positions.end(), {i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0});
    // Each face as two counter-clockwise triangles seen from outside.
    static const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto &q : quads) {
        part.triangles.insert(part.triangles.end(), {base + q[0], base + q[1], base + q[2]});
        part.triangles.insert(part.triangles.end(), {base + q[0], base + q[2], base + q[3]});
    }
}

// Closed cylinder about the z axis through (cx, cy), n sides.
void add_cylinder(MeshPart &part, double cx, double cy, double z0, double z1, double r, int n) {
    const int base = static_cast<int>(part.vertex_count());
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        const double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
        part.positions.insert(part.positions.end(), {x, y, z0, x, y, z1});
    }
    part.positions.insert(part.positions.end(), {cx, cy, z0, cx, cy, z1});
    const int bottom = base + 2 * n, top = bottom + 1;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        const int b0 = base + 2 * i, t0 = b0 + 1, b1 = base + 2 * j, t1 = b1 + 1;
        part.triangles.insert(part.triangles.end(), {b0, b1, t1, b0, t1, t0});
        part.triangles.insert(part.triangles.end(), {top, t0, t1, bottom, b1, b0});
    }
}

} // namespace

Mesh bracket_model() {
    Mesh mesh;
    MeshPart base{"base plate", {}, {}, {}};
    add_box(base, 0, 0, 0, 100, 50, 8);
    MeshPart upright{"upright", {}, {}, {}};
    add_box(upright, 0, 0, 8, 10, 50, 60);
    add_box(upright, 10, 21, 8, 40, 29, 20); // rib
    MeshPart boss{"boss", {}, {}, {}};
    add_cylinder(boss, 72, 25, 8, 30, 14, 48);
    mesh.parts = {std::move(base), std::move(upright), std::move(boss)};
    return mesh;
}

// ---- views -------------------------------------------------------------------

ViewSpec view_from_name(const std::string &name) {
    double dir[3];
    if (name == "front") {
        dir[0] = 0, dir[1] = -1, dir[2] = 0;
    } else if (name == "top") {
        dir[0] = 0, dir[1] = 0, dir[2] = 1;
    } else if (name == "right") {
        dir[0] = 1, dir[1] = 0, dir[2] = 0;
    } else if (name == "iso") {
        dir[0] = 1, dir[1] = -1, dir[2] = 1;
    } else {
        std::vector<double> d = parse_number_list(name, ',', 3, "view (front, top, right, iso or x,y,z)");
        std::copy(d.begin(), d.end(), dir);
    }
    const double len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
    if (!(len > 0)) throw ToolError("view direction must not be zero");
    const double z[3] = {dir[0] / len, dir[1] / len, dir[2] / len};
    // Screen up follows the model's z axis unless the view looks along it.
    double up[3] = {0, 0, 1};
    if (std::fabs(z[2]) > 0.999) up[1] = 1, up[2] = 0;
    double x[3] = {up[1] * z[2] - up[2] * z[1], up[2] * z[0] - up[0] * z[2], up[0] * z[1] - up[1] * z[0]};
    const double xl = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (double &c : x) c /= xl;
    const double y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
    ViewSpec v;
    for (int k = 0; k < 3; ++k) {
        v.rows[k] = x[k];
        v.rows[3 + k] = y[k];
        v.rows[6 + k] = z[k];
    }
    return v;
}

// ---- hidden-line drawing -------------------------------------------------------

namespace {

struct RenderSink {
    std::vector<std::vector<Pt>> *segments = nullptr;
    const ViewSpec *view = nullptr;
    double origin[3] = {0, 0, 0};
    std::size_t culled = 0, front_facing = 0, specks = 0;
    double speck = 0; // visible pieces shorter than this (projected) are below any page's resolution
    std::string failure;
};
RenderSink *g_sink = nullptr;

Pt project(const ViewSpec &view, const double origin[3], const double p[3]) {
    const double r[3] = {p[0] - origin[0], p[1] - origin[1], p[2] - origin[2]};
    double v[3];
    for (int k = 0; k < 3; ++k) v[k] = view.rows[3 * k] * r[0] + view.rows[3 * k + 1] * r[1] + view.rows[3 * k + 2] * r[2];
    if (!view.perspective) return {v[0], v[1]};
    // Scaled by the eye distance so that the model's centre plane keeps its size.
    const double depth = view.eye_distance - v[2];
    const double f = depth > 0 ? view.eye_distance / depth : 0;
    return {v[0] * f, v[1] * f};
}

void on_line(const double start[3], const double end[3], int, void *user) {
    const std::size_t part = *static_cast<const std::size_t *>(user);
    std::vector<Pt> &out = (*g_sink->segments)[part];
    const Pt a = project(*g_sink->view, g_sink->origin, start), b = project(*g_sink->view, g_sink->origin, end);
    if (!(std::hypot(b.x - a.x, b.y - a.y) >= g_sink->speck)) {
        ++g_sink->specks;
        return;
    }
    out.push_back(a);
    out.push_back(b);
}

void on_diag(HLR_FACET_severity_codes_t severity, HLR_FACET_diagnostic_codes_t, const char *text) {
    unsigned long value = 0;
    if (std::sscanf(text, "Facets culled (outside current partition): %lu", &value) == 1) g_sink->culled = value;
    if (std::sscanf(text, "%lu facets;", &value) == 1) g_sink->front_facing = value;
    if (severity == HLR_FACET_SEVERITY_ERROR && g_sink->failure.empty())
        g_sink->failure = std::string("hidden-line rendering failed") + (text && *text ? ": " : "") + text;
}

// Ends the renderer's state however the drawing ends.
struct RendererSession {
    explicit RendererSession(RenderSink &sink) {
        g_sink = &sink;
        HLR_FACET_init();
    }
    ~RendererSession() {
        HLR_FACET_term();
        g_sink = nullptr;
    }
    RendererSession(const RendererSession &) = delete;
    RendererSession &operator=(const RendererSession &) = delete;
};

double dot3(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Vertex normals of a part without normals of its own.  Round each location
// the facets fall into smooth fans: neighbours across an edge through the
// location join when their normals turn by less than 30 degrees.  Every fan
// gets the area-weighted normal of its facets from the facet utilities, so
// that the facets of one fan agree at the location (their shared edges are
// smooth) while a crease keeps different normals on its two sides.  One normal
// slot per corner.
void corner_normals(const MeshPart &part, const std::vector<int> &loc_of, const std::vector<double> &unit_normals,
                    const std::vector<double> &area, double area_floor, std::vector<double> &out) {
    const std::size_t nt = part.triangle_count();
    auto loc_at = [&](std::size_t t, int k) {
        return loc_of[static_cast<std::size_t>(part.triangles[3 * t + static_cast<std::size_t>(k)])];
    };
    const int nloc = loc_of.empty() ? 0 : *std::max_element(loc_of.begin(), loc_of.end()) + 1;
    // Facets round each location (compressed rows).
    std::vector<int> start(static_cast<std::size_t>(nloc) + 1, 0);
    for (std::size_t t = 0; t < nt; ++t)
        for (int k = 0; k < 3; ++k) ++start[static_cast<std::size_t>(loc_at(t, k)) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> ring(static_cast<std::size_t>(start.back()));
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (std::size_t t = 0; t < nt; ++t)
        for (int k = 0; k < 3; ++k) ring[static_cast<std::size_t>(fill[static_cast<std::size_t>(loc_at(t, k))]++)] = static_cast<int>(t);

    const double cos_crease = std::cos(30.0 * M_PI / 180.0);
    const double tols[2] = {std::sqrt(2 * area_floor), 1e-3};
    out.assign(3 * 3 * nt, 0.0);
    for (std::size_t t = 0; t < nt; ++t)
        for (int k = 0; k < 3; ++k) std::copy(&unit_normals[3 * t], &unit_normals[3 * t] + 3, &out[3 * (3 * t + static_cast<std::size_t>(k))]);

    std::vector<int> fan, members;
    std::vector<FACET_facet_normal_s> around;
    // A sliver whose area the facet utilities measure as zero is reported
    // and weighed as it is; the drawing goes on without the reports.
    Kaltor::Corvex::MessageCapture quiet(true);
    for (int loc = 0; loc < nloc; ++loc) {
        const int r0 = start[static_cast<std::size_t>(loc)], r1 = start[static_cast<std::size_t>(loc) + 1];
        const int r = r1 - r0;
        if (r < 2) continue;
        // Fans by union-find over the ring.
        fan.resize(static_cast<std::size_t>(r));
        std::iota(fan.begin(), fan.end(), 0);
        auto root = [&](int i) {
            while (fan[static_cast<std::size_t>(i)] != i) i = fan[static_cast<std::size_t>(i)] = fan[static_cast<std::size_t>(fan[static_cast<std::size_t>(i)])];
            return i;
        };
        for (int i = 0; i < r; ++i) {
            const std::size_t f = static_cast<std::size_t>(ring[static_cast<std::size_t>(r0 + i)]);
            if (!(area[f] > area_floor)) continue;
            for (int j = i + 1; j < r; ++j) {
                const std::size_t g = static_cast<std::size_t>(ring[static_cast<std::size_t>(r0 + j)]);
                if (!(area[g] > area_floor) || dot3(&unit_normals[3 * f], &unit_normals[3 * g]) < cos_crease) continue;
                int shared = 0;
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b)
                        if (loc_at(f, a) == loc_at(g, b) && loc_at(f, a) != loc) ++shared;
                if (shared > 0) fan[static_cast<std::size_t>(root(i))] = root(j);
            }
        }
        for (int head = 0; head < r; ++head) {
            if (root(head) != head) continue;
            members.clear();
            around.clear();
            for (int i = 0; i < r; ++i) {
                if (root(i) != head) continue;
                const std::size_t g = static_cast<std::size_t>(ring[static_cast<std::size_t>(r0 + i)]);
                if (!(area[g] > area_floor)) continue;
                members.push_back(i);
                FACET_facet_normal_s fn;
                for (int c = 0; c < 3; ++c) {
                    const double *p = &part.positions[3 * static_cast<std::size_t>(part.triangles[3 * g + static_cast<std::size_t>(c)])];
                    fn.vertices[c] = {p[0], p[1], p[2]};
                    fn.vertex_ids[c] = loc_at(g, c);
                }
                fn.normal = {unit_normals[3 * g], unit_normals[3 * g + 1], unit_normals[3 * g + 2]};
                around.push_back(fn);
            }
            if (around.size() < 2) continue;
            quorm_point3 vertex = around[0].vertices[0];
            for (int c = 0; c < 3; ++c)
                if (around[0].vertex_ids[c] == loc) vertex = around[0].vertices[c];
            quorm_vector3 n;
            FACET_interp_normal_at_vertex(&vertex, loc, static_cast<int>(around.size()), around.data(),
                                          FACET_WEIGHT_AREA, tols, &n);
            quiet.clear();
            if (!(n.x * n.x + n.y * n.y + n.z * n.z > 0.5)) continue;
            for (int i : members) {
                const std::size_t g = static_cast<std::size_t>(ring[static_cast<std::size_t>(r0 + i)]);
                for (int c = 0; c < 3; ++c) {
                    if (loc_at(g, c) != loc) continue;
                    double *dst = &out[3 * (3 * g + static_cast<std::size_t>(c))];
                    dst[0] = n.x, dst[1] = n.y, dst[2] = n.z;
                }
            }
        }
    }
}

} // namespace

Drawing render_hidden_lines(const Mesh &mesh, const ViewSpec &view, Progress &progress) {
    Drawing drawing;
    drawing.part_segments.resize(mesh.parts.size());
    drawing.facets = mesh.triangle_count();

    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const MeshPart &part : mesh.parts)
        for (std::size_t i = 0; i < part.positions.size(); ++i) {
            lo[i % 3] = std::min(lo[i % 3], part.positions[i]);
            hi[i % 3] = std::max(hi[i % 3], part.positions[i]);
        }
    RenderSink sink;
    sink.segments = &drawing.part_segments;
    sink.view = &view;
    for (int k = 0; k < 3; ++k) sink.origin[k] = (lo[k] + hi[k]) / 2;
    const double size = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2], 1e-300});
    sink.speck = 1e-5 * size;
    if (view.perspective && !(view.eye_distance > size))
        throw ToolError("the eye distance must exceed the model's size (" + std::to_string(size) + ")");

    RendererSession session(sink);
    HLR_FACET_set_line_callback(on_line);
    HLR_FACET_set_diag_callback(on_diag);
    HLR_FACET_set_debug_level(1);
    HLR_FACET_view(sink.origin, view.rows, 1.0, view.eye_distance, view.perspective ? 1 : 0);
    HLR_FACET_clipping(view.window);

    std::vector<std::size_t> part_ids(mesh.parts.size());
    std::iota(part_ids.begin(), part_ids.end(), std::size_t{0});
    std::size_t fed = 0;
    const double area_floor = 1e-14 * size * size;
    for (std::size_t pi = 0; pi < mesh.parts.size(); ++pi) {
        const MeshPart &part = mesh.parts[pi];
        const std::size_t nv = part.vertex_count(), nt = part.triangle_count();
        for (int idx : part.triangles)
            if (idx < 0 || static_cast<std::size_t>(idx) >= nv) throw ToolError("a triangle refers to a missing vertex");
        // One location per distinct position: edges are shared through them.
        std::vector<int> order(nv), loc_of(nv);
        std::iota(order.begin(), order.end(), 0);
        const double *pos = part.positions.data();
        std::sort(order.begin(), order.end(), [pos](int a, int b) {
            return std::lexicographical_compare(pos + 3 * a, pos + 3 * a + 3, pos + 3 * b, pos + 3 * b + 3);
        });
        int nloc = 0;
        for (std::size_t i = 0; i < nv; ++i) {
            if (i > 0 && !std::equal(pos + 3 * order[i], pos + 3 * order[i] + 3, pos + 3 * order[i - 1])) ++nloc;
            loc_of[static_cast<std::size_t>(order[i])] = nloc;
        }
        if (nv > 0) ++nloc;
        // Facet normals (unit) and areas.
        std::vector<double> unit_normals(3 * nt), area(nt);
        for (std::size_t t = 0; t < nt; ++t) {
            const double *a = pos + 3 * part.triangles[3 * t], *b = pos + 3 * part.triangles[3 * t + 1],
                         *c = pos + 3 * part.triangles[3 * t + 2];
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
            const double len = std::sqrt(dot3(n, n));
            area[t] = len / 2;
            for (int k = 0; k < 3; ++k) unit_normals[3 * t + static_cast<std::size_t>(k)] = len > 0 ? n[k] / len : 0;
        }
        // Normals that merely repeat each facet's own normal (as STL files
        // carry them), or that are zero somewhere, say nothing about
        // smoothness: the facet utilities then work out vertex normals as for
        // a file without normals.
        bool file_normals = part.normals.size() == part.positions.size();
        if (file_normals) {
            bool flat = true;
            for (std::size_t t = 0; t < nt && file_normals; ++t) {
                if (!(area[t] > area_floor)) continue;
                for (int k = 0; k < 3; ++k) {
                    const double *n = &part.normals[3 * static_cast<std::size_t>(part.triangles[3 * t + static_cast<std::size_t>(k)])];
                    const double len = std::sqrt(dot3(n, n));
                    if (!(len > 0)) file_normals = false;
                    if (!(dot3(n, &unit_normals[3 * t]) > 0.9999 * len)) flat = false;
                }
            }
            if (flat) file_normals = false;
        }
        std::vector<double> own_normals;
        if (!file_normals) corner_normals(part, loc_of, unit_normals, area, area_floor, own_normals);
        const std::vector<double> &normals = file_normals ? part.normals : own_normals;
        const int n_vnrm = static_cast<int>(normals.size() / 3);

        HLR_FACET_group(nloc, n_vnrm, 0, nullptr, &part_ids[pi]);
        for (std::size_t i = 0; i < nv; ++i) {
            if (i > 0 && loc_of[static_cast<std::size_t>(order[i])] == loc_of[static_cast<std::size_t>(order[i - 1])]) continue;
            HLR_FACET_add_vloc(loc_of[static_cast<std::size_t>(order[i])], pos + 3 * order[i]);
        }
        for (int i = 0; i < n_vnrm; ++i) HLR_FACET_add_vnrm(i, &normals[3 * static_cast<std::size_t>(i)]);
        for (std::size_t t = 0; t < nt; ++t, ++fed) {
            if (!(area[t] > area_floor)) continue; // a degenerate facet hides nothing and has no side
            int vloc[3], vnrm[3];
            for (int k = 0; k < 3; ++k) {
                const int v = part.triangles[3 * t + static_cast<std::size_t>(k)];
                vloc[k] = loc_of[static_cast<std::size_t>(v)];
                vnrm[k] = file_normals ? v : static_cast<int>(3 * t) + k;
            }
            HLR_FACET_add_facet(&unit_normals[3 * t], 3, vloc, vnrm, nullptr);
            if ((fed & 1023) == 0) progress.update("recording edges", fed, drawing.facets);
        }
        if (!sink.failure.empty()) throw ToolError(sink.failure);
    }
    progress.update("rendering", 0, 0);
    HLR_FACET_render();
    if (!sink.failure.empty()) throw ToolError(sink.failure);
    drawing.culled = sink.culled;
    drawing.front_facing = sink.front_facing;
    drawing.specks = sink.specks;

    double ext[4] = {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const auto &segs : drawing.part_segments) {
        drawing.edges += segs.size() / 2;
        for (const Pt &p : segs) {
            ext[0] = std::min(ext[0], p.x), ext[1] = std::min(ext[1], p.y);
            ext[2] = std::max(ext[2], p.x), ext[3] = std::max(ext[3], p.y);
        }
    }
    if (view.clip) {
        ext[0] = std::min(view.window[0], view.window[2]), ext[1] = std::min(view.window[1], view.window[3]);
        ext[2] = std::max(view.window[0], view.window[2]), ext[3] = std::max(view.window[1], view.window[3]);
    } else if (drawing.edges == 0) {
        ext[0] = ext[1] = -size / 2, ext[2] = ext[3] = size / 2;
    }
    std::copy(ext, ext + 4, drawing.extent);
    return drawing;
}

void draw_to_canvas(const Drawing &drawing, Canvas &canvas, bool clip) {
    canvas.set_extent(drawing.extent[0], drawing.extent[1], drawing.extent[2], drawing.extent[3]);
    if (clip) canvas.clip_to_extent();
    Pen pen;
    pen.r = pen.g = pen.b = 0.1;
    for (const auto &segs : drawing.part_segments) canvas.segments(segs, pen);
}

} // namespace quorm_tool
