// The "Viewport Settings" dialog: a grid-step choice and two reset buttons acting on the canvas.
#include "ui/viewport_settings_dialog.h"

#include "canvas/gl_pelm.h"
#include "ui/canvas_view_settings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

ViewportSettingsDialog::ViewportSettingsDialog(GLPelm* canvas_, QWidget* parent)
    : QDialog(parent), canvas(canvas_) {
    setObjectName(QStringLiteral("viewport settings"));
    setWindowTitle(tr("Viewport Settings"));
    setModal(true);

    // The current step is listed even when it is none of the offered ones.
    gridStepChoice = new QComboBox(this);
    const int current = orthographicGridStep(*canvas);
    bool listed = false;
    for (int step : gridStepChoices) {
        if (!listed && current < step) {
            gridStepChoice->addItem(QString::number(current), current);
            listed = true;
        }
        gridStepChoice->addItem(QString::number(step), step);
        listed = listed || step == current;
    }
    if (!listed)
        gridStepChoice->addItem(QString::number(current), current);
    gridStepChoice->setCurrentIndex(gridStepChoice->findData(current));

    resetViewsButton = new QPushButton(tr("Reset Pan and Zoom"), this);
    resetCameraButton = new QPushButton(tr("Reset Camera"), this);
    closeButton = new QPushButton(tr("Close"), this);
    closeButton->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(tr("Grid step:"), gridStepChoice);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(resetViewsButton);
    buttons->addWidget(resetCameraButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(gridStepChoice, &QComboBox::currentIndexChanged, this,
            [this](int index) { setOrthographicGridStep(*canvas, gridStepChoice->itemData(index).toInt()); });
    connect(resetViewsButton, &QPushButton::clicked, this, [this] { resetViewPanAndZoom(*canvas); });
    connect(resetCameraButton, &QPushButton::clicked, this, [this] { resetPerspectiveCamera(*canvas); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}
