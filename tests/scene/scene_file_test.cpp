// Scene file: byte layouts, save-load-save identity, refusal of damaged files, failed saves.
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "scene/scene_model.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include "fifo_watchdog.h"

#include "scene_bytes.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

NurbsCurve* makeCurve(const std::vector<ControlPoint>& points, int order = 3) {
    auto* curve = new NurbsCurve();
    curve->setOrder(order);
    for (const ControlPoint& p : points)
        curve->appendPoint(p);
    return curve;
}

// Links as the program does; outside a step nothing is recorded.
void link(NurbsCurve* curve, SceneObject* surface, int kind) {
    SceneModel linker;
    linker.link(curve, surface, kind);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string hex(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes)
        text += "0123456789abcdef"[c >> 4], text += "0123456789abcdef"[c & 15];
    return text;
}

template <typename T> T peek(const std::string& bytes, std::size_t at) {
    T value;
    std::memcpy(&value, &bytes[at], sizeof value); // the test host is little-endian, like the file
    return value;
}

template <typename T> void poke(std::string& bytes, std::size_t at, T value) {
    std::memcpy(&bytes[at], &value, sizeof value);
}

// Offsets of each entry's tag, walked with the record sizes.
std::vector<std::size_t> entryStarts(const std::string& bytes) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < bytes.size();) {
        starts.push_back(at);
        if (bytes[at] == '1')
            at += 1 + SceneFile::CurveRecordSize +
                  SceneFile::ControlPointSize * peek<std::int32_t>(bytes, at + 1);
        else
            at += 1 + (bytes[at] == '2' ? SceneFile::RevolutionRecordSize : SceneFile::PatchRecordSize);
    }
    return starts;
}

// 0 free curve, 1 profile of 2, 2 predefined sphere, 3 patch holding 4 and 5 (waiting for two more).
void buildMixedScene(SceneList& scene) {
    auto* profile = new NurbsCurve();
    buildPredefinedCurve(*profile, ShapeKind::Sphere);
    RevolutionSurface* sphere = makePredefinedSurface(profile);
    link(profile, sphere, NurbsCurve::RevolutionLink);
    auto* patch = new CurveSurface();
    NurbsCurve* a = makeCurve({{0, 0, 0}, {1, 0, 0}}, 2);
    NurbsCurve* b = makeCurve({{1, 0, 0}, {1, 1, 0}}, 2);
    patch->curves = {a, b};
    link(a, patch, NurbsCurve::CoonsLink);
    link(b, patch, NurbsCurve::CoonsLink);
    scene.append(makeCurve({{0, 0, 0}, {1, 2, 3, 0.5}, {4, 5, 6}}), ObjectKind::Curve);
    scene.append(profile, ObjectKind::Curve);
    scene.append(sphere, ObjectKind::Revolution);
    scene.append(patch, ObjectKind::Coons);
    scene.append(a, ObjectKind::Curve);
    scene.append(b, ObjectKind::Curve);
}

TEST(SceneFileLayout, KnownBytesOfEmptySceneFreeCurveAndSphere) {
    SceneList scene;
    EXPECT_EQ(sceneBytes(scene), "");
    scene.append(makeCurve({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {-1, -2, -3}}), ObjectKind::Curve);
    const std::string curve = sceneBytes(scene);
    ASSERT_EQ(curve.size(), 265u);
    // Tag, n 4, order 3, paramInc 100, Interpolated, no link, linkKind 1, the flags, colour (0.2, 0.8, 0.2).
    EXPECT_EQ(hex(curve.substr(0, 41)),
              "3104000000030000006400000001000000ffffffff0100000001000100cdcc4c3ecdcc4c3fcdcc4c3e");
    EXPECT_EQ(peek<double>(curve, 265 - 56), -1.0);
    EXPECT_EQ(peek<double>(curve, 265 - 8), 1.0);

    SceneList mixed;
    buildMixedScene(mixed);
    const std::string bytes = sceneBytes(mixed);
    const std::vector<std::size_t> starts = entryStarts(bytes);
    ASSERT_EQ(starts.size(), 6u);
    EXPECT_EQ(starts[3] - starts[1], 326u); // the sphere: profile and surface
    EXPECT_EQ(bytes[starts[2]], '2');
    EXPECT_EQ(peek<std::int32_t>(bytes, starts[1] + 17), 2); // profile's link position
    EXPECT_EQ(peek<std::int32_t>(bytes, starts[1] + 21), 2); // linkKind
    EXPECT_EQ(peek<std::int32_t>(bytes, starts[2] + 1), 1);  // surface's profile position
    EXPECT_EQ(peek<std::int32_t>(bytes, starts[3] + 9), -1); // patch slot C2: not held

    // An empty file, or white space only, replaces a scene with nothing.
    SceneFile file;
    ASSERT_TRUE(file.read(" \n\t\r\v\f", mixed)) << file.error;
    EXPECT_EQ(mixed.size(), 0);
}

