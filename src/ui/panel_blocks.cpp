// The building blocks of the window's panels.
#include "ui/panel_blocks.h"

#include "canvas/asset_locator.h"
#include "ui/panel_frame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

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

namespace {

QGroupBox* layOutFrame(QGroupBox* frame, const char* name, bool vertical, int spacing, int margin) {
    frame->setObjectName(QString::fromLatin1(name));
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(frame))
                                  : static_cast<QBoxLayout*>(new QHBoxLayout(frame));
    layout->setSpacing(spacing);
    layout->setContentsMargins(margin, margin, margin, margin);
    return frame;
}

} // namespace

QGroupBox* makeFrame(QWidget* parent, const char* name, bool vertical, int spacing, int margin) {
    return layOutFrame(new QGroupBox(parent), name, vertical, spacing, margin);
}

QGroupBox* addGroupFrame(QWidget* parent, const char* name, bool vertical, int width) {
    // A floor, not a fixed width: a frame grows to its widest text and fills its parent's width.
    QGroupBox* frame = layOutFrame(new PanelFrame(width, parent), name, vertical, 5, 5);
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
    // A floor that gives way to the text; the caption stretches to the frames under it.
    if (width > 0)
        label->setMinimumWidth(std::max(width, label->sizeHint().width()));
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
    // The limits give way to what the prefix and the longest value need, so no digit is cut.
    const QSize needed = spin->sizeHint();
    spin->setMaximumSize(std::max(maximumWidth, needed.width()), std::max(30, needed.height()));
    // The style draws the arrows in the text colour, which the panels make light; on the light
    // buttons they would hardly show.
    QPalette palette = spin->palette();
    palette.setColor(QPalette::WindowText, PanelColour::windowText);
    spin->setPalette(palette);
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

void layOutWithCloseButton(QDialog* dialog, QWidget* content) {
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    close->button(QDialogButtonBox::Close)->setToolTip(QDialog::tr("Close this window"));
    QObject::connect(close, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* column = new QVBoxLayout(dialog);
    column->addWidget(content);
    column->addWidget(close);
}
