// Binary STL writer.
#include "exchange/stl_writer.h"

#include "exchange/export_mesh.h"
#include "geometry/little_endian.h"
#include "scene/scene_list.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {
constexpr std::size_t HeaderSize = 80;
constexpr std::size_t FacetSize = 50;
} // namespace

long long writeStl(const SceneList& scene, std::ostream& out) {
    char header[HeaderSize] = {};
    // Not starting with "solid", which would make readers take it for the text form.
    const char* title = "Knotwork binary STL; units: millimetres";
    std::memcpy(header, title, std::strlen(title));
    const std::streampos start = out.tellp();
    out.write(header, HeaderSize);
    unsigned char count[4] = {};
    out.write(reinterpret_cast<const char*>(count), 4);

    std::uint32_t triangles = 0;
    std::vector<unsigned char> facets;
    for (const SceneNode* node = scene.first; node; node = node->next) {
        if (node->kind == ObjectKind::Curve || !meshRefusal(*node).empty())
            continue;
        const SurfaceMesh mesh = shadedMeshOf(*node);
        const double dx = mesh.translated ? mesh.offset[0] : 0.0;
        const double dy = mesh.translated ? mesh.offset[1] : 0.0;
        const double dz = mesh.translated ? mesh.offset[2] : 0.0;
        facets.clear();
        for (const SurfaceMesh::Primitive& primitive : mesh.primitives) {
            if (primitive.mode != SurfaceMesh::Triangles)
                continue;
            for (int i = primitive.first; i + 2 < primitive.first + primitive.count; i += 3) {
                float corner[3][3];
                for (int c = 0; c < 3; ++c) {
                    const std::size_t at = 3 * static_cast<std::size_t>(i + c);
                    corner[c][0] = static_cast<float>(mesh.positions[at] + dx);
                    corner[c][1] = static_cast<float>(mesh.positions[at + 1] + dy);
                    corner[c][2] = static_cast<float>(mesh.positions[at + 2] + dz);
                }
                double e1[3], e2[3];
                for (int a = 0; a < 3; ++a) {
                    e1[a] = static_cast<double>(corner[1][a]) - corner[0][a];
                    e2[a] = static_cast<double>(corner[2][a]) - corner[0][a];
                }
                double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                               e1[0] * e2[1] - e1[1] * e2[0]};
                const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                for (double& c : n)
                    c = length > 0.0 ? c / length : 0.0;
                const std::size_t at = facets.size();
                facets.resize(at + FacetSize);
                unsigned char* f = facets.data() + at;
                for (int a = 0; a < 3; ++a)
                    LittleEndian::storeFloat32(f + 4 * a, static_cast<float>(n[a]));
                for (int c = 0; c < 3; ++c)
                    for (int a = 0; a < 3; ++a)
                        LittleEndian::storeFloat32(f + 12 + 12 * c + 4 * a, corner[c][a]);
                f[48] = f[49] = 0;
                ++triangles;
                if (facets.size() >= (1u << 20)) {
                    out.write(reinterpret_cast<const char*>(facets.data()),
                              static_cast<std::streamsize>(facets.size()));
                    facets.clear();
                }
            }
        }
        out.write(reinterpret_cast<const char*>(facets.data()), static_cast<std::streamsize>(facets.size()));
    }
    const std::streampos end = out.tellp();
    LittleEndian::storeUnsigned(count, triangles, 4);
    out.seekp(start + static_cast<std::streamoff>(HeaderSize));
    out.write(reinterpret_cast<const char*>(count), 4);
    out.seekp(end);
    return triangles;
}