TEST(SceneFileLayout, LaterPositionsExtrusionAnd48PointCurveLoadBack) {
    SceneList scene;
    auto* patch = new CurveSurface();
    scene.append(patch, ObjectKind::Extrusion); // its curves come after it
    for (const auto& points : std::vector<std::vector<ControlPoint>>{{{0, 0, 0}, {2, 0, 0}},
                                                                     {{2, 0, 0}, {2, 2, 0}},
                                                                     {{2, 2, 0}, {0, 2, 0}},
                                                                     {{0, 2, 0}, {0, 2, 2}, {0, 0, 0}}}) {
        patch->curves.push_back(makeCurve(points, 2));
        link(patch->curves.back(), patch, NurbsCurve::ExtrusionLink);
        scene.append(patch->curves.back(), ObjectKind::Curve);
    }
    std::vector<ControlPoint> many;
    for (int i = 0; i < 48; ++i)
        many.push_back(ControlPoint(i * 0.25, std::sin(i), -i, 1.0 + i / 48.0));
    scene.append(makeCurve(many, 5), ObjectKind::Curve);
    const std::string bytes = sceneBytes(scene);
    EXPECT_EQ(bytes[0], '3');
    EXPECT_EQ(bytes.substr(bytes.size() - 48 * 56 - 41, 2), "10"); // the tag, then n = 48 = '0'

    SceneList loaded;
    SceneFile file;
    ASSERT_TRUE(file.read(bytes, loaded)) << file.error;
    EXPECT_EQ(loaded.kindAt(0), ObjectKind::Coons);
    const auto* loadedPatch = dynamic_cast<CurveSurface*>(loaded.objectAt(0));
    ASSERT_TRUE(loadedPatch);
    ASSERT_EQ(loadedPatch->curves.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(loadedPatch->curves[i], loaded.objectAt(i + 1));
        EXPECT_EQ(loadedPatch->curves[i]->linkKind, NurbsCurve::ExtrusionLink);
        EXPECT_EQ(loadedPatch->curves[i]->surfaceLink, loadedPatch);
    }
    const auto* curve = dynamic_cast<NurbsCurve*>(loaded.objectAt(5));
    ASSERT_TRUE(curve);
    ASSERT_EQ(curve->controlPoints.size(), 48u);
    EXPECT_EQ(curve->controlPoints[47].y, many[47].y);
    EXPECT_EQ(curve->controlPoints[47].w, many[47].w);
}

