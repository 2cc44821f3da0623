// Paints an icon button with its picture only, and with its text when the picture is missing.
#include "ui/icon_push_button.h"

#include <QPixmap>
#include <QStyleOptionButton>
#include <QStylePainter>

IconPushButton::IconPushButton(const QString& text, const QString& iconFile, QWidget* parent)
    : QPushButton(text, parent) {
    // A file that is missing or no picture gives a null pixmap and so a null icon.
    const QPixmap picture(iconFile);
    if (!picture.isNull())
        setIcon(QIcon(picture));
}

void IconPushButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (!option.icon.isNull()) {
        option.text.clear();
        // The picture fills the button inside a small bevel.
        const int side = qMax(8, qMin(width(), height()) - 8);
        option.iconSize = QSize(side, side);
    }
    painter.drawControl(QStyle::CE_PushButton, option);
}
