// Scene-file records of both surface classes: exact layout, round trips and link resolution.
#include "scene/scene_list.h"
#include "surface_test_support.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

namespace {

std::int32_t int32At(const std::string& bytes, int offset) {
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b)
        v = (v << 8) | static_cast<unsigned char>(bytes[offset + b]);
    return static_cast<std::int32_t>(v);
}

float float32At(const std::string& bytes, int offset) {
    const std::uint32_t bits = static_cast<std::uint32_t>(int32At(bytes, offset));
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

struct Fields {
    std::vector<std::pair<int, std::int32_t>> ints;
    std::vector<std::pair<int, float>> floats;
    std::vector<std::pair<int, char>> bytes; // bools and the zeroed padding
};

void expectFields(const std::string& r, const Fields& f) {
    for (auto [offset, value] : f.ints)
        EXPECT_EQ(int32At(r, offset), value) << "offset " << offset;
    for (auto [offset, value] : f.floats)
        EXPECT_EQ(float32At(r, offset), value) << "offset " << offset;
    for (auto [offset, value] : f.bytes)
        EXPECT_EQ(r[offset], value) << "offset " << offset;
}

template <class T> std::string recordOf(const T& object, const SceneList& list) {
    std::ostringstream out;
    object.write(out, list);
    return out.str();
}

// Three curves, then a surface of revolution over the second and a patch over them all.
struct Scene {
    SceneList list;
    NurbsCurve* curve[3];
    RevolutionSurface* revolution = new RevolutionSurface();
    CurveSurface* patch = new CurveSurface();
    Scene() {
        for (auto*& c : curve) {
            c = makeCurve({{0, 0, 0}, {1, 1, 0}}, 2).release();
            list.append(c, ObjectKind::Curve);
        }
        revolution->profile = curve[1];
        patch->curves = {curve[2], curve[0], curve[1]};
        list.append(revolution, ObjectKind::Revolution);
        list.append(patch, ObjectKind::Coons);
    }
};

} // namespace

TEST(RevolutionRecord, SixtyBytesAtTheirOffsets) {
    Scene scene;
    RevolutionSurface& s = *scene.revolution;
    s.aor = 2;
    s.refa = 1;
    s.degrees = 123.5f;
    s.uParamInc = 17;
    s.vParamInc = 33;
    s.shading = true;
    s.revPoint = 3;
    s.axisDistance = -6;
    s.axisRotPoint = 0;
    s.showVertices = false;
    s.showEdge = true;
    s.showCurve = false;
    s.spareFlag = true;
    s.setColor(255, 0, 128);
    s.gradient = true;
    const std::string r = recordOf(s, scene.list);
    ASSERT_EQ(r.size(), static_cast<std::size_t>(RevolutionSurface::RecordSize));
    ASSERT_EQ(r.size(), 60u);
    expectFields(r, {{{0, 1}, {4, 2}, {8, 1}, {16, 17}, {20, 33}, {28, 3}, {32, -6}, {36, 0}},
                     {{12, 123.5f}, {44, 1.0f}, {48, 0.0f}, {52, 128.0f / 255.0f}},
                     {{24, 1},
                      {25, 0},
                      {26, 0},
                      {27, 0},
                      {40, 0},
                      {41, 1},
                      {42, 0},
                      {43, 1},
                      {56, 1},
                      {57, 0},
                      {58, 0},
                      {59, 0}}});
}

TEST(PatchRecord, FortyEightBytesAtTheirOffsets) {
    Scene scene;
    CurveSurface& s = *scene.patch;
    s.uParamInc = 21;
    s.vParamInc = 5;
    s.shading = true;
    s.showVertices = false;
    s.showEdge = true;
    s.spareFlag = true;
    s.setColor(0, 255, 51);
    s.gradient = true;
    const std::string r = recordOf(s, scene.list);
    ASSERT_EQ(r.size(), static_cast<std::size_t>(CurveSurface::RecordSize));
    ASSERT_EQ(r.size(), 48u);
    expectFields(r, {{{0, 2}, {4, 0}, {8, 1}, {12, -1}, {16, 21}, {20, 5}},
                     {{32, 0.0f}, {36, 1.0f}, {40, 0.2f}},
                     {{24, 1},
                      {25, 0},
                      {26, 1},
                      {27, 1},
                      {28, 1},
                      {29, 0},
                      {30, 0},
                      {31, 0},
                      {44, 1},
                      {45, 0},
                      {46, 0},
                      {47, 0}}});
}