// Every kind of object and link in a random order. A four-curve loop runs over integers and
// closes along +z, so aligning it again on loading moves nothing.
void buildRandomScene(std::mt19937& random, SceneList& scene) {
    auto integer = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto real = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto curve = [&](int count) {
        auto* c = new NurbsCurve();
        c->order = integer(1, 6);
        c->paramInc = integer(1, 1000);
        c->curveMode = integer(0, 2);
        c->showVertices = integer(0, 1), c->showEdge = integer(0, 1), c->spareFlag = integer(0, 1);
        c->setColor(integer(0, 255), integer(0, 255), integer(0, 255));
        for (int i = 0; i < count; ++i) {
            c->controlPoints.push_back(ControlPoint(real(-20, 20), real(-20, 20), real(-20, 20), real(0, 3)));
            c->controlPoints.back().nx = real(-1, 1);
        }
        return c;
    };
    std::vector<std::pair<SceneObject*, int>> objects;
    for (int group = integer(4, 9); group > 0; --group) {
        const int choice = integer(0, 4);
        if (choice == 0) {
            NurbsCurve* c = curve(integer(0, 9));
            c->linkKind = integer(0, 1) ? NurbsCurve::FreeLink : NurbsCurve::ReleasedLink;
            objects.push_back({c, ObjectKind::Curve});
        } else if (choice == 1) {
            auto* s = new RevolutionSurface(nullptr, integer(0, 2), integer(0, 2), float(real(1, 360)));
            s->uParamInc = integer(1, 1000), s->vParamInc = integer(1, 1000), s->shading = integer(0, 1);
            s->gradient = integer(0, 1), s->revPoint = integer(0, 3), s->axisDistance = integer(0, 1000);
            s->axisRotPoint = integer(0, 1), s->showEdge = integer(0, 1);
            objects.push_back({s, ObjectKind::Revolution});
            if (integer(0, 2) > 0) {
                s->profile = curve(integer(0, 6));
                link(s->profile, s, NurbsCurve::RevolutionLink);
                objects.push_back({s->profile, ObjectKind::Curve});
            }
        } else {
            auto* p = new CurveSurface();
            const bool extrusion = integer(0, 1);
            p->uParamInc = integer(1, 1000), p->vParamInc = integer(1, 1000), p->gradient = integer(0, 1);
            objects.push_back({p, extrusion ? ObjectKind::Extrusion : ObjectKind::Coons});
            const ControlPoint corners[5] = {{0, 0, 0},
                                             {double(integer(-9, 9)), double(integer(-9, 9)), 3},
                                             {double(integer(-9, 9)), 5, -4},
                                             {0, 0, -double(integer(5, 9))},
                                             {0, 0, 0}};
            for (int i = integer(0, 4); i > 0; --i) {
                const int side = static_cast<int>(p->curves.size());
                NurbsCurve* c = curve(0);
                c->curveMode = NurbsCurve::Interpolated;
                c->controlPoints = {corners[side],
                                    ControlPoint(integer(-9, 9), integer(-9, 9), 1, integer(1, 4)),
                                    corners[side + 1]};
                c->rebuildKnots();
                p->curves.push_back(c);
                link(c, p, extrusion ? NurbsCurve::ExtrusionLink : NurbsCurve::CoonsLink);
                objects.push_back({c, ObjectKind::Curve});
            }
        }
    }
    std::shuffle(objects.begin(), objects.end(), random);
    for (const auto& [object, kind] : objects)
        scene.append(object, kind);
}

TEST(SceneFileRoundTrip, SaveLoadSaveGivesTheSameBytes) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        SceneList scene, loaded;
        buildRandomScene(random, scene);
        const std::string first = sceneBytes(scene);
        SceneFile file;
        ASSERT_TRUE(file.read(first, loaded)) << file.error;
        EXPECT_EQ(sceneBytes(loaded), first);
    }
}

enum class Edit { Byte, Int32, Float32, Float64, Truncate, Append };

struct Damage {
    const char* name;
    int entry;  // 0-based entry of the mixed scene whose record is edited
    int offset; // within the record, after the tag; -1 is the tag itself
    Edit edit;
    double value;
    const char* expected; // part of the reason
    int reportedEntry;    // 1-based entry the reason names
    int linkKind = 0;     // when set, also the curve's linkKind
};

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

