// STEP and IGES read back with Open CASCADE's own readers: every drawn curve sample lies on the read
// curve at the same parameter and every mesh vertex on the read surface, for the example scenes and
// the tables of surfaces.
#include "export/scene_exporter.h"
#include "export_read_back.h"
#include "export_test_scenes.h"
#include "geometry/nurbs_curve.h"

#include <BRep_Tool.hxx>
#include <Geom_BSplineCurve.hxx>
#include <Geom_BSplineSurface.hxx>
#include <IGESControl_Reader.hxx>
#include <IGESData_IGESEntity.hxx>
#include <IGESData_IGESModel.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ReadFile {
    ReadBack geometry;
    int bsplineCurves = 0;   // of the curves read, how many are B-spline curves
    int bsplineSurfaces = 0; // and surfaces
    std::string error;
};

void collect(const TopoDS_Shape& shape, ReadFile& out) {
    for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
        const Handle(Geom_Surface) surface = BRep_Tool::Surface(TopoDS::Face(e.Current()));
        double u0, u1, v0, v1;
        surface->Bounds(u0, u1, v0, v1);
        out.bsplineSurfaces += !Handle(Geom_BSplineSurface)::DownCast(surface).IsNull();
        out.geometry.surfaces.push_back(ReadSurface{[surface](double u, double v) {
                                                        const gp_Pnt p = surface->Value(u, v);
                                                        return ControlPoint(p.X(), p.Y(), p.Z());
                                                    },
                                                    u0, u1, v0, v1});
    }
    // Edges of their own, not the boundaries of the faces.
    for (TopExp_Explorer e(shape, TopAbs_EDGE, TopAbs_FACE); e.More(); e.Next()) {
        double first, last;
        const Handle(Geom_Curve) curve = BRep_Tool::Curve(TopoDS::Edge(e.Current()), first, last);
        if (curve.IsNull())
            continue;
        out.bsplineCurves += !Handle(Geom_BSplineCurve)::DownCast(curve).IsNull();
        out.geometry.curves.push_back(ReadCurve{[curve](double u) {
                                                    const gp_Pnt p = curve->Value(u);
                                                    return ControlPoint(p.X(), p.Y(), p.Z());
                                                },
                                                first, last});
    }
}

template <class Reader> ReadFile readWith(Reader& reader, const std::string& path) {
    ReadFile out;
    if (reader.ReadFile(path.c_str()) != IFSelect_RetDone) {
        out.error = "cannot read " + path;
        return out;
    }
    reader.TransferRoots();
    for (int i = 1; i <= reader.NbShapes(); ++i)
        collect(reader.Shape(i), out);
    return out;
}

class OcctReadBack : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
    }

    // Exports the scene in both formats, reads each back and compares it with the scene.
    static void expectReadsBack(ExportCase& c, const std::string& folder) {
        for (int format : {ExportFormat::Step, ExportFormat::Iges}) {
            SCOPED_TRACE(c.name + (format == ExportFormat::Step ? " as STEP" : " as IGES"));
            const std::string path =
                folder + "/" + c.name + (format == ExportFormat::Step ? ".step" : ".igs");
            const ExportResult result = exportScene(c.scene, path, format);
            ASSERT_TRUE(result.ok) << result.error;
            EXPECT_EQ(result.fittedSurfaces(), c.fittedSurfaces);
            ReadFile read;
            if (format == ExportFormat::Step) {
                STEPControl_Reader reader;
                read = readWith(reader, path);
            } else {
                IGESControl_Reader reader;
                // Keep every curve and surface whole: by default the reader splits B-splines at C0
                // knots (a polyline at every point).
                ASSERT_TRUE(Interface_Static::SetIVal("read.iges.bspline.continuity", 0));
                read = readWith(reader, path);
            }
            ASSERT_TRUE(read.error.empty()) << read.error;
            EXPECT_EQ(read.bsplineCurves, static_cast<int>(read.geometry.curves.size()));
            EXPECT_EQ(read.bsplineSurfaces, static_cast<int>(read.geometry.surfaces.size()));
            const ReadBackFindings findings = compareWithScene(c.scene, result, read.geometry);
            for (const std::string& failure : findings.failures)
                ADD_FAILURE() << failure;
            std::printf("[ %s ] curves %.2g, exact surfaces %.2g, fitted surfaces %.2g of the scene's size\n",
                        path.substr(folder.size() + 1).c_str(), findings.worstCurve,
                        findings.worstExactSurface, findings.worstFittedSurface);
        }
    }
};

} // namespace

TEST_F(OcctReadBack, ExampleScenes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (ExportCase& c : exampleScenes())
        expectReadsBack(c, dir.path().toStdString());
}

TEST_F(OcctReadBack, TableScenes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (ExportCase& c : tableScenes())
        expectReadsBack(c, dir.path().toStdString());
}

TEST_F(OcctReadBack, FilesDeclareTheirSchemaVersionAndMillimetres) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<ExportCase> examples = exampleScenes();
    ExportCase& coons = examples.front();
    const std::string step = dir.path().toStdString() + "/a.step",
                      iges = dir.path().toStdString() + "/a.iges";
    ASSERT_TRUE(exportScene(coons.scene, step, ExportFormat::Step).ok);
    ASSERT_TRUE(exportScene(coons.scene, iges, ExportFormat::Iges).ok);

    const std::string text = readFile(step);
    EXPECT_NE(text.find("AUTOMOTIVE_DESIGN"), std::string::npos);
    EXPECT_NE(text.find("SI_UNIT(.MILLI.,.METRE.)"), std::string::npos);
    EXPECT_NE(text.find("RATIONAL_B_SPLINE_SURFACE") + text.find("B_SPLINE_SURFACE_WITH_KNOTS"),
              2 * std::string::npos);

    IGESControl_Reader reader;
    ASSERT_EQ(reader.ReadFile(iges.c_str()), IFSelect_RetDone);
    const Handle(IGESData_IGESModel) model = reader.IGESModel();
    EXPECT_EQ(model->GlobalSection().IGESVersion(), 11); // 5.3
    EXPECT_EQ(model->GlobalSection().UnitFlag(), 2);     // millimetres
    int curves = 0, surfaces = 0;
    for (int i = 1; i <= model->NbEntities(); ++i) {
        const int type = model->Entity(i)->TypeNumber();
        curves += type == 126;
        surfaces += type == 128;
        EXPECT_TRUE(type == 126 || type == 128) << "entity type " << type;
    }
    EXPECT_EQ(curves, 4);
    EXPECT_EQ(surfaces, 1);
}

TEST_F(OcctReadBack, DegreesAboveWhatCadTakesAreRefusedByName) {
    SceneList scene;
    auto* curve = new NurbsCurve();
    curve->setOrder(30);
    std::vector<ControlPoint> points;
    for (int i = 0; i < 30; ++i)
        points.emplace_back(i, i % 2, 0);
    curve->setControlPoints(points);
    scene.append(curve, ObjectKind::Curve);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ExportResult step = exportScene(scene, dir.path().toStdString() + "/a.step", ExportFormat::Step);
    EXPECT_FALSE(step.ok);
    EXPECT_NE(step.error.find("curve_1 has degree 29, above the 25 that STEP and IGES take"),
              std::string::npos)
        << step.error;
    EXPECT_TRUE(exportScene(scene, dir.path().toStdString() + "/a.obj", ExportFormat::ObjFreeForm).ok);
}
