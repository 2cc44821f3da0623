// Frames of the canvas at 1600 x 1000, each beside its floor: the same vertices drawn by a bare loop
// from one vertex buffer, with the same state, in the same four views and the same context. Also one
// drag step of a control point (the move, the surface's rebuild and the frame) and the rebuild alone,
// and the large spheres' upload: shared vertices to buffers against the old display list of corners.
// Needs a display: QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1600x1000x24' frame_bench
// With KNOTWORK_FRAME_GUARD=1 a frame slower than 1.5 times its floor fails.
#include "canvas/gl_pelm.h"
#include "curve_grid.h"
#include "geometry/nurbs_curve.h"
#include "live_canvas.h"
#include "surfaces/revolution_surface.h"
#include "surfaces/surface_buffers.h"
#include "surfaces/surface_mesh.h"

#include <QApplication>
#include <QDir>
#include <QOpenGLBuffer>

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int frameWidth = 1600;
constexpr int frameHeight = 1000;
constexpr double guardRatio = 1.5;

// The canvas, drawing the floor in place of its own frame while one is set.
class FrameCanvas : public GLPelm {
public:
    FrameCanvas() : GLPelm(nullptr, "frame_bench") {}
    std::function<void()> floor;

protected:
    void paintGL() override {
        if (floor)
            floor();
        else
            GLPelm::paintGL();
    }
};

// What the canvas draws of the scene, as a bare GL loop over one vertex buffer: the surfaces' meshes
// as their display lists hold them and the curves' line strips, each batch with the colour, the
// normals and the line width the canvas gives it.
class Floor {
public:
    // Takes the vertices of what the canvas last drew; its context must be current.
    void build(GLPelm& canvas) {
        vertices_.clear();
        batches_.clear();
        for (SceneNode* node = canvas.scene.first; node; node = node->next) {
            if (auto* surface = dynamic_cast<RevolutionSurface*>(node->object))
                addMesh(surface->surfaceMesh);
            else if (auto* curve = dynamic_cast<NurbsCurve*>(node->object))
                addCurve(*curve);
        }
        if (!buffer_.isCreated())
            buffer_.create();
        buffer_.bind();
        buffer_.allocate(vertices_.data(), static_cast<int>(vertices_.size() * sizeof(float)));
        buffer_.release();
    }

    // The frame the canvas's paintGL makes, with the scene drawn from the buffer.
    void draw(GLPelm& canvas) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        Viewport* const views[] = {&canvas.topView, &canvas.perspectiveView, &canvas.leftView,
                                   &canvas.frontView};
        for (Viewport* view : views) {
            const bool perspective = view == &canvas.perspectiveView;
            glDisable(GL_LIGHTING);
            if (!(perspective ? view->applyPerspective() : view->applyOrthographic()))
                continue;
            if (perspective) {
                const CameraRecord& c = canvas.camera;
                gluLookAt(c.eye.x, c.eye.y, c.eye.z, c.target.x, c.target.y, c.target.z, 0.0, 1.0, 0.0);
                glRotated(c.rotation.x, 1.0, 0.0, 0.0);
                glRotated(c.rotation.y, 0.0, 1.0, 0.0);
                glRotated(c.rotation.z, 0.0, 0.0, 1.0);
            }
            glEnable(GL_LIGHTING);
            glEnable(GL_DEPTH_TEST);
            drawBatches();
        }
        glFlush();
    }

    // Frees the buffer; the canvas's context must be current.
    void release() { buffer_.destroy(); }

    std::size_t vertexCount() const { return vertices_.size() / floatsPerVertex; }