const Damage damages[] = {
    {"unknown tag digit", 0, -1, Edit::Byte, '4', "unknown tag 0x34", 1},
    {"unknown tag byte", 2, -1, Edit::Byte, 0, "unknown tag 0x00", 3},
    {"trailing junk", 5, 0, Edit::Append, 'x', "unknown tag", 7},
    {"file ends in a curve record", 1, 20, Edit::Truncate, 0, "ends inside the record", 2},
    {"file ends in the points", 0, 100, Edit::Truncate, 0, "need 168 bytes, 60 left", 1},
    {"file ends in a revolution record", 2, 30, Edit::Truncate, 0, "ends inside the record", 3},
    {"file ends in the padding", 3, 47, Edit::Truncate, 0, "padding", 4},
    {"negative count", 0, 0, Edit::Int32, -1, "n is -1", 1},
    {"count beyond the file", 0, 0, Edit::Int32, 1000, "need 56000 bytes", 1},
    {"largest count", 0, 0, Edit::Int32, INT_MAX, "bytes", 1},
    {"order 0", 0, 4, Edit::Int32, 0, "order is 0", 1},
    {"order 100", 0, 4, Edit::Int32, 100, "order is 100", 1},
    {"paramInc 1001", 0, 8, Edit::Int32, 1001, "paramInc", 1},
    {"form 3", 0, 12, Edit::Int32, 3, "curveMode", 1},
    {"link kind 6", 0, 20, Edit::Int32, 6, "linkKind", 1},
    {"flag byte 2", 0, 25, Edit::Byte, 2, "showEdge", 1},
    {"colour NaN", 0, 28, Edit::Float32, nan, "color red", 1},
    {"colour above 1", 0, 32, Edit::Float32, 1.5, "color green", 1},
    {"point NaN", 0, 40, Edit::Float64, nan, "control point 0 x", 1},
    {"normal infinite", 0, 40 + 56 + 40, Edit::Float64, inf, "control point 1 nz", 1},
    {"negative weight", 0, 40 + 112 + 48, Edit::Float64, -1, "control point 2 weight", 1},
    {"axis of rotation 3", 2, 4, Edit::Int32, 3, "aor", 3},
    {"reference axis -1", 2, 8, Edit::Int32, -1, "refa", 3},
    {"degrees 0", 2, 12, Edit::Float32, 0, "degrees", 3},
    {"degrees infinite", 2, 12, Edit::Float32, inf, "degrees", 3},
    {"revolution v 1001", 2, 20, Edit::Int32, 1001, "vParamInc", 3},
    {"shading byte 2", 2, 24, Edit::Byte, 2, "shading", 3},
    {"revPoint 4", 2, 28, Edit::Int32, 4, "revPoint", 3},
    {"axis distance 1001", 2, 32, Edit::Int32, 1001, "axisDistance", 3},
    {"axis side 2", 2, 36, Edit::Int32, 2, "axisRotPoint", 3},
    {"revolution gradient byte 3", 2, 56, Edit::Byte, 3, "gradient", 3},
    {"patch u 0", 3, 16, Edit::Int32, 0, "uParamInc", 4},
    {"patch colour below 0", 3, 32, Edit::Float32, -1, "color red", 4},
    {"link past the end", 1, 16, Edit::Int32, 99, "names no object", 2},
    {"negative link", 1, 16, Edit::Int32, -7, "names no object", 2},
    {"profile link names a curve", 1, 16, Edit::Int32, 0, "names a curve, not a surface of revolution", 2},
    {"patch curve names a revolution", 0, 16, Edit::Int32, 2, "not a patch", 1, NurbsCurve::CoonsLink},
    {"held curve linked elsewhere", 4, 16, Edit::Int32, 2, "not linked to this patch", 4},
    {"profile not returned", 2, 0, Edit::Int32, 0, "not linked to this surface as its profile", 3},
    {"held curve linked to nothing", 4, 20, Edit::Int32, 1, "not linked to this patch", 4},
    {"patch slot names a revolution", 3, 4, Edit::Int32, 2, "not a curve", 4},
    {"patch slot names no object", 3, 8, Edit::Int32, -2, "names no object", 4},
    {"same curve twice", 3, 4, Edit::Int32, 4, "repeats the curve of C0", 4},
    {"curve after an empty slot", 3, 0, Edit::Int32, -1, "follows an empty slot", 4},
};

