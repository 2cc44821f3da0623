// Scene object defaults and colours; the scene list's positions, lookups and ownership.
#include "geometry/nurbs_curve.h"
#include "scene/scene_list.h"
#include "stub_scene_object.h"

#include <gtest/gtest.h>

TEST(SceneObject, NewCurveHasTheDefaultDisplayAndCurveSettings) {
    const NurbsCurve c;
    EXPECT_TRUE(c.showVertices);
    EXPECT_FALSE(c.showEdge);
    EXPECT_TRUE(c.showCurve);
    EXPECT_FALSE(c.spareFlag);
    EXPECT_EQ(c.color[0], 0.2f);
    EXPECT_EQ(c.color[1], 0.8f);
    EXPECT_EQ(c.color[2], 0.2f);
    EXPECT_EQ(c.lineWidth, 1);
    EXPECT_EQ(c.surfaceLink, nullptr);
    EXPECT_EQ(c.linkKind, NurbsCurve::FreeLink);
    EXPECT_EQ(c.curveMode, NurbsCurve::Interpolated);
    EXPECT_EQ(c.order, 3);
    EXPECT_EQ(c.paramInc, 100);
    EXPECT_EQ(c.knotEpsilon, 1e-8);
    EXPECT_EQ(c.foundPoint, -1);
    EXPECT_TRUE(c.knots.empty());
}

TEST(SceneObject, SetColorDividesBy255InDoubleAndStoresFloats) {
    NurbsCurve c;
    c.setColor(255, 0, 128);
    EXPECT_EQ(c.color[0], 1.0f);
    EXPECT_EQ(c.color[1], 0.0f);
    EXPECT_EQ(c.color[2], 0.50196081f);
}

TEST(SceneList, PositionsLookupsAndRemovalFollowTheNodes) {
    int deleted = 0;
    SceneList list;
    auto* a = new StubSceneObject(&deleted);
    auto* b = new StubSceneObject(&deleted);
    auto* c = new StubSceneObject(&deleted);
    list.append(a, ObjectKind::Curve);
    list.append(b, ObjectKind::Revolution);
    list.append(c, ObjectKind::Coons);
    StubSceneObject stranger(&deleted);

    EXPECT_EQ(list.positionOf(a), 0);
    EXPECT_EQ(list.positionOf(c), 2);
    EXPECT_EQ(list.positionOf(&stranger), -1);
    EXPECT_EQ(list.positionOf(nullptr), -1);
    EXPECT_EQ(list.objectAt(1), b);
    EXPECT_EQ(list.objectAt(-1), nullptr);
    EXPECT_EQ(list.objectAt(3), nullptr);
    EXPECT_EQ(list.kindAt(1), ObjectKind::Revolution);

    list.remove(b);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(list.positionOf(c), 1);
    EXPECT_EQ(list.last->previous, list.first);
    list.remove(&stranger); // not in the list: nothing happens
    EXPECT_EQ(deleted, 1);

    list.clear();
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
    EXPECT_EQ(list.objectAt(0), nullptr);
}