private:
    static constexpr std::size_t floatsPerVertex = 6; // position, normal
    struct Batch {
        GLenum mode;
        GLint first;
        GLsizei count;
        bool normals;
        float lineWidth;
        float colour[3];
    };
    std::vector<float> vertices_;
    std::vector<Batch> batches_;
    QOpenGLBuffer buffer_{QOpenGLBuffer::VertexBuffer};

    GLint nextVertex() const { return static_cast<GLint>(vertexCount()); }

    void addVertex(double x, double y, double z, const double* normal = nullptr) {
        vertices_.insert(vertices_.end(),
                         {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
        for (int a = 0; a < 3; ++a)
            vertices_.push_back(normal ? static_cast<float>(normal[a]) : 0.0f);
    }

    // Triangles and separate lines that follow each other go in one batch, as one draw call.
    void addMesh(const SurfaceMesh& mesh) {
        const float* colour = mesh.hasBaseColour ? mesh.baseColour : nullptr;
        // The display list carries the offset as a translation; here it is in the vertices.
        double offset[3] = {0.0, 0.0, 0.0};
        if (mesh.translated)
            std::copy(mesh.offset, mesh.offset + 3, offset);
        for (const SurfaceMesh::Primitive& primitive : mesh.primitives) {
            const GLenum mode = primitive.mode == SurfaceMesh::Triangles   ? GL_TRIANGLES
                                : primitive.mode == SurfaceMesh::LineStrip ? GL_LINE_STRIP
                                                                           : GL_LINES;
            const bool joins = !batches_.empty() && mode != GL_LINE_STRIP && batches_.back().mode == mode &&
                               batches_.back().first + batches_.back().count == nextVertex();
            if (joins) {
                batches_.back().count += primitive.count;
            } else {
                Batch batch{mode, nextVertex(), primitive.count, mesh.hasNormals, 1.0f, {0.0f, 0.0f, 0.0f}};
                if (colour)
                    std::copy(colour, colour + 3, batch.colour);
                batches_.push_back(batch);
            }
            for (int v = primitive.first; v < primitive.first + primitive.count; ++v) {
                const double* p = &mesh.positions[3 * static_cast<std::size_t>(v)];
                const double* n = mesh.hasNormals ? &mesh.normals[3 * static_cast<std::size_t>(v)] : nullptr;
                addVertex(p[0] + offset[0], p[1] + offset[1], p[2] + offset[2], n);
            }
        }
    }

    // As an inactive curve: grey, thicker when it carries a surface.
    void addCurve(NurbsCurve& curve) {
        std::vector<ControlPoint> samples;
        curve.samplePoints(samples);
        if (samples.empty())
            return;
        const float width = static_cast<float>(curve.lineWidth) + (curve.surfaceLink ? 3.0f : 0.0f);
        batches_.push_back(Batch{GL_LINE_STRIP,
                                 nextVertex(),
                                 static_cast<GLsizei>(samples.size()),
                                 false,
                                 width,
                                 {0.4f, 0.4f, 0.4f}});
        for (const ControlPoint& p : samples)
            addVertex(p.x, p.y, p.z);
    }

    void drawBatches() {
        buffer_.bind();
        glEnableClientState(GL_VERTEX_ARRAY);
        const GLsizei stride = static_cast<GLsizei>(floatsPerVertex * sizeof(float));
        glVertexPointer(3, GL_FLOAT, stride, nullptr);
        glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
        for (const Batch& batch : batches_) {
            if (batch.normals)
                glEnableClientState(GL_NORMAL_ARRAY);
            else
                glDisableClientState(GL_NORMAL_ARRAY);
            glColor3fv(batch.colour);
            glLineWidth(batch.lineWidth);
            glDrawArrays(batch.mode, batch.first, batch.count);
        }
        glLineWidth(1.0f);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        buffer_.release();
    }
};

// The scenes measured; size is the sphere's u and v increments (0: its defaults) or the curve count.
enum class SceneKind { Empty, Sphere, Curves };
struct SceneCase {
    const char* name;
    SceneKind kind;
    int size;
};
constexpr int curvePoints = 100;
const SceneCase sceneCases[] = {
    {"empty", SceneKind::Empty, 0},
    {"sphere_10x45", SceneKind::Sphere, 0},
    {"sphere_100x100", SceneKind::Sphere, 100},
    {"sphere_300x300", SceneKind::Sphere, 300},
    {"sphere_1000x1000", SceneKind::Sphere, 1000},
    {"curves_100", SceneKind::Curves, 100},
    {"curves_1000", SceneKind::Curves, 1000},
};

FrameCanvas* canvas = nullptr;
Floor* floorDrawing = nullptr;
const SceneCase* loadedScene = nullptr;
bool guardOn = false;
int guardFailures = 0;

// The canvas holds the case's scene, framed, with nothing selected, drawn once (so the surfaces are
// built) and with its floor; a scene already there stays, so a case's benchmarks share it.
void load(const SceneCase& scene) {
    if (loadedScene == &scene)
        return;
    GLPelm& c = *canvas;
    c.newScene();
    switch (scene.kind) {
    case SceneKind::Empty:
        break;
    case SceneKind::Sphere:
        c.NURBS_sphereClicked();
        c.model.setSurfaceDisplay(true, false);
        if (scene.size > 0) {
            c.model.setSurfaceIncrement(true, scene.size);
            c.model.setSurfaceIncrement(false, scene.size);
        }
        break;
    case SceneKind::Curves: {
        SceneList curves;
        appendCurveGrid(curves, scene.size, curvePoints);
        c.model.replaceScene(std::move(curves));
        break;
    }
    }
    c.setToolMode(ToolMode::None);
    c.model.setActiveObject(nullptr, ObjectKind::None);
    c.frameAll();
    c.grabSettledFrame();
    c.makeCurrent();
    floorDrawing->build(c);
    c.doneCurrent();
    // The floor's first frame, which sets its buffer up, is not one of those measured.
    canvas->floor = [] { floorDrawing->draw(*canvas); };
    c.grabFramebuffer();
    canvas->floor = nullptr;
    loadedScene = &scene;
}

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double processCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double median(std::vector<double> samples) {
    if (samples.empty())
        return 0.0;
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

// Wall time of one frame and of one floor, taken in turn so both see the same load of the machine.
void stillFrame(benchmark::State& state, const SceneCase* scene) {
    load(*scene);
    std::vector<double> frames, cpu, floors;
    for (auto _ : state) {
        const double cpu0 = processCpuMilliseconds();
        const auto t0 = std::chrono::steady_clock::now();
        canvas->grabFramebuffer();
        frames.push_back(milliseconds(std::chrono::steady_clock::now() - t0));
        cpu.push_back(processCpuMilliseconds() - cpu0);

        state.PauseTiming();
        canvas->floor = [] { floorDrawing->draw(*canvas); };
        const auto f0 = std::chrono::steady_clock::now();
        canvas->grabFramebuffer();
        floors.push_back(milliseconds(std::chrono::steady_clock::now() - f0));
        canvas->floor = nullptr;
        state.ResumeTiming();
    }
    const double frame = median(frames), floor = median(floors);
    const double ratio = floor > 0.0 ? frame / floor : 0.0;
    state.counters["frame_ms"] = frame;
    state.counters["cpu_ms"] = median(cpu);
    state.counters["floor_ms"] = floor;
    state.counters["frame_over_floor"] = ratio;
    state.counters["vertices"] = static_cast<double>(floorDrawing->vertexCount());
    if (guardOn && ratio > guardRatio) {
        char message[96];
        std::snprintf(message, sizeof message, "frame %.2f times its floor (at most %.1f)", ratio,
                      guardRatio);
        state.SkipWithError(message);
        ++guardFailures;
    }
}

// The point dragged: the middle control point of the sphere's profile, or of the first curve.
NurbsCurve* draggedCurve() {
    for (SceneNode* node = canvas->scene.first; node; node = node->next)
        if (auto* curve = dynamic_cast<NurbsCurve*>(node->object))
            return curve;
    return nullptr;
}

// One move of the drag, as the canvas's edit tool makes it in the front view, and the frame after it.
// The surface follows the curve: a small one is rebuilt in the frame, a large one on the rebuilder's
// thread while the frame draws, each frame showing the newest mesh that has landed (followed: the
// share of steps whose frame showed a new mesh). Apart, timed on its own: the rebuild (the surface's
// tessellation, or the curve's samples) after the move.
void dragStep(benchmark::State& state, const SceneCase* scene) {
    load(*scene);
    NurbsCurve* curve = draggedCurve();
    auto* surface = curve ? dynamic_cast<RevolutionSurface*>(curve->surfaceLink) : nullptr;
    if (!curve) {
        state.SkipWithError("no curve to drag");
        return;
    }
    SceneModel& model = canvas->model;
    model.setActiveObject(curve, ObjectKind::Curve);
    model.setActivePoint(static_cast<int>(curve->controlPoints.size() / 2));
    canvas->setToolMode(ToolMode::EditPoint);
    std::vector<double> steps;
    int followed = 0;
    double dx = 0.05;
    {
        SceneStep drag(model, "Move Point");
        for (auto _ : state) {
            const unsigned int shown = surface ? surface->buffers.vertexBuffer : 0;
            const auto t0 = std::chrono::steady_clock::now();
            model.movePoint(dx, 0.0, 0.0);
            canvas->grabFramebuffer();
            steps.push_back(milliseconds(std::chrono::steady_clock::now() - t0));
            dx = -dx;

            if (surface && surface->buffers.vertexBuffer != shown)
                ++followed;
        }
        // Back where it started after an odd number of moves.
        if (dx < 0.0)
            model.movePoint(dx, 0.0, 0.0);
    }
    model.setActiveObject(nullptr, ObjectKind::None);
    canvas->setToolMode(ToolMode::None);
    canvas->grabSettledFrame();
    // The rebuild alone, in place, with the rebuilder idle.
    std::vector<ControlPoint> samples;
    std::vector<double> rebuilds;
    for (int i = 0; i < 3; ++i) {
        const auto r0 = std::chrono::steady_clock::now();
        if (surface) {
            SurfaceMesh kept = std::move(surface->surfaceMesh);
            surface->tessellate();
            surface->surfaceMesh = std::move(kept);
        } else {
            curve->evaluateSamples(samples);
        }
        rebuilds.push_back(milliseconds(std::chrono::steady_clock::now() - r0));
    }
    const double step = median(steps), rebuild = median(rebuilds);
    state.counters["step_ms"] = step;
    state.counters["rebuild_ms"] = rebuild;
    state.counters["rebuild_share"] = step > 0.0 ? rebuild / step : 0.0;
    if (surface)
        state.counters["followed"] = static_cast<double>(followed) / static_cast<double>(steps.size());
}

// Getting the sphere's tessellated mesh to GL once: compiled into a display list of separate
// corners, as surfaces were drawn before, or uploaded as shared vertices to buffers, as now.
void upload(benchmark::State& state, const SceneCase* scene, bool buffers) {
    load(*scene);
    RevolutionSurface* surface = nullptr;
    for (SceneNode* node = canvas->scene.first; node && !surface; node = node->next)
        surface = dynamic_cast<RevolutionSurface*>(node->object);
    if (!surface) {
        state.SkipWithError("no surface");
        return;
    }
    canvas->makeCurrent();
    const SurfaceMesh& mesh = surface->surfaceMesh;
    SurfaceBuffers uploaded;
    unsigned int list = 0;
    for (auto _ : state) {
        if (buffers)
            uploaded.upload(mesh);
        else
            list = mesh.compileReplacing(list);
        glFinish();
    }
    state.counters["corners"] = mesh.vertexCount();
    if (buffers)
        state.counters["vertices"] = uploaded.vertexCount();
    uploaded.release();
    SurfaceMesh::releaseList(list);
    canvas->doneCurrent();
}

void registerBenchmarks() {
    for (const SceneCase& scene : sceneCases) {
        benchmark::RegisterBenchmark((std::string("frame/") + scene.name).c_str(), stillFrame, &scene)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime();
        if (scene.kind != SceneKind::Empty)
            benchmark::RegisterBenchmark((std::string("drag/") + scene.name).c_str(), dragStep, &scene)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MeasureProcessCPUTime();
        if (scene.kind == SceneKind::Sphere && scene.size >= 300)
            for (const bool buffers : {false, true})
                benchmark::RegisterBenchmark(
                    (std::string(buffers ? "upload_buffers/" : "upload_list/") + scene.name).c_str(),
                    [&scene, buffers](benchmark::State& state) { upload(state, &scene, buffers); })
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime()
                    ->MeasureProcessCPUTime();
    }
}

// Without a display the xcb platform would abort inside Qt; this says what is missing instead.
bool displayMissing() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool xcb = !platform || std::string(platform).rfind("xcb", 0) == 0;
    const char* display = std::getenv("DISPLAY");
    return xcb && (!display || !*display);
}

} // namespace