std::string damaged(std::string bytes, const Damage& d) {
    const std::size_t start = entryStarts(bytes)[d.entry], at = start + 1 + d.offset;
    switch (d.edit) {
    case Edit::Byte:
        bytes[at] = static_cast<char>(static_cast<int>(d.value));
        break;
    case Edit::Int32:
        poke(bytes, at, static_cast<std::int32_t>(d.value));
        break;
    case Edit::Float32:
        poke(bytes, at, static_cast<float>(d.value));
        break;
    case Edit::Float64:
        poke(bytes, at, d.value);
        break;
    case Edit::Truncate:
        bytes.resize(at);
        break;
    case Edit::Append:
        bytes += std::string(" ") + static_cast<char>(d.value);
        break;
    }
    if (d.linkKind)
        poke(bytes, start + 1 + 20, static_cast<std::int32_t>(d.linkKind));
    return bytes;
}

TEST(SceneFileDamage, EachDamageIsRefusedWithItsReasonAndTheSceneKept) {
    SceneList base;
    buildMixedScene(base);
    const std::string good = sceneBytes(base);
    std::vector<std::size_t> bounds = entryStarts(good);
    bounds.insert(bounds.end(), {good.size(), good.size() + 2});
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        SceneList scene;
        NurbsCurve* kept = makeCurve({{1, 1, 1}});
        scene.append(kept, ObjectKind::Curve);
        SceneFile file;
        EXPECT_FALSE(file.read(damaged(good, d), scene));
        EXPECT_NE(file.error.find(d.expected), std::string::npos) << file.error;
        EXPECT_EQ(file.errorEntry, d.reportedEntry) << file.error;
        // The offset lies inside the entry that is named.
        EXPECT_GE(file.errorOffset, static_cast<long long>(bounds[d.reportedEntry - 1])) << file.error;
        EXPECT_LT(file.errorOffset, static_cast<long long>(bounds[d.reportedEntry])) << file.error;
        EXPECT_EQ(scene.size(), 1);
        EXPECT_EQ(scene.objectAt(0), kept);
    }
    // A free or released curve keeps a null link whatever position it stored; white space may
    // stand before a tag.
    for (const std::int32_t kind : {NurbsCurve::FreeLink, NurbsCurve::ReleasedLink}) {
        std::string bytes = damaged(good, {"", 0, 16, Edit::Int32, 42, "", 0, kind});
        bytes.insert(bounds[2], " \n\t");
        SceneList scene;
        SceneFile file;
        ASSERT_TRUE(file.read(bytes, scene)) << file.error;
        EXPECT_EQ(static_cast<NurbsCurve*>(scene.objectAt(0))->surfaceLink, nullptr);
        EXPECT_EQ(static_cast<RevolutionSurface*>(scene.objectAt(2))->profile, scene.objectAt(1));
    }
}

