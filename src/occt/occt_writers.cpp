// STEP and IGES writers: our geometry into Open CASCADE's transfer, printed with full precision.
#include "occt/occt_writers.h"

#include "exchange/exchange_model.h"
#include "exchange/surface_conversion.h"
#include "occt/occt_geometry.h"

#include <APIHeaderSection_MakeHeader.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRep_Builder.hxx>
#include <IGESControl_Controller.hxx>
#include <IGESControl_Writer.hxx>
#include <IGESData_GlobalSection.hxx>
#include <IGESData_IGESModel.hxx>
#include <IGESData_IGESWriter.hxx>
#include <IGESSelect_WorkLibrary.hxx>
#include <Interface_Static.hxx>
#include <Precision.hxx>
#include <STEPControl_Controller.hxx>
#include <STEPControl_Writer.hxx>
#include <Standard_Failure.hxx>
#include <StepData_Protocol.hxx>
#include <StepData_StepModel.hxx>
#include <StepData_StepWriter.hxx>
#include <TCollection_HAsciiString.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <XSControl_WorkSession.hxx>

#include <mutex>
#include <ostream>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// Open CASCADE registers its exchange settings, controllers and their editors on first use and keeps
// them until the process ends. Done once here, with the leak checker looking away for just that, so a
// leak check at exit reports only what a write itself leaves behind.
void registerExchangeOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
#if defined(__SANITIZE_ADDRESS__)
        __lsan::ScopedDisabler registrations;
#endif
        STEPControl_Controller::Init();
        IGESControl_Controller::Init();
        const STEPControl_Writer step;
        const IGESControl_Writer iges("MM", 0);
    });
}

// Seventeen significant digits, so every double reads back as itself. Open CASCADE's default keeps
// twelve (STEP) or nine (IGES); its trailing-zero suppression garbles longer formats, so it stays off.
constexpr const char* RealFormat = "%.16E";

std::string degreeProblem(const ExchangeObject& object) {
    const int degree =
        object.isSurface ? std::max(object.surface.uDegree, object.surface.vDegree) : object.curve.degree;
    if (degree <= MaxExchangeDegree)
        return {};
    return object.name + " has degree " + std::to_string(degree) + ", above the " +
           std::to_string(MaxExchangeDegree) + " that STEP and IGES writers take";
}

std::string failureText(const ExchangeObject& object, const Standard_Failure& failure) {
    const char* message = failure.GetMessageString();
    return object.name + " cannot be written: " + failure.DynamicType()->Name() +
           (message && *message ? std::string(" (") + message + ")" : std::string());
}

} // namespace

bool writeStep(const ExchangeModel& model, std::ostream& out, std::string& error) {
    quietOpenCascade();
    registerExchangeOnce();
    STEPControl_Writer writer;
    Interface_Static::SetCVal("write.step.schema", "AP214IS");
    Interface_Static::SetCVal("write.step.unit", "MM");
    // One transfer of everything: each transfer of its own walks the whole model again, which made
    // 1,000 curves take over a minute.
    BRep_Builder builder;
    TopoDS_Compound everything;
    builder.MakeCompound(everything);
    for (const ExchangeObject& object : model.objects) {
        error = degreeProblem(object);
        if (!error.empty())
            return false;
        try {
            TopoDS_Shape shape;
            if (object.isSurface) {
                BRepBuilderAPI_MakeFace face(toGeomSurface(object.surface), Precision::Confusion());
                if (!face.IsDone()) {
                    error = object.name + " cannot be made into a face";
                    return false;
                }
                shape = face.Face();
            } else {
                BRepBuilderAPI_MakeEdge edge(toGeomCurve(object.curve));
                if (!edge.IsDone()) {
                    error = object.name + " cannot be made into an edge";
                    return false;
                }
                shape = edge.Edge();
            }
            builder.Add(everything, shape);
        } catch (const Standard_Failure& failure) {
            error = failureText(object, failure);
            return false;
        }
    }
    try {
        if (writer.Transfer(everything, STEPControl_AsIs) != IFSelect_RetDone) {
            error = "the STEP transfer refused the scene";
            return false;
        }
        Handle(StepData_StepModel) stepModel = writer.Model();
        APIHeaderSection_MakeHeader header(stepModel);
        header.SetOriginatingSystem(new TCollection_HAsciiString("Knotwork"));
        header.SetDescriptionValue(1, new TCollection_HAsciiString("Knotwork exact export"));
        header.Apply(stepModel);
        StepData_StepWriter text(stepModel);
        text.FloatWriter().SetFormat(RealFormat);
        text.SendModel(Handle(StepData_Protocol)::DownCast(writer.WS()->Protocol()));
        if (!text.Print(out) || !out) {
            error = "the STEP text could not be written";
            return false;
        }
    } catch (const Standard_Failure& failure) {
        error = std::string("the STEP file cannot be written: ") + failure.DynamicType()->Name();
        return false;
    }
    return true;
}

bool writeIges(const ExchangeModel& model, std::ostream& out, std::string& error) {
    quietOpenCascade();
    registerExchangeOnce();
    IGESControl_Writer writer("MM", 0);
    for (const ExchangeObject& object : model.objects) {
        error = degreeProblem(object);
        if (!error.empty())
            return false;
        try {
            Handle(Geom_Geometry) geometry;
            if (object.isSurface)
                geometry = toGeomSurface(object.surface);
            else
                geometry = toGeomCurve(object.curve);
            if (!writer.AddGeom(geometry)) {
                error = object.name + " was refused by the IGES transfer";
                return false;
            }
        } catch (const Standard_Failure& failure) {
            error = failureText(object, failure);
            return false;
        }
    }
    try {
        writer.ComputeModel();
        Handle(IGESData_IGESModel) igesModel = writer.Model();
        IGESData_GlobalSection global = igesModel->GlobalSection();
        global.SetSystemId(new TCollection_HAsciiString("Knotwork"));
        global.SetMaxDigitsDouble(17);
        global.SetIGESVersion(11); // 5.3
        igesModel->SetGlobalSection(global);
        IGESData_IGESWriter text(igesModel);
        text.FloatWriter().SetFormat(RealFormat);
        text.SendModel(IGESSelect_WorkLibrary::DefineProtocol());
        if (!text.Print(out) || !out) {
            error = "the IGES text could not be written";
            return false;
        }
    } catch (const Standard_Failure& failure) {
        error = std::string("the IGES file cannot be written: ") + failure.DynamicType()->Name();
        return false;
    }
    return true;
}
