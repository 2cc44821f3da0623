// Merging a surface mesh's equal corners into shared, indexed vertices.
#include "surfaces/shared_mesh.h"

#include "surfaces/work_progress.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

namespace {
// The bit patterns of a corner's position, normal and colour, plus whether it has a colour.
using CornerKey = std::array<std::uint32_t, 10>;

// Of the position only: corners at one place with different normals or colours are few.
std::uint64_t hashOf(const CornerKey& key) {
    std::uint64_t h = (static_cast<std::uint64_t>(key[0]) << 32 | key[1]) * 0x9e3779b97f4a7c15ull;
    h = (h ^ (h >> 29) ^ key[2]) * 0xff51afd7ed558ccdull;
    return h ^ (h >> 32);
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Open addressing over the keys of the vertices made so far: a grid has far fewer vertices than
// corners, and a node per vertex (std::unordered_map) cost more than the merge saves.
class CornerTable {
public:
    explicit CornerTable(std::size_t expected) {
        std::size_t capacity = 1024;
        while (capacity < 2 * expected)
            capacity *= 2;
        slots_.assign(capacity, 0);
        keys_.reserve(expected);
    }

    // The vertex of the key, and whether it was added now.
    std::pair<std::uint32_t, bool> find(const CornerKey& key) {
        std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hashOf(key) & mask;; at = (at + 1) & mask) {
            const std::uint32_t slot = slots_[at];
            if (slot == 0) {
                keys_.push_back(key);
                const auto vertex = static_cast<std::uint32_t>(keys_.size() - 1);
                slots_[at] = vertex + 1;
                if (2 * keys_.size() > slots_.size())
                    grow();
                return {vertex, true};
            }
            if (keys_[slot - 1] == key)
                return {slot - 1, false};
        }
    }

private:
    std::vector<std::uint32_t> slots_; // vertex + 1; 0 empty
    std::vector<CornerKey> keys_;

    void grow() {
        slots_.assign(2 * slots_.size(), 0);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t v = 0; v < keys_.size(); ++v) {
            std::size_t at = hashOf(keys_[v]) & mask;
            while (slots_[at] != 0)
                at = (at + 1) & mask;
            slots_[at] = static_cast<std::uint32_t>(v + 1);
        }
    }
};
} // namespace

SharedMesh SharedMesh::of(const SurfaceMesh& mesh) {
    SharedMesh out;
    const bool perVertexColour = !mesh.colours.empty();
    const std::size_t corners = mesh.positions.size() / 3;
    // A grid's neighbouring cells share most corners: about one vertex in four to six corners.
    CornerTable seen(corners / 4);
    out.indices.reserve(corners);

    // The colour GL holds at each corner: the base colour, then each primitive's own.
    bool colourKnown = mesh.hasBaseColour;
    float colour[3] = {mesh.baseColour[0], mesh.baseColour[1], mesh.baseColour[2]};

    struct Recent {
        CornerKey key{};
        std::uint32_t vertex = 0;
    };
    std::array<Recent, 8> recent;
    // No real corner's key has the flag word 2, so the empty entries never match.
    for (Recent& r : recent)
        r.key[9] = 2;
    std::size_t nextRecent = 0;
    auto vertexOf = [&](int v) -> std::uint32_t {
        const std::size_t at = 3 * static_cast<std::size_t>(v);
        CornerKey key{};
        float p[3], n[3] = {0.0f, 0.0f, 0.0f};
        for (int a = 0; a < 3; ++a) {
            p[a] = static_cast<float>(mesh.positions[at + a]);
            key[a] = bitsOf(p[a]);
            if (mesh.hasNormals) {
                n[a] = static_cast<float>(mesh.normals[at + a]);
                key[3 + a] = bitsOf(n[a]);
            }
            if (perVertexColour && colourKnown)
                key[6 + a] = bitsOf(colour[a]);
        }
        key[9] = perVertexColour && colourKnown;
        // Most corners repeat one of the last few: the same cell's or the previous cell's.
        for (const Recent& r : recent)
            if (r.key == key)
                return r.vertex;
        const auto [vertex, added] = seen.find(key);
        recent[nextRecent] = Recent{key, vertex};
        nextRecent = (nextRecent + 1) % recent.size();
        if (added) {
            out.positions.insert(out.positions.end(), p, p + 3);
            if (mesh.hasNormals)
                out.normals.insert(out.normals.end(), n, n + 3);
            if (perVertexColour)
                out.colours.insert(out.colours.end(), colour, colour + 3);
        }
        return vertex;
    };

    // Merging a large mesh is a stage of its rebuild: it says how far it is every few thousand.
    constexpr std::size_t reportEvery = 4096;
    WorkProgress* progress = WorkProgress::current();
    if (progress)
        progress->beginStage(static_cast<long long>(mesh.primitives.size()));
    std::size_t merged = 0;
    for (const SurfaceMesh::Primitive& primitive : mesh.primitives) {
        if (progress && ++merged % reportEvery == 0)
            progress->addItems(reportEvery);
        if (primitive.colour >= 0) {
            std::memcpy(colour, &mesh.colours[3 * static_cast<std::size_t>(primitive.colour)], sizeof colour);
            colourKnown = true;
        }
        const int mode =
            primitive.mode == SurfaceMesh::Triangles ? SurfaceMesh::Triangles : SurfaceMesh::Lines;
        const bool coloured = perVertexColour && colourKnown;
        if (out.runs.empty() || out.runs.back().mode != mode || out.runs.back().coloured != coloured)
            out.runs.push_back(Run{mode, static_cast<int>(out.indices.size()), 0, coloured});
        const int end = primitive.first + primitive.count;
        if (primitive.mode == SurfaceMesh::LineStrip) {
            std::uint32_t previous = primitive.count > 1 ? vertexOf(primitive.first) : 0;
            for (int v = primitive.first + 1; v < end; ++v) {
                const std::uint32_t next = vertexOf(v);
                out.indices.push_back(previous);
                out.indices.push_back(next);
                previous = next;
            }
        } else {
            // As glBegin does, a primitive's incomplete last line or triangle is left out.
            const int group = mode == SurfaceMesh::Triangles ? 3 : 2;
            for (int v = primitive.first; v < end - primitive.count % group; ++v)
                out.indices.push_back(vertexOf(v));
        }
        out.runs.back().count = static_cast<int>(out.indices.size()) - out.runs.back().first;
        if (mesh.hasNormals && primitive.count > 0) {
            out.endsWithNormal = true;
            const std::size_t last = 3 * static_cast<std::size_t>(end - 1);
            for (int a = 0; a < 3; ++a)
                out.lastNormal[a] = static_cast<float>(mesh.normals[last + a]);
        }
    }
    if (progress)
        progress->endStage();
    out.endsWithColour = colourKnown;
    std::memcpy(out.lastColour, colour, sizeof colour);
    return out;
}