// Each is what a program following the format literally writes: a curve names a surface that does not
// hold it. Such files were refused whole; the curve now loads released, the rest as written, and a notice
// names the entry.
TEST(SceneFileDamage, OneSidedLinksRefuseTheWholeFile) {
    SceneList base;
    buildMixedScene(base);
    const std::string good = sceneBytes(base);
    const Damage cases[] = {
        {"profile replaced without releasing the old one", 0, 16, Edit::Int32, 2,
         "link position 2 names a surface of revolution that does not hold this curve", 1,
         NurbsCurve::RevolutionLink},
        {"curve picked for a patch that did not take it", 0, 16, Edit::Int32, 3,
         "link position 3 names a patch that does not hold this curve", 1, NurbsCurve::CoonsLink},
        {"extrusion curve a patch does not hold", 0, 16, Edit::Int32, 3, "names a patch that does not hold",
         1, NurbsCurve::ExtrusionLink},
        {"patch curve whose patch was deleted", 0, 20, Edit::Int32, NurbsCurve::CoonsLink, "names no surface",
         1},
        {"profile whose surface was deleted", 0, 20, Edit::Int32, NurbsCurve::RevolutionLink,
         "names no surface", 1},
        {"surface that let its profile go", 2, 0, Edit::Int32, -1, "does not hold this curve", 2},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = damaged(good, c);
        SceneList scene;
        SceneFile file;
        ASSERT_TRUE(file.read(bytes, scene)) << file.error;
        ASSERT_EQ(file.notices.size(), 1u);
        const std::string entry = "entry " + std::to_string(c.reportedEntry) + " (curve)";
        EXPECT_EQ(file.notices[0].find(entry), 0u) << file.notices[0];
        EXPECT_NE(file.notices[0].find(c.expected), std::string::npos) << file.notices[0];
        EXPECT_NE(file.notices[0].find("released"), std::string::npos) << file.notices[0];
        ASSERT_EQ(scene.size(), base.size());
        int entryNumber = 1;
        for (const SceneNode *node = scene.first, *built = base.first; node;
             node = node->next, built = built->next, ++entryNumber) {
            const auto* curve = dynamic_cast<const NurbsCurve*>(node->object);
            if (!curve)
                continue;
            const auto* original = static_cast<const NurbsCurve*>(built->object);
            if (entryNumber == c.reportedEntry) {
                EXPECT_EQ(curve->linkKind, NurbsCurve::ReleasedLink);
                EXPECT_EQ(curve->surfaceLink, nullptr);
            } else {
                EXPECT_EQ(curve->linkKind, original->linkKind) << "entry " << entryNumber;
                EXPECT_EQ(scene.positionOf(curve->surfaceLink), base.positionOf(original->surfaceLink))
                    << "entry " << entryNumber;
            }
        }
        // Validation agrees, and the repaired scene saves into a file that loads with nothing to say.
        EXPECT_TRUE(file.validate(bytes)) << file.error;
        EXPECT_EQ(file.notices.size(), 1u);
        const std::string repaired = sceneBytes(scene);
        SceneList again;
        ASSERT_TRUE(file.read(repaired, again)) << file.error;
        EXPECT_TRUE(file.notices.empty());
        EXPECT_EQ(sceneBytes(again), repaired);
    }
}

// Random corruption is either refused with a reason or loads into a scene that saves into a file
// that loads again; under the sanitizer build nothing reads out of bounds.
TEST(SceneFileDamage, RandomCorruptionIsRefusedOrLoadsConsistently) {
    SceneList base;
    buildMixedScene(base);
    const std::string good = sceneBytes(base);
    std::mt19937 random(7);
    int refused = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        std::string bytes = good;
        for (int e = std::uniform_int_distribution<int>(1, 4)(random); e > 0; --e)
            bytes[std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random)] =
                static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
        if (trial % 5 == 0)
            bytes.resize(std::uniform_int_distribution<std::size_t>(0, bytes.size())(random));
        SceneList scene, again;
        SceneFile file;
        if (!file.read(bytes, scene)) {
            ++refused;
            EXPECT_FALSE(file.error.empty());
            continue;
        }
        EXPECT_TRUE(file.read(sceneBytes(scene), again)) << "trial " << trial << ": " << file.error;
    }
    EXPECT_GT(refused, 0);
}

// Writes stop at this many bytes, as on a full disk; root is not exempt from it.
struct FileSizeLimit {
    rlimit old{};
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
};

TEST(SceneFileDisk, SaveReplacesWholeFilesOnlyAndLoadFailuresKeepTheScene) {
    namespace fs = std::filesystem;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString(), path = folder + "/scene.nbs", old = "the old scene";
    SceneList scene;
    buildMixedScene(scene);
    std::ofstream(path) << old;
    fs::permissions(path, fs::perms(0640));
    SceneFile file;
    ASSERT_TRUE(file.save(path.c_str(), scene)) << file.error;
    EXPECT_EQ(readFile(path), sceneBytes(scene));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0640));

    // A missing file or a folder is refused and the scene kept.
    for (const std::string& bad : {folder + "/missing.nbs", folder}) {
        EXPECT_FALSE(file.load(bad.c_str(), scene));
        EXPECT_NE(file.error.find(bad), std::string::npos) << file.error;
        EXPECT_EQ(scene.size(), 6);
    }

    scene.append(makeCurve(std::vector<ControlPoint>(200, ControlPoint(1, 2, 3))), ObjectKind::Curve);
    fs::create_directories(folder + "/taken");
    fs::create_directories(folder + "/locked");
    std::ofstream(folder + "/locked/scene.nbs") << old;
    fs::permissions(folder + "/locked", fs::perms(0555));
    std::ofstream(path) << old;
    const struct {
        std::string target;
        const char* expected;
        bool full;
    } failures[] = {{folder + "/none/scene.nbs", "cannot create", false},
                    {folder + "/taken", "cannot replace", false},
                    {path, "cannot write", true},
                    {folder + "/locked/scene.nbs", "cannot create", false}};
    for (const auto& c : failures) {
        SCOPED_TRACE(c.target);
        if (c.target.find("locked") != std::string::npos && geteuid() == 0)
            continue; // root writes into read-only folders
        bool ok;
        if (c.full) {
            FileSizeLimit limit(1000);
            ok = file.save(c.target.c_str(), scene);
        } else {
            ok = file.save(c.target.c_str(), scene);
        }
        EXPECT_FALSE(ok);
        EXPECT_NE(file.error.find(c.expected), std::string::npos) << file.error;
    }
    EXPECT_EQ(readFile(path), old);
    EXPECT_TRUE(fs::is_directory(folder + "/taken"));
    fs::permissions(folder + "/locked", fs::perms(0755));
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 2) << "a temporary file was left behind";
}