TEST(SurfaceRecords, ReadBackWritesTheSameBytesAndResolvesTheLinks) {
    Scene scene;
    scene.revolution->degrees = 271.25f;
    scene.revolution->revPoint = 2;
    scene.revolution->setColor(10, 20, 30);
    scene.patch->vParamInc = 77;
    scene.patch->gradient = true;
    const std::string revolutionBytes = recordOf(*scene.revolution, scene.list);
    const std::string patchBytes = recordOf(*scene.patch, scene.list);

    RevolutionSurface revolution;
    CurveSurface patch;
    std::istringstream in(revolutionBytes + patchBytes);
    revolution.read(in);
    patch.read(in);
    ASSERT_TRUE(in.good());
    EXPECT_EQ(revolution.profile, nullptr); // read never touches pointers
    EXPECT_EQ(revolution.profileIndex, 1);
    EXPECT_TRUE(patch.curves.empty());
    EXPECT_EQ(std::vector<int>(patch.curveIndexes, patch.curveIndexes + 4), std::vector<int>({2, 0, 1, -1}));

    revolution.resolveLinks(scene.list);
    patch.resolveLinks(scene.list);
    EXPECT_EQ(revolution.profile, scene.curve[1]);
    EXPECT_EQ(patch.curves, scene.patch->curves);
    EXPECT_EQ(recordOf(revolution, scene.list), revolutionBytes);
    EXPECT_EQ(recordOf(patch, scene.list), patchBytes);
}

TEST(SurfaceRecords, PositionsThatNameNoCurveAreNotUsed) {
    Scene scene;
    struct Case {
        std::int32_t positions[4];
        std::vector<int> kept;     // curveIndexes after read
        std::vector<int> resolved; // which scene curves end up held
    };
    // Positions 3 and 4 are the two surfaces, 9 is past the end.
    const Case cases[] = {
        {{0, 1, 2, 0}, {0, 1, 2, 0}, {0, 1, 2, 0}},
        {{2, -1, 0, 1}, {2, -1, -1, -1}, {2}},
        {{3, 1, 9, 4}, {3, 1, 9, 4}, {1}},
        {{-7, 0, -1, 2}, {-7, 0, -1, -1}, {0}},
    };
    for (const Case& c : cases) {
        std::string bytes = recordOf(*scene.patch, scene.list);
        for (int i = 0; i < 4; ++i)
            for (int b = 0; b < 4; ++b)
                bytes[4 * i + b] = static_cast<char>(static_cast<std::uint32_t>(c.positions[i]) >> (8 * b));
        CurveSurface patch;
        std::istringstream in(bytes);
        patch.read(in);
        EXPECT_EQ(std::vector<int>(patch.curveIndexes, patch.curveIndexes + 4), c.kept);
        patch.resolveLinks(scene.list);
        std::vector<NurbsCurve*> expected;
        for (int k : c.resolved)
            expected.push_back(scene.curve[k]);
        EXPECT_EQ(patch.curves, expected);
    }
    for (int position : {-1, 3, 4, 9}) {
        RevolutionSurface s;
        s.profileIndex = position;
        s.profile = scene.curve[0];
        s.resolveLinks(scene.list);
        EXPECT_EQ(s.profile, nullptr) << position;
    }
}

TEST(SurfaceRecords, ARecordCutShortChangesNothing) {
    Scene scene;
    scene.revolution->aor = 0;
    scene.patch->uParamInc = 99;
    for (int cut : {0, 10, 47}) {
        RevolutionSurface revolution;
        CurveSurface patch;
        std::istringstream a(recordOf(*scene.revolution, scene.list).substr(0, cut));
        std::istringstream b(recordOf(*scene.patch, scene.list).substr(0, cut));
        revolution.read(a);
        patch.read(b);
        EXPECT_TRUE(a.fail());
        EXPECT_TRUE(b.fail());
        EXPECT_EQ(revolution.aor, 1);
        EXPECT_EQ(revolution.profileIndex, -1);
        EXPECT_EQ(patch.uParamInc, 10);
        EXPECT_EQ(patch.curveIndexes[0], -1);
    }
}
