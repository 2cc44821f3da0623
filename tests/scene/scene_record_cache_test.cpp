// The autosave's record cache: its records always join into the scene file's bytes, and a change
// re-serialises only what it changed (and, when objects moved, what names them by position).
#include "geometry/nurbs_curve.h"
#include "scene/recovery_snapshot.h"
#include "scene/scene_model.h"
#include "surfaces/predefined_shapes.h"

#include "scene_bytes.h"
#include "stub_scene_object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Records = std::vector<SceneRecordCache::Record>;

Records refreshAll(SceneModel& model) {
    EXPECT_EQ(model.records.refresh(model.scene, SceneRecordCache::Clock::time_point::max()),
              SceneRecordCache::Progress::Done)
        << model.records.error();
    return model.records.records(model.scene);
}

std::string joined(const Records& records) {
    std::string bytes;
    for (const SceneRecordCache::Record& record : records)
        bytes += *record;
    return bytes;
}

// How many of records were never seen before; adds them to seen.
int remade(std::set<SceneRecordCache::Record>& seen, const Records& records) {
    int count = 0;
    for (const SceneRecordCache::Record& record : records)
        count += seen.insert(record).second ? 1 : 0;
    return count;
}

NurbsCurve* addCurve(SceneModel& model, double x) {
    SceneStep step(model, "Add");
    NurbsCurve* curve = model.newCurve();
    model.appendPoint(ControlPoint(x, 0, 0));
    model.appendPoint(ControlPoint(x, 1, 0));
    model.appendPoint(ControlPoint(x + 1, 1, 0));
    return curve;
}

// Four free curves, then a sphere: a surface of revolution and its profile, which name each other.
void buildScene(SceneModel& model) {
    for (int i = 0; i < 4; ++i)
        addCurve(model, i);
    SceneStep step(model, "Sphere");
    model.addPredefined(ShapeKind::Sphere);
}

} // namespace

TEST(SceneRecordCache, RecordsJoinIntoTheSceneFileAndAChangeRemakesOnlyWhatItChanged) {
    struct Case {
        const char* name;
        std::function<void(SceneModel&)> change;
        int remadeAtMost; // records made afresh
    };
    const Case cases[] = {
        {"a point moved",
         [](SceneModel& m) {
             SceneStep step(m, "Move");
             m.setActiveObject(m.scene.objectAt(1), ObjectKind::Curve);
             m.setActivePoint(0);
             m.movePoint(0.5, 0, 0);
         },
         1},
        {"a curve appended", [](SceneModel& m) { addCurve(m, 9); }, 1},
        {"undo", [](SceneModel& m) { m.undo(); }, 1},
        {"redo", [](SceneModel& m) { m.redo(); }, 1},
        // The sphere's two objects move up one place: both name the other by position.
        {"the first curve removed",
         [](SceneModel& m) {
             SceneStep step(m, "Delete");
             m.remove(m.scene.objectAt(0));
         },
         2},
        {"the removal undone", [](SceneModel& m) { m.undo(); }, 2},
        {"the profile removed, its surface let go",
         [](SceneModel& m) {
             SceneStep step(m, "Delete");
             m.remove(m.scene.objectAt(m.scene.size() - 2));
         },
         1},
        {"a new scene", [](SceneModel& m) { m.clear(); }, 0},
    };
    SceneModel model;
    buildScene(model);
    const Records first = refreshAll(model);
    ASSERT_EQ(joined(first), sceneBytes(model.scene));
    // Records of objects taken out stay, for an undo that brings them back.
    std::set<SceneRecordCache::Record> seen(first.begin(), first.end());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change(model);
        const Records records = refreshAll(model);
        EXPECT_EQ(joined(records), sceneBytes(model.scene));
        EXPECT_LE(remade(seen, records), c.remadeAtMost);
    }
}

TEST(SceneRecordCache, ARefreshPastItsDeadlineStillSerialisesOneObject) {
    SceneModel model;
    buildScene(model);
    const auto past = SceneRecordCache::Clock::now() - std::chrono::seconds(1);
    int slices = 1;
    while (model.records.refresh(model.scene, past) == SceneRecordCache::Progress::Partly)
        ++slices;
    EXPECT_EQ(slices, model.scene.size());
    EXPECT_EQ(joined(model.records.records(model.scene)), sceneBytes(model.scene));
}

TEST(SceneRecordCache, AnObjectTheFileCannotHoldFailsTheRefreshAndNamesIt) {
    SceneModel model;
    addCurve(model, 0);
    model.add(new StubSceneObject(), ObjectKind::Curve);
    EXPECT_EQ(model.records.refresh(model.scene, SceneRecordCache::Clock::time_point::max()),
              SceneRecordCache::Progress::Failed);
    EXPECT_NE(model.records.error().find("object 2"), std::string::npos) << model.records.error();
}

// A record is keyed by the object's address: a new object where a deleted one was is serialised afresh.
TEST(SceneRecordCache, RegressionANewObjectAtADeletedObjectsAddressGetsItsOwnRecord) {
    SceneModel model;
    NurbsCurve* curve = addCurve(model, 0);
    refreshAll(model);
    model.remove(curve); // outside a step: deleted at once
    auto* replacement = new NurbsCurve();
    replacement->controlPoints.push_back(ControlPoint(7, 7, 7));
    model.add(replacement, ObjectKind::Curve);
    EXPECT_EQ(joined(refreshAll(model)), sceneBytes(model.scene));
}

TEST(RecoverySnapshot, WritesTheRecordsAsASceneFileAndTheNameBesideIt) {
    SceneModel model;
    buildScene(model);
    RecoverySnapshot snapshot;
    snapshot.records = refreshAll(model);
    snapshot.sceneFile = "/somewhere/part.nbs";
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("knotwork_snapshot_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto read = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    std::string error;
    ASSERT_TRUE(snapshot.write((folder / "a.nbs").string(), (folder / "a.name").string(), error)) << error;
    EXPECT_EQ(read(folder / "a.nbs"), sceneBytes(model.scene));
    EXPECT_EQ(read(folder / "a.name"), snapshot.sceneFile);
    // Beneath a file there is no folder: the write fails and says where.
    EXPECT_FALSE(snapshot.write((folder / "a.nbs" / "b.nbs").string(), (folder / "b.name").string(), error));
    EXPECT_NE(error.find("b.nbs"), std::string::npos) << error;
    std::filesystem::remove_all(folder);
}