// load opened the file before looking at what it was: a named pipe waited for a writer for ever, in the
// window and in the export alike. The watchdog opens the other end after a while, so a load that blocks
// returns and the test fails instead of hanging.
TEST(SceneFileDisk, OpeningANamedPipeHangs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string pipe = dir.path().toStdString() + "/pipe.nbs";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0) << std::strerror(errno);
    for (const std::string& path : {pipe, std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        SceneList scene;
        scene.append(makeCurve({{1, 1, 1}}), ObjectKind::Curve);
        SceneFile file;
        FifoWatchdog watchdog(pipe, 3000);
        EXPECT_FALSE(file.load(path.c_str(), scene));
        EXPECT_FALSE(watchdog.fired()) << "the load waited for a writer";
        EXPECT_NE(file.error.find("not a regular file"), std::string::npos) << file.error;
        EXPECT_EQ(scene.size(), 1);
    }
}

std::uint64_t physicalMemory() {
    return static_cast<std::uint64_t>(::sysconf(_SC_PHYS_PAGES)) *
           static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// A sparse file of the largest size the file system takes above floor; 0 when it takes none.
std::uint64_t makeSparseFile(const std::string& path, std::uint64_t floor) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return 0;
    std::uint64_t size = 0;
    for (std::uint64_t tried = std::uint64_t(1) << 62; tried > floor && size == 0; tried /= 2)
        if (::ftruncate(fd, static_cast<off_t>(tried)) == 0)
            size = tried;
    ::close(fd);
    return size;
}

// load reserved the whole file's size before reading it, and nothing caught a failure: a file larger than
// memory ended the program (the sanitizer's allocator aborts on such a request before any exception).
TEST(SceneFileDisk, AFileLargerThanMemoryEndsTheProgram) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/huge.nbs";
    const std::uint64_t size = makeSparseFile(path, physicalMemory());
    if (size == 0)
        GTEST_SKIP() << "the file system of " << dir.path().toStdString()
                     << " takes no sparse file larger than this machine's memory";
    SceneList scene;
    scene.append(makeCurve({{1, 1, 1}}), ObjectKind::Curve);
    SceneFile file;
    EXPECT_FALSE(file.load(path.c_str(), scene));
    EXPECT_NE(file.error.find(std::to_string(size) + " bytes"), std::string::npos) << file.error;
    EXPECT_NE(file.error.find("memory"), std::string::npos) << file.error;
    EXPECT_EQ(scene.size(), 1);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool addressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool addressSanitizer = true;
#else
constexpr bool addressSanitizer = false;
#endif
#else
constexpr bool addressSanitizer = false;
#endif

