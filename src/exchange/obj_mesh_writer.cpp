// OBJ mesh writer.
#include "exchange/obj_mesh_writer.h"

#include "exchange/exchange_model.h"
#include "exchange/export_mesh.h"
#include "exchange/number_text.h"
#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct Triple {
    double v[3];
    bool operator==(const Triple& other) const { return std::memcmp(v, other.v, sizeof v) == 0; }
};

struct TripleHash {
    std::size_t operator()(const Triple& t) const {
        std::size_t h = 0;
        for (double d : t.v) {
            std::uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            h = (h ^ bits) * 0x100000001b3ull + (h >> 29);
        }
        return h;
    }
};

// Numbers identical values once, in the order they first appear.
class Numbering {
public:
    // The 1-based number within the object, and whether it is new.
    std::pair<long long, bool> number(const Triple& t) {
        const auto [at, added] = index_.try_emplace(t, static_cast<long long>(index_.size()) + 1);
        return {at->second, added};
    }
    long long size() const { return static_cast<long long>(index_.size()); }

private:
    std::unordered_map<Triple, long long, TripleHash> index_;
};

void appendTriple(std::string& text, const char* keyword, const double* v) {
    text += keyword;
    for (int a = 0; a < 3; ++a) {
        text += ' ';
        appendNumber(text, v[a]);
    }
    text += '\n';
}

class Output {
public:
    explicit Output(std::ostream& out) : out_(out) {}
    ~Output() { flush(); }
    std::string& text() {
        if (text_.size() > (1u << 20))
            flush();
        return text_;
    }
    void flush() {
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        text_.clear();
    }

private:
    std::ostream& out_;
    std::string text_;
};

} // namespace

MeshCounts writeObjMesh(const SceneList& scene, std::ostream& out) {
    MeshCounts counts;
    Output output(out);
    output.text() +=
        "# Knotwork " KNOTWORK_VERSION " mesh export: curves as polylines, surfaces as shaded triangles\n"
        "# units: millimetres\n";
    long long vertexBase = 0, normalBase = 0;
    int position = 0;
    for (const SceneNode* node = scene.first; node; node = node->next, ++position) {
        if (!meshRefusal(*node).empty())
            continue;
        if (node->kind == ObjectKind::Curve) {
            auto* curve = dynamic_cast<NurbsCurve*>(node->object);
            if (!curve)
                continue;
            const std::vector<ControlPoint> samples = curve->samplePoints();
            output.text() += "o " + exchangeName(node->kind, position) + '\n';
            for (const ControlPoint& p : samples) {
                const double v[3] = {p.x, p.y, p.z};
                appendTriple(output.text(), "v", v);
            }
            if (samples.size() == 1) {
                output.text() += "p " + std::to_string(vertexBase + 1) + '\n';
            } else {
                std::string& text = output.text();
                text += 'l';
                for (std::size_t i = 0; i < samples.size(); ++i)
                    text += ' ' + std::to_string(vertexBase + static_cast<long long>(i) + 1);
                text += '\n';
            }
            vertexBase += static_cast<long long>(samples.size());
            ++counts.curves;
            continue;
        }
        if (node->kind != ObjectKind::Revolution && node->kind != ObjectKind::Coons &&
            node->kind != ObjectKind::Extrusion)
            continue;
        const SurfaceMesh mesh = shadedMeshOf(*node);
        output.text() += "o " + exchangeName(node->kind, position) + '\n';
        const double dx = mesh.translated ? mesh.offset[0] : 0.0;
        const double dy = mesh.translated ? mesh.offset[1] : 0.0;
        const double dz = mesh.translated ? mesh.offset[2] : 0.0;
        Numbering positions, normals;
        std::vector<long long> corners; // position and normal number of every triangle corner
        for (const SurfaceMesh::Primitive& primitive : mesh.primitives) {
            if (primitive.mode != SurfaceMesh::Triangles || !mesh.hasNormals)
                continue;
            for (int i = primitive.first; i + 2 < primitive.first + primitive.count; i += 3) {
                for (int c = 0; c < 3; ++c) {
                    const std::size_t at = 3 * static_cast<std::size_t>(i + c);
                    const Triple p{
                        {mesh.positions[at] + dx, mesh.positions[at + 1] + dy, mesh.positions[at + 2] + dz}};
                    const Triple n{{mesh.normals[at], mesh.normals[at + 1], mesh.normals[at + 2]}};
                    const auto [pn, newPosition] = positions.number(p);
                    const auto [nn, newNormal] = normals.number(n);
                    if (newPosition)
                        appendTriple(output.text(), "v", p.v);
                    if (newNormal)
                        appendTriple(output.text(), "vn", n.v);
                    corners.push_back(vertexBase + pn);
                    corners.push_back(normalBase + nn);
                }
            }
        }
        for (std::size_t c = 0; c + 5 < corners.size(); c += 6) {
            std::string& text = output.text();
            text += 'f';
            for (int k = 0; k < 3; ++k)
                text +=
                    ' ' + std::to_string(corners[c + 2 * k]) + "//" + std::to_string(corners[c + 2 * k + 1]);
            text += '\n';
        }
        counts.triangles += static_cast<long long>(corners.size() / 6);
        vertexBase += positions.size();
        normalBase += normals.size();
        ++counts.surfaces;
    }
    return counts;
}