int main(int argc, char** argv) {
    if (displayMissing()) {
        std::fprintf(stderr, "frame_bench: no X display; run it under xvfb-run\n");
        return 1;
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const char* guard = std::getenv("KNOTWORK_FRAME_GUARD");
    guardOn = guard && std::string(guard) == "1";

    // The canvas finds its font in the working folder, as it finds it beside the program once built.
    QDir::setCurrent(QStringLiteral(KNOTWORK_DATA_DIR));
    LiveCanvas live(std::make_unique<FrameCanvas>(), frameWidth, frameHeight);
    if (!live.ready()) {
        std::fprintf(stderr, "frame_bench: no shown %d x %d GL canvas (is the screen large enough?)\n",
                     frameWidth, frameHeight);
        return 1;
    }
    canvas = static_cast<FrameCanvas*>(live.pelm.get());
    Floor floor;
    floorDrawing = &floor;

    registerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    // The floor's buffer belongs to the canvas's context.
    canvas->makeCurrent();
    floor.release();
    canvas->doneCurrent();
    benchmark::Shutdown();
    if (guardFailures > 0) {
        std::fprintf(stderr, "frame_bench: %d frame(s) slower than %.1f times their floor\n", guardFailures,
                     guardRatio);
        return 1;
    }
    return 0;
}