// The address space this process uses now, from /proc.
std::uint64_t addressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// Smaller than the machine's memory but more than this process may take: the allocation failed and the
// uncaught std::bad_alloc ended the program.
TEST(SceneFileDisk, AFailedAllocationEndsTheProgram) {
    if (addressSanitizer)
        GTEST_SKIP() << "the sanitizer reserves far more address space than any limit would leave, and its "
                        "allocator aborts instead of failing";
    constexpr std::uint64_t size = std::uint64_t(1) << 30;
    if (physicalMemory() < 2 * size)
        GTEST_SKIP() << "this machine has less than 2 GiB of memory";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/large.nbs";
    std::ofstream(path, std::ios::binary) << "1";
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0) << std::strerror(errno);
    SceneList scene;
    scene.append(makeCurve({{1, 1, 1}}), ObjectKind::Curve);
    SceneFile file;
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = addressSpaceInUse() + (std::uint64_t(256) << 20);
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &limited), 0) << std::strerror(errno);
    const bool loaded = file.load(path.c_str(), scene);
    ::setrlimit(RLIMIT_AS, &old);
    EXPECT_FALSE(loaded);
    EXPECT_NE(file.error.find("not enough memory"), std::string::npos) << file.error;
    EXPECT_EQ(scene.size(), 1);
}

// Write-then-rename replaced a file the user had made read-only. Root may write anything, so read-only
// means what the user set: no write permission for the owner.
TEST(SceneFileDisk, SavingReplacesAReadOnlyFile) {
    namespace fs = std::filesystem;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString(), old = "the old scene";
    SceneList scene;
    buildMixedScene(scene);
    for (const fs::perms mode : {fs::perms(0444), fs::perms(0400), fs::perms(0464)}) {
        const std::string path = folder + "/scene.nbs";
        std::ofstream(path) << old;
        fs::permissions(path, mode);
        SCOPED_TRACE(static_cast<int>(mode));
        SceneFile file;
        EXPECT_FALSE(file.save(path.c_str(), scene));
        EXPECT_NE(file.error.find("read-only"), std::string::npos) << file.error;
        EXPECT_TRUE(readFile(path) == old) << "the read-only file was replaced";
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, mode);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
            << "a temporary file was left behind";
        fs::permissions(path, fs::perms(0644));
        fs::remove(path);
    }
}

// The replacing file was created by whoever saved, so saving as root gave the user's file to root.
TEST(SceneFileDisk, SavingLosesTheOwnerAndGroup) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/scene.nbs";
    std::ofstream(path) << "the old scene";
    constexpr uid_t owner = 4321;
    constexpr gid_t group = 8765;
    if (::chown(path.c_str(), owner, group) != 0)
        GTEST_SKIP() << "only root can give a file to another owner: " << std::strerror(errno);
    ::chmod(path.c_str(), 0640);
    SceneList scene;
    buildMixedScene(scene);
    SceneFile file;
    ASSERT_TRUE(file.save(path.c_str(), scene)) << file.error;
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, group);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_TRUE(readFile(path) == sceneBytes(scene));
}

// A symbolic link whose file did not exist yet could not be resolved, so the save replaced the link
// itself with a plain file.
TEST(SceneFileDisk, SavingThroughADanglingLinkReplacesTheLink) {
    namespace fs = std::filesystem;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    fs::create_directory(folder + "/real");
    std::ofstream(folder + "/real/kept.nbs") << "the old scene";
    SceneList scene;
    buildMixedScene(scene);
    const struct {
        const char* link;
        std::string target; // as the link holds it
        const char* file;   // what the save must write, from the folder
    } cases[] = {
        {"relative.nbs", "real/new.nbs", "real/new.nbs"},
        {"absolute.nbs", folder + "/real/other.nbs", "real/other.nbs"},
        {"chain.nbs", "relative2.nbs", "real/chained.nbs"},
        {"existing.nbs", "real/kept.nbs", "real/kept.nbs"},
    };
    fs::create_symlink("real/chained.nbs", folder + "/relative2.nbs");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        const std::string link = folder + "/" + c.link;
        fs::create_symlink(c.target, link);
        SceneFile file;
        ASSERT_TRUE(file.save(link.c_str(), scene)) << file.error;
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link), c.target);
        EXPECT_TRUE(readFile(folder + "/" + c.file) == sceneBytes(scene)) << "not written through the link";
    }
    EXPECT_TRUE(fs::is_symlink(folder + "/relative2.nbs"));
}

} // namespace
