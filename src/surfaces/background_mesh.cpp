// Choosing between a rebuild in place and one on the rebuilder's thread.
#include "surfaces/background_mesh.h"

#include "geometry/nurbs_curve.h"

bool BackgroundMesh::request(double cells, int runs, const std::function<MeshRebuilder::Job()>& makeJob) {
    MeshRebuilder* rebuilder = MeshRebuilder::current();
    const std::uint64_t ticket = slot_->nextTicket();
    if (!rebuilder || cells < LargeCells) {
        slot_->shown(ticket); // whatever an older request brings back is out of date
        return false;
    }
    rebuilder->submit(slot_, ticket, MeshRebuilder::Stages{runs}, makeJob());
    return true;
}

std::unique_ptr<MeshRebuilder::Result> BackgroundMesh::take() {
    const std::uint64_t frame = MeshRebuilder::frame();
    if (frame != 0 && frame == lastFrame_)
        return nullptr;
    lastFrame_ = frame;
    return slot_->take();
}

std::shared_ptr<NurbsCurve> BackgroundMesh::curveCopy(const NurbsCurve& curve) {
    auto copy = std::make_shared<NurbsCurve>();
    copy->restoreState(*curve.saveState());
    copy->knots = curve.knots;
    copy->wrappedPoints = curve.wrappedPoints;
    copy->surfaceLink = nullptr;
    copy->pointsChanged();
    return copy;
}
