// The building blocks of the window's panels: colours, caption labels, group frames, fields.
#pragma once

#include <QColor>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QSpinBox;
class QWidget;

namespace PanelColour {
inline const QColor window{160, 160, 160};
inline const QColor windowText{20, 20, 20};
inline const QColor frame{140, 140, 140};
inline const QColor caption{80, 80, 80};
inline const QColor panelText{240, 240, 240};
inline const QColor sectionText{178, 250, 22};
} // namespace PanelColour

// Paints the widget's own background and sets its text colour; children inherit both.
void setPanelColours(QWidget* widget, const QColor& background, const QColor& foreground);

// Lays the dialog out as its content above a Close button that closes it.
void layOutWithCloseButton(QDialog* dialog, QWidget* content);

// An icon file's path: the working directory first, then the data folders of the program.
QString iconPath(const char* name);

// A group box without title laid out top to bottom (vertical) or left to right, with the
// given inside spacing and margin.
QGroupBox* makeFrame(QWidget* parent, const char* name, bool vertical, int spacing, int margin);

// A frame of the tab column: at least the given width, grey with light text, spacing and margin 5;
// added to the parent's layout.
QGroupBox* addGroupFrame(QWidget* parent, const char* name, bool vertical, int width);

// A dark caption added to the parent's layout, at least the given width (0: no floor).
QLabel* addCaption(QWidget* parent, const QString& text, int width);

// A spin field added to the group's layout: range, step, value and prefix are set before anyone
// can listen to it. The maximum width grows where the text needs more.
QSpinBox* addSpinField(QWidget* group, const char* name, const QString& prefix, int minimum, int maximum,
                       int step, int value, int maximumWidth);

// A check field added to the group's layout and, when given, to its exclusive button group.
QCheckBox* addCheckField(QWidget* group, QButtonGroup* exclusive, const QString& text, bool checked);
