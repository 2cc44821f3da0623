// The curve record of a scene file: exact layout, round trip, links and short streams.
#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string recordOf(const NurbsCurve& c, const SceneList& list) {
    std::ostringstream out(std::ios::binary);
    c.write(out, list);
    return out.str();
}

} // namespace

TEST(NurbsCurveFile, NewFreeCurveOfFourPointsWritesTheKnownRecord) {
    SceneList list;
    auto* c = new NurbsCurve;
    for (int i = 0; i < 4; ++i)
        c->appendPoint(ControlPoint(i, 0, 0));
    list.append(c, ObjectKind::Curve);
    const std::string bytes = recordOf(*c, list);
    ASSERT_EQ(bytes.size(), 40u + 4 * 56);
    const unsigned char header[40] = {0x04, 0,    0,    0,    0x03, 0,    0,    0,    0x64, 0,
                                      0,    0,    0x01, 0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF,
                                      0x01, 0,    0,    0,    0x01, 0x00, 0x01, 0x00, 0xCD, 0xCC,
                                      0x4C, 0x3E, 0xCD, 0xCC, 0x4C, 0x3F, 0xCD, 0xCC, 0x4C, 0x3E};
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(static_cast<unsigned char>(bytes[i]), header[i]) << "byte " << i;
    // Second point: x = 1.0 (3FF0000000000000 little-endian), then y, z, the normal, and w = 1.0.
    const std::string point = bytes.substr(40 + 56, 56);
    EXPECT_EQ(static_cast<unsigned char>(point[6]), 0xF0);
    EXPECT_EQ(static_cast<unsigned char>(point[7]), 0x3F);
    EXPECT_EQ(point.substr(8, 40), std::string(40, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(point[55]), 0x3F);
}

TEST(NurbsCurveFile, RecordRoundTripsEveryStoredField) {
    SceneList list;
    auto* c = new NurbsCurve;
    auto* surface = new NurbsCurve; // stands in for the surface built from c
    list.append(c, ObjectKind::Curve);
    list.append(surface, ObjectKind::Revolution);
    ControlPoint p(1.5, -2.25, 1e-300, 0.75);
    p.nx = 0.5;
    p.nz = -1;
    c->setControlPoints({p, ControlPoint(3, 4, 5), ControlPoint(-7, 8, 0.1, 2), ControlPoint(9, 9, 9)});
    c->setOrder(4);
    c->setParamInc(-37);
    c->setCurveMode(NurbsCurve::Closed);
    c->surfaceLink = surface;
    c->linkKind = NurbsCurve::RevolutionLink;
    c->showVertices = false;
    c->showEdge = true;
    c->spareFlag = true;
    c->setColor(10, 20, 30);
    c->lineWidth = 6; // not stored

    const std::string bytes = recordOf(*c, list);
    std::istringstream in(bytes, std::ios::binary);
    NurbsCurve back;
    back.read(in);
    EXPECT_FALSE(in.fail());
    EXPECT_EQ(in.tellg(), static_cast<std::streamoff>(bytes.size()));
    EXPECT_EQ(back.order, 4);
    EXPECT_EQ(back.paramInc, -37);
    EXPECT_EQ(back.curveMode, NurbsCurve::Closed);
    EXPECT_EQ(back.linkIndex, 1);
    EXPECT_EQ(back.linkKind, NurbsCurve::RevolutionLink);
    EXPECT_EQ(back.surfaceLink, nullptr); // until the links are resolved
    EXPECT_FALSE(back.showVertices);
    EXPECT_TRUE(back.showEdge);
    EXPECT_TRUE(back.showCurve);
    EXPECT_TRUE(back.spareFlag);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(back.color[i], c->color[i]);
    EXPECT_EQ(back.lineWidth, 1);
    ASSERT_EQ(back.controlPoints.size(), 4u);
    EXPECT_EQ(back.controlPoints[0].z, 1e-300);
    EXPECT_EQ(back.controlPoints[0].nx, 0.5);
    EXPECT_EQ(back.controlPoints[0].nz, -1.0);
    EXPECT_EQ(back.controlPoints[0].w, 0.75);
    EXPECT_EQ(back.knots, c->knots);

    back.resolveLinks(list);
    EXPECT_EQ(back.surfaceLink, surface);
    EXPECT_EQ(recordOf(back, list), bytes);
}

TEST(NurbsCurveFile, ResolveLinksOnlyForLinkedKinds) {
    SceneList list;
    auto* first = new NurbsCurve;
    auto* second = new NurbsCurve;
    list.append(first, ObjectKind::Curve);
    list.append(second, ObjectKind::Coons);
    struct Case {
        int kind, index;
        SceneObject* expected;
    } cases[] = {
        {NurbsCurve::FreeLink, 1, nullptr},      {NurbsCurve::ReleasedLink, 1, nullptr},
        {NurbsCurve::RevolutionLink, 1, second}, {NurbsCurve::CoonsLink, 0, first},
        {NurbsCurve::ExtrusionLink, 2, nullptr}, {NurbsCurve::CoonsLink, -1, nullptr},
    };
    for (const Case& k : cases) {
        NurbsCurve c;
        c.surfaceLink = &c;
        c.linkKind = k.kind;
        c.linkIndex = k.index;
        c.resolveLinks(list);
        EXPECT_EQ(c.surfaceLink, k.expected) << "kind " << k.kind << " index " << k.index;
    }
}

TEST(NurbsCurveFile, ShortStreamKeepsCompletePointsAndFails) {
    SceneList list;
    NurbsCurve c;
    for (int i = 0; i < 3; ++i)
        c.appendPoint(ControlPoint(i, 1, 2));
    std::string bytes = recordOf(c, list);
    bytes[0] = '\x7f'; // claims 127 points (and then 2^31 - 1 below): only what is there is read
    for (const std::string& cut :
         {bytes.substr(0, 40 + 2 * 56 + 10), std::string(bytes.data(), 3) + '\x7f' + bytes.substr(4)}) {
        std::istringstream in(cut, std::ios::binary);
        NurbsCurve back;
        back.read(in);
        EXPECT_TRUE(in.fail());
        EXPECT_EQ(back.controlPoints.size(), cut.size() < bytes.size() ? 2u : 3u);
        EXPECT_EQ(back.controlPoints.back().z, 2.0);
        EXPECT_EQ(back.knots.size(), back.controlPoints.size() + 3);
    }
    // A header cut short changes nothing.
    std::istringstream in(bytes.substr(0, 39), std::ios::binary);
    NurbsCurve untouched;
    untouched.read(in);
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(untouched.order, 3);
    EXPECT_EQ(untouched.linkIndex, -1);
}
