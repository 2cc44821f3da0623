// The tab column and its "Curves" page: display flags, order, increment, form, point editing.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/icon_push_button.h"
#include "ui/knotwork_settings.h"
#include "ui/panel_blocks.h"
#include "ui/point_group.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The page scrolls when the screen is too low for it, rather than making the window taller than
// the screen; the scroll area takes the look of the tab it sits in.
QWidget* scrolledPage(QWidget* page) {
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    scroll->viewport()->setAutoFillBackground(false);
    return scroll;
}

QGroupBox* makePage(QWidget* parent, const char* name) {
    auto* page = new QGroupBox(parent);
    page->setObjectName(QString::fromLatin1(name));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    return page;
}

} // namespace

void GLObjectWindow::buildTabs() {
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("right tab menu"));

    curvePage = makePage(this, "curve");
    buildCurvePage();
    tabs->addTab(scrolledPage(curvePage), tr("Curves"));

    surfacePage = makePage(this, "surfaces");
    buildSurfacePage();
    tabs->addTab(scrolledPage(surfacePage), tr("Surfaces"));

    buildRevPanel();
    buildCoonsPanel();
    buildExtrudePanel();
    // The frames keep their sizes and gather at the top of each page.
    static_cast<QVBoxLayout*>(curvePage->layout())->addStretch();
    static_cast<QVBoxLayout*>(surfacePage->layout())->addStretch();
    fitTabColumn();
    connect(canvas, &GLPelm::emitSurfaceProperties, this, &GLObjectWindow::loadRevMenu);
}

// 200 pixels, or what the widest text of a page needs where that is more (a larger font or scale).
// Counted with every panel open, so the column keeps its width when one opens. The window is not
// shown yet: opening the panels here only lets the layouts count them.
void GLObjectWindow::fitTabColumn() {
    QWidget* const panels[] = {revPanel, axisPanel, coonsPanel, extrudePanel};
    for (QWidget* panel : panels)
        panel->setVisible(true);
    for (int i = 0; i < tabs->count(); ++i) {
        auto* scroll = static_cast<QScrollArea*>(tabs->widget(i));
        scroll->setMinimumWidth(scroll->widget()->minimumSizeHint().width() +
                                scroll->verticalScrollBar()->sizeHint().width());
    }
    for (QWidget* panel : panels)
        panel->hide();
    tabs->setFixedWidth(std::max(200, tabs->minimumSizeHint().width()));
}

// Every control gets its text, range and state first and is connected last, so building the
// page sends nothing to the canvas.
namespace {
const QString combKey = QStringLiteral("view/curvatureComb");
const QString combScaleKey = QStringLiteral("view/combScale");
const QString weightsKey = QStringLiteral("view/weights");
} // namespace

// The comb and the weights belong to the view, not to the curve: kept between sessions, never in a file.
void GLObjectWindow::addViewAidFields() {
    QSettings settings = knotworkSettings();
    curvatureCheck =
        addCheckField(curveDisplayGroup, nullptr, tr("Curvature"), settings.value(combKey, false).toBool());
    combScaleSpin = addSpinField(curveDisplayGroup, "Comb Scale", tr("Comb Scale: "), 1, 1000, 1,
                                 std::clamp(settings.value(combScaleKey, 10).toInt(), 1, 1000), 160);
    weightsCheck =
        addCheckField(curveDisplayGroup, nullptr, tr("Weights"), settings.value(weightsKey, false).toBool());
    canvas->setCurvatureComb(curvatureCheck->isChecked());
    canvas->setCombScale(combScaleSpin->value());
    canvas->setWeightsShown(weightsCheck->isChecked());
    connect(curvatureCheck, &QCheckBox::toggled, this, [this](bool on) {
        knotworkSettings().setValue(combKey, on);
        canvas->setCurvatureComb(on);
    });
    connect(combScaleSpin, &QSpinBox::valueChanged, this, [this](int scale) {
        knotworkSettings().setValue(combScaleKey, scale);
        canvas->setCombScale(scale);
    });
    connect(weightsCheck, &QCheckBox::toggled, this, [this](bool on) {
        knotworkSettings().setValue(weightsKey, on);
        canvas->setWeightsShown(on);
    });
}

