// A surface's way to a new mesh: made in place when small or when nothing can build it aside, else
// on the drawing canvas's rebuilder while the last mesh stays in view.
#pragma once

#include "surfaces/mesh_rebuilder.h"

#include <functional>
#include <memory>

class NurbsCurve;

class BackgroundMesh {
public:
    // Meshes of fewer cells take a few milliseconds: waiting a frame for them would only add a lag.
    static constexpr double LargeCells = 20000.0;

    // Asks for a rebuild of a mesh of about `cells` cells. True when it went to the rebuilder (makeJob
    // is called at once, on this thread); false when the caller must tessellate now.
    bool request(double cells, int runs, const std::function<MeshRebuilder::Job()>& makeJob);
    // The newest finished rebuild not shown yet; null when none, or when the frame already drew.
    std::unique_ptr<MeshRebuilder::Result> take();
    // Whether a rebuild asked for is not finished yet.
    bool waiting() const { return slot_->waiting(); }

    // A copy of the curve that evaluates exactly as it does, linked to nothing: what a job reads
    // while the scene's own curve goes on changing.
    static std::shared_ptr<NurbsCurve> curveCopy(const NurbsCurve& curve);

private:
    std::shared_ptr<MeshRebuilder::Slot> slot_ = std::make_shared<MeshRebuilder::Slot>();
    std::uint64_t lastFrame_ = 0;
};
