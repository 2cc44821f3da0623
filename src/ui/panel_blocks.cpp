// The building blocks of the window's panels.
#include "ui/panel_blocks.h"

#include "canvas/asset_locator.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QSpinBox>
#include <QVBoxLayout>

void setPanelColours(QWidget* widget, const QColor& background, const QColor& foreground) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, foreground);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QString iconPath(const char* name) {
    return QString::fromStdString(AssetLocator::find(name));
}

QGroupBox* makeFrame(QWidget* parent, const char* name, bool vertical, int spacing, int margin) {
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(QString::fromLatin1(name));
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(frame))
                                  : static_cast<QBoxLayout*>(new QHBoxLayout(frame));
    layout->setSpacing(spacing);
    layout->setContentsMargins(margin, margin, margin, margin);
    return frame;
}

QGroupBox* addGroupFrame(QWidget* parent, const char* name, bool vertical, int width) {
    QGroupBox* frame = makeFrame(parent, name, vertical, 5, 5);
    frame->setFixedWidth(width);
    setPanelColours(frame, PanelColour::frame, PanelColour::panelText);
    parent->layout()->addWidget(frame);
    return frame;
}

QLabel* addCaption(QWidget* parent, const QString& text, int width) {
    auto* label = new QLabel(parent);
    setPanelColours(label, PanelColour::caption, PanelColour::panelText);
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (width > 0)
        label->setFixedWidth(width);
    parent->layout()->addWidget(label);
    return label;
}

QSpinBox* addSpinField(QWidget* group, const char* name, const QString& prefix, int minimum, int maximum,
                       int step, int value, int maximumWidth) {
    auto* spin = new QSpinBox(group);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    spin->setPrefix(prefix);
    spin->setValue(value);
    spin->setMaximumSize(maximumWidth, 30);
    group->layout()->addWidget(spin);
    return spin;
}

QCheckBox* addCheckField(QWidget* group, QButtonGroup* exclusive, const QString& text, bool checked) {
    auto* check = new QCheckBox(text, group);
    if (exclusive)
        exclusive->addButton(check);
    check->setChecked(checked);
    group->layout()->addWidget(check);
    return check;
}