void GLObjectWindow::buildCurvePage() {
    addCaption(curvePage, tr("DISPLAY:"), 0);
    curveDisplayGroup = addGroupFrame(curvePage, "Curve Paramaters", true, 170);
    verticesCheck = addCheckField(curveDisplayGroup, nullptr, tr("Vertices"), true);
    edgeCheck = addCheckField(curveDisplayGroup, nullptr, tr("Edge"), false);
    curveCheck = addCheckField(curveDisplayGroup, nullptr, tr("Curve"), true);
    lineThicknessSpin =
        addSpinField(curveDisplayGroup, "Line Thickness", tr("Line Thickness: "), 1, 10, 1, 1, 160);
    connect(verticesCheck, &QCheckBox::pressed, canvas, &GLPelm::curveVerticesClicked);
    connect(edgeCheck, &QCheckBox::pressed, canvas, &GLPelm::curveEdgeClicked);
    connect(curveCheck, &QCheckBox::pressed, canvas, &GLPelm::curveClicked);
    connect(lineThicknessSpin, &QSpinBox::valueChanged, canvas, &GLPelm::lineSizeChanged);
    addViewAidFields();

    // The three forms are one choice; the spin fields beside them are not part of it.
    addCaption(curvePage, tr("SETTINGS:"), 0);
    curveSettingsGroup = addGroupFrame(curvePage, "Curve Paramaters", true, 170);
    curveFormButtons = new QButtonGroup(this);
    curveFormButtons->setExclusive(true);
    // Order 1 as well: files may hold it, and a field that clamped a reported 1 to 2 would send the 2
    // back and so change a curve merely by selecting it.
    orderSpin = addSpinField(curveSettingsGroup, "Order SpinBox", tr("Curve Order: "), 1, 99, 1, 3, 160);
    paramIncSpin = addSpinField(curveSettingsGroup, "Paramater Increment SpinBox", tr("Parameter inc: "), 1,
                                1000, 1, 100, 160);
    openCheck = addCheckField(curveSettingsGroup, curveFormButtons, tr("Open Curve"), false);
    interpolateCheck =
        addCheckField(curveSettingsGroup, curveFormButtons, tr("Open with Interpolation"), true);
    closedCheck = addCheckField(curveSettingsGroup, curveFormButtons, tr("Closed curve"), false);
    connect(orderSpin, &QSpinBox::valueChanged, canvas, &GLPelm::orderChanged);
    connect(paramIncSpin, &QSpinBox::valueChanged, canvas, &GLPelm::paramIncChanged);
    connect(openCheck, &QCheckBox::pressed, canvas, &GLPelm::openCurveClicked);
    connect(interpolateCheck, &QCheckBox::pressed, canvas, &GLPelm::interpolateEndPointsClicked);
    connect(closedCheck, &QCheckBox::pressed, canvas, &GLPelm::closedCurveClicked);

    // On only while the canvas's tool is theirs (showToolMode); the canvas starts with no tool.
    addCaption(curvePage, tr("EDITING:"), 0);
    editingGroup = addGroupFrame(curvePage, "surface Buttons", false, 170);
    editingButtons = new QButtonGroup(this);
    editingButtons->setExclusive(true);
    const auto addEditingButton = [this](const char* text, const char* icon) {
        auto* button = new IconPushButton(tr(text), iconPath(icon), editingGroup);
        button->setCheckable(true);
        button->setFixedSize(toolButtonWidth, toolButtonHeight);
        editingButtons->addButton(button);
        editingGroup->layout()->addWidget(button);
        return button;
    };
    insertButton = addEditingButton("&Insert Row", "icons/insertcp.jpg");
    // Alt+M: "&Scale" has Alt+S, and a key two buttons share reaches neither.
    smoothButton = addEditingButton("S&mooth", "icons/editcp.jpg");
    deleteButton = addEditingButton("&Delete Row", "icons/deletecp.jpg");
    connect(insertButton, &QPushButton::pressed, canvas, &GLPelm::insertCPClicked);
    connect(smoothButton, &QPushButton::pressed, canvas, &GLPelm::editCPClicked);
    connect(deleteButton, &QPushButton::pressed, canvas, &GLPelm::deleteCPClicked);

    weightGroup = addGroupFrame(curvePage, "Curve Manipulation editing", true, 170);
    weightSpin =
        addSpinField(weightGroup, "Point weights SpinBox", tr("Point Weight: "), 0, 1000, 1, 10, 160);
    reverseButton = new QPushButton(tr("Reverse Point Order"), weightGroup);
    weightGroup->layout()->addWidget(reverseButton);
    connect(weightSpin, &QSpinBox::valueChanged, canvas, &GLPelm::weightChanged);
    connect(canvas, &GLPelm::emitWeight, weightSpin, &QSpinBox::setValue);
    connect(reverseButton, &QPushButton::clicked, canvas, &GLPelm::reverseCPClicked);

    pointGroup = new PointGroup(canvas, curvePage);
    // The whole-number weight field follows a weight typed here without sending it back: truncated,
    // it would change the weight just typed.
    connect(pointGroup, &PointGroup::weightEdited, this, [this](double weight) {
        const QSignalBlocker quiet(weightSpin);
        weightSpin->setValue(static_cast<int>(weight * 10.0));
    });

    connect(canvas, &GLPelm::emitCurveParameters, this, &GLObjectWindow::setCurveParameters);
}
